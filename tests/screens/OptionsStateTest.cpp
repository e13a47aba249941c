#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_OptionsControl.h"
#include "screens/Priget_OptionsDisplay.h"
#include "screens/Priget_OptionsMenu.h"
#include "screens/Priget_OptionsSound.h"
#include "screens/ScreensTestSupport.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using screenstest::switchTo;
using testsupport::GameHarness;
using testsupport::HarnessOptions;

TEST(OptionsState, OnlyDisplayAndBackAreReachableByKeys)
{
    GameHarness game;
    switchTo(game, GAMESTATE_OPTIONS);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    Priget_OptionsMenu* menu = options->optionsMenu;
    GameSession* session = game.session();

    EXPECT_TRUE(menu->displayButton->getVisible());
    EXPECT_TRUE(menu->backButton->getVisible());
    for (const MyGUI::Button* b : {menu->controlButton, menu->audioButton, menu->gameButton}) {
        EXPECT_FALSE(b->getVisible());
        EXPECT_FALSE(b->getEnabled());
    }
    EXPECT_EQ(menu->backButton->getTop(), 48);
    EXPECT_EQ(menu->panel->getSize(), MyGUI::IntSize(168, 88));
    EXPECT_TRUE(menu->displayButton->getStateSelected());
    // The display page is the one shown at the start.
    EXPECT_TRUE(options->displayPage->mainPanel->getVisible());
    EXPECT_FALSE(options->soundPage->panel->getVisible());
    EXPECT_FALSE(options->controlPage->panel->getVisible());

    EXPECT_EQ(session->selectedIndex, 0u);
    // A key still held from the previous screen does nothing: the first frame only reads it.
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 0u);
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 4u);
    game.tapKey(OIS::KC_S);
    EXPECT_EQ(session->selectedIndex, 0u);
    game.tapKey(OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 4u);
    // Held, a key steps once.
    game.press(OIS::KC_DOWN);
    game.runFrames(5);
    game.release(OIS::KC_DOWN);
    game.frame();
    EXPECT_EQ(session->selectedIndex, 0u);

    // Return on "Display Options" does nothing; the pages open only by mouse.
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
    ASSERT_EQ(game.stateAs<GS_Options>(), options);
    EXPECT_TRUE(options->displayPage->mainPanel->getVisible());

    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

TEST(OptionsState, ReturnHeldFromTheMenuDoesNothingUntilPressedAgain)
{
    GameHarness game;
    game.press(OIS::KC_RETURN);
    game.frame();
    // The menu's confirm leaves its latch set.
    game.session()->inputLatch = 1;
    switchTo(game, GAMESTATE_OPTIONS);
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.session()->selectedIndex = Priget_OptionsMenu::Back;
    game.runFrames(5);
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.release(OIS::KC_RETURN);
    game.frame();
    game.tapKey(OIS::KC_RETURN);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

TEST(OptionsState, BackInputsLeaveAndThePadCountsOnlyWhenEnabled)
{
    HarnessOptions withPad;
    withPad.joystick = true;
    GameHarness game(withPad);
    switchTo(game, GAMESTATE_OPTIONS);
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.frame();
    // The title enables any pad it finds; switched off here, the options must ignore it.
    game.session()->gamepadEnabled = 0;

    game.joystick()->setButton(1, true);
    game.runFrames(2);
    game.joystick()->setButton(1, false);
    game.frame();
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr) << "pad not enabled: button 1 is no back input";

    game.session()->gamepadEnabled = 1;
    game.joystick()->setButton(1, true);
    game.frame();
    game.joystick()->setButton(1, false);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_EQ(game.state()->stateId, 1u);

    // Escape leaves without a pad too.
    game.frame();
    switchTo(game, GAMESTATE_OPTIONS);
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.frame();
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

TEST(OptionsState, PageButtonsShowOnePageAtATime)
{
    GameHarness game;
    switchTo(game, GAMESTATE_OPTIONS);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    Priget_OptionsMenu* menu = options->optionsMenu;
    MyGUI::Widget* display = options->displayPage->mainPanel;
    MyGUI::Widget* audio = options->soundPage->panel;
    MyGUI::Widget* control = options->controlPage->panel;
    auto shown = [&] { return screenstest::visibleCount(display, audio, control); };

    // A real click on "Display Options" hides the page and unchecks the button; a second shows it.
    game.clickWidget(menu->displayButton);
    EXPECT_FALSE(display->getVisible());
    EXPECT_FALSE(menu->displayButton->getStateSelected());
    game.runFrames(3);  // hovering is no click
    EXPECT_FALSE(display->getVisible());
    game.clickWidget(menu->displayButton);
    EXPECT_TRUE(display->getVisible());
    EXPECT_TRUE(menu->displayButton->getStateSelected());

    options->onAudioClick(menu->audioButton);
    EXPECT_TRUE(audio->getVisible());
    EXPECT_EQ(options->soundPage->visible, 1);
    EXPECT_FALSE(menu->displayButton->getStateSelected());
    EXPECT_EQ(shown(), 1);
    options->onAudioClick(menu->audioButton);
    EXPECT_EQ(shown(), 0);

    options->onControlClick(menu->controlButton);
    EXPECT_TRUE(control->getVisible());
    EXPECT_EQ(options->controlPage->visible, 1);
    options->onControlClick(menu->controlButton);
    EXPECT_TRUE(control->getVisible()) << "the control button does not toggle";
    options->onDisplayClick(menu->displayButton);
    EXPECT_TRUE(display->getVisible());
    EXPECT_EQ(shown(), 1);
}

TEST(OptionsState, HoverMovesTheHighlightAndLeavingAButtonToo)
{
    GameHarness game;
    switchTo(game, GAMESTATE_OPTIONS);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    Priget_OptionsMenu* menu = options->optionsMenu;
    const MyGUI::IntCoord back = menu->backButton->getAbsoluteCoord();
    game.moveMouseTo(back.left + 10, back.top + 10);
    game.frame();
    EXPECT_EQ(game.session()->selectedIndex, 4u);
    // Leaving a button counts as entering it, as the focus handler does not look at the flag.
    game.session()->selectedIndex = 0;
    game.moveMouseTo(5, 5);
    game.frame();
    EXPECT_EQ(game.session()->selectedIndex, 4u);
    // A press on "Back to Menu" leaves.
    game.clickWidget(menu->backButton);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}
