// The HUD of a real play, as a player sees it: the first mode (its HUD shows Score, Kills, Lives,
// Best and HP) chosen on the title with the profile set to the second language; nothing of the
// HUD during the countdown, then the fade-in as it ends: the Score row's orange value, the HP
// bar's fill in its corner and the labels in that language; a wreck scores on screen.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/Priget_GameHUD.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/DamageRegistry.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {

int countWhere(const Screenshot& shot, const MyGUI::IntCoord& at, const std::function<bool(const Rgb&)>& test)
{
    return shot.countWhere(at.left, at.top, at.width, at.height, test);
}

// The HUD's orange value texts (1, 0.5, 0), also where the text's edge blends.
bool orange(const Rgb& c) { return c.r > 200 && c.g > 80 && c.g < 170 && c.b < 60; }
// The amber fill of the HP bar, pale along its top edge and deep along its lower one.
bool amber(const Rgb& c) { return c.r > 200 && c.g > 90 && c.r > c.b + 60; }

// The rows around the bar's clip that the fill crosses (nearly) from end to end, top first, each
// by its colour in the middle.
std::vector<Rgb> filledRows(const Screenshot& shot, const MyGUI::IntCoord& clip)
{
    std::vector<Rgb> rows;
    for (int y = clip.top - 3; y < clip.top + clip.height + 3; ++y)
        if (shot.countWhere(clip.left, y, clip.width, 1, amber) >= clip.width * 9 / 10)
            rows.push_back(shot.at(clip.left + clip.width / 2, y));
    return rows;
}
bool white(const Rgb& c) { return c.r > 220 && c.g > 220 && c.b > 220; }

}  // namespace

TEST(HudWholeGame, ShownInPlay)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu("Pilot"));
    game.settings()->Language = 1;
    game.runFrames(60);
    ASSERT_EQ(game.session()->selectedIndex, 0u);
    game.tapKey(OIS::KC_RETURN);
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);

    // Early in the countdown: no HUD pixels where the Score row and the HP bar will be.
    ASSERT_TRUE(game.runUntil([&] { return !play->firstFrame && play->countdown < 2.5f; }, 200));
    ASSERT_NE(play->rules, nullptr);
    Priget_GameHUD* hud = play->rules->hud.get();
    ASSERT_NE(hud, nullptr);
    const MyGUI::IntCoord scoreValue = hud->scoreRow.value->getAbsoluteCoord();
    const MyGUI::IntCoord scoreLabel = hud->scoreRow.label->getAbsoluteCoord();
    const MyGUI::IntCoord hpBar = hud->hpBarClip->getAbsoluteCoord();
    ASSERT_GT(hpBar.width, 100) << "full HP at the start";
    const Screenshot countdown = game.screenshot();
    testsupport::keepShot(countdown, "hud_countdown");
    EXPECT_EQ(countWhere(countdown, scoreValue, orange), 0);
    EXPECT_EQ(countWhere(countdown, hpBar, amber), 0);

    // A second after "go".
    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 300));
    game.runFrames(60);
    const Screenshot playing = game.screenshot();
    testsupport::keepShot(playing, "hud_playing");
    EXPECT_GT(countWhere(playing, scoreValue, orange), 15);
    // The whole bar in the three rows the corner shows: its pale top edge, amber, and its deep
    // lower edge (a fill cut to its upper half ends in amber).
    const std::vector<Rgb> rows = filledRows(playing, hpBar);
    ASSERT_EQ(rows.size(), 3u) << "rows of the HP fill";
    EXPECT_GT(rows[0].g, 220) << rows[0];
    EXPECT_GT(rows[0].b, 140) << rows[0];
    EXPECT_GT(rows[1].g, 150) << rows[1];
    EXPECT_LT(rows[1].g, rows[0].g - 30) << rows[1];
    EXPECT_LT(rows[2].g, 140) << rows[2];
    EXPECT_LT(rows[2].b, 60) << rows[2];
    // The labels in the profile's language.
    EXPECT_EQ(hud->scoreRow.label->getCaption().asUTF8(), "Puntos");
    EXPECT_EQ(hud->livesRow.label->getCaption().asUTF8(), "Vidas");
    EXPECT_GT(countWhere(playing, scoreLabel, white), 20);
    EXPECT_EQ(countWhere(countdown, scoreLabel, white), 0);

    // The player wrecks a wisp: the Score row shows its points and the Kills row the kill.
    Ovni* wisp = testsupport::firstWisp(play);
    ASSERT_NE(wisp, nullptr);
    GroundVehicle* vehicle = play->playerVehicle();
    ASSERT_NE(vehicle, nullptr);
    const int scorePixels = countWhere(playing, scoreValue, orange);
    play->damageRegistry->addDamage(wisp->getDamageSlot(), 1.0e6f, 1, static_cast<int32_t>(vehicle->getObjectId()));
    ASSERT_TRUE(game.runUntil([&] { return hud->killsRow.value->getCaption() == "1"; }, 180));
    game.runFrames(60);  // the pulses settle
    EXPECT_EQ(hud->scoreRow.value->getCaption().asUTF8(), "100");
    EXPECT_EQ(hud->scoreRow.valueShadow->getCaption().asUTF8(), "100");
    const Screenshot scored = game.screenshot();
    testsupport::keepShot(scored, "hud_scored");
    EXPECT_GT(countWhere(scored, scoreValue, orange), scorePixels * 2);
}
