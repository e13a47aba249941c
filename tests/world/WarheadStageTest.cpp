// Napalm lines and cluster blasts after a bomb lands on Town's floor (or bursts where it is put).
#include "ShotTestWorld.h"

#include "world/BasicBomb.h"
#include "world/VirtualFX.h"

#include <gtest/gtest.h>

using shottest::Body;

namespace {

constexpr float kDt = 1.0f / 60.0f;

// A bomb whose launch height a test can choose (the game's bombs start from height 0).
class TestBomb : public BasicBomb {
public:
    using BasicBomb::BasicBomb;
    void setLaunchPosition(const Ogre::Vector3& p) { launchPosition_ = p; }
};

// Facing down at `dive` degrees below level.
Ogre::Quaternion diving(float dive) { return Ogre::Quaternion(Ogre::Degree(-dive), Ogre::Vector3::UNIT_X); }

class WarheadStageTest : public ::testing::Test, public shottest::World {
protected:
    WarheadStageTest()
    {
        setUpWarhead(napalm, 4.0f, nullptr);
        napalm.effects = {library.getEffectParams("napalm_burst")};
        napalm.blastInterval = 0.1f;
        napalm.MaxHeightOffset = 0.5f;
        setUpWarhead(cluster, 3.0f, nullptr);
        cluster.blastInterval = 0.1f;
    }

    std::unique_ptr<TestBomb> drop(const Ogre::Vector3& from, const Ogre::Quaternion& facing, WarHeadParams& warhead,
                                   int32_t team = 1)
    {
        return std::make_unique<TestBomb>(&playData, scene, &sounds, damage.get(), from, 0.0f, facing, 5, 0, 0, 0.0f,
                                          pool.get(), 900, def.get(), &warhead, &targets, team, 10);
    }
    // Flies the bomb onto the floor; true when the landing tick reported the hit and kept it alive.
    bool land(BasicBomb& bomb)
    {
        for (int i = 0; i < 20; ++i) {
            bool hit = false;
            int type = 0;
            const bool alive = bomb.update(kDt, hit, type);
            if (hit)
                return alive;
            if (!alive)
                return false;
        }
        return false;
    }
    // Effect positions spawned so far, in slot order.
    std::vector<Ogre::Vector3> effectPositions() const
    {
        std::vector<Ogre::Vector3> out;
        for (size_t i = 0; i < pool->effectSlotCount(); ++i)
            if (VirtualFX* fx = pool->effectInSlot(i))
                out.push_back(fx->getNode()->getPosition());
        return out;
    }

    std::unique_ptr<projParams> def = shot(ProjectileKind_Bomb, 1.0f, 10.0f);
    NapalmWHParams napalm{"test_napalm_def", nullptr};
    SClusterWHParams cluster{"test_cluster_def", nullptr};
};

TEST_F(WarheadStageTest, NapalmLineLengthFollowsDropHeightAngleAndRange)
{
    struct Case {
        const char* name;
        bool dropHeight, inertia;
        float launchY, dive, range, maxSpread, at0, at5000;
        uint32_t blasts;
    };
    const Case cases[] = {
        // D = 10 + 100 x 2500 / 5000 = 60: fifteen blasts of 4.
        {"drop height", true, false, 2500, 90, 4, 0, 10, 110, 15},
        // D = 40 x remap(0..90 -> 0.01..1.5)(45) = 30.2: seven.
        {"angle", false, true, 0, 45, 4, 40, 0, 0, 7},
        // Both: the drop's 24 scaled by 0.01 for a vertical fall: none.
        {"both, vertical", true, true, 0, 90, 4, 0, 24, 24, 0},
        {"range above D: impact blast only", true, false, 0, 90, 12, 0, 10, 10, 0},
        {"range 0", true, false, 0, 90, 0, 0, 10, 10, 0},
        {"negative spread", true, false, 0, 90, 4, 0, -8, -8, 0},
        {"neither", false, false, 2500, 90, 4, 40, 10, 10, 0},
    };
    float x = -150;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        napalm.hasDropHeightInf = c.dropHeight;
        napalm.hasInertiaSpread = c.inertia;
        napalm.DH_Spread_At_0m = c.at0;
        napalm.DH_Spread_At_5000m = c.at5000;
        napalm.MaxDistanceSpread = c.maxSpread;
        napalm.DamageRange = c.range;
        x += 40;
        auto bomb = drop({x, 2.5f, 200}, diving(c.dive), napalm);
        bomb->setLaunchPosition({0, c.launchY, 0});
        const size_t effectsBefore = effects();
        ASSERT_TRUE(land(*bomb));
        EXPECT_EQ(bomb->getRecord()->state, ProjectileState_Stage);
        EXPECT_FALSE(bomb->getEntity()->isVisible());
        EXPECT_EQ(bomb->getStageCount(), c.blasts);
        const Ogre::Vector3 impact = bomb->getLastPosition();
        EXPECT_NEAR(impact.y, 0.0f, 1e-4f);
        // One blast per blastInterval, the line level on the floor, one range apart.
        const int ticks = runUntilDone(*bomb, 0.1f, 40);
        EXPECT_EQ(ticks, static_cast<int>(c.blasts) + 1);
        EXPECT_EQ(effects() - effectsBefore, 1 + c.blasts);
        EXPECT_NEAR(bomb->getLastPosition().distance(impact), c.blasts * c.range, 1e-3f);
        EXPECT_NEAR(bomb->getLastPosition().y, 0.0f, 1e-4f);
    }
}

TEST_F(WarheadStageTest, NapalmLineStopsWhereTheGroundFallsAway)
{
    napalm.hasDropHeightInf = true;
    napalm.DH_Spread_At_0m = 60;
    napalm.DH_Spread_At_5000m = 60;
    // Town's floor ends at z = -400; diving along -z the bomb lands at z = -390.5.
    auto bomb = drop({0, 2.5f, -388}, diving(45), napalm);
    ASSERT_TRUE(land(*bomb));
    EXPECT_NEAR(bomb->getLastPosition().z, -390.5f, 1e-3f);
    EXPECT_EQ(bomb->getStageCount(), 15u);
    const size_t effectsAtImpact = effects();
    EXPECT_EQ(runUntilDone(*bomb, 0.1f, 40), 4);  // -394.5, -398.5, past the edge, then done
    EXPECT_EQ(effects() - effectsAtImpact, 2u);
    EXPECT_NEAR(bomb->getLastPosition().z, -398.5f, 1e-3f);
}

TEST_F(WarheadStageTest, ClusterSetsOffItsBlastsAndTheSubBlastsSpareTheShootersTeam)
{
    cluster.MinSpreadBlasts = cluster.MaxSpreadBlasts = 3;
    cluster.SpreadDistance = 0;  // every sub-blast at the impact point
    cluster.FriendlyFire = true;
    Body& own = addBody({32, 1, 30}, 1, 21);
    Body& enemy = addBody({28, 1, 30}, 2, 22);
    auto bomb = drop({30, 2.5f, 30}, diving(90), cluster);
    ASSERT_TRUE(land(*bomb));
    EXPECT_EQ(bomb->getStageCount(), 3u);
    EXPECT_EQ(own.damageTaken(*damage), 10.0f);  // the impact blast follows FriendlyFire
    EXPECT_EQ(runUntilDone(*bomb, 0.1f, 20), 4);
    EXPECT_EQ(effects(), 4u);
    EXPECT_EQ(own.damageTaken(*damage), 10.0f);
    EXPECT_EQ(enemy.damageTaken(*damage), 40.0f);
}

TEST_F(WarheadStageTest, ClusterPointBelowTheFloorLandsOnIt)
{
    cluster.MinSpreadBlasts = cluster.MaxSpreadBlasts = 1;
    cluster.SpreadDistance = 4;
    cluster.LimitPlanarSpread = false;
    fixedRandom.values = {0.0f};  // every offset -4: the point lies 4 below the floor
    auto bomb = drop({30, 2.5f, 30}, diving(90), cluster);
    ASSERT_TRUE(land(*bomb));
    runUntilDone(*bomb, 0.1f, 20);
    const std::vector<Ogre::Vector3> at = effectPositions();
    ASSERT_EQ(at.size(), 2u);
    // The ray from 100 above the centre toward (26, -4, 26) meets the floor at 100/104 of the way.
    EXPECT_NEAR(at[1].y, 0.0f, 1e-3f);
    EXPECT_NEAR(at[1].x, 30 - 4 * 100.0f / 104.0f, 1e-3f);
    EXPECT_NEAR(at[1].z, 30 - 4 * 100.0f / 104.0f, 1e-3f);
}

TEST_F(WarheadStageTest, ClusterBlastThatMissesTheGroundNeedsAirExplosion)
{
    for (bool air : {false, true}) {
        SCOPED_TRACE(air ? "air explosion" : "no air explosion");
        cluster.MinSpreadBlasts = cluster.MaxSpreadBlasts = 2;
        cluster.SpreadDistance = 4;
        cluster.AirExplosion = air;
        fixedRandom.values = {1.0f};  // every offset +4
        fixedRandom.next = 0;
        // Level at height 20: the ray from 100 behind rises toward the point and meets nothing.
        auto bomb = drop({air ? 60.0f : 30.0f, 20, 30}, Ogre::Quaternion::IDENTITY, cluster);
        Body& atPoint = addBody(bomb->getNode()->getPosition() + Ogre::Vector3(4, 4, 4), 2, air ? 31 : 30);
        const size_t before = effects();
        bomb->startClusterStage();
        EXPECT_EQ(effects() - before, 1u);  // the impact blast
        EXPECT_EQ(runUntilDone(*bomb, 0.1f, 20), 3);
        EXPECT_EQ(effects() - before, air ? 3u : 1u);
        EXPECT_EQ(atPoint.damageTaken(*damage), air ? 20.0f : 0.0f);
    }
}

}  // namespace
