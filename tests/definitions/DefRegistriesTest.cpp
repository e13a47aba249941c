#include "DefinitionTestTree.h"

#include "definitions/FxParamsLibrary.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"

#include <gtest/gtest.h>

namespace {
void writeProjectile(const std::string& name, uint32_t type, uint32_t damage = 10)
{
    projParams d(name);
    d.ProjectileType = type;
    d.Damage = damage;
    ASSERT_TRUE(d.writeCache());
}

void writeMissile(const std::string& name)
{
    MissParams d(name);
    d.ProjectileType = 3;
    d.Damage = 30;
    d.trackSkill = 2;
    ASSERT_TRUE(d.writeCache());
}
}  // namespace

TEST(ProjectileDefRegistry, ClassFollowsTheRequestedTypeAndEachNameLoadsOnce)
{
    DefinitionTestTree t;
    writeProjectile("bullet", 1);
    writeMissile("missile");
    FxParamsLibrary fx;
    ProjectileDefRegistry reg(nullptr, &fx);
    EXPECT_EQ(reg.getFxLibrary(), &fx);

    projParams* bullet = reg.getParams("bullet", 1);
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(typeid(*bullet), typeid(projParams));
    EXPECT_EQ(bullet->Damage, 10u);
    EXPECT_EQ(reg.getParams("bullet", 1), bullet);
    EXPECT_TRUE(reg.contains("bullet"));
    EXPECT_EQ(reg.find("bullet"), bullet);

    projParams* missile = reg.getParams("missile", 3);
    ASSERT_NE(missile, nullptr);
    ASSERT_EQ(typeid(*missile), typeid(MissParams));
    EXPECT_EQ(static_cast<MissParams*>(missile)->trackSkill, 2.0f);

    // A missile's cache asked for as a rocket gives a plain definition with the shared fields.
    ProjectileDefRegistry other(nullptr, &fx);
    projParams* asRocket = other.getParams("missile", 2);
    ASSERT_NE(asRocket, nullptr);
    EXPECT_EQ(typeid(*asRocket), typeid(projParams));
    EXPECT_TRUE(asRocket->cacheLoaded());
    EXPECT_EQ(asRocket->Damage, 30u);
}

TEST(ProjectileDefRegistry, NullForBlankMissingAndMismatchedRequests)
{
    DefinitionTestTree t;
    writeProjectile("bullet", 1);
    writeMissile("missile");
    writeProjectile(" x", 1);
    ASSERT_TRUE(WarHeadParams("warhead", nullptr).writeCache());
    std::rename(t.cachePath("warhead", "ZVH").c_str(), t.cachePath("warhead", "ZVJ").c_str());

    ProjectileDefRegistry reg(nullptr, nullptr);
    for (const char* name : {"", " ", "missing", "warhead"})
        EXPECT_EQ(reg.getParams(name, 1), nullptr) << '"' << name << '"';
    EXPECT_NE(reg.getParams(" x", 1), nullptr);

    // Held for one type, a name is no definition of another: a missile is never handed out as
    // a plain projectile, nor a plain one used as a missile.
    ASSERT_NE(reg.getParams("missile", 3), nullptr);
    EXPECT_EQ(reg.getParams("missile", 1), nullptr);
    ASSERT_NE(reg.getParams("bullet", 1), nullptr);
    EXPECT_EQ(reg.getParams("bullet", 3), nullptr);
    EXPECT_EQ(reg.getParams("bullet", 2), nullptr);
    EXPECT_NE(reg.getParams("bullet", 1), nullptr);
}

TEST(ProjectileDefRegistry, GrowsByOneSlotAndClears)
{
    DefinitionTestTree t;
    ProjectileDefRegistry reg(nullptr, nullptr);
    for (int i = 0; i < 7; ++i) {
        const std::string name = "p" + std::to_string(i);
        writeProjectile(name, 1, static_cast<uint32_t>(i));
        ASSERT_NE(reg.getParams(name, 1), nullptr);
        EXPECT_EQ(reg.slotCount(), i < 5 ? 5u : static_cast<size_t>(i + 1));
    }
    reg.clear();
    EXPECT_FALSE(reg.contains("p0"));
}

TEST(WarheadDefRegistry, ClassFollowsTheCacheTypeCode)
{
    DefinitionTestTree t;
    ASSERT_TRUE(EffectsParams("boom").writeCache());
    WarHeadParams plain("plain", nullptr);
    plain.DamageRange = 4;
    plain.effectNames = {"boom"};
    ASSERT_TRUE(plain.writeCache());
    ASSERT_TRUE(NapalmWHParams("napalm", nullptr).writeCache());
    ASSERT_TRUE(SClusterWHParams("cluster", nullptr).writeCache());
    CacheWriter odd(definition_families::Warhead, "odd", 4);
    ASSERT_TRUE(odd.commit(definition_families::Warhead, "odd"));

    FxParamsLibrary fx;
    WarheadDefRegistry reg(&fx);
    const struct {
        const char* name;
        const std::type_info& type;
        uint32_t code;
    } cases[] = {{"plain", typeid(WarHeadParams), 1},
                 {"napalm", typeid(NapalmWHParams), 2},
                 {"cluster", typeid(SClusterWHParams), 3},
                 {"odd", typeid(WarHeadParams), 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(WarheadDefRegistry::readCacheType(c.name), c.code) << c.name;
        WarHeadParams* d = reg.getParams(c.name);
        ASSERT_NE(d, nullptr) << c.name;
        EXPECT_EQ(typeid(*d), c.type) << c.name;
        EXPECT_EQ(reg.getParams(c.name), d) << c.name;
    }
    EXPECT_EQ(WarheadDefRegistry::readCacheType("missing"), 0u);
    // An unknown code gives a plain warhead, which cannot take that layout: defaults.
    EXPECT_FALSE(reg.find("odd")->cacheLoaded());
    EXPECT_EQ(reg.find("odd")->DirectHitMultiplier, 1.0f);

    const WarHeadParams* loaded = reg.find("plain");
    EXPECT_EQ(loaded->DamageRange, 4.0f);
    ASSERT_EQ(loaded->effects.size(), 1u);
    EXPECT_EQ(loaded->effects[0], fx.findEffectParams("boom"));
    EXPECT_NE(loaded->effects[0], nullptr);
}

TEST(WarheadDefRegistry, NullForBlankAndMissingNames)
{
    DefinitionTestTree t;
    ASSERT_TRUE(EffectsParams("boom").writeCache());
    std::rename(t.cachePath("boom", "ZVE").c_str(), t.cachePath("boom", "ZVH").c_str());
    WarheadDefRegistry reg(nullptr);
    for (const char* name : {"", " ", "missing", "boom"})
        EXPECT_EQ(reg.getParams(name), nullptr) << '"' << name << '"';
    for (int i = 0; i < 6; ++i) {
        const std::string name = "w" + std::to_string(i);
        ASSERT_TRUE(WarHeadParams(name, nullptr).writeCache());
        ASSERT_NE(reg.getParams(name), nullptr);
    }
    EXPECT_EQ(reg.slotCount(), 6u);
}
