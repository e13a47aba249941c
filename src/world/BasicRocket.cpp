#include "world/BasicRocket.h"

#include "core/Utilities.h"
#include "definitions/goParams.h"
#include "definitions/projParams.h"
#include "world/DamageRegistry.h"
#include "world/TargetRegistry.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

BasicRocket::BasicRocket(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                         DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                         const Ogre::Quaternion& orientation, uint32_t serial, float spread, uint32_t ownerId,
                         projParams* definition, WarHeadParams* warhead, FxPool* fx, TargetRegistry* targets,
                         int32_t team, uint32_t damageAmount)
    : Adv_Projectile(playData, scene, sounds, damage, fx, definition, warhead, targets)
{
    setUpNode("BasicR" + std::to_string(serial), definition->meshName, position, orientation);
    speed_ = definition->Speed + addedSpeed;
    life_ = definition->timeToLive;
    applySpread(spread);
    makeRecord(serial, ownerId, team, 0, damageAmount, 0);
    makeFlightSounds(serial);
    makeReactor();
    applyMinDistVisible();
}

BasicRocket::BasicRocket(MissileSetUp, GamePlayData* playData, Ogre::SceneManager* scene,
                         audio::SoundManager* sounds, DamageRegistry* damage, const Ogre::Vector3& position,
                         float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking,
                         uint32_t targetSlot, float spread, uint32_t ownerId, projParams* definition,
                         WarHeadParams* warhead, FxPool* fx, TargetRegistry* targets, int32_t team,
                         uint32_t damageAmount)
    : Adv_Projectile(playData, scene, sounds, damage, fx, definition, warhead, targets)
{
    setUpNode("BasicM" + std::to_string(serial), BasicMissile::kMeshName, position, orientation);
    speed_ = definition->Speed + addedSpeed;
    life_ = definition->timeToLive;
    applySpread(spread);
    makeRecord(serial, ownerId, team, static_cast<int32_t>(targetSlot), damageAmount, tracking);
    makeFlightSounds(serial);
    makeReactor();
    applyMinDistVisible();
}

BasicRocket::~BasicRocket() = default;

bool BasicRocket::update(float dt, bool& hitReport, int& projectileType)
{
    hitReport = false;
    projectileType = static_cast<int>(definition_->ProjectileType);
    floatOverFloor(dt);
    switch (record_->state) {
    case ProjectileState_Stage:
        return runStage(dt);
    case ProjectileState_Trail:
        return updateTrail(dt);
    case ProjectileState_Exploded:
        return impactSoundRunning();
    default:
        return advance(dt, hitReport);
    }
}

bool BasicRocket::updateTrail(const float& dt)
{
    if (trailTime_ > 0.0f) {
        trailTime_ -= dt;
        return true;
    }
    return impactSoundRunning();
}

void BasicRocket::endInHit(bool& hitReport)
{
    hitReport = true;
    // Only the mesh hides: the node stays shown so the reactor keeps burning.
    hideMesh();
    record_->state = ProjectileState_Trail;
    stopLiveSound();
    detonate();
}

void BasicRocket::fly(float dt)
{
    moveForward(dt);
    life_ -= dt;
    accelerate(dt);
    if (life_ < 0.0f) {
        hideMesh();
        record_->state = ProjectileState_Trail;
    }
}

bool BasicRocket::advance(const float& dt, bool& hitReport)
{
    advanceDistance(dt);
    if (rayHitTest(dt)) {
        endInHit(hitReport);
        return true;
    }
    fly(dt);
    return true;
}

BasicMissile::BasicMissile(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                           DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                           const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking,
                           uint32_t targetSlot, float spread, uint32_t ownerId, MissParams* definition,
                           WarHeadParams* warhead, FxPool* fx, TargetRegistry* targets, int32_t team,
                           uint32_t damageAmount)
    : BasicRocket(MissileSetUp{}, playData, scene, sounds, damage, position, addedSpeed, orientation, serial, tracking,
                  targetSlot, spread, ownerId, definition, warhead, fx, targets, team, damageAmount),
      missile_(definition)
{
    seeker_ = node_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    seeker_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
}

BasicMissile::~BasicMissile()
{
    if (seeker_) {
        seeker_->removeAndDestroyAllChildren();
        scene_->destroySceneNode(seeker_);
        seeker_ = nullptr;
    }
}

bool BasicMissile::update(float dt, bool& hitReport, int& projectileType)
{
    return BasicRocket::update(dt, hitReport, projectileType);
}

bool BasicMissile::targetAlive() const { return targetInUse(record_->targetSlot); }

bool BasicMissile::advance(const float& dt, bool& hitReport)
{
    advanceDistance(dt);
    if (rayHitTest(dt) || checkSurroundFuse()) {
        record_->tracking = 0;
        endInHit(hitReport);
        return true;
    }
    if (record_->tracking) {
        if (targetAlive()) {
            targets_->entries()[static_cast<uint32_t>(record_->targetSlot)].missileWarning = 1;
            acquireTarget(dt);
        } else {
            record_->tracking = 0;
        }
    }
    fly(dt);
    return true;
}

void BasicMissile::acquireTarget(const float& dt)
{
    if (!targetAlive()) {
        record_->tracking = 0;
        return;
    }
    seeker_->lookAt(targets_->getPosition(static_cast<uint32_t>(record_->targetSlot)), Ogre::Node::TS_WORLD,
                    Ogre::Vector3::NEGATIVE_UNIT_Z);
    const Ogre::Vector3 a = seeker_->getOrientation().zAxis();
    const float offAxis = a.x * a.x + a.y * a.y;
    if (getTrackingQuality() * missile_->maxFOV <= offAxis) {
        record_->tracking = 0;
        return;
    }
    if (!missile_->trackaPass && a.z < 0.0f) {
        record_->tracking = 0;
        return;
    }
    const float turn = missile_->trackSkill * dt;
    if (a.y > 0.0f)
        node_->pitch(Ogre::Degree(-turn));
    else if (a.y < 0.0f)
        node_->pitch(Ogre::Degree(turn));
    if (a.x > 0.0f)
        node_->yaw(Ogre::Degree(turn));
    else if (a.x < 0.0f)
        node_->yaw(Ogre::Degree(-turn));
}

float BasicMissile::getTrackingQuality() const
{
    const goParams* target = targets_ ? targets_->getParams(static_cast<uint32_t>(record_->targetSlot)) : nullptr;
    float stealth = 0.0f;
    switch (definition_->TrackType) {
    case 1:
        stealth = target ? target->RadarStealth : 0.0f;
        break;
    case 2:
        stealth = target ? target->TermoStealth : 0.0f;
        break;
    default:
        return 1.0f;
    }
    const float base = remapLinear(0.0f, 100.0f, definition_->TgtStealthRes, 0.6f, 0.95f);
    return remapClamped(0.0f, 100.0f, stealth, 1.0f, base);
}

bool BasicMissile::checkSurroundFuse()
{
    if (!definition_->UseSurroundFuse || !record_->tracking || !targetAlive())
        return false;
    const uint32_t slot = static_cast<uint32_t>(record_->targetSlot);
    const Ogre::Vector3 d = targets_->getPosition(slot) - node_->_getDerivedPosition();
    const float reach = definition_->SroundFuse_TGTDist;
    if (!(d.squaredLength() < reach * reach))
        return false;
    // The target entry names its body by owner record and part; no such body: no damage.
    const TargetEntry& target = targets_->entries()[slot];
    if (damage_) {
        const std::vector<DamageEntry>& bodies = damage_->entries();
        for (size_t i = 0; i < bodies.size(); ++i) {
            const DamageEntry& body = bodies[i];
            if (!body.free && body.active && body.ownerData == target.ownerData &&
                body.subObjectFlag == target.subObjectFlag && body.subObjectNumber == target.subObjectNumber) {
                damage_->addDamage(static_cast<uint32_t>(i), static_cast<float>(record_->damage),
                                   definition_->ProjectileType, static_cast<int32_t>(record_->ownerId));
                break;
            }
        }
    }
    record_->hit = 1;
    record_->countedHit = 1;
    return true;
}
