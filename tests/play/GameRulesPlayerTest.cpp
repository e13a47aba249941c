// The player's vehicle under the rules, in the headless vehicle arena: its set-up, the controls
// from scripted devices, HP over time, respawns and the end pose.
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "play/RulesTestSupport.h"
#include "support/ScriptedInput.h"
#include "world/GameObjectData.h"
#include "world/GameObjectManager.h"
#include "world/PickUpWeapon.h"
#include "world/VehicleArena.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::ScriptedJoyStick;
using testsupport::ScriptedKeyboard;
using testsupport::ScriptedMouse;

class PlayerRules : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(abrams.cacheLoaded());
        GamePlayData& d = arena.playData;
        rules = std::make_unique<GameRulesManager>(&d, nullptr, arena.scene, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr, &session, nullptr, nullptr, nullptr,
                                                   &arena.context, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, &camera);
        d.playSettings[GamePlayData::DoubleTapWindow] = 0.3f;
        d.MaxHP = 200.0f;
        d.StartDamage = 0.25f;
        d.SpawnPos = Ogre::Vector3(20.0f, 0.0f, -30.0f);
        d.SpawnYaw = 90.0f;
    }
    void TearDown() override
    {
        rules.reset();
        arena.vehicles.clear();
    }

    GroundVehicle& spawnPlayer()
    {
        GroundVehicle& v = arena.spawn(&abrams, {0, 0, 0}, 0.0f, 1, 0);
        rules->adoptPlayer(&v);
        return v;
    }
    // The vehicle's heading about y, degrees.
    static float yawOf(GroundVehicle& v) { return v.getMainNode()->getOrientation().getYaw().valueDegrees(); }
    void expectAtSpawn(GroundVehicle& v, const char* what)
    {
        const Ogre::Vector3 p = v.getMainNode()->getPosition();
        EXPECT_TRUE(p.positionEquals(Ogre::Vector3(20, 0, -30) + abrams.groundOffset, 1e-3f))
            << what << ": on the floor at " << p;
        EXPECT_NEAR(yawOf(v), 90.0f, 1e-3f) << what;
        EXPECT_FLOAT_EQ(v.getHP(), 150.0f) << what << ": the start damage taken";
    }
    void input(float dt = 0.05f)
    {
        keyboard.capture();
        mouse.capture();
        pad.capture();
        rules->handlePlayerInput(dt, &keyboard, &mouse, &pad);
    }

    vehicletest::Arena arena;
    GroundVehiParams abrams{"abrams"};
    GameSession session{&arena.random, &arena.settings};
    PlayCamera camera{nullptr, arena.scene, nullptr, nullptr};
    std::unique_ptr<GameRulesManager> rules;
    ScriptedKeyboard keyboard;
    ScriptedMouse mouse;
    ScriptedJoyStick pad;
};

TEST_F(PlayerRules, TheNewVehicleTakesTheModesPlaceHitPointsAndRestrictions)
{
    GamePlayData& d = arena.playData;
    d.MoveMultiplyer = 0.5f;
    d.TurrTurnDisable = 1;
    d.StopTTurnDisable = 1;
    GroundVehicle& v = spawnPlayer();
    expectAtSpawn(v, "spawned");
    EXPECT_EQ(v.getData()->hitPoints, 200u);
    EXPECT_EQ(rules->player, &v);
    EXPECT_EQ(arena.context.playerNode, v.getMainNode());
    EXPECT_EQ(arena.context.playerObjectId, 1u);
    EXPECT_EQ(camera.target, &v);
    EXPECT_EQ(v.MoveMultiplyer, 0.5f);
    EXPECT_EQ(v.TurrTurnDisable, 1);
    EXPECT_EQ(v.StopTTurnDisable, 1);
    EXPECT_EQ(v.MoveFireDisable, 0);
    EXPECT_EQ(v.getPickUpWeapon(), nullptr);
}

TEST_F(PlayerRules, TheArenaWeaponIsGivenAndKeptInHand)
{
    GamePlayData& d = arena.playData;
    d.WeaponArena = 1;
    d.WeapArena_Name = "WeapTwinCannon";
    d.WeapArena_InfAmmo = 1;
    GroundVehicle& v = spawnPlayer();
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    EXPECT_TRUE(v.getPickUpWeapon()->getUnlimitedAmmo());

    v.giveWeapon("WeapRocketPod");  // picked up: it stays
    rules->giveArenaWeapon();
    EXPECT_FALSE(v.getPickUpWeapon()->getUnlimitedAmmo());

    // Lost with the vehicle: none while dead, back once alive.
    v.addDamage(1000.0f);
    v.onDestroyed();
    ASSERT_EQ(v.getPickUpWeapon(), nullptr);
    rules->giveArenaWeapon();
    EXPECT_EQ(v.getPickUpWeapon(), nullptr);
    v.addDamage(-1000.0f);
    rules->giveArenaWeapon();
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    EXPECT_TRUE(v.getPickUpWeapon()->getUnlimitedAmmo());
}

TEST_F(PlayerRules, ChallengePlayCarriesTheGarageIntoTheVehicle)
{
    session.loadCampaign("Campaign");
    ASSERT_NE(session.campaign, nullptr);
    CampaignData& c = *session.campaign;
    c.pointsEarned = 1000;
    c.stepReached = 40;
    ASSERT_TRUE(c.buyUpgrade(1, 1));  // core II: armour x1.3, dash x1.2
    ASSERT_TRUE(c.buyUpgrade(2, 0));  // track I
    session.challengeMode = 1;
    session.selectedWeapon = 2;
    ASSERT_FALSE(session.getSelectedWeaponName().empty());

    GroundVehicle& v = spawnPlayer();
    EXPECT_FLOAT_EQ(v.getHPMultiplier(), c.getUpgradeFactor(1, false));
    EXPECT_FLOAT_EQ(v.getDashMultiplier(), c.getUpgradeFactor(1, true));
    EXPECT_FLOAT_EQ(v.getSpeedMultiplier(), c.getUpgradeFactor(2, false));
    EXPECT_FLOAT_EQ(v.getAccelerationMultiplier(), c.getUpgradeFactor(2, true));
    // Hit points: MaxHP, then the garage's armour, as the HUD's maximum shows them.
    EXPECT_EQ(v.getData()->hitPoints, static_cast<uint32_t>(200.0f * 1.3f));
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    EXPECT_EQ(v.getPickUpWeapon()->getAmmo(), 2 * v.getPickUpWeapon()->getMaxAmmo());
    EXPECT_GT(v.getPickUpWeapon()->getAmmo(), 0u);
}

TEST_F(PlayerRules, ControlsFromKeysMouseAndPad)
{
    struct Case {
        const char* name;
        std::function<void(PlayerRules&)> set;
        float forward, back, steer;
        int mainFire, subFire;
    };
    const auto keys = [](std::vector<OIS::KeyCode> list) {
        return [list](PlayerRules& t) {
            for (OIS::KeyCode k : list)
                t.keyboard.press(k);
        };
    };
    const auto padOn = [](std::function<void(ScriptedJoyStick&)> f) {
        return [f](PlayerRules& t) {
            t.session.gamepadEnabled = 1;
            f(t.pad);
        };
    };
    const float full = (32767.0f - 4000.0f) / 26767.0f;  // about 1.07: the curve is not clamped
    const std::vector<Case> cases = {
        {"nothing", [](PlayerRules&) {}, 0, 0, 0, 0, 0},
        {"W", keys({OIS::KC_W}), 1, 0, 0, 0, 0},
        {"Up and Down: forward wins", keys({OIS::KC_UP, OIS::KC_DOWN}), 1, 0, 0, 0, 0},
        {"K", keys({OIS::KC_K}), 0, 1, 0, 0, 0},
        {"A and D: left wins", keys({OIS::KC_A, OIS::KC_D}), 0, 0, 1, 0, 0},
        {"L", keys({OIS::KC_L}), 0, 0, -1, 0, 0},
        {"Space and Left Alt", keys({OIS::KC_SPACE, OIS::KC_LMENU}), 0, 0, 0, 1, 1},
        {"mouse buttons",
         [](PlayerRules& t) {
             t.mouse.press(OIS::MB_Left);
             t.mouse.press(OIS::MB_Right);
         },
         0, 0, 0, 1, 1},
        {"fire locks",
         [](PlayerRules& t) {
             t.arena.playData.MainFDisable = t.arena.playData.SubFDisable = 1;
             t.keyboard.press(OIS::KC_SPACE);
             t.mouse.press(OIS::MB_Right);
         },
         0, 0, 0, 0, 0},
        {"pad ignored while disabled",
         [](PlayerRules& t) {
             t.pad.setPov(OIS::Pov::North | OIS::Pov::West);
             t.pad.setAxis(4, 20000);
             t.pad.setButton(5, true);
         },
         0, 0, 0, 0, 0},
        {"hat north-west", padOn([](ScriptedJoyStick& p) { p.setPov(OIS::Pov::North | OIS::Pov::West); }), 1, 0, 1,
         0, 0},
        {"hat south-east", padOn([](ScriptedJoyStick& p) { p.setPov(OIS::Pov::South | OIS::Pov::East); }), 0, 1, -1,
         0, 0},
        {"axes in the dead zone", padOn([](ScriptedJoyStick& p) {
             p.setAxis(0, -4000);
             p.setAxis(1, 4000);
         }),
         0, 0, 0, 0, 0},
        {"axes at half", padOn([](ScriptedJoyStick& p) {
             p.setAxis(0, 17384);
             p.setAxis(1, -17384);
         }),
         0, 0.5f, 0.5f, 0, 0},
        {"axes full", padOn([](ScriptedJoyStick& p) {
             p.setAxis(0, -32767);
             p.setAxis(1, 32767);
         }),
         (32767.0f - 4000.0f) / 26768.0f, 0, -full, 0, 0},
        {"triggers fire", padOn([](ScriptedJoyStick& p) { p.setAxis(4, 4001); }), 0, 0, 0, 1, 0},
        {"triggers fire the other way", padOn([](ScriptedJoyStick& p) { p.setAxis(4, -4001); }), 0, 0, 0, 0, 1},
        {"triggers off by the setting",
         [](PlayerRules& t) {
             t.session.gamepadEnabled = t.session.gamepadEnabled2 = 1;
             t.pad.setAxis(4, 30000);
         },
         0, 0, 0, 0, 0},
        {"pad buttons still fire with triggers off",
         [](PlayerRules& t) {
             t.session.gamepadEnabled = t.session.gamepadEnabled2 = 1;
             t.pad.setButton(4, true);
             t.pad.setButton(5, true);
         },
         0, 0, 0, 1, 1},
        {"MoveDisable",
         [](PlayerRules& t) {
             t.arena.playData.MoveDisable = 1;
             t.keyboard.press(OIS::KC_W);
             t.keyboard.press(OIS::KC_A);
         },
         0, 0, 0, 0, 0},
    };
    GroundVehicle& v = spawnPlayer();
    for (const Case& c : cases) {
        GamePlayData& d = arena.playData;
        d.MainFDisable = d.SubFDisable = d.MoveDisable = 0;
        session.gamepadEnabled = session.gamepadEnabled2 = 0;
        keyboard.releaseAll();
        mouse.release(OIS::MB_Left);
        mouse.release(OIS::MB_Right);
        pad.setPov(OIS::Pov::Centered);
        for (int i = 0; i < 6; ++i)
            pad.setAxis(i, 0);
        for (int i = 0; i < 10; ++i)
            pad.setButton(i, false);
        rules->doubleTapTimer = rules->lastDriveDirection = 0.0f;
        c.set(*this);
        input();
        EXPECT_NEAR(v.accelerateInput, c.forward, 1e-4f) << c.name;
        EXPECT_NEAR(v.reverseInput, c.back, 1e-4f) << c.name;
        EXPECT_NEAR(v.steerInput, c.steer, 1e-4f) << c.name;
        EXPECT_EQ(v.getTrigger(), c.mainFire != 0) << c.name;
        EXPECT_EQ(v.secondaryFire, c.subFire) << c.name;
        EXPECT_EQ(v.dashInput, 0.0f) << c.name;
    }
}

TEST_F(PlayerRules, DoubleTapAndDashKeyDash)
{
    GroundVehicle& v = spawnPlayer();
    GamePlayData& d = arena.playData;
    struct Step {
        const char* what;
        std::vector<OIS::KeyCode> held;
        float dt;
        float dash;
    };
    struct Case {
        const char* name;
        uint8_t moveDisable, dodgeDisable;
        float speed;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"forward double tap inside the window", 0, 0, 0.0f,
         {{"press", {OIS::KC_W}, 0.05f, 0}, {"release", {}, 0.1f, 0}, {"press again", {OIS::KC_W}, 0.1f, 1}}},
        {"backward double tap", 0, 0, 0.0f,
         {{"press", {OIS::KC_S}, 0.05f, 0}, {"release", {}, 0.1f, 0}, {"press again", {OIS::KC_S}, 0.1f, -1}}},
        {"double tap too slow", 0, 0, 0.0f,
         {{"press", {OIS::KC_W}, 0.05f, 0}, {"release", {}, 0.2f, 0}, {"press again", {OIS::KC_W}, 0.2f, 0}}},
        {"dodge disabled", 0, 1, 0.0f,
         {{"press", {OIS::KC_W}, 0.05f, 0},
          {"release", {}, 0.1f, 0},
          {"press again", {OIS::KC_W}, 0.1f, 0},
          {"ctrl", {OIS::KC_LCONTROL}, 0.1f, 0}}},
        {"dash key held from the start", 0, 0, 0.0f,
         {{"held", {OIS::KC_RCONTROL}, 0.05f, 0},
          {"still held", {OIS::KC_RCONTROL}, 0.05f, 0},
          {"released", {}, 0.05f, 0},
          {"pressed", {OIS::KC_RCONTROL}, 0.05f, 1},
          {"held on", {OIS::KC_RCONTROL}, 0.05f, 0}}},
        {"dash key while reversing", 0, 0, -2.0f,
         {{"released", {}, 0.05f, 0}, {"pressed", {OIS::KC_LCONTROL}, 0.05f, -1}}},
        {"MoveDisable stops both dashes", 1, 0, 0.0f,
         {{"press", {OIS::KC_W}, 0.05f, 0},
          {"release", {}, 0.1f, 0},
          {"press again", {OIS::KC_W}, 0.1f, 0},
          {"released", {}, 0.05f, 0},
          {"ctrl", {OIS::KC_LCONTROL}, 0.05f, 0}}},
    };
    for (const Case& c : cases) {
        rules->doubleTapTimer = rules->lastDriveDirection = 0.0f;
        rules->dashLatch = 1;
        d.MoveDisable = c.moveDisable;
        d.DodgeDisable = c.dodgeDisable;
        v.setSpeed(c.speed);
        for (const Step& s : c.steps) {
            keyboard.releaseAll();
            for (OIS::KeyCode k : s.held)
                keyboard.press(k);
            input(s.dt);
            EXPECT_EQ(v.dashInput, s.dash) << c.name << ": " << s.what;
            if (c.moveDisable) {
                EXPECT_EQ(v.steerInput, 0.0f) << c.name;
            }
        }
    }
}

TEST_F(PlayerRules, LivesRespawnsAndHitPointsOverTime)
{
    struct Case {
        const char* name;
        uint32_t lives;
        float delay;
        int updatesToRespawn;  // -1: never
    };
    const std::vector<Case> cases = {
        {"no lives", 0, 0.0f, -1},
        {"no delay", 3, 0.0f, 1},
        {"one second", 3, 1.0f, 4},
    };
    for (const Case& c : cases) {
        GamePlayData& d = arena.playData;
        d.NumLives = c.lives;
        d.RespawnDelay = c.delay;
        arena.vehicles.clear();
        GroundVehicle& v = spawnPlayer();
        v.getMainNode()->setPosition(-50, 0, 60);
        v.addDamage(1000.0f);
        d.hpAccumulator = 5.0f;  // left alone while dead
        int respawnedAt = -1;
        for (int i = 1; i <= 6 && respawnedAt < 0; ++i) {
            rules->updatePlayerLife(0.25f);
            if (v.getHP() > 0.0f) {
                respawnedAt = i;
            } else if (c.lives == 0) {
                EXPECT_EQ(rules->respawnTimer, 0.0f) << c.name;
            }
        }
        EXPECT_EQ(respawnedAt, c.updatesToRespawn) << c.name;
        if (respawnedAt < 0)
            continue;
        EXPECT_EQ(d.NumLives, c.lives - 1) << c.name;
        expectAtSpawn(v, c.name);
        EXPECT_FLOAT_EQ(d.hpAccumulator, 5.0f) << c.name;
        rules->updatePlayerLife(0.25f);
        EXPECT_EQ(rules->respawnTimer, 0.0f) << c.name;
        EXPECT_FLOAT_EQ(v.getHP(), 155.0f) << c.name << ": the accumulator heals once alive";
        EXPECT_EQ(d.hpAccumulator, 0.0f) << c.name;
    }
}

TEST_F(PlayerRules, TimeDrainsOrHealsHitPoints)
{
    GamePlayData& d = arena.playData;
    GroundVehicle& v = spawnPlayer();
    d.HP_TimeAff = 100.0f;
    rules->updatePlayerLife(0.25f);
    EXPECT_FLOAT_EQ(v.getHP(), 175.0f);
    rules->updatePlayerLife(1.0f);
    EXPECT_FLOAT_EQ(v.getHP(), 200.0f) << "no healing past the hit points";

    d.HP_TimeAff = -100.0f;
    for (int i = 0; i < 8; ++i)
        rules->updatePlayerLife(0.25f);
    EXPECT_LE(v.getHP(), 0.0f) << "time alone can kill";
    rules->updatePlayerLife(0.25f);
    EXPECT_LE(v.getHP(), 0.0f) << "and does not run on the dead";
}

TEST_F(PlayerRules, MotionFeedsTheVariablesAndStoppedIsWithinThreeTenths)
{
    GamePlayData& d = arena.playData;
    d.mechaVars.resize(1);
    d.mechaVars[0].PlayerStopT = 1.0f;
    d.mechaVars[0].PlayerMoveM = 10.0f;
    GroundVehicle& v = spawnPlayer();
    struct Case {
        float speed;
        bool stopped;
    };
    for (const Case& c : {Case{0.3f, true}, Case{-0.3f, true}, Case{0.0f, true}, Case{0.31f, false},
                          Case{-5.0f, false}}) {
        d.mechaVars[0].value = 0.0f;
        v.setSpeed(c.speed);
        rules->applyPlayerMotionEffects(0.5f);
        EXPECT_FLOAT_EQ(d.mechaVars[0].value, (c.stopped ? 0.5f : 0.0f) + 10.0f * c.speed * 0.5f) << c.speed;
    }
    v.addDamage(1000.0f);
    d.mechaVars[0].value = 0.0f;
    rules->applyPlayerMotionEffects(0.5f);
    EXPECT_EQ(d.mechaVars[0].value, 0.0f) << "nothing while dead";
}

TEST_F(PlayerRules, EndPoseStandsAtTheOriginTurnedAround)
{
    GroundVehicle& v = spawnPlayer();
    v.addDamage(1000.0f);
    rules->posePlayerForEnd();
    const Ogre::Vector3 p = v.getMainNode()->getPosition();
    EXPECT_TRUE(p.positionEquals(abrams.groundOffset, 1e-3f)) << p;
    EXPECT_NEAR(std::fabs(yawOf(v)), 180.0f, 1e-3f);
    EXPECT_FLOAT_EQ(v.getHP(), 150.0f);
}

TEST_F(PlayerRules, TheManagersVehicleRespawnsUntilTheLivesRunOutAndThenThePlayEnds)
{
    const std::string player = "[SETINGS]\nNumLives = 2\nRespawnDelay = 0\n[PLAYER]\nMaxHP = 100\n"
                               "SpawnPos = 20 0 -30\nSpawnYaw = 90\n[MECHANICS]\nNumMechaVars = 1\n";
    struct Case {
        const char* name;
        std::string conditions;
        uint32_t endPhase;
    };
    const std::vector<Case> cases = {
        {"clear when destroyed", "[CLEAR_CONDITION]\nCC_PDestroyed = true\n", 2},
        {"lost when destroyed",
         "[CLEAR_CONDITION]\nCC_MechCond = true\nCC_MechIndx = 1\nCC_Condition = 2\nCC_Val = 1000\n"
         "[LOSE_CONDITION]\nHasLoseCondition = true\nNeedOnlyOne = true\nLC_PDestroyed = true\n",
         3},
    };
    for (const Case& c : cases) {
        rules.reset();
        rulestest::writeMode("Dying", player + c.conditions);
        session.levelName = "Dying";
        rulestest::Handles h;
        h.data = &arena.playData;
        h.scene = arena.scene;
        h.session = &session;
        h.context = &arena.context;
        h.objects = &arena.world->objects();
        rules = rulestest::makeRules(h);
        ASSERT_NE(rules->player, nullptr) << c.name << ": made by the object manager";
        GroundVehicle& v = *rules->player;
        EXPECT_EQ(arena.context.playerNode, v.getMainNode()) << c.name;
        EXPECT_TRUE(v.getMainNode()->getPosition().positionEquals(Ogre::Vector3(20, 0, -30) + abrams.groundOffset,
                                                                  1e-3f))
            << c.name;
        GamePlayData& d = arena.playData;
        d.playPhase = 1;
        for (int death = 1; death <= 3; ++death) {
            v.addDamage(1.0e6f);
            rules->testClearLose(1.0f);
            EXPECT_EQ(d.playPhase, death < 3 ? 1u : c.endPhase) << c.name << ", death " << death;
            rules->updatePlayerLife(0.25f);
            EXPECT_EQ(d.NumLives, static_cast<uint32_t>(std::max(0, 2 - death))) << c.name;
            EXPECT_EQ(v.getHP() > 0.0f, death < 3) << c.name << ", death " << death;
        }
        rules.reset();
    }
}

TEST_F(PlayerRules, WithoutAVehicleEveryStepIsSkipped)
{
    keyboard.press(OIS::KC_W);
    input();
    rules->updatePlayerLife(1.0f);
    rules->giveArenaWeapon();
    rules->applyPlayerMotionEffects(1.0f);
    rules->posePlayerForEnd();
    rules->adoptPlayer(nullptr);
    EXPECT_EQ(rules->player, nullptr);
    EXPECT_EQ(camera.target, nullptr);
}

}  // namespace
