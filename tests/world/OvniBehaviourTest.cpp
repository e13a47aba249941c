// The Ovni behaviour on real Ovni: the shake that holds it, the wander, an Ovni without a turret
// or without movement, the shot and the rest after it, the rest-time curve, the record timers,
// and a plain air object that only fights.
#include "AirTestWorld.h"

#include "core/Utilities.h"
#include "world/AIManager.h"
#include "world/AIbeheiv_Ovni.h"
#include "world/AIdata.h"
#include "world/GameObjectData.h"
#include "definitions/goParams.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

namespace {

using airtest::kDt;

class OvniBehaviourTest : public ::testing::Test, public airtest::World {
protected:
    OvniBehaviourTest()
    {
        difficulty.aiOvRestScale = 0.5f;
        difficulty.aiOvRestFireL = 4.0f;
        difficulty.aiOvRestFireLadd = 2.0f;
        difficulty.aiOvRestFireH = 0.3f;
        difficulty.aiOvRestFireHadd = 0.3f;
    }
    // A calm wisp (its arrival shake gone) at the place.
    std::unique_ptr<Ovni> calmWisp(uint32_t id, uint32_t team, const Ogre::Vector3& at, OvniParams* def = nullptr)
    {
        auto o = ovni(def ? def : quiet("wisp"), id, team);
        o->setPosition(at);
        o->shake = 0.0f;
        settle();
        return o;
    }
    AIdata record() { return AIdata(&difficulty, nullptr, &random, 5); }
    float heading(const Ovni& o) const { return o.getHeadingNode()->getOrientation().getYaw().valueDegrees(); }

    AIbeheiv_Ovni behaviour{&difficulty, damage, &targets, &random};
};

TEST_F(OvniBehaviourTest, AShakenOvniHoldsStillAndRestartsItsMove)
{
    auto o = ovni(quiet("wisp"));
    ASSERT_EQ(o->shake, 1.0f);
    AIdata rec = record();
    rec.moveTimer = 1.2f;
    rec.legStarted = 1;
    o->speedFactor = 1.0f;
    int held = 0;
    while (o->shake > 0.0f) {
        behaviour.update(kDt, o.get(), &rec);
        EXPECT_EQ(o->speedFactor, 0.0f);
        EXPECT_EQ(rec.moveTimer, 0.0f);
        EXPECT_EQ(rec.legStarted, 0);
        EXPECT_EQ(rec.state, 0u);
        EXPECT_EQ(rec.age, 0.0f);
        ASSERT_TRUE(o->update(kDt));
        ASSERT_LT(++held, 100);
    }
    behaviour.update(kDt, o.get(), &rec);
    EXPECT_FLOAT_EQ(rec.age, kDt);
    EXPECT_FLOAT_EQ(rec.moveTimer, kDt);
    EXPECT_EQ(rec.state, 2u);
}

TEST_F(OvniBehaviourTest, TheWanderWaitsTurnsAndFlies)
{
    auto o = calmWisp(3, 2, {0, 8, 0});
    const OvniParams* def = o->getOvniParams();
    ASSERT_EQ(def->MoveType, 1u);
    ASSERT_FLOAT_EQ(def->MoveInterval, 1.5f);
    ASSERT_FLOAT_EQ(def->MoveDuration, 1.0f);
    AIdata rec = record();
    const float dt = 0.25f;
    // Waiting 1.75 s (the first clock past 1.5), then flying 1.25 s, then waiting again.
    std::vector<float> speeds;
    std::vector<bool> turned;
    for (int i = 0; i < 14; ++i) {
        const float before = heading(*o);
        behaviour.update(dt, o.get(), &rec);
        speeds.push_back(o->speedFactor);
        turned.push_back(heading(*o) != before);
    }
    const std::vector<float> expectSpeeds = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0};
    EXPECT_EQ(speeds, expectSpeeds);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(turned[i], i == 6) << i;
    EXPECT_EQ(o->turnRate, 0.0f);
}

TEST_F(OvniBehaviourTest, WithoutMovementTheOvniNeverFlies)
{
    OvniParams* def = quiet("wisp");
    def->MoveType = 0;
    auto o = calmWisp(3, 2, {0, 8, 0}, def);
    AIdata rec = record();
    const float yaw = heading(*o);
    for (int i = 0; i < 40; ++i) {
        o->speedFactor = 0.5f;
        behaviour.update(0.25f, o.get(), &rec);
        EXPECT_EQ(o->speedFactor, 0.0f);
    }
    EXPECT_EQ(heading(*o), yaw);
    EXPECT_EQ(rec.moveTimer, 0.0f);
}

TEST_F(OvniBehaviourTest, WithoutATurretItWandersButNeverFights)
{
    OvniParams* def = quiet("wisp");
    def->HasTurret = false;
    auto o = calmWisp(3, 2, {0, 8, 0}, def);
    auto enemy = calmWisp(4, 1, {10, 8, 0});
    AIdata rec = record();
    bool flew = false;
    for (int i = 0; i < 40; ++i) {
        behaviour.update(0.25f, o.get(), &rec);
        flew = flew || o->speedFactor == 1.0f;
    }
    EXPECT_TRUE(flew);
    EXPECT_EQ(rec.state, 0u);
    EXPECT_EQ(rec.hasTarget, 0);
    EXPECT_FALSE(o->hasTarget());
    EXPECT_FALSE(o->getTrigger());
    EXPECT_EQ(targets.entries()[enemy->getTargetRegistrySlot()].targeted, 0);
}

TEST_F(OvniBehaviourTest, AShotIsFollowedByTheRestThenTheCycleRestarts)
{
    difficulty.aiOvRestFireL = difficulty.aiOvRestFireH = 0.0f;
    difficulty.aiOvRestFireLadd = difficulty.aiOvRestFireHadd = 0.5f;  // rest 0.5 s whatever x
    OvniParams* def = quiet("wisp");
    def->MoveType = 0;
    auto o = calmWisp(3, 2, {0, 8, 0}, def);
    auto enemy = calmWisp(4, 1, {0, 8, -30});
    ASSERT_TRUE(o->isMainWeaponReady());
    AIdata rec = record();
    rec.state = 1;
    rec.hasTarget = 1;
    rec.targetSlot = static_cast<int32_t>(enemy->getTargetRegistrySlot());

    behaviour.update(0.25f, o.get(), &rec);
    EXPECT_TRUE(o->getTrigger());
    EXPECT_EQ(rec.state, 15u);
    EXPECT_FLOAT_EQ(rec.restTime, 0.5f);
    EXPECT_EQ(targets.entries()[enemy->getTargetRegistrySlot()].targeted, 1);

    behaviour.update(0.25f, o.get(), &rec);
    EXPECT_FALSE(o->getTrigger());
    EXPECT_EQ(rec.state, 15u);
    behaviour.update(0.25f, o.get(), &rec);  // the rest reaches exactly 0: over
    EXPECT_EQ(rec.restTime, 0.0f);
    EXPECT_EQ(rec.state, 0u);
    behaviour.update(0.25f, o.get(), &rec);
    EXPECT_EQ(rec.state, 2u);
}

TEST_F(OvniBehaviourTest, ItFindsPausesLocksAimsAndFires)
{
    OvniParams* def = quiet("wisp");
    def->MoveType = 0;
    auto o = calmWisp(3, 2, {0, 8, 0}, def);
    auto enemy = calmWisp(4, 1, {20, 8, -20});
    AIdata rec = record();
    behaviour.update(kDt, o.get(), &rec);  // think
    behaviour.update(kDt, o.get(), &rec);  // found: a short pause first
    EXPECT_EQ(rec.state, 15u);
    EXPECT_EQ(rec.hasTarget, 1);
    EXPECT_GT(rec.restTime, 0.0f);
    EXPECT_FALSE(o->hasTarget());
    // The lock takes the gun's lock speed times AirLockVar (the target flies); the gun turret has
    // to come round as well. Both Ovni tick, as in a play.
    bool fired = false;
    for (int i = 0; i < 60 * 120 && !fired; ++i) {
        behaviour.update(kDt, o.get(), &rec);
        ASSERT_TRUE(o->update(kDt));
        ASSERT_TRUE(enemy->update(kDt));
        fired = o->getTrigger();
    }
    ASSERT_TRUE(fired);
    EXPECT_TRUE(o->hasTarget());
    EXPECT_EQ(o->getTargetSlot(), enemy->getTargetRegistrySlot());
    EXPECT_EQ(rec.state, 15u);
}

// A vehicle stands with its node on the floor and its hull above: the gun aims at the hull.
TEST_F(OvniBehaviourTest, ItAimsAtTheMiddleOfAVehicleStandingOnTheFloor)
{
    OvniParams* def = quiet("wisp");
    def->MoveType = 0;
    auto o = calmWisp(3, 2, {0, 4, 0}, def);
    GameObjectData owner("tank", "", "", "", 1, 3, 1, 100, false);
    goParams hullDef{"hull"};
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(20, 0, -20));
    Ogre::SceneNode* hullNode = node->createChildSceneNode(Ogre::Vector3(0, 1.5f, 0));
    hullNode->setScale(0.03f, 0.03f, 0.03f);  // a 3-unit cube
    Ogre::Entity* hull = scene->createEntity(Ogre::SceneManager::PT_CUBE);
    hullNode->attachObject(hull);
    const uint32_t slot = targets.add(node, hull, &owner, &hullDef, 0, 0);
    settle();
    AIdata rec = record();
    bool fired = false;
    for (int i = 0; i < 60 * 120 && !fired; ++i) {
        behaviour.update(kDt, o.get(), &rec);
        ASSERT_TRUE(o->update(kDt));
        fired = o->getTrigger();
    }
    ASSERT_TRUE(fired);
    ASSERT_EQ(o->getTargetSlot(), slot);
    const Ogre::Vector3 gun = o->getAimNode()->_getDerivedPosition();
    const Ogre::Vector3 facing = -o->getAimNode()->_getDerivedOrientation().zAxis();
    EXPECT_LT(facing.angleBetween(Ogre::Vector3(20, 1.5f, -20) - gun).valueDegrees(), 0.05f);
    targets.remove(slot);
    scene->destroyEntity(hull);
}

TEST_F(OvniBehaviourTest, RestTimeRunsFromLowToHighByAggressionUnclamped)
{
    struct Case {
        const char* name;
        float p5, p9, p20;
        uint8_t excited, calming;
        float scale;
    };
    const Case cases[] = {
        {"plain", 128.0f, 0.1f, 1.0f, 0, 0, 0.5f},     {"excited", 128.0f, 0.1f, 1.0f, 1, 0, 0.5f},
        {"calming", 128.0f, 0.1f, 1.0f, 0, 1, 0.5f},   {"beyond high", 255.0f, 0.15f, 1.5f, 0, 0, 1.0f},
        {"below low", 0.0f, -0.15f, 1.5f, 0, 0, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        difficulty.aiOvRestScale = c.scale;
        AIdata rec = record();
        rec.setPersonality(5, c.p5);
        rec.setPersonality(9, c.p9);
        rec.setPersonality(20, c.p20);
        rec.excited = c.excited;
        rec.calming = c.calming;
        RandomGenerator reference = random;
        const float ra = static_cast<float>(reference.nextUnit());
        const float rb = static_cast<float>(reference.nextUnit());
        const float high = 0.3f + 0.3f * ra;
        const float low = 2.0f + 4.0f * rb;
        const float mood = c.excited ? 1.25f : c.calming ? 0.8f : 1.0f;
        const float x = (30.0f * c.p20 * c.p9 + c.p5 * mood) * (c.scale + 0.1f);
        const float rest = behaviour.restTime(&rec);
        EXPECT_NEAR(rest, low + (high - low) * x / 255.0f, 1e-4f);
        if (x > 255.0f) {
            EXPECT_LT(rest, high);
        }
        if (x < 0.0f) {
            EXPECT_GT(rest, low);
        }
        EXPECT_EQ(random.nextU32(), reference.nextU32());  // exactly two draws
    }
}

TEST_F(OvniBehaviourTest, RecordTimersRunDownAndTheMoodSettles)
{
    AIdata rec = record();
    rec.restTime = 0.1f;
    rec.retreatTime = 1.0f;
    rec.evadeTime = 0.05f;
    rec.warned = 1;
    rec.setPersonality(3, -0.999f);
    rec.pursuing = 1;
    rec.pursueLeft = 0.1f;
    behaviour.updateRecordTimers(0.25f, &rec);
    EXPECT_FLOAT_EQ(rec.age, 0.25f);
    EXPECT_EQ(rec.restTime, 0.0f);
    EXPECT_FLOAT_EQ(rec.retreatTime, 0.75f);
    EXPECT_EQ(rec.evadeTime, 0.0f);
    EXPECT_FLOAT_EQ(rec.personality(3), -1.0f);
    EXPECT_FLOAT_EQ(rec.warnedTime, 0.25f);
    EXPECT_FLOAT_EQ(rec.pursueTime, 0.25f);
    EXPECT_EQ(rec.pursueLeft, 0.0f);

    // An excitement that runs out turns into calming, at a level set by how often it came.
    rec.excited = 1;
    rec.exciteCount = 5;
    rec.setPersonality(10, 0.05f);
    RandomGenerator reference = random;
    behaviour.updateRecordTimers(0.25f, &rec);
    EXPECT_EQ(rec.excited, 0);
    EXPECT_EQ(rec.calming, 1);
    EXPECT_FLOAT_EQ(rec.personality(10), 5.0f + 2.0f * static_cast<float>(reference.nextUnit()) - 1.0f);
    rec.warned = 0;
    rec.pursuing = 0;
    behaviour.updateRecordTimers(0.25f, &rec);
    EXPECT_EQ(rec.warnedTime, 0.0f);
    EXPECT_EQ(rec.calming, 0);
    EXPECT_EQ(rec.personality(10), 0.0f);
}

TEST_F(OvniBehaviourTest, AnAirObjectAndAnOvniShareTheBehaviourAndTheAirObjectFights)
{
    AIManager manager(damage, &targets, &random, &difficulty, nullptr);
    AirObjParams* kestrelDef = cached<AirObjParams>("kestrel");
    kestrelDef->Death_Effect = kestrelDef->Spawn_Effect = kestrelDef->Retreat_Effect = " ";
    kestrelDef->RadarRange = 500.0f;
    auto kestrel = air(kestrelDef, 7, 2);
    kestrel->setPosition({0, 10, 0});
    OvniParams* def = quiet("wisp");
    def->MoveType = 0;
    auto wisp = calmWisp(3, 2, {50, 8, 50}, def);
    auto enemy = calmWisp(4, 1, {0, 8, -20});
    ASSERT_TRUE(manager.addObject(kestrel.get()));
    ASSERT_TRUE(manager.addObject(wisp.get()));
    EXPECT_EQ(manager.getEntry(0).behaviour, manager.getEntry(1).behaviour);
    EXPECT_NE(dynamic_cast<AIbeheiv_Ovni*>(manager.getEntry(0).behaviour), nullptr);

    // The kestrel cannot turn and has no turret: once locked it fires.
    bool fired = false;
    for (int i = 0; i < 60 * 120 && !fired; ++i) {
        manager.updateAll(kDt);
        ASSERT_TRUE(kestrel->update(kDt));
        fired = kestrel->getTrigger();
    }
    EXPECT_TRUE(fired);
    const AIdata* rec = manager.findData(kestrel.get());
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->state, 15u);
}

}  // namespace
