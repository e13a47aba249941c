// The game tree's projectile, warhead and pickup caches, as the data builder made them from our
// sources.
#include "ShotDefinitionCheck.h"

#include "definitions/FxParamsLibrary.h"
#include "definitions/PickupParamsLibrary.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {
// The sources of a folder of the game tree by their [Build] class, without ".ini".
std::map<std::string, std::vector<std::string>> sourcesByClass(const std::string& folder)
{
    std::map<std::string, std::vector<std::string>> out;
    for (const std::string& file : platform::listDirectory(folder)) {
        if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".ini") != 0)
            continue;
        IniSource ini;
        EXPECT_TRUE(ini.load(folder + file)) << file;
        out[ini.text("Build", "Class")].push_back(file.substr(0, file.size() - 4));
    }
    return out;
}

template <class T>
void expectProjectiles(const std::vector<std::string>& names, ProjectileDefRegistry& reg, FxParamsLibrary& fx)
{
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        T source(name);
        ASSERT_TRUE(source.readIni());
        const projParams* loaded = reg.getParams(name, source.ProjectileType);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameProjectile(source, *loaded);
        if (!isAbsentName(loaded->ReactorName)) {
            EXPECT_NE(fx.getReactorParams(loaded->ReactorName), nullptr) << loaded->ReactorName;
        }
    }
}

template <class T>
void expectWarheads(const std::vector<std::string>& names, WarheadDefRegistry& reg)
{
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        FxParamsLibrary scratch;
        T source(name, &scratch);
        ASSERT_TRUE(source.readIni(&scratch));
        const WarHeadParams* loaded = reg.getParams(name);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameWarhead(source, *loaded);
        EXPECT_GT(loaded->getNumEffects(), 0u);
        for (const EffectsParams* effect : loaded->effects) {
            ASSERT_NE(effect, nullptr);
            EXPECT_TRUE(effect->cacheLoaded()) << effect->getName();
        }
    }
}

template <class T>
void expectPickups(const std::vector<std::string>& names, PickupParamsLibrary& lib)
{
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        T source(name);
        ASSERT_TRUE(source.readIni());
        const PickupParams* loaded = lib.getParams(name, false);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSamePickup(source, *loaded);
    }
}
}  // namespace

TEST(ShotData, EveryProjectileWarheadAndPickupLoadsWithItsSourceValues)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    auto gameplay = sourcesByClass("../../Data/GamePlay/");
    auto staged = sourcesByClass("../../Objects/Warheads/");

    FxParamsLibrary fx;
    ProjectileDefRegistry projectiles(nullptr, &fx);
    expectProjectiles<projParams>(gameplay["projParams"], projectiles, fx);
    expectProjectiles<MissParams>(gameplay["MissParams"], projectiles, fx);
    // A bullet, a rocket, a guided missile, a bomb and a dispenser.
    std::set<uint32_t> types;
    for (const auto& names : {gameplay["projParams"], gameplay["MissParams"]})
        for (const std::string& name : names)
            types.insert(projectiles.find(name)->ProjectileType);
    EXPECT_EQ(types, (std::set<uint32_t>{1, 2, 3, 4, 5}));

    WarheadDefRegistry warheads(&fx);
    expectWarheads<WarHeadParams>(gameplay["WarHeadParams"], warheads);
    expectWarheads<NapalmWHParams>(staged["NapalmWHParams"], warheads);
    expectWarheads<SClusterWHParams>(staged["SClusterWHParams"], warheads);
    EXPECT_FALSE(gameplay["WarHeadParams"].empty());
    EXPECT_FALSE(staged["NapalmWHParams"].empty());
    EXPECT_FALSE(staged["SClusterWHParams"].empty());

    PickupParamsLibrary pickups;
    for (const char* cls : {"PickupParams", "PickInstantParams"})
        expectPickups<PickupParams>(gameplay[cls], pickups);
    expectPickups<PickWeapParams>(gameplay["PickWeapParams"], pickups);
    expectPickups<HealthPickupParams>(gameplay["HealthPickupParams"], pickups);
    expectPickups<GoEffPickupParams>(gameplay["GoEffPickupParams"], pickups);
    EXPECT_GE(gameplay["PickWeapParams"].size(), 5u);
    EXPECT_GE(gameplay["HealthPickupParams"].size(), 2u);
    EXPECT_GE(gameplay["GoEffPickupParams"].size(), 2u);
}
