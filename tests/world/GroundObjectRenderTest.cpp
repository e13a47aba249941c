// A ground object drawn by the GL renderer on the virtual display: the bastion with its turret
// and mast stands before the camera, and once deleted the frame is background again.
#include "FxTestEngine.h"

#include "definitions/GroundObjParams.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GO_subObj.h"
#include "world/GroundObject.h"
#include "world/TargetRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

namespace {

class GroundObjectRender : public ::testing::Test {
protected:
    static constexpr unsigned kWidth = 320;
    static constexpr unsigned kHeight = 240;

    void SetUp() override
    {
        // Keep the GL driver loaded to the end, so the leak checker can name what it leaks itself.
        for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
            dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
        logManager_ = std::make_unique<Ogre::LogManager>();
        logManager_->createLog("ground_object_render_test.log", true, false, true);
        root_ = std::make_unique<Ogre::Root>(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg", "", "");
        root_->setRenderSystem(root_->getRenderSystemByName("OpenGL Rendering Subsystem"));
        root_->initialise(false);
        window_ = root_->createRenderWindow("ground object test", kWidth, kHeight, false);
        fxtest::loadFxResources(root_.get(), &factory_, "", false);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* dir : {"Materials", "Textures", "Meshes"})
            groups.addResourceLocation(testsupport::gameTreeDir() + "/Data/" + dir, "FileSystem", "ObjectTest");
        groups.initialiseResourceGroup("ObjectTest");

        scene_ = root_->createSceneManager();
        scene_->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f));
        Ogre::Light* sun = scene_->createLight("sun");
        sun->setType(Ogre::Light::LT_DIRECTIONAL);
        scene_->getRootSceneNode()->createChildSceneNode()->attachObject(sun);
        sun->getParentSceneNode()->setDirection(Ogre::Vector3(-0.4f, -1.0f, -0.6f));
        Ogre::Camera* camera = scene_->createCamera("cam");
        camera->setNearClipDistance(0.5f);
        Ogre::SceneNode* camNode = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(10, 9, 16));
        camNode->attachObject(camera);
        camNode->lookAt(Ogre::Vector3(0, 3, 0), Ogre::Node::TS_WORLD);
        camera->setAspectRatio(float(kWidth) / float(kHeight));
        window_->addViewport(camera)->setBackgroundColour(Ogre::ColourValue(0.1f, 0.12f, 0.16f));

        random_.seed(5);
        pool_ = std::make_unique<FxPool>(scene_, &library_, nullptr, &random_, "GPO");
        damage_ = std::make_unique<DamageRegistry>(nullptr, scene_, &random_, nullptr, nullptr, nullptr);
        handles_.random = &random_;
        handles_.damage = damage_.get();
        handles_.targets = &targets_;
        handles_.fx = pool_.get();
        handles_.scene = scene_;
    }
    void TearDown() override
    {
        damage_.reset();
        pool_.reset();
        window_->removeAllViewports();
        root_->destroySceneManager(scene_);
        root_.reset();
        logManager_.reset();
    }

    // Draws one frame; how many pixels differ clearly from the background.
    int frame(const char* shot = nullptr)
    {
        root_->renderOneFrame();
        std::vector<uint8_t> pixels(kWidth * kHeight * 3);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, pixels.data());
        window_->copyContentsToMemory(box, box);
        if (shot && std::getenv("VANTOREL_OBJECT_SHOTS"))
            window_->writeContentsToFile(std::string(std::getenv("VANTOREL_OBJECT_SHOTS")) + shot);
        const int background[3] = {26, 31, 41};
        int differing = 0;
        for (size_t i = 0; i < pixels.size(); i += 3) {
            int d = 0;
            for (int k = 0; k < 3; ++k)
                d = std::max(d, std::abs(int(pixels[i + k]) - background[k]));
            differing += d > 24 ? 1 : 0;
        }
        return differing;
    }

    InterpolationAffectorFactory factory_;
    std::unique_ptr<Ogre::LogManager> logManager_;
    testsupport::ScopedWorkDir cwd_{testsupport::gameTreeDir() + "/Bin/Game"};
    std::unique_ptr<Ogre::Root> root_;
    Ogre::RenderWindow* window_ = nullptr;
    Ogre::SceneManager* scene_ = nullptr;
    FxParamsLibrary library_;
    RandomGenerator random_;
    std::unique_ptr<FxPool> pool_;
    std::unique_ptr<DamageRegistry> damage_;
    TargetRegistry targets_;
    GameObjectHandles handles_;
};

}  // namespace

TEST_F(GroundObjectRender, ABastionIsDrawnAndGoneOnceDeleted)
{
    EXPECT_EQ(frame("_empty.png"), 0);
    GroundObjParams bastion("bastion");
    ASSERT_TRUE(bastion.cacheLoaded());
    auto object = std::make_unique<GroundObject>(handles_, &bastion, 1, 2);
    ASSERT_EQ(object->getSubObjectCount(), 2u);
    const int drawn = frame("_bastion.png");
    // Base, turret and mast fill a good part of the frame.
    EXPECT_GT(drawn, int(kWidth * kHeight / 10));
    // The collision hulls stay hidden: hiding the visible parts leaves nothing drawn.
    object->getEntity()->setVisible(false);
    for (uint32_t i = 0; i < 2; ++i)
        object->getSubObject(i)->getEntity()->setVisible(false);
    EXPECT_EQ(frame(), 0);

    object.reset();
    for (int i = 0; i < 5; ++i)
        pool_->update(0.5f);  // the released critical smoke goes too
    EXPECT_EQ(frame("_after.png"), 0);
}
