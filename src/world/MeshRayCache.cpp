#include "world/MeshRayCache.h"

#include "world/BoxTree.h"

#include <OgreEntity.h>
#include <OgreHardwareBuffer.h>
#include <OgreMath.h>
#include <OgreNode.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <cmath>

namespace {

using Ogre::Vector3;

void appendVertices(const Ogre::VertexData& data, const Vector3& position, const Ogre::Quaternion& orientation,
                    const Vector3& scale, std::vector<Vector3>& out)
{
    const size_t first = out.size();
    out.resize(first + data.vertexCount, Vector3::ZERO);  // unreadable positions stay at the origin
    const Ogre::VertexElement* element = data.vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
    if (!element || (element->getType() != Ogre::VET_FLOAT3 && element->getType() != Ogre::VET_FLOAT4))
        return;
    const Ogre::HardwareVertexBufferSharedPtr& buffer = data.vertexBufferBinding->getBuffer(element->getSource());
    if (!buffer || data.vertexStart + data.vertexCount > buffer->getNumVertices())
        return;
    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const size_t stride = buffer->getVertexSize();
    const auto* base = static_cast<const unsigned char*>(lock.pData) + data.vertexStart * stride;
    for (size_t i = 0; i < data.vertexCount; ++i) {
        float* p = nullptr;
        element->baseVertexPointerToElement(const_cast<unsigned char*>(base + i * stride), &p);
        out[first + i] = orientation * (Vector3(p[0], p[1], p[2]) * scale) + position;
    }
}

void appendTriangles(const Ogre::IndexData& data, size_t offset, size_t vertexEnd, std::vector<uint32_t>& out)
{
    const Ogre::HardwareIndexBufferSharedPtr& buffer = data.indexBuffer;
    if (!buffer || data.indexStart + data.indexCount > buffer->getNumIndexes())
        return;
    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const bool wide = buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT;
    const auto* p32 = static_cast<const uint32_t*>(lock.pData) + data.indexStart;
    const auto* p16 = static_cast<const uint16_t*>(lock.pData) + data.indexStart;
    const size_t whole = data.indexCount / 3 * 3;
    for (size_t i = 0; i < whole; i += 3) {
        size_t corner[3];
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            corner[k] = (wide ? p32[i + k] : p16[i + k]) + offset;
            inside = inside && corner[k] < vertexEnd;
        }
        if (!inside)
            continue;  // a damaged index would read beyond the vertices
        for (size_t c : corner)
            out.push_back(static_cast<uint32_t>(c));
    }
}

void buildTree(MeshRayCache::Geometry& g)
{
    const uint32_t count = static_cast<uint32_t>(g.indices.size() / 3);
    g.box.setNull();
    for (const Vector3& v : g.vertices)
        g.box.merge(v);
    if (count == 0)
        return;
    std::vector<Vector3> boxMin(count), boxMax(count);
    for (uint32_t t = 0; t < count; ++t) {
        const Vector3& v0 = g.vertices[g.indices[3 * t]];
        const Vector3& v1 = g.vertices[g.indices[3 * t + 1]];
        const Vector3& v2 = g.vertices[g.indices[3 * t + 2]];
        boxMin[t] = v0;
        boxMin[t].makeFloor(v1);
        boxMin[t].makeFloor(v2);
        boxMax[t] = v0;
        boxMax[t].makeCeil(v1);
        boxMax[t].makeCeil(v2);
    }
    // Rounding in the ray's trip to model space must never cull a triangle the world test hits.
    const Vector3 size = g.box.getSize();
    const float pad = 1e-4f * std::max({size.x, size.y, size.z, 1.0f});
    buildBoxTree(boxMin, boxMax, pad, g.nodes, g.order);
}

}  // namespace

void MeshRayCache::extract(const Ogre::Mesh& mesh, const Vector3& position, const Ogre::Quaternion& orientation,
                           const Vector3& scale, std::vector<Vector3>& vertices, std::vector<uint32_t>& indices)
{
    vertices.clear();
    indices.clear();
    size_t vertexCount = 0, indexCount = 0;
    bool sharedCounted = false;
    for (unsigned short i = 0; i < mesh.getNumSubMeshes(); ++i) {
        const Ogre::SubMesh* sub = mesh.getSubMesh(i);
        if (sub->useSharedVertices) {
            if (!sharedCounted && mesh.sharedVertexData)
                vertexCount += mesh.sharedVertexData->vertexCount;
            sharedCounted = true;
        } else if (sub->vertexData) {
            vertexCount += sub->vertexData->vertexCount;
        }
        if (sub->indexData)
            indexCount += sub->indexData->indexCount;
    }
    vertices.reserve(vertexCount);
    indices.reserve(indexCount);

    size_t sharedOffset = 0;
    bool sharedAdded = false;
    for (unsigned short i = 0; i < mesh.getNumSubMeshes(); ++i) {
        const Ogre::SubMesh* sub = mesh.getSubMesh(i);
        const Ogre::VertexData* data = sub->useSharedVertices ? mesh.sharedVertexData : sub->vertexData;
        if (!data)
            continue;
        size_t offset = vertices.size();
        if (sub->useSharedVertices) {
            if (!sharedAdded) {
                sharedOffset = vertices.size();
                appendVertices(*data, position, orientation, scale, vertices);
                sharedAdded = true;
            }
            offset = sharedOffset;
        } else {
            appendVertices(*data, position, orientation, scale, vertices);
        }
        if (sub->indexData)
            appendTriangles(*sub->indexData, offset, offset + data->vertexCount, indices);
    }
}

bool MeshRayCache::intersectTriangles(const Ogre::Ray& ray, const std::vector<Vector3>& vertices,
                                      const std::vector<uint32_t>& indices, float& closest, uint32_t& triangle)
{
    bool hit = false;
    const size_t count = indices.size() / 3;
    for (size_t k = 0; k < count; ++k) {
        const auto r = Ogre::Math::intersects(ray, vertices[indices[3 * k]], vertices[indices[3 * k + 1]],
                                              vertices[indices[3 * k + 2]], true, false);
        if (r.first && (closest < 0.0f || r.second < closest)) {
            closest = r.second;
            triangle = static_cast<uint32_t>(k);
            hit = true;
        }
    }
    return hit;
}

const MeshRayCache::Geometry& MeshRayCache::geometry(const Ogre::MeshPtr& mesh)
{
    auto it = mMeshes.find(mesh.get());
    if (it != mMeshes.end())
        return it->second->geometry;
    auto held = std::make_unique<Held>();
    held->mesh = mesh;
    extract(*mesh, Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, held->geometry.vertices,
            held->geometry.indices);
    buildTree(held->geometry);
    return mMeshes.emplace(mesh.get(), std::move(held)).first->second->geometry;
}

bool MeshRayCache::place(Ogre::Entity* entity, Placement& out)
{
    const Ogre::Node* node = entity ? entity->getParentNode() : nullptr;
    if (!node || !entity->getMesh())
        return false;
    out.geometry = &geometry(entity->getMesh());
    out.position = node->_getDerivedPosition();
    out.orientation = node->_getDerivedOrientation();
    out.scale = node->getScale();
    return true;
}

bool MeshRayCache::placeStill(Ogre::Entity* entity, Placement& out)
{
    if (!place(entity, out))
        return false;
    Still& still = mStill[entity];
    const Placement& at = still.placement;
    if (at.geometry != out.geometry || at.position != out.position || at.orientation != out.orientation ||
        at.scale != out.scale || still.world.size() != out.geometry->vertices.size()) {
        still.placement = out;
        still.world.resize(out.geometry->vertices.size());
        for (size_t i = 0; i < still.world.size(); ++i)
            still.world[i] = out.orientation * (out.geometry->vertices[i] * out.scale) + out.position;
    }
    out.world = still.world.data();
    return true;
}

Ogre::AxisAlignedBox MeshRayCache::worldBox(const Placement& body)
{
    Ogre::AxisAlignedBox box;
    if (body.geometry->nodes.empty())
        return box;  // null: nothing to hit
    const Vector3& lo = body.geometry->nodes[0].min;
    const Vector3& hi = body.geometry->nodes[0].max;
    for (int c = 0; c < 8; ++c) {
        const Vector3 corner(c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z);
        box.merge(body.orientation * (corner * body.scale) + body.position);
    }
    return box;
}

bool MeshRayCache::mayMeet(const Placement& body, const Ogre::Ray& ray)
{
    if (body.geometry->nodes.empty())
        return false;  // worldBox is null
    const Vector3& lo = body.geometry->nodes[0].min;
    const Vector3& hi = body.geometry->nodes[0].max;
    const Vector3 centre = body.orientation * ((lo + hi) * 0.5f * body.scale) + body.position;
    const float scale = std::max({std::abs(body.scale.x), std::abs(body.scale.y), std::abs(body.scale.z)});
    // The box's corners lie on this sphere; the slack covers their rounding.
    const float radius2 = (hi - lo).squaredLength() * 0.25f * scale * scale * 1.001f + 1e-6f;
    const Vector3 toCentre = centre - ray.getOrigin();
    const Vector3& d = ray.getDirection();
    const float dd = d.squaredLength();
    const float along = toCentre.dotProduct(d);
    const float centre2 = toCentre.squaredLength();
    if (dd <= 0.0f)
        return true;
    // Outside the sphere and heading away from it: no point of the ray comes nearer.
    if (along < 0.0f && centre2 > radius2)
        return false;
    // The distance from the line by the cross product: no cancellation for a far origin.
    return toCentre.crossProduct(d).squaredLength() / dd <= radius2;
}

bool MeshRayCache::intersect(const Placement& body, const Ogre::Ray& ray, float& closest, uint32_t& triangle,
                             Vector3 corners[3], float within)
{
    const Geometry& g = *body.geometry;
    if (g.nodes.empty())
        return false;
    const auto world = [&](uint32_t i) {
        return body.world ? body.world[i] : body.orientation * (g.vertices[i] * body.scale) + body.position;
    };
    bool hit = false;
    float best = closest;
    uint32_t bestTriangle = 0;
    Vector3 a, b, c;
    const auto test = [&](uint32_t t) {
        const Vector3 v0 = world(g.indices[3 * t]), v1 = world(g.indices[3 * t + 1]), v2 = world(g.indices[3 * t + 2]);
        const auto r = Ogre::Math::intersects(ray, v0, v1, v2, true, false);
        if (!r.first)
            return;
        // Strictly nearer, and among equal distances in this mesh the lower triangle, as a scan
        // in triangle order would decide.
        if (best < 0.0f || r.second < best || (hit && r.second == best && t < bestTriangle)) {
            best = r.second;
            bestTriangle = t;
            a = v0;
            b = v1;
            c = v2;
            hit = true;
        }
    };

    if (body.scale.x == 0.0f || body.scale.y == 0.0f || body.scale.z == 0.0f) {
        // A flattened body has no model-space ray: test every triangle.
        for (uint32_t t = 0; t < g.indices.size() / 3; ++t)
            test(t);
    } else {
        const Ogre::Quaternion inverse = body.orientation.Inverse();
        const Vector3 origin = (inverse * (ray.getOrigin() - body.position)) / body.scale;
        const Vector3 direction = (inverse * ray.getDirection()) / body.scale;
        uint32_t stack[64];
        uint32_t depth = 0;
        stack[depth++] = 0;
        while (depth > 0) {
            const Geometry::Node& node = g.nodes[stack[--depth]];
            float entry = 0.0f;
            if (!enterBox(node.min, node.max, origin, direction, entry) || (best >= 0.0f && entry > best) ||
                entry > within)
                continue;
            if (node.count > 0) {
                for (uint32_t i = node.first; i < node.first + node.count; ++i)
                    test(g.order[i]);
            } else if (depth + 2 <= 64) {
                const uint32_t near = static_cast<uint32_t>(&node - g.nodes.data()) + 1;
                stack[depth++] = node.first;
                stack[depth++] = near;
            }
        }
    }
    if (hit) {
        closest = best;
        triangle = bestTriangle;
        corners[0] = a;
        corners[1] = b;
        corners[2] = c;
    }
    return hit;
}
