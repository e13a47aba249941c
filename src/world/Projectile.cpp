#include "world/Projectile.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "definitions/WarHeadParams.h"
#include "definitions/projParams.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/ParticleStock.h"
#include "world/TargetRegistry.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <limits>

ProjectileRecord::ProjectileRecord(projParams* definition_, WarHeadParams* warhead_, uint32_t serial_,
                                   uint32_t ownerId_, int32_t team_, int32_t targetSlot_, uint32_t damage_,
                                   float speed_, float life_, Ogre::SceneNode* node_, uint8_t tracking_)
    : definition(definition_), warhead(warhead_), node(node_), serial(serial_), life(life_), speed(speed_),
      ownerId(ownerId_), team(team_), targetSlot(targetSlot_), tracking(tracking_), damage(damage_)
{
}

Projectile::Projectile(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                       DamageRegistry* damage, FxPool* fx, projParams* definition, WarHeadParams* warhead,
                       TargetRegistry* targets)
    : playData_(playData), scene_(scene), sounds_(sounds), damage_(damage), fx_(fx), definition_(definition),
      warhead_(warhead), targets_(targets)
{
}

Projectile::~Projectile()
{
    for (audio::Sound** sound : {&impactSound_, &liveSound_, &spawnSound_}) {
        if (!*sound)
            continue;
        if ((*sound)->isAttached())
            (*sound)->detachFromParent();
        if (sounds_)
            sounds_->destroySound(*sound);
        *sound = nullptr;
    }
    if (node_) {
        node_->detachAllObjects();
        if (entity_)
            scene_->destroyEntity(entity_);
        entity_ = nullptr;
        fx::returnRootNode(nodeStock(), scene_, node_);
        node_ = nullptr;
    }
    record_.reset();
}

fx::ParticleStock* Projectile::nodeStock() const { return fx_ ? &fx_->particleStock() : nullptr; }

void Projectile::setUpNode(const std::string& entityName, const std::string& meshName,
                           const Ogre::Vector3& position, const Ogre::Quaternion& orientation)
{
    node_ = fx::takeRootNode(nodeStock(), scene_);
    if (!meshName.empty()) {
        try {
            entity_ = scene_->createEntity(entityName, meshName);
        } catch (const Ogre::Exception& e) {
            // A shot without its mesh still flies and hits.
            Ogre::LogManager::getSingleton().logMessage("projectile: cannot create '" + entityName + "' from '" +
                                                        meshName + "': " + e.getDescription());
            entity_ = nullptr;
        }
    }
    node_->setPosition(position);
    node_->setOrientation(orientation);
    if (entity_)
        node_->attachObject(entity_);
}

void Projectile::applySpread(float spread)
{
    node_->yaw(Ogre::Degree(Ogre::Math::RangeRandom(-spread, spread)));
    node_->pitch(Ogre::Degree(Ogre::Math::RangeRandom(-spread, spread)));
}

void Projectile::makeRecord(uint32_t serial, uint32_t ownerId, int32_t team, int32_t targetSlot, uint32_t damage,
                            uint8_t tracking)
{
    record_ = std::make_unique<ProjectileRecord>(definition_, warhead_, serial, ownerId, team, targetSlot, damage,
                                                 speed_, life_, node_, tracking);
    record_->maxSpeed = definition_->Speed + definition_->MaxSpeed;
}

void Projectile::makeFlightSounds(uint32_t serial)
{
    if (!sounds_)
        return;
    const std::string n = std::to_string(serial);
    if (definition_->hasLiveSound) {
        liveSound_ = sounds_->createSound("pLiveS" + n, definition_->LiveSound, true);
        node_->attachObject(liveSound_);
        liveSound_->play();
    }
    if (definition_->hasSpawnSound) {
        spawnSound_ = sounds_->createSound("pSpawnS" + n, definition_->SpawnSound, false);
        node_->attachObject(spawnSound_);
        spawnSound_->play();
    }
}

void Projectile::applyMinDistVisible()
{
    if (definition_->MinDistVisible <= 0.0f) {
        visible_ = 1;
    } else {
        node_->setVisible(false, true);
        visible_ = 0;
    }
}

Ogre::Vector3 Projectile::facing() const { return -node_->getOrientation().zAxis(); }

bool Projectile::floorRay(const Ogre::Vector3& origin, const Ogre::Vector3& direction, Ogre::Vector3& point,
                          float& distance)
{
    return raycastFromTo(damage_, origin, direction, point, distance, floorNumber_, floorCorner_[0], floorCorner_[1],
                         floorCorner_[2]);
}

void Projectile::floatOverFloor(float dt)
{
    if (!playData_)
        return;
    const float pitchRate = playData_->projFloatPitchRate();
    const float climbRate = playData_->projFloatClimbRate();
    const float height = playData_->projFloatHeight();

    // The nose turns toward level, never past it: at low frame rates a full step would tip a
    // nearly level round well up or down, and every tick would tip it back the other way.
    const float noseY = node_->getOrientation().zAxis().y;
    const float toLevel = std::fabs(Ogre::Math::ASin(std::clamp(noseY, -1.0f, 1.0f)).valueDegrees());
    const float step = std::min(pitchRate * dt, toLevel);
    if (noseY > 0.0f)
        node_->pitch(Ogre::Degree(step));
    else if (noseY < 0.0f)
        node_->pitch(Ogre::Degree(-step));

    float closest = -1.0f;
    if (!raycastProjFloor(damage_, node_->getPosition() + Ogre::Vector3(0, 20, 0), Ogre::Vector3::NEGATIVE_UNIT_Y,
                          closest, floatPoint_))
        return;
    float v = climbRate * dt;
    if (height <= closest - 20.0f)
        v *= -0.5f;
    node_->translate(Ogre::Vector3(0, v, 0), Ogre::Node::TS_PARENT);
}

void Projectile::advanceDistance(float dt)
{
    distance_ += speed_ * dt;
    if (!visible_ && distance_ >= definition_->MinDistVisible) {
        node_->setVisible(true, true);
        visible_ = 1;
    }
}

void Projectile::moveForward(float dt)
{
    node_->translate(Ogre::Vector3(0, 0, -speed_ * dt * 60.0f), Ogre::Node::TS_LOCAL);
}

void Projectile::accelerate(float dt)
{
    if (speed_ < record_->maxSpeed)
        speed_ = std::min((dt + 1.0f) * speed_, record_->maxSpeed);
}

void Projectile::hideNode() { node_->setVisible(false, true); }

void Projectile::hideMesh()
{
    if (entity_)
        entity_->setVisible(false);
}

void Projectile::stopLiveSound()
{
    if (liveSound_)
        liveSound_->stop();
}

bool Projectile::targetInUse(int32_t slot) const
{
    return targets_ && slot >= 0 && targets_->inUse(static_cast<uint32_t>(slot));
}

bool Projectile::impactSoundRunning() const
{
    return impactSound_ && (impactSound_->isPlaying() || impactSound_->isPaused());
}

void Projectile::areaDamage(const Ogre::Vector3& centre, bool friendlyFire)
{
    if (!damage_)
        return;
    damage_->applyAreaDamage(centre, warhead_->DamageRange, static_cast<float>(record_->damage),
                             definition_->ProjectileType, &record_->team, warhead_->SplashFadeDamage, friendlyFire,
                             static_cast<int32_t>(record_->ownerId));
}

void Projectile::directDamage(uint32_t slot, float amount)
{
    if (!damage_)
        return;
    const GameObjectData* owner = damage_->getOwnerData(slot);
    if (!warhead_->FriendlyFire && owner && static_cast<int32_t>(owner->team) == record_->team)
        return;
    damage_->addDamage(slot, amount, definition_->ProjectileType, static_cast<int32_t>(record_->ownerId));
}

bool Projectile::update(float dt, bool& hitReport, int& projectileType)
{
    hitReport = false;
    projectileType = static_cast<int>(definition_->ProjectileType);
    floatOverFloor(dt);
    if (record_->state == ProjectileState_Exploded)
        return impactSoundRunning();
    return advance(dt, hitReport);
}

void Projectile::destroyAttachments()
{
    if (!node_)
        return;
    while (node_->numAttachedObjects() > 0) {
        Ogre::MovableObject* object = node_->detachObject(static_cast<unsigned short>(0));
        if (object == entity_)
            entity_ = nullptr;
        if (object == impactSound_ || object == liveSound_ || object == spawnSound_) {
            // Sounds belong to the sound manager.
            if (object == impactSound_)
                impactSound_ = nullptr;
            if (object == liveSound_)
                liveSound_ = nullptr;
            if (object == spawnSound_)
                spawnSound_ = nullptr;
            if (sounds_)
                sounds_->destroySound(static_cast<audio::Sound*>(object));
            continue;
        }
        scene_->destroyMovableObject(object);
    }
    fx::returnRootNode(nodeStock(), scene_, node_);
    node_ = nullptr;
    record_->node = nullptr;
}

void Projectile::detonate()
{
    stopLiveSound();
    hideMesh();
    if (warhead_->hasImpactSound && sounds_) {
        if (!impactSound_) {
            impactSound_ = sounds_->createSound("pWHiS" + std::to_string(record_->serial), warhead_->ImpactSound,
                                                false);
            node_->attachObject(impactSound_);
        } else {
            // Each stage blast restarts the one impact sound.
            impactSound_->stop();
        }
        impactSound_->play();
    }
    if (fx_ && !warhead_->effects.empty() && warhead_->effects[0])
        fx_->spawnEffect(warhead_->effects[0], node_->getPosition(), node_->getOrientation().zAxis());
}

bool Projectile::rayHitTest(float dt)
{
    const Ogre::Vector3 origin = node_->getPosition();
    const Ogre::Vector3 direction = facing();
    Ogre::Vector3 point;
    float closest = -1.0f;
    const float blockReach = (dt * 60.0f + 1.0f) * speed_;
    if (raycastProjBlock(damage_, origin, direction, closest, point, blockReach) && closest <= blockReach) {
        areaDamage(origin, warhead_->FriendlyFire);
        return true;
    }
    closest = -1.0f;
    if (raycastBorder(damage_, origin, direction, closest, point, window(dt)) && closest <= window(dt)) {
        areaDamage(origin, warhead_->FriendlyFire);
        return true;
    }
    return collideObjects(dt);
}

bool Projectile::nearestForeignBody(uint32_t& slot, float& distance, float within)
{
    // The shooter's own bodies (hull and parts alike carry its key as their owner) never stop
    // its shot.
    Ogre::Vector3 point;
    return raycastDamageBodies(damage_, node_->getPosition(), facing(), point, slot, record_->ownerId, distance,
                               within);
}

bool Projectile::collideObjects(float dt)
{
    uint32_t slot = 0;
    float distance = -1.0f;
    const float reach = window(dt);
    // Nothing farther than the fuse or the tick's flight decides anything below.
    const float within = definition_->UseProximityFuse ? reach + definition_->ProxFuse_TGTDist : reach;
    if (!damage_ || !nearestForeignBody(slot, distance, within) || distance <= 0.0f)
        return false;
    const float amount = static_cast<float>(record_->damage);
    if (definition_->UseProximityFuse) {
        if (reach + definition_->ProxFuse_TGTDist <= distance)
            return false;
        if (warhead_->DamageRange == 0.0f)
            directDamage(slot, amount);
        else
            areaDamage(node_->getPosition(), warhead_->FriendlyFire);
    } else {
        if (reach <= distance)
            return false;
        const GameObjectData* owner = damage_->getOwnerData(slot);
        if (owner && owner->absorbSplash)
            directDamage(slot, amount * 1.2f);
        else if (warhead_->DamageRange != 0.0f)
            areaDamage(node_->getPosition(), warhead_->FriendlyFire);
        else
            directDamage(slot, amount);
    }
    record_->hit = 1;
    record_->countedHit = 1;
    return true;
}

bool Projectile::groundTest(const float& dt, float& hitDistance)
{
    if (!floorRay(node_->getPosition(), facing(), groundPoint_, hitDistance))
        return false;
    if (hitDistance < window(dt)) {
        node_->setPosition(groundPoint_);
        return true;
    }
    return false;
}

void Projectile::pauseSounds()
{
    for (audio::Sound* sound : {impactSound_, liveSound_})
        if (sound && sound->isPlaying())
            sound->pause();
}

void Projectile::resumeSounds()
{
    for (audio::Sound* sound : {impactSound_, liveSound_})
        if (sound && sound->isPaused())
            sound->play();
}

P_bullet::P_bullet(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                   DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                   const Ogre::Quaternion& orientation, uint32_t serial, float spread, uint32_t ownerId,
                   projParams* definition, WarHeadParams* warhead, FxPool* fx, TargetRegistry* targets, int32_t team,
                   uint32_t damageAmount)
    : Projectile(playData, scene, sounds, damage, fx, definition, warhead, targets)
{
    setUpNode("bullet" + std::to_string(serial), definition->meshName, position, orientation);
    speed_ = definition->Speed + addedSpeed;
    life_ = definition->timeToLive;
    applySpread(spread);
    makeRecord(serial, ownerId, team, 0, damageAmount, 0);
    makeFlightSounds(serial);
    applyMinDistVisible();
}

P_bullet::~P_bullet() = default;

bool P_bullet::onHit(bool& hitReport)
{
    hideNode();
    stopLiveSound();
    hitReport = true;
    detonate();
    if (warhead_->hasImpactSound && impactSound_) {
        record_->state = ProjectileState_Exploded;
        return true;
    }
    return false;
}

bool P_bullet::advance(const float& dt, bool& hitReport)
{
    lastPosition_ = node_->getPosition();
    advanceDistance(dt);
    if (!muzzleTested_) {
        muzzleTested_ = 1;
        if (rayHitTest(dt))
            return onHit(hitReport);
    }
    moveForward(dt);
    life_ -= dt;
    accelerate(dt);
    if (rayHitTest(dt))
        return onHit(hitReport);
    return life_ >= 0.0f;
}
