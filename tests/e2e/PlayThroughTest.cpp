#include "core/GamePlayData.h"
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
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::GameHarness;
using testsupport::Rgb;

namespace {

// The play runs its start and countdown; Escape and the pause panel's Quit (Down, Down, Return)
// leave it.
void playThenQuit(GameHarness& game)
{
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    // A challenge may open with its mission info, which Return confirms.
    game.runFrames(6);
    if (play->playData->playPhase == PLAYPHASE_MISSION_INFO)
        game.tapKey(OIS::KC_RETURN);
    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
    EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(), "ZV_cPCMCam");
    // The world under the follow camera, not the black of the fade.
    EXPECT_FALSE(game.pixel(400, 300).near(Rgb{0, 0, 0}, 12)) << game.pixel(400, 300);
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
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
    options.joystickVendor = "Controller (Xbox 360 Wireless Receiver for Windows)";
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
    EXPECT_EQ(game.session()->challengeMode, 1);
    playThenQuit(game);  // a challenge's quit leads back to the challenge list
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
    EXPECT_EQ(game.session()->challengeMode, 0);
    // A story scene asked for while playing plays before the title the play leaves for.
    game.session()->cutsceneName = "Cs_LastLight_Out";
    game.session()->cutsceneRequested = 1;
    playThenQuit(game);
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
