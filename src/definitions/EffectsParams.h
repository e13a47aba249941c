#pragma once
// Effect definitions: a fire-and-forget event with a sound (EffectsParams), with one particle
// system (BaseEffectsParams) or with several, each emitting for its own time (MultiEffectsParams).
// Their sources are in Data/Effects, their caches "<name>.ZVE".
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/DefinitionCache.h"

// One particle system of a multi-system effect or reactor.
struct FxParticleEntry {
    std::string ParticleName;  // the particle-system template
    float TimeToLive = 0.0f;   // seconds that system emits
};

// The entries of a multi-system source: "NumParticles" (at most maxCount), then for n from 1
// the keys n_ParticleName and n_TimeToLive, all in section "Data".
std::vector<FxParticleEntry> readFxParticleIni(IniSource& ini, uint32_t maxCount);

// The entries of a multi-system cache: a count, then name and time of each.
template <class List, class IO>
void fxParticleFields(List& particles, uint32_t maxCount, IO& io)
{
    io.list(particles, maxCount, [](auto& e, auto& io) {
        io.value(e.ParticleName);
        io.value(e.TimeToLive);
    });
}

class EffectsParams {
public:
    static constexpr uint32_t kTypeCode = 0;

    // Defaults, then the cache "<name>.ZVE".
    explicit EffectsParams(std::string name);
    EffectsParams(const EffectsParams&) = default;
    EffectsParams& operator=(const EffectsParams&) = default;
    EffectsParams(EffectsParams&&) = default;
    EffectsParams& operator=(EffectsParams&&) = default;

    // Each returns whether the whole file was read or written; on failure nothing changes.
    virtual bool readIni();
    virtual bool readCache();
    virtual bool writeCache() const;
    virtual ~EffectsParams() = default;

    const std::string& getName() const { return name_; }
    // 0 EffectsParams, 1 BaseEffectsParams, 2 MultiEffectsParams; chooses the run-time effect.
    uint32_t getTypeCode() const { return typeCode_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }

    float TimeToLive = 0.0f;
    Ogre::Vector3 PositionOffset = Ogre::Vector3::ZERO;  // carried, not applied by the effects
    bool Sound = false;                                  // EffectSound names a sound
    std::string EffectSound;
    float EffectSound_Gain = 0.0f;      // a 0 read from a file becomes 1
    float EffectSound_PitchVar = 0.0f;  // a negative spread read from a file becomes 0

protected:
    // For subclass constructors, which read their own cache instead of the base's.
    struct DefaultsOnly {};
    EffectsParams(std::string name, uint32_t typeCode, DefaultsOnly);

    static const DefinitionFamily& family() { return definition_families::Effect; }

    // The fields every effect cache starts with.
    template <class Self, class IO>
    static void effectFields(Self& d, IO& io)
    {
        io.value(d.TimeToLive);
        io.value(d.PositionOffset);
        io.optionalName(d.Sound, d.EffectSound);
        io.value(d.EffectSound_Gain);
        io.value(d.EffectSound_PitchVar);
    }
    // The source keys every effect shares (TimeToLive, PositionOffset, section "Sound").
    static void readEffectIni(EffectsParams& d, IniSource& ini);
    // The corrections every reader applies: gain 0 becomes 1, a negative pitch spread 0.
    static void correctSound(EffectsParams& d);

    // Reads or writes the cache: the shared fields, then the class's own (fields).
    template <class Def, class Fn>
    bool readOwnCache(Def& self, Fn&& fields)
    {
        return loadDefinitionCache(self, family(), name_, typeCode_, [&](Def& d, CacheReader& in) {
            d.EffectSound.clear();  // a clear sound flag stores no name
            effectFields(d, in);
            fields(d, in);
            correctSound(d);
        });
    }
    template <class Def, class Fn>
    bool writeOwnCache(const Def& self, Fn&& fields) const
    {
        return saveDefinitionCache(self, family(), name_, typeCode_, [&](const Def& d, CacheWriter& out) {
            effectFields(d, out);
            fields(d, out);
        });
    }
    // Reads the source with the class's own keys (fields), then the shared ones.
    template <class Def, class Fn>
    bool readOwnIni(Def& self, Fn&& fields)
    {
        return loadDefinitionIni(self, definitionIniPath(family(), name_), [&](Def& d, IniSource& ini) {
            fields(d, ini);
            readEffectIni(d, ini);
            correctSound(d);
        });
    }

    std::string name_;
    uint32_t typeCode_ = kTypeCode;
    bool cacheLoaded_ = false;
};

class BaseEffectsParams : public EffectsParams {
public:
    static constexpr uint32_t kTypeCode = 1;

    explicit BaseEffectsParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    std::string ParticleName;  // first key of the source, last field of the cache
};

class MultiEffectsParams : public EffectsParams {
public:
    static constexpr uint32_t kTypeCode = 2;
    static constexpr uint32_t kMaxParticles = 64;

    explicit MultiEffectsParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    uint32_t getNumParticles() const { return static_cast<uint32_t>(particles.size()); }
    // The template of system i; "" when there is no such system.
    std::string getParticleName(uint32_t i) const;

    std::vector<FxParticleEntry> particles;  // "NumParticles" of them, in source order
};
