#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "screens/GS_Credits.h"
#include "screens/GS_Menu.h"
#include "screens/ScreensTestSupport.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using screenstest::switchTo;
using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::Rgb;

namespace {

GS_Credits* openCredits(GameHarness& game)
{
    switchTo(game, GAMESTATE_CREDITS);
    return game.stateAs<GS_Credits>();
}

}  // namespace

TEST(Credits, RampsScrollsSlowsFadesAndReturnsToTheMenu)
{
    GameHarness game;  // 60 frames per second
    GS_Credits* credits = openCredits(game);
    ASSERT_NE(credits, nullptr);
    EXPECT_FALSE(MyGUI::PointerManager::getInstance().isVisible());
    game.frame();  // the fade-in starts; nothing moves
    EXPECT_EQ(credits->scrollPos, 0.0f);

    game.runFrames(120);  // two seconds of ramp
    EXPECT_NEAR(credits->speed, 1.0f, 1e-4);
    const float rampEnd = credits->scrollPos;
    EXPECT_NEAR(rampEnd, 60.0f, 2.0f) << "on average half speed over the ramp";
    game.runFrames(60);
    EXPECT_NEAR(credits->scrollPos - rampEnd, 60.0f, 0.5f);
    EXPECT_EQ(credits->page->getTop(), -static_cast<int>(credits->scrollPos));

    // A picture while scrolling: the headings are orange.
    credits->scrollPos = 560.0f;
    game.runFrames(2);
    const testsupport::Screenshot shot = game.screenshot();
    shot.savePng(testsupport::gameTreeDir() + "/../credits.png");
    EXPECT_GT(shot.countNear(Rgb{255, 128, 0}, 0, 0, shot.width(), shot.height(), 40), 50);

    // Near the end: slower from 2300, the fade once the speed is at most 0.01, then the menu.
    credits->scrollPos = 2290.0f;
    game.runFrames(60);
    EXPECT_LT(credits->speed, 1.0f);
    EXPECT_GT(credits->speed, 0.0f);
    int frames = 0;
    while (game.stateAs<GS_Credits>() && frames < 60 * 60) {
        game.frame();
        ++frames;
    }
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
}

TEST(Credits, ReturnScrollsFiveTimesAsFastAndHeldReturnBlocksEscape)
{
    GameHarness game;
    GS_Credits* credits = openCredits(game);
    ASSERT_NE(credits, nullptr);
    game.runFrames(130);
    const float start = credits->scrollPos;
    game.press(OIS::KC_RETURN);
    game.runFrames(61);  // the first frame still scrolls at normal speed
    EXPECT_NEAR(credits->scrollPos - start, 1.0f + 300.0f, 1.0f);
    game.press(OIS::KC_ESCAPE);
    game.runFrames(5);
    EXPECT_EQ(credits->leaving, 0);
    game.release(OIS::KC_RETURN);
    game.release(OIS::KC_ESCAPE);
    game.frame();
    const float released = credits->scrollPos;
    game.runFrames(60);
    EXPECT_NEAR(credits->scrollPos - released, 60.0f, 1.0f);
}

TEST(Credits, EscapeAfterAFreeFrameEndsInAboutASecond)
{
    GameHarness game;
    GS_Credits* credits = openCredits(game);
    ASSERT_NE(credits, nullptr);
    game.frame();
    // The first regular frame: the confirm mark still stands from the start.
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_EQ(credits->leaving, 0);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_EQ(credits->leaving, 1);
    int frames = 2;
    while (game.stateAs<GS_Credits>() && frames < 200) {
        game.frame();
        ++frames;
    }
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_GE(frames, 60);
    EXPECT_LE(frames, 64);
}

TEST(Credits, LongFramesStillEnd)
{
    HarnessOptions slow;
    slow.frameTime = 0.25f;
    GameHarness game(slow);
    GS_Credits* credits = openCredits(game);
    ASSERT_NE(credits, nullptr);
    game.runFrames(2);
    game.press(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 8));
    game.release(OIS::KC_ESCAPE);
}

TEST(Credits, PadButtonsCountOnlyWithThePadEnabled)
{
    HarnessOptions withPad;
    withPad.joystick = true;
    GameHarness game(withPad);
    GS_Credits* credits = openCredits(game);
    ASSERT_NE(credits, nullptr);
    game.runFrames(3);
    testsupport::ScriptedJoyStick& pad = *game.joystick();
    // The title enables any pad it finds; switched off here, the credits must ignore it.
    EXPECT_EQ(game.session()->gamepadEnabled, 1);
    game.session()->gamepadEnabled = 0;

    pad.setButton(0, true);
    game.runFrames(2);
    EXPECT_EQ(credits->fastScroll, 0);
    pad.setButton(0, false);
    pad.setButton(7, true);
    game.runFrames(2);
    EXPECT_EQ(credits->leaving, 0);
    pad.setButton(7, false);
    game.frame();

    game.session()->gamepadEnabled = 1;
    pad.setButton(0, true);
    game.runFrames(2);
    EXPECT_EQ(credits->fastScroll, 1);
    pad.setButton(0, false);
    game.frame();
    pad.setButton(7, true);
    game.frame();
    EXPECT_EQ(credits->leaving, 1);
}
