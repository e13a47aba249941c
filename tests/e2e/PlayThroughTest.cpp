#include "core/GameSession.h"
#include "core/ZV_GameState.h"
#include "cutscenes/GS_Cutscene.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Credits.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/PlaceholderScreen.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::GameHarness;
using testsupport::Rgb;

namespace {

PlaceholderScreen* screenOf(ZV_GameState* state)
{
    if (auto* s = dynamic_cast<GS_Menu*>(state))
        return s->screen();
    if (auto* s = dynamic_cast<GS_PlayOnly*>(state))
        return s->screen();
    if (auto* s = dynamic_cast<GS_Cutscene*>(state))
        return s->screen();
    return nullptr;
}

// The window shows the current state's screen: its backdrop in the corners and its title's
// glyphs in the title's box.
void expectScreenShown(GameHarness& game, const char* title)
{
    SCOPED_TRACE(title);
    // Each screen fades in from black.
    game.runFrames(static_cast<int>(PlaceholderScreen::kFadeInTime * 60) + 2);
    PlaceholderScreen* screen = screenOf(game.state());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->titleBox()->getCaption().asUTF8(), title);
    const testsupport::Screenshot shot = game.screenshot();
    const Rgb backdrop = testsupport::toRgb(screen->backdropColour());
    if (screen->overWorld()) {
        // The map shows around the panel, through the menu camera: neither black nor the panel.
        EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(), "BreaCam");
        for (const Rgb& corner : {shot.at(5, 5), shot.at(shot.width() - 5, shot.height() - 5)}) {
            EXPECT_FALSE(corner.near(Rgb{0, 0, 0}, 12)) << corner;
            EXPECT_FALSE(corner.near(backdrop)) << corner;
        }
    } else {
        EXPECT_TRUE(shot.at(5, 5).near(backdrop)) << shot.at(5, 5) << " vs " << backdrop;
        EXPECT_TRUE(shot.at(shot.width() - 5, shot.height() - 5).near(backdrop));
    }
    const MyGUI::IntCoord t = screen->titleBox()->getAbsoluteCoord();
    const Rgb titleColour = testsupport::toRgb(screen->titleBox()->getTextColour());
    EXPECT_GT(shot.countNear(titleColour, t.left, t.top, t.width, t.height, 40), 40);
}

// Up/Down to the item, then Return.
void choose(GameHarness& game, size_t item)
{
    for (size_t i = 0; i < item; ++i)
        game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
}

}  // namespace

// Every way between the screens, with each of the three input devices, and out through Quit.
TEST(PlayThrough, EveryScreenAndBackThenQuit)
{
    testsupport::HarnessOptions options;
    options.joystick = true;
    GameHarness game(options);
    // As the profile screen does before the menu.
    game.session()->recreateProfile();
    game.frame();
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_TRUE(game.pixel(5, 5).near(Rgb{0, 0, 0}, 12)) << game.pixel(5, 5);
    expectScreenShown(game, "Vantorel");

    choose(game, 1);  // Options
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.tapKey(OIS::KC_ESCAPE);
    game.runFrames(2);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    expectScreenShown(game, "Vantorel");

    // Challenges: the passing state loads the campaign and hands over to the list, where Return
    // starts the first challenge; its intro plays before the play.
    choose(game, 2);
    ASSERT_NE(game.stateAs<GS_ListChall>(), nullptr);
    EXPECT_NE(game.session()->campaign, nullptr);
    game.runFrames(70);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, 2u);
    expectScreenShown(game, "Cutscene: Cs_FirstContact_In");
    choose(game, 0);  // Continue
    ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
    expectScreenShown(game, "Play");
    choose(game, 2);  // back to the challenge list
    ASSERT_NE(game.stateAs<GS_ListChall>(), nullptr);
    game.runFrames(2);
    game.tapKey(OIS::KC_ESCAPE);
    game.frame();
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    // The title puts the campaign away, which saves the player's progress.
    EXPECT_EQ(game.session()->campaign, nullptr);
    EXPECT_TRUE(std::filesystem::exists(game.tree().path("Saves/Pimo_Chall.DAT")));

    // A play that ends with a story scene: the cutscene runs first, then the menu it was bound for.
    choose(game, 0);
    ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
    // The scene keeps whatever name the session holds (the intro's was handed on and cleared).
    const std::string sequence = game.session()->getCutsceneName();
    choose(game, 1);  // End play with story
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, 1u);
    EXPECT_EQ(game.session()->cutsceneRequested, 0);
    expectScreenShown(game, ("Cutscene: " + sequence).c_str());

    // The cutscene asks for the credits; after them, the menu.
    choose(game, 1);  // Roll credits
    ASSERT_NE(game.stateAs<GS_Credits>(), nullptr);
    EXPECT_EQ(game.session()->creditsRequested, 0);
    // Escape after a frame without input fades out for a second.
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    game.runFrames(2);

    // Cutscene and credits straight from the menu, with the pad: hat down, button 0.
    testsupport::ScriptedJoyStick& pad = *game.joystick();
    auto padChoose = [&](int item) {
        for (int i = 0; i < item; ++i) {
            pad.setPov(OIS::Pov::South);
            game.frame();
            pad.setPov(OIS::Pov::Centered);
            game.frame();
        }
        pad.setButton(0, true);
        game.frame();
        pad.setButton(0, false);
        game.runFrames(2);
    };
    padChoose(3);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, 0u);
    padChoose(0);  // Continue
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    padChoose(4);
    ASSERT_NE(game.stateAs<GS_Credits>(), nullptr);
    // The credits take the pad's back button once a supported pad was found.
    game.session()->gamepadEnabled = 1;
    pad.setButton(7, true);
    game.frame();
    pad.setButton(7, false);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    expectScreenShown(game, "Vantorel");

    // Quit with the mouse: the loop ends on the frame after the press.
    auto* menu = game.stateAs<GS_Menu>();
    const MyGUI::Button* quit = menu->screen()->button(5);
    EXPECT_EQ(quit->getCaption().asUTF8(), "Quit");
    const MyGUI::IntCoord q = quit->getAbsoluteCoord();
    game.moveMouseTo(q.left + q.width / 2, q.top + q.height / 2);
    game.frame();
    game.mouseDown();
    EXPECT_TRUE(game.frame());
    EXPECT_FALSE(game.frame());
    EXPECT_TRUE(game.loopEnded());
}

// A key held across a switch does not act again on the next screen.
TEST(PlayThrough, HeldKeyDoesNotCarryOverToTheNextScreen)
{
    GameHarness game;
    game.frame();
    game.press(OIS::KC_RETURN);
    game.runFrames(30);
    ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
    game.release(OIS::KC_RETURN);
    game.runFrames(3);
    EXPECT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
}
