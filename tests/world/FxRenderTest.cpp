// Effects and reactors drawn by the GL renderer on the virtual display: what the player sees.
#include "FxTestEngine.h"

#include "definitions/EffectsParams.h"
#include "world/BasicReactor.h"
#include "world/FxPool.h"
#include "world/ParticleStock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>

namespace {

// One GL window for the whole suite: a second window in one process finds no frame-buffer
// configuration. Each test gets its own scene, viewport and pool.
class FxRender : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Keep the GL driver loaded to the end, so the leak checker can name what it leaks itself.
        for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
            dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
        factory_ = new InterpolationAffectorFactory();
        logManager_ = new Ogre::LogManager();
        logManager_->createLog("fx_render_test.log", true, false, true);
        root_ = new Ogre::Root(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg", "", "");
        root_->setRenderSystem(root_->getRenderSystemByName("OpenGL Rendering Subsystem"));
        root_->initialise(false);
        window_ = root_->createRenderWindow("fx test", kWidth, kHeight, false);
        testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
        fxtest::loadFxResources(root_, factory_, "", false);
        // Each rendered frame advances the particles by the same time as the pool's update.
        Ogre::ControllerManager::getSingleton().setFrameDelay(kDt);
    }
    static void TearDownTestSuite()
    {
        delete root_;
        delete logManager_;
        delete factory_;  // after the engine: particle systems hand their affectors back to it
    }

    void SetUp() override
    {
        scene_ = root_->createSceneManager();
        Ogre::Camera* camera = scene_->createCamera("cam");
        camera->setNearClipDistance(0.5f);
        scene_->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
        window_->addViewport(camera)->setBackgroundColour(Ogre::ColourValue(0.1f, 0.12f, 0.16f));
        random_.seed(5);
        // No sound manager: the effects run silent and end with their particles.
        pool_ = std::make_unique<FxPool>(scene_, &library_, nullptr, &random_, "GMS");
    }
    void TearDown() override
    {
        pool_.reset();
        window_->removeAllViewports();
        root_->destroySceneManager(scene_);
    }

    // Advances the pool and draws one frame; returns how many pixels are lit well above the
    // dark background.
    int frame(const char* shot = nullptr)
    {
        pool_->update(kDt);
        root_->renderOneFrame();
        std::vector<uint8_t>& pixels = pixels_;
        pixels.assign(kWidth * kHeight * 3, 0);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, pixels.data());
        window_->copyContentsToMemory(box, box);
        if (shot && std::getenv("VANTOREL_FX_SHOTS"))
            window_->writeContentsToFile(std::string(std::getenv("VANTOREL_FX_SHOTS")) + shot);
        int lit = 0;
        for (size_t i = 0; i < pixels.size(); i += 3)
            lit += std::max({pixels[i], pixels[i + 1], pixels[i + 2]}) > 90 ? 1 : 0;
        return lit;
    }

    static constexpr unsigned kWidth = 320;
    static constexpr unsigned kHeight = 240;
    static constexpr float kDt = 0.05f;
    static inline InterpolationAffectorFactory* factory_ = nullptr;
    static inline Ogre::LogManager* logManager_ = nullptr;
    static inline Ogre::Root* root_ = nullptr;
    static inline Ogre::RenderWindow* window_ = nullptr;
    testsupport::ScopedWorkDir cwd_{testsupport::gameTreeDir() + "/Bin/Game"};
    Ogre::SceneManager* scene_ = nullptr;
    FxParamsLibrary library_;
    RandomGenerator random_;
    std::unique_ptr<FxPool> pool_;
    std::vector<uint8_t> pixels_;  // the last frame drawn
};

}  // namespace

TEST_F(FxRender, AnExplosionLightsUpTheFrameAndThenEndsFreeingItsSlot)
{
    EXPECT_EQ(frame("_empty.png"), 0);
    pool_->spawnEffect(library_.getEffectParams("exp_large"), Ogre::Vector3(0, -2, -18), Ogre::Vector3::ZERO);
    ASSERT_NE(pool_->effectInSlot(0), nullptr);
    int brightest = 0;
    for (int i = 0; i < 6; ++i)
        brightest = std::max(brightest, frame(i == 5 ? "_explosion.png" : nullptr));
    EXPECT_GT(brightest, int(kWidth * kHeight / 20));

    // Time to live 1.2 s and the smoke's 2.4 s: gone within 4 s.
    int frames = 6;
    while (pool_->effectInSlot(0) && frames < 200) {
        if (frames == 20)
            frame("_smoke.png");
        frame();
        ++frames;
    }
    EXPECT_EQ(pool_->effectInSlot(0), nullptr);
    EXPECT_GE(frames * kDt, 1.2f + 2.4f);
    EXPECT_LE(frames * kDt, 4.0f);
    EXPECT_EQ(frame("_after.png"), 0);
}

TEST_F(FxRender, AReactorSwitchedOnKeepsEmittingUntilSwitchedOff)
{
    Ogre::SceneNode* owner = scene_->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 1, -12));
    EXPECT_EQ(frame(), 0);
    auto* thruster = dynamic_cast<BasicReactor*>(pool_->spawnReactor(owner, "monolith_thruster"));
    ASSERT_NE(thruster, nullptr);
    ASSERT_EQ(thruster->getState(), ReactorState_On);
    // Far longer than one particle's life: new ones keep coming.
    for (int i = 0; i < 60; ++i)
        frame();
    EXPECT_GT(thruster->getParticleSystem()->getNumParticles(), 5u);
    EXPECT_GT(frame("_reactor_on.png"), 100);

    thruster->setState(ReactorState_Off);
    for (int i = 0; i < 12; ++i)  // the longest life is 0.5 s
        frame();
    EXPECT_EQ(thruster->getParticleSystem()->getNumParticles(), 0u);
    EXPECT_EQ(frame("_reactor_off.png"), 0);

    // Back on, then released: it lingers, then the pool frees its slot.
    thruster->setState(ReactorState_On);
    for (int i = 0; i < 10; ++i)
        frame();
    thruster->detachToWorld();
    for (int i = 0; i < 12; ++i)
        frame();
    EXPECT_EQ(pool_->reactorInSlot(0), nullptr);
}

TEST_F(FxRender, ABlastFromSpareSystemsDrawsWhatANewOneDraws)
{
    // Debris thrown up along the effect's own turn, from one system so that the engine's random
    // numbers go to it alone.
    BaseEffectsParams debris("test_debris");
    debris.ParticleName = "Vantorel/ExpDebris";
    debris.TimeToLive = 0.6f;
    const Ogre::Vector3 place(-2, -1, -20), facing(0.3f, 0.2f, 1.0f);
    // Draws the blast to its end from a known random state; the frames of its first second.
    const auto blast = [&](const EffectsParams* params, const Ogre::Vector3& at, const Ogre::Vector3& direction,
                           const char* shot) {
        std::srand(4242);
        pool_->spawnEffect(params, at, direction);
        std::vector<std::vector<uint8_t>> frames;
        for (int i = 0; i < 20; ++i) {
            frame(i == 6 ? shot : nullptr);
            frames.push_back(pixels_);
        }
        for (int i = 0; i < 100 && pool_->liveEffectCount() > 0; ++i)
            frame();
        EXPECT_EQ(pool_->liveEffectCount(), 0u);
        return frames;
    };
    const auto differing = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); i += 3)
            n += std::equal(a.begin() + i, a.begin() + i + 3, b.begin() + i) ? 0 : 1;
        return n;
    };

    frame();  // the engine skips its controllers on the very first frame
    const auto fresh = blast(&debris, place, facing, "_debris_new.png");
    ASSERT_EQ(pool_->particleStock().spareCount(), 1u);
    Ogre::ParticleSystem* system = pool_->particleStock().take("probe", "Vantorel/ExpDebris");
    pool_->particleStock().giveBack(system);
    // Used elsewhere, turned otherwise, paused and resumed on the way.
    std::srand(99);
    pool_->spawnEffect(&debris, Ogre::Vector3(6, 1, -30), Ogre::Vector3(-1, -0.5f, 0.2f));
    for (int i = 0; i < 5; ++i)
        frame();
    pool_->pauseAll();
    frame();
    pool_->resumeAll();
    for (int i = 0; i < 100 && pool_->liveEffectCount() > 0; ++i)
        frame();
    ASSERT_EQ(pool_->liveEffectCount(), 0u);

    const auto reused = blast(&debris, place, facing, "_debris_spare.png");
    ASSERT_EQ(pool_->particleStock().spareCount(), 1u);
    EXPECT_EQ(pool_->particleStock().take("probe", "Vantorel/ExpDebris"), system);
    ASSERT_EQ(fresh.size(), reused.size());
    int lit = 0;
    for (size_t i = 0; i < fresh.size(); ++i) {
        EXPECT_EQ(differing(fresh[i], reused[i]), 0) << "frame " << i;
        int shown = 0;
        for (size_t p = 0; p < fresh[i].size(); p += 3)
            shown += std::max({fresh[i][p], fresh[i][p + 1], fresh[i][p + 2]}) > 60 ? 1 : 0;
        lit = std::max(lit, shown);
    }
    EXPECT_GT(lit, 150) << "the debris was in view";

    // The whole blast of fireball, debris and smoke, as a player sees it from a spare.
    blast(library_.getEffectParams("exp_large"), place, facing, nullptr);
    blast(library_.getEffectParams("exp_large"), place, facing, "_blast_spare.png");
}
