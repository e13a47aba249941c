// A computer-driven wisp over Town in the running game: its AI waits, turns and flies it about,
// drawn by the game's own renderer, and it stays inside the battle border.
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "core/ZV_GameState.h"
#include "definitions/OvniParams.h"
#include "support/GameHarness.h"
#include "world/PlayWorld.h"
#include "world/AIManager.h"
#include "world/AIdata.h"
#include "world/FxPool.h"
#include "world/Ovni.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;
using testsupport::toScreen;

namespace {

constexpr float kDt = 1.0f / 60.0f;

bool violet(const Rgb& c) { return c.r > 110 && c.b > 110 && c.g < c.r - 50 && c.g < c.b - 50; }

}  // namespace

TEST(AIInTown, WispWanders)
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
    // The play area a play sets when it starts; the title screen leaves it empty.
    const Ogre::Vector4 titleArea = context->playArea;
    context->playArea = Ogre::Vector4(-80, -55, 80, 55);
    for (auto widgets = MyGUI::Gui::getInstance().getEnumerator(); widgets.next();)
        widgets.current()->setVisible(false);

    // The test's own camera, high south of the fountain, looking down over it.
    Ogre::Viewport* viewport = game.window()->getViewport(0);
    Ogre::Camera* previous = viewport->getCamera();
    Ogre::Camera* camera =
        testsupport::showTestCamera(scene, viewport, "AITestCam", Ogre::Vector3(0, 34, 46), Ogre::Vector3(0, 4, 8));
    Ogre::SceneNode* eye = camera->getParentSceneNode();

    {
        // What a play builds for its AI-driven Ovni, on the game's own scene, data and definitions.
        const std::unique_ptr<PlayWorld> world = game.makePlayWorld();
        const GameObjectHandles& handles = world->objectHandles();
        AIManager& ai = world->ai();
        ProjectileManager& manager = world->projectiles();
        FxPool& pool = world->fx();

        OvniParams wispDef("wisp");
        ASSERT_TRUE(wispDef.cacheLoaded());
        ASSERT_EQ(wispDef.MoveType, 1u);
        wispDef.Spawn_Effect = " ";  // warping in would hide it for the first frames
        Ovni wisp(handles, &wispDef, 1, 2);
        wisp.setPosition({0, 0, 10});
        wisp.placeOnFloor();
        ASSERT_TRUE(ai.addObject(&wisp));
        const AIdata* rec = ai.findData(&wisp);
        ASSERT_NE(rec, nullptr);

        float fastest = 0.0f;
        const auto tick = [&](int frames) {
            for (int i = 0; i < frames; ++i) {
                ai.updateAll(kDt);
                ASSERT_TRUE(wisp.update(kDt));
                manager.update(kDt);
                pool.update(kDt);
                fastest = std::max(fastest, wisp.speedFactor);
                game.frame();
            }
        };
        tick(70);  // its arrival shake is over
        ASSERT_EQ(wisp.shake, 0.0f);
        const Ogre::Vector3 from = wisp.getWorldPosition();
        const Screenshot first = game.screenshot();
        tick(180);
        const Ogre::Vector3 to = wisp.getWorldPosition();
        const Screenshot second = game.screenshot();
        testsupport::keepShot(first, "ai_wisp_first");
        testsupport::keepShot(second, "ai_wisp_second");

        // It flew at full speed, at least one leg of MoveDuration at MoveSpeed.
        EXPECT_EQ(fastest, 1.0f);
        EXPECT_GT(from.distance(to), 0.9f * wispDef.MoveSpeed * wispDef.MoveDuration);
        // Inside the border, at its hover height.
        const Ogre::Vector4 border = context->playArea * context->playAreaScale;
        EXPECT_GE(to.x, border.x);
        EXPECT_LE(to.x, border.z);
        EXPECT_GE(to.z, border.y);
        EXPECT_LE(to.z, border.w);
        EXPECT_NEAR(wisp.getMainNode()->getPosition().y - from.y, 0.0f, 1.0f);
        // Seen: the wisp's violet where it was in the first picture and where it is in the second,
        // and gone from its old place.
        const int w = first.width(), h = first.height();
        const Ogre::Vector2 before = toScreen(camera, from, w, h);
        const Ogre::Vector2 after = toScreen(camera, to, w, h);
        EXPECT_GT(before.distance(after), 30.0f);
        EXPECT_GT(first.countAround(int(before.x), int(before.y), 15, violet), 150) << before;
        EXPECT_GT(second.countAround(int(after.x), int(after.y), 15, violet), 150) << after;
        EXPECT_LT(second.countAround(int(before.x), int(before.y), 8, violet), 20) << before;
        EXPECT_EQ(rec->hasTarget, 0);
    }
    context->playArea = titleArea;
    viewport->setCamera(previous);
    scene->destroyCamera(camera);
    scene->destroySceneNode(eye);
}
