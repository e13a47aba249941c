// The in-play HUD on real widgets (run under Xvfb), driven directly as the rules engine and the
// play state drive it.
#include "play/Priget_GameHUD.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace {

std::string caption(const MyGUI::TextBox* t) { return t->getCaption().asUTF8(); }

void expectColour(const MyGUI::Colour& actual, float r, float g, float b, const char* what)
{
    EXPECT_NEAR(actual.red, r, 1e-4f) << what;
    EXPECT_NEAR(actual.green, g, 1e-4f) << what;
    EXPECT_NEAR(actual.blue, b, 1e-4f) << what;
}

void collect(MyGUI::Widget* w, std::set<MyGUI::Widget*>& out)
{
    out.insert(w);
    for (size_t i = 0; i < w->getChildCount(); ++i)
        collect(w->getChildAt(i), out);
}

std::set<MyGUI::Widget*> allWidgets(MyGUI::Gui* gui)
{
    std::set<MyGUI::Widget*> out;
    for (auto e = gui->getEnumerator(); e.next();)
        collect(e.current(), out);
    return out;
}

class GameHudTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameSession* s = bed.session();
        s->setProfileName("Tester");
        s->recreateProfile();
        ASSERT_EQ(s->profile->getLanguageCount(), 2u);
        bed.settings()->Language = 0;
        makeHud();
    }

    void makeHud()
    {
        hud.reset();
        hud = std::make_unique<Priget_GameHUD>(bed.gui(), bed.session(), bed.sounds());
    }

    // As the rules engine fills a fresh HUD before the first refresh.
    void showAllRows()
    {
        hud->arrangeRows(true, true, true, true, true, true, true, true, true);
        hud->fadeIn(1.0f);
    }

    testsupport::PanelTestBed bed;
    std::unique_ptr<Priget_GameHUD> hud;
};

TEST_F(GameHudTest, SettersShowTheirCaptionsAndStartTheirTimers)
{
    struct Case {
        const char* name;
        std::function<void(Priget_GameHUD&)> act;
        std::function<void(Priget_GameHUD&)> check;
    };
    auto chrono = [](float s, const char* text, uint32_t m, uint32_t sec, uint32_t ms) {
        return Case{text, [s](Priget_GameHUD& h) { h.setChrono(s); },
                    [=](Priget_GameHUD& h) {
                        EXPECT_EQ(caption(h.timeRow.value), text);
                        EXPECT_EQ(caption(h.timeRow.valueShadow), text);
                        EXPECT_EQ(h.chronoMinutes, m);
                        EXPECT_EQ(h.chronoSeconds, sec);
                        EXPECT_EQ(h.chronoMillis, ms);
                    }};
    };
    const Case cases[] = {
        chrono(0.0f, "00'00.000", 0, 0, 0),
        chrono(59.999f, "00'59.999", 0, 59, 999),
        chrono(61.005f, "01'01.005", 1, 1, 5),
        chrono(6000.0f, "100'00.000", 100, 0, 0),
        chrono(-1.0f, "00'00.000", 0, 0, 0),
        {"score below 0", [](Priget_GameHUD& h) { h.setScore(-3.0f, true); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.scoreRow.value), "0");
             EXPECT_EQ(h.scorePulse, 0.0f);
         }},
        {"score truncated", [](Priget_GameHUD& h) { h.setScore(12.9f, true); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.scoreRow.value), "12");
             EXPECT_EQ(caption(h.scoreRow.valueShadow), "12");
             EXPECT_EQ(h.scorePulse, 1.0f);
         }},
        {"streak with the Kills row hidden",
         [](Priget_GameHUD& h) {
             h.killsRow.panel->setVisible(false);
             h.setKillStreak(3.0f);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.combosRow.value), "0");
             EXPECT_EQ(h.shownKillStreak, 0u);
             EXPECT_EQ(h.combosPulse, 0.0f);
             EXPECT_EQ(h.combosRow.value->getAlpha(), 0.0f);
         }},
        {"streak 1", [](Priget_GameHUD& h) { h.setKillStreak(1.0f); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.combosRow.value), "1");
             EXPECT_EQ(h.shownKillStreak, 1u);
             EXPECT_EQ(h.combosPulse, 0.0f);
             EXPECT_EQ(h.combosRow.value->getAlpha(), 0.0f) << "the Combos row stays down";
         }},
        {"streak 3", [](Priget_GameHUD& h) { h.setKillStreak(3.7f); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.combosRow.value), "3");
             EXPECT_EQ(h.combosPulse, 1.0f);
             EXPECT_EQ(h.combosRow.value->getAlpha(), 1.0f);
             EXPECT_EQ(h.combosRow.label->getAlpha(), 1.0f);
             EXPECT_EQ(h.combosRow.background->getAlpha(), 0.5f);
             EXPECT_EQ(h.combosRow.valueShadow->getAlpha(), 0.5f);
         }},
        {"multiplier 1.5", [](Priget_GameHUD& h) { h.showMultiplierBonus(1.5f); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.multiplyRow.value), "1.5");
             EXPECT_EQ(caption(h.bonusOverlayText), "X1.5 Bonus");
             EXPECT_EQ(h.shownMultiplier, 1.5f);
             EXPECT_EQ(h.multiplyPulse, 1.0f);
             EXPECT_EQ(h.bonusTimer, 3.0f);
             EXPECT_EQ(h.multiplyRow.label->getAlpha(), 1.0f);
             EXPECT_EQ(h.multiplyRow.labelShadow->getAlpha(), 0.5f);
         }},
        {"multiplier below 0", [](Priget_GameHUD& h) { h.showMultiplierBonus(-1.0f); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.shownMultiplier, 1.0f);
             EXPECT_EQ(caption(h.multiplyRow.value), "0");
             EXPECT_EQ(h.bonusTimer, 0.0f);
         }},
        {"time 10", [](Priget_GameHUD& h) { h.lowValueBlink = 0, h.setTime(10.0f, true); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.lowValueBlink, 1);
             EXPECT_EQ(caption(h.centreCounter), "10");
             EXPECT_EQ(caption(h.centreCounterShadow), "10");
             EXPECT_EQ(h.centreCounterPulse, 1.0f);
         }},
        {"time 10.5 after the fade-in",
         [](Priget_GameHUD& h) {
             h.fadeIn(1.0f);
             h.centreCounter->setAlpha(0.2f);  // mid-blink
             h.setTime(10.5f, false);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.lowValueBlink, 0);
             EXPECT_EQ(h.centreCounter->getAlpha(), 1.0f);
             EXPECT_EQ(h.centreCounterPulse, 0.0f);
         }},
        {"time 10.5 before the fade-in",
         [](Priget_GameHUD& h) { h.setTime(10.5f, false); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.lowValueBlink, 0);
             EXPECT_EQ(h.centreCounter->getAlpha(), 0.0f) << "still hidden until the HUD fades in";
         }},
        {"HP above the maximum",
         [](Priget_GameHUD& h) {
             h.setMaxHP(100.0f);
             h.setHPBar(140.0f, true);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.hpBarClip->getCoord(), MyGUI::IntCoord(7, 3, 126, 6));
             EXPECT_EQ(h.hpBarFill->getPosition(), MyGUI::IntPoint(0, 3));
             EXPECT_EQ(caption(h.hpValue), "140");
             EXPECT_EQ(h.hpPulse, 1.0f);
         }},
        {"HP half",
         [](Priget_GameHUD& h) {
             h.setMaxHP(100.0f);
             h.setHPBar(50.0f, false);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.hpBarClip->getCoord(), MyGUI::IntCoord(70, 3, 63, 6)) << "anchored at the right";
             EXPECT_EQ(h.hpBarFill->getPosition(), MyGUI::IntPoint(-63, 3));
             EXPECT_EQ(h.hpPulse, 0.0f);
         }},
        {"HP 0",
         [](Priget_GameHUD& h) {
             h.setMaxHP(100.0f);
             h.setHPBar(0.0f, false);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.hpBarClip->getWidth(), 0);
             EXPECT_EQ(caption(h.hpValue), "0");
         }},
        {"HP 0 of a maximum of 0",
         [](Priget_GameHUD& h) {
             h.setMaxHP(0.0f);
             h.setHPBar(0.0f, false);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.hpBarClip->getWidth(), 0);
             EXPECT_EQ(h.hpBarClip->getLeft(), 133);
             EXPECT_EQ(h.hpBarFill->getLeft(), -126);
         }},
        {"wave bar half", [](Priget_GameHUD& h) { h.setWaveBar(5.0f, 10.0f, 0.0f, true); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.waveBarClip->getCoord(), MyGUI::IntCoord(7, 12, 179, 6));
             EXPECT_EQ(h.waveBarPulse, 1.0f);
         }},
        {"wave bar with full equal to empty", [](Priget_GameHUD& h) { h.setWaveBar(4.0f, 4.0f, 4.0f, false); },
         [](Priget_GameHUD& h) { EXPECT_EQ(h.waveBarClip->getWidth(), 0); }},
        {"ammo 0", [](Priget_GameHUD& h) { h.setAmmo(0, false, false); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.ammoValue), "0");
             EXPECT_FALSE(h.weaponIconFull->getVisible());
             EXPECT_FALSE(h.weaponIconFill->getVisible());
             EXPECT_EQ(h.ammoPulse, 0.0f);
         }},
        {"infinite ammo",
         [](Priget_GameHUD& h) {
             h.setAmmo(0, false, false);
             h.setAmmo(5, true, false);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.ammoValue), "---");
             EXPECT_EQ(caption(h.ammoValueShadow), "---");
             EXPECT_FALSE(h.weaponIconFull->getVisible()) << "the icons are left as they were";
         }},
        {"ammo 7 changed",
         [](Priget_GameHUD& h) {
             h.setAmmo(0, false, false);
             h.setAmmo(7, false, true);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.ammoValue), "7");
             EXPECT_TRUE(h.weaponIconFull->getVisible());
             EXPECT_TRUE(h.weaponIconFill->getVisible());
             EXPECT_EQ(h.ammoPulse, 1.0f);
         }},
        {"recharge half", [](Priget_GameHUD& h) { h.setRechargeBar(0.5f); },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(h.rechargeClip->getCoord(), MyGUI::IntCoord(1, 30, 58, 29));
             EXPECT_EQ(h.weaponIconFill->getPosition(), MyGUI::IntPoint(0, -29));
         }},
        {"lives, wave, kills and combo result",
         [](Priget_GameHUD& h) {
             h.setLives(3, false);
             h.setWave(2, true);
             h.setKillsText(41);
             h.setComboResult(800);
         },
         [](Priget_GameHUD& h) {
             EXPECT_EQ(caption(h.livesRow.value), "3");
             EXPECT_EQ(h.livesPulse, 0.0f);
             EXPECT_EQ(caption(h.waveRow.valueShadow), "2");
             EXPECT_EQ(h.wavePulse, 1.0f);
             EXPECT_EQ(h.waveClearTimer, 3.0f);
             EXPECT_EQ(caption(h.killsRow.value), "41");
             EXPECT_EQ(h.killsPulse, 1.0f);
             EXPECT_EQ(caption(h.comboResultValue), "800");
             EXPECT_EQ(h.comboResultTimer, 2.0f);
             EXPECT_EQ(h.comboResultPanel->getAlpha(), 0.5f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeHud();
        c.act(*hud);
        c.check(*hud);
    }
}

TEST_F(GameHudTest, MaxHPPlacesBothValuesByTheLabelsWidth)
{
    hud->setMaxHP(5.0f);
    EXPECT_EQ(caption(hud->hpLabel), "/5 :HP");
    EXPECT_EQ(caption(hud->hpLabelShadow), "/5 :HP");
    const int narrowShadow = hud->hpValueShadow->getLeft();
    const int width5 = hud->hpLabelShadow->getTextSize().width;
    hud->setMaxHP(25000.0f);
    EXPECT_EQ(caption(hud->hpLabel), "/25000 :HP");
    const int width25000 = hud->hpLabelShadow->getTextSize().width;
    ASSERT_GT(width25000, width5);
    // The right-aligned value ends three pixels left of the label's text, its shadow one right.
    EXPECT_EQ(hud->hpValueShadow->getLeft(), narrowShadow - (width25000 - width5));
    EXPECT_EQ(hud->hpValue->getLeft(), -3 - width25000);
    EXPECT_EQ(hud->hpValueShadow->getLeft(), hud->hpValue->getLeft() + 1);
    EXPECT_EQ(hud->hpValue->getTop(), 8);
    EXPECT_EQ(hud->hpValueShadow->getTop(), 9);
    EXPECT_EQ(hud->maxHP, 25000.0f);
}

TEST_F(GameHudTest, PulsesRestartAndAreCutToOne)
{
    showAllRows();
    hud->setScore(5.0f, true);
    hud->update(0.25f);
    EXPECT_FLOAT_EQ(hud->scorePulse, 0.5f);
    hud->setScore(6.0f, true);  // restarted mid-run
    hud->update(0.1f);
    EXPECT_FLOAT_EQ(hud->scorePulse, 0.8f);
    // c(0.8) = 0.8 / 0.95: x = (c + 1) x 20, truncated.
    EXPECT_EQ(hud->scoreRow.panel->getLeft(), 36);
    hud->killsPulse = 5.0f;
    hud->update(0.1f);
    EXPECT_FLOAT_EQ(hud->killsPulse, 1.0f - 0.18f) << "cut to 1.0 first";
    // The right column and the corners pulse the other way.
    // At 0.963 the curve is on its way back: c = 0.74.
    hud->livesPulse = 0.963f;
    hud->hpPulse = 0.963f;
    hud->centreCounterPulse = 0.963f;
    hud->update(0.0f);
    EXPECT_EQ(hud->livesRow.panel->getLeft(), 852);
    EXPECT_EQ(hud->hpPanel->getLeft(), 856);
    EXPECT_EQ(hud->centreCounterPanel->getTop(), 37);
    // Run out, every widget is back at its place.
    for (int i = 0; i < 120; ++i)
        hud->update(1.0f / 60.0f);
    EXPECT_EQ(hud->scoreRow.panel->getLeft(), 20);
    EXPECT_EQ(hud->livesRow.panel->getLeft(), 867);
    EXPECT_EQ(hud->hpPanel->getLeft(), 864);
    EXPECT_EQ(hud->centreCounterPanel->getTop(), 45);
    EXPECT_EQ(hud->waveBarClip->getTop(), 12);
    EXPECT_EQ(hud->ammoPanel->getLeft(), 0);
}

TEST_F(GameHudTest, OverlaysComboBoxShakeAndMultiplyRowRunDown)
{
    showAllRows();
    const struct {
        float t, effect, text;
    } overlay[] = {{3.0f, 0.0f, 0.0f}, {2.7f, 0.75f, 0.5f}, {2.6f, 0.5f, 1.0f}, {1.3f, 0.25f, 0.5f}, {0.0f, 0.0f, 0.0f}};
    for (const auto& o : overlay) {
        SCOPED_TRACE(o.t);
        hud->bonusTimer = o.t;
        hud->waveClearTimer = o.t;
        hud->update(0.0f);
        EXPECT_NEAR(hud->bonusOverlayEffect->getAlpha(), o.effect, 1e-4f);
        EXPECT_NEAR(hud->bonusOverlayText->getAlpha(), o.text, 1e-4f);
        EXPECT_NEAR(hud->waveClearOverlayEffect->getAlpha(), o.effect, 1e-4f);
        EXPECT_NEAR(hud->waveClearOverlayText->getAlpha(), o.text, 1e-4f);
    }
    hud->bonusTimer = 7.0f;
    hud->update(0.5f);
    EXPECT_FLOAT_EQ(hud->bonusTimer, 2.5f) << "cut to 3.0 first";

    hud->setComboResult(800);
    hud->update(0.5f);
    EXPECT_FLOAT_EQ(hud->comboResultPanel->getAlpha(), 0.5f) << "held for the first second";
    EXPECT_FLOAT_EQ(hud->comboResultValue->getAlpha(), 1.0f);
    hud->update(1.0f);
    EXPECT_FLOAT_EQ(hud->comboResultPanel->getAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(hud->comboResultLabel->getAlpha(), 0.5f);
    EXPECT_FLOAT_EQ(hud->comboResultValue->getAlpha(), 0.5f);

    hud->shakeTimer = 1.0f;
    bool moved = false;
    for (int i = 0; i < 30; ++i) {
        hud->update(1.0f / 60.0f);
        moved = moved || hud->hudRoot->getPosition() != MyGUI::IntPoint(0, 0);
        EXPECT_LE(std::abs(hud->hudRoot->getLeft()), 5);
        EXPECT_LE(std::abs(hud->hudRoot->getTop()), 5);
    }
    EXPECT_TRUE(moved);
    for (int i = 0; i < 40; ++i)
        hud->update(1.0f / 60.0f);
    EXPECT_EQ(hud->shakeTimer, 0.0f);
    EXPECT_EQ(hud->hudRoot->getPosition(), MyGUI::IntPoint(0, 0));

    hud->showMultiplierBonus(2.0f);
    for (int i = 0; i < 4; ++i)
        hud->update(0.5f);
    EXPECT_EQ(hud->multiplyRow.value->getAlpha(), 1.0f) << "stays up while the multiplier is above 1";
    hud->showMultiplierBonus(-1.0f);  // back to 1.0
    hud->update(0.5f);
    EXPECT_FLOAT_EQ(hud->multiplyRow.value->getAlpha(), 0.5f);
    EXPECT_FLOAT_EQ(hud->multiplyRow.background->getAlpha(), 0.25f);
    hud->update(0.5f);
    EXPECT_EQ(hud->multiplyRow.label->getAlpha(), 0.0f);
    EXPECT_EQ(hud->multiplyRow.panel->getAlpha(), 0.0f);
}

TEST_F(GameHudTest, FlashHoldsBlueThenPassesWhiteToOrange)
{
    showAllRows();
    // Background colours are read back as pixels: the right end of the World row's dark box.
    auto backgroundBlue = [this] { return bed.screenshot().at(145, 37).b; };
    const int black = backgroundBlue();
    hud->flashHit();
    const int tinted = backgroundBlue();
    EXPECT_GT(tinted, black + 10) << "the held tint is blue";
    expectColour(hud->scoreRow.value->getTextColour(), 0.0f, 0.5f, 1.0f, "score held");
    hud->update(1.0f);
    EXPECT_EQ(hud->flashTimer, 2.0f) << "held";
    expectColour(hud->ammoValue->getTextColour(), 0.0f, 0.5f, 1.0f, "ammo held");
    // The rules engine releases it.
    hud->flashTimer = 2.0f;
    hud->flashHold = 0;
    hud->update(1.0f);
    expectColour(hud->timeRow.value->getTextColour(), 1.0f, 1.0f, 1.0f, "white at t 1");
    expectColour(hud->centreCounter->getTextColour(), 1.0f, 0.75f, 0.5f, "counter at t 1");
    const int halfway = backgroundBlue();
    EXPECT_LT(halfway, tinted);
    EXPECT_GT(halfway, black);
    hud->update(1.5f);
    EXPECT_EQ(hud->flashTimer, 0.0f);
    for (const MyGUI::TextBox* t : {hud->bestRow.value, hud->waveRow.value, hud->hpValue, hud->centreCounter})
        expectColour(t->getTextColour(), 1.0f, 0.5f, 0.0f, "orange at the end");
    EXPECT_NEAR(backgroundBlue(), black, 2) << "black again at the end";
    expectColour(hud->worldRow.value->getTextColour(), 0.0f, 0.5f, 1.0f, "the flash leaves the World value");
}

TEST_F(GameHudTest, FadeInShowsTheStatsAndShowResultTakesThemAway)
{
    hud->setComboResult(100);
    EXPECT_EQ(hud->scoreRow.value->getAlpha(), 0.0f) << "hidden at the end of the build";
    EXPECT_EQ(hud->goldRow.value->getAlpha(), 1.0f) << "the medal rows are not hidden";
    hud->fadeIn(0.25f);
    EXPECT_FLOAT_EQ(hud->scoreRow.value->getAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(hud->scoreRow.valueShadow->getAlpha(), 0.125f);
    EXPECT_FLOAT_EQ(hud->hpBarBackground->getAlpha(), 0.125f);
    hud->fadeIn(1.0f);
    EXPECT_EQ(hud->fadeInTimer, 0.0f);
    for (const MyGUI::Widget* w :
         {static_cast<MyGUI::Widget*>(hud->worldRow.label), static_cast<MyGUI::Widget*>(hud->waveRow.value),
          hud->waveBarFill, hud->waveBarPanel, static_cast<MyGUI::Widget*>(hud->ammoValue), hud->hpBarFill,
          static_cast<MyGUI::Widget*>(hud->weaponIconFill), hud->chainBarMarker})
        EXPECT_EQ(w->getAlpha(), 1.0f);
    for (const MyGUI::Widget* w : {static_cast<MyGUI::Widget*>(hud->livesRow.background),
                                   static_cast<MyGUI::Widget*>(hud->hpValueShadow), hud->chainBar})
        EXPECT_EQ(w->getAlpha(), 0.5f);
    EXPECT_EQ(hud->waveBarClip->getAlpha(), 0.0f) << "clips are not faded in";
    EXPECT_EQ(hud->scoreRow.panel->getAlpha(), 0.0f);
    hud->fadeIn(1.0f);  // nothing once done
    EXPECT_EQ(hud->timeRow.value->getAlpha(), 1.0f);

    hud->showMultiplierBonus(3.0f);
    hud->showResult(0.25f);
    EXPECT_FLOAT_EQ(hud->timeRow.value->getAlpha(), 0.75f);
    EXPECT_FLOAT_EQ(hud->timeRow.background->getAlpha(), 0.375f);
    EXPECT_EQ(hud->waveBarPanel->getAlpha(), 0.0f);
    EXPECT_EQ(hud->multiplyRow.value->getAlpha(), 0.0f);
    EXPECT_FLOAT_EQ(hud->comboResultLabel->getAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(hud->comboResultValue->getAlpha(), 0.25f) << "follows the label";
    hud->showResult(1.0f);
    EXPECT_EQ(hud->resultFadeTimer, 0.0f);
    EXPECT_EQ(hud->livesRow.label->getAlpha(), 0.0f);
    EXPECT_EQ(hud->comboResultPanel->getAlpha(), 0.0f);

    hud->bonusOverlayText->setAlpha(0.5f);
    hud->combosRow.value->setAlpha(1.0f);
    hud->fadeOut(0.3f);
    EXPECT_FLOAT_EQ(hud->bonusOverlayText->getAlpha(), 0.2f);
    EXPECT_FLOAT_EQ(hud->combosRow.value->getAlpha(), 0.7f);
    hud->fadeOut(0.3f);
    EXPECT_EQ(hud->bonusOverlayText->getAlpha(), 0.0f);
}

TEST_F(GameHudTest, ComboBallsMarkerAndChainGauge)
{
    EXPECT_FALSE(hud->chainBar->getVisible());
    hud->setComboBallState(0, "red");  // no balls yet: nothing happens
    hud->update(0.1f);

    hud->createComboWidgets(5, 3);
    EXPECT_TRUE(hud->chainBar->getVisible());
    EXPECT_TRUE(hud->chainTimeFill->getVisible());
    EXPECT_TRUE(hud->chainTimeBack->getVisible());
    EXPECT_EQ(hud->chainBar->getSize(), MyGUI::IntSize(184, 40));
    ASSERT_EQ(hud->comboBallCount, 5u);
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(hud->comboBalls[i].ball->getCoord(), MyGUI::IntCoord(4 + 36 * i, 4, 32, 32)) << i;
        EXPECT_EQ(hud->comboBalls[i].effect->getCoord(), hud->comboBalls[i].ball->getCoord()) << i;
        EXPECT_EQ(hud->comboBalls[i].ball->getAlpha(), 0.0f);
        EXPECT_FALSE(hud->comboBalls[i].effect->getInheritsAlpha());
    }
    EXPECT_TRUE(hud->chainBarMarker->getVisible());
    EXPECT_EQ(hud->chainBarMarker->getPosition(), MyGUI::IntPoint(109, 0));
    EXPECT_EQ(hud->chainTimeFill->getWidth(), 364) << "starts full";
    hud->setChainTimeFraction(0.5f);
    EXPECT_EQ(hud->chainTimeFill->getWidth(), 182);
    hud->setChainTimeFraction(0.0f);
    EXPECT_EQ(hud->chainTimeFill->getWidth(), 0);

    hud->fadeIn(1.0f);
    EXPECT_EQ(hud->comboBalls[4].ball->getAlpha(), 1.0f);
    EXPECT_EQ(hud->comboBalls[4].effect->getAlpha(), 0.0f) << "the glows are not faded in";
    hud->setComboBallState(2, "green");
    EXPECT_EQ(hud->comboBalls[2].effect->getAlpha(), 1.0f);
    hud->setComboBallState(5, "green");  // past the last ball
    hud->update(0.25f);
    EXPECT_FLOAT_EQ(hud->comboBalls[2].effect->getAlpha(), 0.5f);

    // The gauge fades while no chain is lit, and holds while one is.
    hud->chainTimeFill->setAlpha(1.0f);
    hud->chainActive = 1;
    hud->update(0.1f);
    EXPECT_EQ(hud->chainTimeFill->getAlpha(), 1.0f);
    hud->chainActive = 0;
    hud->update(0.1f);
    EXPECT_FLOAT_EQ(hud->chainTimeFill->getAlpha(), 0.7f);

    for (uint32_t marker : {0u, 5u, 9u}) {
        makeHud();
        hud->createComboWidgets(5, marker);
        EXPECT_FALSE(hud->chainBarMarker->getVisible()) << marker;
    }
}

TEST_F(GameHudTest, ArrangeRowsShowsAndStacksTheRows)
{
    struct Case {
        const char* name;
        bool world, score, waveBar, lives, time, chrono, best, hp, kill;
        int worldY, bestY, scoreY, timeY, killsY, combosY, multiplyY;  // -1: not looked at
    } cases[] = {
        {"World and Best", true, false, false, false, false, false, true, true, true, 15, 50, -1, -1, 85, 120, 155},
        {"none of the four", false, false, false, false, false, false, false, true, false, -1, -1, -1, -1, 15, 50, 85},
        {"all", true, true, true, true, true, true, true, true, true, 15, 50, 85, 120, 155, 190, 225},
        {"Score and Time", false, true, false, true, true, true, false, false, true, -1, -1, 15, 50, 85, 120, 155},
        {"wave bar without lives", false, true, true, false, false, false, false, true, true, -1, -1, 15, -1, 50, 85,
         120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeHud();
        hud->arrangeRows(c.world, c.score, c.waveBar, c.lives, c.time, c.chrono, c.best, c.hp, c.kill);
        EXPECT_EQ(hud->worldRow.panel->getVisible(), c.world);
        EXPECT_EQ(hud->bestRow.panel->getVisible(), c.best);
        EXPECT_EQ(hud->scoreRow.panel->getVisible(), c.score);
        EXPECT_EQ(hud->waveRow.panel->getVisible(), c.lives && c.waveBar);
        EXPECT_EQ(hud->waveBarPanel->getVisible(), c.lives && c.waveBar);
        EXPECT_EQ(hud->livesRow.panel->getVisible(), c.lives);
        EXPECT_EQ(hud->centreCounterPanel->getVisible(), c.time);
        EXPECT_EQ(hud->timeRow.panel->getVisible(), c.chrono);
        EXPECT_EQ(hud->hpPanel->getVisible(), c.hp);
        EXPECT_EQ(hud->killsRow.panel->getVisible(), c.kill);
        const std::pair<const HudStatRow*, int> places[] = {
            {&hud->worldRow, c.worldY}, {&hud->bestRow, c.bestY},     {&hud->scoreRow, c.scoreY},
            {&hud->timeRow, c.timeY},   {&hud->killsRow, c.killsY},   {&hud->combosRow, c.combosY},
            {&hud->multiplyRow, c.multiplyY}};
        for (const auto& [row, y] : places) {
            if (y >= 0) {
                EXPECT_EQ(row->panel->getPosition(), MyGUI::IntPoint(20, y)) << caption(row->label);
            }
        }
        EXPECT_EQ(hud->weaponPanel->getPosition(), c.hp ? MyGUI::IntPoint(904, 643) : MyGUI::IntPoint(904, 663));
    }
}

TEST_F(GameHudTest, AChallengeShowsItsBestOnlyOnceFinished)
{
    GameSession* s = bed.session();
    s->loadCampaign("TcData");
    ASSERT_TRUE(s->campaign->catalogueLoaded());
    s->challengeMode = 1;
    s->selectedTier = 0;
    s->selectedChallenge = 0;
    ChallengeDef* challenge = s->campaign->getChallenge(0, 0);
    ASSERT_NE(challenge, nullptr);
    challenge->requiredPoints = 0;
    challenge->requiredStep = 0;
    ASSERT_NE(s->campaign->getChallengeStatus(0, 0), ChallengeStatus::PointsLocked);
    challenge->best = 95.25f;
    challenge->resultIsTime = true;

    challenge->timesFinished = 0;
    hud->arrangeRows(false, true, false, false, false, false, false, true, true);
    EXPECT_FALSE(hud->bestRow.panel->getVisible()) << "never finished";
    EXPECT_EQ(hud->scoreRow.panel->getTop(), 15);

    challenge->timesFinished = 2;
    makeHud();
    hud->arrangeRows(false, true, false, false, false, false, false, true, true);
    EXPECT_TRUE(hud->bestRow.panel->getVisible());
    EXPECT_EQ(caption(hud->bestRow.value), "01'35.250");
    EXPECT_EQ(hud->bestRow.panel->getTop(), 15);
    EXPECT_EQ(hud->scoreRow.panel->getTop(), 50) << "the best counts as shown";
    EXPECT_EQ(hud->killsRow.panel->getTop(), 85);

    // A locked challenge shows none.
    s->campaign->getChallenge(0, 0)->requiredPoints = 1000000;
    ASSERT_EQ(s->campaign->getChallengeStatus(0, 0), ChallengeStatus::PointsLocked);
    makeHud();
    hud->arrangeRows(false, true, false, false, false, false, false, true, true);
    EXPECT_FALSE(hud->bestRow.panel->getVisible());
}

TEST_F(GameHudTest, BestValuesMedalTargetsAndLabelTexts)
{
    const struct {
        float value;
        bool asTime;
        const char* text;
    } values[] = {{95.25f, true, "01'35.250"}, {2500.0f, false, "2500"}, {12.5f, false, "12.5"}, {-4.0f, true, "00'00.000"}};
    for (const auto& v : values) {
        hud->setBestValue(v.value, v.asTime);
        hud->setWorldValue(v.value, v.asTime);
        EXPECT_EQ(caption(hud->bestRow.value), v.text);
        EXPECT_EQ(caption(hud->bestRow.valueShadow), v.text);
        EXPECT_EQ(caption(hud->worldRow.value), v.text);
    }
    hud->setMedalTargets(true, "3000", "02'00.000", "1000");
    EXPECT_TRUE(hud->goldRow.panel->getVisible());
    EXPECT_EQ(caption(hud->silverRow.value), "02'00.000");
    EXPECT_EQ(caption(hud->bronzeRow.valueShadow), "1000");
    hud->setMedalTargets(false, "", "", "");
    EXPECT_FALSE(hud->silverRow.panel->getVisible());
    EXPECT_EQ(caption(hud->goldRow.value), "");

    struct Case {
        uint32_t language, repaired;
        const char *score, *ammo, *comboResult, *wave, *waveClear, *gold;
    } cases[] = {
        {0, 0, "Score", ":Ammo", "Combo Result:", "Wave", "WAVE CLEAR", "Gold"},
        {1, 1, "Puntos", ":Munici\xC3\xB3n", "Resultado combo:", "Oleada", "OLEADA SUPERADA", "Oro"},
        {7, 0, "Score", ":Ammo", "Combo Result:", "Wave", "WAVE CLEAR", "Gold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        bed.settings()->Language = c.language;
        makeHud();
        EXPECT_EQ(bed.settings()->Language, c.repaired);
        EXPECT_EQ(caption(hud->scoreRow.label), c.score);
        EXPECT_EQ(caption(hud->scoreRow.labelShadow), c.score);
        EXPECT_EQ(caption(hud->ammoLabel), c.ammo);
        EXPECT_EQ(caption(hud->ammoLabelShadow), c.ammo);
        EXPECT_EQ(caption(hud->comboResultLabel), c.comboResult);
        for (const MyGUI::TextBox* t : {hud->waveBarLabel, hud->waveBarLabelShadow, hud->waveRow.label,
                                        hud->waveRow.labelShadow})
            EXPECT_EQ(caption(t), c.wave);
        EXPECT_EQ(caption(hud->waveClearOverlayText), c.waveClear);
        EXPECT_EQ(caption(hud->goldRow.label), c.gold);
        EXPECT_EQ(caption(hud->worldRow.label), "World") << "kept from the layout";
        EXPECT_EQ(caption(hud->hpLabel), "/xxx :HP");
    }

    // Without profile texts the layout's captions stay and the setting is left alone.
    delete bed.session()->profile;
    bed.session()->profile = nullptr;
    bed.settings()->Language = 7;
    makeHud();
    EXPECT_EQ(bed.settings()->Language, 7u);
    EXPECT_EQ(caption(hud->ammoLabel), ":Ammo");
    EXPECT_EQ(caption(hud->comboResultLabel), "Combo Result:");
    EXPECT_EQ(caption(hud->timeRow.label), "Time");
}

TEST_F(GameHudTest, LayoutAt1024x768)
{
    const std::pair<const MyGUI::Widget*, MyGUI::IntPoint> places[] = {
        {hud->livesRow.panel, {867, 15}},    {hud->waveRow.panel, {867, 45}},    {hud->goldRow.panel, {867, 105}},
        {hud->bronzeRow.panel, {867, 165}},  {hud->waveBarPanel, {327, 15}},     {hud->chainBar, {332, 668}},
        {hud->chainTimeBack, {332, 662}},    {hud->chainTimeFill, {332, 662}},   {hud->comboResultPanel, {422, 613}},
        {hud->centreCounterPanel, {457, 45}}, {hud->weaponPanel, {904, 643}},    {hud->hpPanel, {864, 728}},
        {hud->bonusOverlayPanel, {192, 658}}, {hud->waveClearOverlayPanel, {192, 80}},
        {hud->worldRow.panel, {20, 15}},     {hud->bestRow.panel, {20, 15}},     {hud->multiplyRow.panel, {20, 190}},
        {hud->weaponIconBackground, {35, 20}}};
    for (const auto& [w, p] : places)
        EXPECT_EQ(w->getPosition(), p);
    EXPECT_EQ(hud->blackDip->getCoord(), MyGUI::IntCoord(0, 0, 1024, 768));
    EXPECT_EQ(hud->blackDip->getLayer()->getName(), "Backgound2");
    EXPECT_EQ(hud->hudRoot->getLayer()->getName(), "GameHud");
    EXPECT_EQ(hud->bonusOverlayPanel->getLayer()->getName(), "OverHud");
    EXPECT_EQ(hud->blackDip->getAlpha(), 1.0f);
    EXPECT_EQ(hud->hudRoot->getAlpha(), 0.0f);
    EXPECT_EQ(hud->created, 1);

    // Only the black dip and the root let alpha through to their children.
    std::set<MyGUI::Widget*> hudWidgets;
    for (MyGUI::Widget* top : {static_cast<MyGUI::Widget*>(hud->hudRoot), hud->bonusOverlayPanel,
                               hud->waveClearOverlayPanel})
        collect(top, hudWidgets);
    hudWidgets.erase(hud->hudRoot);
    for (const MyGUI::Widget* w : hudWidgets)
        EXPECT_FALSE(w->getInheritsAlpha()) << "at " << w->getAbsoluteCoord().print();
    EXPECT_TRUE(hud->hudRoot->getInheritsAlpha());

    // The ammo value ends three pixels left of the label's text in the label's language.
    const int ammoLeft = hud->ammoValue->getLeft();
    EXPECT_EQ(ammoLeft, -3 - hud->ammoLabel->getTextSize().width);
    EXPECT_LT(ammoLeft, -20);
    bed.settings()->Language = 1;
    makeHud();
    EXPECT_EQ(caption(hud->ammoLabel), ":Munici\xC3\xB3n");
    EXPECT_EQ(hud->ammoValue->getLeft(), -3 - hud->ammoLabel->getTextSize().width);
    EXPECT_LT(hud->ammoValue->getLeft(), ammoLeft);
    EXPECT_EQ(hud->ammoValueShadow->getLeft(), hud->ammoValue->getLeft() + 1);
}

TEST_F(GameHudTest, ASecondBuildMakesNothingAndTheDestructorLeavesNothing)
{
    hud.reset();
    const std::set<MyGUI::Widget*> before = allWidgets(bed.gui());
    makeHud();
    hud->createComboWidgets(6, 2);
    const std::set<MyGUI::Widget*> built = allWidgets(bed.gui());
    EXPECT_GT(built.size(), before.size() + 100);
    hud->buildLayout();
    EXPECT_EQ(allWidgets(bed.gui()).size(), built.size());
    hud.reset();
    EXPECT_EQ(allWidgets(bed.gui()), before);
}

TEST(GameHudOddWidth, HalvingTruncates)
{
    testsupport::PanelTestBed bed(1023, 768);
    Priget_GameHUD hud(bed.gui(), bed.session(), bed.sounds());
    EXPECT_EQ(hud.waveBarPanel->getLeft(), 326);
    EXPECT_EQ(hud.livesRow.panel->getLeft(), 866);
    EXPECT_EQ(hud.chainBar->getLeft(), 331);
}

// A HUD with sample values, as a play shows it, kept as a picture for a person to look at.
TEST_F(GameHudTest, LookWithSampleValues)
{
    hud->setLives(3, false);
    hud->setMaxHP(250.0f);
    hud->setHPBar(180.0f, false);
    hud->setWave(2, false);
    hud->setAmmo(12, false, false);
    hud->setWeaponIcon("WRocketL.png");
    hud->setRechargeBar(0.6f);
    hud->arrangeRows(true, true, true, true, true, true, true, true, true);
    hud->setBestValue(15200.0f, false);
    hud->setWorldValue(48000.0f, false);
    hud->setMedalTargets(true, "20000", "12000", "6000");
    hud->createComboWidgets(6, 3);
    hud->fadeIn(1.0f);
    hud->setScore(12345.6f, false);
    hud->setChrono(75.5f);
    hud->setTime(42.0f, false);
    hud->setWaveBar(6.0f, 10.0f, 0.0f, false);
    hud->setKillsText(17);
    hud->setKillStreak(4.0f);
    hud->showMultiplierBonus(2.0f);
    hud->setComboBallState(0, "red");
    hud->setComboBallState(1, "red");
    hud->setComboBallState(2, "green");
    hud->setComboBallState(3, "grey");
    hud->chainActive = 1;
    hud->chainTimeFill->setAlpha(1.0f);
    hud->chainTimeFill->setColour(MyGUI::Colour(1.0f, 0.2f, 0.15f, 1.0f));
    hud->chainTimeBack->setAlpha(0.25f);
    hud->setChainTimeFraction(0.6f);
    hud->setComboResult(800);
    hud->update(0.3f);  // the bonus text is up, the ball glows half gone
    const testsupport::Screenshot shot = bed.screenshot();
    const std::string folder = testsupport::gameTreeDir() + "/../screenshots";
    std::filesystem::create_directories(folder);
    shot.savePng(folder + "/game_hud.png");

    // The score's orange digits in its row, the HP fill's amber in its corner, a red ball.
    const testsupport::Rgb orange{255, 128, 0};
    EXPECT_GT(shot.countNear(orange, 30, 85 + 13, 100, 19, 40), 20);
    EXPECT_GT(shot.countNear({255, 175, 60}, 864 + 7, 728 + 3, 126, 6, 60), 40);
    EXPECT_GT(shot.countNear({210, 40, 30}, 332 + 4, 668 + 4, 32, 32, 60), 100);
    // The recharged lower 34 rows of the icon show the weapon's own colours over the black full
    // icon; the rows above stay black.
    const testsupport::Rgb black{0, 0, 0};
    EXPECT_GT(shot.countNear(black, 950, 668, 38, 16, 4), 300);
    EXPECT_LT(shot.countNear(black, 950, 692, 38, 26, 4), 100);
    // The dip darkens the top edge over the bed's green, the middle keeps it.
    EXPECT_LT(shot.at(512, 3).g, shot.at(512, 384).g - 40);
}

}  // namespace
