#include "core/ConfigManager.h"
#include "core/GameSettings.h"
#include "core/KeyBindings.h"
#include "core/ShippedDefaults.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

using testsupport::readTextFile;
using testsupport::TempGameTree;
using testsupport::writeTextFile;
namespace fs = std::filesystem;

namespace {
struct KeyBindingsFixture : ::testing::Test {
    TempGameTree tree{{"Bin/Game/config.ini"}};
    GameSettings settings;
    ConfigManager config{&settings, tree.workDir() + "/config.ini"};
    std::string path = tree.workDir() + "/ctrlConfig.ini";

    KeyBindings loadText(const std::string& text)
    {
        writeTextFile(path, text);
        KeyBindings k;
        EXPECT_TRUE(KeyBindings::load(&config, &k));
        return k;
    }
};

const char* const kDefaultFile =
    "[MainControls]\n"
    "AccelMain = 0\nAccelAlt = 0\nBrakeMain = 0\nBrakeAlt = 0\n"
    "RollRightMain = 0\nRollRightAlt = 0\nRollLeftMain = 0\nRollLeftAlt = 0\n"
    "PitchUpMain = 0\nPitchUpAlt = 0\nPitchDownMain = 0\nPitchDownAlt = 0\n"
    "YawRightMain = 0\nYawRightAlt = 0\nyawLeftMain = 0\nyawLeftAlt = 0\n"
    "BoresightMain = 0\nBoresightAlt = 0\nChangeLockMain = 0\nChangeLockAlt = 0\n"
    "RadarMain = 0\nRadarAlt = 0\nFireGunMain = 0\nFireGunAlt = 0\n"
    "FireSelectedweaponMain = 0\nFireSelectedweaponAlt = 0\nChangeweaponMain = 0\nChangeweaponAlt = 0\n";
}  // namespace

TEST_F(KeyBindingsFixture, MissingOrUnusableFileGivesTheShippedBindings)
{
    const KeyBindings shipped = loadText(shippedCtrlConfigIni());

    struct Case {
        const char* what;
        std::function<void()> make;
        bool fromFile;
    };
    const Case cases[] = {
        {"missing", [] {}, true},
        {"a folder", [&] { fs::create_directory(path); }, false},
        // Sparse, its start a usable section: refused on its size, never read.
        {"100 MB",
         [&] {
             writeTextFile(path, "[MainControls]\nRadarMain = 99\n");
             fs::resize_file(path, 100u << 20);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path);
        c.make();
        KeyBindings k;
        k.entry(KeyAction::Radar).mainCode = 99;  // loading replaces what was there
        EXPECT_EQ(KeyBindings::load(&config, &k), c.fromFile);
        for (int i = 0; i < KeyBindings::kActionCount; ++i) {
            EXPECT_EQ(k.entry(i).mainCode, shipped.entry(i).mainCode) << i;
            EXPECT_EQ(k.entry(i).altCode, shipped.entry(i).altCode) << i;
        }
        if (c.fromFile) {
            EXPECT_EQ(readTextFile(path), shippedCtrlConfigIni());
        } else {
            EXPECT_TRUE(fs::is_directory(path) || fs::file_size(path) == 100u << 20);  // left as it was
        }
    }
    fs::remove_all(path);
}

TEST_F(KeyBindingsFixture, DefaultTableIsSavedAsTheTwentyNineLines)
{
    KeyBindings k;
    ASSERT_TRUE(KeyBindings::save(&config, &k));
    EXPECT_EQ(readTextFile(path), kDefaultFile);
}

TEST_F(KeyBindingsFixture, SavedCodesReadBack)
{
    KeyBindings written;
    for (int i = 0; i < KeyBindings::kActionCount; ++i) {
        written.entry(i).mainCode = 2 + i;
        written.entry(i).altCode = 200 + i;
    }
    ASSERT_TRUE(KeyBindings::save(&config, &written));
    KeyBindings read;
    ASSERT_TRUE(KeyBindings::load(&config, &read));
    for (int i = 0; i < KeyBindings::kActionCount; ++i) {
        EXPECT_EQ(read.entry(i).mainCode, 2 + i) << i;
        EXPECT_EQ(read.entry(i).altCode, 200 + i) << i;
    }
}

TEST_F(KeyBindingsFixture, ValuesAreReadByExactKeyQuotedAndRangeChecked)
{
    const KeyBindings k = loadText(
        "[MainControls]\n"
        "FireGunMain = 57\n"
        "FireGunAlt = \"29\"\n"
        "YawLeftMain = 30\n"         // capital Y: not the key of yawLeft
        "RadarMain = 256\n"          // beyond any keyboard code
        "RadarAlt = -3\n"
        "BoresightMain = 255\n"
        "BrakeMain = S\n"
        "[Other]\nAccelMain = 17\n");  // wrong section
    EXPECT_EQ(k.entry(KeyAction::FireGun).mainCode, 57);
    EXPECT_EQ(k.entry(KeyAction::FireGun).altCode, 29);
    EXPECT_EQ(k.entry(KeyAction::yawLeft).mainCode, 0);
    EXPECT_EQ(k.entry(KeyAction::Radar).mainCode, 0);
    EXPECT_EQ(k.entry(KeyAction::Radar).altCode, 0);
    EXPECT_EQ(k.entry(KeyAction::Boresight).mainCode, 255);
    EXPECT_EQ(k.entry(KeyAction::Brake).mainCode, 0);
    EXPECT_EQ(k.entry(KeyAction::Accel).mainCode, 0);
}

TEST_F(KeyBindingsFixture, UnreadableAndUnwritableFiles)
{
    // A folder that does not exist: the file can be neither read nor created, so the shipped
    // bindings serve from memory.
    const KeyBindings shipped = loadText(shippedCtrlConfigIni());
    GameSettings s;
    ConfigManager nowhere(&s, tree.path("no/such/folder/config.ini"));
    KeyBindings k;
    k.entry(KeyAction::Radar).mainCode = 99;
    EXPECT_FALSE(KeyBindings::load(&nowhere, &k));
    EXPECT_EQ(k.entry(KeyAction::Radar).mainCode, shipped.entry(KeyAction::Radar).mainCode);
    EXPECT_FALSE(fs::exists(tree.path("no")));
    EXPECT_FALSE(KeyBindings::load(&config, nullptr));

    // Saving: nothing without bindings; a failed write keeps the old file whole.
    const std::string old = "[MainControls]\nFireGunMain = 57\n";
    writeTextFile(path, old);
    EXPECT_FALSE(KeyBindings::save(&config, nullptr));
    EXPECT_EQ(readTextFile(path), old);
    fs::create_directory(path + ".tmp");
    EXPECT_FALSE(KeyBindings::save(&config, &k));
    EXPECT_EQ(readTextFile(path), old);
    fs::remove(path + ".tmp");
    {
        testsupport::FullDisk full;
        EXPECT_FALSE(KeyBindings::save(&config, &k));
    }
    EXPECT_EQ(readTextFile(path), old);
}

TEST(ShippedKeyBindings, BindEveryActionToDistinctRealKeys)
{
    // The shipped file itself, not the build's copy (which a player may have changed).
    TempGameTree tree{{"Bin/Game/plugins.cfg"}};
    writeTextFile(tree.workDir() + "/ctrlConfig.ini", readTextFile(testsupport::repoDataDir() + "/defaults/ctrlConfig.ini"));
    GameSettings s;
    ConfigManager config(&s, tree.workDir() + "/config.ini");
    KeyBindings k;
    ASSERT_TRUE(KeyBindings::load(&config, &k));
    std::set<int> used;
    for (int i = 0; i < KeyBindings::kActionCount; ++i) {
        const KeyBindingEntry& e = k.entry(i);
        EXPECT_GE(e.mainCode, 1) << e.name;
        EXPECT_LE(e.mainCode, 237) << e.name;
        for (int code : {e.mainCode, e.altCode}) {
            if (code != 0) {
                EXPECT_TRUE(used.insert(code).second) << e.name << " reuses key " << code;
            }
        }
    }
}
