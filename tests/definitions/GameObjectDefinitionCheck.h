#pragma once
// Field-by-field comparison of game-object definitions for the round-trip tests.
#include "definitions/goParams.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>

// Every shared field and every part; the part angles are not stored, so they are skipped.
inline void expectSameObjectFields(const goParams& a, const goParams& b)
{
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.MoneyGain, b.MoneyGain);
    EXPECT_EQ(a.ExperienceGain, b.ExperienceGain);
    EXPECT_EQ(std::trunc(a.HP), b.HP);
    EXPECT_EQ(a.OverHPBonus, b.OverHPBonus);
    EXPECT_EQ(a.meshName, b.meshName);
    EXPECT_EQ(a.collisionMeshName, b.collisionMeshName);
    EXPECT_EQ(a.gameName, b.gameName);
    EXPECT_EQ(a.roleCode, b.roleCode);
    EXPECT_EQ(a.Spawn_Effect, b.Spawn_Effect);
    EXPECT_EQ(a.Retreat_Effect, b.Retreat_Effect);
    EXPECT_EQ(a.Death_Effect, b.Death_Effect);
    EXPECT_EQ(a.ItemPicker, b.ItemPicker);
    EXPECT_EQ(a.RetreatTime, b.RetreatTime);
    EXPECT_EQ(a.reservedFlag1, b.reservedFlag1);
    EXPECT_EQ(a.castShadow, b.castShadow);
    EXPECT_EQ(a.imortal, b.imortal);
    EXPECT_EQ(a.reservedFlag2, b.reservedFlag2);
    EXPECT_EQ(a.ActorColide, b.ActorColide);
    EXPECT_EQ(a.AbsorbSplash, b.AbsorbSplash);
    EXPECT_EQ(a.RadarRange, b.RadarRange);
    EXPECT_EQ(a.LockRangeVar, b.LockRangeVar);
    EXPECT_EQ(a.LockAngleVar, b.LockAngleVar);
    EXPECT_EQ(a.TermoStealth, b.TermoStealth);
    EXPECT_EQ(a.RadarStealth, b.RadarStealth);
    EXPECT_EQ(a.TgtStealthRes, b.TgtStealthRes);
    EXPECT_EQ(a.JammingResistance, b.JammingResistance);
    EXPECT_EQ(a.GroundLockVar, b.GroundLockVar);
    EXPECT_EQ(a.AirLockVar, b.AirLockVar);
    EXPECT_EQ(a.HasMainWeapon, b.HasMainWeapon);
    EXPECT_EQ(a.MainWeapon, b.MainWeapon);
    EXPECT_EQ(a.Explode, b.Explode);
    EXPECT_EQ(a.ExplodeEffect, b.ExplodeEffect);
    EXPECT_EQ(a.ExplodeDammage, b.ExplodeDammage);
    EXPECT_EQ(a.ExplodeDamRange, b.ExplodeDamRange);
    EXPECT_EQ(a.ExplodeDamFallOut, b.ExplodeDamFallOut);
    EXPECT_EQ(a.CriticalDam_Reactor, b.CriticalDam_Reactor);
    EXPECT_EQ(a.CriticalDam_Prob, b.CriticalDam_Prob);
    ASSERT_EQ(a.subObjs.size(), b.subObjs.size());
    for (size_t i = 0; i < a.subObjs.size(); ++i) {
        SCOPED_TRACE("part " + std::to_string(i + 1));
        const subObjParams& x = a.subObjs[i];
        const subObjParams& y = b.subObjs[i];
        EXPECT_EQ(x.KillMoney, y.KillMoney);
        EXPECT_EQ(x.KillExp, y.KillExp);
        EXPECT_EQ(std::trunc(x.HP), y.HP);  // stored without its fraction
        EXPECT_EQ(x.MeshName, y.MeshName);
        EXPECT_EQ(x.CollName, y.CollName);
        EXPECT_EQ(x.GameName, y.GameName);
        EXPECT_EQ(x.ColideActor, y.ColideActor);
        EXPECT_EQ(x.ObjPos, y.ObjPos);
        EXPECT_EQ(x.OriByVect, y.OriByVect);
        EXPECT_EQ(x.Death_Effect, y.Death_Effect);
        EXPECT_EQ(x.subObj_Type, y.subObj_Type);
        EXPECT_EQ(x.Critical, y.Critical);
        EXPECT_EQ(x.KillDmgParent, y.KillDmgParent);
        EXPECT_EQ(x.isColObj, y.isColObj);
        EXPECT_EQ(x.isRdrObj, y.isRdrObj);
        EXPECT_EQ(x.Active, y.Active);
        EXPECT_EQ(x.FireDelay, y.FireDelay);
        EXPECT_EQ(x.RadarRange, y.RadarRange);
        EXPECT_EQ(x.lockRange, y.lockRange);
        EXPECT_EQ(x.lockTime, y.lockTime);
        EXPECT_EQ(x.lockAng, y.lockAng);
        EXPECT_EQ(x.MainWeapName, y.MainWeapName);
        EXPECT_EQ(x.ContFireTime, y.ContFireTime);
    }
}

// The keys every game-object class reads, each set to a value no default or correction gives;
// `extra` is appended (class sections and the parts).
inline std::string fullObjectSource(const std::string& extra)
{
    return "[Data]\n"
           "meshName = \"hull.mesh\"\n"
           "collisionMeshName = hull_col.mesh\n"
           "gameName = \"Test unit\"\n"
           "castShadow = true\n"
           "imortal = true\n"
           "ActorColide = true\n"
           "groundOffset = 0.5 -1.5 2\n"
           "HP = 777\n"
           "ExperienceGain = 12\n"
           "MoneyGain = 34\n"
           "RoleCore = 3\n"
           "AbsorbSplash = true\n"
           "RetreatTime = 45.5\n"
           "ItemPicker = true\n"
           "OverHPBonus = 12.5\n"
           "[Effects]\n"
           "Death_Effect = boom\n"
           "Spawn_Effect = appear\n"
           "Retreat_Effect = vanish\n"
           "[Specs]\n"
           "RadarRange = 1234\n"
           "LockRangeVar = 0.2\n"
           "LockAngleVar = 5\n"
           "JammingResistance = 7\n"
           "TermoStealth = 8\n"
           "RadarStealth = 9\n"
           "TgtStealthRes = 10\n"
           "GroundLockVar = 1.5\n"
           "AirLockVar = 2.5\n"
           "[Death]\n"
           "Explode = true\n"
           "ExplodeEffect = big_boom\n"
           "ExplodeDammage = 55\n"
           "ExplodeDamRange = 6.5\n"
           "ExplodeDamFallOut = true\n"
           "[Reactors]\n"
           "CriticalDam_Reactor = smoke\n"
           "CriticalDam_Prob = 42\n"
           "[Weapons]\n"
           "HasMainWeapon = true\n"
           "MainWeapon = \"cannon\"\n"
           "MainWeapPos = 1 2 3\n"
           "[SubObjData]\n"
           "numGoSubObjs = 2\n"
           "[SubObjData_1]\n"
           "subObj_Type = 1\nisColObj = true\nisRdrObj = true\nActive = true\n"
           "ObjPos = 1 2 3\nOriByVect = 0 0 1\nOriByPitch = 10\nOriByYaw = 20\nOriRoll = 30\n"
           "GameName = Gun\nMeshName = gun.mesh\nCollName = gun_col.mesh\nColideActor = true\n"
           "KillMoney = 5\nKillExp = 6\nHP = 99.9\nCritical = true\nKillDmgParent = 7\n"
           "Death_Effect = pop\nFireDelay = 1.5\nRadarRange = 300\nlockRange = 200\nlockTime = 0.5\n"
           "lockAng = 15\nMainWeapName = \"mg\"\nContFireTime = 2.5\n"
           "[SubObjData_2]\n"
           "subObj_Type = 7\nObjPos = -1 0 0\nOriByYaw = 90\nGameName = Plate\nHP = 40\n" +
           extra;
}

// What a reader of fullObjectSource() must hold (roleCode depends on the class).
inline void expectFullSourceValues(const goParams& d, uint32_t roleCode)
{
    EXPECT_EQ(d.meshName, "hull.mesh");
    EXPECT_EQ(d.collisionMeshName, "hull_col.mesh");
    EXPECT_EQ(d.gameName, "Test unit");
    EXPECT_TRUE(d.castShadow);
    EXPECT_TRUE(d.imortal);
    EXPECT_TRUE(d.reservedFlag1);
    EXPECT_FALSE(d.reservedFlag2);
    EXPECT_TRUE(d.ActorColide);
    EXPECT_EQ(d.HP, 777.0f);
    EXPECT_EQ(d.ExperienceGain, 12u);
    EXPECT_EQ(d.MoneyGain, 34u);
    EXPECT_EQ(d.roleCode, roleCode);
    EXPECT_TRUE(d.AbsorbSplash);
    EXPECT_EQ(d.RetreatTime, 45.5f);
    EXPECT_TRUE(d.ItemPicker);
    EXPECT_EQ(d.OverHPBonus, 12.5f);
    EXPECT_EQ(d.Death_Effect, "boom");
    EXPECT_EQ(d.Spawn_Effect, "appear");
    EXPECT_EQ(d.Retreat_Effect, "vanish");
    EXPECT_EQ(d.RadarRange, 1234.0f);
    EXPECT_EQ(d.LockRangeVar, 0.2f);
    EXPECT_EQ(d.LockAngleVar, 5.0f);
    EXPECT_EQ(d.JammingResistance, 7.0f);
    EXPECT_EQ(d.TermoStealth, 8.0f);
    EXPECT_EQ(d.RadarStealth, 9.0f);
    EXPECT_EQ(d.TgtStealthRes, 10.0f);
    EXPECT_EQ(d.GroundLockVar, 1.5f);
    EXPECT_EQ(d.AirLockVar, 2.5f);
    EXPECT_TRUE(d.Explode);
    EXPECT_EQ(d.ExplodeEffect, "big_boom");
    EXPECT_EQ(d.ExplodeDammage, 55u);
    EXPECT_EQ(d.ExplodeDamRange, 6.5f);
    EXPECT_TRUE(d.ExplodeDamFallOut);
    EXPECT_EQ(d.CriticalDam_Reactor, "smoke");
    EXPECT_EQ(d.CriticalDam_Prob, 42.0f);
    EXPECT_TRUE(d.HasMainWeapon);
    EXPECT_EQ(d.MainWeapon, "cannon");
    ASSERT_EQ(d.getNumSubObjs(), 2u);
    const subObjParams& gun = d.subObjs[0];
    EXPECT_EQ(gun.subObj_Type, 1u);
    EXPECT_TRUE(gun.isColObj);
    EXPECT_TRUE(gun.isRdrObj);
    EXPECT_TRUE(gun.Active);
    EXPECT_EQ(gun.ObjPos, Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(gun.OriByVect, Ogre::Vector3(0, 0, 1));
    EXPECT_EQ(gun.GameName, "Gun");
    EXPECT_EQ(gun.MeshName, "gun.mesh");
    EXPECT_EQ(gun.CollName, "gun_col.mesh");
    EXPECT_TRUE(gun.ColideActor);
    EXPECT_EQ(gun.KillMoney, 5u);
    EXPECT_EQ(gun.KillExp, 6u);
    EXPECT_TRUE(gun.Critical);
    EXPECT_EQ(gun.KillDmgParent, 7u);
    EXPECT_EQ(gun.Death_Effect, "pop");
    EXPECT_EQ(gun.FireDelay, 1.5f);
    EXPECT_EQ(gun.RadarRange, 300.0f);
    EXPECT_EQ(gun.lockRange, 200.0f);
    EXPECT_EQ(gun.lockTime, 0.5f);
    EXPECT_EQ(gun.lockAng, 15.0f);
    EXPECT_EQ(gun.MainWeapName, "mg");
    EXPECT_EQ(gun.ContFireTime, 2.5f);
    EXPECT_EQ(d.subObjs[1].subObj_Type, 7u);  // stored unchanged
    EXPECT_EQ(d.subObjs[1].GameName, "Plate");
}
