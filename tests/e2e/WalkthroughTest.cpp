// One player's whole way through the game, in process under Xvfb: a new profile, the options, the
// garage, the first challenge with its story, the last story scene, the credits and out.
#include "audio/Sound.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "core/GlobalSounds.h"
#include "core/ZV_GameState.h"
#include "cutscenes/DialogCutScene.h"
#include "cutscenes/GS_Cutscene.h"
#include "cutscenes/VideoCutScene.h"
#include "core/GamePlayData.h"
#include "play/GS_PlayOnly.h"
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
#include "support/TestSupport.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {

// Screenshots stay beside the game tree for a person to look at.
void keep(const Screenshot& shot, const std::string& name)
{
    const std::string folder = testsupport::gameTreeDir() + "/../screenshots";
    std::filesystem::create_directories(folder);
    shot.savePng(folder + "/" + name + ".png");
}

void chooseMenuItem(GameHarness& game, uint32_t item)
{
    for (int i = 0; i < 9 && game.session()->selectedIndex != item; ++i)
        game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(game.session()->selectedIndex, item);
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(2);
}

DialogCutScene* dialogPlayer(GameHarness& game)
{
    auto* state = game.stateAs<GS_Cutscene>();
    return state ? dynamic_cast<DialogCutScene*>(state->getPlayer()) : nullptr;
}

bool musicPlaying(GameHarness& game)
{
    const GlobalSounds* sounds = game.state() ? game.state()->globalSounds : nullptr;
    return sounds && sounds->musicVoice() && sounds->musicVoice()->isPlaying();
}

// The dialog scene of the entry on screen once its fade from black is over and its first caption
// is being typed: the picture behind it and light glyphs in the caption's first line.
void expectDialogShown(GameHarness& game, const std::string& shotName, uint32_t entry = 0)
{
    SCOPED_TRACE(shotName);
    ASSERT_TRUE(game.runUntil(
        [&] {
            DialogCutScene* dialog = dialogPlayer(game);
            return dialog && dialog->index == entry;
        },
        60));
    game.runFrames(40);
    DialogCutScene* dialog = dialogPlayer(game);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(), DialogCutScene::kCameraName);
    const Screenshot shot = game.screenshot();
    keep(shot, shotName);
    EXPECT_FALSE(shot.at(400, 100).near(Rgb{0, 0, 0}, 12)) << shot.at(400, 100);
    const MyGUI::IntCoord caption = dialog->captionText->getAbsoluteCoord();
    EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, caption.left, caption.top, caption.width, 24, 60), 30);
    EXPECT_FALSE(dialog->captionText->getCaption().empty());
}

// Return, as a player reads: each press shows the whole caption or passes it, until `until`
// holds or the sequence has handed over to the next state.
int confirmThrough(GameHarness& game, const std::function<bool()>& until = [] { return false; })
{
    int presses = 0;
    while (game.stateAs<GS_Cutscene>() && !until() && presses < 60) {
        EXPECT_FALSE(musicPlaying(game)) << "the cutscene restarted the menu music";
        game.tapKey(OIS::KC_RETURN);
        game.runFrames(4);
        ++presses;
    }
    // The end of a scene: its fade to black and the half second after the last step.
    game.runUntil([&] { return game.stateAs<GS_Cutscene>() == nullptr || until(); }, 60);
    return presses;
}

}  // namespace

TEST(Walkthrough, NewPilotThroughOptionsGarageFirstChallengeAndLastStoryToTheCreditsAndOut)
{
    GameHarness game;
    const std::string profileFile = game.tree().path("Saves/Walker_Game.ZVP");
    ASSERT_FALSE(std::filesystem::exists(profileFile));

    // Splash, title prompt, a new profile typed in, the main menu.
    ASSERT_TRUE(game.enterMainMenu("Walker"));
    EXPECT_EQ(game.session()->profileName, "Walker");
    EXPECT_TRUE(std::filesystem::exists(profileFile));
    game.runFrames(70);

    // Options: Apply rewrites config.ini and says so; Ok, then back.
    chooseMenuItem(game, 7);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    game.runFrames(30);
    const std::string config = game.workDir() + "/config.ini";
    std::remove(config.c_str());
    game.clickWidget(options->displayPage->applyButton);
    MessageWindow* notice = options->displayPage->message();
    ASSERT_NE(notice, nullptr);
    if (!std::filesystem::exists(config)) {
        // First told that the screen mode will change (Xvfb offers only its screen's size).
        game.runFrames(30);
        game.clickWidget(notice->okButton());
        game.clickWidget(options->displayPage->applyButton);
        notice = options->displayPage->message();
        ASSERT_NE(notice, nullptr);
    }
    EXPECT_TRUE(std::filesystem::exists(config));
    game.runFrames(30);
    game.clickWidget(notice->okButton());
    EXPECT_FALSE(notice->window()->getVisible());
    // Off the buttons, so that the keys move the selection on the menu.
    game.moveMouseTo(0, 0);
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    game.runFrames(70);

    // The challenge list's garage: kudos by the debug chord, then a turret level bought.
    chooseMenuItem(game, 6);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_ListChall>() != nullptr; }, 10));
    auto* list = game.stateAs<GS_ListChall>();
    CampaignData* campaign = game.session()->campaign;
    ASSERT_NE(campaign, nullptr);
    game.runFrames(70);
    // In the garage, where W does not also step the tier list up.
    game.clickWidget(list->tierPanel->garageButton);
    ASSERT_EQ(game.session()->menuPhase, 1u);
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.press(k);
    game.runFrames(3);
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.release(k);
    game.frame();
    ASSERT_EQ(campaign->pointsEarned, 1000u);
    game.runFrames(30);
    game.clickWidget(list->garagePanel->item(SHOP_TURRET, 0)->frame);
    game.clickWidget(list->garagePanel->buyButton);
    EXPECT_TRUE(campaign->getUpgrade(0, 0)->bought);
    const uint32_t spent = campaign->pointsSpent;
    EXPECT_GT(spent, 0u);
    game.clickWidget(list->tierPanel->challengesButton);
    game.moveMouseTo(0, 0);
    game.runFrames(5);

    // Return starts the first challenge of the first tier: its intro comes first.
    ASSERT_TRUE(musicPlaying(game));
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->name, "Cs_FirstContact_In");
    EXPECT_EQ(game.state()->nextStateId, 2u);
    EXPECT_EQ(game.session()->selectedTier, 0u);
    EXPECT_EQ(game.session()->selectedChallenge, 0u);
    EXPECT_FALSE(musicPlaying(game));

    // The briefing film runs behind the fade from black; Return skips it.
    game.runFrames(40);
    ASSERT_NE(dynamic_cast<VideoCutScene*>(game.stateAs<GS_Cutscene>()->getPlayer()), nullptr);
    const Screenshot film = game.screenshot();
    keep(film, "walkthrough_briefing");
    EXPECT_FALSE(film.at(400, 300).near(Rgb{0, 0, 0}, 12)) << film.at(400, 300);
    game.tapKey(OIS::KC_RETURN);
    expectDialogShown(game, "walkthrough_first_contact", 1);
    EXPECT_EQ(dialogPlayer(game)->nameText->getCaption().asUTF8(), "Commander");
    EXPECT_GE(confirmThrough(game), 4);

    // Then the play; the last story scene, asked for while playing as a challenge's outro would
    // be, plays when the pause panel's Quit leaves the play.
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(game.session()->creditsRequested, 0);
    game.runFrames(6);
    if (play->playData->playPhase == PLAYPHASE_MISSION_INFO)
        game.tapKey(OIS::KC_RETURN);
    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
    game.session()->cutsceneName = "Cs_LastLight_Out";
    game.session()->cutsceneRequested = 1;
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->name, "Cs_LastLight_Out");
    expectDialogShown(game, "walkthrough_last_light");
    EXPECT_EQ(dialogPlayer(game)->nameText->getCaption().asUTF8(), "Pilot");
    // Its first scene ends in black; the closing one after it is seen again.
    EXPECT_GE(confirmThrough(game,
                             [&] {
                                 DialogCutScene* dialog = dialogPlayer(game);
                                 return dialog && dialog->index == 1;
                             }),
              6);
    expectDialogShown(game, "walkthrough_last_light_closing", 1);
    EXPECT_EQ(dialogPlayer(game)->nameText->getCaption().asUTF8(), "Commander");
    EXPECT_GE(confirmThrough(game), 2);

    // Its last scene asks for the credits; Escape leaves them for the title menu.
    ASSERT_NE(game.stateAs<GS_Credits>(), nullptr);
    EXPECT_EQ(game.session()->creditsRequested, 0);
    EXPECT_NE(game.window()->getViewport(0)->getCamera()->getName(), DialogCutScene::kCameraName);
    game.runFrames(60);
    keep(game.screenshot(), "walkthrough_credits");
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_Menu>() != nullptr; }, 90));
    EXPECT_EQ(game.session()->menuPhase, MENU_MAIN);
    // The title put the campaign away, and with it saved the purchase.
    EXPECT_EQ(game.session()->campaign, nullptr);
    {
        CampaignData stored("TcData", "Walker", game.session()->profile->getLanguageCount());
        ASSERT_TRUE(stored.loadProgress());
        EXPECT_TRUE(stored.getUpgrade(0, 0)->bought);
        EXPECT_EQ(stored.pointsSpent, spent);
    }
    game.runFrames(70);

    // Quit: "Quit Game", the profile screen's "Quit", and "Yes" in the quit box.
    auto* menu = game.stateAs<GS_Menu>();
    game.clickWidget(menu->mainMenu->item(8));
    ASSERT_EQ(game.session()->menuPhase, MENU_PROFILES);
    game.runFrames(20);
    game.clickWidget(menu->profilePanel->quitButton);
    ASSERT_EQ(game.session()->menuPhase, MENU_QUIT_BOX);
    game.runFrames(20);
    game.clickWidget(menu->mainMenu->quitYes());
    EXPECT_TRUE(game.runUntil([&] { return game.loopEnded(); }, 5));
}
