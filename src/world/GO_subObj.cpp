#include "world/GO_subObj.h"
#include "world/SceneItems.h"

#include "definitions/FxParamsLibrary.h"
#include "definitions/goParams.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/TargetRegistry.h"
#include "world/Weapon.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace {

bool isBlankName(const std::string& name)
{
    return name.empty() || name == " ";
}

// Detaches and destroys everything on the node, then its children and the node itself.
void destroyNodeWithObjects(Ogre::SceneManager* scene, Ogre::SceneNode* node)
{
    while (node->numAttachedObjects() > 0)
        scene->destroyMovableObject(node->detachObject(static_cast<unsigned short>(0)));
    node->removeAndDestroyAllChildren();
    scene->destroySceneNode(node);
}

}  // namespace

GO_subObj::GO_subObj(Ogre::SceneManager* scene, DamageRegistry* damage, TargetRegistry* targets,
                     goParams* parentParams, Ogre::SceneNode* parentNode, GameObjectData* parentData,
                     audio::SoundManager* sounds, ProjectileManager* projectiles, FxPool* fx,
                     WeaponContext* weaponContext, DificultyData* difficulty, SceneContext* sceneContext,
                     uint32_t index)
    : scene_(scene),
      damage_(damage),
      targets_(targets),
      fx_(fx),
      parentParams_(parentParams),
      sounds_(sounds),
      projectiles_(projectiles),
      sceneContext_(sceneContext),
      difficulty_(difficulty),
      weaponContext_(weaponContext),
      parentNode_(parentNode),
      index_(index),
      parentData_(parentData)
{
    build();
    hitPoints_ = GameObjectData::hitPointsFromFloat(params().HP);
}

GO_subObj::~GO_subObj()
{
    if (hasDamageBody() && damage_) {
        damage_->remove(damageSlot_);
        if (params().isRdrObj && targets_)
            targets_->remove(targetSlot_);
    }
    destroyNodeWithObjects(scene_, node_);
}

const subObjParams& GO_subObj::params() const
{
    return parentParams_->subObjs[index_];
}

// A collision part whose collision mesh could not be had is a part like the passive ones.
bool GO_subObj::hasDamageBody() const
{
    return params().isColObj && collisionEntity_;
}

bool GO_subObj::isTarget() const
{
    return hasDamageBody() && params().isRdrObj;
}

std::string GO_subObj::namePrefix() const
{
    return parentData_->name + std::to_string(parentData_->objectId) + "sub" + std::to_string(index_);
}

Ogre::Vector3 GO_subObj::getWorldPosition() const
{
    return node_->_getDerivedPosition();
}

void GO_subObj::build()
{
    const subObjParams& p = params();
    const std::string prefix = namePrefix();
    node_ = parentNode_->createChildSceneNode();
    node_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    if (!p.MeshName.empty()) {
        entity_ = createEntityOrNull(scene_, prefix, p.MeshName, "Sub-object");
        if (entity_)
            node_->attachObject(entity_);
    }
    node_->setPosition(p.ObjPos);
    if (p.OriByVect == Ogre::Vector3::ZERO) {
        node_->yaw(Ogre::Degree(p.OriByYaw));
        node_->pitch(Ogre::Degree(p.OriByPitch));
    } else {
        node_->setDirection(p.OriByVect, Ogre::Node::TS_LOCAL, Ogre::Vector3::NEGATIVE_UNIT_Z);
    }
    node_->roll(Ogre::Degree(p.OriRoll));

    if (p.isColObj)
        collisionEntity_ = createEntityOrNull(scene_, prefix + "col", p.CollName, "Sub-object");
    // Without its collision body the part can be neither hit nor targeted.
    if (collisionEntity_) {
        collisionEntity_->setVisible(false);
        node_->attachObject(collisionEntity_);
        if (damage_)
            damageSlot_ = damage_->add(collisionEntity_, parentData_, 4, parentParams_->ActorColide,
                                       parentData_->team, parentData_->objectId, 1, index_);
        if (p.isRdrObj && targets_)
            targetSlot_ = targets_->add(node_, entity_, parentData_, parentParams_, index_, 1);
    }
    if (!isBlankName(p.Death_Effect) && fx_ && fx_->getLibrary())
        deathEffect_ = fx_->getLibrary()->getEffectParams(p.Death_Effect);
}

bool GO_subObj::update(float dt)
{
    if (!hasDamageBody()) {
        updateAim(dt);
        updateWeapon(dt);
        return true;
    }
    const DamageEntry* entry = damage_ ? damage_->getEntry(damageSlot_) : nullptr;
    const float taken = entry ? entry->damageTaken : 0.0f;
    if (static_cast<float>(hitPoints_) <= taken) {
        // Its world position: the node's own is relative to the parent.
        if (deathEffect_ && fx_)
            fx_->spawnEffect(deathEffect_, getWorldPosition(), Ogre::Vector3::ZERO);
        return false;
    }
    updateAim(dt);
    updateWeapon(dt);
    return true;
}

void GO_subObj::updateWeapon(float) {}

void GO_subObj::updateAim(float) {}

// --- armed parts ---

GO_subFreeDef::GO_subFreeDef(Ogre::SceneManager* scene, DamageRegistry* damage, TargetRegistry* targets,
                             goParams* parentParams, Ogre::SceneNode* parentNode, GameObjectData* parentData,
                             audio::SoundManager* sounds, ProjectileManager* projectiles, FxPool* fx,
                             WeaponContext* weaponContext, DificultyData* difficulty, SceneContext* sceneContext,
                             uint32_t index)
    : GO_subObj(scene, damage, targets, parentParams, parentNode, parentData, sounds, projectiles, fx, weaponContext,
                difficulty, sceneContext, index)
{
    weaponNode_ = node_->createChildSceneNode();
    weaponNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    weaponNode_->translate(Ogre::Vector3(0, 2, 0), Ogre::Node::TS_PARENT);
    weaponNode_->pitch(Ogre::Degree(90));
    aimState_ = Search;
    // A part of an object without a weapon context (the kind-1 object) stays unarmed.
    if (weaponContext_)
        weapon_.reset(makeGroundWeapon(weaponContext_, params().MainWeapName, weaponNode_, 0,
                                       static_cast<int32_t>(parentData_->objectId),
                                       static_cast<int32_t>(parentData_->team), Ogre::Vector3::ZERO,
                                       Ogre::Vector3::ZERO));
}

GO_subFreeDef::~GO_subFreeDef()
{
    weapon_.reset();
    weaponNode_->removeAndDestroyAllChildren();
    scene_->destroySceneNode(weaponNode_);
    weaponNode_ = nullptr;
}

void GO_subFreeDef::updateWeapon(float dt)
{
    if (weapon_)
        weapon_->tick(dt, 0.0f, trigger_ != 0, hasTarget_ != 0, hasTarget_ ? static_cast<int32_t>(target_) : 0);
}

int GO_subFreeDef::getWeaponAmmo() const
{
    return weapon_ ? static_cast<int>(weapon_->getAmmo()) : 0;
}

bool GO_subFreeDef::aimAt(const Ogre::Vector3& worldPoint)
{
    weaponNode_->lookAt(worldPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    return true;
}

bool GO_subFreeDef::isWeaponReady() const
{
    return weapon_ && weapon_->isReady();
}

float GO_subFreeDef::getYaw() const
{
    return weaponNode_->getOrientation().getYaw().valueDegrees();
}

float GO_subFreeDef::getWorldYaw() const
{
    return weaponNode_->_getDerivedOrientation().getYaw().valueDegrees();
}

Ogre::Vector3 GO_subFreeDef::getFacing() const
{
    return weaponNode_->getOrientation().zAxis();
}

Ogre::Vector3 GO_subFreeDef::getWorldFacing() const
{
    return weaponNode_->_getDerivedOrientation().zAxis();
}

bool GO_subFreeDef::targetValid() const
{
    return targets_ && targets_->inUse(target_) && targets_->isInRange(target_, getWorldPosition(), params().lockRange);
}

void GO_subFreeDef::search()
{
    if (!targets_)
        return;
    uint32_t found = 0;
    const uint32_t searcher = parentData_->targetSlot;
    if (targets_->findEnemyInRange(found, &parentData_->targetSlot, static_cast<int32_t>(parentData_->team),
                                   getWorldPosition(), params().lockRange, true, searcher)) {
        target_ = found;
        aimState_ = Lock;
        lockTimer_ = params().lockTime;
    }
}

void GO_subFreeDef::fireStep(float dt)
{
    if (getWeaponAmmo() == 0)
        return;
    if (weapon_->getAIContFire()) {
        targets_->setTargeted(target_);
        trigger_ = 1;
        contFireTimer_ += dt;
        if (contFireTimer_ > params().ContFireTime) {
            aimState_ = Wait;
            waitTimer_ = params().FireDelay;
        }
    } else if (isWeaponReady()) {
        trigger_ = 1;
    } else {
        aimState_ = Wait;
        waitTimer_ = params().FireDelay;
    }
}

void GO_subFreeDef::updateAim(float dt)
{
    trigger_ = 0;
    hasTarget_ = 0;
    switch (aimState_) {
    case Wait:
        waitTimer_ -= dt;
        if (waitTimer_ <= 0.0f)
            aimState_ = Search;
        break;
    case Lock:
        if (targetValid() && acceptForLock()) {
            targets_->setTargeted(target_);
            hasTarget_ = 1;
            lockTimer_ -= dt;
            if (lockTimer_ < 0.0f) {
                aimState_ = Track;
                contFireTimer_ = 0.0f;
            }
        } else {
            aimState_ = Search;
        }
        break;
    case Track:
        if (targetValid()) {
            aimAt(targets_->getPosition(target_));
            if (acceptForFire()) {
                hasTarget_ = 1;
                fireStep(dt);
                break;
            }
        }
        aimState_ = Search;
        break;
    default:
        search();
        break;
    }
}

float GO_subConeDef::coneMeasure() const
{
    const Ogre::Vector3 z = weaponNode_->getOrientation().zAxis();
    const float a = Ogre::Math::ACos(z.x).valueDegrees() - 90.0f;
    const float b = Ogre::Math::ACos(z.y).valueDegrees() - 90.0f;
    return a * a + b * b;
}

bool GO_subConeDef::insideCone(float halfAngle)
{
    return coneMeasure() <= halfAngle * halfAngle && getFacing().z > 0.0f;
}

bool GO_subConeDef::acceptForLock()
{
    aimAt(targets_->getPosition(target_));
    return insideCone(params().lockAng * 0.5f + 10.0f);
}

bool GO_subConeDef::acceptForFire()
{
    return insideCone(params().lockAng * 0.5f);
}
