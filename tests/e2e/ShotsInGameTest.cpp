// Shots over Town in the running game: a rocket and a burst of cannon rounds fired at a house,
// drawn by the game's own renderer, scene and effects.
#include "core/GameCore.h"
#include "core/SharedBlock.h"
#include "core/ZV_GameState.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/projParams.h"
#include "support/GameHarness.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"
#include "world/TargetRegistry.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::GameHarness;
using testsupport::Rgb;
using testsupport::Screenshot;
using testsupport::keepShot;
using testsupport::toScreen;

namespace {

constexpr float kDt = 1.0f / 60.0f;

TEST(ShotsInGame, RocketAndCannonBurstFlyOverTownAndBlastAtAHouse)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game;
    game.runFrames(60);  // past the title's fade-in
    GameCore* core = game.core();
    ZV_GameState* state = game.state();
    ASSERT_NE(state->sceneCreator, nullptr);
    Ogre::SceneManager* scene = game.sceneManager();

    // The title's panel would cover the view: only the map stays.
    for (auto widgets = MyGUI::Gui::getInstance().getEnumerator(); widgets.next();)
        widgets.current()->setVisible(false);
    // The map's camera, up beside the line of fire, looking along it at HouseNorth's front wall
    // (z = -77).
    Ogre::Camera* camera = state->sceneCreator->camera();
    ASSERT_NE(camera, nullptr);
    Ogre::SceneNode* eye = camera->getParentSceneNode();
    eye->setPosition(-28, 20, -30);
    eye->lookAt(Ogre::Vector3(3, 8, -62), Ogre::Node::TS_WORLD);
    game.runFrames(2);
    const Screenshot before = game.screenshot();

    // What a play builds for its shots, on the game's own scene, sounds and definitions.
    DamageRegistry damage(core->playData(), scene, core->randomGenerator(), nullptr, core->sceneContext(),
                          state->sceneCreator);
    TargetRegistry targets;
    FxPool pool(scene, core->fxParamsLibrary(), state->soundManager, core->randomGenerator(), "GPO");
    ShotStatistics stats;
    ProjectileManager manager(core->playData(), scene, state->soundManager, &damage, &pool, &stats, nullptr, &targets);
    ProjectileDefRegistry shots(nullptr, core->fxParamsLibrary());
    WarheadDefRegistry warheads(core->fxParamsLibrary());
    projParams* rocket = shots.getParams("proj_rocket", ProjectileKind_Rocket);
    projParams* bullet = shots.getParams("proj_bullet", ProjectileKind_Bullet);
    WarHeadParams* explosive = warheads.getParams("wh_explosive");
    WarHeadParams* round = warheads.getParams("wh_bullet");
    ASSERT_TRUE(rocket->cacheLoaded() && bullet->cacheLoaded() && explosive->cacheLoaded() && round->cacheLoaded());

    const Ogre::Vector3 rocketFrom(4, 8, 40), rocketAt(0, 8, -77);
    const Ogre::Quaternion rocketFacing =
        Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo((rocketAt - rocketFrom).normalisedCopy());
    const uint8_t noTracking = 0;
    manager.spawn(1, ProjectileKind_Rocket, rocketFrom, rocketFacing, 0, 0, 900, rocket->Damage, rocket, explosive,
                  &noTracking, 0, nullptr);
    Projectile* flying = manager.projectileInSlot(0);
    ASSERT_NE(flying, nullptr);

    const int w = before.width(), h = before.height();
    int framesToHit = 0;
    bool seenInFlight = false;
    for (int frame = 0; frame < 120 && flying->getRecord()->state == ProjectileState_Flying; ++frame) {
        // The burst: one round every fourth frame from the other side, toward the same wall.
        if (frame % 4 == 0 && frame < 24) {
            const Ogre::Vector3 from(-6, 7, 64), at(-4, 7, -77);
            manager.spawn(1, ProjectileKind_Bullet, from,
                          Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo((at - from).normalisedCopy()), 0, 0.5f, 900,
                          bullet->Damage, bullet, round, &noTracking, 0, nullptr);
        }
        manager.update(kDt);
        pool.update(kDt);
        game.frame();
        ++framesToHit;
        const Ogre::Vector3 p = flying->getNode()->_getDerivedPosition();
        if (!seenInFlight && flying->isVisible() && p.z < -44 && p.z > -62 &&
            flying->getRecord()->state == ProjectileState_Flying) {
            // The rocket's body and the smoke behind it.
            const Screenshot now = game.screenshot();
            const Ogre::Vector2 at = toScreen(camera, p, w, h);
            const Ogre::Vector2 behind = toScreen(camera, p - (rocketAt - rocketFrom).normalisedCopy() * 4, w, h);
            EXPECT_GT(now.countChanged(before, int(at.x), int(at.y), 6), 8) << at;
            EXPECT_GT(now.countChanged(before, int(behind.x), int(behind.y), 8), 8) << behind;
            keepShot(now, "shots_flight");
            seenInFlight = true;
        }
    }
    EXPECT_TRUE(seenInFlight);
    ASSERT_EQ(flying->getRecord()->state, ProjectileState_Trail);
    EXPECT_LT(framesToHit, 100);
    // The blocker stops it within reach of the wall: the blast is where it stopped.
    const Ogre::Vector3 blastAt = flying->getNode()->_getDerivedPosition();
    EXPECT_LT(blastAt.z, -60.0f);

    // The blast at the wall: a few frames of the explosion's growth.
    for (int i = 0; i < 6; ++i) {
        manager.update(kDt);
        pool.update(kDt);
        game.frame();
    }
    const Screenshot blast = game.screenshot();
    keepShot(blast, "shots_blast");
    const Ogre::Vector2 wall = toScreen(camera, blastAt, w, h);
    EXPECT_GT(blast.countChanged(before, int(wall.x), int(wall.y), 20), 200) << wall;
    EXPECT_EQ(stats.missilesFired, 1u);
    EXPECT_EQ(stats.bulletsFired, 6u);

    // The rounds reach the wall too, and everything ends once its sounds have.
    for (int i = 0; i < 240 && manager.liveCount() > 0; ++i) {
        manager.update(kDt);
        pool.update(kDt);
        game.frame();
    }
    EXPECT_EQ(manager.liveCount(), 0u);
    manager.destroyAll();
}

}  // namespace
