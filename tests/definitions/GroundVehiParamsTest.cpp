#include "DefinitionTestTree.h"
#include "GameObjectDefinitionCheck.h"

#include "definitions/GroundVehiParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {
const char* kVehicleSections =
    "[Specs]\n"
    "AccelerationRate = 1.5\nDeccelerationRate = 2.5\nBrakeRate = 3.5\nMaxVelocity = 4.5\nTurnRate = 5.5\n"
    "TurretSpeed = 6.5\nRevRate = 7.5\nJumpDashRange = 8.5\nJumpDashRefreshTime = 9.5\nJumpDashJumpTime = 10.5\n"
    "JumpDashVerticalJump = 11.5\nJumpDashOverDPerc = 0.25\nRevEnableSpeed = 12.5\n"
    "[Wheels]\n"
    "NumTreads = 3\n"
    "Tread_0_Mesh = never.mesh\n"
    "Tread_1_Mesh = \"left.mesh\"\nTread_1_Pos = -1 0.5 0\nTread_1_NumWheels = 2\n"
    "Tread_1_Wheel_0_wRaio = 9\n"
    "Tread_1_Wheel_1_Pos = 1.5 2.5\nTread_1_Wheel_1_wRaio = 0.625\n"
    "Tread_1_Wheel_2_Pos = -1.5 2.5\nTread_1_Wheel_2_wRaio = 0.75\n"
    "Tread_2_Mesh = right.mesh\nTread_2_Pos = 1 0.5 0\nTread_2_NumWheels = 3\n"
    "Tread_2_Wheel_1_Pos = 1 1\nTread_2_Wheel_1_wRaio = 0.5\n"
    "Tread_2_Wheel_2_Pos = 0 1\nTread_2_Wheel_2_wRaio = 0.5\n"
    "Tread_2_Wheel_3_Pos = -1 1\nTread_2_Wheel_3_wRaio = 0.5\n"
    "Tread_3_Mesh = bare.mesh\nTread_3_Pos = 0 0 -2\n"
    "[Turret]\n"
    "hasTurret = true\nTurretMesh = turret.mesh\nTurretPos = 0 1 0\nCannonPos = 0 0.2 2\nHardPointPos = 0 1 -1\n"
    "[Terrain]\nBaseRollPerc = 0.5\nBasePitchPerc = 0.6\nBaseRollSpd = 40\nBasePitchSpd = 45\n"
    "[Colision]\nCollPointFLeft = -2 0 3\nCollPointBRight = 2 2 -3\n"
    "[MoveDynamics]\nmd_DashPitch = -7\nmd_PicthSpd = 30\nmd_TurnRoll = 4\nmd_RollSpd = 20\n"
    "[TreadMat]\nTreadMatName = tread_mat\nTreadMatMovVar = 1.25\nTreadMatTurnVar = 0.5\n"
    "[Amim]\nTur_TurnAmim = tturn\nTur_TurnAmim_spd = 1.1\nTur_FireAnim = tfire\nBase_TurnAnim = bturn\n"
    "Base_TurnAmim_spd = 1.2\nBase_AccAmim = bacc\nBase_AccAmim_spd = 1.3\n"
    "[Reactor]\nMove_reactor = dust\nMove_Re_Pos = 0 0 -2\nDash_reactor = jets\nDash_Re_Pos = 0 1 -2\n"
    "[Effect]\nDashJumpEff = burst\nMinPowerDash = 0.3\n"
    "[Sounds]\nCrashSound = crash.ogg\nDashSound = dash.ogg\nEngineSound = engine.ogg\n";

void expectSameVehicle(const GroundVehiParams& a, const GroundVehiParams& b)
{
    expectSameObjectFields(a, b);
    EXPECT_EQ(a.groundOffset, b.groundOffset);
    EXPECT_EQ(a.MainWeapPos, b.MainWeapPos);
    EXPECT_EQ(a.AccelerationRate, b.AccelerationRate);
    EXPECT_EQ(a.DeccelerationRate, b.DeccelerationRate);
    EXPECT_EQ(a.BrakeRate, b.BrakeRate);
    EXPECT_EQ(a.MaxVelocity, b.MaxVelocity);
    EXPECT_EQ(a.TurnRate, b.TurnRate);
    EXPECT_EQ(a.RevRate, b.RevRate);
    EXPECT_EQ(a.RevEnableSpeed, b.RevEnableSpeed);
    EXPECT_EQ(a.hasTurret, b.hasTurret);
    EXPECT_EQ(a.TurretMesh, b.TurretMesh);
    EXPECT_EQ(a.TurretPos, b.TurretPos);
    EXPECT_EQ(a.TurretSpeed, b.TurretSpeed);
    EXPECT_EQ(a.CannonPos, b.CannonPos);
    EXPECT_EQ(a.HardPointPos, b.HardPointPos);
    EXPECT_EQ(a.JumpDashRange, b.JumpDashRange);
    EXPECT_EQ(a.JumpDashRefreshTime, b.JumpDashRefreshTime);
    EXPECT_EQ(a.JumpDashJumpTime, b.JumpDashJumpTime);
    EXPECT_EQ(a.JumpDashVerticalJump, b.JumpDashVerticalJump);
    EXPECT_EQ(a.JumpDashOverDPerc, b.JumpDashOverDPerc);
    EXPECT_EQ(a.BaseRollPerc, b.BaseRollPerc);
    EXPECT_EQ(a.BasePitchPerc, b.BasePitchPerc);
    EXPECT_EQ(a.BaseRollSpd, b.BaseRollSpd);
    EXPECT_EQ(a.BasePitchSpd, b.BasePitchSpd);
    EXPECT_EQ(a.md_DashPitch, b.md_DashPitch);
    EXPECT_EQ(a.md_PicthSpd, b.md_PicthSpd);
    EXPECT_EQ(a.md_TurnRoll, b.md_TurnRoll);
    EXPECT_EQ(a.md_RollSpd, b.md_RollSpd);
    ASSERT_EQ(a.getNumTreads(), b.getNumTreads());
    for (uint32_t i = 0; i < a.getNumTreads(); ++i) {
        SCOPED_TRACE("tread " + std::to_string(i + 1));
        EXPECT_EQ(a.Treads[i].Pos, b.Treads[i].Pos);
        EXPECT_EQ(a.Treads[i].Mesh, b.Treads[i].Mesh);
        ASSERT_EQ(a.Treads[i].getNumWheels(), b.Treads[i].getNumWheels());
        for (uint32_t w = 0; w < a.Treads[i].getNumWheels(); ++w) {
            EXPECT_EQ(a.Treads[i].Wheels[w].Pos, b.Treads[i].Wheels[w].Pos);
            EXPECT_EQ(a.Treads[i].Wheels[w].wRaio, b.Treads[i].Wheels[w].wRaio);
        }
    }
    EXPECT_EQ(a.CollPointFLeft, b.CollPointFLeft);
    EXPECT_EQ(a.CollPointBRight, b.CollPointBRight);
    EXPECT_EQ(a.Tur_TurnAmim, b.Tur_TurnAmim);
    EXPECT_EQ(a.Tur_TurnAmim_spd, b.Tur_TurnAmim_spd);
    EXPECT_EQ(a.Tur_FireAnim, b.Tur_FireAnim);
    EXPECT_EQ(a.Base_TurnAnim, b.Base_TurnAnim);
    EXPECT_EQ(a.Base_TurnAmim_spd, b.Base_TurnAmim_spd);
    EXPECT_EQ(a.Base_AccAmim, b.Base_AccAmim);
    EXPECT_EQ(a.Base_AccAmim_spd, b.Base_AccAmim_spd);
    EXPECT_EQ(a.Move_reactor, b.Move_reactor);
    EXPECT_EQ(a.Move_Re_Pos, b.Move_Re_Pos);
    EXPECT_EQ(a.Dash_reactor, b.Dash_reactor);
    EXPECT_EQ(a.Dash_Re_Pos, b.Dash_Re_Pos);
    EXPECT_EQ(a.DashJumpEff, b.DashJumpEff);
    EXPECT_EQ(a.MinPowerDash, b.MinPowerDash);
    EXPECT_EQ(a.CrashSound, b.CrashSound);
    EXPECT_EQ(a.DashSound, b.DashSound);
    EXPECT_EQ(a.EngineSound, b.EngineSound);
    EXPECT_EQ(a.TreadMatName, b.TreadMatName);
    EXPECT_EQ(a.TreadMatMovVar, b.TreadMatMovVar);
    EXPECT_EQ(a.TreadMatTurnVar, b.TreadMatTurnVar);
}

std::vector<uint8_t> floatBytes(std::initializer_list<float> values)
{
    std::vector<uint8_t> out;
    for (float f : values) {
        uint8_t b[4];
        std::memcpy(b, &f, 4);
        out.insert(out.end(), b, b + 4);
    }
    return out;
}
}  // namespace

TEST(GroundVehiParams, SourceAndCacheRoundTrip)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "tank", fullObjectSource(kVehicleSections));
    GroundVehiParams source("tank");
    ASSERT_TRUE(source.readIni());
    expectFullSourceValues(source, 25);
    EXPECT_EQ(source.AccelerationRate, 1.5f);
    EXPECT_EQ(source.TurretSpeed, 6.5f);
    EXPECT_EQ(source.RevEnableSpeed, 12.5f);
    EXPECT_TRUE(source.hasTurret);
    EXPECT_EQ(source.getTurretMesh(), "turret.mesh");
    EXPECT_EQ(source.HardPointPos, Ogre::Vector3(0, 1, -1));
    EXPECT_EQ(source.BasePitchSpd, 45.0f);
    EXPECT_EQ(source.CollPointBRight, Ogre::Vector3(2, 2, -3));
    EXPECT_EQ(source.md_RollSpd, 20.0f);
    EXPECT_EQ(source.getTreadMatName(), "tread_mat");
    EXPECT_EQ(source.TreadMatTurnVar, 0.5f);
    EXPECT_EQ(source.getTurTurnAnim(), "tturn");
    EXPECT_EQ(source.getTurFireAnim(), "tfire");
    EXPECT_EQ(source.getBaseTurnAnim(), "bturn");
    EXPECT_EQ(source.getBaseAccAnim(), "bacc");
    EXPECT_EQ(source.Base_AccAmim_spd, 1.3f);
    EXPECT_EQ(source.getMoveReactor(), "dust");
    EXPECT_EQ(source.getDashReactor(), "jets");
    EXPECT_EQ(source.Dash_Re_Pos, Ogre::Vector3(0, 1, -2));
    EXPECT_EQ(source.getDashJumpEffect(), "burst");
    EXPECT_EQ(source.MinPowerDash, 0.3f);
    EXPECT_EQ(source.getCrashSound(), "crash.ogg");
    EXPECT_EQ(source.getDashSound(), "dash.ogg");
    EXPECT_EQ(source.getEngineSound(), "engine.ogg");

    // Treads and wheels are numbered from 1; a tread without wheels has none.
    ASSERT_EQ(source.getNumTreads(), 3u);
    EXPECT_EQ(source.getTreadMesh(0), "left.mesh");
    EXPECT_EQ(source.getTreadMesh(2), "bare.mesh");
    EXPECT_EQ(source.getTreadMesh(3), "");
    EXPECT_EQ(source.Treads[0].Pos, Ogre::Vector3(-1, 0.5f, 0));
    ASSERT_EQ(source.Treads[0].getNumWheels(), 2u);
    EXPECT_EQ(source.Treads[0].Wheels[0].Pos, Ogre::Vector2(1.5f, 2.5f));
    EXPECT_EQ(source.Treads[0].Wheels[0].wRaio, 0.625f);
    EXPECT_EQ(source.Treads[0].Wheels[1].wRaio, 0.75f);
    EXPECT_EQ(source.Treads[1].getNumWheels(), 3u);
    EXPECT_EQ(source.Treads[2].getNumWheels(), 0u);

    ASSERT_TRUE(source.writeCache());
    const GroundVehiParams loaded("tank");
    ASSERT_TRUE(loaded.cacheLoaded());
    expectSameVehicle(source, loaded);

    // A wheel is stored radius first, then its position.
    const std::vector<uint8_t> bytes = t.readBytes(t.cachePath("tank", "ZVO"));
    const std::vector<uint8_t> wheel = floatBytes({0.625f, 1.5f, 2.5f});
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), wheel.begin(), wheel.end()), bytes.end());
}

TEST(GroundVehiParams, DefaultsRolesAndBounds)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "bare", "[Data]\nRoleCore = 3\n[Specs]\nLockRangeVar = 5.5\n");
    GroundVehiParams bare("bare");
    ASSERT_TRUE(bare.readIni());
    EXPECT_EQ(bare.roleCode, 25u);
    EXPECT_EQ(bare.RadarRange, 5000.0f);
    EXPECT_EQ(bare.LockRangeVar, 1.0f);
    EXPECT_EQ(bare.getNumTreads(), 0u);
    EXPECT_EQ(bare.getTreadMesh(0), "");

    const uint32_t codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 24};
    const uint32_t roles[] = {29, 22, 23, 25, 26, 27, 28, 29, 29};
    for (size_t i = 0; i < std::size(codes); ++i)
        EXPECT_EQ(bare.mapCode(codes[i]), roles[i]) << codes[i];

    // Counts beyond the caps refuse the source.
    t.writeSource("Data/GamePlay", "huge", "[Wheels]\nNumTreads = 1\nTread_1_NumWheels = 99999\n");
    GroundVehiParams huge("huge");
    EXPECT_FALSE(huge.readIni());
    EXPECT_EQ(huge.getNumTreads(), 0u);
}

TEST(GroundVehiParams, DamagedCacheKeepsTheDefaults)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "tank", fullObjectSource(kVehicleSections));
    GroundVehiParams source("tank");
    ASSERT_TRUE(source.readIni());
    ASSERT_TRUE(source.writeCache());
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("tank", "ZVO"));

    // Cut inside the treads (and everywhere else): no half-built tread list.
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        t.writeBytes(t.cachePath("tank", "ZVO"), std::vector<uint8_t>(good.begin(), good.begin() + cut));
        const GroundVehiParams d("tank");
        ASSERT_FALSE(d.cacheLoaded()) << cut;
        EXPECT_EQ(d.getNumTreads(), 0u) << cut;
        EXPECT_EQ(d.meshName, "") << cut;
    }

    // A ground object's cache is not a vehicle's.
    GroundObjParams plain("plain");
    plain.meshName = "x.mesh";
    ASSERT_TRUE(plain.writeCache());
    EXPECT_FALSE(GroundVehiParams("plain").cacheLoaded());
}
