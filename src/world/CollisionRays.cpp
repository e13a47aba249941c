#include "world/CollisionRays.h"

#include "core/SceneContext.h"
#include "world/BoxTree.h"
#include "world/DamageRegistry.h"
#include "world/MeshRayCache.h"
#include "world/SceneCreator.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreNode.h>
#include <OgreSceneQuery.h>
#include <OgreSphere.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>
#include <limits>
#include <tuple>

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

// still: the entity is one of the map's bodies, which never move.
bool meshRay(DamageRegistry* registry, Entity* entity, const Ogre::Ray& ray, float& closest, Vector3 corners[3],
             bool still = false, float within = std::numeric_limits<float>::infinity())
{
    if (!registry || registry->perRayExtraction())
        return extractedMeshRay(entity, ray, closest, corners);
    MeshRayCache::Placement body;
    MeshRayCache& cache = registry->meshCache();
    if (!(still ? cache.placeStill(entity, body) : cache.place(entity, body)))
        return false;
    uint32_t triangle = 0;
    return MeshRayCache::intersect(body, ray, closest, triangle, corners, within);
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

// The entity is in the scene and the query mask would see it.
bool visible(Entity* entity, uint32_t mask)
{
    return entity && (entity->getQueryFlags() & mask) && entity->isInScene();
}

// Adds the placed body as a candidate when the ray meets its world box (box, or computed).
void addPlaced(MeshRayCache& cache, const MeshRayCache::Placement& body, const Ogre::AxisAlignedBox* box,
               uint32_t number, const Ogre::Ray& ray)
{
    if (!MeshRayCache::mayMeet(body, ray))
        return;
    const auto enter = Ogre::Math::intersects(ray, box ? *box : MeshRayCache::worldBox(body));
    if (!enter.first)
        return;
    MeshRayCache::Candidate c;
    c.body = body;
    c.entry = enter.second;
    c.number = number;
    cache.candidates().push_back(c);
}

// Adds the entity as a candidate when it is in the scene, the query mask would see it and the ray
// meets its world box.
void addCandidate(MeshRayCache& cache, Entity* entity, uint32_t mask, uint32_t number, const Ogre::Ray& ray,
                  bool still = false)
{
    MeshRayCache::Placement body;
    if (visible(entity, mask) && (still ? cache.placeStill(entity, body) : cache.place(entity, body)))
        addPlaced(cache, body, nullptr, number, ray);
}

// A body the damage-body rays may hit: registered, collidable and not the shooter's.
bool eligible(const DamageEntry& e, uint32_t excludedOwner)
{
    return !e.free && e.active && e.collidable == 1 && e.ownerId != excludedOwner;
}

// Every registered body a candidate, nearest box first.
bool scanDamageBodies(DamageRegistry* registry, const Ogre::Ray& ray, uint32_t excludedOwner, Vector3& point,
                      uint32_t& slot, float& distance)
{
    MeshRayCache& cache = registry->meshCache();
    cache.candidates().clear();
    const std::vector<DamageEntry>& entries = registry->entries();
    for (uint32_t i = 0; i < entries.size(); ++i)
        if (eligible(entries[i], excludedOwner))
            addCandidate(cache, entries[i].entity, 1, i, ray);
    return refineCandidates(cache.candidates(), ray, point, distance,
                            [&](uint32_t number, const Vector3*) { slot = number; });
}

// One entry of the tree search's queue: a tree node or a candidate body, keyed by where the ray
// enters its box. A node goes before a body at the same key, and bodies at one key go in slot
// order, so bodies leave the queue in the order of scanDamageBodies' sorted list.
struct Step {
    float key;
    uint32_t body;  // 0 a node, 1 a body
    uint32_t slot;  // a body's slot
    uint32_t item;  // node index or candidate index
    bool operator>(const Step& o) const
    {
        return std::tie(key, body, slot, item) > std::tie(o.key, o.body, o.slot, o.item);
    }
};

// scanDamageBodies through the tree over the still bodies: a node's box holds the boxes of the
// bodies below it, so it enters the queue no later than they would, and the search stops where
// the scan stops, at the first box beyond the nearest hit.
bool treeDamageBodies(DamageRegistry* registry, const DamageRegistry::BodyTree& tree, const Ogre::Ray& ray,
                      uint32_t excludedOwner, float within, Vector3& point, uint32_t& slot, float& distance)
{
    MeshRayCache& cache = registry->meshCache();
    std::vector<MeshRayCache::Candidate>& candidates = cache.candidates();
    candidates.clear();
    static std::vector<Step> queue;  // reused: the searches are not re-entrant
    queue.clear();
    const auto push = [&](const Step& step) {
        queue.push_back(step);
        std::push_heap(queue.begin(), queue.end(), std::greater<Step>());
    };
    const std::vector<DamageEntry>& entries = registry->entries();
    // A body of the tree stands where it stood when the tree was built: its placement and box
    // are those place and worldBox would give now.
    const auto consider = [&](uint32_t s, const DamageRegistry::BodyTree::Body* still) {
        if (s >= entries.size() || !eligible(entries[s], excludedOwner))
            return;
        const size_t before = candidates.size();
        if (!still)
            addCandidate(cache, entries[s].entity, 1, s, ray);
        else if (visible(entries[s].entity, 1))
            addPlaced(cache, still->placement, &still->box, s, ray);
        if (candidates.size() > before)
            push({candidates.back().entry, 1, s, static_cast<uint32_t>(before)});
    };
    const auto enterNode = [&](uint32_t index) {
        const BoxTreeNode& node = tree.nodes[index];
        float entry = 0.0f;
        // Slightly early: rounding must never put a node after a body below it.
        if (enterBox(node.min, node.max, ray.getOrigin(), ray.getDirection(), entry))
            push({entry - entry * 1e-5f, 0, 0, index});
    };
    for (uint32_t s : tree.loose)
        consider(s, nullptr);
    if (!tree.nodes.empty())
        enterNode(0);
    float closest = -1.0f;
    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), std::greater<Step>());
        const Step step = queue.back();
        queue.pop_back();
        if ((closest >= 0.0f && step.key > closest) || step.key > within)
            break;
        if (step.body) {
            uint32_t triangle = 0;
            Vector3 corners[3];
            if (MeshRayCache::intersect(candidates[step.item].body, ray, closest, triangle, corners, within))
                slot = step.slot;
            continue;
        }
        const BoxTreeNode& node = tree.nodes[step.item];
        if (node.count > 0) {
            for (uint32_t i = node.first; i < node.first + node.count; ++i)
                consider(tree.bodies[i].slot, &tree.bodies[i]);
        } else {
            enterNode(step.item + 1);
            enterNode(node.first);
        }
    }
    distance = closest;
    if (closest < 0.0f)
        return false;
    point = ray.getPoint(closest);
    return true;
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
                   float& closest, Vector3& point, float within)
{
    if (!entity)
        return false;
    const Ogre::Ray ray(origin, direction);
    Vector3 corners[3];
    if (!meshRay(registry, entity, ray, closest, corners, true, within))
        return false;
    point = ray.getPoint(closest);
    return true;
}

SceneContext* contextOf(DamageRegistry* registry)
{
    return registry ? registry->sceneContext() : nullptr;
}

}  // namespace

bool raycastDamageBodies(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, Vector3& point,
                         uint32_t& slot, uint32_t excludedOwner, float& distance, float within)
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
    const DamageRegistry::BodyTree* tree = registry->bodyTree();
    if (!tree)
        return scanDamageBodies(registry, ray, excludedOwner, point, slot, distance);
    const bool hit = treeDamageBodies(registry, *tree, ray, excludedOwner, within, point, slot, distance);
#ifndef NDEBUG
    // The tree is a shortcut only: trying every body must give the same, bit for bit, as far as
    // the caller looks.
    Vector3 scanPoint = point;
    uint32_t scanSlot = 0;
    float scanDistance = 0.0f;
    const bool scanHit = scanDamageBodies(registry, ray, excludedOwner, scanPoint, scanSlot, scanDistance);
    if (scanHit && scanDistance <= within)
        assert(hit && scanSlot == slot && std::memcmp(&scanDistance, &distance, sizeof distance) == 0 &&
               scanPoint == point);
    else
        assert(!hit || !(distance <= within));
#endif
    return hit;
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
                addCandidate(cache, e, 0xFFFFFFFF, k + 1, ray, true);
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
                      Vector3& point, float within)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->movementBlocker, origin, direction, closest, point, within);
}

bool raycastProjBlock(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                      Vector3& point, float within)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->projectileBlocker, origin, direction, closest, point, within);
}

bool raycastProjFloor(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                      Vector3& point, float within)
{
    SceneContext* context = contextOf(registry);
    return context && singleMeshRay(registry, context->projectileFloor, origin, direction, closest, point, within);
}

bool raycastBorder(DamageRegistry* registry, const Vector3& origin, const Vector3& direction, float& closest,
                   Vector3& point, float within)
{
    SceneContext* context = contextOf(registry);
    return context &&
           singleMeshRay(registry, context->borderCollisionEntity, origin, direction, closest, point, within);
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
