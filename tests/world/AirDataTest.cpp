// The game tree's flying enemies: their meshes match their definitions (animations by the names
// the definitions give, turret and reactors on the body, bodies clear of the floor at the hover
// height), and their collision hulls are closed and face outward.
#include "core/GamePlayData.h"
#include "definitions/AirObjParams.h"
#include "definitions/OvniParams.h"
#include "support/TestSupport.h"
#include "world/CollisionRays.h"

#include <Ogre.h>
#include <gtest/gtest.h>

namespace {

class AirData : public ::testing::Test {
protected:
    AirData()
    {
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(testsupport::gameTreeDir() + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
        groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
        scene = engine.root()->createSceneManager();
    }

    Ogre::Entity* entity(const std::string& mesh)
    {
        Ogre::Entity* e = scene->createEntity(mesh);
        scene->getRootSceneNode()->createChildSceneNode()->attachObject(e);
        return e;
    }

    Ogre::AxisAlignedBox bounds(const std::string& mesh) { return entity(mesh)->getMesh()->getBounds(); }

    testsupport::ScopedWorkDir cwd{testsupport::gameTreeDir() + "/Bin/Game"};
    testsupport::HeadlessOgre engine;
    Ogre::SceneManager* scene = nullptr;
};

// Directions spread over the sphere, none along an axis (rays along a shell's seams prove less).
std::vector<Ogre::Vector3> directions()
{
    std::vector<Ogre::Vector3> out;
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 7; ++j) {
            const float yaw = Ogre::Math::TWO_PI * (i + 0.37f) / 12;
            const float pitch = Ogre::Math::PI * (j + 0.5f) / 7 - Ogre::Math::HALF_PI;
            out.emplace_back(std::cos(pitch) * std::cos(yaw), std::sin(pitch), std::cos(pitch) * std::sin(yaw));
        }
    return out;
}

}  // namespace

TEST_F(AirData, TheirMaterialScriptDefinesEveryMaterialTheirModelsName)
{
    // Parsed on its own (the engine here makes no textures), as the game parses it: a material
    // that fails to compile is missing, or left without its colours.
    const std::string text = testsupport::readTextFile(testsupport::gameTreeDir() + "/Data/Materials/vt_air.material");
    ASSERT_FALSE(text.empty());
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream("vt_air.material", const_cast<char*>(text.data()),
                                                          text.size(), false, true));
    Ogre::MaterialManager::getSingleton().parseScript(stream, Ogre::RGN_DEFAULT);
    for (const char* name : {"kestrel.mesh", "wisp.mesh", "wisp_gun.mesh", "monolith.mesh", "monolith_turret.mesh"}) {
        SCOPED_TRACE(name);
        const Ogre::MeshPtr mesh = entity(name)->getMesh();
        for (const Ogre::SubMesh* sub : mesh->getSubMeshes()) {
            const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(sub->getMaterialName());
            ASSERT_TRUE(material) << sub->getMaterialName();
            ASSERT_GT(material->getNumTechniques(), 0u) << sub->getMaterialName();
            const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
            EXPECT_FALSE(pass->getDiffuse() == Ogre::ColourValue::White && pass->getAmbient() == Ogre::ColourValue::White &&
                         pass->getLightingEnabled())
                << sub->getMaterialName();
        }
    }
}

TEST_F(AirData, CollisionHullsAreClosedAndFaceOutward)
{
    for (const char* name : {"kestrel_col.mesh", "wisp_col.mesh", "monolith_col.mesh"}) {
        SCOPED_TRACE(name);
        Ogre::Entity* hull = entity(name);
        const Ogre::AxisAlignedBox box = hull->getMesh()->getBounds();
        const Ogre::Vector3 centre = box.getCenter();
        const float far = box.getSize().length() * 2;
        for (const Ogre::Vector3& d : directions()) {
            Ogre::Vector3 point;
            float closest = -1.0f;
            // From outside toward the centre a front face is met; from the centre out, none.
            EXPECT_TRUE(raycastToMesh(hull, Ogre::Ray(centre + d * far, -d), point, closest)) << d;
            closest = -1.0f;
            EXPECT_FALSE(raycastToMesh(hull, Ogre::Ray(centre, d), point, closest)) << d;
        }
    }
}

TEST_F(AirData, OvniMeshesMatchTheirDefinitions)
{
    GamePlayData play;
    ASSERT_TRUE(play.loadSettings());
    const float hover = play.ovniHoverHeight();
    ASSERT_GT(hover, 0.0f);

    struct Case {
        const char* definition;
        std::vector<const char*> bodyAnimations;
        std::vector<const char*> turretAnimations;
    };
    const Case cases[] = {{"wisp", {"Idle", "Hit"}, {}}, {"monolith", {"Idle", "Hit", "Turn"}, {"TurretSpin"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.definition);
        OvniParams def(c.definition);
        ASSERT_TRUE(def.cacheLoaded());

        Ogre::Entity* body = entity(def.meshName);
        Ogre::Entity* turret = entity(def.TurMesh);
        ASSERT_TRUE(body->hasSkeleton());
        for (const char* a : c.bodyAnimations)
            EXPECT_TRUE(body->hasAnimationState(a)) << a;
        for (const std::string& named : {def.IdleAnim, def.HitAnim, def.TurnAnim})
            EXPECT_TRUE(named == " " || body->hasAnimationState(named)) << named;
        EXPECT_EQ(turret->hasSkeleton(), !c.turretAnimations.empty());
        for (const char* a : c.turretAnimations)
            EXPECT_TRUE(turret->hasAnimationState(a)) << a;
        if (def.TurAnim != " ") {
            EXPECT_TRUE(turret->hasAnimationState(def.TurAnim));
        }

        // At its lowest bob the body, and the turret under it, stay clear of the floor.
        const Ogre::AxisAlignedBox bodyBox = body->getMesh()->getBounds();
        const Ogre::AxisAlignedBox turretBox = turret->getMesh()->getBounds();
        const float lowest = hover + def.Lev_Offset - def.Lev_Range;
        EXPECT_GT(lowest + bodyBox.getMinimum().y, 0.2f);
        EXPECT_GT(lowest + def.TurPos.y + turretBox.getMinimum().y, 0.2f);
        // The guns fire level and their rounds float at the play's float height, a unit or so
        // below the tank's muzzle: the hull (on the main node, which does not bob) spans that band.
        const Ogre::AxisAlignedBox hullAt = bounds(def.collisionMeshName);
        EXPECT_LT(hover + hullAt.getMinimum().y, play.projFloatHeight() - 0.2f);
        EXPECT_GT(hover + hullAt.getMaximum().y, play.projFloatHeight() + 1.0f);
        // The body sits around its node; the turret hangs on it, the gun points ahead (-z).
        EXPECT_TRUE(bodyBox.contains(Ogre::Vector3::ZERO));
        Ogre::AxisAlignedBox turretOnBody = turretBox;
        turretOnBody.setExtents(turretBox.getMinimum() + def.TurPos, turretBox.getMaximum() + def.TurPos);
        EXPECT_TRUE(turretOnBody.intersects(bodyBox));
        EXPECT_LT(def.TurCannPos.z, 0.0f);
        EXPECT_LT(turretBox.getMinimum().z, def.TurCannPos.z);
        // Each reactor burns on the body's surface region.
        Ogre::AxisAlignedBox near = bodyBox;
        near.scale(Ogre::Vector3(1.25f));
        ASSERT_GT(def.getNumReactors(), 0u);
        for (const OvniParams::ReactorRecord& r : def.Reactors)
            EXPECT_TRUE(near.contains(r.Pos)) << r.Name;

        Ogre::Entity* hull = entity(def.collisionMeshName);
        Ogre::AxisAlignedBox hullBox = hull->getMesh()->getBounds();
        // The hull covers the body it stands for, give or take its fins and rim.
        hullBox.scale(Ogre::Vector3(1.15f));
        EXPECT_TRUE(hullBox.contains(bodyBox.getCenter()));
        EXPECT_GT(hullBox.volume(), bodyBox.volume() * 0.6f);
    }
}

TEST_F(AirData, KestrelFacesAheadWithItsPodUnderTheNose)
{
    AirObjParams def("kestrel");
    ASSERT_TRUE(def.cacheLoaded());
    const Ogre::AxisAlignedBox body = bounds(def.meshName);
    const Ogre::AxisAlignedBox hull = bounds(def.collisionMeshName);
    EXPECT_TRUE(body.contains(Ogre::Vector3::ZERO));
    // Longer than wide, nose at -z.
    EXPECT_GT(body.getSize().z, 8.0f);
    EXPECT_LT(body.getMinimum().z, -4.0f);
    EXPECT_TRUE(hull.contains(Ogre::Vector3(0, 0, -3.5f)));
    EXPECT_TRUE(hull.contains(Ogre::Vector3(2.0f, 0, 0)));  // the stub wings
}
