// Parts of game objects: how the bastion's turret and mast are built, registered, killed and
// removed, and the aim machines of the armed parts against targets in a real target registry.
#include "GameObjectTestWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SubObject : public ::testing::Test, public gotest::ObjectWorld {};

TEST_F(SubObject, TheBastionHasAnArmedTargetableTurretAndAMastThatOnlyTakesDamage)
{
    auto bastionObject = groundObject(&bastion, 3, 2);
    ASSERT_EQ(bastionObject->getSubObjectCount(), 2u);

    auto* turret = dynamic_cast<GO_subFreeDef*>(bastionObject->getSubObject(0));
    ASSERT_NE(turret, nullptr);
    EXPECT_EQ(dynamic_cast<GO_subConeDef*>(turret), nullptr);
    ASSERT_NE(turret->getWeapon(), nullptr);
    EXPECT_EQ(turret->getWeapon()->getOwnerSlot(), 3);  // an armed part fires under its parent's id
    EXPECT_GT(turret->getWeaponAmmo(), 0);
    EXPECT_EQ(turret->getAimState(), GO_subFreeDef::Search);
    EXPECT_EQ(turret->getEntity()->getName(), "GrndO_33sub0");
    EXPECT_EQ(turret->getCollisionEntity()->getName(), "GrndO_33sub0col");
    EXPECT_FALSE(turret->getCollisionEntity()->isVisible());
    EXPECT_TRUE(turret->getNode()->getPosition().positionEquals(Ogre::Vector3(0, 3.2f, 0)));
    EXPECT_EQ(turret->getNode()->getParentSceneNode(), bastionObject->getMainNode());

    GO_subObj* mast = bastionObject->getSubObject(1);
    ASSERT_NE(mast, nullptr);
    EXPECT_EQ(dynamic_cast<GO_subFreeDef*>(mast), nullptr);
    EXPECT_TRUE(mast->getNode()->getPosition().positionEquals(Ogre::Vector3(-2.5f, 4, 1.5f)));
    EXPECT_TRUE(mast->hasDamageBody());
    EXPECT_FALSE(mast->isTarget());

    // Both parts' bodies belong to the parent, flagged as parts with their numbers.
    for (GO_subObj* part : {static_cast<GO_subObj*>(turret), mast}) {
        const DamageEntry* e = damage->getEntry(part->getDamageSlot());
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->free, 0);
        EXPECT_EQ(e->entity, part->getCollisionEntity());
        EXPECT_EQ(e->ownerData, bastionObject->getData());
        EXPECT_EQ(e->bodyKind, 4u);
        EXPECT_EQ(e->ownerId, 3u);
        EXPECT_EQ(e->subObjectFlag, 1);
        EXPECT_EQ(e->subObjectNumber, part->getIndex());
    }
    // Targets: the bastion itself and its turret, not the mast.
    std::vector<uint32_t> targetSlots;
    for (uint32_t i = 0; i < targets.getNumEntries(); ++i)
        if (targets.inUse(i))
            targetSlots.push_back(i);
    ASSERT_EQ(targetSlots.size(), 2u);
    EXPECT_EQ(targets.entries()[bastionObject->getTargetRegistrySlot()].subObjectFlag, 0);
    const TargetEntry& turretTarget = targets.entries()[turret->getTargetSlot()];
    EXPECT_EQ(turretTarget.node, turret->getNode());
    EXPECT_EQ(turretTarget.subObjectFlag, 1);
    EXPECT_EQ(turretTarget.subObjectNumber, 0u);
    EXPECT_TRUE(bastionObject->getData()->records.empty());
}

TEST_F(SubObject, LosingAPartHurtsItsParentByItsRule)
{
    struct Case {
        uint32_t part;
        float partHP;
        bool parentDies;
        float parentDamage;
    };
    // The mast is critical: the whole bastion goes with it. The turret costs 150.
    for (const Case& c : {Case{1, 80.0f, true, 600.0f}, Case{0, 250.0f, false, 150.0f}}) {
        SCOPED_TRACE(c.part);
        auto object = groundObject(&bastion, 4, 2);
        GO_subObj* part = object->getSubObject(c.part);
        const uint32_t partSlot = part->getDamageSlot();
        damage->addDamage(partSlot, c.partHP - 1.0f, 1, 9);
        tickParts(*object, 0.1f);
        ASSERT_EQ(object->getSubObject(c.part), part);  // one short of its HP: still there

        damage->addDamage(partSlot, 1.0f, 1, 9);
        tickParts(*object, 0.1f);
        EXPECT_EQ(object->getSubObject(c.part), nullptr);
        EXPECT_TRUE(object->getSubObjects()[c.part].free);
        EXPECT_EQ(damage->getEntry(partSlot)->free, 1);
        EXPECT_FLOAT_EQ(damage->getEntry(object->getDamageSlot())->damageTaken, c.parentDamage);
        EXPECT_EQ(object->update(0.1f), !c.parentDies);  // a dying bastion also takes its own blast

        // A second call for the same part, or one past the parts, changes nothing.
        const float parentDamage = damage->getEntry(object->getDamageSlot())->damageTaken;
        object->destroySubObject(c.part);
        object->destroySubObject(2);
        object->destroySubObject(100);
        EXPECT_FLOAT_EQ(damage->getEntry(object->getDamageSlot())->damageTaken, parentDamage);
        EXPECT_EQ(object->getSubObjectCount(), 2u);
        EXPECT_NE(object->getSubObject(1 - c.part), nullptr);
    }
}

TEST_F(SubObject, APartWithoutCollisionBodyNeverDiesAndIsInNoRegistry)
{
    GroundObjParams def = bastion;
    def.subObjs[1].isColObj = false;
    def.subObjs[1].isRdrObj = true;  // ignored without a body
    auto object = groundObject(&def, 5, 2);
    GO_subObj* mast = object->getSubObject(1);
    ASSERT_NE(mast, nullptr);
    EXPECT_EQ(mast->getCollisionEntity(), nullptr);
    for (uint32_t i = 0; i < damage->getNumEntries(); ++i) {
        const DamageEntry& e = *damage->getEntry(i);
        if (!e.free) {
            EXPECT_FALSE(e.subObjectFlag == 1 && e.subObjectNumber == 1) << "slot " << i;
        }
    }
    for (const TargetEntry& e : targets.entries())
        if (!e.free) {
            EXPECT_NE(e.node, mast->getNode());
        }

    // Blasted with far more than its HP from every side: it stays as long as its parent.
    damage->applyAreaDamage(object->getWorldPosition(), 50.0f, 10000.0f, 0, nullptr, false, true, 8);
    for (int i = 0; i < 5; ++i)
        tickParts(*object, 0.1f);
    EXPECT_EQ(object->getSubObject(1), mast);
    EXPECT_EQ(object->getSubObject(0), nullptr);  // the turret has a body and died
}

TEST_F(SubObject, ADyingPartsEffectAppearsAtItsWorldPosition)
{
    auto object = groundObject(&bastion, 6, 2);
    object->setPosition(Ogre::Vector3(100, 0, 50));
    refresh();
    ASSERT_EQ(pool->liveEffectCount(), 0u);
    damage->addDamage(object->getSubObject(1)->getDamageSlot(), 80.0f, 1, 9);
    tickParts(*object, 0.1f);
    ASSERT_EQ(pool->liveEffectCount(), 1u);
    VirtualFX* effect = pool->effectInSlot(0);
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(effect->getNode()->_getDerivedPosition().positionEquals(Ogre::Vector3(97.5f, 4, 51.5f), 1e-3f))
        << effect->getNode()->_getDerivedPosition();
}

// --- aim machines ---

class SubObjectAim : public ::testing::Test, public gotest::ObjectWorld {
protected:
    SubObjectAim()
    {
        // One armed part at the bastion's turret place, facing -Z, on an object placed at the
        // origin (weapon node 5.2 above it); no mast.
        def = bastion;
        def.subObjs.resize(1);
        subObjParams& p = def.subObjs[0];
        p.OriByVect = Ogre::Vector3(0, 0, -1);
        p.lockRange = 100.0f;
        p.lockTime = 0.25f;
        p.FireDelay = 0.35f;
        p.ContFireTime = 0.45f;
        p.lockAng = 40.0f;
        p.MainWeapName = "gotest_single";
        WeaponCacheRecord single = cannonRecord();
        single.ammo = 50;
        single.RateOfFire = 0.5f;
        single.AIContFire = false;
        EXPECT_TRUE(weapon_cache::write("gotest_single", WeaponCacheKind::Ground, single));
        WeaponCacheRecord continuous = single;
        continuous.RateOfFire = 0.15f;
        continuous.AIContFire = true;
        EXPECT_TRUE(weapon_cache::write("gotest_cont", WeaponCacheKind::Ground, continuous));
    }

    GO_subFreeDef* build(uint32_t type, const char* weaponName = "gotest_single")
    {
        def.subObjs[0].subObj_Type = type;
        def.subObjs[0].MainWeapName = weaponName;
        object.reset();
        object = groundObject(&def, 2, 2);
        auto* part = dynamic_cast<GO_subFreeDef*>(object->getSubObject(0));
        EXPECT_NE(part, nullptr);
        return part;
    }
    // An enemy target at that bearing (degrees from -Z toward +X) and distance, level with the gun.
    Body& targetAt(float bearing, float distance)
    {
        const Ogre::Radian a{Ogre::Degree(bearing)};
        return addBody(Ogre::Vector3(Ogre::Math::Sin(a) * distance, 5.2f, -Ogre::Math::Cos(a) * distance), 1, 20,
                       false, true, targetDef.get());
    }
    // Runs ticks of the part (and the graph), recording state and trigger after each.
    struct Trace {
        std::string states;
        std::string triggers;
    };
    Trace run(GO_subFreeDef& part, int ticks, float dt = 0.1f)
    {
        Trace t;
        for (int i = 0; i < ticks; ++i) {
            EXPECT_TRUE(part.update(dt));
            refresh();
            t.states += char('0' + part.getAimState());
            t.triggers += part.getTrigger() ? '1' : '0';
        }
        return t;
    }

    GroundObjParams def{"gotest_armed"};
    std::unique_ptr<GroundObject> object;
};

TEST_F(SubObjectAim, ASingleShotPartLocksFiresOnceRestsSearchesAndLocksAgain)
{
    Body& target = targetAt(0.0f, 60.0f);
    GO_subFreeDef* part = build(1);
    ASSERT_NE(part, nullptr);
    const int ammo = part->getWeaponAmmo();
    // search, lock 0.25 s, one shot, rest 0.35 s, search, lock, the next shot.
    const Trace t = run(*part, 15);
    EXPECT_EQ(t.states, "333110000233311");
    EXPECT_EQ(t.triggers, "000010000000001");
    EXPECT_EQ(part->getWeaponAmmo(), ammo - 2);
    EXPECT_EQ(part->getTarget(), target.data->targetSlot);
    EXPECT_EQ(targets.entries()[target.data->targetSlot].targeted, 1);
    // The gun points at the target.
    const Ogre::Vector3 toTarget = (target.node->_getDerivedPosition() - part->getWeaponNode()->_getDerivedPosition());
    EXPECT_TRUE((-part->getWorldFacing()).directionEquals(toTarget.normalisedCopy(), Ogre::Degree(0.5f)));
    EXPECT_EQ(manager->liveCount(), 2u);
}

TEST_F(SubObjectAim, TargetsLeavingRangeNoAmmunitionAndContinuousFire)
{
    struct Case {
        const char* name;
        const char* weapon;
        int moveAwayAfter;  // ticks; -1 never
        bool emptyGun;
        const char* states;
        const char* triggers;
        int shots;
    };
    const Case cases[] = {
        // Out of range during the lock delay: back to search, nothing fired, nothing found.
        {"leaves during lock", "gotest_single", 2, false, "33222222", "00000000", 0},
        // Without ammunition the part keeps tracking and never pulls the trigger.
        {"no ammunition", "gotest_single", -1, true, "33311111", "00000000", 0},
        // Continuous fire: the trigger stays down while the timer runs to ContFireTime (0.45 s),
        // the gun firing as its 0.15 s cool-down allows; then the rest.
        {"continuous", "gotest_cont", -1, false, "33311111000023", "00001111100000", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Body& target = targetAt(0.0f, 60.0f);
        GO_subFreeDef* part = build(1, c.weapon);
        ASSERT_NE(part, nullptr);
        if (c.emptyGun)
            part->getWeapon()->setAmmo(0);
        const uint32_t shotsBefore = manager->getShots();
        Trace t;
        const int ticks = static_cast<int>(std::string(c.states).size());
        for (int i = 0; i < ticks; ++i) {
            if (i == c.moveAwayAfter) {
                target.node->setPosition(0, 5.2f, -150.0f);
                refresh();
            }
            const Trace one = run(*part, 1);
            t.states += one.states;
            t.triggers += one.triggers;
            if (c.emptyGun && part->getAimState() == GO_subFreeDef::Track) {
                EXPECT_TRUE(part->hasTarget());
            }
        }
        EXPECT_EQ(t.states, c.states);
        EXPECT_EQ(t.triggers, c.triggers);
        EXPECT_EQ(manager->getShots() - shotsBefore, static_cast<uint32_t>(c.shots));
        object.reset();
        targets.remove(target.data->targetSlot);
        damage->remove(target.damageSlot);
    }
}

TEST_F(SubObjectAim, AConePartTakesOnlyTargetsAheadWithinItsCone)
{
    // lockAng 40: the lock cone is 30 degrees wide of the part's axis, the fire cone 20.
    struct Case {
        float bearing;
        const char* states;
        const char* triggers;
    };
    const Case cases[] = {
        {0.0f, "33311", "00001"},    // dead ahead: locks and fires
        {25.0f, "33312", "00000"},   // inside the lock cone, outside the fire cone
        {45.0f, "32323", "00000"},   // outside the lock cone: found, refused on the next tick
        {180.0f, "32323", "00000"},  // behind: the cone measure is 0 but the facing z is not > 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bearing);
        Body& target = targetAt(c.bearing, 60.0f);
        auto* part = dynamic_cast<GO_subConeDef*>(build(2));
        ASSERT_NE(part, nullptr);
        std::string states, triggers;
        for (int i = 0; i < 5; ++i) {
            const Trace one = run(*part, 1);
            states += one.states;
            triggers += one.triggers;
        }
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(triggers, c.triggers);
        object.reset();
        targets.remove(target.data->targetSlot);
        damage->remove(target.damageSlot);
    }
}

}  // namespace
