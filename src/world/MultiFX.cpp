#include "world/MultiFX.h"

#include "definitions/EffectsParams.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreParticleSystem.h>
#include <OgreSceneNode.h>

#include <algorithm>

MultiFX::MultiFX(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
                 RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
                 const std::string& poolName, fx::ParticleStock* stock)
    : VirtualFX(Placed{}, scene, params, sounds, random, position, slot, direction, poolName, 2, stock)
{
    if (const auto* multi = dynamic_cast<const MultiEffectsParams*>(params)) {
        entries_.resize(multi->particles.size());
        for (size_t i = 0; i < entries_.size(); ++i) {
            Entry& e = entries_[i];
            e.system = fx::takeParticleSystem(stock_, scene_, objectName("effct") + "_" + std::to_string(i),
                                                multi->particles[i].ParticleName);
            if (e.system)
                node_->attachObject(e.system);
            e.life = multi->particles[i].TimeToLive;
        }
    }
    finish(particleSystems());
}

MultiFX::~MultiFX()
{
    for (Entry& e : entries_)
        fx::returnParticleSystem(stock_, scene_, e.system);
}

std::vector<Ogre::ParticleSystem*> MultiFX::particleSystems() const
{
    std::vector<Ogre::ParticleSystem*> systems;
    for (const Entry& e : entries_)
        systems.push_back(e.system);
    return systems;
}

float MultiFX::quietTime() const
{
    if (stopping_)
        return linger_;
    float quiet = life_;
    for (const Entry& e : entries_)
        if (e.life > 0.0f)
            quiet = std::min(quiet, e.life);
    return quiet;
}

bool MultiFX::update(float dt)
{
    if (!stopping_) {
        for (Entry& e : entries_) {
            if (e.life <= 0.0f)
                continue;
            e.life -= dt;
            if (e.life <= 0.0f)
                fx::setAllEmissionRates(e.system, 0.0f);
        }
        life_ -= dt;
        if (life_ < 0.0f) {
            for (Entry& e : entries_)
                fx::setAllEmissionRates(e.system, 0.0f);
            stopping_ = true;
        }
        return true;
    }
    if (linger_ > 0.0f) {
        linger_ -= dt;
        return true;
    }
    return false;
}
