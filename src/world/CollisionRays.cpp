#include "world/CollisionRays.h"

#include "core/SceneContext.h"
#include "world/DamageRegistry.h"
#include "world/MeshRayCache.h"
#include "world/SceneCreator.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreNode.h>
#include <OgreSceneQuery.h>
#include <OgreSphere.h>

#include <algorithm>
#include <limits>

namespace {

using Ogre::Entity;
using Ogre::Vector3;

// No slot excluded by the entity lookup: the damage-body rays exclude by owner.
constexpr uint32_t kNoSlot = std::numeric_limits<uint32_t>::max();

// The entity's triangles read out of its buffers for this ray alone.
bool extractedMeshRay(Entity* entity, const Ogre::Ray& ray, float& closest, Vector3 corners[3])
{
    const Ogre::Node* node = entity ? entity->getParentNode() : nullptr;
    if (!node || !entity->getMesh())
        return false;
    size_t vertexCount = 0, indexCount = 0;
    std::vector<Vector3> vertices;
    std::vector<uint32_t> indices;
    getMeshInformation(entity->getMesh().get(), vertexCount, vertices, indexCount, indices,
                       node->_getDerivedPosition(), node->_getDerivedOrientation(), node->getScale());
    uint32_t triangle = 0;
    if (!MeshRayCache::intersectTriangles(ray, vertices, indices, closest, triangle))
        return false;
    for (int k = 0; k < 3; ++k)
        corners[k] = vertices[indices[3 * triangle + k]];
    return true;
}

bool meshRay(DamageRegistry* registry, Entity* entity, const Ogre::Ray& ray, float& closest, Vector3 corners[3])
{
    if (!registry || registry->perRayExtraction())
        return extractedMeshRay(entity, ray, closest, corners);
    MeshRayCache::Placement body;
    if (!registry->meshCache().place(entity, body))
        return false;
    uint32_t triangle = 0;
    return MeshRayCache::intersect(body, ray, closest, triangle, corners);
}

// The sorted scene query, refined to triangles entity by entity until no nearer box can follow.
// accept(entity) filters; onHit(entity, corners) records each entity that gave a new closest hit.
template <class Accept, class OnHit>
bool queryAndRefine(DamageRegistry* registry, const Ogre::Ray& ray, uint32_t mask, Vector3& point, float& distance,
                    Accept accept, OnHit onHit)
{
    Ogre::RaySceneQuery* query = registry ? registry->rayQuery() : nullptr;
    if (!query)
        return false;
    query->setRay(ray);
    query->setSortByDistance(true, 0);
    query->setQueryMask(mask);
    const Ogre::RaySceneQueryResult& results = query->execute();
    if (results.empty())
        return false;
    float closest = -1.0f;
    distance = closest;
    for (const Ogre::RaySceneQueryResultEntry& result : results) {
        if (closest >= 0.0f && result.distance > closest)
            break;
        if (!result.movable || result.movable->getMovableType() != "Entity")
            continue;
        Entity* entity = static_cast<Entity*>(result.movable);
        if (!accept(entity))
            continue;
        Vector3 corners[3];
        if (meshRay(registry, entity, ray, closest, corners))
            onHit(entity, corners);
    }
    distance = closest;
    if (closest < 0.0f)
        return false;
    point = ray.getPoint(closest);
    return true;
}

// The same search over bodies known in advance, nearest world box first.
template <class OnHit>
bool refineCandidates(std::vector<MeshRayCache::Candidate>& candidates, const Ogre::Ray& ray, Vector3& point,
                      float& distance, OnHit onHit)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const MeshRayCache::Candidate& a, const MeshRayCache::Candidate& b) { return a.entry < b.entry; });
    float closest = -1.0f;
    for (const MeshRayCache::Candidate& c : candidates) {
        if (closest >= 0.0f && c.entry > closest)
            break;
        uint32_t triangle = 0;
        Vector3 corners[3];
        if (MeshRayCache::intersect(c.body, ray, closest, triangle, corners))
            onHit(c.number, corners);
    }
    distance = closest;
    if (closest < 0.0f)
        return false;
    point = ray.getPoint(closest);
    return true;
}

// Adds the entity as a candidate when it is in the scene, the query mask would see it and the ray
// meets its world box.
void addCandidate(MeshRayCache& cache, Entity* entity, uint32_t mask, uint32_t number, const Ogre::Ray& ray)
{
    if (!entity || !(entity->getQueryFlags() & mask) || !entity->isInScene())
        return;
    MeshRayCache::Candidate c;
    if (!cache.place(entity, c.body) || !MeshRayCache::mayMeet(c.body, ray))
        return;
    const Ogre::AxisAlignedBox box = MeshRayCache::worldBox(c.body);
    const auto enter = Ogre::Math::intersects(ray, box);
    if (!enter.first)
        return;
    c.entry = enter.second;
    c.number = number;
    cache.candidates().push_back(c);
}

int floorNumber(DamageRegistry* registry, Entity* entity)
{
    SceneCreator* creator = registry->sceneCreator();
    if (!creator || !entity)
        return 0;
    for (int k = 0; k < 4; ++k)
        if (creator->moveFloor(k) == entity)
            return k + 1;
    return 0;
}

bool singleMeshRay(DamageRegistry* registry, Entity* entity, const Vector3& origin, const Vector3& direction,
                   float& closest, Vector3& point)
{
    if (!entity)
        return false;
    return raycastToMesh(registry, entity, Ogre::Ray(origin, direction), point, closest);
}

SceneContext* contextOf(DamageRegistry* registry)
{
    return registry ? registry->sceneContext() : nullptr;
}

}  // namespace

bool raycastDamageBodies(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                         uint32_t& slot, uint32_t excludedOwner, float& distance)
{
    slot = 0;
    if (!registry || !registry->rayQuery())
        return false;
    const Ogre::Ray ray(origin, direction);
    if (registry->perRayExtraction()) {
        return queryAndRefine(
            registry, ray, 1, point, distance,
            [&](Entity* e) {
                uint32_t s = 0;
                return registry->findByEntity(e, kNoSlot, s) && registry->getEntry(s)->ownerId != excludedOwner;
            },
            [&](Entity* e, const Vector3*) { registry->findByEntity(e, kNoSlot, slot); });
    }
    MeshRayCache& cache = registry->meshCache();
    cache.candidates().clear();
    const std::vector<DamageEntry>& entries = registry->entries();
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const DamageEntry& e = entries[i];
        if (!e.free && e.active && e.collidable == 1 && e.ownerId != excludedOwner)
            addCandidate(cache, e.entity, 1, i, ray);
    }
    return refineCandidates(cache.candidates(), ray, point, distance,
                            [&](uint32_t number, const Vector3*) { slot = number; });
}

bool raycastForAI(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                  Entity*& entity, float& distance)
{
    entity = nullptr;
    return queryAndRefine(
        registry, Ogre::Ray(origin, direction), 0xFFFFFFFF, point, distance, [](Entity*) { return true; },
        [&](Entity* e, const Vector3*) { entity = e; });
}

bool raycastBelow(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                  float& distance)
{
    return queryAndRefine(
        registry, Ogre::Ray(origin, direction), 0xFFFFFFFF, point, distance, [](Entity*) { return true; },
        [](Entity*, const Vector3*) {});
}

bool raycastToPolygon(DamageRegistry* registry, const Ogre::Ray& ray, Vector3& point, float& distance,
                      uint32_t& floor, Vector3& cornerA, Vector3& cornerB, Vector3& cornerC)
{
    if (!registry || !registry->rayQuery())
        return false;
    const auto record = [&](uint32_t number, const Vector3* corners) {
        floor = number;
        cornerA = corners[0];
        cornerB = corners[1];
        cornerC = corners[2];
    };
    floor = 0;
    if (registry->perRayExtraction()) {
        return queryAndRefine(
            registry, ray, 0xFFFFFFFF, point, distance, [&](Entity* e) { return floorNumber(registry, e) != 0; },
            [&](Entity* e, const Vector3* corners) { record(floorNumber(registry, e), corners); });
    }
    MeshRayCache& cache = registry->meshCache();
    cache.candidates().clear();
    if (SceneCreator* creator = registry->sceneCreator()) {
        for (int k = 0; k < 4; ++k) {
            Entity* e = creator->moveFloor(k);
            if (e && floorNumber(registry, e) == k + 1)  // the same body twice counts once
                addCandidate(cache, e, 0xFFFFFFFF, k + 1, ray);
        }
    }
    return refineCandidates(cache.candidates(), ray, point, distance, record);
}

bool raycastFromTo(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                   float& distance, uint32_t& floor, Vector3& cornerA, Vector3& cornerB, Vector3& cornerC)
{
    const Ogre::Ray ray(origin, direction);
    const auto cached = Ogre::Math::intersects(ray, cornerA, cornerB, cornerC, true, false);
    if (cached.first) {
        distance = cached.second;
        point = ray.getPoint(cached.second);
        return true;
    }
    return raycastToPolygon(registry, ray, point, distance, floor, cornerA, cornerB, cornerC);
}

bool raycastToMesh(Entity* entity, const Ogre::Ray& ray, Vector3& point, float& closest)
{
    Vector3 corners[3];
    if (!extractedMeshRay(entity, ray, closest, corners))
        return false;
    point = ray.getPoint(closest);
    return true;
}

bool raycastToMesh(DamageRegistry* registry, Entity* entity, const Ogre::Ray& ray, Vector3& point, float& closest)
{
    Vector3 corners[3];
    if (!meshRay(registry, entity, ray, closest, corners))
        return false;
    point = ray.getPoint(closest);
    return true;
}

bool raycastMoveBlock(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                      Vector3& point)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->movementBlocker, origin, direction, closest, point);
}

bool raycastProjBlock(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                      Vector3& point)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->projectileBlocker, origin, direction, closest, point);
}

bool raycastProjFloor(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                      Vector3& point)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->projectileFloor, origin, direction, closest, point);
}

bool raycastBorder(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                   Vector3& point)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->borderCollisionEntity, origin, direction, closest, point);
}

bool raycastAllDamageBodies(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                            uint32_t excludedOwner)
{
    if (!registry)
        return false;
    const Ogre::Ray ray(origin, direction);
    float closest = -10.0f;
    const std::vector<DamageEntry>& entries = registry->entries();
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const DamageEntry& e = entries[i];
        const Ogre::Node* node = e.entity ? e.entity->getParentNode() : nullptr;
        if (e.free || !e.active || e.ownerId == excludedOwner || !node)
            continue;
        Ogre::Sphere& sphere = registry->scratchSphere();
        sphere.setCenter(node->_getDerivedPosition());
        sphere.setRadius(e.entity->getBoundingRadius());
        if (!Ogre::Math::intersects(ray, sphere, true).first)
            continue;
        Vector3 corners[3];
        if (meshRay(registry, e.entity, ray, closest, corners)) {
            // The world position, also for a part whose node hangs below its object's node.
            point = node->_getDerivedPosition();
            return true;
        }
    }
    return false;
}

void getMeshInformation(const Ogre::Mesh* mesh, size_t& vertexCount, std::vector<Vector3>& vertices,
                        size_t& indexCount, std::vector<uint32_t>& indices, const Vector3& position,
                        const Ogre::Quaternion& orientation, const Vector3& scale)
{
    vertices.clear();
    indices.clear();
    if (mesh)
        MeshRayCache::extract(*mesh, position, orientation, scale, vertices, indices);
    vertexCount = vertices.size();
    indexCount = indices.size();
}
