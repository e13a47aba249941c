#include "world/BasicReactor.h"

#include "audio/Sound.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreSceneNode.h>

namespace {
std::string particleNameOf(const VirtualReactorParams* params)
{
    const auto* basic = dynamic_cast<const BasicReactorParams*>(params);
    return basic ? basic->ParticleName : std::string();
}
}  // namespace

BasicReactor::BasicReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                           audio::SoundManager* sounds, RandomGenerator* random, int slot,
                           const std::string& poolName, fx::ParticleStock* stock)
    : BasicReactor(Placed{}, parent, params, scene, sounds, random, slot, poolName, "ReactorB", stock)
{
    setUpSound(FirstPitch::LevelRule);
    baseRate_ = fx::firstEmissionRate(system_);
    setState(startState());
    setLevel(0.0f);
}

BasicReactor::BasicReactor(Placed, Ogre::SceneNode* parent, const VirtualReactorParams* params,
                           Ogre::SceneManager* scene, audio::SoundManager* sounds, RandomGenerator* random, int slot,
                           const std::string& poolName, const char* infix, fx::ParticleStock* stock)
    : VirtualReactor(Placed{}, parent, params, scene, sounds, random, slot, poolName, 1)
{
    stock_ = stock;
    system_ = fx::takeParticleSystem(stock_, scene_, objectName(infix), particleNameOf(params));
    if (system_)
        node_->attachObject(system_);
    linger_ = fx::longestParticleLife({system_});
}

BasicReactor::~BasicReactor() { fx::returnParticleSystem(stock_, scene_, system_); }

bool BasicReactor::update(float dt)
{
    if (!released_) {
        runFireTimer(dt);
        return true;
    }
    return runOutAfterRelease(dt);
}


void BasicReactor::setState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    if (state == ReactorState_On) {
        fx::setFirstEmissionRate(system_, baseRate_);
        playSound();
    } else if (state == ReactorState_Fire) {
        drawPitchOffset();
        setLevel(0.0f);
        fx::setFirstEmissionRate(system_, baseRate_);
        restartSound();
        fireTimer_ = params_->FireTime;
    } else {
        switchOff();
    }
}

void BasicReactor::switchOff()
{
    fx::setAllEmissionRates(system_, 0.0f);
    // A one-shot sound plays to its end; a loop would never stop.
    if (params_->EffectSound_Loop)
        stopSound();
}

void BasicReactor::setEmitterPosition(const Ogre::Vector3& position) { fx::setEmitterPositions(system_, position); }

void BasicReactor::setEmitterDirectionX(float x) { fx::setEmitterDirectionsX(system_, x); }
