// The countdown is heard: each whole second it passes plays the red stinger, restarted, so a
// frame that passes all three marks plays it once, not three times over; "go" plays the green
// one. Each stinger is a tone of its own pitch in what OpenAL's wave writer mixed.
#include "AudioTestSupport.h"

#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/GlobalSounds.h"
#include "play/GS_PlayOnly.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

TEST(CountdownSound, ThreeMarksInOneFrameBeepOnceThenGo)
{
    testsupport::TempGameTree tree{"Data/System/GSData.Dat"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    testsupport::HeadlessOgre ogre;
    audiotest::makeTone("red_sting.ogg", 440.0f, 0.3f);
    audiotest::makeTone("green_sting.ogg", 1320.0f, 0.3f);
    audiotest::addMediaGroup("CountdownSound");
    // Stingers 5 and 6: red and green.
    audiotest::writeSoundTable(tree.path("Data/System/GSData.Dat"), {}, {{5, "red_sting.ogg"}, {6, "green_sting.ogg"}});

    auto sounds = std::make_unique<audio::SoundManager>("", 100);
    ASSERT_TRUE(sounds->hasDevice());
    auto stingers = std::make_unique<GlobalSounds>(sounds.get());
    ASSERT_NE(stingers->redStinger(), nullptr);
    ASSERT_NE(stingers->greenStinger(), nullptr);
    GamePlayData data;
    auto play = std::make_unique<GS_PlayOnly>(&data, nullptr, nullptr, sounds.get(), nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, stingers.get(), nullptr,
                                              nullptr, nullptr);

    audiotest::runSounds(*sounds, 0.3);
    // One long first frame, 3.0 down to 0.9: the marks at 3, 2 and 1 all pass.
    play->updateCountdown(2.1f, nullptr);
    EXPECT_EQ(data.playPhase, PLAYPHASE_INTRO);
    audiotest::runSounds(*sounds, 0.6);
    play->updateCountdown(1.0f, nullptr);
    EXPECT_EQ(data.playPhase, PLAYPHASE_PLAYING);
    audiotest::runSounds(*sounds, 0.6);

    play.reset();
    stingers.reset();
    sounds.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double red = wave.firstLouder(0.0, 0.03f);
    ASSERT_GT(red, 0.2) << "silence before the countdown frame";
    EXPECT_NEAR(wave.frequencyBetween(red + 0.05, red + 0.25), 440.0, 30.0);
    const double redEnd = wave.firstQuieter(red, 0.01f);
    ASSERT_GT(redEnd, red);
    // One tone's length and loudness: three overlaid starts would be as long and three times as loud.
    EXPECT_NEAR(redEnd - red, 0.3, 0.06);
    const float oneTone = wave.rms(red + 0.05, red + 0.25);
    const double green = wave.firstLouder(redEnd, 0.03f);
    ASSERT_GT(green, redEnd + 0.2) << "silence until go";
    EXPECT_NEAR(wave.frequencyBetween(green + 0.05, green + 0.25), 1320.0, 60.0);
    EXPECT_NEAR(wave.rms(green + 0.05, green + 0.25), oneTone, oneTone * 0.25f);
}
