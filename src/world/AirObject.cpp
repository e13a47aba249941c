#include "world/AirObject.h"

#include "definitions/AirObjParams.h"
#include "world/CollisionRays.h"
#include "world/GameObjectData.h"
#include "world/Weapon.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

AirObject::AirObject(Unbuilt, const GameObjectHandles& handles, AirObjParams* definition, uint32_t objectId)
    : GameObject(handles, definition, objectId), airParams_(definition)
{
}

AirObject::AirObject(const GameObjectHandles& handles, AirObjParams* definition, uint32_t objectId, uint32_t team,
                     const std::string& name3, const std::string& name4)
    : AirObject(Unbuilt{}, handles, definition, objectId)
{
    data_ = GameObjectData::forDefinition(GameObjectKind::AirObject, objectId, *definition, name3, name4, team);
    AirObject::buildScene();
    moneyGain_ = definition->MoneyGain;
    experienceGain_ = definition->ExperienceGain;
    // The cannon sits at the aim node's origin: MainWeapPos is not used.
    makeMainWeapon(aimNode_);
    createSubObjects(weaponContext_);
}

AirObject::~AirObject()
{
    // Its nodes hang below the aim node, which the GameObject teardown destroys.
    mainWeapon_.reset();
}

void AirObject::buildScene()
{
    const std::string name = data_->name + Ogre::StringConverter::toString(objectId_);
    entity_ = scene_->createEntity(name, airParams_->meshName);
    collisionEntity_ = scene_->createEntity(name + "col", airParams_->collisionMeshName);
    entity_->setCastShadows(false);
    collisionEntity_->setVisible(false);
    mainNode_ = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mainNode_->attachObject(entity_);
    mainNode_->attachObject(collisionEntity_);
    aimNode_ = mainNode_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    aimNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    registerBodies(5);
    loadAirEffects();
}

void AirObject::loadAirEffects()
{
    loadEffects();
    spawnCriticalReactor();
}

void AirObject::makeMainWeapon(Ogre::SceneNode* parent)
{
    if (!airParams_->HasMainWeapon || !weaponContext_)
        return;
    mainWeapon_.reset(makeGroundWeapon(weaponContext_, airParams_->MainWeapon, parent, 0,
                                       static_cast<int32_t>(objectId_), static_cast<int32_t>(data_->team),
                                       Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
}

bool AirObject::isDestroyed() const
{
    return static_cast<float>(hitPoints()) <= damageTaken();
}

bool AirObject::update(float dt)
{
    playSpawnEffectOnce();
    if (checkDeath())
        return false;
    if (updateRetreat(dt))
        return false;
    updateMainWeapon(dt, 0.0f);
    rollCriticalDamage();
    updateHitMarker();
    return true;
}

void AirObject::updateMainWeapon(float dt, float)
{
    if (mainWeapon_)
        mainWeapon_->tick(dt, 0.0f, trigger_ != 0, false, 0);
}

int AirObject::getMainWeaponAmmo() const { return weaponAmmo(mainWeapon_.get()); }
bool AirObject::isMainWeaponReady() const { return weaponReady(mainWeapon_.get()); }
float AirObject::getMainWeaponLockRange() const { return weaponLockRange(mainWeapon_.get()); }
float AirObject::getMainWeaponLockSpeed() const { return weaponLockSpeed(mainWeapon_.get()); }
float AirObject::getMainWeaponLockArea() const { return weaponLockArea(mainWeapon_.get()); }
bool AirObject::aimMainWeaponAt(const Ogre::Vector3& worldPoint) { return aimNodeAt(worldPoint); }
float AirObject::getAimYaw() const { return aimNodeYaw(); }
float AirObject::getAimWorldYaw() const { return aimNodeWorldYaw(); }
Ogre::Vector3 AirObject::getAimFacing() const { return aimNodeFacing(); }
Ogre::Vector3 AirObject::getAimWorldFacing() const { return aimNodeWorldFacing(); }

void AirObject::snapToGround()
{
    Ogre::Vector3 point;
    float distance = 0.0f;
    uint32_t floor = 0;
    raycastFromTo(damage_, mainNode_->_getDerivedPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, point, distance, floor,
                  triangle_[0], triangle_[1], triangle_[2]);
}
