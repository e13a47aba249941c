// Bombs and dispensers over Town: their blasts, their stages, their target points and steering.
#include "ShotTestWorld.h"

#include "world/BasicBomb.h"

#include <gtest/gtest.h>

using shottest::Body;

namespace {

constexpr float kDt = 1.0f / 60.0f;

Ogre::Quaternion diving(float dive) { return Ogre::Quaternion(Ogre::Degree(-dive), Ogre::Vector3::UNIT_X); }

class BombTest : public ::testing::Test, public shottest::World {
protected:
    std::unique_ptr<BasicBomb> bomb(const Ogre::Vector3& from, const Ogre::Quaternion& facing, WarHeadParams* w,
                                    uint8_t tracking = 0, uint32_t targetSlot = 0)
    {
        return std::make_unique<BasicBomb>(&playData, scene, &sounds, damage.get(), from, 0.0f, facing, 4, tracking,
                                           targetSlot, 0.0f, pool.get(), 900, def.get(), w, &targets, 1, 10);
    }
    std::unique_ptr<Dispenser> dispenser(const Ogre::Vector3& from, const Ogre::Quaternion& facing,
                                         const Ogre::Vector3* point)
    {
        return std::make_unique<Dispenser>(&playData, scene, &sounds, damage.get(), from, 0.0f, facing, 6, 0, 0, 0.0f,
                                           pool.get(), 900, def.get(), wh.get(), &targets, 1, 10, point);
    }
    static float angleTo(const Projectile& p, const Ogre::Vector3& point)
    {
        const Ogre::Vector3 facing = -p.getNode()->getOrientation().zAxis();
        return facing.angleBetween(point - p.getNode()->getPosition()).valueDegrees();
    }

    std::unique_ptr<projParams> def = shot(ProjectileKind_Bomb, 1.0f, 10.0f);
    std::unique_ptr<WarHeadParams> wh = warhead(4.0f);
};

TEST_F(BombTest, PlainGroundHitNeverHurtsItsOwnTeamAndWaitsForItsImpactSound)
{
    wh->FriendlyFire = true;  // ignored by the bomb's own blast
    for (bool sound : {false, true}) {
        SCOPED_TRACE(sound ? "with impact sound" : "without");
        wh->hasImpactSound = sound;
        wh->ImpactSound = sound ? "impact_explosive.ogg" : "";
        const float x = sound ? 60.0f : 30.0f;
        Body& own = addBody({x + 2, 1, 30}, 1, 80);
        Body& enemy = addBody({x - 2, 1, 30}, 2, 81);
        auto b = bomb({x, 2.5f, 30}, diving(90), wh.get());
        EXPECT_TRUE(b->isVisible());  // MinDistVisible 0
        bool hit = false;
        const int ticks = runUntilDone(*b, kDt, 5, &hit);
        EXPECT_TRUE(hit);
        EXPECT_EQ(own.damageTaken(*damage), 0.0f);
        EXPECT_EQ(enemy.damageTaken(*damage), 10.0f);
        EXPECT_EQ(effects(), sound ? 2u : 1u);
        if (!sound) {
            EXPECT_EQ(ticks, 2);
            continue;
        }
        // Heard out: hidden in state 3 until the sound ends.
        EXPECT_EQ(ticks, 6);
        EXPECT_EQ(b->getRecord()->state, ProjectileState_Exploded);
        EXPECT_FALSE(b->getEntity()->isVisible());
        ASSERT_NE(b->getImpactSound(), nullptr);
        EXPECT_TRUE(b->getImpactSound()->isPlaying());
        b->getImpactSound()->stop();
        EXPECT_EQ(runUntilDone(*b, kDt, 5), 1);
    }
}

TEST_F(BombTest, NapalmOrClusterGroundHitStartsTheStageAndStaysAlive)
{
    NapalmWHParams napalm("test_napalm_def", nullptr);
    SClusterWHParams cluster("test_cluster_def", nullptr);
    setUpWarhead(napalm, 4.0f, nullptr);
    setUpWarhead(cluster, 4.0f, nullptr);
    cluster.MinSpreadBlasts = cluster.MaxSpreadBlasts = 2;
    for (WarHeadParams* w : {static_cast<WarHeadParams*>(&napalm), static_cast<WarHeadParams*>(&cluster)}) {
        SCOPED_TRACE(w->getWarheadType());
        auto b = bomb({30, 2.5f, 30}, diving(90), w);
        bool landed = false;
        for (int i = 0; i < 5 && !landed; ++i) {
            bool hit = false;
            int type = 0;
            EXPECT_TRUE(b->update(kDt, hit, type));
            EXPECT_EQ(type, ProjectileKind_Bomb);
            landed = hit;
        }
        EXPECT_TRUE(landed);
        EXPECT_EQ(b->getRecord()->state, ProjectileState_Stage);
        EXPECT_FALSE(b->getEntity()->isVisible());
    }
}

TEST_F(BombTest, TrackingBombFollowsItsTargetAndKeepsTheLastPointWhenItIsFreed)
{
    goParams targetDef("test_target_def");
    Body& t = addBody({50, 1, -20}, 2, 90, false, true, &targetDef);
    auto b = bomb({0, 60, 0}, Ogre::Quaternion::IDENTITY, wh.get(), 1, t.data->targetSlot);
    bool hit = false;
    int type = 0;
    EXPECT_FALSE(b->hasTargetPoint());
    EXPECT_TRUE(b->update(kDt, hit, type));
    EXPECT_TRUE(b->hasTargetPoint());
    EXPECT_EQ(b->getTargetPoint(), Ogre::Vector3(50, 1, -20));
    t.node->setPosition(60, 1, -20);
    EXPECT_TRUE(b->update(kDt, hit, type));
    EXPECT_EQ(b->getTargetPoint(), Ogre::Vector3(60, 1, -20));
    targets.remove(t.data->targetSlot);
    t.node->setPosition(0, 0, 0);
    EXPECT_TRUE(b->update(kDt, hit, type));
    EXPECT_EQ(b->getTargetPoint(), Ogre::Vector3(60, 1, -20));
}

TEST_F(BombTest, BombWithoutATargetFliesStraight)
{
    auto b = bomb({0, 60, 0}, diving(10), wh.get());
    bool hit = false;
    int type = 0;
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(b->update(kDt, hit, type));
    EXPECT_FALSE(b->hasTargetPoint());
    EXPECT_TRUE(b->getNode()->getOrientation().equals(diving(10), Ogre::Degree(1e-4f)));
    EXPECT_EQ(b->getLaunchFacing(), diving(10).zAxis());
}

TEST_F(BombTest, DispenserSteersTowardItsPointEvenAtTheOrigin)
{
    const Ogre::Vector3 origin = Ogre::Vector3::ZERO;
    for (const Ogre::Vector3* point : {&origin, static_cast<const Ogre::Vector3*>(nullptr)}) {
        SCOPED_TRACE(point ? "origin given" : "no point given");
        // Far out, the origin 45 degrees to the left of its heading.
        auto d = dispenser({600, 30, 600}, Ogre::Quaternion::IDENTITY, point);
        EXPECT_EQ(d->getEntity(), nullptr);
        EXPECT_TRUE(d->hasTargetPoint());
        const float before = angleTo(*d, origin);
        bool hit = false;
        int type = 0;
        for (int i = 0; i < 30; ++i)
            ASSERT_TRUE(d->update(kDt, hit, type));
        EXPECT_EQ(type, ProjectileKind_Bomb);  // the definition's type
        EXPECT_LT(angleTo(*d, origin), before - 5.0f);
    }
}

TEST_F(BombTest, DispenserWithoutAMeshBlastsOnTheGround)
{
    // Its point just below: it lands, hides what it has (no mesh), blasts and waits out the sound.
    wh->hasImpactSound = true;
    wh->ImpactSound = "impact_explosive.ogg";
    const Ogre::Vector3 below(30, 0, 29);
    auto d = dispenser({30, 2.5f, 30}, diving(90), &below);
    Body& enemy = addBody({32, 1, 30}, 2, 95);
    bool hit = false;
    EXPECT_EQ(runUntilDone(*d, kDt, 5, &hit), 6);
    EXPECT_TRUE(hit);
    EXPECT_EQ(enemy.damageTaken(*damage), 10.0f);
    EXPECT_EQ(effects(), 1u);
    EXPECT_EQ(d->getRecord()->state, ProjectileState_Exploded);
    d->getImpactSound()->stop();
    EXPECT_EQ(runUntilDone(*d, kDt, 5), 1);
}

}  // namespace
