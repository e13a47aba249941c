// The challenge list's tier and challenge panel on a small catalogue (run under Xvfb).
#include "screens/Priget_LCH_SelTier.h"

#include "ChallengeFixture.h"
#include "ChallengeTestSupport.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/Utilities.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using challengefixture::Catalogue;
using challengefixture::Challenge;
using challengetest::click;
using challengetest::silence;

namespace {

const Challenge kOpen{};

class SelTierTest : public ::testing::Test {
protected:
    void open(const Catalogue& catalogue)
    {
        campaign = challengefixture::loadCampaign(catalogue);
        bed.session()->campaign = campaign;
        ASSERT_TRUE(campaign->catalogueLoaded());
        makePanel();
    }
    void makePanel()
    {
        panel = std::make_unique<Priget_LCH_SelTier>(bed.session(), bed.gui(), bed.sounds());
        panel->setShown(true);
    }
    // One frame of the panel with the scripted input.
    void step()
    {
        bed.capture();
        panel->update(1.0f / 60.0f, &bed.keyboard(), &bed.joystick(), &bed.mouse());
    }
    void tap(OIS::KeyCode key)
    {
        bed.keyboard().press(key);
        step();
        bed.keyboard().release(key);
        step();
    }
    void select(uint32_t tier, uint32_t challenge)
    {
        panel->selectedTier = tier;
        panel->selectedChallenge = challenge;
        panel->changeTier();
    }

    testsupport::PanelTestBed bed;
    CampaignData* campaign = nullptr;  // owned by the session
    std::unique_ptr<Priget_LCH_SelTier> panel;
};

}  // namespace

TEST_F(SelTierTest, RowsShowMedalsMarkersAndLocks)
{
    Catalogue f;
    Challenge points;
    points.requiredPoints = 500;
    Challenge story;
    story.requiredStep = 1;
    Challenge time;
    time.resultIsTime = true;
    time.gold = 59.9f;
    f.tiers = {{kOpen, kOpen, kOpen, points, story}, {time}};
    f.stepShopLocked = {false};
    campaign = challengefixture::loadCampaign(f);
    bed.session()->campaign = campaign;
    campaign->getChallenge(0, 1)->timesStarted = 1;
    ChallengeDef* won = campaign->getChallenge(0, 2);
    won->timesStarted = 2;
    won->timesFinished = 2;
    won->gold = 1;
    won->bronze = 1;
    makePanel();

    ASSERT_EQ(panel->rows.size(), 5u);
    EXPECT_EQ(panel->stripCanvas->getWidth(), 5 * 50);
    struct Expect {
        const char* state;
        bool marker;
    };
    const Expect expected[5] = {{"normal", true}, {"normal", false}, {"Gold", false}, {"Locked", false},
                                {"Locked", false}};
    for (size_t n = 0; n < 5; ++n) {
        EXPECT_EQ(panel->rows[n].medalState, expected[n].state) << "row " << n + 1;
        EXPECT_EQ(panel->rows[n].newMarker->getVisible(), expected[n].marker) << "row " << n + 1;
    }
    // One finished over the three open; its gold is the tier's kudos.
    EXPECT_EQ(panel->tierTabs[0].clearText->getCaption().asUTF8(), "Clear: 1 / 3");
    EXPECT_EQ(panel->tierTabs[0].kudosText->getCaption().asUTF8(), "Kudos: 30");
    // With a profile's text tables the word is the table's, in the settings' language.
    bed.session()->setProfileName("Tester");
    bed.session()->recreateProfile();
    bed.settings()->Language = 1;
    makePanel();
    EXPECT_EQ(panel->tierTabs[0].clearText->getCaption().asUTF8(), "Superados: 1 / 3");
    delete bed.session()->profile;
    bed.session()->profile = nullptr;
    bed.settings()->Language = 0;
    makePanel();

    // Open: the info box with the description's lines broken.
    EXPECT_TRUE(panel->infoBox->getVisible());
    EXPECT_FALSE(panel->lockBox->getVisible());
    EXPECT_EQ(panel->infoHeading.caption(), "Challenge: 1 - 1");
    EXPECT_EQ(panel->description->getCaption().asUTF8(), "T1C1 first line\nsecond line");
    EXPECT_TRUE(panel->startButton->getEnabled());

    panel->selectedChallenge = 4;
    panel->showChallengeInfo();
    EXPECT_FALSE(panel->infoBox->getVisible());
    EXPECT_TRUE(panel->lockBox->getVisible());
    EXPECT_TRUE(panel->needLabel.text->getVisible());
    EXPECT_EQ(panel->requiredKudos.caption(), "500");
    EXPECT_FALSE(panel->storyText->getVisible());
    EXPECT_FALSE(panel->startButton->getEnabled());
    EXPECT_FLOAT_EQ(panel->startButton->getAlpha(), 0.5f);

    panel->selectedChallenge = 5;
    panel->showChallengeInfo();
    EXPECT_TRUE(panel->storyText->getVisible());
    EXPECT_EQ(panel->storyText->getCaption().asUTF8(), "Reach step 1");
    EXPECT_FALSE(panel->needLabel.text->getVisible());
    EXPECT_FALSE(panel->requiredKudos.text->getVisible());
    EXPECT_FALSE(panel->startButton->getEnabled());
    EXPECT_FLOAT_EQ(panel->startButton->getAlpha(), 0.5f);

    // A time target shows its whole seconds.
    select(2, 1);
    EXPECT_EQ(panel->targetValues[2]->getCaption().asUTF8(), formatRaceTime(59.0f));
    EXPECT_NE(formatRaceTime(59.0f), formatRaceTime(59.9f));
    const testsupport::Screenshot shot = bed.screenshot();
    challengetest::keepShot(shot, "seltier_tier2");
    auto tabCorner = [&](int tab) {
        const MyGUI::IntCoord c = panel->tierTabs[tab].background->getAbsoluteCoord();
        return shot.at(c.left + 3, c.top + 3);
    };
    EXPECT_TRUE(tabCorner(1).near(testsupport::Rgb{255, 128, 0}, 8)) << tabCorner(1);
    EXPECT_TRUE(tabCorner(0).near(testsupport::Rgb{0, 0, 0}, 8)) << tabCorner(0);
}

TEST_F(SelTierTest, NavigationByKeysAndWheel)
{
    Catalogue f;
    f.tiers = {std::vector<Challenge>(10, kOpen), {kOpen, kOpen}, {kOpen, kOpen, kOpen}};
    open(f);
    audio::Sound* move = bed.sounds()->moveClick();
    ASSERT_NE(move, nullptr);
    step();  // the latch starts set

    struct Case {
        uint32_t tier, challenge;
        OIS::KeyCode key;
        uint32_t toTier, toChallenge;
        bool sound;
    };
    const Case cases[] = {
        {1, 10, OIS::KC_RIGHT, 2, 1, true}, {3, 3, OIS::KC_RIGHT, 3, 3, true}, {2, 1, OIS::KC_LEFT, 1, 10, true},
        {1, 1, OIS::KC_A, 1, 1, true},      {3, 2, OIS::KC_UP, 3, 2, false},   {1, 4, OIS::KC_DOWN, 1, 4, false},
        {1, 4, OIS::KC_W, 2, 1, true},      {2, 2, OIS::KC_S, 1, 1, true},     {1, 3, OIS::KC_D, 1, 4, true},
    };
    for (const Case& c : cases) {
        select(c.tier, c.challenge);
        silence(move);
        tap(c.key);
        EXPECT_EQ(panel->selectedTier, c.toTier) << c.tier << "-" << c.challenge << " key " << c.key;
        EXPECT_EQ(panel->selectedChallenge, c.toChallenge) << c.tier << "-" << c.challenge << " key " << c.key;
        EXPECT_EQ(move->isPlaying(), c.sound) << c.tier << "-" << c.challenge << " key " << c.key;
    }

    // Left into a tier wider than the strip scrolls to its end.
    select(2, 1);
    tap(OIS::KC_LEFT);
    EXPECT_EQ(panel->rows.size(), 10u);
    EXPECT_EQ(panel->stripCanvas->getLeft(), panel->stripView->getWidth() - 10 * 50);

    // A held key moves once; it moves again after a release.
    select(1, 1);
    bed.keyboard().press(OIS::KC_RIGHT);
    for (int i = 0; i < 5; ++i)
        step();
    EXPECT_EQ(panel->selectedChallenge, 2u);
    bed.keyboard().release(OIS::KC_RIGHT);
    step();
    tap(OIS::KC_RIGHT);
    EXPECT_EQ(panel->selectedChallenge, 3u);

    // One wheel notch is one step; down goes right, up goes left.
    bed.mouse().scroll(-120);
    step();
    EXPECT_EQ(panel->selectedChallenge, 4u);
    step();
    bed.mouse().scroll(120);
    step();
    EXPECT_EQ(panel->selectedChallenge, 3u);
}

TEST_F(SelTierTest, WeaponSlotsAndStarts)
{
    Catalogue f;
    Challenge locked;
    locked.requiredPoints = 10;
    Challenge intro;
    intro.intro = true;
    f.tiers = {{intro, locked}};
    open(f);
    campaign->weaponUnlocked[1] = true;
    panel->refreshWeaponLocks();
    audio::Sound* warning = bed.sounds()->warningClick();
    audio::Sound* accept = bed.sounds()->acceptClick();
    ASSERT_NE(warning, nullptr);
    ASSERT_NE(accept, nullptr);

    // A locked slot warns and keeps the choice; an unlocked one and slot 0 are taken.
    silence(warning);
    click(panel->weaponSlots[1].frame);
    EXPECT_TRUE(warning->isPlaying());
    EXPECT_EQ(panel->weaponSlot, 0u);
    click(panel->weaponSlots[2].frame);
    EXPECT_EQ(panel->weaponSlot, 2u);
    {
        const MyGUI::IntCoord c = panel->weaponSlots[2].frame->getAbsoluteCoord();
        const testsupport::Screenshot shot = bed.screenshot();
        challengetest::keepShot(shot, "seltier_weapons");
        const testsupport::Rgb rim = shot.at(c.left + 1, c.top + 1);
        // Tinted orange: red over green, no blue.
        EXPECT_GT(rim.r, rim.g + 5) << rim;
        EXPECT_LT(rim.b, 8) << rim;
    }
    click(panel->weaponSlots[0].frame);
    EXPECT_EQ(panel->weaponSlot, 0u);
    click(panel->weaponSlots[2].frame);

    // Confirm on a locked challenge: the click, and nothing starts.
    step();
    click(panel->rows[1].overlay);
    EXPECT_EQ(panel->selectedChallenge, 2u);
    silence(accept);
    tap(OIS::KC_RETURN);
    EXPECT_TRUE(accept->isPlaying());
    EXPECT_EQ(panel->startRequested, 0);
    EXPECT_EQ(campaign->getChallenge(0, 1)->timesStarted, 0u);

    // With the skip option the intro is asked for on the first start only.
    GameSession* s = bed.session();
    click(panel->skipCheckBox);
    EXPECT_TRUE(campaign->skipSeenStory);
    click(panel->rows[0].overlay);
    for (int start = 1; start <= 2; ++start) {
        s->cutsceneRequested = 0;
        panel->startRequested = 0;
        tap(OIS::KC_SPACE);
        EXPECT_EQ(panel->startRequested, 1) << "start " << start;
        EXPECT_EQ(s->cutsceneRequested, start == 1 ? 1 : 0) << "start " << start;
    }
    EXPECT_EQ(s->cutsceneName, "T1C1_In");
    EXPECT_EQ(s->selectedTier, 0u);
    EXPECT_EQ(s->selectedChallenge, 0u);
    EXPECT_EQ(s->selectedWeapon, 2u);
    EXPECT_EQ(s->getLevelName(), "T1C1");
    // Without it, every time; the mouse on the button starts too.
    click(panel->skipCheckBox);
    EXPECT_FALSE(campaign->skipSeenStory);
    s->cutsceneRequested = 0;
    panel->startRequested = 0;
    click(panel->startButton);
    EXPECT_EQ(panel->startRequested, 1);
    EXPECT_EQ(s->cutsceneRequested, 1);
    EXPECT_EQ(campaign->getChallenge(0, 0)->timesStarted, 3u);
}

// Empty catalogues and tiers, and a remembered choice the catalogue does not have: nothing is
// looked up out of range (the sanitizers watch) and no start goes out.
TEST_F(SelTierTest, MissingRowsRefuseTheStart)
{
    struct Case {
        const char* name;
        std::vector<std::vector<Challenge>> tiers;
        uint32_t sessionTier, sessionChallenge;
    };
    const std::vector<Case> cases = {
        {"empty catalogue", {}, 0, 0},
        {"empty first tier", {{}, {kOpen}}, 0, 0},
        {"choice beyond the catalogue", {{kOpen, kOpen}}, 6, 9},
        {"choice beyond the tier", {{kOpen, kOpen}}, 0, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        panel.reset();
        delete bed.session()->campaign;
        bed.session()->campaign = nullptr;
        bed.session()->selectedTier = c.sessionTier;
        bed.session()->selectedChallenge = c.sessionChallenge;
        Catalogue f;
        f.tiers = c.tiers;
        open(f);
        EXPECT_EQ(panel->selectedTier, 1u);
        EXPECT_EQ(panel->selectedChallenge, 1u);
        for (int i = 0; i < 30; ++i)
            step();
        tap(OIS::KC_RETURN);
        panel->startChallenge();
        const bool hasRow = !c.tiers.empty() && !c.tiers[0].empty();
        EXPECT_EQ(panel->startRequested, hasRow ? 1 : 0);
    }

    // Through an empty tier between two others: right, left and a start inside it.
    panel.reset();
    delete bed.session()->campaign;
    bed.session()->campaign = nullptr;
    Catalogue f;
    f.tiers = {{kOpen}, {}, {kOpen, kOpen}};
    bed.session()->selectedTier = 0;
    bed.session()->selectedChallenge = 0;
    open(f);
    step();
    tap(OIS::KC_UP);
    EXPECT_EQ(panel->selectedTier, 2u);
    EXPECT_TRUE(panel->rows.empty());
    EXPECT_EQ(panel->stripCanvas->getWidth(), 0);
    tap(OIS::KC_RETURN);
    EXPECT_EQ(panel->startRequested, 0);
    tap(OIS::KC_RIGHT);
    EXPECT_EQ(panel->selectedTier, 3u);
    EXPECT_EQ(panel->selectedChallenge, 1u);
    tap(OIS::KC_LEFT);
    EXPECT_EQ(panel->selectedTier, 2u);
    EXPECT_EQ(panel->selectedChallenge, 1u);
    for (int i = 0; i < 10; ++i)
        step();
    panel->startChallenge();
    EXPECT_EQ(panel->startRequested, 0);
    tap(OIS::KC_LEFT);
    EXPECT_EQ(panel->selectedTier, 1u);
    EXPECT_EQ(panel->selectedChallenge, 1u);
}
