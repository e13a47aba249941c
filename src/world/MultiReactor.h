#pragma once
// A reactor with several particle systems. In a fire burst each system emits for its own burst
// life; switched on, all emit at their templates' rates.
#include "world/VirtualReactor.h"

class MultiReactor : public VirtualReactor {
public:
    struct Entry {
        Ogre::ParticleSystem* system = nullptr;  // null when its template was missing
        float baseRate = 0.0f;
        float burstLife = 0.0f;
    };

    MultiReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                 audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName,
                 fx::ParticleStock* stock = nullptr);
    ~MultiReactor() override;

    bool update(float dt) override;
    void setState(int state) override;
    void setEmitterPosition(const Ogre::Vector3& position) override;
    void setEmitterDirectionX(float x) override;

    const std::vector<Entry>& getEntries() const { return entries_; }
    std::vector<Ogre::ParticleSystem*> particleSystems() const override;

private:
    void emitAtBaseRates();

    std::vector<Entry> entries_;
};
