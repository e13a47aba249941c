#include "world/VariableReactor.h"

#include "core/Utilities.h"
#include "world/FxParticles.h"
#include "world/ParticleStock.h"

#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>

VariableReactor::VariableReactor(Ogre::SceneNode* parent, const VirtualReactorParams* params,
                                 Ogre::SceneManager* scene, audio::SoundManager* sounds, RandomGenerator* random,
                                 int slot, const std::string& poolName, fx::ParticleStock* stock)
    : BasicReactor(Placed{}, parent, params, scene, sounds, random, slot, poolName, "Reactor", stock),
      variable_(dynamic_cast<const VariableReactorParams*>(params))
{
    setUpSound(FirstPitch::Spread);
    baseRate_ = fx::firstEmissionRate(system_);
    setState(startState());
    setLevel(0.0f);
}

void VariableReactor::setLevel(const float& level)
{
    applySoundLevel(level);
    if (system_ && variable_) {
        const VariableReactorParams& v = *variable_;
        for (unsigned short i = 0; i < system_->getNumEmitters(); ++i) {
            Ogre::ParticleEmitter* emitter = system_->getEmitter(i);
            if (v.EffectEmit_Rate_Var)
                emitter->setEmissionRate(remapClamped(0.0f, 1.0f, level, v.EffectEmit_Rate_Low, v.EffectEmit_Rate_High));
            if (v.EffectEmit_Life_Var) {
                emitter->setMaxTimeToLive(
                    remapClamped(0.0f, 1.0f, level, v.EffectEmit_LifeMax_Low, v.EffectEmit_LifeMax_High));
                emitter->setMinTimeToLive(
                    remapClamped(0.0f, 1.0f, level, v.EffectEmit_LifeMin_Low, v.EffectEmit_LifeMin_High));
            }
        }
    }
    setState(startState());
}

void VariableReactor::emitAtLowestLevel()
{
    if (variable_ && variable_->EffectEmit_Rate_Var)
        setLevel(0.0f);
    else
        fx::setFirstEmissionRate(system_, baseRate_);
}

void VariableReactor::setState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    if (state == ReactorState_On) {
        emitAtLowestLevel();
        playSound();
    } else if (state == ReactorState_Fire) {
        drawPitchOffset();
        emitAtLowestLevel();
        restartSound();
        fireTimer_ = params_->FireTime;
    } else {
        switchOff();
    }
}
