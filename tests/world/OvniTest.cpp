// The Ovni: its node tree, animations and reactors; levitation, wobble and shake; hits and the
// mode's mechanics; the delayed death; retreat; the gun turret's turn; flight along the heading
// within the border; the hover height and the placement on the projectile floor.
#include "AirTestWorld.h"

#include "world/Projectile.h"
#include "world/VirtualReactor.h"
#include "world/Weapon.h"

#include <OgreAnimationState.h>
#include <gtest/gtest.h>

namespace {

using airtest::kDt;
using airtest::kFloorY;
using airtest::kHover;
using airtest::kHoverSpeed;

size_t countNodes(const Ogre::Node* node)
{
    size_t n = 1;
    for (const Ogre::Node* child : node->getChildren())
        n += countNodes(child);
    return n;
}

class OvniTest : public ::testing::Test, public airtest::World {
protected:
    // Ticks until the shake of a freshly built Ovni is gone.
    void settleShake(Ovni& o)
    {
        for (int i = 0; i < 90 && o.shake > 0.0f; ++i)
            ASSERT_TRUE(o.update(kDt));
        ASSERT_EQ(o.shake, 0.0f);
    }
    // One mecha variable; two Ovni types whose hit and damage deltas tell them apart.
    void useMechanics()
    {
        playData.mechaVars.assign(1, MechaVariable{});
        playData.mechaVars[0].value = 1.0f;
        playData.resizeOvniTypes(2);
        for (OvniSpawnType& t : playData.ovniTypes)
            t.rows.assign(2, OvniMechaEffects{});
        playData.ovniTypes[0].rows[0].Hit = 1000.0f;
        playData.ovniTypes[1].rows[0].Hit = 1.0f;
        playData.ovniTypes[1].rows[0].Damage = 0.5f;
        playData.ovniTypes[1].rows[1].Hit = -2.0f;  // hit points
    }
};

class OvniOnHalfFloor : public ::testing::Test, public airtest::World {
protected:
    OvniOnHalfFloor() : World(airtest::Floor::HalfWest) {}
};
class OvniWithoutFloor : public ::testing::Test, public airtest::World {
protected:
    OvniWithoutFloor() : World(airtest::Floor::None) {}
};
class OvniOverFarFloor : public ::testing::Test, public airtest::World {
protected:
    OvniOverFarFloor() : World(airtest::Floor::OutsideBorder) {}
};

TEST_F(OvniTest, BuildsItsNodeTreeAnimationsAndReactors)
{
    OvniParams* def = quiet("monolith");
    auto o = ovni(def, 3);
    EXPECT_EQ(o->getData()->name, "Ovni_3");
    EXPECT_EQ(o->getData()->behaviourKind, 5u);
    Ogre::Entity* body = scene->getEntity("Ovni_33");
    Ogre::Entity* hull = scene->getEntity("Ovni_33col");
    Ogre::Entity* turret = scene->getEntity("Ovni_33tur");
    EXPECT_FALSE(hull->getVisible());
    EXPECT_EQ(hull->getParentSceneNode(), o->getMainNode());
    EXPECT_EQ(o->getBodyNode()->getParentSceneNode(), o->getMainNode());
    EXPECT_EQ(o->getModelNode()->getParentSceneNode(), o->getBodyNode());
    EXPECT_EQ(body->getParentSceneNode(), o->getModelNode());
    EXPECT_EQ(turret->getParentSceneNode(), o->getTurretGunNode());
    EXPECT_EQ(o->getTurretGunNode()->getParentSceneNode(), o->getModelNode());
    EXPECT_EQ(o->getTurretGunNode()->getPosition(), def->TurPos);
    EXPECT_EQ(o->getCannonNode()->getParentSceneNode(), o->getTurretGunNode());
    EXPECT_EQ(o->getCannonNode()->getPosition(), def->TurCannPos);
    EXPECT_EQ(o->getAimNode()->getParentSceneNode(), o->getTurretGunNode());
    EXPECT_EQ(o->getHeadingNode()->getParentSceneNode(), o->getMainNode());
    EXPECT_TRUE(o->getTurretNode() == o->getHeadingNode());
    EXPECT_TRUE((o->getHeadingNode()->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z)
                    .positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Z, 1e-5f));
    ASSERT_NE(o->getMainWeapon(), nullptr);
    EXPECT_EQ(o->getMainWeapon()->getCannonNode()->getParentSceneNode(), o->getCannonNode());
    EXPECT_EQ(o->getMainWeapon()->getOwnerSlot(), static_cast<int32_t>(o->getObjectId()));

    // Idle and turn loop; fire and hit rest at their ends.
    struct Expect {
        Ogre::AnimationState* state;
        const char* name;
        bool loops;
    };
    for (const Expect& e : {Expect{o->getIdleAnimation(), "Idle", true}, Expect{o->getTurnAnimation(), "Turn", true},
                            Expect{o->getFireAnimation(), "TurretSpin", false},
                            Expect{o->getHitAnimation(), "Hit", false}}) {
        SCOPED_TRACE(e.name);
        ASSERT_NE(e.state, nullptr);
        EXPECT_EQ(e.state->getAnimationName(), e.name);
        EXPECT_TRUE(e.state->getEnabled());
        EXPECT_EQ(e.state->getLoop(), e.loops);
        if (!e.loops) {
            EXPECT_FLOAT_EQ(e.state->getTimePosition(), e.state->getLength());
        }
    }
    EXPECT_EQ(body->getSkeleton()->getBlendMode(), Ogre::ANIMBLEND_CUMULATIVE);
    EXPECT_EQ(turret->getSkeleton()->getBlendMode(), Ogre::ANIMBLEND_CUMULATIVE);

    ASSERT_EQ(o->getReactors().size(), 2u);
    for (VirtualReactor* r : o->getReactors()) {
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->getState(), 2);
        EXPECT_EQ(r->getNode()->getParentSceneNode(), o->getModelNode());
    }

    // The wisp names no turn and no fire animation (" "): those states are null.
    auto wisp = ovni(quiet("wisp"), 4);
    EXPECT_NE(wisp->getIdleAnimation(), nullptr);
    EXPECT_NE(wisp->getHitAnimation(), nullptr);
    EXPECT_EQ(wisp->getTurnAnimation(), nullptr);
    EXPECT_EQ(wisp->getFireAnimation(), nullptr);
    EXPECT_NE(wisp->getTurretEntity(), nullptr);
}

TEST_F(OvniTest, DeletionLeavesTheSceneAsBeforeWhileItsReactorsLiveOn)
{
    Ogre::SceneNode* root = scene->getRootSceneNode();
    const size_t nodesBefore = countNodes(root);
    const size_t entitiesBefore = scene->getMovableObjects("Entity").size();
    ASSERT_EQ(pool->liveReactorCount(), 0u);
    auto o = ovni(quiet("monolith"));
    const std::vector<VirtualReactor*> reactors = o->getReactors();
    o->setPosition({10, 20, 10});
    settle();
    const Ogre::Vector3 firstAt = reactors[0]->getNode()->_getDerivedPosition();
    o.reset();

    EXPECT_EQ(scene->getMovableObjects("Entity").size(), entitiesBefore);
    for (VirtualReactor* r : reactors)
        EXPECT_EQ(r->getNode()->getParentSceneNode(), root);
    // Every node left beyond the scene's own is a reactor's (its thrusters, the critical-damage
    // reactor, the gun's flare), each now at the root and still in the pool.
    EXPECT_GE(pool->liveReactorCount(), 2u);
    size_t reactorNodes = 0;
    for (size_t i = 0; i < pool->reactorSlotCount(); ++i)
        if (VirtualReactor* r = pool->reactorInSlot(i)) {
            EXPECT_EQ(r->getNode()->getParentSceneNode(), root);
            reactorNodes += countNodes(r->getNode());
        }
    EXPECT_EQ(countNodes(root), nodesBefore + reactorNodes);
    EXPECT_TRUE(reactors[0]->getNode()->_getDerivedPosition().positionEquals(firstAt, 1e-4f));
}

TEST_F(OvniTest, LevitatesAndItsShakeAndWobbleFadeWithinASecond)
{
    OvniParams* def = quiet("monolith");
    auto o = ovni(def);
    struct Step {
        int ticks;  // run this many more
    };
    int total = 0;
    for (const Step s : {Step{1}, Step{14}, Step{30}, Step{15}, Step{25}}) {
        for (int i = 0; i < s.ticks; ++i)
            o->updateLevitation(kDt);
        total += s.ticks;
        const float t = o->getLevitationPhase();
        SCOPED_TRACE(total);
        EXPECT_NEAR(t, total * kDt, 1e-4f);
        EXPECT_NEAR(o->getBodyNode()->getPosition().y,
                    std::cos(def->Lev_Amplitude * t) * def->Lev_Range + def->Lev_Offset, 1e-4f);
        EXPECT_NEAR(o->shake, std::max(0.0f, 1.0f - total * kDt), 1e-4f);
        // The wobble: a roll and a pitch of the model node, both scaled by the shake.
        const float a = 60.0f * t, b = 50.0f * t;
        const Ogre::Quaternion expected = Ogre::Quaternion(Ogre::Degree(std::cos(a) * o->shake * 20), Ogre::Vector3::UNIT_Z) *
                                          Ogre::Quaternion(Ogre::Degree(std::cos(b) * o->shake * 22), Ogre::Vector3::UNIT_X);
        EXPECT_TRUE(o->getModelNode()->getOrientation().equals(expected, Ogre::Degree(0.05f)));
    }
    EXPECT_EQ(o->shake, 0.0f);  // after 85 ticks
    EXPECT_TRUE(o->getModelNode()->getOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Degree(0.01f)));
    // The phase wraps at 360.
    o->updateLevitation(200.0f);
    o->updateLevitation(200.0f);
    EXPECT_NEAR(o->getLevitationPhase(), 400.0f + 85 * kDt - 360.0f, 1e-3f);
}

TEST_F(OvniTest, HitsShakeItRestartTheHitAnimationAndReportOncePerNewDamage)
{
    useMechanics();
    OvniParams* def = quiet("monolith");
    def->mechanicsRow = 2;  // the second type
    auto o = ovni(def);
    settleShake(*o);
    const float valueBefore = playData.mechaVars[0].value;

    struct Hit {
        float damage;
        float shakeAfter;  // after the tick's own fall of dt
        float valueAdded;  // Hit + Damage x amount of the second type
    };
    for (const Hit h : {Hit{10.0f, 0.5f - kDt, 1.0f + 5.0f}, Hit{4.0f, 1.0f - 3 * kDt, 1.0f + 2.0f},
                        Hit{2.0f, 1.0f - kDt, 1.0f + 1.0f}}) {
        SCOPED_TRACE(h.damage);
        const float before = playData.mechaVars[0].value;
        o->getHitAnimation()->setTimePosition(0.3f);
        o->addDamage(h.damage);
        EXPECT_TRUE(o->update(kDt));
        EXPECT_NEAR(o->shake, h.shakeAfter, 1e-4f);
        EXPECT_NEAR(o->getHitAnimation()->getTimePosition(), kDt, 1e-5f);
        EXPECT_FLOAT_EQ(playData.mechaVars[0].value, before + h.valueAdded);
        EXPECT_EQ(o->getHitMarker(), static_cast<uint32_t>(damageTaken(*o)));  // the whole damage
        // No new damage: nothing more is reported and the shake only falls.
        EXPECT_TRUE(o->update(kDt));
        EXPECT_FLOAT_EQ(playData.mechaVars[0].value, before + h.valueAdded);
    }
    EXPECT_FLOAT_EQ(playData.mechaVars[0].value, valueBefore + 11.0f);
    EXPECT_FLOAT_EQ(playData.hpAccumulator, -6.0f);

    // Mechanics row 0: the type reports nothing.
    OvniParams* unbooked = quiet("wisp");
    unbooked->mechanicsRow = 0;
    auto w = ovni(unbooked, 5);
    const float value = playData.mechaVars[0].value;
    w->addDamage(5.0f);
    EXPECT_TRUE(w->update(kDt));
    EXPECT_EQ(playData.mechaVars[0].value, value);
    EXPECT_EQ(w->shake, 1.0f - kDt);
}

TEST_F(OvniTest, AKilledOvniExplodesBetweenATenthAndSixTenthsOfASecondAfterItsLastHit)
{
    // A tick that does not divide the 0.1 s steps, so no shake lands on 0.4 exactly.
    const float dt = 0.015f;
    struct Case {
        bool settledFirst;
        int aliveTicks;  // updates that still return true after the killing hit
    };
    for (const Case c : {Case{true, 6}, Case{false, 40}}) {
        SCOPED_TRACE(c.settledFirst);
        OvniParams* def = quiet("wisp");
        def->Death_Effect = "exp_ovni_small";
        auto o = ovni(def, 6);
        if (c.settledFirst)
            settleShake(*o);
        const size_t effects = liveEffects();
        o->addDamage(60.0f);  // its whole HP
        int alive = 0;
        while (o->update(dt) && alive < 100)
            ++alive;
        EXPECT_EQ(alive, c.aliveTicks);
        EXPECT_GE((alive + 1) * dt, 0.1f);
        EXPECT_LE(alive * dt, 0.6f + 1e-4f);
        EXPECT_EQ(liveEffects(), effects + 1);
        EXPECT_FALSE(o->isRetreating());
    }
}

TEST_F(OvniTest, RetreatsOnlyOnceItsShakeIsGone)
{
    OvniParams* def = quiet("wisp");
    def->RetreatTime = 0.26f;
    auto o = ovni(def);
    // The timer runs from the tick in which the shake reaches 0.
    int calm = 0;
    for (int i = 0; i < 200; ++i) {
        const bool alive = o->update(kDt);
        if (o->shake > 0.0f)
            EXPECT_EQ(o->getRetreatTimer(), 0.0f);
        else
            ++calm;
        if (!alive)
            break;
    }
    EXPECT_EQ(calm, 16);  // gone on the 16th calm tick, past 0.26 s
    EXPECT_TRUE(o->isRetreating());
}

TEST_F(OvniTest, TheGunTurretTurnsTowardTheAimNode)
{
    OvniParams* def = quiet("monolith");
    auto o = ovni(def);
    const float s = def->TurTurnSpeed, m = def->TurnAnim_Mspd;
    ASSERT_GT(s, 0.0f);
    ASSERT_GT(m, 0.0f);
    struct Case {
        const char* name;
        float x;      // the aim node's own z axis: x ...
        bool behind;  // ... and z below 0
        float k;      // expected fraction of the full turn (signed)
        bool animates;
    };
    const Case cases[] = {
        {"ahead", 0.0f, false, 0.0f, false},     {"slightly left", 0.05f, false, 0.5f, true},
        {"slightly right", -0.05f, false, -0.5f, true}, {"left", 0.2f, false, 1.0f, true},
        {"right", -0.2f, false, -1.0f, true},    {"behind left", 0.2f, true, 1.0f, false},
        {"behind right", -0.2f, true, -1.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        o->getTurretGunNode()->resetOrientation();
        const float z = std::sqrt(1.0f - c.x * c.x) * (c.behind ? -1.0f : 1.0f);
        // A yaw whose z axis is (x, 0, z).
        o->getAimNode()->setOrientation(Ogre::Quaternion(Ogre::Radian(std::atan2(c.x, z)), Ogre::Vector3::UNIT_Y));
        o->getTurnAnimation()->setTimePosition(1.0f);
        o->aimTurret(kDt);
        EXPECT_NEAR(o->getTurretGunNode()->getOrientation().getYaw().valueDegrees(), c.k * s * kDt, 1e-3f);
        EXPECT_NEAR(o->getTurnAnimation()->getTimePosition(), 1.0f + (c.animates ? c.k * m * kDt : 0.0f), 1e-5f);
    }
}

// The wisp's fast turret, aimed anew each tick as its AI does, settles on a point 40 degrees to
// its side at 60 and at 15 frames a second: it comes within the AI's fire tolerance (|x| < 0.02)
// within a second, never swings past the point, and stays on it.
TEST_F(OvniTest, TheGunTurretSettlesOnItsAimAtLowFrameRates)
{
    OvniParams* def = quiet("wisp");
    ASSERT_GE(def->TurTurnSpeed, 180.0f);
    for (const float dt : {1.0f / 60.0f, 1.0f / 15.0f}) {
        SCOPED_TRACE(dt);
        auto o = ovni(def);
        settle();
        const Ogre::Vector3 centre = o->getTurretGunNode()->_getDerivedPosition();
        const Ogre::Vector3 point =
            centre + Ogre::Quaternion(Ogre::Degree(40), Ogre::Vector3::UNIT_Y) * Ogre::Vector3(0, 0, -50);
        float onAimAfter = -1.0f;
        for (float t = 0.0f; t < 2.0f; t += dt) {
            o->aimMainWeaponAt(point);
            const float x = o->getAimNode()->getOrientation().zAxis().x;
            EXPECT_GE(x, -1e-4f) << "swung past the aim at " << t << " s";
            if (onAimAfter < 0.0f && std::fabs(x) < 0.02f)
                onAimAfter = t;
            if (onAimAfter >= 0.0f) {
                EXPECT_LT(std::fabs(x), 0.02f) << "left the aim at " << t << " s";
            }
            o->aimTurret(dt);
            settle();
        }
        EXPECT_GE(onAimAfter, 0.0f);
        EXPECT_LT(onAimAfter, 1.0f);
    }
}

TEST_F(OvniTest, FliesAlongItsHeadingAtItsSpeedAndTurnsAtItsTurnRate)
{
    OvniParams* def = quiet("wisp");
    auto o = ovni(def);
    struct Case {
        float factor, turnRate;
    };
    for (const Case c : {Case{1.0f, 0.0f}, Case{0.5f, 0.0f}, Case{1.0f, 0.5f}, Case{0.0f, -1.0f}}) {
        SCOPED_TRACE(testing::Message() << c.factor << " " << c.turnRate);
        o->getHeadingNode()->resetOrientation();
        o->getMainNode()->setPosition(0, 8, 0);
        o->speedFactor = c.factor;
        o->turnRate = c.turnRate;
        o->updateFlight(kDt);
        const float turned = c.turnRate * kDt * 180.0f;
        EXPECT_NEAR(o->getTurretYaw(), turned, 1e-3f);
        const float d = def->MoveSpeed * c.factor * kDt;
        const Ogre::Vector3 expected =
            Ogre::Vector3(0, 8, 0) + Ogre::Quaternion(Ogre::Degree(turned), Ogre::Vector3::UNIT_Y) *
                                         Ogre::Vector3(0, 0, -d);
        EXPECT_TRUE(o->getMainNode()->getPosition().positionEquals(expected, 1e-5f)) << o->getMainNode()->getPosition();
    }
}

TEST_F(OvniTest, KeepsFourUnitsInsideTheBorderOnlyWhileItFlies)
{
    auto o = ovni(quiet("wisp"));
    struct Case {
        Ogre::Vector3 from, to;
    };
    const Case cases[] = {
        {{60, 9, 0}, {46, 9, 0}},          {{-60, 9, -70}, {-46, 9, -46}}, {{10, 9, 47}, {10, 9, 46}},
        {{45, 9, -45}, {45, 9, -45}},      {{-46, 9, 46}, {-46, 9, 46}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        o->getMainNode()->setPosition(c.from);
        o->clampToBorder();
        EXPECT_EQ(o->getMainNode()->getPosition(), c.to);
    }
    // Standing still it is not clamped; flying it is.
    o->speedFactor = 0.0f;
    o->getMainNode()->setPosition(60, 9, 0);
    o->updateFlight(kDt);
    EXPECT_EQ(o->getMainNode()->getPosition(), Ogre::Vector3(60, 9, 0));
    o->speedFactor = 0.001f;
    o->updateFlight(kDt);
    EXPECT_EQ(o->getMainNode()->getPosition().x, 46.0f);
}

TEST_F(OvniTest, HoversAtItsHeightClimbingAndSinkingAtItsSpeed)
{
    auto o = ovni(quiet("wisp"));
    const float step = kHoverSpeed * kDt;
    struct Case {
        float height;  // above the floor, before the step
        float after;
    };
    const Case cases[] = {{kHover - 1.0f, kHover - 1.0f + step}, {kHover - 0.05f, kHover},
                          {kHover + 1.0f, kHover + 1.0f - step}, {kHover + 0.05f, kHover},
                          {kHover, kHover},                       {kHover - 6.0f, kHover - 6.0f + step}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        o->getMainNode()->setPosition(3, kFloorY + c.height, -7);
        o->updateHoverHeight(kDt);
        EXPECT_NEAR(o->getMainNode()->getPosition().y, kFloorY + c.after, 1e-4f);
        EXPECT_EQ(o->getMainNode()->getPosition().x, 3.0f);
    }
}

TEST_F(OvniTest, StandsOnTheFloorAtTheHoverHeight)
{
    auto o = ovni(quiet("monolith"));
    EXPECT_TRUE(o->getMainNode()->getPosition().positionEquals(Ogre::Vector3(0, kFloorY + kHover, 0), 1e-4f));
    o->getMainNode()->setPosition(20, 50, -10);
    o->placeOnFloor();
    EXPECT_TRUE(o->getMainNode()->getPosition().positionEquals(Ogre::Vector3(20, kFloorY + kHover, -10), 1e-4f));
    // A whole update keeps it there (the bob is the body node's, not the main node's).
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(o->update(kDt));
    EXPECT_NEAR(o->getMainNode()->getPosition().y, kFloorY + kHover, 1e-4f);
}

TEST_F(OvniOnHalfFloor, RetriesRandomPointsOfTheBorderTwoDrawsEachUntilTheFloorIsBelow)
{
    auto o = ovni(quiet("wisp"));
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        o->getMainNode()->setPosition(30, 0, 0);  // over no floor
        RandomGenerator replay = random;
        Ogre::Vector3 expected;
        int draws = 0;
        do {
            const double u1 = replay.nextUnit(), u2 = replay.nextUnit();
            draws += 2;
            expected = Ogre::Vector3(-50.0f + 10.0f + static_cast<float>(u1) * 80.0f, kFloorY + kHover,
                                     -50.0f + 10.0f + static_cast<float>(u2) * 80.0f);
        } while (expected.x >= -1.0f);
        o->placeOnFloor();
        EXPECT_TRUE(o->getMainNode()->getPosition().positionEquals(expected, 1e-4f)) << o->getMainNode()->getPosition();
        EXPECT_EQ(random.nextU32(), replay.nextU32()) << draws << " draws";
    }
}

TEST_F(OvniWithoutFloor, AMapWithoutProjectileFloorPlacesTheOvniAndGoesOn)
{
    auto o = ovni(quiet("wisp"));
    EXPECT_EQ(o->getMainNode()->getPosition(), Ogre::Vector3::ZERO);
    o->getMainNode()->setPosition(12, 3, 4);
    RandomGenerator before = random;
    o->placeOnFloor();
    EXPECT_EQ(o->getMainNode()->getPosition(), Ogre::Vector3(12, 3, 4));
    EXPECT_EQ(random.nextU32(), before.nextU32());  // no draws
    // Its hover step finds no floor either: it stays where it is.
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(o->update(kDt));
    EXPECT_EQ(o->getMainNode()->getPosition(), Ogre::Vector3(12, 3, 4));
}

TEST_F(OvniOverFarFloor, AFloorOutsideTheBorderEndsThePlacementAfterItsRetries)
{
    auto o = ovni(quiet("wisp"));
    o->getMainNode()->setPosition(0, 0, 0);
    RandomGenerator replay = random;
    o->placeOnFloor();
    for (int i = 0; i < 2 * Ovni::kMaxPlacementRetries; ++i)
        replay.nextUnit();
    EXPECT_EQ(random.nextU32(), replay.nextU32());
    // It keeps the last point tried.
    EXPECT_EQ(o->getMainNode()->getPosition().y, 35.0f);
    EXPECT_LE(std::abs(o->getMainNode()->getPosition().x), 40.0f);
}

TEST_F(OvniTest, AnOvniWithHpZeroTakesHitsAndExplodesAfterItsShake)
{
    OvniParams* def = quiet("wisp");
    def->HP = 0.5f;  // truncates to 0
    auto o = ovni(def);
    ASSERT_EQ(o->getData()->hitPoints, 0u);
    o->addDamage(3.0f);
    EXPECT_TRUE(o->update(kDt));
    o->addDamage(3.0f);
    EXPECT_TRUE(o->update(kDt));
    EXPECT_EQ(o->getHitMarker(), 6u);
    EXPECT_NEAR(o->shake, 1.0f - kDt, 1e-5f);
    int alive = 0;
    while (o->update(kDt) && alive < 100)
        ++alive;
    EXPECT_GE(alive, 30);
    EXPECT_LE(alive, 36);
}

TEST_F(OvniTest, AnOvniTurnedOnItsMainNodeFliesToThePointItsHeadingLooksAt)
{
    auto o = ovni(quiet("wisp"));
    o->getMainNode()->setPosition(0, 8, 0);
    o->getMainNode()->yaw(Ogre::Degree(90));
    const Ogre::Vector3 goal(20, 8, -20);
    EXPECT_TRUE(o->aimTurretAt(goal));
    EXPECT_TRUE(o->getTurretWorldFacing().positionEquals(-(goal - Ogre::Vector3(0, 8, 0)).normalisedCopy(), 1e-4f));
    o->speedFactor = 1.0f;
    for (int i = 0; i < 60; ++i)
        o->updateFlight(kDt);
    const Ogre::Vector3 travelled = o->getMainNode()->getPosition() - Ogre::Vector3(0, 8, 0);
    EXPECT_NEAR(travelled.length(), o->getOvniParams()->MoveSpeed, 1e-3f);
    EXPECT_TRUE(travelled.normalisedCopy().positionEquals((goal - Ogre::Vector3(0, 8, 0)).normalisedCopy(), 1e-4f));
}

TEST_F(OvniTest, FiresOnTheTriggerRestartingItsFireAnimationAndAimsAtItsTarget)
{
    OvniParams* def = quiet("monolith");
    def->MainWeapon = homingGun();
    auto o = ovni(def);
    settleShake(*o);
    Ogre::AnimationState* fire = o->getFireAnimation();
    ASSERT_NE(fire, nullptr);
    const uint32_t target = targets.add(scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 2, -40)), nullptr,
                                        nullptr, nullptr, 0, 0);
    o->setTarget(true, target);
    o->setTrigger(true);
    ASSERT_TRUE(o->isMainWeaponReady());
    ASSERT_TRUE(o->update(kDt));
    EXPECT_EQ(fire->getTimePosition(), 0.0f);
    ASSERT_EQ(projectiles->liveCount(), 1u);
    const ProjectileRecord* shot = projectiles->projectileInSlot(0)->getRecord();
    EXPECT_EQ(shot->tracking, 1);
    EXPECT_EQ(shot->targetSlot, static_cast<int32_t>(target));
    // Cooling down: the animation runs on and nothing more leaves.
    ASSERT_TRUE(o->update(kDt));
    EXPECT_NEAR(fire->getTimePosition(), kDt, 1e-5f);
    EXPECT_EQ(projectiles->liveCount(), 1u);
}

}  // namespace
