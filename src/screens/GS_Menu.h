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

// The title and main menu; the first state and the one every unlisted next-state id leads to.
class GS_Menu : public ZV_GameState {
public:
    GS_Menu(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
            SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
            KeyBindings* keyBindings, MyGUI::Gui* gui, FadeOverlay* fadeOverlay, GameSession* session,
            GlobalSounds* globalSounds, Ogre::Viewport* viewport, SceneCreator* sceneCreator);
    ~GS_Menu() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    PlaceholderScreen* screen() const { return screen_.get(); }

private:
    std::unique_ptr<PlaceholderScreen> screen_;
};
