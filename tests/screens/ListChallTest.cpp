// The challenge list state inside the running game, reached straight from the first state
// (run under Xvfb).
#include "screens/GS_ListChall.h"

#include "ChallengeTestSupport.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "core/ZV_GameState.h"
#include "cutscenes/GS_Cutscene.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_LCH_Garage.h"
#include "screens/Priget_LCH_SelTier.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::GameHarness;
using testsupport::Rgb;

namespace {

// From whatever the game starts with to the challenge list, through the loading state, with a
// profile loaded as the title menu leaves it.
GS_ListChall* openChallengeList(GameHarness& game)
{
    game.session()->recreateProfile();
    game.frame();
    game.state()->nextStateId = GAMESTATE_CHALLENGE_SELECT;
    game.state()->done = 1;
    game.frame();
    EXPECT_NE(game.stateAs<GS_ChallCampSel>(), nullptr);
    game.frame();
    // A frame without input: the inputs held on the way in are let go.
    game.frame();
    return game.stateAs<GS_ListChall>();
}

void holdChord(GameHarness& game, std::initializer_list<OIS::KeyCode> keys, int frames)
{
    for (OIS::KeyCode k : keys)
        game.press(k);
    game.runFrames(frames);
    for (OIS::KeyCode k : keys)
        game.release(k);
    game.frame();
}

}  // namespace

TEST(ListChall, ChordsActOncePerHoldAndTheResetSavesAtOnce)
{
    GameHarness game;
    GS_ListChall* list = openChallengeList(game);
    ASSERT_NE(list, nullptr);
    CampaignData* campaign = game.session()->campaign;
    ASSERT_NE(campaign, nullptr);
    ASSERT_GT(campaign->getTierCount(), 0u);
    const std::string progress = game.tree().path("Saves/" + game.session()->profileName + "_Chall.DAT");
    std::filesystem::remove(progress);

    holdChord(game, {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W}, 5);
    EXPECT_EQ(campaign->pointsEarned, 1000u);
    EXPECT_EQ(list->tierPanel->kudosNumber->getCaption().asUTF8(), "1000");
    holdChord(game, {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W}, 3);
    EXPECT_EQ(campaign->pointsEarned, 2000u);
    EXPECT_FALSE(std::filesystem::exists(progress)) << "the kudos chord saves nothing";

    campaign->pointsSpent = 70;
    campaign->getChallenge(0, 0)->timesStarted = 3;
    holdChord(game, {OIS::KC_LCONTROL, OIS::KC_F4, OIS::KC_Q}, 4);
    EXPECT_EQ(campaign->pointsEarned, 0u);
    EXPECT_EQ(list->tierPanel->kudosNumber->getCaption().asUTF8(), "0");
    ASSERT_TRUE(std::filesystem::exists(progress)) << "the reset chord saves at once";
    {
        const uint32_t languages = game.session()->profile ? game.session()->profile->getLanguageCount() : 0;
        CampaignData stored("TcData", game.session()->profileName, languages);
        ASSERT_TRUE(stored.loadProgress());
        EXPECT_EQ(stored.pointsEarned, 0u);
        EXPECT_EQ(stored.pointsSpent, 70u);
        EXPECT_EQ(stored.getChallenge(0, 0)->timesStarted, 0u);
    }
    EXPECT_NE(game.stateAs<GS_ListChall>(), nullptr);
}

TEST(ListChall, GarageSwitchAndEscapeToTheTitle)
{
    GameHarness game;
    // Escape held while the list opens does nothing until released.
    game.press(OIS::KC_ESCAPE);
    GS_ListChall* list = openChallengeList(game);
    ASSERT_NE(list, nullptr);
    game.runFrames(5);
    ASSERT_NE(game.stateAs<GS_ListChall>(), nullptr);
    game.release(OIS::KC_ESCAPE);
    game.runFrames(70);  // the fade from black

    const testsupport::Screenshot shot = game.screenshot();
    challengetest::keepShot(shot, "listchall_open");
    const MyGUI::IntCoord tab = list->tierPanel->tierTabs[0].background->getAbsoluteCoord();
    EXPECT_TRUE(shot.at(tab.left + 3, tab.top + 3).near(Rgb{255, 128, 0}, 10)) << shot.at(tab.left + 3, tab.top + 3);
    EXPECT_TRUE(list->tierPanel->infoBox->getVisible());

    game.clickWidget(list->tierPanel->garageButton);
    EXPECT_EQ(game.session()->menuPhase, 1u);
    EXPECT_TRUE(list->garagePanel->partsBox->getVisible());
    EXPECT_FALSE(list->tierPanel->stripView->getVisible());
    EXPECT_TRUE(list->tierPanel->challengesButton->getEnabled());
    game.runFrames(30);
    challengetest::keepShot(game.screenshot(), "listchall_garage");
    game.clickWidget(list->tierPanel->challengesButton);
    EXPECT_EQ(game.session()->menuPhase, 0u);
    EXPECT_FALSE(list->garagePanel->partsBox->getVisible());
    EXPECT_TRUE(list->tierPanel->stripView->getVisible());
    game.clickWidget(list->tierPanel->garageButton);
    ASSERT_EQ(game.session()->menuPhase, 1u);

    // Escape in the garage leaves for the title, not the tier list.
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

TEST(ListChall, AStartByMouseLeavesInTheSameUpdateAndWinsOverBack)
{
    GameHarness game;
    GS_ListChall* list = openChallengeList(game);
    ASSERT_NE(list, nullptr);
    game.runFrames(5);
    const MyGUI::IntCoord start = list->tierPanel->startButton->getAbsoluteCoord();
    // Resting on the button does not start.
    game.moveMouseTo(start.left + start.width / 2, start.top + start.height / 2);
    game.runFrames(3);
    ASSERT_NE(game.stateAs<GS_ListChall>(), nullptr);
    // The press on "Start Challenge" comes with the right button, which asks to go back.
    game.mouseDown();
    game.mouseDown(OIS::MB_Right);
    game.frame();
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    EXPECT_EQ(game.state()->nextStateId, static_cast<uint32_t>(GAMESTATE_PLAY));
    EXPECT_EQ(game.session()->selectedTier, 0u);
    EXPECT_EQ(game.session()->selectedChallenge, 0u);
    EXPECT_EQ(game.session()->challengeMode, 1);
}
