// The run-time effects and reactors on their own: states, bursts, levels, lifetimes and sounds.
#include "FxTestEngine.h"

#include "audio/Sound.h"
#include "core/Utilities.h"
#include "world/BaseFx.h"
#include "world/BasicReactor.h"
#include "world/FxParticles.h"
#include "world/MultiFX.h"
#include "world/MultiReactor.h"
#include "world/VariableReactor.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class FxItems : public ::testing::Test {
protected:
    FxItems()
    {
        fxtest::loadFxResources(engine.root(), &factory, media.path("Particles"), true);
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&log);
        scene = engine.root()->createSceneManager();
        random.seed(99);
    }
    ~FxItems() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(&log); }

    template <class Fx>
    std::unique_ptr<Fx> makeEffect(const EffectsParams& params, const Ogre::Vector3& direction = Ogre::Vector3::ZERO)
    {
        return std::make_unique<Fx>(scene, &params, &sounds, &random, Ogre::Vector3::ZERO, slot++, direction, "GPO");
    }
    template <class Reactor>
    std::unique_ptr<Reactor> makeReactor(const VirtualReactorParams& params)
    {
        return std::make_unique<Reactor>(scene->getRootSceneNode(), &params, scene, &sounds, &random, slot++, "GPO");
    }
    static float rate(Ogre::ParticleSystem* system, unsigned short emitter = 0)
    {
        return system->getEmitter(emitter)->getEmissionRate();
    }

    InterpolationAffectorFactory factory;
    testsupport::ScopedWorkDir cwd{testsupport::gameTreeDir() + "/Bin/Game"};
    testsupport::TempGameTree media{"Bin/Game/plugins.cfg"};
    testsupport::HeadlessOgre engine;
    audio::SoundManager sounds;
    RandomGenerator random;
    Ogre::SceneManager* scene = nullptr;
    fxtest::LogLines log;
    int slot = 0;
};

}  // namespace

TEST_F(FxItems, EveryDefinitionFindsItsParticleTemplatesAndSounds)
{
    namespace fs = std::filesystem;
    EXPECT_EQ(log.countContaining("Error"), 0u);  // the scripts compiled cleanly
    auto& particles = Ogre::ParticleSystemManager::getSingleton();
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    const fs::path data = fs::path(testsupport::gameTreeDir()) / "Data";
    FxParamsLibrary library;
    std::vector<std::string> templates, soundFiles;
    for (const auto& entry : fs::directory_iterator(data / "Effects")) {
        const EffectsParams* p = library.getEffectParams(entry.path().stem().string());
        ASSERT_NE(p, nullptr) << entry.path();
        if (p->Sound)
            soundFiles.push_back(p->EffectSound);
        if (auto* b = dynamic_cast<const BaseEffectsParams*>(p))
            templates.push_back(b->ParticleName);
        if (auto* m = dynamic_cast<const MultiEffectsParams*>(p))
            for (const auto& e : m->particles)
                templates.push_back(e.ParticleName);
    }
    for (const auto& entry : fs::directory_iterator(data / "Reactor")) {
        const VirtualReactorParams* p = library.getReactorParams(entry.path().stem().string());
        ASSERT_NE(p, nullptr) << entry.path();
        if (p->Sound)
            soundFiles.push_back(p->EffectSound);
        if (auto* b = dynamic_cast<const BasicReactorParams*>(p))
            templates.push_back(b->ParticleName);
        if (auto* m = dynamic_cast<const MultiReactorParams*>(p))
            for (const auto& e : m->particles)
                templates.push_back(e.ParticleName);
    }
    EXPECT_GT(templates.size(), 20u);
    for (const std::string& t : templates) {
        const Ogre::ParticleSystem* system = particles.getTemplate(t);
        ASSERT_NE(system, nullptr) << t;
        EXPECT_GT(system->getNumEmitters(), 0u) << t;
        // Every particle lives a while: the life fraction that shapes it divides by that life.
        for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
            EXPECT_GT(system->getEmitter(i)->getMinTimeToLive(), 0.0f) << t;
    }
    for (const std::string& s : soundFiles)
        EXPECT_TRUE(groups.resourceExistsInAnyGroup(s)) << s;
}

TEST_F(FxItems, ABaseEffectStopsItsFirstEmitterThenLingersThenWaitsForItsSound)
{
    BaseEffectsParams params("exp_medium");  // two emitters, longest life 0.8
    params.TimeToLive = 0.5f;
    auto fx = makeEffect<BaseFx>(params);
    Ogre::ParticleSystem* system = fx->getParticleSystem();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(fx->getLinger(), 0.8f);
    EXPECT_EQ(fx->getSound()->getName(), "GPOsSpawnEff0");

    EXPECT_TRUE(fx->update(0.25f));
    EXPECT_TRUE(fx->update(0.25f));  // exactly 0 left: still emitting
    EXPECT_FALSE(fx->isStopping());
    EXPECT_GT(rate(system), 0.0f);
    EXPECT_TRUE(fx->update(0.25f));
    EXPECT_TRUE(fx->isStopping());
    EXPECT_EQ(rate(system, 0), 0.0f);
    EXPECT_GT(rate(system, 1), 0.0f);  // only the first emitter is stopped

    EXPECT_TRUE(fx->update(0.5f));
    EXPECT_TRUE(fx->update(0.5f));  // linger now below 0
    if (sounds.hasDevice()) {
        ASSERT_TRUE(fx->getSound()->isPlaying());
        EXPECT_TRUE(fx->update(0.5f));  // its sound still plays
        fx->getSound()->stop();
    }
    EXPECT_FALSE(fx->update(0.5f));
}

TEST_F(FxItems, AMultiEffectStopsEachSystemAtItsOwnTimeAndDoesNotWaitForItsSound)
{
    MultiEffectsParams params("exp_large");
    params.TimeToLive = 0.5f;
    params.particles = {{"Vantorel/ExpFireball", 0.25f}, {"Vantorel/ExpSmokeColumn", 2.0f}};
    auto fx = makeEffect<MultiFX>(params);
    const auto& entries = fx->getEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].system->getName(), "GPOeffct0_1");
    EXPECT_EQ(fx->getLinger(), 2.4f);  // the smoke's longest life

    EXPECT_TRUE(fx->update(0.25f));  // the fireball's time is exactly up: stopped
    EXPECT_EQ(rate(entries[0].system), 0.0f);
    EXPECT_GT(rate(entries[1].system), 0.0f);
    EXPECT_TRUE(fx->update(0.3f));  // the whole effect's time is up: every system stops
    EXPECT_EQ(rate(entries[1].system), 0.0f);
    EXPECT_TRUE(fx->isStopping());
    EXPECT_TRUE(fx->update(2.0f));
    EXPECT_TRUE(fx->update(0.5f));
    EXPECT_FALSE(fx->update(0.1f));  // whatever its sound is doing
}

TEST_F(FxItems, AnEffectFacesItsDirectionAlongItsNegativeZ)
{
    BaseEffectsParams params("exp_small");
    const Ogre::Vector3 cases[] = {Ogre::Vector3::UNIT_Z, Ogre::Vector3(1, 0, 0), Ogre::Vector3(0, -3, 0)};
    for (const Ogre::Vector3& d : cases) {
        auto fx = makeEffect<BaseFx>(params, d);
        const Ogre::Vector3 facing = fx->getNode()->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        EXPECT_TRUE(facing.positionEquals(d.normalisedCopy(), 1e-4f)) << d;
    }
    auto unturned = makeEffect<BaseFx>(params, Ogre::Vector3::ZERO);
    EXPECT_EQ(unturned->getNode()->getOrientation(), Ogre::Quaternion::IDENTITY);
}

TEST_F(FxItems, AMissingTemplateCostsOnlyThatSystem)
{
    BaseEffectsParams base("exp_small");
    base.ParticleName = "Vantorel/NoSuchTemplate";
    auto lone = makeEffect<BaseFx>(base);
    EXPECT_EQ(lone->getParticleSystem(), nullptr);
    EXPECT_EQ(lone->getLinger(), 0.0f);
    EXPECT_NE(lone->getSound(), nullptr);
    for (int i = 0; i < 3; ++i)
        lone->update(0.25f);
    lone->pause();
    lone->resume();

    MultiReactorParams multi("burning_damage");
    multi.particles[1].ParticleName = "Vantorel/NoSuchTemplate";
    auto reactor = makeReactor<MultiReactor>(multi);
    ASSERT_EQ(reactor->getEntries().size(), 3u);
    EXPECT_EQ(reactor->getEntries()[1].system, nullptr);
    EXPECT_NE(reactor->getEntries()[2].system, nullptr);
    reactor->setState(ReactorState_On);
    reactor->setEmitterPosition(Ogre::Vector3(0, 1, 0));
    reactor->detachToWorld();
    EXPECT_EQ(log.countContaining("Vantorel/NoSuchTemplate"), 2u);  // one line each
}

TEST_F(FxItems, EffectPitchSpreadsAroundOneAndNeverReachesZero)
{
    const struct {
        float spread, low, high;
    } cases[] = {{0.0f, 1.0f, 1.0f}, {1.0f, 0.5f, 1.5f}, {3.0f, fx::kMinPitch, 3.0f}};
    for (const auto& c : cases) {
        EffectsParams params("ricochet");
        params.EffectSound_PitchVar = c.spread;
        for (int i = 0; i < 40; ++i) {
            auto fx = makeEffect<VirtualFX>(params);
            const float pitch = fx->getSound()->getPitch();
            EXPECT_GE(pitch, c.low) << c.spread;
            EXPECT_LE(pitch, c.high) << c.spread;
        }
    }
    EXPECT_EQ(fx::spreadPitch(3.0f, 0.0f), 0.0f);
    EXPECT_EQ(fx::clampPitch(0.0f), fx::kMinPitch);
}

TEST_F(FxItems, ReactorSoundFollowsTheLevelAndItsPitchStaysPositive)
{
    VirtualReactorParams params("arena_wind");
    params.EffectSound_Gain_Low = 0.2f;
    params.EffectSound_Gain_High = 0.8f;
    params.EffectSound_Pitch_Low = 0.3f;
    params.EffectSound_Pitch_High = 1.3f;
    params.EffectSound_PitchVar = 1.0f;
    for (int i = 0; i < 20; ++i) {
        auto r = makeReactor<VirtualReactor>(params);
        audio::Sound* s = r->getSound();
        const float offset = r->getPitchOffset();
        EXPECT_GE(offset, 0.0f);
        EXPECT_LT(offset, 1.0f);
        const struct {
            float level, gain, pitch;
        } levels[] = {{-1.0f, 0.2f, 0.3f}, {0.0f, 0.2f, 0.3f}, {0.5f, 0.5f, 0.8f}, {1.5f, 0.8f, 1.3f}};
        for (const auto& l : levels) {
            r->setLevel(l.level);
            EXPECT_FLOAT_EQ(s->getGain(), l.gain);
            // low 0.3 - half the spread 0.5 + an offset below 0.2 is no pitch at all
            EXPECT_FLOAT_EQ(s->getPitch(), std::max(fx::kMinPitch, l.pitch - 0.5f + offset)) << l.level;
        }
    }
}

TEST_F(FxItems, BasicReactorBurstsOnlyRestartFromAnotherStateAndEndAfterTheirTime)
{
    BasicReactorParams params("floor_dust");  // starts off, bursts of 0.5 s
    auto r = makeReactor<BasicReactor>(params);
    Ogre::ParticleSystem* system = r->getParticleSystem();
    EXPECT_EQ(r->getState(), ReactorState_Off);
    EXPECT_EQ(rate(system), 0.0f);
    const float base = r->getBaseEmissionRate();
    EXPECT_EQ(base, 40.0f);

    r->setState(ReactorState_Fire);
    EXPECT_EQ(rate(system), base);
    EXPECT_TRUE(r->update(0.25f));
    r->setState(ReactorState_Fire);  // already firing: the burst goes on, not again
    EXPECT_EQ(r->getFireTimer(), 0.25f);
    EXPECT_TRUE(r->update(0.25f));  // exactly 0 left: one more update
    EXPECT_EQ(r->getState(), ReactorState_Fire);
    r->update(0.01f);
    EXPECT_EQ(r->getState(), ReactorState_Off);
    EXPECT_EQ(rate(system), 0.0f);

    r->setState(ReactorState_On);
    EXPECT_EQ(rate(system), base);
    r->setState(ReactorState_Fire);
    EXPECT_EQ(r->getFireTimer(), 0.5f);

    params.FireTime = 0.0f;  // a burst of no time ends at the first update
    auto quick = makeReactor<BasicReactor>(params);
    quick->setState(ReactorState_Fire);
    quick->update(0.01f);
    EXPECT_EQ(quick->getState(), ReactorState_Off);

    r->setEmitterPosition(Ogre::Vector3(1, 2, 3));
    r->setEmitterDirectionX(0.5f);
    EXPECT_EQ(system->getEmitter(0)->getPosition(), Ogre::Vector3(1, 2, 3));
    // The engine keeps directions normalised.
    EXPECT_TRUE(system->getEmitter(0)->getDirection().positionEquals(Ogre::Vector3(0.5f, 1, 0).normalisedCopy()));
}

TEST_F(FxItems, StartStatesAndOneShotSoundsOfABasicReactor)
{
    BasicReactorParams params("dash_thrusters");  // one-shot sound
    const struct {
        uint32_t start;
        int state;
        bool sounding;
    } cases[] = {{0, ReactorState_Off, false}, {1, ReactorState_On, true}, {2, ReactorState_Fire, true},
                 {3, ReactorState_Off, false}};
    for (const auto& c : cases) {
        params.StartState = c.start;
        auto r = makeReactor<BasicReactor>(params);
        EXPECT_EQ(r->getState(), c.state) << c.start;
        if (sounds.hasDevice()) {
            EXPECT_EQ(r->getSound()->isPlaying(), c.sounding) << c.start;
        }
        // Switched off, a one-shot sound plays to its end.
        r->setState(ReactorState_Off);
        if (sounds.hasDevice()) {
            EXPECT_EQ(r->getSound()->isPlaying(), c.sounding) << c.start;
        }
    }
}

TEST_F(FxItems, VariableReactorEmitsByLevelAndReturnsToItsStartState)
{
    VariableReactorParams params("dust_trail");  // rate 0..35, life 0.4..0.8 to 0.8..1.6
    auto r = makeReactor<VariableReactor>(params);
    Ogre::ParticleSystem* system = r->getParticleSystem();
    EXPECT_EQ(system->getName(), "GPOReactor0");
    EXPECT_EQ(r->getState(), ReactorState_On);
    r->setLevel(0.5f);
    EXPECT_FLOAT_EQ(rate(system), 17.5f);
    EXPECT_FLOAT_EQ(system->getEmitter(0)->getMinTimeToLive(), 0.6f);
    EXPECT_FLOAT_EQ(system->getEmitter(0)->getMaxTimeToLive(), 1.2f);
    r->setLevel(2.0f);
    EXPECT_FLOAT_EQ(rate(system), 35.0f);

    // Starting off, it still emits at the low rate, and an owner switching it on ends up off with
    // its emitters at 0 and its sound playing: the level setter re-applies the start state.
    params.StartState = 0;
    params.EffectEmit_Rate_Low = 5.0f;
    params.Sound = true;
    params.EffectSound = "engine_loop.ogg";
    params.EffectSound_Loop = false;
    auto off = makeReactor<VariableReactor>(params);
    EXPECT_EQ(off->getState(), ReactorState_Off);
    EXPECT_FLOAT_EQ(rate(off->getParticleSystem()), 5.0f);
    off->setState(ReactorState_On);
    EXPECT_EQ(off->getState(), ReactorState_Off);
    EXPECT_EQ(rate(off->getParticleSystem()), 0.0f);
    if (sounds.hasDevice()) {
        EXPECT_TRUE(off->getSound()->isPlaying());
    }
}

TEST_F(FxItems, MultiReactorEntriesBurstForTheirOwnTimeAndRefillAtTheNextBurst)
{
    MultiReactorParams params("burning_damage");
    params.StartState = 0;
    params.FireTime = 0.5f;
    params.particles[0].TimeToLive = 0.2f;
    params.particles[1].TimeToLive = 0.75f;
    params.particles[2].TimeToLive = 0.0f;  // no burst life: emits until the burst ends
    auto r = makeReactor<MultiReactor>(params);
    const auto& e = r->getEntries();
    EXPECT_EQ(rate(e[0].system), 0.0f);

    for (int burst = 0; burst < 2; ++burst) {
        r->setState(ReactorState_Fire);
        for (const auto& entry : e)
            EXPECT_EQ(rate(entry.system), entry.baseRate);
        r->update(0.25f);
        EXPECT_EQ(rate(e[0].system), 0.0f);
        EXPECT_EQ(rate(e[1].system), e[1].baseRate);
        EXPECT_EQ(rate(e[2].system), e[2].baseRate);
        r->update(0.3f);
        EXPECT_EQ(r->getState(), ReactorState_Off);
        for (const auto& entry : e)
            EXPECT_EQ(rate(entry.system), 0.0f);
    }
    r->setState(ReactorState_On);
    for (const auto& entry : e)
        EXPECT_GT(rate(entry.system), 0.0f);
}
