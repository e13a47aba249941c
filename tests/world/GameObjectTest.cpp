// The game-object base (hit points, healing, hit marker, critical rolls, death explosion,
// retreat), the ground object (ground snap, settling, main weapon, aim node) and the teardown of
// both against the scene manager and the registries.
#include "GameObjectTestWorld.h"

#include "world/BasicReactor.h"
#include "world/ParticleStock.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class GameObjectBase : public ::testing::Test, public gotest::ObjectWorld {
protected:
    // A bastion of 100 HP without parts, effects or weapon unless a test adds them.
    GroundObjParams plain()
    {
        GroundObjParams d = bastion;
        d.subObjs.clear();
        d.HP = 100.0f;
        d.Death_Effect = d.ExplodeEffect = d.Spawn_Effect = d.Retreat_Effect = " ";
        d.Explode = false;
        d.CriticalDam_Reactor = " ";
        return d;
    }
    void damageObject(GameObject& o, float amount) { damage->addDamage(o.getDamageSlot(), amount, 1, 7); }
    float taken(const GameObject& o) const { return damage->getEntry(o.getDamageSlot())->damageTaken; }
};

}  // namespace

// Suites named after the classes they test; inside, the classes are reached as ::GameObject
// and ::GroundObject.
namespace gameobject_suite {

class GameObject : public GameObjectBase {};

TEST_F(GameObject, DamageEqualToHitPointsKillsAndIsNoRetreat)
{
    GroundObjParams d = plain();
    d.RetreatTime = 5.0f;
    auto o = groundObject(&d);
    damageObject(*o, 99.0f);
    EXPECT_TRUE(o->update(0.1f));
    EXPECT_TRUE(o->isRetreating());  // alive with a retreat time: it would leave, not die
    EXPECT_FLOAT_EQ(o->getHP(), 1.0f);
    damageObject(*o, 1.0f);
    EXPECT_FALSE(o->update(0.1f));
    EXPECT_FALSE(o->isRetreating());

    // The kind-1 object: HP from its word, no definition, nothing to retreat with.
    ::GameObject razor(handles, "razor.mesh", "TEST", 9, 2, "", "", 1000);
    EXPECT_EQ(razor.getEntity()->getName(), "go_9");
    EXPECT_EQ(razor.getData()->category, 3u);
    EXPECT_EQ(razor.getData()->behaviourKind, 1u);
    EXPECT_EQ(razor.getSubObjectCount(), 0u);
    EXPECT_EQ(razor.getDeathEffect(), nullptr);
    EXPECT_EQ(damage->getEntry(razor.getDamageSlot())->bodyKind, 3u);
    EXPECT_EQ(razor.getMoneyGain(), 100u);
    damageObject(razor, 1000.0f);
    EXPECT_FALSE(razor.update(0.1f));
    EXPECT_FALSE(razor.isRetreating());
}

TEST_F(GameObject, TheSpawnEffectPlaysOnTheFirstUpdateOnly)
{
    GroundObjParams d = plain();
    d.Spawn_Effect = "exp_small";
    auto o = groundObject(&d);
    ASSERT_NE(o->getSpawnEffect(), nullptr);
    EXPECT_TRUE(o->isSpawnEffectPending());
    for (int i = 0; i < 3; ++i)
        o->update(0.1f);
    EXPECT_EQ(pool->liveEffectCount(), 1u);
    EXPECT_FALSE(o->isSpawnEffectPending());

    // Without an effect the flag clears all the same.
    GroundObjParams quietDef = plain();
    auto quiet = groundObject(&quietDef, 4);
    quiet->update(0.1f);
    EXPECT_FALSE(quiet->isSpawnEffectPending());
    EXPECT_EQ(pool->liveEffectCount(), 1u);
}

TEST_F(GameObject, HealingAndDamageAreBounded)
{
    GroundObjParams d = plain();
    d.OverHPBonus = 20.0f;
    GroundObjParams noBonus = plain();
    struct Case {
        GroundObjParams* def;
        float before;
        float value;
        bool overHeal;
        float after;
        float percent;
    };
    const Case cases[] = {
        {&d, 50, -30, true, -20, 120},      // over-heal capped by the bonus
        {&d, 50, -10, true, -10, 110},      // within the bonus
        {&d, 50, -30, false, 0, 100},       // no over-heal: full repair
        {&d, 50, 5, true, 0, 100},          // a positive value repairs fully
        {&noBonus, 50, -30, true, 0, 100},  // no bonus to over-heal into
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << c.overHeal << " " << c.def->OverHPBonus);
        auto o = groundObject(c.def);
        o->addDamage(c.before);
        o->heal(c.value, c.overHeal);
        EXPECT_FLOAT_EQ(taken(*o), c.after);
        EXPECT_FLOAT_EQ(o->getHealthPercent(), c.percent);
    }
    // addDamage never ends below 0.
    auto o = groundObject(&d);
    o->addDamage(10.0f);
    o->addDamage(-25.0f);
    EXPECT_FLOAT_EQ(taken(*o), 0.0f);
    o->addDamage(130.0f);
    EXPECT_FLOAT_EQ(o->getHealthPercent(), -30.0f);  // unclamped
    o->setHP(0.0f);
    EXPECT_FLOAT_EQ(o->getHealthPercent(), 0.0f);
}

TEST_F(GameObject, TheHitMarkerAlternatesAndCriticalRollsTakeDrawsOnlyOnItsTicksBelowThirtyPercent)
{
    GroundObjParams d = plain();
    d.CriticalDam_Reactor = "smoke_damaged";
    d.CriticalDam_Prob = 0.0f;  // draws, never switches
    auto o = groundObject(&d);
    VirtualReactor* smoke = o->getCriticalReactor();
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(smoke->getState(), ReactorState_Off);
    random.seed(1234);
    RandomGenerator reference;
    reference.seed(1234);

    // The roll reads the marker the previous tick left.
    std::string markers;
    const auto tick = [&] {
        EXPECT_TRUE(o->update(0.1f));
        markers += o->getHitMarker() ? 'M' : '.';
    };
    damageObject(*o, 50.0f);  // 50 %: markers but no rolls
    for (int i = 0; i < 4; ++i)
        tick();
    damageObject(*o, 30.0f);  // 20 %: a roll on every tick after a marker
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(markers, "M.M.M.M.M.");
    for (int i = 0; i < 3; ++i)
        reference.nextUnit();
    EXPECT_EQ(random.nextUnit(), reference.nextUnit());
    EXPECT_EQ(smoke->getState(), ReactorState_Off);

    // Certain: the tick after the next marker switches the smoke on.
    d.CriticalDam_Prob = 100.0f;
    tick();
    EXPECT_EQ(smoke->getState(), ReactorState_Off);
    tick();
    EXPECT_EQ(smoke->getState(), ReactorState_On);

    // A one-character reactor name gives none.
    d.CriticalDam_Reactor = "x";
    EXPECT_EQ(groundObject(&d, 5)->getCriticalReactor(), nullptr);
}

TEST_F(GameObject, ADeathExplosionHurtsEveryBodyAroundWithTheObjectsIdButNotItsOwnRecord)
{
    for (bool explode : {true, false}) {
        SCOPED_TRACE(explode);
        GroundObjParams d = plain();
        d.Explode = explode;
        d.ExplodeEffect = "exp_shockwave";
        d.ExplodeDammage = 80;
        d.ExplodeDamRange = 12.0f;
        d.ExplodeDamFallOut = false;
        auto o = groundObject(&d, 11, 2);
        EXPECT_EQ(o->getExplodeEffect() != nullptr, explode);
        o->setPosition(Ogre::Vector3(50, 0, 50));
        Body& friendBody = addBody(Ogre::Vector3(55, 1, 50), 2, 30);
        Body& enemyBody = addBody(Ogre::Vector3(50, 1, 42), 1, 31);
        Body& farBody = addBody(Ogre::Vector3(50, 1, 70), 1, 32);
        refresh();
        damageObject(*o, 100.0f);
        EXPECT_FALSE(o->update(0.1f));
        for (Body* b : {&friendBody, &enemyBody}) {
            EXPECT_FLOAT_EQ(b->damageTaken(*damage), explode ? 80.0f : 0.0f);
            EXPECT_EQ(damage->getEntry(b->damageSlot)->lastAttackerId, explode ? 11 : -1);
        }
        EXPECT_FLOAT_EQ(farBody.damageTaken(*damage), 0.0f);
        // Its own body lies in the blast too, yet still names its killer.
        EXPECT_FLOAT_EQ(damage->getEntry(o->getDamageSlot())->damageTaken, 100.0f);
        EXPECT_EQ(damage->getEntry(o->getDamageSlot())->lastAttackerId, 7);
        for (Body* b : {&friendBody, &enemyBody, &farBody})
            damage->remove(b->damageSlot);
    }
}

TEST_F(GameObject, ARetreatingObjectLeavesInTheTickItsTimerPassesRetreatTime)
{
    GroundObjParams d = plain();
    d.RetreatTime = 1.0f;
    d.Retreat_Effect = "smoke_puff";
    auto o = groundObject(&d);
    std::string alive;
    for (int i = 0; i < 4; ++i)
        alive += o->update(0.3f) ? '1' : '0';
    EXPECT_EQ(alive, "1110");
    EXPECT_TRUE(o->isRetreating());
    EXPECT_EQ(pool->liveEffectCount(), 1u);  // the retreat effect
}

// --- the ground object ---

class GroundObject : public GameObjectBase {};

TEST_F(GroundObject, SnapsToTheGroundBelowWhereItIsPlacedAndRetriesWithoutGround)
{
    GroundObjParams d = plain();
    d.groundOffset = Ogre::Vector3(0, 0.5f, 0);
    auto o = groundObject(&d);
    EXPECT_FALSE(o->isGrounded());  // the construction snap does not count: nothing is placed yet

    // Placed above the test ground: one update stands it there.
    o->setPosition(gotest::kGroundCentre + Ogre::Vector3(3, 15, 2));
    refresh();
    EXPECT_TRUE(o->update(0.1f));
    EXPECT_TRUE(o->isGrounded());
    EXPECT_TRUE(o->getWorldPosition().positionEquals(gotest::kGroundCentre + Ogre::Vector3(3, 0.5f, 2)));
    o->setPosition(o->getWorldPosition() + Ogre::Vector3(0, 4, 0));
    refresh();
    o->update(0.1f);  // grounded: it no longer snaps
    EXPECT_FLOAT_EQ(o->getWorldPosition().y, 9.5f);

    // No ground below: it keeps its height and tries again each update, until ground appears.
    auto floating = groundObject(&d, 4);
    const Ogre::Vector3 high(900, 20, 0);
    floating->setPosition(high);
    refresh();
    for (int i = 0; i < 3; ++i) {
        floating->update(0.1f);
        EXPECT_FALSE(floating->isGrounded());
        EXPECT_TRUE(floating->getWorldPosition().positionEquals(high));
    }
    Ogre::Entity* patch = scene->createEntity("gotestPatch", "gotest_ground.mesh");
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(900, 2, 0))->attachObject(patch);
    refresh();
    floating->update(0.1f);
    EXPECT_TRUE(floating->isGrounded());
    EXPECT_TRUE(floating->getWorldPosition().positionEquals(Ogre::Vector3(900, 2.5f, 0)));
}

TEST_F(GroundObject, SettlingMovesBySpeedUntilTheNextStepWouldPassTheGround)
{
    GroundObjParams d = plain();
    auto o = groundObject(&d);
    o->setPosition(gotest::kGroundCentre + Ogre::Vector3(0, 3, 0));
    refresh();
    o->setSettleSpeed(0.75f);
    o->settleToGround(0.25f);  // v 0.5: up by 0.5
    EXPECT_FLOAT_EQ(o->getWorldPosition().y, 8.5f);
    o->settleToGround(0.5f);  // v 0: nothing
    EXPECT_FLOAT_EQ(o->getWorldPosition().y, 8.5f);
    o->setSettleSpeed(-1.0f);
    refresh();
    o->settleToGround(1.0f);  // v -2: |dt v| = 2 <= 3.5 above the ground: down by 2
    EXPECT_NEAR(o->getWorldPosition().y, 6.5f, 1e-4f);
    EXPECT_FALSE(o->isGrounded());
    refresh();
    o->settleToGround(1.0f);  // v -3: |dt v| = 3 > 1.5: lands
    EXPECT_NEAR(o->getWorldPosition().y, 5.0f, 1e-4f);
    EXPECT_FLOAT_EQ(o->getSettleSpeed(), 0.0f);
    EXPECT_TRUE(o->isGrounded());
}

TEST_F(GroundObject, WithoutAMainWeaponNothingFiresAndTheReadersGiveZero)
{
    GroundObjParams d = plain();
    auto o = groundObject(&d);
    EXPECT_EQ(o->getMainWeapon(), nullptr);
    EXPECT_EQ(o->getMainWeaponAmmo(), 0);
    EXPECT_FALSE(o->isMainWeaponReady());
    EXPECT_EQ(o->getMainWeaponLockRange(), 0.0f);
    EXPECT_EQ(o->getMainWeaponLockSpeed(), 0.0f);
    EXPECT_EQ(o->getMainWeaponLockArea(), 0.0f);
    o->setTrigger(true);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(o->update(0.1f));
    EXPECT_EQ(manager->getShots(), 0u);
}

TEST_F(GroundObject, TheMainWeaponFiresFromTheAimNodesMuzzleTowardTheAimedPoint)
{
    GroundObjParams d = plain();
    d.HasMainWeapon = true;
    d.MainWeapon = "autocannon_light";
    auto o = groundObject(&d, 6, 2);
    GroundWeapon* gun = o->getMainWeapon();
    ASSERT_NE(gun, nullptr);
    EXPECT_EQ(gun->getOwnerSlot(), static_cast<int32_t>(o->getObjectId()));
    EXPECT_EQ(gun->getCannonNode()->getParentSceneNode(), o->getAimNode());
    EXPECT_EQ(o->getMainWeaponAmmo(), 400);
    EXPECT_TRUE(o->isMainWeaponReady());
    EXPECT_FLOAT_EQ(o->getMainWeaponLockRange(), 90.0f);
    EXPECT_FLOAT_EQ(o->getMainWeaponLockSpeed(), 1.5f);
    EXPECT_FLOAT_EQ(o->getMainWeaponLockArea(), 6.0f);
    // The aim node starts 2 above the object, looking up.
    EXPECT_TRUE(o->getAimNode()->getPosition().positionEquals(Ogre::Vector3(0, 2, 0)));
    EXPECT_TRUE(o->getAimFacing().directionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Degree(0.01f)));

    o->setPosition(Ogre::Vector3(20, 0, -30));
    o->getMainNode()->yaw(Ogre::Degree(30));
    refresh();
    const Ogre::Vector3 point(60, 2, -30);  // due +X of the object
    EXPECT_TRUE(o->aimMainWeaponAt(point));
    EXPECT_NEAR(o->getAimWorldYaw(), -90.0f, 0.01f);
    EXPECT_NEAR(o->getAimYaw(), -120.0f, 0.01f);
    EXPECT_TRUE(o->getAimWorldFacing().directionEquals(Ogre::Vector3::NEGATIVE_UNIT_X, Ogre::Degree(0.01f)));
    EXPECT_NEAR(o->getTiltAngles(), 60.0f * 60.0f, 0.1f);  // local z (-0.87, 0, -0.5): a = 150, b = 90

    Body& target = addBody(point, 1, 40, false, true, targetDef.get());
    o->setTarget(true, target.data->targetSlot);
    o->setTrigger(true);
    refresh();
    EXPECT_TRUE(o->update(0.1f));
    ASSERT_EQ(manager->liveCount(), 1u);
    Projectile* shot = manager->projectileInSlot(0);
    ASSERT_NE(shot, nullptr);
    const Ogre::SceneNode* shotNode = shot->getNode();
    EXPECT_TRUE(shotNode->_getDerivedPosition().positionEquals(gun->getMuzzleNode()->_getDerivedPosition(), 1e-3f));
    const Ogre::Vector3 heading = shotNode->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    const Ogre::Vector3 toPoint = (point - shotNode->_getDerivedPosition()).normalisedCopy();
    EXPECT_TRUE(heading.directionEquals(toPoint, Ogre::Degree(0.5f))) << heading << " " << toPoint;
    EXPECT_EQ(shot->getRecord()->ownerId, o->getObjectId());
    EXPECT_EQ(shot->getRecord()->team, 2);
    EXPECT_EQ(o->getMainWeaponAmmo(), 399);
    EXPECT_FALSE(o->isMainWeaponReady());
}

}  // namespace gameobject_suite

// --- teardown ---

namespace {

struct SceneCounts {
    size_t nodes = 0;
    std::map<std::string, size_t> movables;
    bool operator==(const SceneCounts& o) const { return nodes == o.nodes && movables == o.movables; }
};

size_t countNodes(Ogre::Node* node)
{
    size_t n = 1;
    for (Ogre::Node* child : node->getChildren())
        n += countNodes(child);
    return n;
}

SceneCounts countScene(Ogre::SceneManager* scene)
{
    SceneCounts c;
    c.nodes = countNodes(scene->getRootSceneNode());
    for (const auto& factory : Ogre::Root::getSingleton().getMovableObjectFactories())
        c.movables[factory.first] = scene->getMovableObjects(factory.first).size();
    return c;
}

class GameObjectTeardown : public ::testing::Test, public gotest::ObjectWorld {};

}  // namespace

TEST_F(GameObjectTeardown, DeletingObjectsLeavesTheSceneAndRegistriesAsBefore)
{
    GroundObjParams armed = bastion;
    armed.HasMainWeapon = true;
    armed.MainWeapon = "autocannon_light";
    armed.subObjs[1].subObj_Type = 2;  // a cone part too
    armed.subObjs[1].MainWeapName = "autocannon_light";
    refresh();
    const SceneCounts before = countScene(scene);
    {
        auto a = groundObject(&bastion, 3, 2);
        auto b = groundObject(&armed, 4, 1);
        ::GameObject razor(handles, "razor.mesh", "TEST", 5, 2, "", "", 1000);
        EXPECT_GT(countScene(scene).nodes, before.nodes + 10);
        // The turret has fired: its muzzle flare is released when its weapon goes.
        for (int i = 0; i < 2; ++i) {
            b->setTrigger(true);
            b->update(0.1f);
        }
        EXPECT_GT(manager->getShots(), 0u);
    }
    manager->destroyAll();  // the shots are the projectile manager's
    SceneCounts after = countScene(scene);
    // The shots' root nodes wait, empty, in the pool's stock for the next items.
    after.nodes -= pool->particleStock().spareRootNodeCount();
    // Released reactors live on under the root until their particles die; the pool owns them.
    EXPECT_EQ(pool->liveReactorCount(), 6u);  // two critical smokes, four muzzle flares
    for (size_t i = 0; i < pool->reactorSlotCount(); ++i) {
        VirtualReactor* r = pool->reactorInSlot(i);
        if (!r)
            continue;
        EXPECT_TRUE(r->isReleased());
        EXPECT_EQ(r->getNode()->getParentSceneNode(), scene->getRootSceneNode());
        after.nodes -= countNodes(r->getNode());
        after.movables["ParticleSystem"] -= r->particleSystems().size();
    }
    EXPECT_EQ(after.nodes, before.nodes);
    EXPECT_EQ(after.movables, before.movables);
    for (uint32_t i = 0; i < damage->getNumEntries(); ++i)
        EXPECT_EQ(damage->getEntry(i)->free, 1) << "damage slot " << i;
    for (uint32_t i = 0; i < targets.getNumEntries(); ++i)
        EXPECT_EQ(targets.entries()[i].free, 1) << "target slot " << i;
    // The pool can still run and free what was released.
    for (int i = 0; i < 100; ++i)
        pool->update(0.1f);
    EXPECT_EQ(pool->liveReactorCount(), 0u);
    // Their particle systems wait in the pool's stock, out of the scene graph, for the next ones.
    after = countScene(scene);
    after.movables["ParticleSystem"] -= pool->particleStock().spareCount();
    after.nodes -= pool->particleStock().spareRootNodeCount();
    EXPECT_EQ(after, before);
}
