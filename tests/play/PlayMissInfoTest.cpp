// The mission-info box filled from the game's campaign catalogue (run under Xvfb).
#include "play/Priget_PlayMissInfo.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::string caption(const MyGUI::TextBox* w) { return w->getCaption().asUTF8(); }

class PlayMissInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameSession* s = bed.session();
        s->setProfileName("Tester");
        s->recreateProfile();
        ASSERT_EQ(s->profile->getLanguageCount(), 2u);
        s->loadCampaign("TcData");
        ASSERT_NE(s->campaign->getChallenge(1, 2), nullptr);
    }

    // Selects tier 1, challenge 2 (0-based) and makes the box.
    void make(uint32_t language, bool challenge = true)
    {
        bed.session()->challengeMode = challenge;
        bed.session()->selectedTier = 1;
        bed.session()->selectedChallenge = 2;
        bed.settings()->Language = language;
        panel = std::make_unique<Priget_PlayMissInfo>(bed.session(), bed.gui(), bed.sounds());
    }

    ChallengeDef& selected() { return *bed.session()->campaign->getChallenge(1, 2); }

    testsupport::PanelTestBed bed;
    std::unique_ptr<Priget_PlayMissInfo> panel;
};

TEST_F(PlayMissInfoTest, ScoreChallengeShowsItsNumberTextsAndTruncatedTargets)
{
    ChallengeDef& c = selected();
    c.resultIsTime = false;
    c.goldThreshold = 1500.9f;
    c.silverThreshold = 999.99f;
    c.bronzeThreshold = 0.5f;
    c.goldPoints = 40;
    c.silverPoints = 25;
    c.bronzePoints = 15;
    c.texts[0].text = "Hold the yard;Do not fall";
    bed.session()->selectedIndex = 2;
    bed.session()->inputLatch = 0;
    make(0);

    EXPECT_FALSE(panel->infoBox->getVisible()) << "create leaves it hidden";
    EXPECT_EQ(caption(panel->challengeText), "Challenge: 2 - 3");
    EXPECT_EQ(caption(panel->challengeShadow), "Challenge: 2 - 3");
    EXPECT_EQ(caption(panel->titleText), c.texts[0].title);
    EXPECT_EQ(caption(panel->titleShadow), c.texts[0].title);
    EXPECT_EQ(panel->objectiveEdit->getCaption().asUTF8(), "Hold the yard\nDo not fall");
    EXPECT_EQ(caption(panel->goldTarget), "1500");
    EXPECT_EQ(caption(panel->silverTarget), "999");
    EXPECT_EQ(caption(panel->bronzeTarget), "0");
    EXPECT_EQ(caption(panel->goldPoints), "40");
    EXPECT_EQ(caption(panel->silverPoints), "25");
    EXPECT_EQ(caption(panel->bronzePoints), "15");
    // The box is not a button panel: it leaves the selection alone.
    EXPECT_EQ(bed.session()->selectedIndex, 2u);
    EXPECT_EQ(bed.session()->inputLatch, 0);
    const MyGUI::IntCoord box = panel->infoBox->getAbsoluteCoord();
    EXPECT_EQ(box, MyGUI::IntCoord((1024 - 500) / 2, (768 - 300) / 2, 500, 300));
}

TEST_F(PlayMissInfoTest, TimeTargetsShowWholeSeconds)
{
    selected().resultIsTime = true;
    selected().goldThreshold = 95.7f;
    selected().silverThreshold = 120.2f;
    selected().bronzeThreshold = 9.99f;
    make(0);
    EXPECT_EQ(caption(panel->goldTarget), "01'35.000");
    EXPECT_EQ(caption(panel->silverTarget), "02'00.000");
    EXPECT_EQ(caption(panel->bronzeTarget), "00'09.000");
}

TEST_F(PlayMissInfoTest, LanguageFollowsTheSettingOnlyWhereTheProfileHasTexts)
{
    const std::string english = selected().texts[0].title;
    const std::string spanish = selected().texts[1].title;
    ASSERT_NE(english, spanish);
    make(1);
    EXPECT_EQ(caption(panel->titleText), spanish);
    panel.reset();
    // An index beyond the texts would show an empty title: the first language stands in.
    make(5);
    EXPECT_EQ(caption(panel->titleText), english);
    panel.reset();

    delete bed.session()->profile;
    bed.session()->profile = nullptr;
    make(1);
    EXPECT_EQ(caption(panel->titleText), english);
}

TEST_F(PlayMissInfoTest, FreePlayKeepsThePlaceholders)
{
    make(0, false);
    EXPECT_EQ(caption(panel->challengeText), "Challenge: 1 - 1");
    EXPECT_EQ(caption(panel->titleText), "Title");
    EXPECT_EQ(caption(panel->goldPoints), "0000");
    EXPECT_FALSE(panel->infoBox->getVisible());
    // Without a campaign a challenge still gets its number and nothing else.
    panel.reset();
    delete bed.session()->campaign;
    bed.session()->campaign = nullptr;
    make(0, true);
    EXPECT_EQ(caption(panel->challengeText), "Challenge: 2 - 3");
    EXPECT_EQ(caption(panel->titleText), "Title");
}

}  // namespace
