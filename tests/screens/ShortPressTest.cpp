// Presses shorter than a frame, at a slow and a fast frame rate: each press counts once, and
// the characters typed arrive in their order, from the splash through the profile screen and the
// main menu into a play.
#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::ScriptedKeyboard;

namespace {

class ShortPresses : public ::testing::TestWithParam<int> {};

// Each character pressed and released before the next frame, `perFrame` of them in one frame.
void typeWithinFrames(GameHarness& game, const std::string& text, size_t perFrame)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const OIS::KeyCode key = c == ' ' ? OIS::KC_SPACE : ScriptedKeyboard::keyForChar(c);
        ASSERT_NE(key, OIS::KC_UNASSIGNED) << c;
        game.keyboard().tap(key, static_cast<unsigned char>(c));
        if ((i + 1) % perFrame == 0 || i + 1 == text.size())
            game.frame();
    }
}

void tapWithinFrame(GameHarness& game, OIS::KeyCode key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        game.keyboard().tap(key);
    game.frame();
}

}  // namespace

TEST_P(ShortPresses, CountOnceFromTheSplashToThePause)
{
    const int fps = GetParam();
    HarnessOptions options;
    options.frameTime = 1.0f / static_cast<float>(fps);
    GameHarness game(options);
    GameSession* session = game.session();
    GS_Menu* menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    game.runFrames(2);

    // Return during the splash speeds it up.
    tapWithinFrame(game, OIS::KC_RETURN);
    EXPECT_TRUE(menu->splashSkipping);
    ASSERT_TRUE(game.runUntil([&] { return session->menuPhase == MENU_TITLE_PROMPT; }, 3 * fps));
    tapWithinFrame(game, OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_PROFILES);
    game.runFrames(fps / 2);

    // No profile yet: the highlight is on "Create", and Return opens the name dialog.
    Priget_ProfileLoad* panel = menu->profilePanel;
    ASSERT_EQ(session->selectedIndex, 1u);
    tapWithinFrame(game, OIS::KC_RETURN);
    ASSERT_EQ(panel->entryMode, 1u);

    struct Typed {
        const char* keys;
        const char* field;
        bool refused;
    };
    const Typed typings[] = {
        {"abcdefghijklm", "abcdefghijklm", false},
        {"nopqrstuvwxyz", "nopqrstuvwxyz", false},
        {"Sw Ws", "SwWs", true},  // S and W type; the space cannot be in a name
        {"WWSS", "WWSS", false},
    };
    GlobalSounds* sounds = menu->globalSounds;
    for (const Typed& t : typings) {
        SCOPED_TRACE(t.keys);
        tapWithinFrame(game, OIS::KC_BACK, 16);
        ASSERT_EQ(panel->nameEdit->getTextLength(), 0u);
        sounds->warningClick()->stop();
        for (size_t perFrame : {size_t(1), size_t(3)}) {
            typeWithinFrames(game, t.keys, perFrame);
            EXPECT_EQ(panel->nameEdit->getOnlyText().asUTF8(), t.field) << perFrame << " a frame";
            EXPECT_EQ(sounds->warningClick()->isPlaying(), t.refused);
            // The hidden list did not move, nothing was confirmed.
            EXPECT_EQ(session->selectedIndex, 1u);
            EXPECT_EQ(session->menuPhase, MENU_PROFILES);
            tapWithinFrame(game, OIS::KC_BACK, 16);
        }
    }

    // Return creates the typed profile.
    typeWithinFrames(game, "Tess", 2);
    tapWithinFrame(game, OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->profileName, "Tess");

    // One tap, one step.
    game.runFrames(fps);
    ASSERT_EQ(session->selectedIndex, 0u);
    tapWithinFrame(game, OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 1u);
    tapWithinFrame(game, OIS::KC_UP);
    EXPECT_EQ(session->selectedIndex, 0u);

    // Return starts the first mode; Escape taps pause and resume the play.
    tapWithinFrame(game, OIS::KC_RETURN);
    auto* play = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(play, nullptr);
    ASSERT_TRUE(game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 8 * fps));
    tapWithinFrame(game, OIS::KC_ESCAPE);
    EXPECT_EQ(play->paused, 1);
    game.runFrames(fps / 2);
    tapWithinFrame(game, OIS::KC_ESCAPE);
    EXPECT_EQ(play->paused, 0);
    game.runFrames(2);
    tapWithinFrame(game, OIS::KC_ESCAPE);
    EXPECT_EQ(play->paused, 1);
}

INSTANTIATE_TEST_SUITE_P(FrameRates, ShortPresses, ::testing::Values(10, 60),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "fps";
                         });
