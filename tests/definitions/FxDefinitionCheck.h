#pragma once
// Field-by-field comparison of effect and reactor definitions, subclass fields included.
#include "definitions/EffectsParams.h"
#include "definitions/VirtualReactorParams.h"

#include <gtest/gtest.h>

inline void expectSameEffect(const EffectsParams& a, const EffectsParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.getTypeCode(), b.getTypeCode());
    EXPECT_EQ(a.TimeToLive, b.TimeToLive);
    EXPECT_EQ(a.PositionOffset, b.PositionOffset);
    EXPECT_EQ(a.Sound, b.Sound);
    if (a.Sound || b.Sound) {  // a blank name is not stored
        EXPECT_EQ(a.EffectSound, b.EffectSound);
    }
    EXPECT_EQ(a.EffectSound_Gain, b.EffectSound_Gain);
    EXPECT_EQ(a.EffectSound_PitchVar, b.EffectSound_PitchVar);
    auto* baseA = dynamic_cast<const BaseEffectsParams*>(&a);
    auto* baseB = dynamic_cast<const BaseEffectsParams*>(&b);
    ASSERT_EQ(baseA == nullptr, baseB == nullptr);
    if (baseA) {
        EXPECT_EQ(baseA->ParticleName, baseB->ParticleName);
    }
    auto* multiA = dynamic_cast<const MultiEffectsParams*>(&a);
    auto* multiB = dynamic_cast<const MultiEffectsParams*>(&b);
    ASSERT_EQ(multiA == nullptr, multiB == nullptr);
    if (multiA) {
        ASSERT_EQ(multiA->getNumParticles(), multiB->getNumParticles());
        for (uint32_t i = 0; i < multiA->getNumParticles(); ++i) {
            EXPECT_EQ(multiA->particles[i].ParticleName, multiB->particles[i].ParticleName);
            EXPECT_EQ(multiA->particles[i].TimeToLive, multiB->particles[i].TimeToLive);
        }
    }
}

inline void expectSameReactor(const VirtualReactorParams& a, const VirtualReactorParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.getTypeCode(), b.getTypeCode());
    EXPECT_EQ(a.PositionOffset, b.PositionOffset);
    EXPECT_EQ(a.FireTime, b.FireTime);
    EXPECT_EQ(a.Sound, b.Sound);
    if (a.Sound || b.Sound) {  // a blank name is not stored
        EXPECT_EQ(a.EffectSound, b.EffectSound);
    }
    EXPECT_EQ(a.EffectSound_Loop, b.EffectSound_Loop);
    EXPECT_EQ(a.EffectSound_Gain_Low, b.EffectSound_Gain_Low);
    EXPECT_EQ(a.EffectSound_Pitch_Low, b.EffectSound_Pitch_Low);
    EXPECT_EQ(a.EffectSound_Gain_High, b.EffectSound_Gain_High);
    EXPECT_EQ(a.EffectSound_Pitch_High, b.EffectSound_Pitch_High);
    EXPECT_EQ(a.EffectSound_PitchVar, b.EffectSound_PitchVar);
    EXPECT_EQ(a.StartState, b.StartState);
    auto* basicA = dynamic_cast<const BasicReactorParams*>(&a);
    auto* basicB = dynamic_cast<const BasicReactorParams*>(&b);
    ASSERT_EQ(basicA == nullptr, basicB == nullptr);
    if (basicA) {
        EXPECT_EQ(basicA->ParticleName, basicB->ParticleName);
    }
    auto* varA = dynamic_cast<const VariableReactorParams*>(&a);
    auto* varB = dynamic_cast<const VariableReactorParams*>(&b);
    ASSERT_EQ(varA == nullptr, varB == nullptr);
    if (varA) {
        EXPECT_EQ(varA->EffectEmit_Rate_Var, varB->EffectEmit_Rate_Var);
        EXPECT_EQ(varA->EffectEmit_Rate_Low, varB->EffectEmit_Rate_Low);
        EXPECT_EQ(varA->EffectEmit_Rate_High, varB->EffectEmit_Rate_High);
        EXPECT_EQ(varA->EffectEmit_Life_Var, varB->EffectEmit_Life_Var);
        EXPECT_EQ(varA->EffectEmit_LifeMin_Low, varB->EffectEmit_LifeMin_Low);
        EXPECT_EQ(varA->EffectEmit_LifeMin_High, varB->EffectEmit_LifeMin_High);
        EXPECT_EQ(varA->EffectEmit_LifeMax_Low, varB->EffectEmit_LifeMax_Low);
        EXPECT_EQ(varA->EffectEmit_LifeMax_High, varB->EffectEmit_LifeMax_High);
    }
    auto* multiA = dynamic_cast<const MultiReactorParams*>(&a);
    auto* multiB = dynamic_cast<const MultiReactorParams*>(&b);
    ASSERT_EQ(multiA == nullptr, multiB == nullptr);
    if (multiA) {
        ASSERT_EQ(multiA->getNumParticles(), multiB->getNumParticles());
        for (uint32_t i = 0; i < multiA->getNumParticles(); ++i) {
            EXPECT_EQ(multiA->particles[i].ParticleName, multiB->particles[i].ParticleName);
            EXPECT_EQ(multiA->particles[i].TimeToLive, multiB->particles[i].TimeToLive);
        }
    }
}
