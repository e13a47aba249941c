#pragma once
// Every hit, ground and line test of the world: rays against the triangles of collision meshes.
// Each takes the play's damage registry, whose ray query, floors, map bodies and mesh cache they
// share. Distances are ray parameters (world units for a unit direction); a negative closest
// distance means nothing has been hit yet. Main thread only: not re-entrant.
// A ray given `within` looks no farther than that: a hit at most that far is the one the
// unbounded ray finds, bit for bit; beyond it, a hit may be missed or another reported, so the
// caller uses only hits at most that far (a shot looks only as far as it flies in the tick).
// The scene-query searches (raycastForAI, raycastBelow, and the others when switched to per-ray
// extraction) see each entity where the last scene-graph update (the last frame) put its box;
// a headless caller updates the graph itself (root node _update) after moving things.
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace Ogre {
class Entity;
class Mesh;
}
class DamageRegistry;

// Nearest registered damage body (query mask 1) whose owner id is not excludedOwner (a shot's own
// carrier, hull and parts alike); slot 0 when none.
bool raycastDamageBodies(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                         Ogre::Vector3& point, uint32_t& slot, uint32_t excludedOwner, float& distance,
                         float within = std::numeric_limits<float>::infinity());
// Nearest entity of any kind; entity null when none.
bool raycastForAI(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                  Ogre::Vector3& point, Ogre::Entity*& entity, float& distance);
// Nearest entity of any kind.
bool raycastBelow(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                  Ogre::Vector3& point, float& distance);
// Nearest of the four movement floors: its number 1 to 4 (0 when none) and the hit triangle.
bool raycastToPolygon(DamageRegistry* registry, const Ogre::Ray& ray, Ogre::Vector3& point, float& distance,
                      uint32_t& floor, Ogre::Vector3& cornerA, Ogre::Vector3& cornerB, Ogre::Vector3& cornerC);
// The caller's cached floor triangle first (floor number and corners untouched on its hit), then
// the floors, which refresh the cached triangle.
bool raycastFromTo(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                   Ogre::Vector3& point, float& distance, uint32_t& floor, Ogre::Vector3& cornerA,
                   Ogre::Vector3& cornerB, Ogre::Vector3& cornerC);
// One entity's triangles, extracted for this ray; true when a hit replaced closest.
bool raycastToMesh(Ogre::Entity* entity, const Ogre::Ray& ray, Ogre::Vector3& point, float& closest);
// The same through the registry's mesh cache (or per ray when the registry is switched to it).
bool raycastToMesh(DamageRegistry* registry, Ogre::Entity* entity, const Ogre::Ray& ray, Ogre::Vector3& point,
                   float& closest);
// The map's single collision meshes; false at once when the map has none.
bool raycastMoveBlock(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                      float& closest, Ogre::Vector3& point, float within = std::numeric_limits<float>::infinity());
bool raycastProjBlock(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                      float& closest, Ogre::Vector3& point, float within = std::numeric_limits<float>::infinity());
bool raycastProjFloor(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                      float& closest, Ogre::Vector3& point, float within = std::numeric_limits<float>::infinity());
bool raycastBorder(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                   float& closest, Ogre::Vector3& point, float within = std::numeric_limits<float>::infinity());
// The first damage body in slot order (not the nearest) that the ray hits, other than the bodies
// of excludedOwner (an object id); point is the world position of that body's node.
bool raycastAllDamageBodies(DamageRegistry* registry, const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                            Ogre::Vector3& point, uint32_t excludedOwner);
// The mesh's triangles in world space: orientation * (v * scale) + position; three indices per
// triangle (a trailing partial triangle of a sub-mesh is dropped).
void getMeshInformation(const Ogre::Mesh* mesh, size_t& vertexCount, std::vector<Ogre::Vector3>& vertices,
                        size_t& indexCount, std::vector<uint32_t>& indices, const Ogre::Vector3& position,
                        const Ogre::Quaternion& orientation, const Ogre::Vector3& scale);
