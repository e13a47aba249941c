// The play state in the running game (under Xvfb, through the scripted-input harness): the
// four-frame start, the mission-info confirm, the countdown, the hold sequence, the pause and its
// choices, spawn requests, the aim, and retry and quit with everything released.
#include "core/FadeOverlay.h"
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/SceneContext.h"
#include "core/SharedBlock.h"
#include "core/Utilities.h"
#include "definitions/GameObjectKind.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarHeadParams.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/projParams.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "play/Priget_PlayPause.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <string>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::Rgb;

namespace {

constexpr float kDt = 1.0f / 60.0f;

std::string viewportCamera(GameHarness& game) { return game.window()->getViewport(0)->getCamera()->getName(); }

// From the title, Return on the first item (free play of mode 0): the frame after it shows the
// new play state before its first update.
GS_PlayOnly* choosePlay(GameHarness& game)
{
    if (!game.enterMainMenu())
        return nullptr;
    game.runFrames(30);
    game.press(OIS::KC_RETURN);
    game.frame();
    game.release(OIS::KC_RETURN);
    return game.stateAs<GS_PlayOnly>();
}

// Past the start sequence and the countdown into the Playing phase.
GS_PlayOnly* startPlaying(GameHarness& game)
{
    GS_PlayOnly* play = choosePlay(game);
    if (!play)
        return nullptr;
    game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400);
    return play->playData->playPhase == PLAYPHASE_PLAYING ? play : nullptr;
}

bool anyPlayNodeOrCamera(Ogre::SceneManager* scene)
{
    for (const auto& cam : scene->getCameras())
        if (cam.first.rfind("ZV_", 0) == 0)
            return true;
    return false;
}

}  // namespace

TEST(PlayState, StartsInFourFramesThenWaitsForTheConfirmOfTheMissionInfo)
{
    GameHarness game;
    GS_PlayOnly* play = choosePlay(game);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->startStep, 0u);
    EXPECT_EQ(play->firstFrame, 1);
    Ogre::SceneManager* scene = game.sceneManager();
    // The next play of a campaign run opens with the mission info.
    game.session()->showMissionInfo = 1;

    // Frame 1: black, nothing made yet.
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(play->startStep, 1u);
    EXPECT_FALSE(scene->hasCamera("ZV_EndCam"));
    EXPECT_TRUE(game.pixel(400, 300).near(Rgb{0, 0, 0}, 4)) << game.pixel(400, 300);

    // Frame 2: the set-up, still black.
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(play->sharedBlock->playsSetUp, 1u);
    for (const char* cam : {"ZV_EndCam", "ZV_playCam", "ZV_cIntroCam", "ZV_cPCMCam"})
        EXPECT_TRUE(scene->hasCamera(cam)) << cam;
    EXPECT_EQ(viewportCamera(game), "ZV_cIntroCam");
    EXPECT_EQ(game.core()->sceneContext()->playArea, Ogre::Vector4(-80, -55, 80, 55));
    EXPECT_NE(play->rules, nullptr);
    EXPECT_EQ(play->fadeOverlay->getMode(), FadeOverlay::Idle);
    EXPECT_TRUE(game.pixel(400, 300).near(Rgb{0, 0, 0}, 4)) << game.pixel(400, 300);

    // Frame 3: the first frame of the world; frame 4: the fade-in starts.
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(play->startStep, 4u);
    EXPECT_EQ(play->fadeOverlay->getMode(), FadeOverlay::Idle);
    // A confirm held from before the mission info acts in its first frame.
    game.press(OIS::KC_RETURN);
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(play->firstFrame, 0);
    EXPECT_EQ(play->fadeOverlay->getMode(), FadeOverlay::FadingIn);
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_MISSION_INFO);
    EXPECT_FALSE(play->countdownText->getVisible());
    game.frame();
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_INTRO);
    EXPECT_TRUE(play->countdownText->getVisible());

    // Afterwards a confirm must be released first.
    play->playData->playPhase = PLAYPHASE_MISSION_INFO;
    game.runFrames(3);
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_MISSION_INFO);
    game.release(OIS::KC_RETURN);
    game.frame();
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_MISSION_INFO);
    game.press(OIS::KC_ESCAPE);
    game.frame();
    EXPECT_EQ(play->playData->playPhase, PLAYPHASE_INTRO);
    game.release(OIS::KC_ESCAPE);
}

// One countdown frame from just above c' to c': caption, border, camera and phase.
TEST(PlayState, CountdownCaptionBorderAndCameras)
{
    GameHarness game;
    GS_PlayOnly* play = choosePlay(game);
    ASSERT_NE(play, nullptr);
    game.runFrames(4);
    ASSERT_EQ(play->firstFrame, 0);
    ASSERT_EQ(play->playData->playPhase, PLAYPHASE_INTRO);
    SceneContext* context = game.core()->sceneContext();
    ASSERT_NE(context->borderNode, nullptr);

    struct Row {
        float after;          // c'
        const char* caption;  // shown; null: hidden
        float borderY;
        const char* camera;
        uint32_t phase;
    };
    const Row rows[] = {
        {2.5f, "3", -30, "ZV_cIntroCam", PLAYPHASE_INTRO},
        {2.0f, "3", -30, "ZV_cIntroCam", PLAYPHASE_INTRO},
        {1.99f, "2", -29.7f, "ZV_cIntroCam", PLAYPHASE_INTRO},
        {1.5f, "2", -15, "ZV_cIntroCam", PLAYPHASE_INTRO},
        {1.0f, "2", 0, "ZV_cPCMCam", PLAYPHASE_INTRO},
        {0.99f, "1", 0, "ZV_cPCMCam", PLAYPHASE_INTRO},
        {0.0f, nullptr, 0, "ZV_cPCMCam", PLAYPHASE_PLAYING},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.after);
        play->countdown = r.after + 0.005f;
        play->updateCountdown(0.005f, nullptr);
        EXPECT_FLOAT_EQ(play->countdown, r.after);
        if (r.caption) {
            EXPECT_TRUE(play->countdownText->getVisible());
            EXPECT_EQ(play->countdownText->getCaption().asUTF8(), r.caption);
            // The number shows at full strength as its second starts and fades during it.
            EXPECT_NEAR(play->countdownText->getAlpha(), 1.0f + (r.after - std::ceil(r.after)), 1e-4f);
        } else {
            EXPECT_FALSE(play->countdownText->getVisible());
        }
        EXPECT_NEAR(context->borderNode->getPosition().y, r.borderY, 1e-3f);
        EXPECT_EQ(viewportCamera(game), r.camera);
        EXPECT_EQ(play->playData->playPhase, r.phase);
    }
    EXPECT_FLOAT_EQ(play->introFade, 1.0f);
    // The cogs fade out over a second of play.
    game.runFrames(30);
    EXPECT_NEAR(play->bigCogImage->getAlpha(), play->introFade * 0.5f, 1e-4f);
    EXPECT_TRUE(play->introPanel->getVisible());
    game.runFrames(40);
    EXPECT_FLOAT_EQ(play->introFade, 0.0f);
    EXPECT_FALSE(play->introPanel->getVisible());
}

namespace {

// A slow rocket of the enemy team flying across the arena, high above the ground.
Projectile* launchRocket(GS_PlayOnly* play)
{
    projParams* rocket = play->projectileDefs->getParams("proj_rocket", ProjectileKind_Rocket);
    WarHeadParams* explosive = play->warheadDefs->getParams("wh_explosive");
    if (!rocket || !explosive)
        return nullptr;
    const uint8_t noTracking = 0;
    const Ogre::Vector3 from(-40, 30, 20);
    play->projectiles->spawn(2, ProjectileKind_Rocket, from,
                             Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(Ogre::Vector3::UNIT_X), 0, 0, 900,
                             rocket->Damage, rocket, explosive, &noTracking, 0, nullptr);
    for (uint32_t slot = 0; slot < play->projectiles->slotCount(); ++slot)
        if (Projectile* p = play->projectiles->projectileInSlot(slot))
            return p;
    return nullptr;
}

struct WorldPose {
    Ogre::Vector3 vehicle, ovni, rocket;
    float playTime;
};

}  // namespace

// A turbo pickup holds the world still for one second, one second after it was taken; the play
// camera's node backs off meanwhile. Neither a pause during the hold nor a hold during a pause.
TEST(PlayState, TurboHoldFreezesTheWorldForASecond)
{
    GameHarness game;
    GS_PlayOnly* play = startPlaying(game);
    ASSERT_NE(play, nullptr);
    GamePlayData* data = play->playData;
    Projectile* rocket = nullptr;
    auto pose = [&] {
        return WorldPose{Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, rocket->getNode()->getPosition(), 0.0f};
    };

    game.press(OIS::KC_W);
    data->turboStartRequest = 1;
    int delayFrames = 0;
    while (play->holdTime == 0.0f && delayFrames < 120) {
        // A rocket launched shortly before the hold, so that it is still flying after it.
        if (delayFrames == 55) {
            rocket = launchRocket(play);
            ASSERT_NE(rocket, nullptr);
        }
        game.frame();
        ++delayFrames;
    }
    ASSERT_NE(rocket, nullptr);
    EXPECT_NEAR(delayFrames, 61, 1);
    EXPECT_EQ(data->turboHeld, 1);
    const WorldPose held = pose();
    // Escape during the hold does not pause.
    game.press(OIS::KC_ESCAPE);
    int heldFrames = 1;
    while (play->holdTime > 0.0f && heldFrames < 120) {
        if (heldFrames == 30)
            game.release(OIS::KC_ESCAPE);
        const WorldPose now = pose();
        EXPECT_EQ(now.rocket, held.rocket);
        game.frame();
        ++heldFrames;
    }
    EXPECT_NEAR(heldFrames, 60, 1);
    EXPECT_EQ(play->paused, 0);
    // The world moves again.
    game.runFrames(10);
    const WorldPose after = pose();
    EXPECT_NE(after.rocket, held.rocket);
    game.release(OIS::KC_W);

    // The timings and the camera node, step by step.
    data->turboHeld = 0;
    data->holdReleased = 0;
    data->turboStartRequest = 1;
    play->updateHoldSequence(0.49f);
    EXPECT_FLOAT_EQ(play->turboDelay, 0.51f);
    EXPECT_FLOAT_EQ(play->holdTime, 0.0f);
    // The frame that starts the hold already counts toward it.
    play->updateHoldSequence(0.52f);
    EXPECT_EQ(data->turboHeld, 1);
    EXPECT_NEAR(play->holdTime, 0.48f, 1e-5f);
    EXPECT_NEAR(play->playCamNode->getPosition().z, 11.0f, 1e-3f);
    play->updateHoldSequence(0.28f);  // holdTime 0.2
    EXPECT_NEAR(play->playCamNode->getPosition().z, 20.0f, 1e-4f);
    EXPECT_EQ(data->holdReleased, 0);
    play->updateHoldSequence(0.3f);
    EXPECT_EQ(data->holdReleased, 1);
    EXPECT_FLOAT_EQ(play->holdTime, 0.0f);
    data->holdReleased = 0;
    play->updateHoldSequence(0.3f);
    EXPECT_EQ(data->holdReleased, 0);
    // The vehicle's turbo runs out: the node comes back over 1.3 s.
    data->turboEndRequest = 1;
    play->updateHoldSequence(0.1f);
    EXPECT_FLOAT_EQ(play->camReturn, 1.3f);
    play->updateHoldSequence(0.65f);
    EXPECT_NEAR(play->playCamNode->getPosition().z, 10.0f, 1e-4f);
    data->turboHeld = 0;

    // A turbo taken during a pause does not hold the paused world.
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    data->turboStartRequest = 1;
    game.runFrames(90);
    EXPECT_FLOAT_EQ(play->holdTime, 0.0f);
    EXPECT_EQ(data->turboStartRequest, 1);
}

// Escape pauses on its press edge; held on it does not resume; the panel's choices act on
// Return once per press.
TEST(PlayState, PauseAndItsChoices)
{
    GameHarness game;
    GS_PlayOnly* play = startPlaying(game);
    ASSERT_NE(play, nullptr);
    Projectile* rocket = launchRocket(play);
    ASSERT_NE(rocket, nullptr);
    GameSession* session = game.session();

    game.press(OIS::KC_ESCAPE);
    game.frame();
    EXPECT_EQ(play->paused, 1);
    EXPECT_TRUE(play->pausePanel->visible);
    const Ogre::Vector3 still = rocket->getNode()->getPosition();
    game.runFrames(60);  // Escape still held
    EXPECT_EQ(play->paused, 1);
    EXPECT_EQ(rocket->getNode()->getPosition(), still);
    game.release(OIS::KC_ESCAPE);
    game.frame();
    EXPECT_EQ(play->paused, 1);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_EQ(play->paused, 0);
    game.runFrames(5);
    EXPECT_NE(rocket->getNode()->getPosition(), still);

    // Return on Resume (index 0).
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    EXPECT_EQ(session->selectedIndex, 0u);
    game.press(OIS::KC_RETURN);
    game.frame();
    EXPECT_EQ(play->paused, 0);
    EXPECT_EQ(session->inputLatch, 1);
    game.release(OIS::KC_RETURN);
    game.frame();

    // A Return still held from before the pause acts only after its release.
    game.press(OIS::KC_RETURN);
    game.frame();
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(play->paused, 1);
    session->inputLatch = 1;
    game.runFrames(3);
    EXPECT_EQ(play->paused, 1);
    game.release(OIS::KC_RETURN);
    game.frame();
    EXPECT_EQ(session->inputLatch, 0);

    // Retry (index 1): a new play of the same selection.
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);
    GS_PlayOnly* second = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->startStep, 1u);  // its black first frame ran with the key's release
    EXPECT_EQ(second->nextStateId, 0u);

    // Quit (index 2): back to the title.
    game.runUntil([&] { return second->playData->playPhase == PLAYPHASE_PLAYING; }, 400);
    game.tapKey(OIS::KC_ESCAPE);
    ASSERT_EQ(second->paused, 1);
    game.tapKey(OIS::KC_DOWN);
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 2u);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

// Two retries and a quit: each play starts fresh, and the last leaves no camera, node or
// widget of its own behind.
TEST(PlayState, RetryTwiceThenQuitLeavesNothingBehind)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    game.runFrames(30);
    Ogre::SceneManager* scene = game.sceneManager();
    const auto rootNodes = scene->getRootSceneNode()->numChildren();
    game.press(OIS::KC_RETURN);
    game.frame();
    game.release(OIS::KC_RETURN);
    for (int play = 0; play < 3; ++play) {
        SCOPED_TRACE(play);
        GS_PlayOnly* state = game.stateAs<GS_PlayOnly>();
        ASSERT_NE(state, nullptr);
        ASSERT_TRUE(game.runUntil([&] { return state->playData->playPhase == PLAYPHASE_PLAYING; }, 400));
        EXPECT_EQ(state->sharedBlock->playsSetUp, 1u);
        game.runFrames(30);
        game.tapKey(OIS::KC_ESCAPE);
        ASSERT_EQ(state->paused, 1);
        const int downs = play < 2 ? 1 : 2;
        for (int i = 0; i < downs; ++i)
            game.tapKey(OIS::KC_DOWN);
        game.tapKey(OIS::KC_RETURN);
    }
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_FALSE(anyPlayNodeOrCamera(scene));
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), rootNodes);
    EXPECT_EQ(game.core()->playData()->playPhase, PLAYPHASE_INTRO);
}
