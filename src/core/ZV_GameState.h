#pragma once
#include <cstdint>
#include <string>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Viewport;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
namespace MyGUI {
class Gui;
}
namespace audio {
class SoundManager;
}
struct SharedBlock;
class GameSession;
class GlobalSounds;
class FadeOverlay;
class SceneCreator;

// Where a leaving state asks the core to go next; any value not listed here means the title menu.
enum GameStateId : uint32_t {
    GAMESTATE_PLAY = 2,
    GAMESTATE_OPTIONS = 3,
    GAMESTATE_CHALLENGE_LIST = 4,
    GAMESTATE_CHALLENGE_SELECT = 5,
    GAMESTATE_CUTSCENE = 6,
    GAMESTATE_CREDITS = 7,
};

// Base of the game states. The core holds one, updates it once per frame and replaces it when
// its update returns false. Each state's constructor fills the fields itself.
class ZV_GameState {
public:
    virtual ~ZV_GameState();

    // Once per frame; true to stay, false to be replaced by the state `nextStateId` names.
    virtual bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // Passes the pointer, wheel and left button to the GUI.
    virtual void handleMouse(OIS::Mouse* mouse);

    // Borrowed from the game core.
    Ogre::RenderWindow* window = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    GameSession* session = nullptr;
    GlobalSounds* globalSounds = nullptr;
    audio::SoundManager* soundManager = nullptr;
    SharedBlock* sharedBlock = nullptr;
    MyGUI::Gui* gui = nullptr;
    FadeOverlay* fadeOverlay = nullptr;
    Ogre::Viewport* viewport = nullptr;
    SceneCreator* sceneCreator = nullptr;

    // Starts set so that a button still held from the previous state is not a new press.
    uint8_t mouseWasDown = 1;
    uint8_t firstFrame = 0;
    // Free for the states' own start-up sequences.
    uint32_t startStep = 0;
    uint32_t step = 0;
    uint32_t stateId = 0;
    uint32_t nextStateId = 0;
    uint8_t done = 0;
    // Read by the frame listener after every update; the loop ends on the next frame.
    uint8_t quitRequested = 0;
    std::string name;

protected:
    ZV_GameState() = default;
    ZV_GameState(const ZV_GameState&) = delete;
    ZV_GameState& operator=(const ZV_GameState&) = delete;
};
