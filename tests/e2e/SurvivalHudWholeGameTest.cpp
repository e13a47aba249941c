// Survival as a player sees it: no lives to spare and endless waves, so its HUD shows the wave
// number and the bar of the wrecks the wave still needs, and a wreck moves the bar.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/Priget_GameHUD.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/DamageRegistry.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {
// The HUD's orange texts and bar fills.
bool orange(const Rgb& c) { return c.r > 200 && c.g > 80 && c.g < 190 && c.b < 80; }
int countOrange(const Screenshot& shot, const MyGUI::Widget* w)
{
    const MyGUI::IntCoord at = w->getAbsoluteCoord();
    return shot.countWhere(at.left, at.top, at.width, at.height, orange);
}
}  // namespace

TEST(SurvivalHudWholeGame, ShowsTheWaveNumberAndBar)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.runFrames(60);
    // A new profile has Survival locked and its item disabled: this profile has earned it, and
    // the menu stands on it.
    ASSERT_NE(game.session()->profile, nullptr);
    ASSERT_NE(game.session()->profile->getMode(2), nullptr);
    game.session()->profile->getMode(2)->locked = false;
    game.moveMouseTo(5, 5);  // off the buttons
    game.frame();
    game.session()->selectedIndex = 2;
    game.tapKey(OIS::KC_RETURN);
    GS_PlayOnly* play = testsupport::playUntilPlaying(game);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(game.session()->levelName, "Survival");
    game.runFrames(90);
    Priget_GameHUD* hud = play->rules->hud.get();
    ASSERT_NE(hud, nullptr);
    ASSERT_TRUE(hud->waveRow.panel->getVisible());
    ASSERT_TRUE(hud->waveBarPanel->getVisible());
    EXPECT_EQ(hud->waveRow.value->getCaption().asUTF8(), "1");
    const Screenshot shot = game.screenshot();
    testsupport::keepShot(shot, "hud_survival");
    EXPECT_GT(countOrange(shot, hud->waveRow.value), 10) << "the wave number";
    const int barWidth = hud->waveBarClip->getWidth();
    EXPECT_GT(barWidth, 300) << "a full bar: eight wrecks to go";
    EXPECT_GT(countOrange(shot, hud->waveBarClip), barWidth * 2) << "the bar's fill";
    // The fill crosses every row of its clip, the pale top edge too.
    const MyGUI::IntCoord clip = hud->waveBarClip->getAbsoluteCoord();
    auto fill = [](const Rgb& c) { return c.r > 200 && c.g > 80 && c.r > c.b + 60; };
    for (int y = clip.top; y < clip.top + clip.height; ++y)
        EXPECT_GE(shot.countWhere(clip.left, y, clip.width, 1, fill), clip.width * 9 / 10) << "row " << y - clip.top;

    // A wreck: one of the eight, and the bar shortens.
    Ovni* wisp = testsupport::firstWisp(play);
    ASSERT_NE(wisp, nullptr);
    GroundVehicle* vehicle = play->playerVehicle();
    ASSERT_NE(vehicle, nullptr);
    play->damageRegistry->addDamage(wisp->getDamageSlot(), 1.0e6f, 1, static_cast<int32_t>(vehicle->getObjectId()));
    ASSERT_TRUE(game.runUntil([&] { return play->playData->totalKills() > 0; }, 180));
    game.runFrames(30);
    EXPECT_LT(hud->waveBarClip->getWidth(), barWidth);
    testsupport::keepShot(game.screenshot(), "hud_survival_wreck");
}
