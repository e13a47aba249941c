#include "DefinitionTestTree.h"
#include "GameObjectDefinitionCheck.h"

#include "definitions/OvniParams.h"

#include <gtest/gtest.h>

namespace {
const char* kOvniSections =
    "[Turret]\nTurMesh = \"gun.mesh\"\nTurPos = 0 -1 0\nTurCannPos = 0 0 1\nTurTurnSpeed = 120\nHasTurret = true\n"
    "TurAnim = spin\n"
    "[Anim]\nIdleAnim = idle\nHitAnim = hit\nIdleAnimSpd = 0.75\nTurnAnim = turn\nTurnAnim_Mspd = 0.5\n"
    "TurnAnim_Tspd = 1.5\n"
    "[Levitation]\nLev_Amplitude = 2.5\nLev_Range = 0.4\nLev_Offset = 0.2\n"
    "[Movement]\nMoveType = 1\nMoveSpeed = 9\nMoveInterval = 1.5\nMoveDuration = 0.75\n"
    "[Reactor]\nNum_Reactors = 2\nReact_0_Name = never\n"
    "React_1_Name = glow\nReact_1_Pos = 0 -1 0\nReact_2_Name = \"jet\"\nReact_2_Pos = 1 0 -1\n";
}  // namespace

TEST(OvniParams, SourceAndCacheRoundTrip)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "ufo", fullObjectSource(kOvniSections));
    OvniParams source("ufo");
    ASSERT_TRUE(source.readIni());
    expectFullSourceValues(source, 1);
    EXPECT_EQ(source.TurMesh, "gun.mesh");
    EXPECT_EQ(source.TurPos, Ogre::Vector3(0, -1, 0));
    EXPECT_EQ(source.TurCannPos, Ogre::Vector3(0, 0, 1));
    EXPECT_EQ(source.TurTurnSpeed, 120.0f);
    EXPECT_TRUE(source.HasTurret);
    EXPECT_EQ(source.getTurAnim(), "spin");
    EXPECT_EQ(source.getIdleAnim(), "idle");
    EXPECT_EQ(source.getHitAnim(), "hit");
    EXPECT_EQ(source.getTurnAnim(), "turn");
    EXPECT_EQ(source.IdleAnimSpd, 0.75f);
    EXPECT_EQ(source.TurnAnim_Mspd, 0.5f);
    EXPECT_EQ(source.TurnAnim_Tspd, 1.5f);
    EXPECT_EQ(source.Lev_Amplitude, 2.5f);
    EXPECT_EQ(source.Lev_Range, 0.4f);
    EXPECT_EQ(source.Lev_Offset, 0.2f);
    EXPECT_EQ(source.MoveType, 1u);
    EXPECT_EQ(source.MoveSpeed, 9.0f);
    EXPECT_EQ(source.MoveInterval, 1.5f);
    EXPECT_EQ(source.MoveDuration, 0.75f);
    ASSERT_EQ(source.getNumReactors(), 2u);
    EXPECT_EQ(source.getReactorName(0), "glow");
    EXPECT_EQ(source.getReactorName(1), "jet");
    EXPECT_EQ(source.getReactorName(2), "");
    EXPECT_EQ(source.Reactors[1].Pos, Ogre::Vector3(1, 0, -1));

    ASSERT_TRUE(source.writeCache());
    const OvniParams loaded("ufo");
    ASSERT_TRUE(loaded.cacheLoaded());
    expectSameObjectFields(source, loaded);
    EXPECT_EQ(loaded.groundOffset, source.groundOffset);
    EXPECT_EQ(loaded.MainWeapPos, source.MainWeapPos);
    EXPECT_EQ(loaded.TurMesh, source.TurMesh);
    EXPECT_EQ(loaded.TurPos, source.TurPos);
    EXPECT_EQ(loaded.TurCannPos, source.TurCannPos);
    EXPECT_EQ(loaded.HasTurret, source.HasTurret);
    EXPECT_EQ(loaded.TurTurnSpeed, source.TurTurnSpeed);
    EXPECT_EQ(loaded.IdleAnim, source.IdleAnim);
    EXPECT_EQ(loaded.HitAnim, source.HitAnim);
    EXPECT_EQ(loaded.TurnAnim, source.TurnAnim);
    EXPECT_EQ(loaded.TurnAnim_Mspd, source.TurnAnim_Mspd);
    EXPECT_EQ(loaded.TurnAnim_Tspd, source.TurnAnim_Tspd);
    EXPECT_EQ(loaded.TurAnim, source.TurAnim);
    EXPECT_EQ(loaded.IdleAnimSpd, source.IdleAnimSpd);
    EXPECT_EQ(loaded.Lev_Amplitude, source.Lev_Amplitude);
    EXPECT_EQ(loaded.Lev_Range, source.Lev_Range);
    EXPECT_EQ(loaded.Lev_Offset, source.Lev_Offset);
    EXPECT_EQ(loaded.MoveType, source.MoveType);
    EXPECT_EQ(loaded.MoveSpeed, source.MoveSpeed);
    EXPECT_EQ(loaded.MoveInterval, source.MoveInterval);
    EXPECT_EQ(loaded.MoveDuration, source.MoveDuration);
    ASSERT_EQ(loaded.getNumReactors(), 2u);
    for (uint32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded.Reactors[i].Name, source.Reactors[i].Name);
        EXPECT_EQ(loaded.Reactors[i].Pos, source.Reactors[i].Pos);
    }
}

TEST(OvniParams, SourceDefaultsAndSections)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "plainUfo", "[Anim]\nTurAnim = misplaced\n[Data]\nRoleCore = 4\n");
    OvniParams d("plainUfo");
    ASSERT_TRUE(d.readIni());
    EXPECT_EQ(d.getTurAnim(), "");  // read from the turret's section only
    EXPECT_EQ(d.RadarRange, 20000.0f);
    EXPECT_EQ(d.roleCode, 1u);
    EXPECT_EQ(d.getNumReactors(), 0u);

    ASSERT_TRUE(d.writeCache());
    const OvniParams loaded("plainUfo");
    ASSERT_TRUE(loaded.cacheLoaded());
    EXPECT_EQ(loaded.getNumReactors(), 0u);
    EXPECT_EQ(loaded.RadarRange, 20000.0f);

    t.writeSource("Data/GamePlay", "swarm", "[Reactor]\nNum_Reactors = 65\n");
    OvniParams swarm("swarm");
    EXPECT_FALSE(swarm.readIni());
}

TEST(OvniParams, DamagedCacheKeepsTheDefaults)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "ufo", fullObjectSource(kOvniSections));
    OvniParams source("ufo");
    ASSERT_TRUE(source.readIni());
    ASSERT_TRUE(source.writeCache());
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("ufo", "ZVO"));
    for (size_t cut = 0; cut < good.size(); cut += 5) {
        t.writeBytes(t.cachePath("ufo", "ZVO"), std::vector<uint8_t>(good.begin(), good.begin() + cut));
        const OvniParams d("ufo");
        ASSERT_FALSE(d.cacheLoaded()) << cut;
        EXPECT_EQ(d.getNumReactors(), 0u) << cut;
    }

    // An air object's cache has the same type code but lacks the Ovni's fields.
    AirObjParams air("air");
    air.meshName = "plane.mesh";
    ASSERT_TRUE(air.writeCache());
    const OvniParams asOvni("air");
    EXPECT_FALSE(asOvni.cacheLoaded());
    EXPECT_EQ(asOvni.meshName, "");
}
