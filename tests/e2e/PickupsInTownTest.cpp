// A health pickup in Town in the running game: made by a play world's pickup manager from the
// game's own definition and mesh, lying on the floor south of the fountain, turning and bobbing
// smoothly.
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "core/ZV_GameState.h"
#include "definitions/PickupParams.h"
#include "definitions/PickupParamsLibrary.h"
#include "support/GameHarness.h"
#include "world/PickupManager.h"
#include "world/PlayWorld.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;
using testsupport::toScreen;

namespace {

constexpr float kDt = 1.0f / 60.0f;

bool red(const Rgb& c) { return c.r > 150 && c.g < 80 && c.b < 80; }
bool white(const Rgb& c) { return c.r > 190 && c.g > 190 && c.b > 190; }

}  // namespace

TEST(PickupsInTown, TurnAndBob)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    game.runFrames(60);  // past the title's fade-in
    GameCore* core = game.core();
    ZV_GameState* state = game.state();
    ASSERT_NE(state->sceneCreator, nullptr);
    Ogre::SceneManager* scene = game.sceneManager();
    SceneContext* context = core->sceneContext();
    ASSERT_NE(context->projectileFloor, nullptr);
    for (auto widgets = MyGUI::Gui::getInstance().getEnumerator(); widgets.next();)
        widgets.current()->setVisible(false);

    // The test's own camera, low and close, looking north at the pickup's spot.
    const Ogre::Vector3 spot(0, 5.2f, 16);
    Ogre::Viewport* viewport = game.window()->getViewport(0);
    Ogre::Camera* previous = viewport->getCamera();
    Ogre::Camera* camera = testsupport::showTestCamera(scene, viewport, "PickupTestCam", Ogre::Vector3(0, 2.5f, 22),
                                                       Ogre::Vector3(0, 1.2f, 16));
    Ogre::SceneNode* eye = camera->getParentSceneNode();
    game.runFrames(2);
    const Screenshot empty = game.screenshot();

    {
        const std::unique_ptr<PlayWorld> world = game.makePlayWorld();
        PickupManager& pickups = world->pickups();
        PickupParams* def = pickups.getLibrary()->getParams("pick_health", false);
        ASSERT_TRUE(def->cacheLoaded());
        ASSERT_EQ(def->getTypeCode(), HealthPickupParams::kTypeCode);
        Pickup* health = pickups.spawn(def, spot);
        ASSERT_NE(health->getEntity(), nullptr);
        EXPECT_FLOAT_EQ(health->getRootNode()->getPosition().y, 0.0f);  // on Town's floor

        std::vector<float> heights;
        std::vector<Screenshot> shots;
        for (int i = 0; i <= 90; ++i) {  // 1.5 s
            pickups.update(kDt);
            game.frame();
            heights.push_back(health->getModelNode()->getPosition().y);
            if (i % 45 == 0)
                shots.push_back(game.screenshot());
        }
        for (size_t i = 0; i < shots.size(); ++i)
            testsupport::keepShot(shots[i], "pickup" + std::to_string(i));

        const int w = empty.width(), h = empty.height();
        const Ogre::Vector2 at = toScreen(camera, spot * Ogre::Vector3(1, 0, 1) + Ogre::Vector3(0, 1.5f, 0), w, h);
        // The crate shows where it lies, white with its red cross, and moves as it turns and bobs.
        for (const Screenshot& shot : shots) {
            EXPECT_GT(shot.countAround(int(at.x), int(at.y), 120, white), 2000) << at;
            EXPECT_GT(shot.countAround(int(at.x), int(at.y), 120, red), 300) << at;
            EXPECT_EQ(empty.countAround(int(at.x), int(at.y), 120, red), 0);
        }
        EXPECT_GT(shots[1].countChanged(shots[0], int(at.x), int(at.y), 120), 1500);
        EXPECT_GT(shots[2].countChanged(shots[1], int(at.x), int(at.y), 120), 1500);

        // Half a bob in 1.5 s: from the top (2 above the floor) down to the floor, never a jump.
        const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
        EXPECT_NEAR(*high, 2.0f, 0.01f);
        EXPECT_NEAR(*low, 0.0f, 0.01f);
        float biggestStep = 0.0f;
        for (size_t i = 1; i < heights.size(); ++i)
            biggestStep = std::max(biggestStep, std::fabs(heights[i] - heights[i - 1]));
        EXPECT_LT(biggestStep, 0.04f);
    }
    viewport->setCamera(previous);
    scene->destroyCamera(camera);
    scene->destroySceneNode(eye);
}
