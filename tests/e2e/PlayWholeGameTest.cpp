// A whole free play as a player has it, in the running game with scripted input: the first mode
// chosen on the title, the black frame, the fade-in and countdown with the intro flight, the
// follow camera over Town, the pause panel over a world that stands still, and back to the title.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "play/GS_PlayOnly.h"
#include "play/Priget_PlayPause.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/Projectile.h"
#include "world/TreadScrollFunction.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {

std::string viewportCamera(GameHarness& game) { return game.window()->getViewport(0)->getCamera()->getName(); }

// Pixels of the picture that are (nearly) black, on a 20-pixel grid.
int darkOnGrid(const Screenshot& shot)
{
    int dark = 0;
    for (int y = 0; y < shot.height(); y += 20)
        for (int x = 0; x < shot.width(); x += 20)
            dark += shot.at(x, y).near(Rgb{0, 0, 0}, 10) ? 1 : 0;
    return dark;
}

}  // namespace

TEST(PlayWholeGame, MenuPlayPauseQuit)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(60);
    ASSERT_EQ(game.session()->selectedIndex, 0u);
    game.tapKey(OIS::KC_RETURN);
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(game.session()->challengeMode, 0);

    // The black first frame, then the fade-in and the countdown seen through the intro camera.
    EXPECT_EQ(darkOnGrid(game.screenshot()), 40 * 30);
    game.runFrames(70);
    EXPECT_EQ(viewportCamera(game), "ZV_cIntroCam");
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_INTRO);
    const Screenshot countdown = game.screenshot();
    testsupport::keepShot(countdown, "play_countdown");
    EXPECT_LT(darkOnGrid(countdown), 40 * 30 / 4);
    // The caption's number in white in the middle.
    const MyGUI::IntCoord caption = play->countdownText->getAbsoluteCoord();
    EXPECT_GT(countdown.countNear(Rgb{255, 255, 255}, caption.left, caption.top, caption.width, caption.height, 60),
              20);

    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
    game.runFrames(70);  // the intro cogs fade out
    EXPECT_EQ(viewportCamera(game), "ZV_cPCMCam");
    const Screenshot playing = game.screenshot();
    testsupport::keepShot(playing, "play_follow");
    EXPECT_LT(darkOnGrid(playing), 40 * 30 / 10);
    EXPECT_FALSE(play->introPanel->getVisible());

    // The player's vehicle near the middle of the picture, and W drives it.
    GroundVehicle* vehicle = play->playerVehicle();
    ASSERT_NE(vehicle, nullptr);
    Ogre::Camera* camera = game.window()->getViewport(0)->getCamera();
    const Ogre::Vector2 seen = testsupport::toScreen(camera, vehicle->getMainNode()->_getDerivedPosition(), 800, 600);
    EXPECT_LT(std::abs(seen.x - 400), 120) << seen;
    EXPECT_LT(std::abs(seen.y - 300), 120) << seen;
    const Ogre::Vector3 parked = vehicle->getMainNode()->getPosition();
    game.press(OIS::KC_W);
    game.runFrames(60);
    game.release(OIS::KC_W);
    const Ogre::Vector3 driven = vehicle->getMainNode()->getPosition();
    EXPECT_GT(Ogre::Vector2(driven.x, driven.z).distance(Ogre::Vector2(parked.x, parked.z)), 3.0f) << driven;
    testsupport::keepShot(game.screenshot(), "play_driven");

    // A wisp of the mode's start population, flying about.
    Ovni* ovni = testsupport::firstWisp(play);
    ASSERT_NE(ovni, nullptr);
    // Its body bobs above its main node every tick.
    auto ovniBody = [&] { return ovni->getBodyNode()->_getDerivedPosition(); };
    const Ogre::Vector3 ovniBefore = ovniBody();
    float ovniTravel = 0.0f;
    for (int i = 0; i < 60; ++i) {
        game.frame();
        ovniTravel = std::max(ovniTravel, ovniBody().distance(ovniBefore));
    }
    EXPECT_GT(ovniTravel, 0.1f);

    // A rocket crossing the arena, to see the world stand still behind the pause.
    Projectile* rocket = testsupport::launchRocket(play, Ogre::Vector3(-40, 30, 0));
    ASSERT_NE(rocket, nullptr);

    // Turning on the spot (A held) as the play pauses, so its treads were running.
    game.press(OIS::KC_A);
    game.runFrames(10);
    const auto treadScroll = [&] {
        return vehicle->getTreads().at(0).material->getTechnique(0)->getPass(0)->getTextureUnitState(0)
            ->getTextureVScroll();
    };
    ASSERT_NE(vehicle->getTreads().at(0).scrollFunction, nullptr);
    EXPECT_NE(vehicle->getTreads().at(0).scrollFunction->getRate(), 0.0f);

    // Escape: the pause panel, and for a second of frames nothing moves.
    const Screenshot beforePause = game.screenshot();
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.runFrames(60);  // the column slides in
    const float treadAt = treadScroll();
    const Ogre::Vector3 rocketAt = rocket->getNode()->getPosition();
    const Ogre::Vector3 vehicleAt = vehicle->getMainNode()->getPosition();
    const Ogre::Vector3 ovniAt = ovniBody();
    const float playTime = play->playData->playTime;
    const Screenshot paused = game.screenshot();
    testsupport::keepShot(paused, "play_paused");
    const MyGUI::IntCoord column = play->pausePanel->menuPanel->getAbsoluteCoord();
    EXPECT_GT(paused.countChanged(beforePause, column.left + column.width / 2, column.top + column.height / 2,
                                  column.height / 2 - 4),
              column.height * column.height / 4);
    game.runFrames(60);
    EXPECT_EQ(rocket->getNode()->getPosition(), rocketAt);
    EXPECT_EQ(vehicle->getMainNode()->getPosition(), vehicleAt);
    EXPECT_EQ(ovniBody(), ovniAt);
    EXPECT_EQ(play->playData->playTime, playTime);
    EXPECT_EQ(treadScroll(), treadAt) << "the treads stand still";
    game.release(OIS::KC_A);

    // Down, Down, Return: Quit, back to the title over the map.
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(game.session()->selectedIndex, 2u);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    game.runFrames(70);
    testsupport::keepShot(game.screenshot(), "play_back_at_title");
    EXPECT_EQ(viewportCamera(game), "BreaCam");
}
