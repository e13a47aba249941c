// The main menu panel in the running game: its layout by the profile's locks, its navigation.
#include "audio/Sound.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "platform/TextConversion.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using testsupport::GameHarness;
using testsupport::HarnessOptions;

namespace {

void unlockOnly(PlayerProfile* profile, std::initializer_list<uint32_t> modes)
{
    for (uint32_t m = 0; m < profile->getModeCount(); ++m)
        profile->getMode(m)->locked = true;
    for (uint32_t m : modes)
        profile->getMode(m)->locked = false;
}

}  // namespace

TEST(MainMenu, LayoutFollowsTheUnlockedModes)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    Priget_Menu_MainMenu* menu = game.stateAs<GS_Menu>()->mainMenu;
    PlayerProfile* profile = game.session()->profile;
    ASSERT_GE(profile->getModeCount(), 6u);

    struct Case {
        std::initializer_list<uint32_t> unlocked;
        uint32_t shownModeCount;
        std::vector<int> shownModes;  // of items 0 to 5, after the intro
    };
    const Case cases[] = {
        {{0}, 0, {0, 1}},
        {{0, 1}, 1, {0, 1, 2}},
        {{0, 1, 2, 3}, 3, {0, 1, 2, 3, 4}},
        {{0, 1, 2, 3, 4, 5}, 4, {0, 1, 2, 3, 4, 5}},
        {{0, 5}, 4, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shownModeCount);
        unlockOnly(profile, c.unlocked);
        menu->reset();
        game.runFrames(70);
        EXPECT_EQ(menu->shownModeCount, c.shownModeCount);
        const int k = static_cast<int>(c.shownModeCount);
        EXPECT_EQ(menu->mainFrame()->getHeight(), 208 + 40 * k);
        EXPECT_EQ(menu->leftBar()->getHeight(), 208 + 40 * k);
        EXPECT_EQ(menu->item(6)->getTop(), 88 + 40 * k);
        EXPECT_EQ(menu->item(7)->getTop(), 128 + 40 * k);
        EXPECT_EQ(menu->item(8)->getTop(), 168 + 40 * k);
        for (int i = 0; i < 6; ++i) {
            const bool shown = std::find(c.shownModes.begin(), c.shownModes.end(), i) != c.shownModes.end();
            const bool unlocked = std::find(c.unlocked.begin(), c.unlocked.end(), i) != c.unlocked.end();
            EXPECT_EQ(menu->item(i)->getVisible(), shown) << "item " << i;
            EXPECT_EQ(menu->item(i)->getEnabled(), shown) << "item " << i;
            // A shown locked mode is drawn at half alpha.
            EXPECT_FLOAT_EQ(menu->item(i)->getAlpha(), unlocked ? 1.0f : 0.5f) << "item " << i;
        }
        for (int i = 6; i < 9; ++i)
            EXPECT_TRUE(menu->item(i)->getVisible()) << "item " << i;
    }
}

TEST(MainMenu, KeysSkipHiddenItemsWrapAndGiveWayToThePointer)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GS_Menu* state = game.stateAs<GS_Menu>();
    Priget_Menu_MainMenu* menu = state->mainMenu;
    GameSession* session = game.session();
    unlockOnly(session->profile, {0});
    menu->reset();
    session->selectedIndex = 0;
    game.runFrames(70);

    const uint32_t downs[] = {1, 6, 7, 8, 0};
    for (uint32_t expected : downs) {
        game.tapKey(OIS::KC_DOWN);
        EXPECT_EQ(session->selectedIndex, expected);
    }
    game.tapKey(OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 8u);
    // Held, it moves one step only; the wheel and W count as up.
    game.press(OIS::KC_W);
    game.runFrames(10);
    game.release(OIS::KC_W);
    game.frame();
    EXPECT_EQ(session->selectedIndex, 7u);
    game.mouse().scroll(120);
    game.runFrames(2);
    EXPECT_EQ(session->selectedIndex, 6u);

    // The pointer on an item holds the selection there; the keys only give the warning click.
    const MyGUI::IntCoord options = menu->item(7)->getAbsoluteCoord();
    game.moveMouseTo(options.left + 10, options.top + 10);
    game.runFrames(2);
    EXPECT_EQ(session->selectedIndex, 7u);
    EXPECT_EQ(session->mouseOverButton, 1);
    state->globalSounds->warningClick()->stop();
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 7u);
    EXPECT_TRUE(state->globalSounds->warningClick()->isPlaying());
    // The help line types the item's help.
    game.runFrames(60);
    EXPECT_EQ(menu->helpLine()->getCaption().asUTF8(), menu->itemHelpText());
    EXPECT_FALSE(menu->itemHelpText().empty());
}

TEST(MainMenu, CaptionsComeFromTheProfileAndAStrayLanguageFallsBackToTheFirst)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    Priget_Menu_MainMenu* menu = game.stateAs<GS_Menu>()->mainMenu;
    PlayerProfile* profile = game.session()->profile;
    ASSERT_GE(profile->getLanguageCount(), 1u);

    game.settings()->Language = profile->getLanguageCount() + 3;
    menu->reset();
    EXPECT_EQ(game.settings()->Language, 0u);
    EXPECT_EQ(menu->item(0)->getCaption().asUTF8(), profile->getModeTitle(0, 0));
    EXPECT_EQ(menu->item(7)->getCaption().asUTF8(), profile->getText(0, UiTextId::Options));
    EXPECT_FALSE(menu->item(7)->getCaption().empty());
}

// The quit box, its help lines and the version line in the second language of the tables.
TEST(MainMenu, QuitBoxAndVersionLineFollowTheLanguage)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    Priget_Menu_MainMenu* menu = game.stateAs<GS_Menu>()->mainMenu;
    ASSERT_GE(game.session()->profile->getLanguageCount(), 2u);
    const struct {
        uint32_t language;
        const char *question, *yes, *no, *version, *yesHelp, *noHelp;
    } cases[] = {
        {0, "Do you really want to quit?", "Yes", "No", "Version 1.004", "Exit game", "Back to Menu"},
        {1, "\xC2\xBFSeguro que quieres salir?", "S\xC3\xAD", "No", "Versi\xC3\xB3n 1.004", "Cerrar el juego",
         "Volver al men\xFA"},
    };
    for (const auto& c : cases) {
        game.settings()->Language = c.language;
        menu->reset();
        EXPECT_EQ(menu->quitQuestion()->getCaption().asUTF8(), c.question);
        EXPECT_EQ(menu->quitYes()->getCaption().asUTF8(), c.yes);
        EXPECT_EQ(menu->quitNo()->getCaption().asUTF8(), c.no);
        EXPECT_EQ(menu->versionText()->getCaption().asUTF8(), c.version);
        // The help lines are game text (Windows-1252), as the help line's controller takes it.
        game.session()->selectedIndex = 0;
        EXPECT_EQ(menu->quitHelpText(), c.yesHelp);
        game.session()->selectedIndex = 1;
        EXPECT_EQ(menu->quitHelpText(), c.noHelp);
    }
}

namespace {

// A click shorter than a frame in the middle of a widget, after the pointer came to rest there.
void quickClick(GameHarness& game, const MyGUI::Widget* widget)
{
    const MyGUI::IntCoord c = widget->getAbsoluteCoord();
    game.moveMouseTo(c.left + c.width / 2, c.top + c.height / 2);
    game.runFrames(2);
    game.mouse().tap(OIS::MB_Left);
    game.frame();
}

class MainMenuClicks : public ::testing::TestWithParam<int> {};

}  // namespace

// Every item answers the pointer: it is highlighted under it and a click acts, the first items
// under the logo's picture too; the quit item leads on to the quit box, whose "Yes" ends the game.
TEST_P(MainMenuClicks, ClickOnTheItemActs)
{
    const int item = GetParam();
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GS_Menu* state = game.stateAs<GS_Menu>();
    Priget_Menu_MainMenu* menu = state->mainMenu;
    GameSession* session = game.session();
    unlockOnly(session->profile, {0, 1});
    menu->reset();
    game.runFrames(70);

    const MyGUI::IntCoord c = menu->item(item)->getAbsoluteCoord();
    game.moveMouseTo(c.left + c.width / 2, c.top + c.height / 2);
    game.runFrames(2);
    EXPECT_EQ(session->selectedIndex, static_cast<uint32_t>(item));
    EXPECT_EQ(session->mouseOverButton, 1);
    quickClick(game, menu->item(item));

    switch (item) {
    case 0:
    case 1:
        ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
        EXPECT_EQ(session->selectedMode, static_cast<uint32_t>(item));
        break;
    case 6: EXPECT_NE(game.stateAs<GS_ChallCampSel>(), nullptr); break;
    case 7: EXPECT_NE(game.stateAs<GS_Options>(), nullptr); break;
    case 8: {
        ASSERT_EQ(session->menuPhase, MENU_PROFILES);
        game.runFrames(20);
        quickClick(game, state->profilePanel->quitButton);
        ASSERT_EQ(session->menuPhase, MENU_QUIT_BOX);
        // The hint speaks of the button under the pointer.
        game.moveMouseTo(0, 0);
        game.runFrames(2);
        quickClick(game, menu->quitNo());
        ASSERT_EQ(session->menuPhase, MENU_MAIN);
        game.runFrames(30);
        quickClick(game, menu->item(8));
        ASSERT_EQ(session->menuPhase, MENU_PROFILES);
        game.runFrames(20);
        quickClick(game, state->profilePanel->quitButton);
        ASSERT_EQ(session->menuPhase, MENU_QUIT_BOX);
        const MyGUI::IntCoord yes = menu->quitYes()->getAbsoluteCoord();
        game.moveMouseTo(yes.left + 10, yes.top + 10);
        game.runFrames(60);
        EXPECT_EQ(session->selectedIndex, 0u);
        EXPECT_EQ(menu->helpLine()->getCaption().asUTF8(), toUTFString(menu->quitHelpText()).asUTF8());
        quickClick(game, menu->quitYes());
        EXPECT_EQ(state->quitRequested, 1);
        game.frame();
        EXPECT_TRUE(game.loopEnded());
        break;
    }
    default: FAIL() << "no outcome for item " << item;
    }
}

INSTANTIATE_TEST_SUITE_P(Items, MainMenuClicks, ::testing::Values(0, 1, 6, 7, 8));

// Whatever its maker, the pad the input library reports moves the menu and confirms.
TEST(MainMenu, PadOfAnyMakerMovesAndConfirms)
{
    HarnessOptions options;
    options.joystick = true;
    options.joystickVendor = "Logitech Gamepad F310";
    GameHarness game(options);
    ASSERT_TRUE(game.enterMainMenu());
    GameSession* session = game.session();
    EXPECT_EQ(session->gamepadEnabled, 1);
    game.runFrames(70);
    ASSERT_EQ(session->selectedIndex, 0u);
    testsupport::ScriptedJoyStick* pad = game.joystick();
    ASSERT_NE(pad, nullptr);
    for (uint32_t expected : {8u, 7u}) {
        pad->setPov(OIS::Pov::North);
        game.frame();
        pad->setPov(OIS::Pov::Centered);
        game.frame();
        EXPECT_EQ(session->selectedIndex, expected);
    }
    pad->setButton(0, true);
    game.frame();
    pad->setButton(0, false);
    EXPECT_NE(game.stateAs<GS_Options>(), nullptr);
}
