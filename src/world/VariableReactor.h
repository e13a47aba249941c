#pragma once
// A reactor with one particle system whose emission rate and particle life follow the level,
// from the definition's low values at 0 to its high values at 1. Setting the level puts the
// reactor back in its start state.
#include "world/BasicReactor.h"

class VariableReactor : public BasicReactor {
public:
    VariableReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params, Ogre::SceneManager* scene,
                    audio::SoundManager* sounds, RandomGenerator* random, int slot, const std::string& poolName,
                    fx::ParticleStock* stock = nullptr);

    void setLevel(const float& level) override;
    void setState(int state) override;

private:
    // Level 0 when the rate follows the level, else the template's rate.
    void emitAtLowestLevel();

    const VariableReactorParams* variable_;  // null when the definition is not a variable one
};
