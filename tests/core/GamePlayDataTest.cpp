#include "core/BinaryIO.h"
#include "core/GamePlayData.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"

#include <OgreConfigFile.h>
#include <OgreStringConverter.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;

namespace {
struct SettingsFile {
    uint32_t magic = GamePlayData::kSettingsMagic;
    uint32_t reserved = 0xDEADBEEF;
    float values[6] = {0.3f, 80.0f, 1.5f, 2.0f, 7.0f, 5.0f};
    std::string mesh = "Bubble.mesh";
    float timeFactor = 0.25f;
    float radius = 40.0f;
    std::string reactor = "BubbleGlow";

    std::vector<uint8_t> bytes() const
    {
        BinaryWriter w;
        w.writeU32(magic);
        w.writeU32(reserved);
        for (float v : values)
            w.writeF32(v);
        writeBinString(w, mesh);
        w.writeF32(timeFactor);
        w.writeF32(radius);
        writeBinString(w, reactor);
        return w.bytes();
    }
};

std::string writeFile(const TempGameTree& tree, const std::vector<uint8_t>& bytes)
{
    const std::string path = tree.path("Data/System/GPset.Dat");
    EXPECT_TRUE(writeFileAtomically(path, bytes.data(), bytes.size()));
    return path;
}

void expectDefaults(const GamePlayData& d)
{
    EXPECT_EQ(d.doubleTapWindow(), 0.0f);
    EXPECT_EQ(d.projFloatPitchRate(), 0.0f);
    EXPECT_EQ(d.projFloatHeight(), 0.0f);
    EXPECT_EQ(d.turboTimeFactor(), 1.0f);  // never 0: a vehicle in turbo would freeze
    EXPECT_EQ(d.ovniHoverHeight(), 0.0f);
    EXPECT_EQ(d.ovniHoverSpeed(), 0.0f);
    EXPECT_EQ(d.getBubbleMeshName(), "");
    EXPECT_EQ(d.getPlayReactorName(), "");
    EXPECT_EQ(d.bubble.timeFactor, 1.0f);
    EXPECT_EQ(d.bubble.radius, 1.0f);
    EXPECT_EQ(d.bubble.scale, 1.0f);
}
}  // namespace

TEST(GamePlayData, WithoutTheFileEverythingKeepsItsDefaults)
{
    TempGameTree tree{{"Bin/Game/config.ini"}};
    ScopedWorkDir cwd(tree.workDir());
    testsupport::LogCapture log;
    GamePlayData d;
    expectDefaults(d);
    // Default tuning is never silent: one line names the file.
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.count(GamePlayData::kSettingsPath), 1u);
    EXPECT_EQ(d.killMultiplier, 1.0f);
    EXPECT_EQ(d.BorderScale, 1.0f);
    EXPECT_EQ(d.MoveMultiplyer, 1.0f);
    EXPECT_EQ(d.resultCaption, "Clear");
    EXPECT_EQ(d.playPhase, 0u);
    EXPECT_EQ(d.spawnRequest.pending, 0);
    EXPECT_EQ(d.spawnRequest.orientation, Ogre::Quaternion(0, 0, 0, 0));
}

TEST(GamePlayData, ReadsTheFileAndSkipsTheReservedWord)
{
    TempGameTree tree{{"Bin/Game/config.ini"}};
    SettingsFile file;
    std::vector<uint8_t> bytes = file.bytes();
    bytes.insert(bytes.end(), {1, 2, 3});  // trailing bytes are ignored
    writeFile(tree, bytes);
    ScopedWorkDir cwd(tree.workDir());
    GamePlayData d;
    EXPECT_EQ(d.doubleTapWindow(), 0.3f);  // the third word of the file
    EXPECT_EQ(d.projFloatPitchRate(), 80.0f);
    EXPECT_EQ(d.projFloatHeight(), 1.5f);
    EXPECT_EQ(d.turboTimeFactor(), 2.0f);
    EXPECT_EQ(d.ovniHoverHeight(), 7.0f);
    EXPECT_EQ(d.projFloatClimbRate(), 5.0f);
    EXPECT_EQ(d.ovniHoverSpeed(), 5.0f);
    EXPECT_EQ(d.getBubbleMeshName(), "Bubble.mesh");
    EXPECT_EQ(d.bubble.timeFactor, 0.25f);
    EXPECT_EQ(d.bubble.radius, 40.0f);
    EXPECT_EQ(d.bubble.scale, 1.0f);
    EXPECT_EQ(d.getPlayReactorName(), "BubbleGlow");
}

TEST(GamePlayData, DamagedFilesKeepTheDefaults)
{
    TempGameTree tree{{"Bin/Game/config.ini"}};
    const std::vector<uint8_t> good = SettingsFile{}.bytes();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    SettingsFile wrongMagic;
    wrongMagic.magic = 7375;
    cases.push_back({"wrong magic", wrongMagic.bytes()});
    for (size_t cut : {size_t(0), size_t(6), size_t(20), size_t(40), good.size() - 10, good.size() - 1})
        cases.push_back({"cut short", std::vector<uint8_t>(good.begin(), good.begin() + cut)});
    std::vector<uint8_t> huge = good;
    huge[32] = huge[33] = huge[34] = huge[35] = 0xFF;  // the mesh name's length
    cases.push_back({"huge string length", huge});
    SettingsFile nan;
    nan.values[3] = std::numeric_limits<float>::quiet_NaN();
    cases.push_back({"not a number", nan.bytes()});

    testsupport::LogCapture log;
    for (const Case& c : cases) {
        const std::string path = writeFile(tree, c.bytes);
        GamePlayData d;  // no file in the test's own folder: defaults
        log.clear();
        EXPECT_FALSE(d.loadSettings(path)) << c.what;
        expectDefaults(d);
        EXPECT_EQ(log.lines().size(), 1u) << c.what;
        EXPECT_EQ(log.count(path + "; default tuning in use"), 1u) << c.what;
    }
}

TEST(GamePlayData, BuiltFileHoldsTheValuesOfItsSource)
{
    Ogre::ConfigFile source;
    source.loadDirect(testsupport::repoDataDir() + "/tables/GPset.ini", "\t:=", true);
    auto number = [&](const char* section, const char* key) {
        return Ogre::StringConverter::parseReal(source.getSetting(key, section, "nan"));
    };

    ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    GamePlayData d;
    EXPECT_EQ(d.doubleTapWindow(), number("PlaySettings", "DoubleTapWindow"));
    EXPECT_EQ(d.projFloatPitchRate(), number("PlaySettings", "ProjFloatPitchRate"));
    EXPECT_EQ(d.projFloatHeight(), number("PlaySettings", "ProjFloatHeight"));
    EXPECT_EQ(d.turboTimeFactor(), number("PlaySettings", "TurboTimeFactor"));
    EXPECT_EQ(d.ovniHoverHeight(), number("PlaySettings", "OvniHoverHeight"));
    EXPECT_EQ(d.ovniHoverSpeed(), number("PlaySettings", "VerticalFloatSpeed"));
    EXPECT_EQ(d.bubble.timeFactor, number("SlowTimeBubble", "TimeFactor"));
    EXPECT_EQ(d.bubble.radius, number("SlowTimeBubble", "Radius"));
    EXPECT_EQ(d.getBubbleMeshName(), source.getSetting("Mesh", "SlowTimeBubble"));
    EXPECT_EQ(d.getPlayReactorName(), source.getSetting("PlayReactor", "SlowTimeBubble"));
    EXPECT_GT(d.turboTimeFactor(), 0.0f);
}

TEST(GamePlayData, ClearArraysEmptiesEveryTableAndMayRunTwice)
{
    GamePlayData d;
    d.mechaVars.resize(3);
    d.ovniTypes.resize(2);
    d.ovniTypes[0].rows.resize(4);
    d.intervalPickupTypes.resize(1);
    d.intervalPickupTypes[0].rows.resize(4);
    d.timePickupTypes.resize(2);
    d.areaRows.assign(2, std::vector<AreaMechaEffects>(4));
    for (int i = 0; i < 2; ++i) {
        d.clearArrays();
        EXPECT_EQ(d.numMechaVars(), 0u);
        EXPECT_EQ(d.numOvniTypes(), 0u);
        EXPECT_EQ(d.numIntervalPickupTypes(), 0u);
        EXPECT_EQ(d.numTimePickupTypes(), 0u);
        EXPECT_EQ(d.numAreas(), 0u);
    }
}
