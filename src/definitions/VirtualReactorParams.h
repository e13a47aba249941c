#pragma once
// Reactor definitions: a persistent, switchable effect on its owner's node. Sound only
// (VirtualReactorParams), one particle system (BasicReactorParams), one system whose emission
// follows a level from 0 to 1 (VariableReactorParams), several systems (MultiReactorParams).
// Their sources are in Data/Reactor, their caches "<name>.ZVR".
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/DefinitionCache.h"
#include "definitions/EffectsParams.h"

// State of a run-time reactor: 0 (not yet started) and 1 off, 2 on, 3 a fire burst of the
// definition's FireTime that returns to 1.
enum ReactorState : int32_t {
    ReactorState_Unset = 0,
    ReactorState_Off = 1,
    ReactorState_On = 2,
    ReactorState_Fire = 3,
};

// The state a definition's StartState starts a reactor in: 1 on, 2 a fire burst, anything else off.
ReactorState reactorStartState(uint32_t startState);

class VirtualReactorParams {
public:
    static constexpr uint32_t kTypeCode = 0;

    // Defaults, then the cache "<name>.ZVR".
    explicit VirtualReactorParams(std::string name);
    VirtualReactorParams(const VirtualReactorParams&) = default;
    VirtualReactorParams& operator=(const VirtualReactorParams&) = default;
    VirtualReactorParams(VirtualReactorParams&&) = default;
    VirtualReactorParams& operator=(VirtualReactorParams&&) = default;

    // Declared first: this family keeps its destructor ahead of the readers.
    virtual ~VirtualReactorParams() = default;
    // Each returns whether the whole file was read or written; on failure nothing changes.
    virtual bool readIni();
    virtual bool readCache();
    virtual bool writeCache() const;

    const std::string& getName() const { return name_; }
    // 0 VirtualReactorParams, 1 BasicReactorParams, 2 VariableReactorParams, 3 MultiReactorParams.
    uint32_t getTypeCode() const { return typeCode_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }

    Ogre::Vector3 PositionOffset = Ogre::Vector3::ZERO;  // from the owner's node
    float FireTime = 0.0f;                               // seconds of a fire burst
    bool Sound = false;                                  // EffectSound names a sound
    std::string EffectSound;
    bool EffectSound_Loop = false;
    float EffectSound_Gain_Low = 0.0f;   // at level 0
    float EffectSound_Pitch_Low = 0.0f;  // at level 0; a 0 read from a file becomes 1
    float EffectSound_Gain_High = 0.0f;  // at level 1
    float EffectSound_Pitch_High = 0.0f;
    float EffectSound_PitchVar = 0.0f;  // a negative spread read from a file becomes 0
    uint32_t StartState = 1;            // see reactorStartState

protected:
    // For subclass constructors, which read their own cache instead of the base's.
    struct DefaultsOnly {};
    VirtualReactorParams(std::string name, uint32_t typeCode, DefaultsOnly);

    static const DefinitionFamily& family() { return definition_families::Reactor; }

    // The fields every reactor cache starts with (gains before pitches, as in the source).
    template <class Self, class IO>
    static void reactorFields(Self& d, IO& io)
    {
        io.value(d.PositionOffset);
        io.value(d.StartState);
        io.optionalName(d.Sound, d.EffectSound);
        io.value(d.FireTime);
        io.value(d.EffectSound_Loop);
        io.value(d.EffectSound_Gain_Low);
        io.value(d.EffectSound_Gain_High);
        io.value(d.EffectSound_Pitch_Low);
        io.value(d.EffectSound_Pitch_High);
        io.value(d.EffectSound_PitchVar);
    }
    static void readReactorIni(VirtualReactorParams& d, IniSource& ini);
    // The corrections every reader applies: pitch bounds of 0 become 1, a negative spread 0.
    static void correctSound(VirtualReactorParams& d);

    template <class Def, class Fn>
    bool readOwnCache(Def& self, Fn&& fields)
    {
        return loadDefinitionCache(self, family(), name_, typeCode_, [&](Def& d, CacheReader& in) {
            d.EffectSound.clear();  // a clear sound flag stores no name
            reactorFields(d, in);
            fields(d, in);
            correctSound(d);
        });
    }
    template <class Def, class Fn>
    bool writeOwnCache(const Def& self, Fn&& fields) const
    {
        return saveDefinitionCache(self, family(), name_, typeCode_, [&](const Def& d, CacheWriter& out) {
            reactorFields(d, out);
            fields(d, out);
        });
    }
    // Reads the shared keys and the class's own (fields) from the source.
    template <class Def, class Fn>
    bool readOwnIni(Def& self, Fn&& fields)
    {
        return loadDefinitionIni(self, definitionIniPath(family(), name_), [&](Def& d, IniSource& ini) {
            readReactorIni(d, ini);
            fields(d, ini);
            correctSound(d);
        });
    }

    std::string name_;
    uint32_t typeCode_ = kTypeCode;
    bool cacheLoaded_ = false;
};

class BasicReactorParams : public VirtualReactorParams {
public:
    static constexpr uint32_t kTypeCode = 1;

    explicit BasicReactorParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    std::string ParticleName;  // the particle-system template

protected:
    BasicReactorParams(std::string name, uint32_t typeCode, DefaultsOnly);
};

class VariableReactorParams : public BasicReactorParams {
public:
    static constexpr uint32_t kTypeCode = 2;

    explicit VariableReactorParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    // Emission rate and particle life between level 0 (Low) and level 1 (High).
    bool EffectEmit_Rate_Var = false;
    float EffectEmit_Rate_Low = 0.0f;
    float EffectEmit_Rate_High = 0.0f;
    bool EffectEmit_Life_Var = false;
    float EffectEmit_LifeMin_Low = 0.0f;
    float EffectEmit_LifeMin_High = 0.0f;
    float EffectEmit_LifeMax_Low = 0.0f;
    float EffectEmit_LifeMax_High = 0.0f;

private:
    template <class Self, class IO>
    static void levelFields(Self& d, IO& io)
    {
        io.value(d.ParticleName);
        io.value(d.EffectEmit_Rate_Var);
        io.value(d.EffectEmit_Rate_Low);
        io.value(d.EffectEmit_Rate_High);
        io.value(d.EffectEmit_Life_Var);
        io.value(d.EffectEmit_LifeMin_Low);
        io.value(d.EffectEmit_LifeMin_High);
        io.value(d.EffectEmit_LifeMax_Low);
        io.value(d.EffectEmit_LifeMax_High);
    }
};

class MultiReactorParams : public VirtualReactorParams {
public:
    static constexpr uint32_t kTypeCode = 3;
    static constexpr uint32_t kMaxParticles = 64;

    explicit MultiReactorParams(std::string name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    uint32_t getNumParticles() const { return static_cast<uint32_t>(particles.size()); }
    // The template of system i; "" when there is no such system.
    std::string getParticleName(uint32_t i) const;

    std::vector<FxParticleEntry> particles;  // "NumParticles" of them, in source order
};
