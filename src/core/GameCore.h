#pragma once

namespace Ogre {
class RenderWindow;
class SceneManager;
class Root;
class Viewport;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
namespace MyGUI {
class Gui;
class TextBox;
class ImageBox;
}
namespace audio {
class SoundManager;
}
struct SharedBlock;
struct GameSettings;
class ConfigManager;

// Owns the game's long-lived objects and runs them once per frame.
class GameCore {
public:
    GameCore(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
             SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
             MyGUI::Gui* gui, Ogre::Viewport* viewport);
    ~GameCore();

    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    bool quitRequested() const { return quit_; }

private:
    MyGUI::Gui* gui_ = nullptr;
    MyGUI::ImageBox* backdrop_ = nullptr;
    MyGUI::TextBox* title_ = nullptr;
    bool quit_ = false;
};
