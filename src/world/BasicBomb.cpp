#include "world/BasicBomb.h"

#include "core/Utilities.h"
#include "definitions/WarHeadParams.h"
#include "definitions/projParams.h"
#include "world/TargetRegistry.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

BasicBomb::BasicBomb(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                     DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                     const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
                     float spread, FxPool* fx, uint32_t ownerId, projParams* definition, WarHeadParams* warhead,
                     TargetRegistry* targets, int32_t team, uint32_t damageAmount)
    : Adv_Projectile(playData, scene, sounds, damage, fx, definition, warhead, targets)
{
    setUp("bBoom" + std::to_string(serial), definition->meshName, position, addedSpeed, orientation, serial, tracking,
          targetSlot, spread, ownerId, team, damageAmount);
}

BasicBomb::BasicBomb(DispenserSetUp, GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                     DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                     const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
                     float spread, FxPool* fx, uint32_t ownerId, projParams* definition, WarHeadParams* warhead,
                     TargetRegistry* targets, int32_t team, uint32_t damageAmount, const Ogre::Vector3& targetPoint)
    : Adv_Projectile(playData, scene, sounds, damage, fx, definition, warhead, targets)
{
    targetPoint_ = targetPoint;
    hasTargetPoint_ = true;
    setUp("", "", position, addedSpeed, orientation, serial, tracking, targetSlot, spread, ownerId, team,
          damageAmount);
}

void BasicBomb::setUp(const std::string& entityName, const std::string& meshName, const Ogre::Vector3& position,
                      float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking,
                      uint32_t targetSlot, float spread, uint32_t ownerId, int32_t team, uint32_t damageAmount)
{
    setUpNode(entityName, meshName, position, orientation);
    speed_ = definition_->Speed + addedSpeed;
    life_ = definition_->timeToLive;
    launchFacing_ = orientation.zAxis();
    applySpread(spread);
    aimNode_ = node_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    aimNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    makeRecord(serial, ownerId, team, static_cast<int32_t>(targetSlot), damageAmount, tracking);
    makeFlightSounds(serial);
    makeReactor();
    applyMinDistVisible();
}

BasicBomb::~BasicBomb()
{
    if (aimNode_) {
        aimNode_->removeAndDestroyAllChildren();
        scene_->destroySceneNode(aimNode_);
        aimNode_ = nullptr;
    }
}

bool BasicBomb::update(float dt, bool& hitReport, int& projectileType) { return Adv_Projectile::update(dt, hitReport, projectileType); }

bool BasicBomb::updateTrail(const float&) { return false; }

void BasicBomb::steerTowardTarget(float dt)
{
    // Without a target point yet there is nothing to steer at: fly straight.
    if (!hasTargetPoint_)
        return;
    aimNode_->lookAt(targetPoint_, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    const Ogre::Vector3 a = aimNode_->getOrientation().zAxis();
    if (a.z < 0.0f) {
        if (node_->getOrientation().zAxis().y < 0.8f)
            node_->pitch(Ogre::Degree(-remapLinear(0.0f, 1.0f, a.z, 10.0f, 0.01f) * dt));
        return;
    }
    const Ogre::Vector3 f = node_->getOrientation().zAxis();
    const Ogre::Vector3 w = aimNode_->_getDerivedOrientation().zAxis();
    const Ogre::Vector3 direction = f + (w - f) * dt;
    if (direction.squaredLength() > 0.0f)
        node_->setDirection(direction, Ogre::Node::TS_WORLD, Ogre::Vector3::UNIT_Z);
}

bool BasicBomb::plainBlast()
{
    if (damage_)
        areaDamage(node_->getPosition(), false);
    detonate();
    if (impactSound_) {
        // Keep the node until the blast is heard out.
        hideNode();
        record_->state = ProjectileState_Exploded;
        return true;
    }
    return false;
}

bool BasicBomb::flyAndHit(float dt, bool& hitReport, bool stopLiveSoundOnGround)
{
    lastPosition_ = node_->getPosition();
    advanceDistance(dt);
    if (record_->tracking && targetInUse(record_->targetSlot)) {
        targetPoint_ = targets_->getPosition(static_cast<uint32_t>(record_->targetSlot));
        hasTargetPoint_ = true;
    }
    steerTowardTarget(dt);
    moveForward(dt);

    if (groundTest(dt, hitDistance_)) {
        if (stopLiveSoundOnGround)
            stopLiveSound();
        hitReport = true;
        switch (warhead_->getWarheadType()) {
        case NapalmWHParams::kTypeCode:
            startNapalmStage();
            return true;
        case SClusterWHParams::kTypeCode:
            startClusterStage();
            return true;
        default:
            return plainBlast();
        }
    }
    life_ -= dt;
    accelerate(dt);
    if (rayHitTest(dt)) {
        hitReport = true;
        return plainBlast();
    }
    return life_ >= 0.0f;
}

bool BasicBomb::advance(const float& dt, bool& hitReport) { return flyAndHit(dt, hitReport, true); }

Dispenser::Dispenser(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                     DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                     const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
                     float spread, FxPool* fx, uint32_t ownerId, projParams* definition, WarHeadParams* warhead,
                     TargetRegistry* targets, int32_t team, uint32_t damageAmount, const Ogre::Vector3* targetPoint)
    : BasicBomb(DispenserSetUp{}, playData, scene, sounds, damage, position, addedSpeed, orientation, serial, tracking,
                targetSlot, spread, fx, ownerId, definition, warhead, targets, team, damageAmount,
                targetPoint ? *targetPoint : Ogre::Vector3::ZERO)
{
}

Dispenser::~Dispenser() = default;

bool Dispenser::advance(const float& dt, bool& hitReport) { return flyAndHit(dt, hitReport, false); }
