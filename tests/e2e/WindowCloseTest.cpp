// The window's close button ends the game as its quit box does: the loop stops, the profile is
// saved, the settings stay as they were and the program exits with code 0, from every screen.
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "cutscenes/GS_Cutscene.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_LCH_SelTier.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "support/GameHarness.h"
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"
#include "support/WindowClose.h"
#include "support/XwdImage.h"

#include <MyGUI.h>
#include <OgreRenderWindow.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

using namespace testsupport;

namespace {

// A quick key tap, as a player's: press and release within a few milliseconds.
void tap(const std::string& key)
{
    runCommand({"xdotool", "key", key});
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
}

uint32_t playsStarted(const std::string& workDir)
{
    ScopedWorkDir cwd(workDir);
    RandomGenerator random;
    PlayerProfile profile("Pilot", &random);
    const GameModeDef* arcade = profile.getMode(0);
    return arcade ? arcade->progress0 : 0;
}

enum class Screen { Title, Play };

class WindowClose : public ::testing::TestWithParam<Screen> {};

}  // namespace

TEST_P(WindowClose, EndsTheExecutableWithCodeZero)
{
    PrivateXServer xserver;
    ASSERT_TRUE(xserver.ok()) << "Xvfb did not start";
    TempGameTree tree;
    // A saved profile, so that the keyboard alone loads it.
    EXPECT_EQ(playsStarted(tree.workDir()), 0u);
    const std::string config = readTextFile(tree.path("Bin/Game/config.ini"));
    ASSERT_FALSE(config.empty());

    // The leak checker stops every thread of the ending program to scan it, and now and then
    // crashes doing so while the sound mixer's thread is in a system call: that would be its
    // exit code, not the game's. Leaks are checked by the in-process tests.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
    ChildProcess game({tree.workDir() + "/vantorel"}, tree.workDir(), tree.path("run.out"));
    if (asan)
        ::setenv("ASAN_OPTIONS", asan, 1);
    else
        ::unsetenv("ASAN_OPTIONS");
    const std::string window = waitForGameWindow(game, 60);
    ASSERT_FALSE(window.empty()) << readTextFile(tree.path("run.out"));
    runCommand({"xdotool", "windowfocus", "--sync", window});
    runCommand({"xdotool", "mousemove", "--window", window, "0", "0"});
    // Return speeds the splash up; the title prompt shows the map.
    tap("Return");
    ASSERT_TRUE(waitUntil(
        [&] {
            RgbImage image;
            return captureWindow(window, image) && image.fractionBrighterThan(24) > 0.5;
        },
        30));
    // The map shows while the splash fades out: the prompt comes a moment later.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    if (GetParam() == Screen::Play) {
        tap("Return");  // the profile screen, "Load" on the listed profile
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        tap("Return");  // the main menu, on its first mode
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        tap("Return");  // the play
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    }

    ASSERT_TRUE(game.running());
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(requestWindowClose(std::stoul(window)));
    const int code = game.waitForExit(10);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_EQ(code, 0) << out;
    // Measured here, bounded loosely: a sanitizer build on a busy machine shuts down slower.
    RecordProperty("SecondsToExit", std::to_string(seconds));
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(out.find("AddressSanitizer"), std::string::npos) << out;
    EXPECT_EQ(readTextFile(tree.path("Bin/Game/config.ini")), config);
    if (GetParam() == Screen::Play) {
        EXPECT_EQ(playsStarted(tree.workDir()), 1u) << out;
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowClose, ::testing::Values(Screen::Title, Screen::Play),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return std::string(info.param == Screen::Title ? "Title" : "Play");
                         });

// In a cutscene (the first challenge's briefing) the close button ends the loop all the same.
TEST(WindowCloseInGame, EndsTheLoopInACutscene)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    game.runFrames(70);
    game.clickWidget(game.stateAs<GS_Menu>()->mainMenu->item(6));
    ASSERT_TRUE(game.runUntil([&] { return game.stateAs<GS_ListChall>() != nullptr; }, 5));
    game.moveMouseTo(5, 5);
    game.runFrames(70);
    game.clickWidget(game.stateAs<GS_ListChall>()->tierPanel->startButton);
    ASSERT_NE(game.stateAs<GS_Cutscene>(), nullptr);
    game.runFrames(10);

    unsigned long handle = 0;
    game.window()->getCustomAttribute("WINDOW", &handle);
    ASSERT_TRUE(requestWindowClose(handle));
    EXPECT_TRUE(game.runUntil([&] { return game.loopEnded(); }, 5));
    EXPECT_TRUE(game.loopEnded());
    EXPECT_FALSE(game.window()->isClosed());
}
