// The end-of-play panel on real widgets with the game's campaign catalogue (run under Xvfb).
#include "play/Priget_EndPlayMenu.h"

#include "audio/Sound.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/GlobalSounds.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class EndPlayMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameSession* s = bed.session();
        s->setProfileName("Tester");
        s->recreateProfile();
        s->loadCampaign("TcData");
        ASSERT_TRUE(s->campaign->catalogueLoaded());
        // The catalogue's shape the cases rely on: tiers of 3, 4 and 3 challenges.
        ASSERT_EQ(s->campaign->getTierCount(), 3u);
        ASSERT_EQ(s->campaign->getChallengeCount(0), 3u);
        ASSERT_EQ(s->campaign->getChallengeCount(2), 3u);
        makePanel();
    }

    void makePanel()
    {
        panel.reset();
        panel = std::make_unique<Priget_EndPlayMenu>(bed.session(), bed.gui(), bed.sounds());
        panel->setVisible(false);
    }

    // Every challenge open: no points or story step needed.
    void openEverything()
    {
        CampaignData* c = bed.session()->campaign;
        c->pointsEarned = 100;
        c->stepReached = 0;
        for (uint32_t t = 0; t < c->getTierCount(); ++t)
            for (uint32_t i = 0; i < c->getChallengeCount(t); ++i) {
                c->getChallenge(t, i)->requiredPoints = 0;
                c->getChallenge(t, i)->requiredStep = 0;
            }
    }

    void frame(float dt = 1.0f / 60.0f)
    {
        bed.capture();
        panel->handleInput(dt, &bed.keyboard(), &bed.joystick(), &bed.mouse());
    }

    void tap(OIS::KeyCode key)
    {
        bed.keyboard().press(key);
        frame();
        bed.keyboard().release(key);
        frame();
    }

    testsupport::PanelTestBed bed;
    std::unique_ptr<Priget_EndPlayMenu> panel;
};

TEST_F(EndPlayMenuTest, ContinueIsOfferedAndEnabledByWhatComesNext)
{
    struct Case {
        const char* name;
        bool challenge;
        uint32_t tier, challengeIndex;
        std::function<void(CampaignData&)> lock;  // applied after everything was opened
        bool enabledBefore;
        bool available, enabled;
    };
    const Case cases[] = {
        {"free play", false, 0, 0, nullptr, true, false, false},
        {"next open and affordable", true, 0, 0, nullptr, false, true, true},
        {"next needs exactly the points earned", true, 0, 0,
         [](CampaignData& c) { c.getChallenge(0, 1)->requiredPoints = c.pointsEarned; }, false, true, true},
        {"next points-locked", true, 0, 0,
         [](CampaignData& c) { c.getChallenge(0, 1)->requiredPoints = c.pointsEarned + 1; }, true, true, false},
        {"next story-locked", true, 0, 0, [](CampaignData& c) { c.getChallenge(0, 1)->requiredStep = 3; }, true, true,
         false},
        {"last of a tier: the next tier's first, open", true, 0, 2, nullptr, false, true, true},
        {"last of a tier: the next tier's first, locked", true, 0, 2,
         [](CampaignData& c) { c.getChallenge(1, 0)->requiredStep = 3; }, true, true, false},
        {"last of the last tier keeps enabled", true, 2, 2, nullptr, true, true, true},
        {"last of the last tier keeps disabled", true, 2, 2, nullptr, false, true, false},
    };
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openEverything();
        if (c.lock)
            c.lock(*bed.session()->campaign);
        bed.session()->challengeMode = c.challenge;
        bed.session()->selectedTier = c.tier;
        bed.session()->selectedChallenge = c.challengeIndex;
        makePanel();
        panel->continueButton()->setEnabled(c.enabledBefore);
        panel->setupContinue();
        EXPECT_EQ(panel->continueAvailable, c.available);
        EXPECT_EQ(panel->continueButton()->getEnabled(), c.enabled);
        const int width = c.available ? 488 : 328;
        EXPECT_EQ(panel->menuPanel->getCoord(), MyGUI::IntCoord((view.width - width) / 2, view.height - 148, width, 48));
        panel->show(true);
        if (c.available)
            EXPECT_TRUE(panel->continueButton()->getVisible());
        else  // left where the narrow strip cuts it off
            EXPECT_GE(panel->continueButton()->getLeft(), panel->menuPanel->getWidth());
    }
}

TEST_F(EndPlayMenuTest, KeysSkipADisabledContinueAndPreviousFromContinueIsQuit)
{
    openEverything();
    bed.session()->challengeMode = 1;
    panel->setupContinue();
    panel->show(true);
    frame(1.0f);
    frame();
    ASSERT_TRUE(panel->continueButton()->getEnabled());
    bed.session()->selectedIndex = 2;
    tap(OIS::KC_LEFT);
    EXPECT_EQ(bed.session()->selectedIndex, 1u) << "previous from Continue";

    panel->continueButton()->setEnabled(false);
    const struct {
        OIS::KeyCode key;
        uint32_t from, to;
    } steps[] = {{OIS::KC_RIGHT, 1, 0}, {OIS::KC_D, 1, 0}, {OIS::KC_LEFT, 0, 1}, {OIS::KC_A, 0, 1},
                 {OIS::KC_DOWN, 0, 1}, {OIS::KC_UP, 1, 0}, {OIS::KC_S, 7, 1}, {OIS::KC_W, 7, 1}};
    for (const auto& s : steps) {
        bed.session()->selectedIndex = s.from;
        tap(s.key);
        EXPECT_EQ(bed.session()->selectedIndex, s.to) << "key " << s.key << " from " << s.from;
    }
    // The pad steps sideways: hat west and east, axis 1.
    panel->continueButton()->setEnabled(true);
    bed.session()->gamepadEnabled = 1;
    const struct {
        std::function<void(testsupport::ScriptedJoyStick&)> set;
        uint32_t to;
    } pad[] = {{[](auto& j) { j.setPov(OIS::Pov::SouthWest); }, 2},
               {[](auto& j) { j.setPov(OIS::Pov::East); }, 1},
               {[](auto& j) { j.setAxis(1, -20000); }, 2},
               {[](auto& j) { j.setAxis(1, 20000); }, 1},
               {[](auto& j) { j.setPov(OIS::Pov::North); }, 0},
               {[](auto& j) { j.setAxis(0, -20000); }, 0}};
    for (const auto& p : pad) {
        bed.session()->selectedIndex = 0;
        p.set(bed.joystick());
        frame();
        bed.joystick().setPov(OIS::Pov::Centered);
        bed.joystick().setAxis(0, 0);
        bed.joystick().setAxis(1, 0);
        frame();
        EXPECT_EQ(bed.session()->selectedIndex, p.to);
    }
}

TEST_F(EndPlayMenuTest, ADisabledContinueKeepsItsLook)
{
    bed.session()->challengeMode = 0;
    panel->setupContinue();  // free play: Continue disabled
    ASSERT_FALSE(panel->continueButton()->getEnabled());
    // Seen through a wide strip at full alpha, so the Continue face can be read.
    panel->menuPanel->setSize(488, 48);
    panel->setVisible(true);
    for (int i = 0; i < 3; ++i)
        panel->button(i)->setAlpha(1.0f);
    auto face = [this](int i) {
        const MyGUI::IntCoord c = panel->button(i)->getAbsoluteCoord();
        return bed.screenshot().at(c.left + 10, c.top + 4);
    };
    const testsupport::Rgb selected{70, 110, 160}, other{40, 64, 96};
    bed.session()->selectedIndex = 2;
    panel->setButtonStates();
    EXPECT_FALSE(face(2).near(selected, 12)) << face(2);
    EXPECT_TRUE(face(0).near(other, 12)) << face(0);
    panel->continueButton()->setEnabled(true);
    panel->setButtonStates();
    EXPECT_TRUE(face(2).near(selected, 12)) << face(2);
}

TEST_F(EndPlayMenuTest, ButtonsFadeInOneAfterAnother)
{
    openEverything();
    bed.session()->challengeMode = 1;
    panel->setupContinue();
    panel->show(true);
    EXPECT_FLOAT_EQ(panel->background->getAlpha(), 0.0f);
    frame(0.5f);
    EXPECT_NEAR(panel->retryButton()->getAlpha(), 0.6f, 1e-5f);
    EXPECT_NEAR(panel->quitButton()->getAlpha(), 0.2f, 1e-5f);
    EXPECT_NEAR(panel->continueButton()->getAlpha(), 0.0f, 1e-5f);
    EXPECT_NEAR(panel->background->getAlpha(), 0.25f / 3.0f, 1e-5f);
    frame(0.5f);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(panel->button(i)->getAlpha(), 1.0f) << i;
    EXPECT_FLOAT_EQ(panel->background->getAlpha(), 0.25f);
}

TEST_F(EndPlayMenuTest, MouseOverAButtonBlocksKeysAndRightClickOutsidePicksQuit)
{
    audio::Sound* warning = bed.sounds()->warningClick();
    ASSERT_NE(warning, nullptr);
    panel->show(true);
    frame(1.0f);
    const MyGUI::IntCoord retry = panel->retryButton()->getAbsoluteCoord();
    bed.mouse().moveTo(retry.left + retry.width, retry.top + retry.height);  // the corner counts
    frame();
    ASSERT_EQ(bed.session()->mouseOverButton, 1);
    warning->stop();
    bed.keyboard().press(OIS::KC_RIGHT);
    frame();
    EXPECT_EQ(bed.session()->selectedIndex, 0u);
    EXPECT_TRUE(warning->isPlaying());
    bed.keyboard().release(OIS::KC_RIGHT);

    bed.mouse().moveTo(5, 5);
    frame();
    bed.mouse().press(OIS::MB_Right);
    frame();
    EXPECT_EQ(bed.session()->selectedIndex, 1u);
}

TEST_F(EndPlayMenuTest, LabelsComeFromTheProfileWithTheLanguageRepaired)
{
    const struct {
        uint32_t language, repaired;
        const char *retry, *cont, *result, *best;
    } cases[] = {
        {0, 0, "Retry", "Continue", "Result:", "Best:"},
        {1, 1, "Reintentar", "Continuar", "Resultado:", "Mejor:"},
        {7, 0, "Retry", "Continue", "Result:", "Best:"},
    };
    for (const auto& c : cases) {
        bed.settings()->Language = c.language;
        makePanel();
        EXPECT_EQ(bed.settings()->Language, c.repaired);
        EXPECT_EQ(panel->retryButton()->getCaption().asUTF8(), c.retry);
        EXPECT_EQ(panel->continueButton()->getCaption().asUTF8(), c.cont);
        EXPECT_EQ(panel->resultLabel->getCaption().asUTF8(), c.result);
        EXPECT_EQ(panel->bestLabel->getCaption().asUTF8(), c.best);
    }
    // Without profile texts the built-in captions stay and the setting is left alone.
    delete bed.session()->profile;
    bed.session()->profile = nullptr;
    bed.settings()->Language = 7;
    makePanel();
    EXPECT_EQ(bed.settings()->Language, 7u);
    EXPECT_EQ(panel->resultLabel->getCaption().asUTF8(), "Result: ");
    EXPECT_EQ(panel->quitButton()->getCaption().asUTF8(), "Quit");
}

TEST_F(EndPlayMenuTest, ResultAndBestBoxesShowTheirValues)
{
    EXPECT_FALSE(panel->resultBox->getVisible());
    panel->setResultText("01'02.500");
    EXPECT_TRUE(panel->resultBox->getVisible());
    EXPECT_FALSE(panel->bestBox->getVisible()) << "no best was given";
    EXPECT_EQ(panel->resultValue->getCaption().asUTF8(), "01'02.500");

    const struct {
        float value;
        bool asTime;
        const char* shown;
    } bests[] = {{1234.5678f, false, "1234.57"}, {95.5f, true, "01'35.500"}, {3000.0f, false, "3000"}};
    for (const auto& b : bests) {
        panel->setBestValue(b.value, b.asTime);
        EXPECT_EQ(panel->bestValue->getCaption().asUTF8(), b.shown);
    }
    panel->setResultText("4500");
    EXPECT_TRUE(panel->bestBox->getVisible());
}

TEST_F(EndPlayMenuTest, ASecondCreateBuildsNothing)
{
    auto count = [this] {
        size_t n = 0;
        for (auto e = bed.gui()->getEnumerator(); e.next();)
            ++n;
        return n;
    };
    const size_t before = count();
    MyGUI::Widget* strip = panel->menuPanel;
    panel->create(true);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(panel->menuPanel, strip);
    // After destroy the widgets stay until the panel goes.
    panel->destroy();
    EXPECT_EQ(count(), before);
    panel.reset();
    EXPECT_EQ(count(), before - 6);
}

}  // namespace
