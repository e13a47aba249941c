#pragma once
// A small GUI world for panel tests (run under Xvfb): a private copy of the game's GUI and sound
// files, a window of the given size with the game's GUI set-up, the global sounds (silent with
// ALSOFT_DRIVERS=null, but their sounds play and stop), a GameSession (no profile, no campaign:
// the tree holds the mode table and the campaign catalogue to make them) and scripted devices.
// One per process: a second window in the same process finds no GL configuration (ctest runs
// each test in a process of its own).
#include "support/GameHarness.h"
#include "support/ScriptedInput.h"
#include "support/TestSupport.h"

#include <memory>

namespace Ogre {
class Root;
class LogManager;
class RenderWindow;
}
namespace MyGUI {
class Gui;
class OgrePlatform;
}
namespace audio {
class SoundManager;
}
struct GameSettings;
class GameSession;
class GlobalSounds;
class RandomGenerator;

namespace testsupport {

class PanelTestBed {
public:
    PanelTestBed(int width = 1024, int height = 768);
    ~PanelTestBed();
    PanelTestBed(const PanelTestBed&) = delete;
    PanelTestBed& operator=(const PanelTestBed&) = delete;

    MyGUI::Gui* gui() const { return gui_; }
    GameSession* session() const { return session_.get(); }
    GameSettings* settings() const { return settings_.get(); }
    GlobalSounds* sounds() const { return sounds_.get(); }
    ScriptedKeyboard& keyboard() { return keyboard_; }
    ScriptedMouse& mouse() { return mouse_; }
    ScriptedJoyStick& joystick() { return joystick_; }
    // Takes the scripted input set since the last call, as a frame's capture does.
    void capture();
    void renderFrame();
    // Renders a frame and reads the window back.
    Screenshot screenshot();

private:
    TempGameTree tree_{"Bin/Game/plugins.cfg", "Bin/Game/resources.cfg", "Data/GUI", "Data/Sounds",
                       "Data/System/GSData.Dat", "Data/System/GMode.Dat", "Data/System/GCampA.TCD"};
    ScopedWorkDir cwd_{tree_.workDir()};
    Ogre::LogManager* logs_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    MyGUI::OgrePlatform* platform_ = nullptr;
    MyGUI::Gui* gui_ = nullptr;
    std::unique_ptr<audio::SoundManager> soundManager_;
    std::unique_ptr<GlobalSounds> sounds_;
    std::unique_ptr<RandomGenerator> random_;
    std::unique_ptr<GameSettings> settings_;
    std::unique_ptr<GameSession> session_;
    ScriptedKeyboard keyboard_;
    ScriptedMouse mouse_;
    ScriptedJoyStick joystick_;
};

}  // namespace testsupport
