#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"
#include "world/GameObjectData.h"

#include <gtest/gtest.h>

#include <limits>

TEST(GameObjectData, FromDefinitionByKind)
{
    // No cache is found for these names: the definitions keep their constructor defaults.
    GroundVehiParams def("no_such_vehicle");
    def.gameName = "Abrams";
    def.HP = 250.9f;
    def.AbsorbSplash = true;

    const struct {
        GameObjectKind kind;
        const char* name;
        uint32_t category, behaviour;
    } cases[] = {
        {GameObjectKind::Plain, "go_17", 3, 1},
        {GameObjectKind::GroundObject, "GrndO_17", 1, 3},
        {GameObjectKind::GroundVehicle, "GrndO_17", 1, 3},
        {GameObjectKind::AirObject, "AirO_17", 3, 5},
        {GameObjectKind::Ovni, "Ovni_17", 3, 5},
    };
    for (const auto& c : cases) {
        const auto data = GameObjectData::forDefinition(c.kind, 17, def, "three", "four", 2);
        EXPECT_EQ(data->name, c.name);
        EXPECT_EQ(data->name2, "Abrams");
        EXPECT_EQ(data->name3, "three");
        EXPECT_EQ(data->name4, "four");
        EXPECT_EQ(data->category, c.category) << c.name;
        EXPECT_EQ(data->behaviourKind, c.behaviour) << c.name;
        EXPECT_EQ(data->objectId, 17u);
        EXPECT_EQ(data->team, 2u);
        EXPECT_EQ(data->hitPoints, 250u);
        EXPECT_TRUE(data->absorbSplash);
        EXPECT_FALSE(data->turbo);
        EXPECT_FALSE(data->noDamage);
        EXPECT_EQ(data->targetSlot, 0u);
        EXPECT_EQ(data->damageSlot, 0u);
        EXPECT_EQ(data->getRecordCount(), 0u);
    }

    const GameObjectData plain("go_1", "crate", "", "", 3, 1, 0, 40, false);
    EXPECT_EQ(plain.name2, "crate");
    EXPECT_EQ(plain.hitPoints, 40u);
    EXPECT_EQ(plain.objectId, 0u);
}

TEST(GameObjectData, HitPointsFromFloats)
{
    const struct {
        float hp;
        uint32_t stored;
    } cases[] = {
        {99.9f, 99u},
        {0.0f, 0u},
        {-0.5f, 0u},
        {-1.0f, 4294967295u},  // wraps as an unsigned number: remaining hit points stay large
        {-5.7f, 4294967291u},
        {std::numeric_limits<float>::quiet_NaN(), 0u},
        {1e20f, 4294967295u},
        {-1e20f, 2147483648u},
    };
    GameObjectData data("go_1", "", "", "", 3, 1, 0, 0, false);
    for (const auto& c : cases) {
        data.setHitPoints(c.hp);
        EXPECT_EQ(data.hitPoints, c.stored) << c.hp;
    }
}
