#pragma once
#include <OgreFrameListener.h>
#include <OgreVector.h>
#include <Bites/OgreWindowEventUtilities.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Ogre {
class Camera;
class RenderWindow;
class Overlay;
}
namespace OIS {
class InputManager;
class Mouse;
class Keyboard;
class JoyStick;
}
class FrameInput;

// Opens the input devices on the window, keeps the statistics overlay, moves the camera with
// the free-camera keys and the mouse, saves screenshots and ends the loop on a quit request.
// The devices are buffered: every press and release of a frame reaches the game (FrameInput),
// each key press with the character it typed. The window's close button ends the loop.
class ExampleFrameListener : public Ogre::FrameListener, public OgreBites::WindowEventListener {
public:
    ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera);
    ~ExampleFrameListener() override;

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;
    virtual bool processUnbufferedKeyInput(const Ogre::FrameEvent& evt);
    bool processUnbufferedMouseInput(const Ogre::FrameEvent& evt);
    void updateStats();

    void windowResized(Ogre::RenderWindow* rw) override;
    // The close button asks the loop to end; the window stays until the game has shut down.
    bool windowClosing(Ogre::RenderWindow* rw) override;
    void windowClosed(Ogre::RenderWindow* rw) override;
    bool closeRequested() const { return mCloseRequested; }

    unsigned screenshotCount() const { return mNumScreenShots; }

protected:
    // Reads the given devices (in place of the window's) from the next frame on.
    void useInputDevices(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joystick);

    uint8_t mQuit = 0;
    bool mCloseRequested = false;
    Ogre::Camera* mCamera = nullptr;
    Ogre::Vector3 mTranslateVector = Ogre::Vector3::ZERO;
    Ogre::RenderWindow* mWindow = nullptr;
    bool mStatsOn = true;
    std::string mDebugText;
    unsigned mNumScreenShots = 0;
    float mMoveScale = 0.0f;
    float mRotScale = 0.0f;
    float mTimeUntilNextToggle = 0.0f;
    float mRotX = 0.0f;  // radians
    float mRotY = 0.0f;
    int mFiltering = 1;
    int mAniso = 1;
    int mSceneDetailIndex = 0;
    float mMoveSpeed = 100.0f;
    float mRotateSpeed = 36.0f;
    Ogre::Overlay* mDebugOverlay = nullptr;

    OIS::InputManager* mInputManager = nullptr;
    OIS::Mouse* mMouse = nullptr;
    OIS::Keyboard* mKeyboard = nullptr;
    OIS::JoyStick* mJoy = nullptr;
    // What the game reads, step by step, from the devices above.
    std::unique_ptr<FrameInput> mInput;
};
