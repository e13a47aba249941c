#include "DefinitionTestTree.h"
#include "ShotDefinitionCheck.h"

#include "definitions/PickupParamsLibrary.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
const char* const kPickupSource =
    "[Data]\nmeshName = \"crate.mesh\"\nTimeLive = 12.5\nColectRange = 2.25\n"
    "[Anim]\nRotate = true\nRotate_Speed = 90\nLevitate = true\nLev_Range = 1.5\nLev_Amplitude = 120\n"
    "Lev_Offset = 0.75\n";

template <class T>
std::unique_ptr<PickupParams> makePickup(const std::string& name)
{
    return std::make_unique<T>(name);
}
}  // namespace

TEST(PickupParams, SourceAndCacheRoundTripForEveryClass)
{
    DefinitionTestTree t;
    const struct {
        const char* name;
        std::string extra;
        std::function<std::unique_ptr<PickupParams>(const std::string&)> make;
        uint32_t type;
    } cases[] = {
        {"plain", "", makePickup<PickupParams>, 1},
        {"instant", "", makePickup<PickInstantParams>, 1},
        {"weapon", "[Weapon]\nWeapName = \"WeapX\"\n", makePickup<PickWeapParams>, 2},
        {"health", "[Health]\nPerc = true\nOverHeal = true\nValue = 0.25\nFunction = 3\n",
         makePickup<HealthPickupParams>, 4},
        {"power", "[GoEffect]\nTurboMode = true\nNoDamageMode = true\nAddTurbo = 8\nAddNoDamage = 6\n",
         makePickup<GoEffPickupParams>, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        t.writeSource("Data/GamePlay", c.name, std::string(kPickupSource) + c.extra);
        const auto source = c.make(c.name);
        EXPECT_FALSE(source->cacheLoaded());
        ASSERT_TRUE(source->readIni());
        EXPECT_EQ(source->getTypeCode(), c.type);
        EXPECT_EQ(source->meshName, "crate.mesh");
        EXPECT_EQ(source->TimeLive, 12.5f);
        EXPECT_EQ(source->ColectRange, 2.25f);
        EXPECT_TRUE(source->Rotate);
        EXPECT_EQ(source->Rotate_Speed, 90.0f);
        EXPECT_TRUE(source->Levitate);
        EXPECT_EQ(source->Lev_Range, 1.5f);
        EXPECT_EQ(source->Lev_Amplitude, 120.0f);
        EXPECT_EQ(source->Lev_Offset, 0.75f);
        ASSERT_TRUE(source->writeCache());
        EXPECT_EQ(readDefinitionTypeCode(definition_families::Pickup, c.name), c.type);

        const auto loaded = c.make(c.name);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSamePickup(*source, *loaded);
    }
    EXPECT_EQ(PickWeapParams("weapon").getWeapName(), "WeapX");
    const HealthPickupParams health("health");
    EXPECT_TRUE(health.Perc);
    EXPECT_TRUE(health.OverHeal);
    EXPECT_EQ(health.Value, 0.25f);
    EXPECT_EQ(health.Function, 3u);  // kept, though no repair uses it
    const GoEffPickupParams power("power");
    EXPECT_TRUE(power.TurboMode);
    EXPECT_TRUE(power.NoDamageMode);
    EXPECT_EQ(power.AddTurbo, 8.0f);
    EXPECT_EQ(power.AddNoDamage, 6.0f);
    EXPECT_EQ(PickWeapParams("none").getWeapName(), "");
}

TEST(PickupParams, CacheLayoutStoresTheLifeBeforeTheRange)
{
    DefinitionTestTree t;
    GoEffPickupParams d("g");
    d.meshName = "m";
    d.ColectRange = 2;
    d.TimeLive = 3;
    d.Rotate = true;
    d.Rotate_Speed = 90;
    d.Lev_Range = 4;
    d.Lev_Amplitude = 5;
    d.Lev_Offset = 6;
    d.NoDamageMode = true;
    d.AddTurbo = 7;
    d.AddNoDamage = 8;
    ASSERT_TRUE(d.writeCache());

    BinaryWriter w;
    w.writeU32(547573);
    w.writeU32(1);
    w.writeU32(5);
    w.writeString("g");
    w.writeString("m");
    w.writeF32(3);
    w.writeF32(2);
    w.writeBool(true);
    w.writeF32(90);
    w.writeBool(false);
    w.writeF32(4);
    w.writeF32(5);
    w.writeF32(6);
    w.writeBool(false);
    w.writeBool(true);
    w.writeF32(7);
    w.writeF32(8);
    EXPECT_EQ(t.readBytes(t.cachePath("g", "ZVP")), w.bytes());
    const GoEffPickupParams back("g");
    EXPECT_TRUE(back.Rotate);
    EXPECT_FALSE(back.Levitate);
}

TEST(PickupParams, DamagedCachesKeepTheDefaults)
{
    DefinitionTestTree t;
    HealthPickupParams source("h");
    source.meshName = "crate.mesh";
    source.Function = 2;
    ASSERT_TRUE(source.writeCache());
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("h", "ZVP"));
    for (size_t n : {size_t(11), size_t(30), good.size() - 1}) {
        t.writeBytes(t.cachePath("h", "ZVP"), std::vector<uint8_t>(good.begin(), good.begin() + n));
        const HealthPickupParams d("h");
        EXPECT_FALSE(d.cacheLoaded()) << n;
        EXPECT_EQ(d.meshName, "") << n;
        EXPECT_EQ(d.Function, 0u) << n;
    }
    // A mesh name claiming more characters than the file holds.
    std::vector<uint8_t> huge = good;
    const size_t meshLengthAt = 12 + 4 + 4;  // header words, then the name "h"
    ASSERT_EQ(huge[meshLengthAt], 10);
    huge[meshLengthAt + 2] = 0x10;
    t.writeBytes(t.cachePath("h", "ZVP"), huge);
    EXPECT_FALSE(HealthPickupParams("h").cacheLoaded());
    // A repair cache read as a plain pickup.
    t.writeBytes(t.cachePath("h", "ZVP"), good);
    EXPECT_FALSE(PickupParams("h").cacheLoaded());
}

TEST(PickupParamsLibrary, ClassFollowsTheCacheTypeCode)
{
    DefinitionTestTree t;
    PickupParams plain("plain");
    plain.meshName = "p.mesh";
    ASSERT_TRUE(plain.writeCache());
    ASSERT_TRUE(PickWeapParams("weapon").writeCache());
    ASSERT_TRUE(HealthPickupParams("health").writeCache());
    ASSERT_TRUE(GoEffPickupParams("power").writeCache());
    // No class writes code 3; a cache carrying it has the plain layout.
    std::vector<uint8_t> bytes = t.readBytes(t.cachePath("plain", "ZVP"));
    bytes[8] = 3;
    t.writeBytes(t.cachePath("instant", "ZVP"), bytes);
    bytes[8] = 7;
    t.writeBytes(t.cachePath("odd", "ZVP"), bytes);

    PickupParamsLibrary lib;
    const struct {
        const char* name;
        const std::type_info& type;
        bool loaded;
    } cases[] = {
        {"plain", typeid(PickupParams), true},       {"weapon", typeid(PickWeapParams), true},
        {"instant", typeid(PickInstantParams), true}, {"health", typeid(HealthPickupParams), true},
        {"power", typeid(GoEffPickupParams), true},   {"odd", typeid(PickupParams), false},
        {"missing", typeid(PickupParams), false},     {"", typeid(PickupParams), false},
    };
    for (const auto& c : cases) {
        const PickupParams* d = lib.getParams(c.name, false);
        ASSERT_NE(d, nullptr) << c.name;
        EXPECT_EQ(typeid(*d), c.type) << c.name;
        EXPECT_EQ(d->cacheLoaded(), c.loaded) << c.name;
    }
    EXPECT_EQ(lib.find("instant")->meshName, "p.mesh");
    EXPECT_EQ(lib.slotCount(), 8u);
}

TEST(PickupParamsLibrary, ForceFlagLoadsAnewEachTime)
{
    DefinitionTestTree t;
    ASSERT_TRUE(HealthPickupParams("h").writeCache());
    PickupParamsLibrary lib;
    PickupParams* first = lib.getParams("h", false);
    EXPECT_EQ(lib.getParams("h", false), first);
    EXPECT_TRUE(lib.contains("h"));
    EXPECT_FALSE(lib.contains("H"));

    PickupParams* second = lib.getParams("h", true);
    PickupParams* third = lib.getParams("h", true);
    EXPECT_NE(second, first);
    EXPECT_NE(third, second);
    EXPECT_EQ(lib.find("h"), first);
    EXPECT_EQ(lib.getParams("h", false), first);
    lib.getParams("h", true);
    lib.getParams("h", true);
    EXPECT_EQ(lib.slotCount(), 5u);
    lib.getParams("h", true);
    EXPECT_EQ(lib.slotCount(), 6u);
}
