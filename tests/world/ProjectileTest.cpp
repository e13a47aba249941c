// The plain bullet over Town: flight, float over the floor, the hit tests and what a hit leaves.
#include "ShotTestWorld.h"

#include <gtest/gtest.h>

using shottest::Body;

namespace {

constexpr float kDt = 1.0f / 60.0f;

class BulletTest : public ::testing::Test, public shottest::World {
protected:
    std::unique_ptr<P_bullet> fire(const Ogre::Vector3& from, const Ogre::Quaternion& facing, float addedSpeed = 0.0f,
                                   int32_t team = 1, uint32_t owner = 900)
    {
        return std::make_unique<P_bullet>(&playData, scene, &sounds, damage.get(), from, addedSpeed, facing, 3, 0.0f,
                                          owner, def.get(), wh.get(), pool.get(), &targets, team, 10);
    }
    // Facing +x (a quarter turn from -z).
    static Ogre::Quaternion towardPlusX() { return Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_Y); }

    std::unique_ptr<projParams> def = shot(ProjectileKind_Bullet, 1.0f, 1.0f);
    std::unique_ptr<WarHeadParams> wh = warhead();
};

TEST_F(BulletTest, FliesSixtyTimesItsDistanceShowsAtMinDistanceSpeedsUpAndDiesWhenLifeDropsBelowZero)
{
    def->Speed = 1.0f;
    def->MaxSpeed = 0.02f;  // maxSpeed 1.02: reached on the second tick of x(1 + dt)
    def->MinDistVisible = 0.03f;
    def->timeToLive = 0.09f;
    auto b = fire({0, 40, 0}, Ogre::Quaternion::IDENTITY);
    EXPECT_FALSE(b->isVisible());
    EXPECT_FLOAT_EQ(b->getRecord()->maxSpeed, 1.02f);
    EXPECT_EQ(b->getEntity()->getName(), "bullet3");

    std::vector<float> speeds;
    std::vector<float> z;
    std::vector<bool> visible;
    int ticks = 0;
    bool alive = true;
    while (alive && ticks < 20) {
        bool hit = false;
        int type = 0;
        alive = b->update(kDt, hit, type);
        EXPECT_FALSE(hit);
        EXPECT_EQ(type, ProjectileKind_Bullet);
        ++ticks;
        speeds.push_back(b->getSpeed());
        z.push_back(b->getNode()->getPosition().z);
        visible.push_back(b->isVisible());
    }
    // Life 0.09 at dt 1/60: 0.0067 left after five ticks, below 0 on the sixth.
    EXPECT_EQ(ticks, 6);
    // Moved speed x dt x 60 per tick: 1 unit, then 1 x (1 + dt) ...
    EXPECT_NEAR(z[0], -1.0f, 1e-5f);
    EXPECT_NEAR(z[1] - z[0], -speeds[0], 1e-5f);
    EXPECT_NEAR(speeds[0], 1.0f + kDt, 1e-6f);
    EXPECT_NEAR(speeds[1], 1.02f, 1e-6f);  // clamped
    EXPECT_NEAR(speeds.back(), 1.02f, 1e-6f);
    // Distance flown is one sixtieth of that: 1/60 after the first tick, past 0.03 on the second.
    EXPECT_FALSE(visible[0]);
    EXPECT_TRUE(visible[1]);
    EXPECT_NEAR(b->getDistance(), (1.0f + (1.0f + kDt) + 1.02f * (ticks - 2)) * kDt, 1e-5f);
    EXPECT_TRUE(b->getEntity()->isVisible());
}

TEST_F(BulletTest, FloatStepClimbsBelowTheHeightSinksAtHalfAboveAndLevelsTheNose)
{
    playData.playSettings[GamePlayData::ProjFloatPitchRate] = 30.0f;
    playData.playSettings[GamePlayData::VerticalFloatSpeed] = 6.0f;
    playData.playSettings[GamePlayData::ProjFloatHeight] = 10.0f;
    def->Speed = 0.0f;  // only the float step moves it
    struct Case {
        float y, pitch;  // start height, nose pitch in degrees (negative: down)
        float dy, pitchAfter;
    } cases[] = {
        {5.0f, 0.0f, 0.6f, 0.0f},     // below: climbs R x dt
        {20.0f, 0.0f, -0.3f, 0.0f},   // above: sinks at half the rate
        {10.0f, 0.0f, -0.3f, 0.0f},   // exactly at the height counts as above
        {20.0f, -20.0f, -0.3f, -17.0f},  // pointing down: pitched up by G x dt
        {20.0f, 20.0f, -0.3f, 17.0f},    // pointing up: pitched down
        {20.0f, -1.0f, -0.3f, 0.0f},     // within one step of level: levelled, not tipped up
        {20.0f, 2.0f, -0.3f, 0.0f},      // the same from above
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "y " << c.y << " pitch " << c.pitch);
        auto b = fire({20, c.y, 20}, Ogre::Quaternion(Ogre::Degree(c.pitch), Ogre::Vector3::UNIT_X));
        bool hit = false;
        int type = 0;
        EXPECT_TRUE(b->update(0.1f, hit, type));
        EXPECT_NEAR(b->getNode()->getPosition().y, c.y + c.dy, 1e-4f);
        const Ogre::Vector3 f = -b->getNode()->getOrientation().zAxis();
        EXPECT_NEAR(Ogre::Math::ASin(f.y).valueDegrees(), c.pitchAfter, 1e-3f);
    }
}

// The hit tests in their order: blocker, border, bodies (proximity fuse, absorbing owners,
// warhead range, friendly fire). The shot moves 1 unit a tick.
TEST_F(BulletTest, HitTableDamagesAsTheWarheadAndTheBodySay)
{
    enum Path { AtBlocker, AtBorder, AtBody };
    struct Case {
        const char* name;
        Path path;
        float range;
        float proxDistance;  // > 0: proximity fuse
        bool absorb;
        uint32_t targetTeam;
        bool friendlyFire;
        int ticksToHit;
        float targetDamage, neighbourDamage;
    };
    const Case cases[] = {
        // HouseNorth's blocker face at z = -77, 3.5 ahead: hit once within (dt x 60 + 1) x speed = 2.
        {"blocker", AtBlocker, 6.0f, 0, false, 2, false, 2, 10, 0},
        // The border ring (radius 150) 2.5 ahead: hit once within speed x dt x 60 = 1.
        {"border", AtBorder, 6.0f, 0, false, 2, false, 2, 10, 0},
        // A body's near face 3.5 ahead: hit once within 1.
        {"direct", AtBody, 0.0f, 0, false, 2, false, 3, 10, 0},
        {"own team: stopped, nothing dealt", AtBody, 0.0f, 0, false, 1, false, 3, 0, 0},
        {"own team, friendly fire", AtBody, 0.0f, 0, false, 1, true, 3, 10, 0},
        {"absorbing owner: 1.2 x, no area", AtBody, 6.0f, 0, true, 2, false, 3, 12, 0},
        {"proximity fuse: early, no bonus", AtBody, 0.0f, 2.5f, true, 2, false, 1, 10, 0},
        {"warhead range: area", AtBody, 6.0f, 0, false, 2, false, 3, 10, 10},
    };
    uint32_t id = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Ogre::Vector3 from = c.path == AtBlocker  ? Ogre::Vector3(0, 5, -73.5f)
                                   : c.path == AtBorder ? Ogre::Vector3(147.5f, 5, 0)
                                                      : Ogre::Vector3(20, 3, 20);
        const Ogre::Quaternion facing = c.path == AtBlocker ? Ogre::Quaternion::IDENTITY : towardPlusX();
        const Ogre::Vector3 ahead = facing * Ogre::Vector3::NEGATIVE_UNIT_Z;
        const Ogre::Vector3 side = facing * Ogre::Vector3::UNIT_X;
        // Against a wall the body stands 3 above the hit point, off the path; else 4.5 ahead.
        Body& target = addBody(c.path == AtBody ? from + ahead * 4.5f : from + ahead * 2.0f + Ogre::Vector3(0, 3, 0),
                               c.targetTeam, ++id, c.absorb);
        Body& neighbour = addBody(c.path == AtBody ? from + ahead * 4.5f + side * 3.0f : from + Ogre::Vector3(0, 40, 0),
                                  2, ++id);
        def->UseProximityFuse = c.proxDistance > 0;
        def->ProxFuse_TGTDist = c.proxDistance;
        wh->DamageRange = c.range;
        wh->FriendlyFire = c.friendlyFire;
        auto b = fire(from, facing);
        bool hit = false;
        EXPECT_EQ(runUntilDone(*b, kDt, 10, &hit), c.ticksToHit);
        EXPECT_TRUE(hit);
        EXPECT_FALSE(b->getEntity()->isVisible());
        EXPECT_FLOAT_EQ(target.damageTaken(*damage), c.targetDamage);
        EXPECT_FLOAT_EQ(neighbour.damageTaken(*damage), c.neighbourDamage);
        // Only a body hit counts as a hit of the shot.
        EXPECT_EQ(b->getRecord()->hit, c.path == AtBody ? 1 : 0);
        EXPECT_EQ(b->getRecord()->countedHit, b->getRecord()->hit);
        if (c.targetDamage > 0) {
            EXPECT_EQ(damage->getEntry(target.damageSlot)->lastAttackerId, 900);
        }
        damage->remove(target.damageSlot);
        damage->remove(neighbour.damageSlot);
    }
}

TEST_F(BulletTest, TheShootersOwnBodiesNeverStopItsShot)
{
    Body& own = addBody({22, 3, 20}, 1, 900);
    Body& other = addBody({26, 3, 20}, 2, 31);
    auto b = fire({20, 3, 20}, towardPlusX(), 0.0f, 1, 900);
    bool hit = false;
    runUntilDone(*b, kDt, 10, &hit);
    EXPECT_TRUE(hit);
    EXPECT_EQ(own.damageTaken(*damage), 0.0f);
    EXPECT_EQ(other.damageTaken(*damage), 10.0f);
}

TEST_F(BulletTest, ImpactSoundKeepsTheHitShotUntilItEndsAcrossPauseAndResume)
{
    addBody({24.5f, 3, 20}, 2, 40);
    // Without an impact sound the hit ends it on that tick, with the first effect spawned.
    {
        auto b = fire({20, 3, 20}, towardPlusX());
        EXPECT_EQ(runUntilDone(*b, kDt, 10), 3);
        EXPECT_EQ(b->getImpactSound(), nullptr);
        EXPECT_EQ(effects(), 1u);
    }
    wh->hasImpactSound = true;
    wh->ImpactSound = "impact_explosive.ogg";
    auto b = fire({20, 3, 20}, towardPlusX());
    EXPECT_EQ(runUntilDone(*b, kDt, 4), 5);
    ASSERT_NE(b->getImpactSound(), nullptr);
    EXPECT_EQ(b->getImpactSound()->getName(), "pWHiS3");
    EXPECT_TRUE(b->getImpactSound()->isPlaying());
    EXPECT_EQ(b->getRecord()->state, ProjectileState_Exploded);
    EXPECT_EQ(effects(), 2u);

    b->pauseSounds();
    EXPECT_TRUE(b->getImpactSound()->isPaused());
    EXPECT_EQ(runUntilDone(*b, kDt, 3), 4);  // a held play does not end it
    b->resumeSounds();
    EXPECT_TRUE(b->getImpactSound()->isPlaying());
    EXPECT_EQ(b->getRecord()->state, ProjectileState_Exploded);

    b->getImpactSound()->stop();
    EXPECT_EQ(runUntilDone(*b, kDt, 3), 1);
}

TEST_F(BulletTest, SoundsAreNamedByTheSerialAndPlayWhileTheShotFlies)
{
    def->hasLiveSound = true;
    def->LiveSound = "rocket_motor.ogg";
    def->hasSpawnSound = true;
    def->SpawnSound = "shot_cannon.ogg";
    addBody({24.5f, 3, 20}, 2, 40);
    auto b = fire({20, 3, 20}, towardPlusX());
    ASSERT_NE(b->getLiveSound(), nullptr);
    ASSERT_NE(b->getSpawnSound(), nullptr);
    EXPECT_EQ(b->getLiveSound()->getName(), "pLiveS3");
    EXPECT_EQ(b->getSpawnSound()->getName(), "pSpawnS3");
    EXPECT_TRUE(b->getLiveSound()->isLooping());
    EXPECT_TRUE(b->getLiveSound()->isPlaying());
    EXPECT_TRUE(b->getSpawnSound()->isPlaying());
    runUntilDone(*b, kDt, 10);
    EXPECT_FALSE(b->getLiveSound()->isPlaying());  // stopped by the hit
}

}  // namespace
