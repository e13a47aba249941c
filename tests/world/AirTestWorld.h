#pragma once
// A headless play for air objects and Ovni: an arena map built by the scene builder from a map
// file of the test's own and test meshes (a projectile floor at height 2 over the whole border
// rectangle, under only its half x < 0, only beyond the border, or none at all), the border (-50, -50) to (50, 50) at
// scale 1, the play's world (registries, managers, weapon context, effect pool, a random generator
// seeded 77) and play values hover height 6 and hover speed 4. Definitions come
// from the game tree's caches or are made in memory by the test.
#include "RayFixtures.h"
#include "ShotTestWorld.h"

#include "core/RandomGenerator.h"
#include "definitions/AirObjParams.h"
#include "definitions/DificultyData.h"
#include "definitions/OvniParams.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "world/AirObject.h"
#include "world/GameObject.h"
#include "world/HeadlessWorld.h"
#include "world/Ovni.h"
#include "world/PlayWorld.h"
#include "world/ProjectileManager.h"
#include "world/WeaponCache.h"
#include "world/WeaponContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace airtest {

constexpr float kDt = 1.0f / 60.0f;
constexpr float kFloorY = 2.0f;
constexpr float kHover = 6.0f;
constexpr float kHoverSpeed = 4.0f;

enum class Floor { Whole, HalfWest, OutsideBorder, None };

inline std::string arenaMap(const char* floorMesh)
{
    return std::string("[scene]\nnSNodes = 0\nAmbientLight = 0.5 0.5 0.5 1\nTypeBG = 0\nhasSun = false\n"
                       "StaticGeom = 0\n\n[Colisions]\nMovBlockMesh =\nProjBlockMesh =\nMovFloor1Mesh = ") +
           floorMesh + "\nProjFloorMesh = " + floorMesh + "\n";
}

class World {
public:
    explicit World(Floor floor = Floor::Whole)
        : headless(options(floor)),
          world(headless.world),
          scene(headless.scene),
          playData(headless.playData),
          context(headless.context),
          random(world->random()),
          targets(world->targets()),
          damage(&world->damage()),
          pool(&world->fx()),
          projectiles(&world->projectiles()),
          weapons(world->weaponContext()),
          handles(world->objectHandles()),
          difficulty(world->difficulty())
    {
        // The tests set the tuning they need on top of zeros, whatever the game's cache holds.
        difficulty = DificultyData();
    }
    ~World()
    {
        // The world's objects go before the definitions they were made from.
        headless.world.reset();
        headless.creator.reset();
    }

    // The arena's floor meshes and map; hover values the Ovni read.
    HeadlessWorld::Options options(Floor floor)
    {
        HeadlessWorld::Options o;
        o.gameTree = testsupport::gameTreeDir();
        o.mediaDir = media.path("Particles");
        o.map = "Arena";
        o.mapFromIni = true;
        o.mapTakesPlayData = false;
        o.loadPlaySettings = false;
        o.sceneContextHasSounds = false;
        o.playArea = Ogre::Vector4(-50, -50, 50, 50);
        o.seed = 77;
        o.beforeMap = [this, floor](HeadlessWorld& w) {
            // Floors facing up at height 2: the whole arena, or only its western half (x < 0).
            rayfixture::makeFloor("arena_floor.mesh", 300.0f, kFloorY);
            rayfixture::makeMesh("arena_half_floor.mesh", {},
                                 {{false,
                                   {{-300, kFloorY, 300}, {-1, kFloorY, 300}, {-1, kFloorY, -300}, {-300, kFloorY, -300}},
                                   {0, 1, 2, 0, 2, 3},
                                   false}});
            rayfixture::makeMesh("arena_far_floor.mesh", {},
                                 {{false,
                                   {{200, kFloorY, 300}, {300, kFloorY, 300}, {300, kFloorY, -300}, {200, kFloorY, -300}},
                                   {0, 1, 2, 0, 2, 3},
                                   false}});
            const char* mesh = floor == Floor::Whole           ? "arena_floor.mesh"
                               : floor == Floor::HalfWest      ? "arena_half_floor.mesh"
                               : floor == Floor::OutsideBorder ? "arena_far_floor.mesh"
                                                               : "";
            std::filesystem::create_directories(tree.path("Data/Scenes/Arena"));
            testsupport::writeTextFile(tree.path("Data/Scenes/Arena/map.ini"), arenaMap(mesh));
            w.playData.playSettings[GamePlayData::OvniHoverHeight] = kHover;
            w.playData.playSettings[GamePlayData::VerticalFloatSpeed] = kHoverSpeed;
        };
        return o;
    }

    // A definition from the game tree's cache, kept for the test.
    template <class Def>
    Def* cached(const std::string& name)
    {
        auto def = std::make_unique<Def>(name);
        Def* raw = def.get();
        definitions.push_back(std::move(def));
        return raw;
    }
    // An Ovni of the game tree with no effects that play by themselves.
    OvniParams* quiet(const char* name)
    {
        OvniParams* d = cached<OvniParams>(name);
        EXPECT_TRUE(d->cacheLoaded()) << name;
        d->Death_Effect = d->Spawn_Effect = d->Retreat_Effect = " ";
        return d;
    }
    // A gun firing guided missiles, whose shots keep the target they were given (unguided ones
    // drop it), written as a cache of the test's tree.
    std::string homingGun()
    {
        WeaponCacheRecord r;
        r.projectileType = ProjectileKind_Missile;
        r.projectile = "proj_missile";
        r.warheadType = 1;
        r.warhead = "wh_explosive";
        r.CannonPos = {0.0f, 0.0f, -1.0f};
        r.ammo = 20;
        r.RateOfFire = 1.0f;
        r.Damage = 10;
        r.LockRange = 100.0f;
        EXPECT_TRUE(weapon_cache::write("test_homing_gun", WeaponCacheKind::Ground, r));
        return "test_homing_gun";
    }

    std::unique_ptr<Ovni> ovni(OvniParams* def, uint32_t id = 3, uint32_t team = 2)
    {
        return std::make_unique<Ovni>(handles, def, id, team, "", "");
    }
    std::unique_ptr<AirObject> air(AirObjParams* def, uint32_t id = 7, uint32_t team = 2)
    {
        return std::make_unique<AirObject>(handles, def, id, team, "", "");
    }

    float damageTaken(const GameObject& o) const { return damage->getEntry(o.getDamageSlot())->damageTaken; }
    // Moves the scene graph on, as a rendered frame would (the scene-query rays need it).
    void settle() { scene->getRootSceneNode()->_update(true, false); }
    size_t liveEffects() const { return pool->liveEffectCount(); }

    const bool nullOutput = shottest::useNullSoundOutput();
    testsupport::TempGameTree tree{"Data/System"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    testsupport::TempGameTree media{"Bin/Game/plugins.cfg"};
    HeadlessWorld headless;
    std::unique_ptr<PlayWorld>& world;
    Ogre::SceneManager* const scene;
    GamePlayData& playData;
    SceneContext& context;
    // The world's parts under the names the tests use.
    RandomGenerator& random;
    TargetRegistry& targets;
    DamageRegistry* damage;
    FxPool* pool;
    ProjectileManager* projectiles;
    WeaponContext& weapons;
    const GameObjectHandles& handles;
    DificultyData& difficulty;
    std::vector<std::unique_ptr<goParams>> definitions;
};

}  // namespace airtest
