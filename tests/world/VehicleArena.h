#pragma once
// A headless arena for ground vehicles, built by the scene creator from a map of its own: a flat
// floor (floor 1, 400 x 400 at height 0, around the ramp), a ramp (floor 2) rising 8 over 20 toward -z at x 30..50,
// a blocker box at x -6..6, z -46..-40, and the game's border ring (radius 150). Floor reactors:
// floor_dust on floor 1, dust_trail on floor 2. With the play's world over it (registries,
// managers, weapon context, effect pool, a random generator seeded 21) and a silent sound
// manager, in a private copy of the game tree's caches; meshes, sounds and particles come from
// the game tree.
#include "RayFixtures.h"
#include "ShotTestWorld.h"

#include "definitions/GroundVehiParams.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "world/GroundVehicle.h"
#include "world/HeadlessWorld.h"
#include "world/PlayWorld.h"
#include "world/ProjectileManager.h"
#include "world/WeaponContext.h"

#include <OgreTechnique.h>

#include <filesystem>
#include <memory>

namespace vehicletest {

constexpr float kDt = 1.0f / 60.0f;

inline const char* arenaMap()
{
    return R"(
[scene]
nSNodes = 0
[Colisions]
MovBlockMesh = arena_block.mesh
ProjBlockMesh = arena_block.mesh
MovFloor1Mesh = arena_floor.mesh
MovFloor2Mesh = arena_ramp.mesh
ProjFloorMesh = arena_floor.mesh
FloorReac1 = floor_dust
FloorReac2 = dust_trail
)";
}

// A closed box, outward-facing.
inline void makeBox(const std::string& name, const Ogre::Vector3& lo, const Ogre::Vector3& hi)
{
    std::vector<Ogre::Vector3> c;
    for (int i = 0; i < 8; ++i)
        c.push_back({(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z});
    // Counter-clockwise seen from outside.
    const std::vector<uint32_t> faces = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 4, 6, 0, 6, 2,
                                         1, 3, 7, 1, 7, 5, 2, 6, 7, 2, 7, 3, 0, 1, 5, 0, 5, 4};
    rayfixture::makeMesh(name, {}, {{false, c, faces, false}});
}

class Arena {
public:
    Arena()
        : headless(options()),
          world(headless.world),
          scene(headless.scene),
          settings(headless.settings),
          playData(headless.playData),
          context(headless.context),
          sounds(headless.sounds),
          random(world->random()),
          targets(world->targets()),
          damage(&world->damage()),
          pool(&world->fx()),
          projectiles(&world->projectiles()),
          weapons(world->weaponContext()),
          handles(world->objectHandles())
    {
    }
    ~Arena()
    {
        vehicles.clear();
        headless.world.reset();
        headless.creator.reset();
    }

    // The arena's meshes and map.
    HeadlessWorld::Options options()
    {
        HeadlessWorld::Options o;
        o.gameTree = testsupport::gameTreeDir();
        o.mediaDir = tree.path("Particles");
        o.map = "VehicleArena";
        o.mapFromIni = true;
        o.mapTakesPlayData = false;
        o.loadPlaySettings = false;
        o.sceneContextHasSounds = false;
        o.playArea = Ogre::Vector4::ZERO;  // as a scene context starts
        o.seed = 21;
        o.beforeMap = [this](HeadlessWorld&) {
            // Headless: the tread materials without their textures, one unit each to scroll.
            for (const char* name : {"abrams_tread", "marauder_tread"})
                Ogre::MaterialManager::getSingleton()
                    .create(name, Ogre::RGN_DEFAULT)
                    ->getTechnique(0)
                    ->getPass(0)
                    ->createTextureUnitState();
            // Floor 1 leaves the ramp's rectangle out: a floor triangle cached under the ramp would be
            // tested before the ramp itself.
            std::vector<Ogre::Vector3> floor;
            std::vector<uint32_t> quads;
            for (const Ogre::Vector4& r : {Ogre::Vector4(-200, -200, 30, 200), Ogre::Vector4(50, -200, 200, 200),
                                           Ogre::Vector4(30, -200, 50, -10), Ogre::Vector4(30, 10, 50, 200)}) {
                const uint32_t base = static_cast<uint32_t>(floor.size());
                floor.insert(floor.end(), {{r.x, 0, r.w}, {r.z, 0, r.w}, {r.z, 0, r.y}, {r.x, 0, r.y}});
                quads.insert(quads.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
            }
            rayfixture::makeMesh("arena_floor.mesh", {}, {{false, floor, quads, false}});
            rayfixture::makeMesh("arena_ramp.mesh", {},
                                 {{false, {{30, 0, 10}, {50, 0, 10}, {50, 8, -10}, {30, 8, -10}}, {0, 1, 2, 0, 2, 3}, false}});
            makeBox("arena_block.mesh", {-6, 0, -46}, {6, 5, -40});
            std::filesystem::create_directories(tree.path("Data/Scenes/VehicleArena"));
            testsupport::writeTextFile(tree.path("Data/Scenes/VehicleArena/map.ini"), arenaMap());
        };
        return o;
    }

    // A vehicle of the definition at the place, facing -z turned by yaw degrees.
    GroundVehicle& spawn(GroundVehiParams* def, const Ogre::Vector3& at, float yaw = 0.0f, uint32_t id = 5,
                         uint32_t team = 1)
    {
        vehicles.push_back(std::make_unique<GroundVehicle>(handles, def, id, team));
        GroundVehicle& v = *vehicles.back();
        v.getMainNode()->setPosition(at);
        v.getMainNode()->yaw(Ogre::Degree(yaw));
        v.updateCachedTransform();
        return v;
    }
    // One placed on the floor (or the ramp) below the point, standing there.
    GroundVehicle& spawnOnGround(GroundVehiParams* def, const Ogre::Vector3& at, float yaw = 0.0f, uint32_t id = 5)
    {
        GroundVehicle& v = spawn(def, at + Ogre::Vector3(0, 10, 0), yaw, id);
        v.snapToGround();
        v.updateCachedTransform();
        return v;
    }
    // Ticks the vehicle n times with the same inputs; false as soon as an update does.
    static bool run(GroundVehicle& v, int ticks, float dt = kDt)
    {
        for (int i = 0; i < ticks; ++i)
            if (!v.update(dt))
                return false;
        return true;
    }
    // Height of the floors below the point (the ramp where it lies over the flat floor).
    static float floorHeight(const Ogre::Vector3& p)
    {
        if (p.x >= 30 && p.x <= 50 && p.z >= -10 && p.z <= 10)
            return (10 - p.z) * 0.4f;
        return 0.0f;
    }
    void destroy(GroundVehicle& v)
    {
        for (auto it = vehicles.begin(); it != vehicles.end(); ++it)
            if (it->get() == &v) {
                vehicles.erase(it);
                return;
            }
    }

    const bool nullOutput = shottest::useNullSoundOutput();
    testsupport::TempGameTree tree{"Data/System", "Bin/Game/plugins.cfg"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    HeadlessWorld headless;
    std::unique_ptr<PlayWorld>& world;
    Ogre::SceneManager* const scene;
    GameSettings& settings;
    GamePlayData& playData;
    SceneContext& context;
    audio::SoundManager& sounds;
    // The world's parts under the names the tests use.
    RandomGenerator& random;
    TargetRegistry& targets;
    DamageRegistry* damage;
    FxPool* pool;
    ProjectileManager* projectiles;
    WeaponContext& weapons;
    const GameObjectHandles& handles;
    std::vector<std::unique_ptr<GroundVehicle>> vehicles;
};

}  // namespace vehicletest
