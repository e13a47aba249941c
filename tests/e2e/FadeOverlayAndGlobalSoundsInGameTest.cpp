// The fade overlay and the global sounds as the game builds them: its own resources, tables and
// sound manager, on a real window.
#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/FadeOverlay.h"
#include "core/GlobalSounds.h"
#include "core/ZV_GameState.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"

#include <OIS/OIS.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;

namespace {

int brightness(const Rgb& c) { return c.r + c.g + c.b; }

TEST(FadeOverlayInGame, MenuComesInFromBlackThroughHalfDark)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    // A screen that leaves in black (as a play does) hands over to a menu that fades in.
    game.state()->fadeOverlay->setAlpha(1.0f);
    game.state()->nextStateId = 1;
    game.state()->done = 1;
    game.frame();
    game.frame();
    ZV_GameState* menu = game.stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->fadeOverlay, nullptr);
    ASSERT_TRUE(menu->fadeOverlay->isWorking());
    EXPECT_EQ(menu->fadeOverlay->getMode(), FadeOverlay::FadingIn);

    const testsupport::Screenshot first = game.screenshot();
    const int w = first.width(), h = first.height();
    EXPECT_GT(first.countNear(Rgb{0, 0, 0}, 0, 0, w, h, 3), w * h * 99 / 100);

    // Half of the fade-in's frames: the picture shows, darkened (the corner shows the map behind
    // the menu, which stays put while the fade runs).
    game.runFrames(30);
    const Rgb midway = game.pixel(5, 5);
    game.runFrames(40);
    const Rgb clear = game.pixel(5, 5);
    EXPECT_GT(brightness(clear), 120) << clear;
    EXPECT_GT(brightness(midway), brightness(clear) / 5) << midway;
    EXPECT_LT(brightness(midway), brightness(clear) * 4 / 5) << midway;
    EXPECT_FALSE(menu->fadeOverlay->isOverlayVisible());
    EXPECT_EQ(menu->fadeOverlay->getMode(), FadeOverlay::Idle);
}

TEST(GlobalSoundsInGame, TableAndSoundsAreFoundAndTheMusicPlays)
{
    // OpenAL's null device unless the run says otherwise.
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GlobalSounds* sounds = game.state()->globalSounds;
    ASSERT_NE(sounds, nullptr);
    ASSERT_TRUE(game.state()->soundManager->hasDevice());
    for (audio::Sound* s : {sounds->acceptClick(), sounds->backClick(), sounds->moveClick(), sounds->warningClick(),
                            sounds->killStinger(), sounds->comboStinger(), sounds->waveStinger(), sounds->pickStinger(),
                            sounds->missionStinger(), sounds->redStinger(), sounds->greenStinger(), sounds->musicVoice()}) {
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->hasData()) << s->getName() << ": " << s->getFileName();
    }
    EXPECT_FALSE(sounds->randomMusic().empty());

    // The title starts its music on its own, and moving through the menu clicks.
    game.runFrames(30);
    ASSERT_NE(sounds->musicVoice(), nullptr);
    EXPECT_TRUE(sounds->musicVoice()->isPlaying());
    // Slowed down, the short click outlasts the frames of the tap even on a busy machine.
    sounds->moveClick()->setPitch(0.05f);
    game.tapKey(OIS::KC_DOWN);
    EXPECT_TRUE(sounds->moveClick()->isPlaying());
    sounds->moveClick()->setPitch(1.0f);

    // The core advances the fade every frame: three seconds of frames bring the music to silence.
    const float gain = sounds->musicVoice()->getGain();
    sounds->fadeOutMusic();
    game.runFrames(90);
    EXPECT_NEAR(sounds->musicVoice()->getGain(), gain * 0.5f, gain * 0.05f);
    game.runFrames(95);
    EXPECT_FALSE(sounds->isFadingMusic());
    EXPECT_LT(sounds->musicVoice()->getGain(), gain * 0.05f);
}

}  // namespace
