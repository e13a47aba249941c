// The ground vehicle's update: timers, death and retreat, the jump-dash start, the drive model,
// forward motion, the probes and their crash response, the weapons, the damage report and the
// upgrades.
#include "world/GroundVehicle.h"

#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "core/Utilities.h"
#include "definitions/GroundVehiParams.h"
#include "world/CollisionRays.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/PickUpWeapon.h"

#include <OgreAnimationState.h>
#include <OgreMath.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace {

float clampTo(float& input, float lo, float hi)
{
    input = std::min(hi, std::max(lo, input));
    return input;
}

}  // namespace

bool GroundVehicle::update(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    // 1, 2: turbo and no-damage timers.
    if (data_->turbo && playData_ && playData_->turboHeld) {
        dt *= playData_->turboTimeFactor();
        turboTime_ -= dt;
        if (turboTime_ < 0.0f) {
            turboTime_ = 0.0f;
            data_->turbo = false;
            playData_->turboEndRequest = 1;
            playData_->turboHeld = 0;
        }
    }
    if (data_->noDamage) {
        noDamageTime_ -= dt;
        if (noDamageTime_ < 0.0f) {
            noDamageTime_ = 0.0f;
            data_->noDamage = false;
        }
    }
    // 3-5: spawn effect, death (no effect here: the manager books it), retreat.
    playSpawnEffectOnce();
    if (static_cast<float>(hitPoints()) <= damageTaken())
        return false;
    if (updateRetreat(dt))
        return false;

    // 6: dash recharge and start.
    if (dashRecharge_ > 0.0f) {
        dashRecharge_ -= dashMultiplier_ * dt;
        if (dashRecharge_ < 0.0f)
            dashRecharge_ = 0.0f;
    }
    if (dashInput != 0.0f && !dashActive_) {
        dashActive_ = 1;
        // Without a refresh time every dash has full power (the remap would divide by zero).
        const float power = def.JumpDashRefreshTime == 0.0f
                                ? 1.0f
                                : remapLinear(def.JumpDashRefreshTime, 0.0f, dashRecharge_, def.JumpDashOverDPerc, 1.0f);
        dashPhase_ = power * dashInput;
        settleSpeed_ = power * def.JumpDashVerticalJump;
        if (Ogre::Math::Abs(dashPhase_) > def.MinPowerDash) {
            if (dashJumpEffect_ && fx_) {
                const Ogre::Vector3 z = mainNode_->getOrientation().zAxis();
                fx_->spawnEffect(dashJumpEffect_, mainNode_->getPosition(), dashInput > 0.0f ? -z : z);
            }
            if (dashSound_) {
                const float level = (Ogre::Math::Abs(dashPhase_) + 1.0f) * 0.5f;
                dashSound_->setPitch(level);
                dashSound_->setGain(level);
                dashSound_->play();
            }
        }
    }

    if (dashActive_) {
        // 7: the dash moves the vehicle instead of the drive.
        updateDashMotion(dt);
        checkProbeCollisions(dt);
    } else {
        // 8: driving.
        updateTurret(dt);
        if (engineSound)
            updateEngineSound();
        updateWeapons(dt);
        if (speed_ >= def.RevEnableSpeed) {
            accelerate(accelerateInput, dt);
            brake(reverseInput, dt);
        } else {
            reverse(reverseInput, dt);
            if (speed_ >= -def.RevEnableSpeed)
                accelerate(accelerateInput, dt);
            else
                brake(accelerateInput, dt);
        }
        coast(dt);
        turn(steerInput, dt);
        rollCriticalDamage();
        if (speed_ != 0.0f || steerInput != 0.0f)
            grounded_ = 0;
        applySlopeRoll(dt);
        if (baseAccelAnim_)
            baseAccelAnim_->addTime(def.Base_AccAmim_spd * speed_ * dt);
        mainNode_->translate(mainNode_->getLocalAxes(), Ogre::Vector3(0, 0, -(MoveMultiplyer * speed_ * dt)),
                             Ogre::Node::TS_PARENT);
    }

    // 9-12: ground, tilt, caches, the idle routines.
    if (!grounded_) {
        checkProbeCollisions(dt);
        followGround(dt);
    } else {
        stopAllWheelReactors();
    }
    updateMoveTilt(dt);
    updateCachedTransform();
    updateAnimations(dt);
    updateReactors();
    updateTreadScroll(dt);

    // 13: the damage not reported yet.
    const float fresh = damageTaken() - static_cast<float>(hitMarker_);
    if (fresh > 0.0f) {
        if (playData_) {
            playData_->onPlayerHit();
            playData_->onPlayerDamage(fresh);
        }
        hitMarker_ = GameObjectData::hitPointsFromFloat(damageTaken());
    }
    return true;
}

void GroundVehicle::accelerate(float& input, float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    clampTo(input, 0.0f, 1.0f);
    const float s = evalCurve3(terrainPitch_, {-90.0f, 3.0f}, {0.0f, 1.0f}, {90.0f, 0.3f});
    input *= s;
    const float top = s * def.MaxVelocity * speedMultiplier_;
    if (speed_ <= top)
        speed_ += def.AccelerationRate * accelerationMultiplier_ * input * dt;
    else
        speed_ -= def.AccelerationRate * input * dt * 0.5f;
}

void GroundVehicle::reverse(float& input, float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    clampTo(input, 0.0f, 1.0f);
    const float s = evalCurve3(-terrainPitch_, {-90.0f, 3.0f}, {0.0f, 1.0f}, {90.0f, 0.3f});
    input *= s;
    const float top = s * def.MaxVelocity * speedMultiplier_;
    if (speed_ >= -top)
        speed_ -= def.AccelerationRate * accelerationMultiplier_ * input * dt;
    else
        speed_ += def.AccelerationRate * input * dt * 0.5f;
}

void GroundVehicle::brake(float& input, float dt)
{
    clampTo(input, 0.0f, 1.0f);
    const float b = vehicleParams_->BrakeRate * accelerationMultiplier_ * input * dt;
    if (speed_ > 0.0f)
        speed_ = std::max(0.0f, speed_ - b);
    else
        speed_ = std::min(0.0f, speed_ + b);
}

void GroundVehicle::coast(float dt)
{
    if (accelerateInput != 0.0f || reverseInput != 0.0f)
        return;
    const float step = vehicleParams_->DeccelerationRate * dt;
    if (speed_ > 0.0f)
        speed_ = std::max(0.0f, speed_ - step);
    else if (speed_ < 0.0f)
        speed_ = std::min(0.0f, speed_ + step);
}

void GroundVehicle::turn(float& input, float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    clampTo(input, -1.0f, 1.0f);
    input *= 1.0f - 0.5f * reverseInput;
    input *= remapLinear(0.0f, 90.0f, terrainPitch_, 1.0f, 0.2f);
    if (input > 0.0f)
        input *= remapLinear(0.0f, -90.0f, terrainRoll_, 1.0f, 0.2f);
    else if (input < 0.0f)
        input *= remapLinear(0.0f, 90.0f, terrainRoll_, 1.0f, 0.2f);
    turnStep_ = def.TurnRate * input * dt;
    mainNode_->yaw(Ogre::Degree(turnStep_));
    if (baseTurnAnim_)
        baseTurnAnim_->addTime(def.Base_TurnAmim_spd * input * dt);
}

void GroundVehicle::applySlopeRoll(float dt)
{
    if (accelerateInput != 0.0f || reverseInput != 0.0f)
        return;
    mainNode_->_update(true, false);
    const float y = treadPitchNode_->_getDerivedOrientation().zAxis().y;
    speed_ += remapLinear(0.0f, 0.2f, y, 0.0f, 9.0f) * dt;
}

void GroundVehicle::checkProbeCollisions(float dt)
{
    if (dashPhase_ == 0.0f && speed_ == 0.0f && turnStep_ == 0.0f)
        return;
    for (int i = 0; i < ProbeCount; ++i) {
        mainNode_->_update(true, false);
        Ogre::Vector3 d = probes_[i]->_getDerivedPosition() - cachedProbes_[i];
        const float length = d.length();
        d.normalise();
        probeSegment(cachedProbes_[i], d, length, dt);
    }
}

void GroundVehicle::probeSegment(const Ogre::Vector3& origin, const Ogre::Vector3& direction, float length, float dt)
{
    const float reach = length + 0.3f;
    float closest = -10.0f;
    Ogre::Vector3 point;
    if (raycastMoveBlock(damage_, origin, direction, closest, point, reach) && closest < reach) {
        onCrash(dt);
        return;
    }
    closest = -10.0f;
    if (raycastBorder(damage_, origin, direction, closest, point, reach) && closest < reach)
        onCrash(dt);
}

void GroundVehicle::onCrash(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    restoreCachedTransform();
    mainNode_->yaw(Ogre::Degree(-turnStep_));
    const auto crashSound = [&](float impact) {
        if (!crashSound_ || !(impact > 6.0f))
            return;
        crashSound_->setPitch(remapClamped(6.0f, 40.0f, impact, 0.7f, 1.2f));
        crashSound_->setGain(remapClamped(6.0f, 40.0f, impact, 0.3f, 1.0f));
        crashSound_->play();
    };
    if (dashActive_) {
        crashSound(def.JumpDashRange * dashPhase_);
        mainNode_->translate(mainNode_->getLocalAxes(), Ogre::Vector3(0, 0, 2 * def.JumpDashRange * dashPhase_ * dt),
                             Ogre::Node::TS_PARENT);
        dashPhase_ = 0.0f;
        speed_ = 0.0f;
        dashActive_ = 0;
        dashRecharge_ = def.JumpDashRefreshTime;
    } else {
        crashSound(speed_);
        mainNode_->translate(mainNode_->getLocalAxes(), Ogre::Vector3(0, 0, 2 * speed_ * dt), Ogre::Node::TS_PARENT);
        speed_ *= -0.125f;
        dashActive_ = 0;
    }
}

void GroundVehicle::updateWeapons(float dt)
{
    const bool moving = speed_ > 0.3f || speed_ < -0.3f;
    if ((MoveFireDisable && moving) || (StopFireDisable && !moving)) {
        trigger_ = 0;
        secondaryFire = 0;
    }
    if (mainWeapon_) {
        if (turretFireAnim_ && trigger_ && mainWeapon_->getCoolDown() == 0.0f) {
            if (playData_)
                playData_->onPlayerShot();
            turretFireAnim_->setTimePosition(0.0f);
        }
        mainWeapon_->tick(dt, 0.0f, trigger_ != 0, false, 0);
    }
    if (pickUpWeapon_) {
        if (pickUpWeapon_->getAmmo() > 0 && pickUpWeapon_->getCoolDown() == 0.0f && secondaryFire && playData_) {
            playData_->onPlayerShot();
            playData_->secondaryShot = 1;
        }
        if (playData_) {
            // A weapon without a fire interval is always loaded (the quotient would divide by zero).
            const float interval = pickUpWeapon_->getFireInterval();
            playData_->rechargeFraction =
                interval == 0.0f ? 1.0f : (interval - pickUpWeapon_->getCoolDown()) / interval;
        }
        pickUpWeapon_->tick(dt, 0.0f, secondaryFire != 0, false, 0);
        if (pickUpWeapon_->getAmmo() == 0 && pickUpWeapon_->getTimeSlowTimer() == 0.0f)
            pickUpWeapon_.reset();
    }
}

void GroundVehicle::setUpgradeMultipliers(float speed, float acceleration, float hp, float dash, float weaponA,
                                          float weaponB)
{
    const auto orOne = [](float v) { return v == 0.0f ? 1.0f : v; };
    speedMultiplier_ = orOne(speed);
    accelerationMultiplier_ = orOne(acceleration);
    hpMultiplier_ = orOne(hp);
    dashMultiplier_ = orOne(dash);
    data_->setHitPoints(static_cast<float>(data_->hitPoints) * hpMultiplier_);
    // A vehicle without a main weapon has nowhere to keep the weapon values.
    if (mainWeapon_)
        mainWeapon_->setMultipliers(orOne(weaponA), orOne(weaponB));
}

void GroundVehicle::setHP(float value, uint32_t)
{
    data_->setHitPoints(value * hpMultiplier_);
}
