// The real game executable is left through its menu's Quit, as a player leaves it.
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

using namespace testsupport;

namespace {

std::string waitForGameWindow(ChildProcess& game, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end && game.running()) {
        const CommandResult r =
            runCommand({"xdotool", "search", "--all", "--onlyvisible", "--name", "^Vantorel$"}, "", false);
        std::istringstream lines(r.output);
        std::string id;
        if (std::getline(lines, id) && !id.empty())
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// Held over several frames, also on a busy machine: the game reads the key state once per frame.
void pressKey(const std::string& key)
{
    runCommand({"xdotool", "keydown", key});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    runCommand({"xdotool", "keyup", key});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

}  // namespace

TEST(GameExecutableQuit, MenuQuitEndsTheProgramWithCodeZero)
{
    PrivateXServer xserver;
    ASSERT_TRUE(xserver.ok()) << "Xvfb did not start";
    TempGameTree tree;
    ChildProcess game({tree.workDir() + "/vantorel"}, tree.workDir(), tree.path("run.out"));
    const std::string window = waitForGameWindow(game, 60);
    ASSERT_FALSE(window.empty()) << readTextFile(tree.path("run.out"));
    runCommand({"xdotool", "windowfocus", "--sync", window});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // Neither key quits on its own.
    pressKey("Escape");
    pressKey("q");
    EXPECT_TRUE(game.running());

    // Quit is the menu's last entry.
    for (int i = 0; i < 5; ++i)
        pressKey("Down");
    pressKey("Return");
    const int code = game.waitForExit(60);
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out.find("AddressSanitizer"), std::string::npos) << out;
    EXPECT_EQ(out.find("LeakSanitizer"), std::string::npos) << out;
}
