// Rockets and guided missiles: the trail after a hit or burn-out, the seeker, tracking and the
// surround fuse.
#include "ShotTestWorld.h"

#include "world/BasicRocket.h"
#include "world/VirtualReactor.h"

#include <gtest/gtest.h>

using shottest::Body;

namespace {

constexpr float kDt = 1.0f / 60.0f;

Ogre::Quaternion towardPlusX() { return Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_Y); }

class GuidedShotTest : public ::testing::Test, public shottest::World {
protected:
    GuidedShotTest()
    {
        rocketDef->ReactorName = "smoke_trail";
        missileDef = std::unique_ptr<MissParams>(static_cast<MissParams*>(shot(ProjectileKind_Missile, 0.01f, 10).release()));
        missileDef->trackSkill = 90;
        missileDef->maxFOV = 0.75f;
        missileDef->trackaPass = true;
        targetDef.RadarStealth = 100;
        targetDef.TermoStealth = 50;
    }
    std::unique_ptr<BasicRocket> rocket(const Ogre::Vector3& from, const Ogre::Quaternion& facing)
    {
        return std::make_unique<BasicRocket>(&playData, scene, &sounds, damage.get(), from, 0.0f, facing, 7, 0.0f, 900,
                                             rocketDef.get(), wh.get(), pool.get(), &targets, 1, 10);
    }
    std::unique_ptr<BasicMissile> missile(const Ogre::Vector3& from, const Ogre::Quaternion& facing, uint8_t tracking,
                                          uint32_t targetSlot)
    {
        return std::make_unique<BasicMissile>(&playData, scene, &sounds, damage.get(), from, 0.0f, facing, 8, tracking,
                                              targetSlot, 0.0f, 900, missileDef.get(), wh.get(), pool.get(), &targets,
                                              1, 10);
    }
    bool tick(Projectile& p, float dt)
    {
        bool hit = false;
        int type = 0;
        return p.update(dt, hit, type);
    }
    static Ogre::Vector3 facingOf(const Projectile& p) { return -p.getNode()->getOrientation().zAxis(); }

    std::unique_ptr<projParams> rocketDef = shot(ProjectileKind_Rocket, 1.0f, 10.0f);
    std::unique_ptr<MissParams> missileDef;
    std::unique_ptr<WarHeadParams> wh = warhead(0.0f, "impact_explosive.ogg");
    goParams targetDef{"test_target_def"};
};

TEST_F(GuidedShotTest, RocketHitKeepsTheReactorBurningUntilTheImpactSoundEnds)
{
    Body& body = addBody({24.5f, 3, 20}, 2, 40);
    auto r = rocket({20, 3, 20}, towardPlusX());
    EXPECT_EQ(r->getEntity()->getName(), "BasicR7");
    VirtualReactor* reactor = r->getReactor();
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(reactor->getState(), 2);
    // The hit test runs before the move: the face 3.5 ahead is within reach on the fourth tick.
    bool hitSeen = false;
    for (int i = 0; i < 5 && !hitSeen; ++i) {
        bool hit = false;
        int type = 0;
        EXPECT_TRUE(r->update(kDt, hit, type));
        hitSeen = hit;
    }
    ASSERT_TRUE(hitSeen);
    EXPECT_EQ(body.damageTaken(*damage), 10.0f);
    EXPECT_EQ(r->getRecord()->state, ProjectileState_Trail);
    EXPECT_FALSE(r->getEntity()->isVisible());
    EXPECT_EQ(reactor->getState(), 2);
    EXPECT_FALSE(reactor->isReleased());
    EXPECT_EQ(effects(), 1u);
    ASSERT_NE(r->getImpactSound(), nullptr);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(tick(*r, kDt));
    r->getImpactSound()->stop();
    EXPECT_FALSE(tick(*r, kDt));
    r.reset();
    // Left in the world, switched off, for the pool to finish.
    EXPECT_TRUE(reactor->isReleased());
}

TEST_F(GuidedShotTest, BurntOutRocketMakesNoBlastOrSoundAndIsGoneNextTick)
{
    rocketDef->timeToLive = 0.04f;  // below 0 after the third tick
    auto r = rocket({0, 60, 0}, Ogre::Quaternion::IDENTITY);
    int ticks = 0;
    while (r->getRecord()->state == ProjectileState_Flying && ticks < 10) {
        EXPECT_TRUE(tick(*r, kDt));
        ++ticks;
    }
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(r->getRecord()->state, ProjectileState_Trail);
    EXPECT_FALSE(r->getEntity()->isVisible());
    EXPECT_FALSE(tick(*r, kDt));
    EXPECT_EQ(effects(), 0u);
    EXPECT_EQ(r->getImpactSound(), nullptr);
}

TEST_F(GuidedShotTest, MissileTracksTurnsAndLosesItsTarget)
{
    Body& ahead = addBody({10, 60, -100}, 2, 50, false, true, &targetDef);
    Body& behind = addBody({5, 60, 20}, 2, 51, false, true, &targetDef);
    const uint32_t aheadSlot = ahead.data->targetSlot, behindSlot = behind.data->targetSlot;
    missileDef->TrackType = 0;  // full quality whatever the stealth

    {
        SCOPED_TRACE("no target: flies as a rocket");
        auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 0, aheadSlot);
        EXPECT_EQ(m->getEntity()->getName(), "BasicM8");
        EXPECT_EQ(m->getEntity()->getMesh()->getName(), "stand_missil.mesh");
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(tick(*m, 0.5f));
        EXPECT_TRUE(m->getNode()->getOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Degree(1e-3f)));
        EXPECT_EQ(targets.entries()[aheadSlot].missileWarning, 0);
    }
    {
        SCOPED_TRACE("trackSkill 90 at dt 0.5: 45 degrees up and 45 to the right");
        auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, aheadSlot);
        ahead.node->setPosition(100, 160, -1000);  // up and right, far: any remaining angle
        EXPECT_TRUE(tick(*m, 0.5f));
        EXPECT_EQ(m->getRecord()->tracking, 1);
        EXPECT_EQ(targets.entries()[aheadSlot].missileWarning, 1);
        const Ogre::Quaternion expected = Ogre::Quaternion(Ogre::Degree(45), Ogre::Vector3::UNIT_X) *
                                          Ogre::Quaternion(Ogre::Degree(-45), Ogre::Vector3::UNIT_Y);
        EXPECT_TRUE(m->getNode()->getOrientation().equals(expected, Ogre::Degree(1e-2f)));
    }
    for (bool pass : {false, true}) {
        SCOPED_TRACE(pass ? "trackaPass on: keeps turning to a target behind" : "trackaPass off: drops it");
        missileDef->trackaPass = pass;
        auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, behindSlot);
        EXPECT_TRUE(tick(*m, 0.1f));
        EXPECT_EQ(m->getRecord()->tracking, pass ? 1 : 0);
        // Behind and to the right (+x): a right turn of 9 degrees.
        const float yaw = facingOf(*m).x;
        EXPECT_NEAR(yaw, pass ? std::sin(Ogre::Degree(9).valueRadians()) : 0.0f, 1e-4f);
    }
    {
        SCOPED_TRACE("a freed target ends tracking on the next tick");
        ahead.node->setPosition(10, 60, -100);
        auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, aheadSlot);
        EXPECT_TRUE(tick(*m, kDt));
        EXPECT_EQ(m->getRecord()->tracking, 1);
        targets.remove(aheadSlot);
        const Ogre::Quaternion before = m->getNode()->getOrientation();
        EXPECT_TRUE(tick(*m, kDt));
        EXPECT_EQ(m->getRecord()->tracking, 0);
        EXPECT_TRUE(m->getNode()->getOrientation().equals(before, Ogre::Degree(1e-4f)));
    }
}

TEST_F(GuidedShotTest, TrackingQualityByTrackType)
{
    Body& t = addBody({0, 60, -50}, 2, 60, false, true, &targetDef);
    struct Case {
        uint32_t trackType;
        float stealthRes;
        float quality;
    } cases[] = {
        {0, 0, 1.0f},    // no seeker kind: full quality against stealth 100
        {1, 0, 0.6f},    // radar against RadarStealth 100
        {1, 100, 0.95f},
        {2, 0, 0.8f},    // thermal against TermoStealth 50: halfway from 1 to 0.6
    };
    for (const Case& c : cases) {
        missileDef->TrackType = c.trackType;
        missileDef->TgtStealthRes = c.stealthRes;
        auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, t.data->targetSlot);
        EXPECT_NEAR(m->getTrackingQuality(), c.quality, 1e-5f) << c.trackType << " " << c.stealthRes;
    }
}

TEST_F(GuidedShotTest, SurroundFuseDamagesTheTrackedBodyItself)
{
    missileDef->UseSurroundFuse = true;
    missileDef->SroundFuse_TGTDist = 3;
    // A part of the same owner registered first must not take the blast meant for the hull.
    Body& hull = addBody({2.5f, 60, -1}, 2, 70, false, true, &targetDef);
    Ogre::SceneNode* partNode = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(40, 60, 40));
    Ogre::Entity* part = scene->createEntity("fusePart", "shot_test_box.mesh");
    partNode->attachObject(part);
    damage->remove(hull.damageSlot);
    const uint32_t partSlot = damage->add(part, hull.data.get(), 4, 1, 2, 70, 1, 2);
    hull.damageSlot = damage->add(hull.entity, hull.data.get(), 4, 1, 2, 70, 0, 0);
    ASSERT_LT(partSlot, hull.damageSlot);

    auto m = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, hull.data->targetSlot);
    bool hit = false;
    int type = 0;
    EXPECT_TRUE(m->update(kDt, hit, type));
    EXPECT_TRUE(hit);
    EXPECT_EQ(m->getRecord()->hit, 1);
    EXPECT_EQ(m->getRecord()->tracking, 0);
    EXPECT_EQ(m->getRecord()->state, ProjectileState_Trail);
    EXPECT_EQ(hull.damageTaken(*damage), 10.0f);
    EXPECT_EQ(damage->getEntry(partSlot)->damageTaken, 0.0f);

    // A tracked thing without a damage body: the fuse still fires, damaging nothing.
    damage->remove(hull.damageSlot);
    m.reset();
    auto other = missile({0, 60, 0}, Ogre::Quaternion::IDENTITY, 1, hull.data->targetSlot);
    hit = false;
    EXPECT_TRUE(other->update(kDt, hit, type));
    EXPECT_TRUE(hit);
    EXPECT_EQ(damage->getEntry(partSlot)->damageTaken, 0.0f);
}

}  // namespace
