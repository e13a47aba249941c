#pragma once
// A lasting, switchable effect on its owner's scene node, made by the effect pool. The owner keeps
// the pointer as a handle, switches it (ReactorState: off, on, a timed fire burst), drives its
// 0..1 level, and finally calls detachToWorld and forgets it: the reactor then stays where it was,
// switched off, until its particles and sound have run out, and the pool deletes it. Owners never
// delete a reactor. The plain reactor has a sound and no particles.
#include "definitions/VirtualReactorParams.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Ogre {
class ParticleSystem;
class SceneManager;
class SceneNode;
}
namespace audio {
class Sound;
class SoundManager;
}
namespace fx {
class ParticleStock;
}
class RandomGenerator;

class VirtualReactor {
public:
    VirtualReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                   audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName);
    virtual ~VirtualReactor();
    VirtualReactor(const VirtualReactor&) = delete;
    VirtualReactor& operator=(const VirtualReactor&) = delete;

    // Advances the reactor; false once it has been released and has run out.
    virtual bool update(float dt);
    // As for effects: released and not bursting, it only runs out its linger, then waits for its
    // sound. Before its release its owner may change it at any time.
    virtual float quietTime() const;
    virtual void pause();
    virtual void resume();
    // Moves the node to the scene root where it stands now and switches the reactor off.
    virtual void detachToWorld();
    // Gain and pitch of the sound between the definition's low (0) and high (1) values.
    virtual void setLevel(const float& level);
    virtual void resetFireTimer();
    virtual void setState(int state);
    // Every emitter's position (in the system's space) or x direction; nothing without particles.
    virtual void setEmitterPosition(const Ogre::Vector3& position);
    virtual void setEmitterDirectionX(float x);

    int getState() const { return state_; }
    bool isReleased() const { return released_; }
    float getFireTimer() const { return fireTimer_; }
    float getLinger() const { return linger_; }
    float getPitchOffset() const { return pitchOffset_; }
    // 0 plain, 1 one particle system (also the variable reactor), 3 several.
    uint32_t getKind() const { return kind_; }
    Ogre::SceneNode* getNode() const { return node_; }
    Ogre::SceneNode* getParentNode() const { return parent_; }
    audio::Sound* getSound() const { return sound_; }
    const VirtualReactorParams* getParams() const { return params_; }
    // The reactor's particle systems (entries may be null when a template was missing).
    virtual std::vector<Ogre::ParticleSystem*> particleSystems() const { return {}; }

protected:
    // Stores the handles and makes the node under the parent; the subclass makes its systems and
    // then its sound (setUpSound) and start state.
    struct Placed {};
    VirtualReactor(Placed, Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                   audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName,
                   uint32_t kind);
    // How the sound's first pitch is chosen.
    enum class FirstPitch { LevelRule, Spread };
    void setUpSound(FirstPitch pitch);
    // The sound's gain and pitch at a level (the shared part of every setLevel).
    void applySoundLevel(float level);
    void drawPitchOffset();
    void restartSound();
    void playSound();
    void stopSound();
    // Counts a fire burst down; back to off when it has run out.
    void runFireTimer(float dt);
    // After release: the longest particle life, then as long as the sound plays.
    bool runOutAfterRelease(float dt);
    std::string objectName(const char* infix) const { return poolName_ + infix + std::to_string(slot_); }
    ReactorState startState() const { return reactorStartState(params_->StartState); }

    Ogre::SceneManager* scene_;
    audio::SoundManager* sounds_;
    RandomGenerator* random_;
    const VirtualReactorParams* params_;
    float fireTimer_ = 0.0f;
    bool released_ = false;
    float linger_ = 0.0f;
    Ogre::SceneNode* node_ = nullptr;
    Ogre::SceneNode* parent_;
    uint32_t kind_ = 0;
    audio::Sound* sound_ = nullptr;
    float pitchOffset_ = 0.0f;
    int state_ = ReactorState_Unset;
    std::string poolName_;
    int slot_ = 0;
    // Where the particle systems come from and go back to; null: copied and destroyed.
    fx::ParticleStock* stock_ = nullptr;
};
