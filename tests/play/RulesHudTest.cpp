// The rules engine with a GUI (run under Xvfb): the pointer widgets, the HUD it makes and fills,
// the values it writes each frame, and the aim mark on screen.
#include "RulesTestSupport.h"

#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "play/Priget_GameHUD.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>


namespace {

std::string caption(const MyGUI::TextBox* t) { return t->getCaption().asUTF8(); }

const char* const kHudMode = R"(
[SETINGS]
Scene = "Town"
NumLives = 3
BorderScale = 1
[PLAYER]
MaxHP = 200
TurrTurnDisable = %s
[MECHANICS]
NumMechaVars = 2
MechaVar_1_Start = 42
MechaVar_2_Start = 90
MechaVar_2_DefA = 100
MechaVar_2_TimeAff = -1
[HUD]
ScoreHud = true
ScoreMechIndx = 1
WaveBarHud = true
WaveBarMechIndx = 2
LivesBarHud = true
BestSHud = true
[CLEAR_CONDITION]
CC_MechCond = true
CC_MechIndx = 1
CC_Condition = 1
)";

std::string hudMode(bool turretFixed)
{
    char text[1024];
    std::snprintf(text, sizeof text, kHudMode, turretFixed ? "true" : "false");
    return text;
}

}  // namespace

TEST(RulesHud, PointerWidgetsHudValuesAndTheAimMarkOnScreen)
{
    testsupport::PanelTestBed bed;
    GameSession* session = bed.session();
    session->setProfileName("Tester");
    session->recreateProfile();
    bed.settings()->Language = 0;
    GameModeDef* mode = session->profile->getMode(0);
    ASSERT_NE(mode, nullptr);
    mode->best = 1234.0f;
    mode->progress3 = 99.0f;
    session->selectedMode = 0;

    // The mode files go into the test bed's own tree, where the GUI finds its images.
    rulestest::writeMode("HudMode", hudMode(false));
    rulestest::writeMode("FixedTurret", hudMode(true));
    GamePlayData data;
    RandomGenerator random;
    rulestest::Handles h;
    h.data = &data;
    h.session = session;
    h.gui = bed.gui();
    h.globalSounds = bed.sounds();
    h.random = &random;
    session->levelName = "HudMode";
    auto rules = rulestest::makeRules(h);
    data.playPhase = 1;

    // Two 64 x 64 widgets on the pointer layer, transparent until the play shows them.
    for (MyGUI::Widget* w : {rules->aimPointer, rules->weaponArrow}) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->getCoord(), MyGUI::IntCoord(0, 0, 64, 64));
        ASSERT_NE(w->getLayer(), nullptr);
        EXPECT_EQ(w->getLayer()->getName(), "Pointer");
        EXPECT_EQ(w->getAlpha(), 0.0f);
    }
    EXPECT_NE(rules->aimPointer, rules->weaponArrow);

    // The HUD shows the start values before any update.
    Priget_GameHUD* hud = rules->hud.get();
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(caption(hud->scoreRow.value), "42");
    EXPECT_EQ(caption(hud->livesRow.value), "3");
    EXPECT_EQ(caption(hud->waveRow.value), "1");
    EXPECT_EQ(caption(hud->bestRow.value), "1234");
    EXPECT_EQ(caption(hud->worldRow.value), "99");
    EXPECT_FLOAT_EQ(hud->maxHP, 200.0f);

    // A frame: the pointer follows the mouse, the kill counter and the variables reach the HUD,
    // the per-frame words are cleared.
    bed.mouse().moveTo(300, 200);
    bed.capture();
    data.ovniTypes.clear();
    data.killReported = 1;
    data.weaponChanged = 1;
    data.mechaVars[0].value = 77.0f;
    data.mechaVars[0].changed = 1;
    rules->setPointerVisible(true);
    rules->update(0.1f, &bed.mouse());
    EXPECT_EQ(rules->aimPointer->getPosition(), MyGUI::IntPoint(268, 168));
    EXPECT_EQ(rules->weaponArrow->getPosition(), MyGUI::IntPoint(268, 168));
    EXPECT_FLOAT_EQ(rules->aimPointer->getAlpha(), 0.75f);
    EXPECT_FLOAT_EQ(rules->weaponArrow->getAlpha(), 0.0f) << "no secondary ammunition";
    EXPECT_TRUE(rules->aimPointer->getVisible());
    EXPECT_EQ(caption(hud->scoreRow.value), "77");
    EXPECT_EQ(hud->scorePulse > 0.0f, true);
    EXPECT_EQ(caption(hud->killsRow.value), "0");
    EXPECT_EQ(data.killReported, 0);
    EXPECT_EQ(data.weaponChanged, 0);
    EXPECT_EQ(data.mechaVars[0].changed, 0);
    EXPECT_FLOAT_EQ(data.rechargeFraction, 1.0f);
    EXPECT_FLOAT_EQ(data.getMechaValue(1), 89.9f);  // time effects ran
    EXPECT_EQ(hud->currentHP, 0.0f) << "no vehicle: an empty HP bar";
    bed.mouse().press(OIS::MB_Left);
    bed.capture();
    rules->update(0.1f, &bed.mouse());
    EXPECT_FLOAT_EQ(rules->aimPointer->getAlpha(), 1.0f);

    // Hit and turbo words reach the HUD's shake and flash.
    data.playerHit = 1;
    data.turboEndRequest = 1;
    hud->flashHold = 1;
    rules->update(0.1f, &bed.mouse());
    EXPECT_GT(hud->shakeTimer, 0.8f);
    EXPECT_EQ(hud->flashHold, 0);
    EXPECT_EQ(data.playerHit, 0);

    // The fades: the stored pointer alpha runs down, the HUD fades with it.
    rules->fadePointerOut(0.25f, &bed.mouse());
    EXPECT_FLOAT_EQ(rules->pointerAlpha, 0.75f);
    EXPECT_FLOAT_EQ(rules->aimPointer->getAlpha(), 0.75f);  // the left button is held
    bed.mouse().release(OIS::MB_Left);
    bed.capture();
    rules->fadePointerIn(1.0f, &bed.mouse());
    EXPECT_FLOAT_EQ(rules->aimPointer->getAlpha(), 0.75f);

    // On screen: the white mark centred on the mouse, dark edges around its ring.
    rules->updatePointer(&bed.mouse());
    rules->aimPointer->setAlpha(1.0f);
    const testsupport::Screenshot shot = bed.screenshot();
    testsupport::keepShot(shot, "rules_aim_mark");
    EXPECT_GT(shot.countNear({255, 255, 255}, 298, 198, 4, 4, 30), 8) << "centre dot";
    EXPECT_GT(shot.countNear({255, 255, 255}, 268, 168, 64, 64, 30), 150) << "ring and ticks";
    EXPECT_GT(shot.countNear({20, 28, 40}, 268, 168, 64, 64, 40), 60) << "dark edge";

    // The destructor takes its widgets with it.
    const size_t before = [&] {
        size_t n = 0;
        for (auto e = bed.gui()->getEnumerator(); e.next();)
            ++n;
        return n;
    }();
    rules.reset();
    size_t after = 0;
    for (auto e = bed.gui()->getEnumerator(); e.next();)
        ++after;
    EXPECT_LT(after, before - 2);

    // A mode with the turret's turn disabled keeps both widgets hidden whatever the play asks.
    session->levelName = "FixedTurret";
    rules = rulestest::makeRules(h);
    EXPECT_FALSE(rules->aimPointer->getVisible());
    rules->setPointerVisible(true);
    EXPECT_FALSE(rules->aimPointer->getVisible());
    EXPECT_FALSE(rules->weaponArrow->getVisible());
}
