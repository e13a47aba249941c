#pragma once
#include "core/ZV_GameState.h"

#include <MyGUI_MouseButton.h>

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
class Priget_LCH_SelTier;
class Priget_LCH_Garage;
class ControllerSmoothCaption;
namespace Ogre {
class Camera;
}
namespace MyGUI {
class TextBox;
class Widget;
}

// The challenge list: the tier and challenge panel or the garage, the back input, two debug
// chords (Ctrl+F4+Q resets the progress, Ctrl+F11+W adds 1000 kudos), and the way into play once
// a challenge was started.
class GS_ListChall : public ZV_GameState {
public:
    GS_ListChall(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                 SharedBlock* block, ConfigManager* configManager, MyGUI::Gui* gui, FadeOverlay* fadeOverlay,
                 GameSession* session, GlobalSounds* globalSounds, Ogre::Viewport* viewport);
    ~GS_ListChall() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    void switchPanel();
    void onQuitClick(MyGUI::Widget* sender);
    void onSwitchPanelClick(MyGUI::Widget* sender);
    // Press on "Quit", "Challenges" or "Garage" (the GUI's release alone is no click here).
    void onMenuButtonPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);

    MyGUI::TextBox* captionWidget = nullptr;
    ControllerSmoothCaption* captionController = nullptr;
    Priget_LCH_SelTier* tierPanel = nullptr;
    Priget_LCH_Garage* garagePanel = nullptr;
    Ogre::Camera* camera = nullptr;
};
