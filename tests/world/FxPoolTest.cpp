#include "FxTestEngine.h"

#include "audio/Sound.h"
#include "world/BaseFx.h"
#include "world/BasicReactor.h"
#include "world/FxParticles.h"
#include "world/FxPool.h"
#include "world/MultiFX.h"
#include "world/MultiReactor.h"
#include "world/ParticleStock.h"
#include "world/VariableReactor.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>

namespace {

class FxPoolTest : public ::testing::Test {
protected:
    FxPoolTest()
    {
        fxtest::loadFxResources(engine.root(), &factory, media.path("Particles"), true);
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&log);
        scene = engine.root()->createSceneManager();
        random.seed(1234);
        pool = std::make_unique<FxPool>(scene, &library, &sounds, &random, "GMS");
    }
    ~FxPoolTest() override
    {
        pool.reset();
        Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(&log);
    }

    const EffectsParams* effect(const std::string& name)
    {
        const EffectsParams* p = library.getEffectParams(name);
        EXPECT_NE(p, nullptr) << name;
        return p;
    }
    VirtualReactor* reactor(const std::string& name, Ogre::SceneNode* parent = nullptr)
    {
        VirtualReactor* r = pool->spawnReactor(parent ? parent : scene->getRootSceneNode(), name);
        EXPECT_NE(r, nullptr) << name;
        return r;
    }
    // Spawns one effect where the pool puts it (the lowest free slot) and returns it.
    VirtualFX* spawn(const std::string& name, const Ogre::Vector3& direction = Ogre::Vector3::ZERO)
    {
        size_t slot = 0;
        while (slot < pool->effectSlotCount() && pool->effectInSlot(slot))
            ++slot;
        pool->spawnEffect(effect(name), Ogre::Vector3(1, 2, 3), direction);
        return pool->effectInSlot(slot);
    }
    static float rate(Ogre::ParticleSystem* system, unsigned short emitter = 0)
    {
        return system->getEmitter(emitter)->getEmissionRate();
    }

    // The factory outlives the engine: particle systems hand their affectors back to it.
    InterpolationAffectorFactory factory;
    testsupport::ScopedWorkDir cwd{testsupport::gameTreeDir() + "/Bin/Game"};
    testsupport::TempGameTree media{"Bin/Game/plugins.cfg"};
    testsupport::HeadlessOgre engine;
    audio::SoundManager sounds;
    FxParamsLibrary library;
    RandomGenerator random;
    Ogre::SceneManager* scene = nullptr;
    std::unique_ptr<FxPool> pool;
    fxtest::LogLines log;
};

}  // namespace

TEST_F(FxPoolTest, SlotsGrowWhenFullAndFreedSlotsAreReusedWithTheirNames)
{
    // A plain effect ends at the next update, which frees its slot.
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(spawn("exp_small"), nullptr);
    VirtualFX* plain = spawn("ricochet");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->getKind(), 0u);
    EXPECT_EQ(pool->effectInSlot(3), plain);
    pool->update(0.01f);
    EXPECT_EQ(pool->effectInSlot(3), nullptr);
    EXPECT_EQ(pool->liveEffectCount(), 3u);

    auto* again = dynamic_cast<BaseFx*>(spawn("exp_small"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(pool->effectInSlot(3), again);
    EXPECT_EQ(again->getParticleSystem()->getName(), "GMSeffct3");
    ASSERT_NE(again->getSound(), nullptr);
    EXPECT_EQ(again->getSound()->getName(), "GMSsSpawnEff3");

    // 4 live + 46 = 50: full; the 51st grows the effects to 76 and lands in slot 50.
    for (int i = 0; i < 46; ++i)
        spawn("ricochet");
    EXPECT_EQ(pool->effectSlotCount(), 50u);
    spawn("ricochet");
    EXPECT_EQ(pool->effectSlotCount(), 76u);
    EXPECT_NE(pool->effectInSlot(50), nullptr);
    EXPECT_EQ(pool->reactorSlotCount(), 50u);

    // The plain ones all end together; the grown size stays.
    pool->update(0.01f);
    EXPECT_EQ(pool->liveEffectCount(), 4u);
    EXPECT_EQ(pool->effectSlotCount(), 76u);
    for (int i = 0; i < 72; ++i)
        spawn("ricochet");
    spawn("ricochet");
    EXPECT_EQ(pool->effectSlotCount(), 115u);
}

TEST_F(FxPoolTest, ReactorsAreMadeByTheirDefinitionsClassAndNamedBySlot)
{
    auto* basic = dynamic_cast<BasicReactor*>(reactor("monolith_thruster"));
    auto* variable = dynamic_cast<VariableReactor*>(reactor("dust_trail"));
    auto* multi = dynamic_cast<MultiReactor*>(reactor("burning_damage"));
    VirtualReactor* plain = reactor("arena_wind");
    ASSERT_TRUE(basic && variable && multi && plain);

    EXPECT_EQ(basic->getKind(), 1u);
    EXPECT_EQ(basic->getParticleSystem()->getName(), "GMSReactorB0");
    EXPECT_EQ(basic->getSound()->getName(), "GMSsSpawnReact0");
    EXPECT_EQ(variable->getKind(), 1u);
    EXPECT_EQ(variable->getParticleSystem()->getName(), "GMSReactor1");
    EXPECT_EQ(variable->getSound(), nullptr);  // its definition names no sound
    EXPECT_EQ(multi->getKind(), 3u);
    ASSERT_EQ(multi->getEntries().size(), 3u);
    EXPECT_EQ(multi->getEntries()[2].system->getName(), "GMSReactorM2_2");
    EXPECT_EQ(plain->getKind(), 0u);
    EXPECT_TRUE(plain->particleSystems().empty());
    EXPECT_EQ(plain->getSound()->getName(), "GMSsSpawnReact3");
    EXPECT_EQ(pool->reactorInSlot(3), plain);

    // Nothing to make: no handle and no slot taken.
    EXPECT_EQ(pool->spawnReactor(scene->getRootSceneNode(), ""), nullptr);
    EXPECT_EQ(pool->spawnReactor(scene->getRootSceneNode(), " "), nullptr);
    EXPECT_EQ(pool->spawnReactor(scene->getRootSceneNode(), "no_such_reactor"), nullptr);
    EXPECT_EQ(pool->spawnReactor(nullptr, "smoke_damaged"), nullptr);
    EXPECT_EQ(pool->liveReactorCount(), 4u);
    EXPECT_EQ(pool->reactorInSlot(4), nullptr);
    pool->spawnEffect(nullptr, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO);
    EXPECT_EQ(pool->liveEffectCount(), 0u);
}

TEST_F(FxPoolTest, AReleasedReactorStaysWhereItWasSwitchedOffUntilItsParticlesDie)
{
    Ogre::SceneNode* owner = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(10, 0, 0));
    owner->yaw(Ogre::Degree(90));
    auto* smoke = dynamic_cast<BasicReactor*>(reactor("smoke_damaged", owner));  // offset (0, 1.5, 0), off
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(smoke->getState(), ReactorState_Off);
    smoke->setState(ReactorState_On);
    EXPECT_GT(rate(smoke->getParticleSystem()), 0.0f);
    const float linger = smoke->getLinger();
    EXPECT_FLOAT_EQ(linger, 2.5f);  // the template's longest particle life

    // Attached, it lives as long as its owner wants.
    for (int i = 0; i < 100; ++i)
        pool->update(0.1f);
    ASSERT_EQ(pool->reactorInSlot(0), smoke);

    const Ogre::Vector3 worldPosition = smoke->getNode()->_getDerivedPosition();
    EXPECT_TRUE(worldPosition.positionEquals(Ogre::Vector3(10, 1.5f, 0)));
    smoke->detachToWorld();
    EXPECT_EQ(smoke->getNode()->getParentSceneNode(), scene->getRootSceneNode());
    EXPECT_TRUE(smoke->getNode()->getPosition().positionEquals(worldPosition));
    EXPECT_TRUE(smoke->getNode()->getOrientation().equals(owner->getOrientation(), Ogre::Degree(0.01f)));
    EXPECT_EQ(owner->numChildren(), 0u);
    EXPECT_TRUE(smoke->isReleased());
    EXPECT_EQ(smoke->getState(), ReactorState_Off);
    EXPECT_EQ(rate(smoke->getParticleSystem()), 0.0f);

    // The owner may go at once; the reactor lingers for its particles, then the pool deletes it.
    scene->destroySceneNode(owner);
    pool->update(2.0f);
    pool->update(0.4f);
    EXPECT_EQ(pool->reactorInSlot(0), smoke);
    pool->update(0.2f);  // linger now below 0
    EXPECT_EQ(pool->reactorInSlot(0), smoke);
    pool->update(0.1f);  // no sound to wait for
    EXPECT_EQ(pool->reactorInSlot(0), nullptr);
    // Its system waits, cleared and out of the scene graph, for the next reactor of its template.
    ASSERT_TRUE(scene->hasParticleSystem("GMSReactorB0"));
    Ogre::ParticleSystem* spare = scene->getParticleSystem("GMSReactorB0");
    EXPECT_FALSE(spare->isAttached());
    EXPECT_EQ(spare->getNumParticles(), 0u);
    EXPECT_EQ(pool->particleStock().spareCount(), 1u);
}

TEST_F(FxPoolTest, APlainReactorLivesUntilReleasedThenUntilItsSoundEnds)
{
    VirtualReactor* wind = reactor("arena_wind");  // a looping sound that starts on
    ASSERT_NE(wind, nullptr);
    EXPECT_EQ(wind->getState(), ReactorState_On);
    for (int i = 0; i < 20; ++i)
        pool->update(0.5f);
    ASSERT_EQ(pool->reactorInSlot(0), wind);
    wind->setState(ReactorState_Fire);  // a burst of FireTime 0 ends at the next update
    pool->update(0.1f);
    EXPECT_EQ(wind->getState(), ReactorState_Off);
    EXPECT_EQ(pool->reactorInSlot(0), wind);

    wind->setState(ReactorState_On);
    if (sounds.hasDevice()) {
        EXPECT_TRUE(wind->getSound()->isPlaying());
    }
    wind->detachToWorld();  // switching off stops the loop
    EXPECT_FALSE(wind->getSound()->isPlaying());
    pool->update(0.1f);
    EXPECT_EQ(pool->reactorInSlot(0), nullptr);
}

TEST_F(FxPoolTest, PauseStopsParticlesAndSoundsAndResumeBringsBackEveryPausedSound)
{
    auto* blast = dynamic_cast<BaseFx*>(spawn("exp_medium"));
    auto* fire = dynamic_cast<MultiReactor*>(reactor("burning_damage"));
    VirtualReactor* wind = reactor("arena_wind");
    ASSERT_TRUE(blast && fire && wind);
    if (!sounds.hasDevice())
        GTEST_SKIP() << "no sound device";
    wind->getSound()->pause();  // already paused by someone else: played again too
    ASSERT_TRUE(blast->getSound()->isPlaying());

    pool->pauseAll();
    EXPECT_TRUE(blast->getSound()->isPaused());
    EXPECT_TRUE(fire->getSound()->isPaused());
    EXPECT_EQ(blast->getParticleSystem()->getSpeedFactor(), 0.0f);
    for (const auto& e : fire->getEntries())
        EXPECT_EQ(e.system->getSpeedFactor(), 0.0f);

    pool->resumeAll();
    for (VirtualReactor* r : {static_cast<VirtualReactor*>(fire), wind})
        EXPECT_TRUE(r->getSound()->isPlaying());
    EXPECT_TRUE(blast->getSound()->isPlaying());
    EXPECT_EQ(blast->getParticleSystem()->getSpeedFactor(), 1.0f);
    for (const auto& e : fire->getEntries())
        EXPECT_EQ(e.system->getSpeedFactor(), 1.0f);
    EXPECT_EQ(pool->liveEffectCount(), 1u);
    EXPECT_EQ(pool->liveReactorCount(), 2u);
}

namespace {

// Every text parameter of a system, its emitters and its affectors, by owner and name.
std::map<std::string, std::string> parametersOf(Ogre::ParticleSystem* system)
{
    std::map<std::string, std::string> all;
    const auto add = [&](const std::string& owner, Ogre::StringInterface* object) {
        for (const Ogre::ParameterDef& p : object->getParameters())
            all[owner + "." + p.name] = object->getParameter(p.name);
    };
    add("system", system);
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
        add("emitter" + std::to_string(i), system->getEmitter(i));
    for (unsigned short i = 0; i < system->getNumAffectors(); ++i)
        add("affector" + std::to_string(i), system->getAffector(i));
    return all;
}

}  // namespace

TEST_F(FxPoolTest, ASpareSystemStartsAsANewCopyOfItsTemplateAfterAnyUse)
{
    fx::ParticleStock stock(scene);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(5, 0, -3));
    node->yaw(Ogre::Degree(70));
    auto templates = Ogre::ParticleSystemManager::getSingleton().getTemplateIterator();
    int checked = 0;
    while (templates.hasMoreElements()) {
        const std::string name = templates.peekNextKey();
        templates.moveNext();
        SCOPED_TRACE(name);
        Ogre::ParticleSystem* used = stock.take("used", name);
        ASSERT_NE(used, nullptr);
        const fx::ParticleStock::SystemStart start = fx::ParticleStock::startOf(used);
        const auto parameters = parametersOf(used);

        // Everything the effects and reactors change, and a few frames of running.
        node->attachObject(used);
        for (int frame = 0; frame < 7; ++frame)
            used->_update(0.037f);
        ASSERT_GT(used->getNumParticles(), 0u);
        fx::setEmitterPositions(used, Ogre::Vector3(1, 2, 3));
        fx::setEmitterDirectionsX(used, 0.8f);
        for (unsigned short i = 0; i < used->getNumEmitters(); ++i)
            used->getEmitter(i)->setTimeToLive(0.1f, 9.0f);
        used->_update(0.05f);
        fx::setAllEmissionRates(used, 0.0f);
        fx::setSpeedFactor(used, 0.0f);
        ASSERT_FALSE(fx::ParticleStock::startOf(used) == start);
        stock.giveBack(used);
        EXPECT_FALSE(used->isAttached());
        EXPECT_EQ(used->getNumParticles(), 0u);
        EXPECT_EQ(stock.spareCount(name), 1u);

        Ogre::ParticleSystem* again = stock.take("again", name);
        ASSERT_EQ(again, used);
        EXPECT_EQ(stock.spareCount(name), 0u);
        EXPECT_EQ(fx::ParticleStock::startOf(again), start);
        Ogre::ParticleSystem* copy = fx::createParticleSystem(scene, "copy", name);
        EXPECT_EQ(fx::ParticleStock::startOf(copy), start);
        EXPECT_EQ(parametersOf(again), parametersOf(copy));
        EXPECT_EQ(parametersOf(again), parameters);
        fx::destroyParticleSystem(scene, copy);
        stock.giveBack(again);
        ++checked;
    }
    EXPECT_GE(checked, 30);
}

TEST_F(FxPoolTest, SparesKeepOneNameEachAndGiveUpANameThatANewSystemNeeds)
{
    fx::ParticleStock stock(scene);
    const std::string spark = "Vantorel/ImpactSpark", smoke = "Vantorel/SmokePuff";
    Ogre::ParticleSystem* a = stock.take("n1", spark);
    Ogre::ParticleSystem* b = stock.take("n2", spark);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->getName(), "n1");
    stock.giveBack(a);
    // The spare under the asked-for name first, else the last one handed back.
    stock.giveBack(b);
    EXPECT_EQ(stock.take("n1", spark), a);
    EXPECT_EQ(stock.take("n9", spark), b);
    EXPECT_EQ(b->getName(), "n2");

    // A live system keeps its name: the new one gets another, still its own.
    Ogre::ParticleSystem* c = stock.take("n1", smoke);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->getName(), "n1");
    EXPECT_EQ(c->getName().rfind("n1", 0), 0u);
    // A spare gives its name up to a new system of another template.
    stock.giveBack(b);
    Ogre::ParticleSystem* d = stock.take("n2", smoke);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->getName(), "n2");
    EXPECT_EQ(stock.spareCount(), 0u);

    // Unknown templates give nothing; a system the stock did not make is destroyed.
    EXPECT_EQ(stock.take("n3", "no/such/template"), nullptr);
    stock.giveBack(fx::createParticleSystem(scene, "stranger", smoke));
    EXPECT_FALSE(scene->hasParticleSystem("stranger"));
    for (Ogre::ParticleSystem* s : {a, c, d})
        stock.giveBack(s);
    EXPECT_EQ(stock.spareCount(), 3u);
}

TEST_F(FxPoolTest, BlastsReuseTheSystemsOfFinishedOnesAndThePoolLeavesNoneBehind)
{
    auto* first = dynamic_cast<MultiFX*>(spawn("exp_large", Ogre::Vector3(0, 0, 1)));
    ASSERT_NE(first, nullptr);
    std::vector<Ogre::ParticleSystem*> systems = first->particleSystems();
    while (pool->liveEffectCount() > 0)
        pool->update(0.25f);
    EXPECT_EQ(pool->particleStock().spareCount(), systems.size());

    auto* second = dynamic_cast<MultiFX*>(spawn("exp_large", Ogre::Vector3(1, 0, 0)));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->particleSystems(), systems);
    for (Ogre::ParticleSystem* s : systems)
        EXPECT_EQ(s->getParentSceneNode(), second->getNode());
    EXPECT_EQ(pool->particleStock().spareCount(), 0u);

    pool.reset();
    EXPECT_EQ(scene->getMovableObjects("ParticleSystem").size(), 0u);
}

// Items in the world hang from the root; a finished one leaves its empty node there for the next,
// set back to the origin, unturned and unscaled. A reactor that goes while still on its owner
// takes its node with it, and so does a node given back with anything left on it.
TEST_F(FxPoolTest, FinishedItemsLeaveTheirRootNodesForTheNextAndThePoolLeavesNoneBehind)
{
    Ogre::SceneNode* root = scene->getRootSceneNode();
    const size_t before = root->numChildren();
    fx::ParticleStock& stock = pool->particleStock();

    auto* blast = dynamic_cast<MultiFX*>(spawn("exp_large", Ogre::Vector3(1, 0, 0)));
    ASSERT_NE(blast, nullptr);
    Ogre::SceneNode* node = blast->getNode();
    EXPECT_EQ(node->getParentSceneNode(), root);
    node->setScale(2, 2, 2);
    while (pool->liveEffectCount() > 0)
        pool->update(0.25f);
    EXPECT_EQ(stock.spareRootNodeCount(), 1u);
    EXPECT_EQ(node->numAttachedObjects(), 0u);

    auto* next = dynamic_cast<BaseFx*>(spawn("exp_small"));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->getNode(), node);
    EXPECT_EQ(node->getPosition(), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(node->getOrientation(), Ogre::Quaternion::IDENTITY);
    EXPECT_EQ(node->getScale(), Ogre::Vector3::UNIT_SCALE);
    EXPECT_EQ(stock.spareRootNodeCount(), 0u);

    // Released to the world, a reactor's node is kept; on its owner, it goes with the reactor.
    Ogre::SceneNode* owner = root->createChildSceneNode(Ogre::Vector3(10, 0, 0));
    VirtualReactor* released = reactor("smoke_damaged", owner);
    VirtualReactor* kept = reactor("smoke_damaged", owner);
    ASSERT_TRUE(released && kept);
    Ogre::SceneNode* releasedNode = released->getNode();
    released->detachToWorld();
    for (int i = 0; i < 40 && pool->reactorInSlot(0); ++i)
        pool->update(0.25f);
    ASSERT_EQ(pool->reactorInSlot(0), nullptr);
    EXPECT_EQ(stock.spareRootNodeCount(), 1u);
    EXPECT_EQ(stock.takeRootNode(), releasedNode);
    EXPECT_EQ(owner->numChildren(), 1u);

    // Anything left on a node given back goes with it.
    releasedNode->createChildSceneNode();
    stock.giveBackRootNode(releasedNode);
    EXPECT_EQ(stock.spareRootNodeCount(), 0u);
    EXPECT_EQ(root->numChildren(), before + 2);  // the owner and the live effect's node

    while (pool->liveEffectCount() > 0)
        pool->update(0.25f);
    EXPECT_EQ(stock.spareRootNodeCount(), 1u);
    pool.reset();
    EXPECT_EQ(owner->numChildren(), 0u);
    EXPECT_EQ(root->numChildren(), before + 1);
}

// An item that only counts down sleeps in the pool and is then updated once with all the time
// that passed. Its emitters must still switch off, and it must still end, on the ticks that
// updating it every tick gives: each pool item is checked against a twin stepped by hand, over
// uneven ticks, with items of every kind spawned and released at different times.
TEST_F(FxPoolTest, SleepingItemsChangeOnTheTicksThatUpdatingEveryTickGives)
{
    // Without sounds, an item's end depends on its timers alone.
    FxPool sleepy(scene, &library, nullptr, &random, "SLP");
    const char* effects[] = {"exp_small", "exp_large", "ricochet", "impact_spark", "smoke_puff", "exp_vehicle"};
    const char* reactors[] = {"smoke_damaged", "arena_wind", "burning_damage", "dust_trail", "engine_exhaust"};

    struct Pair {
        std::string name;
        bool isEffect = true;
        size_t slot = 0;
        std::unique_ptr<VirtualFX> effectTwin;
        std::unique_ptr<VirtualReactor> reactorTwin;
        int releaseTick = -1;
        bool twinDone = false;
    };
    std::vector<Pair> pairs;
    int twinSlot = 0;
    const auto emitterRates = [](const std::vector<Ogre::ParticleSystem*>& systems) {
        std::vector<float> rates;
        for (Ogre::ParticleSystem* s : systems)
            for (unsigned short i = 0; s && i < s->getNumEmitters(); ++i)
                rates.push_back(s->getEmitter(i)->getEmissionRate());
        return rates;
    };
    const auto spawnEffectPair = [&](const char* name) {
        const EffectsParams* params = effect(name);
        ASSERT_NE(params, nullptr);
        size_t slot = 0;
        while (sleepy.effectInSlot(slot))
            ++slot;
        sleepy.spawnEffect(params, Ogre::Vector3(5, 0, 5), Ogre::Vector3::UNIT_X);
        VirtualFX* item = sleepy.effectInSlot(slot);
        ASSERT_NE(item, nullptr) << name;
        Pair p;
        p.name = name;
        p.slot = slot;
        const Ogre::Vector3 at(5, 0, 5);
        if (dynamic_cast<MultiFX*>(item))
            p.effectTwin = std::make_unique<MultiFX>(scene, params, nullptr, &random, at, twinSlot++, Ogre::Vector3::UNIT_X,
                                                     "TWN");
        else if (dynamic_cast<BaseFx*>(item))
            p.effectTwin = std::make_unique<BaseFx>(scene, params, nullptr, &random, at, twinSlot++, Ogre::Vector3::UNIT_X,
                                                    "TWN");
        else
            p.effectTwin = std::make_unique<VirtualFX>(scene, params, nullptr, &random, at, twinSlot++,
                                                       Ogre::Vector3::UNIT_X, "TWN");
        pairs.push_back(std::move(p));
    };
    const auto spawnReactorPair = [&](const char* name, int releaseTick) {
        const VirtualReactorParams* params = library.getReactorParams(name);
        ASSERT_NE(params, nullptr) << name;
        Ogre::SceneNode* root = scene->getRootSceneNode();
        VirtualReactor* item = sleepy.spawnReactor(root, name);
        ASSERT_NE(item, nullptr) << name;
        size_t slot = 0;
        while (sleepy.reactorInSlot(slot) != item)
            ++slot;
        Pair p;
        p.name = name;
        p.isEffect = false;
        p.slot = slot;
        if (dynamic_cast<MultiReactor*>(item))
            p.reactorTwin = std::make_unique<MultiReactor>(root, params, scene, nullptr, &random, twinSlot++, "TWN");
        else if (dynamic_cast<VariableReactor*>(item))
            p.reactorTwin = std::make_unique<VariableReactor>(root, params, scene, nullptr, &random, twinSlot++, "TWN");
        else if (dynamic_cast<BasicReactor*>(item))
            p.reactorTwin = std::make_unique<BasicReactor>(root, params, scene, nullptr, &random, twinSlot++, "TWN");
        else
            p.reactorTwin = std::make_unique<VirtualReactor>(root, params, scene, nullptr, &random, twinSlot++, "TWN");
        item->setState(ReactorState_On);
        p.reactorTwin->setState(ReactorState_On);
        p.releaseTick = releaseTick;
        pairs.push_back(std::move(p));
    };

    std::mt19937 ticks(7);
    std::uniform_real_distribution<float> tickTime(0.004f, 0.06f);
    int sleepersSeen = 0;
    for (int tick = 0; tick < 600; ++tick) {
        if (tick % 7 == 0 && tick < 300)
            spawnEffectPair(effects[(tick / 7) % std::size(effects)]);
        if (tick % 23 == 0 && tick < 300)
            spawnReactorPair(reactors[(tick / 23) % std::size(reactors)], tick + 5 + tick % 40);
        for (Pair& p : pairs)
            if (!p.isEffect && p.releaseTick == tick) {
                sleepy.reactorInSlot(p.slot)->detachToWorld();
                p.reactorTwin->detachToWorld();
            }
        const float dt = tickTime(ticks);
        sleepy.update(dt);
        for (Pair& p : pairs) {
            if (p.twinDone)
                continue;
            const bool twinAlive = p.isEffect ? p.effectTwin->update(dt) : p.reactorTwin->update(dt);
            const bool poolAlive = p.isEffect ? sleepy.effectInSlot(p.slot) != nullptr
                                              : sleepy.reactorInSlot(p.slot) != nullptr;
            ASSERT_EQ(poolAlive, twinAlive) << p.name << " at tick " << tick;
            if (!twinAlive) {
                p.twinDone = true;
                p.effectTwin.reset();
                p.reactorTwin.reset();
                continue;
            }
            const std::vector<Ogre::ParticleSystem*> mine =
                p.isEffect ? sleepy.effectInSlot(p.slot)->particleSystems()
                           : sleepy.reactorInSlot(p.slot)->particleSystems();
            const std::vector<Ogre::ParticleSystem*> twin =
                p.isEffect ? p.effectTwin->particleSystems() : p.reactorTwin->particleSystems();
            ASSERT_EQ(emitterRates(mine), emitterRates(twin)) << p.name << " at tick " << tick;
            const float quiet = p.isEffect ? sleepy.effectInSlot(p.slot)->quietTime()
                                           : sleepy.reactorInSlot(p.slot)->quietTime();
            sleepersSeen += quiet > 0.0f ? 1 : 0;
        }
    }
    EXPECT_GT(sleepersSeen, 0);
    for (const Pair& p : pairs)
        EXPECT_TRUE(p.twinDone) << p.name;
    EXPECT_EQ(sleepy.liveEffectCount(), 0u);
    EXPECT_EQ(sleepy.liveReactorCount(), 0u);
}
