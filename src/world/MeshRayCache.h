#pragma once
// Collision-mesh triangles read out of the engine's buffers once per mesh, with a bounding-volume
// hierarchy, so a ray costs a tree walk instead of a copy of the whole mesh. Each triangle that
// the walk reaches is tested in world space exactly as a fresh extraction would test it, so both
// give the same hits.
#include "world/BoxTree.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMesh.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Ogre {
class Entity;
}

class MeshRayCache {
public:
    // A mesh's vertices and whole triangles, transformed as vertex -> orientation * (v * scale) +
    // position. Sub-meshes on shared vertices share one copy; indices of 16 or 32 bits; a trailing
    // partial triangle and triangles with an index beyond the vertices are dropped.
    static void extract(const Ogre::Mesh& mesh, const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                        const Ogre::Vector3& scale, std::vector<Ogre::Vector3>& vertices,
                        std::vector<uint32_t>& indices);

    // The front-face test over a list of world-space triangles. A hit replaces closest when closest
    // is negative or the hit is strictly nearer; true when one did, with its triangle number.
    static bool intersectTriangles(const Ogre::Ray& ray, const std::vector<Ogre::Vector3>& vertices,
                                   const std::vector<uint32_t>& indices, float& closest, uint32_t& triangle);

    struct Geometry {
        using Node = BoxTreeNode;  // slightly padded; a leaf's items are triangles
        std::vector<Ogre::Vector3> vertices;  // model space
        std::vector<uint32_t> indices;
        std::vector<uint32_t> order;  // triangle numbers in leaf order
        std::vector<Node> nodes;
        Ogre::AxisAlignedBox box;  // the model-space box of every vertex
    };

    // A body placed for one ray: where its mesh stands in the world.
    struct Placement {
        const Geometry* geometry = nullptr;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
        // The geometry's vertices already placed (as the transform above places them), or null.
        const Ogre::Vector3* world = nullptr;
    };

    // The geometry of a mesh, extracted on first use.
    const Geometry& geometry(const Ogre::MeshPtr& mesh);
    // The entity's mesh at its parent node's world position and orientation and the node's own
    // scale; false when the entity hangs on no node.
    bool place(Ogre::Entity* entity, Placement& out);
    // As place, with the vertices placed once and kept while the entity stays where it is: for
    // the map's bodies, which never move.
    bool placeStill(Ogre::Entity* entity, Placement& out);
    // The placed mesh's world box (padded like the tree).
    static Ogre::AxisAlignedBox worldBox(const Placement& body);
    // False only when the ray surely misses the placed mesh: it passes outside the sphere around
    // the mesh's turned and scaled box. One rotation instead of worldBox's eight, for the many
    // bodies far from a ray.
    static bool mayMeet(const Placement& body, const Ogre::Ray& ray);
    // As intersectTriangles over the placed mesh, ties going to the lower triangle number; the
    // hit triangle's world corners on a hit. Parts of the mesh farther along the ray than within
    // are skipped: a hit that far may be missed, a nearer one never is.
    static bool intersect(const Placement& body, const Ogre::Ray& ray, float& closest, uint32_t& triangle,
                          Ogre::Vector3 corners[3], float within = std::numeric_limits<float>::infinity());

    // A body met by a ray, for the nearest-box-first searches; reused from ray to ray.
    struct Candidate {
        float entry = 0.0f;  // ray parameter where the ray enters its world box
        uint32_t number = 0;  // damage slot or floor index
        Placement body;
    };
    std::vector<Candidate>& candidates() { return mCandidates; }

    size_t meshCount() const { return mMeshes.size(); }
    void clear()
    {
        mStill.clear();
        mMeshes.clear();
    }

private:
    struct Held {
        Ogre::MeshPtr mesh;  // keeps the pointer key from being reused
        Geometry geometry;
    };
    std::unordered_map<const Ogre::Mesh*, std::unique_ptr<Held>> mMeshes;
    struct Still {
        Placement placement;
        std::vector<Ogre::Vector3> world;
    };
    std::unordered_map<const Ogre::Entity*, Still> mStill;
    std::vector<Candidate> mCandidates;
};
