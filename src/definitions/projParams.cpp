#include "definitions/projParams.h"

namespace {
constexpr uint32_t kNoTrackingCode = 9;

uint32_t validTrackType(uint32_t type) { return (type == 1 || type == 2) ? type : 0; }
}  // namespace

// ---- projParams ----

projParams::projParams(std::string name) : name_(std::move(name)) { cacheLoaded_ = projParams::readCache(); }

projParams::projParams(std::string name, DefaultsOnly) : name_(std::move(name)) {}

void projParams::trackingCode(const projParams& d, CacheWriter& out)
{
    const uint32_t type = validTrackType(d.TrackType);
    out.value(type != 0 ? type : kNoTrackingCode);
}

void projParams::trackingCode(projParams& d, CacheReader& in)
{
    uint32_t code = 0;
    in.value(code);
    d.TrackType = validTrackType(code);
}

void projParams::readProjectileIni(projParams& d, IniSource& ini, bool wholeSeconds)
{
    d.meshName = ini.text("Data", "meshName");
    d.timeToLive = wholeSeconds ? static_cast<float>(ini.uint("Data", "timeToLive")) : ini.real("Data", "timeToLive");
    d.ProjectileType = ini.uint("Data", "ProjectileType");
    d.Speed = ini.real("Data", "Speed");
    d.MaxSpeed = ini.real("Data", "MaxSpeed");
    d.MinDistVisible = ini.real("Data", "MinDistVisible");
    d.Damage = ini.uint("Data", "Damage");
    d.MomentumTransfer = ini.integer("Data", "MomentumTransfer");
    d.DamageType = ini.uint("Data", "DamageType");
    d.UseProximityFuse = ini.flag("Data", "UseProximityFuse");
    d.ProxFuse_TGTDist = ini.real("Data", "ProxFuse_TGTDist");
    d.UseSurroundFuse = ini.flag("Data", "UseSurroundFuse");
    d.SroundFuse_TGTDist = ini.real("Data", "SroundFuse_TGTDist");
    d.TgtStealthRes = ini.real("Data", "TgtStealthRes");
    d.JammingResistance = ini.real("Data", "JammingResistance");
    d.TrackType = validTrackType(ini.uint("Data", "TrackType"));
    d.ReactorName = ini.text("Reactor", "ReactorName");
    d.SpawnSound = ini.text("Sound", "SpawnSound");
    d.hasSpawnSound = !isAbsentName(d.SpawnSound);
    d.LiveSound = ini.text("Sound", "LiveSound");
    d.hasLiveSound = !isAbsentName(d.LiveSound);
}

bool projParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_),
                             [](projParams& d, IniSource& ini) { readProjectileIni(d, ini, false); });
}

bool projParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kAnyTypeCode, [](projParams& d, CacheReader& in) {
        projectileFields(d, in);
        // A missile's cache read as a plain projectile ends in the missile's own fields.
        if (in.typeCode() == ProjectileKind_Missile)
            in.ignoreRest();
    });
}

bool projParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, ProjectileType,
                               [](const projParams& d, CacheWriter& out) { projectileFields(d, out); });
}

// ---- MissParams ----

MissParams::MissParams(std::string name) : projParams(std::move(name), DefaultsOnly{})
{
    cacheLoaded_ = MissParams::readCache();
}

bool MissParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_), [](MissParams& d, IniSource& ini) {
        readProjectileIni(d, ini, true);
        d.trackSkill = ini.real("Tracking", "trackSkill");
        d.maxFOV = ini.real("Tracking", "maxFOV");
        d.trackaPass = ini.flag("Tracking", "trackaPass");
    });
}

bool MissParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kAnyTypeCode,
                               [](MissParams& d, CacheReader& in) { missileFields(d, in); });
}

bool MissParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, ProjectileType,
                               [](const MissParams& d, CacheWriter& out) { missileFields(d, out); });
}
