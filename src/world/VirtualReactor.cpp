#include "world/VirtualReactor.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/RandomGenerator.h"
#include "core/Utilities.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

VirtualReactor::VirtualReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                               audio::SoundManager* sounds, RandomGenerator* random, int slot,
                               const std::string& poolName)
    : VirtualReactor(Placed{}, parent, params, scene, sounds, random, slot, poolName, 0)
{
    setUpSound(FirstPitch::LevelRule);
    setState(startState());
}

VirtualReactor::VirtualReactor(Placed, Ogre::SceneNode* parent, const VirtualReactorParams* params,
                               Ogre::SceneManager* scene, audio::SoundManager* sounds, RandomGenerator* random,
                               int slot, const std::string& poolName, uint32_t kind)
    : scene_(scene), sounds_(sounds), random_(random), params_(params), parent_(parent), kind_(kind),
      poolName_(poolName), slot_(slot)
{
    node_ = parent_->createChildSceneNode();
    node_->setPosition(params_->PositionOffset);
}

VirtualReactor::~VirtualReactor()
{
    if (sound_) {
        node_->detachObject(sound_);
        sounds_->destroySound(sound_);
    }
    // Released to the world it hangs from the root, where the pool keeps its node for the next item.
    fx::returnRootNode(stock_, scene_, node_);
}

void VirtualReactor::setUpSound(FirstPitch pitch)
{
    if (!params_->Sound || !sounds_)
        return;
    sound_ = sounds_->createSound(objectName("sSpawnReact"), params_->EffectSound, params_->EffectSound_Loop, false);
    if (!sound_)
        return;
    node_->attachObject(sound_);
    sound_->setGain(remapClamped(0.0f, 1.0f, 0.0f, params_->EffectSound_Gain_Low, params_->EffectSound_Gain_High));
    if (pitch == FirstPitch::Spread) {
        const float r = random_ ? static_cast<float>(random_->nextUnit()) : 0.5f;
        sound_->setPitch(fx::clampPitch(fx::spreadPitch(params_->EffectSound_PitchVar, r)));
    } else {
        drawPitchOffset();
        applySoundLevel(0.0f);
    }
}

void VirtualReactor::drawPitchOffset()
{
    const float r = random_ ? static_cast<float>(random_->nextUnit()) : 0.5f;
    pitchOffset_ = params_->EffectSound_PitchVar * r;
}

void VirtualReactor::applySoundLevel(float level)
{
    if (!sound_)
        return;
    sound_->setGain(remapClamped(0.0f, 1.0f, level, params_->EffectSound_Gain_Low, params_->EffectSound_Gain_High));
    const float pitch = remapClamped(0.0f, 1.0f, level, params_->EffectSound_Pitch_Low, params_->EffectSound_Pitch_High) -
                        0.5f * params_->EffectSound_PitchVar + pitchOffset_;
    // A low pitch with a wide spread can come out at zero or below, which no sound can play.
    sound_->setPitch(fx::clampPitch(pitch));
}

void VirtualReactor::playSound()
{
    if (sound_)
        sound_->play();
}

void VirtualReactor::stopSound()
{
    if (sound_)
        sound_->stop();
}

void VirtualReactor::restartSound()
{
    if (sound_) {
        sound_->stop();
        sound_->play();
    }
}

void VirtualReactor::setLevel(const float& level) { applySoundLevel(level); }

void VirtualReactor::resetFireTimer() { fireTimer_ = params_->FireTime; }

void VirtualReactor::setState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    if (state == ReactorState_On) {
        playSound();
    } else if (state == ReactorState_Fire) {
        drawPitchOffset();
        setLevel(0.0f);
        playSound();
    } else {
        stopSound();
    }
}

void VirtualReactor::setEmitterPosition(const Ogre::Vector3&) {}

void VirtualReactor::setEmitterDirectionX(float) {}

void VirtualReactor::runFireTimer(float dt)
{
    if (state_ != ReactorState_Fire)
        return;
    fireTimer_ -= dt;
    if (fireTimer_ < 0.0f)
        setState(ReactorState_Off);
}

bool VirtualReactor::runOutAfterRelease(float dt)
{
    if (linger_ > 0.0f) {
        linger_ -= dt;
        return true;
    }
    return sound_ && sound_->isPlaying();
}

float VirtualReactor::quietTime() const
{
    return released_ && state_ != ReactorState_Fire ? linger_ : 0.0f;
}

bool VirtualReactor::update(float dt)
{
    runFireTimer(dt);
    // Owners hold this reactor until they release it, so it lives at least that long.
    if (!released_)
        return true;
    return runOutAfterRelease(dt);
}

void VirtualReactor::detachToWorld()
{
    const Ogre::Vector3 position = node_->_getDerivedPosition();
    const Ogre::Quaternion orientation = node_->_getDerivedOrientation();
    if (node_->getParent())
        node_->getParent()->removeChild(node_);
    scene_->getRootSceneNode()->addChild(node_);
    node_->setPosition(position);
    node_->setOrientation(orientation);
    released_ = true;
    setState(ReactorState_Off);
}

void VirtualReactor::pause()
{
    if (sound_ && sound_->isPlaying())
        sound_->pause();
    for (Ogre::ParticleSystem* system : particleSystems())
        fx::setSpeedFactor(system, 0.0f);
}

void VirtualReactor::resume()
{
    if (sound_ && sound_->isPaused())
        sound_->play();
    for (Ogre::ParticleSystem* system : particleSystems())
        fx::setSpeedFactor(system, 1.0f);
}
