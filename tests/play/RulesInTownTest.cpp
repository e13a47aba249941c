// The rules engine over a live world: Town loaded headless with the play area every play uses,
// the play's world (registries and managers, seed 3) and a mode of the test's own rebuilt into
// its cache. The Ovni are real objects of the object manager, placed on Town's floor, and die
// through their damage entries as the world books a player's kill; pickups are the pickup
// manager's. Each tick runs the world's share and then the rules, at 1/60 s.
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/SceneContext.h"
#include "definitions/GroundObjParams.h"
#include "definitions/OvniParams.h"
#include "definitions/PickupParams.h"
#include "play/GameRulesManager.h"
#include "play/RulesTestSupport.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/FxTestEngine.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/HeadlessWorld.h"
#include "world/Ovni.h"
#include "world/Pickup.h"
#include "world/PickupManager.h"
#include "world/PlayWorld.h"
#include "world/SceneCreator.h"
#include "world/ShotTestWorld.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr int kTicksPerSecond = 60;

// An Ovni type of the mode's list.
struct OvniType {
    const char* name;
    float rate;
    uint32_t simCap;
    uint32_t maxSpawn;
};

std::string ovniList(const std::vector<OvniType>& types)
{
    std::string s = "[OVNI]\nNumOvniTypes = " + std::to_string(types.size()) + "\n";
    for (size_t i = 0; i < types.size(); ++i) {
        const std::string n = "Ovni_" + std::to_string(i + 1) + "_";
        s += n + "Name = \"" + types[i].name + "\"\n" + n + "Rate = " + std::to_string(types[i].rate) + "\n" + n +
             "SimCap = " + std::to_string(types[i].simCap) + "\n" + n +
             "MaxSpawn = " + std::to_string(types[i].maxSpawn) + "\n";
    }
    return s;
}

// Variable 1 is the score, never reaching the clear test's 100000, so only the test's own
// sections end a play.
const std::string kBase = R"(
[SETINGS]
Scene = "Town"
BorderScale = 1
[MECHANICS]
NumMechaVars = 1
[CLEAR_CONDITION]
CC_MechCond = true
CC_MechIndx = 1
CC_Condition = 4
CC_Val = 100000
)";

class TownRules {
public:
    explicit TownRules(const std::string& mode)
        : headless(options()),
          playData(headless.playData),
          context(headless.context),
          sounds(headless.sounds),
          scene(headless.scene),
          creator(headless.creator),
          world(headless.world)
    {
        rulestest::writeMode("TownRules", mode);
        session.levelName = "TownRules";
        rulestest::Handles h;
        h.data = &playData;
        h.scene = scene;
        h.sounds = &sounds;
        h.session = &session;
        h.creator = creator.get();
        h.context = &context;
        h.random = &world->random();
        h.goLibrary = &world->goLibrary();
        h.damage = &world->damage();
        h.fx = &world->fx();
        h.targets = &world->targets();
        h.projectiles = &world->projectiles();
        h.ai = &world->ai();
        h.objects = &world->objects();
        h.pickups = &world->pickups();
        rules = rulestest::makeRules(h);
        // The player's abrams stands at the origin and takes no harm from the Ovni's shots.
        if (rules->player) {
            rules->player->getData()->noDamage = true;
            rules->player->setNoDamageTime(1.0e6f);
        }
        playData.playPhase = 1;
        rules->spawnInitialOvnis();
        scene->getRootSceneNode()->_update(true, false);
    }
    ~TownRules() { rules.reset(); }

    HeadlessWorld::Options options()
    {
        HeadlessWorld::Options o;
        o.gameTree = testsupport::gameTreeDir();
        o.mediaDir = tree.path("Particles");
        o.seed = 3;
        return o;
    }

    void tick()
    {
        world->tick(kDt, true);
        rules->update(kDt, nullptr);
        scene->getRootSceneNode()->_update(true, false);
    }
    // Ticks n times; check (when given) runs after each.
    void run(int ticks, const std::function<void()>& check = {})
    {
        for (int i = 0; i < ticks; ++i) {
            tick();
            if (check)
                check();
        }
    }

    GameObjectManager& objects() const { return world->objects(); }
    int live() const { return objects().countOvnis(); }
    // Live Ovni of the mode's type (0-based).
    int liveOfType(uint32_t type) const { return objects().countInSpawnGroup(type + 1); }
    std::vector<GameObject*> ovnis() const
    {
        std::vector<GameObject*> out;
        for (const GameObjectManager::Slot& s : objects().slots())
            if (!s.free && s.object != rules->player && dynamic_cast<Ovni*>(s.object))
                out.push_back(s.object);
        return out;
    }
    // A player's kill as the world books it: the Ovni's damage entry takes all its hit points
    // from the player's id; the world's ticks run until the object manager booked it.
    bool kill(GameObject* ovni)
    {
        DamageEntry* entry = world->damage().getEntry(ovni->getDamageSlot());
        if (!entry)
            return false;
        entry->damageTaken = 1.0e6f;
        entry->lastAttackerId = static_cast<int32_t>(objects().getPlayerSlot());
        entry->lastHitType = 1;
        const uint32_t before = playData.totalKills();
        for (int i = 0; i < 10 * kTicksPerSecond; ++i) {
            tick();
            if (playData.totalKills() > before)
                return true;
        }
        return false;
    }
    // A kill of some Ovni type as the world reports it, without an object.
    void scriptedKill(uint32_t type = 0)
    {
        ++playData.ovniTypes.at(type).playerKills;
        playData.killReported = 1;
        playData.onOvniPlayerKill(type);
    }
    std::vector<Pickup*> pickups() const
    {
        std::vector<Pickup*> out;
        for (uint32_t i = 0; i < world->pickups().slotCount(); ++i)
            if (Pickup* p = world->pickups().pickupInSlot(i))
                out.push_back(p);
        return out;
    }

    const bool nullOutput = shottest::useNullSoundOutput();
    testsupport::TempGameTree tree{"Data/System", "Data/Scenes", "Bin/Game/plugins.cfg"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    HeadlessWorld headless;
    GamePlayData& playData;
    SceneContext& context;
    audio::SoundManager& sounds;
    Ogre::SceneManager* const scene;
    std::unique_ptr<SceneCreator>& creator;
    std::unique_ptr<PlayWorld>& world;
    GameSession session{nullptr, nullptr};
    std::unique_ptr<GameRulesManager> rules;
};

}  // namespace

// The start population and the spawner under the global cap, the per-type simultaneous cap and
// the per-type total, checked after every tick of five seconds.
TEST(RulesInTown, OvniSpawnerKeepsItsCaps)
{
    struct Case {
        const char* name;
        std::string sections;
        int afterStart;   // live after the start population
        int afterFirst;   // after the first tick (the first attempt; -1: not checked)
        int afterFive;    // after five seconds
        int perType[2];   // live of each type after five seconds (-1: not checked)
        uint32_t spawned[2];  // counted spawns of each type after five seconds
    };
    const std::string fast = "[OVNI_SPAWN]\nSpawnTime = 0.25\n";
    const Case cases[] = {
        {"global cap 5 over two open types", fast + "SGlobalCap = 5\nStartSpawn = 3\n" +
                                                 ovniList({{"wisp", 1, 0, 100}, {"monolith", 1, 0, 100}}),
         3, 4, 5, {-1, -1}, {0, 0}},
        {"SimCap 2 and 1", fast + "StartSpawn = 1\n" + ovniList({{"wisp", 1, 2, 100}, {"monolith", 1, 1, 100}}), 1,
         -1, 3, {2, 1}, {0, 0}},
        {"MaxSpawn 3 after 3 start spawns: three more", fast + "StartSpawn = 3\n" + ovniList({{"wisp", 1, 0, 3}}), 3,
         4, 6, {6, -1}, {3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TownRules play(kBase + c.sections);
        GameRulesManager& r = *play.rules;
        ASSERT_EQ(play.playData.numOvniTypes(), c.sections.find("monolith") != std::string::npos ? 2u : 1u);
        EXPECT_EQ(play.live(), c.afterStart);
        // The start population is not counted against MaxSpawn.
        EXPECT_EQ(play.playData.ovniTypes[0].spawnedCount, 0u);
        play.tick();
        if (c.afterFirst >= 0) {
            EXPECT_EQ(play.live(), c.afterFirst);
        }
        int most = 0;
        play.run(5 * kTicksPerSecond - 1, [&] {
            most = std::max(most, play.live());
            if (r.SGlobalCap) {
                ASSERT_LE(play.live(), static_cast<int>(r.SGlobalCap));
            }
            for (uint32_t t = 0; t < play.playData.numOvniTypes(); ++t) {
                if (play.playData.ovniTypes[t].SimCap) {
                    ASSERT_LE(play.liveOfType(t), static_cast<int>(play.playData.ovniTypes[t].SimCap));
                }
            }
        });
        EXPECT_EQ(play.live(), c.afterFive);
        EXPECT_EQ(most, c.afterFive);
        for (uint32_t t = 0; t < play.playData.numOvniTypes(); ++t) {
            if (c.perType[t] >= 0) {
                EXPECT_EQ(play.liveOfType(t), c.perType[t]) << "type " << t;
            }
        }
        // The counted spawns are the ones made after the start, whatever their type.
        uint32_t counted = 0;
        for (uint32_t t = 0; t < play.playData.numOvniTypes(); ++t)
            counted += play.playData.ovniTypes[t].spawnedCount;
        EXPECT_EQ(counted, static_cast<uint32_t>(c.afterFive - c.afterStart));
        if (c.spawned[0]) {
            EXPECT_EQ(play.playData.ovniTypes[0].spawnedCount, c.spawned[0]);
        }
    }
}

// With MaxSpawn reached, a kill leaves a gap the spawner no longer fills; under a global cap it
// does fill it.
TEST(RulesInTown, KilledOvniAreReplacedOnlyWhileTheTypeMaySpawn)
{
    {
        TownRules capped(kBase + "[OVNI_SPAWN]\nSpawnTime = 0.25\nSGlobalCap = 3\nStartSpawn = 3\n" +
                         ovniList({{"wisp", 1, 0, 100}}));
        ASSERT_EQ(capped.live(), 3);
        ASSERT_TRUE(capped.kill(capped.ovnis().front()));
        EXPECT_EQ(capped.playData.ovniTypes[0].playerKills, 1u);
        EXPECT_EQ(capped.live(), 2);
        capped.run(kTicksPerSecond / 2);
        EXPECT_EQ(capped.live(), 3);
    }

    TownRules spent(kBase + "[OVNI_SPAWN]\nSpawnTime = 0.25\nStartSpawn = 2\n" + ovniList({{"wisp", 1, 0, 1}}));
    spent.run(kTicksPerSecond);
    ASSERT_EQ(spent.live(), 3);
    ASSERT_TRUE(spent.kill(spent.ovnis().front()));
    spent.run(2 * kTicksPerSecond);
    EXPECT_EQ(spent.live(), 2);
    EXPECT_EQ(spent.playData.ovniTypes[0].spawnedCount, 1u);
}

// Ovni appear inside the scaled border less 10 on each side, spread over it, on Town's floor at
// the hover height; pickups inside the scaled border less 6, on the floor.
TEST(RulesInTown, SpawnPointsLieInsideTheScaledBorder)
{
    std::string base = kBase;
    base.replace(base.find("BorderScale = 1"), 15, "BorderScale = 0.5");
    TownRules play(base + "[OVNI_SPAWN]\nSpawnTime = 1000\nStartSpawn = 40\n" + ovniList({{"wisp", 1, 0, 100}}) +
                   "[TIME_PICKUPS]\nTimeInterval = 0.05\nChangeVar = 0\nNumPickupTypes = 1\n"
                   "Pick_1_Name = \"pick_health\"\nPick_1_Rate = 1\nPick_1_MaxSpawn = 30\n");
    ASSERT_FLOAT_EQ(play.context.playAreaScale, 0.5f);
    const std::vector<GameObject*> ovnis = play.ovnis();
    ASSERT_EQ(ovnis.size(), 40u);
    // Scaled border (-40, -27.5) to (40, 27.5).
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    const float hover = play.playData.ovniHoverHeight();
    for (GameObject* o : ovnis) {
        const Ogre::Vector3 p = o->getMainNode()->getPosition();
        EXPECT_GE(p.x, -30.0f);
        EXPECT_LE(p.x, 30.0f);
        EXPECT_GE(p.z, -17.5f);
        EXPECT_LE(p.z, 17.5f);
        EXPECT_NEAR(p.y, hover, 0.01f) << "on the floor at " << p;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z);
        maxZ = std::max(maxZ, p.z);
    }
    EXPECT_LT(minX, -20.0f);
    EXPECT_GT(maxX, 20.0f);
    EXPECT_LT(minZ, -10.0f);
    EXPECT_GT(maxZ, 10.0f);

    // Thirty pickups, one every 0.05 s, then left 2 s to fall.
    play.run(3 * kTicksPerSecond);
    ASSERT_EQ(play.world->pickups().getSpawnedCount(), 30u);
    for (Pickup* p : play.pickups()) {
        const Ogre::Vector3 at = p->getRootNode()->getPosition();
        EXPECT_GE(at.x, -34.0f);
        EXPECT_LE(at.x, 34.0f);
        EXPECT_GE(at.z, -21.5f);
        EXPECT_LE(at.z, 21.5f);
        EXPECT_LT(at.y, 5.2f) << "dropped toward the floor";
    }
}

// Kill pickups at 10 and 25 kills (KillsInterval 10, ChangeVar 0.5), placed by the pickup
// manager; a pickup type stops at its MaxSpawn and the other takes every later draw.
TEST(RulesInTown, KillPickupsComeAtTheirThresholdsAndStopAtMaxSpawn)
{
    {
        TownRules play(kBase + "[OVNI_SPAWN]\nSpawnTime = 1000\n" + ovniList({{"wisp", 1, 0, 100}}) +
                       "[INTERVAL_PICKUPS]\nKillsInterval = 10\nChangeVar = 0.5\nNumPickupTypes = 1\n"
                       "Pick_1_Name = \"pick_health\"\nPick_1_Rate = 1\nPick_1_MaxSpawn = 10\n");
        PickupManager& pickups = play.world->pickups();
        std::vector<uint32_t> placedAt;
        for (uint32_t kill = 1; kill <= 30; ++kill) {
            const uint32_t before = pickups.getSpawnedCount();
            play.scriptedKill();
            play.tick();
            if (pickups.getSpawnedCount() != before)
                placedAt.push_back(kill);
        }
        EXPECT_EQ(placedAt, (std::vector<uint32_t>{10, 25}));
        ASSERT_EQ(play.pickups().size(), 2u);
        EXPECT_EQ(play.pickups()[0]->getParams()->getName(), "pick_health");
        EXPECT_EQ(play.playData.intervalPickupTypes[0].spawnedCount, 2u);
    }

    // One pickup a kill; the health type (MaxSpawn 2) stops, the turbo type takes the rest.
    TownRules capped(kBase + "[OVNI_SPAWN]\nSpawnTime = 1000\n" + ovniList({{"wisp", 1, 0, 100}}) +
                     "[INTERVAL_PICKUPS]\nKillsInterval = 1\nChangeVar = 0\nNumPickupTypes = 2\n"
                     "Pick_1_Name = \"pick_health\"\nPick_1_Rate = 1\nPick_1_MaxSpawn = 2\n"
                     "Pick_2_Name = \"pick_turbo\"\nPick_2_Rate = 1\nPick_2_MaxSpawn = 100\n");
    for (int kill = 0; kill < 20; ++kill) {
        capped.scriptedKill();
        capped.tick();
    }
    EXPECT_EQ(capped.world->pickups().getSpawnedCount(), 20u);
    EXPECT_EQ(capped.playData.intervalPickupTypes[0].spawnedCount, 2u);
    EXPECT_EQ(capped.playData.intervalPickupTypes[1].spawnedCount, 18u);
    int health = 0;
    for (Pickup* p : capped.pickups())
        health += p->getParams()->getName() == "pick_health" ? 1 : 0;
    EXPECT_EQ(health, 2);
}

// Three waves of live Ovni, each cleared by killing its three (variable 1 counts the kills left;
// the spawner is locked while it is below 3, so a wave is not refilled while it is fought). The
// next wave starts after its delay with variable 1 back at its start and is filled again; the
// play ends cleared after the last with its record.
TEST(RulesInTown, ThreeWavesClearedByKillingTheirOvni)
{
    const std::string mode = R"(
[SETINGS]
Scene = "Town"
BorderScale = 1
[MECHANICS]
NumMechaVars = 2
MechaVar_1_Start = 3
MechaVar_2_ClearWave = 100
[OVNI_SPAWN]
SpawnTime = 0.25
SGlobalCap = 3
StartSpawn = 3
LimitSpawnMech = true
LSM_MechIdx = 1
LSM_Condition = 1
LSM_Val = 3
[CLEAR_CONDITION]
CC_PrintName = "Town held"
CC_HasRecordTable = true
CC_WaveClear = true
[WAVE]
UseWaveSystem = true
NumWaves = 3
NewWave_StartDelay = 2
NewWave_MechSize = 1
NewWave_SpawnRate = 1
NewWave_OvniCap = 1
WaveClear_MechIdx = 1
WaveClear_Condition = 3
WaveClear_Val = 0
[RECORD_TABLE]
TableIdx = 1
MechIndx = 2
)" + ovniList({{"wisp", 1, 0, 100}}) +
                             "Ovni_1_Mecha_1_pKill = -1\nOvni_1_Mecha_2_pKill = 10\n";
    TownRules play(mode);
    GameRulesManager& r = *play.rules;
    for (uint32_t wave = 1; wave <= 3; ++wave) {
        SCOPED_TRACE("wave " + std::to_string(wave));
        ASSERT_EQ(r.currentWave, wave);
        ASSERT_EQ(play.live(), 3);
        for (GameObject* o : play.ovnis())
            ASSERT_TRUE(play.kill(o));
        EXPECT_EQ(play.live(), 0);
        // The wave test comes within its second (it may have come with the last kill).
        for (int i = 0; i < kTicksPerSecond && r.currentWave == wave; ++i)
            play.tick();
        ASSERT_EQ(r.currentWave, wave + 1);
        if (wave == 3)
            break;
        EXPECT_FLOAT_EQ(play.playData.getMechaValue(0), 3.0f);
        EXPECT_GT(r.waveDelayCountdown, 1.9f);
        // Nothing spawns during the delay; then the spawner fills the wave again.
        play.run(kTicksPerSecond * 19 / 10);
        EXPECT_EQ(play.live(), 0);
        play.run(2 * kTicksPerSecond);
        EXPECT_EQ(play.live(), 3);
        EXPECT_EQ(play.playData.playPhase, 1u);
    }
    for (int i = 0; i < kTicksPerSecond && play.playData.playPhase == 1; ++i)
        play.tick();
    EXPECT_EQ(play.playData.playPhase, 2u);
    EXPECT_EQ(play.playData.resultCaption, "Town held");
    EXPECT_EQ(play.playData.recordResult, 1);
    // Nine kills of 10 and three cleared waves of 100.
    EXPECT_FLOAT_EQ(play.playData.resultValue, 390.0f);
    EXPECT_EQ(play.playData.ovniTypes[0].playerKills, 9u);
}

// A minute of fixed ticks with kills every two seconds: the Ovni stay within the global cap and
// their simultaneous caps after every tick, time pickups stop at their type's MaxSpawn, and the
// kill pickups come at their thresholds.
TEST(RulesInTown, AMinuteOfPlayStaysWithinItsCaps)
{
    TownRules play(kBase + "[OVNI_SPAWN]\nSpawnTime = 0.3\nSGlobalCap = 4\nStartSpawn = 4\n" +
                   ovniList({{"wisp", 2, 3, 1000}, {"monolith", 1, 2, 1000}}) +
                   "[INTERVAL_PICKUPS]\nKillsInterval = 5\nChangeVar = 0\nNumPickupTypes = 1\n"
                   "Pick_1_Name = \"pick_repair\"\nPick_1_Rate = 1\nPick_1_MaxSpawn = 100\n"
                   "[TIME_PICKUPS]\nTimeInterval = 5\nChangeVar = 0\nNumPickupTypes = 1\n"
                   "Pick_1_Name = \"pick_turbo\"\nPick_1_Rate = 1\nPick_1_MaxSpawn = 8\n");
    int kills = 0;
    for (int second = 0; second < 60; ++second) {
        if (second % 2 == 1 && !play.ovnis().empty()) {
            const uint32_t before = play.playData.totalKills();
            play.kill(play.ovnis().front());  // ticks until booked, counted in the minute below
            kills += static_cast<int>(play.playData.totalKills() - before);
        }
        play.run(kTicksPerSecond, [&] {
            ASSERT_LE(play.live(), 4);
            ASSERT_LE(play.liveOfType(0), 3);
            ASSERT_LE(play.liveOfType(1), 2);
        });
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(kills, 30);
    EXPECT_EQ(play.live(), 4);
    EXPECT_EQ(static_cast<int>(play.playData.totalKills()), kills);
    EXPECT_EQ(play.playData.timePickupTypes[0].spawnedCount, 8u);
    // Kills 5, 10, ... 30.
    EXPECT_EQ(play.playData.intervalPickupTypes[0].spawnedCount, 6u);
    EXPECT_EQ(play.world->pickups().getSpawnedCount(), 14u);
    EXPECT_EQ(play.playData.playPhase, 1u);
}

// An Ovni type whose definition does not exist is kept by the mode file but never spawns: the
// start population skips it and the spawner waits on it as on a type at its cap, while the
// other type spawns; a mode of only such a type spawns nothing and plays on.
TEST(RulesInTown, AnOvniTypeWithoutADefinitionNeverSpawns)
{
    {
        TownRules mixed(kBase + "[OVNI_SPAWN]\nSpawnTime = 0.25\nStartSpawn = 10\n" +
                        ovniList({{"no_such_ovni", 1, 0, 100}, {"wisp", 1, 0, 100}}));
        ASSERT_EQ(mixed.playData.numOvniTypes(), 2u);
        EXPECT_EQ(mixed.playData.ovniTypes[0].definition, nullptr);
        const int started = mixed.live();
        EXPECT_GT(started, 0);
        EXPECT_LT(started, 10);
        mixed.run(5 * kTicksPerSecond);
        EXPECT_EQ(mixed.playData.ovniTypes[0].spawnedCount, 0u);
        EXPECT_GT(mixed.playData.ovniTypes[1].spawnedCount, 0u);
        EXPECT_EQ(mixed.live(), mixed.liveOfType(1));
        EXPECT_EQ(mixed.live(), started + static_cast<int>(mixed.playData.ovniTypes[1].spawnedCount));
    }

    TownRules none(kBase + "[OVNI_SPAWN]\nSpawnTime = 0.25\nStartSpawn = 5\n" +
                   ovniList({{"no_such_ovni", 1, 0, 100}}));
    none.run(3 * kTicksPerSecond);
    EXPECT_EQ(none.live(), 0);
    EXPECT_EQ(none.playData.ovniTypes[0].spawnedCount, 0u);
    EXPECT_EQ(none.playData.playPhase, 1u);
}

// The end of a play poses the vehicle at Town's origin for the end camera: it stands on the floor,
// and no blocker column and no scenery mesh (props and the static lamps) reaches into its hull.
TEST(RulesInTown, TheEndPoseStandsOnOpenFloor)
{
    TownRules town(kBase);
    GroundVehicle* v = town.rules->player;
    ASSERT_NE(v, nullptr);
    v->getMainNode()->setPosition(40, 3, 60);  // wherever the play left it
    v->addDamage(1.0e6f);
    town.rules->posePlayerForEnd();
    Ogre::SceneNode* root = town.scene->getRootSceneNode();
    root->_update(true, false);
    const Ogre::Vector3 at = v->getMainNode()->_getDerivedPosition();
    EXPECT_NEAR(at.x, 0.0f, 1e-3f);
    EXPECT_NEAR(at.z, 0.0f, 1e-3f);
    EXPECT_NEAR(at.y, static_cast<const GroundObjParams*>(v->getParams())->groundOffset.y, 0.01f) << "on Town's floor, at height 0";
    const Ogre::AxisAlignedBox hull = v->getMainNode()->_getWorldAABB();
    ASSERT_FALSE(hull.isNull());
    EXPECT_GT(hull.getSize().x * hull.getSize().z, 10.0f) << hull;

    const auto underVehicle = [&](const Ogre::MovableObject* object) {
        for (const Ogre::Node* n = object->getParentNode(); n; n = n->getParent())
            if (n == v->getMainNode())
                return true;
        return false;
    };
    const SceneContext& c = town.context;
    const std::vector<const Ogre::Entity*> collision = {c.movementBlocker, c.projectileBlocker, c.moveFloors[0],
                                                        c.moveFloors[1], c.moveFloors[2], c.moveFloors[3],
                                                        c.projectileFloor, c.borderCollisionEntity, c.borderEntity};
    // Blockers rise from the floor: a downward ray through the hull's footprint meets none.
    for (Ogre::Entity* blocker : {c.movementBlocker, c.projectileBlocker}) {
        ASSERT_NE(blocker, nullptr);
        int hits = 0;
        Ogre::Vector3 first;
        for (float x = hull.getMinimum().x; x <= hull.getMaximum().x; x += 0.5f)
            for (float z = hull.getMinimum().z; z <= hull.getMaximum().z; z += 0.5f) {
                Ogre::Vector3 point;
                float closest = 1.0e9f;
                if (raycastToMesh(blocker, Ogre::Ray({x, 100.0f, z}, Ogre::Vector3::NEGATIVE_UNIT_Y), point, closest) &&
                    hits++ == 0)
                    first = point;
            }
        EXPECT_EQ(hits, 0) << blocker->getName() << ", first at " << first;
    }
    // The map's props.
    int props = 0;
    for (const auto& [name, object] : town.scene->getMovableObjects("Entity")) {
        const auto* entity = static_cast<const Ogre::Entity*>(object);
        if (underVehicle(entity) || !entity->isAttached() || !entity->isVisible() ||
            std::find(collision.begin(), collision.end(), entity) != collision.end())
            continue;
        const std::string mesh = entity->getMesh()->getName();
        if (mesh == "town_ground.mesh" || mesh == "town_road.mesh")
            continue;
        ++props;
        EXPECT_FALSE(entity->getWorldBoundingBox(true).intersects(hull)) << name << " (" << mesh << ")";
    }
    EXPECT_GE(props, 13) << "houses, the tower, trees, the fountain and the crates";
    // The static lamps, as the map places them.
    MapData map;
    ASSERT_TRUE(SceneCreator::readMapIni(SceneCreator::iniPath("Town"), map));
    int lamps = 0;
    for (const MapData::Static& s : map.statics) {
        const Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().load(s.meshName, Ogre::RGN_DEFAULT);
        for (const StaticInstance& i : s.instances) {
            Ogre::AxisAlignedBox box = mesh->getBounds();
            box.transform(Ogre::Affine3(i.position, i.orientation, i.scale));
            EXPECT_FALSE(box.intersects(hull)) << s.meshName << " at " << i.position;
            ++lamps;
        }
    }
    EXPECT_GE(lamps, 6);
}
