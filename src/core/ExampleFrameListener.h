#pragma once
#include <OgreFrameListener.h>
#include <OgreVector.h>
#include <Bites/OgreWindowEventUtilities.h>
#include <OIS/OISKeyboard.h>

#include <cstdint>
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

// Opens the input devices on the window, keeps the statistics overlay, moves the camera with
// the free-camera keys and the mouse, saves screenshots and ends the loop on a quit request.
// The keyboard is buffered so that each key press also hands over the character it typed
// (kept by the platform layer); its key states are read unbuffered as before.
class ExampleFrameListener : public Ogre::FrameListener, public OgreBites::WindowEventListener,
                             public OIS::KeyListener {
public:
    ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera);
    ~ExampleFrameListener() override;

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;
    virtual bool processUnbufferedKeyInput(const Ogre::FrameEvent& evt);
    bool processUnbufferedMouseInput(const Ogre::FrameEvent& evt);
    void updateStats();

    bool keyPressed(const OIS::KeyEvent& arg) override;
    bool keyReleased(const OIS::KeyEvent& arg) override;

    void windowResized(Ogre::RenderWindow* rw) override;
    void windowClosed(Ogre::RenderWindow* rw) override;

    unsigned screenshotCount() const { return mNumScreenShots; }

protected:
    uint8_t mQuit = 0;
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
};
