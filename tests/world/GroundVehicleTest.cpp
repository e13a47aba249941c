// The ground vehicle in a headless arena: its scene, its drive operations, its ticks on the
// ground, its life, and the faults it must not have.
#include "VehicleArena.h"

#include "audio/Sound.h"
#include "world/ParticleStock.h"
#include "world/PickUpWeapon.h"
#include "world/TreadScrollFunction.h"
#include "world/VirtualReactor.h"
#include "world/WeaponCache.h"

#include <OgreAnimationState.h>
#include <OgreControllerManager.h>
#include <OgreSubEntity.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using Ogre::Vector3;
using vehicletest::kDt;

namespace {

class Vehicle : public ::testing::Test, public vehicletest::Arena {
protected:
    // Both corners of every probe of the vehicle, in the world.
    static std::vector<Vector3> probes(GroundVehicle& v)
    {
        v.getMainNode()->_update(true, false);
        std::vector<Vector3> out;
        for (int i = 0; i < GroundVehicle::ProbeCount; ++i)
            out.push_back(v.getProbeNode(i)->_getDerivedPosition());
        return out;
    }
    static bool allWheelsGrounded(const GroundVehicle& v)
    {
        for (const VehicleTread& t : v.getTreads())
            for (const VehicleWheel& w : t.wheels)
                if (!w.grounded)
                    return false;
        return true;
    }
    // Outside the border ring: a 64-sided polygon of radius 150 with a corner on +x.
    static bool beyondBorder(const Vector3& p)
    {
        const float half = Ogre::Math::PI / 64;
        float angle = std::atan2(-p.z, p.x);
        angle = std::fmod(angle + 2 * Ogre::Math::PI, 2 * half) - half;
        return std::sqrt(p.x * p.x + p.z * p.z) * std::cos(angle) > 150.0f * std::cos(half);
    }
    static bool finite(const Vector3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
    // Every scene node below the node, itself included.
    static size_t nodeCount(Ogre::Node* node)
    {
        size_t n = 1;
        for (Ogre::Node* child : node->getChildren())
            n += nodeCount(child);
        return n;
    }
    static size_t materialCount()
    {
        size_t n = 0;
        auto it = Ogre::MaterialManager::getSingleton().getResourceIterator();
        for (; it.hasMoreElements(); it.moveNext())
            ++n;
        return n;
    }
    size_t entityCount() const
    {
        return scene->getMovableObjects(Ogre::EntityFactory::FACTORY_TYPE_NAME).size();
    }

    GroundVehiParams abrams{"abrams"};
    GroundVehiParams marauder{"marauder"};
};

using GroundVehicleScene = Vehicle;
using GroundVehicleDrive = Vehicle;
using GroundVehicleTicks = Vehicle;
using GroundVehicleLife = Vehicle;
using GroundVehicleMended = Vehicle;

}  // namespace

// --- scene ---

TEST_F(GroundVehicleScene, BuildsItsNamedNodeTreeTreadsSoundsReactorsAndRegistrations)
{
    ASSERT_TRUE(abrams.cacheLoaded());
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0}, 0.0f, 5);
    EXPECT_EQ(v.getData()->name, "GrndO_5");
    for (const char* entity : {"GrndO_55", "GrndO_55col", "GrndO_55tur", "GrndO_55t0", "GrndO_55t1"})
        EXPECT_TRUE(scene->hasEntity(entity)) << entity;
    for (const char* sound : {"GV_Crashs5", "GV_Dash5", "GV_Eng5"})
        EXPECT_TRUE(sounds.hasSound(sound)) << sound;
    EXPECT_TRUE(v.engineSound->isLooping());
    EXPECT_FALSE(v.getCrashSound()->isLooping());

    // The tree: body and dynamics roll under dynamics pitch, under terrain roll and pitch, under main.
    EXPECT_EQ(v.getTerrainPitchNode()->getParent(), v.getMainNode());
    EXPECT_EQ(v.getTerrainRollNode()->getParent(), v.getTerrainPitchNode());
    EXPECT_EQ(v.getDynamicsPitchNode()->getParent(), v.getTerrainRollNode());
    EXPECT_EQ(v.getDynamicsRollNode()->getParent(), v.getDynamicsPitchNode());
    EXPECT_EQ(v.getBodyNode()->getParent(), v.getDynamicsPitchNode());
    EXPECT_EQ(v.getTreadRollNode()->getParent(), v.getTreadPitchNode());
    EXPECT_EQ(v.getTreadPitchNode()->getParent(), v.getMainNode());
    EXPECT_EQ(v.getTurretVisualNode()->getParent(), v.getBodyNode());
    EXPECT_EQ(v.getCannonNode()->getParent(), v.getTurretVisualNode());
    EXPECT_EQ(v.getHardPointNode()->getParent(), v.getTurretVisualNode());
    EXPECT_EQ(v.getAimNode()->getParent(), v.getTurretVisualNode());
    EXPECT_EQ(v.getTurretNode()->getParent(), v.getMainNode());
    EXPECT_EQ(v.getTurretVisualNode()->getPosition(), abrams.TurretPos);
    EXPECT_EQ(v.getCannonNode()->getPosition(), abrams.CannonPos);
    EXPECT_EQ(v.getMainWeapon()->getCannonNode()->getParent(), v.getCannonNode());
    EXPECT_TRUE(v.getMainWeapon()->getUnlimitedAmmo());

    // The probes, right-hand ones mirrored from CollPointBRight's x.
    const Vector3 fl = abrams.CollPointFLeft, br = abrams.CollPointBRight;
    const Vector3 expected[] = {fl, {0, fl.y, fl.z}, {-br.x, fl.y, fl.z}, {fl.x, br.y, br.z}, {0, br.y, br.z},
                                {-br.x, br.y, br.z}};
    for (int i = 0; i < GroundVehicle::ProbeCount; ++i) {
        EXPECT_EQ(v.getProbeNode(i)->getParent(), v.getTerrainRollNode());
        EXPECT_EQ(v.getProbeNode(i)->getPosition(), expected[i]) << i;
    }
    EXPECT_GT(v.getProbeNode(GroundVehicle::FrontRight)->getPosition().x, 0.0f);

    // Treads: own material copies scrolled by controllers; wheels with the map's floor reactors.
    ASSERT_EQ(v.getTreads().size(), 2u);
    for (uint32_t i = 0; i < 2; ++i) {
        const VehicleTread& t = v.getTreads()[i];
        const std::string clone = "GrndO_55_" + std::to_string(i) + "Tmat";
        ASSERT_TRUE(t.material);
        EXPECT_EQ(t.material->getName(), clone);
        EXPECT_EQ(t.entity->getSubEntity(0)->getMaterialName(), clone);
        EXPECT_NE(t.scrollController, nullptr);
        ASSERT_NE(t.scrollFunction, nullptr);
        EXPECT_EQ(t.node->getPosition(), abrams.Treads[i].Pos);
        ASSERT_EQ(t.wheels.size(), 2u);
        for (uint32_t w = 0; w < 2; ++w) {
            const VehicleWheel& wheel = t.wheels[w];
            const Ogre::Vector2 at = abrams.Treads[i].Wheels[w].Pos;
            EXPECT_EQ(wheel.node->getPosition(), Vector3(0, at.y, at.x));
            ASSERT_NE(wheel.reactors[0], nullptr);
            ASSERT_NE(wheel.reactors[1], nullptr);
            EXPECT_EQ(wheel.reactors[0]->getParams()->getName(), "floor_dust");
            EXPECT_EQ(wheel.reactors[1]->getParams()->getName(), "dust_trail");
            EXPECT_EQ(wheel.reactors[2], nullptr);
            EXPECT_EQ(wheel.reactors[3], nullptr);
        }
    }
    EXPECT_NE(v.getMoveReactor(), nullptr);
    EXPECT_NE(v.getDashReactor(), nullptr);
    EXPECT_NE(v.getDashJumpEffect(), nullptr);
    EXPECT_NE(v.getCriticalReactor(), nullptr);

    // Animations, the fire animation parked at its end.
    ASSERT_NE(v.getTurretFireAnim(), nullptr);
    EXPECT_FLOAT_EQ(v.getTurretFireAnim()->getTimePosition(), v.getTurretFireAnim()->getLength());
    EXPECT_NE(v.getTurretTurnAnim(), nullptr);
    EXPECT_NE(v.getBaseAccelAnim(), nullptr);
    EXPECT_NE(v.getBaseTurnAnim(), nullptr);

    const DamageEntry* entry = damage->getEntry(v.getDamageSlot());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->bodyKind, 3u);
    EXPECT_EQ(entry->team, 2u);
    EXPECT_EQ(entry->ownerId, 5u);
    EXPECT_EQ(entry->entity, v.getCollisionEntity());
    EXPECT_TRUE(targets.inUse(v.getTargetRegistrySlot()));
    EXPECT_EQ(v.getData()->damageSlot, v.getDamageSlot());
}

TEST_F(GroundVehicleScene, DefinitionsWithoutTurretTreadsWheelsOrTreadMaterial)
{
    struct Case {
        const char* what;
        std::function<void(GroundVehiParams&)> change;
        std::function<void(GroundVehicle&)> check;
    };
    const Case cases[] = {
        {"no turret",
         [](GroundVehiParams& d) { d.hasTurret = false; },
         [&](GroundVehicle& v) {
             EXPECT_EQ(v.getTurretEntity(), nullptr);
             EXPECT_FALSE(scene->hasEntity("GrndO_55tur"));
             EXPECT_EQ(v.getTurretTurnAnim(), nullptr);
             EXPECT_EQ(v.getTurretFireAnim(), nullptr);
             EXPECT_EQ(v.getTurretVisualNode()->getPosition(), Vector3::ZERO);
             EXPECT_EQ(v.getCannonNode()->getPosition(), abrams.CannonPos);
             EXPECT_EQ(v.getAimNode()->getParent(), v.getTurretVisualNode());
         }},
        {"no treads",
         [](GroundVehiParams& d) { d.Treads.clear(); },
         [&](GroundVehicle& v) {
             EXPECT_TRUE(v.getTreads().empty());
             v.getMainNode()->setPosition(0, 3, 0);
             v.setSettleSpeed(-0.5f);
             v.followGround(kDt);  // settles on the body's ray
             EXPECT_LT(v.getMainNode()->getPosition().y, 3.0f);
         }},
        {"a tread without wheels",
         [](GroundVehiParams& d) { d.Treads[1].Wheels.clear(); },
         [&](GroundVehicle& v) {
             ASSERT_EQ(v.getTreads().size(), 2u);
             EXPECT_TRUE(v.getTreads()[1].wheels.empty());
             v.accelerateInput = 1.0f;
             EXPECT_TRUE(run(v, 10));
             EXPECT_EQ(v.getTerrainRoll(), 0.0f);
             EXPECT_EQ(v.getTerrainPitch(), 0.0f);
         }},
        {"an unknown tread material",
         [](GroundVehiParams& d) { d.TreadMatName = "no_such_tread"; },
         [&](GroundVehicle& v) {
             for (const VehicleTread& t : v.getTreads()) {
                 EXPECT_FALSE(t.material);
                 EXPECT_EQ(t.scrollController, nullptr);
                 EXPECT_EQ(t.scrollFunction, nullptr);
             }
             EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("GrndO_55_0Tmat"));
             v.accelerateInput = 1.0f;
             EXPECT_TRUE(run(v, 5));
         }},
        {"a one-character critical reactor",
         [](GroundVehiParams& d) { d.CriticalDam_Reactor = "x"; },
         [&](GroundVehicle& v) { EXPECT_EQ(v.getCriticalReactor(), nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GroundVehiParams d = abrams;
        c.change(d);
        GroundVehicle& v = spawnOnGround(&d, {-50, 0, 50}, 0.0f, 5);
        c.check(v);
        destroy(v);
    }
}

TEST_F(GroundVehicleScene, RightHandProbesMirrorCollPointBRight)
{
    const struct {
        Vector3 br;
        float rightX;
    } rows[] = {{{1, 0, -2}, -1.0f}, {{-1, 0, -2}, 1.0f}};
    for (const auto& row : rows) {
        GroundVehiParams d = abrams;
        d.CollPointFLeft = {-1, 0, 2};
        d.CollPointBRight = row.br;
        GroundVehicle& v = spawnOnGround(&d, {0, 0, 0});
        const Vector3 expected[] = {{-1, 0, 2}, {0, 0, 2}, {row.rightX, 0, 2}, {-1, 0, -2}, {0, 0, -2},
                                    {row.rightX, 0, -2}};
        for (int i = 0; i < GroundVehicle::ProbeCount; ++i)
            EXPECT_EQ(v.getProbeNode(i)->getPosition(), expected[i]) << i;
        destroy(v);
    }
}

TEST_F(GroundVehicleScene, AWeaponGivenTwiceReplacesTheFirstAndPausingSilencesOnlyTheEngine)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    v.giveWeapon("WeapTwinCannon");
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    EXPECT_EQ(v.getPickUpWeapon()->getCannonNode()->getParent(), v.getHardPointNode());
    playData.weaponChanged = 0;
    v.giveWeapon("WeapRocketPod");
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    EXPECT_EQ(v.getHardPointNode()->numChildren(), 1u) << "the first weapon's nodes are gone";
    EXPECT_EQ(playData.weaponChanged, 1);
    EXPECT_EQ(playData.getWeaponIconName(), v.getPickUpWeapon()->getWeaponIcon());
    EXPECT_EQ(playData.getArrowStateName(), v.getPickUpWeapon()->getWeaponArrow());
    EXPECT_FALSE(playData.getWeaponIconName().empty());

    for (audio::Sound* s : {v.engineSound, v.getCrashSound(), v.getDashSound()})
        s->play();
    v.pauseSounds();
    EXPECT_TRUE(v.engineSound->isPaused());
    EXPECT_TRUE(v.getCrashSound()->isPlaying());
    EXPECT_TRUE(v.getDashSound()->isPlaying());
    v.resumeSounds();
    EXPECT_TRUE(v.engineSound->isPlaying());
}

TEST_F(GroundVehicleScene, DeletionLeavesTheSceneMaterialsAndControllersAsBefore)
{
    scene->getRootSceneNode()->_update(true, false);
    const size_t nodes = nodeCount(scene->getRootSceneNode());
    const size_t entities = entityCount();
    const size_t materials = materialCount();
    const uint32_t damageSlots = damage->getNumEntries();
    std::weak_ptr<TreadScrollFunction> scroll;
    {
        GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
        v.giveWeapon("WeapArcCoil");
        v.accelerateInput = 1.0f;
        ASSERT_TRUE(run(v, 30));
        scroll = v.getTreads()[0].scrollFunction;
        ASSERT_FALSE(scroll.expired());
        destroy(v);
    }
    EXPECT_TRUE(scroll.expired()) << "its controller is gone";
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("GrndO_55_0Tmat"));
    EXPECT_EQ(materialCount(), materials);
    for (const DamageEntry& e : damage->entries())
        EXPECT_TRUE(e.free);
    EXPECT_GE(damage->getNumEntries(), damageSlots);
    // The released reactors stay in the world until they have run out.
    EXPECT_GT(pool->liveReactorCount(), 0u);
    for (int i = 0; i < 600 && (pool->liveReactorCount() > 0 || pool->liveEffectCount() > 0); ++i)
        pool->update(0.05f);
    EXPECT_EQ(pool->liveReactorCount(), 0u);
    EXPECT_EQ(pool->liveEffectCount(), 0u);
    EXPECT_EQ(entityCount(), entities);
    // The finished items' root nodes wait, empty, in the pool's stock for the next ones.
    EXPECT_EQ(nodeCount(scene->getRootSceneNode()) - pool->particleStock().spareRootNodeCount(), nodes);
}

// --- drive operations ---

TEST_F(GroundVehicleDrive, AccelerateAndReverseClampScaleByTheSlopeAndHoldTheTopSpeed)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    const float a = abrams.AccelerationRate, top = abrams.MaxVelocity, dt = 0.1f;
    struct Row {
        bool forward;
        float pitch, speed, input, inputAfter, speedAfter;
    };
    const Row rows[] = {
        {true, 0, 0, 1.5f, 1.0f, a * dt},                       // clamped to 1
        {true, 0, 5, -2.0f, 0.0f, 5},                           // clamped to 0
        {true, 45, 0, 1.0f, 0.65f, 0.65f * a * dt},             // uphill: s = 0.65
        {true, -45, 0, 1.0f, 2.0f, 2.0f * a * dt},              // downhill: s = 2
        {true, 0, top, 1.0f, 1.0f, top + a * dt},               // at top it still adds
        {true, 0, top + 1, 1.0f, 1.0f, top + 1 - a * dt * 0.5f},  // above: half back
        {true, 45, 0.65f * top + 1, 1.0f, 0.65f, 0.65f * top + 1 - 0.65f * a * dt * 0.5f},
        {false, 0, 0, 1.5f, 1.0f, -a * dt},
        {false, 45, 0, 1.0f, 2.0f, -2.0f * a * dt},             // reversing down the slope behind
        {false, 0, -top, 1.0f, 1.0f, -top - a * dt},
        {false, 0, -top - 1, 1.0f, 1.0f, -top - 1 + a * dt * 0.5f},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.forward ? "accelerate" : "reverse") << " pitch " << r.pitch
                                        << " speed " << r.speed << " input " << r.input);
        v.setTerrainAngles(0.0f, r.pitch);
        v.setSpeed(r.speed);
        float input = r.input;
        if (r.forward)
            v.accelerate(input, dt);
        else
            v.reverse(input, dt);
        EXPECT_NEAR(input, r.inputAfter, 1e-5f);
        EXPECT_NEAR(v.getSpeed(), r.speedAfter, 1e-4f);
    }
    // The speed multiplier raises the top speed.
    v.setUpgradeMultipliers(2.0f, 0, 0, 0, 0, 0);
    v.setTerrainAngles(0, 0);
    v.setSpeed(top + 1);
    float input = 1.0f;
    v.accelerate(input, dt);
    EXPECT_NEAR(v.getSpeed(), top + 1 + a * dt, 1e-4f);
}

TEST_F(GroundVehicleDrive, TheUpdateChoosesOperationsByTheRevEnableSpeedBand)
{
    // abrams: acceleration 18, brake 30, RevEnableSpeed 2; dt 0.1: steps of 1.8 and 3.
    GroundVehicle& v = spawnOnGround(&abrams, {-60, 0, 60});
    const struct {
        float speed, accelerate, reverse, after;
    } rows[] = {
        {5, 0, 1, 2},       // above the band the reverse input brakes
        {1, 1, 1, 1},       // inside it both act: reverse to -0.8, then accelerate to 1
        {-5, 1, 0, -2},     // below it the accelerate input brakes
        {-1, 0, 1, -2.8f},  // reversing on, the brake gets no input
        {3, 1, 0, 4.8f},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "speed " << r.speed << " inputs " << r.accelerate << " " << r.reverse);
        v.setSpeed(r.speed);
        v.accelerateInput = r.accelerate;
        v.reverseInput = r.reverse;
        ASSERT_TRUE(v.update(0.1f));
        EXPECT_NEAR(v.getSpeed(), r.after, 1e-4f);
    }
}

TEST_F(GroundVehicleDrive, BrakeCoastAndTurn)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    // Braking never changes the sign.
    for (const float from : {1.0f, -1.0f}) {
        v.setSpeed(from);
        float input = 2.0f;
        v.brake(input, 0.1f);  // a step of 3
        EXPECT_EQ(v.getSpeed(), 0.0f);
        EXPECT_EQ(input, 1.0f);
    }
    // Coasting only with both inputs exactly 0, toward 0 without crossing it.
    const struct {
        float speed, accelerate, reverse, after;
    } coast[] = {{5, 0, 0, 4}, {5, 0.001f, 0, 5}, {5, 0, 0.001f, 5}, {0.5f, 0, 0, 0}, {-0.5f, 0, 0, 0}, {0, 0, 0, 0}};
    for (const auto& c : coast) {
        v.setSpeed(c.speed);
        v.accelerateInput = c.accelerate;
        v.reverseInput = c.reverse;
        v.coast(0.1f);  // DeccelerationRate 10: a step of 1
        EXPECT_FLOAT_EQ(v.getSpeed(), c.after) << c.speed << " " << c.accelerate << " " << c.reverse;
    }
    // Turning: clamped, halved by a full reverse input, eased by slopes; +1 turns left.
    const struct {
        float input, reverse, pitch, roll, written;
    } turns[] = {{2, 0, 0, 0, 1}, {-2, 0, 0, 0, -1}, {1, 1, 0, 0, 0.5f}, {1, 0, 90, 0, 0.2f},
                 {1, 0, 0, -90, 0.2f}, {-1, 0, 0, 90, -0.2f}, {1, 0, 0, 90, 1.8f}};
    for (const auto& t : turns) {
        v.getMainNode()->resetOrientation();
        v.reverseInput = t.reverse;
        v.setTerrainAngles(t.roll, t.pitch);
        float input = t.input;
        v.turn(input, 0.1f);
        EXPECT_NEAR(input, t.written, 1e-5f);
        EXPECT_NEAR(v.getTurnStep(), abrams.TurnRate * t.written * 0.1f, 1e-4f);
        EXPECT_NEAR(v.getYaw(), v.getTurnStep(), 1e-3f);
    }
}

TEST_F(GroundVehicleDrive, DashPowerFollowsTheRechargeTimer)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    const float refresh = abrams.JumpDashRefreshTime, low = abrams.JumpDashOverDPerc;
    const struct {
        float recharge, input, phase;
    } rows[] = {{0, 1, 1}, {refresh, 1, low}, {refresh / 2, 1, (low + 1) / 2}, {0, -1, -1}, {0, 0.5f, 0.5f}};
    for (const auto& r : rows) {
        v.setDashRecharge(r.recharge);
        v.dashInput = r.input;
        ASSERT_TRUE(v.update(0.0f));  // dt 0: the phase stays where the start put it
        EXPECT_TRUE(v.isDashActive());
        EXPECT_NEAR(v.getDashPhase(), r.phase, 1e-5f) << r.recharge << " " << r.input;
        EXPECT_NEAR(v.getSettleSpeed(), std::fabs(r.phase / r.input) * abrams.JumpDashVerticalJump, 1e-5f);
        // End it before the next row.
        v.dashInput = 0;
        v.setDashPhase(0.001f);
        ASSERT_TRUE(v.update(0.1f));
        EXPECT_FALSE(v.isDashActive());
        EXPECT_EQ(v.getSpeed(), 0.0f);
        EXPECT_NEAR(v.getDashRecharge(), refresh, 1e-5f);
    }
}

TEST_F(GroundVehicleDrive, DashMotionEndsWhenThePhasePassesZero)
{
    GroundVehicle& v = spawnOnGround(&abrams, {-60, 0, 60});
    const float range = abrams.JumpDashRange, time = abrams.JumpDashJumpTime, dt = 0.1f;
    // Phase 1, step dt / time: forward by range x new phase x dt.
    v.setDashPhase(1.0f);
    const Vector3 start = v.getMainNode()->getPosition();
    v.updateDashMotion(dt);
    const float phase = 1.0f - dt / time;
    EXPECT_NEAR(v.getDashPhase(), phase, 1e-5f);
    EXPECT_NEAR(start.z - v.getMainNode()->getPosition().z, range * phase * dt, 1e-4f);
    EXPECT_EQ(v.isGrounded(), false);
    // A phase smaller than the step ends the dash without moving.
    v.setDashPhase(0.05f);
    v.setSpeed(4.0f);
    const Vector3 before = v.getMainNode()->getPosition();
    v.updateDashMotion(dt);
    EXPECT_EQ(v.getDashPhase(), 0.0f);
    EXPECT_EQ(v.getSpeed(), 0.0f);
    EXPECT_EQ(v.getDashRecharge(), abrams.JumpDashRefreshTime);
    EXPECT_EQ(v.getMainNode()->getPosition(), before);
}

TEST_F(GroundVehicleDrive, TheTurretTurnsTowardItsAimPointWithinItsLimits)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    const float full = abrams.TurretSpeed * 0.1f;
    v.getMainNode()->_update(true, false);
    const Vector3 eye = v.getAimNode()->_getDerivedPosition();
    // The direction from the aim node to the point (turret at rest = world axes) and the turn.
    const struct {
        float x, z, turn;
    } rows[] = {{0, -1, 0}, {-0.05f, -1, 0.5f}, {0.05f, -1, -0.5f}, {-0.3f, -1, 1}, {0.3f, -1, -1},
                {-0.001f, 1, 1}, {0.001f, 1, -1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << " " << r.z);
        v.getTurretVisualNode()->resetOrientation();
        v.getTurretTurnAnim()->setTimePosition(1.0f);
        v.mouseAim = 1;
        v.aimPoint = eye + Vector3(r.x, 0, r.z).normalisedCopy() * 20.0f;
        v.updateTurret(0.1f);
        // The step stops at the aim point when that lies closer than the step.
        const float left = std::fabs(Ogre::Math::ATan2(r.x, -r.z).valueDegrees());
        const float expected = std::clamp(r.turn * full, -left, left);
        EXPECT_NEAR(v.getTurretVisualNode()->getOrientation().getYaw().valueDegrees(), expected, 0.05f);
        EXPECT_NEAR(v.getTurretTurnAnim()->getTimePosition(), 1.0f + r.turn * abrams.Tur_TurnAmim_spd * 0.1f, 0.01f);
    }
    // At ten frames a second the turret comes onto a point 40 degrees aside without swinging past
    // it, and stays there.
    v.getTurretVisualNode()->resetOrientation();
    v.aimPoint = eye + Vector3(-std::sin(Ogre::Math::DegreesToRadians(40)), 0, -std::cos(Ogre::Math::DegreesToRadians(40))) * 20.0f;
    for (int tick = 0; tick < 20; ++tick) {
        v.updateTurret(0.1f);
        EXPECT_LE(v.getTurretVisualNode()->getOrientation().getYaw().valueDegrees(), 40.01f) << tick;
    }
    EXPECT_NEAR(v.getTurretVisualNode()->getOrientation().getYaw().valueDegrees(), 40.0f, 0.05f);

    // An offset aim point of zero leaves everything where it is.
    v.getTurretVisualNode()->resetOrientation();
    const Ogre::Quaternion aim = v.getAimNode()->getOrientation();
    v.mouseAim = 0;
    v.aimPoint = Vector3::ZERO;
    v.updateTurret(0.1f);
    EXPECT_EQ(v.getAimNode()->getOrientation(), aim);
    EXPECT_EQ(v.getTurretVisualNode()->getOrientation(), Ogre::Quaternion::IDENTITY);

    // The restriction flags by speed.
    const struct {
        uint8_t moving, stopped;
        float speed;
        bool turns;
    } flags[] = {{1, 0, 0.2f, true}, {1, 0, 0.5f, false}, {1, 0, -0.5f, false}, {0, 1, 0.2f, false},
                 {0, 1, 0.3f, false}, {0, 1, 0.5f, true}};
    for (const auto& f : flags) {
        v.getTurretVisualNode()->resetOrientation();
        v.MoveTTurnDisable = f.moving;
        v.StopTTurnDisable = f.stopped;
        v.setSpeed(f.speed);
        v.mouseAim = 1;
        v.aimPoint = eye + Vector3(-1, 0, -1) * 20.0f;
        v.updateTurret(0.1f);
        EXPECT_EQ(v.getTurretVisualNode()->getOrientation() != Ogre::Quaternion::IDENTITY, f.turns)
            << int(f.moving) << int(f.stopped) << " " << f.speed;
    }
}

TEST_F(GroundVehicleDrive, EngineAndCrashSoundsFollowTheSpeed)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 0});
    const struct {
        float speed, pitch, gain;
    } engine[] = {{0, 0.5f, 0.3f}, {22.5f, 1.35f, 0.7f}, {100, 2.2f, 1.1f}, {-100, 2.2f, 1.1f}, {-22.5f, 1.35f, 0.7f}};
    for (const auto& e : engine) {
        v.setSpeed(e.speed);
        v.updateEngineSound();
        EXPECT_NEAR(v.engineSound->getPitch(), e.pitch, 1e-5f) << e.speed;
        EXPECT_NEAR(v.engineSound->getGain(), e.gain, 1e-5f) << e.speed;
    }
    const struct {
        float speed;
        bool sounds;
        float pitch, gain;
    } crashes[] = {{6.0f, false, 0, 0}, {-20.0f, false, 0, 0}, {23.0f, true, 0.95f, 0.65f}, {40.0f, true, 1.2f, 1.0f},
                   {80.0f, true, 1.2f, 1.0f}};
    for (const auto& c : crashes) {
        SCOPED_TRACE(c.speed);
        v.getCrashSound()->stop();
        v.setSpeed(c.speed);
        v.onCrash(kDt);
        EXPECT_EQ(v.getCrashSound()->isPlaying(), c.sounds);
        if (c.sounds) {
            EXPECT_NEAR(v.getCrashSound()->getPitch(), c.pitch, 1e-4f);
            EXPECT_NEAR(v.getCrashSound()->getGain(), c.gain, 1e-4f);
        }
        EXPECT_FLOAT_EQ(v.getSpeed(), c.speed * -0.125f);
    }
    // A dash crash measures JumpDashRange x phase, and ends the dash.
    v.getCrashSound()->stop();
    v.dashInput = 1.0f;
    ASSERT_TRUE(v.update(0.0f));
    v.dashInput = 0.0f;
    v.onCrash(kDt);
    EXPECT_TRUE(v.getCrashSound()->isPlaying());  // 22 x 1 > 6
    EXPECT_FALSE(v.isDashActive());
    EXPECT_EQ(v.getDashPhase(), 0.0f);
    EXPECT_EQ(v.getDashRecharge(), abrams.JumpDashRefreshTime);
}

// --- ticks on the ground ---

TEST_F(GroundVehicleTicks, FullAccelerateCoversItsSpeedsStandsOnTheFloorAndSettlesAtTop)
{
    GroundVehicle& v = spawnOnGround(&abrams, {-100, 0, 100}, -90.0f);  // facing +x
    const Vector3 start = v.getMainNode()->getPosition();
    v.accelerateInput = 1.0f;
    float covered = 0.0f;
    for (int i = 0; i < 240; ++i) {
        ASSERT_TRUE(v.update(kDt));
        covered += v.getSpeed() * kDt;
        const Vector3 p = v.getMainNode()->getPosition();
        ASSERT_NEAR(p.y, abrams.groundOffset.y, 1e-3f) << i;
        ASSERT_TRUE(allWheelsGrounded(v)) << i;
        ASSERT_NEAR(p.x - start.x, covered, 0.01f) << i;
        ASSERT_NEAR(p.z, start.z, 1e-3f) << i;
    }
    EXPECT_GE(v.getSpeed(), abrams.MaxVelocity - abrams.AccelerationRate * kDt);
    EXPECT_LE(v.getSpeed(), abrams.MaxVelocity + abrams.AccelerationRate * kDt);
    // The treads scroll together, against the motion.
    const float rate = -abrams.TreadMatMovVar * v.getSpeed() / abrams.MaxVelocity;
    EXPECT_NEAR(v.getTreads()[0].scrollFunction->getRate(), rate, 1e-4f);
    EXPECT_NEAR(v.getTreads()[1].scrollFunction->getRate(), rate, 1e-4f);
}

TEST_F(GroundVehicleTicks, SteeringOneSecondTurnsTheTurnRateAndTheTreadsScrollOppositeWays)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    v.steerInput = 1.0f;
    ASSERT_TRUE(run(v, 60));
    EXPECT_NEAR(v.getYaw(), abrams.TurnRate, 0.05f);
    EXPECT_NEAR(v.getMainNode()->getPosition().x, 0.0f, 1e-3f);
    EXPECT_NEAR(v.getMainNode()->getPosition().z, 60.0f, 1e-3f);
    const float turn = abrams.TreadMatTurnVar;
    ASSERT_NE(v.getTreads()[0].scrollFunction, nullptr);
    EXPECT_NEAR(v.getTreads()[0].scrollFunction->getRate(), turn, 1e-4f);
    EXPECT_NEAR(v.getTreads()[1].scrollFunction->getRate(), -turn, 1e-4f);

    // The controllers move the texture of each tread's own material by frame time x rate.
    Ogre::FrameEvent frame{0.0f, 0.25f};
    headless.engine.root()->_fireFrameStarted(frame);
    for (const VehicleTread& t : v.getTreads())
        t.scrollController->update();
    const auto scroll = [&](int i) {
        return v.getTreads()[i].material->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getTextureVScroll();
    };
    EXPECT_NEAR(scroll(0), 0.25f * turn, 1e-4f);
    EXPECT_NEAR(scroll(1), std::fmod(-0.25f * turn, 1.0f), 1e-4f);
    // Frames without a tick of the vehicle (a paused or held play) leave the treads still; the next
    // tick moves them on.
    for (int i = 0; i < 3; ++i) {
        headless.engine.root()->_fireFrameStarted(frame);
        for (const VehicleTread& t : v.getTreads())
            t.scrollController->update();
    }
    EXPECT_NEAR(scroll(0), 0.25f * turn, 1e-4f);
    EXPECT_NEAR(scroll(1), std::fmod(-0.25f * turn, 1.0f), 1e-4f);
    ASSERT_TRUE(run(v, 1));
    headless.engine.root()->_fireFrameStarted(frame);
    for (const VehicleTread& t : v.getTreads())
        t.scrollController->update();
    EXPECT_NEAR(scroll(0), std::fmod(0.5f * turn, 1.0f), 1e-4f);
    // A non-finite rate is refused.
    v.getTreads()[0].scrollFunction->setRate(std::nanf(""));
    EXPECT_NEAR(v.getTreads()[0].scrollFunction->getRate(), turn, 1e-4f);
}

TEST_F(GroundVehicleTicks, DrivingUpTheRampItTiltsAndLeftIdleItRollsDown)
{
    // On the ramp's lower half, facing uphill (-z); the treads tilt while it follows the ground.
    GroundVehicle& v = spawnOnGround(&abrams, {40, 0, 8});
    v.accelerateInput = 1.0f;
    ASSERT_TRUE(run(v, 30));
    // Nose up: 20 degrees per unit between a tread's front and back wheel hits (slope 0.4).
    EXPECT_GT(v.getTerrainPitch(), 18.0f);
    EXPECT_LT(v.getTerrainPitch(), 27.0f);
    EXPECT_NEAR(v.getTerrainRoll(), 0.0f, 0.1f);
    EXPECT_NEAR(v.getTreadPitchNode()->getOrientation().getPitch().valueDegrees(), v.getTerrainPitch(), 1.5f);
    EXPECT_NEAR(v.getTerrainPitchNode()->getOrientation().getPitch().valueDegrees(),
                abrams.BasePitchPerc * v.getTerrainPitch(), 1.5f);
    // The slope slows the climb: below the flat acceleration.
    EXPECT_LT(v.getSpeed(), abrams.AccelerationRate * 30 * kDt);
    EXPECT_GT(v.getSpeed(), 0.0f);
    // Left idle it stops and rolls back down, on the ramp.
    const float released = v.getMainNode()->getPosition().z;
    v.accelerateInput = 0.0f;
    ASSERT_TRUE(run(v, 60));
    EXPECT_LT(v.getSpeed(), 0.0f);
    EXPECT_GT(v.getMainNode()->getPosition().z, released + 1.0f);
    const Vector3 p = v.getMainNode()->getPosition();
    EXPECT_NEAR(p.y, floorHeight(p) + abrams.groundOffset.y, 0.3f);
}

TEST_F(GroundVehicleTicks, ItStopsShortOfTheBlockerAndTheBorder)
{
    const struct {
        Vector3 at;
        float yaw;
        std::function<bool(const Vector3&)> inside;
    } runs[] = {
        {{0, 0, -20}, 0.0f, [](const Vector3& p) { return p.x > -6 && p.x < 6 && p.z > -46 && p.z < -40; }},
        {{130, 0, 0}, -90.0f, [](const Vector3& p) { return beyondBorder(p); }},
    };
    for (const auto& r : runs) {
        GroundVehicle& v = spawnOnGround(&abrams, r.at, r.yaw);
        v.accelerateInput = 1.0f;
        for (int i = 0; i < 300; ++i) {
            ASSERT_TRUE(v.update(kDt));
            for (const Vector3& p : probes(v))
                ASSERT_FALSE(r.inside(p)) << "tick " << i << " probe at " << p;
        }
        EXPECT_GT((v.getMainNode()->getPosition() - r.at).length(), 12.0f) << "it got there";
        destroy(v);
    }
}

TEST_F(GroundVehicleTicks, ADashMovesHoversThenFallsByGrowingStepsAndLands)
{
    // Near the ramp's top edge (z -10), facing over it: the dash ends above the low floor.
    GroundVehicle& v = spawnOnGround(&abrams, {40, 0, -8});
    const float top = v.getMainNode()->getPosition().y;
    v.dashInput = 1.0f;
    std::vector<Vector3> path{v.getMainNode()->getPosition()};
    for (int i = 0; i < 80; ++i) {
        ASSERT_TRUE(v.update(kDt));
        v.dashInput = 0.0f;
        path.push_back(v.getMainNode()->getPosition());
    }
    // Moving forward while the dash lasts (JumpDashJumpTime), at the hover height meanwhile.
    const int dashTicks = int(abrams.JumpDashJumpTime / kDt);
    const int hoverTicks = int(abrams.JumpDashVerticalJump / kDt);
    for (int i = 1; i < std::min(dashTicks, hoverTicks); ++i) {
        EXPECT_LT(path[i].z, path[i - 1].z) << i;
        EXPECT_NEAR(path[i].y, top, 1e-4f) << i;
    }
    EXPECT_FALSE(v.isDashActive());
    // Then each step down is dt longer than the one before, until it stands on the low floor.
    int first = -1;
    for (int i = 1; i < int(path.size()); ++i)
        if (path[i].y < path[i - 1].y - 1e-3f) {
            first = i;
            break;
        }
    ASSERT_GE(first, hoverTicks);
    ASSERT_LE(first, hoverTicks + 2);
    int landed = -1;
    for (int i = first + 1; i < int(path.size()); ++i) {
        if (std::fabs(path[i].y - abrams.groundOffset.y) < 1e-4f) {
            landed = i;
            break;
        }
        const float step = path[i].y - path[i - 1].y, before = path[i - 1].y - path[i - 2].y;
        EXPECT_NEAR(step - before, -kDt, 1e-4f) << i;
    }
    ASSERT_GT(landed, first);
    EXPECT_TRUE(v.isGrounded());
    for (int i = landed; i < int(path.size()); ++i)
        EXPECT_NEAR(path[i].y, abrams.groundOffset.y, 1e-4f);
}

TEST_F(GroundVehicleTicks, FloorReactorsFollowTheFloorUnderEachWheelAndTheSpeed)
{
    const struct {
        Vector3 at;
        float speed;
        int on;  // reactor index switched on, -1 for all off
    } rows[] = {{{0, 0, 60}, 3.0f, 0}, {{0, 0, 60}, 2.0f, -1}, {{40, 0, 0}, 3.0f, 1}, {{40, 0, 0}, -3.0f, 1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.at << " speed " << r.speed);
        GroundVehicle& v = spawnOnGround(&abrams, r.at);
        v.setSpeed(r.speed);
        v.setGrounded(false);
        v.followGround(kDt);
        // On the ramp the untilted treads touch it with their front wheels only.
        int grounded = 0;
        for (const VehicleTread& t : v.getTreads())
            for (const VehicleWheel& w : t.wheels) {
                grounded += w.grounded;
                EXPECT_EQ(w.floorKind, r.at.x == 40 ? 2u : 1u);
                for (int k = 0; k < 2; ++k)
                    EXPECT_EQ(w.reactors[k]->getState(), w.grounded && k == r.on ? 2 : 1) << k;
            }
        EXPECT_GE(grounded, 2);
        destroy(v);
    }
}

TEST_F(GroundVehicleTicks, WheelGapTerrainAnglesTiltStepsAndTheStillPitch)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    // A wheel 0.01 above the floor counts as grounded when that is within the tick's dt.
    const struct {
        float dt;
        bool grounded;
    } gaps[] = {{0.016f, true}, {0.005f, false}};
    for (const auto& g : gaps) {
        v.getMainNode()->setPosition(0, abrams.groundOffset.y + 0.01f, 60);
        v.setSettleSpeed(0.0f);
        v.followGround(g.dt);
        EXPECT_EQ(v.getTreads()[0].wheels[0].grounded != 0, g.grounded) << g.dt;
    }
    // Terrain angles from the wheels' last hits: 0.8 between the treads is 18 degrees of roll,
    // 0.5 between a tread's last and first wheel 10 degrees of pitch.
    const struct {
        float left0, left1, right0, right1, roll, pitch;
    } hits[] = {{0, 0, 0.8f, 0.8f, 18, 0}, {0, 0.5f, 0, 0.5f, 0, 10}, {0.8f, 0.8f, 0, 0, -18, 0}};
    for (const auto& h : hits) {
        auto& treads = v.treads();
        treads[0].wheels[0].hitPoint.y = h.left0;
        treads[0].wheels[1].hitPoint.y = h.left1;
        treads[1].wheels[0].hitPoint.y = h.right0;
        treads[1].wheels[1].hitPoint.y = h.right1;
        v.updateTerrainTilt(kDt);
        EXPECT_NEAR(v.getTerrainRoll(), h.roll, 1e-4f);
        EXPECT_NEAR(v.getTerrainPitch(), h.pitch, 1e-4f);
    }
    // A tilt step ends exactly on its target: from 9 or 11 degrees toward 10 with steps of 5.
    const float target = 10.0f, dt = 5.0f / abrams.BaseRollSpd;
    v.setTerrainAngles(target / abrams.BaseRollPerc, 0.0f);
    for (const float from : {9.0f, 11.0f}) {
        v.getTerrainRollNode()->setOrientation(Ogre::Quaternion(Ogre::Degree(from), Vector3::UNIT_Z));
        v.updateBaseTilt(dt);
        EXPECT_NEAR(v.getTerrainRollNode()->getOrientation().getRoll().valueDegrees(), target, 1e-3f) << from;
    }
    // Barely moving the hull does not lean, whatever the inputs and the dash.
    v.setSpeed(0.19f);
    v.accelerateInput = 1.0f;
    v.reverseInput = 1.0f;
    v.setDashPhase(1.0f);
    v.updateMoveTilt(kDt);
    EXPECT_EQ(v.getDynamicsPitch(), 0.0f);
    v.setSpeed(5.0f);
    v.updateMoveTilt(kDt);
    EXPECT_NE(v.getDynamicsPitch(), 0.0f);
}

// --- life ---

TEST_F(GroundVehicleLife, DeathParksTheVehicleOnceAndRespawnBringsItBack)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    v.giveWeapon("WeapTwinCannon");
    v.engineSound->play();
    ASSERT_TRUE(v.update(kDt));  // the spawn effect
    v.addDamage(2000.0f);
    EXPECT_FALSE(v.update(kDt)) << "damage beyond the HP: dead";
    const size_t effects = pool->liveEffectCount();
    const Vector3 at = v.getMainNode()->getPosition();
    v.onDestroyed();
    EXPECT_EQ(pool->liveEffectCount(), effects + 1) << "the death effect";
    EXPECT_FALSE(v.isAlive());
    EXPECT_EQ(v.getPickUpWeapon(), nullptr);
    EXPECT_FALSE(targets.inUse(v.getTargetRegistrySlot()));
    EXPECT_FLOAT_EQ(v.getMainNode()->getPosition().y, at.y - 1000.0f);
    EXPECT_FALSE(v.getEntity()->isVisible());
    EXPECT_FALSE(v.getTreads()[0].entity->isVisible());
    EXPECT_FALSE(v.engineSound->isPlaying());
    v.onDestroyed();  // parked already: nothing
    EXPECT_EQ(pool->liveEffectCount(), effects + 1);
    EXPECT_FLOAT_EQ(v.getMainNode()->getPosition().y, at.y - 1000.0f);

    // Placed by the rules, then respawned without a spawn effect.
    v.getMainWeapon()->setAmmo(3);
    v.getMainNode()->setPosition(10, 20, 60);
    v.getMainNode()->yaw(Ogre::Degree(40));
    v.respawn(0);
    EXPECT_TRUE(v.isAlive());
    EXPECT_EQ(v.getHP(), float(v.getData()->hitPoints));
    EXPECT_TRUE(targets.inUse(v.getTargetRegistrySlot()));
    EXPECT_TRUE(v.getEntity()->isVisible());
    EXPECT_TRUE(v.getTreads()[0].entity->isVisible());
    EXPECT_TRUE(v.engineSound->isPlaying());
    EXPECT_EQ(v.getMainWeapon()->getAmmo(), v.getMainWeapon()->getMaxAmmo());
    EXPECT_EQ(v.getMainNode()->getOrientation(), Ogre::Quaternion::IDENTITY);
    EXPECT_NEAR(v.getMainNode()->getPosition().y, abrams.groundOffset.y, 1e-4f);
    EXPECT_FALSE(v.isSpawnEffectPending());
    const size_t before = pool->liveEffectCount();
    ASSERT_TRUE(v.update(kDt));
    EXPECT_EQ(pool->liveEffectCount(), before);
    v.respawn(1);
    ASSERT_TRUE(v.update(kDt));
    EXPECT_EQ(pool->liveEffectCount(), before + 1) << "the spawn effect at the next update";
}

TEST_F(GroundVehicleLife, TheWreckPoseTurnsHullAndTurret)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    v.accelerateInput = 1.0f;
    v.steerInput = 0.5f;
    ASSERT_TRUE(run(v, 20));
    v.setWreckPose();
    EXPECT_NEAR(v.getYaw(), 150.0f, 1e-3f);
    EXPECT_NEAR(v.getTurretVisualNode()->getOrientation().getYaw().valueDegrees(), 25.0f, 1e-3f);
    EXPECT_EQ(v.getSpeed(), 0.0f);
    EXPECT_EQ(v.getDynamicsPitchNode()->getOrientation(), Ogre::Quaternion::IDENTITY);
    EXPECT_NEAR(v.getMainNode()->getPosition().y, abrams.groundOffset.y, 1e-4f);
    EXPECT_EQ(v.getMoveReactor()->getState(), 1);
}

TEST_F(GroundVehicleLife, DamageIsReportedOnceAndHitPointsFollowTheUpgrades)
{
    playData.mechaVars.resize(1);
    playData.mechaVars[0].PlayerHit = 1.0f;
    playData.mechaVars[0].PlayerDamage = 1.0f;
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    ASSERT_TRUE(v.update(kDt));
    EXPECT_EQ(playData.mechaVars[0].value, 0.0f);
    v.addDamage(30.0f);
    ASSERT_TRUE(v.update(kDt));
    EXPECT_FLOAT_EQ(playData.mechaVars[0].value, 31.0f);
    ASSERT_TRUE(v.update(kDt));
    ASSERT_TRUE(v.update(kDt));
    EXPECT_FLOAT_EQ(playData.mechaVars[0].value, 31.0f) << "reported once";
    v.addDamage(10.0f);
    ASSERT_TRUE(v.update(kDt));
    EXPECT_FLOAT_EQ(playData.mechaVars[0].value, 42.0f);

    // HP: the multipliers of 0 read as 1; 1.5 rescales at once and scales later setHP.
    v.setUpgradeMultipliers(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(v.getData()->hitPoints, 1000u);
    for (float m : {v.getSpeedMultiplier(), v.getAccelerationMultiplier(), v.getDashMultiplier(), v.getHPMultiplier()})
        EXPECT_EQ(m, 1.0f);
    v.setHP(100.9f);
    EXPECT_EQ(v.getData()->hitPoints, 100u);
    v.setUpgradeMultipliers(1, 1, 1.5f, 1, 1, 1);
    EXPECT_EQ(v.getData()->hitPoints, 150u);
    v.setHP(100.0f);
    EXPECT_EQ(v.getData()->hitPoints, 150u);
    // Dead when the damage equals the HP.
    v.addDamage(150.0f - 40.0f);
    EXPECT_EQ(v.getHP(), 0.0f);
    EXPECT_FALSE(v.update(kDt));
}

// --- mended faults ---

TEST_F(GroundVehicleMended, AMarauderDashWithoutDashTimesStaysFiniteAndStops)
{
    // JumpDashJumpTime and JumpDashRefreshTime are 0: no division by them.
    GroundVehicle& v = spawnOnGround(&marauder, {0, 0, 60});
    const Vector3 start = v.getMainNode()->getPosition();
    v.dashInput = 1.0f;
    ASSERT_TRUE(v.update(kDt));
    EXPECT_FALSE(v.isDashActive());
    EXPECT_EQ(v.getDashPhase(), 0.0f);
    v.dashInput = 0.0f;
    ASSERT_TRUE(run(v, 30));
    EXPECT_TRUE(finite(v.getMainNode()->getPosition()));
    EXPECT_TRUE(v.getMainNode()->getPosition().positionEquals(start, 1e-3f));
}

TEST_F(GroundVehicleMended, AnUpdateOfZeroTimeWhileMovingStaysFinite)
{
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    v.accelerateInput = 1.0f;
    v.steerInput = 0.5f;
    ASSERT_TRUE(run(v, 30));
    ASSERT_TRUE(v.update(0.0f));
    EXPECT_TRUE(finite(v.getMainNode()->getPosition()));
    EXPECT_TRUE(std::isfinite(v.getDynamicsRoll()));
    EXPECT_TRUE(std::isfinite(v.getDynamicsPitch()));
    EXPECT_TRUE(std::isfinite(v.getTreads()[0].scrollFunction->getRate()));
    EXPECT_FALSE(v.getDynamicsRollNode()->getOrientation().isNaN());
    ASSERT_TRUE(run(v, 5));
    EXPECT_TRUE(finite(v.getMainNode()->getPosition()));
}

TEST_F(GroundVehicleMended, TreadsOfThreeAndTwoWheelsReadTheirOwnLastWheel)
{
    GroundVehiParams d = abrams;
    d.Treads[0].Wheels.insert(d.Treads[0].Wheels.begin() + 1, {Ogre::Vector2(0.0f, -0.03f), 0.42f});
    // Up the ramp: both treads alike, so no roll; the pitch of the slope.
    GroundVehicle& v = spawnOnGround(&d, {40, 0, 8});
    v.accelerateInput = 1.0f;
    ASSERT_TRUE(run(v, 30));
    EXPECT_NEAR(v.getTerrainRoll(), 0.0f, 0.5f);
    EXPECT_GT(v.getTerrainPitch(), 18.0f);
    EXPECT_LT(v.getTerrainPitch(), 27.0f);
    // The height is the mean of all five wheels.
    float sum = 0.0f;
    for (const VehicleTread& t : v.getTreads())
        for (const VehicleWheel& w : t.wheels)
            sum += w.hitPoint.y;
    EXPECT_NEAR(v.getMainNode()->getPosition().y, sum / 5.0f + d.groundOffset.y, 1e-3f);
}

TEST_F(GroundVehicleMended, APickUpWeaponWithoutFireIntervalReportsItselfLoaded)
{
    WeaponCacheRecord r;
    r.projectileType = 1;
    r.projectile = "proj_bullet";
    r.warheadType = 1;
    r.warhead = "wh_explosive";
    r.ammo = 5;
    r.RateOfFire = 0.0f;
    r.Damage = 1;
    ASSERT_TRUE(weapon_cache::write("test_no_interval", WeaponCacheKind::PickUp, r));
    GroundVehicle& v = spawnOnGround(&abrams, {0, 0, 60});
    v.giveWeapon("test_no_interval");
    ASSERT_NE(v.getPickUpWeapon(), nullptr);
    ASSERT_EQ(v.getPickUpWeapon()->getFireInterval(), 0.0f);
    playData.rechargeFraction = -1.0f;
    v.secondaryFire = 1;
    ASSERT_TRUE(v.update(kDt));
    EXPECT_EQ(playData.rechargeFraction, 1.0f);
}

TEST_F(GroundVehicleMended, BuiltThenPlacedAboveTheFloorItLandsWithoutInput)
{
    GroundVehicle& v = spawn(&abrams, {0, 2.0f + abrams.groundOffset.y, 60});
    EXPECT_FALSE(v.isGrounded());
    ASSERT_TRUE(run(v, 40));
    EXPECT_NEAR(v.getMainNode()->getPosition().y, abrams.groundOffset.y, 1e-4f);
    EXPECT_TRUE(v.isGrounded());
    ASSERT_TRUE(run(v, 10));
    EXPECT_NEAR(v.getMainNode()->getPosition().y, abrams.groundOffset.y, 1e-4f);
}
