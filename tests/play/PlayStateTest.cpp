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
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "play/Priget_PlayPause.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/GameObject.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

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

using testsupport::firstWisp;

// A slow rocket crossing the arena, high above the ground.
Projectile* launchRocket(GS_PlayOnly* play)
{
    return testsupport::launchRocket(play, Ogre::Vector3(-40, 30, 20));
}

struct WorldPose {
    Ogre::Vector3 vehicle, ovni, rocket;
    float playTime;
    bool operator==(const WorldPose& o) const
    {
        return vehicle == o.vehicle && ovni == o.ovni && rocket == o.rocket && playTime == o.playTime;
    }
};

std::ostream& operator<<(std::ostream& out, const WorldPose& p)
{
    return out << "vehicle " << p.vehicle << " ovni " << p.ovni << " rocket " << p.rocket << " time " << p.playTime;
}

WorldPose poseOf(GS_PlayOnly* play, Ovni* ovni, Projectile* rocket)
{
    // The Ovni's body bobs above its main node every tick.
    return WorldPose{play->playerVehicle()->getMainNode()->getPosition(), ovni->getBodyNode()->_getDerivedPosition(),
                     rocket ? rocket->getNode()->getPosition() : Ogre::Vector3::ZERO, play->playData->playTime};
}

}  // namespace

// A turbo pickup holds the world still for one second, one second after it was taken; the play
// camera's node backs off meanwhile. Neither a pause during the hold nor a hold during a pause.
TEST(PlayState, TurboHoldFreezesTheWorldForASecond)
{
    GameHarness game;
    GS_PlayOnly* play = startPlaying(game);
    ASSERT_NE(play, nullptr);
    GamePlayData* data = play->playData;
    ASSERT_NE(play->playerVehicle(), nullptr);
    Ovni* ovni = firstWisp(play);
    ASSERT_NE(ovni, nullptr);
    Projectile* rocket = nullptr;

    game.press(OIS::KC_W);
    data->turboStartRequest = 1;
    const WorldPose start = poseOf(play, ovni, nullptr);
    int delayFrames = 0;
    float ovniTravel = 0.0f;
    while (play->holdTime == 0.0f && delayFrames < 120) {
        // A rocket launched shortly before the hold, so that it is still flying after it.
        if (delayFrames == 55) {
            rocket = launchRocket(play);
            ASSERT_NE(rocket, nullptr);
        }
        game.frame();
        ++delayFrames;
        ovniTravel = std::max(ovniTravel, poseOf(play, ovni, nullptr).ovni.distance(start.ovni));
    }
    ASSERT_NE(rocket, nullptr);
    EXPECT_NEAR(delayFrames, 61, 1);
    EXPECT_EQ(data->turboHeld, 1);
    const WorldPose held = poseOf(play, ovni, rocket);
    // Until the hold the vehicle drove, the Ovni flew and the play time ran.
    EXPECT_GT(held.vehicle.distance(start.vehicle), 1.0f) << held;
    EXPECT_GT(ovniTravel, 0.1f);
    EXPECT_NEAR(held.playTime - start.playTime, delayFrames * kDt, 2 * kDt);
    // Escape during the hold does not pause.
    game.press(OIS::KC_ESCAPE);
    int heldFrames = 1;
    while (play->holdTime > 0.0f && heldFrames < 120) {
        if (heldFrames == 30)
            game.release(OIS::KC_ESCAPE);
        EXPECT_EQ(poseOf(play, ovni, rocket), held) << heldFrames;
        game.frame();
        ++heldFrames;
    }
    EXPECT_NEAR(heldFrames, 60, 1);
    EXPECT_EQ(play->paused, 0);
    // The world moves again.
    game.runFrames(10);
    const WorldPose after = poseOf(play, ovni, rocket);
    EXPECT_NE(after.rocket, held.rocket);
    EXPECT_NE(after.vehicle, held.vehicle);
    EXPECT_GT(after.playTime, held.playTime);
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

    Ovni* ovni = firstWisp(play);
    ASSERT_NE(ovni, nullptr);
    game.press(OIS::KC_W);
    game.press(OIS::KC_ESCAPE);
    game.frame();
    EXPECT_EQ(play->paused, 1);
    EXPECT_TRUE(play->pausePanel->visible);
    // Paused, with W held on: nothing of the world moves.
    const WorldPose still = poseOf(play, ovni, rocket);
    game.runFrames(60);  // Escape still held
    EXPECT_EQ(play->paused, 1);
    EXPECT_EQ(poseOf(play, ovni, rocket), still);
    game.release(OIS::KC_W);
    game.release(OIS::KC_ESCAPE);
    game.frame();
    EXPECT_EQ(play->paused, 1);
    game.tapKey(OIS::KC_ESCAPE);
    EXPECT_EQ(play->paused, 0);
    game.runFrames(5);
    EXPECT_NE(rocket->getNode()->getPosition(), still.rocket);

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

namespace {

// Every object of the play other than the Ovni the rules spawn on their own.
std::set<GameObject*> madeObjects(GS_PlayOnly* play)
{
    std::set<GameObject*> made;
    for (const GameObjectManager::Slot& slot : play->objects->slots())
        if (!slot.free && !dynamic_cast<Ovni*>(slot.object))
            made.insert(slot.object);
    return made;
}

}  // namespace

// A weapon's spawn request is served in the next play tick, once: the object from the name, with
// its AI when asked, turned as asked (an all-zero orientation keeps the spawned turn) and moved by
// the offset along its own axes; a name without a definition is only cleared.
TEST(PlayState, SpawnRequestMakesTheObjectOnce)
{
    GameHarness game;
    GS_PlayOnly* play = startPlaying(game);
    ASSERT_NE(play, nullptr);
    GamePlayData* data = play->playData;
    SpawnRequest& request = data->spawnRequest;
    const Ogre::Vector3 at(20, 3, -10);
    const Ogre::Quaternion zero(0, 0, 0, 0);
    const Ogre::Quaternion quarter(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);

    struct Case {
        const char* name;
        GameObjectKind kind;
        Ogre::Quaternion turn;
        Ogre::Vector3 offset;
        bool withAI;
    };
    const Case cases[] = {
        {"bastion", GameObjectKind::GroundObject, zero, Ogre::Vector3(0, 0, 5), false},
        {"bastion", GameObjectKind::GroundObject, quarter, Ogre::Vector3(0, 1, 5), false},
        {"kestrel", GameObjectKind::AirObject, quarter, Ogre::Vector3(2, 0, 0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.turn == zero ? " unturned" : " turned"));
        // The pose the object takes when made without a request.
        GameObject* reference = play->objects->spawnByName(c.name, at, 2, c.kind);
        ASSERT_NE(reference, nullptr);
        const Ogre::Vector3 spawnedAt = reference->getMainNode()->getPosition();
        const Ogre::Quaternion spawnedTurn = reference->getMainNode()->getOrientation();
        play->objects->remove(reference->getObjectId());

        const std::set<GameObject*> before = madeObjects(play);
        request.pending = 1;
        request.withAI = c.withAI ? 1 : 0;
        request.position = at;
        request.offset = c.offset;
        request.orientation = c.turn;
        data->setSpawnRequestName(c.name);
        request.actorType = static_cast<uint32_t>(c.kind);
        request.actorTeam = 2;
        auto madeSince = [&] {
            std::vector<GameObject*> made;
            for (GameObject* o : madeObjects(play))
                if (!before.count(o))
                    made.push_back(o);
            return made;
        };
        game.frame();
        EXPECT_EQ(request.pending, 0);
        const std::vector<GameObject*> made = madeSince();
        ASSERT_EQ(made.size(), 1u);
        Ogre::SceneNode* node = made[0]->getMainNode();
        const Ogre::Quaternion turn = c.turn == zero ? spawnedTurn : c.turn;
        EXPECT_TRUE(node->getOrientation().equals(turn, Ogre::Radian(1e-3f)));
        EXPECT_TRUE(node->getPosition().positionEquals(spawnedAt + turn * c.offset, 1e-3f))
            << node->getPosition() << " from " << spawnedAt;
        EXPECT_EQ(play->objects->slots()[made[0]->getObjectId()].hasAI, c.withAI ? 1 : 0);
        game.frame();  // the served request makes nothing more
        EXPECT_EQ(madeSince().size(), 1u);
    }

    // A name with no definition: cleared, nothing made.
    const std::set<GameObject*> before = madeObjects(play);
    request.pending = 1;
    data->setSpawnRequestName("no_such_thing");
    game.frame();
    EXPECT_EQ(request.pending, 0);
    EXPECT_EQ(madeObjects(play), before);
}

// The aim: the stick's dead zone and its vector, the switch between stick and mouse, a body
// under the mouse, the floor, a miss, and no vehicle at all.
TEST(PlayState, AimByStickAndMouse)
{
    HarnessOptions options;
    options.joystick = true;
    GameHarness game(options);
    GS_PlayOnly* play = startPlaying(game);
    ASSERT_NE(play, nullptr);
    game.session()->gamepadEnabled = 1;
    GroundVehicle* vehicle = play->playerVehicle();
    ASSERT_NE(vehicle, nullptr);
    testsupport::ScriptedJoyStick* pad = game.joystick();
    ASSERT_NE(pad, nullptr);

    // The stick at the edge of the dead zone on both axes: the zero vector.
    pad->setAxis(2, 4000);
    pad->setAxis(3, 4000);
    pad->capture();
    vehicle->aimPoint = Ogre::Vector3(1, 2, 3);
    play->aimByJoystick(pad);
    EXPECT_EQ(vehicle->aimPoint, Ogre::Vector3::ZERO);

    // One step past it on axis 3: the game switches to the stick in that frame.
    pad->setAxis(2, 0);
    pad->setAxis(3, 4001);
    game.frame();
    EXPECT_EQ(play->joystickAim, 1);
    EXPECT_EQ(vehicle->mouseAim, 0);
    EXPECT_FALSE(play->rules->aimPointer->getVisible());
    EXPECT_NEAR(vehicle->aimPoint.x, remapLinear(-32768.0f, 32767.0f, 4001.0f, -10.0f, 10.0f), 1e-5f);
    EXPECT_NEAR(vehicle->aimPoint.z, remapLinear(-32768.0f, 32767.0f, 0.0f, -10.0f, 10.0f), 1e-5f);
    EXPECT_EQ(vehicle->aimPoint.y, 0.0f);

    // Any mouse move hands the aim back to the mouse in that frame, the stick still out; in the
    // next frame the stick, still out, takes it again.
    game.mouse().moveBy(1, 0);
    game.frame();
    EXPECT_EQ(play->joystickAim, 0);
    EXPECT_EQ(vehicle->mouseAim, 1);
    EXPECT_TRUE(play->rules->aimPointer->getVisible());
    game.frame();
    EXPECT_EQ(play->joystickAim, 1);
    pad->setAxis(3, 0);
    game.mouse().moveBy(1, 0);
    game.runFrames(2);
    EXPECT_EQ(play->joystickAim, 0);

    // The mouse on an Ovni: the point of its body's node. The play's Ovni stand where its random
    // draws put them, so one could hide another: this one goes beside the vehicle, the others
    // far off.
    Ovni* ovni = firstWisp(play);
    ASSERT_NE(ovni, nullptr);
    const Ogre::Vector3 vehicleAt = vehicle->getMainNode()->_getDerivedPosition();
    for (const GameObjectManager::Slot& slot : play->objects->slots())
        if (auto* other = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object)) {
            other->setPosition(other == ovni ? vehicleAt + Ogre::Vector3(-8, 0, 0) : Ogre::Vector3(70, 0, 50));
            other->placeOnFloor();
        }
    Ogre::Camera* camera = game.window()->getViewport(0)->getCamera();
    const Ogre::Vector3 body = ovni->getMainNode()->_getDerivedPosition();
    const Ogre::Vector2 onScreen = testsupport::toScreen(camera, body, 800, 600);
    ASSERT_TRUE(onScreen.x > 0 && onScreen.x < 800 && onScreen.y > 0 && onScreen.y < 600) << onScreen;
    game.moveMouseTo(static_cast<int>(onScreen.x), static_cast<int>(onScreen.y));
    game.mouse().capture();
    play->aimByMouse(&game.mouse());
    EXPECT_TRUE(vehicle->aimPoint.positionEquals(body, 1.0f)) << vehicle->aimPoint << " " << body;

    // Next to the vehicle, on the floor: the floor's point under the mouse.
    const Ogre::Vector2 nearVehicle = testsupport::toScreen(
        camera, vehicle->getMainNode()->_getDerivedPosition() + Ogre::Vector3(8, 0, 0), 800, 600);
    game.moveMouseTo(static_cast<int>(nearVehicle.x), static_cast<int>(nearVehicle.y));
    game.mouse().capture();
    play->aimByMouse(&game.mouse());
    EXPECT_LT(vehicle->aimPoint.distance(vehicle->getMainNode()->_getDerivedPosition()), 15.0f) << vehicle->aimPoint;
    EXPECT_NE(play->pickCorners[0], play->pickCorners[1]);

    // Looking at the sky, the aim point stays.
    Ogre::Viewport* viewport = game.window()->getViewport(0);
    Ogre::Camera* sky = testsupport::showTestCamera(game.sceneManager(), viewport, "AimSkyCam",
                                                    Ogre::Vector3(0, 60, 0), Ogre::Vector3(0, 1000, 300));
    const Ogre::Vector3 kept = vehicle->aimPoint;
    game.moveMouseTo(400, 300);
    game.mouse().capture();
    play->aimByMouse(&game.mouse());
    EXPECT_EQ(vehicle->aimPoint, kept);
    viewport->setCamera(camera);
    Ogre::SceneNode* skyNode = sky->getParentSceneNode();
    skyNode->detachObject(sky);
    game.sceneManager()->destroyCamera(sky);
    game.sceneManager()->destroySceneNode(skyNode);

    // Without a vehicle every aim step is skipped.
    play->rules->player = nullptr;
    pad->setAxis(2, 30000);
    game.runFrames(2);
    play->aimByJoystick(pad);
    play->aimByMouse(&game.mouse());
    play->aimByMouseFallback(&game.mouse());
    EXPECT_EQ(play->joystickAim, 0);
    play->rules->player = vehicle;
    pad->setAxis(2, 0);
}
