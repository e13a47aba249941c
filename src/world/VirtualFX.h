#pragma once
// A fire-and-forget effect placed in the world by the effect pool: a node with an optional sound.
// BaseFx and MultiFX add particles; the plain effect only plays its sound and is gone at the pool's
// next update. The pool alone creates and deletes effects.
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
class EffectsParams;
class RandomGenerator;

class VirtualFX {
public:
    VirtualFX(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
              RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
              const std::string& poolName);
    virtual ~VirtualFX();
    VirtualFX(const VirtualFX&) = delete;
    VirtualFX& operator=(const VirtualFX&) = delete;

    // Advances the effect; false once it has finished and may be deleted.
    virtual bool update(float dt);
    // How much time updates may add up to before one does more than count down this item's
    // timers; the pool leaves it alone until then. Zero or less: it must be updated every tick.
    virtual float quietTime() const { return 0.0f; }
    virtual void pause();
    virtual void resume();

    // 0 plain, 1 one particle system, 2 several.
    uint32_t getKind() const { return kind_; }
    Ogre::SceneNode* getNode() const { return node_; }
    audio::Sound* getSound() const { return sound_; }
    float getLife() const { return life_; }
    float getLinger() const { return linger_; }
    bool isStopping() const { return stopping_; }
    const std::string& getPoolName() const { return poolName_; }
    // The effect's particle systems (entries may be null when a template was missing).
    virtual std::vector<Ogre::ParticleSystem*> particleSystems() const { return {}; }

protected:
    // Stores the handles and places the node; the subclass then makes its systems and calls finish.
    struct Placed {};
    VirtualFX(Placed, Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
              RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
              const std::string& poolName, uint32_t kind, fx::ParticleStock* stock = nullptr);
    // Linger from the systems' longest particle life, the life, then the sound.
    void finish(const std::vector<Ogre::ParticleSystem*>& systems);
    // The scene name of one of this effect's objects: pool name, infix, slot.
    std::string objectName(const char* infix) const;

    Ogre::SceneManager* scene_;
    audio::SoundManager* sounds_;
    RandomGenerator* random_;
    const EffectsParams* params_;
    float life_ = 0.0f;
    bool stopping_ = false;
    float linger_ = 0.0f;
    Ogre::SceneNode* node_ = nullptr;
    uint32_t kind_ = 0;
    audio::Sound* sound_ = nullptr;
    std::string poolName_;
    int slot_ = 0;
    // Where the particle systems come from and go back to; null: copied and destroyed.
    fx::ParticleStock* stock_ = nullptr;

private:
    void createSound();
};
