// The real game executable, started from a private copy of the game tree on the test's
// X display, as a player would start it.
#include "support/PrivateXServer.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"
#include "support/XwdImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
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
    // Log names planted as a link out of the tree and as a pipe: new files are made.
    const std::string outsideLog = fs::temp_directory_path() / ("vantorel_outside_log_" + std::to_string(::getpid()));
    writeTextFile(outsideLog, "outside");
    fs::remove(tree.workDir() + "/Ogre.log");
    fs::create_symlink(outsideLog, tree.workDir() + "/Ogre.log");
    ASSERT_EQ(::mkfifo((tree.workDir() + "/MyGUI.log").c_str(), 0600), 0);
    auto game = start();
    WindowInfo window;
    ASSERT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);

    RgbImage image;
    ASSERT_TRUE(waitForPicture(window, image, 30)) << "the window stayed black";
    EXPECT_EQ(image.width, 800);

    // The game's own screenshot key writes screenshot_1.png into its working directory; a link
    // planted under that name is replaced, and what it points at outside the tree left alone.
    const std::string shot = tree.workDir() + "/screenshot_1.png";
    const std::string outside = fs::temp_directory_path() / ("vantorel_outside_" + std::to_string(::getpid()));
    writeTextFile(outside, "outside");
    fs::create_symlink(outside, shot);
    runCommand({"xdotool", "windowfocus", "--sync", window.id});
    // Held for a moment: the game polls the key state once per frame.
    runCommand({"xdotool", "keydown", "Print"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    runCommand({"xdotool", "keyup", "Print"});
    for (int i = 0; i < 100 && !fs::is_regular_file(fs::symlink_status(shot)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(shot)));
    if (fs::exists(shot)) {
        EXPECT_EQ(readTextFile(shot).substr(1, 3), "PNG");
    }
    EXPECT_EQ(readTextFile(outside), "outside");
    fs::remove(outside);

    EXPECT_TRUE(game->running()) << readTextFile(tree.path("run.out"));
    // The engine and the GUI write their logs to files only; a normal start prints nothing.
    EXPECT_EQ(readTextFile(tree.path("run.out")), "");
    game->terminate();
    EXPECT_NE(readTextFile(tree.workDir() + "/Ogre.log").find("Vantorel"), std::string::npos);
    EXPECT_FALSE(readTextFile(tree.workDir() + "/MyGUI.log").empty());
    EXPECT_EQ(readTextFile(outsideLog), "outside");
    fs::remove(outsideLog);
}

TEST_F(GameExecutable, ASettingsFileOf100MBIsRefusedWithoutDelayingTheWindow)
{
    const auto secondsToWindow = [&](WindowInfo& window) {
        const auto start = std::chrono::steady_clock::now();
        auto game = this->start();
        EXPECT_TRUE(waitForWindow(*game, window, 60)) << readTextFile(tree.path("run.out"));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        game->terminate();
        return seconds;
    };
    WindowInfo window;
    const double normal = secondsToWindow(window);

    std::string big = configWithSize(1024, 768);
    const std::string line = "; a comment that goes on and on to fill the file\n";
    big.reserve(100u << 20);
    while (big.size() < (100u << 20))
        big += line;
    writeTextFile(tree.workDir() + "/config.ini", big);
    const double refused = secondsToWindow(window);
    EXPECT_LT(refused, normal + 2.0) << "normal start " << normal << " s";
    // The shipped settings: their window, not the file's.
    EXPECT_EQ(window.width, 800);
    EXPECT_NE(readTextFile(tree.path("run.out")).find("config.ini is larger than 1 MB"), std::string::npos);
    EXPECT_EQ(fs::file_size(tree.workDir() + "/config.ini"), big.size());  // the player's file is left alone
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
    // The message also shows in a small window of the game's own, which waits for the player.
    std::string box;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (box.empty() && game->running() && std::chrono::steady_clock::now() < end) {
        std::istringstream found(
            runCommand({"xdotool", "search", "--name", "^An exception has occured!$"}, "", false).output);
        std::getline(found, box);
        if (box.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(box.empty()) << readTextFile(tree.path("run.out"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(game->running()) << "the window waits for an answer";
    runCommand({"xdotool", "windowfocus", "--sync", box});
    runCommand({"xdotool", "key", "--window", box, "Return"});
    const int code = game->waitForExit(60);
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -1) << "still running";
    const std::string out = readTextFile(tree.path("run.out"));
    EXPECT_NE(out.find("An exception has occured!"), std::string::npos) << out;
    EXPECT_NE(out.find("render system"), std::string::npos) << out;
}

namespace {

// One start of the game on a machine that does something odd to it.
struct HostileStart {
    const char* name;
    // Prepares the tree; returns the command that starts the game, or {} to skip the case with
    // the message left in `skip`.
    std::vector<std::string> (*prepare)(TempGameTree& tree, std::string& skip);
    // Exit code for a start that must end at once; -1 for a start that must open the window.
    int exitCode;
    int width, height;  // the window's sides
    bool picture;       // wait for a drawn frame (too slow for a giant window)
    const char* printed;  // a line the terminal must show
    bool writesShipped = false;  // the settings files written equal the shipped ones
};

void PrintTo(const HostileStart& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> gameIn(const TempGameTree& tree) { return {tree.workDir() + "/vantorel"}; }

// A small tmpfs in place of the working directory, filled to the last byte, in a mount namespace
// of the game's own; {} when this machine lets the test make none.
std::vector<std::string> onFullDisk(TempGameTree& tree, std::string& skip)
{
    const std::vector<std::string> unshare =
        geteuid() == 0 ? std::vector<std::string>{"unshare", "--mount"}
                       : std::vector<std::string>{"unshare", "--user", "--map-root-user", "--mount"};
    const std::string work = tree.workDir();
    const std::string stash = tree.path("Bin/Stash");
    auto probe = unshare;
    probe.insert(probe.end(), {"sh", "-c", "mount -t tmpfs -o size=64k tmpfs \"$0\"", work});
    if (runCommand(probe).exitCode != 0) {
        skip = "cannot mount a small tmpfs here (needs root or user namespaces): full-disk start not tested";
        return {};
    }
    fs::rename(work, stash);
    fs::create_directory(work);
    const std::string script =
        "mount -t tmpfs -o size=256k tmpfs \"$0\" && cd \"$0\" && "
        "cp \"$1/plugins.cfg\" \"$1/resources.cfg\" \"$1/ctrlConfig.ini\" . && ln -s \"$1/vantorel\" vantorel && "
        "{ dd if=/dev/zero of=filler bs=1k 2>/dev/null; true; } && exec ./vantorel";
    auto command = unshare;
    command.insert(command.end(), {"sh", "-c", script, work, stash});
    return command;
}

std::vector<std::string> withSize(TempGameTree& tree, int width, int height)
{
    writeTextFile(tree.workDir() + "/config.ini", configWithSize(width, height));
    return gameIn(tree);
}

const HostileStart kHostileStarts[] = {
    {"NoDisplay",
     [](TempGameTree& tree, std::string&) {
         return std::vector<std::string>{"env", "-u", "DISPLAY", tree.workDir() + "/vantorel"};
     },
     1, 0, 0, false, "X display"},
    {"DisplayThatDoesNotExist",
     [](TempGameTree& tree, std::string&) {
         return std::vector<std::string>{"env", "DISPLAY=:9876", tree.workDir() + "/vantorel"};
     },
     1, 0, 0, false, "X display"},
    {"ConfigIniIsAFolder",
     [](TempGameTree& tree, std::string&) {
         fs::remove(tree.workDir() + "/config.ini");
         fs::create_directory(tree.workDir() + "/config.ini");
         return gameIn(tree);
     },
     -1, 800, 600, true, "config.ini is not a readable file"},
    {"CtrlConfigIniIsAFolder",
     [](TempGameTree& tree, std::string&) {
         fs::remove(tree.workDir() + "/ctrlConfig.ini");
         fs::create_directory(tree.workDir() + "/ctrlConfig.ini");
         return gameIn(tree);
     },
     -1, 800, 600, true, "ctrlConfig.ini is not a readable file"},
    {"BothSettingsFilesMissing",
     [](TempGameTree& tree, std::string&) {
         fs::remove(tree.workDir() + "/config.ini");
         fs::remove(tree.workDir() + "/ctrlConfig.ini");
         return gameIn(tree);
     },
     -1, 800, 600, true, "config.ini missing", true},
    {"DiskFullAndConfigIniMissing", onFullDisk, -1, 800, 600, true,
     "Could not write config.ini; settings kept in memory"},
    {"TinyWindow", [](TempGameTree& tree, std::string&) { return withSize(tree, 1, 1); }, -1, 320, 320, true,
     "Window size 1 x 1"},
    {"HugeWindow", [](TempGameTree& tree, std::string&) { return withSize(tree, 16384, 16384); }, -1, 8192,
     8192, false, "Window size 16384 x 16384"},
};

class HostileStartTest : public ::testing::TestWithParam<HostileStart> {
protected:
    void SetUp() override { ASSERT_TRUE(xserver.ok()) << "Xvfb did not start"; }
    PrivateXServer xserver;
    TempGameTree tree;
};

}  // namespace

TEST_P(HostileStartTest, StartsOrEndsCleanlyWithOneMessage)
{
    const HostileStart& c = GetParam();
    std::string skip;
    const std::vector<std::string> command = c.prepare(tree, skip);
    if (command.empty())
        GTEST_SKIP() << skip;
    ChildProcess game(command, tree.workDir(), tree.path("run.out"));
    const auto output = [&] { return readTextFile(tree.path("run.out")); };

    if (c.exitCode >= 0) {
        EXPECT_EQ(game.waitForExit(60), c.exitCode) << output();  // a signal reads as 128 + its number
        const std::string out = output();
        const size_t first = out.find(c.printed);
        ASSERT_NE(first, std::string::npos) << out;
        EXPECT_EQ(out.find(c.printed, first + 1), std::string::npos) << "printed twice:\n" << out;
        return;
    }

    WindowInfo window;
    ASSERT_TRUE(waitForWindow(game, window, 60)) << output();
    EXPECT_EQ(window.width, c.width);
    EXPECT_EQ(window.height, c.height);
    if (c.picture) {
        RgbImage image;
        EXPECT_TRUE(waitForPicture(window, image, 30)) << "the window stayed black";
    }
    EXPECT_TRUE(game.running()) << output();
    const std::string out = output();
    EXPECT_NE(out.find(c.printed), std::string::npos) << out;
    EXPECT_EQ(out.find("Cannot open file"), std::string::npos) << out;
    game.terminate();

    if (c.writesShipped) {
        for (const char* file : {"config.ini", "ctrlConfig.ini"})
            EXPECT_EQ(readTextFile(tree.workDir() + "/" + file), readTextFile(repoDataDir() + "/defaults/" + file))
                << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, HostileStartTest, ::testing::ValuesIn(kHostileStarts),
                         [](const ::testing::TestParamInfo<HostileStart>& info) { return info.param.name; });
