#include "AudioTestSupport.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

using audio::Sound;
using audio::SoundManager;
using namespace audiotest;

namespace {

using Clock = std::chrono::steady_clock;

// Collects the engine's log lines.
struct LogCapture : Ogre::LogListener {
    std::vector<std::string> lines;
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
    }
};

class SoundLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(makeTone("tone.ogg", 440, 0.4f).empty());
        ASSERT_FALSE(makeTone("loop.ogg", 330, 0.25f).empty());
        ASSERT_FALSE(makeTone("once.ogg", 440, 0.4f).empty());
        ASSERT_FALSE(makeTone("long.ogg", 550, 2.6f, 2).empty());
        std::ofstream(mediaDir() + "/notogg.ogg") << "this is not an Ogg Vorbis file";
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(mediaDir(), "FileSystem", "SoundTest");
        groups.initialiseResourceGroup("SoundTest");
        scene_ = ogre_.root()->createSceneManager("DefaultSceneManager");
    }

    // The manager opens the wave writer.
    void open(int maxSources = 100)
    {
        manager_ = std::make_unique<SoundManager>("", maxSources);
        ASSERT_TRUE(manager_->hasDevice());
        last_ = Clock::now();
    }
    // Runs the manager's frame updates in real time.
    void run(double seconds)
    {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto t = Clock::now();
            manager_->update(std::chrono::duration<float>(t - last_).count());
            last_ = t;
        }
    }
    // Closes the device (which completes the WAV) and reads what was mixed.
    Wave finish()
    {
        manager_.reset();
        Wave wave;
        EXPECT_TRUE(readWave(waveFile(), wave));
        EXPECT_EQ(wave.channels, 2);
        return wave;
    }

    testsupport::HeadlessOgre ogre_;
    Ogre::SceneManager* scene_ = nullptr;
    std::unique_ptr<SoundManager> manager_;
    Clock::time_point last_;
};

const float kSilent = 0.003f;
const float kLoud = 0.03f;

TEST_F(SoundLayerTest, LoadedSoundIsHeardOnlyWhileItPlaysAndThenGivesItsSourceBack)
{
    open();
    run(0.4);
    Sound* sound = manager_->createSound("tone", "tone.ogg");
    ASSERT_TRUE(sound->hasData());
    sound->play();
    EXPECT_TRUE(sound->isPlaying());
    EXPECT_EQ(manager_->sourcesInUse(), 1);
    run(0.9);
    EXPECT_TRUE(sound->isStopped());
    EXPECT_EQ(manager_->sourcesInUse(), 0);

    run(0.4);

    const Wave wave = finish();
    const double on = wave.firstLouder(0.0, kLoud);
    EXPECT_GT(on, 0.1);  // silence while nothing played
    EXPECT_GT(wave.rms(on + 0.05, on + 0.3), kLoud);
    // Heard for the file's 0.4 s, then silent.
    EXPECT_NEAR(wave.firstQuieter(on, kSilent) - on, 0.4, 0.06);
    ASSERT_GT(wave.seconds(), on + 0.9);
    EXPECT_LT(wave.rms(on + 0.5, on + 0.9), kSilent);
}

TEST_F(SoundLayerTest, PauseAllSilencesTheOutputAndResumeAllContinuesOnlyWhatItPaused)
{
    open();
    Sound* music = manager_->createSound("music", "loop.ogg", true);
    Sound* pausedByGame = manager_->createSound("engine", "tone.ogg", true);
    music->play();
    pausedByGame->play();
    pausedByGame->pause();
    run(0.5);

    manager_->pauseAllSounds();
    EXPECT_TRUE(music->isPaused());
    run(0.6);
    manager_->resumeAllSounds();
    EXPECT_TRUE(music->isPlaying());
    EXPECT_TRUE(pausedByGame->isPaused());
    run(0.6);
    music->stop();
    run(0.2);

    // Loud, a silent gap as long as the pause, loud again.
    const Wave wave = finish();
    const double on = wave.firstLouder(0.0, kLoud);
    ASSERT_GE(on, 0.0);
    const double gap = wave.firstQuieter(on, kSilent);
    ASSERT_GT(gap, on);
    const double back = wave.firstLouder(gap, kLoud);
    ASSERT_GT(back, gap);
    // The file's clock may run apart from the test's under load: only the rough lengths count.
    EXPECT_GT(gap - on, 0.3);
    EXPECT_GT(back - gap, 0.35);
    EXPECT_LT(wave.rms(gap + 0.05, back - 0.05), kSilent);
    EXPECT_GT(wave.rms(back + 0.05, back + 0.45), kLoud);
}

TEST_F(SoundLayerTest, AttachedSoundIsLouderOnTheSideOfItsNodeAsTheListenerFacesIt)
{
    struct Case {
        float x;
        float listenerYaw;  // degrees
        bool rightLouder;
    } cases[] = {{8, 0, true}, {-8, 0, false}, {8, 180, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("x " + std::to_string(c.x) + ", yaw " + std::to_string(c.listenerYaw));
        open();
        Ogre::SceneNode* ears = scene_->getRootSceneNode()->createChildSceneNode();
        ears->yaw(Ogre::Degree(c.listenerYaw));
        ears->attachObject(manager_->getListener());
        Ogre::SceneNode* node = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(c.x, 0, 0));
        Sound* sound = manager_->createSound("panned", "tone.ogg");
        node->attachObject(sound);
        run(0.1);
        sound->play();
        run(0.6);

        const Wave wave = finish();
        const double on = wave.firstLouder(0.0, kLoud / 2);
        ASSERT_GE(on, 0.0);
        const float left = wave.rms(on + 0.05, on + 0.3, 0);
        const float right = wave.rms(on + 0.05, on + 0.3, 1);
        EXPECT_GT(left + right, kLoud);
        if (c.rightLouder)
            EXPECT_GT(right, 2.0f * left);
        else
            EXPECT_GT(left, 2.0f * right);
        scene_->clearScene();
    }
}

TEST_F(SoundLayerTest, StreamedSoundPlaysPastItsFirstChunksToTheEnd)
{
    open();
    Sound* sound = manager_->createSound("stream", "long.ogg", false, true);
    ASSERT_TRUE(sound->hasData());
    sound->play();
    run(3.1);
    EXPECT_TRUE(sound->isStopped());
    run(0.4);

    const Wave wave = finish();
    const double on = wave.firstLouder(0.0, kLoud);
    ASSERT_GE(on, 0.0);
    // More than the two seconds queued at the start, then the end.
    EXPECT_GT(wave.rms(on + 2.2, on + 2.5), kLoud);
    ASSERT_GT(wave.seconds(), on + 3.1);
    EXPECT_LT(wave.rms(on + 2.7, on + 3.1), kSilent);
}

TEST_F(SoundLayerTest, LoopingStreamWrapsAround)
{
    open();
    Sound* sound = manager_->createSound("streamLoop", "loop.ogg", true, true);
    sound->play();
    run(2.3);
    EXPECT_TRUE(sound->isPlaying());

    // Past the first second queued at the start.
    const Wave wave = finish();
    const double on = wave.firstLouder(0.0, kLoud);
    ASSERT_GE(on, 0.0);
    EXPECT_GT(wave.rms(on + 1.5, on + 1.9), kLoud);
}

TEST_F(SoundLayerTest, FadesMoveTheGainAlongTheirTimeAndFadeOutStops)
{
    open();
    Sound* sound = manager_->createSound("fading", "loop.ogg", true);
    sound->setGain(0.8f);
    sound->fadeIn(1.0f);
    EXPECT_TRUE(sound->isPlaying());
    EXPECT_FLOAT_EQ(sound->getEffectiveGain(), 0.0f);
    manager_->update(0.5f);
    EXPECT_FLOAT_EQ(sound->getEffectiveGain(), 0.4f);
    manager_->update(0.6f);
    EXPECT_FLOAT_EQ(sound->getEffectiveGain(), 0.8f);

    sound->fadeOut(0.5f);
    manager_->update(0.25f);
    EXPECT_FLOAT_EQ(sound->getEffectiveGain(), 0.4f);
    EXPECT_TRUE(sound->isPlaying());
    manager_->update(0.3f);
    EXPECT_TRUE(sound->isStopped());
    EXPECT_FLOAT_EQ(sound->getGain(), 0.8f);
    sound->play();
    EXPECT_FLOAT_EQ(sound->getEffectiveGain(), 0.8f);
}

TEST_F(SoundLayerTest, UnreadableFileGivesASilentSoundAndOneLogLine)
{
    open();
    LogCapture log;
    Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&log);
    const char* files[] = {"missing.ogg", "notogg.ogg", ""};
    int n = 0;
    for (const char* file : files)
        for (bool stream : {false, true}) {
            SCOPED_TRACE(std::string(file) + (stream ? " streamed" : " loaded"));
            log.lines.clear();
            Sound* sound = manager_->createSound("bad" + std::to_string(n++), file, true, stream);
            ASSERT_NE(sound, nullptr);
            EXPECT_FALSE(sound->hasData());
            EXPECT_EQ(log.lines.size(), 1u);
            sound->play();
            sound->fadeIn(0.5f);
            EXPECT_FALSE(sound->isPlaying());
            EXPECT_TRUE(sound->isStopped());
            manager_->update(0.1f);
        }
    Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(&log);
    EXPECT_EQ(manager_->sourcesInUse(), 0);
}

TEST_F(SoundLayerTest, WhenSourcesRunOutAFinishedSoundGivesItsSourceFirstThenTheQuietest)
{
    open(2);
    Sound* shortOne = manager_->createSound("short", "loop.ogg");
    Sound* quiet = manager_->createSound("quiet", "tone.ogg", true);
    Sound* loud = manager_->createSound("loud", "tone.ogg", true);
    quiet->setGain(0.1f);
    shortOne->play();
    quiet->play();
    // Let the short one finish with no update in between: it still holds its source.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    loud->play();
    EXPECT_TRUE(loud->isPlaying());
    EXPECT_TRUE(quiet->isPlaying());
    EXPECT_TRUE(shortOne->isStopped());

    Sound* another = manager_->createSound("another", "tone.ogg", true);
    another->play();
    EXPECT_TRUE(another->isPlaying());
    EXPECT_TRUE(loud->isPlaying());
    EXPECT_TRUE(quiet->isStopped());
    EXPECT_EQ(manager_->sourcesInUse(), 2);
}

// With every source taken: the oldest finished sound first (a paused one is not finished), else
// the quietest by its gain times its fade, the oldest among equals; a sound freshly played is
// the newest.
TEST_F(SoundLayerTest, TakingOverChoosesTheOldestFinishedElseTheQuietestThenTheOldest)
{
    open(6);
    const auto make = [&](const std::string& name, const char* file, bool loop, float gain) {
        Sound* s = manager_->createSound(name, file, loop);
        s->setGain(gain);
        return s;
    };
    Sound* loopA = make("loopA", "tone.ogg", true, 0.5f);
    Sound* short1 = make("short1", "loop.ogg", false, 1.0f);
    Sound* loopB = make("loopB", "tone.ogg", true, 0.2f);
    Sound* short2 = make("short2", "loop.ogg", false, 1.0f);
    Sound* paused = make("paused", "loop.ogg", false, 0.9f);
    Sound* short3 = make("short3", "loop.ogg", false, 1.0f);
    for (Sound* s : {loopA, short1, loopB, short2, paused, short3})
        s->play();
    paused->pause();
    // The short ones end with no update in between: they still hold their sources.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(manager_->sourcesInUse(), 6);
    std::vector<Sound*> fresh;
    fresh.reserve(16);  // the checks below hold references into it
    // Plays one more and returns the sound that lost its source.
    const auto takeOver = [&](float gain) -> Sound* {
        std::vector<Sound*> before;
        for (Sound* s : {loopA, short1, loopB, short2, paused, short3})
            if (s->holdsSource())
                before.push_back(s);
        for (Sound* s : fresh)
            if (s->holdsSource())
                before.push_back(s);
        fresh.push_back(make("fresh" + std::to_string(fresh.size()), "tone.ogg", true, gain));
        fresh.back()->play();
        EXPECT_TRUE(fresh.back()->isPlaying());
        EXPECT_EQ(manager_->sourcesInUse(), 6);
        for (Sound* s : before)
            if (!s->holdsSource())
                return s;
        return nullptr;
    };
    // short1, short2 and short3 have ended (oldest first); loopA and loopB never end by themselves.
    EXPECT_EQ(takeOver(1.0f), short1);
    EXPECT_EQ(takeOver(1.0f), short2);
    EXPECT_EQ(takeOver(1.0f), short3);
    // Nothing finished: the quietest.
    EXPECT_EQ(takeOver(1.0f), loopB);
    EXPECT_EQ(takeOver(1.0f), loopA);
    // Paused, it still counts by its gain, now the lowest.
    paused->setGain(0.05f);
    EXPECT_EQ(takeOver(1.0f), paused);
    // Equal gains: the oldest. A fade lowers the gain that counts.
    EXPECT_EQ(takeOver(1.0f), fresh[0]);
    fresh[4]->fadeOut(10.0f);
    manager_->update(1.0f);  // a tenth of the way down
    EXPECT_EQ(takeOver(1.0f), fresh[4]);
    // A gain raised again moves it back among the loud ones; the new quietest goes.
    fresh[2]->setGain(0.3f);
    fresh[2]->setGain(1.0f);
    fresh[3]->setGain(0.4f);
    EXPECT_EQ(takeOver(1.0f), fresh[3]);
    // A stopped sound is out of the choice; the source it gave back is taken without a takeover.
    fresh[1]->stop();
    EXPECT_EQ(takeOver(1.0f), nullptr);
    EXPECT_EQ(takeOver(1.0f), fresh[2]);
}

// The same choice as the plain rule on random crowds: of the sounds holding a source, in the
// order they were played, the first that has ended by itself (paused and looping ones never
// have), else the quietest by gain times fade, the older among equals. The crowds mix short
// sounds that end while waiting, long ones, loops, paused ones, new pitches and gains, and stops.
TEST_F(SoundLayerTest, TakingOverChoosesAsThePlainRuleOnRandomCrowds)
{
    constexpr int kSources = 10;
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        manager_.reset();
        open(kSources);
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        std::vector<Sound*> byAge;  // the sounds in the order of their last start
        int made = 0;
        // short (0.25 s), long (2.6 s) or looping; a gain from a few, so that some are equal.
        const auto start = [&](Sound* requester) {
            byAge.erase(std::remove(byAge.begin(), byAge.end(), requester), byAge.end());
            requester->play();
            byAge.push_back(requester);
        };
        const auto make = [&] {
            const int kind = pick(3);
            Sound* s = manager_->createSound("crowd" + std::to_string(made++),
                                             kind == 0 ? "loop.ogg" : kind == 1 ? "long.ogg" : "tone.ogg", kind == 2);
            s->setGain(0.2f * static_cast<float>(1 + pick(3)));
            return s;
        };
        const auto plainRule = [&]() -> Sound* {
            if (manager_->sourcesInUse() < kSources)
                return nullptr;
            for (Sound* s : byAge)
                if (s->holdsSource() && !s->isPaused() && !s->isLooping() && !s->isPlaying())
                    return s;
            Sound* quietest = nullptr;
            for (Sound* s : byAge)
                if (s->holdsSource() && (!quietest || s->getEffectiveGain() < quietest->getEffectiveGain()))
                    quietest = s;
            return quietest;
        };
        // Plays one more; the sound that lost its source, if any.
        const auto takeOver = [&]() -> Sound* {
            std::vector<Sound*> before;
            for (Sound* s : byAge)
                if (s->holdsSource())
                    before.push_back(s);
            start(make());
            for (Sound* s : before)
                if (!s->holdsSource())
                    return s;
            return nullptr;
        };
        for (int i = 0; i < kSources; ++i) {
            start(make());
            const int twist = pick(6);
            if (twist == 0)
                byAge.back()->pause();
            else if (twist == 1)
                byAge.back()->setPitch(1.5f);  // a long one then still plays for 1.7 s
            else if (twist == 2)
                byAge.back()->setLoop(true);
        }
        ASSERT_EQ(manager_->sourcesInUse(), kSources);
        for (int round = 0; round < 16; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            if (round % 8 == 0) {
                // Until every short one started so far has ended, with no update in between.
                const auto deadline = Clock::now() + std::chrono::seconds(3);
                const auto shortPlaying = [&] {
                    return std::any_of(byAge.begin(), byAge.end(), [](Sound* s) {
                        return s->getFileName() == "loop.ogg" && s->isPlaying() && !s->isLooping();
                    });
                };
                while (shortPlaying() && Clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            Sound* held = byAge[static_cast<size_t>(pick(static_cast<int>(byAge.size())))];
            switch (pick(5)) {
            case 0:
                held->setGain(0.2f * static_cast<float>(1 + pick(3)));
                break;
            case 1:
                if (round % 5 == 0)
                    held->stop();
                break;
            case 2:
                held->setPitch(0.8f);
                break;
            default:
                break;
            }
            Sound* expected = plainRule();
            EXPECT_EQ(takeOver(), expected);
        }
    }
}

TEST_F(SoundLayerTest, LoadedSoundsOfOneFileShareItAndOutliveEachOther)
{
    open();
    Sound* first = manager_->createSound("first", "tone.ogg", true);
    Sound* second = manager_->createSound("second", "tone.ogg", true);
    first->play();
    second->play();
    manager_->destroySound(first);
    EXPECT_EQ(manager_->getSound("first"), nullptr);
    run(0.3);
    EXPECT_TRUE(second->isPlaying());
    run(0.3);
    const Wave wave = finish();
    const double on = wave.firstLouder(0.0, kLoud);
    ASSERT_GE(on, 0.0);
    EXPECT_GT(wave.rms(on + 0.05, on + 0.4), kLoud);
}

// A file is decoded once: its next sound, after every earlier one has gone, needs not read it
// again, so it plays even once the file has been taken away.
TEST_F(SoundLayerTest, AFileIsDecodedOnceAndKeptAfterItsLastSoundHasGone)
{
    open();
    manager_->destroySound(manager_->createSound("first", "once.ogg"));
    ASSERT_TRUE(std::filesystem::remove(mediaDir() + "/once.ogg"));
    Sound* again = manager_->createSound("again", "once.ogg");
    EXPECT_TRUE(again->hasData());
    again->play();
    run(0.3);
    const Wave wave = finish();
    EXPECT_GE(wave.firstLouder(0.0, kLoud), 0.0);
}

TEST_F(SoundLayerTest, NamesAreUniqueAndUnknownNamesAreHarmless)
{
    open();
    Sound* a = manager_->createSound("name", "tone.ogg");
    Sound* b = manager_->createSound("name", "loop.ogg");
    ASSERT_NE(a, b);
    EXPECT_EQ(manager_->getSound("name"), a);
    EXPECT_EQ(b->getFileName(), "loop.ogg");
    EXPECT_EQ(manager_->getSound("nothing"), nullptr);
    manager_->destroySound(nullptr);
    manager_->destroySound("nothing");
    manager_->destroySound(b);
    EXPECT_EQ(manager_->getSound("name"), a);
    manager_->destroySound("name");
    EXPECT_FALSE(manager_->hasSound("name"));
}

TEST_F(SoundLayerTest, SoundAndNodeMayGoInEitherOrder)
{
    open();
    Ogre::SceneNode* node = scene_->getRootSceneNode()->createChildSceneNode();
    Sound* sound = manager_->createSound("onNode", "loop.ogg", true);
    node->attachObject(sound);
    sound->play();
    scene_->destroySceneNode(node);
    EXPECT_FALSE(sound->isAttached());
    manager_->update(0.1f);
    EXPECT_TRUE(sound->isPlaying());

    Ogre::SceneNode* other = scene_->getRootSceneNode()->createChildSceneNode();
    other->attachObject(sound);
    manager_->destroySound(sound);
    EXPECT_EQ(other->numAttachedObjects(), 0u);
}

TEST_F(SoundLayerTest, WithoutADeviceEveryOperationReturnsAndNothingPlays)
{
    SoundManager manager("no such device", 100);
    EXPECT_FALSE(manager.hasDevice());
    Ogre::SceneNode* node = scene_->getRootSceneNode()->createChildSceneNode();
    node->attachObject(manager.getListener());
    manager.setDopplerFactor(3.0f);
    for (const char* file : {"tone.ogg", "missing.ogg"}) {
        Sound* sound = manager.createSound(file, file, true, std::string(file) == "tone.ogg");
        ASSERT_NE(sound, nullptr);
        EXPECT_EQ(manager.getSound(file), sound);
        node->attachObject(sound);
        sound->setGain(0.5f);
        sound->setPitch(1.5f);
        sound->setLoop(false);
        sound->play();
        sound->fadeIn(1.0f);
        EXPECT_FALSE(sound->isPlaying());
        sound->pause();
        EXPECT_FALSE(sound->isPaused());
        sound->fadeOut(1.0f);
        sound->stop();
        EXPECT_TRUE(sound->isStopped());
        EXPECT_FLOAT_EQ(sound->getGain(), 0.5f);
        manager.update(0.1f);
    }
    manager.pauseAllSounds();
    manager.resumeAllSounds();
    manager.destroySound("tone.ogg");
    EXPECT_EQ(manager.getSound("tone.ogg"), nullptr);
    manager.destroyAllSounds();
    EXPECT_EQ(manager.getSound("missing.ogg"), nullptr);
    EXPECT_EQ(node->numAttachedObjects(), 1u);  // the listener only
}

}  // namespace
