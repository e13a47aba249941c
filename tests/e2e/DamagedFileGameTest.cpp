// The whole game, in process under Xvfb, with one shipped file of its tree damaged: the title,
// the main menu and a free play either run or the game ends the way it ends on an engine error
// (the exception that the program turns into its fatal message and exit code 1). A crash, an
// abort or a hang ends this test program instead, and fails it.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every fifth byte past the first sixteen garbled: reals turn into NaN or huge values, counts and
// lengths into huge ones, names into names of nothing; the header stays the file's own.
void garble(const std::string& path)
{
    std::vector<char> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (size_t i = 16; i < bytes.size(); i += 5)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xA5);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DamagedFileGame : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(DamagedFileGame, TitleMenuAndAFreePlayRunOrEndWithTheFatalMessage)
{
    const std::string file = GetParam();
    testsupport::HarnessOptions options;
    options.prepareTree = [&](const std::string& workDir) {
        const std::string path = workDir + "/../../" + file;
        ASSERT_TRUE(fs::exists(path)) << path;
        garble(path);
    };
    try {
        testsupport::GameHarness game(options);
        ASSERT_TRUE(game.enterMainMenu("Pilot"));
        GS_PlayOnly* play = testsupport::startFreePlay(game, "Pilot");
        // A damaged mode or map may end the play early; the game goes on either way.
        game.runFrames(180);
        if (play && game.stateAs<GS_PlayOnly>() == play) {
            EXPECT_NE(play->playData, nullptr);
        }
        EXPECT_FALSE(game.loopEnded());
    } catch (const std::exception& e) {
        // The program ends here with "An exception has occured!" and exit code 1.
        SUCCEED() << "ended with the fatal message: " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, DamagedFileGame,
                         // One file of each part of a start into play; the file fuzz program
                         // takes every kind through a headless play.
                         ::testing::Values("Data/System/Town.ZVS", "Data/System/abrams.ZVO",
                                           "Data/System/ArcadeMode.ZVG", "Data/System/GMode.Dat",
                                           "Data/Meshes/abrams_hull.mesh", "Data/System/Core.pak"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = fs::path(info.param).filename().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
