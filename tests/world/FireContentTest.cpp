// Our shots against our targets, from the built caches, in a headless arena and through the
// game's own projectile code: every projectile shows as soon as it has left the muzzle, and every
// hit that a weapon's round registers on an object kind our modes spawn (or on the player's
// vehicle) deals damage, wherever in the round's hit window the body lay, at 30 and 60 frames a
// second.
#include "AirTestWorld.h"

#include "core/Utilities.h"
#include "definitions/DefinitionCache.h"
#include "definitions/GameObjectKind.h"
#include "world/GameObjectManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// Definition names from the cache files of one extension in the tree the test runs in.
std::vector<std::string> cachedNames(const std::string& extension)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("../../Data/System"))
        if (entry.path().extension() == extension)
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The Ovni of every mode's spawn list (the mode files of the game tree).
std::set<std::string> spawnedOvni()
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::gameTreeDir() + "/Data/GamePlay")) {
        IniSource ini;
        if (entry.path().extension() != ".ini" || !ini.load(entry.path().string()))
            continue;
        const int types = std::atoi(ini.text("OVNI", "NumOvniTypes").c_str());
        for (int i = 1; i <= types; ++i)
            names.insert(stripQuotes(ini.text("OVNI", "Ovni_" + std::to_string(i) + "_Name")));
    }
    return names;
}

struct Gun {
    std::string name;
    WeaponCacheRecord record;
};

// Every weapon cache, one per pair of projectile and warhead (the damage they deal is above 0).
std::vector<Gun> everyRound()
{
    std::vector<Gun> guns;
    std::set<std::pair<std::string, std::string>> rounds;
    for (const std::string& name : cachedNames(".ZVW")) {
        Gun gun{name, {}};
        const bool read = weapon_cache::read(name, WeaponCacheKind::Ground, gun.record) ||
                          weapon_cache::read(name, WeaponCacheKind::PickUp, gun.record);
        EXPECT_TRUE(read) << name;
        EXPECT_GT(gun.record.Damage, 0u) << name;
        if (read && rounds.insert({gun.record.projectile, gun.record.warhead}).second)
            guns.push_back(gun);
    }
    return guns;
}

class FireContent : public ::testing::Test, public airtest::World {
protected:
    // A shot of `gun` from `from` along `direction`, ticked with dt until it registers a hit or
    // ends; whether it registered one.
    bool fire(const Gun& gun, const Ogre::Vector3& from, const Ogre::Vector3& direction, float addedSpeed, float dt)
    {
        projParams* shot = world->projectileDefs().getParams(gun.record.projectile, gun.record.projectileType);
        WarHeadParams* warhead = world->warheadDefs().getParams(gun.record.warhead);
        const uint8_t tracking = 0;
        projectiles->spawn(kShooterTeam, static_cast<int32_t>(shot->ProjectileType), from,
                           Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(direction), addedSpeed, 0.0f, kShooter,
                           gun.record.Damage, shot, warhead, &tracking, 0, &Ogre::Vector3::ZERO);
        Projectile* p = projectiles->projectileInSlot(0);
        bool registered = false;
        for (int tick = 0; p && tick < 600 && !registered; ++tick) {
            bool hit = false;
            int type = 0;
            const bool alive = p->update(dt, hit, type);
            registered = hit && p->getRecord()->hit;
            if (!alive)
                break;
        }
        projectiles->destroyAll();
        return registered;
    }

    static constexpr int32_t kShooterTeam = 3;
    static constexpr uint32_t kShooter = 40;
};

TEST_F(FireContent, EveryProjectileShowsWithinTenUnitsOfTheMuzzle)
{
    const std::vector<std::string> names = cachedNames(".ZVJ");
    ASSERT_GE(names.size(), 3u);
    WarHeadParams* warhead = world->warheadDefs().getParams("wh_bullet");
    for (const std::string& name : names) {
        for (const float fps : {30.0f, 60.0f}) {
            SCOPED_TRACE(name + " at " + std::to_string(int(fps)) + " fps");
            // The registry is asked with the definition's own type, as the weapons ask it.
            std::unique_ptr<projParams> probe = std::make_unique<projParams>(name);
            if (!probe->cacheLoaded())
                probe = std::make_unique<MissParams>(name);
            ASSERT_TRUE(probe->cacheLoaded());
            projParams* shot = world->projectileDefs().getParams(name, probe->ProjectileType);
            ASSERT_NE(shot, nullptr);
            const Ogre::Vector3 muzzle(0, 30, 40);
            const uint8_t tracking = 0;
            projectiles->spawn(kShooterTeam, static_cast<int32_t>(shot->ProjectileType), muzzle,
                               Ogre::Quaternion::IDENTITY, 0.0f, 0.0f, kShooter, 10, shot, warhead, &tracking, 0,
                               &Ogre::Vector3::ZERO);
            Projectile* p = projectiles->projectileInSlot(0);
            ASSERT_NE(p, nullptr);
            // Tick by tick until the shot is 10 units out: it shows by then at the latest.
            float travelled = 0.0f;
            for (int tick = 0; tick < 100 && travelled < 10.0f; ++tick) {
                bool hit = false;
                int type = 0;
                ASSERT_TRUE(p->update(1.0f / fps, hit, type));
                travelled = p->getNode()->getPosition().distance(muzzle);
            }
            EXPECT_GE(travelled, 10.0f);
            EXPECT_TRUE(p->isVisible()) << "still hidden " << travelled << " units out";
            projectiles->destroyAll();
        }
    }
}

TEST_F(FireContent, EveryRegisteredHitOnEveryKindWeFightDealsDamage)
{
    // What our modes spawn and what the player drives.
    std::vector<std::pair<std::string, GameObjectKind>> kinds;
    for (const std::string& name : spawnedOvni())
        kinds.emplace_back(name, GameObjectKind::Ovni);
    ASSERT_GE(kinds.size(), 2u);
    kinds.emplace_back(GameObjectManager::kPlayerVehicle, GameObjectKind::GroundVehicle);
    const std::vector<Gun> guns = everyRound();
    ASSERT_GE(guns.size(), 3u);

    for (const auto& [name, kind] : kinds) {
        GameObject* target = world->objects().spawnByName(name, Ogre::Vector3(0, 12, 0), 2, kind);
        ASSERT_NE(target, nullptr) << name;
        settle();
        const Ogre::Vector3 centre = target->getCollisionEntity()->getWorldBoundingBox(true).getCenter();
        DamageEntry* entry = damage->getEntry(target->getDamageSlot());
        for (const Gun& gun : guns) {
            if (gun.record.projectileType == ProjectileKind_Bomb || gun.record.projectileType == ProjectileKind_Dispenser)
                continue;  // these burst on the ground and on blockers, never on a body
            for (const float fps : {30.0f, 60.0f}) {
                // Head on and from the side, at the launch speed and at the top speed; from just
                // before the body to twice the widest hit window away, so that every place of the
                // body in a tick's window comes up. (The arena's border lies 50 units out.)
                const projParams* shot = world->projectileDefs().getParams(gun.record.projectile,
                                                                            gun.record.projectileType);
                const float window = (shot->Speed + shot->MaxSpeed) * 60.0f / fps;
                const float reach = target->getCollisionEntity()->getWorldBoundingBox(true).getHalfSize().length();
                for (const Ogre::Vector3& direction : {Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::NEGATIVE_UNIT_X}) {
                    for (const float added : {0.0f, shot->MaxSpeed}) {
                        for (float d = 0.3f; d < std::min(2.0f * window, 40.0f - reach); d += window / 6.0f) {
                            SCOPED_TRACE(gun.name + " on " + name + " at " + std::to_string(int(fps)) + " fps from " +
                                         std::to_string(d) + " units, added speed " + std::to_string(added));
                            entry->damageTaken = 0.0f;
                            // d from the body's box, which holds the whole body.
                            ASSERT_TRUE(fire(gun, centre - direction * (reach + d), direction, added, 1.0f / fps));
                            EXPECT_GT(entry->damageTaken, 0.0f);
                        }
                    }
                }
            }
        }
        world->objects().remove(target->getObjectId());
    }
}

}  // namespace
