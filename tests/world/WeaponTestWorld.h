#pragma once
// A headless play for weapon tests: the shot world with both definition registries, a projectile
// manager, the weapon context and a carrier node, working in a private copy of the game tree's
// caches so that the tests' own weapon caches and sources stay theirs.
#include "ShotTestWorld.h"

#include "core/BinaryIO.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "world/PickUpWeapon.h"
#include "world/ProjectileManager.h"
#include "world/Weapon.h"
#include "world/WeaponCache.h"
#include "world/WeaponContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace weapontest {

class WeaponWorld : public shottest::World {
public:
    WeaponWorld()
    {
        std::filesystem::create_directories(tree.path("Data/GamePlay"));
        manager = std::make_unique<ProjectileManager>(&playData, scene, &sounds, damage.get(), pool.get(), &stats,
                                                      &projectileDefs, &targets);
        context.playData = &playData;
        context.projectileDefs = &projectileDefs;
        context.warheadDefs = &warheadDefs;
        context.targets = &targets;
        context.scene = scene;
        context.damage = damage.get();
        context.fx = pool.get();
        context.sounds = &sounds;
        context.projectiles = manager.get();
        carrier = scene->getRootSceneNode()->createChildSceneNode("weaponCarrier", Ogre::Vector3(0, 60, 0));
    }
    ~WeaponWorld() { manager.reset(); }

    // A cannon firing rounds with explosive warheads, 7 shots every half second.
    static WeaponCacheRecord cannonRecord()
    {
        WeaponCacheRecord r;
        r.projectileType = 1;
        r.projectile = "proj_bullet";
        r.warheadType = 1;
        r.warhead = "wh_explosive";
        r.CannonPos = {0.0f, 0.5f, -2.0f};
        r.ammo = 7;
        r.RateOfFire = 0.5f;
        r.Damage = 10;
        r.LockArea = 4.0f;
        r.LockSpeed = 2.0f;
        r.LockRange = 90.0f;
        return r;
    }

    void writeSource(const std::string& name, const std::string& text)
    {
        testsupport::writeTextFile(tree.path("Data/GamePlay/" + name + ".ini"), text);
    }
    std::vector<uint8_t> cacheBytes(const std::string& name) const
    {
        std::ifstream in(tree.path("Data/System/" + name + ".ZVW"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void writeCacheBytes(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(tree.path("Data/System/" + name + ".ZVW"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::unique_ptr<GroundWeapon> ground(const std::string& name, int32_t owner = 5,
                                         const Ogre::Vector3& position = Ogre::Vector3::ZERO,
                                         const Ogre::Vector3& direction = Ogre::Vector3::ZERO)
    {
        return std::unique_ptr<GroundWeapon>(makeGroundWeapon(&context, name, carrier, 0, owner, 1, position, direction));
    }

    std::unique_ptr<PickUpWeapon> pickUp(const std::string& name, int32_t owner = 5)
    {
        return std::unique_ptr<PickUpWeapon>(
            makePickUpWeapon(&context, name, carrier, 0, owner, 1, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
    }
    static WeaponCacheRecord pickUpRecord()
    {
        WeaponCacheRecord r = cannonRecord();
        r.WeaponIcon = "hudWeapTest.png";
        r.WeaponArrow = "hudArrowTest.png";
        r.hasAnimations = true;
        return r;
    }
    static WeaponCacheRecord special(bool breeder)
    {
        WeaponCacheRecord r = pickUpRecord();
        r.IsSpecial = true;
        r.projectile.clear();
        r.warhead.clear();
        r.ActorBreeder = breeder;
        r.AB_AWithAI = true;
        r.AB_Offset = {1.0f, 0.0f, -3.0f};
        r.AB_ActorType = 3;
        r.AB_ActorTeam = 1;
        r.AB_Actor = "wisp";
        r.TimeSlower = !breeder;
        r.ZV_Scale = 3.0f;
        r.ZV_Time = 5.0f;
        r.ammo = 20;
        return r;
    }
    static WeaponCacheRecord arcCoil(bool fireLoops, const char* fire = "Fire", const char* idle = "Idle")
    {
        WeaponCacheRecord r = pickUpRecord();
        r.hasWeaponMesh = true;
        r.WeaponMesh = "weap_arc_coil.mesh";
        r.ammo = 50;
        r.RateOfFire = 0.5f;
        r.hasFireAnim = true;
        r.FireAnim_Loop = fireLoops;
        r.FireAnim = fire;
        r.hasIdleAnim = true;
        r.IdleAnimSpd = 2;
        r.IdleAnim = idle;
        return r;
    }

    testsupport::TempGameTree tree{"Data/System"};
    testsupport::ScopedWorkDir treeCwd{tree.workDir()};
    ProjectileDefRegistry projectileDefs{nullptr, &library};
    WarheadDefRegistry warheadDefs{&library};
    ShotStatistics stats;
    std::unique_ptr<ProjectileManager> manager;
    WeaponContext context;
    Ogre::SceneNode* carrier = nullptr;
};

}  // namespace weapontest

// Cache tests of both weapon classes share one suite.
class WeaponCache : public ::testing::Test, public weapontest::WeaponWorld {};
