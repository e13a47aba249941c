// The real game executable, started from a private copy of the game tree on the test's
// X display, as a player would start it.
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"
#include "support/XwdImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

struct WindowInfo {
    std::string id;
    int width = 0;
    int height = 0;
};

// The id of the visible window titled exactly "Vantorel" on the test's own display, or "".
std::string findGameWindow()
{
    const CommandResult r =
        runCommand({"xdotool", "search", "--all", "--onlyvisible", "--name", "^Vantorel$"}, "", false);
    std::istringstream lines(r.output);
    std::string id;
    std::getline(lines, id);
    return id;
}

bool waitForWindow(ChildProcess& game, WindowInfo& info, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end && game.running()) {
        info.id = findGameWindow();
        if (!info.id.empty()) {
            const CommandResult g = runCommand({"xdotool", "getwindowgeometry", "--shell", info.id}, "", false);
            std::istringstream lines(g.output);
            for (std::string line; std::getline(lines, line);) {
                if (line.rfind("WIDTH=", 0) == 0)
                    info.width = std::stoi(line.substr(6));
                if (line.rfind("HEIGHT=", 0) == 0)
                    info.height = std::stoi(line.substr(7));
            }
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Waits until the window shows more than a black frame (the first frames may still be empty).
bool waitForPicture(const WindowInfo& info, RgbImage& image, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (captureWindow(info.id, image) && image.fractionBrighterThan(24) > 0.05)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

std::string configWithSize(int width, int height)
{
    return "[renderer]\nwidth = " + std::to_string(width) + "\nheight = " + std::to_string(height) +
           "\nFSAA = 0\ncolourDepth = 32\nvsync = false\nfullscreen = false\n\n[Display]\nLanguage = 0\n";
}

class GameExecutable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(xserver.ok()) << "Xvfb did not start"; }

    std::unique_ptr<ChildProcess> start()
    {
        return std::make_unique<ChildProcess>(std::vector<std::string>{tree.workDir() + "/vantorel"},
                                              tree.workDir(), tree.path("run.out"));
    }

    PrivateXServer xserver;
    TempGameTree tree;
};

}  // namespace

TEST_F(GameExecutable, OpensTheConfiguredWindowAndDrawsTheGui)
{
    auto game = start();
    WindowInfo window;
    ASSERT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);

    RgbImage image;
    ASSERT_TRUE(waitForPicture(window, image, 30)) << "the window stayed black";
    EXPECT_EQ(image.width, 800);

    // The game's own screenshot key writes screenshot_1.png into its working directory.
    runCommand({"xdotool", "windowfocus", "--sync", window.id});
    // Held for a moment: the game polls the key state once per frame.
    runCommand({"xdotool", "keydown", "Print"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    runCommand({"xdotool", "keyup", "Print"});
    const std::string shot = tree.workDir() + "/screenshot_1.png";
    for (int i = 0; i < 100 && !fs::exists(shot); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(fs::exists(shot));
    if (fs::exists(shot)) {
        EXPECT_EQ(readTextFile(shot).substr(1, 3), "PNG");
    }

    EXPECT_TRUE(game->running()) << readTextFile(tree.path("run.out"));
    game->terminate();
    EXPECT_NE(readTextFile(tree.workDir() + "/Ogre.log").find("Vantorel"), std::string::npos);
    EXPECT_FALSE(readTextFile(tree.workDir() + "/MyGUI.log").empty());
}

TEST_F(GameExecutable, WindowSizeComesFromConfigIni)
{
    writeTextFile(tree.workDir() + "/config.ini", configWithSize(1024, 768));
    auto game = start();
    WindowInfo window;
    ASSERT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
    EXPECT_EQ(window.width, 1024);
    EXPECT_EQ(window.height, 768);
}

TEST_F(GameExecutable, StartsWithoutConfigIniAndWritesTheDefaults)
{
    fs::remove(tree.workDir() + "/config.ini");
    auto game = start();
    WindowInfo window;
    ASSERT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);
    const std::string written = readTextFile(tree.workDir() + "/config.ini");
    EXPECT_NE(written.find("width = 800"), std::string::npos);
    EXPECT_NE(written.find("fullscreen = false"), std::string::npos);
}

TEST_F(GameExecutable, ZeroSizeInConfigFallsBackToTheDefaultWindow)
{
    writeTextFile(tree.workDir() + "/config.ini", "[renderer]\nfullscreen = false\n");
    auto game = start();
    WindowInfo window;
    ASSERT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);
}

TEST_F(GameExecutable, WithoutRenderSystemItStopsWithAMessageAndAnErrorCode)
{
    writeTextFile(tree.workDir() + "/plugins.cfg", "# no plug-ins\n");
    auto game = start();
    const int code = game->waitForExit(60);
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -1) << "still running";
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_NE(out.find("An exception has occured!"), std::string::npos) << out;
    EXPECT_NE(out.find("render system"), std::string::npos) << out;
}
