// The vehicle behaviour on real ground vehicles in the headless arena: driving to a goal point
// and stopping there, and AI marauders that fight the player's tank: one in range fires at it
// with its turret brought round, one told to chase it drives toward it.
#include "VehicleArena.h"

#include "definitions/DificultyData.h"
#include "world/AIManager.h"
#include "world/AIbeheiviour.h"
#include "world/AIdata.h"
#include "world/Projectile.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>

namespace {

using vehicletest::kDt;

class AIVehicle : public ::testing::Test, public vehicletest::Arena {
protected:
    AIVehicle()
    {
        // Only what the AI needs: no spawn or death effects playing by themselves.
        for (GroundVehiParams* d : {&abrams, &marauder})
            d->Spawn_Effect = d->Death_Effect = " ";
    }
    // Ticks the AI and every vehicle n times; false as soon as a vehicle's update does.
    bool play(AIManager& ai, int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            ai.updateAll(kDt);
            for (auto& v : vehicles)
                if (!v->update(kDt))
                    return false;
            projectiles->update(kDt);
        }
        return true;
    }
    // A vehicle of the team standing on the floor below the point, facing -z.
    GroundVehicle& onGround(GroundVehiParams* def, const Ogre::Vector3& at, uint32_t id, uint32_t team)
    {
        GroundVehicle& v = spawn(def, at + Ogre::Vector3(0, 10, 0), 0.0f, id, team);
        v.snapToGround();
        v.updateCachedTransform();
        return v;
    }
    static float flatDistance(const GameObject& a, const GameObject& b)
    {
        Ogre::Vector3 d = a.getWorldPosition() - b.getWorldPosition();
        d.y = 0.0f;
        return d.length();
    }

    DificultyData difficulty;
    GroundVehiParams abrams{"abrams"};
    GroundVehiParams marauder{"marauder"};
};

TEST_F(AIVehicle, DrivesToItsGoalAndStopsThereOnlyAtRest)
{
    AIbeheiv_GrndVeh behaviour(&difficulty, damage, &targets, &random);
    GroundVehicle& v = spawnOnGround(&marauder, {-60, 0, 60}, 0.0f, 5);
    const Ogre::Vector3 at = v.getWorldPosition();
    struct Case {
        const char* name;
        Ogre::Vector3 goal;  // from the vehicle
        float speed;
        uint32_t stateAfter;
        float accelerate, reverse, steer;
    };
    // Facing -z: a goal to the east lies at world yaw -90 (below the vehicle's 0: turn right),
    // one to the west at +90, one straight ahead at 0 (no dead band: left).
    const Case cases[] = {
        {"far, east", {40, 0, 0}, 0.0f, 9, 1, 0, -1},     {"far, west", {-40, 0, 0}, 5.0f, 9, 1, 0, 1},
        {"far, ahead", {0, 0, -40}, 5.0f, 9, 1, 0, 1},    {"near, moving", {3, 0, 0}, 2.0f, 9, 0, 1, -1},
        {"near, creeping", {3, 0, 0}, 1e-4f, 9, 0, 1, -1}, {"near, at rest", {3, 0, 0}, 0.0f, 0, 0, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AIdata rec(&difficulty, nullptr, &random, 3);
        rec.state = 9;
        rec.goalPoint = at + c.goal;
        rec.arrivalRadius = 10.0f;
        v.setSpeed(c.speed);
        v.accelerateInput = v.reverseInput = v.steerInput = 0.0f;
        behaviour.update(kDt, &v, &rec);
        EXPECT_EQ(rec.state, c.stateAfter);
        EXPECT_EQ(rec.legStarted, 1);
        EXPECT_EQ(v.accelerateInput, c.accelerate);
        EXPECT_EQ(v.reverseInput, c.reverse);
        EXPECT_EQ(v.steerInput, c.steer);
    }
}

TEST_F(AIVehicle, AMarauderWithThePlayerInRangeFiresAtIt)
{
    AIManager ai(damage, &targets, &random, &difficulty, nullptr);
    GroundVehicle& player = onGround(&abrams, {40, 0, 60}, 1, 1);
    GroundVehicle& enemy = onGround(&marauder, {-10, 0, 60}, 2, 2);
    ASSERT_LT(flatDistance(player, enemy), enemy.getMainWeaponLockRange() * enemy.getLockRangeVar());
    ASSERT_TRUE(ai.addObject(&enemy));

    int ticks = 0;
    while (projectiles->liveCount() == 0 && ticks < 60 * 10) {
        ASSERT_TRUE(play(ai, 1));
        ++ticks;
    }
    ASSERT_GT(projectiles->liveCount(), 0u) << "no shot in 10 s";
    EXPECT_TRUE(enemy.hasTarget());
    EXPECT_EQ(enemy.getTargetSlot(), player.getTargetRegistrySlot());
    EXPECT_EQ(ai.findData(&enemy)->state, 1u);

    // The turret comes round to the player (it starts facing -z, the player lies to the east).
    ASSERT_TRUE(play(ai, 90));
    const Ogre::Vector3 gun = enemy.getTurretVisualNode()->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    Ogre::Vector3 toPlayer = player.getWorldPosition() - enemy.getWorldPosition();
    toPlayer.y = 0.0f;
    toPlayer.normalise();
    EXPECT_GT(Ogre::Vector3(gun.x, 0, gun.z).normalisedCopy().dotProduct(toPlayer), 0.98f);
}

TEST_F(AIVehicle, AMarauderSentToChaseDrivesTowardItsTarget)
{
    AIManager ai(damage, &targets, &random, &difficulty, nullptr);
    GroundVehicle& player = onGround(&abrams, {-125, 0, 40}, 1, 1);
    GroundVehicle& enemy = onGround(&marauder, {0, 0, 40}, 2, 2);
    ASSERT_TRUE(ai.addObject(&enemy));
    AIdata* rec = ai.findData(&enemy);
    ASSERT_NE(rec, nullptr);
    int slot = static_cast<int>(player.getTargetRegistrySlot());
    ai.getPool()->getBehaviour(3)->forceTarget(slot, &enemy, kDt, rec);
    ASSERT_EQ(rec->state, 26u);

    const float before = flatDistance(player, enemy);
    ASSERT_TRUE(play(ai, 120));
    EXPECT_EQ(rec->state, 26u);
    EXPECT_LT(flatDistance(player, enemy), before - 10.0f);
    EXPECT_GT(enemy.getSpeed(), 0.0f);
    // It has turned toward the west.
    const Ogre::Vector3 ahead = enemy.getMainNode()->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    EXPECT_LT(ahead.x, -0.5f);
}

}  // namespace
