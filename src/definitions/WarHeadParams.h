#pragma once
// Warhead definitions: what a projectile does when it hits (WarHeadParams), with a napalm stage
// (NapalmWHParams) or a cluster of blasts (SClusterWHParams) after the impact. Plain warheads have
// their sources in Data/GamePlay, the staged ones in Objects/Warheads; all caches are
// "<name>.ZVH". The impact effects are loaded into the FxParamsLibrary handed to the readers,
// which owns them.
#include <cstdint>
#include <string>
#include <vector>

#include "definitions/DefinitionCache.h"

class EffectsParams;
class FxParamsLibrary;

class WarHeadParams {
public:
    static constexpr uint32_t kTypeCode = 1;
    static constexpr uint32_t kMaxEffects = 64;

    // Defaults, then the cache "<name>.ZVH", its effects loaded into fx (which may be null).
    WarHeadParams(std::string name, FxParamsLibrary* fx);
    WarHeadParams(const WarHeadParams&) = default;
    WarHeadParams& operator=(const WarHeadParams&) = default;
    WarHeadParams(WarHeadParams&&) = default;
    WarHeadParams& operator=(WarHeadParams&&) = default;

    // Each returns whether the whole file was read or written; on failure nothing changes. Each
    // effect named is loaded anew into fx.
    virtual bool readIni(FxParamsLibrary* fx);
    virtual bool readCache(FxParamsLibrary* fx);
    virtual bool writeCache() const;
    virtual ~WarHeadParams() = default;

    const std::string& getName() const { return name_; }
    // 1 WarHeadParams, 2 NapalmWHParams, 3 SClusterWHParams; chooses the stage after the impact.
    uint32_t getWarheadType() const { return warheadType_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }
    std::string getImpactSound() const { return ImpactSound; }
    uint32_t getNumEffects() const { return static_cast<uint32_t>(effectNames.size()); }

    // The impact effects, one per name; an entry is null when its name is blank or has no
    // definition. Borrowed from the library.
    std::vector<EffectsParams*> effects;
    std::vector<std::string> effectNames;  // "NumEffects" of them, as the source lists them
    float DamageRange = 0.0f;              // 0: direct hits only; else the radius of area damage
    float DirectHitMultiplier = 1.0f;
    bool SplashAffectAir = false;
    bool SplashFadeDamage = false;
    float blastInterval = 0.0f;  // between the blasts of a stage
    bool FriendlyFire = false;
    bool hasImpactSound = false;  // ImpactSound names a sound
    std::string ImpactSound;

protected:
    // For subclass constructors, which read their own cache instead of the base's.
    struct DefaultsOnly {};
    WarHeadParams(std::string name, uint32_t warheadType, DefaultsOnly);

    template <class Self, class IO>
    static void warheadFields(Self& d, IO& io)
    {
        io.value(d.DamageRange);
        io.value(d.DirectHitMultiplier);
        io.value(d.SplashAffectAir);
        io.value(d.SplashFadeDamage);
        io.value(d.blastInterval);
        io.value(d.FriendlyFire);
        io.list(d.effectNames, kMaxEffects, [](auto& name, auto& io) { io.value(name); });
        io.optionalName(d.hasImpactSound, d.ImpactSound);
    }
    // The "EffectsList" and "Sound" sections every class ends with.
    static void readEffectsIni(WarHeadParams& d, IniSource& ini);
    // Loads each named effect into fx, replacing the list.
    void loadEffects(FxParamsLibrary* fx);

    // Read or write the cache with the shared fields, then the class's own tail.
    template <class Def, class Fn>
    bool readOwnCache(Def& self, FxParamsLibrary* fx, Fn&& tail)
    {
        const bool ok = loadDefinitionCache(self, definition_families::Warhead, name_, warheadType_,
                                            [&](Def& d, CacheReader& in) {
                                                warheadFields(d, in);
                                                tail(d, in);
                                            });
        if (ok)
            loadEffects(fx);
        return ok;
    }
    template <class Def, class Fn>
    bool writeOwnCache(const Def& self, Fn&& tail) const
    {
        return saveDefinitionCache(self, definition_families::Warhead, name_, warheadType_,
                                   [&](const Def& d, CacheWriter& out) {
                                       warheadFields(d, out);
                                       tail(d, out);
                                   });
    }
    template <class Def, class Fn>
    bool readOwnIni(Def& self, const DefinitionFamily& family, FxParamsLibrary* fx, Fn&& keys)
    {
        const bool ok = loadDefinitionIni(self, definitionIniPath(family, name_), keys);
        if (ok)
            loadEffects(fx);
        return ok;
    }

    std::string name_;
    uint32_t warheadType_ = kTypeCode;
    bool cacheLoaded_ = false;
};

class NapalmWHParams : public WarHeadParams {
public:
    static constexpr uint32_t kTypeCode = 2;

    NapalmWHParams(std::string name, FxParamsLibrary* fx);

    bool readIni(FxParamsLibrary* fx) override;
    bool readCache(FxParamsLibrary* fx) override;
    bool writeCache() const override;

    float MaxDistanceSpread = 0.0f;  // along the line of flight
    float MaxHeightOffset = 0.0f;    // of the napalm line
    bool hasInertiaSpread = false;   // the spread follows the projectile's travel
    bool hasDropHeightInf = false;   // the drop height widens the spread
    float DH_Spread_At_0m = 0.0f;
    float DH_Spread_At_5000m = 0.0f;

private:
    template <class Self, class IO>
    static void napalmFields(Self& d, IO& io)
    {
        io.value(d.hasInertiaSpread);
        io.value(d.MaxDistanceSpread);
        io.value(d.MaxHeightOffset);
        io.value(d.hasDropHeightInf);
        io.value(d.DH_Spread_At_0m);
        io.value(d.DH_Spread_At_5000m);
    }
};

class SClusterWHParams : public WarHeadParams {
public:
    static constexpr uint32_t kTypeCode = 3;

    SClusterWHParams(std::string name, FxParamsLibrary* fx);

    bool readIni(FxParamsLibrary* fx) override;
    bool readCache(FxParamsLibrary* fx) override;
    bool writeCache() const override;

    float SpreadDistance = 0.0f;
    uint32_t MinSpreadBlasts = 0;
    uint32_t MaxSpreadBlasts = 0;
    bool LimitPlanarSpread = false;  // the blasts stay in the horizontal plane
    bool AirExplosion = false;       // the cluster bursts in the air

private:
    template <class Self, class IO>
    static void clusterFields(Self& d, IO& io)
    {
        io.value(d.SpreadDistance);
        io.value(d.MinSpreadBlasts);
        io.value(d.MaxSpreadBlasts);
        io.value(d.LimitPlanarSpread);
        io.value(d.AirExplosion);
    }
};
