// The title menu state in the running game: splash timing, the input latch and its screens' ways.
#include "audio/Sound.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using testsupport::GameHarness;

namespace {

// Frames run until the splash gives way to the prompt.
int framesUntilPrompt(GameHarness& game, int limit = 400)
{
    int frames = 0;
    while (frames < limit && game.session()->menuPhase == MENU_SPLASH) {
        game.frame();
        ++frames;
    }
    return frames;
}

}  // namespace

TEST(TitleMenu, SplashLastsFiveSecondsAndOneConfirmRunsItThreeTimesFaster)
{
    // 60 frames a second: 300 frames of splash after the first, which does no screen work.
    {
        GameHarness game;
        game.frame();
        EXPECT_EQ(game.session()->menuPhase, MENU_SPLASH);
        const int frames = framesUntilPrompt(game);
        EXPECT_NEAR(frames, 300, 1);
        EXPECT_FALSE(game.stateAs<GS_Menu>()->splashBackdrop->getVisible());
        EXPECT_TRUE(game.stateAs<GS_Menu>()->titlePrompt->getVisible());
    }
    {
        // One press after 1 s: the other 4 s take 80 frames; a second press changes nothing.
        GameHarness game;
        game.runFrames(61);
        game.tapKey(OIS::KC_RETURN);
        game.runFrames(20);
        game.tapKey(OIS::KC_RETURN);
        const int frames = 61 + 2 + 20 + 2 + framesUntilPrompt(game);
        EXPECT_NEAR(frames, 61 + 80, 2);
    }
}

TEST(TitleMenu, HeldConfirmDoesNotPassThePromptAndEscapeLeadsBackToTheProfiles)
{
    GameHarness game;
    GameSession* session = game.session();
    game.frame();
    game.press(OIS::KC_RETURN);
    framesUntilPrompt(game);
    game.runFrames(10);
    EXPECT_EQ(session->menuPhase, MENU_TITLE_PROMPT);
    game.release(OIS::KC_RETURN);
    game.frame();
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(session->menuPhase, MENU_PROFILES);

    ASSERT_TRUE(game.enterMainMenu());
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_EQ(session->menuPhase, MENU_PROFILES);
    EXPECT_FALSE(game.stateAs<GS_Menu>()->mainMenu->mainFrame()->getVisible());
    EXPECT_TRUE(game.stateAs<GS_Menu>()->profilePanel->listPanel->getVisible());
}

TEST(TitleMenu, ChordResetsTheStatisticsOncePerPressInTheMenuAndTheQuitBox)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GameSession* session = game.session();
    GameModeDef* mode = session->profile->getMode(0);
    ASSERT_NE(mode, nullptr);

    auto holdChord = [&] {
        for (OIS::KeyCode k : {OIS::KC_LCONTROL, OIS::KC_F4, OIS::KC_Q})
            game.press(k);
        game.frame();
    };
    for (uint32_t phase : {uint32_t(MENU_MAIN), uint32_t(MENU_QUIT_BOX)}) {
        SCOPED_TRACE(phase);
        if (phase == MENU_QUIT_BOX) {
            game.tapKey(OIS::KC_ESCAPE);
            game.runFrames(20);
            game.clickWidget(game.stateAs<GS_Menu>()->profilePanel->quitButton);
            game.moveMouseTo(0, 0);
            game.frame();
        }
        ASSERT_EQ(session->menuPhase, phase);
        mode->progress0 = 5;
        session->profile->profileCounter = 3;
        holdChord();
        EXPECT_EQ(mode->progress0, 0u);
        EXPECT_EQ(session->profile->profileCounter, 0u);
        mode->progress0 = 7;
        game.runFrames(5);
        EXPECT_EQ(mode->progress0, 7u) << "held, the chord acts once";
        game.keyboard().releaseAll();
        game.frame();
        holdChord();
        EXPECT_EQ(mode->progress0, 0u);
        game.keyboard().releaseAll();
        game.frame();
    }
}

TEST(TitleMenu, LockedModeRefusesSilentlyAndKeepsTheLatch)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GameSession* session = game.session();
    GS_Menu* menu = game.stateAs<GS_Menu>();
    GlobalSounds* sounds = menu->globalSounds;
    ASSERT_TRUE(session->profile->getMode(1)->locked);
    session->selectedIndex = 1;
    sounds->acceptClick()->stop();

    game.press(OIS::KC_RETURN);
    game.runFrames(5);
    EXPECT_EQ(game.stateAs<GS_Menu>(), menu);
    EXPECT_EQ(menu->done, 0);
    EXPECT_EQ(session->inputLatch, 1);
    EXPECT_FALSE(sounds->acceptClick()->isPlaying());
    // Unlocked while the key is still held: nothing until a new press.
    session->profile->getMode(1)->locked = false;
    game.runFrames(3);
    EXPECT_EQ(menu->done, 0);
    game.release(OIS::KC_RETURN);
    game.frame();
    const uint32_t started = session->profile->getMode(1)->progress0;
    game.press(OIS::KC_RETURN);
    game.frame();
    EXPECT_EQ(session->selectedMode, 1u);
    EXPECT_EQ(session->profile->getMode(1)->progress0, started + 1);
    EXPECT_NE(game.state(), nullptr);
    EXPECT_EQ(game.state()->stateId, 2u);
}

TEST(TitleMenu, QuitBoxNoGoesBackAndYesEndsTheLoopWithoutASound)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GameSession* session = game.session();
    GS_Menu* menu = game.stateAs<GS_Menu>();
    GlobalSounds* sounds = menu->globalSounds;

    // Main menu "Quit Game" by key: the profile screen; its "Quit": the quit box on "No".
    session->selectedIndex = Priget_Menu_MainMenu::kQuitItem;
    game.tapKey(OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_PROFILES);
    game.runFrames(20);
    session->selectedIndex = 2;
    game.tapKey(OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_QUIT_BOX);
    EXPECT_EQ(session->selectedIndex, 1u);
    // "No" with a profile loaded: back on the main menu, on "Quit Game".
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(session->menuPhase, MENU_MAIN);
    EXPECT_EQ(session->selectedIndex, Priget_Menu_MainMenu::kQuitItem);
    EXPECT_FALSE(menu->mainMenu->quitBox()->getVisible());

    session->selectedIndex = Priget_Menu_MainMenu::kQuitItem;
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(20);
    session->selectedIndex = 2;
    game.tapKey(OIS::KC_RETURN);
    ASSERT_EQ(session->menuPhase, MENU_QUIT_BOX);
    game.tapKey(OIS::KC_LEFT);
    EXPECT_EQ(session->selectedIndex, 0u);
    for (audio::Sound* s : {sounds->acceptClick(), sounds->backClick(), sounds->moveClick(), sounds->warningClick()})
        s->stop();
    game.press(OIS::KC_RETURN);
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(menu->quitRequested, 1);
    for (audio::Sound* s : {sounds->acceptClick(), sounds->backClick(), sounds->moveClick(), sounds->warningClick()})
        EXPECT_FALSE(s->isPlaying()) << s->getName();
    EXPECT_FALSE(game.frame());
}
