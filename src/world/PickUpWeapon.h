#pragma once
// The weapon a weapon pickup gives the player's vehicle: a GroundWeapon with a visible mesh, fire
// and idle animations, HUD images, and optionally a special shot that asks for an actor at the
// muzzle or opens a slow-time bubble there instead of firing a projectile.
#include "world/Weapon.h"

namespace Ogre {
class AnimationState;
class Entity;
}

class PickUpWeapon : public GroundWeapon {
public:
    PickUpWeapon(const WeaponContext& context, const std::string& name, Ogre::SceneNode* parent, uint8_t flag,
                 int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                 const Ogre::Vector3& cannonDirection);
    ~PickUpWeapon() override;

    bool readIni(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                 Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                 const Ogre::Vector3& cannonDirection) override;
    void update(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot) override;
    // The mesh name is stored when the weapon has its mesh entity.
    bool writeCache(const std::string& name, const std::string& meshName) override;
    bool readCache(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                   Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                   const Ogre::Vector3& cannonDirection) override;
    void tick(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot) override;

    std::string getWeaponIcon() const { return weaponIcon_; }
    std::string getWeaponArrow() const { return weaponArrow_; }
    bool isSpecial() const { return isSpecial_; }
    bool isActorBreeder() const { return actorBreeder_; }
    bool isTimeSlower() const { return timeSlower_; }
    float getTimeSlowScale() const { return timeSlowScale_; }
    float getTimeSlowDuration() const { return timeSlowDuration_; }
    float getTimeSlowTimer() const { return timeSlowTimer_; }
    const std::string& getActorName() const { return actorName_; }
    Ogre::Entity* getWeaponEntity() const { return weaponEntity_; }
    Ogre::AnimationState* getFireAnim() const { return fireAnim_; }
    Ogre::AnimationState* getIdleAnim() const { return idleAnim_; }
    bool getFireAnimLoops() const { return fireAnimLoop_; }
    float getIdleAnimSpeed() const { return idleAnimSpeed_; }

private:
    void buildPickUp(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                     Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                     const Ogre::Vector3& cannonDirection);
    void setUpAnimations(const WeaponCacheRecord& r, float idleSpeed);
    void startFireEffects();
    void clearPickUp();

    Ogre::AnimationState* fireAnim_ = nullptr;
    bool fireAnimLoop_ = false;
    Ogre::AnimationState* idleAnim_ = nullptr;
    float idleAnimSpeed_ = 0.0f;
    bool isSpecial_ = false;
    bool actorBreeder_ = false;
    bool actorWithAI_ = false;
    Ogre::Vector3 actorOffset_ = Ogre::Vector3::ZERO;
    uint32_t actorType_ = 0;
    uint32_t actorTeam_ = 0;
    std::string actorName_;
    bool timeSlower_ = false;
    float timeSlowScale_ = 0.0f;
    float timeSlowDuration_ = 0.0f;
    float timeSlowTimer_ = 0.0f;
    std::string weaponIcon_;
    std::string weaponArrow_;
    Ogre::Entity* weaponEntity_ = nullptr;
};

PickUpWeapon* makePickUpWeapon(WeaponContext* context, const std::string& name, Ogre::SceneNode* parent,
                               uint8_t flag, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                               const Ogre::Vector3& cannonDirection);
