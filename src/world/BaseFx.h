#pragma once
// An effect with one particle system: emits for its time to live, then lets its particles die out
// and waits for its sound to end.
#include "world/VirtualFX.h"

class BaseFx : public VirtualFX {
public:
    BaseFx(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
           RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
           const std::string& poolName, fx::ParticleStock* stock = nullptr);
    ~BaseFx() override;

    bool update(float dt) override;
    float quietTime() const override;

    // Null when the template was missing.
    Ogre::ParticleSystem* getParticleSystem() const { return system_; }
    std::vector<Ogre::ParticleSystem*> particleSystems() const override { return {system_}; }

private:
    Ogre::ParticleSystem* system_ = nullptr;
};
