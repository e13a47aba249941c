// The challenge list in the whole game: from the title menu to the list, a purchase in the garage
// and the start of the first challenge, whose intro plays before the play.
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "cutscenes/GS_Cutscene.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_LCH_Garage.h"
#include "screens/Priget_LCH_SelTier.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;

using testsupport::keepShot;

namespace {

const Rgb kOrange{255, 128, 0};

std::string caption(const MyGUI::TextBox* text) { return text->getCaption().asUTF8(); }

}  // namespace

TEST(ChallengeListInGame, GarageBuysATurretLevelThenTheFirstChallengeStartsWithItsIntro)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    game.runFrames(70);  // the menu's intro
    game.clickWidget(game.stateAs<GS_Menu>()->mainMenu->item(6));  // "Challenge Mode"
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_ListChall>() != nullptr; }, 5));
    GS_ListChall* list = game.stateAs<GS_ListChall>();
    Priget_LCH_SelTier* tiers = list->tierPanel;
    CampaignData* campaign = game.session()->campaign;
    ASSERT_NE(campaign, nullptr);
    ASSERT_GT(campaign->getTierCount(), 0u);
    game.moveMouseTo(5, 5);
    game.runFrames(70);  // the fade from black

    // Tier 1's tab in orange, the info box of challenge 1 - 1 with its orange heading, and the
    // selected row's orange rim (taken at the top of its pulse).
    {
        tiers->pulsePhase = 0.0f;
        game.frame();
        const testsupport::Screenshot shot = game.screenshot();
        keepShot(shot, "challenge_list");
        const MyGUI::IntCoord tab = tiers->tierTabs[0].background->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(kOrange, tab.left, tab.top, tab.width, tab.height, 10), tab.width * tab.height / 2);
        ASSERT_TRUE(tiers->infoBox->getVisible());
        EXPECT_EQ(tiers->infoHeading.text->getCaption().asUTF8(), "Challenge: 1 - 1");
        const MyGUI::IntCoord heading = tiers->infoHeading.text->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(kOrange, heading.left, heading.top, heading.width, heading.height, 40), 30);
        const MyGUI::IntCoord info = tiers->infoBox->getAbsoluteCoord();
        const Rgb inBox = shot.at(info.right() - 4, info.bottom() - 4);
        const Rgb outside = shot.at(info.right() + 6, info.bottom() - 4);
        EXPECT_LT(inBox.r + inBox.g + inBox.b, outside.r + outside.g + outside.b) << inBox << " vs " << outside;
        ASSERT_GE(tiers->rows.size(), 2u);
        const MyGUI::IntCoord selected = tiers->rows[0].panel->getAbsoluteCoord();
        const MyGUI::IntCoord other = tiers->rows[1].panel->getAbsoluteCoord();
        // Every row's number has an orange copy; only the selected one has the rim.
        EXPECT_GT(shot.countNear(kOrange, selected.left, selected.top, selected.width, selected.height, 40), 100);
        EXPECT_LT(shot.countNear(kOrange, other.left, other.top, other.width, other.height, 40), 30);
    }

    // The kudos chord, then a turret level bought in the garage.
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.press(k);
    game.runFrames(3);
    for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F11, OIS::KC_W})
        game.release(k);
    game.frame();
    ASSERT_EQ(campaign->pointsEarned, 1000u);
    EXPECT_EQ(caption(tiers->kudosNumber), "1000");
    // The chord's W is also the panel's Up: it went a tier up; tier 1's tab brings it back.
    EXPECT_EQ(tiers->selectedTier, 2u);
    game.clickWidget(tiers->tierTabs[0].overlay);
    ASSERT_EQ(tiers->selectedTier, 1u);

    game.clickWidget(tiers->garageButton);
    ASSERT_EQ(game.session()->menuPhase, 1u);
    Priget_LCH_Garage* garage = list->garagePanel;
    const GarageItemWidgets& turret1 = garage->turretItems[0];
    game.clickWidget(turret1.frame);
    const uint32_t price = campaign->getUpgrade(0, 0)->price;
    ASSERT_LE(price, 1000u);
    EXPECT_EQ(caption(garage->usedValue.text), "0");
    EXPECT_EQ(caption(garage->availableValue.text), "1000");
    EXPECT_NE(caption(garage->costValue.text), "---");
    EXPECT_FALSE(campaign->getUpgrade(0, 0)->bought);
    EXPECT_LT(turret1.image->getAlpha(), 1.0f);
    ASSERT_TRUE(garage->buyButton->getEnabled());
    game.clickWidget(garage->buyButton);
    EXPECT_TRUE(campaign->getUpgrade(0, 0)->bought);
    EXPECT_EQ(caption(garage->usedValue.text), std::to_string(price));
    EXPECT_EQ(caption(garage->availableValue.text), std::to_string(1000 - price));
    EXPECT_EQ(caption(garage->costValue.text), "---");
    EXPECT_FALSE(garage->buyButton->getEnabled());
    EXPECT_EQ(turret1.image->getAlpha(), 1.0f);
    game.moveMouseTo(5, 5);
    game.runFrames(20);
    keepShot(game.screenshot(), "garage_bought");

    // Back to the challenges; "Start Challenge" on tier 1, challenge 1: its intro, then the play.
    game.clickWidget(tiers->challengesButton);
    ASSERT_EQ(game.session()->menuPhase, 0u);
    ASSERT_EQ(tiers->selectedTier, 1u);
    ASSERT_EQ(tiers->selectedChallenge, 1u);
    ASSERT_TRUE(tiers->startButton->getEnabled());
    game.clickWidget(tiers->startButton);
    auto* cutscene = game.stateAs<GS_Cutscene>();
    ASSERT_NE(cutscene, nullptr);
    EXPECT_EQ(cutscene->nextStateId, static_cast<uint32_t>(GAMESTATE_PLAY));
    EXPECT_EQ(cutscene->name, "Cs_FirstContact_In");
    EXPECT_EQ(game.session()->selectedTier, 0u);
    EXPECT_EQ(game.session()->selectedChallenge, 0u);
    EXPECT_EQ(campaign->getChallenge(0, 0)->timesStarted, 1u);
    // Escape skips the briefing film, then the dialog scene.
    game.runFrames(10);
    game.tapKey(OIS::KC_ESCAPE);
    game.runFrames(3);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_TRUE(game.runUntil([&] { return game.stateAs<GS_PlayOnly>() != nullptr; }, 5));
}
