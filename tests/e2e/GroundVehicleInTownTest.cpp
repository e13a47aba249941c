// An abrams driving over Town in the running game: built on the game's own scene, sounds and
// definitions, drawn by its renderer, on the map's floor, up to the fountain.
#include "audio/Sound.h"
#include "core/ZV_GameState.h"
#include "definitions/GroundVehiParams.h"
#include "support/GameHarness.h"
#include "world/PlayWorld.h"
#include "world/FxPool.h"
#include "world/GroundVehicle.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"
#include "world/TreadScrollFunction.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Screenshot;
using testsupport::keepShot;
using testsupport::toScreen;

namespace {

constexpr float kDt = 1.0f / 60.0f;
// Town's fountain node (data/game/Data/Scenes/Town/map.ini).
constexpr float kFountainX = -32.0f;
constexpr float kFountainZ = -24.0f;

bool wheelsGrounded(const GroundVehicle& v)
{
    for (const VehicleTread& t : v.getTreads())
        for (const VehicleWheel& w : t.wheels)
            if (!w.grounded)
                return false;
    return true;
}

TEST(GroundVehicleInTown, DrivesOverTownOnTheGround)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    game.runFrames(60);  // past the title's fade-in
    ZV_GameState* state = game.state();
    ASSERT_NE(state->sceneCreator, nullptr);
    Ogre::SceneManager* scene = game.sceneManager();
    for (auto widgets = MyGUI::Gui::getInstance().getEnumerator(); widgets.next();)
        widgets.current()->setVisible(false);

    // The test's own camera, south-east of the fountain, looking along the vehicle's way to it.
    Ogre::Camera* mapCamera = state->viewport->getCamera();
    Ogre::Camera* camera = testsupport::showTestCamera(scene, state->viewport, "VehicleTestCam",
                                                       Ogre::Vector3(-14, 8, 30), Ogre::Vector3(-32, 1, 0));
    Ogre::SceneNode* eye = camera->getParentSceneNode();

    // What a play builds for its objects, on the game's own scene, sounds and definitions.
    const std::unique_ptr<PlayWorld> world = game.makePlayWorld();
    const GameObjectHandles& handles = world->objectHandles();
    FxPool& pool = world->fx();
    ProjectileManager& projectiles = world->projectiles();
    GroundVehiParams abrams("abrams");
    ASSERT_TRUE(abrams.cacheLoaded());
    const float standY = abrams.groundOffset.y;  // Town's floor lies at 0

    auto vehicle = std::make_unique<GroundVehicle>(handles, &abrams, 1, 1);
    GroundVehicle& v = *vehicle;
    // South of the fountain (at -32, -24) at z 20, facing it (-z).
    v.getMainNode()->setPosition(kFountainX, 3, 20);
    v.updateCachedTransform();
    if (v.engineSound)
        v.engineSound->play();
    for (int i = 0; i < 60; ++i) {  // it lands and the spawn effect fades
        ASSERT_TRUE(v.update(kDt));
        pool.update(kDt);
        game.frame();
    }
    ASSERT_NEAR(v.getMainNode()->getPosition().y, standY, 0.01f);
    const Ogre::Vector3 start = v.getMainNode()->getPosition();
    const Screenshot before = game.screenshot();
    keepShot(before, "vehicle_before");

    v.accelerateInput = 1.0f;
    for (int i = 0; i < 90; ++i) {
        ASSERT_TRUE(v.update(kDt));
        pool.update(kDt);
        game.frame();
        ASSERT_NEAR(v.getMainNode()->getPosition().y, standY, 0.01f) << "frame " << i;
        ASSERT_TRUE(wheelsGrounded(v)) << "frame " << i;
    }
    const Ogre::Vector3 moved = v.getMainNode()->getPosition();
    EXPECT_LT(moved.z, start.z - 10.0f);
    EXPECT_NEAR(moved.x, kFountainX, 0.05f);
    ASSERT_NE(v.getTreads()[0].scrollFunction, nullptr);
    EXPECT_LT(v.getTreads()[0].scrollFunction->getRate(), 0.0f) << "the treads run";
    const Screenshot after = game.screenshot();
    keepShot(after, "vehicle_after");
    const int w = after.width(), h = after.height();
    const Ogre::Vector2 from = toScreen(camera, start + Ogre::Vector3(0, 1, 0), w, h);
    const Ogre::Vector2 to = toScreen(camera, moved + Ogre::Vector3(0, 1, 0), w, h);
    EXPECT_GT(after.countChanged(before, int(from.x), int(from.y), 20), 200) << from;
    EXPECT_GT(after.countChanged(before, int(to.x), int(to.y), 20), 200) << to;

    // Driving on, it stops at the fountain's footprint (14 x 14 about its node).
    for (int i = 0; i < 240; ++i) {
        ASSERT_TRUE(v.update(kDt));
        pool.update(kDt);
        game.frame();
        v.getMainNode()->_update(true, false);
        for (int p = 0; p < GroundVehicle::ProbeCount; ++p) {
            const Ogre::Vector3 at = v.getProbeNode(p)->_getDerivedPosition();
            ASSERT_FALSE(std::fabs(at.x - kFountainX) < 7.0f && std::fabs(at.z - kFountainZ) < 7.0f)
                << "frame " << i << " probe " << p;
        }
        ASSERT_NEAR(v.getMainNode()->getPosition().y, standY, 0.01f) << "frame " << i;
    }
    EXPECT_LT(v.getMainNode()->getPosition().z, kFountainZ + 12.0f) << "it reached the fountain";
    keepShot(game.screenshot(), "vehicle_fountain");

    vehicle.reset();
    projectiles.destroyAll();
    state->viewport->setCamera(mapCamera);
    eye->detachAllObjects();
    scene->destroyCamera(camera);
    scene->destroySceneNode(eye);
}

}  // namespace
