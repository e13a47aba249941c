// The profile screen inside the running game: what it lists from Saves, how it moves and types.
#include "audio/Sound.h"
#include "core/BinaryIO.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
namespace fs = std::filesystem;

namespace {

// The header the list reads: magic, marker, stored name (the rest of a profile does not matter here).
void writeProfileHeader(const std::string& path, const std::string& stored, uint32_t magic = 34646,
                        const std::string& marker = "HGFYWEMI")
{
    BinaryWriter out;
    out.writeU32(magic);
    writeBinString(out, marker);
    writeBinString(out, stored);
    out.writeU32(1);
    ASSERT_TRUE(out.commit(path));
}

// Splash and prompt passed with Return: the profile screen with its list slid in.
GS_Menu* openProfileScreen(GameHarness& game)
{
    // A press counts after a frame without one.
    game.runFrames(2);
    game.tapKey(OIS::KC_RETURN);
    game.runUntil([&] { return game.session()->menuPhase == MENU_TITLE_PROMPT; }, 200);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(20);
    EXPECT_EQ(game.session()->menuPhase, MENU_PROFILES);
    return game.stateAs<GS_Menu>();
}

std::vector<std::string> rows(const Priget_ProfileLoad* panel)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < panel->profileList->getItemCount(); ++i)
        names.push_back(panel->profileList->getItemNameAt(i).asUTF8());
    return names;
}

}  // namespace

TEST(ProfileLoad, ListsOnlyProfileFilesWhoseHeaderAndNameHold)
{
    HarnessOptions options;
    options.prepareTree = [](const std::string& workDir) {
        const std::string saves = workDir + "/../../Saves/";
        fs::create_directories(saves);
        writeProfileHeader(saves + "Bob_Game.ZVP", "Bob");
        writeProfileHeader(saves + "Zed_Game.ZVP", "Zed");
        writeProfileHeader(saves + "Al_Game.ZVP", "Bob");           // sorts before its stored name
        writeProfileHeader(saves + "a.b_Game.ZVP", "a");            // extension "b_Game.ZVP"
        writeProfileHeader(saves + "Cy_Game.zvp", "Cy");            // extension case counts
        writeProfileHeader(saves + "Dan_Game.ZVP", "Dan", 34646, "HGFYWEMX");
        writeProfileHeader(saves + "Eve_Game.ZVP", "Eve", 34647);
        writeProfileHeader(saves + "zz_Game.ZVP", "../x");          // a name that cannot name a file
        fs::create_directories(saves + "x_Game.ZVP");
        // A stored name whose count runs past the end of the file.
        BinaryWriter cut;
        cut.writeU32(34646);
        writeBinString(cut, "HGFYWEMI");
        cut.writeU32(10);
        cut.writeU32('F');
        cut.writeU32('o');
        ASSERT_TRUE(cut.commit(saves + "Fox_Game.ZVP"));
    };
    GameHarness game(options);
    GS_Menu* menu = openProfileScreen(game);
    ASSERT_NE(menu, nullptr);
    Priget_ProfileLoad* panel = menu->profilePanel;

    EXPECT_EQ(rows(panel), (std::vector<std::string>{"Bob", "Zed"}));
    EXPECT_TRUE(panel->loadButton->getEnabled());
    EXPECT_EQ(game.session()->selectedIndex, 0u);

    // Loading a listed profile reads that file under that name.
    panel->profileList->setIndexSelected(1);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(game.session()->menuPhase, MENU_MAIN);
    EXPECT_EQ(game.session()->profileName, "Zed");
    EXPECT_FALSE(panel->listPanel->getVisible());
}

TEST(ProfileLoad, EmptyFolderDisablesLoadAndMovesBetweenCreateAndQuit)
{
    GameHarness game;
    GS_Menu* menu = openProfileScreen(game);
    ASSERT_NE(menu, nullptr);
    Priget_ProfileLoad* panel = menu->profilePanel;
    GameSession* session = game.session();

    EXPECT_EQ(panel->profileList->getItemCount(), 0u);
    EXPECT_FALSE(panel->loadButton->getEnabled());
    EXPECT_FLOAT_EQ(panel->loadButton->getAlpha(), 0.5f);
    EXPECT_EQ(session->selectedIndex, 1u);

    // Each press moves once, whether held or not, and never onto "Load".
    const uint32_t downs[] = {2, 1, 2};
    for (uint32_t expected : downs) {
        game.press(OIS::KC_DOWN);
        game.runFrames(5);
        game.release(OIS::KC_DOWN);
        game.frame();
        EXPECT_EQ(session->selectedIndex, expected);
    }
    game.tapKey(OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 2u);

    // Confirm with no row behind the highlight (the pointer on the dimmed "Load") loads nothing.
    const MyGUI::IntCoord load = panel->loadButton->getAbsoluteCoord();
    game.moveMouseTo(load.left + 4, load.top + 4);
    game.frame();
    EXPECT_EQ(session->selectedIndex, 0u);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(session->menuPhase, MENU_PROFILES);
    EXPECT_EQ(session->profileLoaded, 0);
    ASSERT_NE(menu->globalSounds->warningClick(), nullptr);
    EXPECT_TRUE(menu->globalSounds->warningClick()->isPlaying());
    EXPECT_TRUE(fs::is_empty(game.tree().path("Saves")));

    // "Quit" opens the quit box.
    game.moveMouseTo(0, 0);
    game.frame();
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(session->selectedIndex, 2u);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(session->menuPhase, MENU_QUIT_BOX);
}

TEST(ProfileLoad, TypingTakesOneCharacterPerPressAndCreateNeedsAValidName)
{
    GameHarness game;
    GS_Menu* menu = openProfileScreen(game);
    ASSERT_NE(menu, nullptr);
    Priget_ProfileLoad* panel = menu->profilePanel;
    GameSession* session = game.session();
    game.clickWidget(panel->createButton);
    ASSERT_EQ(panel->entryMode, 1u);
    ASSERT_TRUE(panel->entryPanel->getVisible());
    // The pointer stays on the field while typing.
    game.clickWidget(panel->nameEdit);
    auto typed = [&] { return panel->nameEdit->getOnlyText().asUTF8(); };

    // A held key types once.
    game.press(OIS::KC_P, 'p');
    game.runFrames(10);
    game.release(OIS::KC_P);
    game.frame();
    EXPECT_EQ(typed(), "p");
    // With Control held, nothing.
    game.press(OIS::KC_LCONTROL);
    game.press(OIS::KC_I, 'i');
    game.runFrames(3);
    game.keyboard().releaseAll();
    game.frame();
    EXPECT_EQ(typed(), "p");

    game.typeText("il");
    EXPECT_EQ(typed(), "pil");
    EXPECT_FALSE(panel->entryCreateButton->getEnabled());
    game.typeText("o");
    EXPECT_TRUE(panel->entryCreateButton->getEnabled());
    game.tapKey(OIS::KC_BACK);
    EXPECT_EQ(typed(), "pil");
    EXPECT_FALSE(panel->entryCreateButton->getEnabled());

    // A character that cannot be part of a file name is refused where it is typed, with the
    // warning click; a confirm with a name too short is refused the same way.
    menu->globalSounds->warningClick()->stop();
    game.press(OIS::KC_A, 0x4E2D);
    game.frame();
    game.keyboard().releaseAll();
    game.frame();
    EXPECT_EQ(typed(), "pil");
    EXPECT_TRUE(menu->globalSounds->warningClick()->isPlaying());
    menu->globalSounds->warningClick()->stop();
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(session->menuPhase, MENU_PROFILES);
    EXPECT_TRUE(menu->globalSounds->warningClick()->isPlaying());
    EXPECT_TRUE(fs::is_empty(game.tree().path("Saves")));

    // The field stops at the longest name a profile may have.
    game.typeText("abcdefghijklmnopqrs");
    EXPECT_EQ(typed(), "pilabcdefghijklm");

    // "Back" shows the list again, sliding in, with the highlight on "Create" (the list is empty).
    game.clickWidget(panel->entryBackButton);
    EXPECT_EQ(panel->entryMode, 0u);
    EXPECT_FALSE(panel->entryPanel->getVisible());
    EXPECT_TRUE(panel->listPanel->getVisible());
    EXPECT_GT(panel->slideTimer, 0.0f);
    EXPECT_EQ(session->selectedIndex, 1u);
}

namespace {

enum class Saves { Empty, One, Several };
enum class Hands { Mouse, Keyboard };

struct PanelWay {
    Saves saves;
    Hands hands;
    const char* name;
};

std::vector<std::string> savedBefore(Saves saves)
{
    switch (saves) {
    case Saves::Empty: return {};
    case Saves::One: return {"Bob"};
    case Saves::Several: return {"Bob", "Kim", "Zed"};
    }
    return {};
}

class ProfilePanelWays : public ::testing::TestWithParam<PanelWay> {};

}  // namespace

// Create, then load another listed profile, then open the name dialog, leave it and load: each
// by mouse alone and by keyboard alone, over an empty, a one-profile and a several-profile Saves.
TEST_P(ProfilePanelWays, CreateThenLoadAfterCreateAndAfterLeavingTheDialog)
{
    const PanelWay way = GetParam();
    const std::vector<std::string> before = savedBefore(way.saves);
    HarnessOptions options;
    options.prepareTree = [&](const std::string& workDir) {
        const std::string saves = workDir + "/../../Saves/";
        fs::create_directories(saves);
        // Whole profiles, as the game writes them (the working directory is the tree's).
        for (const std::string& name : before) {
            RandomGenerator random;
            PlayerProfile profile(name, &random);
        }
    };
    GameHarness game(options);
    GS_Menu* menu = openProfileScreen(game);
    ASSERT_NE(menu, nullptr);
    Priget_ProfileLoad* panel = menu->profilePanel;
    GameSession* session = game.session();
    const bool mouse = way.hands == Hands::Mouse;

    auto openNameDialog = [&] {
        if (mouse) {
            game.clickWidget(panel->createButton);
        } else {
            while (session->selectedIndex != 1)
                game.tapKey(OIS::KC_DOWN);
            game.tapKey(OIS::KC_RETURN);
        }
        ASSERT_EQ(panel->entryMode, 1u);
    };
    auto loadRow = [&](const std::string& wanted) {
        std::vector<std::string> listed = rows(panel);
        const auto at = std::find(listed.begin(), listed.end(), wanted);
        ASSERT_NE(at, listed.end()) << wanted;
        const size_t row = static_cast<size_t>(at - listed.begin());
        if (mouse) {
            game.clickWidget(panel->profileList->getWidgetByIndex(row));
            game.clickWidget(panel->loadButton);
        } else {
            ASSERT_EQ(session->selectedIndex, 0u);
            while (panel->profileList->getIndexSelected() != row)
                game.tapKey(OIS::KC_RIGHT);
            game.tapKey(OIS::KC_RETURN);
        }
    };
    auto backToProfiles = [&] {
        game.tapKey(OIS::KC_ESCAPE);
        game.runFrames(20);
        ASSERT_EQ(session->menuPhase, MENU_PROFILES);
        ASSERT_EQ(panel->entryMode, 0u);
    };

    // Create: the name dialog, typing (S and W included), then its "Create" or Return.
    openNameDialog();
    game.typeText("Swan");
    EXPECT_EQ(panel->nameEdit->getOnlyText().asUTF8(), "Swan");
    if (mouse)
        game.clickWidget(panel->entryCreateButton);
    else
        game.tapKey(OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->profileName, "Swan");

    // Back on the profile screen, a listed profile loads, not the name typed before.
    backToProfiles();
    const std::string other = before.empty() ? "Swan" : before.back();
    loadRow(other);
    ASSERT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->profileName, other);

    // A name typed and left with Back (or Escape) is not what "Load" hands on.
    backToProfiles();
    openNameDialog();
    game.typeText("Ghost");
    if (mouse)
        game.clickWidget(panel->entryBackButton);
    else
        game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(panel->entryMode, 0u);
    game.runFrames(20);  // the list slides in again
    const std::string first = rows(panel).front();
    loadRow(first);
    ASSERT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->profileName, first);

    std::vector<std::string> expected = before;
    expected.push_back("Swan");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(game.tree().path("Saves")))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    std::vector<std::string> expectedFiles;
    for (const std::string& name : expected)
        expectedFiles.push_back(name + "_Game.ZVP");
    EXPECT_EQ(files, expectedFiles);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ProfilePanelWays,
    ::testing::Values(PanelWay{Saves::Empty, Hands::Mouse, "EmptyByMouse"},
                      PanelWay{Saves::Empty, Hands::Keyboard, "EmptyByKeyboard"},
                      PanelWay{Saves::One, Hands::Mouse, "OneByMouse"},
                      PanelWay{Saves::One, Hands::Keyboard, "OneByKeyboard"},
                      PanelWay{Saves::Several, Hands::Mouse, "SeveralByMouse"},
                      PanelWay{Saves::Several, Hands::Keyboard, "SeveralByKeyboard"}),
    [](const ::testing::TestParamInfo<PanelWay>& info) { return std::string(info.param.name); });
