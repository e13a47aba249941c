#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/BinaryIO.h"
#include "core/GlobalSounds.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

using testsupport::HeadlessOgre;
using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;

namespace {

// The contents of a GSData.Dat to write, with ways to damage it.
struct Table {
    uint32_t magic = GlobalSounds::kMagic;
    GlobalSoundEntry entries[GlobalSounds::kEntryCount];
    std::string stingers[GlobalSounds::kStingerCount];
    std::vector<GlobalSoundEntry> randomMusic;
    int64_t declaredCount = -1;  // -1: the list's size
    size_t cutBytes = 0;         // bytes dropped from the end

    Table()
    {
        const char* files[] = {"vt_click_accept.ogg", "vt_click_back.ogg", "vt_click_move.ogg",
                               "vt_click_warning.ogg", "vt_music_title.ogg", "vt_music_title.ogg",
                               "vt_music_garage.ogg", "vt_music_result.ogg"};
        for (int i = 0; i < 8; ++i)
            entries[i] = {files[i], 0.5f + 0.05f * i};
        entries[15] = {"vt_music_closing.ogg", 0.9f};
        const char* stings[] = {"vt_sting_kill.ogg",    "vt_sting_combo.ogg", "vt_sting_wave.ogg",
                                "vt_sting_pickup.ogg",  "vt_sting_mission.ogg", "vt_sting_red.ogg",
                                "vt_sting_green.ogg"};
        for (int i = 0; i < GlobalSounds::kStingerCount; ++i)
            stingers[i] = stings[i];
        randomMusic = {{"vt_music_battle1.ogg", 0.4f}, {"vt_music_battle2.ogg", 0.0f}};
    }

    void write(const std::string& path) const
    {
        BinaryWriter out;
        out.writeU32(magic);
        for (const GlobalSoundEntry& e : entries) {
            writeBinString(out, e.fileName);
            out.writeF32(e.gain);
        }
        for (const std::string& s : stingers)
            writeBinString(out, s);
        out.writeU32(declaredCount < 0 ? static_cast<uint32_t>(randomMusic.size()) : static_cast<uint32_t>(declaredCount));
        for (const GlobalSoundEntry& e : randomMusic) {
            writeBinString(out, e.fileName);
            out.writeF32(e.gain);
        }
        std::vector<uint8_t> bytes = out.bytes();
        bytes.resize(bytes.size() - std::min(cutBytes, bytes.size()));
        ASSERT_TRUE(writeFileAtomically(path, bytes.data(), bytes.size()));
    }
};

class GlobalSoundsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tests run with OpenAL's null device unless told otherwise.
        ::setenv("ALSOFT_DRIVERS", "null", 0);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(tree_.path("Data/Sounds"), "FileSystem", "GlobalSoundsTest");
        groups.initialiseResourceGroup("GlobalSoundsTest");
        manager_ = std::make_unique<audio::SoundManager>("", 100);
    }
    void TearDown() override
    {
        sounds_.reset();
        manager_.reset();
    }

    std::string tablePath() const { return tree_.path("Data/System/GSData.Dat"); }
    GlobalSounds& load()
    {
        sounds_ = std::make_unique<GlobalSounds>(manager_.get());
        return *sounds_;
    }
    GlobalSounds& load(const Table& table)
    {
        table.write(tablePath());
        return load();
    }

    TempGameTree tree_{"Data/System/GSData.Dat", "Data/Sounds"};
    ScopedWorkDir workDir_{tree_.workDir()};
    HeadlessOgre ogre_;
    std::unique_ptr<audio::SoundManager> manager_;
    std::unique_ptr<GlobalSounds> sounds_;
};

std::vector<audio::Sound*> allSounds(const GlobalSounds& g)
{
    return {g.acceptClick(),  g.backClick(),      g.moveClick(),   g.warningClick(), g.killStinger(),
            g.comboStinger(), g.waveStinger(),    g.pickStinger(), g.missionStinger(), g.redStinger(),
            g.greenStinger(), g.musicVoice()};
}

TEST_F(GlobalSoundsTest, BuiltTableReadsBackToItsSource)
{
    // The readable source the data builder wrote the game's table from.
    std::ifstream source(testsupport::repoDataDir() + "/tables/GSData.txt");
    ASSERT_TRUE(source);
    GlobalSoundEntry entries[GlobalSounds::kEntryCount];
    std::map<std::string, std::string> stingers;
    std::vector<GlobalSoundEntry> randomMusic;
    std::string line;
    while (std::getline(source, line)) {
        std::istringstream in(line.substr(0, line.find('#')));
        std::string kind, a, file;
        float gain = 0;
        if (!(in >> kind))
            continue;
        auto quoted = [&in] {
            std::string s;
            in >> std::ws;
            std::getline(in, s, '"');
            std::getline(in, s, '"');
            return s;
        };
        if (kind == "entry") {
            int index = 0;
            in >> index;
            file = quoted();
            in >> gain;
            entries[index] = {file, gain};
        } else if (kind == "stinger") {
            in >> a;
            stingers[a] = quoted();
        } else if (kind == "random") {
            file = quoted();
            in >> gain;
            randomMusic.push_back({file, gain});
        }
    }

    GlobalSounds& g = load();
    for (int i = 0; i < GlobalSounds::kEntryCount; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(g.entry(i).fileName, entries[i].fileName);
        EXPECT_FLOAT_EQ(g.entry(i).gain, entries[i].gain == 0.0f ? 1.0f : entries[i].gain);
    }
    ASSERT_EQ(g.randomMusic().size(), randomMusic.size());
    for (size_t i = 0; i < randomMusic.size(); ++i) {
        EXPECT_EQ(g.randomMusic()[i].fileName, randomMusic[i].fileName);
        EXPECT_FLOAT_EQ(g.randomMusic()[i].gain, randomMusic[i].gain);
    }
    const std::pair<const char*, audio::Sound*> stingerSounds[] = {
        {"kill", g.killStinger()},       {"combo", g.comboStinger()}, {"wave", g.waveStinger()},
        {"pickup", g.pickStinger()},     {"mission", g.missionStinger()}, {"red", g.redStinger()},
        {"green", g.greenStinger()}};
    for (const auto& [name, sound] : stingerSounds) {
        SCOPED_TRACE(name);
        ASSERT_NE(sound, nullptr);
        EXPECT_EQ(sound->getFileName(), stingers[name]);
        EXPECT_TRUE(sound->hasData());
    }
    ASSERT_NE(g.acceptClick(), nullptr);
    EXPECT_EQ(g.acceptClick()->getFileName(), entries[0].fileName);
    EXPECT_FLOAT_EQ(g.acceptClick()->getGain(), g.entry(0).gain);
    ASSERT_NE(g.musicVoice(), nullptr);
    EXPECT_EQ(g.musicVoice()->getFileName(), entries[4].fileName);
    EXPECT_TRUE(g.musicVoice()->isStreamed());
    EXPECT_TRUE(g.musicVoice()->isLooping());
    EXPECT_FALSE(g.musicVoice()->isPlaying());

    g.playAccept();
    EXPECT_TRUE(g.acceptClick()->isPlaying());
    g.playMusic1();
    EXPECT_TRUE(g.musicVoice()->isPlaying());
}

TEST_F(GlobalSoundsTest, ZeroGainMeansFullVolumeOnlyInTheSixteenEntries)
{
    Table table;
    table.entries[0].gain = 0.0f;
    table.entries[1].gain = -0.0f;
    table.entries[2].gain = 0.25f;
    GlobalSounds& g = load(table);
    EXPECT_FLOAT_EQ(g.entry(0).gain, 1.0f);
    EXPECT_FLOAT_EQ(g.entry(1).gain, 1.0f);
    EXPECT_FLOAT_EQ(g.entry(2).gain, 0.25f);
    EXPECT_FLOAT_EQ(g.acceptClick()->getGain(), 1.0f);
    EXPECT_FLOAT_EQ(g.moveClick()->getGain(), 0.25f);
    // Entries 8 to 14 were written empty with gain 0.
    EXPECT_FLOAT_EQ(g.entry(8).gain, 1.0f);
    ASSERT_EQ(g.randomMusic().size(), 2u);
    EXPECT_FLOAT_EQ(g.randomMusic()[1].gain, 0.0f);
}

TEST_F(GlobalSoundsTest, DamagedOrMissingTableLeavesEverythingSilent)
{
    struct Case {
        const char* what;
        std::function<void(Table&)> damage;
        bool remove = false;
    };
    const Case cases[] = {
        {"bad magic", [](Table& t) { t.magic = 0x1218; }},
        {"cut in the entries", [](Table& t) { t.cutBytes = 600; }},
        {"cut in the stingers", [](Table& t) { t.randomMusic.clear(); t.cutBytes = 10; }},
        {"cut in the random list", [](Table& t) { t.cutBytes = 3; }},
        {"huge count", [](Table& t) { t.declaredCount = 0xFFFFFFFF; }},
        {"count beyond the data", [](Table& t) { t.declaredCount = 3; }},
        {"missing file", [](Table&) {}, true},
    };
    testsupport::LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table table;
        c.damage(table);
        table.write(tablePath());
        if (c.remove)
            std::remove(tablePath().c_str());
        log.clear();
        GlobalSounds& g = load();
        // A silent game says why, once, naming the file.
        EXPECT_EQ(log.count(GlobalSounds::kDataFile), 1u);
        for (audio::Sound* s : allSounds(g))
            EXPECT_EQ(s, nullptr);
        EXPECT_TRUE(g.randomMusic().empty());
        EXPECT_EQ(g.entry(5).fileName, "");
        g.playAccept();
        g.playColourRed();
        g.playMusic1();
        g.playRandomMusic();
        g.fadeOutMusic();
        g.update(0.5f);
        EXPECT_EQ(g.musicVoice(), nullptr);
        EXPECT_FALSE(g.isFadingMusic());
        sounds_.reset();
        EXPECT_EQ(manager_->getSound("gs_globalM"), nullptr);
    }
}

TEST_F(GlobalSoundsTest, EmptyOrBlankNamesMakeNoSound)
{
    Table table;
    table.entries[0].fileName = "";
    table.entries[3].fileName = " ";
    table.entries[6].fileName = " ";
    table.stingers[5] = " ";
    table.stingers[0] = "";
    GlobalSounds& g = load(table);
    EXPECT_EQ(g.acceptClick(), nullptr);
    EXPECT_EQ(g.warningClick(), nullptr);
    EXPECT_EQ(g.redStinger(), nullptr);
    EXPECT_EQ(g.killStinger(), nullptr);
    EXPECT_NE(g.backClick(), nullptr);
    g.playAccept();
    g.playColourRed();
    g.playMusic2();
    EXPECT_EQ(g.currentMusicId(), 2u);
    EXPECT_EQ(g.musicVoice(), nullptr);
}

TEST_F(GlobalSoundsTest, SwitchingTracksKeepsTheVoiceOnlyForTheSameTrack)
{
    GlobalSounds& g = load(Table());
    g.playMusic1();
    audio::Sound* voice = g.musicVoice();
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(g.currentMusicId(), 1u);
    EXPECT_EQ(voice->getFileName(), g.entry(5).fileName);
    EXPECT_FLOAT_EQ(voice->getGain(), g.entry(5).gain);
    EXPECT_TRUE(voice->isLooping());
    EXPECT_FALSE(voice->isStreamed());
    EXPECT_TRUE(voice->isPlaying());

    // The same track again: the voice is kept as it is.
    voice->setGain(0.123f);
    voice->stop();
    g.playMusic1();
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.123f);
    EXPECT_TRUE(g.musicVoice()->isPlaying());

    g.playMusic2();
    EXPECT_EQ(g.currentMusicId(), 2u);
    EXPECT_EQ(g.musicVoice()->getFileName(), g.entry(6).fileName);
    g.playMusic1();
    EXPECT_EQ(g.musicVoice()->getFileName(), g.entry(5).fileName);
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), g.entry(5).gain);

    g.playMusic3();
    EXPECT_EQ(g.currentMusicId(), 3u);
    EXPECT_EQ(g.musicVoice()->getFileName(), g.entry(7).fileName);
    EXPECT_FALSE(g.musicVoice()->isLooping());
    g.playMusicLast();
    EXPECT_EQ(g.currentMusicId(), GlobalSounds::kMusicLast);
    EXPECT_EQ(g.musicVoice()->getFileName(), g.entry(15).fileName);
    EXPECT_FALSE(g.musicVoice()->isLooping());
    // Only one voice ever exists.
    EXPECT_EQ(manager_->getSound("gs_globalM"), g.musicVoice());
    EXPECT_EQ(manager_->getSound("gs_globalM#2"), nullptr);
}

TEST_F(GlobalSoundsTest, RandomPickSplitsTheUnitIntervalEvenly)
{
    struct Case {
        double r;
        uint32_t count;
        uint32_t index;
    } cases[] = {
        {0.3, 4, 1}, {0.0, 4, 0}, {0.25, 4, 1}, {0.999, 4, 3}, {0.5, 1, 0}, {0.7, 0, 0},
        // Ten steps of 0.1 sum to just below 1: the largest draw falls through to 0.
        {std::nextafter(1.0, 0.0), 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GlobalSounds::pickIndexForDraw(c.r, c.count), c.index) << "r " << c.r << ", N " << c.count;
}

TEST_F(GlobalSoundsTest, RandomMusicAlwaysSwitchesAndAnEmptyListSilences)
{
    Table table;
    table.randomMusic = {{"vt_music_battle2.ogg", 0.0f}};
    GlobalSounds& g = load(table);
    g.playRandomMusic();
    EXPECT_EQ(g.currentMusicId(), GlobalSounds::kMusicRandom);
    ASSERT_NE(g.musicVoice(), nullptr);
    EXPECT_EQ(g.musicVoice()->getFileName(), "vt_music_battle2.ogg");
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.0f);  // used as read
    EXPECT_TRUE(g.musicVoice()->isLooping());
    g.musicVoice()->setGain(0.5f);
    g.playRandomMusic();
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.0f);

    Table empty;
    empty.randomMusic.clear();
    GlobalSounds& h = load(empty);
    h.playMusic1();
    ASSERT_NE(h.musicVoice(), nullptr);
    h.playRandomMusic();
    EXPECT_EQ(h.musicVoice(), nullptr);
    EXPECT_EQ(h.currentMusicId(), GlobalSounds::kMusicRandom);
    EXPECT_EQ(manager_->getSound("gs_globalM"), nullptr);
}

TEST_F(GlobalSoundsTest, FadeFollowsOneLineOverThreeSecondsAcrossATrackSwitch)
{
    Table table;
    table.entries[5].gain = 0.6f;
    table.entries[6].gain = 0.9f;
    GlobalSounds& g = load(table);
    g.playMusic1();
    g.fadeOutMusic();
    EXPECT_TRUE(g.isFadingMusic());
    g.update(1.5f);
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.3f);

    g.playMusic2();
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.9f);
    g.update(0.75f);
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.15f);
    g.update(0.75f);  // elapsed exactly 3: still on the line
    EXPECT_NEAR(g.musicVoice()->getGain(), 0.0f, 1e-6f);
    EXPECT_TRUE(g.isFadingMusic());
    g.musicVoice()->setGain(0.2f);
    g.update(0.1f);
    EXPECT_FALSE(g.isFadingMusic());
    EXPECT_FLOAT_EQ(g.musicVoice()->getGain(), 0.2f);
    EXPECT_TRUE(g.musicVoice()->isPlaying());
}

TEST_F(GlobalSoundsTest, FadeWithoutAVoiceEndsAtOnce)
{
    GlobalSounds& g = load(Table());
    g.fadeOutMusic();  // the voice made at start-up
    EXPECT_TRUE(g.isFadingMusic());
    Table empty;
    empty.entries[5].fileName = "";
    GlobalSounds& h = load(empty);
    h.playMusic1();
    h.fadeOutMusic();
    EXPECT_FALSE(h.isFadingMusic());
}

TEST_F(GlobalSoundsTest, DestructorDestroysItsSounds)
{
    GlobalSounds& g = load(Table());
    g.playMusic2();
    for (audio::Sound* s : allSounds(g))
        ASSERT_NE(s, nullptr);
    sounds_.reset();
    for (const char* name : {"gs_acptC", "gs_backC", "gs_moveC", "gs_warnC", "gs_EffKill", "gs_EffCombo",
                             "gs_EffWave", "gs_EffPick", "gs_EffMission", "gs_EffCRed", "gs_EffCGreen",
                             "gs_globalM"})
        EXPECT_EQ(manager_->getSound(name), nullptr) << name;
}

}  // namespace
