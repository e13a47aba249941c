#include "world/MultiReactor.h"

#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreSceneNode.h>

MultiReactor::MultiReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                           audio::SoundManager* sounds, RandomGenerator* random, int slot,
                           const std::string& poolName, fx::ParticleStock* stock)
    : VirtualReactor(Placed{}, parent, params, scene, sounds, random, slot, poolName, 3)
{
    stock_ = stock;
    if (const auto* multi = dynamic_cast<const MultiReactorParams*>(params)) {
        entries_.resize(multi->particles.size());
        for (size_t i = 0; i < entries_.size(); ++i) {
            Entry& e = entries_[i];
            e.system = fx::takeParticleSystem(stock_, scene_, objectName("ReactorM") + "_" + std::to_string(i),
                                                multi->particles[i].ParticleName);
            if (e.system)
                node_->attachObject(e.system);
            e.burstLife = multi->particles[i].TimeToLive;
        }
    }
    linger_ = fx::longestParticleLife(particleSystems());
    setUpSound(FirstPitch::LevelRule);
    for (Entry& e : entries_)
        e.baseRate = fx::firstEmissionRate(e.system);
    setState(startState());
    setLevel(0.0f);
}

MultiReactor::~MultiReactor()
{
    for (Entry& e : entries_)
        fx::returnParticleSystem(stock_, scene_, e.system);
}

std::vector<Ogre::ParticleSystem*> MultiReactor::particleSystems() const
{
    std::vector<Ogre::ParticleSystem*> systems;
    for (const Entry& e : entries_)
        systems.push_back(e.system);
    return systems;
}

bool MultiReactor::update(float dt)
{
    if (released_)
        return runOutAfterRelease(dt);
    if (state_ == ReactorState_Fire) {
        for (Entry& e : entries_) {
            if (e.burstLife <= 0.0f)
                continue;
            e.burstLife -= dt;
            if (e.burstLife <= 0.0f)
                fx::setAllEmissionRates(e.system, 0.0f);
        }
        runFireTimer(dt);
    }
    return true;
}

void MultiReactor::emitAtBaseRates()
{
    for (Entry& e : entries_)
        fx::setAllEmissionRates(e.system, e.baseRate);
}

void MultiReactor::setState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    if (state == ReactorState_On) {
        emitAtBaseRates();
        playSound();
    } else if (state == ReactorState_Fire) {
        drawPitchOffset();
        setLevel(0.0f);
        const auto* multi = dynamic_cast<const MultiReactorParams*>(params_);
        for (size_t i = 0; i < entries_.size(); ++i)
            entries_[i].burstLife = multi ? multi->particles[i].TimeToLive : 0.0f;
        emitAtBaseRates();
        restartSound();
        fireTimer_ = params_->FireTime;
    } else {
        for (Entry& e : entries_)
            fx::setAllEmissionRates(e.system, 0.0f);
        // A one-shot sound plays to its end; a loop would never stop.
        if (params_->EffectSound_Loop)
            stopSound();
    }
}

void MultiReactor::setEmitterPosition(const Ogre::Vector3& position)
{
    for (const Entry& e : entries_)
        fx::setEmitterPositions(e.system, position);
}

void MultiReactor::setEmitterDirectionX(float x)
{
    for (const Entry& e : entries_)
        fx::setEmitterDirectionsX(e.system, x);
}
