#pragma once
// Small collision meshes built straight into engine buffers, so a test chooses shared or own
// vertices and 16- or 32-bit indices.
#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <cstring>
#include <string>
#include <vector>

namespace rayfixture {

struct Part {
    bool shared = false;                  // uses the mesh's shared vertices
    std::vector<Ogre::Vector3> vertices;  // own vertices when not shared
    std::vector<uint32_t> indices;
    bool wide = false;  // 32-bit indices
};

inline Ogre::VertexData* makeVertexData(const std::vector<Ogre::Vector3>& vertices)
{
    auto* data = new Ogre::VertexData();
    data->vertexCount = vertices.size();
    data->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    auto buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
        sizeof(float) * 3, vertices.size(), Ogre::HardwareBuffer::HBU_STATIC);
    std::vector<float> raw;
    for (const Ogre::Vector3& v : vertices)
        raw.insert(raw.end(), {v.x, v.y, v.z});
    buffer->writeData(0, raw.size() * sizeof(float), raw.data());
    data->vertexBufferBinding->setBinding(0, buffer);
    return data;
}

inline Ogre::MeshPtr makeMesh(const std::string& name, const std::vector<Ogre::Vector3>& shared,
                              const std::vector<Part>& parts)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(name, Ogre::RGN_DEFAULT);
    Ogre::AxisAlignedBox box;
    if (!shared.empty())
        mesh->sharedVertexData = makeVertexData(shared);
    for (const Ogre::Vector3& v : shared)
        box.merge(v);
    for (const Part& p : parts) {
        Ogre::SubMesh* sub = mesh->createSubMesh();
        sub->useSharedVertices = p.shared;
        if (!p.shared) {
            sub->vertexData = makeVertexData(p.vertices);
            for (const Ogre::Vector3& v : p.vertices)
                box.merge(v);
        }
        const auto type = p.wide ? Ogre::HardwareIndexBuffer::IT_32BIT : Ogre::HardwareIndexBuffer::IT_16BIT;
        auto buffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
            type, p.indices.size(), Ogre::HardwareBuffer::HBU_STATIC);
        if (p.wide) {
            buffer->writeData(0, p.indices.size() * 4, p.indices.data());
        } else {
            std::vector<uint16_t> narrow(p.indices.begin(), p.indices.end());
            buffer->writeData(0, narrow.size() * 2, narrow.data());
        }
        sub->indexData->indexBuffer = buffer;
        sub->indexData->indexCount = p.indices.size();
    }
    mesh->_setBounds(box);
    mesh->_setBoundingSphereRadius(std::max(box.getMinimum().length(), box.getMaximum().length()));
    mesh->load();
    return mesh;
}

// A square in the XY plane at z, facing +Z (seen from +Z its corners run counter-clockwise).
inline Ogre::MeshPtr makeSquare(const std::string& name, float half, float z = 0.0f, bool wide = false)
{
    return makeMesh(name, {},
                    {{false,
                      {{-half, -half, z}, {half, -half, z}, {half, half, z}, {-half, half, z}},
                      {0, 1, 2, 0, 2, 3},
                      wide}});
}

// A flat square on the XZ plane at height y, facing up.
inline Ogre::MeshPtr makeFloor(const std::string& name, float half, float y = 0.0f)
{
    return makeMesh(name, {},
                    {{false,
                      {{-half, y, half}, {half, y, half}, {half, y, -half}, {-half, y, -half}},
                      {0, 1, 2, 0, 2, 3},
                      false}});
}

}  // namespace rayfixture
