#include "core/ExampleFrameListener.h"

#include "core/BinaryIO.h"
#include "core/FrameInput.h"
#include "platform/Platform.h"

#include <OIS/OIS.h>
#include <Ogre.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

namespace {
// Encoded in memory and written like every file of the game (a new temporary file renamed over
// the name), so that a link planted under the screenshot's name is replaced, never followed.
void saveScreenshot(Ogre::RenderWindow* window, const std::string& name)
{
    Ogre::Image image(window->suggestPixelFormat(), window->getWidth(), window->getHeight());
    window->copyContentsToMemory(Ogre::Box(0, 0, window->getWidth(), window->getHeight()), image.getPixelBox());
    const Ogre::DataStreamPtr png = image.encode("png");
    if (!writeFileAtomically(name, png->getAsString()))
        platform::showWarning("Could not write " + name);
}
}  // namespace

ExampleFrameListener::ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera)
    : mCamera(camera), mWindow(window)
{
    mDebugOverlay = Ogre::OverlayManager::getSingleton().getByName("Core/DebugOverlay");

    Ogre::LogManager::getSingleton().logMessage("*** Initializing OIS ***");
    OIS::ParamList params;
    size_t handle = 0;
    window->getCustomAttribute("WINDOW", &handle);
    params.insert(std::make_pair(std::string("WINDOW"), std::to_string(handle)));
    params.insert(std::make_pair(std::string("x11_mouse_grab"), std::string("false")));
    params.insert(std::make_pair(std::string("x11_mouse_hide"), std::string("false")));
    params.insert(std::make_pair(std::string("x11_keyboard_grab"), std::string("false")));
    mInputManager = OIS::InputManager::createInputSystem(params);

    mKeyboard = static_cast<OIS::Keyboard*>(mInputManager->createInputObject(OIS::OISKeyboard, true));
    mMouse = static_cast<OIS::Mouse*>(mInputManager->createInputObject(OIS::OISMouse, true));
    try {
        mJoy = static_cast<OIS::JoyStick*>(mInputManager->createInputObject(OIS::OISJoyStick, true));
    } catch (...) {
        mJoy = nullptr;
    }

    windowResized(mWindow);
    mInput = std::make_unique<FrameInput>(mKeyboard, mMouse, mJoy);
    void* display = nullptr;
    window->getCustomAttribute("XDISPLAY", &display);
    platform::offerWindowClose(display, handle);
    if (mDebugOverlay)
        mDebugOverlay->hide();
    OgreBites::WindowEventUtilities::addWindowEventListener(mWindow, this);
}

ExampleFrameListener::~ExampleFrameListener()
{
    OgreBites::WindowEventUtilities::removeWindowEventListener(mWindow, this);
    windowClosed(mWindow);
}

void ExampleFrameListener::useInputDevices(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joystick)
{
    mInput.reset();
    mKeyboard = keyboard;
    mMouse = mouse;
    mJoy = joystick;
    windowResized(mWindow);
    mInput = std::make_unique<FrameInput>(mKeyboard, mMouse, mJoy);
}

bool ExampleFrameListener::windowClosing(Ogre::RenderWindow* rw)
{
    if (rw == mWindow)
        mCloseRequested = true;
    return false;
}

void ExampleFrameListener::windowResized(Ogre::RenderWindow* rw)
{
    if (!mMouse)
        return;
    unsigned width = 0, height = 0, depth = 0;
    int left = 0, top = 0;
    rw->getMetrics(width, height, depth, left, top);
    const OIS::MouseState& ms = mMouse->getMouseState();
    ms.width = static_cast<int>(width);
    ms.height = static_cast<int>(height);
}

void ExampleFrameListener::windowClosed(Ogre::RenderWindow* rw)
{
    if (rw != mWindow)
        return;
    mInput.reset();
    if (!mInputManager)
        return;
    mInputManager->destroyInputObject(mMouse);
    mInputManager->destroyInputObject(mKeyboard);
    if (mJoy)
        mInputManager->destroyInputObject(mJoy);
    OIS::InputManager::destroyInputSystem(mInputManager);
    mMouse = nullptr;
    mKeyboard = nullptr;
    mJoy = nullptr;
    mInputManager = nullptr;
}

bool ExampleFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The window's close button, read here: the engine's own handling of it waits for a
    // protocol atom it never offers.
    void* display = nullptr;
    unsigned long xid = 0;
    mWindow->getCustomAttribute("XDISPLAY", &display);
    mWindow->getCustomAttribute("WINDOW", &xid);
    if (platform::windowCloseRequested(display, xid))
        mCloseRequested = true;
    if (mCloseRequested || mWindow->isClosed() || !mKeyboard || !mInput)
        return false;

    mInput->capture();

    if (mTimeUntilNextToggle >= 0)
        mTimeUntilNextToggle -= evt.timeSinceLastFrame;
    mMoveScale = mMoveSpeed * evt.timeSinceLastFrame;
    mRotScale = mRotateSpeed * evt.timeSinceLastFrame;
    mRotX = 0;
    mRotY = 0;
    mTranslateVector = Ogre::Vector3::ZERO;

    if (!processUnbufferedKeyInput(evt))
        return false;
    processUnbufferedMouseInput(evt);

    if (Ogre::SceneNode* node = mCamera->getParentSceneNode()) {
        node->yaw(Ogre::Radian(mRotX));
        node->pitch(Ogre::Radian(mRotY));
        node->translate(mTranslateVector, Ogre::Node::TS_LOCAL);
    }
    return true;
}

bool ExampleFrameListener::frameEnded(const Ogre::FrameEvent&)
{
    updateStats();
    return true;
}

bool ExampleFrameListener::processUnbufferedKeyInput(const Ogre::FrameEvent&)
{
    const OIS::Keyboard& kb = *mKeyboard;
    Ogre::SceneNode* node = mCamera->getParentSceneNode();

    if (kb.isKeyDown(OIS::KC_A))
        mTranslateVector.x = -mMoveScale;
    if (kb.isKeyDown(OIS::KC_D))
        mTranslateVector.x = mMoveScale;
    if (kb.isKeyDown(OIS::KC_UP) || kb.isKeyDown(OIS::KC_W))
        mTranslateVector.z = -mMoveScale;
    if (kb.isKeyDown(OIS::KC_DOWN) || kb.isKeyDown(OIS::KC_S))
        mTranslateVector.z = mMoveScale;
    if (kb.isKeyDown(OIS::KC_PGUP))
        mTranslateVector.y = mMoveScale;
    if (kb.isKeyDown(OIS::KC_PGDOWN))
        mTranslateVector.y = -mMoveScale;
    if (node && kb.isKeyDown(OIS::KC_RIGHT))
        node->yaw(Ogre::Degree(-mRotScale));
    if (node && kb.isKeyDown(OIS::KC_LEFT))
        node->yaw(Ogre::Degree(mRotScale));

    if (mQuit)
        return false;

    const bool screenshotKey = kb.isKeyDown(OIS::KC_SYSRQ) || (mInput && mInput->pressedInFrame(OIS::KC_SYSRQ));
    if (screenshotKey && mTimeUntilNextToggle <= 0) {
        ++mNumScreenShots;
        const std::string name = "screenshot_" + std::to_string(mNumScreenShots) + ".png";
        saveScreenshot(mWindow, name);
        mTimeUntilNextToggle = 0.5f;
        mDebugText = "Saved: " + name;
    }
    return true;
}

bool ExampleFrameListener::processUnbufferedMouseInput(const Ogre::FrameEvent&)
{
    const OIS::MouseState& ms = mMouse->getMouseState();
    if (ms.buttonDown(OIS::MB_Right)) {
        mTranslateVector.x += ms.X.rel * 0.13f;
        mTranslateVector.y -= ms.Y.rel * 0.13f;
    } else {
        mRotX = Ogre::Degree(-ms.X.rel * 0.13f).valueRadians();
        mRotY = Ogre::Degree(-ms.Y.rel * 0.13f).valueRadians();
    }
    return true;
}

void ExampleFrameListener::updateStats()
{
    try {
        auto& om = Ogre::OverlayManager::getSingleton();
        const Ogre::RenderTarget::FrameStats& stats = mWindow->getStatistics();
        om.getOverlayElement("Core/AverageFps")->setCaption("Average FPS: " + Ogre::StringConverter::toString(stats.avgFPS));
        om.getOverlayElement("Core/CurrFps")->setCaption("Current FPS: " + Ogre::StringConverter::toString(stats.lastFPS));
        om.getOverlayElement("Core/BestFps")->setCaption("Best FPS: " + Ogre::StringConverter::toString(stats.bestFPS) + " " +
                                                         Ogre::StringConverter::toString(stats.bestFrameTime) + " ms");
        om.getOverlayElement("Core/WorstFps")->setCaption("Worst FPS: " + Ogre::StringConverter::toString(stats.worstFPS) + " " +
                                                          Ogre::StringConverter::toString(stats.worstFrameTime) + " ms");
        om.getOverlayElement("Core/NumTris")->setCaption("Triangle Count: " + Ogre::StringConverter::toString(stats.triangleCount));
        om.getOverlayElement("Core/NumBatches")->setCaption("Batch Count: " + Ogre::StringConverter::toString(stats.batchCount));
        om.getOverlayElement("Core/DebugText")->setCaption(mDebugText);
    } catch (...) {
        // The statistics are a debugging aid; a missing element must not stop the game.
    }
}
