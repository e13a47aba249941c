#include "definitions/WarHeadParams.h"

#include "definitions/FxParamsLibrary.h"

// ---- WarHeadParams ----

WarHeadParams::WarHeadParams(std::string name, FxParamsLibrary* fx) : name_(std::move(name))
{
    cacheLoaded_ = WarHeadParams::readCache(fx);
}

WarHeadParams::WarHeadParams(std::string name, uint32_t warheadType, DefaultsOnly)
    : name_(std::move(name)), warheadType_(warheadType)
{
}

void WarHeadParams::readEffectsIni(WarHeadParams& d, IniSource& ini)
{
    const uint32_t count = ini.count("EffectsList", "NumEffects", kMaxEffects);
    std::vector<std::string> names(count);
    for (uint32_t i = 1; i <= count; ++i)
        names[i - 1] = ini.text("EffectsList", indexedKey("Effect_", i));
    d.effectNames = std::move(names);
    d.ImpactSound = ini.text("Sound", "ImpactSound");
    d.hasImpactSound = !isAbsentName(d.ImpactSound);
}

void WarHeadParams::loadEffects(FxParamsLibrary* fx)
{
    effects.clear();
    for (const std::string& name : effectNames)
        effects.push_back(fx ? fx->loadEffectParams(name) : nullptr);
}

bool WarHeadParams::readIni(FxParamsLibrary* fx)
{
    return readOwnIni(*this, definition_families::Warhead, fx, [](WarHeadParams& d, IniSource& ini) {
        d.DamageRange = ini.real("Basic", "DamageRange");
        d.DirectHitMultiplier = ini.real("Basic", "DirectHitMultiplier");
        d.SplashAffectAir = ini.flag("Basic", "SplashAffectAir");
        d.SplashFadeDamage = ini.flag("Basic", "SplashFadeDamage");
        d.blastInterval = ini.real("Basic", "blastInterval");
        d.FriendlyFire = ini.flag("Basic", "FriendlyFire");
        readEffectsIni(d, ini);
    });
}

bool WarHeadParams::readCache(FxParamsLibrary* fx)
{
    return readOwnCache(*this, fx, [](WarHeadParams&, CacheReader&) {});
}

bool WarHeadParams::writeCache() const
{
    return writeOwnCache(*this, [](const WarHeadParams&, CacheWriter&) {});
}

// ---- NapalmWHParams ----

NapalmWHParams::NapalmWHParams(std::string name, FxParamsLibrary* fx)
    : WarHeadParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = NapalmWHParams::readCache(fx);
}

bool NapalmWHParams::readIni(FxParamsLibrary* fx)
{
    return readOwnIni(*this, definition_families::WarheadObject, fx, [](NapalmWHParams& d, IniSource& ini) {
        d.DamageRange = ini.real("Basic", "DamageRange");
        d.DirectHitMultiplier = ini.real("Basic", "DirectHitMultiplier");
        d.SplashAffectAir = ini.flag("Basic", "SplashAffectAir");
        d.SplashFadeDamage = ini.flag("Basic", "SplashFadeDamage");
        d.blastInterval = ini.real("Basic", "blastInterval");
        d.hasInertiaSpread = ini.flag("InertiaSpread", "hasInertiaSpread");
        d.MaxDistanceSpread = ini.real("InertiaSpread", "MaxDistanceSpread");
        d.MaxHeightOffset = ini.real("LineSpread", "MaxHeightOffset");
        d.FriendlyFire = ini.flag("Basic", "FriendlyFire");
        d.hasDropHeightInf = ini.flag("DropHeightSpread", "hasDropHeightInf");
        d.DH_Spread_At_0m = ini.real("DropHeightSpread", "DH_Spread_At_0m");
        d.DH_Spread_At_5000m = ini.real("DropHeightSpread", "DH_Spread_At_5000m");
        readEffectsIni(d, ini);
    });
}

bool NapalmWHParams::readCache(FxParamsLibrary* fx)
{
    return readOwnCache(*this, fx, [](NapalmWHParams& d, CacheReader& in) { napalmFields(d, in); });
}

bool NapalmWHParams::writeCache() const
{
    return writeOwnCache(*this, [](const NapalmWHParams& d, CacheWriter& out) { napalmFields(d, out); });
}

// ---- SClusterWHParams ----

SClusterWHParams::SClusterWHParams(std::string name, FxParamsLibrary* fx)
    : WarHeadParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = SClusterWHParams::readCache(fx);
}

bool SClusterWHParams::readIni(FxParamsLibrary* fx)
{
    return readOwnIni(*this, definition_families::WarheadObject, fx, [](SClusterWHParams& d, IniSource& ini) {
        d.DamageRange = ini.real("Basic", "DamageRange");
        d.DirectHitMultiplier = ini.real("Basic", "DirectHitMultiplier");
        d.SplashAffectAir = ini.flag("Basic", "SplashAffectAir");
        d.SplashFadeDamage = ini.flag("Basic", "SplashFadeDamage");
        d.SpreadDistance = ini.real("CusterSpread", "SpreadDistance");
        d.MinSpreadBlasts = ini.uint("CusterSpread", "MinSpreadBlasts");
        d.MaxSpreadBlasts = ini.uint("CusterSpread", "MaxSpreadBlasts");
        d.LimitPlanarSpread = ini.flag("CusterSpread", "LimitPlanarSpread");
        d.AirExplosion = ini.flag("CusterSpread", "AirExplosion");
        d.blastInterval = ini.real("Basic", "blastInterval");
        d.FriendlyFire = ini.flag("Basic", "FriendlyFire");
        readEffectsIni(d, ini);
    });
}

bool SClusterWHParams::readCache(FxParamsLibrary* fx)
{
    return readOwnCache(*this, fx, [](SClusterWHParams& d, CacheReader& in) { clusterFields(d, in); });
}

bool SClusterWHParams::writeCache() const
{
    return writeOwnCache(*this, [](const SClusterWHParams& d, CacheWriter& out) { clusterFields(d, out); });
}
