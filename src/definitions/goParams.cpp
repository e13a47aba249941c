#include "definitions/goParams.h"

namespace {
// Lock factors outside [0.2, 5] are taken as unset.
float lockFactorOrDefault(float v) { return (v < 0.2f || v > 5.0f) ? 1.0f : v; }
float oneIfZero(float v) { return v == 0.0f ? 1.0f : v; }
}  // namespace

goParams::goParams(std::string name) : name_(std::move(name)) {}

bool goParams::readIni() { return false; }

bool goParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kTypeCode,
                               [](goParams& d, CacheReader& in) { subObjFields(d, in); });
}

bool goParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, kTypeCode,
                               [](const goParams& d, CacheWriter& out) { subObjFields(d, out); });
}

uint32_t goParams::mapCode(uint32_t) const { return 0; }

void goParams::readSpecsIni(goParams& d, IniSource& ini, float radarDefault)
{
    d.RadarRange = ini.real("Specs", "RadarRange");
    d.LockRangeVar = ini.real("Specs", "LockRangeVar");
    d.LockAngleVar = ini.real("Specs", "LockAngleVar");
    d.JammingResistance = ini.real("Specs", "JammingResistance");
    d.TermoStealth = ini.real("Specs", "TermoStealth");
    d.RadarStealth = ini.real("Specs", "RadarStealth");
    d.TgtStealthRes = ini.real("Specs", "TgtStealthRes");
    if (d.RadarRange == 0.0f)
        d.RadarRange = radarDefault;
    d.LockRangeVar = lockFactorOrDefault(d.LockRangeVar);
    d.LockAngleVar = lockFactorOrDefault(d.LockAngleVar);
    d.GroundLockVar = oneIfZero(ini.real("Specs", "GroundLockVar"));
    d.AirLockVar = oneIfZero(ini.real("Specs", "AirLockVar"));
}

void goParams::readSubObjIni(goParams& d, IniSource& ini)
{
    const uint32_t count = ini.count("SubObjData", "numGoSubObjs", kMaxSubObjects);
    std::vector<subObjParams> parts(count);
    for (uint32_t n = 1; n <= count; ++n) {
        const std::string section = indexedKey("SubObjData_", n);
        subObjParams& s = parts[n - 1];
        s.subObj_Type = ini.uint(section, "subObj_Type");
        s.isColObj = ini.flag(section, "isColObj");
        s.isRdrObj = ini.flag(section, "isRdrObj");
        s.Active = ini.flag(section, "Active");
        s.ObjPos = ini.vec3(section, "ObjPos");
        s.OriByVect = ini.vec3(section, "OriByVect");
        s.OriByPitch = ini.real(section, "OriByPitch");
        s.OriByYaw = ini.real(section, "OriByYaw");
        s.OriRoll = ini.real(section, "OriRoll");
        s.GameName = ini.text(section, "GameName");
        s.MeshName = ini.text(section, "MeshName");
        s.CollName = ini.text(section, "CollName");
        s.ColideActor = ini.flag(section, "ColideActor");
        s.KillMoney = ini.uint(section, "KillMoney");
        s.KillExp = ini.uint(section, "KillExp");
        s.HP = ini.real(section, "HP");
        s.Critical = ini.flag(section, "Critical");
        s.KillDmgParent = ini.uint(section, "KillDmgParent");
        s.Death_Effect = ini.text(section, "Death_Effect");
        s.FireDelay = ini.real(section, "FireDelay");
        s.RadarRange = ini.real(section, "RadarRange");
        s.lockRange = ini.real(section, "lockRange");
        s.lockTime = ini.real(section, "lockTime");
        s.lockAng = ini.real(section, "lockAng");
        s.MainWeapName = ini.text(section, "MainWeapName");
        s.ContFireTime = ini.real(section, "ContFireTime");
    }
    d.subObjs = std::move(parts);
}
