#pragma once
#include <MyGUI_Types.h>

#include <cstdint>
#include <string>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Viewport;
class ConfigFile;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
namespace MyGUI {
class Gui;
class ControllerPosition;
}
namespace audio {
class SoundManager;
}
class GameSession;
class FadeOverlay;
class SceneCreator;
class CutSceneParams;

enum CutscenePlayerState : uint32_t {
    CUTSCENE_PLAYING = 0,
    CUTSCENE_PAUSED = 2,
    CUTSCENE_CREATED = 3,
    CUTSCENE_FINISHED = 4,
};

// Base of the cutscene players, and the player of an entry of unknown type: it shows nothing
// and finishes on its first update.
class BasicCutScene {
public:
    BasicCutScene(Ogre::RenderWindow* renderWindow, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                  MyGUI::Gui* gui, FadeOverlay* fader, std::string file, bool flag, uint32_t index,
                  GameSession* gameSession);
    virtual ~BasicCutScene();
    BasicCutScene(const BasicCutScene&) = delete;
    BasicCutScene& operator=(const BasicCutScene&) = delete;

    // Reads "../../Video/" + file; an empty file name means the sequence's own .ini.
    virtual void loadFile();
    // Reads "../../Data/Cutscene/" + the sequence name + ".ini".
    virtual void loadFromSequence();
    virtual void setup(Ogre::ConfigFile& config);
    virtual void play();
    virtual void pause();
    virtual void restart() {}
    virtual void stop() {}
    virtual void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);

    // The sequence whose .ini holds this player's section; the session's own name is cleared
    // by the game core before any player exists, so the cutscene state hands it over here.
    void setSequenceName(const std::string& name) { sequenceName = name; }
    const std::string& getSequenceName() const { return sequenceName; }
    // "CutScene_" + (index + 1): the section every set-up reads.
    std::string sectionName() const;
    // Set when the configuration could not be read or was refused; the player then finishes on
    // its next update.
    bool hasFailed() const { return failed; }

    GameSession* gameSession = nullptr;
    Ogre::RenderWindow* renderWindow = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    audio::SoundManager* soundManager = nullptr;
    CutSceneParams* params = nullptr;
    SceneCreator* sceneCreator = nullptr;
    Ogre::Viewport* viewport = nullptr;
    FadeOverlay* fader = nullptr;
    MyGUI::Gui* gui = nullptr;
    uint32_t kind = 0;
    uint32_t state = CUTSCENE_CREATED;
    bool loaded = false;
    bool firstFrame = false;
    std::string file;
    uint32_t index = 0;
    uint32_t flag = 0;
    bool canSkip = false;
    bool canPause = false;
    // Kept for the dialog player.
    uint32_t languageCount = 0;
    // Set while a confirm or skip input is held; starts set so that a press from before the
    // player does not count.
    uint32_t inputLatch = 1;
    uint32_t actionIndex = 0;

protected:
    // Opens a configuration with the engine's reader; false (logged) when it cannot be read.
    bool openConfig(const std::string& path, Ogre::ConfigFile& config);
    // Gives up on this entry: logged, finished on the next update.
    void fail(const std::string& why);
    // The view size of the GUI.
    MyGUI::IntSize viewSize() const;
    // True on the frame a confirm input (Return, left button, pad button 0 when the pad is on)
    // goes down; `escape` also counts Escape.
    bool confirmPressed(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse, bool escape);

    std::string sequenceName;
    bool failed = false;
};

// A position controller moving a widget to `target` in `time` seconds by `moveFunction`:
// 1 inertial, 2 and 3 accelerated (t^0.4, t^3), 4 and 5 jumps past the target and back, any
// other value linear. The caller hands it to the controller manager, which owns it then.
MyGUI::ControllerPosition* createMoveController(const MyGUI::IntPoint& target, float time, int moveFunction);
