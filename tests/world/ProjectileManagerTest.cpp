// The projectile manager: slots, spawning by type, shot counters and the slow-time bubble.
#include "ShotTestWorld.h"

#include "world/ProjectileManager.h"

#include <gtest/gtest.h>

using shottest::Body;

namespace {

constexpr float kDt = 1.0f / 60.0f;

class ProjectileManagerTest : public ::testing::Test, public shottest::World {
protected:
    ProjectileManagerTest()
    {
        for (uint32_t type = 1; type <= 5; ++type)
            defs.push_back(shot(type, 1.0f, 100.0f));
        manager = std::make_unique<ProjectileManager>(&playData, scene, &sounds, damage.get(), pool.get(), &stats,
                                                      nullptr, &targets);
    }
    ~ProjectileManagerTest() override { manager.reset(); }

    void spawn(int32_t type, const Ogre::Vector3& at = {0, 60, 0}, uint32_t owner = 900,
               const Ogre::Quaternion& facing = Ogre::Quaternion::IDENTITY)
    {
        const uint8_t tracking = 0;
        projParams* def = type >= 1 && type <= 5 ? defs[type - 1].get() : defs[0].get();
        manager->spawn(1, type, at, facing, 0.0f, 0.0f, owner, 10, def, wh.get(), &tracking, 0, nullptr);
    }

    std::vector<std::unique_ptr<projParams>> defs;
    std::unique_ptr<WarHeadParams> wh = warhead();
    ShotStatistics stats;
    std::unique_ptr<ProjectileManager> manager;
};

TEST_F(ProjectileManagerTest, SlotsGrowByHalfPlusOneAndTheSlotIsTheSerial)
{
    EXPECT_EQ(manager->slotCount(), 50u);
    for (int i = 0; i < 51; ++i)
        spawn(ProjectileKind_Bullet, {float(i), 60, 0});
    EXPECT_EQ(manager->slotCount(), 76u);
    EXPECT_EQ(manager->liveCount(), 51u);
    ASSERT_NE(manager->projectileInSlot(50), nullptr);
    EXPECT_EQ(manager->projectileInSlot(50)->getRecord()->serial, 50u);
    EXPECT_EQ(manager->projectileInSlot(50)->getEntity()->getName(), "bullet50");

    // Type 6 builds nothing yet still takes its turn at the slots: a full array grows.
    for (int i = 51; i < 76; ++i)
        spawn(ProjectileKind_Bullet, {float(i), 60, 0});
    const ShotStatistics before = stats;
    spawn(6);
    EXPECT_EQ(manager->slotCount(), 115u);
    EXPECT_EQ(manager->liveCount(), 76u);
    EXPECT_EQ(manager->projectileInSlot(76), nullptr);
    EXPECT_EQ(manager->getShots(), 77u);
    EXPECT_EQ(stats.bulletsFired, before.bulletsFired);
    EXPECT_EQ(stats.missilesFired, before.missilesFired);

    manager->destroyAll();
    EXPECT_EQ(manager->liveCount(), 0u);
    spawn(ProjectileKind_Rocket);
    EXPECT_NE(manager->projectileInSlot(0), nullptr);
}

TEST_F(ProjectileManagerTest, EachTypeBuildsItsClassAndCountsAsABulletOrAMissile)
{
    const char* entityNames[] = {"bullet0", "BasicR1", "BasicM2", "bBoom3", nullptr};
    for (int32_t type = 1; type <= 5; ++type)
        spawn(type, {float(type) * 10, 60, 0});
    EXPECT_EQ(stats.bulletsFired, 1u);
    EXPECT_EQ(stats.missilesFired, 4u);
    EXPECT_EQ(manager->getShots(), 5u);
    for (uint32_t slot = 0; slot < 5; ++slot) {
        Projectile* p = manager->projectileInSlot(slot);
        ASSERT_NE(p, nullptr);
        if (entityNames[slot])
            EXPECT_EQ(p->getEntity()->getName(), entityNames[slot]);
        else
            EXPECT_EQ(p->getEntity(), nullptr);  // the dispenser has no mesh
    }
}

TEST_F(ProjectileManagerTest, BadSpawnsBuildNothingLeaveTheSlotFreeAndStillCountAShot)
{
    const uint8_t tracking = 0;
    const Ogre::Vector3 at(0, 60, 0);
    const auto q = Ogre::Quaternion::IDENTITY;
    manager->spawn(1, ProjectileKind_Bullet, at, q, 0, 0, 900, 10, nullptr, wh.get(), &tracking, 0, nullptr);
    manager->spawn(1, ProjectileKind_Rocket, at, q, 0, 0, 900, 10, defs[1].get(), nullptr, &tracking, 0, nullptr);
    // A missile needs a missile definition.
    manager->spawn(1, ProjectileKind_Missile, at, q, 0, 0, 900, 10, defs[0].get(), wh.get(), &tracking, 0, nullptr);
    manager->spawn(1, 0, at, q, 0, 0, 900, 10, defs[0].get(), wh.get(), &tracking, 0, nullptr);
    EXPECT_EQ(manager->getShots(), 4u);
    EXPECT_EQ(manager->liveCount(), 0u);
    EXPECT_EQ(stats.bulletsFired + stats.missilesFired, 0u);
    // A null tracking byte means no tracking; the next good shot takes slot 0.
    manager->spawn(1, ProjectileKind_Missile, at, q, 0, 0, 900, 10, defs[2].get(), wh.get(), nullptr, 3, nullptr);
    ASSERT_NE(manager->projectileInSlot(0), nullptr);
    EXPECT_EQ(manager->projectileInSlot(0)->getRecord()->tracking, 0);

    // A mesh that cannot be loaded leaves a shot without one, which still flies.
    defs[0]->meshName = "no_such_shot.mesh";
    spawn(ProjectileKind_Bullet);
    ASSERT_NE(manager->projectileInSlot(1), nullptr);
    EXPECT_EQ(manager->projectileInSlot(1)->getEntity(), nullptr);
    manager->update(kDt);
    EXPECT_NEAR(manager->projectileInSlot(1)->getNode()->getPosition().z, -1.0f, 1e-5f);
}

TEST_F(ProjectileManagerTest, SlowTimeBubbleSlowsOtherShootersShotsWithinItsRadius)
{
    // The bubble's carrier hangs under a turret node: its centre is measured in the world.
    Ogre::SceneNode* hull = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 60, 0));
    Ogre::SceneNode* carrier = hull->createChildSceneNode(Ogre::Vector3(0, 0, 20));
    SlowTimeBubble& bubble = playData.bubble;
    bubble.ownerNode = carrier;  // world (100, 60, 20)
    bubble.radius = 5;
    bubble.scale = 2;  // radius 10
    bubble.ownerKey = 77;
    bubble.timeFactor = 0.25f;
    struct Case {
        const char* name;
        bool active;
        uint32_t owner;
        Ogre::Vector3 at;
        float factor;
    } cases[] = {
        {"other shooter at exactly the radius", true, 900, {110, 60, 20}, 0.25f},
        {"other shooter inside", true, 900, {100, 60, 25}, 0.25f},
        {"the bubble's owner inside", true, 77, {100, 60, 20}, 1.0f},
        {"just outside", true, 900, {110.01f, 60, 20}, 1.0f},
        {"at the turret's own position", true, 900, {0, 0, 20}, 1.0f},
        {"bubble off", false, 900, {100, 60, 20}, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bubble.active = c.active;
        // Facing up: nothing in the way.
        spawn(ProjectileKind_Bullet, c.at, c.owner, Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X));
        Projectile* p = manager->projectileInSlot(0);
        ASSERT_NE(p, nullptr);
        manager->update(kDt);
        EXPECT_FLOAT_EQ(manager->getTimeFactor(), c.factor);
        EXPECT_NEAR(p->getDistance(), 1.0f * kDt * c.factor, 1e-7f);
        manager->destroyAll();
    }
}

TEST_F(ProjectileManagerTest, HitsAreCountedByTheKindThatScoredThem)
{
    addBody({24.5f, 3, 20}, 2, 40);
    const Ogre::Quaternion east(Ogre::Degree(-90), Ogre::Vector3::UNIT_Y);
    spawn(ProjectileKind_Bullet, {20, 3, 20}, 900, east);
    spawn(ProjectileKind_Rocket, {20, 3, 22.5f}, 900, east);  // passes beside the body
    for (int i = 0; i < 6; ++i)
        manager->update(kDt);
    EXPECT_EQ(manager->getHits(), 1u);
    EXPECT_EQ(stats.bulletHits, 1u);
    EXPECT_EQ(stats.missileHits, 0u);
    manager->destroyAll();
    spawn(ProjectileKind_Rocket, {20, 3, 20}, 900, east);
    for (int i = 0; i < 6; ++i)
        manager->update(kDt);
    EXPECT_EQ(manager->getHits(), 2u);
    EXPECT_EQ(stats.bulletHits, 1u);
    EXPECT_EQ(stats.missileHits, 1u);
}

TEST_F(ProjectileManagerTest, PauseAndResumeHoldTheSoundsOfEveryShot)
{
    defs[1]->hasLiveSound = true;
    defs[1]->LiveSound = "rocket_motor.ogg";
    spawn(ProjectileKind_Rocket, {0, 60, 0});
    spawn(ProjectileKind_Rocket, {10, 60, 0});
    manager->pauseAll();
    for (uint32_t slot : {0u, 1u})
        EXPECT_TRUE(manager->projectileInSlot(slot)->getLiveSound()->isPaused());
    manager->resumeAll();
    for (uint32_t slot : {0u, 1u})
        EXPECT_TRUE(manager->projectileInSlot(slot)->getLiveSound()->isPlaying());
}

}  // namespace
