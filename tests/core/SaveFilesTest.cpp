// The files the game saves (settings, key bindings, profile, campaign progress, a record table),
// written on their real paths in a copy of the game tree with links, folders and leftovers planted
// beside them.
#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/ConfigManager.h"
#include "core/GameSettings.h"
#include "core/KeyBindings.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "play/RecordTable.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <unistd.h>

using testsupport::readTextFile;
using testsupport::writeTextFile;
namespace fs = std::filesystem;

namespace {

struct Writer {
    const char* file;  // relative to Bin/Game
    std::function<bool()> save;
};

// Every temporary name beside `file` that is still there.
std::vector<std::string> leftovers(const std::string& file)
{
    std::vector<std::string> found;
    const std::string stem = fs::path(file).filename().string() + ".tmp";
    const fs::path folder = fs::path(file).has_parent_path() ? fs::path(file).parent_path() : fs::path(".");
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(stem, 0) == 0)
            found.push_back(e.path().filename().string());
    return found;
}

class SaveFiles : public ::testing::Test {
protected:
    testsupport::TempGameTree tree{{"Bin/Game/config.ini", "Data/System/GMode.Dat", "Data/System/GCampA.TCD"}};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    // Outside the game tree: nothing may ever be written there.
    const fs::path outside = fs::temp_directory_path() / ("vantorel_outside_" + std::to_string(::getpid()));
    GameSettings settings;
    ConfigManager config{&settings, "config.ini"};
    KeyBindings bindings;
    RandomGenerator random;

    void SetUp() override
    {
        fs::create_directories(outside);
        settings.width = 1024;
    }
    void TearDown() override { fs::remove_all(outside); }

    std::vector<Writer> writers()
    {
        return {
            {"config.ini", [this] { return config.writeConfigIni(); }},
            {"ctrlConfig.ini", [this] { return KeyBindings::save(&config, &bindings); }},
            {"../../Saves/Pilot_Game.ZVP",
             [this] {
                 PlayerProfile p("Pilot", &random);
                 return p.tablesLoaded() && p.save();
             }},
            {"../../Saves/Pilot_Chall.DAT",
             [this] {
                 CampaignData c("TcData", "Pilot", PlayerProfile::readLanguageCount());
                 return c.catalogueLoaded() && c.saveProgress();
             }},
            {"Data1.dat", [] { return RecordTable(nullptr, "Data1.dat").save(); }},
        };
    }
};

}  // namespace

TEST_F(SaveFiles, PlantedLinksAreNeverFollowedAndLeftoversGo)
{
    struct Plant {
        const char* what;
        std::function<void(const std::string& file, const fs::path& target)> make;
    };
    const Plant plants[] = {
        {"a link under the old temporary name",
         [](const std::string& f, const fs::path& t) { fs::create_symlink(t, f + ".tmp"); }},
        {"a link under a unique temporary name",
         [](const std::string& f, const fs::path& t) { fs::create_symlink(t, f + ".tmp.abc123"); }},
        {"a dangling link", [](const std::string& f, const fs::path& t) { fs::create_symlink(t.string() + "-no", f + ".tmp"); }},
        {"the file itself a link", [](const std::string& f, const fs::path& t) { fs::create_symlink(t, f); }},
        {"leftovers of a crash",
         [](const std::string& f, const fs::path&) {
             writeTextFile(f + ".tmp", "half");
             writeTextFile(f + ".tmp.x1y2z3", "half");
         }},
    };
    for (const Writer& w : writers()) {
        for (const Plant& p : plants) {
            SCOPED_TRACE(std::string(w.file) + ": " + p.what);
            fs::remove_all(w.file);
            const fs::path target = outside / "victim.txt";
            writeTextFile(target.string(), "outside");
            p.make(w.file, target);

            EXPECT_TRUE(w.save());
            EXPECT_EQ(readTextFile(target.string()), "outside");
            EXPECT_FALSE(fs::exists(target.string() + "-no"));
            EXPECT_EQ(fs::symlink_status(w.file).type(), fs::file_type::regular);
            EXPECT_GT(fs::file_size(w.file), 20u);
            EXPECT_EQ(leftovers(w.file), std::vector<std::string>{});
        }
    }
}

TEST_F(SaveFiles, AFolderInTheWayIsReportedAndTheOldFileKept)
{
    for (const Writer& w : writers()) {
        const std::string tmp = std::string(w.file) + ".tmp";
        {
            SCOPED_TRACE(std::string(w.file) + ": a folder under the temporary name");
            fs::remove_all(w.file);
            ASSERT_TRUE(w.save());
            const std::string old = readTextFile(w.file);
            fs::create_directory(tmp);
            testsupport::LogCapture log;
            EXPECT_FALSE(w.save());
            EXPECT_GE(log.count("A folder is in the way of saving"), 1u);
            EXPECT_EQ(readTextFile(w.file), old);
            EXPECT_EQ(leftovers(w.file), std::vector<std::string>{fs::path(tmp).filename().string()});
            fs::remove_all(tmp);
        }
        {
            SCOPED_TRACE(std::string(w.file) + ": a folder as the file");
            fs::remove_all(w.file);
            fs::create_directory(w.file);
            writeTextFile(std::string(w.file) + "/inside", "the player's");
            testsupport::LogCapture log;
            EXPECT_FALSE(w.save());
            EXPECT_GE(log.count(fs::path(w.file).filename().string()), 1u);
            EXPECT_EQ(readTextFile(std::string(w.file) + "/inside"), "the player's");
            EXPECT_EQ(leftovers(w.file), std::vector<std::string>{});
            fs::remove_all(w.file);
        }
    }
}

TEST_F(SaveFiles, AFullDiskKeepsTheOldFileWhole)
{
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.file);
        ASSERT_TRUE(w.save());
        const std::string old = readTextFile(w.file);
        bool saved = true;
        {
            testsupport::FullDisk full(8);
            saved = w.save();
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(readTextFile(w.file), old);
        EXPECT_EQ(leftovers(w.file), std::vector<std::string>{});
    }
}

TEST(SetFileAside, NeverReplacesAnEarlierCopy)
{
    testsupport::TempGameTree tree{{"Bin/Game/config.ini"}};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    for (const char* text : {"first", "second", "third"}) {
        writeTextFile("damaged.dat", text);
        EXPECT_NE(setFileAside("damaged.dat"), "");
        EXPECT_FALSE(fs::exists("damaged.dat"));
    }
    EXPECT_EQ(readTextFile("damaged.dat.bak"), "first");
    EXPECT_EQ(readTextFile("damaged.dat.bak2"), "second");
    EXPECT_EQ(readTextFile("damaged.dat.bak3"), "third");

    // Nothing to move, or a folder: nothing moves.
    EXPECT_EQ(setFileAside("missing.dat"), "");
    fs::create_directory("folder.dat");
    EXPECT_EQ(setFileAside("folder.dat"), "");
    EXPECT_TRUE(fs::is_directory("folder.dat"));
    EXPECT_FALSE(fs::exists("folder.dat.bak"));
}
