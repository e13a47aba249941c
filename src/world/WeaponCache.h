#pragma once
// The weapon cache "<name>.ZVW": one record for both weapon classes and one field list shared by
// the reader and the writer. The class is chosen by whoever builds the weapon, never by the
// file, so any type code is accepted.
#include "definitions/DefinitionCache.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

enum class WeaponCacheKind : uint32_t { Ground = 3, PickUp = 4 };

struct WeaponCacheRecord {
    // Pick-up weapons only: the special action in place of a projectile.
    bool IsSpecial = false;
    bool ActorBreeder = false;
    bool AB_AWithAI = false;
    Ogre::Vector3 AB_Offset = Ogre::Vector3::ZERO;
    uint32_t AB_ActorType = 0;
    uint32_t AB_ActorTeam = 0;
    std::string AB_Actor;
    bool TimeSlower = false;
    float ZV_Scale = 0.0f;
    float ZV_Time = 0.0f;

    uint32_t projectileType = 0;
    std::string projectile;
    uint32_t warheadType = 0;
    std::string warhead;

    Ogre::Vector3 CannonPos = Ogre::Vector3::ZERO;
    bool hasWeaponMesh = false;  // pick-up weapons only
    std::string WeaponMesh;
    uint32_t ammo = 0;
    float RateOfFire = 0.0f;
    float MaxOffsetFireAngle = 0.0f;
    bool AIContFire = false;
    uint32_t Damage = 0;
    float LockArea = 0.0f;
    float LockSpeed = 0.0f;
    float LockRange = 0.0f;

    bool hasFireSound = false;
    std::string FireSound;
    bool FireSound_isLoop = false;
    bool hasFireReactor = false;
    std::string FireReactorName;
    bool FireReactor_Loop = false;

    std::string WeaponIcon;  // pick-up weapons only
    std::string WeaponArrow;

    // Pick-up weapons only, and only used when the weapon mesh has a skeleton.
    bool hasAnimations = false;  // the file held the two animation blocks
    bool hasFireAnim = false;
    bool FireAnim_Loop = false;
    std::string FireAnim;
    bool hasIdleAnim = false;
    uint32_t IdleAnimSpd = 0;  // stored whole
    std::string IdleAnim;
};

namespace weapon_cache {

inline const DefinitionFamily& family() { return definition_families::MountedWeapon; }

template <class Self, class IO>
void projectileFields(Self& r, IO& io)
{
    io.value(r.projectileType);
    io.value(r.projectile);
    io.value(r.warheadType);
    io.value(r.warhead);
}

// Everything up to the animation blocks, in file order.
template <class Self, class IO>
void fields(Self& r, IO& io, WeaponCacheKind kind)
{
    const bool pickUp = kind == WeaponCacheKind::PickUp;
    if (pickUp) {
        io.value(r.IsSpecial);
        if (!r.IsSpecial) {
            projectileFields(r, io);
        } else {
            io.value(r.ActorBreeder);
            if (r.ActorBreeder) {
                io.value(r.AB_AWithAI);
                io.value(r.AB_Offset);
                io.value(r.AB_ActorType);
                io.value(r.AB_ActorTeam);
                io.value(r.AB_Actor);
            } else {
                io.value(r.TimeSlower);
                io.value(r.ZV_Scale);
                io.value(r.ZV_Time);
            }
        }
    } else {
        projectileFields(r, io);
    }
    io.value(r.CannonPos);
    if (pickUp) {
        io.value(r.hasWeaponMesh);
        io.value(r.WeaponMesh);
    }
    io.value(r.ammo);
    io.value(r.RateOfFire);
    io.value(r.MaxOffsetFireAngle);
    io.value(r.AIContFire);
    io.value(r.Damage);
    io.value(r.LockArea);
    io.value(r.LockSpeed);
    io.value(r.LockRange);
    io.value(r.hasFireSound);
    if (r.hasFireSound) {
        io.value(r.FireSound);
        io.value(r.FireSound_isLoop);
    }
    io.value(r.hasFireReactor);
    if (r.hasFireReactor) {
        io.value(r.FireReactorName);
        io.value(r.FireReactor_Loop);
    }
    if (pickUp) {
        io.value(r.WeaponIcon);
        io.value(r.WeaponArrow);
    }
}

template <class Self, class IO>
void animationFields(Self& r, IO& io)
{
    io.value(r.hasFireAnim);
    if (r.hasFireAnim) {
        io.value(r.FireAnim_Loop);
        io.value(r.FireAnim);
    }
    io.value(r.hasIdleAnim);
    if (r.hasIdleAnim) {
        io.value(r.IdleAnimSpd);
        io.value(r.IdleAnim);
    }
}

// Reads the cache of that name; false (record untouched) when it is missing or damaged. The
// animation blocks are optional: a file that ends before them is whole.
bool read(const std::string& name, WeaponCacheKind kind, WeaponCacheRecord& record);
// The same over bytes already in memory (header included).
bool readBytes(std::vector<uint8_t> bytes, WeaponCacheKind kind, WeaponCacheRecord& record);
// The whole file: header with the kind's type code and the name, then the body. The animation
// blocks are written for pick-up weapons only.
std::vector<uint8_t> encode(const std::string& name, WeaponCacheKind kind, const WeaponCacheRecord& record);
bool write(const std::string& name, WeaponCacheKind kind, const WeaponCacheRecord& record);

}  // namespace weapon_cache
