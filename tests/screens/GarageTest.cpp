// The garage panel on a small catalogue (run under Xvfb).
#include "screens/Priget_LCH_Garage.h"

#include "ChallengeFixture.h"
#include "ChallengeTestSupport.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using challengefixture::Catalogue;
using challengetest::click;

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);
const MyGUI::Colour kGrey(0.5f, 0.5f, 0.5f, 1.0f);

class GarageTest : public ::testing::Test {
protected:
    explicit GarageTest(int width = 1024, int height = 768) : bed(width, height) {}

    void open(const Catalogue& catalogue = Catalogue{})
    {
        campaign = challengefixture::loadCampaign(catalogue);
        bed.session()->campaign = campaign;
        ASSERT_TRUE(campaign->catalogueLoaded());
        panel = std::make_unique<Priget_LCH_Garage>(bed.session(), bed.gui(), bed.sounds());
    }
    // The read-out after a click on an item.
    void pick(uint32_t group, uint32_t item) { click(panel->item(group, item - 1)->frame); }

    testsupport::PanelTestBed bed;
    CampaignData* campaign = nullptr;  // owned by the session
    std::unique_ptr<Priget_LCH_Garage> panel;
};

class GarageTest800 : public GarageTest {
protected:
    GarageTest800() : GarageTest(800, 600) {}
};

}  // namespace

TEST_F(GarageTest, ReadOutOfEachKindOfItem)
{
    open();
    struct Case {
        const char* name;
        uint32_t earned;
        uint32_t turretBought;  // levels bought from the bottom
        bool weaponOwned;
        uint32_t group, item;
        const char* cost;
        const char* remain;
        MyGUI::Colour remainColour;
        bool buy;
    };
    const Case cases[] = {
        {"previous level not bought", 1000, 0, false, SHOP_TURRET, 2, "---", "1000", MyGUI::Colour::White, false},
        {"level bought", 1000, 1, false, SHOP_TURRET, 1, "---", "900", MyGUI::Colour::White, false},
        {"next level, exactly affordable", 300, 1, false, SHOP_TURRET, 2, "200", "0", kOrange, true},
        {"one kudo short", 299, 1, false, SHOP_TURRET, 2, "200", "-1", kGrey, false},
        {"owned weapon keeps its price", 1000, 0, true, SHOP_WEAPONS, 1, "10", "990", kOrange, true},
        {"first level of a group", 50, 0, false, SHOP_CORE, 1, "100", "-50", kGrey, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        campaign->pointsEarned = c.earned;
        campaign->pointsSpent = 100 * c.turretBought;
        campaign->weaponUnlocked[0] = c.weaponOwned;
        // Set the purchases through the campaign, then give back what they cost.
        for (uint32_t level = 0; level < 3; ++level)
            const_cast<UpgradeLevel*>(campaign->getUpgrade(0, level))->bought = level < c.turretBought;
        pick(c.group, c.item);
        EXPECT_EQ(panel->costValue.caption(), c.cost);
        EXPECT_EQ(panel->remainValue.caption(), c.remain);
        EXPECT_EQ(panel->remainValue.text->getTextColour(), c.remainColour);
        EXPECT_EQ(panel->buyButton->getEnabled(), c.buy);
        EXPECT_EQ(panel->usedValue.caption(), std::to_string(campaign->pointsSpent));
    }
}

TEST_F(GarageTest, BuyingATurretLevelChangesLooksAndTotals)
{
    open();
    campaign->pointsEarned = 1000;
    audio::Sound* accept = bed.sounds()->acceptClick();
    ASSERT_NE(accept, nullptr);
    pick(SHOP_TURRET, 1);
    EXPECT_TRUE(panel->partsSelectionBox->getVisible());
    EXPECT_FALSE(panel->weaponsSelectionBox->getVisible());
    EXPECT_EQ(panel->partsSelectionBox->getPosition(), panel->turretItems[0].frame->getPosition() - MyGUI::IntPoint(1, 1));
    EXPECT_EQ(panel->costValue.caption(), "100");
    challengetest::silence(accept);
    click(panel->buyButton);
    EXPECT_TRUE(accept->isPlaying());
    EXPECT_TRUE(campaign->getUpgrade(0, 0)->bought);
    EXPECT_EQ(panel->usedValue.caption(), "100");
    EXPECT_EQ(panel->availableValue.caption(), "900");
    EXPECT_EQ(panel->costValue.caption(), "---");
    EXPECT_FALSE(panel->buyButton->getEnabled());
    EXPECT_FLOAT_EQ(panel->turretItems[0].image->getAlpha(), 1.0f);
    EXPECT_FLOAT_EQ(panel->turretItems[1].image->getAlpha(), 0.5f);
    EXPECT_FLOAT_EQ(panel->turretItems[2].image->getAlpha(), 0.5f);

    // On screen: level 1 in full colour, level 2 greyed, level 3 dark.
    const testsupport::Screenshot shot = bed.screenshot();
    challengetest::keepShot(shot, "garage_bought");
    auto centre = [&](int level) {
        const MyGUI::IntCoord c = panel->turretItems[level].image->getAbsoluteCoord();
        // The dome of the turret picture.
        return shot.at(c.left + 30, c.top + 30);
    };
    EXPECT_GT(centre(0).g, centre(1).g + 20) << centre(0) << " " << centre(1);
    EXPECT_GT(centre(1).g, centre(2).g + 10) << centre(1) << " " << centre(2);

    // A price with a fraction: the spending grows by the whole part of the sum.
    campaign->pointsSpent = 0;
    Catalogue f;
    pick(SHOP_WEAPONS, 3);
    EXPECT_EQ(panel->costValue.caption(), "30");
    panel.reset();
    delete bed.session()->campaign;
    f.weaponPrices = {10, 20, 99.5f, 40, 50};
    open(f);
    campaign->pointsEarned = 1000;
    pick(SHOP_WEAPONS, 3);
    EXPECT_EQ(panel->costValue.caption(), "99.5");
    click(panel->buyButton);
    EXPECT_TRUE(campaign->weaponUnlocked[2]);
    EXPECT_EQ(campaign->pointsSpent, 99u);
    EXPECT_FLOAT_EQ(panel->weaponItems[2].image->getAlpha(), 1.0f);
    // Owned now: still priced, and pressing Buy changes nothing.
    EXPECT_EQ(panel->costValue.caption(), "99.5");
    click(panel->buyButton);
    EXPECT_EQ(campaign->pointsSpent, 99u);
}

// A purchase that cannot be made says why: the warning click (never the accept click) and the
// reason typed on the help line, whether "Buy" is disabled or the campaign refuses.
TEST_F(GarageTest, RefusalsSayWhy)
{
    Catalogue f;
    f.stepShopLocked = {true, false};
    open(f);
    panel->show(true);
    audio::Sound* accept = bed.sounds()->acceptClick();
    audio::Sound* warning = bed.sounds()->warningClick();
    ASSERT_NE(accept, nullptr);
    ASSERT_NE(warning, nullptr);
    struct Case {
        const char* name;
        uint32_t available;
        uint32_t turretBought;
        bool weaponOwned;
        uint32_t group, item;
        const char* reason;
    };
    const Case cases[] = {
        {"one kudo short", 199, 1, false, SHOP_TURRET, 2, "Need 1 Kudos"},
        {"far too few kudos", 0, 0, false, SHOP_CORE, 1, "Need 100 Kudos"},
        {"previous level not bought", 1000, 0, false, SHOP_TURRET, 3, "Buy the level before it first"},
        {"level bought", 1000, 1, false, SHOP_TURRET, 1, "Already bought"},
        {"weapon shop locked by the story", 1000, 0, false, SHOP_WEAPONS, 2, "LOCKED"},
        {"weapon owned (Buy stays enabled)", 1000, 0, true, SHOP_WEAPONS, 1, "Already bought"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        campaign->pointsEarned = c.available + 100 * c.turretBought;
        campaign->pointsSpent = 100 * c.turretBought;
        campaign->weaponUnlocked[0] = c.weaponOwned;
        for (uint32_t level = 0; level < 3; ++level)
            const_cast<UpgradeLevel*>(campaign->getUpgrade(0, level))->bought = level < c.turretBought;
        pick(c.group, c.item);
        EXPECT_EQ(panel->refusalText(), c.reason);
        const uint32_t spent = campaign->pointsSpent;
        challengetest::silence(accept);
        challengetest::silence(warning);
        // A click on "Buy" as the player makes it, enabled or not.
        click(panel->buyButton);
        EXPECT_TRUE(warning->isPlaying());
        EXPECT_FALSE(accept->isPlaying());
        EXPECT_EQ(campaign->pointsSpent, spent);
        for (int i = 0; i < 200; ++i)
            panel->update(0.05f);
        EXPECT_EQ(panel->captionWidget->getCaption().asUTF8(), c.reason);
    }
    // A purchase that goes through says nothing of the kind.
    campaign->pointsEarned = 1000;
    campaign->pointsSpent = 0;
    campaign->weaponUnlocked[0] = false;
    for (uint32_t level = 0; level < 3; ++level)
        const_cast<UpgradeLevel*>(campaign->getUpgrade(0, level))->bought = false;
    pick(SHOP_TURRET, 1);
    EXPECT_EQ(panel->refusalText(), "");
    challengetest::silence(warning);
    click(panel->buyButton);
    EXPECT_TRUE(accept->isPlaying());
    EXPECT_FALSE(warning->isPlaying());

    // The reasons come in the profile's language.
    bed.session()->recreateProfile();
    bed.settings()->Language = 1;
    pick(SHOP_TURRET, 1);
    EXPECT_EQ(panel->refusalText(), "Ya comprado");
    campaign->pointsEarned = 100;  // all of it spent on the first level
    pick(SHOP_CORE, 1);
    EXPECT_EQ(panel->refusalText(), "Necesitas 100 Kudos");
}

TEST_F(GarageTest, ALockedShopSellsNoWeapons)
{
    Catalogue f;
    f.stepShopLocked = {true, false};
    open(f);
    campaign->pointsEarned = 5000;
    for (const GarageItemWidgets& w : panel->weaponItems)
        EXPECT_TRUE(w.lockImage->getVisible());
    for (const GarageItemWidgets& w : panel->turretItems)
        EXPECT_FALSE(w.lockImage->getVisible());
    for (uint32_t slot = 1; slot <= 5; ++slot) {
        pick(SHOP_WEAPONS, slot);
        EXPECT_FALSE(panel->buyButton->getEnabled()) << "weapon " << slot;
        EXPECT_NE(panel->costValue.caption(), "---");
    }
    EXPECT_TRUE(panel->weaponsSelectionBox->getVisible());
    EXPECT_FALSE(panel->partsSelectionBox->getVisible());
    pick(SHOP_TRACK, 1);
    EXPECT_TRUE(panel->buyButton->getEnabled());
    click(panel->buyButton);
    EXPECT_TRUE(campaign->getUpgrade(2, 0)->bought);
}

// After the progress reset (kudos earned 0, spending kept) the balance is negative, shown
// signed, and buys nothing.
TEST_F(GarageTest, ANegativeBalanceAfterAResetBuysNothing)
{
    open();
    campaign->pointsEarned = 1000;
    pick(SHOP_TURRET, 1);
    click(panel->buyButton);
    campaign->resetProgress();
    pick(SHOP_TURRET, 2);
    EXPECT_EQ(panel->availableValue.caption(), "-100");
    EXPECT_EQ(panel->remainValue.caption(), "-300");
    EXPECT_EQ(panel->remainValue.text->getTextColour(), kGrey);
    EXPECT_FALSE(panel->buyButton->getEnabled());
    pick(SHOP_WEAPONS, 1);
    EXPECT_FALSE(panel->buyButton->getEnabled());
    click(panel->buyButton);
    EXPECT_FALSE(campaign->weaponUnlocked[0]);
    EXPECT_EQ(campaign->pointsSpent, 100u);
    pick(SHOP_TURRET, 1);
    EXPECT_EQ(panel->remainValue.caption(), "-100");
}

TEST_F(GarageTest, BoxesFollowTheViewAndTheHelpLineTypesItself)
{
    open();
    EXPECT_EQ(panel->partsBox->getLeft(), (1024 - 870) / 2 + 200);
    EXPECT_EQ(panel->weaponsBox->getLeft(), panel->partsBox->getLeft());
    EXPECT_EQ(panel->weaponsBox->getTop(), panel->partsBox->getTop() + 270 + 16);
    // The help line of the first item, typed out by the panel's own updates.
    panel->show(true);
    for (int i = 0; i < 200; ++i)
        panel->update(0.05f);
    EXPECT_EQ(panel->captionWidget->getCaption().asUTF8(), campaign->getShopItemText(1, 0, 0));
    EXPECT_NE(panel->captionWidget->getCaption().asUTF8(), "");
    panel->show(false);
    EXPECT_FALSE(panel->partsBox->getVisible());
    EXPECT_FALSE(panel->buyButton->getVisible());
}

TEST_F(GarageTest800, BoxesSitFiftyPixelsFurtherRight)
{
    open();
    EXPECT_EQ(panel->partsBox->getLeft(), (800 - 870) / 2 + 200 + 50);
    EXPECT_EQ(panel->weaponsBox->getLeft(), panel->partsBox->getLeft());
}
