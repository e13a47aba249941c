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
class PlaceholderScreen;

// The challenge list and the garage.
class GS_ListChall : public ZV_GameState {
public:
    GS_ListChall(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                 SharedBlock* block, ConfigManager* configManager, MyGUI::Gui* gui, FadeOverlay* fadeOverlay,
                 GameSession* session, GlobalSounds* globalSounds, Ogre::Viewport* viewport);
    ~GS_ListChall() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    PlaceholderScreen* screen() const { return screen_.get(); }

private:
    std::unique_ptr<PlaceholderScreen> screen_;
};
