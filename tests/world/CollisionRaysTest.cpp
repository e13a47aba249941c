// The collision ray casts on small fixture meshes, in both forms (per-ray extraction and the mesh
// cache), and the two forms side by side over Town.
#include "world/CollisionRays.h"

#include "core/GameSettings.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "world/DamageRegistry.h"
#include "world/GameObjectData.h"
#include "world/MeshRayCache.h"
#include "world/SceneCreator.h"
#include "support/TestSupport.h"
#include "RayFixtures.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <limits>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>

using namespace testsupport;
using Ogre::Vector3;

namespace {

const char* kFloorMap = R"(
[scene]
nSNodes = 1
[sn_1]
sn_name = Far
sn_Pos = 500 0 0
sn_nMeshes = 1
snMesh_Vis_1 = true
snMesh_Me_1 = ray_scenery.mesh
snMesh_Na_1 = Scenery
[Colisions]
MovFloor1Mesh = ray_floor_low.mesh
MovFloor3Mesh = ray_floor_high.mesh
)";

class CollisionRays : public ::testing::TestWithParam<bool> {
protected:
    CollisionRays()
        : tree({"Data/Scenes"}), cwd(tree.workDir()), context(nullptr), scene(engine.root()->createSceneManager())
    {
        rayfixture::makeSquare("ray_square", 1.0f);
        rayfixture::makeFloor("ray_floor_low.mesh", 100.0f, 0.0f);
        rayfixture::makeFloor("ray_floor_high.mesh", 2.0f, 5.0f);
        rayfixture::makeFloor("ray_scenery.mesh", 10.0f, 0.0f);
        // Two small squares 6 apart: a ray between them crosses the box and no triangle.
        rayfixture::makeMesh("ray_gap", {},
                             {{false, {{-4, -1, 0}, {-2, -1, 0}, {-2, 1, 0}, {-4, 1, 0}}, {0, 1, 2, 0, 2, 3}, false},
                              {false, {{2, -1, 0}, {4, -1, 0}, {4, 1, 0}, {2, 1, 0}}, {0, 1, 2, 0, 2, 3}, true}});
        registry = std::make_unique<DamageRegistry>(nullptr, scene, nullptr, nullptr, &context, nullptr);
        registry->setPerRayExtraction(GetParam());
    }
    ~CollisionRays() override
    {
        registry.reset();
        creator.reset();
    }

    Ogre::Entity* place(const std::string& mesh, const Vector3& position, Ogre::SceneNode* parent = nullptr)
    {
        Ogre::SceneNode* node = (parent ? parent : scene->getRootSceneNode())->createChildSceneNode(position);
        Ogre::Entity* entity = scene->createEntity(mesh);
        node->attachObject(entity);
        scene->getRootSceneNode()->_update(true, false);  // the scene query reads world boxes
        return entity;
    }
    // A body of its own owner unless the test names one (a shared owner: hull and parts).
    uint32_t registerBody(Ogre::Entity* entity, uint32_t ownerId = 0)
    {
        owners.emplace_back("b", "", "", "", 1, 3, 2, 100, false);
        if (ownerId == 0)
            ownerId = 100 + static_cast<uint32_t>(owners.size());
        owners.back().objectId = ownerId;
        return registry->add(entity, &owners.back(), 3, 1, 2, ownerId, 0, 0);
    }
    void buildFloors()
    {
        std::filesystem::create_directories(tree.path("Data/Scenes/RayFloors"));
        writeTextFile(tree.path("Data/Scenes/RayFloors/map.ini"), kFloorMap);
        creator = std::make_unique<SceneCreator>(nullptr, scene, nullptr, nullptr, &settings, "", &context, nullptr);
        creator->parseMapIni("RayFloors");
        scene->getRootSceneNode()->_update(true, false);
        registry = std::make_unique<DamageRegistry>(nullptr, scene, nullptr, nullptr, &context, creator.get());
        registry->setPerRayExtraction(GetParam());
    }

    HeadlessOgre engine;
    TempGameTree tree;
    ScopedWorkDir cwd;
    GameSettings settings;
    SceneContext context;
    Ogre::SceneManager* scene;
    std::unique_ptr<SceneCreator> creator;
    std::unique_ptr<DamageRegistry> registry;
    std::deque<GameObjectData> owners;
};

TEST_P(CollisionRays, OnlyFrontFacesAreHitAndTheCallersClosestBounds)
{
    context.movementBlocker = place("ray_square", Vector3::ZERO);
    float closest = -1.0f;
    Vector3 point(9, 9, 9);
    EXPECT_TRUE(raycastMoveBlock(registry.get(), {0.2f, 0.3f, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    EXPECT_FLOAT_EQ(closest, 5.0f);
    EXPECT_TRUE(point.positionEquals({0.2f, 0.3f, 0}));

    closest = -1.0f;
    EXPECT_FALSE(raycastMoveBlock(registry.get(), {0.2f, 0.3f, -5}, Vector3::UNIT_Z, closest, point));
    EXPECT_EQ(closest, -1.0f);

    // A positive start accepts only nearer hits.
    closest = 4.0f;
    EXPECT_FALSE(raycastMoveBlock(registry.get(), {0.2f, 0.3f, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    closest = 6.0f;
    EXPECT_TRUE(raycastMoveBlock(registry.get(), {0.2f, 0.3f, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    EXPECT_FLOAT_EQ(closest, 5.0f);

    // Maps without the other bodies: false at once.
    closest = -1.0f;
    EXPECT_FALSE(raycastProjBlock(registry.get(), {0, 0, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    EXPECT_FALSE(raycastProjFloor(registry.get(), {0, 0, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    EXPECT_FALSE(raycastBorder(registry.get(), {0, 0, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
    EXPECT_FALSE(raycastProjBlock(nullptr, {0, 0, 5}, Vector3::NEGATIVE_UNIT_Z, closest, point));
}

TEST_P(CollisionRays, ExtractsSharedAndOwnVerticesWithBothIndexWidthsOnAMovedTurnedScaledNode)
{
    const std::vector<Vector3> shared = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    Ogre::MeshPtr mesh = rayfixture::makeMesh(
        "ray_compound", shared,
        {{true, {}, {0, 1, 2, 0, 2, 3, 1}, false},               // a trailing partial triangle
         {false, {{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, {0, 1, 2}, true},
         {true, {}, {3, 2, 1, 0, 1, 9}, true}});                 // 9 is beyond the vertices
    const Vector3 position(10, 2, -3), scale(2, 3, 0.5f);
    const Ogre::Quaternion orientation(Ogre::Degree(90), Vector3::UNIT_Y);
    size_t vertexCount = 0, indexCount = 0;
    std::vector<Vector3> vertices;
    std::vector<uint32_t> indices;
    getMeshInformation(mesh.get(), vertexCount, vertices, indexCount, indices, position, orientation, scale);
    ASSERT_EQ(vertexCount, 7u);
    ASSERT_EQ(vertices.size(), 7u);
    const std::vector<Vector3> model = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 2}, {1, 0, 2}, {0, 1, 2}};
    for (size_t i = 0; i < model.size(); ++i) {
        // A quarter turn about Y takes x to -z and z to x.
        const Vector3 s = model[i] * scale;
        EXPECT_TRUE(vertices[i].positionEquals(Vector3(s.z, s.y, -s.x) + position, 1e-5f)) << i;
    }
    EXPECT_EQ(indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 3, 2, 1}));
    EXPECT_EQ(indexCount, 12u);

    // The same placement through a node: a ray onto the own-vertex triangle, whose model plane
    // z = 2 lands at world x = 10 + 2 * 0.5.
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(position, orientation);
    node->setScale(scale);
    Ogre::Entity* entity = scene->createEntity("ray_compound");
    node->attachObject(entity);
    context.movementBlocker = entity;
    // That triangle faces model +Z, world +X.
    float closest = -1.0f;
    Vector3 point;
    const Vector3 target = orientation * (Vector3(0.2f, 0.2f, 2) * scale) + position;
    ASSERT_TRUE(raycastMoveBlock(registry.get(), target + Vector3(4, 0, 0), Vector3::NEGATIVE_UNIT_X, closest, point));
    EXPECT_NEAR(closest, 4.0f, 1e-4f);
    EXPECT_TRUE(point.positionEquals(target, 1e-4f));
    closest = -1.0f;
    EXPECT_FALSE(raycastMoveBlock(registry.get(), target - Vector3(4, 0, 0), Vector3::UNIT_X, closest, point));
}

TEST_P(CollisionRays, DamageBodiesSkipTheShooterSceneryAndEmptyBoxes)
{
    const uint32_t gap = registerBody(place("ray_gap", {0, 0, 15}));
    // The shooter (object 7): its hull and, behind it, one of its parts.
    const uint32_t shooter = registerBody(place("ray_square", {0, 0, 10}), 7);
    registerBody(place("ray_square", {0, 0, 8}), 7);
    place("ray_square", {0, 0, 9});  // scenery: not registered
    const uint32_t target = registerBody(place("ray_square", {0, 0, 0}));
    Vector3 point;
    uint32_t slot = 99;
    float distance = 0;
    ASSERT_TRUE(raycastDamageBodies(registry.get(), {0, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, slot, 7, distance));
    EXPECT_EQ(slot, target);
    EXPECT_FLOAT_EQ(distance, 20.0f);
    EXPECT_TRUE(point.positionEquals(Vector3::ZERO));

    ASSERT_TRUE(raycastDamageBodies(registry.get(), {0, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, slot, 999, distance));
    EXPECT_EQ(slot, shooter);
    EXPECT_FLOAT_EQ(distance, 10.0f);

    // Through the gap's own squares the gap is hit.
    ASSERT_TRUE(raycastDamageBodies(registry.get(), {3, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, slot, 999, distance));
    EXPECT_EQ(slot, gap);

    // A miss reports slot 0; a free body is not hit.
    slot = 99;
    EXPECT_FALSE(raycastDamageBodies(registry.get(), {50, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, slot, 999, distance));
    EXPECT_EQ(slot, 0u);
    registry->remove(target);
    EXPECT_FALSE(raycastDamageBodies(registry.get(), {0, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, slot, 7, distance));

    // The any-entity searches see the scenery too.
    Ogre::Entity* hit = nullptr;
    ASSERT_TRUE(raycastForAI(registry.get(), {0, 0, 9.5f}, Vector3::NEGATIVE_UNIT_Z, point, hit, distance));
    EXPECT_EQ(hit->getParentSceneNode()->getPosition(), Vector3(0, 0, 9));
    EXPECT_FLOAT_EQ(distance, 0.5f);
    ASSERT_TRUE(raycastBelow(registry.get(), {0, 0, 9.5f}, Vector3::NEGATIVE_UNIT_Z, point, distance));
    EXPECT_FLOAT_EQ(distance, 0.5f);
    EXPECT_FALSE(raycastForAI(registry.get(), {0, 0, 9.5f}, Vector3::UNIT_Z, point, hit, distance));
    EXPECT_EQ(hit, nullptr);
}

TEST_P(CollisionRays, FloorsReportTheirNumberAndTriangleAndTheCachedTriangleComesFirst)
{
    buildFloors();
    ASSERT_NE(creator->moveFloor(2), nullptr);
    Vector3 point, a, b, c;
    float distance = 0;
    uint32_t floor = 77;
    ASSERT_TRUE(raycastToPolygon(registry.get(), Ogre::Ray({-1, 10, -0.5f}, Vector3::NEGATIVE_UNIT_Y), point, distance,
                                 floor, a, b, c));
    EXPECT_EQ(floor, 3u);
    EXPECT_FLOAT_EQ(distance, 5.0f);
    // The second triangle (corners 0, 2, 3) of the high floor, in index order.
    EXPECT_EQ(a, Vector3(-2, 5, 2));
    EXPECT_EQ(b, Vector3(2, 5, -2));
    EXPECT_EQ(c, Vector3(-2, 5, -2));

    ASSERT_TRUE(raycastToPolygon(registry.get(), Ogre::Ray({30, 10, 0}, Vector3::NEGATIVE_UNIT_Y), point, distance,
                                 floor, a, b, c));
    EXPECT_EQ(floor, 1u);
    EXPECT_FLOAT_EQ(distance, 10.0f);
    // Scenery that is no floor is not found.
    EXPECT_FALSE(raycastToPolygon(registry.get(), Ogre::Ray({500, 10, 0}, Vector3::NEGATIVE_UNIT_Y), point, distance,
                                  floor, a, b, c));
    EXPECT_EQ(floor, 0u);

    // From a fresh (empty) cached triangle the floors are searched and the triangle kept.
    a = b = c = Vector3::ZERO;
    ASSERT_TRUE(raycastFromTo(registry.get(), {1, 10, 0.5f}, Vector3::NEGATIVE_UNIT_Y, point, distance, floor, a, b, c));
    EXPECT_EQ(floor, 3u);
    EXPECT_EQ(b, Vector3(2, 5, 2));
    // Over the same triangle: hit without a search, floor number and corners untouched.
    floor = 77;
    ASSERT_TRUE(raycastFromTo(registry.get(), {0.5f, 8, 1}, Vector3::NEGATIVE_UNIT_Y, point, distance, floor, a, b, c));
    EXPECT_EQ(floor, 77u);
    EXPECT_FLOAT_EQ(distance, 3.0f);
    EXPECT_TRUE(point.positionEquals({0.5f, 5, 1}));
    EXPECT_EQ(b, Vector3(2, 5, 2));
    // Off it: the search refreshes both.
    ASSERT_TRUE(raycastFromTo(registry.get(), {30, 10, 0}, Vector3::NEGATIVE_UNIT_Y, point, distance, floor, a, b, c));
    EXPECT_EQ(floor, 1u);
    EXPECT_EQ(a.y, 0.0f);
}

TEST_P(CollisionRays, AllBodiesTakeTheFirstSlotHitAndReturnItsWorldPosition)
{
    Ogre::SceneNode* vehicle = scene->getRootSceneNode()->createChildSceneNode(Vector3(0, 0, -5));
    // The player (object 3): a part under its vehicle node, and its hull further along the ray.
    const uint32_t far = registerBody(place("ray_square", {0, 0, 5}, vehicle), 3);  // world origin
    const uint32_t hull = registerBody(place("ray_square", {0, 0, -10}), 3);
    const uint32_t near = registerBody(place("ray_square", {0, 0, 10}));
    Vector3 point;
    ASSERT_TRUE(raycastAllDamageBodies(registry.get(), {0.5f, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, 999));
    EXPECT_EQ(point, Vector3::ZERO);
    // Passing the player's id skips every body it owns.
    ASSERT_TRUE(raycastAllDamageBodies(registry.get(), {0.5f, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, 3));
    EXPECT_EQ(point, Vector3(0, 0, 10));
    // The sphere passes, the triangles miss.
    EXPECT_FALSE(raycastAllDamageBodies(registry.get(), {1.2f, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, 999));
    registry->remove(far);
    registry->remove(hull);
    registry->remove(near);
    EXPECT_FALSE(raycastAllDamageBodies(registry.get(), {0.5f, 0, 20}, Vector3::NEGATIVE_UNIT_Z, point, 999));
}

INSTANTIATE_TEST_SUITE_P(BothForms, CollisionRays, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "PerRayExtraction" : "MeshCache";
                         });

}  // namespace

namespace {

// What one ray cast gave, for comparing the two forms.
struct Outcome {
    bool hit = false;
    float distance = 0.0f;
    Vector3 point = Vector3::ZERO;
    uintptr_t what = 0;  // slot, floor number or entity
    Vector3 corners[3] = {Vector3::ZERO, Vector3::ZERO, Vector3::ZERO};
};

void expectSame(const Outcome& cached, const Outcome& perRay, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(cached.hit, perRay.hit);
    if (!cached.hit)
        return;
    EXPECT_NEAR(cached.distance, perRay.distance, 1e-4f * std::max(1.0f, std::abs(perRay.distance)));
    EXPECT_TRUE(cached.point.positionEquals(perRay.point, 1e-3f));
    EXPECT_EQ(cached.what, perRay.what);
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(cached.corners[k].positionEquals(perRay.corners[k], 1e-4f));
}

}  // namespace

// Town from the game tree with two tank hulls on its floor; each ray runs in both forms.
TEST(TownRays, BothFormsAgreeOnFixedSeedRays)
{
    HeadlessOgre engine;
    ScopedWorkDir cwd(gameTreeDir() + "/Bin/Game");
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(gameTreeDir() + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
    groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
    Ogre::SceneManager* scene = engine.root()->createSceneManager();
    GameSettings settings;
    SceneContext context(nullptr);
    auto creator = std::make_unique<SceneCreator>(nullptr, scene, nullptr, nullptr, &settings, "Town", &context, nullptr);
    ASSERT_NE(creator->moveFloor(0), nullptr);
    ASSERT_NE(context.movementBlocker, nullptr);
    ASSERT_NE(context.borderCollisionEntity, nullptr);
    auto registry = std::make_unique<DamageRegistry>(nullptr, scene, nullptr, nullptr, &context, creator.get());

    std::deque<GameObjectData> owners;
    std::vector<uint32_t> slots;
    for (const Vector3& at : {Vector3(20, 0, 30), Vector3(-40, 0, -10)}) {
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(at);
        node->yaw(Ogre::Degree(at.x));
        Ogre::Entity* hull = scene->createEntity("abrams_hull_col.mesh");
        node->attachObject(hull);
        owners.emplace_back("v", "", "", "", 1, 3, 2, 100, false);
        const uint32_t owner = static_cast<uint32_t>(slots.size()) + 1;  // objects 1 and 2
        owners.back().objectId = owner;
        slots.push_back(registry->add(hull, &owners.back(), 3, 1, 2, owner, 0, 0));
    }
    scene->getRootSceneNode()->_update(true, false);

    RandomGenerator random;
    random.seed(17);
    const auto uniform = [&](float lo, float hi) { return lo + float(random.nextUnit()) * (hi - lo); };
    using SingleRay = bool (*)(DamageRegistry*, const Vector3&, const Vector3&, float&, Vector3&, float);
    const SingleRay single[] = {raycastMoveBlock, raycastProjBlock, raycastProjFloor, raycastBorder};
    const auto run = [&](bool perRay, const Vector3& origin, const Vector3& direction) {
        registry->setPerRayExtraction(perRay);
        std::vector<Outcome> out(10);
        uint32_t number = 0;
        out[0].hit = raycastDamageBodies(registry.get(), origin, direction, out[0].point, number, 1,
                                         out[0].distance);
        out[0].what = number;
        Ogre::Entity* entity = nullptr;
        out[1].hit = raycastForAI(registry.get(), origin, direction, out[1].point, entity, out[1].distance);
        out[1].what = reinterpret_cast<uintptr_t>(entity);
        out[2].hit = raycastBelow(registry.get(), origin, direction, out[2].point, out[2].distance);
        Outcome& floor = out[3];
        floor.hit = raycastFromTo(registry.get(), origin, direction, floor.point, floor.distance, number,
                                  floor.corners[0], floor.corners[1], floor.corners[2]);
        floor.what = number;
        for (int k = 0; k < 4; ++k) {
            out[4 + k].distance = -1.0f;
            out[4 + k].hit = single[k](registry.get(), origin, direction, out[4 + k].distance, out[4 + k].point,
                                       std::numeric_limits<float>::infinity());
        }
        out[8].hit = raycastAllDamageBodies(registry.get(), origin, direction, out[8].point, 999);
        return out;
    };
    std::vector<int> hits(10, 0);
    int nearHits = 0;
    for (int i = 0; i < 400; ++i) {
        // Half the rays aim at a hull, the rest anywhere; lengths vary so distances are not unit.
        const Vector3 origin(uniform(-170, 170), uniform(0.5f, 40), uniform(-170, 170));
        Vector3 direction;
        if (i % 2 == 0) {
            const Vector3 target(i % 4 == 0 ? 20 : -40, uniform(0.2f, 1.8f), i % 4 == 0 ? 30 : -10);
            direction = (target + Vector3(uniform(-2, 2), 0, uniform(-2, 2)) - origin).normalisedCopy();
        } else {
            direction = Vector3(uniform(-1, 1), uniform(-1, 0.2f), uniform(-1, 1)).normalisedCopy();
        }
        direction *= uniform(0.5f, 3.0f);
        const std::vector<Outcome> perRay = run(true, origin, direction);
        const std::vector<Outcome> cached = run(false, origin, direction);
        for (size_t k = 0; k < 9; ++k) {
            expectSame(cached[k], perRay[k], "ray " + std::to_string(i) + " kind " + std::to_string(k));
            hits[k] += perRay[k].hit;
        }
        // Looking only so far finds the same hit when it lies that near, and none nearer.
        const float within = uniform(0.0f, 60.0f);
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE("ray " + std::to_string(i) + " within " + std::to_string(within) + " map body " +
                         std::to_string(k));
            Outcome near;
            near.distance = -1.0f;
            near.hit = single[k](registry.get(), origin, direction, near.distance, near.point, within);
            const Outcome& full = cached[4 + k];
            if (full.hit && full.distance <= within) {
                ++nearHits;
                EXPECT_TRUE(near.hit);
                EXPECT_EQ(std::memcmp(&near.distance, &full.distance, sizeof(float)), 0);
                EXPECT_EQ(near.point, full.point);
            } else {
                EXPECT_FALSE(near.hit && near.distance <= within);
            }
        }
    }
    EXPECT_GT(nearHits, 50);
    // The comparison means something only where both forms hit.
    for (int k = 0; k < 9; ++k)
        EXPECT_GT(hits[k], 20) << "kind " << k;
    EXPECT_GT(registry->meshCache().meshCount(), 0u);
    registry.reset();
    creator.reset();
}

// The sphere pre-test of the cached damage-body ray never drops a body whose placed box (turned,
// unevenly scaled, mirrored) the ray meets, for rays of any length from inside, near and far, and
// it does drop most bodies far from the ray.
TEST(MeshRayCacheSphere, NeverDropsABoxTheRayMeets)
{
    MeshRayCache::Geometry geometry;
    geometry.nodes.resize(1);
    geometry.nodes[0].min = Vector3(-1.0f, 0.0f, -2.5f);
    geometry.nodes[0].max = Vector3(1.5f, 3.0f, 2.0f);
    const Ogre::AxisAlignedBox modelBox(geometry.nodes[0].min, geometry.nodes[0].max);
    RandomGenerator random;
    random.seed(5);
    const auto uniform = [&](float lo, float hi) { return lo + float(random.nextUnit()) * (hi - lo); };
    int met = 0, dropped = 0, missed = 0;
    for (int i = 0; i < 20000; ++i) {
        MeshRayCache::Placement body;
        body.geometry = &geometry;
        body.position = Vector3(uniform(-20, 20), uniform(-5, 5), uniform(-20, 20));
        body.orientation.FromAngleAxis(Ogre::Radian(uniform(0, 6.3f)),
                                       Vector3(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)).normalisedCopy());
        body.scale = Vector3(uniform(0.2f, 3), uniform(0.2f, 3), uniform(0.2f, 3)) * (i % 7 == 0 ? -1.0f : 1.0f);
        // Every fifth ray comes from far away, up to 900 units.
        const Vector3 origin =
            Vector3(uniform(-30, 30), uniform(-10, 10), uniform(-30, 30)) * (i % 5 == 4 ? 30.0f : 1.0f);
        // A third aim anywhere, a third near the body, a third at a corner of its placed box (on
        // the sphere), so grazing rays are common.
        const int corner = static_cast<int>(uniform(0, 7.99f));
        const Vector3& lo = geometry.nodes[0].min;
        const Vector3& hi = geometry.nodes[0].max;
        const Vector3 cornerAt = body.orientation * (Vector3(corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y,
                                                             corner & 4 ? hi.z : lo.z) *
                                                     body.scale) +
                                 body.position;
        const Vector3 aim = i % 3 == 0   ? Vector3(uniform(-30, 30), uniform(-10, 10), uniform(-30, 30))
                            : i % 3 == 1 ? body.position + Vector3(uniform(-4, 4), uniform(-4, 4), uniform(-4, 4))
                                         : cornerAt + Vector3(uniform(-0.1f, 0.1f), uniform(-0.1f, 0.1f),
                                                              uniform(-0.1f, 0.1f));
        const Ogre::Ray ray(origin, (aim - origin) * uniform(0.01f, 2.0f));
        // The same ray in the body's model space, against its model box.
        const Ogre::Quaternion back = body.orientation.Inverse();
        const Ogre::Ray local(back * (origin - body.position) / body.scale, back * ray.getDirection() / body.scale);
        const bool meets = Ogre::Math::intersects(local, modelBox).first;
        const bool may = MeshRayCache::mayMeet(body, ray);
        if (meets) {
            ++met;
            EXPECT_TRUE(may) << "ray " << i;
        } else if (i % 3 == 0) {
            ++missed;
            dropped += may ? 0 : 1;
        }
    }
    EXPECT_GT(met, 2000);
    // Of the rays aimed anywhere that miss, most are dropped.
    EXPECT_GT(dropped, missed * 3 / 4);
    // A body without geometry is never a candidate.
    MeshRayCache::Geometry empty;
    MeshRayCache::Placement none;
    none.geometry = &empty;
    EXPECT_FALSE(MeshRayCache::mayMeet(none, Ogre::Ray(Vector3::ZERO, Vector3::UNIT_Z)));
}

namespace {

// A closed cube of half size h, faces outward, on shared vertices with 16-bit indices.
Ogre::MeshPtr makeCube(const std::string& name, float h)
{
    std::vector<Vector3> vertices;
    std::vector<uint32_t> indices;
    for (int k = 0; k < 3; ++k) {
        for (float s : {1.0f, -1.0f}) {
            Vector3 n = Vector3::ZERO, u = Vector3::ZERO, v = Vector3::ZERO;
            n[k] = s;
            u[(k + 1) % 3] = 1.0f;
            v[(k + 2) % 3] = 1.0f;
            if (s < 0)
                std::swap(u, v);  // u x v is the outward normal
            const uint32_t first = static_cast<uint32_t>(vertices.size());
            for (const Vector3& c : {-u - v, u - v, u + v, -u + v})
                vertices.push_back((n + c) * h);
            indices.insert(indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
        }
    }
    return rayfixture::makeMesh(name, vertices, {{true, {}, indices, false}});
}

}  // namespace

// A crowd of moving bodies (cubes, one-sided squares, parts below their object, twins standing
// exactly on one another, bodies added and removed while the shots fly): while the bodies are held
// still, the damage-body ray through their tree gives bit for bit what trying every body gives,
// and nearly always what the scene query with per-ray extraction gives.
TEST(CrowdRays, TheStillBodiesTreeFindsWhatTryingEveryBodyFinds)
{
    HeadlessOgre engine;
    Ogre::SceneManager* scene = engine.root()->createSceneManager();
    SceneContext context(nullptr);
    auto registry = std::make_unique<DamageRegistry>(nullptr, scene, nullptr, nullptr, &context, nullptr);
    makeCube("crowd_cube", 1.0f);
    rayfixture::makeSquare("crowd_square", 1.5f);

    RandomGenerator random;
    random.seed(46);
    const auto uniform = [&](float lo, float hi) { return lo + float(random.nextUnit()) * (hi - lo); };
    struct Body {
        Ogre::SceneNode* node = nullptr;
        uint32_t slot = 0;
        uint32_t owner = 0;
        int twinOf = -1;  // stands exactly where that body stands
    };
    std::deque<GameObjectData> owners;
    std::vector<Body> bodies;
    const auto addBody = [&](Ogre::SceneNode* parent, uint32_t owner, const char* mesh,
                             const Vector3& position = Vector3::ZERO) {
        Body b;
        b.node = parent->createChildSceneNode(position);
        b.node->attachObject(scene->createEntity(mesh));
        owners.emplace_back("c", "", "", "", 1, 3, 2, 100, false);
        owners.back().objectId = owner;
        b.owner = owner;
        b.slot = registry->add(static_cast<Ogre::Entity*>(b.node->getAttachedObject(0)), &owners.back(), 3, 1, 2,
                               owner, 0, 0);
        bodies.push_back(b);
    };
    const auto meshOf = [](uint32_t i) { return i % 3 == 0 ? "crowd_square" : "crowd_cube"; };
    for (uint32_t i = 0; i < 150; ++i) {
        // Every fifth a part below the body before it, of the same owner; some a twin of the one
        // before it (both whole objects).
        const bool part = i % 5 == 4;
        const bool twin = i % 10 == 7;
        addBody(part ? bodies.back().node : scene->getRootSceneNode(), part ? bodies.back().owner : 10 + i,
                meshOf(twin ? i - 1 : i));
        if (twin)
            bodies.back().twinOf = static_cast<int>(i) - 1;
    }

    struct Shot {
        Vector3 origin, direction;
        uint32_t excluded;
    };
    struct Result {
        bool hit = false;
        uint32_t slot = 0;
        float distance = 0.0f;
        Vector3 point = Vector3::ZERO;
    };
    const auto cast = [&](const Shot& s, float within = std::numeric_limits<float>::infinity()) {
        Result r;
        r.hit = raycastDamageBodies(registry.get(), s.origin, s.direction, r.point, r.slot, s.excluded, r.distance,
                                    within);
        return r;
    };
    const auto moveAll = [&] {
        for (Body& b : bodies) {
            if (b.node->getParentSceneNode() != scene->getRootSceneNode())
                b.node->setPosition(uniform(-2, 2), uniform(0, 2), uniform(-2, 2));  // a part near its object
            else
                b.node->setPosition(uniform(-35, 35), uniform(0, 5), uniform(-35, 35));
            b.node->setOrientation(Ogre::Quaternion(Ogre::Radian(uniform(0, 6.3f)),
                                                    Vector3(uniform(-1, 1), 1, uniform(-1, 1)).normalisedCopy()));
            b.node->setScale(uniform(0.5f, 2), uniform(0.5f, 2), uniform(0.5f, 2));
        }
        for (Body& b : bodies) {
            if (b.twinOf < 0)
                continue;
            const Body& t = bodies[size_t(b.twinOf)];
            b.node->setPosition(t.node->getPosition());
            b.node->setOrientation(t.node->getOrientation());
            b.node->setScale(t.node->getScale());
        }
        scene->getRootSceneNode()->_update(true, false);  // the scene query reads world boxes
    };
    const auto aim = [&] {
        Shot s;
        s.origin = Vector3(uniform(-60, 60), uniform(-2, 15), uniform(-60, 60));
        const Body& target = bodies[size_t(uniform(0, float(bodies.size()) - 0.01f))];
        const Vector3 to = random.nextUnit() < 0.6 ? target.node->_getDerivedPosition() +
                                                         Vector3(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1))
                                                   : Vector3(uniform(-60, 60), uniform(-2, 8), uniform(-60, 60));
        s.direction = (to - s.origin).normalisedCopy() * uniform(0.3f, 4.0f);
        s.excluded = random.nextUnit() < 0.5 ? bodies[size_t(uniform(0, float(bodies.size()) - 0.01f))].owner : 999;
        return s;
    };

    int hits = 0, agree = 0, queried = 0, nearHits = 0;
    for (int round = 0; round < 6; ++round) {
        moveAll();
        std::vector<Shot> shots;
        for (int i = 0; i < 250; ++i)
            shots.push_back(aim());
        // Trying every body, then the scene query, then through the tree while held still.
        std::vector<Result> scan, query, tree, near;
        std::vector<float> reach;
        for (const Shot& s : shots)
            scan.push_back(cast(s));
        registry->setPerRayExtraction(true);
        for (const Shot& s : shots)
            query.push_back(cast(s));
        registry->setPerRayExtraction(false);
        {
            DamageRegistry::StillBodies still(*registry);
            ASSERT_NE(registry->bodyTree(), nullptr);
            for (const Shot& s : shots)
                tree.push_back(cast(s));
            // A shot looks only as far as it flies in a tick.
            for (const Shot& s : shots) {
                reach.push_back(uniform(0.0f, 30.0f));
                near.push_back(cast(s, reach.back()));
            }
        }
        EXPECT_EQ(registry->bodyTree(), nullptr);
        for (size_t i = 0; i < shots.size(); ++i) {
            SCOPED_TRACE("round " + std::to_string(round) + " shot " + std::to_string(i));
            if (scan[i].hit && scan[i].distance <= reach[i]) {
                ++nearHits;
                EXPECT_TRUE(near[i].hit);
                EXPECT_EQ(near[i].slot, scan[i].slot);
                EXPECT_EQ(std::memcmp(&near[i].distance, &scan[i].distance, sizeof(float)), 0);
            } else {
                EXPECT_FALSE(near[i].hit && near[i].distance <= reach[i]);
            }
            ASSERT_EQ(tree[i].hit, scan[i].hit);
            EXPECT_EQ(tree[i].slot, scan[i].slot);
            EXPECT_EQ(std::memcmp(&tree[i].distance, &scan[i].distance, sizeof(float)), 0);
            EXPECT_EQ(tree[i].point, scan[i].point);
            if (!scan[i].hit)
                continue;
            ++hits;
            EXPECT_NE(registry->getEntry(tree[i].slot)->ownerId, shots[i].excluded);
            // The scene query's boxes are the engine's own: a ray grazing a box may fall either
            // side of it in the two, so they are held to agree on nearly every shot.
            if (query[i].hit && std::abs(query[i].distance - scan[i].distance) <=
                                    1e-4f * std::max(1.0f, scan[i].distance))
                ++agree;
        }
        queried += static_cast<int>(std::count_if(scan.begin(), scan.end(), [](const Result& r) { return r.hit; }));
    }
    EXPECT_GT(hits, 400);
    EXPECT_GT(nearHits, 100);
    EXPECT_GE(agree, queried * 98 / 100);

    // Area damage held still takes the same bodies as the walk over every slot.
    struct Blast {
        Vector3 centre;
        float radius;
        int32_t team;
        bool fade, friendly;
    };
    std::vector<Blast> blasts;
    for (int i = 0; i < 60; ++i)
        blasts.push_back({Vector3(uniform(-40, 40), uniform(-1, 6), uniform(-40, 40)), uniform(0.5f, 15.0f),
                          i % 3 == 0 ? 2 : 1, i % 2 == 0, i % 5 == 0});
    const auto blastAll = [&](bool held) {
        for (const Body& b : bodies) {
            registry->getEntry(b.slot)->damageTaken = 0.0f;
            registry->getEntry(b.slot)->lastAttackerId = -1;
        }
        std::unique_ptr<DamageRegistry::StillBodies> still;
        if (held)
            still = std::make_unique<DamageRegistry::StillBodies>(*registry);
        for (size_t i = 0; i < blasts.size(); ++i)
            registry->applyAreaDamage(blasts[i].centre, blasts[i].radius, 10.0f, 2, &blasts[i].team, blasts[i].fade,
                                      blasts[i].friendly, static_cast<int32_t>(i));
        std::vector<std::pair<float, int32_t>> taken;
        for (const Body& b : bodies)
            taken.emplace_back(registry->getEntry(b.slot)->damageTaken, registry->getEntry(b.slot)->lastAttackerId);
        return taken;
    };
    const auto walked = blastAll(false);
    EXPECT_EQ(blastAll(true), walked);
    EXPECT_GT(std::count_if(walked.begin(), walked.end(), [](const auto& t) { return t.first > 0.0f; }), 20);

    // Bodies come and go while held: an added one is found, a removed one is not.
    moveAll();
    const Body& target = bodies[20];
    const Shot at{target.node->_getDerivedPosition() + Vector3(0, 60, 0), Vector3::NEGATIVE_UNIT_Y, 999};
    DamageRegistry::StillBodies still(*registry);
    const Result before = cast(at);
    ASSERT_TRUE(before.hit);
    addBody(scene->getRootSceneNode(), 500, "crowd_cube", at.origin - Vector3(0, 5, 0));
    const Result added = cast(at);
    ASSERT_TRUE(added.hit);
    EXPECT_EQ(added.slot, bodies.back().slot);
    registry->remove(bodies.back().slot);
    const Result removed = cast(at);
    EXPECT_EQ(removed.slot, before.slot);
    EXPECT_EQ(removed.distance, before.distance);
}
