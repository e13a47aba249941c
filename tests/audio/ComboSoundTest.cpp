// The colour bar is heard: a scored combo plays the accept click, a greyed chain the back click.
// Each click is a tone of its own pitch, told apart in what OpenAL's wave writer mixed.
#include "AudioTestSupport.h"

#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/GlobalSounds.h"
#include "play/GameRulesManager.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ComboSound, AScoredComboAcceptsAndAGreyedChainGoesBack)
{
    testsupport::TempGameTree tree{"Data/System/GSData.Dat"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    testsupport::HeadlessOgre ogre;
    audiotest::makeTone("combo_accept.ogg", 440.0f, 0.3f);
    audiotest::makeTone("combo_back.ogg", 1320.0f, 0.3f);
    audiotest::addMediaGroup("ComboSound");
    // Entries 0 and 1: the accept and back clicks.
    audiotest::writeSoundTable(tree.path("Data/System/GSData.Dat"), {{0, "combo_accept.ogg"}, {1, "combo_back.ogg"}},
                               {});

    auto sounds = std::make_unique<audio::SoundManager>("", 100);
    ASSERT_TRUE(sounds->hasDevice());
    auto clicks = std::make_unique<GlobalSounds>(sounds.get());
    ASSERT_NE(clicks->acceptClick(), nullptr);
    ASSERT_NE(clicks->backClick(), nullptr);
    GamePlayData data;
    auto rules = std::make_unique<GameRulesManager>(
        &data, nullptr, nullptr, sounds.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        clicks.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    rules->UseColourSystem = rules->UseComboSys = 1;
    rules->colourBalls.assign(5, 0);
    rules->colourStates = {{"red", Ogre::ColourValue::Red}, {"green", Ogre::ColourValue::Green}};
    rules->ComboMinCombo = 3;
    rules->ComboMinPoint = 100.0f;
    rules->ComboPointMulti = 2.0f;
    audiotest::runSounds(*sounds, 0.3);

    for (uint32_t colour : {1u, 1u, 1u, 2u})  // three reds score when green comes
        rules->addKillColour(colour);
    audiotest::runSounds(*sounds, 0.7);
    rules->addKillColour(1);  // the lone green greys
    audiotest::runSounds(*sounds, 0.7);

    rules.reset();
    clicks.reset();
    sounds.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double accept = wave.firstLouder(0.0, 0.03f);
    ASSERT_GT(accept, 0.2) << "silence before the combo";
    EXPECT_NEAR(wave.frequencyBetween(accept + 0.05, accept + 0.25), 440.0, 30.0);
    const double gap = wave.firstQuieter(accept, 0.01f);
    ASSERT_GT(gap, accept);
    const double back = wave.firstLouder(gap, 0.03f);
    ASSERT_GT(back, gap) << "the back click is heard";
    EXPECT_GT(back - accept, 0.5);
    EXPECT_NEAR(wave.frequencyBetween(back + 0.05, back + 0.25), 1320.0, 60.0);
}

}  // namespace
