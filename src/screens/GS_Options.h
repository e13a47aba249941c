#pragma once
#include "core/ZV_GameState.h"

#include <MyGUI_MouseButton.h>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Root;
class Viewport;
}
namespace MyGUI {
class Gui;
class Widget;
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
class Priget_OptionsMenu;
class Priget_OptionsDisplay;
class Priget_OptionsSound;
class Priget_OptionsControl;

// The options screen: the page menu and the display, audio and key-binding pages. Leaves for the
// title menu with "Back to Menu", Escape or the pad's back button.
class GS_Options : public ZV_GameState {
public:
    GS_Options(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
               SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
               KeyBindings* keyBindings, MyGUI::Gui* gui, FadeOverlay* fadeOverlay, GameSession* session,
               GlobalSounds* globalSounds, Ogre::Viewport* viewport, SceneCreator* sceneCreator);
    ~GS_Options() override;

    // On leaving, stores the audio page's volumes in the settings and config.ini.
    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;
    // Whether a confirm input is down; on "Back to Menu" it leaves.
    bool handleConfirm(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);

    void onBackClick(MyGUI::Widget* sender);
    void onDisplayClick(MyGUI::Widget* sender);
    void onAudioClick(MyGUI::Widget* sender);
    void onControlClick(MyGUI::Widget* sender);

    Priget_OptionsMenu* optionsMenu = nullptr;
    Priget_OptionsDisplay* displayPage = nullptr;
    Priget_OptionsSound* soundPage = nullptr;
    Priget_OptionsControl* controlPage = nullptr;
    Ogre::Root* root = nullptr;
    ConfigManager* configManager = nullptr;
    GameSettings* settings = nullptr;
    KeyBindings* keyBindings = nullptr;

private:
    void onMenuButtonPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    void leave();
    void showSoundPage(bool shown);
    void showControlPage(bool shown);
};
