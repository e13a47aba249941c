#include "support/GameHarness.h"

#include "core/MainApplication.h"

#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/GameCore.h"
#include "core/GameSettings.h"
#include "core/InterpolationAffector.h"
#include "core/MainFrameListener.h"
#include "core/ZV_GameState.h"
#include "platform/Platform.h"
#include "core/GameSession.h"
#include "screens/GS_Menu.h"
#include "screens/Priget_ProfileLoad.h"
#include "world/PlayWorld.h"

#include <Bites/OgreWindowEventUtilities.h>
#include <MyGUI.h>
#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

bool Rgb::near(const Rgb& other, int tolerance) const
{
    return std::abs(r - other.r) <= tolerance && std::abs(g - other.g) <= tolerance &&
           std::abs(b - other.b) <= tolerance;
}

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb toRgb(const MyGUI::Colour& colour)
{
    auto channel = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return Rgb{channel(colour.red), channel(colour.green), channel(colour.blue)};
}

Screenshot::Screenshot(int width, int height, std::vector<uint8_t> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb))
{
}

Rgb Screenshot::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw std::out_of_range("pixel outside the window");
    const size_t i = (static_cast<size_t>(y) * width_ + x) * 3;
    return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Screenshot::countNear(const Rgb& colour, int x, int y, int w, int h, int tolerance) const
{
    return countWhere(x, y, w, h, [&](const Rgb& c) { return c.near(colour, tolerance); });
}

int Screenshot::countWhere(int x, int y, int w, int h, const std::function<bool(const Rgb&)>& test) const
{
    int count = 0;
    for (int py = std::max(y, 0); py < std::min(y + h, height_); ++py)
        for (int px = std::max(x, 0); px < std::min(x + w, width_); ++px)
            if (test(at(px, py)))
                ++count;
    return count;
}

int Screenshot::countChanged(const Screenshot& before, int cx, int cy, int half, int tolerance) const
{
    int count = 0;
    for (int y = std::max(cy - half, 0); y <= std::min(cy + half, std::min(height_, before.height()) - 1); ++y)
        for (int x = std::max(cx - half, 0); x <= std::min(cx + half, std::min(width_, before.width()) - 1); ++x)
            if (!at(x, y).near(before.at(x, y), tolerance))
                ++count;
    return count;
}

void keepShot(const Screenshot& shot, const std::string& name)
{
    if (const char* dir = std::getenv("VANTOREL_SHOT_DIR")) {
        std::filesystem::create_directories(dir);
        shot.savePng(std::string(dir) + "/" + name + ".png");
    }
}

Ogre::Vector2 toScreen(Ogre::Camera* camera, const Ogre::Vector3& point, int w, int h)
{
    const Ogre::Vector3 ndc = camera->getProjectionMatrix() * (camera->getViewMatrix() * point);
    return {(ndc.x * 0.5f + 0.5f) * w, (0.5f - ndc.y * 0.5f) * h};
}

Ogre::Camera* showTestCamera(Ogre::SceneManager* scene, Ogre::Viewport* viewport, const std::string& name,
                             const Ogre::Vector3& eye, const Ogre::Vector3& target)
{
    Ogre::Camera* camera = scene->createCamera(name);
    camera->setNearClipDistance(0.5f);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(eye);
    node->attachObject(camera);
    node->setFixedYawAxis(true);
    node->lookAt(target, Ogre::Node::TS_WORLD);
    viewport->setCamera(camera);
    camera->setAspectRatio(float(viewport->getActualWidth()) / float(viewport->getActualHeight()));
    return camera;
}

void Screenshot::savePng(const std::string& path) const
{
    Ogre::Image image;
    image.loadDynamicImage(const_cast<uint8_t*>(rgb_.data()), width_, height_, 1, Ogre::PF_BYTE_RGB);
    image.save(path);
}


// The real frame listener with the scripted devices in place of the X ones and a fixed frame time.
class GameHarness::Listener : public MainFrameListener {
public:
    Listener(Ogre::RenderWindow* window, ConfigManager* configManager, Ogre::Camera* camera,
             Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager, Ogre::Root* root,
             GameSettings* settings, OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joystick,
             float frameTime)
        : MainFrameListener(window, configManager, camera, sceneManager, soundManager, root, settings),
          frameMicroseconds_(static_cast<uint32_t>(std::lround(frameTime * 1e6)))
    {
        realKeyboard_ = mKeyboard;
        realMouse_ = mMouse;
        realJoy_ = mJoy;
        // Their events reach the game as the real devices' do.
        useInputDevices(keyboard, mouse, joystick);
    }

    ~Listener() override
    {
        // The input system destroys only the devices it made.
        mKeyboard = realKeyboard_;
        mMouse = realMouse_;
        mJoy = realJoy_;
    }

protected:
    uint32_t frameTimerMicroseconds() override { return frameMicroseconds_; }

private:
    uint32_t frameMicroseconds_;
    OIS::Keyboard* realKeyboard_ = nullptr;
    OIS::Mouse* realMouse_ = nullptr;
    OIS::JoyStick* realJoy_ = nullptr;
};

GameHarness::GameHarness(HarnessOptions options) : options_(std::move(options))
{
    // A start that throws (a damaged archive, say) must not leave the engine behind.
    try {
        start();
    } catch (...) {
        release();
        throw;
    }
}

void GameHarness::start()
{
    workDirScope_ = std::make_unique<ScopedWorkDir>(tree_.workDir());
    if (options_.prepareTree)
        options_.prepareTree(tree_.workDir());

    keyboard_ = std::make_unique<ScriptedKeyboard>();
    mouse_ = std::make_unique<ScriptedMouse>();
    if (options_.joystick)
        joystick_ = std::make_unique<ScriptedJoyStick>(options_.joystickVendor);

    // Engine, as MainApplication starts it; the log goes to the file only.
    logManager_ = new Ogre::LogManager();
    logManager_->createLog("Ogre.log", true, false, false);
    root_ = new Ogre::Root("plugins.cfg", "", "");
    overlaySystem_ = new Ogre::OverlaySystem();

    Ogre::ConfigFile resources;
    resources.load("resources.cfg", "\t:=", true);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& section : resources.getSettingsBySection())
        for (const auto& setting : section.second)
            groups.addResourceLocation(setting.second, setting.first, section.first);

    const Ogre::RenderSystemList& renderers = root_->getAvailableRenderers();
    if (renderers.empty())
        throw std::runtime_error("no render system: check plugins.cfg");
    root_->setRenderSystem(renderers.front());
    root_->initialise(false, "OGRE Render Window");

    settings_ = new GameSettings();
    auto configManager = std::make_unique<ConfigManager>(settings_, "config.ini");
    configManager->readConfigIni();
    settings_->width = options_.width;
    settings_->height = options_.height;
    settings_->fullscreen = false;
    if (options_.adjustSettings)
        options_.adjustSettings(*settings_);
    window_ = root_->createRenderWindow("Vantorel", settings_->width, settings_->height, false,
                                        &settings_->renderOptions);

    sceneManager_ = root_->createSceneManager("OctreeSceneManager");
    sceneManager_->addRenderQueueListener(overlaySystem_);
    camera_ = sceneManager_->createCamera("MenuCam");
    Ogre::SceneNode* node = sceneManager_->getRootSceneNode()->createChildSceneNode("MenuCamNode");
    node->attachObject(camera_);
    node->setPosition(0, 0, 500);
    node->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    camera_->setNearClipDistance(5);
    Ogre::Viewport* viewport = window_->addViewport(camera_, 0, 0, 0, 1, 1);
    viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
    camera_->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / Ogre::Real(viewport->getActualHeight()));
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);

    affectorFactory_ = new InterpolationAffectorFactory();
    Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(affectorFactory_);
    addGameArchives();
    groups.initialiseAllResourceGroups();

    auto soundManager = std::make_unique<audio::SoundManager>("", 100);
    mouse_->setArea(static_cast<int>(window_->getWidth()), static_cast<int>(window_->getHeight()));
    // The listener takes the sound manager and the configuration manager.
    listener_ = new Listener(window_, configManager.release(), camera_, sceneManager_, soundManager.release(), root_, settings_,
                             keyboard_.get(), mouse_.get(), joystick_.get(), options_.frameTime);
    root_->addFrameListener(listener_);
}

GameHarness::~GameHarness()
{
    release();
}

void GameHarness::release()
{
    // The listener does this on its way out; a start that failed never made one.
    platform::keepGraphicsDriverLoaded();
    if (root_ && listener_)
        root_->removeFrameListener(listener_);
    delete listener_;
    listener_ = nullptr;
    delete overlaySystem_;
    overlaySystem_ = nullptr;
    delete root_;
    root_ = nullptr;
    // Particle systems hand their affectors back to the factory when the engine goes.
    delete affectorFactory_;
    affectorFactory_ = nullptr;
    delete settings_;
    settings_ = nullptr;
    delete logManager_;
    logManager_ = nullptr;
    workDirScope_.reset();
}

bool GameHarness::frame()
{
    if (loopEnded_)
        return false;
    OgreBites::WindowEventUtilities::messagePump();
    if (!root_->renderOneFrame(options_.frameTime))
        loopEnded_ = true;
    return !loopEnded_;
}

int GameHarness::runFrames(int count)
{
    int run = 0;
    while (run < count && frame())
        ++run;
    return run;
}

bool GameHarness::runUntil(const std::function<bool()>& done, int maxFrames)
{
    for (int i = 0; i < maxFrames; ++i) {
        if (!frame())
            return done();
        if (done())
            return true;
    }
    return false;
}

void GameHarness::tapKey(OIS::KeyCode key, int holdFrames)
{
    press(key);
    runFrames(holdFrames);
    release(key);
    frame();
}

void GameHarness::typeText(const std::string& text)
{
    for (const char c : text) {
        const OIS::KeyCode key = ScriptedKeyboard::keyForChar(c);
        if (key == OIS::KC_UNASSIGNED)
            throw std::invalid_argument(std::string("no key types '") + c + "'");
        keyboard_->press(key, static_cast<unsigned char>(c));
        frame();
        keyboard_->release(key);
        frame();
    }
}

bool GameHarness::enterMainMenu(const std::string& profileName)
{
    GameSession* s = session();
    auto phaseIs = [&](uint32_t phase) { return stateAs<GS_Menu>() && s->menuPhase == phase; };
    // The state starts with its input latched: a press counts after a frame without one.
    runFrames(2);
    if (phaseIs(MENU_SPLASH)) {
        tapKey(OIS::KC_RETURN);
        if (!runUntil([&] { return phaseIs(MENU_TITLE_PROMPT); }, 200))
            return false;
    }
    if (phaseIs(MENU_TITLE_PROMPT))
        tapKey(OIS::KC_RETURN);
    if (!phaseIs(MENU_PROFILES))
        return phaseIs(MENU_MAIN);
    Priget_ProfileLoad* panel = stateAs<GS_Menu>()->profilePanel;
    runFrames(20);  // the list slides in
    for (size_t row = 0; row < panel->profileList->getItemCount(); ++row)
        if (panel->profileList->getItemNameAt(row).asUTF8() == profileName) {
            panel->profileList->setIndexSelected(row);
            clickWidget(panel->loadButton);
            return phaseIs(MENU_MAIN);
        }
    clickWidget(panel->createButton);
    clickWidget(panel->nameEdit);
    typeText(profileName);
    clickWidget(panel->entryCreateButton);
    // Off the buttons, so that the keys move the selection.
    moveMouseTo(0, 0);
    frame();
    return phaseIs(MENU_MAIN);
}

void GameHarness::click(int x, int y)
{
    moveMouseTo(x, y);
    frame();
    mouseDown();
    frame();
    mouseUp();
    frame();
}

void GameHarness::clickWidget(const MyGUI::Widget* widget)
{
    if (!widget)
        throw std::invalid_argument("no widget to click");
    const MyGUI::IntCoord c = widget->getAbsoluteCoord();
    click(c.left + c.width / 2, c.top + c.height / 2);
}

MainFrameListener* GameHarness::frameListener() const { return listener_; }
GameCore* GameHarness::core() const { return listener_->gameCore(); }
ZV_GameState* GameHarness::state() const { return core()->currentState(); }
GameSession* GameHarness::session() const { return core()->session(); }
MyGUI::Gui* GameHarness::gui() const { return listener_->gui(); }

Screenshot GameHarness::screenshot() const
{
    const int w = static_cast<int>(window_->getWidth());
    const int h = static_cast<int>(window_->getHeight());
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, rgb.data());
    window_->copyContentsToMemory(Ogre::Box(0, 0, w, h), box, Ogre::RenderTarget::FB_AUTO);
    return Screenshot(w, h, std::move(rgb));
}

std::unique_ptr<PlayWorld> GameHarness::makePlayWorld(uint32_t seed) const
{
    const ZV_GameState* current = state();
    PlayWorld::Borrowed borrowed;
    borrowed.root = root_;
    borrowed.scene = current->sceneManager;
    borrowed.sounds = current->soundManager;
    borrowed.playData = core()->playData();
    borrowed.sharedBlock = current->sharedBlock;
    borrowed.sceneContext = core()->sceneContext();
    borrowed.sceneCreator = current->sceneCreator;
    borrowed.globalSounds = current->globalSounds;
    return std::make_unique<PlayWorld>(borrowed, seed);
}

}  // namespace testsupport
