#pragma once
#include "core/ZV_GameState.h"

#include <memory>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Root;
class Viewport;
}
namespace MyGUI {
class Gui;
}
namespace audio {
class SoundManager;
}
struct SharedBlock;
struct GameSettings;
class ConfigManager;
class KeyBindings;
class GameSession;
class GlobalSounds;
class FadeOverlay;
class SceneCreator;

// Loads the challenge campaign and passes straight on to the challenge list.
class GS_ChallCampSel : public ZV_GameState {
public:
    GS_ChallCampSel(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                    SharedBlock* block, ConfigManager* configManager, MyGUI::Gui* gui, GameSession* session,
                    GlobalSounds* globalSounds, Ogre::Viewport* viewport, FadeOverlay* fadeOverlay);
    ~GS_ChallCampSel() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;
};
