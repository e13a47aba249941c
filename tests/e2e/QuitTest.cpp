// The real game executable is left through its menu's Quit, as a player leaves it.
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"
#include "support/XwdImage.h"

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

int brightness(const RgbImage& image, int x, int y)
{
    const uint8_t* p = image.pixel(x, y);
    return p[0] + p[1] + p[2];
}

// The menu is drawn (it fades in from black) and its selected entry is the last one, Quit: the
// selected entry is drawn brighter than the first one.
bool menuShown(const std::string& window, RgbImage& image)
{
    return captureWindow(window, image) && image.width >= 800 && image.fractionBrighterThan(24) > 0.5;
}
bool quitSelected(const std::string& window)
{
    RgbImage image;
    return menuShown(window, image) && brightness(image, 300, 438) > brightness(image, 300, 208) + 60;
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
    RgbImage image;
    for (int i = 0; i < 300 && !menuShown(window, image); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(menuShown(window, image)) << "the menu did not appear";

    // Neither key quits on its own.
    pressKey("Escape");
    pressKey("q");
    EXPECT_TRUE(game.running());

    // Quit is the menu's last entry: one step up from the first. A machine under load may miss a
    // short key press, so the picture confirms each step.
    for (int i = 0; i < 5 && !quitSelected(window); ++i)
        pressKey("Up");
    ASSERT_TRUE(quitSelected(window));
    int code = -1;
    for (int i = 0; i < 3 && code == -1; ++i) {
        pressKey("Return");
        code = game.waitForExit(20);
    }
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out.find("AddressSanitizer"), std::string::npos) << out;
    EXPECT_EQ(out.find("LeakSanitizer"), std::string::npos) << out;
}
