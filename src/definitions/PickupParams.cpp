#include "definitions/PickupParams.h"

// ---- PickupParams ----

PickupParams::PickupParams(std::string name) : name_(std::move(name)) { cacheLoaded_ = PickupParams::readCache(); }

PickupParams::PickupParams(std::string name, uint32_t typeCode, DefaultsOnly)
    : name_(std::move(name)), typeCode_(typeCode)
{
}

void PickupParams::readPickupIni(PickupParams& d, IniSource& ini)
{
    d.meshName = ini.text("Data", "meshName");
    d.TimeLive = ini.real("Data", "TimeLive");
    d.ColectRange = ini.real("Data", "ColectRange");
    d.Rotate = ini.flag("Anim", "Rotate");
    d.Rotate_Speed = ini.real("Anim", "Rotate_Speed");
    d.Levitate = ini.flag("Anim", "Levitate");
    d.Lev_Range = ini.real("Anim", "Lev_Range");
    d.Lev_Amplitude = ini.real("Anim", "Lev_Amplitude");
    d.Lev_Offset = ini.real("Anim", "Lev_Offset");
}

bool PickupParams::readIni()
{
    return readOwnIni(*this, [](PickupParams&, IniSource&) {});
}

bool PickupParams::readCache()
{
    // Plain and instant pickups share one layout, stored under either code.
    uint32_t stored = 0;
    const bool instant = findDefinitionTypeCode(family(), name_, stored) && stored == kInstantTypeCode;
    return readOwnCache(*this, instant ? kInstantTypeCode : kTypeCode, [](PickupParams&, CacheReader&) {});
}

bool PickupParams::writeCache() const
{
    return writeOwnCache(*this, [](const PickupParams&, CacheWriter&) {});
}

// ---- PickInstantParams ----

PickInstantParams::PickInstantParams(std::string name) : PickupParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = PickupParams::readCache();
}

PickInstantParams::PickInstantParams(std::string name, uint32_t typeCode, DefaultsOnly tag)
    : PickupParams(std::move(name), typeCode, tag)
{
}

// ---- PickWeapParams ----

PickWeapParams::PickWeapParams(std::string name) : PickupParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = PickWeapParams::readCache();
}

bool PickWeapParams::readIni()
{
    return readOwnIni(*this, [](PickWeapParams& d, IniSource& ini) { d.WeapName = ini.text("Weapon", "WeapName"); });
}

bool PickWeapParams::readCache()
{
    return readOwnCache(*this, kTypeCode, [](PickWeapParams& d, CacheReader& in) { in.value(d.WeapName); });
}

bool PickWeapParams::writeCache() const
{
    return writeOwnCache(*this, [](const PickWeapParams& d, CacheWriter& out) { out.value(d.WeapName); });
}

// ---- HealthPickupParams ----

HealthPickupParams::HealthPickupParams(std::string name)
    : PickInstantParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = HealthPickupParams::readCache();
}

bool HealthPickupParams::readIni()
{
    return readOwnIni(*this, [](HealthPickupParams& d, IniSource& ini) {
        d.Perc = ini.flag("Health", "Perc");
        d.OverHeal = ini.flag("Health", "OverHeal");
        d.Value = ini.real("Health", "Value");
        d.Function = ini.uint("Health", "Function");
    });
}

bool HealthPickupParams::readCache()
{
    return readOwnCache(*this, kTypeCode, [](HealthPickupParams& d, CacheReader& in) { healthFields(d, in); });
}

bool HealthPickupParams::writeCache() const
{
    return writeOwnCache(*this, [](const HealthPickupParams& d, CacheWriter& out) { healthFields(d, out); });
}

// ---- GoEffPickupParams ----

GoEffPickupParams::GoEffPickupParams(std::string name)
    : PickInstantParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = GoEffPickupParams::readCache();
}

bool GoEffPickupParams::readIni()
{
    return readOwnIni(*this, [](GoEffPickupParams& d, IniSource& ini) {
        d.TurboMode = ini.flag("GoEffect", "TurboMode");
        d.NoDamageMode = ini.flag("GoEffect", "NoDamageMode");
        d.AddTurbo = ini.real("GoEffect", "AddTurbo");
        d.AddNoDamage = ini.real("GoEffect", "AddNoDamage");
    });
}

bool GoEffPickupParams::readCache()
{
    return readOwnCache(*this, kTypeCode, [](GoEffPickupParams& d, CacheReader& in) { effectFields(d, in); });
}

bool GoEffPickupParams::writeCache() const
{
    return writeOwnCache(*this, [](const GoEffPickupParams& d, CacheWriter& out) { effectFields(d, out); });
}
