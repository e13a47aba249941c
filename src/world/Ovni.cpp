#include "world/Ovni.h"
#include "world/SceneItems.h"

#include "core/GamePlayData.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "definitions/OvniParams.h"
#include "world/CollisionRays.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/VirtualReactor.h"
#include "world/Weapon.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cmath>

namespace {

bool isBlankName(const std::string& name) { return name.empty() || name == " "; }

// A named state of the entity, or null when the name is blank or the entity has no such state.
Ogre::AnimationState* findAnimation(Ogre::Entity* entity, const std::string& name)
{
    if (isBlankName(name) || !entity->hasAnimationState(name))
        return nullptr;
    return entity->getAnimationState(name);
}

void destroyNode(Ogre::SceneManager* scene, Ogre::SceneNode*& node)
{
    if (!node)
        return;
    node->removeAndDestroyAllChildren();
    scene->destroySceneNode(node);
    node = nullptr;
}

}  // namespace

Ovni::Ovni(const GameObjectHandles& handles, OvniParams* definition, uint32_t objectId, uint32_t team,
           const std::string& name3, const std::string& name4)
    : AirObject(Unbuilt{}, handles, definition, objectId), ovniParams_(definition)
{
    data_ = GameObjectData::forDefinition(GameObjectKind::Ovni, objectId, *definition, name3, name4, team);
    Ovni::buildScene();
    moneyGain_ = definition->MoneyGain;
    experienceGain_ = definition->ExperienceGain;
    makeMainWeapon(cannonNode_);
    createSubObjects(weaponContext_);
    placeOnFloor();
}

Ovni::~Ovni()
{
    idleAnim_ = turnAnim_ = fireAnim_ = hitAnim_ = nullptr;
    // The reactors burn on where the Ovni was; the pool keeps them.
    for (VirtualReactor* reactor : reactors_)
        if (reactor)
            reactor->detachToWorld();
    reactors_.clear();
    mainWeapon_.reset();
    destroyNode(scene_, cannonNode_);
    // The aim node is gone with this: the GameObject teardown must not touch it again.
    destroyNode(scene_, aimNode_);
    destroyNodeWithEntities(turretNode_);
    turretEntity_ = nullptr;
    destroyNodeWithEntities(modelNode_);
    entity_ = nullptr;
    destroyNode(scene_, bodyNode_);
    destroyNode(scene_, headingNode_);
}

void Ovni::destroyNodeWithEntities(Ogre::SceneNode*& node)
{
    if (!node)
        return;
    while (node->numAttachedObjects() > 0)
        scene_->destroyMovableObject(node->detachObject(static_cast<unsigned short>(0)));
    destroyNode(scene_, node);
}

void Ovni::buildScene()
{
    const OvniParams& def = *ovniParams_;
    const std::string name = data_->name + Ogre::StringConverter::toString(objectId_);
    entity_ = scene_->createEntity(name, def.meshName);
    collisionEntity_ = scene_->createEntity(name + "col", def.collisionMeshName);
    collisionEntity_->setVisible(false);

    mainNode_ = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mainNode_->attachObject(collisionEntity_);
    bodyNode_ = mainNode_->createChildSceneNode();
    modelNode_ = bodyNode_->createChildSceneNode();
    modelNode_->attachObject(entity_);

    turretNode_ = modelNode_->createChildSceneNode();
    turretNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    turretNode_->setPosition(def.TurPos);
    if (def.HasTurret && !isBlankName(def.TurMesh)) {
        turretEntity_ = createEntityOrNull(scene_, name + "tur", def.TurMesh, "Ovni");
        if (turretEntity_)
            turretNode_->attachObject(turretEntity_);
    }
    cannonNode_ = turretNode_->createChildSceneNode();
    cannonNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    cannonNode_->setPosition(def.TurCannPos);
    aimNode_ = turretNode_->createChildSceneNode();
    aimNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);

    headingNode_ = mainNode_->createChildSceneNode();
    headingNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    headingNode_->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_LOCAL, Ogre::Vector3::NEGATIVE_UNIT_Z);

    registerBodies(5);
    loadAirEffects();

    reactors_.assign(def.Reactors.size(), nullptr);
    for (size_t i = 0; i < def.Reactors.size() && fx_; ++i) {
        VirtualReactor* reactor = fx_->spawnReactor(modelNode_, def.Reactors[i].Name);
        if (!reactor)
            continue;
        reactor->setEmitterPosition(def.Reactors[i].Pos);
        reactor->setState(2);
        reactors_[i] = reactor;
    }
    setupAnimations(entity_, turretEntity_);
}

void Ovni::setupAnimations(Ogre::Entity* body, Ogre::Entity* turret)
{
    const OvniParams& def = *ovniParams_;
    if (def.HasTurret && turret && turret->hasSkeleton()) {
        turret->getSkeleton()->setBlendMode(Ogre::ANIMBLEND_CUMULATIVE);
        // The fire animation rests at its end until a shot restarts it.
        if ((fireAnim_ = findAnimation(turret, def.TurAnim))) {
            fireAnim_->setEnabled(true);
            fireAnim_->setLoop(false);
            fireAnim_->setTimePosition(fireAnim_->getLength());
        }
    }
    if (!body->hasSkeleton())
        return;
    body->getSkeleton()->setBlendMode(Ogre::ANIMBLEND_CUMULATIVE);
    idleAnim_ = findAnimation(body, def.IdleAnim);
    turnAnim_ = findAnimation(body, def.TurnAnim);
    for (Ogre::AnimationState* looping : {idleAnim_, turnAnim_}) {
        if (looping) {
            looping->setEnabled(true);
            looping->setLoop(true);
        }
    }
    if ((hitAnim_ = findAnimation(body, def.HitAnim))) {
        hitAnim_->setEnabled(true);
        hitAnim_->setLoop(false);
        hitAnim_->setTimePosition(hitAnim_->getLength());
    }
}

void Ovni::placeOnFloor()
{
    // Without a projectile floor no ray can ever hit: the Ovni keeps its place.
    if (!sceneContext_ || !sceneContext_->projectileFloor) {
        return;
    }
    const float hover = playData_ ? playData_->ovniHoverHeight() : 0.0f;
    for (int attempt = 0;; ++attempt) {
        Ogre::Vector3 hit;
        float closest = -1.0f;
        if (raycastProjFloor(damage_, mainNode_->getPosition() + Ogre::Vector3(0, 10, 0),
                             Ogre::Vector3::NEGATIVE_UNIT_Y, closest, hit)) {
            mainNode_->setPosition(hit + Ogre::Vector3(0, hover, 0));
            return;
        }
        // A floor that misses the whole border rectangle must not hang the game.
        if (attempt == kMaxPlacementRetries || !random_)
            return;
        const Ogre::Vector4 border = sceneContext_->getScaledBorder();
        const float u1 = static_cast<float>(random_->nextUnit());
        const float u2 = static_cast<float>(random_->nextUnit());
        mainNode_->setPosition(border.x + 10 + u1 * ((border.z - border.x) - 20), 35,
                               border.y + 10 + u2 * ((border.w - border.y) - 20));
    }
}

void Ovni::reactToHits()
{
    const float taken = damageTaken();
    const float d = taken - static_cast<float>(hitMarker_);
    if (!(d > 0.0f))
        return;
    const uint32_t row = ovniParams_->mechanicsRow;
    if (row > 0 && playData_) {
        playData_->onOvniHit(row - 1);
        playData_->onOvniDamage(row - 1, d);
    }
    // An Ovni whose definition HP is below 1 has HP 0: it still takes hits while it shakes.
    const uint32_t hp = hitPoints();
    shake += 0.5f + static_cast<float>(hp ? hitMarker_ / hp : 0u);
    hitMarker_ = GameObjectData::hitPointsFromFloat(taken);
    shake = std::min(shake, 1.0f);
    if (hitAnim_)
        hitAnim_->setTimePosition(0.0f);
}

bool Ovni::update(float dt)
{
    reactToHits();
    updateLevitation(dt);
    playSpawnEffectOnce();
    if (isDestroyed()) {
        // A destroyed Ovni shakes on until its shake falls below 0.4, then explodes.
        if (shake >= 0.4f)
            return true;
        checkDeath();
        return false;
    }
    if (shake == 0.0f && updateRetreat(dt))
        return false;
    updateAnimations(dt);
    aimTurret(dt);
    updateMainWeapon(dt, 0.0f);
    rollCriticalDamage();
    updateFlight(dt);
    updateHoverHeight(dt);
    return true;
}

void Ovni::updateLevitation(float dt)
{
    const OvniParams& def = *ovniParams_;
    levitationPhase_ += dt;
    if (levitationPhase_ > 360.0f)
        levitationPhase_ -= 360.0f;
    bodyNode_->setPosition(
        0, Ogre::Math::Cos(Ogre::Radian(def.Lev_Amplitude * levitationPhase_)) * def.Lev_Range + def.Lev_Offset, 0);
    shake = std::max(shake - dt, 0.0f);
    wobbleA_ += 60.0f * dt;
    wobbleB_ += 50.0f * dt;
    if (wobbleA_ > 360.0f)
        wobbleA_ -= 360.0f;
    if (wobbleB_ > 360.0f)
        wobbleB_ -= 360.0f;
    modelNode_->resetOrientation();
    modelNode_->roll(Ogre::Degree(Ogre::Math::Cos(Ogre::Radian(wobbleA_)) * shake * 20.0f), Ogre::Node::TS_LOCAL);
    modelNode_->pitch(Ogre::Degree(Ogre::Math::Cos(Ogre::Radian(wobbleB_)) * shake * 22.0f), Ogre::Node::TS_LOCAL);
}

void Ovni::updateAnimations(float dt)
{
    if (fireAnim_)
        fireAnim_->addTime(dt);
    if (hitAnim_)
        hitAnim_->addTime(dt);
    if (idleAnim_)
        idleAnim_->addTime(ovniParams_->IdleAnimSpd * dt);
    if (turnAnim_)
        turnAnim_->addTime(ovniParams_->TurnAnim_Tspd * dt);
}

void Ovni::aimTurret(float dt)
{
    const Ogre::Vector3 z = aimNode_->getOrientation().zAxis();
    const float s = ovniParams_->TurTurnSpeed;
    const float m = ovniParams_->TurnAnim_Mspd;
    // A step never turns past the aim: at low frame rates the full step of a fast turret would
    // swing it to the other side, and the swing would grow instead of settling.
    const float left = std::fabs(Ogre::Math::ATan2(z.x, z.z).valueDegrees());
    const auto yaw = [&](float degrees) {
        turretNode_->yaw(Ogre::Degree(std::clamp(degrees, -left, left)), Ogre::Node::TS_LOCAL);
    };
    const auto advance = [&](float t) {
        if (turnAnim_)
            turnAnim_->addTime(t);
    };
    if (z.z >= 0.0f) {
        if (z.x > 0.0f && z.x < 0.1f) {
            const float k = remapLinear(0.1f, 0.0f, z.x, 1.0f, 0.0f);
            advance(k * m * dt);
            yaw(k * s * dt);
        } else if (z.x >= 0.1f) {
            advance(m * dt);
            yaw(s * dt);
        } else if (z.x < 0.0f && z.x > -0.1f) {
            const float k = remapLinear(-0.1f, 0.0f, z.x, 1.0f, 0.0f);
            advance(-(k * m * dt));
            yaw(-(k * s * dt));
        } else if (z.x <= -0.1f) {
            advance(-(m * dt));
            yaw(-(s * dt));
        }
    } else if (z.x > 0.0f) {
        yaw(s * dt);
    } else if (z.x < 0.0f) {
        yaw(-(s * dt));
    }
}

void Ovni::updateMainWeapon(float dt, float)
{
    if (!mainWeapon_)
        return;
    if (fireAnim_ && trigger_ && mainWeapon_->getCoolDown() == 0.0f)
        fireAnim_->setTimePosition(0.0f);
    if (hasTarget_)
        mainWeapon_->tick(dt, 0.0f, trigger_ != 0, true, static_cast<int32_t>(targetSlot_));
    else
        mainWeapon_->tick(dt, 0.0f, trigger_ != 0, false, 0);
}

void Ovni::updateFlight(float dt)
{
    headingNode_->yaw(Ogre::Degree(turnRate * dt * 180.0f), Ogre::Node::TS_LOCAL);
    // Along the heading as the world sees it: the main node may be turned (the rules give each
    // new Ovni a random yaw), and the heading's own axes are relative to it.
    const float move = ovniParams_->MoveSpeed * speedFactor * dt;
    mainNode_->translate(headingNode_->_getDerivedOrientation() * Ogre::Vector3(0, 0, -move), Ogre::Node::TS_WORLD);
    if (speedFactor != 0.0f)
        clampToBorder();
}

void Ovni::clampToBorder()
{
    if (!sceneContext_)
        return;
    const Ogre::Vector4 border = sceneContext_->getScaledBorder();
    const float margin = 4.0f;
    const float minX = border.x + margin, minZ = border.y + margin;
    const float maxX = border.z - margin, maxZ = border.w - margin;
    Ogre::Vector3 p = mainNode_->getPosition();
    if (p.x >= minX && p.x <= maxX && p.z >= minZ && p.z <= maxZ)
        return;
    p.x = std::min(std::max(p.x, minX), maxX);
    p.z = std::min(std::max(p.z, minZ), maxZ);
    mainNode_->setPosition(p);
}

void Ovni::updateHoverHeight(float dt)
{
    if (!playData_)
        return;
    const float hover = playData_->ovniHoverHeight();
    const float climb = playData_->ovniHoverSpeed() * dt;
    Ogre::Vector3 hit;
    float closest = -1.0f;
    if (!raycastProjFloor(damage_, mainNode_->getPosition() + Ogre::Vector3(0, 10, 0), Ogre::Vector3::NEGATIVE_UNIT_Y,
                          closest, hit))
        return;
    const float h = closest - 10.0f;
    if (h < hover) {
        if (h + climb <= hover)
            mainNode_->translate(0, climb, 0, Ogre::Node::TS_PARENT);
        else
            mainNode_->setPosition(hit + Ogre::Vector3(0, hover, 0));
    } else if (h > hover) {
        if (h - climb >= hover)
            mainNode_->translate(0, -climb, 0, Ogre::Node::TS_PARENT);
        else
            mainNode_->setPosition(hit + Ogre::Vector3(0, hover, 0));
    }
}

bool Ovni::aimTurretAt(const Ogre::Vector3& worldPoint)
{
    headingNode_->lookAt(worldPoint, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    return true;
}

float Ovni::getTurretYaw() const { return headingNode_->getOrientation().getYaw().valueDegrees(); }
float Ovni::getTurretWorldYaw() const { return headingNode_->_getDerivedOrientation().getYaw().valueDegrees(); }
Ogre::Vector3 Ovni::getTurretFacing() const { return headingNode_->_getDerivedOrientation().zAxis(); }
Ogre::Vector3 Ovni::getTurretWorldFacing() const { return getTurretFacing(); }
