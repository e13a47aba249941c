#include "world/PickUpWeapon.h"

#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "definitions/DefinitionCache.h"
#include "world/VirtualReactor.h"
#include "world/WeaponContext.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreStringConverter.h>

PickUpWeapon::PickUpWeapon(const WeaponContext& context, const std::string& name, Ogre::SceneNode* parent,
                           uint8_t /*flag*/, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                           const Ogre::Vector3& cannonDirection)
    : GroundWeapon(NoCache{}, context, ownerSlot, team)
{
    PickUpWeapon::readCache(name, context.projectileDefs, context.warheadDefs, parent, cannonPosition,
                            cannonDirection);
}

PickUpWeapon::~PickUpWeapon()
{
    // Only this weapon's own running bubble is ended.
    if (timeSlowTimer_ != 0.0f && playData_)
        playData_->bubble.active = 0;
    fireAnim_ = nullptr;
    idleAnim_ = nullptr;
    actorName_.clear();
    weaponIcon_.clear();
    weaponArrow_.clear();
    // The mesh entity goes with the cannon node's objects in ~GroundWeapon.
}

void PickUpWeapon::clearPickUp()
{
    fireAnim_ = nullptr;
    idleAnim_ = nullptr;
    weaponEntity_ = nullptr;  // destroyed with the cannon node's objects
}

void PickUpWeapon::buildPickUp(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles,
                               WarheadDefRegistry* warheads, Ogre::SceneNode* parent,
                               const Ogre::Vector3& cannonPosition, const Ogre::Vector3& cannonDirection)
{
    clearPickUp();
    build(r, projectiles, warheads, parent, cannonPosition, cannonDirection);
    isSpecial_ = r.IsSpecial;
    if (isSpecial_) {
        projectile_ = nullptr;
        warhead_ = nullptr;
    }
    actorBreeder_ = isSpecial_ && r.ActorBreeder;
    actorWithAI_ = r.AB_AWithAI;
    actorOffset_ = r.AB_Offset;
    actorType_ = r.AB_ActorType;
    actorTeam_ = r.AB_ActorTeam;
    actorName_ = r.AB_Actor;
    timeSlower_ = isSpecial_ && !r.ActorBreeder && r.TimeSlower;
    timeSlowScale_ = r.ZV_Scale;
    timeSlowDuration_ = r.ZV_Time;
    weaponIcon_ = r.WeaponIcon;
    weaponArrow_ = r.WeaponArrow;
    if (r.hasWeaponMesh && !r.WeaponMesh.empty()) {
        const std::string entityName = "PickW" + std::to_string(ownerSlot_);
        try {
            weaponEntity_ = scene_->createEntity(entityName, r.WeaponMesh);
            cannonNode_->attachObject(weaponEntity_);
        } catch (const Ogre::Exception& e) {
            // A missing mesh leaves the weapon without its looks; it still fires.
            Ogre::LogManager::getSingleton().logMessage("Weapon mesh '" + r.WeaponMesh +
                                                        "' not loaded: " + e.getDescription());
            weaponEntity_ = nullptr;
        }
    }
}

void PickUpWeapon::setUpAnimations(const WeaponCacheRecord& r, float idleSpeed)
{
    if (!weaponEntity_ || !weaponEntity_->hasSkeleton() || !r.hasAnimations)
        return;
    weaponEntity_->getSkeleton()->setBlendMode(Ogre::ANIMBLEND_CUMULATIVE);
    if (r.hasFireAnim) {
        fireAnimLoop_ = r.FireAnim_Loop;
        if (!r.FireAnim.empty() && weaponEntity_->hasAnimationState(r.FireAnim)) {
            fireAnim_ = weaponEntity_->getAnimationState(r.FireAnim);
            fireAnim_->setEnabled(true);
            fireAnim_->setLoop(fireAnimLoop_);
            if (!fireAnimLoop_)
                fireAnim_->setTimePosition(fireAnim_->getLength());
        }
    }
    if (r.hasIdleAnim) {
        idleAnimSpeed_ = idleSpeed;
        if (!r.IdleAnim.empty() && weaponEntity_->hasAnimationState(r.IdleAnim)) {
            idleAnim_ = weaponEntity_->getAnimationState(r.IdleAnim);
            idleAnim_->setEnabled(true);
            idleAnim_->setLoop(true);
        }
    }
}

bool PickUpWeapon::readCache(const std::string& name, ProjectileDefRegistry* projectiles,
                             WarheadDefRegistry* warheads, Ogre::SceneNode* parent,
                             const Ogre::Vector3& cannonPosition, const Ogre::Vector3& cannonDirection)
{
    WeaponCacheRecord r;
    if (!parent || !weapon_cache::read(name, WeaponCacheKind::PickUp, r))
        return false;
    buildPickUp(r, projectiles, warheads, parent, cannonPosition, cannonDirection);
    setUpAnimations(r, static_cast<float>(r.IdleAnimSpd));
    return true;
}

bool PickUpWeapon::readIni(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                           Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                           const Ogre::Vector3& cannonDirection)
{
    IniSource ini;
    if (!parent || !ini.load(definitionIniPath(weapon_cache::family(), name)))
        return false;
    auto flag = [&](const char* section, const char* key) {
        return Ogre::StringConverter::parseBool(weaponIniText(ini, section, key));
    };
    auto real = [&](const char* section, const char* key) {
        return Ogre::StringConverter::parseReal(weaponIniText(ini, section, key));
    };
    WeaponCacheRecord r;
    r.IsSpecial = flag("Special", "IsSpecial");
    if (!r.IsSpecial) {
        readProjectileIni(ini, r);
    } else {
        r.ActorBreeder = flag("Special", "ActorBreeder");
        if (r.ActorBreeder) {
            r.AB_AWithAI = flag("Special", "AB_AWithAI");
            r.AB_Offset = Ogre::StringConverter::parseVector3(weaponIniText(ini, "Special", "AB_Offset"));
            r.AB_ActorType = Ogre::StringConverter::parseUnsignedInt(weaponIniText(ini, "Special", "AB_ActorType"));
            r.AB_ActorTeam = Ogre::StringConverter::parseUnsignedInt(weaponIniText(ini, "Special", "AB_ActorTeam"));
            r.AB_Actor = weaponIniText(ini, "Special", "AB_Actor");
        } else {
            r.TimeSlower = flag("Special", "TimeSlower");
            if (r.TimeSlower) {
                r.ZV_Scale = real("Special", "ZV_Scale");
                r.ZV_Time = real("Special", "ZV_Time");
            }
        }
    }
    r.WeaponMesh = weaponIniText(ini, "Data", "WeaponMesh");
    r.hasWeaponMesh = !r.WeaponMesh.empty();
    readSharedIni(ini, r);
    r.WeaponIcon = weaponIniText(ini, "Data", "WeaponIcon");
    r.WeaponArrow = weaponIniText(ini, "Data", "WeaponArrow");
    r.hasAnimations = true;
    r.FireAnim = weaponIniText(ini, "Anim", "FireAnim");
    r.hasFireAnim = !r.FireAnim.empty();
    r.FireAnim_Loop = flag("Anim", "FireAnim_Loop");
    r.IdleAnim = weaponIniText(ini, "Anim", "IdleAnim");
    r.hasIdleAnim = !r.IdleAnim.empty();
    buildPickUp(r, projectiles, warheads, parent, cannonPosition, cannonDirection);
    setUpAnimations(r, real("Anim", "IdleAnimSpd"));
    return true;
}

bool PickUpWeapon::writeCache(const std::string& name, const std::string& meshName)
{
    WeaponCacheRecord r;
    fillRecord(r);
    r.IsSpecial = isSpecial_;
    r.ActorBreeder = actorBreeder_;
    r.AB_AWithAI = actorWithAI_;
    r.AB_Offset = actorOffset_;
    r.AB_ActorType = actorType_;
    r.AB_ActorTeam = actorTeam_;
    r.AB_Actor = actorName_;
    r.TimeSlower = timeSlower_;
    r.ZV_Scale = timeSlowScale_;
    r.ZV_Time = timeSlowDuration_;
    r.hasWeaponMesh = weaponEntity_ != nullptr;
    r.WeaponMesh = weaponEntity_ ? meshName : "";
    r.WeaponIcon = weaponIcon_;
    r.WeaponArrow = weaponArrow_;
    r.hasFireAnim = fireAnim_ != nullptr;
    if (fireAnim_) {
        r.FireAnim_Loop = fireAnimLoop_;
        r.FireAnim = fireAnim_->getAnimationName();
    }
    r.hasIdleAnim = idleAnim_ != nullptr;
    if (idleAnim_) {
        // Stored whole, as the cache holds it.
        r.IdleAnimSpd = idleAnimSpeed_ > 0.0f ? static_cast<uint32_t>(idleAnimSpeed_) : 0u;
        r.IdleAnim = idleAnim_->getAnimationName();
    }
    return weapon_cache::write(name, WeaponCacheKind::PickUp, r);
}

void PickUpWeapon::startFireEffects()
{
    if (fireAnim_ && !fireAnimLoop_)
        fireAnim_->setTimePosition(0.0f);
    if (fireReactor_ && !fireReactorLoop_)
        fireReactor_->setState(3);
}

void PickUpWeapon::tick(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot)
{
    if (timeSlowTimer_ != 0.0f) {
        timeSlowTimer_ -= dt;
        if (timeSlowTimer_ <= 0.0f) {
            timeSlowTimer_ = 0.0f;
            if (playData_)
                playData_->bubble.active = 0;
        }
    }
    if (idleAnim_)
        idleAnim_->addTime(dt * idleAnimSpeed_);
    update(dt, addedSpeed, trigger, hasTarget, targetSlot);
}

void PickUpWeapon::update(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot)
{
    if (fireAnim_ && !fireAnimLoop_)
        fireAnim_->addTime(dt);
    holdLoops(trigger);
    if (trigger && fireAnim_ && fireAnimLoop_)
        fireAnim_->addTime(dt);
    // Nothing to fire from (no cache) or with (a projectile shot without its definitions).
    const bool canFire = isSpecial_ ? (muzzleNode_ && playData_) : canFireProjectile();
    if (trigger && coolDown_ == 0.0f && (ammo_ > 0 || unlimitedAmmo_) && canFire) {
        if (fireSound_) {
            fireSound_->stop();
            fireSound_->play();
        }
        if (!isSpecial_) {
            startFireEffects();
            spawnProjectile(addedSpeed, hasTarget, targetSlot, damage_);
        } else {
            if (actorBreeder_ && !playData_->spawnRequest.pending) {
                startFireEffects();
                SpawnRequest& request = playData_->spawnRequest;
                request.pending = 1;
                request.withAI = actorWithAI_ ? 1 : 0;
                request.position = muzzleNode_->_getDerivedPosition();
                request.offset = actorOffset_;
                request.orientation = muzzleNode_->_getDerivedOrientation();
                playData_->setSpawnRequestName(actorName_);
                request.actorType = actorType_;
                request.actorTeam = actorTeam_;
            }
            if (timeSlower_ && !playData_->bubble.active) {
                startFireEffects();
                SlowTimeBubble& bubble = playData_->bubble;
                bubble.active = 1;
                bubble.scale = timeSlowScale_;
                bubble.ownerNode = muzzleNode_;
                bubble.ownerKey = ownerSlot_;
                timeSlowTimer_ = timeSlowDuration_;
            }
        }
        coolDown_ = fireInterval_;
        if (ammo_ > 0)
            --ammo_;
    }
    if (coolDown_ > 0.0f) {
        coolDown_ -= dt;
        if (coolDown_ < 0.0f)
            coolDown_ = 0.0f;
    }
}

PickUpWeapon* makePickUpWeapon(WeaponContext* context, const std::string& name, Ogre::SceneNode* parent,
                               uint8_t flag, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                               const Ogre::Vector3& cannonDirection)
{
    return new PickUpWeapon(*context, name, parent, flag, ownerSlot, team, cannonPosition, cannonDirection);
}
