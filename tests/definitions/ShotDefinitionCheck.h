#pragma once
// Field-by-field comparison of projectile, warhead and pickup definitions, subclass fields
// included.
#include "definitions/PickupParams.h"
#include "definitions/WarHeadParams.h"
#include "definitions/projParams.h"

#include <gtest/gtest.h>

inline void expectSameProjectile(const projParams& a, const projParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.meshName, b.meshName);
    EXPECT_EQ(a.timeToLive, b.timeToLive);
    EXPECT_EQ(a.ProjectileType, b.ProjectileType);
    EXPECT_EQ(a.Speed, b.Speed);
    EXPECT_EQ(a.MaxSpeed, b.MaxSpeed);
    EXPECT_EQ(a.Damage, b.Damage);
    EXPECT_EQ(a.MomentumTransfer, b.MomentumTransfer);
    EXPECT_EQ(a.DamageType, b.DamageType);
    EXPECT_EQ(a.UseProximityFuse, b.UseProximityFuse);
    EXPECT_EQ(a.ProxFuse_TGTDist, b.ProxFuse_TGTDist);
    EXPECT_EQ(a.UseSurroundFuse, b.UseSurroundFuse);
    EXPECT_EQ(a.SroundFuse_TGTDist, b.SroundFuse_TGTDist);
    EXPECT_EQ(a.TrackType, b.TrackType);
    EXPECT_EQ(a.TgtStealthRes, b.TgtStealthRes);
    EXPECT_EQ(a.JammingResistance, b.JammingResistance);
    EXPECT_EQ(a.hasSpawnSound, b.hasSpawnSound);
    if (a.hasSpawnSound) {  // a blank name is not stored
        EXPECT_EQ(a.SpawnSound, b.SpawnSound);
    }
    EXPECT_EQ(a.hasLiveSound, b.hasLiveSound);
    if (a.hasLiveSound) {
        EXPECT_EQ(a.LiveSound, b.LiveSound);
    }
    EXPECT_EQ(a.ReactorName, b.ReactorName);
    EXPECT_EQ(a.MinDistVisible, b.MinDistVisible);
    auto* missA = dynamic_cast<const MissParams*>(&a);
    auto* missB = dynamic_cast<const MissParams*>(&b);
    ASSERT_EQ(missA == nullptr, missB == nullptr);
    if (missA) {
        EXPECT_EQ(missA->trackSkill, missB->trackSkill);
        EXPECT_EQ(missA->maxFOV, missB->maxFOV);
        EXPECT_EQ(missA->trackaPass, missB->trackaPass);
    }
}

inline void expectSameWarhead(const WarHeadParams& a, const WarHeadParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.getWarheadType(), b.getWarheadType());
    EXPECT_EQ(a.effectNames, b.effectNames);
    EXPECT_EQ(a.effects.size(), b.effects.size());
    EXPECT_EQ(a.DamageRange, b.DamageRange);
    EXPECT_EQ(a.DirectHitMultiplier, b.DirectHitMultiplier);
    EXPECT_EQ(a.SplashAffectAir, b.SplashAffectAir);
    EXPECT_EQ(a.SplashFadeDamage, b.SplashFadeDamage);
    EXPECT_EQ(a.blastInterval, b.blastInterval);
    EXPECT_EQ(a.FriendlyFire, b.FriendlyFire);
    EXPECT_EQ(a.hasImpactSound, b.hasImpactSound);
    if (a.hasImpactSound) {
        EXPECT_EQ(a.ImpactSound, b.ImpactSound);
    }
    auto* napalmA = dynamic_cast<const NapalmWHParams*>(&a);
    auto* napalmB = dynamic_cast<const NapalmWHParams*>(&b);
    ASSERT_EQ(napalmA == nullptr, napalmB == nullptr);
    if (napalmA) {
        EXPECT_EQ(napalmA->MaxDistanceSpread, napalmB->MaxDistanceSpread);
        EXPECT_EQ(napalmA->MaxHeightOffset, napalmB->MaxHeightOffset);
        EXPECT_EQ(napalmA->hasInertiaSpread, napalmB->hasInertiaSpread);
        EXPECT_EQ(napalmA->hasDropHeightInf, napalmB->hasDropHeightInf);
        EXPECT_EQ(napalmA->DH_Spread_At_0m, napalmB->DH_Spread_At_0m);
        EXPECT_EQ(napalmA->DH_Spread_At_5000m, napalmB->DH_Spread_At_5000m);
    }
    auto* clusterA = dynamic_cast<const SClusterWHParams*>(&a);
    auto* clusterB = dynamic_cast<const SClusterWHParams*>(&b);
    ASSERT_EQ(clusterA == nullptr, clusterB == nullptr);
    if (clusterA) {
        EXPECT_EQ(clusterA->SpreadDistance, clusterB->SpreadDistance);
        EXPECT_EQ(clusterA->MinSpreadBlasts, clusterB->MinSpreadBlasts);
        EXPECT_EQ(clusterA->MaxSpreadBlasts, clusterB->MaxSpreadBlasts);
        EXPECT_EQ(clusterA->LimitPlanarSpread, clusterB->LimitPlanarSpread);
        EXPECT_EQ(clusterA->AirExplosion, clusterB->AirExplosion);
    }
}

inline void expectSamePickup(const PickupParams& a, const PickupParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.getTypeCode(), b.getTypeCode());
    EXPECT_EQ(a.meshName, b.meshName);
    EXPECT_EQ(a.ColectRange, b.ColectRange);
    EXPECT_EQ(a.TimeLive, b.TimeLive);
    EXPECT_EQ(a.Rotate, b.Rotate);
    EXPECT_EQ(a.Rotate_Speed, b.Rotate_Speed);
    EXPECT_EQ(a.Levitate, b.Levitate);
    EXPECT_EQ(a.Lev_Range, b.Lev_Range);
    EXPECT_EQ(a.Lev_Amplitude, b.Lev_Amplitude);
    EXPECT_EQ(a.Lev_Offset, b.Lev_Offset);
    auto* weapA = dynamic_cast<const PickWeapParams*>(&a);
    auto* weapB = dynamic_cast<const PickWeapParams*>(&b);
    ASSERT_EQ(weapA == nullptr, weapB == nullptr);
    if (weapA) {
        EXPECT_EQ(weapA->getWeapName(), weapB->getWeapName());
    }
    auto* healthA = dynamic_cast<const HealthPickupParams*>(&a);
    auto* healthB = dynamic_cast<const HealthPickupParams*>(&b);
    ASSERT_EQ(healthA == nullptr, healthB == nullptr);
    if (healthA) {
        EXPECT_EQ(healthA->Perc, healthB->Perc);
        EXPECT_EQ(healthA->OverHeal, healthB->OverHeal);
        EXPECT_EQ(healthA->Value, healthB->Value);
        EXPECT_EQ(healthA->Function, healthB->Function);
    }
    auto* goA = dynamic_cast<const GoEffPickupParams*>(&a);
    auto* goB = dynamic_cast<const GoEffPickupParams*>(&b);
    ASSERT_EQ(goA == nullptr, goB == nullptr);
    if (goA) {
        EXPECT_EQ(goA->TurboMode, goB->TurboMode);
        EXPECT_EQ(goA->NoDamageMode, goB->NoDamageMode);
        EXPECT_EQ(goA->AddTurbo, goB->AddTurbo);
        EXPECT_EQ(goA->AddNoDamage, goB->AddNoDamage);
    }
}
