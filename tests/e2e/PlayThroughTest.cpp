#include "core/GameSession.h"
#include "core/ZV_GameState.h"
#include "cutscenes/DialogCutScene.h"
#include "cutscenes/GS_Cutscene.h"
#include "cutscenes/VideoCutScene.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Credits.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
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
    if (auto* s = dynamic_cast<GS_PlayOnly*>(state))
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

// The main menu over the map: the half-dark frame with its items, seen through the menu camera.
void expectMainMenuShown(GameHarness& game)
{
    auto* menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(game.session()->menuPhase, MENU_MAIN);
    // The fade-in and the menu's intro.
    game.runFrames(70);
    EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(), "BreaCam");
    const testsupport::Screenshot shot = game.screenshot();
    const Rgb corner = shot.at(5, 5);
    EXPECT_FALSE(corner.near(Rgb{0, 0, 0}, 12)) << corner;
    const MyGUI::IntCoord item = menu->mainMenu->item(8)->getAbsoluteCoord();
    EXPECT_TRUE(menu->mainMenu->item(8)->getVisible());
    // "Quit Game", not selected: light grey letters.
    EXPECT_GT(shot.countNear(Rgb{217, 217, 217}, item.left, item.top, item.width, item.height, 30), 30);
}

// Up/Down to the item, then Return.
void choose(GameHarness& game, size_t item)
{
    for (size_t i = 0; i < item; ++i)
        game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
}

// Down on the main menu until the item is the current one, then Return.
void chooseMenuItem(GameHarness& game, uint32_t item)
{
    for (int i = 0; i < 9 && game.session()->selectedIndex != item; ++i)
        game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(game.session()->selectedIndex, item);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
}

}  // namespace

// Every way between the screens, with each of the three input devices, and out through the
// quit box.
TEST(PlayThrough, EveryScreenAndBackThenQuit)
{
    testsupport::HarnessOptions options;
    options.joystick = true;
    options.joystickVendor = GS_Menu::kPadVendor;
    GameHarness game(options);
    ASSERT_TRUE(game.enterMainMenu("Pimo"));
    expectMainMenuShown(game);

    chooseMenuItem(game, 7);  // Options
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    expectMainMenuShown(game);

    // Challenges: the passing state loads the campaign and hands over to the list, where Return
    // starts the first challenge; its intro plays before the play.
    chooseMenuItem(game, 6);
    ASSERT_NE(game.stateAs<GS_ListChall>(), nullptr);
    EXPECT_NE(game.session()->campaign, nullptr);
    game.runFrames(70);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, 2u);
    // Escape skips the briefing film, then the dialog scene.
    game.runFrames(10);
    ASSERT_NE(dynamic_cast<VideoCutScene*>(game.stateAs<GS_Cutscene>()->getPlayer()), nullptr);
    game.tapKey(OIS::KC_ESCAPE);
    game.runFrames(3);
    ASSERT_NE(dynamic_cast<DialogCutScene*>(game.stateAs<GS_Cutscene>()->getPlayer()), nullptr);
    game.tapKey(OIS::KC_ESCAPE);
    game.runFrames(2);
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

    // A play that ends with the last story scene: its dialogs, then the credits, then the menu
    // the play was bound for.
    chooseMenuItem(game, 0);
    ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
    game.session()->cutsceneName = "Cs_LastLight_Out";
    choose(game, 1);  // End play with story
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, 1u);
    EXPECT_EQ(game.session()->cutsceneRequested, 0);
    EXPECT_EQ(game.state()->name, "Cs_LastLight_Out");
    game.runFrames(40);
    auto* dialog = dynamic_cast<DialogCutScene*>(game.stateAs<GS_Cutscene>()->getPlayer());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(), "ZV_dc_cam");
    // The dawn picture behind the scene, not the black of the fade.
    EXPECT_FALSE(game.pixel(400, 100).near(Rgb{0, 0, 0}, 12)) << game.pixel(400, 100);
    for (int presses = 0; presses < 40 && game.stateAs<GS_Cutscene>(); ++presses) {
        game.tapKey(OIS::KC_RETURN);
        game.runFrames(3);
    }
    ASSERT_NE(game.stateAs<GS_Credits>(), nullptr);
    EXPECT_EQ(game.session()->creditsRequested, 0);
    EXPECT_NE(game.window()->getViewport(0)->getCamera()->getName(), "ZV_dc_cam");
    // Escape after a frame without input fades out for a second.
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    expectMainMenuShown(game);

    // The pad (of the supported kind): hat down to Options, button 0, and back the same way.
    testsupport::ScriptedJoyStick& pad = *game.joystick();
    EXPECT_EQ(game.session()->gamepadEnabled, 1);
    auto padDown = [&] {
        pad.setPov(OIS::Pov::South);
        game.frame();
        pad.setPov(OIS::Pov::Centered);
        game.frame();
    };
    auto padConfirm = [&] {
        pad.setButton(0, true);
        game.frame();
        pad.setButton(0, false);
        game.runFrames(2);
    };
    for (int i = 0; i < 9 && game.session()->selectedIndex != 7; ++i)
        padDown();
    padConfirm();
    ASSERT_NE(game.stateAs<GS_Options>(), nullptr);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    expectMainMenuShown(game);

    // Quit with the mouse: "Quit Game" leads to the profile screen, its "Quit" to the quit box,
    // and "Yes" ends the loop on the frame after the click.
    auto* menu = game.stateAs<GS_Menu>();
    game.clickWidget(menu->mainMenu->item(8));
    ASSERT_EQ(game.session()->menuPhase, MENU_PROFILES);
    game.runFrames(20);
    game.clickWidget(menu->profilePanel->quitButton);
    ASSERT_EQ(game.session()->menuPhase, MENU_QUIT_BOX);
    const MyGUI::IntCoord yes = menu->mainMenu->quitYes()->getAbsoluteCoord();
    game.moveMouseTo(yes.left + yes.width / 2, yes.top + yes.height / 2);
    game.frame();
    game.mouseDown();
    game.frame();
    game.mouseUp();
    EXPECT_TRUE(game.frame());
    EXPECT_FALSE(game.frame());
    EXPECT_TRUE(game.loopEnded());
}

// A key held across a switch does not act again on the next screen.
TEST(PlayThrough, HeldKeyDoesNotCarryOverToTheNextScreen)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    game.press(OIS::KC_RETURN);
    game.runFrames(30);
    ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
    game.release(OIS::KC_RETURN);
    game.runFrames(3);
    EXPECT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
}
