// Trigger-area discs and the play camera's nodes, in a headless engine over the built meshes.
#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "definitions/OvniParams.h"
#include "world/TargetRegistry.h"
#include "play/AreaTrigger.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "support/TestSupport.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreSubEntity.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using testsupport::HeadlessOgre;
using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;

namespace {

class PlayScene : public ::testing::Test {
protected:
    PlayScene() : tree({"Data/Meshes"}), cwd(tree.workDir())
    {
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(tree.path("Data/Meshes"), "FileSystem", Ogre::RGN_DEFAULT);
        groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
        scene = engine.root()->createSceneManager();
    }

    void makeAreaMaterial()
    {
        Ogre::MaterialPtr m = Ogre::MaterialManager::getSingleton().create("ZV_TriggerAreaM", Ogre::RGN_DEFAULT);
        m->getTechnique(0)->getPass(0)->createTextureUnitState()->setName("tgteff");
    }

    AreaTrigger* make(uint32_t number)
    {
        return new AreaTrigger(nullptr, scene, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, number);
    }

    // An area with event rows of its own: variable 0 counts enters, 1 leaves, 2 time x count inside.
    std::unique_ptr<AreaTrigger> makeCounting(uint32_t type, const Ogre::Vector3& at, uint32_t number = 0)
    {
        data.mechaVars.assign(3, MechaVariable{});
        data.areaRows.assign(number + 1, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
        auto area = std::make_unique<AreaTrigger>(&data, scene, nullptr, nullptr, &targets, nullptr, nullptr,
                                                  &context, number);
        area->setType(type);
        area->placeAt(at);
        return area;
    }
    Ogre::SceneNode* nodeAt(const Ogre::Vector3& at) { return scene->getRootSceneNode()->createChildSceneNode(at); }
    Ogre::ColourValue discColour() const
    {
        return Ogre::MaterialManager::getSingleton().getByName("ZV_AT_Mat0")->getTechnique(0)->getPass(0)->getDiffuse();
    }

    GamePlayData data;
    TargetRegistry targets;
    SceneContext context{nullptr};

    HeadlessOgre engine;
    TempGameTree tree;
    ScopedWorkDir cwd;
    Ogre::SceneManager* scene = nullptr;
};

}  // namespace

TEST_F(PlayScene, AreaBuildsItsDiscAndRemovesEverythingItMade)
{
    makeAreaMaterial();
    const auto rootChildren = scene->getRootSceneNode()->numChildren();
    std::unique_ptr<AreaTrigger> area(make(0));

    ASSERT_TRUE(scene->hasEntity("ZV_TriAre0"));
    Ogre::Entity* disc = scene->getEntity("ZV_TriAre0");
    EXPECT_EQ(disc->getMesh()->getName(), "ZV_TriggerArea.mesh");
    EXPECT_NEAR(disc->getMesh()->getBoundingSphereRadius(), AreaTrigger::kBaseRadius, 0.5f);
    EXPECT_EQ(disc->getSubEntity(0)->getMaterialName(), "ZV_AT_Mat0");
    Ogre::MaterialPtr clone = Ogre::MaterialManager::getSingleton().getByName("ZV_AT_Mat0");
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->getTechnique(0)->getPass(0)->getDiffuse(), Ogre::ColourValue(0.5f, 0.5f, 0.0f, 0.5f));
    // Until the readers place it, the disc sits at the origin with radius 10.
    EXPECT_EQ(area->getNode()->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_FLOAT_EQ(area->getRadius(), 10.0f);

    area->applyScale(2.0f);
    area->placeAt({4, 9, -6});
    EXPECT_FLOAT_EQ(area->getRadius(), 20.0f);
    EXPECT_EQ(area->getNode()->getScale(), Ogre::Vector3(2, 2, 2));
    EXPECT_EQ(area->getCentre(), Ogre::Vector3(4, 0, -6));
    EXPECT_EQ(area->getPosition(), Ogre::Vector3(4, 9, -6));

    area.reset();
    EXPECT_FALSE(scene->hasEntity("ZV_TriAre0"));
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), rootChildren);
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("ZV_AT_Mat0"));
    EXPECT_TRUE(Ogre::MaterialManager::getSingleton().resourceExists("ZV_TriggerAreaM"));
}

TEST_F(PlayScene, AreaWithoutItsMaterialStillStands)
{
    std::unique_ptr<AreaTrigger> area(make(3));
    EXPECT_TRUE(scene->hasEntity("ZV_TriAre3"));
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("ZV_AT_Mat3"));
}

TEST_F(PlayScene, RulesPlaceTheirAreasAndTheCamera)
{
    makeAreaMaterial();
    testsupport::writeTextFile(tree.path("Data/GamePlay/Arena.ini"),
                               "[CAMERA]\ncamStyle = 2\ncamZoom = 2\n"
                               "[TrigArea]\nNumAreas = 2\nTArea_1_Type = 1\nTArea_1_Pos = 30 5 -40\n"
                               "TArea_1_Scale = 2\nTArea_2_Type = 3\nTArea_2_Scale = 1\n");
    GamePlayData data;
    PlayCamera camera(nullptr, scene, nullptr, nullptr);
    EXPECT_EQ(camera.followArmNode->getPosition(), Ogre::Vector3(2, 150, 100));
    {
        GameRulesManager rules(&data, nullptr, scene, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &camera);
        ASSERT_TRUE(rules.loadIniFile("Arena")) << rules.problem();
        EXPECT_EQ(camera.style, 2u);
        EXPECT_FLOAT_EQ(camera.zoom, 2.0f);
        EXPECT_EQ(camera.followArmNode->getPosition(), Ogre::Vector3(2, 300, 200));
        ASSERT_EQ(rules.areas.size(), 2u);
        EXPECT_EQ(rules.areas[0]->getNode()->getPosition(), Ogre::Vector3(30, 5, -40));
        EXPECT_TRUE(scene->hasEntity("ZV_TriAre1"));
        ASSERT_TRUE(rules.writeCacheFile("Arena"));

        // The cache reader puts the zoom on the camera too, 0 counting as 1.
        camera.setZoom(0.0f);
        EXPECT_EQ(camera.followArmNode->getPosition(), Ogre::Vector3(2, 150, 100));
    }
    EXPECT_FALSE(scene->hasEntity("ZV_TriAre0"));
    GameRulesManager again(&data, nullptr, scene, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &camera);
    ASSERT_TRUE(again.readCacheFile("Arena"));
    EXPECT_EQ(camera.followArmNode->getPosition(), Ogre::Vector3(2, 300, 200));
    ASSERT_EQ(again.areas.size(), 2u);
    EXPECT_EQ(again.areas[0]->getNode()->getScale(), Ogre::Vector3(2, 2, 2));
    EXPECT_EQ(again.areas[1]->getType(), 3u);
}

TEST_F(PlayScene, CameraMakesAndReleasesItsCamerasAndNodes)
{
    const auto rootChildren = scene->getRootSceneNode()->numChildren();
    {
        PlayCamera camera(nullptr, scene, nullptr, nullptr);
        EXPECT_TRUE(scene->hasCamera("ZV_cIntroCam"));
        EXPECT_TRUE(scene->hasCamera("ZV_cPCMCam"));
        EXPECT_EQ(camera.followCam->getParentSceneNode(), camera.followCamNode);
        EXPECT_EQ(camera.style, 0u);
        EXPECT_FLOAT_EQ(camera.zoom, 1.0f);
        // The arm looks down and forward.
        const Ogre::Vector3 facing = camera.followArmNode->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        EXPECT_TRUE(facing.directionEquals(Ogre::Vector3(0, -50, -30), Ogre::Degree(0.5f)));
    }
    EXPECT_FALSE(scene->hasCamera("ZV_cIntroCam"));
    EXPECT_FALSE(scene->hasCamera("ZV_cPCMCam"));
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), rootChildren);
}

TEST_F(PlayScene, AreasCountWhatIsInsideAndRaiseTheirEvents)
{
    makeAreaMaterial();
    OvniParams saucer("no_such_saucer");
    goParams tank("no_such_tank");
    auto area = makeCounting(2, {5, 3, 5});
    Ogre::SceneNode* rim = nodeAt({15, 80, 5});    // on the rim, high above
    Ogre::SceneNode* below = nodeAt({5, -3, 5});   // under the disc
    Ogre::SceneNode* outside = nodeAt({15.01f, 0, 5});
    const uint32_t a = targets.add(rim, nullptr, nullptr, &saucer, 0, 0);
    targets.add(below, nullptr, nullptr, &saucer, 0, 0);
    targets.add(outside, nullptr, nullptr, &saucer, 0, 0);
    const uint32_t t = targets.add(nodeAt({6, 0, 6}), nullptr, nullptr, &tank, 0, 0);

    struct Frame {
        const char* what;
        std::function<void()> change;
        uint32_t count;
        float enters, leaves, inside;  // the variables' totals after the frame
    };
    const std::vector<Frame> frames = {
        {"two Ovni enter at once", [] {}, 2, 2, 0, 1.0f},
        {"they stay", [] {}, 2, 2, 0, 2.0f},
        {"one leaves", [&] { below->setPosition(100, 0, 0); }, 1, 2, 1, 2.5f},
        {"the other is switched off", [&] { targets.entries()[a].active = 0; }, 0, 2, 2, 2.5f},
        {"empty stays quiet", [] {}, 0, 2, 2, 2.5f},
    };
    for (const Frame& f : frames) {
        f.change();
        EXPECT_FALSE(area->update(0.5f));
        EXPECT_EQ(area->getCount(), f.count) << f.what;
        EXPECT_FLOAT_EQ(data.mechaVars[0].value, f.enters) << f.what;
        EXPECT_FLOAT_EQ(data.mechaVars[1].value, f.leaves) << f.what;
        EXPECT_FLOAT_EQ(data.mechaVars[2].value, f.inside) << f.what;
    }

    // Any other type counts every active target, the tank too.
    targets.entries()[a].active = 1;
    auto any = makeCounting(3, {5, 0, 5}, 1);
    any->update(0.5f);
    EXPECT_EQ(any->getCount(), 2u);
    targets.remove(t);
    any->update(0.5f);
    EXPECT_EQ(any->getCount(), 1u);
}

TEST_F(PlayScene, APlayerAreaSeesThePlayerFromTheFirstFrame)
{
    makeAreaMaterial();
    auto area = makeCounting(1, {0, 0, 0});
    area->update(0.1f);  // no player yet
    EXPECT_EQ(area->getCount(), 0u);
    context.playerNode = nodeAt({-3, 40, 4});
    for (int i = 0; i < 3; ++i)
        area->update(0.1f);
    EXPECT_FLOAT_EQ(data.mechaVars[0].value, 1.0f) << "one enter";
    EXPECT_FLOAT_EQ(data.mechaVars[2].value, 0.3f);
    context.playerNode->setPosition(11, 0, 0);
    area->update(0.1f);
    EXPECT_FLOAT_EQ(data.mechaVars[1].value, 1.0f);
}

TEST_F(PlayScene, DiscsColourByTypeAndState)
{
    makeAreaMaterial();
    struct Case {
        uint32_t type;
        Ogre::ColourValue occupied, free;
    };
    const std::vector<Case> cases = {
        {1, Ogre::ColourValue(0, 0, 1, 1), Ogre::ColourValue(0, 0.5f, 0.5f, 0.5f)},
        {2, Ogre::ColourValue(1, 0, 0, 1), Ogre::ColourValue(0.5f, 0.5f, 0, 0.5f)},
        {7, Ogre::ColourValue(1, 1, 1, 1), Ogre::ColourValue(0, 0.5f, 0, 0.5f)},
    };
    const Ogre::ColourValue setUp(0.5f, 0.5f, 0.0f, 0.5f);
    for (const Case& c : cases) {
        auto area = makeCounting(c.type, {0, 0, 0});
        area->update(0.1f);
        EXPECT_EQ(discColour(), setUp) << "type " << c.type << ": the set-up colour until the first change";
        area->setStateColour(true);
        EXPECT_EQ(discColour(), c.occupied) << "type " << c.type;
        EXPECT_TRUE(area->isOccupied());
        area->setStateColour(false);
        EXPECT_EQ(discColour(), c.free) << "type " << c.type;
    }
}
