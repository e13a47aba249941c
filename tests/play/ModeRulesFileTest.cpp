// The mode rules file: .ini reading, the cache's layout, round trips, fix-ups and damaged caches.
#include "core/BinaryIO.h"
#include "definitions/DefinitionCache.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/RandomGenerator.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/OvniParams.h"
#include "definitions/PickupParamsLibrary.h"
#include "play/AreaTrigger.h"
#include "play/GameRulesManager.h"
#include "support/TestSupport.h"

#include <OgreException.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>

using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;

namespace {

// Every section, both pickup lists sharing a pickup, spawn-rate keys, multiplier steps, colours
// with combos and two areas.
const char* const kFullMode = R"(# test mode
[SETINGS]
Scene = "Town"
NumLives = 3
RespawnDelay = 4
BorderScale = 0.8

[PLAYER]
MaxHP = 250
StartDamage = 0.25
MoveDisable = false
DodgeDisable = true
MainFDisable = false
SubFDisable = true
TurrTurnDisable = false
MoveFireDisable = true
StopFireDisable = false
MoveTTurnDisable = true
StopTTurnDisable = false
MoveMultiplyer = 1.5
SpawnPos = 10 2 -20
SpawnYaw = 90
WeaponArena = true
WeapArena_Name = "WeapTwinCannon"
WeapArena_InfAmmo = true

[MECHANICS]
NumMechaVars = 2
MechaVar_1_Start = 5
MechaVar_1_DefA = 100
MechaVar_1_DefB = 0
MechaVar_1_Multiply = true
MechaVar_1_TimeAff = -1
MechaVar_1_ClearWave = 2
MechaVar_1_PlayerHit = -3
MechaVar_1_PlayerDamage = 0.5
MechaVar_1_PlayerShot = 0.25
MechaVar_1_PlayerMoveM = 0.125
MechaVar_1_PlayerStopT = 4
MechaVar_1_DefLimiter = true
MechaVar_2_Start = 120
MechaVar_2_TimeAff = -1
HP_TimeAff = -0.5
HP_ClearWave = 10
HP_PlayerShot = -0.1
HP_PlayerMoveM = 0.2
HP_PlayerStopT = 0.3

[CAMERA]
camStyle = 1
camZoom = 1.25

[OVNI_SPAWN]
SpawnTime = 3
SGlobalCap = 12
LimitSpawnMech = true
LSM_MechIdx = 2
LSM_Condition = 1
LSM_Val = 2.9
StartSpawn = 4
VariableSpawnRate = true
VSR_NumKeys = 2
VSR_Key_1_Time = 0
VSR_Key_1_Rate = 4
VSR_Key_2_Time = 60
VSR_Key_2_Rate = 1.5

[CLEAR_CONDITION]
CC_PrintName = "Cleared"
CC_HasRecordTable = true
CC_RT_Challange = true
CC_ColourCombo = true
CC_MechCond = true
CC_MechIndx = 2
CC_Condition = 3.7
CC_Val = 0
CC_AreaClear = true
CC_WaveClear = true
CC_PDestroyed = false

[LOSE_CONDITION]
LC_PrintName = "Destroyed"
HasLoseCondition = true
LC_HasRecordTable = false
LC_RT_Challange = true
NeedOnlyOne = true
LC_MechCond = true
LC_MechIndx = 1
LC_Condition = 4
LC_Val = -5
LC_AreaClear = false
LC_PDestroyed = true

[MULTIPLIER]
NumMulti = 2
Multi_1_Kills = 5
Multi_1_mVar = 2
Multi_2_Kills = 10
Multi_2_mVar = 3

[HUD]
ScoreHud = true
ScoreMechIndx = 1
TimeHud = true
TimeMechIndx = 2
WaveBarHud = true
WaveBarMechIndx = 1
ChronoHud = false
ChronoMechIndx = 2
LivesBarHud = true
BestSHud = true
HPHud = true
KillHud = true

[WAVE]
UseWaveSystem = true
NumWaves = 5
NewWave_StartDelay = 3
NewWave_MechSize = 1.5
NewWave_SpawnRate = 0.9
NewWave_OvniCap = 1.2
WaveClear_AreaClear = true
WaveClear_MechIdx = 1
WaveClear_Condition = 4
WaveClear_Val = 10.6

[Colour]
UseColourSystem = true
NumColourBalls = 5
NumColourStates = 3
CState_1_Name = "red"
CState_1_Colour = 1 0 0 1
CState_2_Name = "green"
CState_2_Colour = 0 1 0 1
CState_3_Name = "blue"
CState_3_Colour = 0 0 1 0.5
CState_Lock_Name = "lock"
UseComboSys = true
ComboRedLineUnits = 4
ComboMinCombo = 3
ComboMinPoint = 10
ComboPointMulti = 1.5
ComboMechaScoreIndx = 1
ComboTimeToCombo = 2.5

[TrigArea]
NumAreas = 2
TArea_1_Type = 1
TArea_1_Pos = 30 5 -40
TArea_1_Scale = 2
TArea_2_Type = 2
TArea_2_Pos = -10 0 10
TArea_2_Scale = 0.5
TArea_1_MechaVar_1_Enter = 5
TArea_1_MechaVar_3_Inside = -2
TArea_2_MechaVar_2_Leave = 1

[OVNI]
NumOvniTypes = 2
Ovni_1_Name = "ufo"
Ovni_1_Rate = 3
Ovni_1_SimCap = 4
Ovni_1_MaxSpawn = 10
Ovni_1_ColourIdx = 1
Ovni_2_Name = "ufo2"
Ovni_2_Rate = 1
Ovni_2_SimCap = 0
Ovni_2_MaxSpawn = 5
Ovni_2_ColourIdx = 3
Ovni_1_Mecha_1_pKill = 10
Ovni_1_Mecha_3_Hit = -1
Ovni_2_Mecha_2_Spawn = 2
Ovni_2_Mecha_3_Damage = 0.5

[INTERVAL_PICKUPS]
KillsInterval = 10
ChangeVar = 0.5
NumPickupTypes = 2
Pick_1_Name = "pick_health"
Pick_1_Rate = 1
Pick_1_SimCap = 2
Pick_1_MaxSpawn = 3
Pick_2_Name = "pick_turbo"
Pick_2_Rate = 1
Pick_2_MaxSpawn = 3
Pick_1_Mecha_1_Pick = 7

[TIME_PICKUPS]
TimeInterval = 30
ChangeVar = 0.25
NumPickupTypes = 1
Pick_1_Name = "pick_health"
Pick_1_Rate = 2
Pick_1_MaxSpawn = 2
Pick_1_Mecha_3_Pick = 25

[RECORD_TABLE]
TableIdx = 3
MechIndx = 1
Table_Order = 1
Table_DefVal = 0
Table_ValIsTime = false
)";

// A private game tree with the working directory in Bin/Game and two Ovni definitions.
struct ModeTree {
    TempGameTree tree{"Bin/Game/plugins.cfg"};
    ScopedWorkDir cwd{tree.workDir()};

    ModeTree()
    {
        for (const char* name : {"ufo", "ufo2"}) {
            OvniParams d(name);
            d.meshName = std::string(name) + ".mesh";
            EXPECT_TRUE(d.writeCache());
        }
    }
    void writeMode(const std::string& name, const std::string& text) const
    {
        testsupport::writeTextFile(tree.path("Data/GamePlay/" + name + ".ini"), text);
    }
    std::vector<uint8_t> readBytes(const std::string& relative) const
    {
        const std::string text = testsupport::readTextFile(tree.path(relative));
        return {text.begin(), text.end()};
    }
};

// A rules engine for the file alone, with its own play data and libraries.
struct Engine {
    GamePlayData data;
    GOParamsLibrary goLibrary{nullptr};
    PickupParamsLibrary pickupLibrary;
    std::unique_ptr<GameRulesManager> rules;

    explicit Engine(GameSession* session = nullptr)
    {
        rules = make(session);
    }
    std::unique_ptr<GameRulesManager> make(GameSession* session)
    {
        auto r = std::make_unique<GameRulesManager>(
            &data, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, session,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &goLibrary, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        r->pickupLibrary = &pickupLibrary;
        return r;
    }
    GameRulesManager& operator*() { return *rules; }
    GameRulesManager* operator->() { return rules.get(); }
};

uint32_t u32At(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void putU32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void putF32(std::vector<uint8_t>& b, size_t at, float v) { std::memcpy(b.data() + at, &v, 4); }

// Where the settings block starts in a cache written under `name` for a map `scene`.
size_t settingsOffset(const std::string& name, const std::string& scene)
{
    return 12 + 4 + 4 * name.size() + 4 + 4 * scene.size();
}

}  // namespace

TEST(ModeRulesFile, CacheHeaderAndRoundTripOfEverySection)
{
    ModeTree t;
    t.writeMode("Full", kFullMode);
    Engine a;
    ASSERT_TRUE(a->loadIniFile("Full")) << a->problem();

    // The .ini reader took the fixture's values.
    EXPECT_EQ(a->Scene, "Town");
    EXPECT_EQ(a.data.NumLives, 3u);
    EXPECT_FLOAT_EQ(a.data.RespawnDelay, 4.0f);
    ASSERT_EQ(a.data.numMechaVars(), 2u);
    EXPECT_FLOAT_EQ(a.data.mechaVars[0].value, 5.0f);
    EXPECT_FLOAT_EQ(a.data.mechaVars[0].PlayerStopT, 4.0f);
    EXPECT_FLOAT_EQ(a.data.mechaVars[0].PlayerShot, 0.25f);
    EXPECT_EQ(a->LSM_Val, 2u);
    EXPECT_EQ(a->CC_Condition, 3u);
    EXPECT_EQ(a->WaveClear_Val, 10u);
    EXPECT_FLOAT_EQ(a->spawnTimer, 4.0f);  // the first key's rate
    ASSERT_EQ(a->colourStates.size(), 3u);
    EXPECT_EQ(a->colourStates[2].name, "blue");
    EXPECT_FLOAT_EQ(a->colourStates[2].colour.a, 0.5f);
    EXPECT_EQ(a->colourBalls.size(), 5u);
    ASSERT_EQ(a->areas.size(), 2u);
    EXPECT_FLOAT_EQ(a->areas[0]->getRadius(), 20.0f);
    EXPECT_EQ(a->areas[0]->getCentre(), Ogre::Vector3(30, 0, -40));
    ASSERT_EQ(a.data.numOvniTypes(), 2u);
    ASSERT_NE(a.data.ovniTypes[1].definition, nullptr);
    EXPECT_EQ(a.data.ovniTypes[1].definition->ovniType, 2u);
    EXPECT_EQ(a.data.ovniTypes[1].definition->mechanicsRow, 2u);
    EXPECT_FLOAT_EQ(a.data.ovniTypes[0].weight, 0.75f);  // 3 of 4
    EXPECT_FLOAT_EQ(a.data.ovniTypes[0].rows[0].pKill, 10.0f);
    EXPECT_FLOAT_EQ(a.data.ovniTypes[0].rows[2].Hit, -1.0f);
    EXPECT_FLOAT_EQ(a.data.ovniTypes[1].rows[2].Damage, 0.5f);
    EXPECT_FLOAT_EQ(a.data.intervalPickupTypes[0].rows[0].Pick, 7.0f);
    EXPECT_FLOAT_EQ(a.data.timePickupTypes[0].rows[2].Pick, 25.0f);
    ASSERT_EQ(a.data.numAreas(), 2u);
    EXPECT_FLOAT_EQ(a.data.areaRows[0][2].Inside, -2.0f);
    EXPECT_FLOAT_EQ(a.data.areaRows[1][1].Leave, 1.0f);
    EXPECT_EQ(a.data.MechIndx, 1u);
    EXPECT_EQ(a->camStyle, 1u);
    EXPECT_FLOAT_EQ(a->camZoom, 1.25f);

    a.data.mechaVars[0].value = 99.0f;  // a value changed in play is written as its start
    ASSERT_TRUE(a->writeCacheFile("Full"));
    const std::vector<uint8_t> written = t.readBytes("Data/System/Full.ZVG");
    const uint8_t header[] = {0x4E, 0x60, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 'F', 0, 0, 0};
    ASSERT_GT(written.size(), sizeof header);
    EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.begin() + sizeof header),
              std::vector<uint8_t>(header, header + sizeof header));

    Engine b;
    ASSERT_TRUE(b->readCacheFile("Full")) << b->problem();
    EXPECT_EQ(b->cacheBytes("Full"), written);
    EXPECT_FLOAT_EQ(b.data.mechaVars[0].value, 5.0f);
    EXPECT_FLOAT_EQ(b->spawnTimer, 4.0f);
    EXPECT_EQ(b->areas[1]->getType(), 2u);
    EXPECT_FLOAT_EQ(b->areas[1]->getRadius(), 5.0f);
    ASSERT_NE(b.data.ovniTypes[0].definition, nullptr);
    EXPECT_EQ(b.data.ovniTypes[0].definition->ovniType, 1u);

    // The first string is skipped and the header words are not checked.
    std::vector<uint8_t> odd = written;
    putU32(odd, 0, 0);
    putU32(odd, 4, 7);
    odd[16] = 'X';
    Engine c;
    ASSERT_TRUE(c->readCacheBytes(odd));
    EXPECT_EQ(c->cacheBytes("Full"), written);
}

TEST(ModeRulesFile, BlockLayouts)
{
    ModeTree t;
    struct Case {
        const char* what;
        std::function<void(Engine&)> setUp;
        std::function<void(Engine&, BinaryWriter&)> write;
        size_t size;
        std::function<void(const std::vector<uint8_t>&)> check;
    };
    const auto settings = [](Engine& e, BinaryWriter& w) { e.data.writeSettingsCache(w); };
    const auto rules = [](Engine& e, BinaryWriter& w) { e->writeRulesCache(w); };
    const Case cases[] = {
        {"no mecha variables: the count, then the five HP reals", [](Engine& e) { e.data.HP_PlayerStopT = 9.0f; },
         settings, 79,
         [](const std::vector<uint8_t>& b) {
             EXPECT_EQ(u32At(b, 55), 0u);
             float hp = 0;
             std::memcpy(&hp, b.data() + 75, 4);
             EXPECT_FLOAT_EQ(hp, 9.0f);
         }},
        {"empty arena weapon at 50, then its ammo flag",
         [](Engine& e) { e.data.WeapArena_InfAmmo = 1; }, settings, 79,
         [](const std::vector<uint8_t>& b) {
             EXPECT_EQ(u32At(b, 50), 0u);
             EXPECT_EQ(b[54], 1);
         }},
        {"one mecha variable adds 42 bytes", [](Engine& e) { e.data.mechaVars.resize(1); }, settings, 79 + 42,
         nullptr},
        {"defaults: no keys, no steps, colours off", nullptr, rules, 139,
         [](const std::vector<uint8_t>& b) {
             EXPECT_EQ(u32At(b, 72), 0u);  // NumMulti
             EXPECT_EQ(b[134], 0);         // UseColourSystem, alone
         }},
        {"colours on, combo off", [](Engine& e) { e->UseColourSystem = 1; }, rules, 139 + 4 + 4 + 4 + 1,
         [](const std::vector<uint8_t>& b) { EXPECT_EQ(b[147], 0); }},
        {"colours and combo on",
         [](Engine& e) {
             e->UseColourSystem = 1;
             e->UseComboSys = 1;
         },
         rules, 139 + 13 + 24, nullptr},
        {"two Ovni types with two variables",
         [](Engine& e) {
             e.data.mechaVars.resize(2);
             e.data.resizeOvniTypes(2);
             for (auto& type : e.data.ovniTypes)
                 type.rows.resize(3);
         },
         [](Engine& e, BinaryWriter& w) { e.data.writeOvniEventsCache(w); }, 168, nullptr},
        {"no areas: a single u32 0", nullptr, [](Engine& e, BinaryWriter& w) { e.data.writeAreaEventsCache(w); }, 4,
         [](const std::vector<uint8_t>& b) { EXPECT_EQ(u32At(b, 0), 0u); }},
        {"record table", nullptr, [](Engine& e, BinaryWriter& w) { e.data.writeRecordTableCache(w); }, 17, nullptr},
        {"camera: style and zoom 1.0", nullptr, [](Engine& e, BinaryWriter& w) { e->writeCameraCache(w); }, 8,
         [](const std::vector<uint8_t>& b) {
             float zoom = 0;
             std::memcpy(&zoom, b.data() + 4, 4);
             EXPECT_FLOAT_EQ(zoom, 1.0f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Engine e;
        if (c.setUp)
            c.setUp(e);
        BinaryWriter w;
        c.write(e, w);
        EXPECT_EQ(w.bytes().size(), c.size);
        if (c.check && w.bytes().size() == c.size)
            c.check(w.bytes());
    }
}

TEST(ModeRulesFile, DefaultsAndFixUpsFromIniAndCache)
{
    ModeTree t;
    struct Case {
        const char* what;
        const char* ini;
        std::function<void(Engine&)> check;
    };
    const Case cases[] = {
        {"border, movement, camera and wave factors default", "[SETINGS]\nScene = Town\n[WAVE]\nNewWave_MechSize = 0\n",
         [](Engine& e) {
             EXPECT_FLOAT_EQ(e.data.BorderScale, 1.0f);
             EXPECT_FLOAT_EQ(e.data.MoveMultiplyer, 1.0f);
             EXPECT_FLOAT_EQ(e->cameraZoom(), 1.0f);
             EXPECT_FLOAT_EQ(e->NewWave_SpawnRate, 1.0f);
             EXPECT_FLOAT_EQ(e->NewWave_OvniCap, 1.0f);
             EXPECT_FLOAT_EQ(e->NewWave_MechSize, 0.0f);
         }},
        {"a value display needs its variable",
         "[MECHANICS]\nNumMechaVars = 5\n[HUD]\nScoreHud = true\nScoreMechIndx = 0\nTimeHud = true\nTimeMechIndx = "
         "7\nChronoHud = true\nChronoMechIndx = 5\n",
         [](Engine& e) {
             EXPECT_FALSE(e->ScoreHud);
             EXPECT_EQ(e->TimeMechIndx, 0u);
             EXPECT_FALSE(e->TimeHud);
             EXPECT_TRUE(e->ChronoHud);
             EXPECT_EQ(e->ChronoMechIndx, 5u);
         }},
        {"a recorded variable past the list opens no file",
         "[MECHANICS]\nNumMechaVars = 3\n[RECORD_TABLE]\nTableIdx = 3\nMechIndx = 5\n",
         [](Engine& e) {
             EXPECT_EQ(e.data.MechIndx, 0u);
             EXPECT_FLOAT_EQ(e.data.bestRecordValue, -1.0f);  // untouched
         }},
        {"the best record comes from the table's file",
         "[MECHANICS]\nNumMechaVars = 1\n[RECORD_TABLE]\nTableIdx = 3\nMechIndx = 1\n",
         [](Engine& e) { EXPECT_FLOAT_EQ(e.data.bestRecordValue, 1250.5f); }},
        {"an area of scale 2", "[TrigArea]\nNumAreas = 1\nTArea_1_Type = 2\nTArea_1_Pos = 4 9 -6\nTArea_1_Scale = 2\n",
         [](Engine& e) {
             ASSERT_EQ(e->areas.size(), 1u);
             EXPECT_FLOAT_EQ(e->areas[0]->getRadius(), 20.0f);
             EXPECT_EQ(e->areas[0]->getCentre(), Ogre::Vector3(4, 0, -6));
             EXPECT_EQ(e.data.numAreas(), 1u);
         }},
        {"reals kept whole saturate", "[OVNI_SPAWN]\nLSM_Val = -3\n[CLEAR_CONDITION]\nCC_Condition = 1e20\n",
         [](Engine& e) {
             EXPECT_EQ(e->LSM_Val, 0u);
             EXPECT_EQ(e->CC_Condition, 0xFFFFFFFFu);
         }},
        {"variable spawn rate without keys",
         "[OVNI_SPAWN]\nSpawnTime = 2\nVariableSpawnRate = true\nVSR_NumKeys = 0\n",
         [](Engine& e) { EXPECT_TRUE(e->spawnRateKeys.empty()); }},
        {"an Ovni without a definition keeps its place",
         "[OVNI]\nNumOvniTypes = 2\nOvni_1_Name = ghost\nOvni_1_MaxSpawn = 1\nOvni_2_Name = ufo\nOvni_2_MaxSpawn = 1\n",
         [](Engine& e) {
             ASSERT_EQ(e.data.numOvniTypes(), 2u);
             EXPECT_EQ(e.data.ovniTypes[0].definition, nullptr);
             ASSERT_NE(e.data.ovniTypes[1].definition, nullptr);
             EXPECT_EQ(e.data.ovniTypes[1].definition->ovniType, 2u);
         }},
    };
    {
        BinaryWriter table;
        writeBinString(table, "Ace");
        table.writeF32(1250.5f);
        ASSERT_TRUE(table.commit("Data3.dat"));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t.writeMode("Case", c.ini);
        {
            SCOPED_TRACE("from the .ini");
            Engine e;
            e.data.bestRecordValue = -1.0f;
            ASSERT_TRUE(e->loadIniFile("Case")) << e->problem();
            c.check(e);
            ASSERT_TRUE(e->writeCacheFile("Case"));
        }
        {
            SCOPED_TRACE("from the cache");
            Engine e;
            e.data.bestRecordValue = -1.0f;
            ASSERT_TRUE(e->readCacheFile("Case")) << e->problem();
            c.check(e);
        }
    }
}

TEST(ModeRulesFile, WholeNumbersAndSharedDefinitionsDifferAsStored)
{
    ModeTree t;
    t.writeMode("Lists", std::string(kFullMode) + "\n");
    {
        Engine e;
        ASSERT_TRUE(e->loadIniFile("Lists"));
        // From the .ini the time list has a definition of its own.
        EXPECT_NE(e.data.intervalPickupTypes[0].definition, e.data.timePickupTypes[0].definition);
        EXPECT_EQ(e.data.intervalPickupTypes[0].definition->spawnListKind, 1u);
        EXPECT_EQ(e.data.timePickupTypes[0].definition->spawnListKind, 2u);
        e->TimeInterval = e->nextTimeThreshold = 7.5f;
        ASSERT_TRUE(e->writeCacheFile("Lists"));
    }
    Engine e;
    ASSERT_TRUE(e->readCacheFile("Lists"));
    PickupParams* shared = e.data.intervalPickupTypes[0].definition;
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared, e.data.timePickupTypes[0].definition);
    EXPECT_EQ(shared->spawnListKind, 2u);
    EXPECT_EQ(shared->spawnListPosition, 1u);
    EXPECT_FLOAT_EQ(e->TimeInterval, 7.0f);
    EXPECT_FLOAT_EQ(e->nextTimeThreshold, 7.0f);
    EXPECT_EQ(e->KillsInterval, 10u);

    // A NaN where a whole number is cached reads as 0.
    std::vector<uint8_t> bytes = t.readBytes("Data/System/Lists.ZVG");
    const size_t settingsSize = 79 + 2 * 42 + 4 * 14;  // the weapon name's 14 characters
    putF32(bytes, settingsOffset("Lists", "Town") + settingsSize + 17, std::numeric_limits<float>::quiet_NaN());
    Engine n;
    ASSERT_TRUE(n->readCacheBytes(bytes));
    EXPECT_EQ(n->LSM_Val, 0u);
    EXPECT_EQ(n->SGlobalCap, 12u);  // the offset is the right one
}

TEST(ModeRulesFile, DamagedCachesAreRefusedWhole)
{
    ModeTree t;
    t.writeMode("Full", kFullMode);
    std::vector<uint8_t> good;
    {
        Engine e;
        ASSERT_TRUE(e->loadIniFile("Full"));
        good = e->cacheBytes("Full");
    }
    const auto refused = [](const std::vector<uint8_t>& bytes) {
        Engine e;
        e.data.resizeOvniTypes(1);  // tables of an earlier play are dropped too
        const bool read = e->readCacheBytes(bytes);
        EXPECT_FALSE(read);
        EXPECT_EQ(e.data.numMechaVars(), 0u);
        EXPECT_EQ(e.data.numOvniTypes(), 0u);
        EXPECT_EQ(e.data.numAreas(), 0u);
        EXPECT_TRUE(e->areas.empty());
        EXPECT_TRUE(e->Scene.empty());
        EXPECT_FLOAT_EQ(e->SpawnTime, 0.0f);
        EXPECT_FLOAT_EQ(e->camZoom, 1.0f);
        return !read;
    };
    for (size_t cut = 0; cut < good.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        if (!refused(std::vector<uint8_t>(good.begin(), good.begin() + cut)))
            break;
    }
    std::vector<uint8_t> huge = good;
    putU32(huge, settingsOffset("Full", "Town") + 79 + 4 * 14 - 24, 0xFFFFFFFFu);  // NumMechaVars
    refused(huge);
    std::vector<uint8_t> justOver = good;
    putU32(justOver, settingsOffset("Full", "Town") + 79 + 4 * 14 - 24, 257);
    refused(justOver);

    // A missing cache reads nothing, a bytes-in-memory one is fine after all that.
    Engine e;
    EXPECT_FALSE(e->readCacheFile("Nothing"));
    EXPECT_TRUE(e->readCacheBytes(good));
}

// Places and sizes that reach the scene graph: a cache holding one that is not finite or beyond
// 1e6 is refused whole (the file fuzz program: a spawn position read as 1e30 aborted the engine's
// bounding-box assertion); 1e6 itself still reads.
TEST(ModeRulesFile, PlacesAndSizesInTheCacheAreBounded)
{
    ModeTree t;
    t.writeMode("Full", kFullMode);
    std::vector<uint8_t> good;
    {
        Engine e;
        ASSERT_TRUE(e->loadIniFile("Full"));
        good = e->cacheBytes("Full");
    }
    const size_t settings = settingsOffset("Full", "Town");
    // The second area's record, found by its stored place (-10, 0, 10).
    const float areaPlace[3] = {-10.0f, 0.0f, 10.0f};
    const uint8_t* placeBytes = reinterpret_cast<const uint8_t*>(areaPlace);
    const auto found = std::search(good.begin(), good.end(), placeBytes, placeBytes + sizeof areaPlace);
    ASSERT_NE(found, good.end());
    const size_t area = static_cast<size_t>(found - good.begin());
    const struct {
        const char* what;
        size_t at;
        std::function<float(Engine&)> read;
    } places[] = {
        {"border scale", settings + 8, [](Engine& e) { return e.data.BorderScale; }},
        {"speed factor", settings + 29, [](Engine& e) { return e.data.MoveMultiplyer; }},
        {"spawn x", settings + 33, [](Engine& e) { return e.data.SpawnPos.x; }},
        {"spawn z", settings + 41, [](Engine& e) { return e.data.SpawnPos.z; }},
        {"spawn yaw", settings + 45, [](Engine& e) { return e.data.SpawnYaw; }},
        {"area place", area, [](Engine& e) { return e->areas[1]->getPosition().x; }},
        {"area size", area + 12, [](Engine& e) { return e->areas[1]->getScale(); }},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.what);
        std::vector<uint8_t> bytes = good;
        putF32(bytes, place.at, 1.0e6f);
        Engine edge;
        ASSERT_TRUE(edge->readCacheBytes(bytes));
        EXPECT_FLOAT_EQ(place.read(edge), 1.0e6f);
        for (const float bad : {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(),
                                1.0e30f, -1.1e6f}) {
            putF32(bytes, place.at, bad);
            Engine e;
            EXPECT_FALSE(e->readCacheBytes(bytes)) << bad;
            EXPECT_TRUE(e->areas.empty());
            EXPECT_TRUE(e->Scene.empty());
        }
    }
}

TEST(ModeRulesFile, IniFaultsAreReported)
{
    ModeTree t;
    Engine e;
    EXPECT_THROW(e->loadIniFile("Missing"), Ogre::Exception);
    for (const char* ini : {"[MECHANICS]\nNumMechaVars = 4294967295\n", "[OVNI_SPAWN]\nStartSpawn = 257\n",
                            "[TrigArea]\nNumAreas = 300\n", "[OVNI]\nNumOvniTypes = 1000\n"}) {
        SCOPED_TRACE(ini);
        t.writeMode("Bad", ini);
        Engine bad;
        EXPECT_FALSE(bad->loadIniFile("Bad"));
        EXPECT_FALSE(bad->problem().empty());
    }
    t.writeMode("Edge", "[OVNI_SPAWN]\nStartSpawn = 256\n[MECHANICS]\nNumMechaVars = 256\n");
    Engine edge;
    EXPECT_TRUE(edge->loadIniFile("Edge")) << edge->problem();
    EXPECT_EQ(edge.data.numMechaVars(), 256u);
}

TEST(ModeRulesFile, ConstructorReadsTheSessionLevelAndDestructorFreesTheTables)
{
    ModeTree t;
    t.writeMode("Full", kFullMode);
    {
        Engine e;
        ASSERT_TRUE(e->loadIniFile("Full"));
        ASSERT_TRUE(e->writeCacheFile("Full"));
    }
    GameSession session(nullptr, nullptr);
    session.levelName = "Full";
    Engine e(&session);
    EXPECT_EQ(e->Scene, "Town");
    EXPECT_EQ(e.data.numOvniTypes(), 2u);
    e.rules.reset();
    EXPECT_EQ(e.data.numOvniTypes(), 0u);
    EXPECT_EQ(e.data.numMechaVars(), 0u);
    EXPECT_EQ(e.data.numIntervalPickupTypes(), 0u);
    EXPECT_EQ(e.data.numAreas(), 0u);
}

namespace {
std::vector<std::string> levelNames()
{
    std::vector<std::string> names;
    IniSource modes;
    EXPECT_TRUE(modes.load(testsupport::repoDataDir() + "/tables/GMode.ini"));
    for (uint32_t m = 0; !modes.text("Mode_" + std::to_string(m), "Name").empty(); ++m)
        names.push_back(modes.text("Mode_" + std::to_string(m), "Name"));
    IniSource campaign;
    EXPECT_TRUE(campaign.load(testsupport::repoDataDir() + "/tables/GCampA.ini"));
    for (uint32_t t = 1; t < 10; ++t)
        for (uint32_t c = 1; c < 10; ++c) {
            const std::string name =
                campaign.text("Challenge_" + std::to_string(t) + "_" + std::to_string(c), "Name");
            if (!name.empty())
                names.push_back(name);
        }
    return names;
}

void replaceInFile(const std::string& path, const std::string& from, const std::string& to)
{
    std::string text = testsupport::readTextFile(path);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << path << ": " << from;
    text.replace(at, from.size(), to);
    testsupport::writeTextFile(path, text);
}
}  // namespace

TEST(ModeRulesFile, EveryLevelOfTheGameReadsBackFromItsCache)
{
    const std::vector<std::string> names = levelNames();
    ASSERT_EQ(names.size(), 16u);
    TempGameTree tree{"Data/System", "Data/GamePlay"};
    ScopedWorkDir cwd(tree.workDir());
    uint32_t freeModes = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Engine e;
        ASSERT_TRUE(e->readCacheFile(name)) << e->problem();
        // The .ini and the cache give the same records, and those write the shipped cache again.
        Engine fromIni;
        ASSERT_TRUE(fromIni->loadIniFile(name)) << fromIni->problem();
        const std::string file = testsupport::readTextFile(GameRulesManager::cachePath(name));
        const std::vector<uint8_t> shipped(file.begin(), file.end());
        EXPECT_EQ(fromIni->cacheBytes(name), shipped);
        EXPECT_EQ(e->cacheBytes(name), shipped);
        EXPECT_EQ(e->Scene, "Town");
        ASSERT_GT(e.data.numOvniTypes(), 0u);
        for (const OvniSpawnType& type : e.data.ovniTypes) {
            ASSERT_NE(type.definition, nullptr) << type.name;
            if (type.colourIndex > 0) {
                ASSERT_LE(type.colourIndex, e->colourStates.size());
                const std::string state = e->colourStates[type.colourIndex - 1].name;
                EXPECT_TRUE(state == "red" || state == "green" || state == "blue") << state;
            }
        }
        EXPECT_GE(e.data.MechIndx, 1u);
        EXPECT_LE(e.data.MechIndx, e.data.numMechaVars());
        const bool challenge = name.rfind("Ch", 0) == 0;
        EXPECT_EQ(e.data.tableIdx, challenge ? 0u : ++freeModes);
        EXPECT_TRUE(e->CC_HasRecordTable);
        if (challenge) {
            EXPECT_TRUE(e->HasLoseCondition && e->LC_PDestroyed);
            EXPECT_FALSE(e->LC_HasRecordTable);
        }
    }
    EXPECT_EQ(freeModes, 6u);
}

TEST(ModeRulesFile, BuilderRefusesFaultyModeFilesNamingThem)
{
    TempGameTree tree{"Bin/Game/plugins.cfg", "Data/GamePlay"};
    const std::string dir = tree.path("Data/GamePlay/");
    std::filesystem::remove(dir + "Ch1_FirstContact.ini");
    replaceInFile(dir + "Ch1_ScrapRun.ini", "NumMechaVars = 2", "NumMechaVars = 300");
    replaceInFile(dir + "Ch1_HoldTheLine.ini", "Ovni_1_Name = \"wisp\"", "Ovni_1_Name = \"ghost\"");
    replaceInFile(dir + "Ch2_ColourFurnace.ini", "Ovni_3_ColourIdx = 3", "Ovni_3_ColourIdx = 4");
    replaceInFile(dir + "Ch2_ConveyorChase.ini", "ChronoMechIndx = 1", "ChronoMechIndx = 9");
    replaceInFile(dir + "Ch3_RooftopRally.ini", "\nMechIndx = 1", "\nMechIndx = 7");

    const std::string log = tree.path("builder.txt");
    const std::string cmd = "cd '" + tree.workDir() + "' && '" + DATABUILDER_EXECUTABLE + "' '" + REPO_DATA_DIR +
                            "' > '" + log + "' 2>&1";
    const int status = std::system(cmd.c_str());
    const std::string output = testsupport::readTextFile(log);
    EXPECT_NE(status, 0);
    for (const char* line :
         {"Ch1_FirstContact.ini cannot be read", "Ch1_ScrapRun.ini: a list length in SETINGS/PLAYER/MECHANICS",
          "Ch1_HoldTheLine.ini: Ovni_1_Name 'ghost' has no Ovni definition cache",
          "Ch2_ColourFurnace.ini: Ovni_3_ColourIdx 4 is past the 3 colour states",
          "Ch2_ConveyorChase.ini: ChronoMechIndx 9 is past the 2 mecha variables",
          "Ch3_RooftopRally.ini: MechIndx 7 is past the 2 mecha variables", "mode rules: 10 of 16 caches written"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    for (const char* refused : {"Ch1_ScrapRun", "Ch1_HoldTheLine", "Ch2_ColourFurnace", "Ch3_RooftopRally"})
        EXPECT_FALSE(std::filesystem::exists(tree.path(std::string("Data/System/") + refused + ".ZVG"))) << refused;
    EXPECT_TRUE(std::filesystem::exists(tree.path("Data/System/ArcadeMode.ZVG")));
}

// The game's own weighted pick, with the play's random generator, over the built caches: every
// type listed in a spawn list of a level is drawn in 10,000 draws (a type with MaxSpawn 0 has
// weight 0 and would be reached only through the fallback to the first type).
TEST(ModeRulesFile, EveryListedTypeOfEveryLevelIsDrawn)
{
    TempGameTree tree{"Data/System"};
    ScopedWorkDir cwd(tree.workDir());
    for (const std::string& name : levelNames()) {
        Engine e;
        ASSERT_TRUE(e->readCacheFile(name)) << e->problem();
        const GamePlayData& d = e.data;
        struct List {
            const char* title;
            std::vector<std::string> names;
            std::function<uint32_t(double)> pick;
        };
        std::vector<List> lists = {{"OVNI", {}, [&](double r) { return d.pickOvniType(r); }},
                                   {"INTERVAL_PICKUPS", {}, [&](double r) { return d.pickIntervalPickupType(r); }},
                                   {"TIME_PICKUPS", {}, [&](double r) { return d.pickTimePickupType(r); }}};
        for (const OvniSpawnType& t : d.ovniTypes)
            lists[0].names.push_back(t.name);
        for (const PickupSpawnType& t : d.intervalPickupTypes)
            lists[1].names.push_back(t.name);
        for (const PickupSpawnType& t : d.timePickupTypes)
            lists[2].names.push_back(t.name);
        for (const List& list : lists) {
            RandomGenerator random;
            random.seed(43);
            std::vector<uint32_t> drawn(list.names.size(), 0);
            for (int i = 0; i < 10000 && !drawn.empty(); ++i)
                ++drawn.at(list.pick(random.nextUnit()));
            for (size_t t = 0; t < drawn.size(); ++t)
                EXPECT_GT(drawn[t], 0u) << name << " " << list.title << " type " << t + 1 << " " << list.names[t];
        }
    }
}

// The HUD flags of every level against what the level uses: the lives, the wave number and the
// wave bar show together (LivesBarHud), so the flag is on wherever a level has lives, waves or a
// bar; a bar shows a variable that moves between its full and empty marks; a wave level's bar is
// its wave variable.
TEST(ModeRulesFile, EveryLevelShowsWhatItUses)
{
    TempGameTree tree{"Data/System"};
    ScopedWorkDir cwd(tree.workDir());
    for (const std::string& name : levelNames()) {
        SCOPED_TRACE(name);
        Engine e;
        ASSERT_TRUE(e->readCacheFile(name)) << e->problem();
        const GameRulesManager& r = *e;
        const bool waves = r.UseWaveSystem && r.NumWaves > 1;
        if (e.data.NumLives > 0 || waves || r.WaveBarHud) {
            EXPECT_TRUE(r.LivesBarHud);
        }
        if (waves) {
            EXPECT_TRUE(r.WaveBarHud);
            EXPECT_EQ(r.WaveBarMechIndx, r.WaveClear_MechIdx);
        }
        if (r.WaveBarHud) {
            const MechaVariable& bar = e.data.mechaVars.at(r.WaveBarMechIndx - 1);
            EXPECT_NE(bar.DefA, bar.DefB) << "the bar never moves";
        }
        EXPECT_TRUE(r.ScoreHud || r.ChronoHud) << "no result shown";
        EXPECT_TRUE(r.HPHud && r.KillHud);
    }
}

namespace {
// One play of a level from its built cache, run by the rules alone in quarter seconds with the
// events a play would raise; the vehicle is not in this play, so losing by destruction is left out.
struct RulesPlay {
    Engine e;
    float time = 0.0f;

    explicit RulesPlay(const std::string& name)
    {
        EXPECT_TRUE(e->readCacheFile(name)) << e->problem();
        e->LC_PDestroyed = 0;
        e.data.playPhase = 1;
    }
    GamePlayData& data() { return e.data; }
    // Runs until the play ends or `seconds` have passed; `act` runs before each step.
    uint32_t run(float seconds, const std::function<void(RulesPlay&)>& act = {})
    {
        for (const float end = time + seconds; time < end && e.data.playPhase == 1; time += 0.25f) {
            if (act)
                act(*this);
            e->update(0.25f, nullptr);
        }
        return e.data.playPhase;
    }
    void kill(uint32_t type)
    {
        ++e.data.ovniTypes.at(type).playerKills;
        e.data.killReported = 1;
        e.data.onOvniPlayerKill(type);
    }
};

float bronzeOf(const std::string& level)
{
    IniSource campaign;
    EXPECT_TRUE(campaign.load(testsupport::repoDataDir() + "/tables/GCampA.ini"));
    for (uint32_t t = 1; t < 10; ++t)
        for (uint32_t c = 1; c < 10; ++c) {
            const std::string section = "Challenge_" + std::to_string(t) + "_" + std::to_string(c);
            if (campaign.text(section, "Name") == level)
                return campaign.real(section, "BronzeThreshold");
        }
    ADD_FAILURE() << level << " is not in the campaign";
    return 0.0f;
}
}  // namespace

// Each challenge's clear and lose conditions ask for what its objective says: a challenge to
// destroy or to score is not cleared by waiting, and is cleared by doing what it asks; a score
// challenge cleared with its bronze target reached, and lost short of it when the clock runs out.
TEST(ModeRulesFile, ChallengesAreClearedByTheirObjectivesNotByWaiting)
{
    TempGameTree tree{"Data/System"};
    ScopedWorkDir cwd(tree.workDir());
    const auto killEverySecond = [](uint32_t type) {
        return [type](RulesPlay& p) {
            if (std::fmod(p.time, 1.0f) == 0.0f)
                p.kill(type);
        };
    };
    struct Case {
        const char* level;
        uint32_t waited;  // the phase after waiting: a time challenge's clock runs on (1), a
                          // challenge on a countdown is lost (3), or cleared (2) where holding out
                          // is the objective
        std::function<void(RulesPlay&)> objective;
    };
    const std::vector<Case> cases = {
        {"Ch1_FirstContact", 3, killEverySecond(0)},
        {"Ch1_ScrapRun", 1, killEverySecond(0)},
        {"Ch1_HoldTheLine", 3, killEverySecond(0)},
        {"Ch2_HotMetal", 3, killEverySecond(0)},
        {"Ch2_ConveyorChase", 1, killEverySecond(0)},
        {"Ch2_ColourFurnace", 3, killEverySecond(1)},
        {"Ch2_Meltdown", 3, [](RulesPlay& p) {
             if (p.time == 30.0f)
                 p.kill(0);  // the mothership
         }},
        {"Ch3_RooftopRally", 1, [](RulesPlay& p) {
             if (p.time == 40.0f)
                 p.data().onAreaEnter(0, 1);
         }},
        {"Ch3_SwarmTide", 2, {}},
        {"Ch3_LastLight", 3, [](RulesPlay& p) { p.data().onAreaInside(0, 1, 0.25f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        {
            RulesPlay idle(c.level);
            EXPECT_EQ(idle.run(600.0f), c.waited) << "waiting, at " << idle.time << " s";
            if (c.waited == 3) {
                EXPECT_EQ(idle.data().resultCaption, "Failed");
            }
        }
        if (c.objective) {
            RulesPlay play(c.level);
            EXPECT_EQ(play.run(600.0f, c.objective), 2u) << "doing what it asks, at " << play.time << " s";
        }
    }

    // A score challenge: cleared when the clock runs out with the bronze score reached (the
    // result then wins a medal), lost with one kill less.
    for (const char* level : {"Ch1_FirstContact", "Ch2_HotMetal", "Ch2_ColourFurnace"}) {
        SCOPED_TRACE(level);
        const float bronze = bronzeOf(level);
        for (const bool short_ : {false, true}) {
            RulesPlay play(level);
            const float perKill = play.data().ovniTypes.at(0).rows.at(0).pKill;
            ASSERT_GT(perKill, 0.0f);
            const float countdown = play.data().mechaVars.at(1).value;
            // Kills at the start of the play, below the first multiplier step.
            const int kills = static_cast<int>(std::ceil(bronze / perKill)) - (short_ ? 1 : 0);
            for (int k = 0; k < kills; ++k)
                play.kill(0);
            play.e->update(0.25f, nullptr);
            play.time += 0.25f;
            EXPECT_EQ(play.run(countdown - 2.0f), 1u) << "before the clock runs out";
            EXPECT_EQ(play.run(10.0f), short_ ? 3u : 2u);
            if (!short_) {
                EXPECT_GE(play.data().resultValue, bronze);
            }
        }
    }
}
