#include "core/ConfigManager.h"
#include "core/GameSettings.h"
#include "core/ShippedDefaults.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

using testsupport::readTextFile;
using testsupport::TempGameTree;
using testsupport::writeTextFile;
namespace fs = std::filesystem;

namespace {
struct ConfigFixture : ::testing::Test {
    TempGameTree tree{{"Bin/Game/config.ini"}};
    std::string path = tree.workDir() + "/config.ini";

    GameSettings readBack(const std::string& text)
    {
        writeTextFile(path, text);
        GameSettings s;
        ConfigManager(&s, path).readConfigIni();
        return s;
    }
};

GameSettings unusualSettings()
{
    GameSettings s;
    s.renderOptions["FSAA"] = "4";
    s.renderOptions["vsync"] = "true";
    s.renderOptions["colourDepth"] = "32";
    s.width = 1280;
    s.height = 720;
    s.fullscreen = false;
    s.GraficQuality = 3;
    s.ModelQuality = 1;
    s.TextureQuality = 4;
    s.WorldQuality = 2;
    s.EffectsQuality = 5;
    s.EffectsNumber = 6;
    s.Language = 2;
    s.SFXVolume = 90;
    s.VoiceVolume = -1;  // goes out as unsigned decimal and must still come back
    s.MusicVolume = 35;
    s.EnvironmentVolume = 0;
    s.ScoreServer = "127.0.0.1:8080";
    return s;
}

// A settings file of `bytes` whose start is a usable section: only its size makes it unusable.
void sparseFile(const std::string& path, uintmax_t bytes)
{
    writeTextFile(path, "[renderer]\nwidth = 640\n");
    fs::resize_file(path, bytes);
}

void expectSameSettings(const GameSettings& a, const GameSettings& b)
{
    EXPECT_EQ(a.renderOptions, b.renderOptions);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.fullscreen, b.fullscreen);
    EXPECT_EQ(a.GraficQuality, b.GraficQuality);
    EXPECT_EQ(a.ModelQuality, b.ModelQuality);
    EXPECT_EQ(a.TextureQuality, b.TextureQuality);
    EXPECT_EQ(a.WorldQuality, b.WorldQuality);
    EXPECT_EQ(a.EffectsQuality, b.EffectsQuality);
    EXPECT_EQ(a.EffectsNumber, b.EffectsNumber);
    EXPECT_EQ(a.Language, b.Language);
    EXPECT_EQ(a.SFXVolume, b.SFXVolume);
    EXPECT_EQ(a.VoiceVolume, b.VoiceVolume);
    EXPECT_EQ(a.MusicVolume, b.MusicVolume);
    EXPECT_EQ(a.EnvironmentVolume, b.EnvironmentVolume);
    EXPECT_EQ(a.ScoreServer, b.ScoreServer);
}
}  // namespace

TEST_F(ConfigFixture, WrittenFileHasTheLayoutAndReadsBackToTheSameValues)
{
    GameSettings written = unusualSettings();
    ASSERT_TRUE(ConfigManager(&written, path).writeConfigIni());
    EXPECT_EQ(readTextFile(path),
              "[renderer]\nwidth = 1280\nheight = 720\nFSAA = 4\ncolourDepth = 32\nvsync = true\n"
              "fullscreen = false\n\n[Display]\nGraficQuality = 3\nModelQuality = 1\nTextureQuality = 4\n"
              "WorldQuality = 2\nEffectsQuality = 5\nEffectsNumber = 6\nLanguage = 2\n\n[Sound]\n"
              "SFXVolume = 90\nVoiceVolume = 4294967295\nMusicVolume = 35\nEnvironmentVolume = 0\n\n"
              "[Network]\nScoreServer = 127.0.0.1:8080\n");
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    GameSettings read;
    ConfigManager(&read, path).readConfigIni();
    expectSameSettings(read, written);
}

TEST_F(ConfigFixture, AbsentKeysReadAsZeroFalseOrEmptyAndOtherKeysAreIgnored)
{
    const GameSettings s = readBack("[renderer]\nheight = 768\n\n[Sound]\nMasterVolume = 55\nSFXVolume = 40\n");
    EXPECT_EQ(s.width, 0u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.Language, 0u);
    EXPECT_EQ(s.TextureQuality, 0);
    EXPECT_EQ(s.SFXVolume, 40);
    EXPECT_EQ(s.MusicVolume, 0);
    const Ogre::NameValuePairList empty{{"FSAA", ""}, {"vsync", ""}, {"colourDepth", ""}};
    EXPECT_EQ(s.renderOptions, empty);
}

TEST_F(ConfigFixture, ScoreServerIsReadAsWrittenAndEmptyMeansOff)
{
    EXPECT_EQ(readBack("[Network]\nScoreServer = scores.example.org:8080\n").ScoreServer, "scores.example.org:8080");
    EXPECT_EQ(readBack("[Network]\nScoreServer=\"10.0.0.2\"\n").ScoreServer, "10.0.0.2");
    EXPECT_EQ(readBack("[Network]\nScoreServer =\n").ScoreServer, "");
    EXPECT_EQ(readBack("[Sound]\nScoreServer = h\n").ScoreServer, "");

    // The shipped file has no server, and an empty one is written back as it was.
    GameSettings shipped;
    writeTextFile(path, shippedConfigIni());
    ConfigManager(&shipped, path).readConfigIni();
    EXPECT_EQ(shipped.ScoreServer, "");
    ASSERT_TRUE(ConfigManager(&shipped, path).writeConfigIni());
    EXPECT_NE(readTextFile(path).find("\n[Network]\nScoreServer =\n"), std::string::npos);
}

TEST_F(ConfigFixture, KeysCountOnlyInTheirOwnSection)
{
    const GameSettings s = readBack("[Display]\nwidth = 1024\n[renderer]\nLanguage = 3\n");
    EXPECT_EQ(s.width, 0u);
    EXPECT_EQ(s.Language, 0u);
}

TEST_F(ConfigFixture, QuotedValuesAreStrippedBeforeParsing)
{
    const GameSettings s = readBack(
        "[renderer]\nwidth = \"1024\"\nheight=\"768\"\nFSAA = \"4\"\nvsync = \"true\"\nfullscreen = \"true\"\n"
        "[Display]\nLanguage = \"2\"\n[Sound]\nMusicVolume = \"-3\"\n");
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_EQ(s.renderOptions.at("FSAA"), "4");
    EXPECT_EQ(s.renderOptions.at("vsync"), "true");
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.Language, 2u);
    EXPECT_EQ(s.MusicVolume, -3);
}

TEST_F(ConfigFixture, UnparsableValuesReadAsZeroOrFalse)
{
    const GameSettings s = readBack("[renderer]\nwidth = wide\nfullscreen = maybe\n[Display]\nModelQuality = x2\n");
    EXPECT_EQ(s.width, 0u);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.ModelQuality, 0);
}

TEST(ShippedDefaults, AreTheDataFilesAsTheyStand)
{
    EXPECT_EQ(shippedConfigIni(), readTextFile(testsupport::repoDataDir() + "/defaults/config.ini"));
    EXPECT_EQ(shippedCtrlConfigIni(), readTextFile(testsupport::repoDataDir() + "/defaults/ctrlConfig.ini"));
}

TEST_F(ConfigFixture, UnusableFileGivesTheShippedSettingsAndOneLogLine)
{
    GameSettings shipped;
    writeTextFile(path, shippedConfigIni());
    ConfigManager(&shipped, path).readConfigIni();
    ASSERT_EQ(shipped.Language, 0u);  // the first language, not the constructor's 1
    ASSERT_GT(shipped.MusicVolume, 0);

    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* logged;
        bool writesShipped;
        size_t lines = 1;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, "missing: wrote the default settings", true},
        {"a folder", [](const std::string& p) { fs::create_directory(p); }, "not a readable file", false},
        {"a pipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "not a readable file",
         false},
        // The disk refuses the new file: the settings still come from memory, not the disk.
        {"missing and unwritable",
         [](const std::string& p) { fs::create_directory(p + ".tmp"); }, "Could not write", false, 2},
        {"past 1 MB",
         [](const std::string& p) { writeTextFile(p, "[renderer]\nwidth = 640\n" + std::string(1 << 20, '\n')); },
         "is larger than 1 MB", false},
        // Sparse: refused on its size alone; a reader that took the whole file first could not.
        {"100 MB", [](const std::string& p) { sparseFile(p, 100ull << 20); }, "is larger than 1 MB", false},
        {"64 GB", [](const std::string& p) { sparseFile(p, 64ull << 30); }, "is larger than 1 MB", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path);
        fs::remove_all(path + ".tmp");
        c.make(path);
        testsupport::LogCapture log;
        GameSettings s;
        s.width = 1;  // every value is replaced
        ConfigManager(&s, path).readConfigIni();
        expectSameSettings(s, shipped);
        EXPECT_EQ(log.lines().size(), c.lines);
        EXPECT_EQ(log.count(c.logged), 1u);
        if (c.writesShipped) {
            EXPECT_EQ(readTextFile(path), shippedConfigIni());
        } else if (fs::is_regular_file(path)) {
            EXPECT_GT(fs::file_size(path), 1u << 20);  // the player's own file is left alone
        }
    }
    fs::remove_all(path + ".tmp");
}

TEST_F(ConfigFixture, RenderOptionsAreNormalisedWhenWritten)
{
    struct Case {
        const char* fsaa;
        const char* depth;
        const char* vsync;
        const char* expected;
    };
    const Case cases[] = {
        {"3", "24", "yes", "FSAA = 0\ncolourDepth = 32\nvsync = true\n"},
        {"8", "16", "false", "FSAA = 8\ncolourDepth = 16\nvsync = false\n"},
        {"6", "8", "on", "FSAA = 6\ncolourDepth = 16\nvsync = true\n"},
        {"16", "17", "nope", "FSAA = 0\ncolourDepth = 32\nvsync = false\n"},
        {"", "", "", "FSAA = 0\ncolourDepth = 16\nvsync = false\n"},
    };
    for (const Case& c : cases) {
        GameSettings s;
        s.renderOptions = {{"FSAA", c.fsaa}, {"colourDepth", c.depth}, {"vsync", c.vsync}};
        ASSERT_TRUE(ConfigManager(&s, path).writeConfigIni());
        EXPECT_NE(readTextFile(path).find(c.expected), std::string::npos) << c.fsaa << " " << c.depth << " " << c.vsync;
    }

    // A map that lacks an option gets it back empty, as after reading a file without it.
    GameSettings s;
    s.renderOptions.clear();
    ASSERT_TRUE(ConfigManager(&s, path).writeConfigIni());
    EXPECT_EQ(s.renderOptions.size(), 3u);
    EXPECT_EQ(s.renderOptions["vsync"], "");
}

TEST_F(ConfigFixture, FailedWriteKeepsTheOldFile)
{
    const std::string old = "[renderer]\nwidth = 1024\nheight = 768\n";
    writeTextFile(path, old);
    GameSettings s = unusualSettings();

    // No settings: nothing is written.
    EXPECT_FALSE(ConfigManager(nullptr, path).writeConfigIni());
    EXPECT_EQ(readTextFile(path), old);

    // The temporary file cannot be created (as in a read-only folder).
    fs::create_directory(path + ".tmp");
    EXPECT_FALSE(ConfigManager(&s, path).writeConfigIni());
    EXPECT_EQ(readTextFile(path), old);
    fs::remove(path + ".tmp");

    // The disk fills up while writing.
    {
        testsupport::FullDisk full;
        EXPECT_FALSE(ConfigManager(&s, path).writeConfigIni());
    }
    EXPECT_EQ(readTextFile(path), old);
}

TEST(WindowSize, ClampsEachSideAndFallsBackWithoutASize)
{
    struct Case {
        uint32_t width, height, expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {1024, 768, 1024, 768},
        {320, 8192, 320, 8192},
        {1, 1, 320, 320},
        {319, 600, 320, 600},
        {16384, 16384, 8192, 8192},
        {8193, 600, 8192, 600},
        // No size at all: absent or unreadable (0), or negative in the file.
        {0, 768, 800, 600},
        {1024, 0, 800, 600},
        {static_cast<uint32_t>(-5), 768, 800, 600},
    };
    for (const Case& c : cases) {
        GameSettings s;
        s.width = c.width;
        s.height = c.height;
        const WindowSize w = windowSizeFor(s);
        EXPECT_EQ(w.width, c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(w.height, c.expectedHeight) << c.width << "x" << c.height;
        EXPECT_EQ(s.width, c.width);  // the settings keep what was read
    }
}

TEST(ConfigManagerPaths, KeyBindingsLieBesideTheConfigFile)
{
    GameSettings s;
    EXPECT_EQ(ConfigManager(&s).keyBindingsPath(), "ctrlConfig.ini");
    EXPECT_EQ(ConfigManager(&s, "/tmp/a/config.ini").keyBindingsPath(), "/tmp/a/ctrlConfig.ini");
}
