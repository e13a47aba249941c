#pragma once
// Projectile definitions: what a weapon fires (projParams), with the tracking of guided missiles
// (MissParams). Sources in Data/GamePlay, caches "<name>.ZVJ", whose type code is the
// definition's ProjectileType.
#include <cstdint>
#include <string>

#include "definitions/DefinitionCache.h"

// The kinds of projectile; a weapon names one with its projectile definition.
enum ProjectileKind : uint32_t {
    ProjectileKind_Bullet = 1,
    ProjectileKind_Rocket = 2,
    ProjectileKind_Missile = 3,  // the only kind whose definition is a MissParams
    ProjectileKind_Bomb = 4,
    ProjectileKind_Dispenser = 5,
};

class projParams {
public:
    // Defaults, then the cache "<name>.ZVJ".
    explicit projParams(std::string name);
    projParams(const projParams&) = default;
    projParams& operator=(const projParams&) = default;
    projParams(projParams&&) = default;
    projParams& operator=(projParams&&) = default;

    // Each returns whether the whole file was read or written; on failure nothing changes.
    virtual bool readIni();
    virtual bool readCache();
    virtual bool writeCache() const;
    virtual ~projParams() = default;

    const std::string& getName() const { return name_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }
    std::string getMeshName() const { return meshName; }
    std::string getSpawnSound() const { return SpawnSound; }
    std::string getLiveSound() const { return LiveSound; }
    std::string getReactorName() const { return ReactorName; }

    std::string meshName;
    float timeToLive = 0.0f;      // seconds
    uint32_t ProjectileType = 0;  // a ProjectileKind
    float Speed = 0.0f;           // world units per frame at 60 frames per second
    float MaxSpeed = 0.0f;
    uint32_t Damage = 0;
    int32_t MomentumTransfer = 0;
    uint32_t DamageType = 0;
    bool UseProximityFuse = false;
    float ProxFuse_TGTDist = 0.0f;
    bool UseSurroundFuse = false;
    float SroundFuse_TGTDist = 0.0f;
    uint32_t TrackType = 0;  // 0 none, 1 against radar stealth, 2 against thermal stealth
    float TgtStealthRes = 0.0f;
    float JammingResistance = 0.0f;
    bool hasSpawnSound = false;  // SpawnSound names a sound
    std::string SpawnSound;
    bool hasLiveSound = false;  // LiveSound names a sound
    std::string LiveSound;
    std::string ReactorName;     // spawned on the projectile's node by rockets, missiles, bombs, dispensers
    float MinDistVisible = 0.0f;  // the mesh shows once the projectile has flown this far

protected:
    // For the missile's constructor, which reads its own cache instead of the base's.
    struct DefaultsOnly {};
    projParams(std::string name, DefaultsOnly);

    static const DefinitionFamily& family() { return definition_families::Projectile; }

    template <class Self, class IO>
    static void projectileFields(Self& d, IO& io)
    {
        io.value(d.meshName);
        io.value(d.timeToLive);
        io.value(d.ProjectileType);
        io.value(d.Speed);
        io.value(d.MaxSpeed);
        io.value(d.MinDistVisible);
        io.value(d.Damage);
        io.value(d.MomentumTransfer);
        io.value(d.DamageType);
        io.value(d.UseProximityFuse);
        io.value(d.ProxFuse_TGTDist);
        io.value(d.UseSurroundFuse);
        io.value(d.SroundFuse_TGTDist);
        io.value(d.TgtStealthRes);
        io.value(d.JammingResistance);
        trackingCode(d, io);
        io.value(d.ReactorName);
        io.optionalName(d.hasSpawnSound, d.SpawnSound);
        io.optionalName(d.hasLiveSound, d.LiveSound);
    }
    // The tracking word: 1 and 2 as they are, 9 for no tracking; any other word reads as none.
    static void trackingCode(const projParams& d, CacheWriter& out);
    static void trackingCode(projParams& d, CacheReader& in);

    // The keys every projectile reads; the missile reads timeToLive in whole seconds.
    static void readProjectileIni(projParams& d, IniSource& ini, bool wholeSeconds);

    std::string name_;
    bool cacheLoaded_ = false;
};

class MissParams : public projParams {
public:
    explicit MissParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    float trackSkill = 0.0f;  // turning ability while tracking
    float maxFOV = 0.0f;      // field of view that keeps the target
    bool trackaPass = false;

private:
    template <class Self, class IO>
    static void missileFields(Self& d, IO& io)
    {
        projectileFields(d, io);
        io.value(d.trackSkill);
        io.value(d.maxFOV);
        io.value(d.trackaPass);
    }
};
