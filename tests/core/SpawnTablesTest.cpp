// The spawn tables in play: the weighted pick, the caps, the spawned counts and the kill total.
#include "core/GamePlayData.h"
#include "definitions/OvniParams.h"
#include "definitions/PickupParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct TypeSpec {
    float rate;
    uint32_t maxSpawn;
    uint32_t spawned;
};

void fill(GamePlayData& d, const std::vector<TypeSpec>& types)
{
    d.resizeOvniTypes(static_cast<uint32_t>(types.size()));
    for (size_t i = 0; i < types.size(); ++i) {
        d.ovniTypes[i].weight = types[i].rate;
        d.ovniTypes[i].MaxSpawn = types[i].maxSpawn;
        d.ovniTypes[i].spawnedCount = types[i].spawned;
    }
    d.recomputeOvniWeights();
}

}  // namespace

TEST(SpawnTables, WeightedPick)
{
    struct Case {
        const char* name;
        std::vector<TypeSpec> types;
        double r;
        uint32_t expected;
    };
    const Case cases[] = {
        {"no types", {}, 0.5, 0},
        // Weights 0.25 and 0.75: the sums are 0.25 and 1.0, the test is strict.
        {"first band", {{1, 5, 0}, {3, 5, 0}}, 0.0, 0},
        {"just below the first sum", {{1, 5, 0}, {3, 5, 0}}, 0.2499, 0},
        {"at the first sum", {{1, 5, 0}, {3, 5, 0}}, 0.25, 1},
        {"top of the range", {{1, 5, 0}, {3, 5, 0}}, 0.9999, 1},
        {"every MaxSpawn 0: all weights 0, fallback", {{1, 0, 0}, {3, 0, 0}}, 0.1, 0},
        {"a MaxSpawn 0 type is drawn only as the fallback", {{5, 0, 0}, {1, 2, 0}}, 0.0, 1},
        {"a type at its MaxSpawn drops out", {{1, 2, 2}, {3, 5, 0}}, 0.0, 1},
        {"every limited type exhausted: fallback", {{1, 2, 2}, {3, 1, 1}}, 0.5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GamePlayData d;
        fill(d, c.types);
        EXPECT_EQ(d.pickOvniType(c.r), c.expected);
    }

    // Twelve twelfths sum to just under 1 in single precision: a draw at that rounded sum (or
    // above it) falls back to type 0.
    GamePlayData d;
    fill(d, std::vector<TypeSpec>(12, TypeSpec{1, 9, 0}));
    float sum = 0.0f;
    for (const OvniSpawnType& t : d.ovniTypes)
        sum += t.weight;
    ASSERT_LT(static_cast<double>(sum), 1.0);
    EXPECT_EQ(d.pickOvniType(static_cast<double>(sum)), 0u);
    EXPECT_EQ(d.pickOvniType(std::nextafter(static_cast<double>(sum), 0.0)), 11u);

    // The pickup tables pick alike.
    d.resizeIntervalPickupTypes(2);
    d.intervalPickupTypes[0].weight = 1;
    d.intervalPickupTypes[0].MaxSpawn = 1;
    d.intervalPickupTypes[1].weight = 1;
    d.intervalPickupTypes[1].MaxSpawn = 1;
    d.recomputeIntervalPickupWeights();
    EXPECT_EQ(d.pickIntervalPickupType(0.49), 0u);
    EXPECT_EQ(d.pickIntervalPickupType(0.51), 1u);
    EXPECT_EQ(d.pickTimePickupType(0.51), 0u);  // empty table
}

TEST(SpawnTables, CountsCapsAndRecomputation)
{
    GamePlayData d;
    fill(d, {{1, 2, 0}, {1, 3, 0}, {2, 0, 0}});
    OvniParams def("tables_ovni");
    d.ovniTypes[1].definition = &def;
    d.ovniTypes[1].SimCap = 4;
    EXPECT_EQ(d.getOvniTypeParams(1), &def);
    EXPECT_EQ(d.getOvniTypeSimCap(1), 4u);
    EXPECT_EQ(d.getOvniTypeParams(3), nullptr);
    EXPECT_EQ(d.getOvniTypeSimCap(3), 0u);
    EXPECT_FALSE(d.canSpawnOvniType(3));
    d.countOvniSpawned(7);  // ignored

    // Type 0 reaches its MaxSpawn at the second count: it drops out, type 1 takes the whole draw.
    EXPECT_TRUE(d.canSpawnOvniType(0));
    d.countOvniSpawned(0);
    EXPECT_FLOAT_EQ(d.ovniTypes[0].weight, 0.5f);
    d.countOvniSpawned(0);
    EXPECT_FALSE(d.canSpawnOvniType(0));
    EXPECT_FLOAT_EQ(d.ovniTypes[0].weight, 0.0f);
    EXPECT_FLOAT_EQ(d.ovniTypes[1].weight, 1.0f);
    // MaxSpawn 0 never stops a type.
    for (int i = 0; i < 5; ++i)
        d.countOvniSpawned(2);
    EXPECT_TRUE(d.canSpawnOvniType(2));
    EXPECT_EQ(d.ovniTypes[2].spawnedCount, 5u);

    // Pickups are counted too: a type stops at its MaxSpawn.
    PickupParams pick("tables_pick");
    d.resizeTimePickupTypes(2);
    d.timePickupTypes[0] = {"a", &pick, 1.0f, 0, 1, {}, 0, 0};
    d.timePickupTypes[1] = {"b", nullptr, 1.0f, 0, 2, {}, 0, 0};
    d.recomputeTimePickupWeights();
    EXPECT_EQ(d.getTimePickupParams(0), &pick);
    EXPECT_EQ(d.getTimePickupParams(2), nullptr);
    EXPECT_EQ(d.getIntervalPickupParams(0), nullptr);
    EXPECT_TRUE(d.canSpawnTimePickupType(0));
    d.countTimePickupSpawned(0);
    EXPECT_FALSE(d.canSpawnTimePickupType(0));
    EXPECT_FLOAT_EQ(d.timePickupTypes[1].weight, 1.0f);
    EXPECT_EQ(d.pickTimePickupType(0.0), 1u);
    EXPECT_FALSE(d.canSpawnIntervalPickupType(0));
}

TEST(SpawnTables, TotalKillsAddsPlayerAndOtherKillsOfEveryType)
{
    GamePlayData d;
    EXPECT_EQ(d.totalKills(), 0u);
    d.resizeOvniTypes(2);
    d.ovniTypes[0].playerKills = 3;
    d.ovniTypes[0].otherKills = 1;
    d.ovniTypes[0].leaves = 9;  // a departure is no kill
    d.ovniTypes[1].playerKills = 2;
    EXPECT_EQ(d.totalKills(), 6u);
}
