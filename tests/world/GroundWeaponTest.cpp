// The weapon cache and the ground weapon: the file written from a source, what a cache builds,
// and the firing step.
#include "WeaponTestWorld.h"

#include "world/VirtualReactor.h"

#include <gtest/gtest.h>

#include <functional>

using weapontest::WeaponWorld;

namespace {

// The weapon class is ::GroundWeapon inside these tests.
class GroundWeapon : public ::testing::Test, public WeaponWorld {};

constexpr uint32_t kMagic = 3475763;

// The file of the cannon below, written field by field as the format lays it out.
std::vector<uint8_t> expectedCannonFile(const std::string& name, const std::function<void(BinaryWriter&)>& tail)
{
    BinaryWriter w;
    w.writeU32(kMagic);
    w.writeU32(1);
    w.writeU32(3);
    writeBinString(w, name);
    w.writeU32(1);
    writeBinString(w, "proj_bullet");
    w.writeU32(1);
    writeBinString(w, "wh_explosive");
    for (float f : {0.0f, 0.5f, -2.0f})
        w.writeF32(f);
    w.writeU32(7);
    w.writeF32(0.5f);
    w.writeF32(2.0f);
    w.writeU8(1);
    w.writeU32(10);
    w.writeF32(10.0f);  // LockArea 0 in the source
    w.writeF32(3.0f);
    w.writeF32(80.0f);
    tail(w);
    return w.bytes();
}

const char* kCannonSource = R"([Build]
Class = GroundWeapon

[Data]
projectile = "proj_bullet"
warhead = 'wh_explosive'
CannonPos = 0 0.5 -2
ammo = 7
RateOfFire = 0.5
MaxOffsetFireAngle = 2
AIContFire = true
Damage = 10
LockArea = 0
LockSpeed = 3
LockRange = 80
)";

TEST_F(WeaponCache, AGroundWeaponFromItsSourceIsWrittenByteForByte)
{
    struct Case {
        const char* name;
        const char* sections;
        std::function<void(BinaryWriter&)> tail;
    };
    const std::vector<Case> cases = {
        {"w_plain", "[Sound]\nFireSound = \" \"\nFireSound_isLoop = true\n[Effect]\nHasFireEffect = false\n",
         [](BinaryWriter& w) {
             w.writeU8(0);
             w.writeU8(0);
         }},
        {"w_loud", "[Sound]\nFireSound = 'fire_loop.ogg'\nFireSound_isLoop = true\n",
         [](BinaryWriter& w) {
             w.writeU8(1);
             writeBinString(w, "fire_loop.ogg");
             w.writeU8(1);
             w.writeU8(0);
         }},
        {"w_flare", "[Effect]\nHasFireEffect = true\nFireReactorName = \"dust_trail\"\nFireReactor_Loop = false\n",
         [](BinaryWriter& w) {
             w.writeU8(0);
             w.writeU8(1);
             writeBinString(w, "dust_trail");
             w.writeU8(0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSource(c.name, std::string(kCannonSource) + c.sections);
        auto weapon = ground("missing_cache");
        ASSERT_TRUE(weapon->readIni(c.name, &projectileDefs, &warheadDefs, carrier, Ogre::Vector3::ZERO,
                                    Ogre::Vector3::ZERO));
        ASSERT_TRUE(weapon->writeCache(c.name, "ignored.mesh"));
        EXPECT_EQ(cacheBytes(c.name), expectedCannonFile(c.name, c.tail));
    }
    // Header, name, two type words and two names, the 41-byte block and two clear flags.
    EXPECT_EQ(cacheBytes("w_plain").size(), 16u + 4 * 7 + 4 + (4 + 4 * 11) + 4 + (4 + 4 * 12) + 41 + 2);
}

TEST_F(WeaponCache, ABlankSoundMakesNoSoundAndItsLoopByteIsSkipped)
{
    WeaponCacheRecord r = cannonRecord();
    r.hasFireSound = true;
    r.FireSound = " ";
    r.FireSound_isLoop = true;
    r.hasFireReactor = true;
    r.FireReactorName = "dust_trail";
    r.FireReactor_Loop = true;
    ASSERT_TRUE(weapon_cache::write("w_blank", WeaponCacheKind::Ground, r));
    auto weapon = ground("w_blank");
    EXPECT_EQ(weapon->getFireSound(), nullptr);
    ASSERT_NE(weapon->getFireReactor(), nullptr);
    EXPECT_EQ(weapon->getFireReactor()->getParams()->getName(), "dust_trail");
    EXPECT_TRUE(weapon->getFireReactorLoops());
}

TEST_F(WeaponCache, MissingForeignAndDamagedFilesBuildNothing)
{
    const std::vector<uint8_t> good = weapon_cache::encode("w", WeaponCacheKind::Ground, cannonRecord());
    std::vector<uint8_t> foreign = good;
    foreign[0] ^= 0xFF;
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    const std::vector<uint8_t> cases[] = {
        {},                                       // empty file
        std::vector<uint8_t>(good.begin(), good.end() - 3),  // cut inside the block
        std::vector<uint8_t>(good.begin(), good.begin() + 30),  // cut inside a name
        foreign, longer,
    };
    int n = 0;
    for (const auto& bytes : cases) {
        SCOPED_TRACE(n);
        const std::string name = "w_bad" + std::to_string(n++);
        writeCacheBytes(name, bytes);
        auto weapon = ground(name);
        EXPECT_EQ(weapon->getCannonNode(), nullptr);
        EXPECT_EQ(weapon->getProjectile(), nullptr);
        EXPECT_EQ(weapon->getMaxAmmo(), 0u);
    }
    auto missing = ground("w_never_written");
    EXPECT_EQ(missing->getCannonNode(), nullptr);
    EXPECT_EQ(carrier->numChildren(), 0u);
    // The untouched bytes do build (the cases above fail for their damage alone).
    writeCacheBytes("w_good", good);
    EXPECT_NE(ground("w_good")->getCannonNode(), nullptr);
}

struct Step {
    bool trigger;
    float dt;
    uint32_t shots;
    uint32_t ammo;
    float coolDown;
    int reactorState;  // -1: not checked
};

TEST_F(GroundWeapon, FiringFollowsTheTriggerCoolDownAndAmmunition)
{
    struct Case {
        const char* what;
        std::function<void(WeaponCacheRecord&)> record;
        std::function<void(::GroundWeapon&)> prepare;
        std::vector<Step> steps;
    };
    const auto loopingReactor = [](WeaponCacheRecord& r) {
        r.hasFireReactor = true;
        r.FireReactorName = "dust_trail";
        r.FireReactor_Loop = true;
    };
    const std::vector<Case> cases = {
        {"interval 0.5: shot, countdown, clamp, next shot", nullptr, nullptr,
         {{true, 0.2f, 1, 6, 0.3f, -1}, {true, 0.2f, 1, 6, 0.1f, -1}, {true, 0.2f, 1, 6, 0.0f, -1},
          {true, 0.2f, 2, 5, 0.3f, -1}}},
        {"one round, looping reactor", [&](WeaponCacheRecord& r) { loopingReactor(r); r.ammo = 1; }, nullptr,
         {{true, 0.5f, 1, 0, 0.0f, 2}, {true, 0.5f, 1, 0, 0.0f, 1}, {true, 0.5f, 1, 0, 0.0f, 1}}},
        {"unlimited with no rounds keeps firing", nullptr,
         [](::GroundWeapon& w) {
             w.setAmmo(0);
             w.setUnlimitedAmmo(true);
         },
         {{true, 0.5f, 1, 0, 0.0f, -1}, {true, 0.5f, 2, 0, 0.0f, -1}, {true, 0.5f, 3, 0, 0.0f, -1}}},
        {"release keeps cooling and switches the loop off", loopingReactor, nullptr,
         {{true, 0.2f, 1, 6, 0.3f, 2}, {false, 0.2f, 1, 6, 0.1f, 1}, {false, 0.2f, 1, 6, 0.0f, 1},
          {true, 0.2f, 2, 5, 0.3f, 2}}},
        {"rate multiplier 2 halves the interval", nullptr, [](::GroundWeapon& w) { w.setMultipliers(2.0f, 1.0f); },
         {{true, 0.1f, 1, 6, 0.3f, -1}, {true, 0.1f, 1, 6, 0.1f, -1}, {true, 0.1f, 1, 6, 0.0f, -1},
          {true, 0.1f, 2, 5, 0.3f, -1}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WeaponCacheRecord r = cannonRecord();
        if (c.record)
            c.record(r);
        const std::string name = "w_case" + std::to_string(n++);
        ASSERT_TRUE(weapon_cache::write(name, WeaponCacheKind::Ground, r));
        auto weapon = ground(name);
        if (c.prepare)
            c.prepare(*weapon);
        const uint32_t shotsBefore = manager->getShots();
        int step = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(step++);
            weapon->tick(s.dt, 0.0f, s.trigger, false, 0);
            EXPECT_EQ(manager->getShots() - shotsBefore, s.shots);
            EXPECT_EQ(weapon->getAmmo(), s.ammo);
            if (s.coolDown == 0.0f)
                EXPECT_EQ(weapon->getCoolDown(), 0.0f);
            else
                EXPECT_NEAR(weapon->getCoolDown(), s.coolDown, 1e-5f);
            if (s.reactorState >= 0) {
                ASSERT_NE(weapon->getFireReactor(), nullptr);
                EXPECT_EQ(weapon->getFireReactor()->getState(), s.reactorState);
            }
        }
        manager->destroyAll();
    }
}

TEST_F(GroundWeapon, AmmunitionFractionDamageMultiplierAndLockArea)
{
    WeaponCacheRecord r = cannonRecord();
    r.LockArea = 0.0f;
    ASSERT_TRUE(weapon_cache::write("w_zero_area", WeaponCacheKind::Ground, r));
    r.LockArea = -3.0f;
    ASSERT_TRUE(weapon_cache::write("w_negative_area", WeaponCacheKind::Ground, r));

    auto weapon = ground("w_zero_area");
    EXPECT_EQ(weapon->getLockArea(), 10.0f);
    EXPECT_EQ(ground("w_negative_area")->getLockArea(), -3.0f);

    weapon->setAmmoFraction(0.5f);
    EXPECT_EQ(weapon->getAmmo(), 3u);
    weapon->setAmmoFraction(1.0f);
    EXPECT_EQ(weapon->getAmmo(), 7u);

    weapon->setMultipliers(1.0f, 1.25f);
    weapon->tick(0.1f, 0.0f, true, false, 0);
    ASSERT_NE(manager->projectileInSlot(0), nullptr);
    EXPECT_EQ(manager->projectileInSlot(0)->getRecord()->damage, 12u);
    EXPECT_EQ(manager->projectileInSlot(0)->getRecord()->ownerId, 5u);
}

TEST_F(GroundWeapon, TheShotLeavesFromTheMovedAndTurnedMuzzle)
{
    ASSERT_TRUE(weapon_cache::write("w_cannon", WeaponCacheKind::Ground, cannonRecord()));
    auto weapon = ground("w_cannon", 5, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    carrier->setPosition(10.0f, 62.0f, -5.0f);
    carrier->yaw(Ogre::Degree(30.0f));
    weapon->tick(0.1f, 0.0f, true, false, 0);

    // The cannon faces the carrier's +X; the muzzle sits 2 ahead and 0.5 up of the cannon.
    const Ogre::Quaternion facing =
        Ogre::Quaternion(Ogre::Degree(30.0f), Ogre::Vector3::UNIT_Y) *
        Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(Ogre::Vector3::UNIT_X);
    const Ogre::Vector3 muzzle = Ogre::Vector3(10.0f, 62.0f, -5.0f) +
                                 Ogre::Quaternion(Ogre::Degree(30.0f), Ogre::Vector3::UNIT_Y) *
                                     Ogre::Vector3(0.0f, 1.0f, 0.0f) +
                                 facing * Ogre::Vector3(0.0f, 0.5f, -2.0f);
    Projectile* shot = manager->projectileInSlot(0);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(shot->getNode()->_getDerivedPosition().positionEquals(muzzle, 1e-4f))
        << shot->getNode()->_getDerivedPosition() << " vs " << muzzle;
    EXPECT_TRUE(weapon->getMuzzleNode()->_getDerivedOrientation().equals(facing, Ogre::Degree(0.1f)));
    EXPECT_TRUE(shot->getNode()->_getDerivedOrientation().equals(facing, Ogre::Degree(0.1f)))
        << shot->getNode()->_getDerivedOrientation() << " vs " << facing;
}

TEST_F(GroundWeapon, AWeaponWithoutItsCacheOrDefinitionsFiresNothing)
{
    WeaponCacheRecord noProjectile = cannonRecord();
    noProjectile.projectile = "proj_never_built";
    noProjectile.hasFireSound = true;
    noProjectile.FireSound = "fire_loop.ogg";
    ASSERT_TRUE(weapon_cache::write("w_no_projectile", WeaponCacheKind::Ground, noProjectile));
    WeaponCacheRecord noWarhead = cannonRecord();
    noWarhead.warhead = "wh_never_built";
    ASSERT_TRUE(weapon_cache::write("w_no_warhead", WeaponCacheKind::Ground, noWarhead));

    for (const char* name : {"w_no_cache", "w_no_projectile", "w_no_warhead"}) {
        SCOPED_TRACE(name);
        auto weapon = ground(name);
        const uint32_t ammo = weapon->getAmmo();
        weapon->setUnlimitedAmmo(true);
        for (int i = 0; i < 3; ++i)
            weapon->tick(0.5f, 0.0f, true, true, 0);
        EXPECT_EQ(manager->getShots(), 0u);
        EXPECT_EQ(weapon->getAmmo(), ammo);
        EXPECT_EQ(weapon->getCoolDown(), 0.0f);
        if (weapon->getFireSound()) {
            EXPECT_FALSE(weapon->getFireSound()->isPlaying());
        }
    }
}

TEST_F(GroundWeapon, LoopingSoundPlaysOnlyWhileTheTriggerIsHeld)
{
    WeaponCacheRecord r = cannonRecord();
    r.hasFireSound = true;
    r.FireSound = "fire_loop.ogg";
    r.FireSound_isLoop = true;
    ASSERT_TRUE(weapon_cache::write("w_loop", WeaponCacheKind::Ground, r));
    auto weapon = ground("w_loop");
    audio::Sound* sound = weapon->getFireSound();
    ASSERT_NE(sound, nullptr);
    ASSERT_TRUE(sound->hasData());
    EXPECT_EQ(sound->getParentSceneNode(), weapon->getMuzzleNode());
    weapon->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_TRUE(sound->isPlaying());
    weapon->tick(0.1f, 0.0f, true, false, 0);
    EXPECT_TRUE(sound->isPlaying());
    weapon->tick(0.1f, 0.0f, false, false, 0);
    EXPECT_FALSE(sound->isPlaying());
}

TEST_F(GroundWeapon, DeletingAWeaponLeavesNoNodeOrSoundAndHandsItsReactorToTheWorld)
{
    WeaponCacheRecord r = cannonRecord();
    r.hasFireSound = true;
    r.FireSound = "fire_loop.ogg";
    r.hasFireReactor = true;
    r.FireReactorName = "dust_trail";
    ASSERT_TRUE(weapon_cache::write("w_full", WeaponCacheKind::Ground, r));
    auto weapon = ground("w_full", 9);
    ASSERT_NE(weapon->getFireSound(), nullptr);
    const std::string soundName = weapon->getFireSound()->getName();
    EXPECT_EQ(soundName, "wFireS9");
    VirtualReactor* reactor = weapon->getFireReactor();
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(reactor->getNode()->getParent(), weapon->getMuzzleNode());
    weapon->tick(0.1f, 0.0f, true, false, 0);

    weapon.reset();
    EXPECT_EQ(carrier->numChildren(), 0u);
    EXPECT_FALSE(sounds.hasSound(soundName));
    EXPECT_EQ(reactor->getNode()->getParent(), scene->getRootSceneNode());
    EXPECT_TRUE(reactor->isReleased());
    pool->update(0.1f);  // the pool still runs it
}

}  // namespace
