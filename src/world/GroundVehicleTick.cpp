// The ground vehicle's per-tick routines: jump-dash motion, turret, idle animations, move and dash
// reactors, tread scroll and engine sound.
#include "world/GroundVehicle.h"

#include "audio/Sound.h"
#include "core/Utilities.h"
#include "definitions/GroundVehiParams.h"
#include "world/TreadScrollFunction.h"
#include "world/VirtualReactor.h"

#include <OgreAnimationState.h>
#include <OgreMath.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace {

// remapLinear from 0 over a width; 0 for a zero width (a 0 top speed, or a tick of dt 0), which
// would otherwise divide by zero.
float overWidth(float width, float x, float y1)
{
    return width == 0.0f ? 0.0f : remapLinear(0.0f, width, x, 0.0f, y1);
}

}  // namespace

void GroundVehicle::updateDashMotion(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    grounded_ = 0;
    bool ends = false;
    if (!(def.JumpDashJumpTime > 0.0f)) {
        // No dash time: the dash is over before it moves (a zero time would give an endless NaN dash).
        ends = true;
    } else {
        const float step = dt / def.JumpDashJumpTime;
        if (dashPhase_ > 0.0f) {
            dashPhase_ -= step;
            ends = dashPhase_ < 0.0f;
        } else {
            dashPhase_ += step;
            ends = dashPhase_ > 0.0f;
        }
    }
    if (ends) {
        dashActive_ = 0;
        dashPhase_ = 0.0f;
        dashRecharge_ = def.JumpDashRefreshTime;
        speed_ = 0.0f;
    }
    const float d = def.JumpDashRange * dashMultiplier_ * dashPhase_ * dt;
    mainNode_->translate(mainNode_->getLocalAxes(), Ogre::Vector3(0, 0, -d), Ogre::Node::TS_PARENT);
}

void GroundVehicle::updateTurret(float dt)
{
    if (TurrTurnDisable)
        return;
    const bool moving = speed_ > 0.3f || speed_ < -0.3f;
    if (MoveTTurnDisable && moving)
        return;
    if (StopTTurnDisable && !moving)
        return;
    if (mouseAim) {
        aimNode_->lookAt(aimPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    } else {
        if (aimPoint == Ogre::Vector3::ZERO)
            return;
        aimNode_->lookAt(mainNode_->getPosition() + aimPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    }
    const Ogre::Vector3 z = aimNode_->getOrientation().zAxis();
    const GroundVehiParams& def = *vehicleParams_;
    float f = 0.0f;  // the signed share of the full turn
    if (z.z < 0.0f)
        f = z.x >= 0.0f ? 1.0f : -1.0f;
    else if (z.x >= 0.1f)
        f = 1.0f;
    else if (z.x > 0.0f)
        f = remapLinear(0.1f, 0.0f, z.x, 1.0f, 0.0f);
    else if (z.x <= -0.1f)
        f = -1.0f;
    else if (z.x < 0.0f)
        f = -remapLinear(-0.1f, 0.0f, z.x, 1.0f, 0.0f);
    if (f == 0.0f)
        return;
    if (turretTurnAnim_)
        turretTurnAnim_->addTime(f * def.Tur_TurnAmim_spd * dt);
    // Never past the aim point: at low frame rates a full step would swing the turret across it
    // and back, and the gun would fire to either side of what the player points at.
    const float left = std::fabs(Ogre::Math::ATan2(z.x, z.z).valueDegrees());
    turretNode_->yaw(Ogre::Degree(std::clamp(f * def.TurretSpeed * dt, -left, left)));
}

void GroundVehicle::updateAnimations(float dt)
{
    if (turretFireAnim_)
        turretFireAnim_->addTime(dt);
    if (baseAccelAnim_)
        baseAccelAnim_->addTime(vehicleParams_->Base_AccAmim_spd * dt * 0.1f);
}

void GroundVehicle::updateReactors()
{
    const bool moveOn = !dashActive_ && ((speed_ > 0.0f && accelerateInput != 0.0f) || steerInput != 0.0f ||
                                         (speed_ < 0.0f && reverseInput != 0.0f));
    if (moveReactor_)
        moveReactor_->setState(moveOn ? 2 : 1);
    if (dashReactor_)
        dashReactor_->setState(dashRecharge_ > 0.0f ? 2 : 1);
}

void GroundVehicle::updateTreadScroll(float dt)
{
    const GroundVehiParams& def = *vehicleParams_;
    const float v = overWidth(def.MaxVelocity * speedMultiplier_, speed_, -def.TreadMatMovVar) * MoveMultiplyer;
    const float turnWidth = def.TurnRate * dt;
    if (treads_.size() > 0 && treads_[0].scrollFunction)
        treads_[0].scrollFunction->setRate(v + overWidth(turnWidth, turnStep_, def.TreadMatTurnVar));
    if (treads_.size() > 1 && treads_[1].scrollFunction)
        treads_[1].scrollFunction->setRate(v + overWidth(turnWidth, turnStep_, -def.TreadMatTurnVar));
}

void GroundVehicle::updateEngineSound()
{
    if (!engineSound)
        return;
    engineSound->setPitch(evalCurve3Clamped(speed_, {-45.0f, 2.2f}, {0.0f, 0.5f}, {45.0f, 2.2f}));
    engineSound->setGain(evalCurve3Clamped(speed_, {-45.0f, 1.1f}, {0.0f, 0.3f}, {45.0f, 1.1f}));
}
