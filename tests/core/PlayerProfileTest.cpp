#include "core/BinaryIO.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <OgreConfigFile.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;
namespace fs = std::filesystem;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// A small mode table, written in the layout the profile reads.
struct FixtureMode {
    std::string name;
    bool locked = false;
    uint32_t compareType = ResultLess;
    bool unlockByResult = false;
    uint32_t refMode = 0, unlockCompare = 0;
    float threshold = 0.0f;
    bool unlockByPlays = false;
    uint32_t refMode2 = 0, requiredPlays = 0;
    bool unlockByLevel = false;
    uint32_t requiredLevel = 0;
};

std::vector<uint8_t> modeTableBytes(const std::vector<std::string>& languages, const std::vector<FixtureMode>& modes)
{
    BinaryWriter w;
    w.writeU32(PlayerProfile::kModeTableMagic);
    w.writeU32(static_cast<uint32_t>(languages.size()));
    for (const std::string& lang : languages)
        for (uint32_t i = 0; i < UiTextTable::kTextCount; ++i)
            writeBinString(w, lang + "#" + std::to_string(i));
    w.writeU32(static_cast<uint32_t>(modes.size()));
    for (const FixtureMode& m : modes) {
        writeBinString(w, m.name);
        w.writeBool(m.locked);
        writeBinString(w, m.name + "2");
        w.writeU32(m.compareType);
        for (const std::string& lang : languages) {
            writeBinString(w, lang + " " + m.name);
            writeBinString(w, lang + " play " + m.name);
            writeBinString(w, lang + " unlock " + m.name);
        }
        w.writeBool(m.unlockByResult);
        w.writeU32(m.refMode);
        w.writeU32(m.unlockCompare);
        w.writeF32(m.threshold);
        w.writeBool(m.unlockByPlays);
        w.writeU32(m.refMode2);
        w.writeU32(m.requiredPlays);
        w.writeBool(m.unlockByLevel);
        w.writeU32(m.requiredLevel);
    }
    return w.bytes();
}

// Mode 0 open; 1 by result (mode 0 best reaching 100); 2 by plays (mode 0 finished twice);
// 3 by level 0 (open at once); 4 with no rule; 5 by result of a mode that does not exist.
std::vector<FixtureMode> fixtureModes()
{
    std::vector<FixtureMode> m(6);
    m[0].name = "Open";
    m[1] = {"ByResult", true, ResultLess, true, 0, ResultLessOrEqual, 100.0f};
    m[2].name = "ByPlays";
    m[2].locked = true;
    m[2].unlockByPlays = true;
    m[2].refMode2 = 0;
    m[2].requiredPlays = 2;
    m[3].name = "ByLevel";
    m[3].locked = true;
    m[3].unlockByLevel = true;
    m[4].name = "Never";
    m[4].locked = true;
    m[5] = {"BadRef", true, ResultLess, true, 77, ResultLessOrEqual, 0.0f, true, 99, 0};
    return m;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(writeFileAtomically(path, bytes.data(), bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    const std::string s = testsupport::readTextFile(path);
    return {s.begin(), s.end()};
}

// A temporary game tree with the fixture mode table, entered for the test's life.
struct ProfileTree {
    TempGameTree tree{{"Bin/Game/resources.cfg"}};
    ScopedWorkDir dir{tree.workDir()};
    RandomGenerator random;

    explicit ProfileTree(const std::vector<uint8_t>& table = modeTableBytes({"en", "es"}, fixtureModes()))
    {
        random.seed(7);
        writeBytes(PlayerProfile::modeTablePath(), table);
    }
    std::string profileFile(const std::string& name) const { return PlayerProfile::profilePath(name); }
};

}  // namespace

TEST(ResultCompare, CodesAndNaN)
{
    struct Case {
        uint32_t code;
        float a, b;
        bool better;
    };
    const Case cases[] = {
        {1, 1, 2, true},  {1, 2, 2, false}, {1, 3, 2, false},  //
        {2, 3, 2, true},  {2, 2, 2, false}, {2, 1, 2, false},  //
        {3, 1, 2, true},  {3, 2, 2, true},  {3, 3, 2, false},  //
        {4, 3, 2, true},  {4, 2, 2, true},  {4, 1, 2, false},  //
        {0, 2, 2, true},  {0, 1, 2, false}, {9, 2, 2, true},   // any other code: equality
    };
    for (const Case& c : cases)
        EXPECT_EQ(isResultBetter(c.code, c.a, c.b), c.better) << c.code << " " << c.a << " " << c.b;
    for (uint32_t code = 0; code <= 5; ++code) {
        EXPECT_FALSE(isResultBetter(code, kNaN, 1.0f)) << code;
        EXPECT_FALSE(isResultBetter(code, 1.0f, kNaN)) << code;
        EXPECT_FALSE(isResultBetter(code, kNaN, kNaN)) << code;
    }
}

// The table the data builder wrote from data/tables/GMode.ini reads back with every text and mode.
TEST(GameModeTable, BuiltTableMatchesItsSource)
{
    TempGameTree tree({"Data/System/GMode.Dat"});
    ScopedWorkDir dir(tree.workDir());
    RandomGenerator random;
    PlayerProfile profile("Reader", &random);
    ASSERT_TRUE(profile.tablesLoaded());

    Ogre::ConfigFile src;
    src.load(testsupport::repoDataDir() + "/tables/GMode.ini", "=", true);
    const auto text = [&](const std::string& section, const std::string& key) {
        std::string v = src.getSetting(key, section);
        EXPECT_GE(v.size(), 2u) << section << " " << key;
        return v.size() < 2 ? v : platform::utf8ToCp1252(v.substr(1, v.size() - 2));
    };
    const auto number = [&](const std::string& section, const std::string& key) {
        return std::stoul(src.getSetting(key, section));
    };

    ASSERT_EQ(profile.getLanguageCount(), 2u);
    for (uint32_t l = 0; l < profile.getLanguageCount(); ++l)
        for (uint32_t i = 0; i < UiTextTable::kTextCount; ++i)
            EXPECT_EQ(profile.getText(l, static_cast<UiTextId>(i)), text("Texts_" + std::to_string(l), std::to_string(i)))
                << l << " " << i;

    const char* menuTitles[] = {"Arcade Mode",       "Time Attack Mode",  "Survival Mode",
                                "Vampire Mode",      "Colour Combo Mode", "Close Combat Mode"};
    ASSERT_EQ(profile.getModeCount(), 6u);
    for (uint32_t i = 0; i < 6; ++i) {
        const std::string s = "Mode_" + std::to_string(i);
        const GameModeDef& m = *profile.getMode(i);
        EXPECT_EQ(profile.getModeTitle(0, i), menuTitles[i]);
        EXPECT_EQ(m.name, text(s, "Name"));
        EXPECT_EQ(m.secondName, text(s, "SecondName"));
        EXPECT_EQ(m.compareType, number(s, "Compare"));
        EXPECT_EQ(m.unlockByResult, number(s, "UnlockByResult") == 1);
        EXPECT_EQ(m.refMode, number(s, "RefMode"));
        EXPECT_EQ(m.unlockCompare, number(s, "UnlockCompare"));
        EXPECT_EQ(m.threshold, std::stof(src.getSetting("Threshold", s)));
        EXPECT_EQ(m.unlockByPlays, number(s, "UnlockByPlays") == 1);
        EXPECT_EQ(m.refMode2, number(s, "RefMode2"));
        EXPECT_EQ(m.requiredPlays, number(s, "RequiredPlays"));
        EXPECT_EQ(m.unlockByLevel, number(s, "UnlockByLevel") == 1);
        EXPECT_EQ(m.requiredLevel, number(s, "RequiredLevel"));
        // A fresh profile: the lock is the table's own.
        EXPECT_EQ(m.locked, number(s, "Locked") == 1);
        ASSERT_EQ(m.texts.size(), 2u);
        for (uint32_t l = 0; l < 2; ++l) {
            const std::string n = std::to_string(l);
            EXPECT_EQ(m.texts[l].title, text(s, "Title_" + n));
            EXPECT_EQ(m.texts[l].description, text(s, "Description_" + n));
            EXPECT_EQ(m.texts[l].howToUnlock, text(s, "HowToUnlock_" + n));
        }
    }
    // Texts keep their trailing marks and their accented letters.
    EXPECT_EQ(profile.getText(0, UiTextId::GarageTune), "TUNE:");
    EXPECT_EQ(profile.getText(0, UiTextId::HudAmmo), "Ammo");
    EXPECT_EQ(profile.getText(0, UiTextId::EndResult), "Result");
    EXPECT_EQ(profile.getText(0, UiTextId::SelTier), "Tier");
    EXPECT_EQ(profile.getText(1, UiTextId::LanguageName), "Espa\xF1ol");
}

TEST(PlayerProfile, SaveWritesTheFileLayout)
{
    ProfileTree t;
    {
        PlayerProfile p("ab", &t.random);
        p.profileCounter = 3;
        p.playTime = 1.5f;
        p.freePlayTime = 2.5f;
        p.challengePlayTime = 3.5f;
        p.getMode(0)->progress0 = 4;
        p.getMode(0)->progress3 = 99.9f;
        p.recordModeResult(0, 12.75f);
    }
    BinaryReader in;
    ASSERT_TRUE(in.open(t.profileFile("ab")));
    uint32_t u = 0;
    float f = 0;
    EXPECT_TRUE(in.readU32(u) && u == 34646u);
    EXPECT_EQ(readBinString(in), "HGFYWEMI");
    EXPECT_EQ(readBinString(in), "ab");
    EXPECT_TRUE(in.readU32(u) && u == 1u);
    EXPECT_TRUE(in.readU32(u) && u == 20205778u);  // the name number of "ab"
    EXPECT_TRUE(in.readU32(u) && u != 1u);         // a random number was drawn
    EXPECT_TRUE(in.readU32(u) && u == 3u);
    EXPECT_TRUE(in.readF32(f) && f == 1.5f);
    EXPECT_TRUE(in.readF32(f) && f == 2.5f);
    EXPECT_TRUE(in.readF32(f) && f == 3.5f);
    EXPECT_TRUE(in.readU32(u) && u == 6u);
    const uint32_t mode0[] = {4, 1, 12, 99};  // started, finished, best and world best as whole numbers
    for (uint32_t expected : mode0)
        EXPECT_TRUE(in.readU32(u) && u == expected) << expected;
    for (int i = 0; i < 5 * 4; ++i)
        EXPECT_TRUE(in.readU32(u) && u == 0u);
    EXPECT_TRUE(in.readU32(u) && u == 34646u);
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.atEnd());
}

TEST(PlayerProfile, ProgressRoundTripsAndResetKeepsIdentity)
{
    ProfileTree t;
    uint32_t nameNumber = 0, randomNumber = 0;
    {
        PlayerProfile p("Pilot_1", &t.random);
        EXPECT_TRUE(fs::exists(t.profileFile("Pilot_1")));  // a new profile is written at once
        nameNumber = p.getNameNumber();
        randomNumber = p.getRandomNumber();
        p.profileCounter = 2;
        p.playTime = 60.0f;
        p.getMode(0)->progress3 = -3.0f;  // out-of-range values are clamped when stored
        p.getMode(1)->progress3 = 5000.5f;
        p.recordModeResult(0, 300.0f);
        p.recordModeResult(0, 250.0f);  // lower: best stays 300
        p.recordModeResult(2, 1e20f);
    }
    {
        PlayerProfile p("Pilot_1", &t.random);
        EXPECT_EQ(p.getNameNumber(), nameNumber);
        EXPECT_EQ(p.getRandomNumber(), randomNumber);
        EXPECT_EQ(p.profileCounter, 2u);
        EXPECT_EQ(p.playTime, 60.0f);
        EXPECT_EQ(p.getMode(0)->playCount, 2u);
        EXPECT_EQ(p.getMode(0)->best, 300.0f);
        EXPECT_EQ(p.getMode(0)->progress3, 0.0f);
        EXPECT_EQ(p.getMode(1)->progress3, 5000.0f);
        EXPECT_EQ(p.getMode(2)->best, 4294967296.0f);  // the largest whole number stored
        // Locks come back from the stored progress.
        EXPECT_FALSE(p.getMode(1)->locked);
        EXPECT_FALSE(p.getMode(2)->locked);

        p.resetProgress();
        EXPECT_EQ(p.profileCounter, 0u);
        EXPECT_EQ(p.getMode(0)->playCount, 0u);
        EXPECT_EQ(p.getMode(0)->best, 0.0f);
        EXPECT_EQ(p.getMode(1)->progress3, 5000.0f);
        // Once unlocked, a mode stays so for the life of the profile.
        EXPECT_FALSE(p.getMode(1)->locked);
    }
    PlayerProfile p("Pilot_1", &t.random);
    EXPECT_EQ(p.getMode(0)->playCount, 0u);
    EXPECT_EQ(p.getNameNumber(), nameNumber);
    EXPECT_EQ(p.playTime, 60.0f);
    EXPECT_EQ(p.getMode(1)->progress3, 5000.0f);
    EXPECT_TRUE(p.getMode(1)->locked);  // worked out again from the reset progress
}

TEST(PlayerProfile, UnlockRules)
{
    ProfileTree t;
    PlayerProfile p("Unlocker", &t.random);
    EXPECT_FALSE(p.getMode(0)->locked);
    EXPECT_TRUE(p.getMode(1)->locked);
    EXPECT_TRUE(p.getMode(2)->locked);
    EXPECT_FALSE(p.getMode(3)->locked);  // level 0 reaches required level 0 at creation
    EXPECT_EQ(p.getModeDescription(0, 1), "en unlock ByResult");
    EXPECT_EQ(p.getModeDescription(1, 0), "es play Open");

    p.recordModeResult(0, 99.0f);
    EXPECT_TRUE(p.getMode(1)->locked);
    EXPECT_TRUE(p.getMode(2)->locked);
    // The play that reaches the count unlocks at once; the result reaching the threshold too.
    p.recordModeResult(0, 100.0f);
    EXPECT_FALSE(p.getMode(1)->locked);
    EXPECT_FALSE(p.getMode(2)->locked);
    EXPECT_EQ(p.getModeDescription(0, 1), "en play ByResult");

    // No rule, or rules naming modes that do not exist: locked for ever.
    for (int i = 0; i < 5; ++i)
        p.recordModeResult(0, 1000.0f);
    EXPECT_TRUE(p.getMode(4)->locked);
    EXPECT_TRUE(p.getMode(5)->locked);
}

TEST(PlayerProfile, CompareCodeOfTheModeDecidesTheBest)
{
    std::vector<FixtureMode> modes(2);
    modes[0] = {"High", false, ResultLess};
    modes[1] = {"Low", false, ResultGreater};
    ProfileTree t(modeTableBytes({"en"}, modes));
    PlayerProfile p("Comparer", &t.random);
    for (float r : {300.0f, 250.0f, kNaN}) {
        p.recordModeResult(0, r);
        p.recordModeResult(1, r);
    }
    EXPECT_EQ(p.getMode(0)->best, 300.0f);
    EXPECT_EQ(p.getMode(1)->best, 0.0f);  // every best starts at 0, and positive results are higher
    EXPECT_EQ(p.getMode(1)->playCount, 3u);
}

TEST(PlayerProfile, BadIndicesAnswerEmpty)
{
    ProfileTree t;
    PlayerProfile p("Indexer", &t.random);
    EXPECT_EQ(p.getModeName(6), "");
    EXPECT_EQ(p.getModeString2(UINT32_MAX), "");
    EXPECT_EQ(p.getModeTitle(2, 0), "");
    EXPECT_EQ(p.getModeTitle(0, 6), "");
    EXPECT_EQ(p.getModeDescription(2, 0), "");
    EXPECT_EQ(p.getText(2, UiTextId::HudBest), "");
    EXPECT_EQ(p.getText(0, static_cast<UiTextId>(UiTextTable::kTextCount)), "");
    EXPECT_EQ(p.getMode(6), nullptr);
    p.recordModeResult(6, 10.0f);  // nothing to record, nothing broken
    EXPECT_EQ(p.getModeName(5), "BadRef");
    EXPECT_EQ(p.getModeString2(5), "BadRef2");
    // Two tables: language 1 reads the second.
    EXPECT_EQ(p.getText(0, UiTextId::ApplyNotice), "en#84");
    EXPECT_EQ(p.getText(1, UiTextId::ApplyNotice), "es#84");
}

TEST(PlayerProfile, UnusableProfileFilesAreSetAsideAndReplaced)
{
    // A good file to damage: saved progress of one finished play.
    std::vector<uint8_t> good;
    {
        ProfileTree t;
        {
            PlayerProfile p("Damaged", &t.random);
            p.recordModeResult(0, 50.0f);
        }
        good = readBytes(t.profileFile("Damaged"));
    }
    ASSERT_GT(good.size(), 60u);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    auto withWord = [&](size_t offset, uint32_t v) {
        std::vector<uint8_t> b = good;
        for (int i = 0; i < 4; ++i)
            b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    };
    const size_t markerCount = 4, nameCount = 4 + 4 + 8 * 4, modeCount = nameCount + 4 + 7 * 4 + 4 * 4 + 3 * 4;
    const std::vector<Case> cases = {
        {"bad magic", withWord(0, 1234)},
        {"huge marker", withWord(markerCount, 0xFFFFFFF0u)},
        {"other name", withWord(nameCount + 4, 'X')},
        {"huge mode count", withWord(modeCount, 0x7FFFFFFFu)},
        {"other mode count", withWord(modeCount, 5)},
        {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(modeCount + 10))},
        {"empty", {}},
    };
    // The offsets point where the test means.
    ASSERT_EQ(withWord(nameCount + 4, 'D'), good);
    ASSERT_EQ(withWord(modeCount, 6), good);
    for (const Case& c : cases) {
        ProfileTree t;
        writeBytes(t.profileFile("Damaged"), c.bytes);
        {
            PlayerProfile p("Damaged", &t.random);
            EXPECT_EQ(p.getMode(0)->playCount, 0u) << c.what;
            EXPECT_EQ(p.getMode(0)->best, 0.0f) << c.what;
        }
        EXPECT_EQ(readBytes(t.profileFile("Damaged") + ".bak"), c.bytes) << c.what;
        // The replacement reads back cleanly: nothing is set aside a second time.
        PlayerProfile again("Damaged", &t.random);
        EXPECT_EQ(readBytes(t.profileFile("Damaged") + ".bak"), c.bytes) << c.what;
    }
}

TEST(PlayerProfile, UnusableModeTableNeverTouchesTheStoredProfile)
{
    const std::vector<uint8_t> table = modeTableBytes({"en"}, fixtureModes());
    auto withWord = [&](size_t offset, uint32_t v) {
        std::vector<uint8_t> b = table;
        for (int i = 0; i < 4; ++i)
            b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    };
    size_t modeCountAt = 8;
    for (uint32_t i = 0; i < UiTextTable::kTextCount; ++i)
        modeCountAt += 4 + 4 * (3 + std::to_string(i).size());
    ASSERT_EQ(table[modeCountAt], 6u);

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"bad magic", withWord(0, 42)},
        {"huge language count", withWord(4, 0xFFFFFFFFu)},
        {"huge mode count", withWord(modeCountAt, 0x10000000u)},
        {"truncated", std::vector<uint8_t>(table.begin(), table.end() - 3)},
        {"empty", {}},
    };
    for (const auto& [what, bytes] : cases) {
        ProfileTree t(table);
        {
            PlayerProfile p("Keeper", &t.random);
            p.recordModeResult(0, 80.0f);
        }
        const std::vector<uint8_t> stored = readBytes(t.profileFile("Keeper"));
        writeBytes(PlayerProfile::modeTablePath(), bytes);
        {
            PlayerProfile p("Keeper", &t.random);
            EXPECT_FALSE(p.tablesLoaded()) << what;
            EXPECT_EQ(p.getModeCount(), 0u) << what;
            EXPECT_EQ(p.getLanguageCount(), 0u) << what;
            EXPECT_EQ(p.getText(0, UiTextId::LanguageName), "") << what;
            p.recordModeResult(0, 10.0f);
            p.resetProgress();
            EXPECT_FALSE(p.save()) << what;
        }
        EXPECT_EQ(readBytes(t.profileFile("Keeper")), stored) << what;
    }
    // A missing table likewise.
    ProfileTree t(table);
    { PlayerProfile p("Keeper", &t.random); }
    const std::vector<uint8_t> stored = readBytes(t.profileFile("Keeper"));
    fs::remove(PlayerProfile::modeTablePath());
    { PlayerProfile p("Keeper", &t.random); }
    EXPECT_EQ(readBytes(t.profileFile("Keeper")), stored);
}

TEST(PlayerProfile, FailedSaveLeavesTheOldFileReadable)
{
    ProfileTree t;
    const std::string file = t.profileFile("Crash");
    {
        PlayerProfile p("Crash", &t.random);
        p.recordModeResult(0, 70.0f);
    }
    {
        // The write stops before the rename: the temporary file cannot become the profile.
        fs::create_directories(file + ".tmp");
        PlayerProfile p("Crash", &t.random);
        p.recordModeResult(0, 90.0f);
        EXPECT_FALSE(p.save());
    }
    fs::remove_all(file + ".tmp");
    // A half-written temporary file left by a crash is ignored and later replaced.
    testsupport::writeTextFile(file + ".tmp", "garbage");
    PlayerProfile p("Crash", &t.random);
    EXPECT_EQ(p.getMode(0)->playCount, 1u);
    EXPECT_EQ(p.getMode(0)->best, 70.0f);
    EXPECT_TRUE(p.save());
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST(PlayerProfile, MissingSavesFolderIsCreated)
{
    ProfileTree t;
    fs::remove_all("../../Saves");
    PlayerProfile p("Fresh", &t.random);
    EXPECT_TRUE(fs::exists(t.profileFile("Fresh")));
}

TEST(PlayerProfile, NamesThatAreNotPlainWordsAreRefused)
{
    const std::string refused[] = {"",  "/",     "..",     "../x",   "a/b",  "a\\b", "a.b", "a b",
                                   "-", "a\xD7", "a\xF7",  "\x80",   "a:b",  std::string(200, 'a'),
                                   std::string(17, 'a'), std::string("a\0b", 3)};
    for (const std::string& name : refused)
        EXPECT_FALSE(PlayerProfile::isValidName(name)) << platform::cp1252ToUtf8(name);
    const std::string accepted[] = {"a", "Pilot_1", "\xC9lodie", "Se\xF1or", "\x8Akoda\xFF", std::string(16, 'z')};
    for (const std::string& name : accepted)
        EXPECT_TRUE(PlayerProfile::isValidName(name)) << platform::cp1252ToUtf8(name);

    // A refused name reads and writes no file at all.
    ProfileTree t;
    for (const char* name : {"../Escape", "", "a/b"}) {
        PlayerProfile p(name, &t.random);
        p.recordModeResult(0, 5.0f);
        EXPECT_FALSE(p.save());
    }
    EXPECT_TRUE(fs::is_empty("../../Saves"));
    EXPECT_FALSE(fs::exists("../../Escape_Game.ZVP"));

    // An accented name is stored under its UTF-8 file name.
    { PlayerProfile p("\xC9lodie", &t.random); }
    EXPECT_TRUE(fs::exists(u8"../../Saves/Élodie_Game.ZVP"));
}

TEST(PlayerProfile, ATableChangeAndItsRevertKeepEverySetAsideCopy)
{
    const std::vector<FixtureMode> modes = fixtureModes();
    const std::vector<uint8_t> original = modeTableBytes({"en", "es"}, modes);
    const std::vector<uint8_t> oneFewer =
        modeTableBytes({"en", "es"}, std::vector<FixtureMode>(modes.begin(), modes.end() - 1));
    ProfileTree t(original);
    const std::string file = t.profileFile("Pilot");
    {
        PlayerProfile p("Pilot", &t.random);
        p.recordModeResult(0, 70.0f);
    }
    const std::vector<uint8_t> players = readBytes(file);

    // One mode fewer: the player's profile is set aside and a fresh one written.
    writeBytes(PlayerProfile::modeTablePath(), oneFewer);
    { PlayerProfile p("Pilot", &t.random); }
    const std::vector<uint8_t> fresh = readBytes(file);
    EXPECT_EQ(readBytes(file + ".bak"), players);
    // Back on the original table: the fresh one goes aside too, beside the player's.
    writeBytes(PlayerProfile::modeTablePath(), original);
    {
        PlayerProfile p("Pilot", &t.random);
        EXPECT_EQ(p.getMode(0)->playCount, 0u);
    }
    EXPECT_EQ(readBytes(file + ".bak"), players);
    EXPECT_EQ(readBytes(file + ".bak2"), fresh);
    EXPECT_FALSE(fs::exists(file + ".bak3"));

    // The player's own copy, put back, reads as it was.
    fs::rename(file + ".bak", file);
    PlayerProfile back("Pilot", &t.random);
    EXPECT_EQ(back.getMode(0)->playCount, 1u);
    EXPECT_EQ(back.getMode(0)->best, 70.0f);
}
