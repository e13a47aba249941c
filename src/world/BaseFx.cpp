#include "world/BaseFx.h"

#include "audio/Sound.h"
#include "definitions/EffectsParams.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreParticleSystem.h>
#include <OgreSceneNode.h>

namespace {
std::string particleNameOf(const EffectsParams* params)
{
    const auto* base = dynamic_cast<const BaseEffectsParams*>(params);
    return base ? base->ParticleName : std::string();
}
}  // namespace

BaseFx::BaseFx(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
               RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
               const std::string& poolName, fx::ParticleStock* stock)
    : VirtualFX(Placed{}, scene, params, sounds, random, position, slot, direction, poolName, 1, stock)
{
    system_ = fx::takeParticleSystem(stock_, scene_, objectName("effct"), particleNameOf(params));
    if (system_)
        node_->attachObject(system_);
    finish({system_});
}

BaseFx::~BaseFx() { fx::returnParticleSystem(stock_, scene_, system_); }

float BaseFx::quietTime() const { return stopping_ ? linger_ : life_; }

bool BaseFx::update(float dt)
{
    if (!stopping_) {
        life_ -= dt;
        if (life_ < 0.0f) {
            // Only the first emitter: a second one (a lingering glow, say) runs to the end.
            fx::setFirstEmissionRate(system_, 0.0f);
            stopping_ = true;
        }
        return true;
    }
    if (linger_ > 0.0f) {
        linger_ -= dt;
        return true;
    }
    return sound_ && sound_->isPlaying();
}
