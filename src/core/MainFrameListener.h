#pragma once
#include "core/ExampleFrameListener.h"

#include <cstdint>
#include <memory>

namespace Ogre {
class SceneManager;
class Root;
class Timer;
}
namespace MyGUI {
class Gui;
class OgrePlatform;
}
namespace audio {
class SoundManager;
}
struct GameSettings;
struct SharedBlock;
class ConfigManager;
class GameCore;

// The game's frame time for a timer reading: a zero reading counts as one microsecond, and a
// frame is never longer than 0.25 s.
float frameTimeFromMicroseconds(uint32_t microseconds);

// Starts the GUI and the game core, and runs the core once per frame with the measured time.
class MainFrameListener : public ExampleFrameListener {
public:
    MainFrameListener(Ogre::RenderWindow* window, ConfigManager* configManager, Ogre::Camera* camera,
                      Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                      Ogre::Root* root, GameSettings* settings);
    ~MainFrameListener() override;

    bool frameStarted(const Ogre::FrameEvent& evt) override;

    GameCore* gameCore() const { return mGameCore; }
    MyGUI::Gui* gui() const { return mGui; }

protected:
    // Microseconds since the frame timer was last reset.
    virtual uint32_t frameTimerMicroseconds();

private:
    void initialiseGui();

    Ogre::SceneManager* mSceneMgr = nullptr;
    Ogre::Root* mRoot = nullptr;
    audio::SoundManager* mSoundManager = nullptr;
    GameSettings* mSettings = nullptr;
    GameCore* mGameCore = nullptr;
    MyGUI::Gui* mGui = nullptr;
    MyGUI::OgrePlatform* mPlatform = nullptr;
    Ogre::Timer* mFrameTimer = nullptr;
    ConfigManager* mConfigManager = nullptr;
    SharedBlock* mSharedBlock = nullptr;
};
