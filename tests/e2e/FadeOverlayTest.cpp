#include "core/FadeOverlay.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct LogCapture : Ogre::LogListener {
    std::vector<std::string> lines;
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
    }
};

// A GL window on the virtual display with the overlay system and, when asked, the game's fade
// material and overlay (only those files). The viewport is cleared to white, so the fade shows.
class FadeOverlayTest : public ::testing::Test {
protected:
    void SetUp() override { startEngine(); }
    void TearDown() override { stopEngine(); }

    void startEngine()
    {
        // Keep the GL driver loaded to the end, so the leak checker can name (and skip) what it
        // leaks itself; unloaded, its blocks show as an unknown module.
        for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
            dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
        logManager_ = new Ogre::LogManager();
        logManager_->createLog("fade_test.log", true, false, true);
        root_ = new Ogre::Root(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg", "", "");
        overlaySystem_ = new Ogre::OverlaySystem();
        root_->setRenderSystem(root_->getRenderSystemByName("OpenGL Rendering Subsystem"));
        root_->initialise(false);
        window_ = root_->createRenderWindow("fade test", kWidth, kHeight, false);
        scene_ = root_->createSceneManager();
        scene_->addRenderQueueListener(overlaySystem_);
        Ogre::Camera* camera = scene_->createCamera("cam");
        scene_->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
        Ogre::Viewport* viewport = window_->addViewport(camera);
        viewport->setBackgroundColour(Ogre::ColourValue::White);
    }
    void stopEngine()
    {
        delete overlaySystem_;
        overlaySystem_ = nullptr;
        delete root_;
        root_ = nullptr;
        delete logManager_;
        logManager_ = nullptr;
    }

    void load(bool material, bool overlay)
    {
        const fs::path gui = fs::path(testsupport::gameTreeDir()) / "Data/GUI";
        const std::string group = "FadeTest" + std::to_string(loads_++);
        const fs::path dir = media_.path(group);
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (material) {
            fs::copy_file(gui / "vt_fade.material", dir / "vt_fade.material");
            fs::copy_file(gui / "vt_black.png", dir / "vt_black.png");
        }
        if (overlay)
            fs::copy_file(gui / "vt_fade.overlay", dir / "vt_fade.overlay");
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(dir.string(), "FileSystem", group);
        groups.initialiseResourceGroup(group);
    }

    // Renders a frame and returns the mean brightness (0 black .. 255 white); saves it when asked.
    double renderMean(const std::string& png = "")
    {
        root_->renderOneFrame();
        std::vector<uint8_t> pixels(kWidth * kHeight * 3);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, pixels.data());
        window_->copyContentsToMemory(box, box);
        if (!png.empty())
            window_->writeContentsToFile(png);
        double sum = 0;
        for (uint8_t p : pixels)
            sum += p;
        return sum / pixels.size();
    }

    static constexpr unsigned kWidth = 160;
    static constexpr unsigned kHeight = 120;
    Ogre::LogManager* logManager_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::OverlaySystem* overlaySystem_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    Ogre::SceneManager* scene_ = nullptr;
    testsupport::TempGameTree media_{"Bin/Game/plugins.cfg"};
    int loads_ = 0;
};

TEST_F(FadeOverlayTest, ScreenIsBlackAtStartHalfDarkMidwayAndClearAfterAFadeIn)
{
    load(true, true);
    FadeOverlay fade;
    const char* shots = std::getenv("VANTOREL_FADE_SHOTS");
    const std::string prefix = shots ? shots : "";
    EXPECT_LT(renderMean(shots ? prefix + "_start.png" : ""), 5.0);
    fade.startFadeIn(1.0);
    fade.update(0.5);  // draws the start value, black
    EXPECT_LT(renderMean(), 5.0);
    fade.update(0.5);  // draws alpha 0.5
    const double half = renderMean(shots ? prefix + "_half.png" : "");
    EXPECT_GT(half, 100.0);
    EXPECT_LT(half, 155.0);
    fade.update(0.5);  // ends: the overlay is hidden
    EXPECT_GT(renderMean(shots ? prefix + "_clear.png" : ""), 250.0);

    fade.startFadeOut(1.0);
    fade.update(0.25);
    fade.update(0.25);  // draws alpha 0.25
    const double quarter = renderMean();
    EXPECT_GT(quarter, 170.0);
    EXPECT_LT(quarter, 215.0);
    for (int i = 0; i < 4; ++i)
        fade.update(0.25);
    EXPECT_LT(renderMean(), 5.0);
}

TEST_F(FadeOverlayTest, StartsBlackAndShown)
{
    load(true, true);
    FadeOverlay fade;
    ASSERT_TRUE(fade.isWorking());
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 1.0);
    EXPECT_EQ(fade.getMode(), FadeOverlay::Idle);
    EXPECT_TRUE(fade.isOverlayVisible());
    Ogre::TextureUnitState* unit =
        Ogre::MaterialManager::getSingleton().getByName(FadeOverlay::kMaterialName)->getTechnique(0)->getPass(0)->getTextureUnitState(0);
    const Ogre::LayerBlendModeEx& blend = unit->getAlphaBlendMode();
    EXPECT_EQ(blend.operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(blend.source1, Ogre::LBS_MANUAL);
    EXPECT_EQ(blend.source2, Ogre::LBS_TEXTURE);
    EXPECT_FLOAT_EQ(blend.alphaArg1, 1.0f);

    fade.setAlpha(0.3f);
    EXPECT_FLOAT_EQ(unit->getAlphaBlendMode().alphaArg1, 0.3f);
}

TEST_F(FadeOverlayTest, FadeOutRisesByFrameAndEndsJustBeyondBlack)
{
    load(true, true);
    FadeOverlay fade;
    fade.startFadeOut(1.0);
    EXPECT_EQ(fade.getMode(), FadeOverlay::FadingOut);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 0.0);
    const double expected[] = {0.25, 0.5, 0.75, 1.0};
    for (double a : expected) {
        fade.update(0.25);
        EXPECT_DOUBLE_EQ(fade.getAlpha(), a);
        EXPECT_EQ(fade.getMode(), FadeOverlay::FadingOut);
    }
    fade.update(0.25);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 1.25);
    EXPECT_EQ(fade.getMode(), FadeOverlay::Idle);
    EXPECT_TRUE(fade.isOverlayVisible());
}

TEST_F(FadeOverlayTest, FadeInFallsByFrameAndHidesJustBeyondClear)
{
    load(true, true);
    FadeOverlay fade;
    fade.startFadeIn(0.5);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 1.0);
    fade.update(0.25);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 0.5);
    fade.update(0.25);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 0.0);
    EXPECT_EQ(fade.getMode(), FadeOverlay::FadingIn);
    EXPECT_TRUE(fade.isOverlayVisible());
    fade.update(0.25);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), -0.5);
    EXPECT_EQ(fade.getMode(), FadeOverlay::Idle);
    EXPECT_FALSE(fade.isOverlayVisible());

    // A new fade replaces the one under way.
    fade.startFadeOut(2.0);
    fade.update(0.5);
    fade.startFadeIn(1.0);
    EXPECT_EQ(fade.getMode(), FadeOverlay::FadingIn);
    EXPECT_DOUBLE_EQ(fade.getAlpha(), 1.0);
    EXPECT_TRUE(fade.isOverlayVisible());
}

TEST_F(FadeOverlayTest, TinyFadeOutDurationsBecomeOneSecond)
{
    load(true, true);
    FadeOverlay fade;
    const struct {
        double asked, used;
    } cases[] = {{0.0, 1.0}, {1e-7, 1.0}, {-2.0, 1.0}, {2e-6, 2e-6}, {0.5, 0.5}};
    for (const auto& c : cases) {
        fade.startFadeOut(c.asked);
        EXPECT_DOUBLE_EQ(fade.getDuration(), c.used) << c.asked;
    }
}

TEST_F(FadeOverlayTest, SetAlphaShowsAboveZeroAndKeepsTheMode)
{
    load(true, true);
    FadeOverlay fade;
    fade.startFadeOut(1.0);
    fade.setAlpha(0.0f);
    EXPECT_FALSE(fade.isOverlayVisible());
    fade.setAlpha(0.01f);
    EXPECT_TRUE(fade.isOverlayVisible());
    EXPECT_EQ(fade.getMode(), FadeOverlay::FadingOut);
}

TEST_F(FadeOverlayTest, MissingMaterialOrOverlayLeavesTheGameWithoutFades)
{
    const struct {
        bool material, overlay;
    } cases[] = {{false, false}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.material ? "material" : "no material") + ", " +
                     (c.overlay ? "overlay" : "no overlay"));
        // One engine per process: the cases add to what the earlier ones loaded.
        load(c.material, c.overlay);
        LogCapture log;
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&log);
        FadeOverlay fade;
        Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(&log);
        EXPECT_FALSE(fade.isWorking());
        // The engine's own threads may log meanwhile: count only the fader's lines.
        const auto faderLines = std::count_if(log.lines.begin(), log.lines.end(), [](const std::string& l) {
            return l.rfind("Fader Exception", 0) == 0;
        });
        EXPECT_EQ(faderLines, 1);
        fade.startFadeIn(1.0);
        fade.update(0.5);
        fade.startFadeOut(0.0);
        fade.update(0.5);
        fade.setAlpha(0.5f);
        EXPECT_FALSE(fade.isOverlayVisible());
        if (auto* overlay = Ogre::OverlayManager::getSingleton().getByName(FadeOverlay::kOverlayName)) {
            EXPECT_FALSE(overlay->isVisible());
        }
    }
}

TEST(FadeOverlayWithoutOverlays, ConstructsAndDoesNothing)
{
    testsupport::HeadlessOgre ogre;  // no overlay system at all
    FadeOverlay fade;
    EXPECT_FALSE(fade.isWorking());
    fade.startFadeOut(1.0);
    fade.update(0.25);
    fade.setAlpha(1.0f);
    EXPECT_FALSE(fade.isOverlayVisible());
}

}  // namespace
