#pragma once
// An effect with several particle systems, each emitting for its own time; ends when the longest
// particle life has passed after the effect's time to live, cutting its sound if still playing.
#include "world/VirtualFX.h"

class MultiFX : public VirtualFX {
public:
    struct Entry {
        Ogre::ParticleSystem* system = nullptr;  // null when its template was missing
        float life = 0.0f;
    };

    MultiFX(Ogre::SceneManager* scene, const EffectsParams* params, audio::SoundManager* sounds,
            RandomGenerator* random, const Ogre::Vector3& position, int slot, const Ogre::Vector3& direction,
            const std::string& poolName, fx::ParticleStock* stock = nullptr);
    ~MultiFX() override;

    bool update(float dt) override;
    float quietTime() const override;

    const std::vector<Entry>& getEntries() const { return entries_; }
    std::vector<Ogre::ParticleSystem*> particleSystems() const override;

private:
    std::vector<Entry> entries_;
};
