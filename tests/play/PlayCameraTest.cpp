// The play camera in a headless engine: the intro flight over the countdown, the hand-over to the
// follow camera, the follow step by style, zoom, and what happens without a target.
#include "play/PlayCamera.h"
#include "support/TestSupport.h"
#include "world/GameObject.h"

#include <OgreCamera.h>
#include <OgreManualObject.h>
#include <OgreMesh.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

class PlayCameraTest : public ::testing::Test {
protected:
    PlayCameraTest()
    {
        scene = engine.root()->createSceneManager();
        Ogre::ManualObject box("playcam_box");
        box.begin("BaseWhite", Ogre::RenderOperation::OT_TRIANGLE_LIST);
        box.position(-1, 0, -1);
        box.position(1, 0, -1);
        box.position(0, 1, 1);
        box.end();
        box.convertToMesh("playcam_box.mesh");
        handles.scene = scene;
    }

    // A vehicle stand-in at p, heading `yawDegrees`.
    std::unique_ptr<GameObject> vehicle(const Ogre::Vector3& p, float yawDegrees)
    {
        auto object = std::make_unique<GameObject>(handles, "playcam_box.mesh", "car", 7, 1, "", "", 100);
        object->getMainNode()->setPosition(p);
        object->getMainNode()->yaw(Ogre::Degree(yawDegrees));
        return object;
    }

    // The intro camera's position in the target's frame, and whether it faces the target.
    static void expectIntroPose(const PlayCamera& cam, const GameObject& car, const Ogre::Vector3& local)
    {
        EXPECT_TRUE(cam.introCamNode->getPosition().positionEquals(local, 1e-4f)) << cam.introCamNode->getPosition();
        const Ogre::Vector3 eye = cam.introCamNode->_getDerivedPosition();
        const Ogre::Vector3 facing = cam.introCamNode->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        EXPECT_TRUE(facing.directionEquals(car.getMainNode()->getPosition() - eye, Ogre::Degree(0.1f))) << facing;
    }

    testsupport::HeadlessOgre engine;
    Ogre::SceneManager* scene = nullptr;
    GameObjectHandles handles;
};

}  // namespace

TEST_F(PlayCameraTest, BuildsBothCamerasAndReleasesThem)
{
    const auto rootChildren = scene->getRootSceneNode()->numChildren();
    {
        PlayCamera cam(nullptr, scene, nullptr, nullptr);
        EXPECT_EQ(cam.introCam->getName(), "ZV_cIntroCam");
        EXPECT_EQ(cam.followCam->getName(), "ZV_cPCMCam");
        EXPECT_FLOAT_EQ(cam.introCam->getNearClipDistance(), 1.0f);
        EXPECT_FLOAT_EQ(cam.followCam->getNearClipDistance(), 5.0f);
        EXPECT_EQ(cam.introCamNode->getParent(), cam.introBaseNode);
        EXPECT_EQ(cam.followCamNode->getParent(), cam.followArmNode);
        EXPECT_EQ(cam.followArmNode->getParent(), cam.followBaseNode);
    }
    EXPECT_FALSE(scene->hasCamera("ZV_cIntroCam"));
    EXPECT_FALSE(scene->hasCamera("ZV_cPCMCam"));
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), rootChildren);
    // The names are free again for the next play.
    PlayCamera again(nullptr, scene, nullptr, nullptr);
    EXPECT_TRUE(scene->hasCamera("ZV_cIntroCam"));
}

// The countdown's poses, in the target's frame (its heading minus 180 degrees), and the follow
// camera's slide back to its arm.
TEST_F(PlayCameraTest, IntroFlightAndFollowSlide)
{
    PlayCamera cam(nullptr, scene, nullptr, nullptr);
    std::unique_ptr<GameObject> car = vehicle(Ogre::Vector3(30, 4, -20), 90.0f);
    cam.target = car.get();

    cam.updateIntro();
    expectIntroPose(cam, *car, Ogre::Vector3(10, 1.5f, -3));
    EXPECT_EQ(cam.introBaseNode->getPosition(), Ogre::Vector3(30, 4, -20));
    const float frameYaw = cam.introBaseNode->getOrientation().getYaw().valueDegrees();
    EXPECT_NEAR(frameYaw, -90.0f, 1e-3f);
    // The frame is placed again from scratch each time, never turned further.
    cam.updateIntro();
    EXPECT_NEAR(cam.introBaseNode->getOrientation().getYaw().valueDegrees(), -90.0f, 1e-3f);

    struct Pose {
        float t;
        Ogre::Vector3 intro;
        float followSlide;  // y and z of the follow camera's node on its arm
    };
    const Pose poses[] = {
        {3.5f, {10, 1.5f, -3}, -10},
        {2.5f, {10, 1.5f, 0}, -10},
        {2.0f, {-2, 2.5f, 7}, -10},
        {1.5f, {0, 2.5f, 7}, -10},
        {1.0f, {2, 2.5f, 7}, -10},
        {0.6f, {2, 2.5f, 7}, -5},
        {0.2f, {2, 2.5f, 7}, 0},
        {-1.0f, {2, 2.5f, 7}, 0},
    };
    for (const Pose& p : poses) {
        SCOPED_TRACE(p.t);
        cam.updateView(p.t);
        expectIntroPose(cam, *car, p.intro);
        EXPECT_TRUE(cam.followCamNode->getPosition().positionEquals(Ogre::Vector3(0, p.followSlide, p.followSlide),
                                                                     1e-4f));
    }
}

TEST_F(PlayCameraTest, FollowsOnlyInStylesOneAndTwo)
{
    PlayCamera cam(nullptr, scene, nullptr, nullptr);
    std::unique_ptr<GameObject> car = vehicle(Ogre::Vector3(30, 4, -20), 45.0f);
    cam.target = car.get();
    for (uint32_t style : {0u, 3u, 7u}) {
        SCOPED_TRACE(style);
        cam.setStyle(style);
        cam.update();
        EXPECT_EQ(cam.followBaseNode->getPosition(), Ogre::Vector3::ZERO);
    }
    for (uint32_t style : {1u, 2u}) {
        SCOPED_TRACE(style);
        car->getMainNode()->setPosition(30, 4, -20);
        // Placed at once by the style, on the ground plane.
        cam.setStyle(style);
        EXPECT_EQ(cam.followBaseNode->getPosition(), Ogre::Vector3(30, 0, -20));
        car->getMainNode()->setPosition(-12, 9, 5);
        car->getMainNode()->yaw(Ogre::Degree(60));
        cam.update();
        EXPECT_EQ(cam.followBaseNode->getPosition(), Ogre::Vector3(-12, 0, 5));
        // The base never turns with the vehicle.
        EXPECT_EQ(cam.followBaseNode->getOrientation(), Ogre::Quaternion::IDENTITY);
    }
    // Back to a still style: the camera stays where it last followed.
    cam.setStyle(0);
    car->getMainNode()->setPosition(100, 0, 100);
    cam.update();
    EXPECT_EQ(cam.followBaseNode->getPosition(), Ogre::Vector3(-12, 0, 5));
}

TEST_F(PlayCameraTest, ZoomScalesTheArmAndZeroCountsAsOne)
{
    PlayCamera cam(nullptr, scene, nullptr, nullptr);
    EXPECT_EQ(cam.followArmNode->getPosition(), Ogre::Vector3(2, 150, 100));
    cam.setZoom(2.0f);
    EXPECT_EQ(cam.followArmNode->getPosition(), Ogre::Vector3(2, 300, 200));
    cam.setZoom(0.0f);
    EXPECT_FLOAT_EQ(cam.zoom, 1.0f);
    EXPECT_EQ(cam.followArmNode->getPosition(), Ogre::Vector3(2, 150, 100));
}

// Before the rules spawn the vehicle: nothing follows or flies, but the slide runs.
TEST_F(PlayCameraTest, WithoutTargetOnlyTheSlideRuns)
{
    PlayCamera cam(nullptr, scene, nullptr, nullptr);
    cam.setStyle(1);
    cam.update();
    cam.updateIntro();
    EXPECT_EQ(cam.followBaseNode->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(cam.introCamNode->getPosition(), Ogre::Vector3::ZERO);
    cam.updateView(2.5f);
    EXPECT_EQ(cam.introCamNode->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(cam.introBaseNode->getPosition(), Ogre::Vector3::ZERO);
    cam.updateView(0.5f);
    EXPECT_TRUE(cam.followCamNode->getPosition().positionEquals(Ogre::Vector3(0, -3.75f, -3.75f), 1e-4f));
}

// Without a scene manager or viewport nothing is built and nothing crashes.
TEST_F(PlayCameraTest, NoHandlesNoCrash)
{
    PlayCamera cam(nullptr, nullptr, nullptr, nullptr);
    cam.setStyle(1);
    cam.setZoom(2.0f);
    cam.update();
    cam.updateIntro();
    cam.updateView(0.0f);
    EXPECT_EQ(cam.introCam, nullptr);
}

// Counts every camera the viewport is given.
struct CameraSwitches : Ogre::Viewport::Listener {
    void viewportCameraChanged(Ogre::Viewport*) override { ++count; }
    int count = 0;
};

// The viewport needs a render system: a window on the virtual display. The intro camera is shown
// from the start, the follow camera from countdown 1 on, switched once and never back, with or
// without a target.
TEST(PlayCameraWindow, HandsTheViewportToTheFollowCameraOnce)
{
    for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
    Ogre::LogManager logs;
    logs.createLog("playcam_window_test.log", true, false, true);
    Ogre::Root root(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg", "", "");
    root.setRenderSystem(root.getRenderSystemByName("OpenGL Rendering Subsystem"));
    root.initialise(false);
    Ogre::RenderWindow* window = root.createRenderWindow("play camera test", 320, 200, false);
    Ogre::SceneManager* scene = root.createSceneManager();
    Ogre::Camera* menuCam = scene->createCamera("MenuCam");
    Ogre::Viewport* viewport = window->addViewport(menuCam);
    CameraSwitches switches;
    viewport->addListener(&switches);
    {
        PlayCamera cam(window, scene, nullptr, viewport);
        EXPECT_EQ(viewport->getCamera(), cam.introCam);
        EXPECT_FLOAT_EQ(cam.introCam->getAspectRatio(), 320.0f / 200.0f);
        EXPECT_FLOAT_EQ(cam.followCam->getAspectRatio(), 320.0f / 200.0f);
        const int before = switches.count;
        for (float t : {3.5f, 2.0f, 1.01f}) {
            cam.updateView(t);
            EXPECT_EQ(viewport->getCamera(), cam.introCam) << t;
        }
        for (float t : {1.0f, 0.5f, -1.0f, 2.5f}) {
            cam.updateView(t);
            EXPECT_EQ(viewport->getCamera(), cam.followCam) << t;
        }
        EXPECT_EQ(switches.count, before + 1);
        // The owner puts the menu camera back before the play camera goes.
        viewport->setCamera(menuCam);
    }
    viewport->removeListener(&switches);
    window->removeAllViewports();
    root.destroySceneManager(scene);
}
