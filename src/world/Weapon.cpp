#include "world/Weapon.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/Utilities.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "world/FxPool.h"
#include "world/ProjectileManager.h"
#include "world/VirtualReactor.h"
#include "world/WeaponContext.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

Weapon::Weapon(const WeaponContext& context, int32_t ownerSlot, int32_t team)
    : playData_(context.playData),
      scene_(context.scene),
      sounds_(context.sounds),
      projectiles_(context.projectiles),
      fx_(context.fx),
      ownerSlot_(ownerSlot),
      team_(team)
{
}

Weapon::~Weapon() = default;

void Weapon::setAmmoFraction(float fraction)
{
    const float ammo = static_cast<float>(maxAmmo_) * fraction;
    // Truncation toward zero; a negative or NaN product is no ammunition.
    ammo_ = ammo > 0.0f ? static_cast<uint32_t>(ammo) : 0u;
    onAmmoChanged();
}

std::string weaponIniText(const IniSource& ini, const std::string& section, const std::string& key)
{
    return stripAllQuotes(ini.text(section, key));
}

namespace {
float iniReal(const IniSource& ini, const char* section, const char* key)
{
    return Ogre::StringConverter::parseReal(weaponIniText(ini, section, key));
}
uint32_t iniUint(const IniSource& ini, const char* section, const char* key)
{
    return Ogre::StringConverter::parseUnsignedInt(weaponIniText(ini, section, key));
}
bool iniFlag(const IniSource& ini, const char* section, const char* key)
{
    return Ogre::StringConverter::parseBool(weaponIniText(ini, section, key));
}
Ogre::Vector3 iniVec3(const IniSource& ini, const char* section, const char* key)
{
    return Ogre::StringConverter::parseVector3(weaponIniText(ini, section, key));
}
}  // namespace

uint32_t scaledDamage(uint32_t damage, float multiplier)
{
    const double scaled = static_cast<double>(damage) * multiplier;
    // Truncated toward zero; a negative or NaN product deals nothing, an overflow the top.
    if (!(scaled > 0.0))
        return 0;
    return scaled >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(scaled);
}

uint32_t readProjectileTypeIni(const std::string& projectileName)
{
    IniSource ini;
    if (isAbsentName(projectileName) || !ini.load(definitionIniPath(definition_families::Projectile, projectileName)))
        return 0;
    return iniUint(ini, "Data", "ProjectileType");
}

GroundWeapon::GroundWeapon(const WeaponContext& context, const std::string& name, Ogre::SceneNode* parent,
                           uint8_t /*flag*/, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                           const Ogre::Vector3& cannonDirection)
    : Weapon(context, ownerSlot, team)
{
    GroundWeapon::readCache(name, context.projectileDefs, context.warheadDefs, parent, cannonPosition,
                            cannonDirection);
}

GroundWeapon::GroundWeapon(NoCache, const WeaponContext& context, int32_t ownerSlot, int32_t team)
    : Weapon(context, ownerSlot, team)
{
}

GroundWeapon::~GroundWeapon() { teardown(); }

void GroundWeapon::teardown()
{
    if (fireReactor_) {
        fireReactor_->detachToWorld();
        fireReactor_ = nullptr;
    }
    // The sound hangs on the muzzle node: off it before the node goes.
    if (fireSound_ && fireSound_->getParentSceneNode())
        fireSound_->getParentSceneNode()->detachObject(fireSound_);
    if (muzzleNode_) {
        muzzleNode_->removeAndDestroyAllChildren();
        scene_->destroySceneNode(muzzleNode_);
        muzzleNode_ = nullptr;
    }
    if (fireSound_) {
        sounds_->destroySound(fireSound_);
        fireSound_ = nullptr;
    }
    if (cannonNode_) {
        while (cannonNode_->numAttachedObjects() > 0) {
            Ogre::MovableObject* object = cannonNode_->getAttachedObject(0);
            cannonNode_->detachObject(object);
            scene_->destroyMovableObject(object);
        }
        if (cannonNode_->getParent())
            cannonNode_->getParent()->removeChild(cannonNode_);
        cannonNode_->removeAndDestroyAllChildren();
        scene_->destroySceneNode(cannonNode_);
        cannonNode_ = nullptr;
    }
    projectile_ = nullptr;
    warhead_ = nullptr;
}

void GroundWeapon::resolveDefinitions(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles,
                                      WarheadDefRegistry* warheads)
{
    projectile_ = projectiles ? projectiles->getParams(r.projectile, r.projectileType) : nullptr;
    warhead_ = warheads ? warheads->getParams(r.warhead) : nullptr;
}

void GroundWeapon::makeNodes(Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                             const Ogre::Vector3& cannonDirection, const Ogre::Vector3& muzzlePosition)
{
    cannonNode_ = parent->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    cannonNode_->setPosition(cannonPosition);
    cannonNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    if (cannonDirection != Ogre::Vector3::ZERO)
        cannonNode_->setDirection(cannonDirection, Ogre::Node::TS_LOCAL, Ogre::Vector3::NEGATIVE_UNIT_Z);
    muzzleNode_ = cannonNode_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    muzzleNode_->setPosition(muzzlePosition);
    muzzleNode_->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
}

void GroundWeapon::applyNumbers(const WeaponCacheRecord& r)
{
    ammo_ = r.ammo;
    maxAmmo_ = r.ammo;
    fireInterval_ = r.RateOfFire;
    coolDown_ = 0.0f;
    spread_ = r.MaxOffsetFireAngle;
    aiContFire_ = r.AIContFire;
    damage_ = r.Damage;
    lockArea_ = r.LockArea == 0.0f ? 10.0f : r.LockArea;
    lockSpeed_ = r.LockSpeed;
    lockRange_ = r.LockRange;
}

void GroundWeapon::makeSoundAndReactor(const WeaponCacheRecord& r)
{
    if (r.hasFireSound && !isAbsentName(r.FireSound) && sounds_) {
        fireSound_ = sounds_->createSound("wFireS" + std::to_string(ownerSlot_), r.FireSound, false, false);
        muzzleNode_->attachObject(fireSound_);
        if (r.FireSound_isLoop)
            fireSound_->setLoop(true);
    }
    fireReactor_ = nullptr;
    fireReactorLoop_ = false;
    if (r.hasFireReactor) {
        fireReactor_ = fx_ ? fx_->spawnReactor(muzzleNode_, r.FireReactorName) : nullptr;
        fireReactorLoop_ = r.FireReactor_Loop;
    }
}

void GroundWeapon::fillRecord(WeaponCacheRecord& r) const
{
    if (projectile_) {
        r.projectileType = projectile_->ProjectileType;
        r.projectile = projectile_->getName();
    }
    if (warhead_) {
        r.warheadType = warhead_->getWarheadType();
        r.warhead = warhead_->getName();
    }
    r.CannonPos = muzzleNode_ ? muzzleNode_->getPosition() : Ogre::Vector3::ZERO;
    r.ammo = ammo_;
    r.RateOfFire = fireInterval_;
    r.MaxOffsetFireAngle = spread_;
    r.AIContFire = aiContFire_;
    r.Damage = damage_;
    r.LockArea = lockArea_;
    r.LockSpeed = lockSpeed_;
    r.LockRange = lockRange_;
    r.hasFireSound = fireSound_ != nullptr;
    if (fireSound_) {
        r.FireSound = fireSound_->getFileName();
        r.FireSound_isLoop = fireSound_->isLooping();
    }
    r.hasFireReactor = fireReactor_ != nullptr;
    if (fireReactor_) {
        r.FireReactorName = fireReactor_->getParams() ? fireReactor_->getParams()->getName() : "";
        r.FireReactor_Loop = fireReactorLoop_;
    }
}

void GroundWeapon::readProjectileIni(const IniSource& ini, WeaponCacheRecord& r)
{
    r.projectile = weaponIniText(ini, "Data", "projectile");
    r.projectileType = readProjectileTypeIni(r.projectile);
    r.warhead = weaponIniText(ini, "Data", "warhead");
}

void GroundWeapon::readSharedIni(const IniSource& ini, WeaponCacheRecord& r)
{
    r.CannonPos = iniVec3(ini, "Data", "CannonPos");
    r.ammo = iniUint(ini, "Data", "ammo");
    r.RateOfFire = iniReal(ini, "Data", "RateOfFire");
    r.MaxOffsetFireAngle = iniReal(ini, "Data", "MaxOffsetFireAngle");
    r.AIContFire = iniFlag(ini, "Data", "AIContFire");
    r.Damage = iniUint(ini, "Data", "Damage");
    r.LockArea = iniReal(ini, "Data", "LockArea");
    r.LockSpeed = iniReal(ini, "Data", "LockSpeed");
    r.LockRange = iniReal(ini, "Data", "LockRange");
    r.FireSound = weaponIniText(ini, "Sound", "FireSound");
    r.hasFireSound = !isAbsentName(r.FireSound);
    r.FireSound_isLoop = r.hasFireSound && iniFlag(ini, "Sound", "FireSound_isLoop");
    r.hasFireReactor = iniFlag(ini, "Effect", "HasFireEffect");
    if (r.hasFireReactor) {
        r.FireReactorName = weaponIniText(ini, "Effect", "FireReactorName");
        r.FireReactor_Loop = iniFlag(ini, "Effect", "FireReactor_Loop");
    }
}

void GroundWeapon::build(const WeaponCacheRecord& r, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                         Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                         const Ogre::Vector3& cannonDirection)
{
    teardown();
    resolveDefinitions(r, projectiles, warheads);
    makeNodes(parent, cannonPosition, cannonDirection, r.CannonPos);
    applyNumbers(r);
    makeSoundAndReactor(r);
}

bool GroundWeapon::readIni(const std::string& name, ProjectileDefRegistry* projectiles, WarheadDefRegistry* warheads,
                           Ogre::SceneNode* parent, const Ogre::Vector3& cannonPosition,
                           const Ogre::Vector3& cannonDirection)
{
    IniSource ini;
    if (!parent || !ini.load(definitionIniPath(weapon_cache::family(), name)))
        return false;
    WeaponCacheRecord r;
    readProjectileIni(ini, r);
    readSharedIni(ini, r);
    build(r, projectiles, warheads, parent, cannonPosition, cannonDirection);
    return true;
}

bool GroundWeapon::readCache(const std::string& name, ProjectileDefRegistry* projectiles,
                             WarheadDefRegistry* warheads, Ogre::SceneNode* parent,
                             const Ogre::Vector3& cannonPosition, const Ogre::Vector3& cannonDirection)
{
    WeaponCacheRecord r;
    if (!parent || !weapon_cache::read(name, WeaponCacheKind::Ground, r))
        return false;
    build(r, projectiles, warheads, parent, cannonPosition, cannonDirection);
    return true;
}

bool GroundWeapon::writeCache(const std::string& name, const std::string& /*meshName*/)
{
    WeaponCacheRecord r;
    fillRecord(r);
    return weapon_cache::write(name, WeaponCacheKind::Ground, r);
}

bool GroundWeapon::canFireProjectile() const
{
    return muzzleNode_ && projectile_ && warhead_ && projectiles_;
}

void GroundWeapon::spawnProjectile(float addedSpeed, bool hasTarget, int32_t targetSlot, uint32_t damage)
{
    const uint8_t tracking = hasTarget ? 1 : 0;
    projectiles_->spawn(team_, static_cast<int32_t>(projectile_->ProjectileType), muzzleNode_->_getDerivedPosition(),
                        muzzleNode_->_getDerivedOrientation(), addedSpeed, spread_, static_cast<uint32_t>(ownerSlot_),
                        damage, projectile_, warhead_, &tracking, static_cast<uint32_t>(targetSlot),
                        &Ogre::Vector3::ZERO);
}

void GroundWeapon::holdLoops(bool trigger)
{
    if (fireReactor_ && fireReactorLoop_) {
        if (!trigger)
            fireReactor_->setState(1);
        else
            fireReactor_->setState(ammo_ == 0 && !unlimitedAmmo_ ? 1 : 2);
    }
    if (fireSound_ && fireSound_->isLooping()) {
        if (trigger && !fireSound_->isPlaying())
            fireSound_->play();
        else if (!trigger && fireSound_->isPlaying())
            fireSound_->stop();
    }
}

void GroundWeapon::update(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot)
{
    holdLoops(trigger);
    // A weapon built without its cache or definitions has nothing to fire from or with.
    if (trigger && coolDown_ == 0.0f && (ammo_ > 0 || unlimitedAmmo_) && canFireProjectile()) {
        if (fireSound_) {
            fireSound_->stop();
            fireSound_->play();
        }
        if (fireReactor_ && !fireReactorLoop_)
            fireReactor_->setState(3);
        spawnProjectile(addedSpeed, hasTarget, targetSlot, scaledDamage(damage_, damageMultiplier_));
        coolDown_ = fireInterval_;
        if (ammo_ > 0)
            --ammo_;
    }
    if (coolDown_ > 0.0f) {
        coolDown_ -= rateMultiplier_ * dt;
        if (coolDown_ < 0.0f)
            coolDown_ = 0.0f;
    }
}

void GroundWeapon::tick(float dt, float addedSpeed, bool trigger, bool hasTarget, int32_t targetSlot)
{
    update(dt, addedSpeed, trigger, hasTarget, targetSlot);
}

GroundWeapon* makeGroundWeapon(WeaponContext* context, const std::string& name, Ogre::SceneNode* parent,
                               uint8_t flag, int32_t ownerSlot, int32_t team, const Ogre::Vector3& cannonPosition,
                               const Ogre::Vector3& cannonDirection)
{
    return new GroundWeapon(*context, name, parent, flag, ownerSlot, team, cannonPosition, cannonDirection);
}
