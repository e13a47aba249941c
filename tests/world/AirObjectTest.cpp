// The air object: its names and registrations, one spawn effect, death at damage equal to HP with
// its effect and explosion, retreat, a weapon that only ever gets the trigger, and an object
// that stays in the air where it was put.
#include "AirTestWorld.h"

#include "world/Projectile.h"
#include "world/Weapon.h"

#include <gtest/gtest.h>

namespace {

class AirObjectTest : public ::testing::Test, public airtest::World {
protected:
    // The kestrel of the game tree with nothing that plays by itself: no effects, no weapon.
    AirObjParams* quietKestrel()
    {
        AirObjParams* d = cached<AirObjParams>("kestrel");
        EXPECT_TRUE(d->cacheLoaded());
        d->Death_Effect = d->Spawn_Effect = d->Retreat_Effect = " ";
        d->HasMainWeapon = false;
        return d;
    }
};

TEST_F(AirObjectTest, NamesRepeatTheIdAndBothBodiesAreRegistered)
{
    AirObjParams* def = cached<AirObjParams>("kestrel");
    ASSERT_TRUE(def->cacheLoaded());
    auto kestrel = air(def, 7, 2);
    EXPECT_EQ(kestrel->getData()->name, "AirO_7");
    EXPECT_EQ(kestrel->getData()->category, 3u);
    EXPECT_EQ(kestrel->getData()->behaviourKind, 5u);
    EXPECT_EQ(kestrel->getData()->hitPoints, 180u);
    ASSERT_TRUE(scene->hasEntity("AirO_77"));
    ASSERT_TRUE(scene->hasEntity("AirO_77col"));
    Ogre::Entity* body = scene->getEntity("AirO_77");
    Ogre::Entity* hull = scene->getEntity("AirO_77col");
    EXPECT_EQ(body->getMesh()->getName(), "kestrel.mesh");
    EXPECT_EQ(hull->getMesh()->getName(), "kestrel_col.mesh");
    EXPECT_FALSE(body->getCastShadows());
    EXPECT_FALSE(hull->getVisible());
    EXPECT_EQ(body->getParentSceneNode(), kestrel->getMainNode());
    EXPECT_EQ(kestrel->getAimNode()->getParentSceneNode(), kestrel->getMainNode());

    const DamageEntry* entry = damage->getEntry(kestrel->getDamageSlot());
    EXPECT_EQ(entry->entity, hull);
    EXPECT_EQ(entry->bodyKind, 5u);
    EXPECT_EQ(entry->team, 2u);
    EXPECT_EQ(entry->ownerId, 7u);
    EXPECT_EQ(targets.entries()[kestrel->getTargetRegistrySlot()].node, kestrel->getMainNode());
    EXPECT_EQ(kestrel->getData()->damageSlot, kestrel->getDamageSlot());
    EXPECT_EQ(kestrel->getMoneyGain(), def->MoneyGain);

    // Gone with its bodies: both slots free, both entities destroyed.
    const uint32_t slot = kestrel->getDamageSlot();
    kestrel.reset();
    EXPECT_TRUE(damage->getEntry(slot)->free);
    EXPECT_FALSE(scene->hasEntity("AirO_77"));
    EXPECT_FALSE(scene->hasEntity("AirO_77col"));
}

TEST_F(AirObjectTest, SpawnEffectPlaysOnceAndTheFlagClearsWithoutOne)
{
    AirObjParams* withEffect = cached<AirObjParams>("kestrel");
    auto a = air(withEffect, 1);
    ASSERT_NE(a->getSpawnEffect(), nullptr);
    EXPECT_EQ(liveEffects(), 0u);
    EXPECT_TRUE(a->update(airtest::kDt));
    EXPECT_EQ(liveEffects(), 1u);
    EXPECT_TRUE(a->update(airtest::kDt));
    EXPECT_EQ(liveEffects(), 1u);

    auto b = air(quietKestrel(), 2);
    EXPECT_TRUE(b->isSpawnEffectPending());
    EXPECT_TRUE(b->update(airtest::kDt));
    EXPECT_FALSE(b->isSpawnEffectPending());
    EXPECT_EQ(liveEffects(), 1u);
}

TEST_F(AirObjectTest, DiesWhenDamageReachesHpWithItsEffectAndExplosion)
{
    AirObjParams* def = quietKestrel();
    def->Death_Effect = "exp_air";
    def->Explode = true;
    def->ExplodeDammage = 40;
    def->ExplodeDamRange = 10.0f;
    def->ExplodeDamFallOut = false;
    auto kestrel = air(def, 1);
    auto neighbour = air(quietKestrel(), 2);
    kestrel->setPosition({0, 30, 0});
    neighbour->setPosition({5, 30, 0});
    settle();

    kestrel->addDamage(179.5f);
    EXPECT_TRUE(kestrel->update(airtest::kDt));
    EXPECT_EQ(liveEffects(), 0u);
    kestrel->addDamage(0.5f);  // exactly its HP
    EXPECT_FALSE(kestrel->update(airtest::kDt));
    EXPECT_EQ(liveEffects(), 1u);
    EXPECT_FLOAT_EQ(damageTaken(*neighbour), 40.0f);
    EXPECT_FALSE(kestrel->isRetreating());
}

TEST_F(AirObjectTest, RetreatsOnceItsTimeHasPassed)
{
    AirObjParams* def = quietKestrel();
    def->Retreat_Effect = "warp_out";
    def->RetreatTime = 0.51f;
    auto kestrel = air(def, 1);
    int ticks = 0;
    while (kestrel->update(airtest::kDt) && ticks < 100)
        ++ticks;
    EXPECT_EQ(ticks, 30);  // out on the 31st tick, past 0.51 s
    EXPECT_TRUE(kestrel->isRetreating());
    EXPECT_EQ(liveEffects(), 1u);
}

TEST_F(AirObjectTest, WithoutAWeaponItHasNoAmmoNeverFiresAndLocksNothing)
{
    auto kestrel = air(quietKestrel(), 1);
    EXPECT_EQ(kestrel->getMainWeapon(), nullptr);
    kestrel->setTrigger(true);
    EXPECT_TRUE(kestrel->update(airtest::kDt));
    EXPECT_EQ(kestrel->getMainWeaponAmmo(), 0);
    EXPECT_FALSE(kestrel->isMainWeaponReady());
    EXPECT_EQ(kestrel->getMainWeaponLockRange(), 0.0f);
    EXPECT_EQ(kestrel->getMainWeaponLockSpeed(), 0.0f);
    EXPECT_EQ(kestrel->getMainWeaponLockArea(), 0.0f);
    EXPECT_EQ(projectiles->liveCount(), 0u);
}

TEST_F(AirObjectTest, CarriesTheWeaponOfItsDefinitionOnItsAimNode)
{
    auto kestrel = air(cached<AirObjParams>("kestrel"), 1);
    GroundWeapon* pod = kestrel->getMainWeapon();
    ASSERT_NE(pod, nullptr);
    EXPECT_NE(pod->getProjectile(), nullptr);
    EXPECT_EQ(pod->getCannonNode()->getParentSceneNode(), kestrel->getAimNode());
    EXPECT_EQ(pod->getCannonNode()->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(kestrel->getMainWeaponAmmo(), 200);
    EXPECT_TRUE(kestrel->isMainWeaponReady());
}

TEST_F(AirObjectTest, TheWeaponFiresOnTheTriggerButNeverAtATarget)
{
    AirObjParams* def = quietKestrel();
    def->HasMainWeapon = true;
    def->MainWeapon = homingGun();
    auto kestrel = air(def, 1);
    GroundWeapon* pod = kestrel->getMainWeapon();
    ASSERT_NE(pod, nullptr);
    EXPECT_EQ(kestrel->getMainWeaponAmmo(), 20);
    EXPECT_TRUE(kestrel->isMainWeaponReady());
    EXPECT_EQ(kestrel->getMainWeaponLockRange(), pod->getLockRange());
    EXPECT_EQ(kestrel->getMainWeaponLockSpeed(), pod->getLockSpeed());
    EXPECT_EQ(kestrel->getMainWeaponLockArea(), pod->getLockArea());
    EXPECT_GT(kestrel->getMainWeaponLockRange(), 0.0f);

    kestrel->setPosition({0, 30, 0});
    const uint32_t target = targets.add(scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 30, -60)), nullptr,
                                        nullptr, nullptr, 0, 0);
    kestrel->setTarget(true, target);
    EXPECT_TRUE(kestrel->update(airtest::kDt));
    EXPECT_EQ(projectiles->liveCount(), 0u);  // no trigger, no shot
    kestrel->setTrigger(true);
    EXPECT_TRUE(kestrel->update(airtest::kDt));
    ASSERT_EQ(projectiles->liveCount(), 1u);
    const ProjectileRecord* shot = projectiles->projectileInSlot(0)->getRecord();
    EXPECT_EQ(shot->tracking, 0);
    EXPECT_EQ(shot->targetSlot, 0);
    EXPECT_EQ(shot->ownerId, kestrel->getObjectId());
    EXPECT_EQ(kestrel->getMainWeaponAmmo(), 19);
    EXPECT_FALSE(kestrel->isMainWeaponReady());
}

TEST_F(AirObjectTest, PlacedInMidAirItStaysAndOnlyItsFloorTriangleIsRefreshed)
{
    auto kestrel = air(quietKestrel(), 1);
    const Ogre::Vector3 place(10, 30, 5);
    kestrel->setPosition(place);
    settle();
    kestrel->snapToGround();
    EXPECT_EQ(kestrel->getWorldPosition(), place);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(kestrel->getCachedTriangle(i).y, airtest::kFloorY) << i;
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(kestrel->update(airtest::kDt));
    EXPECT_EQ(kestrel->getWorldPosition(), place);
}

TEST_F(AirObjectTest, AimsItsAimNodeAtAWorldPoint)
{
    auto kestrel = air(quietKestrel(), 1);
    kestrel->setPosition({0, 30, 0});
    EXPECT_TRUE(kestrel->aimMainWeaponAt({20, 30, 0}));  // to its right
    EXPECT_NEAR(kestrel->getAimYaw(), -90.0f, 0.01f);
    EXPECT_NEAR(kestrel->getAimWorldYaw(), -90.0f, 0.01f);
    // The z axis points away from what the node looks at.
    EXPECT_TRUE(kestrel->getAimFacing().positionEquals(Ogre::Vector3(-1, 0, 0), 1e-4f));
    EXPECT_TRUE(kestrel->getAimWorldFacing().positionEquals(Ogre::Vector3(-1, 0, 0), 1e-4f));
}

}  // namespace
