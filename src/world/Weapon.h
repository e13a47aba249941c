#pragma once
// A gun mounted on a carrier's scene node: a cannon node under the carrier's node, a muzzle node
// under it, an optional fire sound and fire reactor at the muzzle, and the firing state. Built
// from its cache "<name>.ZVW"; the .ini reader and the cache writer are the data builder's.
#include "world/WeaponCache.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

namespace Ogre {
class SceneManager;
class SceneNode;
}
namespace audio {
class Sound;
class SoundManager;
}
class FxPool;
class GamePlayData;
class IniSource;
class ProjectileDefRegistry;
class ProjectileManager;
class VirtualReactor;
class WarHeadParams;
class WarheadDefRegistry;
class projParams;
struct WeaponContext;

class Weapon {
public:
    // Owners destroy the exact class they made; virtual all the same, so that a pick-up weapon
    // reached through a GroundWeapon* still ends its bubble.
    virtual ~Weapon();
    Weapon(const Weapon&) = delete;
    Weapon& operator=(const Weapon&) = delete;

    virtual void reserved(uint32_t, uint32_t, uint32_t, uint32_t) {}
    virtual void onAmmoChanged() {}

    // Ammunition = maximum x fraction, truncated toward zero.
    void setAmmoFraction(float fraction);

    uint32_t getAmmo() const { return ammo_; }
    uint32_t getMaxAmmo() const { return maxAmmo_; }
    float getCoolDown() const { return coolDown_; }
    bool isReady() const { return coolDown_ == 0.0f; }
    float getFireInterval() const { return fireInterval_; }
    float getLockRange() const { return lockRange_; }
    float getLockSpeed() const { return lockSpeed_; }
    float getLockArea() const { return lockArea_; }
    float getSpread() const { return spread_; }
    uint32_t getDamage() const { return damage_; }
    bool getAIContFire() const { return aiContFire_; }
    bool getUnlimitedAmmo() const { return unlimitedAmmo_; }
    void setUnlimitedAmmo(bool on) { unlimitedAmmo_ = on; }
    void setAmmo(uint32_t ammo) { ammo_ = ammo; }
    void setMultipliers(float rate, float damage)
    {
        rateMultiplier_ = rate;
        damageMultiplier_ = damage;
    }
    int32_t getOwnerSlot() const { return ownerSlot_; }
    int32_t getTeam() const { return team_; }
    projParams* getProjectile() const { return projectile_; }
    WarHeadParams* getWarhead() const { return warhead_; }
    Ogre::SceneNode* getCannonNode() const { return cannonNode_; }
    Ogre::SceneNode* getMuzzleNode() const { return muzzleNode_; }
    audio::Sound* getFireSound() const { return fireSound_; }
    VirtualReactor* getFireReactor() const { return fireReactor_; }
    bool getFireReactorLoops() const { return fireReactorLoop_; }

protected:
    Weapon(const WeaponContext& context, int32_t ownerSlot, int32_t team);

    GamePlayData* playData_ = nullptr;
    Ogre::SceneManager* scene_ = nullptr;
    audio::SoundManager* sounds_ = nullptr;
    projParams* projectile_ = nullptr;
    WarHeadParams* warhead_ = nullptr;
    ProjectileManager* projectiles_ = nullptr;
    FxPool* fx_ = nullptr;
    Ogre::SceneNode* cannonNode_ = nullptr;
    float fireInterval_ = 0.0f;
    float coolDown_ = 0.0f;
    uint32_t maxAmmo_ = 0;
    uint32_t ammo_ = 0;
    bool unlimitedAmmo_ = false;
    int32_t ownerSlot_ = 0;
    int32_t team_ = 0;
    float spread_ = 0.0f;
    uint32_t damage_ = 0;
    bool aiContFire_ = false;
    float lockArea_ = 0.0f;
    float lockSpeed_ = 0.0f;
    float lockRange_ = 0.0f;
    VirtualReactor* fireReactor_ = nullptr;
    bool fireReactorLoop_ = false;
    audio::Sound* fireSound_ = nullptr;
    Ogre::SceneNode* muzzleNode_ = nullptr;
    float rateMultiplier_ = 1.0f;
    float damageMultiplier_ = 1.0f;
};

class GroundWeapon : public Weapon {
public:
    GroundWeapon(const WeaponContext& context, const std::string& name, Ogre::SceneNode* parent, uint8_t flag,
                 int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                 const Ogre::Vector3& cannonDirection);
    ~GroundWeapon() override;

    // Builds the weapon from "../../Data/GamePlay/<name>.ini"; false when the source is missing.
    virtual bool readIni(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                         Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                         const Ogre::Vector3& cannonDirection);
    virtual void update(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot);
    // Writes "<name>.ZVW" from the live weapon; the mesh name serves pick-up weapons only.
    virtual bool writeCache(const std::string& name, const std::string& meshName);
    // Builds the weapon from its cache; false (nothing built) when it is missing or damaged.
    virtual bool readCache(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                           Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                           const Ogre::Vector3& cannonDirection);
    virtual void tick(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot);

protected:
    struct NoCache {};
    // For subclasses, which read their own cache.
    GroundWeapon(NoCache, const WeaponContext& context, int32_t ownerSlot, int32_t team);

    // Definitions, nodes, numbers, sound and reactor from a record.
    void resolveDefinitions(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles,
                            WarheadDefRegistry* warheads);
    void makeNodes(Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                   const Ogre::Vector3& cannonDirection, const Ogre::Vector3& muzzlePosition);
    void applyNumbers(const WeaponCacheRecord& r);
    void makeSoundAndReactor(const WeaponCacheRecord& r);
    // The record of the live weapon (what writeCache stores).
    void fillRecord(WeaponCacheRecord& r) const;
    // Reads the keys every weapon source shares (Data numbers, Sound, Effect) into the record.
    static void readSharedIni(const IniSource& ini, WeaponCacheRecord& r);
    static void readProjectileIni(const IniSource& ini, WeaponCacheRecord& r);
    void build(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
               Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition, const Ogre::Vector3& cannonDirection);
    // Drops everything built, in the order the carrier's scene needs (also before a rebuild).
    void teardown();
    // Whether a shot can leave at all: a muzzle and, for a projectile shot, both definitions.
    bool canFireProjectile() const;
    void spawnProjectile(float addedSpeed, bool hasTarget, int32_t targetSlot, uint32_t damage);
    // The trigger's effect on a looping reactor and sound (both classes).
    void holdLoops(bool trigger);
};

// damage x multiplier as a shot's damage, truncated toward zero.
uint32_t scaledDamage(uint32_t damage, float multiplier);

// The ProjectileType of a projectile source "../../Data/GamePlay/<name>.ini"; 0 when absent.
uint32_t readProjectileTypeIni(const std::string& projectileName);

GroundWeapon* makeGroundWeapon(WeaponContext* context, const std::string& name, Ogre::SceneNode* parent,
                               uint8_t flag, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                               const Ogre::Vector3& cannonDirection);

// The value of an .ini key with every quote removed (weapon sources may quote with either kind).
std::string weaponIniText(const IniSource& ini, const std::string& section, const std::string& key);
