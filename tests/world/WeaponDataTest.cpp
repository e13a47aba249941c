// The game tree's weapons: each cache builds the weapon its source builds.
#include "WeaponTestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class DataBuilder : public ::testing::Test, public weapontest::WeaponWorld {};

TEST_F(DataBuilder, EveryWeaponSourceHasACacheThatBuildsTheSameWeapon)
{
    const std::pair<const char*, bool> weapons[] = {
        {"abrams_cannon", false}, {"autocannon_light", false}, {"WeapTwinCannon", true}, {"WeapRocketPod", true},
        {"WeapArcCoil", true},    {"WeapMortar", true},        {"WeapPlasmaLance", true},
        {"ovni_blaster", false},  {"ovni_plasma", false},      {"rocket_pod", false},
    };
    // The weapon sources read their projectiles' types from the projectile sources.
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::gameTreeDir() + "/Data/GamePlay"))
        if (entry.path().filename().string().rfind("proj_", 0) == 0)
            std::filesystem::copy_file(entry.path(), tree.path("Data/GamePlay/" + entry.path().filename().string()));
    for (const auto& [name, pickUpKind] : weapons) {
        SCOPED_TRACE(name);
        const std::string source = std::string(name) + ".ini";
        std::filesystem::copy_file(testsupport::gameTreeDir() + "/Data/GamePlay/" + source,
                                   tree.path("Data/GamePlay/" + source));
        const std::vector<uint8_t> cache = cacheBytes(name);
        ASSERT_GT(cache.size(), 12u);
        EXPECT_EQ(cache[8], pickUpKind ? 4u : 3u);

        IniSource ini;
        ASSERT_TRUE(ini.load(tree.path("Data/GamePlay/" + source)));
        const std::string mesh = weaponIniText(ini, "Data", "WeaponMesh");
        std::unique_ptr<GroundWeapon> fromCache, fromSource;
        if (pickUpKind) {
            fromCache = pickUp(name, 1);
            fromSource = pickUp("no_cache_of_this", 2);
        } else {
            fromCache = ground(name, 1);
            fromSource = ground("no_cache_of_this", 2);
        }
        ASSERT_TRUE(fromSource->readIni(name, &projectileDefs, &warheadDefs, carrier, Ogre::Vector3::ZERO,
                                        Ogre::Vector3::ZERO));
        EXPECT_NE(fromSource->getProjectile(), nullptr);
        EXPECT_GT(fromCache->getAmmo(), 0u);
        EXPECT_NE(fromCache->getProjectile(), nullptr);
        EXPECT_NE(fromCache->getWarhead(), nullptr);
        EXPECT_NE(fromCache->getFireSound(), nullptr);
        EXPECT_NE(fromCache->getFireReactor(), nullptr);
        if (pickUpKind) {
            EXPECT_NE(static_cast<PickUpWeapon&>(*fromCache).getWeaponEntity(), nullptr);
        }

        ASSERT_TRUE(fromCache->writeCache("compare", mesh));
        const std::vector<uint8_t> again = cacheBytes("compare");
        ASSERT_TRUE(fromSource->writeCache("compare", mesh));
        const std::vector<uint8_t> fromSourceBytes = cacheBytes("compare");
        ASSERT_EQ(fromSourceBytes.size(), again.size());
        for (size_t i = 0; i < again.size(); ++i)
            ASSERT_EQ(fromSourceBytes[i], again[i]) << "at byte " << i;
    }
}

}  // namespace
