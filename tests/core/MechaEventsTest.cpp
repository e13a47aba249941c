// The mecha events of the play data: which deltas reach the variables, which mark them changed,
// and what goes to the hit-point accumulator.
#include "core/GamePlayData.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Two variables (the first multiplied by the kill multiplier 2), one type in each list, one area;
// every row is zero until a case sets it.
struct Play {
    GamePlayData d;
    Play()
    {
        d.mechaVars.resize(2);
        d.mechaVars[0].Multiply = 1;
        d.killMultiplier = 2.0f;
        d.resizeOvniTypes(1);
        d.ovniTypes[0].rows.resize(3);
        d.resizeIntervalPickupTypes(1);
        d.intervalPickupTypes[0].rows.resize(3);
        d.resizeTimePickupTypes(1);
        d.timePickupTypes[0].rows.resize(3);
        d.areaRows.assign(1, std::vector<AreaMechaEffects>(3));
    }
    OvniMechaEffects& ovni(uint32_t row) { return d.ovniTypes[0].rows[row]; }
    PickupMechaEffects& interval(uint32_t row) { return d.intervalPickupTypes[0].rows[row]; }
    PickupMechaEffects& timed(uint32_t row) { return d.timePickupTypes[0].rows[row]; }
    AreaMechaEffects& area(uint32_t row) { return d.areaRows[0][row]; }
};

struct Case {
    const char* what;
    std::function<void(Play&)> act;
    float value0, value1;
    uint8_t changed0, changed1;
    float hp;
};

}  // namespace

TEST(MechaEvents, DeltasFlagsAndHitPoints)
{
    const Case cases[] = {
        {"Ovni spawn: multiplied where asked, HP never",
         [](Play& p) {
             p.ovni(0).Spawn = 3;
             p.ovni(1).Spawn = 3;
             p.ovni(2).Spawn = 4;
             p.d.onOvniSpawn(0);
         },
         6, 3, 1, 1, 4},
        {"a zero delta leaves value and flag",
         [](Play& p) {
             p.ovni(1).pKill = 5;
             p.d.onOvniPlayerKill(0);
         },
         0, 5, 0, 1, 0},
        {"Ovni damage scales by the amount and flags",
         [](Play& p) {
             p.ovni(1).Damage = 0.5f;
             p.ovni(2).Damage = 1;
             p.d.onOvniDamage(0, 4);
         },
         0, 2, 0, 1, 4},
        {"Ovni damage of amount 0 does not flag",
         [](Play& p) {
             p.ovni(1).Damage = 0.5f;
             p.d.onOvniDamage(0, 0);
         },
         0, 0, 0, 0, 0},
        {"Ovni live never flags, HP times dt",
         [](Play& p) {
             p.ovni(0).Live = 1;
             p.ovni(2).Live = 2;
             p.d.onOvniLive(0, 0.5f);
         },
         1, 0, 0, 0, 1},
        {"interval pickup spawn of -2 flags, the time list's does not",
         [](Play& p) {
             p.interval(0).Spawn = -2;
             p.timed(1).Spawn = -2;
             p.d.onIntervalPickupSpawn(0);
             p.d.onTimePickupSpawn(0);
         },
         -2, -2, 1, 0, 0},
        {"negative pick and leave never flag",
         [](Play& p) {
             p.interval(0).Pick = -2;
             p.timed(1).Leave = -2;
             p.interval(2).Pick = 3;
             p.d.onIntervalPickupPick(0);
             p.d.onTimePickupLeave(0);
         },
         -2, -2, 0, 0, 3},
        {"area enter and inside go by count",
         [](Play& p) {
             p.area(0).Enter = 2;
             p.area(1).Inside = 1;
             p.area(2).Inside = 0.5f;
             p.d.onAreaEnter(0, 3);
             p.d.onAreaInside(0, 2, 0.25f);
         },
         6, 0.5f, 1, 0, 0.25f},
        {"an area or type past its list changes nothing, not even HP",
         [](Play& p) {
             p.area(2).Enter = 9;
             p.ovni(2).Spawn = 9;
             p.interval(2).Spawn = 9;
             p.d.onAreaEnter(1, 1);
             p.d.onOvniSpawn(1);
             p.d.onIntervalPickupSpawn(5);
             p.d.onTimePickupLive(1, 1);
         },
         0, 0, 0, 0, 0},
        {"time effects never touch HP nor flags",
         [](Play& p) {
             p.d.mechaVars[0].TimeAff = -1;
             p.d.HP_TimeAff = 5;
             p.d.applyTimeEffects(2);
         },
         -2, 0, 0, 0, 0},
        {"player hit and damage flag, no HP",
         [](Play& p) {
             p.d.mechaVars[0].PlayerHit = 1;
             p.d.mechaVars[1].PlayerDamage = 0.5f;
             p.d.onPlayerHit();
             p.d.onPlayerDamage(4);
         },
         1, 2, 1, 1, 0},
        {"shot, clear wave, move and stop",
         [](Play& p) {
             p.d.mechaVars[0].PlayerShot = 1;
             p.d.mechaVars[1].ClearWave = 10;
             p.d.mechaVars[0].PlayerMoveM = 2;
             p.d.mechaVars[1].PlayerStopT = 3;
             p.d.HP_PlayerShot = 1;
             p.d.HP_ClearWave = 10;
             p.d.HP_PlayerMoveM = 1;
             p.d.HP_PlayerStopT = 2;
             p.d.onPlayerShot();
             p.d.applyClearWave();
             p.d.applyPlayerMove(-3, 0.5f);
             p.d.applyPlayerStop(0.5f);
         },
         1 - 3, 10 + 1.5f, 1, 1, 1 + 10 - 1.5f + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Play p;
        c.act(p);
        EXPECT_FLOAT_EQ(p.d.mechaVars[0].value, c.value0);
        EXPECT_FLOAT_EQ(p.d.mechaVars[1].value, c.value1);
        EXPECT_EQ(p.d.mechaVars[0].changed, c.changed0);
        EXPECT_EQ(p.d.mechaVars[1].changed, c.changed1);
        EXPECT_FLOAT_EQ(p.d.hpAccumulator, c.hp);
    }
}

TEST(MechaEvents, WithoutVariablesOnlyTheHitPointRowCounts)
{
    GamePlayData d;
    d.resizeOvniTypes(1);
    d.ovniTypes[0].rows.resize(1);
    d.ovniTypes[0].rows[0].pKill = 7;
    d.onOvniPlayerKill(0);
    EXPECT_FLOAT_EQ(d.hpAccumulator, 7.0f);
    d.HP_PlayerShot = 2;
    d.onPlayerShot();
    EXPECT_FLOAT_EQ(d.hpAccumulator, 9.0f);
    EXPECT_FLOAT_EQ(d.getMechaValue(0), 0.0f);
    d.scaleMechaVariable(0, 2);  // nothing to scale, nothing to break
}

TEST(MechaEvents, ScaleGetAndClear)
{
    GamePlayData d;
    d.mechaVars.resize(1);
    MechaVariable& v = d.mechaVars[0];
    v.value = 7;
    v.Start = 5;
    v.DefA = 1;
    v.DefB = 10;
    v.changed = 1;
    v.DefLimiter = 1;
    d.scaleMechaVariable(0, 2);
    EXPECT_FLOAT_EQ(v.Start, 10);
    EXPECT_FLOAT_EQ(v.value, 10);
    EXPECT_FLOAT_EQ(v.DefA, 2);
    EXPECT_FLOAT_EQ(v.DefB, 20);
    d.scaleMechaVariable(1, 3);  // past the list
    EXPECT_FLOAT_EQ(v.Start, 10);
    EXPECT_FLOAT_EQ(d.getMechaValue(0), 10);
    EXPECT_FLOAT_EQ(d.getMechaValue(1), 0);

    // The limiter clamps nothing.
    v.PlayerHit = 50;
    d.onPlayerHit();
    EXPECT_FLOAT_EQ(v.value, 60);
    d.clearChangedFlags();
    EXPECT_EQ(v.changed, 0);
}

TEST(MechaEvents, WeightsNormaliseOverTheTypesThatMaySpawn)
{
    GamePlayData d;
    d.resizeOvniTypes(3);
    d.ovniTypes[0].weight = 3;
    d.ovniTypes[0].MaxSpawn = 5;
    d.ovniTypes[1].weight = 1;
    d.ovniTypes[1].MaxSpawn = 5;
    d.ovniTypes[2].weight = 4;  // MaxSpawn 0: drawn only as the fallback
    d.recomputeOvniWeights();
    EXPECT_FLOAT_EQ(d.ovniTypes[0].weight, 0.75f);
    EXPECT_FLOAT_EQ(d.ovniTypes[1].weight, 0.25f);
    EXPECT_FLOAT_EQ(d.ovniTypes[2].weight, 0.0f);

    // Nothing left to weigh gives zeros, not NaN.
    d.resizeIntervalPickupTypes(2);
    d.intervalPickupTypes[0].MaxSpawn = 1;
    d.recomputeIntervalPickupWeights();
    EXPECT_FLOAT_EQ(d.intervalPickupTypes[0].weight, 0.0f);
    EXPECT_FLOAT_EQ(d.intervalPickupTypes[1].weight, 0.0f);
}

// The world hands its own type number minus 1; a number past the mode's lists (a definition
// linked by another mode, a damaged cache) must not reach past the table.
TEST(MechaEvents, EveryOvniAndPickupEventPastItsListDoesNothing)
{
    Play p;
    for (auto& row : p.d.ovniTypes[0].rows)
        row = {1, 1, 1, 1, 1, 1, 1};
    for (auto* list : {&p.d.intervalPickupTypes, &p.d.timePickupTypes})
        for (auto& row : (*list)[0].rows)
            row = {1, 1, 1, 1};
    const std::function<void(GamePlayData&, uint32_t)> events[] = {
        [](GamePlayData& d, uint32_t t) { d.onOvniSpawn(t); },
        [](GamePlayData& d, uint32_t t) { d.onOvniLive(t, 1); },
        [](GamePlayData& d, uint32_t t) { d.onOvniPlayerKill(t); },
        [](GamePlayData& d, uint32_t t) { d.onOvniEnemyKill(t); },
        [](GamePlayData& d, uint32_t t) { d.onOvniLeave(t); },
        [](GamePlayData& d, uint32_t t) { d.onOvniHit(t); },
        [](GamePlayData& d, uint32_t t) { d.onOvniDamage(t, 1); },
        [](GamePlayData& d, uint32_t t) { d.onIntervalPickupSpawn(t); },
        [](GamePlayData& d, uint32_t t) { d.onIntervalPickupLive(t, 1); },
        [](GamePlayData& d, uint32_t t) { d.onIntervalPickupPick(t); },
        [](GamePlayData& d, uint32_t t) { d.onIntervalPickupLeave(t); },
        [](GamePlayData& d, uint32_t t) { d.onTimePickupSpawn(t); },
        [](GamePlayData& d, uint32_t t) { d.onTimePickupLive(t, 1); },
        [](GamePlayData& d, uint32_t t) { d.onTimePickupPick(t); },
        [](GamePlayData& d, uint32_t t) { d.onTimePickupLeave(t); },
    };
    int n = 0;
    for (const auto& event : events) {
        SCOPED_TRACE(n++);
        for (uint32_t past : {1u, 0xFFFFFFFFu})
            event(p.d, past);
        EXPECT_FLOAT_EQ(p.d.mechaVars[0].value, 0.0f);
        EXPECT_FLOAT_EQ(p.d.mechaVars[1].value, 0.0f);
        EXPECT_FLOAT_EQ(p.d.hpAccumulator, 0.0f);
        // Inside the list the same event counts.
        event(p.d, 0);
        EXPECT_NE(p.d.hpAccumulator, 0.0f);
        p.d.hpAccumulator = 0.0f;
        p.d.mechaVars[0].value = p.d.mechaVars[1].value = 0.0f;
    }
}
