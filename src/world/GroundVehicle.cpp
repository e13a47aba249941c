// Construction, scene, treads, weapons, sounds, the cached transform and the teardown of the
// ground vehicle.
#include "world/GroundVehicle.h"
#include "world/SceneItems.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "definitions/DefinitionCache.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/GroundVehiParams.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/PickUpWeapon.h"
#include "world/TargetRegistry.h"
#include "world/TreadScrollFunction.h"
#include "world/VirtualReactor.h"
#include "world/Weapon.h"

#include <OgreControllerManager.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

namespace {

// Detaches and destroys what hangs on the node, then its children and the node itself.
void destroyNodeWithObjects(Ogre::SceneManager* scene, Ogre::SceneNode*& node, bool objects)
{
    if (!node)
        return;
    if (objects)
        while (node->numAttachedObjects() > 0)
            scene->destroyMovableObject(node->detachObject(static_cast<unsigned short>(0)));
    node->removeAndDestroyAllChildren();
    scene->destroySceneNode(node);
    node = nullptr;
}

Ogre::SceneNode* childNode(Ogre::SceneNode* parent, bool fixedYaw)
{
    Ogre::SceneNode* node = parent->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    if (fixedYaw)
        node->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    return node;
}

// An animation state of the entity, enabled; null for a blank name or one the entity lacks.
Ogre::AnimationState* animationState(Ogre::Entity* entity, const std::string& name, bool loop)
{
    if (isAbsentName(name))
        return nullptr;
    try {
        Ogre::AnimationState* state = entity->getAnimationState(name);
        state->setEnabled(true);
        state->setLoop(loop);
        return state;
    } catch (const Ogre::Exception&) {
        return nullptr;
    }
}

}  // namespace

GroundVehicle::GroundVehicle(const GameObjectHandles& handles, GroundVehiParams* definition, uint32_t objectId,
                             uint32_t team, const std::string& name3, const std::string& name4)
    : GroundObject(handles, definition, objectId), vehicleParams_(definition)
{
    cachedProbes_.fill(Ogre::Vector3::ZERO);
    data_ = GameObjectData::forDefinition(GameObjectKind::GroundVehicle, objectId, *definition, name3, name4, team);
    buildScene();
    moneyGain_ = definition->MoneyGain;
    experienceGain_ = definition->ExperienceGain;
    if (definition->HasMainWeapon == 1 && weaponContext_) {
        mainWeapon_.reset(makeGroundWeapon(weaponContext_, definition->MainWeapon, cannonNode_, 0,
                                           static_cast<int32_t>(objectId_), static_cast<int32_t>(team),
                                           Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
        mainWeapon_->setUnlimitedAmmo(true);
    }
    createSubObjects(weaponContext_);
    // The manager places the vehicle after this: a snap here must not keep it from landing there.
    GroundVehicle::snapToGround();
    grounded_ = 0;
    updateCachedTransform();
    setupTreadMaterials();
    turboTime_ = 0.0f;
    noDamageTime_ = 0.0f;
}

GroundVehicle::~GroundVehicle()
{
    pickUpWeapon_.reset();
    mainWeapon_.reset();
    destroyTreads();
    turretTurnAnim_ = turretFireAnim_ = baseAccelAnim_ = baseTurnAnim_ = nullptr;
    for (VirtualReactor** reactor : {&moveReactor_, &dashReactor_}) {
        if (*reactor)
            (*reactor)->detachToWorld();
        *reactor = nullptr;
    }
    dashJumpEffect_ = nullptr;
    if (sounds_) {
        for (audio::Sound** sound : {&crashSound_, &dashSound_, &engineSound}) {
            sounds_->destroySound(*sound);
            *sound = nullptr;
        }
    }
    destroyNodeWithObjects(scene_, turretAimNode_, false);
    destroyNodeWithObjects(scene_, aimNode_, false);  // the base must not destroy it again
    destroyNodeWithObjects(scene_, hardPointNode_, false);
    destroyNodeWithObjects(scene_, cannonNode_, false);
    destroyNodeWithObjects(scene_, turretNode_, true);
    turretEntity_ = nullptr;
    destroyNodeWithObjects(scene_, treadRollNode_, false);
    destroyNodeWithObjects(scene_, treadPitchNode_, false);
    for (Ogre::SceneNode*& probe : probes_)
        destroyNodeWithObjects(scene_, probe, false);
    destroyNodeWithObjects(scene_, bodyNode_, true);
    entity_ = nullptr;
    destroyNodeWithObjects(scene_, dynamicsRollNode_, true);
    destroyNodeWithObjects(scene_, dynamicsPitchNode_, false);
    destroyNodeWithObjects(scene_, terrainRollNode_, true);
    destroyNodeWithObjects(scene_, terrainPitchNode_, false);
    // The GroundObject and GameObject destructors release the parts, the registry slots, the
    // collision entity and the main node.
}

void GroundVehicle::destroyTreads()
{
    auto& controllers = Ogre::ControllerManager::getSingleton();
    for (VehicleTread& tread : treads_) {
        for (VehicleWheel& wheel : tread.wheels) {
            for (VirtualReactor*& reactor : wheel.reactors) {
                if (reactor)
                    reactor->detachToWorld();
                reactor = nullptr;
            }
            destroyNodeWithObjects(scene_, wheel.node, true);
        }
        tread.wheels.clear();
        destroyNodeWithObjects(scene_, tread.node, true);
        tread.entity = nullptr;
        if (tread.scrollController)
            controllers.destroyController(tread.scrollController);
        tread.scrollController = nullptr;
        tread.scrollFunction.reset();
        if (tread.material) {
            Ogre::MaterialManager::getSingleton().remove(tread.material);
            tread.material.reset();
        }
    }
    treads_.clear();
}

void GroundVehicle::buildScene()
{
    const GroundVehiParams& def = *vehicleParams_;
    const std::string name = data_->name + std::to_string(objectId_);
    entity_ = scene_->createEntity(name, def.meshName);
    entity_->setCastShadows(true);
    collisionEntity_ = scene_->createEntity(name + "col", def.collisionMeshName);
    collisionEntity_->setVisible(false);
    mainNode_ = childNode(scene_->getRootSceneNode(), true);
    mainNode_->attachObject(collisionEntity_);

    terrainPitchNode_ = childNode(mainNode_, true);
    terrainRollNode_ = childNode(terrainPitchNode_, true);
    dynamicsPitchNode_ = childNode(terrainRollNode_, true);
    dynamicsRollNode_ = childNode(dynamicsPitchNode_, true);
    bodyNode_ = childNode(dynamicsPitchNode_, true);
    bodyNode_->attachObject(entity_);

    // The right-hand probes mirror CollPointBRight's x.
    const Ogre::Vector3& fl = def.CollPointFLeft;
    const Ogre::Vector3& br = def.CollPointBRight;
    const Ogre::Vector3 probeAt[ProbeCount] = {{fl.x, fl.y, fl.z},  {0, fl.y, fl.z}, {-br.x, fl.y, fl.z},
                                               {fl.x, br.y, br.z},  {0, br.y, br.z}, {-br.x, br.y, br.z}};
    for (int i = 0; i < ProbeCount; ++i) {
        probes_[i] = childNode(terrainRollNode_, false);
        probes_[i]->setPosition(probeAt[i]);
    }

    treadPitchNode_ = childNode(mainNode_, true);
    treadRollNode_ = childNode(treadPitchNode_, true);

    turretNode_ = childNode(bodyNode_, def.hasTurret);
    cannonNode_ = childNode(turretNode_, false);
    cannonNode_->setPosition(def.CannonPos);
    hardPointNode_ = childNode(turretNode_, false);
    hardPointNode_->setPosition(def.HardPointPos);
    if (def.hasTurret) {
        turretNode_->setPosition(def.TurretPos);
        turretEntity_ = createEntityOrNull(scene_, name + "tur", def.getTurretMesh(), "Ground vehicle");
        if (turretEntity_)
            turretNode_->attachObject(turretEntity_);
    }

    aimNode_ = childNode(turretNode_, true);
    aimNode_->translate(Ogre::Vector3(0, 2, 0), Ogre::Node::TS_PARENT);
    aimNode_->pitch(Ogre::Degree(90));
    turretAimNode_ = childNode(mainNode_, true);
    turretAimNode_->translate(Ogre::Vector3::ZERO, Ogre::Node::TS_PARENT);

    // Registered as team 2 whatever the vehicle's team: the registry keeps it, and friend or foe
    // is decided from the owner's record.
    if (damage_)
        damageSlot_ = damage_->add(collisionEntity_, data_.get(), 3, def.ActorColide ? 1 : 0, 2, objectId_, 0, 0);
    if (targets_)
        ownTargetSlot_ = targets_->add(mainNode_, entity_, data_.get(), definition_, 0, 0);
    data_->damageSlot = damageSlot_;
    data_->targetSlot = ownTargetSlot_;

    loadEffects();
    spawnCriticalReactor();
    loadDashEffect();
    createSounds();
    createReactors();
    setupAnimations();
    buildTreads();
}

void GroundVehicle::loadDashEffect()
{
    dashJumpEffect_ = effectParams(vehicleParams_->getDashJumpEffect());
}

void GroundVehicle::createSounds()
{
    if (!sounds_)
        return;
    const std::string id = std::to_string(objectId_);
    const struct {
        std::string file;
        const char* prefix;
        bool loop;
        audio::Sound** sound;
    } wanted[] = {{vehicleParams_->getCrashSound(), "GV_Crashs", false, &crashSound_},
                  {vehicleParams_->getDashSound(), "GV_Dash", false, &dashSound_},
                  {vehicleParams_->getEngineSound(), "GV_Eng", true, &engineSound}};
    for (const auto& w : wanted) {
        if (isAbsentName(w.file))
            continue;
        *w.sound = sounds_->createSound(w.prefix + id, w.file, w.loop, false);
        if (*w.sound)
            dynamicsRollNode_->attachObject(*w.sound);
    }
}

void GroundVehicle::createReactors()
{
    if (!fx_)
        return;
    moveReactor_ = fx_->spawnReactor(dynamicsRollNode_, vehicleParams_->getMoveReactor());
    if (moveReactor_)
        moveReactor_->setEmitterPosition(vehicleParams_->Move_Re_Pos);
    dashReactor_ = fx_->spawnReactor(dynamicsRollNode_, vehicleParams_->getDashReactor());
    if (dashReactor_)
        dashReactor_->setEmitterPosition(vehicleParams_->Dash_Re_Pos);
}

void GroundVehicle::setupAnimations()
{
    const GroundVehiParams& def = *vehicleParams_;
    if (def.hasTurret && turretEntity_ && turretEntity_->hasSkeleton()) {
        turretEntity_->getSkeleton()->setBlendMode(Ogre::ANIMBLEND_CUMULATIVE);
        turretTurnAnim_ = animationState(turretEntity_, def.getTurTurnAnim(), true);
        turretFireAnim_ = animationState(turretEntity_, def.getTurFireAnim(), false);
        if (turretFireAnim_)  // parked at its end until the gun fires
            turretFireAnim_->setTimePosition(turretFireAnim_->getLength());
    }
    if (entity_->hasSkeleton()) {
        entity_->getSkeleton()->setBlendMode(Ogre::ANIMBLEND_CUMULATIVE);
        baseAccelAnim_ = animationState(entity_, def.getBaseAccAnim(), true);
        baseTurnAnim_ = animationState(entity_, def.getBaseTurnAnim(), true);
    }
}

void GroundVehicle::buildTreads()
{
    const GroundVehiParams& def = *vehicleParams_;
    const std::string name = data_->name + std::to_string(objectId_);
    treads_.resize(def.getNumTreads());
    for (uint32_t i = 0; i < treads_.size(); ++i) {
        const GroundVehiParams::TreadRecord& record = def.Treads[i];
        VehicleTread& tread = treads_[i];
        tread.node = childNode(treadRollNode_, false);
        tread.entity = createEntityOrNull(scene_, name + "t" + std::to_string(i), record.Mesh, "Ground vehicle");
        if (tread.entity)
            tread.node->attachObject(tread.entity);
        tread.node->setPosition(record.Pos);
        tread.wheels.resize(record.getNumWheels());
        for (uint32_t w = 0; w < tread.wheels.size(); ++w) {
            VehicleWheel& wheel = tread.wheels[w];
            const Ogre::Vector2& at = record.Wheels[w].Pos;
            wheel.node = childNode(tread.node, false);
            wheel.node->setPosition(0, at.y, at.x);
            if (!fx_ || !sceneContext_)
                continue;
            for (size_t k = 0; k < wheel.reactors.size(); ++k) {
                const std::string& reactor = sceneContext_->floorReactorNames[k];
                if (!reactor.empty())
                    wheel.reactors[k] = fx_->spawnReactor(wheel.node, reactor);
            }
        }
    }
}

void GroundVehicle::setupTreadMaterials()
{
    const std::string name = data_->name + std::to_string(objectId_);
    auto& materials = Ogre::MaterialManager::getSingleton();
    try {
        const Ogre::MaterialPtr base = materials.getByName(vehicleParams_->getTreadMatName());
        if (!base)
            throw Ogre::ItemIdentityException(Ogre::Exception::ERR_ITEM_NOT_FOUND, "no tread material",
                                              "GroundVehicle::setupTreadMaterials", __FILE__, __LINE__);
        for (uint32_t i = 0; i < treads_.size(); ++i) {
            VehicleTread& tread = treads_[i];
            const std::string cloneName = name + "_" + std::to_string(i) + "Tmat";
            if (!tread.entity)
                continue;  // a tread without its mesh has nothing to scroll
            tread.material = base->clone(cloneName);
            for (Ogre::SubEntity* sub : tread.entity->getSubEntities())
                if (sub->getMaterial() == base)
                    sub->setMaterialName(cloneName, tread.material->getGroup());
            Ogre::Technique* technique = tread.material->getTechnique(0);
            Ogre::Pass* pass = technique ? technique->getPass(0) : nullptr;
            Ogre::TextureUnitState* unit = pass ? pass->getTextureUnitState(0) : nullptr;
            if (!unit)
                throw Ogre::ItemIdentityException(Ogre::Exception::ERR_ITEM_NOT_FOUND, "no texture unit",
                                                  "GroundVehicle::setupTreadMaterials", __FILE__, __LINE__);
            tread.scrollController = createTreadScroller(unit, tread.scrollFunction);
            tread.scrollFunction->setRate(0.0f);
            tread.scrollController->setEnabled(true);
        }
    } catch (const Ogre::Exception&) {
        // Without its material the vehicle runs with still treads.
        auto& controllers = Ogre::ControllerManager::getSingleton();
        for (VehicleTread& tread : treads_) {
            if (tread.scrollController)
                controllers.destroyController(tread.scrollController);
            tread.scrollController = nullptr;
            tread.scrollFunction.reset();
            if (tread.material && tread.entity) {
                for (Ogre::SubEntity* sub : tread.entity->getSubEntities())
                    if (sub->getMaterial() == tread.material)
                        sub->setMaterialName(vehicleParams_->getTreadMatName());
                materials.remove(tread.material);
            }
            tread.material.reset();
        }
    }
}

void GroundVehicle::giveWeapon(const std::string& weaponName)
{
    pickUpWeapon_.reset();
    if (!weaponContext_)
        return;
    pickUpWeapon_.reset(makePickUpWeapon(weaponContext_, weaponName, hardPointNode_, 0,
                                         static_cast<int32_t>(objectId_), static_cast<int32_t>(data_->team),
                                         Ogre::Vector3::ZERO, Ogre::Vector3::ZERO));
    if (playData_) {
        playData_->weaponChanged = 1;
        playData_->setWeaponIconName(pickUpWeapon_->getWeaponIcon());
        playData_->setWeaponArrowName(pickUpWeapon_->getWeaponArrow());
    }
}

void GroundVehicle::dropPickUpWeapon()
{
    pickUpWeapon_.reset();
}

void GroundVehicle::pauseSounds()
{
    if (engineSound)
        engineSound->pause();
}

void GroundVehicle::resumeSounds()
{
    if (engineSound)
        engineSound->play();
}

void GroundVehicle::updateCachedTransform()
{
    mainNode_->_update(true, false);  // children keep stale world positions until updated
    cachedPosition_ = mainNode_->getPosition();
    cachedYaw_ = mainNode_->getOrientation().getYaw().valueDegrees();
    for (int i = 0; i < ProbeCount; ++i)
        cachedProbes_[i] = probes_[i]->_getDerivedPosition();
}

void GroundVehicle::restoreCachedTransform()
{
    mainNode_->setPosition(cachedPosition_);
    mainNode_->resetOrientation();
    mainNode_->yaw(Ogre::Degree(cachedYaw_));
    updateCachedTransform();
}

bool GroundVehicle::aimTurretAt(const Ogre::Vector3& worldPoint)
{
    turretAimNode_->lookAt(worldPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    return true;
}

float GroundVehicle::getTurretYaw() const
{
    return turretAimNode_->getOrientation().getYaw().valueDegrees();
}

float GroundVehicle::getTurretWorldYaw() const
{
    return turretAimNode_->_getDerivedOrientation().getYaw().valueDegrees();
}

Ogre::Vector3 GroundVehicle::getTurretFacing() const
{
    return turretAimNode_->_getDerivedOrientation().zAxis();
}

void GroundVehicle::setBodyVisible(bool visible)
{
    bodyNode_->setVisible(visible, true);
    for (VehicleTread& tread : treads_)
        if (tread.entity)
            tread.entity->setVisible(visible);
}
