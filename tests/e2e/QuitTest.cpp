// The real game executable, started as a new player starts it and left through its quit box.
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"
#include "support/XwdImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

using namespace testsupport;

namespace {

// Held over several frames, also on a busy machine: the game reads the key state once per frame.
void pressKey(const std::string& key)
{
    runCommand({"xdotool", "keydown", key});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    runCommand({"xdotool", "keyup", key});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// A left click at a point of the window, the button held over several frames.
void clickAt(const std::string& window, int x, int y)
{
    runCommand({"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    runCommand({"xdotool", "mousedown", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    runCommand({"xdotool", "mouseup", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

// The map shows behind the title prompt once the (black) splash is over.
bool mapShown(const std::string& window)
{
    RgbImage image;
    return captureWindow(window, image) && image.width >= 800 && image.fractionBrighterThan(24) > 0.5;
}

}  // namespace

// A new player types a profile name (through the keyboard layout of the X server), gets the
// main menu, and leaves through the quit box; the program ends with exit code 0.
TEST(GameExecutableQuit, TypedProfileIsCreatedAndTheQuitBoxEndsTheProgramWithCodeZero)
{
    PrivateXServer xserver;
    ASSERT_TRUE(xserver.ok()) << "Xvfb did not start";
    TempGameTree tree;
    ChildProcess game({tree.workDir() + "/vantorel"}, tree.workDir(), tree.path("run.out"));
    const std::string window = waitForGameWindow(game, 60);
    ASSERT_FALSE(window.empty()) << readTextFile(tree.path("run.out"));
    runCommand({"xdotool", "windowfocus", "--sync", window});
    // The pointer's position is gathered from its motion: start it in the corner.
    runCommand({"xdotool", "mousemove", "--window", window, "0", "0"});
    ASSERT_TRUE(waitUntil([&] { return mapShown(window); }, 60)) << "the title prompt did not appear";

    // Neither key quits on its own.
    pressKey("Escape");
    pressKey("q");
    EXPECT_TRUE(game.running());

    // Return: the profile screen (its list slides in); "Create", the name field, the name.
    pressKey("Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    clickAt(window, 300, 276);
    clickAt(window, 400, 300);
    runCommand({"xdotool", "type", "--delay", "400", "Pilot"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    clickAt(window, 344, 332);
    const std::string profile = tree.path("Saves/Pilot_Game.ZVP");
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(profile); }, 20)) << readTextFile(tree.path("run.out"));

    // Escape leads back to the profiles; their "Quit" opens the quit box, whose "Yes" ends the game.
    runCommand({"xdotool", "mousemove", "--window", window, "5", "5"});
    pressKey("Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    clickAt(window, 300, 316);
    int code = -1;
    for (int i = 0; i < 3 && code == -1; ++i) {
        clickAt(window, 340, 309);
        code = game.waitForExit(20);
    }
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out.find("AddressSanitizer"), std::string::npos) << out;
    EXPECT_EQ(out.find("LeakSanitizer"), std::string::npos) << out;
}
