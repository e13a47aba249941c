// Ovni over Town in the running game: a wisp and a monolith placed on the projectile floor near
// the fountain, drawn by the game's own renderer, hovering, bobbing and wobbling, and a kestrel
// that stays in the air where it was put.
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "core/ZV_GameState.h"
#include "definitions/AirObjParams.h"
#include "definitions/OvniParams.h"
#include "support/GameHarness.h"
#include "world/PlayWorld.h"
#include "world/AirObject.h"
#include "world/FxPool.h"
#include "world/Ovni.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;
using testsupport::toScreen;

namespace {

constexpr float kDt = 1.0f / 60.0f;

bool violet(const Rgb& c) { return c.r > 110 && c.b > 110 && c.g < c.r - 50 && c.g < c.b - 50; }
bool yellow(const Rgb& c) { return c.r > 120 && c.g > 90 && c.b < c.g - 60 && c.r > c.b + 80; }

}  // namespace

TEST(OvniInTown, HoversOverTown)
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

    // The test's own camera, south of the fountain, looking north over it.
    Ogre::Viewport* viewport = game.window()->getViewport(0);
    Ogre::Camera* previous = viewport->getCamera();
    Ogre::Camera* camera =
        testsupport::showTestCamera(scene, viewport, "OvniTestCam", Ogre::Vector3(0, 9, 34), Ogre::Vector3(0, 6, 6));
    Ogre::SceneNode* eye = camera->getParentSceneNode();
    game.runFrames(2);
    const Screenshot empty = game.screenshot();

    {
        // What a play builds for its Ovni, on the game's own scene, data and definitions.
        const std::unique_ptr<PlayWorld> world = game.makePlayWorld();
        const GameObjectHandles& handles = world->objectHandles();
        FxPool& pool = world->fx();

        // Warping in would hide them for the first frames: no spawn effects here.
        OvniParams wispDef("wisp"), monolithDef("monolith");
        ASSERT_TRUE(wispDef.cacheLoaded() && monolithDef.cacheLoaded());
        wispDef.Spawn_Effect = monolithDef.Spawn_Effect = " ";
        AirObjParams kestrelDef("kestrel");
        ASSERT_TRUE(kestrelDef.cacheLoaded());
        kestrelDef.Spawn_Effect = " ";
        AirObject kestrel(handles, &kestrelDef, 3, 2);
        const Ogre::Vector3 kestrelAt(2, 17, -12);
        kestrel.setPosition(kestrelAt);
        kestrel.getMainNode()->yaw(Ogre::Degree(-30));
        Ovni wisp(handles, &wispDef, 1, 2);
        Ovni monolith(handles, &monolithDef, 2, 2);
        const float hover = core->playData()->ovniHoverHeight();
        ASSERT_GT(hover, 0.0f);
        wisp.setPosition({-8, 0, 14});
        wisp.placeOnFloor();
        monolith.setPosition({9, 0, 10});
        monolith.placeOnFloor();
        EXPECT_TRUE(wisp.getMainNode()->getPosition().positionEquals({-8, hover, 14}, 1e-3f));
        EXPECT_TRUE(monolith.getMainNode()->getPosition().positionEquals({9, hover, 10}, 1e-3f));

        const auto tick = [&](int frames) {
            for (int i = 0; i < frames; ++i) {
                ASSERT_TRUE(wisp.update(kDt));
                ASSERT_TRUE(monolith.update(kDt));
                ASSERT_TRUE(kestrel.update(kDt));
                pool.update(kDt);
                game.frame();
            }
        };
        tick(6);
        const Screenshot first = game.screenshot();
        tick(30);
        const Screenshot second = game.screenshot();
        testsupport::keepShot(second, "ovni");

        const int w = first.width(), h = first.height();
        const Ogre::Vector2 wispAt = toScreen(camera, wisp.getBodyNode()->_getDerivedPosition(), w, h);
        const Ogre::Vector2 monolithAt = toScreen(camera, monolith.getBodyNode()->_getDerivedPosition(), w, h);
        // Each body shows in its own colour where it stands, and not the other's.
        EXPECT_GT(second.countAround(int(wispAt.x), int(wispAt.y), 20, violet), 600) << wispAt;
        EXPECT_GT(second.countAround(int(monolithAt.x), int(monolithAt.y), 30, yellow), 1000) << monolithAt;
        EXPECT_EQ(second.countAround(int(wispAt.x), int(wispAt.y), 20, yellow), 0);
        EXPECT_EQ(second.countAround(int(monolithAt.x), int(monolithAt.y), 30, violet), 0);
        // Half a second later they have bobbed and wobbled.
        EXPECT_GT(second.countChanged(first, int(wispAt.x), int(wispAt.y), 25), 300);
        EXPECT_GT(second.countChanged(first, int(monolithAt.x), int(monolithAt.y), 35), 300);
        // The kestrel shows where it was put, and stays there.
        const Ogre::Vector2 kestrelOnScreen = toScreen(camera, kestrelAt, w, h);
        EXPECT_GT(second.countChanged(empty, int(kestrelOnScreen.x), int(kestrelOnScreen.y), 30), 300);
        EXPECT_EQ(kestrel.getWorldPosition(), kestrelAt);
        // Still at their hover height over the floor.
        EXPECT_NEAR(wisp.getMainNode()->getPosition().y, hover, 1e-3f);
        EXPECT_NEAR(monolith.getMainNode()->getPosition().y, hover, 1e-3f);
    }
    viewport->setCamera(previous);
    scene->destroyCamera(camera);
    scene->destroySceneNode(eye);
}
