#include "DefinitionTestTree.h"

#include "GameObjectDefinitionCheck.h"

#include "definitions/AirObjParams.h"
#include "definitions/DificultyData.h"
#include "definitions/GroundObjParams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {
// Runs the data builder in a tree; its exit code and what it printed.
int runBuilder(const testsupport::TempGameTree& tree, std::string& output)
{
    const std::string log = tree.path("builder.txt");
    const std::string cmd = "cd '" + tree.workDir() + "' && '" + DATABUILDER_EXECUTABLE + "' '" + REPO_DATA_DIR +
                            "' > '" + log + "' 2>&1";
    const int status = std::system(cmd.c_str());
    output = testsupport::readTextFile(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A definition of the game tree loads from its cache with the values of its source.
template <class T>
void expectSameAsSource(const std::string& name)
{
    SCOPED_TRACE(name);
    T fromSource(name);
    ASSERT_TRUE(fromSource.readIni());
    const T fromCache(name);
    ASSERT_TRUE(fromCache.cacheLoaded());
    expectSameObjectFields(fromSource, fromCache);
}
}  // namespace

TEST(DataBuilder, GameTreeCarriesCachesBuiltFromItsSources)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    DificultyData fromSource, fromCache;
    ASSERT_TRUE(fromSource.readIni());
    ASSERT_TRUE(fromCache.readCache());
    EXPECT_EQ(fromCache.aiOvRestFireL, fromSource.aiOvRestFireL);
    EXPECT_EQ(fromCache.aiOvRestFireLadd, fromSource.aiOvRestFireLadd);
    EXPECT_EQ(fromCache.aiOvRestFireH, fromSource.aiOvRestFireH);
    EXPECT_EQ(fromCache.aiOvRestFireHadd, fromSource.aiOvRestFireHadd);

    expectSameAsSource<GroundObjParams>("bastion");
    expectSameAsSource<AirObjParams>("kestrel");
}

TEST(DataBuilder, RebuildsSourcesAndRefusesUnknownClasses)
{
    testsupport::TempGameTree tree{"Bin/Game/plugins.cfg", "Data/GamePlay"};
    std::filesystem::remove(tree.path("Data/System/Dificulty.ZVD"));
    testsupport::writeTextFile(tree.path("Data/GamePlay/notes.ini"), "[Data]\nx = 1\n");

    std::string output;
    ASSERT_EQ(runBuilder(tree, output), 0) << output;
    EXPECT_TRUE(std::filesystem::exists(tree.path("Data/System/Dificulty.ZVD"))) << output;
    EXPECT_NE(output.find("notes.ini names no [Build] Class"), std::string::npos) << output;

    testsupport::writeTextFile(tree.path("Data/GamePlay/odd.ini"), "[Build]\nClass = NoSuchParams\n");
    EXPECT_NE(runBuilder(tree, output), 0);
    EXPECT_NE(output.find("odd.ini: unknown class 'NoSuchParams'"), std::string::npos) << output;
}
