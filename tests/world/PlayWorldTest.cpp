// The play world over the air arena: its tick and its teardown with everything alive.
#include "AirTestWorld.h"

#include "definitions/GameObjectKind.h"
#include "world/AIManager.h"
#include "world/AIdata.h"
#include "world/GameObjectManager.h"

#include <gtest/gtest.h>

namespace {

class PlayWorldTick : public ::testing::Test, public airtest::World {};

TEST_F(PlayWorldTick, RunsTheAIOnlyWhilePlayingAndEverythingElseAlways)
{
    GameObjectManager& objects = world->objects();
    GameObject* ovni = objects.spawnByName("wisp", Ogre::Vector3(10, 0, -10), 2, GameObjectKind::Ovni);
    ASSERT_NE(ovni, nullptr);
    objects.attachAI(ovni);
    const AIdata* record = world->ai().findData(ovni);
    ASSERT_NE(record, nullptr);
    projParams* bullet = world->projectileDefs().getParams("proj_bullet", ProjectileKind_Bullet);
    ASSERT_NE(bullet, nullptr);
    projectiles->spawn(1, ProjectileKind_Bullet, Ogre::Vector3(0, 20, 0), Ogre::Quaternion::IDENTITY, 0, 0, 99, 10,
                       bullet, world->warheadDefs().getParams("wh_bullet"), nullptr, 0, nullptr);
    const Ogre::Vector3 shotStart = projectiles->projectileInSlot(0)->getNode()->getPosition();

    // Not playing: the objects and shots move on, the AI stays where it was. (The wisp wanders:
    // its AI counts the time of its rest, unless the Ovni is shaken.)
    auto* wisp = static_cast<Ovni*>(ovni);
    wisp->shake = 0.0f;
    world->tick(airtest::kDt, false);
    EXPECT_EQ(record->moveTimer, 0.0f);
    EXPECT_LT(projectiles->projectileInSlot(0)->getNode()->getPosition().z, shotStart.z);
    EXPECT_FALSE(ovni->isSpawnEffectPending());

    wisp->shake = 0.0f;
    world->tick(airtest::kDt, true);
    EXPECT_FLOAT_EQ(record->moveTimer, airtest::kDt);
    // The fixture then deletes the world with the object, its AI entry and the shot alive.
}

}  // namespace
