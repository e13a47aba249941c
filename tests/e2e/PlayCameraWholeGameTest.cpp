// The play camera of our modes as a player sees it at 800 x 600: the vehicle, its turret and the
// Ovni it fights at a readable size, with the arena around it wide enough to see them coming.
#include "core/GamePlayData.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "support/GameHarness.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using testsupport::GameHarness;

namespace {

// The rectangle a world box covers on the screen, in pixels.
Ogre::Vector2 screenSize(Ogre::Camera* camera, const Ogre::AxisAlignedBox& box, int w, int h)
{
    Ogre::Vector2 lo(1e9f, 1e9f), hi(-1e9f, -1e9f);
    for (const Ogre::Vector3& corner : box.getAllCorners()) {
        const Ogre::Vector2 p = testsupport::toScreen(camera, corner, w, h);
        lo.makeFloor(p);
        hi.makeCeil(p);
    }
    return hi - lo;
}

}  // namespace

TEST(PlayCameraWholeGame, ShowsTheVehicleAndTheOvniAtAReadableSize)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;  // 800 x 600
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(30);
    game.tapKey(OIS::KC_RETURN);  // the first mode, Arcade
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    ASSERT_TRUE(game.runUntil([&] { return play->playData && play->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
    game.runFrames(90);
    ASSERT_NE(play->rules, nullptr);
    GroundVehicle* vehicle = play->rules->player;
    ASSERT_NE(vehicle, nullptr);
    Ogre::Camera* camera = play->viewport->getCamera();
    ASSERT_EQ(camera, play->camera->followCam);
    const int w = 800, h = 600;
    const testsupport::Screenshot shot = game.screenshot();
    testsupport::keepShot(shot, "play_camera_arcade");

    const Ogre::Vector2 body = screenSize(camera, vehicle->getEntity()->getWorldBoundingBox(true), w, h);
    const Ogre::Vector2 turret = screenSize(camera, vehicle->getTurretEntity()->getWorldBoundingBox(true), w, h);
    EXPECT_GE(std::max(body.x, body.y), 36.0f) << body;
    EXPECT_GE(std::max(turret.x, turret.y), 20.0f) << turret;
    int ovni = 0;
    for (const GameObjectManager::Slot& s : play->objects->slots())
        if (!s.free && dynamic_cast<Ovni*>(s.object)) {
            const Ogre::Vector2 size = screenSize(camera, s.object->getEntity()->getWorldBoundingBox(true), w, h);
            // A wisp hovers low, across the line of fire: about 24 pixels across.
            EXPECT_GE(std::max(size.x, size.y), 22.0f) << size;
            ++ovni;
        }
    EXPECT_GT(ovni, 0);

    // The ground seen ahead of the vehicle (top of the view) and to its sides.
    const Ogre::Vector3 at = vehicle->getMainNode()->_getDerivedPosition();
    const Ogre::Plane ground(Ogre::Vector3::UNIT_Y, 0.0f);
    const auto groundAt = [&](float x, float y) {
        const Ogre::Ray ray = camera->getCameraToViewportRay(x, y);
        const auto hit = ray.intersects(ground);
        return hit.first ? ray.getPoint(hit.second) : Ogre::Vector3(0, 0, -1e6f);
    };
    const Ogre::Vector3 top = groundAt(0.5f, 0.0f), left = groundAt(0.0f, 0.5f), right = groundAt(1.0f, 0.5f);
    EXPECT_GE(at.z - top.z, 45.0f) << "ahead";
    EXPECT_GE(at.x - left.x, 40.0f) << "to the left";
    EXPECT_GE(right.x - at.x, 40.0f) << "to the right";

    // The jump-dash (Left Ctrl) throws the vehicle some lengths of itself forward in half a second:
    // on screen the spot it left lies far behind it.
    game.tapKey(OIS::KC_LCONTROL);
    game.runFrames(30);
    const Ogre::Vector3 dashed = vehicle->getMainNode()->_getDerivedPosition();
    testsupport::keepShot(game.screenshot(), "play_camera_dashed");
    EXPECT_GT(Ogre::Vector2(dashed.x, dashed.z).distance(Ogre::Vector2(at.x, at.z)), 12.0f) << dashed;
    EXPECT_GT(testsupport::toScreen(camera, dashed, w, h).distance(testsupport::toScreen(camera, at, w, h)), 80.0f);
}
