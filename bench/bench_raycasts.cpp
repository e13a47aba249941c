// Ray casts over Town: the mesh cache against reading every mesh out of its buffers on each ray.
// Both forms run the same fixed-seed rays of three kinds (a driving vehicle's dozen per tick,
// projectiles, mouse aim); every result is compared, and the mean time per ray is reported.
//   bench_raycasts [--rays N] [--tree GAME_TREE]
#include "core/GameSettings.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/GameObjectData.h"
#include "world/MeshRayCache.h"
#include "world/SceneCreator.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using Ogre::Vector3;

namespace {

// Which cast a ray makes.
enum class Cast { FromTo, ToPolygon, MoveBlock, ProjBlock, ProjFloor, Border, DamageBodies, AllDamageBodies };

struct RayJob {
    Cast cast;
    Vector3 origin, direction;
    int wheel = -1;  // FromTo: which cached triangle the caller keeps
};

struct Outcome {
    bool hit = false;
    float distance = 0.0f;
    Vector3 point = Vector3::ZERO;
    uint32_t number = 0;  // slot or floor number
    Vector3 corners[3] = {Vector3::ZERO, Vector3::ZERO, Vector3::ZERO};
};

// Per caller state that must evolve the same way in both forms: the wheels' cached triangles.
struct CallerState {
    CallerState()
    {
        for (auto& wheel : corners)
            for (Vector3& c : wheel)
                c = Vector3::ZERO;  // no triangle yet
    }
    uint32_t floor[4] = {};
    Vector3 corners[4][3];
};

Outcome cast(DamageRegistry* registry, const RayJob& job, CallerState& state, uint32_t ownSlot)
{
    Outcome o;
    switch (job.cast) {
    case Cast::FromTo: {
        Vector3* c = state.corners[job.wheel];
        o.hit = raycastFromTo(registry, job.origin, job.direction, o.point, o.distance, state.floor[job.wheel], c[0],
                              c[1], c[2]);
        o.number = state.floor[job.wheel];
        std::copy(c, c + 3, o.corners);
        break;
    }
    case Cast::ToPolygon:
        o.hit = raycastToPolygon(registry, Ogre::Ray(job.origin, job.direction), o.point, o.distance, o.number,
                                 o.corners[0], o.corners[1], o.corners[2]);
        break;
    case Cast::MoveBlock:
    case Cast::ProjBlock:
    case Cast::ProjFloor:
    case Cast::Border: {
        using Single = bool (*)(DamageRegistry*, const Vector3&, const Vector3&, float&, Vector3&, float);
        const Single single[] = {raycastMoveBlock, raycastProjBlock, raycastProjFloor, raycastBorder};
        o.distance = -1.0f;
        o.hit = single[int(job.cast) - int(Cast::MoveBlock)](registry, job.origin, job.direction, o.distance, o.point,
                                                             std::numeric_limits<float>::infinity());
        break;
    }
    case Cast::DamageBodies:
        o.hit = raycastDamageBodies(registry, job.origin, job.direction, o.point, o.number, ownSlot, o.distance);
        break;
    case Cast::AllDamageBodies:
        o.hit = raycastAllDamageBodies(registry, job.origin, job.direction, o.point, ownSlot);
        break;
    }
    return o;
}

bool same(const Outcome& a, const Outcome& b)
{
    if (a.hit != b.hit)
        return false;
    if (!a.hit)
        return true;
    const auto close = [](float x, float y) { return std::abs(x - y) <= 1e-4f * std::max(1.0f, std::abs(y)); };
    const auto closeV = [&](const Vector3& x, const Vector3& y) {
        return close(x.x, y.x) && close(x.y, y.y) && close(x.z, y.z);
    };
    if (!close(a.distance, b.distance) || !closeV(a.point, b.point) || a.number != b.number)
        return false;
    for (int k = 0; k < 3; ++k)
        if (!closeV(a.corners[k], b.corners[k]))
            return false;
    return true;
}

struct Kind {
    const char* name;
    std::vector<RayJob> jobs;
};

// The rays of the three kinds, from one fixed seed; `count` rays in all.
std::vector<Kind> makeRays(size_t count, const Vector3& vehicle)
{
    RandomGenerator random;
    random.seed(20261210);
    const auto uniform = [&](float lo, float hi) { return lo + float(random.nextUnit()) * (hi - lo); };
    std::vector<Kind> kinds = {{"vehicle", {}}, {"projectile", {}}, {"mouse aim", {}}};

    // A vehicle driving across Town, casting its dozen rays per tick: four wheels and the hull
    // onto the floor, four movement-blocker feelers, two border feelers, the projectile floor.
    const size_t vehicleRays = count / 2, projectileRays = count * 3 / 10;
    const Vector3 start(-130, 0, -110), end(130, 0, 120);
    const size_t ticks = std::max<size_t>(1, vehicleRays / 12);
    for (size_t t = 0; t < ticks; ++t) {
        const float f = float(t) / float(ticks);
        const Vector3 at = start + (end - start) * f + Vector3(std::sin(f * 20) * 15, 0, 0);
        const Vector3 forward = (end - start).normalisedCopy();
        const Vector3 right = forward.crossProduct(Vector3::UNIT_Y);
        const Vector3 down(0, -4, 0);
        const Vector3 wheels[4] = {at + forward * 2 + right * 1.4f, at + forward * 2 - right * 1.4f,
                                   at - forward * 2 + right * 1.4f, at - forward * 2 - right * 1.4f};
        auto& jobs = kinds[0].jobs;
        for (int w = 0; w < 4; ++w)
            jobs.push_back({Cast::FromTo, wheels[w] + Vector3(0, 2, 0), down, w});
        jobs.push_back({Cast::ToPolygon, at + Vector3(0, 2, 0), down});
        for (const Vector3& d : {forward, -forward, right, -right})
            jobs.push_back({Cast::MoveBlock, at + Vector3(0, 1, 0), d * 6});
        jobs.push_back({Cast::Border, at + Vector3(0, 1, 0), forward * 6});
        jobs.push_back({Cast::Border, at + Vector3(0, 1, 0), -forward * 6});
        jobs.push_back({Cast::ProjFloor, at + Vector3(0, 3, 0), down});
    }

    // Shots across Town, a third of them at the vehicle and past it.
    for (size_t i = 0; i < projectileRays / 4; ++i) {
        const Vector3 origin(uniform(-140, 140), uniform(1, 20), uniform(-140, 140));
        Vector3 direction;
        if (i % 3 == 0) {
            const Vector3 aim = vehicle + Vector3(uniform(-4, 4), uniform(0, 2.5f), uniform(-4, 4));
            direction = (aim - origin).normalisedCopy() * uniform(2, 8);
        } else {
            direction = Vector3(uniform(-1, 1), uniform(-0.4f, 0.1f), uniform(-1, 1)).normalisedCopy() * uniform(2, 8);
        }
        auto& jobs = kinds[1].jobs;
        for (Cast c : {Cast::ProjBlock, Cast::ProjFloor, Cast::Border, Cast::DamageBodies})
            jobs.push_back({c, origin, direction});
    }

    // The mouse picking from a camera behind and above the player onto the vehicle and around it.
    const size_t aimRays = count - kinds[0].jobs.size() - kinds[1].jobs.size();
    for (size_t i = 0; i < aimRays && count > kinds[0].jobs.size() + kinds[1].jobs.size(); ++i) {
        const Vector3 camera(uniform(-100, 100), uniform(15, 40), uniform(-100, 100));
        const Vector3 aim = vehicle + Vector3(uniform(-6, 6), uniform(0, 2), uniform(-6, 6));
        kinds[2].jobs.push_back({Cast::AllDamageBodies, camera, (aim - camera).normalisedCopy()});
    }
    return kinds;
}

// Runs a kind's rays in one form; returns the microseconds spent.
double runKind(DamageRegistry* registry, bool perRay, const Kind& kind, uint32_t ownSlot, std::vector<Outcome>& out)
{
    registry->setPerRayExtraction(perRay);
    CallerState state;
    out.clear();
    out.reserve(kind.jobs.size());
    const auto t0 = std::chrono::steady_clock::now();
    for (const RayJob& job : kind.jobs)
        out.push_back(cast(registry, job, state, ownSlot));
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count();
}

int usage()
{
    std::fprintf(stderr, "usage: bench_raycasts [--rays N] [--tree GAME_TREE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    size_t rays = 6000;
    std::string tree = GAME_TREE_DIR;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rays") && i + 1 < argc) {
            const long n = std::strtol(argv[++i], nullptr, 10);
            if (n < 12)
                return usage();
            rays = size_t(n);
        } else if (!std::strcmp(argv[i], "--tree") && i + 1 < argc) {
            tree = argv[++i];
        } else {
            return usage();
        }
    }
    if (!std::filesystem::exists(tree + "/Data/Meshes/abrams_hull_col.mesh")) {
        std::fprintf(stderr, "bench_raycasts: no game tree with meshes at %s\n", tree.c_str());
        return 2;
    }
    // The tree's paths must hold after the move into it.
    tree = std::filesystem::absolute(tree).string();
    std::filesystem::current_path(tree + "/Bin/Game");

    // A headless engine: no window, no render system.
    auto* logs = new Ogre::LogManager();
    logs->createLog("bench_raycasts.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    auto* controllers = new Ogre::ControllerManager();
    auto* buffers = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    Ogre::MeshManager::getSingleton()._initialise();
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(tree + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
    groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);

    int status = 0;
    {
        Ogre::SceneManager* scene = root->createSceneManager();
        GameSettings settings;
        SceneContext context(nullptr);
        auto creator =
            std::make_unique<SceneCreator>(nullptr, scene, nullptr, nullptr, &settings, "Town", &context, nullptr);
        if (!creator->moveFloor(0) || !context.movementBlocker || !context.borderCollisionEntity) {
            std::fprintf(stderr, "bench_raycasts: Town lacks its floor, blocker or border\n");
            status = 2;
        } else {
            auto registry =
                std::make_unique<DamageRegistry>(nullptr, scene, nullptr, nullptr, &context, creator.get());
            const Vector3 vehicle(25, 0, 35);
            Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(vehicle);
            node->yaw(Ogre::Degree(30));
            Ogre::Entity* hull = scene->createEntity("abrams_hull_col.mesh");
            node->attachObject(hull);
            GameObjectData owner("GrndO_1", "", "", "", 1, 3, 2, 100, false);
            owner.objectId = 1;
            registry->add(hull, &owner, 3, 1, 2, 1, 0, 0);
            scene->getRootSceneNode()->_update(true, false);  // world boxes, as a frame would
            const uint32_t noSlot = 999;  // the shooters and the camera own no registered body

            const std::vector<Kind> kinds = makeRays(rays, vehicle);
            // Untimed first pass: the cache extracts its meshes once, both forms touch every buffer.
            std::vector<Outcome> cached, perRay;
            for (const Kind& k : kinds) {
                runKind(registry.get(), false, k, noSlot, cached);
                runKind(registry.get(), true, k, noSlot, perRay);
            }
            double cachedTotal = 0, perRayTotal = 0;
            size_t total = 0, differ = 0;
            for (const Kind& k : kinds) {
                if (k.jobs.empty())
                    continue;
                const double c = runKind(registry.get(), false, k, noSlot, cached);
                const double p = runKind(registry.get(), true, k, noSlot, perRay);
                size_t hits = 0, kindDiffer = 0;
                for (size_t i = 0; i < k.jobs.size(); ++i) {
                    hits += perRay[i].hit;
                    kindDiffer += !same(cached[i], perRay[i]);
                    if (!same(cached[i], perRay[i]) && differ + kindDiffer <= 5) {
                        const Outcome &c = cached[i], &p = perRay[i];
                        std::printf("  ray %zu (cast %d): cached %s %g #%u, per-ray %s %g #%u\n", i,
                                    int(k.jobs[i].cast), c.hit ? "hit" : "miss", c.distance, c.number,
                                    p.hit ? "hit" : "miss", p.distance, p.number);
                    }
                }
                const double n = double(k.jobs.size());
                std::printf("%s: %zu rays, %zu hits, cached %.3f us, per-ray extraction %.3f us, ratio %.1f%s\n",
                            k.name, k.jobs.size(), hits, c / n, p / n, p / c,
                            kindDiffer ? (", " + std::to_string(kindDiffer) + " differ").c_str() : "");
                cachedTotal += c;
                perRayTotal += p;
                total += k.jobs.size();
                differ += kindDiffer;
            }
            const double n = double(total);
            std::printf("rays: cached %.3f us, per-ray extraction %.3f us, ratio %.1f, ", cachedTotal / n,
                        perRayTotal / n, perRayTotal / cachedTotal);
            if (differ == 0) {
                std::printf("hits identical\n");
            } else {
                std::printf("hits differ (%zu of %zu)\n", differ, total);
                status = 1;
            }
            registry.reset();
        }
        creator.reset();
    }
    delete root;
    delete controllers;
    delete buffers;
    delete logs;
    return status;
}
