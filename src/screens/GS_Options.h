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

// The options screens (display, sound, controls).
class GS_Options : public ZV_GameState {
public:
    GS_Options(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
               SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
               KeyBindings* keyBindings, MyGUI::Gui* gui, FadeOverlay* fadeOverlay, GameSession* session,
               GlobalSounds* globalSounds, Ogre::Viewport* viewport, SceneCreator* sceneCreator);
    ~GS_Options() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    PlaceholderScreen* screen() const { return screen_.get(); }

    ConfigManager* configManager = nullptr;
    Ogre::Root* root = nullptr;
    GameSettings* settings = nullptr;
    KeyBindings* keyBindings = nullptr;

private:
    std::unique_ptr<PlaceholderScreen> screen_;
};
