// A whole free play as a player has it, in the running game with scripted input: the first mode
// chosen on the title, the black frame, the fade-in and countdown with the intro flight, the
// follow camera over Town, the pause panel over a world that stands still, and back to the title.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "definitions/WarHeadParams.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/projParams.h"
#include "play/GS_PlayOnly.h"
#include "play/Priget_PlayPause.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

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

    // A rocket crossing the arena, to see the world stand still behind the pause.
    projParams* rocketDef = play->projectileDefs->getParams("proj_rocket", ProjectileKind_Rocket);
    WarHeadParams* explosive = play->warheadDefs->getParams("wh_explosive");
    ASSERT_NE(rocketDef, nullptr);
    const uint8_t noTracking = 0;
    play->projectiles->spawn(2, ProjectileKind_Rocket, Ogre::Vector3(-40, 30, 0),
                             Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(Ogre::Vector3::UNIT_X), 0, 0, 900,
                             rocketDef->Damage, rocketDef, explosive, &noTracking, 0, nullptr);
    Projectile* rocket = nullptr;
    for (uint32_t slot = 0; slot < play->projectiles->slotCount() && !rocket; ++slot)
        rocket = play->projectiles->projectileInSlot(slot);
    ASSERT_NE(rocket, nullptr);

    // Escape: the pause panel, and for a second of frames nothing moves.
    const Screenshot beforePause = game.screenshot();
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.runFrames(60);  // the column slides in
    const Ogre::Vector3 rocketAt = rocket->getNode()->getPosition();
    const float playTime = play->playData->playTime;
    const Screenshot paused = game.screenshot();
    testsupport::keepShot(paused, "play_paused");
    const MyGUI::IntCoord column = play->pausePanel->menuPanel->getAbsoluteCoord();
    EXPECT_GT(paused.countChanged(beforePause, column.left + column.width / 2, column.top + column.height / 2,
                                  column.height / 2 - 4),
              column.height * column.height / 4);
    game.runFrames(60);
    EXPECT_EQ(rocket->getNode()->getPosition(), rocketAt);
    EXPECT_EQ(play->playData->playTime, playTime);

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
