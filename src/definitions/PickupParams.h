#pragma once
// Pickup definitions: an item in the arena, collected by coming within its range. A plain pickup
// (PickupParams), an instant one (PickInstantParams) and its repair (HealthPickupParams) and
// power-up (GoEffPickupParams) kinds, and a weapon pickup (PickWeapParams). Sources in
// Data/GamePlay, caches "<name>.ZVP".
#include <cstdint>
#include <string>

#include "definitions/DefinitionCache.h"

class PickupParams {
public:
    static constexpr uint32_t kTypeCode = 1;
    // The code no class writes but a library still makes an instant pickup for.
    static constexpr uint32_t kInstantTypeCode = 3;

    // Defaults, then the cache "<name>.ZVP".
    explicit PickupParams(std::string name);
    PickupParams(const PickupParams&) = default;
    PickupParams& operator=(const PickupParams&) = default;
    PickupParams(PickupParams&&) = default;
    PickupParams& operator=(PickupParams&&) = default;

    // Each returns whether the whole file was read or written; on failure nothing changes.
    virtual bool readIni();
    virtual bool readCache();
    virtual bool writeCache() const;
    virtual ~PickupParams() = default;

    const std::string& getName() const { return name_; }
    // 1 plain and instant, 2 weapon, 4 repair, 5 power-up; chooses the run-time pickup.
    uint32_t getTypeCode() const { return typeCode_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }

    std::string meshName;
    float ColectRange = 0.0f;  // distance within which it is collected
    float TimeLive = 0.0f;     // seconds in the world
    bool Rotate = false;
    float Rotate_Speed = 0.0f;  // degrees per second
    bool Levitate = false;      // bobs up and down
    float Lev_Range = 0.0f;
    float Lev_Amplitude = 0.0f;
    float Lev_Offset = 0.0f;

    // Run-time only (not in the source or the cache): where the rules' spawn lists put this
    // pickup type, written by the rules when they read a mode. Position 1-based, 0 for none;
    // list 1 the interval pickups, 2 the time pickups.
    uint32_t spawnListPosition = 0;
    uint32_t spawnListKind = 0;

protected:
    // For subclass constructors, which read their own cache instead of the base's.
    struct DefaultsOnly {};
    PickupParams(std::string name, uint32_t typeCode, DefaultsOnly);

    static const DefinitionFamily& family() { return definition_families::Pickup; }

    template <class Self, class IO>
    static void pickupFields(Self& d, IO& io)
    {
        io.value(d.meshName);
        io.value(d.TimeLive);
        io.value(d.ColectRange);
        io.value(d.Rotate);
        io.value(d.Rotate_Speed);
        io.value(d.Levitate);
        io.value(d.Lev_Range);
        io.value(d.Lev_Amplitude);
        io.value(d.Lev_Offset);
    }
    static void readPickupIni(PickupParams& d, IniSource& ini);

    // Read or write the cache with the shared fields, then the class's own (tail).
    template <class Def, class Fn>
    bool readOwnCache(Def& self, uint32_t typeCode, Fn&& tail)
    {
        return loadDefinitionCache(self, family(), name_, typeCode, [&](Def& d, CacheReader& in) {
            pickupFields(d, in);
            tail(d, in);
        });
    }
    template <class Def, class Fn>
    bool writeOwnCache(const Def& self, Fn&& tail) const
    {
        return saveDefinitionCache(self, family(), name_, typeCode_, [&](const Def& d, CacheWriter& out) {
            pickupFields(d, out);
            tail(d, out);
        });
    }
    template <class Def, class Fn>
    bool readOwnIni(Def& self, Fn&& keys)
    {
        return loadDefinitionIni(self, definitionIniPath(family(), name_), [&](Def& d, IniSource& ini) {
            readPickupIni(d, ini);
            keys(d, ini);
        });
    }

    std::string name_;
    uint32_t typeCode_ = kTypeCode;
    bool cacheLoaded_ = false;
};

// An instant pickup: acts the moment it is collected. Same fields and layout as PickupParams.
class PickInstantParams : public PickupParams {
public:
    explicit PickInstantParams(std::string name);

protected:
    PickInstantParams(std::string name, uint32_t typeCode, DefaultsOnly);
};

class PickWeapParams : public PickupParams {
public:
    static constexpr uint32_t kTypeCode = 2;

    explicit PickWeapParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    std::string getWeapName() const { return WeapName; }

    std::string WeapName;  // the weapon definition given to the collector
};

class HealthPickupParams : public PickInstantParams {
public:
    static constexpr uint32_t kTypeCode = 4;

    explicit HealthPickupParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    bool Perc = false;      // Value is a fraction of the collector's hit points
    bool OverHeal = false;  // may repair beyond full hit points
    float Value = 0.0f;
    uint32_t Function = 0;  // 1 repairs by Value, 2 repairs fully; others do nothing

private:
    template <class Self, class IO>
    static void healthFields(Self& d, IO& io)
    {
        io.value(d.Perc);
        io.value(d.OverHeal);
        io.value(d.Value);
        io.value(d.Function);
    }
};

class GoEffPickupParams : public PickInstantParams {
public:
    static constexpr uint32_t kTypeCode = 5;

    explicit GoEffPickupParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    bool TurboMode = false;
    bool NoDamageMode = false;
    float AddTurbo = 0.0f;     // seconds of turbo
    float AddNoDamage = 0.0f;  // seconds without damage

private:
    template <class Self, class IO>
    static void effectFields(Self& d, IO& io)
    {
        io.value(d.TurboMode);
        io.value(d.NoDamageMode);
        io.value(d.AddTurbo);
        io.value(d.AddNoDamage);
    }
};
