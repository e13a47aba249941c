#include "DefinitionTestTree.h"

#include "GameObjectDefinitionCheck.h"

#include "definitions/AirObjParams.h"
#include "definitions/DificultyData.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"

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
    expectSameAsSource<GroundVehiParams>("abrams");
    expectSameAsSource<GroundVehiParams>("marauder");
    expectSameAsSource<OvniParams>("wisp");
    expectSameAsSource<OvniParams>("monolith");
}

TEST(DataBuilder, EveryGameObjectOfTheTreeLoadsByNameAndKind)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    GOParamsLibrary lib(nullptr);
    EXPECT_NE(lib.getParams("bastion", GameObjectKind::GroundObject), nullptr);
    EXPECT_NE(lib.getParams("kestrel", GameObjectKind::AirObject), nullptr);
    EXPECT_NE(lib.getParams("marauder", GameObjectKind::GroundVehicle), nullptr);

    // The player's vehicle: two treads of two wheels, a turret, a main weapon, dash and sounds.
    const auto* abrams = dynamic_cast<GroundVehiParams*>(lib.getParams("abrams", GameObjectKind::GroundVehicle));
    ASSERT_NE(abrams, nullptr);
    ASSERT_EQ(abrams->getNumTreads(), 2u);
    EXPECT_EQ(abrams->Treads[0].getNumWheels(), 2u);
    EXPECT_EQ(abrams->Treads[1].getNumWheels(), 2u);
    EXPECT_TRUE(abrams->hasTurret);
    EXPECT_FALSE(isAbsentName(abrams->getTurretMesh()));
    EXPECT_TRUE(abrams->HasMainWeapon);
    EXPECT_FALSE(isAbsentName(abrams->MainWeapon));
    EXPECT_GT(abrams->JumpDashRange, 0.0f);
    EXPECT_FALSE(isAbsentName(abrams->getDashReactor()));
    EXPECT_FALSE(isAbsentName(abrams->getEngineSound()));
    EXPECT_FALSE(isAbsentName(abrams->getDashSound()));
    EXPECT_FALSE(isAbsentName(abrams->getCrashSound()));

    // A light and a heavy Ovni.
    const auto* wisp = dynamic_cast<OvniParams*>(lib.getParams("wisp", GameObjectKind::Ovni));
    const auto* monolith = dynamic_cast<OvniParams*>(lib.getParams("monolith", GameObjectKind::Ovni));
    ASSERT_NE(wisp, nullptr);
    ASSERT_NE(monolith, nullptr);
    EXPECT_LT(wisp->HP, monolith->HP);

    // The emplacement has an armed part and a passive one.
    const goParams* bastion = lib.find("bastion");
    ASSERT_EQ(bastion->getNumSubObjs(), 2u);
    EXPECT_EQ(bastion->subObjs[0].subObj_Type, 1u);
    EXPECT_FALSE(isAbsentName(bastion->subObjs[0].MainWeapName));
    EXPECT_EQ(bastion->subObjs[1].subObj_Type, 0u);
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
