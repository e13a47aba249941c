#include "world/VirtualFX.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/RandomGenerator.h"
#include "definitions/EffectsParams.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

VirtualFX::VirtualFX(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
                     RandomGenerator* random, const Ogre::Vector3& position, int slot,
                     const Ogre::Vector3& direction, const std::string& poolName)
    : VirtualFX(Placed{}, scene, params, sounds, random, position, slot, direction, poolName, 0)
{
    finish({});
}

VirtualFX::VirtualFX(Placed, Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
                     RandomGenerator* random, const Ogre::Vector3& position, int slot,
                     const Ogre::Vector3& direction, const std::string& poolName, uint32_t kind,
                     fx::ParticleStock* stock)
    : scene_(scene), sounds_(sounds), random_(random), params_(params), kind_(kind), poolName_(poolName), slot_(slot),
      stock_(stock)
{
    node_ = fx::takeRootNode(stock_, scene_);
    node_->setPosition(position);
    if (direction != Ogre::Vector3::ZERO)
        node_->setDirection(direction, Ogre::Node::TS_LOCAL);
}

VirtualFX::~VirtualFX()
{
    if (sound_) {
        node_->detachObject(sound_);
        sounds_->destroySound(sound_);
    }
    fx::returnRootNode(stock_, scene_, node_);
}

void VirtualFX::finish(const std::vector<Ogre::ParticleSystem*>& systems)
{
    linger_ = fx::longestParticleLife(systems);
    life_ = params_->TimeToLive;
    stopping_ = false;
    if (params_->Sound)
        createSound();
}

void VirtualFX::createSound()
{
    if (!sounds_)
        return;
    sound_ = sounds_->createSound(objectName("sSpawnEff"), params_->EffectSound, false, false);
    if (!sound_)
        return;
    node_->attachObject(sound_);
    sound_->setGain(params_->EffectSound_Gain);
    const float r = random_ ? static_cast<float>(random_->nextUnit()) : 0.5f;
    sound_->setPitch(fx::clampPitch(fx::spreadPitch(params_->EffectSound_PitchVar, r)));
    sound_->play();
}

std::string VirtualFX::objectName(const char* infix) const { return poolName_ + infix + std::to_string(slot_); }

bool VirtualFX::update(float) { return false; }

void VirtualFX::pause()
{
    if (sound_ && sound_->isPlaying())
        sound_->pause();
    for (Ogre::ParticleSystem* system : particleSystems())
        fx::setSpeedFactor(system, 0.0f);
}

void VirtualFX::resume()
{
    if (sound_ && sound_->isPaused())
        sound_->play();
    for (Ogre::ParticleSystem* system : particleSystems())
        fx::setSpeedFactor(system, 1.0f);
}
