#pragma once
#include "core/ZV_GameState.h"

#include <memory>
#include <string>

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

// The credits.
class GS_Credits : public ZV_GameState {
public:
    GS_Credits(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
          MyGUI::Gui* gui, FadeOverlay* fadeOverlay, const std::string& name, GameSession* session,
          Ogre::Viewport* viewport, SceneCreator* sceneCreator, GlobalSounds* globalSounds);
    ~GS_Credits() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    PlaceholderScreen* screen() const { return screen_.get(); }

private:
    std::unique_ptr<PlaceholderScreen> screen_;
};
