#include "core/MainApplication.h"

#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/GameSettings.h"
#include "core/InterpolationAffector.h"
#include "core/MainFrameListener.h"
#include "platform/Platform.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* const kConfigFile = "config.ini";

// Thrown when start-up cannot go on for a reason of our own (not an engine exception).
struct StartupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
}  // namespace

MainApplication::MainApplication() = default;

MainApplication::~MainApplication()
{
    // Listener first: it owns the sound manager and the configuration manager and uses the
    // settings; then the engine (base destructor).
    delete mFrameListener;
    mFrameListener = nullptr;
    // Still ours when start-up failed before the listener took them.
    delete mConfigManager;
    mConfigManager = nullptr;
    delete mSoundManager;
    mSoundManager = nullptr;
    delete mSettings;
    mSettings = nullptr;
    // Particle systems hand their affectors back to the factory when the engine goes, so the
    // factory outlives it.
    destroyEngine();
    destroyAffectorFactory();
}

void MainApplication::destroyAffectorFactory()
{
    delete mAffectorFactory;
    mAffectorFactory = nullptr;
}

bool MainApplication::configure()
{
    mSettings = new GameSettings();
    mConfigManager = new ConfigManager(mSettings, kConfigFile);

    // The renderer's "library" key takes no part in the choice: the first render system is used.
    const Ogre::RenderSystemList& renderers = mRoot->getAvailableRenderers();
    if (renderers.empty())
        throw StartupError("No render system is available: check plugins.cfg and its plug-in folder.");
    mRoot->setRenderSystem(renderers.front());
    mRoot->initialise(false, "OGRE Render Window");

    mConfigManager->readConfigIni();

    // The settings keep the size the file gives; the window gets one it can have.
    const WindowSize size = windowSizeFor(*mSettings);
    if (size.width != mSettings->width || size.height != mSettings->height)
        platform::showWarning("Window size " + std::to_string(mSettings->width) + " x " +
                              std::to_string(mSettings->height) + " from config.ini not usable; the window opens at " +
                              std::to_string(size.width) + " x " + std::to_string(size.height));
    mWindow = mRoot->createRenderWindow("Vantorel", size.width, size.height, mSettings->fullscreen,
                                        &mSettings->renderOptions);
    return true;
}

void MainApplication::chooseSceneManager()
{
    mSceneMgr = mRoot->createSceneManager("OctreeSceneManager");
    mSceneMgr->addRenderQueueListener(mOverlaySystem);
}

void MainApplication::loadResources()
{
    mAffectorFactory = new InterpolationAffectorFactory();
    Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(mAffectorFactory);
    addGameArchives();
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}

void addGameArchives()
{
    auto& rgm = Ogre::ResourceGroupManager::getSingleton();
    const char* group = Ogre::RGN_DEFAULT;
    rgm.addResourceLocation("../../Data/System/StoryImgs.pak", "Zip", group, false);
    rgm.addResourceLocation("../../Data/System/Core.pak", "Zip", group, false);
    rgm.addResourceLocation("../../Data/System/Char.pak", "Zip", group, false);
    // Shadows need the engine's own shadow programs, which ship with the engine.
    rgm.addResourceLocation(std::string(ENGINE_MEDIA_DIR) + "/ShadowVolume", "FileSystem", group, false);
}

void MainApplication::createScene()
{
    mSoundManager = new audio::SoundManager("", 100);
}

void MainApplication::createFrameListener()
{
    mFrameListener = new MainFrameListener(mWindow, mConfigManager, mCamera, mSceneMgr, mSoundManager,
                                           mRoot, mSettings);
    // The listener now owns these two.
    mSoundManager = nullptr;
    mConfigManager = nullptr;
    mRoot->addFrameListener(mFrameListener);
}

namespace {
int runApplication()
{
    int code = 0;
    MainApplication app;
    try {
        if (app.setup())
            app.root()->startRendering();
        app.destroyScene();
    } catch (const Ogre::Exception& e) {
        // Only the exception's own strings: its type and file names may point into a plug-in
        // that the failed start-up has already unloaded (the engine logged the full text).
        platform::showFatalMessage("An exception has occured!", e.getDescription() + " in " + e.getSource());
        code = 1;
    } catch (const StartupError& e) {
        platform::showFatalMessage("An exception has occured!", e.what());
        code = 1;
    } catch (const std::exception& e) {
        // Whatever else escapes ends the same way, never as an abort.
        platform::showFatalMessage("An exception has occured!", e.what());
        code = 1;
    }
    return code;
}

// The engine and the GUI open their logs by name as they find them: a link there (or a second
// name of a file elsewhere) would take their lines out of the tree, and a pipe would hold the
// start for ever. Such a name is cleared so that a new file is made.
void clearLogName(const char* name)
{
    struct stat st {};
    if (::lstat(name, &st) != 0 || S_ISDIR(st.st_mode))
        return;
    if (!S_ISREG(st.st_mode) || st.st_nlink > 1)
        ::unlink(name);
}
}  // namespace

int runGame()
{
    // The log exists before the engine, which then writes into it and not to the terminal; the
    // game's own warnings and fatal errors go to both.
    clearLogName("Ogre.log");
    clearLogName("MyGUI.log");
    Ogre::LogManager logManager;
    logManager.createLog("Ogre.log", true, false, false);
    platform::keepEnginePluginsLoaded("plugins.cfg");
    return runApplication();
}
