// The three in-play panels made on the running game's GUI over the title screen, driven by the
// scripted keyboard and mouse, and looked at.
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/ZV_GameState.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/Priget_PlayMissInfo.h"
#include "play/Priget_PlayPause.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {

// Screenshots stay in "look" under the directory the test started in (the build directory under
// ctest), for a person to look at.
void keep(const std::filesystem::path& startDir, const Screenshot& shot, const char* name)
{
    const std::filesystem::path dir = startDir / "look";
    std::filesystem::create_directories(dir);
    shot.savePng((dir / name).string());
}

int brightness(const Rgb& c) { return c.r + c.g + c.b; }

// Mean brightness of a rectangle.
double meanBrightness(const Screenshot& shot, int x, int y, int w, int h)
{
    double sum = 0;
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            sum += brightness(shot.at(px, py));
    return sum / (w * h);
}

template <class Panel>
void drive(GameHarness& game, Panel& panel, int frames)
{
    for (int i = 0; i < frames; ++i) {
        game.frame();
        panel.handleInput(1.0f / 60.0f, &game.keyboard(), game.joystick(), &game.mouse());
    }
}

// One frame with the key down and one with it up, the panel seeing both.
template <class Panel>
void tap(GameHarness& game, Panel& panel, OIS::KeyCode key)
{
    game.press(key);
    drive(game, panel, 1);
    game.release(key);
    drive(game, panel, 1);
}

}  // namespace

TEST(PlayPanelsLook, OverTheRunningGame)
{
    testsupport::HarnessOptions options;
    options.width = 1024;
    options.height = 768;
    const std::filesystem::path startDir = std::filesystem::current_path();
    GameHarness game(options);
    // Past the splash to the title prompt: the map shows, and the title takes no arrow key there.
    game.runFrames(2);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_TRUE(game.runUntil([&] { return game.session()->menuPhase == MENU_TITLE_PROMPT; }, 200));
    game.runFrames(30);
    ZV_GameState* state = game.state();
    ASSERT_NE(state, nullptr);
    GameSession* session = game.session();
    const Screenshot title = game.screenshot();

    {
        SCOPED_TRACE("pause panel");
        Priget_PlayPause pause(session, game.gui(), state->globalSounds);
        pause.reset(false);
        pause.show(true);
        drive(game, pause, 70);
        tap(game, pause, OIS::KC_DOWN);  // Resume -> Retry
        drive(game, pause, 2);
        ASSERT_EQ(session->selectedIndex, 1u);
        const Screenshot shot = game.screenshot();
        keep(startDir, shot, "pause.png");
        // The column (black at half alpha) is darker than what lies around it.
        EXPECT_LT(meanBrightness(shot, 48, 48, 8, 8) + 40, meanBrightness(title, 48, 48, 8, 8));
        EXPECT_EQ(pause.menuPanel->getAbsoluteCoord(), MyGUI::IntCoord(48, 48, 168, 128));
        // The highlighted button (Retry) looks unlike the others.
        // (Read right of the cogs.)
        const Rgb resume = shot.at(190, 48 + 8 + 4);
        const Rgb retry = shot.at(190, 48 + 48 + 4);
        const Rgb quit = shot.at(190, 48 + 88 + 4);
        EXPECT_FALSE(retry.near(resume, 10)) << retry << " vs " << resume;
        EXPECT_TRUE(resume.near(quit, 10)) << resume << " vs " << quit;

        // The mouse onto Quit takes the highlight; the fade-out then removes everything.
        game.moveMouseTo(100, 48 + 88 + 16);
        drive(game, pause, 2);
        EXPECT_EQ(session->selectedIndex, 2u);
        pause.show(false);
        for (int i = 0; i < 70; ++i) {
            game.frame();
            pause.animate(1.0f / 60.0f);
        }
        EXPECT_FALSE(pause.menuPanel->getVisible());
        const Screenshot gone = game.screenshot();
        EXPECT_NEAR(meanBrightness(gone, 48, 48, 8, 8), meanBrightness(title, 48, 48, 8, 8), 30);
    }
    game.moveMouseTo(1000, 20);

    {
        SCOPED_TRACE("end panel");
        session->setProfileName("Looker");
        session->recreateProfile();
        session->loadCampaign("TcData");
        session->challengeMode = 1;
        session->selectedTier = 0;
        session->selectedChallenge = 0;
        Priget_EndPlayMenu end(session, game.gui(), state->globalSounds);
        end.setVisible(false);
        end.setBestValue(4321.5f, false);
        end.setResultText("5000");
        end.setupContinue();
        end.show(true);
        drive(game, end, 70);
        const Screenshot shot = game.screenshot();
        keep(startDir, shot, "end.png");
        const MyGUI::IntCoord strip = end.menuPanel->getAbsoluteCoord();
        EXPECT_EQ(strip, MyGUI::IntCoord((1024 - 488) / 2, 768 - 148, 488, 48));
        EXPECT_TRUE(end.continueButton()->getVisible());
        // The strip darkens the scene right up to both of its ends, and no further.
        for (const auto& [inside, outside] : {std::pair{strip.left + 1, strip.left - 4},
                                              std::pair{strip.right() - 3, strip.right() + 2}}) {
            const double in = meanBrightness(shot, inside, strip.top + 2, 2, 4);
            const double out = meanBrightness(shot, outside, strip.top + 2, 2, 4);
            EXPECT_LT(in, out * 0.75) << "at x " << inside;
        }
        // The result and best boxes show with their orange and white texts.
        EXPECT_TRUE(end.resultBox->getVisible());
        EXPECT_TRUE(end.bestBox->getVisible());
        const MyGUI::IntCoord value = end.resultValue->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{255, 128, 0}, value.left, value.top, value.width, value.height, 40), 20);
        const MyGUI::IntCoord best = end.bestValue->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, best.left, best.top, best.width, best.height, 30), 10);

        // Right arrow moves the highlight along the strip.
        tap(game, end, OIS::KC_RIGHT);
        EXPECT_EQ(session->selectedIndex, 1u);
    }

    {
        SCOPED_TRACE("mission box");
        session->selectedTier = 1;
        session->selectedChallenge = 2;
        Priget_PlayMissInfo info(session, game.gui(), state->globalSounds);
        EXPECT_FALSE(info.infoBox->getVisible());
        info.infoBox->setVisible(true);
        game.runFrames(2);
        const Screenshot shot = game.screenshot();
        keep(startDir, shot, "mission.png");
        EXPECT_EQ(info.infoBox->getAbsoluteCoord(), MyGUI::IntCoord(262, 234, 500, 300));
        const MyGUI::IntCoord line = info.challengeText->getAbsoluteCoord();
        EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, line.left, line.top, 200, line.height, 20), 30);
        EXPECT_NE(info.titleText->getCaption().asUTF8(), "Title");
        // The box darkens the screen evenly at both sides.
        EXPECT_NEAR(meanBrightness(shot, 270, 500, 4, 4), meanBrightness(shot, 750, 500, 4, 4), 40);
    }
}
