#include "DefinitionTestTree.h"
#include "FxDefinitionCheck.h"

#include "definitions/EffectsParams.h"
#include "definitions/VirtualReactorParams.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
void appendString(BinaryWriter& w, const std::string& s) { w.writeString(s); }

void appendVector(BinaryWriter& w, const Ogre::Vector3& v)
{
    w.writeF32(v.x);
    w.writeF32(v.y);
    w.writeF32(v.z);
}

// The shared keys with values no default or correction gives.
const char* const kEffectSource =
    "[Data]\nTimeToLive = 1.25\nPositionOffset = 1 -2 3.5\n"
    "[Sound]\nEffectSound = \"boom.ogg\"\nEffectSound_Gain = 0.5\nEffectSound_PitchVar = 0.25\n";

const char* const kReactorSource =
    "[Data]\nPositionOffset = 0.5 1 -1\nStartState = 2\n"
    "[Fire]\nFireTime = 2.5\n"
    "[Sound]\nEffectSound = hum.ogg\nEffectSound_Loop = true\n"
    "EffectSound_Gain_Low = 0.2\nEffectSound_Gain_High = 0.9\n"
    "EffectSound_Pitch_Low = 0.7\nEffectSound_Pitch_High = 1.6\nEffectSound_PitchVar = 0.3\n";

template <class T>
std::unique_ptr<EffectsParams> makeEffect(const std::string& name)
{
    return std::make_unique<T>(name);
}

template <class T>
std::unique_ptr<VirtualReactorParams> makeReactor(const std::string& name)
{
    return std::make_unique<T>(name);
}
}  // namespace

TEST(EffectsParams, SourceAndCacheRoundTripForEveryClass)
{
    DefinitionTestTree t;
    const struct {
        const char* name;
        std::string extra;
        std::function<std::unique_ptr<EffectsParams>(const std::string&)> make;
        uint32_t type;
    } cases[] = {
        {"plain", "", makeEffect<EffectsParams>, 0},
        {"single", "[Data]\nParticleName = \"Fx/Single\"\n", makeEffect<BaseEffectsParams>, 1},
        {"multi",
         "[Data]\nNumParticles = 2\n1_ParticleName = Fx/A\n1_TimeToLive = 0.5\n2_ParticleName = \"Fx/B\"\n"
         "2_TimeToLive = 1.75\n",
         makeEffect<MultiEffectsParams>, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        t.writeSource("Data/Effects", c.name, std::string(kEffectSource) + c.extra);
        const auto source = c.make(c.name);
        EXPECT_FALSE(source->cacheLoaded());
        ASSERT_TRUE(source->readIni());
        EXPECT_EQ(source->getTypeCode(), c.type);
        EXPECT_EQ(source->TimeToLive, 1.25f);
        EXPECT_EQ(source->PositionOffset, Ogre::Vector3(1, -2, 3.5f));
        EXPECT_TRUE(source->Sound);
        EXPECT_EQ(source->EffectSound, "boom.ogg");
        EXPECT_EQ(source->EffectSound_Gain, 0.5f);
        EXPECT_EQ(source->EffectSound_PitchVar, 0.25f);
        ASSERT_TRUE(source->writeCache());

        const auto loaded = c.make(c.name);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameEffect(*source, *loaded);
    }

    const BaseEffectsParams single("single");
    EXPECT_EQ(single.ParticleName, "Fx/Single");
    const MultiEffectsParams multi("multi");
    ASSERT_EQ(multi.getNumParticles(), 2u);
    EXPECT_EQ(multi.getParticleName(0), "Fx/A");
    EXPECT_EQ(multi.getParticleName(1), "Fx/B");
    EXPECT_EQ(multi.particles[1].TimeToLive, 1.75f);
    EXPECT_EQ(multi.getParticleName(2), "");
}

TEST(EffectsParams, CacheLayoutPutsTheParticleNameLast)
{
    DefinitionTestTree t;
    BaseEffectsParams d("flash");
    d.TimeToLive = 0.5f;
    d.PositionOffset = Ogre::Vector3(1, 2, 3);
    d.Sound = true;
    d.EffectSound = "zap.ogg";
    d.EffectSound_Gain = 0.75f;
    d.EffectSound_PitchVar = 0.125f;
    d.ParticleName = "Fx/Flash";
    ASSERT_TRUE(d.writeCache());

    BinaryWriter w;
    w.writeU32(54547547);
    w.writeU32(1);
    w.writeU32(1);
    appendString(w, "flash");
    w.writeF32(0.5f);
    appendVector(w, Ogre::Vector3(1, 2, 3));
    w.writeBool(true);
    appendString(w, "zap.ogg");
    w.writeF32(0.75f);
    w.writeF32(0.125f);
    appendString(w, "Fx/Flash");
    EXPECT_EQ(t.readBytes(t.cachePath("flash", "ZVE")), w.bytes());

    // Without a sound the flag is followed by no name.
    MultiEffectsParams quiet("quiet");
    quiet.EffectSound = " ";
    quiet.particles = {{"Fx/Q", 2.0f}};
    ASSERT_TRUE(quiet.writeCache());
    BinaryWriter q;
    q.writeU32(54547547);
    q.writeU32(1);
    q.writeU32(2);
    appendString(q, "quiet");
    q.writeF32(0.0f);
    appendVector(q, Ogre::Vector3::ZERO);
    q.writeBool(false);
    q.writeF32(0.0f);
    q.writeF32(0.0f);
    q.writeU32(1);
    appendString(q, "Fx/Q");
    q.writeF32(2.0f);
    EXPECT_EQ(t.readBytes(t.cachePath("quiet", "ZVE")), q.bytes());
}

TEST(EffectsParams, SoundCorrections)
{
    DefinitionTestTree t;
    const struct {
        const char* sound;  // the [Sound] section
        bool hasSound;
        float gain;
        float pitchVar;
    } cases[] = {
        {"EffectSound = \" \"\nEffectSound_Gain = 0.5\n", false, 0.5f, 0.0f},
        {"EffectSound = \"\"\n", false, 1.0f, 0.0f},
        {"EffectSound = a.ogg\nEffectSound_Gain = 0\nEffectSound_PitchVar = -2\n", true, 1.0f, 0.0f},
        {"EffectSound = a.ogg\nEffectSound_PitchVar = 0\n", true, 1.0f, 0.0f},
        {"EffectSound = a.ogg\nEffectSound_Gain = -0.5\nEffectSound_PitchVar = 3\n", true, -0.5f, 3.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sound);
        t.writeSource("Data/Effects", "snd", std::string("[Sound]\n") + c.sound);
        EffectsParams d("snd");
        ASSERT_TRUE(d.readIni());
        EXPECT_EQ(d.Sound, c.hasSound);
        EXPECT_EQ(d.EffectSound_Gain, c.gain);
        EXPECT_EQ(d.EffectSound_PitchVar, c.pitchVar);
        ASSERT_TRUE(d.writeCache());
        const EffectsParams back("snd");
        EXPECT_EQ(back.Sound, c.hasSound);
        EXPECT_EQ(back.EffectSound, c.hasSound ? "a.ogg" : "");
    }

    // The cache reader corrects too; a definition without a cache keeps the raw defaults.
    EffectsParams raw("raw");
    EXPECT_EQ(raw.EffectSound_Gain, 0.0f);
    raw.EffectSound_PitchVar = -1.0f;
    ASSERT_TRUE(raw.writeCache());
    const EffectsParams corrected("raw");
    EXPECT_EQ(corrected.EffectSound_Gain, 1.0f);
    EXPECT_EQ(corrected.EffectSound_PitchVar, 0.0f);

    // A stored flag over a blank name is no sound.
    EffectsParams blank("blank");
    blank.Sound = true;
    blank.EffectSound = " ";
    ASSERT_TRUE(blank.writeCache());
    EXPECT_FALSE(EffectsParams("blank").Sound);
}

TEST(EffectsParams, ParticleListFromSource)
{
    DefinitionTestTree t;
    t.writeSource("Data/Effects", "gap",
                  "[Data]\nNumParticles = 3\n1_ParticleName = one\n2_ParticleName = two\n2_TimeToLive = 4\n"
                  "4_ParticleName = four\n");
    MultiEffectsParams d("gap");
    ASSERT_TRUE(d.readIni());
    ASSERT_EQ(d.getNumParticles(), 3u);
    EXPECT_EQ(d.particles[1].TimeToLive, 4.0f);
    EXPECT_EQ(d.getParticleName(2), "");
    EXPECT_EQ(d.particles[2].TimeToLive, 0.0f);

    // A count beyond the cap refuses the source.
    t.writeSource("Data/Effects", "many", "[Data]\nNumParticles = 100000\n");
    MultiEffectsParams many("many");
    EXPECT_FALSE(many.readIni());
    EXPECT_EQ(many.getNumParticles(), 0u);
}

TEST(ReactorParams, SourceAndCacheRoundTripForEveryClass)
{
    DefinitionTestTree t;
    const std::string level =
        "[Level]\nEffectEmit_Rate_Var = true\nEffectEmit_Rate_Low = 3\nEffectEmit_Rate_High = 30\n"
        "EffectEmit_Life_Var = true\nEffectEmit_LifeMin_Low = 0.1\nEffectEmit_LifeMin_High = 0.2\n"
        "EffectEmit_LifeMax_Low = 0.4\nEffectEmit_LifeMax_High = 0.8\n";
    const struct {
        const char* name;
        std::string extra;
        std::function<std::unique_ptr<VirtualReactorParams>(const std::string&)> make;
        uint32_t type;
    } cases[] = {
        {"sound", "", makeReactor<VirtualReactorParams>, 0},
        {"basic", "[Data]\nParticleName = Fx/Basic\n", makeReactor<BasicReactorParams>, 1},
        {"variable", "[Data]\nParticleName = Fx/Var\n" + level, makeReactor<VariableReactorParams>, 2},
        {"multi", "[Data]\nNumParticles = 2\n1_ParticleName = Fx/M1\n1_TimeToLive = 3\n2_ParticleName = Fx/M2\n",
         makeReactor<MultiReactorParams>, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        t.writeSource("Data/Reactor", c.name, std::string(kReactorSource) + c.extra);
        const auto source = c.make(c.name);
        EXPECT_FALSE(source->cacheLoaded());
        ASSERT_TRUE(source->readIni());
        EXPECT_EQ(source->getTypeCode(), c.type);
        EXPECT_EQ(source->PositionOffset, Ogre::Vector3(0.5f, 1, -1));
        EXPECT_EQ(source->StartState, 2u);
        EXPECT_EQ(source->FireTime, 2.5f);
        EXPECT_TRUE(source->Sound);
        EXPECT_EQ(source->EffectSound, "hum.ogg");
        EXPECT_TRUE(source->EffectSound_Loop);
        EXPECT_EQ(source->EffectSound_Gain_Low, 0.2f);
        EXPECT_EQ(source->EffectSound_Gain_High, 0.9f);
        EXPECT_EQ(source->EffectSound_Pitch_Low, 0.7f);
        EXPECT_EQ(source->EffectSound_Pitch_High, 1.6f);
        EXPECT_EQ(source->EffectSound_PitchVar, 0.3f);
        ASSERT_TRUE(source->writeCache());

        const auto loaded = c.make(c.name);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameReactor(*source, *loaded);
    }

    const VariableReactorParams variable("variable");
    EXPECT_EQ(variable.ParticleName, "Fx/Var");
    EXPECT_TRUE(variable.EffectEmit_Rate_Var);
    EXPECT_TRUE(variable.EffectEmit_Life_Var);
    EXPECT_EQ(variable.EffectEmit_Rate_High, 30.0f);
    EXPECT_EQ(variable.EffectEmit_LifeMax_High, 0.8f);
    const MultiReactorParams multi("multi");
    ASSERT_EQ(multi.getNumParticles(), 2u);
    EXPECT_EQ(multi.getParticleName(1), "Fx/M2");
    EXPECT_EQ(multi.particles[0].TimeToLive, 3.0f);
    EXPECT_EQ(multi.getParticleName(2), "");
}

TEST(ReactorParams, CacheLayoutStoresGainsBeforePitches)
{
    DefinitionTestTree t;
    VariableReactorParams d("var");
    d.PositionOffset = Ogre::Vector3(1, 2, 3);
    d.StartState = 2;
    d.FireTime = 1.5f;
    d.EffectSound_Loop = true;
    d.EffectSound_Gain_Low = 0.1f;
    d.EffectSound_Pitch_Low = 0.2f;
    d.EffectSound_Gain_High = 0.3f;
    d.EffectSound_Pitch_High = 0.4f;
    d.EffectSound_PitchVar = 0.5f;
    d.ParticleName = "Fx/V";
    d.EffectEmit_Rate_Var = true;
    d.EffectEmit_Rate_Low = 6;
    d.EffectEmit_Rate_High = 7;
    d.EffectEmit_LifeMin_Low = 8;
    d.EffectEmit_LifeMin_High = 9;
    d.EffectEmit_LifeMax_Low = 10;
    d.EffectEmit_LifeMax_High = 11;
    ASSERT_TRUE(d.writeCache());

    BinaryWriter w;
    w.writeU32(63643);
    w.writeU32(1);
    w.writeU32(2);
    appendString(w, "var");
    appendVector(w, Ogre::Vector3(1, 2, 3));
    w.writeU32(2);
    w.writeBool(false);
    w.writeF32(1.5f);
    w.writeBool(true);
    for (float f : {0.1f, 0.3f, 0.2f, 0.4f, 0.5f})
        w.writeF32(f);
    appendString(w, "Fx/V");
    w.writeBool(true);
    w.writeF32(6);
    w.writeF32(7);
    w.writeBool(false);
    for (float f : {8.0f, 9.0f, 10.0f, 11.0f})
        w.writeF32(f);
    EXPECT_EQ(t.readBytes(t.cachePath("var", "ZVR")), w.bytes());
}

TEST(ReactorParams, DefaultsAndCorrections)
{
    DefinitionTestTree t;
    // Without a cache: switched on, pitches as constructed.
    const VirtualReactorParams none("none");
    EXPECT_FALSE(none.cacheLoaded());
    EXPECT_EQ(none.StartState, 1u);
    EXPECT_EQ(none.EffectSound_Pitch_Low, 0.0f);
    EXPECT_FALSE(none.Sound);

    // A source without sound keys or StartState.
    t.writeSource("Data/Reactor", "bare", "[Data]\nParticleName = Fx/B\n");
    BasicReactorParams bare("bare");
    ASSERT_TRUE(bare.readIni());
    EXPECT_EQ(bare.StartState, 0u);
    EXPECT_FALSE(bare.Sound);
    EXPECT_EQ(bare.EffectSound_Pitch_Low, 1.0f);
    EXPECT_EQ(bare.EffectSound_Pitch_High, 1.0f);
    EXPECT_EQ(bare.EffectSound_Gain_Low, 0.0f);
    EXPECT_EQ(bare.EffectSound_Gain_High, 0.0f);

    t.writeSource("Data/Reactor", "spread", "[Sound]\nEffectSound = \" \"\nEffectSound_PitchVar = -1\n");
    VirtualReactorParams spread("spread");
    ASSERT_TRUE(spread.readIni());
    EXPECT_FALSE(spread.Sound);
    EXPECT_EQ(spread.EffectSound_PitchVar, 0.0f);

    // The cache reader corrects what was stored raw.
    VirtualReactorParams raw("raw");
    raw.EffectSound_Pitch_High = 2.0f;
    raw.EffectSound_PitchVar = -3.0f;
    ASSERT_TRUE(raw.writeCache());
    const VirtualReactorParams back("raw");
    EXPECT_EQ(back.EffectSound_Pitch_Low, 1.0f);
    EXPECT_EQ(back.EffectSound_Pitch_High, 2.0f);
    EXPECT_EQ(back.EffectSound_PitchVar, 0.0f);
}

TEST(ReactorParams, StartStateMapsOntoTheReactorState)
{
    const struct {
        uint32_t startState;
        ReactorState state;
    } cases[] = {{0, ReactorState_Off}, {1, ReactorState_On}, {2, ReactorState_Fire},
                 {3, ReactorState_Off}, {0xFFFFFFFFu, ReactorState_Off}};
    for (const auto& c : cases)
        EXPECT_EQ(reactorStartState(c.startState), c.state) << c.startState;
}

TEST(FxParams, DamagedOrForeignCachesKeepTheDefaults)
{
    DefinitionTestTree t;
    MultiEffectsParams effect("fx");
    effect.TimeToLive = 3.0f;
    effect.particles = {{"Fx/1", 1.0f}, {"Fx/2", 2.0f}};
    ASSERT_TRUE(effect.writeCache());
    MultiReactorParams reactor("rx");
    reactor.StartState = 0;
    reactor.particles = {{"Fx/1", 1.0f}};
    ASSERT_TRUE(reactor.writeCache());

    const std::vector<uint8_t> goodEffect = t.readBytes(t.cachePath("fx", "ZVE"));
    const std::vector<uint8_t> goodReactor = t.readBytes(t.cachePath("rx", "ZVR"));
    const auto effectKeptDefaults = [](const char* what) {
        const MultiEffectsParams d("fx");
        EXPECT_FALSE(d.cacheLoaded()) << what;
        EXPECT_EQ(d.TimeToLive, 0.0f) << what;
        EXPECT_EQ(d.getNumParticles(), 0u) << what;
    };
    const auto reactorKeptDefaults = [](const char* what) {
        const MultiReactorParams d("rx");
        EXPECT_FALSE(d.cacheLoaded()) << what;
        EXPECT_EQ(d.StartState, 1u) << what;
        EXPECT_EQ(d.getNumParticles(), 0u) << what;
    };

    // Cut short anywhere.
    for (size_t n : {size_t(0), size_t(6), goodEffect.size() / 2, goodEffect.size() - 1}) {
        t.writeBytes(t.cachePath("fx", "ZVE"), std::vector<uint8_t>(goodEffect.begin(), goodEffect.begin() + n));
        effectKeptDefaults("cut");
    }
    for (size_t n : {size_t(10), goodReactor.size() - 3}) {
        t.writeBytes(t.cachePath("rx", "ZVR"), std::vector<uint8_t>(goodReactor.begin(), goodReactor.begin() + n));
        reactorKeptDefaults("cut");
    }

    // A particle count far beyond the cap (the count follows the ten shared fields).
    std::vector<uint8_t> huge = goodEffect;
    const size_t countAt = 12 + 4 + 2 * 4 + 4 + 12 + 1 + 4 + 4;
    ASSERT_EQ(huge[countAt], 2);
    huge[countAt + 3] = 0x7F;
    t.writeBytes(t.cachePath("fx", "ZVE"), huge);
    effectKeptDefaults("huge count");

    // Another family's file, and another class's cache of the same family.
    t.writeBytes(t.cachePath("fx", "ZVE"), goodReactor);
    effectKeptDefaults("reactor file");
    t.writeBytes(t.cachePath("fx", "ZVE"), goodEffect);
    const BaseEffectsParams asBase("fx");
    EXPECT_FALSE(asBase.cacheLoaded());
    EXPECT_EQ(asBase.TimeToLive, 0.0f);
}
