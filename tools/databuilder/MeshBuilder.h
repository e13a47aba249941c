#pragma once
// Builds the game's meshes from simple shapes (boxes, cylinders, spheres, grids) and saves them
// as engine mesh files. Each material gets its own sub-mesh.
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <map>
#include <string>
#include <vector>

class MeshBuilder {
public:
    struct Vertex {
        Ogre::Vector3 position;
        Ogre::Vector3 normal;
        Ogre::Vector2 uv;
        uint16_t bone = 0;  // of the skeleton, when the mesh has one
    };

    // A box centred at `centre`; uvScale repeats the texture per world unit when > 0.
    void addBox(const std::string& material, const Ogre::Vector3& centre, const Ogre::Vector3& size,
                float uvScale = 0.0f);
    // An upright cylinder standing on `base`; capped top and bottom.
    void addCylinder(const std::string& material, const Ogre::Vector3& base, float radius, float height,
                     int segments = 16, bool caps = true);
    // A cone (or truncated cone) standing on `base`.
    void addCone(const std::string& material, const Ogre::Vector3& base, float radiusBottom, float radiusTop,
                 float height, int segments = 16);
    void addSphere(const std::string& material, const Ogre::Vector3& centre, float radius, int rings = 12,
                   int segments = 16, float squashY = 1.0f);
    // A flat grid on the XZ plane at height y, facing up, tiled `tiles` times.
    void addGrid(const std::string& material, float sizeX, float sizeZ, float y, int divisions, float tiles);
    // A ring wall around the origin (inner face and outer face).
    void addRingWall(const std::string& material, float radius, float height, int segments, float y = 0.0f);
    // A flat disc facing up; u runs from the centre to the rim `rings` times, v around it.
    void addDisc(const std::string& material, const Ogre::Vector3& centre, float radius, int segments,
                 float rings);
    // A quad from four corners (counter-clockwise seen from the front).
    void addQuad(const std::string& material, const Ogre::Vector3& a, const Ogre::Vector3& b,
                 const Ogre::Vector3& c, const Ogre::Vector3& d);
    // The same with a texture coordinate per corner.
    void addQuad(const std::string& material, const Ogre::Vector3& a, const Ogre::Vector3& b,
                 const Ogre::Vector3& c, const Ogre::Vector3& d, const Ogre::Vector2& ta, const Ogre::Vector2& tb,
                 const Ogre::Vector2& tc, const Ogre::Vector2& td);

    // Another builder's triangles, turned and then moved, into the same materials; `bone` moves them
    // when the mesh has a skeleton.
    void append(const MeshBuilder& other, const Ogre::Quaternion& rotation, const Ogre::Vector3& offset,
                uint16_t bone = 0);

    // A skeleton with keyframed animations; save() then also writes "<skeletonName>" beside the mesh
    // and links the mesh to it. Each vertex follows the bone it was appended with (bone 0 by default).
    struct Key {
        float time;
        Ogre::Vector3 translate;
        Ogre::Quaternion rotate;
    };
    struct Track {
        uint16_t bone;
        std::vector<Key> keys;
    };
    struct Animation {
        std::string name;
        float length;
        std::vector<Key> keys;      // of bone 0
        std::vector<Track> tracks = {};  // of the other bones
    };
    struct Bone {
        std::string name;
        int parent;              // an earlier bone's index; -1 for the root
        Ogre::Vector3 position;  // the pivot, in mesh space
    };
    // One bone, "Root", moving every vertex.
    void setSkeleton(const std::string& skeletonName, const std::vector<Animation>& animations);
    void setSkeleton(const std::string& skeletonName, const std::vector<Bone>& bones,
                     const std::vector<Animation>& animations);

    bool empty() const { return sections_.empty(); }
    // Writes the mesh file; false when it cannot be written.
    bool save(const std::string& meshName, const std::string& path) const;

private:
    struct Section {
        std::vector<Vertex> vertices;
        std::vector<uint32_t> indices;
    };
    Section& section(const std::string& material) { return sections_[material]; }
    void addTriangle(Section& s, const Vertex& a, const Vertex& b, const Vertex& c);

    std::map<std::string, Section> sections_;
    std::string skeletonName_;
    std::vector<Bone> bones_;
    std::vector<Animation> animations_;
};
