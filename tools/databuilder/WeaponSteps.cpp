// The weapons: their small meshes (the arc coil's with a skeleton that recoils and spins), and
// their caches, each built from its source as the game builds a weapon and saved from it.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "DefinitionSources.h"
#include "MeshBuilder.h"

#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/RandomGenerator.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "platform/Platform.h"
#include "world/FxPool.h"
#include "world/PickUpWeapon.h"
#include "world/WeaponContext.h"

#include <Ogre.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

namespace {

using V3 = Ogre::Vector3;
using Q = Ogre::Quaternion;

// Weapon meshes face -z like every gun; they sit on the vehicle's hard point.
class Barrel {
public:
    explicit Barrel(MeshBuilder& m) : m_(m) {}
    void cylinder(const char* material, const V3& tail, float radius, float length, int segments = 12)
    {
        MeshBuilder part;
        part.addCylinder(material, V3::ZERO, radius, length, segments);
        m_.append(part, Q(Ogre::Degree(-90), V3::UNIT_X), tail);
    }

private:
    MeshBuilder& m_;
};

void twinCannon(MeshBuilder& m)
{
    m.addBox("VT/ShotMetal", {0, 0.2f, 0}, {0.9f, 0.4f, 0.9f});
    Barrel b(m);
    b.cylinder("VT/ShotMetal", {-0.2f, 0.3f, 0}, 0.09f, 1.4f);
    b.cylinder("VT/ShotMetal", {0.2f, 0.3f, 0}, 0.09f, 1.4f);
}

void rocketPod(MeshBuilder& m)
{
    m.addBox("VT/ShotMetal", {0, 0.35f, -0.3f}, {0.9f, 0.7f, 1.2f});
    Barrel b(m);
    for (float x : {-0.22f, 0.22f})
        for (float y : {0.2f, 0.5f})
            b.cylinder("VT/ShotNose", {x, y, -0.85f}, 0.1f, 0.1f, 8);
}

void arcCoil(MeshBuilder& m)
{
    m.addBox("VT/ShotMetal", {0, 0.15f, 0}, {0.6f, 0.3f, 0.6f});
    Barrel b(m);
    b.cylinder("VT/ShotMetal", {0, 0.3f, 0}, 0.08f, 1.3f);
    for (int k = 0; k < 4; ++k)  // the coil's rings
        b.cylinder("VT/ShotTracer", {0, 0.3f, -0.3f - 0.25f * k}, 0.2f, 0.08f);
    // Fire: a short kick back and return; Idle: a turn of the coil about its axis.
    const Q turn0 = Q::IDENTITY;
    m.setSkeleton("weap_arc_coil.skeleton",
                  {{"Fire", 0.25f, {{0.0f, V3::ZERO, turn0}, {0.06f, V3(0, 0, 0.25f), turn0}, {0.25f, V3::ZERO, turn0}}},
                   {"Idle", 2.0f,
                    {{0.0f, V3::ZERO, turn0},
                     {0.5f, V3::ZERO, Q(Ogre::Degree(90), V3::UNIT_Z)},
                     {1.0f, V3::ZERO, Q(Ogre::Degree(180), V3::UNIT_Z)},
                     {1.5f, V3::ZERO, Q(Ogre::Degree(270), V3::UNIT_Z)},
                     {2.0f, V3::ZERO, turn0}}}});
}

void mortar(MeshBuilder& m)
{
    m.addBox("VT/ShotMetal", {0, 0.15f, 0}, {0.8f, 0.3f, 0.8f});
    MeshBuilder tube;
    tube.addCylinder("VT/ShotMetal", V3::ZERO, 0.2f, 0.9f, 12);
    m.append(tube, Q(Ogre::Degree(-50), V3::UNIT_X), {0, 0.3f, 0});  // raised toward the front
}

void plasmaLance(MeshBuilder& m)
{
    m.addBox("VT/ShotMetal", {0, 0.15f, 0.2f}, {0.5f, 0.3f, 0.8f});
    Barrel b(m);
    b.cylinder("VT/ShotMetal", {0, 0.25f, 0}, 0.07f, 2.0f);
    b.cylinder("VT/ShotTracer", {0, 0.25f, -2.0f}, 0.12f, 0.15f);
}

bool buildWeaponMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> meshes[] = {
        {"weap_twin_cannon.mesh", twinCannon}, {"weap_rocket_pod.mesh", rocketPod},
        {"weap_arc_coil.mesh", arcCoil},       {"weap_mortar.mesh", mortar},
        {"weap_plasma_lance.mesh", plasmaLance},
    };
    bool ok = true;
    for (const auto& [name, make] : meshes) {
        MeshBuilder m;
        make(m);
        if (!m.save(name, dir + name)) {
            ctx.log << "weapon meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

// One headless play's worth of handles for building weapons.
struct WeaponBench {
    WeaponBench()
    {
        Ogre::Root& root = builderEngine();
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        if (!groups.resourceGroupExists(kGroup)) {
            groups.addResourceLocation("../../Data/Meshes", "FileSystem", kGroup);
            groups.initialiseResourceGroup(kGroup);
        }
        scene = root.createSceneManager();
        pool = std::make_unique<FxPool>(scene, &library, &sounds, &random, "WB");
        context.playData = &playData;
        context.projectileDefs = &projectiles;
        context.warheadDefs = &warheads;
        context.scene = scene;
        context.fx = pool.get();
        context.sounds = &sounds;
        carrier = scene->getRootSceneNode()->createChildSceneNode();
    }
    ~WeaponBench()
    {
        pool.reset();
        builderEngine().destroySceneManager(scene);
    }
    static constexpr const char* kGroup = "WeaponBuild";
    audio::SoundManager sounds{"no such device"};
    FxParamsLibrary library;
    RandomGenerator random;
    GamePlayData playData;
    ProjectileDefRegistry projectiles{nullptr, &library};
    WarheadDefRegistry warheads{&library};
    Ogre::SceneManager* scene = nullptr;
    std::unique_ptr<FxPool> pool;
    WeaponContext context;
    Ogre::SceneNode* carrier = nullptr;
};

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool buildWeaponCaches(BuildContext& ctx)
{
    WeaponBench bench;
    const std::string folder = weapon_cache::family().sourceDir;
    bool ok = true;
    int built = 0;
    for (const std::string& file : platform::listDirectory(folder)) {
        if (!endsWith(file, ".ini"))
            continue;
        const std::string name = file.substr(0, file.size() - 4);
        IniSource source;
        if (!source.load(folder + file))
            continue;  // the definition step has reported it
        const std::string className = source.text("Build", "Class");
        const bool pickUp = className == "PickUpWeapon";
        if (!pickUp && className != "GroundWeapon")
            continue;
        std::unique_ptr<GroundWeapon> weapon;
        if (pickUp)
            weapon.reset(makePickUpWeapon(&bench.context, name, bench.carrier, 0, 0, 1, V3::ZERO, V3::ZERO));
        else
            weapon.reset(makeGroundWeapon(&bench.context, name, bench.carrier, 0, 0, 1, V3::ZERO, V3::ZERO));
        if (!weapon->readIni(name, &bench.projectiles, &bench.warheads, bench.carrier, V3::ZERO, V3::ZERO)) {
            ctx.log << "weapons: " << folder << file << " cannot be read\n";
            ok = false;
            continue;
        }
        const bool special = pickUp && static_cast<PickUpWeapon*>(weapon.get())->isSpecial();
        if (!special && !weapon->getProjectile()) {
            ctx.log << "weapons: " << name << ": projectile '" << weaponIniText(source, "Data", "projectile")
                    << "' has no cache\n";
            ok = false;
            continue;
        }
        if (!special && !weapon->getWarhead()) {
            ctx.log << "weapons: " << name << ": warhead '" << weaponIniText(source, "Data", "warhead")
                    << "' has no cache\n";
            ok = false;
            continue;
        }
        if (!weapon->writeCache(name, weaponIniText(source, "Data", "WeaponMesh"))) {
            ctx.log << "weapons: " << name << ": the cache was not written\n";
            ok = false;
            continue;
        }
        ++built;
    }
    ctx.log << "weapons: " << built << " caches written\n";
    return ok;
}

DefinitionClassBuiltElsewhere groundWeapons("GroundWeapon");
DefinitionClassBuiltElsewhere pickUpWeapons("PickUpWeapon");

}  // namespace

DATABUILDER_STEP("weapon meshes", 12, buildWeaponMeshes);
DATABUILDER_STEP("weapon caches", 25, buildWeaponCaches);
