// Every screen, panel and HUD state of the running game at 800x600 and 1280x1024, in both
// languages of the text tables: each caption fits its widget and no two visible texts (nor a
// drawn widget and a text) overlap, by the GUI's own text metrics. VANTOREL_SHOT_DIR keeps a
// picture of each screen for a look by eye. The session leaves MyGUI.log without a warning.
#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "cutscenes/DialogCutScene.h"
#include "cutscenes/GS_Cutscene.h"
#include "cutscenes/NovelCutScene.h"
#include "play/GS_PlayOnly.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/Priget_PlayMissInfo.h"
#include "play/RecordListManager.h"
#include "screens/GS_Credits.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "gui/MessageWindow.h"
#include "screens/Priget_LCH_Garage.h"
#include "screens/Priget_LCH_SelTier.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_OptionsDisplay.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"
#include "support/LayoutCheck.h"
#include "support/PlayTestSupport.h"
#include "support/TestSupport.h"
#include "platform/TextConversion.h"
#include "world/GroundVehicle.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

using testsupport::GameHarness;
using testsupport::HarnessOptions;

namespace {

DialogCutScene* dialogPlayer(GameHarness& game)
{
    auto* state = game.stateAs<GS_Cutscene>();
    return state ? dynamic_cast<DialogCutScene*>(state->getPlayer()) : nullptr;
}

// Frames until a typed help line shows its whole text: the caption holds still without the
// typing cursor (at most a character a frame, so a hundred frames cover the longest).
void waitTyped(GameHarness& game, const MyGUI::TextBox* line)
{
    std::string last = line->getCaption().asUTF8();
    for (int frames = 0, still = 0; frames < 100 && still < 2; ++frames) {
        game.frame();
        const std::string now = line->getCaption().asUTF8();
        const bool cursor = now.size() >= 2 && now.compare(now.size() - 2, 2, " _") == 0;
        still = now == last && !cursor ? still + 1 : 0;
        last = now;
    }
}

struct Variant {
    unsigned width, height;
    uint32_t language;
};

std::string variantName(const Variant& v)
{
    return std::to_string(v.width) + "x" + std::to_string(v.height) + (v.language == 0 ? "_en" : "_es");
}

HarnessOptions optionsFor(const Variant& v)
{
    HarnessOptions options;
    options.width = v.width;
    options.height = v.height;
    // Ten frames a second: the screens' fades, intros and typing take their time in seconds.
    options.frameTime = 0.1f;
    const uint32_t language = v.language;
    options.adjustSettings = [language](GameSettings& s) { s.Language = language; };
    return options;
}

class ScreenLayout : public testing::TestWithParam<Variant> {
protected:
    // The screen as it stands: its layout faults and, on request, its picture.
    void check(GameHarness& game, const std::string& screen)
    {
        game.moveMouseTo(0, 0);
        game.frame();
        const std::string name = variantName(GetParam()) + "_" + screen;
        testsupport::keepShot(game.screenshot(), name);
        for (const std::string& fault : testsupport::layoutFaults())
            ADD_FAILURE() << name << ": " << fault;
        ++checked;
    }

    // A normal session writes no warning to the GUI's log.
    void expectCleanGuiLog(GameHarness& game)
    {
        std::istringstream log(testsupport::readTextFile(game.workDir() + "/MyGUI.log"));
        std::string line;
        int warnings = 0;
        std::set<std::string> kinds;  // each message once, without its time
        while (std::getline(log, line))
            if (line.find("|  Warning  |") != std::string::npos || line.find("|  Error  |") != std::string::npos) {
                ++warnings;
                kinds.insert(line.substr(std::min<size_t>(line.find('|'), line.size())));
            }
        for (const std::string& kind : kinds)
            ADD_FAILURE() << "MyGUI.log: " << kind;
        EXPECT_EQ(warnings, 0);
    }

    // A dialog scene also keeps every character it shows clear of its dialog box and name plate.
    void checkDialog(GameHarness& game, const std::string& screen)
    {
        check(game, screen);
        DialogCutScene* dialog = dialogPlayer(game);
        if (!dialog || !dialog->dialogBox)
            return;
        const int boxTop = dialog->dialogBox->getAbsoluteTop();
        for (size_t c = 0; c < dialog->actors.size(); ++c) {
            const MyGUI::Widget* image = dialog->actors[c].image;
            if (image && image->getInheritedVisible() && image->getAlpha() > 0.0f) {
                EXPECT_LE(image->getAbsoluteRect().bottom, boxTop)
                    << variantName(GetParam()) << "_" << screen << ": character " << c << " at "
                    << image->getAbsoluteCoord().print();
            }
        }
    }

    void playChallenge(GameHarness& game);
    void visitGarage(GameHarness& game);
    void playToTheEnd(GameHarness& game);
    void storyAndCredits(GameHarness& game);

    int checked = 0;
};

void chooseMenuItem(GameHarness& game, uint32_t item)
{
    for (int i = 0; i < 9 && game.session()->selectedIndex != item; ++i)
        game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(game.session()->selectedIndex, item);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
}

}  // namespace

// One session per size and language, as a player goes through the game: the title with its quit
// box, the options, the challenge list, a challenge with its story scene, HUD and pause, the
// garage, a free play to its end, the main menu with every mode open, the paged story text, the
// credits, and out through the quit box. One process for all of it keeps the run cheap.
TEST_P(ScreenLayout, EveryScreenOfASession)
{
    GameHarness game(optionsFor(GetParam()));
    game.runFrames(14);
    check(game, "splash");
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    auto* menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    waitTyped(game, menu->mainMenu->helpLine());
    check(game, "main_menu");

    // The quit box over the profile screen, then back.
    game.clickWidget(menu->mainMenu->item(8));
    game.runFrames(10);
    check(game, "profiles");
    game.clickWidget(menu->profilePanel->quitButton);
    waitTyped(game, menu->mainMenu->helpLine());
    check(game, "quit_box");
    game.clickWidget(menu->mainMenu->quitNo());
    game.runFrames(10);
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(24);

    chooseMenuItem(game, 7);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    game.runFrames(14);
    check(game, "options_display");
    game.clickWidget(options->displayPage->advancedCheck);
    game.runFrames(4);
    check(game, "options_advanced");
    game.clickWidget(options->displayPage->applyButton);
    game.runFrames(10);
    ASSERT_NE(options->displayPage->message(), nullptr);
    if (options->displayPage->message()->text()->getCaption() != toUTFString(options->displayPage->applyNotice())) {
        // Xvfb offers only its screen's size: the page first names the mode Apply will write.
        check(game, "options_mode_notice");
        game.clickWidget(options->displayPage->message()->okButton());
        game.clickWidget(options->displayPage->applyButton);
        game.runFrames(10);
    }
    check(game, "options_apply_notice");
    ASSERT_NE(options->displayPage->message(), nullptr);
    game.clickWidget(options->displayPage->message()->okButton());
    game.runFrames(4);
    // (The sound and control pages have no button a player can reach.)
    game.moveMouseTo(0, 0);
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    game.runFrames(24);

    // The challenge list, its second challenge and second tier, back to the first and into it.
    chooseMenuItem(game, 6);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_ListChall>() != nullptr; }, 10));
    game.runFrames(24);
    check(game, "challenge_list");
    game.tapKey(OIS::KC_RIGHT);
    game.runFrames(7);
    check(game, "challenge_list_second");
    game.tapKey(OIS::KC_UP);
    game.runFrames(7);
    check(game, "challenge_list_tier2");
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_LEFT);
    game.runFrames(4);
    ASSERT_NO_FATAL_FAILURE(playChallenge(game));
    EXPECT_EQ(game.session()->selectedTier, 0u);
    EXPECT_EQ(game.session()->selectedChallenge, 0u);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_ListChall>() != nullptr; }, 20));
    game.runFrames(10);
    ASSERT_NO_FATAL_FAILURE(visitGarage(game));
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 20));
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(24);

    // Free play of the first mode to its end.
    chooseMenuItem(game, 0);
    ASSERT_NO_FATAL_FAILURE(playToTheEnd(game));
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 40))
        << "state " << game.state()->name << " phase " << game.session()->menuPhase << " index "
        << game.session()->selectedIndex;
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(24);

    ASSERT_NO_FATAL_FAILURE(storyAndCredits(game));
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 200));

    // Out through the quit box: the loop ends, and the GUI's log has no warning.
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(24);
    menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    game.clickWidget(menu->mainMenu->item(8));
    game.runFrames(10);
    game.clickWidget(menu->profilePanel->quitButton);
    game.runFrames(4);
    game.clickWidget(menu->mainMenu->quitYes());
    game.frame();
    EXPECT_TRUE(game.loopEnded());
    expectCleanGuiLog(game);
    EXPECT_GE(checked, 26);
}

// The first challenge from the list: its story scene with both speakers, the HUD, the pause with
// the mission info; the pause's Quit leads back to the list.
void ScreenLayout::playChallenge(GameHarness& game)
{
    game.moveMouseTo(0, 0);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    game.runFrames(7);
    game.tapKey(OIS::KC_RETURN);  // past the briefing film
    bool sawLeft = false, sawRight = false;
    for (int presses = 0; game.stateAs<GS_Cutscene>() && presses < 40; ++presses) {
        game.runFrames(15);
        DialogCutScene* dialog = dialogPlayer(game);
        if (dialog && dialog->namePlate && dialog->namePlate->getInheritedVisible()) {
            const bool right = dialog->namePlate->getAbsoluteLeft() > static_cast<int>(GetParam().width) / 2;
            if (right && !sawRight) {
                sawRight = true;
                checkDialog(game, "dialog_right_speaker");
            } else if (!right && !sawLeft) {
                sawLeft = true;
                checkDialog(game, "dialog_left_speaker");
            }
        }
        // One press shows the whole line, the next passes it; none is left over for the play.
        game.tapKey(OIS::KC_RETURN);
        if (!game.stateAs<GS_Cutscene>())
            break;
        game.tapKey(OIS::KC_RETURN);
    }
    EXPECT_TRUE(sawLeft);
    EXPECT_TRUE(sawRight);

    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    // A challenge started from the list may open on its mission info: seen here or with the pause.
    game.runFrames(2);
    if (play->playData->playPhase == PLAYPHASE_MISSION_INFO) {
        game.runFrames(10);
        check(game, "mission_info");
        game.tapKey(OIS::KC_RETURN);
    }
    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
    game.runFrames(20);
    check(game, "hud_challenge");
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.runFrames(10);
    // The pause of a challenge shows its mission info beside the pause column.
    EXPECT_TRUE(play->missionInfo->infoBox->getVisible());
    check(game, "pause_challenge");
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
}

// The garage: a purchase, its heading, and a refusal that says why.
void ScreenLayout::visitGarage(GameHarness& game)
{
    auto* list = game.stateAs<GS_ListChall>();
    ASSERT_NE(list, nullptr);
    game.clickWidget(list->tierPanel->garageButton);
    waitTyped(game, list->garagePanel->captionWidget);
    check(game, "garage");
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.press(k);
    game.runFrames(2);
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.release(k);
    game.frame();
    game.clickWidget(list->garagePanel->item(SHOP_TURRET, 0)->frame);
    game.clickWidget(list->garagePanel->buyButton);
    game.clickWidget(list->garagePanel->item(SHOP_WEAPONS, 1)->frame);
    waitTyped(game, list->garagePanel->captionWidget);
    check(game, "garage_bought");
    // The heading counts what is left to spend, the purchase taken off.
    CampaignData* campaign = game.session()->campaign;
    ASSERT_NE(campaign, nullptr);
    EXPECT_GT(campaign->pointsSpent, 0u);
    EXPECT_EQ(list->tierPanel->kudosNumber->getCaption().asUTF8(), std::to_string(campaign->getAvailablePoints()));
    // A weapon the story has not opened yet: refused, and the help line says why.
    const std::string reason = list->garagePanel->refusalText();
    EXPECT_FALSE(reason.empty());
    game.clickWidget(list->garagePanel->buyButton);
    waitTyped(game, list->garagePanel->captionWidget);
    EXPECT_EQ(list->garagePanel->captionWidget->getCaption(), toUTFString(reason));
    check(game, "garage_refused");
    game.moveMouseTo(0, 0);
}

// Free play: its HUD, the pause, the end of play with the local and world record lists, and the
// end menu's Quit.
void ScreenLayout::playToTheEnd(GameHarness& game)
{
    GS_PlayOnly* play = testsupport::playUntilPlaying(game);
    ASSERT_NE(play, nullptr);
    game.runFrames(20);
    check(game, "hud_free_play");
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.runFrames(10);
    check(game, "pause_free_play");
    game.tapKey(OIS::KC_ESCAPE);
    game.runFrames(4);

    GamePlayData* d = play->playData;
    d->mechaVars[0].value = 1250.0f;
    d->NumLives = 0;
    play->playerVehicle()->addDamage(1.0e6f);
    ASSERT_TRUE(game.runUntil([&] { return play->endStage == 1; }, 200));
    game.runFrames(7);
    check(game, "end_banner");
    ASSERT_TRUE(game.runUntil([&] { return play->endStage == 3; }, 600));
    game.runFrames(14);
    check(game, "end_menu_local_list");
    game.tapKey(OIS::KC_TAB);
    game.runFrames(4);
    check(game, "end_menu_world_list");
    game.tapKey(OIS::KC_TAB);
    game.runFrames(2);
    // Quit, the end menu's second button.
    game.moveMouseTo(0, 0);
    game.frame();
    for (int i = 0; i < 3 && game.session()->selectedIndex != 1; ++i)
        game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(game.session()->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);
}

// The main menu with every mode open, the paged story text and the credits.
void ScreenLayout::storyAndCredits(GameHarness& game)
{
    // Every mode unlocked, as a seasoned player has them: the longest captions show.
    auto* menuState = game.stateAs<GS_Menu>();
    ASSERT_NE(menuState, nullptr);
    for (uint32_t m = 0; m < 6; ++m)
        if (GameModeDef* def = const_cast<GameModeDef*>(game.session()->profile->getMode(m)))
            def->locked = 0;
    menuState->mainMenu->reset();
    waitTyped(game, menuState->mainMenu->helpLine());
    check(game, "main_menu_all_modes");
    game.session()->cutsceneName = "Cs_Meltdown_Out";
    game.session()->cutsceneRequested = 1;
    game.state()->nextStateId = 6;
    game.state()->done = 1;
    bool sawNovel = false;
    for (int presses = 0; game.stateAs<GS_Cutscene>() || presses == 0; ++presses) {
        if (presses > 60)
            break;
        game.runFrames(14);
        auto* state = game.stateAs<GS_Cutscene>();
        if (state && dynamic_cast<NovelCutScene*>(state->getPlayer()) && !sawNovel) {
            sawNovel = true;
            check(game, "novel");
        } else if (state && dialogPlayer(game) && presses < 2) {
            checkDialog(game, "dialog_scene");
        }
        game.tapKey(OIS::KC_RETURN);
    }
    EXPECT_TRUE(sawNovel);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 200));
    game.session()->creditsRequested = 1;
    game.state()->done = 1;
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Credits>() != nullptr; }, 200));
    game.runFrames(30);
    check(game, "credits");
    game.tapKey(OIS::KC_ESCAPE);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenLayout,
                         testing::Values(Variant{800, 600, 0}, Variant{800, 600, 1}, Variant{1280, 1024, 0},
                                         Variant{1280, 1024, 1}),
                         [](const testing::TestParamInfo<Variant>& info) { return variantName(info.param); });
