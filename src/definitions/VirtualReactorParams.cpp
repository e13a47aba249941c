#include "definitions/VirtualReactorParams.h"

ReactorState reactorStartState(uint32_t startState)
{
    switch (startState) {
    case 1:
        return ReactorState_On;
    case 2:
        return ReactorState_Fire;
    default:
        return ReactorState_Off;
    }
}

// ---- VirtualReactorParams ----

VirtualReactorParams::VirtualReactorParams(std::string name) : name_(std::move(name))
{
    cacheLoaded_ = VirtualReactorParams::readCache();
}

VirtualReactorParams::VirtualReactorParams(std::string name, uint32_t typeCode, DefaultsOnly)
    : name_(std::move(name)), typeCode_(typeCode)
{
}

void VirtualReactorParams::readReactorIni(VirtualReactorParams& d, IniSource& ini)
{
    d.PositionOffset = ini.vec3("Data", "PositionOffset");
    d.StartState = ini.uint("Data", "StartState");
    d.EffectSound = ini.text("Sound", "EffectSound");
    d.Sound = !isAbsentName(d.EffectSound);
    d.FireTime = ini.real("Fire", "FireTime");
    d.EffectSound_Loop = ini.flag("Sound", "EffectSound_Loop");
    d.EffectSound_Gain_Low = ini.real("Sound", "EffectSound_Gain_Low");
    d.EffectSound_Gain_High = ini.real("Sound", "EffectSound_Gain_High");
    d.EffectSound_Pitch_Low = ini.real("Sound", "EffectSound_Pitch_Low");
    d.EffectSound_Pitch_High = ini.real("Sound", "EffectSound_Pitch_High");
    d.EffectSound_PitchVar = ini.real("Sound", "EffectSound_PitchVar");
}

void VirtualReactorParams::correctSound(VirtualReactorParams& d)
{
    if (d.EffectSound_Pitch_Low == 0.0f)
        d.EffectSound_Pitch_Low = 1.0f;
    if (d.EffectSound_Pitch_High == 0.0f)
        d.EffectSound_Pitch_High = 1.0f;
    if (d.EffectSound_PitchVar < 0.0f)
        d.EffectSound_PitchVar = 0.0f;
}

bool VirtualReactorParams::readIni()
{
    return readOwnIni(*this, [](VirtualReactorParams&, IniSource&) {});
}

bool VirtualReactorParams::readCache()
{
    return readOwnCache(*this, [](VirtualReactorParams&, CacheReader&) {});
}

bool VirtualReactorParams::writeCache() const
{
    return writeOwnCache(*this, [](const VirtualReactorParams&, CacheWriter&) {});
}

// ---- BasicReactorParams ----

BasicReactorParams::BasicReactorParams(std::string name)
    : VirtualReactorParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = BasicReactorParams::readCache();
}

BasicReactorParams::BasicReactorParams(std::string name, uint32_t typeCode, DefaultsOnly tag)
    : VirtualReactorParams(std::move(name), typeCode, tag)
{
}

bool BasicReactorParams::readIni()
{
    return readOwnIni(*this, [](BasicReactorParams& d, IniSource& ini) { d.ParticleName = ini.text("Data", "ParticleName"); });
}

bool BasicReactorParams::readCache()
{
    return readOwnCache(*this, [](BasicReactorParams& d, CacheReader& in) { in.value(d.ParticleName); });
}

bool BasicReactorParams::writeCache() const
{
    return writeOwnCache(*this, [](const BasicReactorParams& d, CacheWriter& out) { out.value(d.ParticleName); });
}

// ---- VariableReactorParams ----

VariableReactorParams::VariableReactorParams(std::string name)
    : BasicReactorParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = VariableReactorParams::readCache();
}

bool VariableReactorParams::readIni()
{
    return readOwnIni(*this, [](VariableReactorParams& d, IniSource& ini) {
        d.ParticleName = ini.text("Data", "ParticleName");
        d.EffectEmit_Rate_Var = ini.flag("Level", "EffectEmit_Rate_Var");
        d.EffectEmit_Rate_Low = ini.real("Level", "EffectEmit_Rate_Low");
        d.EffectEmit_Rate_High = ini.real("Level", "EffectEmit_Rate_High");
        d.EffectEmit_Life_Var = ini.flag("Level", "EffectEmit_Life_Var");
        d.EffectEmit_LifeMin_Low = ini.real("Level", "EffectEmit_LifeMin_Low");
        d.EffectEmit_LifeMin_High = ini.real("Level", "EffectEmit_LifeMin_High");
        d.EffectEmit_LifeMax_Low = ini.real("Level", "EffectEmit_LifeMax_Low");
        d.EffectEmit_LifeMax_High = ini.real("Level", "EffectEmit_LifeMax_High");
    });
}

bool VariableReactorParams::readCache()
{
    return readOwnCache(*this, [](VariableReactorParams& d, CacheReader& in) { levelFields(d, in); });
}

bool VariableReactorParams::writeCache() const
{
    return writeOwnCache(*this, [](const VariableReactorParams& d, CacheWriter& out) { levelFields(d, out); });
}

// ---- MultiReactorParams ----

MultiReactorParams::MultiReactorParams(std::string name)
    : VirtualReactorParams(std::move(name), kTypeCode, DefaultsOnly{})
{
    cacheLoaded_ = MultiReactorParams::readCache();
}

std::string MultiReactorParams::getParticleName(uint32_t i) const
{
    return i < particles.size() ? particles[i].ParticleName : std::string();
}

bool MultiReactorParams::readIni()
{
    return readOwnIni(*this, [](MultiReactorParams& d, IniSource& ini) {
        d.particles = readFxParticleIni(ini, kMaxParticles);
    });
}

bool MultiReactorParams::readCache()
{
    return readOwnCache(*this, [](MultiReactorParams& d, CacheReader& in) { fxParticleFields(d.particles, kMaxParticles, in); });
}

bool MultiReactorParams::writeCache() const
{
    return writeOwnCache(*this,
                         [](const MultiReactorParams& d, CacheWriter& out) { fxParticleFields(d.particles, kMaxParticles, out); });
}
