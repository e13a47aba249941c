// A cleared wave is heard: the rules restart the wave stinger, and the mission stinger stays
// silent while waves remain. Each stinger is a tone of its own pitch in what OpenAL's wave
// writer mixed.
#include "AudioTestSupport.h"

#include "audio/SoundManager.h"
#include "core/GlobalSounds.h"
#include "play/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

TEST(WaveSound, AClearedWaveRestartsTheWaveStinger)
{
    rulestest::ModeFiles files;
    files.write("Waves", R"(
[MECHANICS]
NumMechaVars = 1
MechaVar_1_Start = 1
[CLEAR_CONDITION]
CC_WaveClear = true
[WAVE]
UseWaveSystem = true
NumWaves = 3
WaveClear_MechIdx = 1
WaveClear_Condition = 3
)");
    testsupport::HeadlessOgre ogre;
    audiotest::makeTone("wave_sting.ogg", 660.0f, 0.3f);
    audiotest::makeTone("mission_sting.ogg", 1320.0f, 0.3f);
    audiotest::addMediaGroup("WaveSound");
    // Stingers 2 and 4: wave and mission.
    audiotest::writeSoundTable(files.tree.path("Data/System/GSData.Dat"), {},
                               {{2, "wave_sting.ogg"}, {4, "mission_sting.ogg"}});

    auto sounds = std::make_unique<audio::SoundManager>("", 100);
    ASSERT_TRUE(sounds->hasDevice());
    auto stingers = std::make_unique<GlobalSounds>(sounds.get());
    ASSERT_NE(stingers->waveStinger(), nullptr);
    ASSERT_NE(stingers->missionStinger(), nullptr);
    GamePlayData data;
    GameSession session(nullptr, nullptr);
    session.levelName = "Waves";
    rulestest::Handles h;
    h.data = &data;
    h.session = &session;
    h.sounds = sounds.get();
    h.globalSounds = stingers.get();
    auto rules = rulestest::makeRules(h);
    data.playPhase = 1;

    // Two seconds of play with the wave's variable at 1 (wave tests at 0.5 and 1.5 s): nothing
    // cleared, nothing heard. The next test, at 2.5 s, finds it at 0.
    for (int i = 0; i < 4; ++i) {
        rules->update(0.5f, nullptr);
        audiotest::runSounds(*sounds, 0.1);
    }
    ASSERT_EQ(rules->currentWave, 1u);
    data.mechaVars[0].value = 0.0f;
    rules->update(0.5f, nullptr);
    ASSERT_EQ(rules->currentWave, 2u);
    EXPECT_EQ(data.playPhase, 1u);
    audiotest::runSounds(*sounds, 0.7);

    rules.reset();
    stingers.reset();
    sounds.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double on = wave.firstLouder(0.0, 0.03f);
    ASSERT_GT(on, 0.2) << "silence before the wave is cleared";
    EXPECT_NEAR(wave.frequencyBetween(on + 0.05, on + 0.25), 660.0, 30.0);
    const double off = wave.firstQuieter(on, 0.01f);
    ASSERT_GT(off, on);
    EXPECT_LT(wave.firstLouder(off, 0.03f), 0.0) << "the mission stinger stays silent";
}
