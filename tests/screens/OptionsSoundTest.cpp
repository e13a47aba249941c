#include "core/ConfigManager.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_OptionsMenu.h"
#include "screens/Priget_OptionsSound.h"
#include "screens/ScreensTestSupport.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

using screenstest::switchTo;
using testsupport::GameHarness;
using testsupport::HarnessOptions;

namespace {

// Music, SFX, environment and voice, as slider positions and as shown.
std::array<size_t, 4> positions(const Priget_OptionsSound& page)
{
    return {page.musicSlider->getScrollPosition(), page.sfxSlider->getScrollPosition(),
            page.environmentSlider->getScrollPosition(), page.voiceSlider->getScrollPosition()};
}

std::array<std::string, 4> shown(const Priget_OptionsSound& page)
{
    return {page.musicValue->getCaption().asUTF8(), page.sfxValue->getCaption().asUTF8(),
            page.environmentValue->getCaption().asUTF8(), page.voiceValue->getCaption().asUTF8()};
}

// Moves the master slider as a drag would: the position, then its change event.
void moveMaster(Priget_OptionsSound& page, size_t position)
{
    page.masterSlider->setScrollPosition(position);
    page.onMasterVolume(page.masterSlider, position);
}

void setVolumes(GameSettings& s, int music, int others)
{
    s.MusicVolume = music;
    s.SFXVolume = s.EnvironmentVolume = s.VoiceVolume = others;
}

}  // namespace

TEST(OptionsSound, MasterMovesEveryChannelByItsOwnStepWithinTheRange)
{
    HarnessOptions options;
    options.adjustSettings = [](GameSettings& s) { setVolumes(s, 80, 50); };
    GameHarness game(options);
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsSound& page = *game.stateAs<GS_Options>()->soundPage;

    EXPECT_EQ(page.masterSlider->getScrollRange(), 100u);
    EXPECT_EQ(page.masterSlider->getScrollPosition(), 0u);
    EXPECT_EQ(positions(page), (std::array<size_t, 4>{80, 50, 50, 50}));
    EXPECT_EQ(shown(page), (std::array<std::string, 4>{"80", "50", "50", "50"}));

    struct Step {
        size_t master;
        std::array<size_t, 4> channels;
    };
    for (const Step& s : {Step{10, {90, 60, 60, 60}}, Step{30, {99, 80, 80, 80}}, Step{0, {69, 50, 50, 50}}}) {
        SCOPED_TRACE(s.master);
        moveMaster(page, s.master);
        EXPECT_EQ(page.masterValue->getCaption().asUTF8(), std::to_string(s.master));
        EXPECT_EQ(positions(page), s.channels);
        const auto& c = s.channels;
        EXPECT_EQ(shown(page), (std::array<std::string, 4>{std::to_string(c[0]), std::to_string(c[1]),
                                                            std::to_string(c[2]), std::to_string(c[3])}));
    }

    // A channel near the bottom stays at 0 while the master keeps going down.
    page.sfxSlider->setScrollPosition(5);
    moveMaster(page, 20);
    EXPECT_EQ(page.sfxSlider->getScrollPosition(), 25u);
    page.sfxSlider->setScrollPosition(5);
    moveMaster(page, 0);
    EXPECT_EQ(page.sfxSlider->getScrollPosition(), 0u);
    EXPECT_EQ(page.sfxValue->getCaption().asUTF8(), "0");

    // A channel's own slider changes only its own text.
    const auto before = shown(page);
    page.voiceSlider->setScrollPosition(42);
    page.onVoiceVolume(page.voiceSlider, 42);
    EXPECT_EQ(page.voiceValue->getCaption().asUTF8(), "42");
    EXPECT_EQ(page.musicValue->getCaption().asUTF8(), before[0]);
    EXPECT_EQ(page.masterValue->getCaption().asUTF8(), "0");
}

TEST(OptionsSound, LeavingTheOptionsStoresTheVolumes)
{
    HarnessOptions options;
    options.adjustSettings = [](GameSettings& s) { setVolumes(s, 150, -5); };
    GameHarness game(options);
    switchTo(game, GAMESTATE_OPTIONS);
    auto* state = game.stateAs<GS_Options>();
    Priget_OptionsSound& page = *state->soundPage;
    // Volumes outside 0 to 99 from a hand-edited file show at the ends of the sliders.
    EXPECT_EQ(positions(page), (std::array<size_t, 4>{99, 0, 0, 0}));

    state->onAudioClick(state->optionsMenu->audioButton);
    moveMaster(page, 7);
    page.musicSlider->setScrollPosition(33);
    std::remove((game.workDir() + "/config.ini").c_str());
    game.frame();
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);

    const GameSettings& s = *game.settings();
    EXPECT_EQ(s.MusicVolume, 33);
    EXPECT_EQ(s.SFXVolume, 7);
    EXPECT_EQ(s.EnvironmentVolume, 7);
    EXPECT_EQ(s.VoiceVolume, 7);
    const std::string config = testsupport::readTextFile(game.workDir() + "/config.ini");
    EXPECT_NE(config.find("MusicVolume = 33"), std::string::npos) << config;
    EXPECT_NE(config.find("VoiceVolume = 7"), std::string::npos) << config;
}

TEST(OptionsSound, DestroyOnAPageNeverCreatedWritesNothing)
{
    GameHarness game;
    GameSettings& s = *game.settings();
    setVolumes(s, 12, 34);
    ConfigManager config(&s, game.workDir() + "/sound_page.ini");
    {
        Priget_OptionsSound page(game.gui(), game.root(), &config, &s, "", false, true);
        page.destroy();
        EXPECT_EQ(page.created, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(game.workDir() + "/sound_page.ini"));
    EXPECT_EQ(s.MusicVolume, 12);
}
