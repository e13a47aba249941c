// The ground vehicle on the ground: wheel rays, hover and fall, floor reactors, the three tilts,
// the ground snaps, and the ends of its life (parking, respawn, wreck pose).
#include "world/GroundVehicle.h"

#include "audio/Sound.h"
#include "core/Utilities.h"
#include "definitions/GroundVehiParams.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/PickUpWeapon.h"
#include "world/TargetRegistry.h"
#include "world/VirtualReactor.h"
#include "world/Weapon.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneNode.h>

namespace {

enum class TiltAxis { Roll, Pitch };

float angleOf(const Ogre::SceneNode* node, TiltAxis axis)
{
    const Ogre::Quaternion& q = node->getOrientation();
    return (axis == TiltAxis::Roll ? q.getRoll() : q.getPitch()).valueDegrees();
}

void turnBy(Ogre::SceneNode* node, TiltAxis axis, float degrees)
{
    if (axis == TiltAxis::Roll)
        node->roll(Ogre::Degree(degrees));
    else
        node->pitch(Ogre::Degree(degrees));
}

// Turns the node toward the target angle at rate degrees per second, ending exactly on it.
void tiltStep(Ogre::SceneNode* node, TiltAxis axis, float target, float rate, float dt)
{
    const float c = angleOf(node, axis);
    if (c < target) {
        turnBy(node, axis, rate * dt);
        const float now = angleOf(node, axis);
        if (now > target)
            turnBy(node, axis, target - now);
    } else if (c > target) {
        turnBy(node, axis, -rate * dt);
        const float now = angleOf(node, axis);
        if (now < target)
            turnBy(node, axis, target - now);
    }
}

float overWidth(float width, float x, float y1)
{
    return width == 0.0f ? 0.0f : remapLinear(0.0f, width, x, 0.0f, y1);
}

}  // namespace

bool GroundVehicle::groundBelow(Ogre::Vector3& point, float& distance)
{
    uint32_t floor = 0;
    return raycastFromTo(damage_, mainNode_->_getDerivedPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, point, distance,
                         floor, groundTriangle_[0], groundTriangle_[1], groundTriangle_[2]);
}

void GroundVehicle::snapToGround()
{
    Ogre::Vector3 point;
    float distance = 0.0f;
    if (!groundBelow(point, distance))
        return;
    mainNode_->setPosition(point + vehicleParams_->groundOffset);
    grounded_ = 1;
}

void GroundVehicle::settleToGround(float dt)
{
    const float v = settleSpeed_;
    if (v > 0.0f) {
        mainNode_->translate(Ogre::Vector3(0, v, 0), Ogre::Node::TS_PARENT);
        return;
    }
    if (v == 0.0f)
        return;
    Ogre::Vector3 point;
    float distance = 0.0f;
    if (!groundBelow(point, distance))
        return;
    const float gap = distance - vehicleParams_->groundOffset.y;
    if (Ogre::Math::Abs(v * dt) > gap) {
        mainNode_->setPosition(point + vehicleParams_->groundOffset);
        settleSpeed_ = 0.0f;
        grounded_ = 1;
    } else {
        mainNode_->translate(Ogre::Vector3(0, v, 0), Ogre::Node::TS_PARENT);
    }
}

void GroundVehicle::followGround(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    settleSpeed_ -= dt;
    if (settleSpeed_ > 0.0f)
        return;  // hovering after a jump-dash
    size_t wheelCount = 0;
    for (const VehicleTread& tread : treads_)
        wheelCount += tread.wheels.size();
    // Without wheels there is nothing to stand on but the body's own ray.
    if (wheelCount == 0) {
        settleToGround(dt);
        return;
    }
    const Ogre::Vector3& offset = def.groundOffset;
    const bool barelyMoving = Ogre::Math::Abs(speed_) <= 2.5f &&
                              Ogre::Math::Abs(turnStep_) <= def.TurnRate * dt / 3.0f;
    mainNode_->_update(true, false);
    bool anyGrounded = false;
    float heightSum = 0.0f;
    for (uint32_t t = 0; t < treads_.size(); ++t) {
        VehicleTread& tread = treads_[t];
        for (uint32_t w = 0; w < tread.wheels.size(); ++w) {
            VehicleWheel& wheel = tread.wheels[w];
            Ogre::Vector3 origin = wheel.node->_getDerivedPosition() + offset;
            origin.y += 4.0f;
            Ogre::Vector3 point;
            float distance = 0.0f;
            if (raycastFromTo(damage_, origin, Ogre::Vector3::NEGATIVE_UNIT_Y, point, distance, wheel.floorKind,
                              wheel.triangle[0], wheel.triangle[1], wheel.triangle[2])) {
                wheel.hitPoint = point;
                const float gap = distance - def.Treads[t].Wheels[w].wRaio - offset.y - 4.0f;
                if (gap > dt) {
                    wheel.grounded = 0;
                    stopWheelReactors(t, w);
                } else {
                    wheel.grounded = 1;
                    if (barelyMoving) {
                        stopWheelReactors(t, w);
                    } else if (wheel.floorKind >= 1 && wheel.floorKind <= 4) {
                        for (uint32_t k = 0; k < 4; ++k)
                            if (wheel.reactors[k])
                                wheel.reactors[k]->setState(k + 1 == wheel.floorKind ? 2 : 1);
                    }
                }
            } else {
                wheel.grounded = 0;
                stopWheelReactors(t, w);
            }
            anyGrounded = anyGrounded || wheel.grounded;
            heightSum += wheel.hitPoint.y;
        }
    }
    // The mean of every wheel's last hit, whatever the number of wheels.
    const float height = heightSum / static_cast<float>(wheelCount);
    if (anyGrounded) {
        const Ogre::Vector3 p = mainNode_->getPosition();
        mainNode_->setPosition(p.x, height + offset.y, p.z);
        grounded_ = 1;
        settleSpeed_ = 0.0f;
    } else {
        mainNode_->translate(Ogre::Vector3(0, settleSpeed_, 0), Ogre::Node::TS_PARENT);
        const Ogre::Vector3 p = mainNode_->getPosition();
        if (height + offset.y > p.y) {
            mainNode_->setPosition(p.x, height + offset.y, p.z);
            grounded_ = 1;
            settleSpeed_ = 0.0f;
        }
    }
    updateTerrainTilt(dt);
    updateBaseTilt(dt);
}

void GroundVehicle::stopWheelReactors(uint32_t tread, uint32_t wheel)
{
    if (tread >= treads_.size() || wheel >= treads_[tread].wheels.size())
        return;
    for (VirtualReactor* reactor : treads_[tread].wheels[wheel].reactors)
        if (reactor)
            reactor->setState(1);
}

void GroundVehicle::stopAllWheelReactors()
{
    for (uint32_t t = 0; t < treads_.size(); ++t)
        for (uint32_t w = 0; w < treads_[t].wheels.size(); ++w)
            stopWheelReactors(t, w);
}

void GroundVehicle::updateTerrainTilt(float dt)
{
    terrainRoll_ = 0.0f;
    terrainPitch_ = 0.0f;
    // Each tread's own last wheel; a first or last tread without wheels says nothing of the slope.
    if (!treads_.empty() && !treads_.front().wheels.empty() && !treads_.back().wheels.empty()) {
        const std::vector<VehicleWheel>& a = treads_.front().wheels;
        const std::vector<VehicleWheel>& z = treads_.back().wheels;
        const auto first = [](const std::vector<VehicleWheel>& w) { return w.front().hitPoint.y; };
        const auto last = [](const std::vector<VehicleWheel>& w) { return w.back().hitPoint.y; };
        terrainRoll_ = remapLinear(0.0f, 0.8f, ((last(z) - last(a)) + (first(z) - first(a))) / 2.0f, 0.0f, 18.0f);
        terrainPitch_ = remapLinear(0.0f, 0.5f, ((last(a) - first(a)) + (last(z) - first(z))) / 2.0f, 0.0f, 10.0f);
    }
    tiltStep(treadRollNode_, TiltAxis::Roll, terrainRoll_, 80.0f, dt);
    tiltStep(treadPitchNode_, TiltAxis::Pitch, terrainPitch_, 80.0f, dt);
}

void GroundVehicle::updateBaseTilt(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    tiltStep(terrainRollNode_, TiltAxis::Roll, def.BaseRollPerc * terrainRoll_, def.BaseRollSpd, dt);
    tiltStep(terrainPitchNode_, TiltAxis::Pitch, def.BasePitchPerc * terrainPitch_, def.BasePitchSpd, dt);
}

void GroundVehicle::updateMoveTilt(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    const float top = def.MaxVelocity * speedMultiplier_;
    dynamicsRoll_ = overWidth(def.TurnRate * dt, -turnStep_, def.md_TurnRoll) *
                    overWidth(top, Ogre::Math::Abs(speed_), 1.0f);
    tiltStep(dynamicsRollNode_, TiltAxis::Roll, dynamicsRoll_, def.md_RollSpd, dt);

    // Without a top speed the speed curve has no width: it adds nothing.
    const float lean = top == 0.0f ? 0.0f : evalCurve3(speed_, {-top, -0.4f}, {0.0f, 0.0f}, {top, 0.4f});
    dynamicsPitch_ = (lean + 2.0f * dashPhase_) * def.md_DashPitch;
    if (top != 0.0f) {
        if (speed_ > 0.0f)
            dynamicsPitch_ += def.md_DashPitch * accelerateInput * remapLinear(0.0f, top, speed_, 1.0f, 0.4f) -
                              def.md_DashPitch * reverseInput * remapLinear(0.0f, top, speed_, 0.8f, 2.4f);
        else if (speed_ < 0.0f)
            dynamicsPitch_ += -def.md_DashPitch * reverseInput * remapLinear(0.0f, -top, speed_, 1.0f, 0.4f) +
                              def.md_DashPitch * accelerateInput * remapLinear(0.0f, -top, speed_, 0.8f, 2.4f);
    }
    if (speed_ > -0.2f && speed_ < 0.2f)
        dynamicsPitch_ = 0.0f;
    tiltStep(dynamicsPitchNode_, TiltAxis::Pitch, dynamicsPitch_, def.md_PicthSpd, dt);
}

void GroundVehicle::setTargetActive(bool active)
{
    if (!targets_ || ownTargetSlot_ >= targets_->getNumEntries())
        return;
    TargetEntry& entry = targets_->entries()[ownTargetSlot_];
    if (!entry.free)
        entry.active = active ? 1 : 0;
}

void GroundVehicle::onDestroyed()
{
    if (!alive_)
        return;
    if (deathEffect_ && fx_)
        fx_->spawnEffect(deathEffect_, mainNode_->getPosition(), mainNode_->getOrientation().zAxis());
    setTargetActive(false);
    dropPickUpWeapon();
    mainNode_->translate(Ogre::Vector3(0, -1000, 0));
    setBodyVisible(false);
    stopAllWheelReactors();
    alive_ = 0;
    if (engineSound)
        engineSound->stop();
}

void GroundVehicle::respawn(uint8_t playSpawnEffect)
{
    spawnEffectPending_ = playSpawnEffect != 0 ? 1 : 0;
    hitMarker_ = 0;
    setTargetActive(true);
    setBodyVisible(true);
    if (DamageEntry* entry = damage_ ? damage_->getEntry(damageSlot_) : nullptr)
        entry->damageTaken = 0.0f;
    speed_ = 0.0f;
    turnStep_ = 0.0f;
    mainNode_->resetOrientation();
    turretNode_->resetOrientation();
    if (mainWeapon_) {
        mainWeapon_->setAmmo(mainWeapon_->getMaxAmmo());
        mainWeapon_->onAmmoChanged();
    }
    snapToGround();
    updateCachedTransform();
    stopAllWheelReactors();
    alive_ = 1;
    if (engineSound)
        engineSound->play();
}

void GroundVehicle::setWreckPose()
{
    for (VirtualReactor* reactor : {moveReactor_, dashReactor_})
        if (reactor)
            reactor->setState(1);
    for (Ogre::SceneNode* node : {treadPitchNode_, treadRollNode_, terrainPitchNode_, terrainRollNode_,
                                  dynamicsPitchNode_, dynamicsRollNode_, mainNode_, turretNode_})
        node->resetOrientation();
    mainNode_->yaw(Ogre::Degree(180));
    mainNode_->yaw(Ogre::Degree(-30));
    turretNode_->yaw(Ogre::Degree(25));
    snapToGround();
    updateCachedTransform();
    speed_ = 0.0f;
    updateTreadScroll(0.1f);
}
