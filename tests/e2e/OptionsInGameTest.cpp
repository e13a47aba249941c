// The options screen and the credits in the whole game, reached and left as a player does.
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "platform/TextConversion.h"
#include "screens/GS_Credits.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "gui/MessageWindow.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_OptionsDisplay.h"
#include "screens/Priget_OptionsMenu.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using testsupport::GameHarness;
using testsupport::Rgb;

using testsupport::keepShot;

namespace {

// Opens the combo's list and clicks its line `index` (the list drops below the box, 20-pixel lines
// inside a 2-pixel border).
void chooseInCombo(GameHarness& game, MyGUI::ComboBox* combo, int index)
{
    game.clickWidget(combo);
    const MyGUI::IntCoord c = combo->getAbsoluteCoord();
    game.click(c.left + c.width / 2, c.bottom() + 2 + 20 * index + 10);
    game.moveMouseTo(5, 5);
    game.frame();
}

}  // namespace

TEST(OptionsInGame, LowPresetAppliedFromTheMenuReachesConfigIniThenTheCreditsRollBackToTheMenu)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    game.runFrames(70);  // the menu's intro
    game.clickWidget(game.stateAs<GS_Menu>()->mainMenu->item(7));  // "Options"
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Options>() != nullptr; }, 5));
    GS_Options* options = game.stateAs<GS_Options>();
    Priget_OptionsDisplay* page = options->displayPage;
    game.runFrames(70);  // the fade from black

    // The display page over the map: its darker panel and white title.
    {
        const testsupport::Screenshot shot = game.screenshot();
        keepShot(shot, "options_display");
        const MyGUI::IntCoord panel = page->mainPanel->getAbsoluteCoord();
        const Rgb inPanel = shot.at(panel.left + 4, panel.bottom() - 4);
        const Rgb outside = shot.at(panel.left - 30, panel.bottom() - 4);
        EXPECT_LT(inPanel.r + inPanel.g + inPanel.b, outside.r + outside.g + outside.b) << inPanel << " vs " << outside;
        const MyGUI::IntCoord title = page->titleText->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, title.left, title.top, title.width, title.height, 30), 40);
    }

    // "Low" overall: texture and world follow.
    chooseInCombo(game, page->overallCombo, 3);
    ASSERT_EQ(page->overallCombo->getIndexSelected(), 3u);
    EXPECT_EQ(page->textureCombo->getIndexSelected(), 3u);
    EXPECT_EQ(page->worldCombo->getIndexSelected(), 3u);

    // Apply: a screen mode the render system does not offer (Xvfb offers only its screen's size) is
    // named first, and nothing is written until Apply is clicked again.
    const std::string configPath = game.workDir() + "/config.ini";
    std::remove(configPath.c_str());
    game.clickWidget(page->applyButton);
    MessageWindow* message = page->message();
    ASSERT_NE(message, nullptr);
    const GameSettings& settings = *game.settings();
    const bool modeListed = std::any_of(page->videoModes().begin(), page->videoModes().end(), [&](auto& mode) {
        return mode.width == settings.width && mode.height == settings.height &&
               settings.renderOptions.count("colourDepth") &&
               std::to_string(mode.depth) == settings.renderOptions.at("colourDepth");
    });
    if (!modeListed) {
        const std::string current = std::to_string(settings.width) + " x " + std::to_string(settings.height);
        EXPECT_NE(message->text()->getCaption().asUTF8().find(current), std::string::npos)
            << message->text()->getCaption().asUTF8();
        EXPECT_FALSE(std::filesystem::exists(configPath));
        game.runFrames(30);
        keepShot(game.screenshot(), "options_mode_notice");
        game.clickWidget(message->okButton());
        game.clickWidget(page->applyButton);
        message = page->message();
        ASSERT_NE(message, nullptr);
    }
    // The notice in the profile's language over a blocker, until its Ok.
    PlayerProfile* profile = game.session()->profile;
    ASSERT_NE(profile, nullptr);
    ASSERT_GT(profile->getLanguageCount(), 0u);
    EXPECT_EQ(message->text()->getCaption().asUTF8(),
              toUTFString(profile->getText(game.settings()->Language, UiTextId::ApplyNotice)).asUTF8());
    EXPECT_TRUE(page->modalBlocker->getVisible());
    game.runFrames(30);
    keepShot(game.screenshot(), "options_notice");
    game.clickWidget(message->okButton());
    EXPECT_FALSE(page->modalBlocker->getVisible());
    EXPECT_EQ(game.settings()->GraficQuality, 3);
    const std::string config = testsupport::readTextFile(game.workDir() + "/config.ini");
    EXPECT_NE(config.find("GraficQuality = 3"), std::string::npos) << config;
    EXPECT_NE(config.find("TextureQuality = 3"), std::string::npos) << config;

    // "Back to Menu": the title menu's main menu again.
    game.clickWidget(options->optionsMenu->backButton);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 5));
    EXPECT_EQ(game.session()->menuPhase, MENU_MAIN);

    // The credits, as a finished story asks for them: orange headings scroll by; Escape after a
    // frame without input fades them out and the title menu follows.
    game.runFrames(2);
    game.state()->nextStateId = GAMESTATE_CREDITS;
    game.state()->done = 1;
    game.frame();
    auto* credits = game.stateAs<GS_Credits>();
    ASSERT_NE(credits, nullptr);
    game.runFrames(240);
    EXPECT_GT(credits->scrollPos, 100.0f);
    {
        const testsupport::Screenshot shot = game.screenshot();
        keepShot(shot, "credits_scrolling");
        EXPECT_GT(shot.countNear(Rgb{255, 128, 0}, 0, 0, shot.width(), shot.height(), 40), 50);
    }
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    EXPECT_EQ(game.session()->menuPhase, MENU_MAIN);
}
