#pragma once
// A reactor with one particle system: emits at its template's rate while on or firing.
#include "world/VirtualReactor.h"

class BasicReactor : public VirtualReactor {
public:
    BasicReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                 audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName,
                 fx::ParticleStock* stock = nullptr);
    ~BasicReactor() override;

    bool update(float dt) override;
    void setState(int state) override;
    void setEmitterPosition(const Ogre::Vector3& position) override;
    void setEmitterDirectionX(float x) override;

    // Null when the template was missing.
    Ogre::ParticleSystem* getParticleSystem() const { return system_; }
    float getBaseEmissionRate() const { return baseRate_; }
    std::vector<Ogre::ParticleSystem*> particleSystems() const override { return {system_}; }

protected:
    // Makes the system under the given infix; the subclass sets up its sound and start state.
    BasicReactor(Placed, Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                 audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName,
                 const char* infix, fx::ParticleStock* stock);
    // Every emitter stops; a looping sound stops too.
    void switchOff();

    float baseRate_ = 0.0f;
    Ogre::ParticleSystem* system_ = nullptr;
};
