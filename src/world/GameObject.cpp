#include "world/GameObject.h"

#include "core/RandomGenerator.h"
#include "core/Utilities.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/goParams.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GO_subObj.h"
#include "world/GameObjectData.h"
#include "world/TargetRegistry.h"
#include "world/VirtualReactor.h"
#include "world/Weapon.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace {

// Removes and destroys the node's children, then the node.
void destroyNode(Ogre::SceneManager* scene, Ogre::SceneNode* node)
{
    if (!node)
        return;
    node->removeAndDestroyAllChildren();
    scene->destroySceneNode(node);
}

}  // namespace

GameObject::GameObject(const GameObjectHandles& h, goParams* definition, uint32_t objectId)
    : playData_(h.playData),
      scene_(h.scene),
      damage_(h.damage),
      targets_(h.targets),
      fx_(h.fx),
      definition_(definition),
      sounds_(h.sounds),
      projectiles_(h.projectiles),
      sceneContext_(h.sceneContext),
      difficulty_(h.difficulty),
      random_(h.random),
      weaponContext_(h.weaponContext),
      objectId_(objectId)
{
}

GameObject::GameObject(const GameObjectHandles& h, const std::string& meshName, const std::string& name,
                       uint32_t objectId, uint32_t team, const std::string& name3, const std::string& name4,
                       uint32_t hitPoints)
    : GameObject(h, nullptr, objectId)
{
    // No definition: no absorb-splash, no collision with actors, no effects, no parts.
    data_ = std::make_unique<GameObjectData>(GameObjectData::objectName(GameObjectKind::Plain, objectId), name,
                                             name3, name4, GameObjectData::categoryOf(GameObjectKind::Plain),
                                             GameObjectData::behaviourKindOf(GameObjectKind::Plain), team,
                                             hitPoints, false);
    data_->objectId = objectId;
    setupScene(meshName, damage_);
    moneyGain_ = 100;
    experienceGain_ = 10;
    positionCache_ = mainNode_->getPosition();
    createSubObjects(nullptr);
}

GameObject::~GameObject()
{
    if (criticalReactor_) {
        criticalReactor_->detachToWorld();
        criticalReactor_ = nullptr;
    }
    destroySubObjects();
    if (damage_)
        damage_->remove(damageSlot_);
    if (targets_)
        targets_->remove(ownTargetSlot_);
    data_.reset();
    if (mainNode_) {
        while (mainNode_->numAttachedObjects() > 0)
            scene_->destroyMovableObject(mainNode_->detachObject(static_cast<unsigned short>(0)));
    }
    entity_ = nullptr;
    collisionEntity_ = nullptr;
    destroyNode(scene_, aimNode_);
    aimNode_ = nullptr;
    destroyNode(scene_, mainNode_);
    mainNode_ = nullptr;
}

void GameObject::setupScene(const std::string& meshName, DamageRegistry* damage)
{
    entity_ = scene_->createEntity(data_->name, meshName);
    collisionEntity_ = scene_->createEntity(data_->name + "col", meshName);
    collisionEntity_->setVisible(false);
    mainNode_ = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mainNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mainNode_->attachObject(entity_);
    mainNode_->attachObject(collisionEntity_);
    aimNode_ = mainNode_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    aimNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    damage_ = damage;
    registerBodies(3);
    loadEffects();
}

void GameObject::registerBodies(uint32_t bodyKind)
{
    const uint8_t actorColide = definition_ && definition_->ActorColide ? 1 : 0;
    if (damage_)
        damageSlot_ = damage_->add(collisionEntity_, data_.get(), bodyKind, actorColide, data_->team, objectId_, 0, 0);
    if (targets_)
        ownTargetSlot_ = targets_->add(mainNode_, entity_, data_.get(), definition_, 0, 0);
    data_->damageSlot = damageSlot_;
    data_->targetSlot = ownTargetSlot_;
}

const EffectsParams* GameObject::effectParams(const std::string& name) const
{
    if (name.empty() || name == " " || !fx_ || !fx_->getLibrary())
        return nullptr;
    return fx_->getLibrary()->getEffectParams(name);
}

void GameObject::loadEffects()
{
    if (!definition_)
        return;
    deathEffect_ = effectParams(definition_->Death_Effect);
    explodeEffect_ = definition_->Explode ? effectParams(definition_->ExplodeEffect) : nullptr;
    spawnEffect_ = effectParams(definition_->Spawn_Effect);
    retreatEffect_ = effectParams(definition_->Retreat_Effect);
}

void GameObject::spawnCriticalReactor()
{
    if (definition_ && fx_ && definition_->CriticalDam_Reactor.size() > 1)
        criticalReactor_ = fx_->spawnReactor(mainNode_, definition_->CriticalDam_Reactor);
}

void GameObject::createSubObjects(WeaponContext* context)
{
    if (!definition_)
        return;
    const uint32_t count = definition_->getNumSubObjs();
    subObjects_.assign(count, SubObjectSlot());
    for (uint32_t i = 0; i < count; ++i) {
        SubObjectSlot& slot = subObjects_[i];
        slot.free = false;
        const uint32_t type = definition_->subObjs[i].subObj_Type;
        if (type == 1)
            slot.object = new GO_subFreeDef(scene_, damage_, targets_, definition_, mainNode_, data_.get(), sounds_,
                                            projectiles_, fx_, context, difficulty_, sceneContext_, i);
        else if (type == 2)
            slot.object = new GO_subConeDef(scene_, damage_, targets_, definition_, mainNode_, data_.get(), sounds_,
                                            projectiles_, fx_, context, difficulty_, sceneContext_, i);
        else
            slot.object = new GO_subObj(scene_, damage_, targets_, definition_, mainNode_, data_.get(), sounds_,
                                        projectiles_, fx_, context, difficulty_, sceneContext_, i);
    }
}

GO_subObj* GameObject::getSubObject(uint32_t index) const
{
    return index < subObjects_.size() ? subObjects_[index].object : nullptr;
}

void GameObject::destroySubObject(uint32_t index)
{
    if (index >= subObjects_.size() || subObjects_[index].free)
        return;
    delete subObjects_[index].object;
    subObjects_[index] = SubObjectSlot();
    const subObjParams& part = definition_->subObjs[index];
    const float amount = part.Critical ? static_cast<float>(hitPoints()) : static_cast<float>(part.KillDmgParent);
    if (damage_)
        damage_->addDamage(damageSlot_, amount, 1, -1);
}

void GameObject::destroySubObjects()
{
    for (SubObjectSlot& slot : subObjects_) {
        if (!slot.free)
            delete slot.object;
        slot = SubObjectSlot();
    }
    subObjects_.clear();
    subObjects_.shrink_to_fit();
}

bool GameObject::update(float)
{
    playSpawnEffectOnce();
    if (checkDeath())
        return false;
    updateHitMarker();
    return true;
}

void GameObject::playSpawnEffectOnce()
{
    if (!spawnEffectPending_)
        return;
    if (spawnEffect_ && fx_)
        fx_->spawnEffect(spawnEffect_, mainNode_->getPosition(), mainNode_->getOrientation().zAxis());
    spawnEffectPending_ = 0;
}

bool GameObject::checkDeath()
{
    if (static_cast<float>(hitPoints()) > damageTaken())
        return false;
    if (deathEffect_ && fx_)
        fx_->spawnEffect(deathEffect_, mainNode_->getPosition(), mainNode_->getOrientation().zAxis());
    explodeOnDeath();
    return true;
}

void GameObject::updateHitMarker()
{
    const float d = damageTaken() - static_cast<float>(hitMarker_);
    hitMarker_ = d > 0.0f ? static_cast<uint32_t>(d) : 0;
}

void GameObject::setHP(float value, uint32_t)
{
    data_->setHitPoints(value);
}

float GameObject::getHealthPercent() const
{
    // HP 0 would divide by zero: such an object has no health left.
    if (hitPoints() == 0)
        return 0.0f;
    const float hp = static_cast<float>(hitPoints());
    return remapLinear(0.0f, hp, hp - damageTaken(), 0.0f, 100.0f);
}

float GameObject::getRadarRange() const
{
    return definition_ ? definition_->RadarRange : 0.0f;
}

float GameObject::getLockRangeVar() const
{
    return definition_ ? definition_->LockRangeVar : 0.0f;
}

float GameObject::getGroundLockVar() const
{
    return definition_ ? definition_->GroundLockVar : 0.0f;
}

float GameObject::getAirLockVar() const
{
    return definition_ ? definition_->AirLockVar : 0.0f;
}

float GameObject::getLockAngleVar() const
{
    return definition_ ? definition_->LockAngleVar : 0.0f;
}

void GameObject::updateMainWeapon(float, float) {}

float GameObject::getYaw() const
{
    return mainNode_->getOrientation().getYaw().valueDegrees();
}

void GameObject::setPosition(const Ogre::Vector3& position)
{
    mainNode_->setPosition(position);
    positionCache_ = mainNode_->getPosition();
}

Ogre::Vector3 GameObject::getWorldPosition() const
{
    return mainNode_->_getDerivedPosition();
}

uint32_t GameObject::hitPoints() const
{
    return data_ ? data_->hitPoints : 0;
}

float GameObject::damageTaken() const
{
    const DamageEntry* entry = damage_ ? damage_->getEntry(damageSlot_) : nullptr;
    return entry ? entry->damageTaken : 0.0f;
}

float GameObject::getHP() const
{
    return static_cast<float>(hitPoints()) - damageTaken();
}

void GameObject::addDamage(float amount)
{
    DamageEntry* entry = damage_ ? damage_->getEntry(damageSlot_) : nullptr;
    if (!entry)
        return;
    if (entry->damageTaken + amount <= 0.0f)
        entry->damageTaken = 0.0f;
    else
        entry->damageTaken += amount;
}

void GameObject::heal(float value, bool allowOverHeal)
{
    DamageEntry* entry = damage_ ? damage_->getEntry(damageSlot_) : nullptr;
    if (!entry)
        return;
    const float bonus = definition_ ? definition_->OverHPBonus : 0.0f;
    if (allowOverHeal && value < 0.0f)
        entry->damageTaken = std::max(value, -bonus);
    else
        entry->damageTaken = 0.0f;
}

bool GameObject::updateRetreat(float dt)
{
    if (!definition_ || !(definition_->RetreatTime > 0.0f))
        return false;
    retreatTimer_ += dt;
    if (!(retreatTimer_ > definition_->RetreatTime))
        return false;
    if (retreatEffect_ && fx_)
        fx_->spawnEffect(retreatEffect_, mainNode_->getPosition(), mainNode_->getOrientation().zAxis());
    return true;
}

bool GameObject::isRetreating() const
{
    return definition_ && damageTaken() < static_cast<float>(hitPoints()) && definition_->RetreatTime > 0.0f;
}

void GameObject::rollCriticalDamage()
{
    if (hitMarker_ == 0 || !criticalReactor_ || !definition_)
        return;
    if (!(getHealthPercent() < 30.0f) || !random_)
        return;
    const double r = random_->nextUnit();
    if (r * 100.0 < definition_->CriticalDam_Prob)
        criticalReactor_->setState(2);
}

void GameObject::explodeOnDeath()
{
    if (!definition_ || !definition_->Explode || !damage_)
        return;
    const int32_t team = static_cast<int32_t>(data_->team);
    // The blast takes in the dying body too: its own record must still name who killed it, or
    // the kill would be booked to the object itself.
    const DamageEntry* own = damage_->getEntry(damageSlot_);
    const DamageEntry kept = own ? *own : DamageEntry{};
    damage_->applyAreaDamage(mainNode_->getPosition(), definition_->ExplodeDamRange,
                             static_cast<float>(definition_->ExplodeDammage), 0, &team,
                             definition_->ExplodeDamFallOut, true, static_cast<int32_t>(objectId_));
    if (DamageEntry* entry = own ? damage_->getEntry(damageSlot_) : nullptr) {
        entry->damageTaken = kept.damageTaken;
        entry->lastHitType = kept.lastHitType;
        entry->lastAttackerId = kept.lastAttackerId;
    }
}

float GameObject::getTiltAngles() const
{
    const Ogre::Vector3 z = aimNode_->getOrientation().zAxis();
    const float a = Ogre::Math::ACos(z.x).valueDegrees();
    const float b = Ogre::Math::ACos(z.y).valueDegrees();
    return (b - 90.0f) * (b - 90.0f) + (a - 90.0f) * (a - 90.0f);
}

// --- shared aim-node and weapon bodies ---

bool GameObject::aimNodeAt(const Ogre::Vector3& worldPoint)
{
    aimNode_->lookAt(worldPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    return true;
}

float GameObject::aimNodeYaw() const
{
    return aimNode_->getOrientation().getYaw().valueDegrees();
}

float GameObject::aimNodeWorldYaw() const
{
    return aimNode_->_getDerivedOrientation().getYaw().valueDegrees();
}

Ogre::Vector3 GameObject::aimNodeFacing() const
{
    return aimNode_->getOrientation().zAxis();
}

Ogre::Vector3 GameObject::aimNodeWorldFacing() const
{
    return aimNode_->_getDerivedOrientation().zAxis();
}

int GameObject::weaponAmmo(const Weapon* weapon)
{
    return weapon ? static_cast<int>(weapon->getAmmo()) : 0;
}

bool GameObject::weaponReady(const Weapon* weapon)
{
    return weapon && weapon->isReady();
}

float GameObject::weaponLockRange(const Weapon* weapon)
{
    return weapon ? weapon->getLockRange() : 0.0f;
}

float GameObject::weaponLockSpeed(const Weapon* weapon)
{
    return weapon ? weapon->getLockSpeed() : 0.0f;
}

float GameObject::weaponLockArea(const Weapon* weapon)
{
    return weapon ? weapon->getLockArea() : 0.0f;
}
