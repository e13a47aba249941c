#include "MeshBuilder.h"

#include <OgreSkeletonManager.h>
#include <OgreSkeletonSerializer.h>
#include <OgreSkeleton.h>
#include <OgreBone.h>
#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSubMesh.h>

#include <filesystem>

#include <Ogre.h>
#include <OgreMeshSerializer.h>

#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;
}

void MeshBuilder::addTriangle(Section& s, const Vertex& a, const Vertex& b, const Vertex& c)
{
    const uint32_t base = static_cast<uint32_t>(s.vertices.size());
    s.vertices.push_back(a);
    s.vertices.push_back(b);
    s.vertices.push_back(c);
    s.indices.insert(s.indices.end(), {base, base + 1, base + 2});
}

void MeshBuilder::append(const MeshBuilder& other, const Ogre::Quaternion& rotation, const Ogre::Vector3& offset,
                         uint16_t bone)
{
    for (const auto& [material, from] : other.sections_) {
        Section& to = section(material);
        const uint32_t base = static_cast<uint32_t>(to.vertices.size());
        for (Vertex v : from.vertices) {
            v.position = rotation * v.position + offset;
            v.normal = rotation * v.normal;
            v.bone = bone;
            to.vertices.push_back(v);
        }
        for (uint32_t i : from.indices)
            to.indices.push_back(base + i);
    }
}

void MeshBuilder::addQuad(const std::string& material, const Ogre::Vector3& a, const Ogre::Vector3& b,
                          const Ogre::Vector3& c, const Ogre::Vector3& d)
{
    addQuad(material, a, b, c, d, {0, 1}, {1, 1}, {1, 0}, {0, 0});
}

void MeshBuilder::addQuad(const std::string& material, const Ogre::Vector3& a, const Ogre::Vector3& b,
                          const Ogre::Vector3& c, const Ogre::Vector3& d, const Ogre::Vector2& ta,
                          const Ogre::Vector2& tb, const Ogre::Vector2& tc, const Ogre::Vector2& td)
{
    Section& s = section(material);
    const Ogre::Vector3 n = (b - a).crossProduct(d - a).normalisedCopy();
    const uint32_t base = static_cast<uint32_t>(s.vertices.size());
    s.vertices.push_back({a, n, ta});
    s.vertices.push_back({b, n, tb});
    s.vertices.push_back({c, n, tc});
    s.vertices.push_back({d, n, td});
    s.indices.insert(s.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
}

void MeshBuilder::addBox(const std::string& material, const Ogre::Vector3& c, const Ogre::Vector3& size,
                         float uvScale)
{
    Section& s = section(material);
    const Ogre::Vector3 h = size * 0.5f;
    // Each face: normal, and the two in-plane axes (u, v) with their half extents.
    struct Face {
        Ogre::Vector3 n, u, v;
        float hu, hv, hn;
    };
    const Face faces[6] = {
        {Ogre::Vector3::UNIT_X, Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::UNIT_Y, h.z, h.y, h.x},
        {Ogre::Vector3::NEGATIVE_UNIT_X, Ogre::Vector3::UNIT_Z, Ogre::Vector3::UNIT_Y, h.z, h.y, h.x},
        {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3::NEGATIVE_UNIT_Z, h.x, h.z, h.y},
        {Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Z, h.x, h.z, h.y},
        {Ogre::Vector3::UNIT_Z, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y, h.x, h.y, h.z},
        {Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::NEGATIVE_UNIT_X, Ogre::Vector3::UNIT_Y, h.x, h.y, h.z},
    };
    for (const Face& f : faces) {
        const Ogre::Vector3 centre = c + f.n * f.hn;
        const float su = uvScale > 0 ? 2 * f.hu * uvScale : 1.0f;
        const float sv = uvScale > 0 ? 2 * f.hv * uvScale : 1.0f;
        const uint32_t base = static_cast<uint32_t>(s.vertices.size());
        s.vertices.push_back({centre - f.u * f.hu - f.v * f.hv, f.n, {0, sv}});
        s.vertices.push_back({centre + f.u * f.hu - f.v * f.hv, f.n, {su, sv}});
        s.vertices.push_back({centre + f.u * f.hu + f.v * f.hv, f.n, {su, 0}});
        s.vertices.push_back({centre - f.u * f.hu + f.v * f.hv, f.n, {0, 0}});
        s.indices.insert(s.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
}

void MeshBuilder::addCone(const std::string& material, const Ogre::Vector3& base, float r0, float r1,
                          float height, int segments)
{
    Section& s = section(material);
    const float slope = (r0 - r1) / height;
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        const Ogre::Vector3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
        const Ogre::Vector3 n0 = (d0 + Ogre::Vector3(0, slope, 0)).normalisedCopy();
        const Ogre::Vector3 n1 = (d1 + Ogre::Vector3(0, slope, 0)).normalisedCopy();
        const float u0 = float(i) / segments, u1 = float(i + 1) / segments;
        const Vertex b0{base + d0 * r0, n0, {u0, 1}}, b1{base + d1 * r0, n1, {u1, 1}};
        const Vertex t0{base + d0 * r1 + Ogre::Vector3(0, height, 0), n0, {u0, 0}};
        const Vertex t1{base + d1 * r1 + Ogre::Vector3(0, height, 0), n1, {u1, 0}};
        addTriangle(s, b0, b1, t1);
        if (r1 > 0)
            addTriangle(s, b0, t1, t0);
    }
}

void MeshBuilder::addDisc(const std::string& material, const Ogre::Vector3& centre, float radius, int segments,
                          float rings)
{
    Section& s = section(material);
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        const Ogre::Vector3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
        const float v0 = float(i) / segments, v1 = float(i + 1) / segments;
        addTriangle(s, {centre, Ogre::Vector3::UNIT_Y, {0, (v0 + v1) * 0.5f}},
                    {centre + d0 * radius, Ogre::Vector3::UNIT_Y, {rings, v0}},
                    {centre + d1 * radius, Ogre::Vector3::UNIT_Y, {rings, v1}});
    }
}

void MeshBuilder::addCylinder(const std::string& material, const Ogre::Vector3& base, float radius, float height,
                              int segments, bool caps)
{
    addCone(material, base, radius, radius, height, segments);
    if (!caps)
        return;
    Section& s = section(material);
    const Ogre::Vector3 top = base + Ogre::Vector3(0, height, 0);
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        const Ogre::Vector3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
        addTriangle(s, {top, Ogre::Vector3::UNIT_Y, {0.5f, 0.5f}},
                    {top + d0 * radius, Ogre::Vector3::UNIT_Y, {0.5f + d0.x * 0.5f, 0.5f + d0.z * 0.5f}},
                    {top + d1 * radius, Ogre::Vector3::UNIT_Y, {0.5f + d1.x * 0.5f, 0.5f + d1.z * 0.5f}});
        addTriangle(s, {base, Ogre::Vector3::NEGATIVE_UNIT_Y, {0.5f, 0.5f}},
                    {base + d1 * radius, Ogre::Vector3::NEGATIVE_UNIT_Y, {0.5f + d1.x * 0.5f, 0.5f + d1.z * 0.5f}},
                    {base + d0 * radius, Ogre::Vector3::NEGATIVE_UNIT_Y, {0.5f + d0.x * 0.5f, 0.5f + d0.z * 0.5f}});
    }
}

void MeshBuilder::addSphere(const std::string& material, const Ogre::Vector3& c, float radius, int rings,
                            int segments, float squashY)
{
    Section& s = section(material);
    const uint32_t base = static_cast<uint32_t>(s.vertices.size());
    for (int r = 0; r <= rings; ++r) {
        const float phi = kPi * r / rings;
        for (int i = 0; i <= segments; ++i) {
            const float theta = 2 * kPi * i / segments;
            const Ogre::Vector3 d(std::sin(phi) * std::cos(theta), std::cos(phi), -std::sin(phi) * std::sin(theta));
            const Ogre::Vector3 p(d.x * radius, d.y * radius * squashY, d.z * radius);
            const Ogre::Vector3 n = Ogre::Vector3(d.x, d.y / (squashY > 0 ? squashY : 1), d.z).normalisedCopy();
            s.vertices.push_back({c + p, n, {float(i) / segments, float(r) / rings}});
        }
    }
    const uint32_t row = static_cast<uint32_t>(segments + 1);
    for (int r = 0; r < rings; ++r)
        for (int i = 0; i < segments; ++i) {
            const uint32_t a = base + r * row + i, b = a + row;
            s.indices.insert(s.indices.end(), {a, b, a + 1, a + 1, b, b + 1});
        }
}

void MeshBuilder::addGrid(const std::string& material, float sizeX, float sizeZ, float y, int divisions,
                          float tiles)
{
    Section& s = section(material);
    const uint32_t base = static_cast<uint32_t>(s.vertices.size());
    for (int j = 0; j <= divisions; ++j)
        for (int i = 0; i <= divisions; ++i) {
            const float fx = float(i) / divisions, fz = float(j) / divisions;
            s.vertices.push_back({{(fx - 0.5f) * sizeX, y, (fz - 0.5f) * sizeZ}, Ogre::Vector3::UNIT_Y,
                                  {fx * tiles, fz * tiles}});
        }
    const uint32_t row = static_cast<uint32_t>(divisions + 1);
    for (int j = 0; j < divisions; ++j)
        for (int i = 0; i < divisions; ++i) {
            const uint32_t a = base + j * row + i, b = a + row;
            s.indices.insert(s.indices.end(), {a, b, a + 1, a + 1, b, b + 1});
        }
}

void MeshBuilder::addRingWall(const std::string& material, float radius, float height, int segments, float y)
{
    Section& s = section(material);
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        const Ogre::Vector3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
        const Ogre::Vector3 up(0, height, 0), lift(0, y, 0);
        const float u0 = float(i) * 4 / segments * 8, u1 = float(i + 1) * 4 / segments * 8;
        // Inner face (seen from inside the arena) and outer face.
        addTriangle(s, {lift + d0 * radius, -d0, {u0, 1}}, {lift + d1 * radius + up, -d1, {u1, 0}},
                    {lift + d1 * radius, -d1, {u1, 1}});
        addTriangle(s, {lift + d0 * radius, -d0, {u0, 1}}, {lift + d0 * radius + up, -d0, {u0, 0}},
                    {lift + d1 * radius + up, -d1, {u1, 0}});
        addTriangle(s, {lift + d0 * radius, d0, {u0, 1}}, {lift + d1 * radius, d1, {u1, 1}},
                    {lift + d1 * radius + up, d1, {u1, 0}});
        addTriangle(s, {lift + d0 * radius, d0, {u0, 1}}, {lift + d1 * radius + up, d1, {u1, 0}},
                    {lift + d0 * radius + up, d0, {u0, 0}});
    }
}

void MeshBuilder::setSkeleton(const std::string& skeletonName, const std::vector<Animation>& animations)
{
    setSkeleton(skeletonName, {{"Root", -1, Ogre::Vector3::ZERO}}, animations);
}

void MeshBuilder::setSkeleton(const std::string& skeletonName, const std::vector<Bone>& bones,
                              const std::vector<Animation>& animations)
{
    skeletonName_ = skeletonName;
    bones_ = bones;
    animations_ = animations;
}

namespace {
void addKeys(Ogre::Animation* animation, Ogre::Bone* bone, const std::vector<MeshBuilder::Key>& keys)
{
    Ogre::NodeAnimationTrack* track = animation->createNodeTrack(bone->getHandle(), bone);
    for (const MeshBuilder::Key& k : keys) {
        Ogre::TransformKeyFrame* key = track->createNodeKeyFrame(k.time);
        key->setTranslate(k.translate);
        key->setRotation(k.rotate);
    }
}

Ogre::SkeletonPtr buildSkeleton(const std::string& name, const std::vector<MeshBuilder::Bone>& bones,
                                const std::vector<MeshBuilder::Animation>& animations)
{
    auto& skeletons = Ogre::SkeletonManager::getSingleton();
    if (skeletons.resourceExists(name, Ogre::RGN_DEFAULT))
        skeletons.remove(name, Ogre::RGN_DEFAULT);
    Ogre::SkeletonPtr skeleton = skeletons.create(name, Ogre::RGN_DEFAULT, true);
    // Marked loaded, so that unloading it frees the bones and animations made below.
    skeleton->load();
    std::vector<Ogre::Bone*> made;
    for (size_t i = 0; i < bones.size(); ++i) {
        const MeshBuilder::Bone& b = bones[i];
        Ogre::Bone* bone = skeleton->createBone(b.name, static_cast<unsigned short>(i));
        // Bone positions are relative to the parent bone.
        if (b.parent >= 0 && size_t(b.parent) < i) {
            made[size_t(b.parent)]->addChild(bone);
            bone->setPosition(b.position - bones[size_t(b.parent)].position);
        } else {
            bone->setPosition(b.position);
        }
        made.push_back(bone);
    }
    for (Ogre::Bone* bone : made)
        bone->setInitialState();
    skeleton->setBindingPose();
    for (const MeshBuilder::Animation& a : animations) {
        Ogre::Animation* animation = skeleton->createAnimation(a.name, a.length);
        if (!a.keys.empty())
            addKeys(animation, made.front(), a.keys);
        for (const MeshBuilder::Track& t : a.tracks)
            if (t.bone < made.size())
                addKeys(animation, made[t.bone], t.keys);
    }
    return skeleton;
}
}  // namespace

bool MeshBuilder::save(const std::string& meshName, const std::string& path) const
{
    // The real materials are scripts the game loads; the mesh file only needs their names, and
    // the engine keeps a sub-mesh's name only for a material it knows.
    auto& materials = Ogre::MaterialManager::getSingleton();
    for (const auto& entry : sections_)
        if (!materials.getByName(entry.first))
            materials.create(entry.first, Ogre::RGN_DEFAULT);
    Ogre::ManualObject manual(meshName + "_builder");
    for (const auto& [material, s] : sections_) {
        manual.begin(material, Ogre::RenderOperation::OT_TRIANGLE_LIST);
        for (const Vertex& v : s.vertices) {
            manual.position(v.position);
            manual.normal(v.normal);
            manual.textureCoord(v.uv);
        }
        for (uint32_t i : s.indices)
            manual.index(i);
        manual.end();
    }
    Ogre::MeshPtr mesh = manual.convertToMesh(meshName);
    Ogre::SkeletonPtr skeleton;
    bool ok = true;
    try {
        if (!skeletonName_.empty()) {
            skeleton = buildSkeleton(skeletonName_, bones_, animations_);
            // The manual object made one sub-mesh per section, in the sections' order.
            auto section = sections_.begin();
            for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
                const std::vector<Vertex>& vertices = (section++)->second.vertices;
                for (size_t v = 0; v < sub->vertexData->vertexCount; ++v) {
                    const uint16_t bone = v < vertices.size() && vertices[v].bone < bones_.size() ? vertices[v].bone : 0;
                    sub->addBoneAssignment({static_cast<unsigned>(v), bone, 1.0f});
                }
            }
            mesh->_notifySkeleton(skeleton);
            const std::string dir = std::filesystem::path(path).parent_path().string();
            Ogre::SkeletonSerializer().exportSkeleton(skeleton.get(), dir + "/" + skeletonName_);
        }
        Ogre::MeshSerializer().exportMesh(mesh.get(), path);
    } catch (const Ogre::Exception&) {
        ok = false;
    }
    Ogre::MeshManager::getSingleton().remove(mesh);
    if (skeleton)
        Ogre::SkeletonManager::getSingleton().remove(skeleton);
    return ok;
}
