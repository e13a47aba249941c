// The title menu in the whole game, as a new player meets it: splash, prompt, a profile made by
// typing its name, the main menu, and out through the quit box.
#include "core/GameSession.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::GameHarness;
using testsupport::Rgb;

namespace {

int brightness(const Rgb& c) { return c.r + c.g + c.b; }

}  // namespace

TEST(TitleMenuInGame, NewPlayerCreatesAProfileReachesTheMenuAndQuits)
{
    GameHarness game;
    auto* menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    GameSession* session = game.session();

    // The splash: black around the studio picture, then the prompt over the map.
    game.runFrames(150);
    EXPECT_EQ(session->menuPhase, MENU_SPLASH);
    {
        const testsupport::Screenshot shot = game.screenshot();
        EXPECT_TRUE(shot.at(5, 5).near(Rgb{0, 0, 0}, 8)) << shot.at(5, 5);
        const MyGUI::IntCoord pic = menu->splashImage1->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{240, 200, 90}, pic.left, pic.top, pic.width, pic.height, 60), 500);
    }
    game.tapKey(OIS::KC_RETURN);
    ASSERT_TRUE(game.runUntil([&] { return session->menuPhase == MENU_TITLE_PROMPT; }, 120));
    game.runFrames(30);
    {
        const testsupport::Screenshot shot = game.screenshot();
        EXPECT_FALSE(shot.at(5, 5).near(Rgb{0, 0, 0}, 12)) << "the map shows behind the prompt";
        const MyGUI::IntCoord p = menu->titlePrompt->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, p.left, p.top, p.width, p.height, 120), 50);
    }

    // The prompt leads to an empty profile list; "Create" opens the name entry.
    game.tapKey(OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_PROFILES);
    Priget_ProfileLoad* profiles = menu->profilePanel;
    game.runFrames(20);
    EXPECT_EQ(profiles->profileList->getItemCount(), 0u);
    EXPECT_FALSE(profiles->loadButton->getEnabled());
    game.clickWidget(profiles->createButton);
    ASSERT_TRUE(profiles->entryPanel->getVisible());
    game.clickWidget(profiles->nameEdit);
    game.moveMouseTo(5, 5);
    game.typeText("Pilot");
    EXPECT_EQ(profiles->nameEdit->getOnlyText().asUTF8(), "Pilot");
    game.clickWidget(profiles->entryCreateButton);
    ASSERT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->profileName, "Pilot");
    EXPECT_TRUE(std::filesystem::exists(game.tree().path("Saves/Pilot_Game.ZVP")));

    // The main menu starts on its first item, and the keys move it once the pointer has left
    // the button it clicked.
    EXPECT_EQ(session->selectedIndex, 0u);
    game.moveMouseTo(5, 5);
    game.frame();
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 0u);

    // The half-black frame over the map and the items' captions.
    game.runFrames(70);
    Priget_Menu_MainMenu* mainMenu = menu->mainMenu;
    const testsupport::Screenshot shot = game.screenshot();
    const MyGUI::IntCoord frame = mainMenu->mainFrame()->getAbsoluteCoord();
    const MyGUI::IntCoord item = mainMenu->item(7)->getAbsoluteCoord();
    // Beside the items the frame halves the map's brightness.
    const int y = item.top + item.height + 4;
    const Rgb inFrame = shot.at(frame.left + 2, y);
    const Rgb outside = shot.at(frame.left - 40, y);
    EXPECT_LT(brightness(inFrame), brightness(outside) * 3 / 4) << inFrame << " vs " << outside;
    EXPECT_GT(brightness(inFrame), brightness(outside) / 5) << inFrame << " vs " << outside;
    // "Options", not the current item: light grey letters.
    EXPECT_GT(shot.countNear(Rgb{217, 217, 217}, item.left, item.top, item.width, item.height, 30), 30);

    // Escape leads back to the profile screen, where the new profile is listed; "Quit", "Yes".
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(session->menuPhase, MENU_PROFILES);
    game.runFrames(20);
    game.clickWidget(profiles->quitButton);
    ASSERT_EQ(session->menuPhase, MENU_QUIT_BOX);
    ASSERT_TRUE(mainMenu->quitBox()->getVisible());
    game.runFrames(5);
    const MyGUI::IntCoord yes = mainMenu->quitYes()->getAbsoluteCoord();
    game.moveMouseTo(yes.left + yes.width / 2, yes.top + yes.height / 2);
    game.frame();
    game.mouseDown();
    game.frame();
    game.mouseUp();
    EXPECT_TRUE(game.frame());
    EXPECT_FALSE(game.frame());
    EXPECT_TRUE(game.loopEnded());
}
