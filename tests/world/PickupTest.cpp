// Pickups and their manager over Town: lifetime and collection, who may collect, what the repair,
// power-up and weapon kinds do, the slots, the mechanics events, the floor, the idle animation,
// the slow-time bubble and hiding.
#include "PickupTestWorld.h"
#include "VehicleArena.h"

#include "definitions/GameObjectKind.h"
#include "world/GameObjectManager.h"
#include "world/PickUpWeapon.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>

using pickuptest::kOpenGround;

namespace {

class Pickups : public ::testing::Test, public pickuptest::PickupWorld {
protected:
    // Pick 1 and Leave 10 on the interval list's variable row, Pick 100 and Leave 1000 on its HP row.
    void scoreEnds()
    {
        playData.intervalPickupTypes[0].rows[0].Pick = 1.0f;
        playData.intervalPickupTypes[0].rows[0].Leave = 10.0f;
        playData.intervalPickupTypes[0].rows[1].Pick = 100.0f;
        playData.intervalPickupTypes[0].rows[1].Leave = 1000.0f;
    }
    float score() const { return playData.mechaVars[0].value; }
};

}  // namespace

TEST_F(Pickups, LifetimeEndsInPickOrLeave)
{
    struct Case {
        const char* what;
        float timeLive;
        int ticksAway;       // 1 s ticks with the picker 30 units off
        bool pickerArrives;  // then one more 1 s tick with the picker on it
        bool alive;
        float score, hp;  // Pick: 1 / 100, Leave: 10 / 1000
        float damageAfter;
    };
    const Case cases[] = {
        {"no lifetime: never expires", 0.0f, 500, false, true, 0, 0, 50},
        {"no lifetime: taken counts as picked", 0.0f, 500, true, false, 1, 100, 0},
        {"taken before the lifetime is up", 3.0f, 1, true, false, 1, 100, 0},
        {"the tick that reaches the lifetime expires first", 3.0f, 2, true, false, 10, 1000, 50},
        {"expires with nobody near", 3.0f, 3, false, false, 10, 1000, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto def = definition<HealthPickupParams>(6.25f, c.timeLive);
        def->Function = 2;
        def->spawnListPosition = 1;
        def->spawnListKind = 1;
        scoreEnds();
        playData.mechaVars[0].value = playData.hpAccumulator = 0.0f;
        GameObject& picker = object(1, kOpenGround + Ogre::Vector3(30, 0, 0));
        setTaken(picker, 50.0f);
        manager->spawn(def.get(), kOpenGround);
        for (int i = 0; i < c.ticksAway; ++i)
            manager->update(1.0f);
        if (c.pickerArrives) {
            picker.setPosition(kOpenGround + Ogre::Vector3(1, 0, 0));
            manager->update(1.0f);
        }
        EXPECT_EQ(manager->liveCount(), c.alive ? 1u : 0u);
        EXPECT_FLOAT_EQ(score(), c.score);
        EXPECT_FLOAT_EQ(playData.hpAccumulator, c.hp);
        EXPECT_FLOAT_EQ(taken(picker), c.damageAfter);
        restart();
    }
}

TEST_F(Pickups, CollectRangeIsComparedWithTheSquaredHorizontalDistance)
{
    auto def = definition(25.0f);
    GameObject& picker = object(4, kOpenGround + Ogre::Vector3(0, 0, 5.0f));
    Pickup* p = manager->spawn(def.get(), kOpenGround);
    // Height does not count: the picker stands on a roof above it.
    picker.setPosition(kOpenGround + Ogre::Vector3(3.0f, 30.0f, 4.0f));  // exactly 5 across
    EXPECT_FALSE(p->isCollected());
    picker.setPosition(kOpenGround + Ogre::Vector3(0, 30.0f, 4.9f));
    EXPECT_TRUE(p->isCollected());
    EXPECT_EQ(p->getPickerId(), 4u);
}

TEST_F(Pickups, OnlyLiveItemPickersCollectAndTheFirstEntryWins)
{
    auto def = definition();
    // A bystander that picks nothing stands first in the target registry.
    GameObject& bystander = object(2, kOpenGround, &otherDef);
    Pickup* p = manager->spawn(def.get(), kOpenGround);
    EXPECT_FALSE(p->isCollected());

    // Two pickers in range: the earlier target entry takes it, whatever the ids.
    GameObject& late = object(3, kOpenGround + Ogre::Vector3(0.5f, 0, 0));
    GameObject& early = object(9, kOpenGround + Ogre::Vector3(2.0f, 0, 0));
    ASSERT_LT(late.getTargetRegistrySlot(), early.getTargetRegistrySlot());
    EXPECT_TRUE(p->isCollected());
    EXPECT_EQ(p->getPickerId(), 3u);

    // A picker killed by a shot after its own update (damage = HP) takes nothing, so the next one does.
    setTaken(late, 200.0f);
    EXPECT_TRUE(p->isCollected());
    EXPECT_EQ(p->getPickerId(), 9u);
    setTaken(early, 250.0f);
    EXPECT_FALSE(p->isCollected());

    // A target entry whose object slot is free counts for nothing.
    setTaken(early, 0.0f);
    std::unique_ptr<GameObject> unlisted = std::move(objects[9]);
    objects.erase(9);
    EXPECT_FALSE(p->isCollected());
    EXPECT_FLOAT_EQ(taken(bystander), 0.0f);
}

TEST_F(Pickups, ADeadObjectWhosePartsStayTargetableTakesNothing)
{
    // The game's bastion keeps its parts, each with a target entry of its own owned by the bastion.
    GroundObjParams& withParts = fortDef;
    withParts.ItemPicker = true;
    GameObject& fort = object(6, kOpenGround + Ogre::Vector3(40, 0, 40), &withParts);
    ASSERT_GT(fort.getSubObjectCount(), 0u);
    auto def = definition<HealthPickupParams>(1.0e6f);  // anything on the map is in range
    def->Function = 2;
    manager->spawn(def.get(), kOpenGround + Ogre::Vector3(40, 0, 40));
    // Its own entry goes dark (as the parked player's does); the parts' entries stay lit.
    targets.entries()[fort.getTargetRegistrySlot()].active = 0;
    setTaken(fort, withParts.HP);
    manager->update(1.0f / 60.0f);
    EXPECT_EQ(manager->liveCount(), 1u);
    EXPECT_FLOAT_EQ(taken(fort), withParts.HP);  // not repaired back to life

    setTaken(fort, withParts.HP - 1.0f);  // alive: its parts reach the pickup
    manager->update(1.0f / 60.0f);
    EXPECT_EQ(manager->liveCount(), 0u);
    EXPECT_FLOAT_EQ(taken(fort), 0.0f);
}

TEST_F(Pickups, HealthKinds)
{
    struct Case {
        const char* what;
        uint32_t function;
        bool overHeal, perc;
        float value;
        float damageAfter;
        uint8_t playerHit, healed;
    };
    // A picker of 200 HP with 20 damage and OverHPBonus 100.
    const Case cases[] = {
        {"function 1 without over-heal repairs fully", 1, false, true, 0.25f, 0.0f, 0, 1},
        {"function 1 repairs fully even for a tiny value", 1, false, false, 1.0f, 0.0f, 0, 1},
        {"over-heal by a fraction: -280 held at -OverHPBonus", 1, true, true, 1.5f, -100.0f, 0, 1},
        {"over-heal by points beyond the damage", 1, true, false, 50.0f, -30.0f, 0, 1},
        {"over-heal by less than the damage still repairs fully", 1, true, false, 5.0f, 0.0f, 0, 1},
        {"a negative value repairs too but tells of a hit", 1, false, false, -5.0f, 0.0f, 1, 0},
        {"function 2 repairs fully and raises nothing for value 0", 2, true, true, 0.0f, 0.0f, 0, 0},
        {"any other function only raises the flag", 3, true, true, 0.5f, 20.0f, 0, 1},
        {"any other function, negative value", 0, false, false, -1.0f, 20.0f, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto def = definition<HealthPickupParams>();
        def->Function = c.function;
        def->OverHeal = c.overHeal;
        def->Perc = c.perc;
        def->Value = c.value;
        playData.playerHit = playData.healed = 0;
        GameObject& picker = object(1, kOpenGround);
        setTaken(picker, 20.0f);
        manager->spawn(def.get(), kOpenGround);
        manager->update(1.0f / 60.0f);
        EXPECT_EQ(manager->liveCount(), 0u);
        EXPECT_FLOAT_EQ(taken(picker), c.damageAfter);
        EXPECT_EQ(playData.playerHit, c.playerHit);
        EXPECT_EQ(playData.healed, c.healed);
        restart();
    }
}

TEST_F(Pickups, PowerUps)
{
    struct Case {
        const char* what;
        bool turbo, noDamage;
        float turboTime, noDamageTime;  // after 2 s of each already held
        uint8_t requests;               // turboStartRequest and turboPickup
    };
    const Case cases[] = {
        {"turbo", true, false, 10.0f, 2.0f, 1},
        {"no damage", false, true, 2.0f, 8.0f, 0},
        {"both", true, true, 10.0f, 8.0f, 1},
        {"neither", false, false, 2.0f, 2.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto def = definition<GoEffPickupParams>();
        def->TurboMode = c.turbo;
        def->NoDamageMode = c.noDamage;
        def->AddTurbo = 8.0f;
        def->AddNoDamage = 6.0f;
        playData.turboStartRequest = playData.turboPickup = 0;
        GameObject& picker = object(1, kOpenGround);
        picker.setTurboTime(2.0f);
        picker.setNoDamageTime(2.0f);
        manager->spawn(def.get(), kOpenGround);
        manager->update(1.0f / 60.0f);
        EXPECT_EQ(manager->liveCount(), 0u);
        EXPECT_FLOAT_EQ(picker.getTurboTime(), c.turboTime);
        EXPECT_FLOAT_EQ(picker.getNoDamageTime(), c.noDamageTime);
        EXPECT_EQ(picker.getData()->turbo, c.turbo);
        EXPECT_EQ(picker.getData()->noDamage, c.noDamage);
        EXPECT_EQ(playData.turboStartRequest, c.requests);
        EXPECT_EQ(playData.turboPickup, c.requests);
        restart();
    }
}

TEST_F(Pickups, ClassBySlotsGrowAndIdsAreReused)
{
    auto plain = definition();
    auto health = definition<HealthPickupParams>();
    auto power = definition<GoEffPickupParams>();
    auto weapon = definition<PickWeapParams>();
    EXPECT_NE(dynamic_cast<HeathPickup*>(manager->spawn(health.get(), kOpenGround + Ogre::Vector3(0, 0, 50))),
              nullptr);
    EXPECT_NE(dynamic_cast<GoEffPickup*>(manager->spawn(power.get(), kOpenGround + Ogre::Vector3(0, 0, 60))),
              nullptr);
    EXPECT_NE(dynamic_cast<WeaponPickup*>(manager->spawn(weapon.get(), kOpenGround + Ogre::Vector3(0, 0, 70))),
              nullptr);
    Pickup* last = nullptr;
    for (int i = 3; i < 51; ++i) {
        last = manager->spawn(plain.get(), kOpenGround + Ogre::Vector3(float(i), 0, 80));
        EXPECT_EQ(typeid(*last), typeid(Pickup));
    }
    EXPECT_EQ(manager->slotCount(), 76u);
    EXPECT_EQ(last->getPickupId(), 50u);
    EXPECT_EQ(last->getEntity()->getName(), "pickup50");
    EXPECT_EQ(manager->getSpawnedCount(), 51u);
    EXPECT_EQ(manager->spawn(nullptr, kOpenGround), nullptr);

    // The health pickup in slot 0 is taken; the next spawn gets slot 0 and the entity name again.
    object(1, kOpenGround + Ogre::Vector3(0, 0, 50));
    manager->update(1.0f / 60.0f);
    EXPECT_EQ(manager->pickupInSlot(0), nullptr);
    EXPECT_EQ(manager->liveCount(), 50u);
    Pickup* again = manager->spawn(plain.get(), kOpenGround + Ogre::Vector3(0, 0, -50));
    EXPECT_EQ(again->getPickupId(), 0u);
    EXPECT_EQ(again->getEntity()->getName(), "pickup0");

    // The manager takes its nodes and entities with it.
    const size_t nodesBefore = scene->getRootSceneNode()->numChildren();
    manager.reset();
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), nodesBefore - 51u);
    EXPECT_FALSE(scene->hasEntity("pickup0"));
    EXPECT_FALSE(scene->hasEntity("pickup50"));
}

TEST_F(Pickups, MechanicsEventsOnlyForATypeInsideItsList)
{
    struct Case {
        const char* what;
        uint32_t position, kind;
        float interval, timed;  // the variable after spawn, 1 s of life and the pick
    };
    // Spawn 1, Live 2 per second, Pick 4 on each list's row 0.
    const Case cases[] = {
        {"on no list", 0, 1, 0, 0},
        {"interval type 1", 1, 1, 7, 0},
        {"time type 1", 1, 2, 0, 7},
        {"interval type past the list", 2, 1, 0, 0},
        {"time type past the list", 5, 2, 0, 0},
        {"an unknown list", 1, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Variable 0 counts the interval list's events, variable 1 the time list's.
        GamePlayData& d = playData;
        const PickupMechaEffects counted{1.0f, 2.0f, 4.0f, 8.0f};
        d.mechaVars.assign(2, MechaVariable{});
        d.resizeIntervalPickupTypes(1);
        d.intervalPickupTypes[0].rows = {counted, {}, {}};
        d.resizeTimePickupTypes(1);
        d.timePickupTypes[0].rows = {{}, counted, {}};
        auto def = definition(6.25f);
        def->spawnListPosition = c.position;
        def->spawnListKind = c.kind;
        manager->spawn(def.get(), kOpenGround);
        manager->update(1.0f);
        object(1, kOpenGround);
        manager->update(0.0f);
        EXPECT_EQ(manager->liveCount(), 0u);
        EXPECT_FLOAT_EQ(d.mechaVars[0].value, c.interval);
        EXPECT_FLOAT_EQ(d.mechaVars[1].value, c.timed);
        restart();
    }
}

TEST_F(Pickups, LandOnTheProjectileFloorOrStayWhereTheRayMisses)
{
    auto def = definition();
    Pickup* onTown = manager->spawn(def.get(), Ogre::Vector3(20.0f, 5.2f, 30.0f));
    EXPECT_NEAR(onTown->getRootNode()->getPosition().y, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(onTown->getRootNode()->getPosition().x, 20.0f);
    EXPECT_FLOAT_EQ(onTown->getRootNode()->getPosition().z, 30.0f);
    // Town's floor ends 400 units from the centre.
    Pickup* offMap = manager->spawn(def.get(), Ogre::Vector3(600.0f, 5.2f, 0.0f));
    EXPECT_FLOAT_EQ(offMap->getRootNode()->getPosition().y, 5.2f);
}

TEST_F(Pickups, TurnBobAndHide)
{
    auto def = definition();
    def->Rotate = true;
    def->Rotate_Speed = 90.0f;
    def->Levitate = true;
    def->Lev_Range = 0.0174533f;  // one degree per phase unit: a 3 s bob at 120 per second
    def->Lev_Amplitude = 120.0f;
    def->Lev_Offset = 1.0f;
    Pickup* p = manager->spawn(def.get(), kOpenGround);
    Ogre::SceneNode* model = p->getModelNode();
    float lowest = 10.0f, highest = -10.0f, biggestStep = 0.0f, lastY = 2.0f;
    for (int i = 0; i < 180; ++i) {  // 3 s at 60 per second
        manager->update(1.0f / 60.0f);
        const float y = model->getPosition().y;
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
        biggestStep = std::max(biggestStep, std::fabs(y - lastY));
        lastY = y;
        if (i == 59) {  // 1 s: a quarter turn, a third of the bob
            EXPECT_NEAR(model->getOrientation().getYaw().valueDegrees(), 90.0f, 0.01f);
            EXPECT_NEAR(y, std::cos(Ogre::Math::DegreesToRadians(120.0f)) + 1.0f, 1e-3f);
        }
    }
    EXPECT_NEAR(lowest, 0.0f, 1e-3f);  // never below the floor
    EXPECT_NEAR(highest, 2.0f, 1e-3f);
    EXPECT_LT(biggestStep, 0.07f);  // smooth: no jitter between frames
    EXPECT_NEAR(lastY, 2.0f, 1e-3f);

    manager->hideAll();
    EXPECT_FALSE(p->getEntity()->isVisible());
    manager->update(1.0f / 60.0f);  // still there, just out of sight
    EXPECT_EQ(manager->liveCount(), 1u);
}

TEST_F(Pickups, SlowedOnlyInsideASwitchedOnBubble)
{
    auto def = definition(6.25f, 100.0f);
    def->spawnListPosition = 1;
    def->spawnListKind = 2;
    playData.timePickupTypes[0].rows[0].Live = 1.0f;
    Pickup* inside = manager->spawn(def.get(), kOpenGround);
    Pickup* outside = manager->spawn(def.get(), kOpenGround + Ogre::Vector3(40, 0, 0));
    Ogre::SceneNode* carrier = scene->getRootSceneNode()->createChildSceneNode(kOpenGround + Ogre::Vector3(3, 2, 0));
    SlowTimeBubble& bubble = playData.bubble;
    bubble.ownerNode = carrier;
    bubble.radius = 5.0f;
    bubble.scale = 2.0f;
    bubble.timeFactor = 0.25f;
    bubble.active = 0;
    manager->update(1.0f);  // off: both at full speed
    bubble.active = 1;
    manager->update(1.0f);  // on: the near one slowed
    EXPECT_FLOAT_EQ(inside->getAge(), 1.25f);
    EXPECT_FLOAT_EQ(outside->getAge(), 2.0f);
    // Life is reported with the pickup's own time.
    EXPECT_FLOAT_EQ(playData.mechaVars[0].value, 1.0f + 1.0f + 0.25f + 1.0f);
}

// With the player's own vehicle, through the play world's pickups and object slots: weapons are
// given, and a parked (dead) player collects nothing.
TEST(PickupsOnVehicles, WeaponGivenAndNeverToTheParkedPlayer)
{
    vehicletest::Arena arena;
    GameObjectManager& objects = arena.world->objects();
    // Definitions from the world's library, which outlives the objects.
    auto onGround = [&](const Ogre::Vector3& at, uint32_t team) -> GroundVehicle& {
        auto* v = static_cast<GroundVehicle*>(
            objects.spawnByName("abrams", at + Ogre::Vector3(0, 10, 0), team, GameObjectKind::GroundVehicle));
        EXPECT_NE(v, nullptr);
        EXPECT_TRUE(v->getParams()->ItemPicker);
        v->snapToGround();
        v->updateCachedTransform();
        return *v;
    };
    GroundVehicle& player = onGround(Ogre::Vector3(0, 0, 60), 1);
    onGround(Ogre::Vector3(-60, 0, 60), 2);
    PickupManager& manager = arena.world->pickups();
    PickWeapParams twin("pick_weap_twin_cannon");
    ASSERT_TRUE(twin.cacheLoaded());
    ASSERT_EQ(player.getPickUpWeapon(), nullptr);
    manager.spawn(&twin, Ogre::Vector3(0, 3, 61));
    manager.update(vehicletest::kDt);
    EXPECT_EQ(manager.liveCount(), 0u);
    ASSERT_NE(player.getPickUpWeapon(), nullptr);

    // The player dies and is parked below the map; a repair crate on its grave stays.
    HealthPickupParams repair("pick_repair");
    ASSERT_TRUE(repair.cacheLoaded());
    arena.damage->getEntry(player.getDamageSlot())->damageTaken = 5000.0f;
    EXPECT_FALSE(player.update(vehicletest::kDt));
    player.onDestroyed();
    const Ogre::Vector3 grave = player.getMainNode()->_getDerivedPosition();
    manager.spawn(&repair, Ogre::Vector3(grave.x, 3, grave.z));
    for (int i = 0; i < 30; ++i)
        manager.update(vehicletest::kDt);
    EXPECT_EQ(manager.liveCount(), 1u);
    EXPECT_FLOAT_EQ(arena.damage->getEntry(player.getDamageSlot())->damageTaken, 5000.0f);
}
