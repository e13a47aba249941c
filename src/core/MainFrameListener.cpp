#include "core/MainFrameListener.h"

#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/ControllerSmoothCaption.h"
#include "core/FrameInput.h"
#include "core/GameCore.h"
#include "core/SharedBlock.h"
#include "core/ZV_GameState.h"
#include "platform/Platform.h"

#include <MyGUI.h>
#include <MyGUI_OgrePlatform.h>
#include <OIS/OIS.h>
#include <Ogre.h>
#include <Overlay/OgreOverlay.h>

float frameTimeFromMicroseconds(uint32_t microseconds)
{
    float dt = static_cast<float>(microseconds) * 1e-6f;
    if (microseconds == 0)
        dt = 1e-6f;
    if (dt > 0.25f)
        dt = 0.25f;
    return dt;
}

MainFrameListener::MainFrameListener(Ogre::RenderWindow* window, ConfigManager* configManager,
                                     Ogre::Camera* camera, Ogre::SceneManager* sceneManager,
                                     audio::SoundManager* soundManager, Ogre::Root* root,
                                     GameSettings* settings)
    : ExampleFrameListener(window, camera), mSceneMgr(sceneManager), mSoundManager(soundManager)
{
    mSharedBlock = new SharedBlock();
    mRoot = root;
    mSettings = settings;
    mFrameTimer = new Ogre::Timer();
    mConfigManager = configManager;
    mConfigManager->setSharedBlock(mSharedBlock);
    if (mDebugOverlay)
        mDebugOverlay->hide();
    initialiseGui();
    mGameCore = new GameCore(mWindow, mSceneMgr, mSoundManager, mSharedBlock, mConfigManager, mRoot,
                             mSettings, mGui, mCamera->getViewport());
}

MainFrameListener::~MainFrameListener()
{
    platform::keepGraphicsDriverLoaded();
    delete mConfigManager;
    mConfigManager = nullptr;
    delete mGameCore;
    mGameCore = nullptr;
    if (mSoundManager) {
        mSoundManager->pauseAllSounds();
        mSoundManager->destroyAllSounds();
    }
    delete mSoundManager;
    mSoundManager = nullptr;
    delete mFrameTimer;
    mFrameTimer = nullptr;
    if (mGui) {
        MyGUI::FactoryManager::getInstance().unregisterFactory<ControllerSmoothCaption>("Controller");
        mGui->shutdown();
        delete mGui;
        mGui = nullptr;
    }
    if (mPlatform) {
        mPlatform->shutdown();
        delete mPlatform;
        mPlatform = nullptr;
    }
    delete mSharedBlock;
    mSharedBlock = nullptr;
}

void MainFrameListener::initialiseGui()
{
    mPlatform = new MyGUI::OgrePlatform();
    // MyGUI.log keeps the GUI's lines; the terminal stays for the game's own.
    MyGUI::LogManager::getInstance().setSTDOutputEnabled(false);
    mPlatform->initialise(mWindow, mSceneMgr, Ogre::RGN_DEFAULT, "MyGUI.log");
    mGui = new MyGUI::Gui();
    mGui->initialise("core.xml");
    // The render-to-texture layer of the old GUI is gone; only the caption controller remains.
    MyGUI::FactoryManager::getInstance().registerFactory<ControllerSmoothCaption>("Controller");
    MyGUI::ResourceManager::getInstance().load("Layers.xml");
}

bool MainFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    if (!ExampleFrameListener::frameStarted(evt))
        return false;

    const float dt = frameTimeFromMicroseconds(frameTimerMicroseconds());
    mFrameTimer->reset();
    // One update per step of the frame's input, sharing the frame's time, so that a press
    // released within the frame is still seen once.
    const size_t steps = mInput->stepCount();
    for (size_t i = 0; i < steps; ++i) {
        mInput->applyStep(i);
        mGameCore->update(dt / static_cast<float>(steps), mInput->keyboard(), mInput->joystick(), mInput->mouse());
        if (mGameCore->currentState()->quitRequested)
            break;
    }
    mQuit = mGameCore->currentState()->quitRequested ? 1 : 0;
    return true;
}

uint32_t MainFrameListener::frameTimerMicroseconds()
{
    return static_cast<uint32_t>(mFrameTimer->getMicroseconds());
}
