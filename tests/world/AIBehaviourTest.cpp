// The shared behaviours on stub objects: search, lock rate and lock test, leaving the range,
// attack and its fire request, the ground and air classes acting alike, and the slot that a
// team-mate takes over after the target is gone.
#include "AITestWorld.h"

#include "world/AIbeheiv_Ovni.h"
#include "world/AIbeheiviour.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using aitest::StubObject;

class AIBehaviourTest : public ::testing::Test, public aitest::World {
protected:
    AIbeheiv_GrndObj ground{&difficulty, damage.get(), &targets, &random};
    AIbeheiv_AirObj air{&difficulty, damage.get(), &targets, &random};
};

// Puts a record onto the target's slot, as a search would have.
void hold(AIdata& rec, const GameObject& target, uint32_t state)
{
    rec.state = state;
    rec.hasTarget = 1;
    rec.targetSlot = static_cast<int32_t>(target.getTargetRegistrySlot());
    rec.lockTime = 0.0f;
}

TEST_F(AIBehaviourTest, LockGrowsByTheTargetsStealthAgainstTheSensors)
{
    struct Case {
        float resolution;
        float stealth;
        float perSecond;
    };
    const Case cases[] = {
        {0, 100, 0.3f}, {0, 0, 1.0f}, {60, 0, 1.0f}, {100, 100, 0.9f}, {50, 100, 0.6f}, {50, 50, 0.8f}, {0, 150, 0.3f},
    };
    uint32_t id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.resolution << " / " << c.stealth);
        StubObject& self = stub(id++, 2, {0, 0, 0}, sensors(c.resolution));
        StubObject& target = stub(id++, 3, {10, 0, 0}, sensors(0, c.stealth));
        self.lockSpeed = 100.0f;  // no lock completes
        AIdata rec = record();
        hold(rec, target, 2);
        ground.update(0.5f, &self, &rec);
        EXPECT_NEAR(rec.lockTime, c.perSecond * 0.5f, 1e-5f);
        EXPECT_EQ(rec.state, 2u);
        EXPECT_EQ(targets.entries()[target.getTargetRegistrySlot()].targeted, 1);
        destroy(self);
        destroy(target);
    }
}

TEST_F(AIBehaviourTest, ATargetFoundThisTickLocksFromTheNext)
{
    StubObject& self = stub(1, 2, {0, 0, 0});
    stub(2, 2, {5, 0, 0});  // a team-mate: never an enemy
    stub(3, 0, {6, 0, 0});  // a neutral: never an enemy
    StubObject& enemy = stub(4, 3, {20, 0, 0});
    self.lockSpeed = 0.0f;  // any lock at all completes
    AIdata rec = record();

    ground.update(0.1f, &self, &rec);  // think
    EXPECT_EQ(rec.state, 2u);
    ground.update(0.1f, &self, &rec);  // found, not locked
    EXPECT_EQ(rec.hasTarget, 1);
    EXPECT_EQ(rec.targetSlot, static_cast<int32_t>(enemy.getTargetRegistrySlot()));
    EXPECT_EQ(rec.state, 2u);
    EXPECT_FALSE(self.hasTarget());
    ground.update(0.1f, &self, &rec);  // locked
    EXPECT_EQ(rec.state, 1u);
    EXPECT_TRUE(self.hasTarget());
    EXPECT_EQ(self.getTargetSlot(), enemy.getTargetRegistrySlot());
}

TEST_F(AIBehaviourTest, AirTargetsLockByEitherThreshold)
{
    StubObject& self = stub(1, 2, {0, 0, 0});
    StubObject& plane = stub(2, 3, {10, 0, 0}, nullptr, 1, 3);
    StubObject& tank = stub(3, 3, {0, 0, 10}, nullptr, 1, 1);
    self.lockSpeed = 1.0f;
    self.airLockVar = 0.5f;
    self.groundLockVar = 2.0f;
    for (StubObject* target : {&plane, &tank}) {
        AIdata rec = record();
        hold(rec, *target, 2);
        ground.update(0.6f, &self, &rec);
        EXPECT_EQ(rec.state, target == &plane ? 1u : 2u);
        ground.update(1.5f, &self, &rec);  // 2.1 s: past the ground threshold too
        EXPECT_EQ(rec.state, 1u);
    }
}

TEST_F(AIBehaviourTest, LeavingTheRangeDropsTheTargetButKeepsSearching)
{
    StubObject& self = stub(1, 2, {0, 0, 0});
    StubObject& enemy = stub(2, 3, {20, 0, 0});
    self.lockSpeed = 100.0f;
    AIdata rec = record();
    hold(rec, enemy, 2);
    self.setTrigger(true);
    ground.update(0.1f, &self, &rec);
    EXPECT_EQ(rec.hasTarget, 1);

    enemy.setPosition({0, 0, 60});  // range 50
    scene->getRootSceneNode()->_update(true, false);
    ground.update(0.1f, &self, &rec);
    EXPECT_EQ(rec.hasTarget, 0);
    EXPECT_EQ(rec.state, 2u);
    EXPECT_FALSE(self.getTrigger());

    // Nothing else in range: the search finds nothing and writes nothing.
    ground.update(0.1f, &self, &rec);
    EXPECT_EQ(rec.hasTarget, 0);
    EXPECT_EQ(rec.state, 2u);
    EXPECT_FALSE(self.hasTarget());
}

TEST_F(AIBehaviourTest, AttackFiresOnlyWithAReadyWeaponAndAnAim)
{
    StubObject& self = stub(1, 2, {0, 0, 0});
    StubObject& enemy = stub(2, 3, {0, 0, -20});
    struct Case {
        bool ready;
        bool aims;
        bool triggerBefore;
        bool triggerAfter;
        int aimCalls;
    };
    const Case cases[] = {
        {false, true, true, false, 0},  // not ready: no fire, even in range
        {true, true, false, true, 1},
        {true, false, true, true, 1},  // an aim that fails leaves the request as it was
        {true, false, false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ready << c.aims << c.triggerBefore);
        AIdata rec = record();
        hold(rec, enemy, 1);
        self.ready = c.ready;
        self.aimResult = c.aims;
        self.aimCalls = 0;
        self.setTrigger(c.triggerBefore);
        ground.update(0.1f, &self, &rec);
        EXPECT_EQ(self.getTrigger(), c.triggerAfter);
        EXPECT_EQ(self.aimCalls, c.aimCalls);
        EXPECT_EQ(rec.state, 1u);
        if (c.aimCalls) {
            EXPECT_EQ(self.lastAim, enemy.getWorldPosition());
        }
    }

    // Out of range: the attack ends and the object lets go of everything.
    AIdata rec = record();
    hold(rec, enemy, 22);
    self.setTarget(true, enemy.getTargetRegistrySlot());
    self.setTrigger(true);
    enemy.setPosition({0, 0, -80});
    scene->getRootSceneNode()->_update(true, false);
    ground.update(0.1f, &self, &rec);
    EXPECT_EQ(rec.state, 0u);
    EXPECT_FALSE(self.hasTarget());
    EXPECT_EQ(self.getTargetSlot(), 0u);
    EXPECT_FALSE(self.getTrigger());
}

TEST_F(AIBehaviourTest, GroundAndAirBehavioursActAlike)
{
    for (AIbeheiviour* b : {static_cast<AIbeheiviour*>(&ground), static_cast<AIbeheiviour*>(&air)}) {
        SCOPED_TRACE(b->getKind());
        StubObject& self = stub(1, 2, {0, 0, 0});
        StubObject& enemy = stub(2, 3, {10, 0, 0});
        self.lockSpeed = 0.25f;
        AIdata rec = record();
        std::vector<uint32_t> states;
        for (int i = 0; i < 5; ++i) {
            b->update(0.2f, &self, &rec);
            states.push_back(rec.state);
        }
        // think, find, lock 0.2, lock 0.4 (done), fire.
        EXPECT_EQ(states, (std::vector<uint32_t>{2, 2, 2, 1, 1}));
        EXPECT_TRUE(self.getTrigger());
        EXPECT_EQ(self.getTargetSlot(), enemy.getTargetRegistrySlot());

        // State 8 does nothing here; 14 and 24 reset to 0.
        rec.state = 8;
        self.setTrigger(false);
        b->update(0.2f, &self, &rec);
        EXPECT_EQ(rec.state, 8u);
        EXPECT_FALSE(self.getTrigger());
        for (uint32_t s : {14u, 24u}) {
            rec.state = s;
            b->update(0.2f, &self, &rec);
            EXPECT_EQ(rec.state, 0u);
        }
        destroy(self);
        destroy(enemy);
    }
}

TEST_F(AIBehaviourTest, EveryClassNamesItselfNotKnown)
{
    AIbeheiviour base(&difficulty, damage.get(), &targets, &random);
    AIbeheiv_GrndVeh vehicle(&difficulty, damage.get(), &targets, &random);
    AIbeheiv_Ovni ovni(&difficulty, damage.get(), &targets, &random);
    for (const AIbeheiviour* b : {&base, static_cast<AIbeheiviour*>(&ground), static_cast<AIbeheiviour*>(&air),
                                  static_cast<AIbeheiviour*>(&vehicle), static_cast<AIbeheiviour*>(&ovni)})
        EXPECT_EQ(b->getTypeName(), "NOT KNOWN");
}

// A locked AI's target dies and its registry slot goes to a new team-mate right beside it: the AI
// lets go instead of aiming at the team-mate.
TEST_F(AIBehaviourTest, ASlotTakenOverByATeamMateIsLost)
{
    AIbeheiv_Ovni ovniBehaviour(&difficulty, damage.get(), &targets, &random);
    struct Case {
        const char* name;
        AIbeheiviour* behaviour;
        uint32_t state;
        uint32_t team;  // of the newcomer
    };
    const Case cases[] = {
        {"attack", &ground, 1, 2},        {"attack 22", &air, 22, 2},          {"lock", &ground, 2, 2},
        {"neutral", &ground, 1, 0},       {"Ovni attack", &ovniBehaviour, 1, 2}, {"Ovni lock", &ovniBehaviour, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubObject& self = stub(1, 2, {0, 0, 0});
        StubObject* enemy = &stub(2, 3, {0, 0, -20});
        const uint32_t slot = enemy->getTargetRegistrySlot();
        self.lockSpeed = 100.0f;  // the lock does not complete
        self.ready = false;       // nor does a shot leave
        AIdata rec = record();
        hold(rec, *enemy, c.state);
        self.setTarget(true, slot);
        c.behaviour->update(0.1f, &self, &rec);
        ASSERT_EQ(rec.state, c.state);
        ASSERT_EQ(rec.hasTarget, 1);
        const int aimedBefore = self.aimCalls;

        destroy(*enemy);
        StubObject& mate = stub(3, c.team, {0, 0, -15});
        ASSERT_EQ(mate.getTargetRegistrySlot(), slot);
        self.ready = true;
        self.setTrigger(true);
        c.behaviour->update(0.1f, &self, &rec);
        EXPECT_FALSE(self.getTrigger());
        EXPECT_EQ(self.aimCalls, aimedBefore);
        if (c.state == 2) {
            EXPECT_EQ(rec.hasTarget, 0);
        } else {
            EXPECT_EQ(rec.state, 0u);
            EXPECT_FALSE(self.hasTarget());
            EXPECT_EQ(self.getTargetSlot(), 0u);
        }
        EXPECT_EQ(targets.entries()[slot].targeted, 0);
        destroy(self);
        destroy(mate);
    }
}

}  // namespace
