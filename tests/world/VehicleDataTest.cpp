// The ground vehicles' content in the game tree: definitions, meshes, skeletons and sounds that
// fit together.
#include "definitions/DefinitionCache.h"
#include "definitions/GroundVehiParams.h"
#include "world/CollisionRays.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>

using testsupport::gameTreeDir;
using Ogre::Vector3;

namespace {

const char* const kVehicles[] = {"abrams", "marauder"};

class VehicleData : public ::testing::Test {
protected:
    VehicleData()
    {
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(gameTreeDir() + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
        groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
        // A mesh file keeps its sub-meshes' material names only for materials the engine knows.
        for (const char* material : {"abrams_tread", "marauder_tread"})
            Ogre::MaterialManager::getSingleton().create(material, Ogre::RGN_DEFAULT);
    }
    static Ogre::MeshPtr mesh(const std::string& name)
    {
        return Ogre::MeshManager::getSingleton().load(name, Ogre::RGN_DEFAULT);
    }

    testsupport::ScopedWorkDir cwd{gameTreeDir() + "/Bin/Game"};
    testsupport::HeadlessOgre engine;
};

using Key = std::tuple<long, long, long>;
Key quantised(const Vector3& v)
{
    return {std::lround(v.x * 1e4), std::lround(v.y * 1e4), std::lround(v.z * 1e4)};
}

}  // namespace

TEST_F(VehicleData, TheWheelsTouchTheFloorTheProbesLieOnBothSidesAndTheSoundsExist)
{
    for (const char* name : kVehicles) {
        SCOPED_TRACE(name);
        const GroundVehiParams def(name);
        ASSERT_TRUE(def.cacheLoaded());
        // The right-hand probes take -CollPointBRight.x: a negative x puts them on the right.
        EXPECT_LT(def.CollPointFLeft.x, 0.0f);
        EXPECT_LT(def.CollPointBRight.x, 0.0f);
        ASSERT_EQ(def.getNumTreads(), 2u);
        for (const auto& tread : def.Treads) {
            ASSERT_GE(tread.getNumWheels(), 2u);
            for (const auto& wheel : tread.Wheels) {
                // Standing at groundOffset, each wheel's centre is one radius above the floor, so
                // the ground rays find every wheel on it.
                const float centre = def.groundOffset.y + tread.Pos.y + wheel.Pos.y;
                EXPECT_NEAR(centre, wheel.wRaio, 0.01f);
            }
        }
        if (def.JumpDashRange > 0.0f) {
            // The hover after a dash start lasts about as long as the dash itself.
            EXPECT_GT(def.JumpDashVerticalJump, 0.5f * def.JumpDashJumpTime);
            EXPECT_LT(def.JumpDashVerticalJump, 2.0f * def.JumpDashJumpTime);
        }
        for (const std::string& sound : {def.getCrashSound(), def.getDashSound(), def.getEngineSound()})
            if (!isAbsentName(sound)) {
                EXPECT_TRUE(std::filesystem::is_regular_file(gameTreeDir() + "/Data/Sounds/" + sound)) << sound;
            }
    }
}

TEST_F(VehicleData, HullsAndTurretsCarryTheAnimationsTheirDefinitionsName)
{
    for (const char* name : kVehicles) {
        SCOPED_TRACE(name);
        const GroundVehiParams def(name);
        const struct {
            std::string mesh;
            std::vector<std::string> animations;
        } parts[] = {{def.meshName, {def.getBaseAccAnim(), def.getBaseTurnAnim()}},
                     {def.getTurretMesh(), {def.getTurTurnAnim(), def.getTurFireAnim()}}};
        for (const auto& part : parts) {
            Ogre::MeshPtr m = mesh(part.mesh);
            ASSERT_TRUE(m) << part.mesh;
            std::vector<std::string> named;
            for (const std::string& a : part.animations)
                if (!isAbsentName(a))
                    named.push_back(a);
            if (named.empty())
                continue;
            ASSERT_TRUE(m->hasSkeleton()) << part.mesh;
            const Ogre::SkeletonPtr& skeleton = m->getSkeleton();
            // The animated pieces move on bones of their own; the rest stays on the root.
            EXPECT_GE(skeleton->getNumBones(), 2u) << part.mesh;
            for (const std::string& a : named) {
                ASSERT_TRUE(skeleton->hasAnimation(a)) << part.mesh << " " << a;
                EXPECT_GT(skeleton->getAnimation(a)->getLength(), 0.0f);
                EXPECT_GT(skeleton->getAnimation(a)->getNumNodeTracks(), 0u);
            }
        }
    }
    // The battle tank's fire animation recoils the barrel: backward (+z) and back again.
    Ogre::MeshPtr turret = mesh("abrams_turret.mesh");
    Ogre::Animation* fire = turret->getSkeleton()->getAnimation("TurretFire");
    const Ogre::Bone* barrel = turret->getSkeleton()->getBone("Barrel");
    ASSERT_TRUE(fire->hasNodeTrack(barrel->getHandle()));
    Ogre::NodeAnimationTrack* track = fire->getNodeTrack(barrel->getHandle());
    float furthest = 0.0f;
    for (unsigned short k = 0; k < track->getNumKeyFrames(); ++k)
        furthest = std::max(furthest, track->getNodeKeyFrame(k)->getTranslate().z);
    EXPECT_GT(furthest, 0.2f);
    EXPECT_EQ(track->getNodeKeyFrame(track->getNumKeyFrames() - 1)->getTranslate(), Vector3::ZERO);
}

TEST_F(VehicleData, TreadsAreWhollyInTheTreadMaterialWithVRunningAlongTheTrack)
{
    for (const char* name : kVehicles) {
        const GroundVehiParams def(name);
        for (const auto& tread : def.Treads) {
            SCOPED_TRACE(tread.Mesh);
            Ogre::MeshPtr m = mesh(tread.Mesh);
            ASSERT_GT(m->getNumSubMeshes(), 0u);
            for (Ogre::SubMesh* sub : m->getSubMeshes()) {
                EXPECT_EQ(sub->getMaterialName(), def.getTreadMatName());
                // Along the outer belt's bottom (facing the floor) v follows z.
                const Ogre::VertexData* data = sub->useSharedVertices ? m->sharedVertexData : sub->vertexData;
                const auto* decl = data->vertexDeclaration;
                const auto* pos = decl->findElementBySemantic(Ogre::VES_POSITION);
                const auto* normal = decl->findElementBySemantic(Ogre::VES_NORMAL);
                const auto* tex = decl->findElementBySemantic(Ogre::VES_TEXTURE_COORDINATES);
                ASSERT_TRUE(pos && normal && tex);
                ASSERT_TRUE(normal->getSource() == pos->getSource() && tex->getSource() == pos->getSource());
                Ogre::HardwareVertexBufferSharedPtr buffer = data->vertexBufferBinding->getBuffer(pos->getSource());
                Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
                auto* base = static_cast<unsigned char*>(lock.pData);
                float zMin = 1e9f, zMax = -1e9f, vAtZMin = 0, vAtZMax = 0;
                for (size_t i = 0; i < data->vertexCount; ++i) {
                    unsigned char* vertex = base + i * buffer->getVertexSize();
                    float *p = nullptr, *n = nullptr, *t = nullptr;
                    pos->baseVertexPointerToElement(vertex, &p);
                    normal->baseVertexPointerToElement(vertex, &n);
                    tex->baseVertexPointerToElement(vertex, &t);
                    if (n[1] > -0.99f)
                        continue;
                    if (p[2] < zMin)
                        zMin = p[2], vAtZMin = t[1];
                    if (p[2] > zMax)
                        zMax = p[2], vAtZMax = t[1];
                }
                ASSERT_LT(zMin, zMax);
                EXPECT_GT(std::fabs(vAtZMax - vAtZMin), 1.0f) << "the texture repeats along the track";
            }
        }
    }
}

TEST_F(VehicleData, CollisionHullsAreClosedFaceOutwardAndFitTheirDefinitions)
{
    for (const char* name : kVehicles) {
        const GroundVehiParams def(name);
        SCOPED_TRACE(def.collisionMeshName);
        Ogre::MeshPtr m = mesh(def.collisionMeshName);
        size_t vertexCount = 0, indexCount = 0;
        std::vector<Vector3> vertices;
        std::vector<uint32_t> indices;
        getMeshInformation(m.get(), vertexCount, vertices, indexCount, indices, Vector3::ZERO,
                           Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE);
        ASSERT_GT(indexCount, 36u);
        // Closed: every directed edge has exactly one partner running the other way. Outward:
        // the signed volume is positive.
        std::map<std::pair<Key, Key>, int> edges;
        float volume = 0.0f;
        Ogre::AxisAlignedBox box;
        for (size_t i = 0; i + 2 < indexCount; i += 3) {
            const Vector3 t[3] = {vertices[indices[i]], vertices[indices[i + 1]], vertices[indices[i + 2]]};
            if ((t[1] - t[0]).crossProduct(t[2] - t[0]).length() < 1e-8f)
                continue;  // degenerate
            for (int k = 0; k < 3; ++k) {
                ++edges[{quantised(t[k]), quantised(t[(k + 1) % 3])}];
                box.merge(t[k]);
            }
            volume += t[0].dotProduct(t[1].crossProduct(t[2])) / 6.0f;
        }
        int open = 0;
        for (const auto& [edge, count] : edges) {
            const auto back = edges.find({edge.second, edge.first});
            open += (count != 1 || back == edges.end() || back->second != 1) ? 1 : 0;
        }
        EXPECT_EQ(open, 0);
        EXPECT_GT(volume, 1.0f);
        EXPECT_LE(box.getMaximum().x, -def.CollPointFLeft.x + 1e-3f);
        EXPECT_GE(box.getMinimum().x, def.CollPointFLeft.x - 1e-3f);
        EXPECT_GE(box.getMinimum().y, 0.0f);
        EXPECT_LE(box.getMaximum().y, def.CollPointBRight.y + 1e-3f);
    }
}
