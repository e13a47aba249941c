// The pick-up weapon: its cache round trips, the special shots (actor requests, slow-time
// bubble) and the mesh's fire and idle animations.
#include "WeaponTestWorld.h"

#include "world/PickUpWeapon.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>

#include <gtest/gtest.h>

using weapontest::WeaponWorld;

namespace {

// The weapon class is ::PickUpWeapon inside these tests.
class PickUpWeapon : public ::testing::Test, public WeaponWorld {};

TEST_F(WeaponCache, ProjectileBreederAndSlowerWeaponsRoundTripByteForByte)
{
    WeaponCacheRecord slowerOff = special(false);
    slowerOff.TimeSlower = false;  // both floats are kept all the same
    const std::pair<const char*, WeaponCacheRecord> cases[] = {
        {"p_projectile", pickUpRecord()},
        {"p_breeder", special(true)},
        {"p_slower", special(false)},
        {"p_slower_off", slowerOff},
    };
    for (const auto& [name, record] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(weapon_cache::write(name, WeaponCacheKind::PickUp, record));
        const std::vector<uint8_t> written = cacheBytes(name);
        EXPECT_EQ(written[8], 4u);
        auto weapon = pickUp(name);
        ASSERT_NE(weapon->getMuzzleNode(), nullptr);
        EXPECT_EQ(weapon->getWeaponIcon(), "hudWeapTest.png");
        EXPECT_EQ(weapon->getWeaponArrow(), "hudArrowTest.png");
        EXPECT_EQ(weapon->getProjectile() != nullptr, !record.IsSpecial);
        ASSERT_TRUE(weapon->writeCache(name, "ignored_without_mesh.mesh"));
        EXPECT_EQ(cacheBytes(name), written);
    }
    // Without a mesh entity the mesh name is still there, empty.
    WeaponCacheRecord r;
    ASSERT_TRUE(weapon_cache::readBytes(cacheBytes("p_projectile"), WeaponCacheKind::PickUp, r));
    EXPECT_FALSE(r.hasWeaponMesh);
    EXPECT_EQ(r.WeaponMesh, "");
}

TEST_F(WeaponCache, IdleSpeedIsStoredWholeAndAnimationBlocksAreOptional)
{
    writeSource("p_coil", R"([Special]
IsSpecial = false
[Data]
projectile = "proj_bullet"
warhead = "wh_bullet"
WeaponMesh = "weap_arc_coil.mesh"
ammo = 9
RateOfFire = 0.5
[Anim]
FireAnim = "Fire"
FireAnim_Loop = false
IdleAnim = "Idle"
IdleAnimSpd = 1.5
)");
    {
        auto weapon = pickUp("p_none");
        ASSERT_TRUE(weapon->readIni("p_coil", &projectileDefs, &warheadDefs, carrier, Ogre::Vector3::ZERO,
                                    Ogre::Vector3::ZERO));
        ASSERT_NE(weapon->getIdleAnim(), nullptr);
        EXPECT_EQ(weapon->getIdleAnimSpeed(), 1.5f);
        ASSERT_TRUE(weapon->writeCache("p_coil", "weap_arc_coil.mesh"));
    }
    WeaponCacheRecord r;
    ASSERT_TRUE(weapon_cache::read("p_coil", WeaponCacheKind::PickUp, r));
    EXPECT_EQ(r.IdleAnimSpd, 1u);
    EXPECT_EQ(r.WeaponMesh, "weap_arc_coil.mesh");
    auto weapon = pickUp("p_coil");
    ASSERT_NE(weapon->getIdleAnim(), nullptr);
    EXPECT_EQ(weapon->getIdleAnimSpeed(), 1.0f);

    // A file ending before the animation blocks is whole; a cut inside them is not.
    WeaponCacheRecord plain = pickUpRecord();
    std::vector<uint8_t> bytes = weapon_cache::encode("p", WeaponCacheKind::PickUp, plain);
    bytes.resize(bytes.size() - 2);
    WeaponCacheRecord out;
    EXPECT_TRUE(weapon_cache::readBytes(bytes, WeaponCacheKind::PickUp, out));
    EXPECT_FALSE(out.hasAnimations);
    bytes.push_back(1);
    EXPECT_FALSE(weapon_cache::readBytes(bytes, WeaponCacheKind::PickUp, out));
}

TEST_F(PickUpWeapon, TimeSlowerOpensOneBubbleAtATimeAndEndsItsOwn)
{
    ASSERT_TRUE(weapon_cache::write("p_slow", WeaponCacheKind::PickUp, special(false)));
    auto weapon = pickUp("p_slow");
    SlowTimeBubble& bubble = playData.bubble;

    weapon->tick(0.5f, 0.0f, true, false, 0);
    EXPECT_EQ(bubble.active, 1);
    EXPECT_EQ(bubble.scale, 3.0f);
    EXPECT_EQ(bubble.ownerNode, weapon->getMuzzleNode());
    EXPECT_EQ(bubble.ownerKey, 5);
    EXPECT_EQ(weapon->getTimeSlowTimer(), 5.0f);
    EXPECT_EQ(weapon->getAmmo(), 19u);
    // Blocked shots still cost rounds and a cool-down; the bubble keeps its timer.
    for (int i = 0; i < 3; ++i)
        weapon->tick(0.5f, 0.0f, true, false, 0);
    EXPECT_EQ(weapon->getAmmo(), 16u);
    EXPECT_FLOAT_EQ(weapon->getTimeSlowTimer(), 3.5f);
    for (int i = 0; i < 6; ++i)
        weapon->tick(0.5f, 0.0f, false, false, 0);
    EXPECT_EQ(bubble.active, 1);
    weapon->tick(0.5f, 0.0f, false, false, 0);  // 5 s after the shot
    EXPECT_EQ(bubble.active, 0);
    EXPECT_EQ(weapon->getTimeSlowTimer(), 0.0f);
    weapon->tick(0.5f, 0.0f, true, false, 0);
    EXPECT_EQ(bubble.active, 1);
    EXPECT_EQ(weapon->getAmmo(), 15u);
    EXPECT_EQ(manager->getShots(), 0u);

    // Destroyed 2 s into its bubble: the bubble ends. Another weapon's bubble is left alone.
    for (int i = 0; i < 4; ++i)
        weapon->tick(0.5f, 0.0f, false, false, 0);
    auto bystander = pickUp("p_slow", 6);
    bystander.reset();
    EXPECT_EQ(bubble.active, 1);
    GroundWeapon* asGround = weapon.release();
    delete asGround;  // through the base: the bubble still ends
    EXPECT_EQ(bubble.active, 0);
}

TEST_F(PickUpWeapon, ActorBreederWritesOneRequestAtTheMuzzle)
{
    ASSERT_TRUE(weapon_cache::write("p_breed", WeaponCacheKind::PickUp, special(true)));
    carrier->setPosition(4.0f, 61.0f, -7.0f);
    carrier->yaw(Ogre::Degree(45.0f));
    auto weapon = pickUp("p_breed");
    const Ogre::Vector3 muzzle = weapon->getMuzzleNode()->_getDerivedPosition();
    const Ogre::Quaternion facing = weapon->getMuzzleNode()->_getDerivedOrientation();
    EXPECT_TRUE(muzzle.positionEquals(Ogre::Vector3(4.0f, 61.0f, -7.0f) +
                                          facing * Ogre::Vector3(0.0f, 0.5f, -2.0f), 1e-4f));

    weapon->tick(0.5f, 0.0f, true, false, 0);
    const SpawnRequest& request = playData.spawnRequest;
    EXPECT_EQ(request.pending, 1);
    EXPECT_EQ(request.withAI, 1);
    EXPECT_TRUE(request.position.positionEquals(muzzle, 1e-4f));
    EXPECT_TRUE(request.orientation.equals(facing, Ogre::Degree(0.1f)));
    EXPECT_EQ(request.offset, Ogre::Vector3(1.0f, 0.0f, -3.0f));
    EXPECT_EQ(request.actorName, "wisp");
    EXPECT_EQ(request.actorType, 3u);
    EXPECT_EQ(request.actorTeam, 1u);

    carrier->setPosition(40.0f, 61.0f, 40.0f);
    weapon->tick(0.5f, 0.0f, true, false, 0);
    EXPECT_TRUE(request.position.positionEquals(muzzle, 1e-4f));  // the first request stands
    EXPECT_EQ(weapon->getAmmo(), 18u);
    EXPECT_EQ(manager->getShots(), 0u);
}

TEST_F(PickUpWeapon, ArcCoilAnimationsFollowTheShotsAndTheTrigger)
{
    ASSERT_TRUE(weapon_cache::write("p_coil_once", WeaponCacheKind::PickUp, arcCoil(false)));
    ASSERT_TRUE(weapon_cache::write("p_coil_loop", WeaponCacheKind::PickUp, arcCoil(true)));
    ASSERT_TRUE(weapon_cache::write("p_coil_none", WeaponCacheKind::PickUp, arcCoil(false, "Nope", "Nada")));

    auto once = pickUp("p_coil_once", 5);
    ASSERT_NE(once->getWeaponEntity(), nullptr);
    EXPECT_EQ(once->getWeaponEntity()->getName(), "PickW5");
    Ogre::AnimationState* fire = once->getFireAnim();
    Ogre::AnimationState* idle = once->getIdleAnim();
    ASSERT_NE(fire, nullptr);
    ASSERT_NE(idle, nullptr);
    const float length = fire->getLength();
    ASSERT_GT(length, 0.2f);
    EXPECT_EQ(fire->getTimePosition(), length);  // parked at its end until a shot
    once->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_EQ(fire->getTimePosition(), 0.0f);
    EXPECT_FLOAT_EQ(idle->getTimePosition(), 0.2f);  // dt x speed 2, also while firing
    once->tick(0.1f, 0.0f, false, false, 0);
    EXPECT_FLOAT_EQ(fire->getTimePosition(), 0.1f);
    for (int i = 0; i < 5; ++i)
        once->tick(0.1f, 0.0f, false, false, 0);
    EXPECT_EQ(fire->getTimePosition(), length);  // rests at its end
    EXPECT_FLOAT_EQ(idle->getTimePosition(), 1.4f);
    once->tick(0.1f, 0.0f, true, false, 0);  // the next shot restarts it
    EXPECT_EQ(fire->getTimePosition(), 0.0f);

    auto looping = pickUp("p_coil_loop", 6);
    Ogre::AnimationState* loopFire = looping->getFireAnim();
    ASSERT_NE(loopFire, nullptr);
    EXPECT_EQ(loopFire->getTimePosition(), 0.0f);
    looping->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_FLOAT_EQ(loopFire->getTimePosition(), 0.1f);
    looping->tick(0.1f, 0.0f, false, false, 0);
    EXPECT_FLOAT_EQ(loopFire->getTimePosition(), 0.1f);
    looping->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_FLOAT_EQ(loopFire->getTimePosition(), 0.2f);

    auto unnamed = pickUp("p_coil_none", 7);
    EXPECT_NE(unnamed->getWeaponEntity(), nullptr);
    EXPECT_EQ(unnamed->getFireAnim(), nullptr);
    EXPECT_EQ(unnamed->getIdleAnim(), nullptr);
    const uint32_t shots = manager->getShots();
    unnamed->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_EQ(manager->getShots(), shots + 1);

    // Deleting takes the mesh entity with it.
    once.reset();
    EXPECT_FALSE(scene->hasEntity("PickW5"));
}

}  // namespace
