#include "core/GameSession.h"
#include "core/KeyBindings.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_OptionsControl.h"
#include "screens/Priget_OptionsMenu.h"
#include "screens/ScreensTestSupport.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <cstdio>

using screenstest::switchTo;
using testsupport::GameHarness;
using testsupport::HarnessOptions;

namespace {

const int kFireGun = static_cast<int>(KeyAction::FireGun);

std::string ctrlConfig(const GameHarness& game)
{
    return testsupport::readTextFile(game.workDir() + "/ctrlConfig.ini");
}

bool allKeyButtonsEnabled(const Priget_OptionsControl& page, bool enabled)
{
    for (const KeyRowWidgets& row : page.keyRows)
        if (row.mainKey->getEnabled() != enabled || row.altKey->getEnabled() != enabled)
            return false;
    return true;
}

// The options with the key page open.
GS_Options* openControlPage(GameHarness& game)
{
    switchTo(game, GAMESTATE_OPTIONS);
    auto* options = game.stateAs<GS_Options>();
    if (options)
        options->onControlClick(options->optionsMenu->controlButton);
    game.frame();
    return options;
}

}  // namespace

TEST(OptionsControl, KeyNamesAndCaptions)
{
    const std::pair<int, const char*> names[] = {
        {1, "ESC"}, {41, "`"}, {43, "''"}, {57, "SPACE"}, {82, "NUMPAD 0"}, {83, "UNKNOWN"}, {201, "PG UP"},
        {211, "DELETE"}, {237, "MEDIASELECT"}, {238, "UNKNOWN"}, {0, "UNKNOWN"}, {-3, "UNKNOWN"}};
    for (const auto& [code, name] : names)
        EXPECT_STREQ(Priget_OptionsControl::keyCodeName(code), name) << code;

    GameHarness game;
    GS_Options* options = openControlPage(game);
    ASSERT_NE(options, nullptr);
    Priget_OptionsControl& page = *options->controlPage;
    EXPECT_EQ(page.keyRows[0].label->getCaption().asUTF8(), "Accel");
    EXPECT_EQ(page.keyRows[13].label->getCaption().asUTF8(), "Change Weapon");
    // From our ctrlConfig.ini: Fire Gun is Space with no alternative.
    EXPECT_EQ(page.keyRows[kFireGun].mainKey->getCaption().asUTF8(), "SPACE");
    EXPECT_EQ(page.keyRows[kFireGun].altKey->getCaption().asUTF8(), "Not Used");
    page.bindings->entry(0).altCode = 84;
    page.refreshKeyCaptions();
    EXPECT_EQ(page.keyRows[0].altKey->getCaption().asUTF8(), "UNKNOWN");
}

TEST(OptionsControl, CaptureTakesTheLowestKeyAndSavesAtOnce)
{
    GameHarness game;
    GS_Options* options = openControlPage(game);
    ASSERT_NE(options, nullptr);
    Priget_OptionsControl& page = *options->controlPage;
    KeyBindings& bindings = *page.bindings;
    const int fireMain = bindings.entry(kFireGun).mainCode;

    // A real click on Fire Gun's alternative key button starts the capture.
    game.clickWidget(page.keyRows[kFireGun].altKey);
    EXPECT_EQ(page.capturing, 1);
    EXPECT_EQ(page.captureRow, static_cast<uint32_t>(kFireGun));
    EXPECT_EQ(page.captureMain, 0);
    EXPECT_EQ(game.session()->keyCaptureActive, 1);
    EXPECT_TRUE(allKeyButtonsEnabled(page, false));
    game.frame();
    EXPECT_FALSE(options->optionsMenu->panel->getVisible()) << "the menu hides during a capture";

    std::remove((game.workDir() + "/ctrlConfig.ini").c_str());
    game.tapKey(OIS::KC_SPACE);
    EXPECT_EQ(bindings.entry(kFireGun).altCode, 57);
    EXPECT_EQ(bindings.entry(kFireGun).mainCode, fireMain);
    EXPECT_EQ(page.keyRows[kFireGun].altKey->getCaption().asUTF8(), "SPACE");
    EXPECT_NE(ctrlConfig(game).find("FireGunAlt = 57"), std::string::npos) << ctrlConfig(game);
    EXPECT_EQ(page.capturing, 0);
    EXPECT_EQ(game.session()->keyCaptureActive, 0);
    EXPECT_TRUE(allKeyButtonsEnabled(page, true));
    EXPECT_EQ(page.keyRows[kFireGun].altKey->getAlpha(), 1.0f);
    game.frame();
    EXPECT_TRUE(options->optionsMenu->panel->getVisible());

    struct Case {
        const char* what;
        std::vector<OIS::KeyCode> keys;
        int expected;
    };
    const Case cases[] = {
        {"A and D together: the lower code", {OIS::KC_D, OIS::KC_A}, 30},
        {"Page Up binds as itself", {OIS::KC_PGUP}, 201},
        {"a key another action uses", {OIS::KC_W}, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        page.onKeyButtonClick(page.keyRows[0].mainKey);
        for (OIS::KeyCode k : c.keys)
            game.press(k);
        game.frame();
        for (OIS::KeyCode k : c.keys)
            game.release(k);
        game.frame();
        EXPECT_EQ(bindings.entry(0).mainCode, c.expected);
        EXPECT_EQ(page.capturing, 0);
    }

    // Delete held takes no key, whatever else is down.
    page.onKeyButtonClick(page.keyRows[1].mainKey);
    game.press(OIS::KC_DELETE);
    game.press(OIS::KC_B);
    game.runFrames(3);
    EXPECT_EQ(page.capturing, 1);
    game.release(OIS::KC_DELETE);
    game.frame();
    EXPECT_EQ(page.capturing, 0);
    EXPECT_EQ(bindings.entry(1).mainCode, 48);
    game.release(OIS::KC_B);
    game.frame();
}

TEST(OptionsControl, EscapeCancelsTheCaptureCleanly)
{
    GameHarness game;
    GS_Options* options = openControlPage(game);
    ASSERT_NE(options, nullptr);
    Priget_OptionsControl& page = *options->controlPage;
    const int before = page.bindings->entry(3).altCode;
    page.onKeyButtonClick(page.keyRows[3].altKey);
    ASSERT_EQ(game.session()->keyCaptureActive, 1);

    // The page on its own: Escape ends the capture, binds nothing and restores the row.
    testsupport::ScriptedKeyboard escape;
    escape.press(OIS::KC_ESCAPE);
    escape.capture();
    page.updateKeyCapture(&escape);
    EXPECT_EQ(page.capturing, 0);
    EXPECT_EQ(game.session()->keyCaptureActive, 0);
    EXPECT_EQ(page.bindings->entry(3).altCode, before);
    EXPECT_TRUE(allKeyButtonsEnabled(page, true));
    EXPECT_EQ(page.keyRows[3].altKey->getAlpha(), 1.0f);
    EXPECT_EQ(page.keyRows[3].label->getTextColour(), MyGUI::Colour::White);

    // In the running screen Escape also leaves; the next visit's menu is there.
    page.onKeyButtonClick(page.keyRows[3].altKey);
    game.frame();
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_EQ(game.session()->keyCaptureActive, 0);
    game.frame();
    switchTo(game, GAMESTATE_OPTIONS);
    game.runFrames(2);
    EXPECT_TRUE(game.stateAs<GS_Options>()->optionsMenu->panel->getVisible());
}

TEST(OptionsControl, LeavingByPadDuringACaptureClearsTheFlag)
{
    HarnessOptions withPad;
    withPad.joystick = true;
    GameHarness game(withPad);
    game.session()->gamepadEnabled = 1;
    GS_Options* options = openControlPage(game);
    ASSERT_NE(options, nullptr);
    options->controlPage->onKeyButtonClick(options->controlPage->keyRows[0].mainKey);
    game.frame();
    game.joystick()->setButton(1, true);
    game.frame();
    game.joystick()->setButton(1, false);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_EQ(game.session()->keyCaptureActive, 0);
}
