// Aimed fire in the running game, with scripted input only: the pointer kept on an Ovni in front
// of the tank and the fire button held. The cannon destroys it within ten seconds of play, the
// Kills row counts it and the score rises; in Arcade at 60 frames a second (a wisp, then a
// monolith when the mode has one up) and in the first challenge at 15.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "definitions/GameObjectKind.h"
#include "definitions/OvniParams.h"
#include "definitions/goParams.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/Priget_GameHUD.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::Screenshot;

namespace {

// The live Ovni of that definition, null when none is up.
Ovni* findOvni(GS_PlayOnly* play, const std::string& name)
{
    for (const GameObjectManager::Slot& slot : play->objects->slots())
        if (auto* ovni = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object))
            if (ovni->getParams() && ovni->getParams()->getName() == name)
                return ovni;
    return nullptr;
}

bool alive(GS_PlayOnly* play, const GameObject* object, uint32_t id)
{
    const auto& slots = play->objects->slots();
    return id < slots.size() && !slots[id].free && slots[id].object == object;
}

// The target 30 units in front of the tank, every other Ovni far behind it, so that nothing else
// stands in the line of fire when the shooting starts.
void setTheScene(GS_PlayOnly* play, Ovni* target)
{
    Ogre::SceneNode* tank = play->playerVehicle()->getMainNode();
    const Ogre::Vector3 ahead = tank->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    for (const GameObjectManager::Slot& slot : play->objects->slots())
        if (auto* ovni = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object)) {
            const float along = ovni == target ? 30.0f : -120.0f;
            Ogre::Vector3 at = tank->getPosition() + ahead * along;
            at.y = ovni->getMainNode()->getPosition().y;
            ovni->getMainNode()->setPosition(at);
        }
}

// The centre of the target's body on screen.
Ogre::Vector2 onScreen(GameHarness& game, const Ovni* target)
{
    Ogre::Camera* camera = game.window()->getViewport(0)->getCamera();
    return testsupport::toScreen(camera, target->getCollisionEntity()->getWorldBoundingBox(true).getCenter(),
                                 static_cast<int>(game.window()->getWidth()),
                                 static_cast<int>(game.window()->getHeight()));
}

struct Outcome {
    bool destroyed = false;
    float seconds = 0.0f;
    bool roundSeen = false;
};

// Every frame the pointer on the target and the fire button down, until it is destroyed or the
// time is up; screenshots of a round in flight and of the kill are kept as `name`_*.
Outcome shootDown(GameHarness& game, GS_PlayOnly* play, Ovni* target, float frameTime, float seconds,
                  const std::string& name)
{
    Outcome out;
    const uint32_t id = target->getObjectId();
    Ogre::Vector2 last = onScreen(game, target);
    game.moveMouseTo(static_cast<int>(last.x), static_cast<int>(last.y));
    game.mouseDown();
    while (out.seconds < seconds) {
        game.frame();
        out.seconds += frameTime;
        if (!alive(play, target, id)) {
            out.destroyed = true;
            break;
        }
        if (!out.roundSeen && testsupport::playerRoundInView(game, play)) {
            out.roundSeen = true;
            testsupport::keepShot(game.screenshot(), name + "_round");
        }
        last = onScreen(game, target);
        game.moveMouseTo(static_cast<int>(last.x), static_cast<int>(last.y));
    }
    game.mouseUp();
    if (out.destroyed) {
        // The Ovni goes out in a flash where it was: a tenth of a second of it, at any frame rate.
        game.runFrames(std::max(1, static_cast<int>(std::lround(0.1f / frameTime))));
        const Screenshot kill = game.screenshot();
        testsupport::keepShot(kill, name + "_kill");
        EXPECT_GT(kill.countAround(static_cast<int>(last.x), static_cast<int>(last.y), 50, testsupport::ovniFlash), 10)
            << name;
    }
    return out;
}

std::string caption(MyGUI::TextBox* text) { return text ? text->getCaption().asUTF8() : ""; }

// The kill shows on the HUD: the Kills row counts it and the score is up on `scoreBefore`.
void expectBooked(GameHarness& game, GS_PlayOnly* play, int kills, long scoreBefore)
{
    Priget_GameHUD* hud = play->rules->hud.get();
    ASSERT_NE(hud, nullptr);
    EXPECT_TRUE(game.runUntil([&] { return caption(hud->killsRow.value) == std::to_string(kills); }, 60))
        << "Kills " << caption(hud->killsRow.value);
    game.runFrames(30);  // the count-up of the score settles
    EXPECT_GT(std::atol(caption(hud->scoreRow.value).c_str()), scoreBefore) << caption(hud->scoreRow.value);
}

long score(GS_PlayOnly* play) { return std::atol(caption(play->rules->hud->scoreRow.value).c_str()); }

TEST(FireWholeGame, ArcadeCannonDestroysAWispThenAMonolith)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    GS_PlayOnly* play = testsupport::startFreePlay(game);
    ASSERT_NE(play, nullptr);
    ASSERT_NE(play->playerVehicle(), nullptr);
    EXPECT_EQ(game.session()->getLevelName(), "ArcadeMode");

    Ovni* wisp = findOvni(play, "wisp");
    ASSERT_NE(wisp, nullptr);
    setTheScene(play, wisp);
    game.runFrames(2);
    const long before = score(play);
    const Outcome shot = shootDown(game, play, wisp, 1.0f / 60.0f, 10.0f, "fire_arcade_wisp");
    ASSERT_TRUE(shot.destroyed) << "the wisp lived through " << shot.seconds << " s of aimed fire";
    EXPECT_TRUE(shot.roundSeen);
    expectBooked(game, play, 1, before);

    // Arcade lists monoliths but draws them seldom: when none is up, one comes as the spawner
    // brings its Ovni, from the mode's own type.
    Ovni* monolith = findOvni(play, "monolith");
    if (!monolith) {
        OvniParams* type = nullptr;
        for (const OvniSpawnType& t : play->playData->ovniTypes)
            if (t.name == "monolith")
                type = t.definition;
        ASSERT_NE(type, nullptr) << "Arcade lists no monolith";
        GameObject* spawned = play->objects->spawn(type, GameObjectKind::Ovni, Ogre::Vector3(0, 35, 0), 2);
        ASSERT_NE(spawned, nullptr);
        play->objects->attachAI(spawned);
        monolith = static_cast<Ovni*>(spawned);
        monolith->placeOnFloor();
    }
    setTheScene(play, monolith);
    game.runFrames(2);
    const long second = score(play);
    const Outcome heavy = shootDown(game, play, monolith, 1.0f / 60.0f, 10.0f, "fire_arcade_monolith");
    ASSERT_TRUE(heavy.destroyed) << "the monolith lived through " << heavy.seconds << " s of aimed fire";
    expectBooked(game, play, 2, second);
}

TEST(FireWholeGame, FirstChallengeCannonDestroysAWispAtFifteenFramesASecond)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    HarnessOptions options;
    options.frameTime = 1.0f / 15.0f;
    GameHarness game(options);
    GS_PlayOnly* play = testsupport::startFirstChallenge(game);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(game.session()->getLevelName(), "Ch1_FirstContact");

    Ovni* wisp = findOvni(play, "wisp");
    ASSERT_NE(wisp, nullptr);
    setTheScene(play, wisp);
    game.runFrames(1);
    const long before = score(play);
    const Outcome shot = shootDown(game, play, wisp, options.frameTime, 10.0f, "fire_challenge_wisp");
    ASSERT_TRUE(shot.destroyed) << "the wisp lived through " << shot.seconds << " s of aimed fire";
    expectBooked(game, play, 1, before);
}

}  // namespace
