#include "definitions/EffectsParams.h"

std::vector<FxParticleEntry> readFxParticleIni(IniSource& ini, uint32_t maxCount)
{
    const uint32_t count = ini.count("Data", "NumParticles", maxCount);
    std::vector<FxParticleEntry> entries(count);
    for (uint32_t i = 1; i <= count; ++i) {
        entries[i - 1].ParticleName = ini.text("Data", indexedKey("", i, "_ParticleName"));
        entries[i - 1].TimeToLive = ini.real("Data", indexedKey("", i, "_TimeToLive"));
    }
    return entries;
}

// ---- EffectsParams ----

EffectsParams::EffectsParams(std::string name) : name_(std::move(name)) { cacheLoaded_ = EffectsParams::readCache(); }

EffectsParams::EffectsParams(std::string name, uint32_t typeCode, DefaultsOnly)
    : name_(std::move(name)), typeCode_(typeCode)
{
}

void EffectsParams::readEffectIni(EffectsParams& d, IniSource& ini)
{
    d.TimeToLive = ini.real("Data", "TimeToLive");
    d.PositionOffset = ini.vec3("Data", "PositionOffset");
    d.EffectSound = ini.text("Sound", "EffectSound");
    d.EffectSound_Gain = ini.real("Sound", "EffectSound_Gain");
    d.EffectSound_PitchVar = ini.real("Sound", "EffectSound_PitchVar");
    d.Sound = !isAbsentName(d.EffectSound);
}

void EffectsParams::correctSound(EffectsParams& d)
{
    if (d.EffectSound_Gain == 0.0f)
        d.EffectSound_Gain = 1.0f;
    if (d.EffectSound_PitchVar < 0.0f)
        d.EffectSound_PitchVar = 0.0f;
}

bool EffectsParams::readIni()
{
    return readOwnIni(*this, [](EffectsParams&, IniSource&) {});
}

bool EffectsParams::readCache()
{
    return readOwnCache(*this, [](EffectsParams&, CacheReader&) {});
}

bool EffectsParams::writeCache() const
{
    return writeOwnCache(*this, [](const EffectsParams&, CacheWriter&) {});
}

// ---- BaseEffectsParams ----

BaseEffectsParams::BaseEffectsParams(std::string name) : EffectsParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = BaseEffectsParams::readCache();
}

bool BaseEffectsParams::readIni()
{
    return readOwnIni(*this, [](BaseEffectsParams& d, IniSource& ini) { d.ParticleName = ini.text("Data", "ParticleName"); });
}

bool BaseEffectsParams::readCache()
{
    return readOwnCache(*this, [](BaseEffectsParams& d, CacheReader& in) { in.value(d.ParticleName); });
}

bool BaseEffectsParams::writeCache() const
{
    return writeOwnCache(*this, [](const BaseEffectsParams& d, CacheWriter& out) { out.value(d.ParticleName); });
}

// ---- MultiEffectsParams ----

MultiEffectsParams::MultiEffectsParams(std::string name) : EffectsParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = MultiEffectsParams::readCache();
}

std::string MultiEffectsParams::getParticleName(uint32_t i) const
{
    return i < particles.size() ? particles[i].ParticleName : std::string();
}

bool MultiEffectsParams::readIni()
{
    return readOwnIni(*this, [](MultiEffectsParams& d, IniSource& ini) {
        d.particles = readFxParticleIni(ini, kMaxParticles);
    });
}

bool MultiEffectsParams::readCache()
{
    return readOwnCache(*this, [](MultiEffectsParams& d, CacheReader& in) { fxParticleFields(d.particles, kMaxParticles, in); });
}

bool MultiEffectsParams::writeCache() const
{
    return writeOwnCache(*this,
                         [](const MultiEffectsParams& d, CacheWriter& out) { fxParticleFields(d.particles, kMaxParticles, out); });
}
