// What the streak, multiplier and colour bar show on the real HUD (run under Xvfb) and which
// stingers they start.
#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "play/GameRulesManager.h"
#include "play/Priget_GameHUD.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string caption(const MyGUI::TextBox* t) { return t->getCaption().asUTF8(); }

class RulesOnHud : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameSession* s = bed.session();
        s->setProfileName("Tester");
        s->recreateProfile();
        rules = std::make_unique<GameRulesManager>(&data, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr, nullptr, bed.sounds(), nullptr,
                                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr);
        // Built without a GUI, the rules made no HUD: they are given one.
        rules->hud = std::make_unique<Priget_GameHUD>(bed.gui(), s, bed.sounds());
        hud = rules->hud.get();
        hud->arrangeRows(false, true, false, false, false, false, false, false, true);
        hud->createComboWidgets(5, 3);
        hud->fadeIn(1.0f);
        GameRulesManager& r = *rules;
        data.mechaVars.resize(1);
        r.UseColourSystem = r.UseComboSys = 1;
        r.colourBalls.assign(5, 0);
        r.colourStates = {{"red", Ogre::ColourValue(1.0f, 0.2f, 0.15f, 1.0f)},
                          {"green", Ogre::ColourValue(0.2f, 1.0f, 0.3f, 1.0f)}};
        r.ComboRedLineUnits = 3;
        r.ComboMinCombo = 3;
        r.ComboMinPoint = 100.0f;
        r.ComboPointMulti = 2.0f;
        r.ComboMechaScoreIndx = 1;
        r.ComboTimeToCombo = 2.0f;
        r.multiplierSteps = {{5, 2.0f}, {10, 3.0f}};
    }
    void TearDown() override { rules.reset(); }

    void killFrame(bool hit = false)
    {
        data.killReported = 1;
        data.playerHit = hit ? 1 : 0;
        rules->updateKillStreak();
        data.killReported = data.playerHit = 0;
    }
    bool playing(audio::Sound* s) const { return s && s->isPlaying(); }
    void stopAll()
    {
        for (audio::Sound* s : {bed.sounds()->killStinger(), bed.sounds()->comboStinger(),
                                bed.sounds()->acceptClick(), bed.sounds()->backClick()})
            if (s)
                s->stop();
    }

    testsupport::PanelTestBed bed;
    GamePlayData data;
    std::unique_ptr<GameRulesManager> rules;
    Priget_GameHUD* hud = nullptr;
};

TEST_F(RulesOnHud, StreakShowsItsBonusAndAHitTakesItBack)
{
    ASSERT_NE(bed.sounds()->comboStinger(), nullptr);
    for (int i = 0; i < 4; ++i)
        killFrame();
    EXPECT_FALSE(playing(bed.sounds()->comboStinger()));
    killFrame();
    EXPECT_TRUE(playing(bed.sounds()->comboStinger())) << "the fifth kill";
    EXPECT_EQ(caption(hud->bonusOverlayText), "X2 Bonus");
    EXPECT_EQ(caption(hud->multiplyRow.value), "2");
    EXPECT_FLOAT_EQ(hud->shownMultiplier, 2.0f);
    stopAll();
    killFrame();
    EXPECT_FALSE(playing(bed.sounds()->comboStinger())) << "kills 6 to 9 change nothing";

    hud->setKillStreak(6.0f);
    killFrame(true);  // a kill and a hit in one frame
    EXPECT_EQ(rules->killStreak, 0u);
    EXPECT_FLOAT_EQ(data.killMultiplier, 1.0f);
    EXPECT_FLOAT_EQ(hud->shownMultiplier, 1.0f);
    EXPECT_EQ(hud->shownKillStreak, 0u);
    EXPECT_EQ(caption(hud->combosRow.value), "0");
}

TEST_F(RulesOnHud, TheBarLightsScoresGreysAndChains)
{
    ASSERT_NE(bed.sounds()->killStinger(), nullptr);
    EXPECT_TRUE(rules->addKillColour(1));
    EXPECT_TRUE(playing(bed.sounds()->killStinger()));
    EXPECT_EQ(hud->chainActive, 1);
    EXPECT_EQ(hud->chainTimeFill->getAlpha(), 1.0f);
    EXPECT_EQ(hud->chainTimeBack->getAlpha(), 0.25f);
    EXPECT_EQ(hud->comboBalls[0].effect->getAlpha(), 1.0f);
    rules->updateComboTimers(0.5f);
    EXPECT_EQ(hud->chainTimeFill->getWidth(), static_cast<int>(0.75f * hud->chainTimeBack->getWidth()));

    rules->addKillColour(1);
    rules->addKillColour(1);
    rules->addKillColour(2);  // three reds score, green takes the first ball
    EXPECT_EQ(caption(hud->comboResultValue), "800");
    EXPECT_FLOAT_EQ(hud->comboResultTimer, 2.0f);
    EXPECT_FLOAT_EQ(data.mechaVars[0].value, 800.0f);
    EXPECT_EQ(hud->chainActive, 1) << "green is lit";

    rules->addKillColour(1);  // one green greys; red follows it
    hud->update(0.6f);        // the glows fade
    const testsupport::Screenshot shot = bed.screenshot();
    testsupport::keepShot(shot, "colour_bar");
    const auto ballColourCount = [&](uint32_t i, const testsupport::Rgb& c) {
        const MyGUI::Widget* b = hud->comboBalls[i].ball;
        return shot.countNear(c, b->getAbsoluteLeft(), b->getAbsoluteTop(), b->getWidth(), b->getHeight(), 60);
    };
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>{GameRulesManager::kGreyBall, 1, 0, 0, 0}));
    EXPECT_GT(ballColourCount(1, {210, 40, 30}), 100) << "ball 1 red";
    EXPECT_LT(ballColourCount(0, {210, 40, 30}), 20) << "ball 0 grey";
    // The chain-time gauge takes the red of the lit ball.
    const MyGUI::Widget* gauge = hud->chainTimeFill;
    EXPECT_GT(shot.countNear({255, 51, 38}, gauge->getAbsoluteLeft(), gauge->getAbsoluteTop(), gauge->getWidth(),
                             gauge->getHeight(), 40),
              gauge->getWidth());

    // A full bar grows left, then chains.
    rules->colourBalls = {GameRulesManager::kGreyBall, 1, 1, 1, 1};
    rules->addKillColour(1);
    EXPECT_NE(caption(hud->bonusOverlayText), "COMBO CHAIN");
    stopAll();
    rules->addKillColour(1);
    EXPECT_EQ(caption(hud->bonusOverlayText), "COMBO CHAIN");
    EXPECT_TRUE(playing(bed.sounds()->comboStinger()));
    EXPECT_FALSE(playing(bed.sounds()->killStinger()));
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>{1, 0, 0, 0, 0}));
}

TEST_F(RulesOnHud, ComboResultsPastTheHudsRangeShowItsTop)
{
    struct Case {
        const char* name;
        uint32_t balls;
        float multi;
    };
    for (const Case& c : {Case{"100 x 2^26", 30, 2.0f}, Case{"infinite", 5, 1.0e30f}}) {
        hud->createComboWidgets(c.balls, 3);
        rules->colourBalls.assign(c.balls, 1);
        rules->ComboPointMulti = c.multi;
        data.mechaVars[0].value = 0.0f;
        rules->endComboChain();
        EXPECT_EQ(caption(hud->comboResultValue), "4294967295") << c.name;
        EXPECT_GT(data.mechaVars[0].value, 4294967295.0f) << c.name;
    }
}

}  // namespace
