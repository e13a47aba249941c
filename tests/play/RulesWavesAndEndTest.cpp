// The rules engine without a world: the clear and lose tests with the record they leave, the
// waves with their rescaling and start delay, the spawn interval and its lock, and the pickup
// thresholds. Kills are scripted as the world books them.
#include "RulesTestSupport.h"

#include "core/RandomGenerator.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Variable 1 counts the kills left in a wave (a kill takes one), variable 2 is the score (a kill
// gives 10, a cleared wave 100). The record table records the score.
const std::string kBase = R"(
[SETINGS]
Scene = "Town"
BorderScale = 1
[MECHANICS]
NumMechaVars = 2
MechaVar_1_Start = 5
MechaVar_2_Start = 7
MechaVar_2_ClearWave = 100
[OVNI]
NumOvniTypes = 1
Ovni_1_Name = "wisp"
Ovni_1_Rate = 1
Ovni_1_Mecha_1_pKill = -1
Ovni_1_Mecha_2_pKill = 10
[RECORD_TABLE]
TableIdx = 1
MechIndx = 2
)";

struct Play {
    rulestest::ModeFiles files;
    GamePlayData data;
    GameSession session{nullptr, nullptr};
    RandomGenerator random;
    std::unique_ptr<GameRulesManager> rules;

    explicit Play(const std::string& sections, const std::string& base = kBase)
    {
        files.write("RulesTest", base + sections);
        session.levelName = "RulesTest";
        random.seed(5);
        rulestest::Handles h;
        h.data = &data;
        h.session = &session;
        h.random = &random;
        rules = rulestest::makeRules(h);
        data.playPhase = 1;
    }
    // A player kill of an Ovni of the type, as the object manager books it.
    void kill(uint32_t type = 0)
    {
        ++data.ovniTypes.at(type).playerKills;
        data.killReported = 1;
        data.onOvniPlayerKill(type);
    }
    // Ticks while the play goes on; the frame (from 1) on which it ended, 0 when it did not.
    int run(float dt, int frames)
    {
        for (int i = 1; i <= frames; ++i) {
            rules->update(dt, nullptr);
            if (data.playPhase != 1)
                return i;
        }
        return 0;
    }
};

}  // namespace

TEST(RulesEnd, ClearAndLoseTests)
{
    struct Case {
        const char* name;
        std::string sections;
        float dt;
        int endFrame;  // 0: the play goes on for the whole run
        uint32_t phase;
        const char* caption;
        uint8_t recordFlag;
        float recordValue;
    };
    const std::string blockedClear =
        "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_HasRecordTable = true\nCC_MechCond = true\n"
        "CC_MechIndx = 1\nCC_Condition = 3\nCC_Val = 0\n";
    const Case cases[] = {
        {"no clear test clears at the first test second",
         "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_HasRecordTable = true\n", 0.5f, 2, 2, "Won", 1, 7.0f},
        {"dt 0.25 tests on the fourth frame", "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\n", 0.25f, 4, 2, "Won", 0,
         7.0f},
        {"a failing mecha test blocks the clear", blockedClear, 0.5f, 0, 1, "Clear", 0, 0.0f},
        {"lose without NeedOnlyOne and no lose test is lost at once",
         blockedClear + "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\n", 0.5f, 2, 3, "Out", 0,
         7.0f},
        {"lose with NeedOnlyOne and no lose test is never lost",
         blockedClear + "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\nNeedOnlyOne = true\n",
         0.5f, 0, 1, "Clear", 0, 0.0f},
        {"NeedOnlyOne: one holding test loses",
         blockedClear +
             "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\nNeedOnlyOne = true\n"
             "LC_MechCond = true\nLC_MechIndx = 1\nLC_Condition = 2\nLC_Val = 1000\nLC_AreaClear = true\n",
         0.5f, 2, 3, "Out", 0, 7.0f},
        {"without NeedOnlyOne one failing test keeps the play",
         blockedClear +
             "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\n"
             "LC_MechCond = true\nLC_MechIndx = 1\nLC_Condition = 2\nLC_Val = 1000\nLC_AreaClear = true\n",
         0.5f, 0, 1, "Clear", 0, 0.0f},
        {"without NeedOnlyOne every holding test loses",
         blockedClear +
             "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\n"
             "LC_MechCond = true\nLC_MechIndx = 1\nLC_Condition = 4\nLC_Val = 5\nLC_AreaClear = true\n"
             "LC_PDestroyed = true\n",
         0.5f, 2, 3, "Out", 0, 7.0f},
        {"clear and lose in one second: the lose is written last",
         "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_HasRecordTable = false\n"
         "[LOSE_CONDITION]\nLC_PrintName = \"Out\"\nHasLoseCondition = true\nLC_HasRecordTable = true\n",
         1.0f, 1, 3, "Out", 1, 7.0f},
        {"UseWaveSystem with NumWaves 0: CC_WaveClear holds from the start",
         "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_WaveClear = true\n[WAVE]\nUseWaveSystem = true\n", 0.5f, 2,
         2, "Won", 0, 7.0f},
        {"CC_WaveClear waits for the last wave",
         "[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_WaveClear = true\n"
         "[WAVE]\nUseWaveSystem = true\nNumWaves = 2\nWaveClear_MechIdx = 1\nWaveClear_Condition = 3\n",
         0.5f, 0, 1, "Clear", 0, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Play p(c.sections);
        EXPECT_EQ(p.run(c.dt, 20), c.endFrame);
        EXPECT_EQ(p.data.playPhase, c.phase);
        EXPECT_EQ(p.data.resultCaption, c.caption);
        EXPECT_EQ(p.data.recordResult, c.recordFlag);
        EXPECT_FLOAT_EQ(p.data.resultValue, c.recordValue);
    }
}

TEST(RulesEnd, RecordWithoutTableIndexAndPlayWithoutCache)
{
    // No record variable: value 0 and flag 0 whatever the clear says.
    std::string base = kBase;
    base.replace(base.find("MechIndx = 2"), 12, "MechIndx = 0");
    Play p("[CLEAR_CONDITION]\nCC_PrintName = \"Won\"\nCC_HasRecordTable = true\n", base);
    p.data.resultValue = 3.0f;
    EXPECT_EQ(p.run(0.5f, 4), 2);
    EXPECT_EQ(p.data.recordResult, 0);
    EXPECT_FLOAT_EQ(p.data.resultValue, 0.0f);

    // A level without a cache: nothing to spawn, cleared at the first test second.
    rulestest::ModeFiles files;
    GamePlayData data;
    GameSession session(nullptr, nullptr);
    session.levelName = "NoSuchMode";
    RandomGenerator random;
    rulestest::Handles h;
    h.data = &data;
    h.session = &session;
    h.random = &random;
    auto rules = rulestest::makeRules(h);
    data.playPhase = 1;
    for (int i = 0; i < 4; ++i)
        rules->update(0.25f, nullptr);
    EXPECT_EQ(data.playPhase, 2u);
    EXPECT_EQ(data.numOvniTypes(), 0u);
    EXPECT_FLOAT_EQ(data.playTime, 1.0f);
}

TEST(RulesEnd, TimersRestartAtExactlyOneSecond)
{
    Play p("[CLEAR_CONDITION]\nCC_MechCond = true\nCC_MechIndx = 1\nCC_Condition = 3\n"
           "[WAVE]\nUseWaveSystem = true\nNumWaves = 5\nWaveClear_MechIdx = 1\nWaveClear_Condition = 3\n");
    EXPECT_FLOAT_EQ(p.rules->clearLoseTimer, 1.0f);
    EXPECT_FLOAT_EQ(p.rules->waveCheckTimer, 0.0f);  // the first wave test comes at once
    p.rules->update(0.3f, nullptr);
    EXPECT_FLOAT_EQ(p.rules->waveCheckTimer, 1.0f);
    EXPECT_FLOAT_EQ(p.rules->clearLoseTimer, 0.7f);
    for (int i = 0; i < 3; ++i)
        p.rules->update(0.3f, nullptr);
    // 1.2 s: the clear test ran and its overshoot is dropped.
    EXPECT_FLOAT_EQ(p.rules->clearLoseTimer, 1.0f);
    EXPECT_EQ(p.data.playPhase, 1u);
}

TEST(RulesWaves, ClearingRescalesAndDelays)
{
    // Three waves cleared by the kills variable dropping to 0; 2.5 s of start delay.
    const std::string waves =
        "[OVNI_SPAWN]\nSpawnTime = 4\nSGlobalCap = 5\nVariableSpawnRate = true\nVSR_NumKeys = 2\n"
        "VSR_Key_1_Time = 10\nVSR_Key_1_Rate = 4\nVSR_Key_2_Time = 20\nVSR_Key_2_Rate = 2\n"
        "[CLEAR_CONDITION]\nCC_PrintName = \"All waves\"\nCC_HasRecordTable = true\nCC_WaveClear = true\n"
        "[WAVE]\nUseWaveSystem = true\nNumWaves = 3\nNewWave_StartDelay = 2.5\nNewWave_MechSize = 1.5\n"
        "NewWave_SpawnRate = 0.5\nNewWave_OvniCap = 1.5\nWaveClear_MechIdx = 1\nWaveClear_Condition = 3\n"
        "WaveClear_Val = 0.9\n";
    Play p(waves);
    GameRulesManager& r = *p.rules;
    p.run(0.5f, 4);
    EXPECT_EQ(r.currentWave, 1u);
    for (int k = 0; k < 5; ++k)
        p.kill();
    EXPECT_FLOAT_EQ(p.data.getMechaValue(0), 0.0f);
    EXPECT_FLOAT_EQ(p.data.getMechaValue(1), 57.0f);
    // The next wave test second.
    p.run(0.5f, 1);
    ASSERT_EQ(r.currentWave, 2u);
    EXPECT_FLOAT_EQ(p.data.getMechaValue(0), 7.5f);  // the start 5 rescaled by 1.5
    EXPECT_FLOAT_EQ(p.data.mechaVars[0].Start, 7.5f);
    EXPECT_FLOAT_EQ(p.data.getMechaValue(1), 157.0f);  // ClearWave
    EXPECT_EQ(r.SGlobalCap, 7u);
    EXPECT_FLOAT_EQ(r.SpawnTime, 2.0f);
    EXPECT_FLOAT_EQ(r.spawnRateKeys[0].Rate, 2.0f);
    EXPECT_FLOAT_EQ(r.spawnRateKeys[1].Rate, 1.0f);
    EXPECT_FLOAT_EQ(p.data.playTime, 0.0f);
    EXPECT_FLOAT_EQ(r.waveDelayCountdown, 2.5f);

    // During the delay neither the spawner nor the waves move, even with the variable at 0.
    p.data.mechaVars[0].value = 0.0f;
    const float spawnTimer = r.spawnTimer;
    p.run(0.5f, 4);
    EXPECT_FLOAT_EQ(r.waveDelayCountdown, 0.5f);
    EXPECT_FLOAT_EQ(r.spawnTimer, spawnTimer);
    EXPECT_EQ(r.currentWave, 2u);
    p.run(0.5f, 1);  // the delay ends, held at 0
    EXPECT_FLOAT_EQ(r.waveDelayCountdown, 0.0f);
    EXPECT_EQ(r.currentWave, 2u);
    p.run(0.5f, 1);  // the wave tests go on from where the delay held them
    EXPECT_EQ(r.currentWave, 3u);
    EXPECT_EQ(r.SGlobalCap, 10u);
    EXPECT_FLOAT_EQ(p.data.getMechaValue(0), 11.25f);
    EXPECT_EQ(p.data.playPhase, 1u);

    // The last wave: cleared, counted past NumWaves, ClearWave added, nothing rescaled; the play
    // ends on its next clear test.
    p.run(0.5f, 6);
    p.data.mechaVars[0].value = 0.0f;
    const float score = p.data.getMechaValue(1);
    const int end = p.run(0.5f, 4);
    EXPECT_GT(end, 0);
    EXPECT_EQ(r.currentWave, 4u);
    EXPECT_EQ(r.SGlobalCap, 10u);
    EXPECT_FLOAT_EQ(r.waveDelayCountdown, 0.0f);
    EXPECT_FLOAT_EQ(p.data.getMechaValue(1), score + 100.0f);
    EXPECT_EQ(p.data.playPhase, 2u);
    EXPECT_EQ(p.data.resultCaption, "All waves");
    EXPECT_EQ(p.data.recordResult, 1);
    EXPECT_FLOAT_EQ(p.data.resultValue, score + 100.0f);
}

TEST(RulesWaves, CapsAndWholeNumberTarget)
{
    struct Case {
        const char* name;
        const char* sections;
        uint32_t cap1, cap2, cap3;
    };
    const Case cases[] = {
        {"SGlobalCap 5 x 1.5", "[OVNI_SPAWN]\nSGlobalCap = 5\n[WAVE]\nNewWave_OvniCap = 1.5\n", 7, 10, 15},
        {"SGlobalCap 0 stays 0", "[OVNI_SPAWN]\nSGlobalCap = 0\n[WAVE]\nNewWave_OvniCap = 1.5\n", 0, 0, 0},
        {"a negative factor saturates at 0", "[OVNI_SPAWN]\nSGlobalCap = 5\n[WAVE]\nNewWave_OvniCap = -2\n", 0, 0, 0},
        {"a huge factor saturates at the top",
         "[OVNI_SPAWN]\nSGlobalCap = 5\n[WAVE]\nNewWave_OvniCap = 1e30\n", 4294967295u, 4294967295u, 4294967295u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Every wave clears at its test second (no wave condition).
        Play p(std::string(c.sections) + "UseWaveSystem = true\nNumWaves = 9\n");
        GameRulesManager& r = *p.rules;
        const uint32_t expected[] = {c.cap1, c.cap2, c.cap3};
        for (uint32_t wave = 2; wave <= 4; ++wave) {
            r.waveCheckTimer = 0.0f;
            r.updateWaves(0.0f);
            ASSERT_EQ(r.currentWave, wave);
            EXPECT_EQ(r.SGlobalCap, expected[wave - 2]) << "wave " << wave;
        }
    }

    // WaveClear_Val 2.5 is kept as 2: the variable at 2 matches (code 5 is ==), at 2.5 it does not.
    Play p("[WAVE]\nUseWaveSystem = true\nNumWaves = 3\nWaveClear_MechIdx = 1\nWaveClear_Condition = 5\n"
           "WaveClear_Val = 2.5\n");
    EXPECT_EQ(p.rules->WaveClear_Val, 2u);
    p.data.mechaVars[0].value = 2.5f;
    p.rules->updateWaves(0.0f);
    EXPECT_EQ(p.rules->currentWave, 1u);
    p.data.mechaVars[0].value = 2.0f;
    p.rules->waveCheckTimer = 0.0f;
    p.rules->updateWaves(0.0f);
    EXPECT_EQ(p.rules->currentWave, 2u);
}

TEST(RulesSpawning, IntervalCurveAndMechaLock)
{
    Play p("[OVNI_SPAWN]\nSpawnTime = 3\nVariableSpawnRate = true\nVSR_NumKeys = 2\nVSR_Key_1_Time = 10\n"
           "VSR_Key_1_Rate = 4\nVSR_Key_2_Time = 20\nVSR_Key_2_Rate = 2\nLimitSpawnMech = true\nLSM_MechIdx = 1\n"
           "LSM_Condition = 1\nLSM_Val = 2.7\n"
           "[WAVE]\nUseWaveSystem = true\nNumWaves = 2\nNewWave_SpawnRate = 0.5\n");
    GameRulesManager& r = *p.rules;
    struct Point {
        float t, rate;
    };
    for (const Point& pt : {Point{0.0f, 4.0f}, Point{9.9f, 4.0f}, Point{10.0f, 4.0f}, Point{15.0f, 3.0f},
                            Point{19.0f, 2.2f}, Point{20.0f, 2.0f}, Point{100.0f, 2.0f}}) {
        p.data.playTime = pt.t;
        EXPECT_NEAR(r.currentSpawnRate(), pt.rate, 1e-5f) << "t " << pt.t;
    }
    // A new wave halves the rates and restarts the curve.
    p.data.playTime = 15.0f;
    r.updateWaves(0.0f);
    ASSERT_EQ(r.currentWave, 2u);
    EXPECT_FLOAT_EQ(r.currentSpawnRate(), 2.0f);
    r.VariableSpawnRate = 0;
    EXPECT_FLOAT_EQ(r.currentSpawnRate(), 1.5f);  // SpawnTime, halved too
    r.VariableSpawnRate = 1;

    // The lock compares with 2, not 2.7: variable 1 at 2.5 does not lock, at 1.9 it does.
    EXPECT_EQ(r.LSM_Val, 2u);
    p.data.mechaVars[0].value = 2.5f;
    EXPECT_FALSE(r.isSpawnLimited());
    p.data.mechaVars[0].value = 1.9f;
    EXPECT_TRUE(r.isSpawnLimited());
    // A locked attempt waits one second; the first attempt comes on the first update.
    r.spawnTimer = 0.0f;
    r.updateOvniSpawns(0.1f);
    EXPECT_FLOAT_EQ(r.spawnTimer, 1.0f);
    r.updateOvniSpawns(0.4f);
    EXPECT_FLOAT_EQ(r.spawnTimer, 0.6f);
    p.data.mechaVars[0].value = 5.0f;
    r.spawnTimer = 0.0f;
    p.data.playTime = 0.0f;
    r.updateOvniSpawns(0.1f);
    EXPECT_FLOAT_EQ(r.spawnTimer, 2.0f);  // the next interval from the curve
}

TEST(RulesSpawning, PickupThresholdsAndTheParkedClock)
{
    Play p("[INTERVAL_PICKUPS]\nKillsInterval = 10\nChangeVar = 0.5\nNumPickupTypes = 1\n"
           "Pick_1_Name = \"health_small\"\nPick_1_Rate = 1\n");
    GameRulesManager& r = *p.rules;
    EXPECT_EQ(r.nextKillThreshold, 10u);
    uint32_t advancedAt[3] = {};
    int n = 0;
    for (int kill = 1; kill <= 50 && n < 3; ++kill) {
        p.kill();
        const uint32_t before = r.nextKillThreshold;
        r.update(0.01f, nullptr);
        if (r.nextKillThreshold != before)
            advancedAt[n++] = static_cast<uint32_t>(kill);
    }
    EXPECT_EQ(advancedAt[0], 10u);
    EXPECT_EQ(advancedAt[1], 25u);
    EXPECT_EQ(advancedAt[2], 47u);  // truncated from 47.5
    // A frame whose kills pass two thresholds advances once.
    EXPECT_EQ(r.nextKillThreshold, 80u);
    for (int k = 0; k < 40; ++k)
        ++p.data.ovniTypes[0].playerKills;
    p.data.killReported = 1;
    r.update(0.01f, nullptr);
    EXPECT_EQ(r.nextKillThreshold, 130u);
    // No time table: the clock is parked far below any threshold.
    EXPECT_LT(r.pickupClock, -9999.0f);

    // A negative ChangeVar saturates the threshold at 0 rather than wrapping.
    Play q("[INTERVAL_PICKUPS]\nKillsInterval = 10\nChangeVar = -5\nNumPickupTypes = 1\nPick_1_Name = \"x\"\n");
    for (int kill = 0; kill < 10; ++kill)
        q.kill();
    q.rules->update(0.01f, nullptr);
    EXPECT_EQ(q.rules->nextKillThreshold, 0u);
}
