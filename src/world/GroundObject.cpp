#include "world/GroundObject.h"

#include "definitions/GroundObjParams.h"
#include "world/CollisionRays.h"
#include "world/GameObjectData.h"
#include "world/Weapon.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

GroundObject::GroundObject(const GameObjectHandles& handles, GroundObjParams* definition, uint32_t objectId)
    : GameObject(handles, definition, objectId), groundParams_(definition)
{
}

GroundObject::GroundObject(const GameObjectHandles& handles, GroundObjParams* definition, uint32_t objectId,
                           uint32_t team, const std::string& name3, const std::string& name4)
    : GroundObject(handles, definition, objectId)
{
    data_ = GameObjectData::forDefinition(GameObjectKind::GroundObject, objectId, *definition, name3, name4, team);
    buildScene();
    moneyGain_ = definition->MoneyGain;
    experienceGain_ = definition->ExperienceGain;
    // Not grounded by this: the object is placed after construction and must land there.
    placeOnGroundBelow();
    if (definition->HasMainWeapon && weaponContext_)
        mainWeapon_.reset(makeGroundWeapon(weaponContext_, definition->MainWeapon, aimNode_, 0,
                                           static_cast<int32_t>(objectId_), static_cast<int32_t>(team),
                                           Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
    createSubObjects(weaponContext_);
    turboTime_ = 0.0f;
    noDamageTime_ = 0.0f;
}

GroundObject::~GroundObject()
{
    mainWeapon_.reset();
}

void GroundObject::buildScene()
{
    const std::string name = data_->name + std::to_string(objectId_);
    entity_ = scene_->createEntity(name, definition_->meshName);
    collisionEntity_ = scene_->createEntity(name + "col", definition_->collisionMeshName);
    collisionEntity_->setVisible(false);
    mainNode_ = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mainNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mainNode_->attachObject(entity_);
    mainNode_->attachObject(collisionEntity_);
    aimNode_ = mainNode_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    aimNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    aimNode_->translate(Ogre::Vector3(0, 2, 0), Ogre::Node::TS_PARENT);
    aimNode_->pitch(Ogre::Degree(90));
    registerBodies(4);
    loadEffects();
    spawnCriticalReactor();
}

bool GroundObject::update(float dt)
{
    playSpawnEffectOnce();
    if (checkDeath())
        return false;
    if (updateRetreat(dt))
        return false;
    if (!grounded_)
        snapToGround();
    updateMainWeapon(dt);
    rollCriticalDamage();
    updateHitMarker();
    return true;
}

bool GroundObject::placeOnGroundBelow()
{
    Ogre::Vector3 point;
    float distance = 0.0f;
    if (!raycastBelow(damage_, mainNode_->getPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, point, distance))
        return false;
    mainNode_->setPosition(point + groundParams_->groundOffset);
    return true;
}

void GroundObject::snapToGround()
{
    if (placeOnGroundBelow())
        grounded_ = 1;
}

void GroundObject::settleToGround(float dt)
{
    float& v = settleSpeed_;
    v -= dt;
    if (v > 0.0f) {
        mainNode_->translate(Ogre::Vector3(0, v, 0), Ogre::Node::TS_PARENT);
        return;
    }
    if (!(v < 0.0f))
        return;
    Ogre::Vector3 point;
    float h = 0.0f;
    if (!raycastBelow(damage_, mainNode_->getPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, point, h))
        return;
    if (Ogre::Math::Abs(dt * v) <= h - groundParams_->groundOffset.y) {
        mainNode_->translate(Ogre::Vector3(0, v, 0), Ogre::Node::TS_PARENT);
    } else {
        mainNode_->setPosition(point + groundParams_->groundOffset);
        v = 0.0f;
        grounded_ = 1;
    }
}

void GroundObject::updateMainWeapon(float dt)
{
    if (mainWeapon_)
        mainWeapon_->tick(dt, 0.0f, trigger_ != 0, hasTarget_ != 0, hasTarget_ ? static_cast<int32_t>(targetSlot_) : 0);
}

int GroundObject::getMainWeaponAmmo() const
{
    return weaponAmmo(mainWeapon_.get());
}

bool GroundObject::isMainWeaponReady() const
{
    return weaponReady(mainWeapon_.get());
}

float GroundObject::getMainWeaponLockRange() const
{
    return weaponLockRange(mainWeapon_.get());
}

float GroundObject::getMainWeaponLockSpeed() const
{
    return weaponLockSpeed(mainWeapon_.get());
}

float GroundObject::getMainWeaponLockArea() const
{
    return weaponLockArea(mainWeapon_.get());
}

bool GroundObject::aimMainWeaponAt(const Ogre::Vector3& worldPoint)
{
    return aimNodeAt(worldPoint);
}

float GroundObject::getAimYaw() const
{
    return aimNodeYaw();
}

float GroundObject::getAimWorldYaw() const
{
    return aimNodeWorldYaw();
}

Ogre::Vector3 GroundObject::getAimFacing() const
{
    return aimNodeFacing();
}

Ogre::Vector3 GroundObject::getAimWorldFacing() const
{
    return aimNodeWorldFacing();
}
