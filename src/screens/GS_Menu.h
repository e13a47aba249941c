#pragma once
#include "core/ZV_GameState.h"
#include "gui/MenuClick.h"

#include <cstdint>
#include <memory>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Root;
class Viewport;
}
namespace MyGUI {
class Gui;
class Widget;
class ImageBox;
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
class Priget_Menu_MainMenu;
class Priget_ProfileLoad;

// Which screen of the title menu runs; kept in GameSession::menuPhase so panels and state agree.
enum MenuPhase : uint32_t {
    MENU_MAIN = 0,
    MENU_QUIT_BOX = 1,
    MENU_TITLE_PROMPT = 2,
    MENU_PROFILES = 3,
    MENU_SPLASH = 5,
};

// The title menu: splash, pulsing prompt, profile screen, main menu and quit box. The first
// state, and the one every unlisted next-state id leads to. It leaves for a game mode (2), the
// options (3) or the challenges (5), or ends the program from the quit box.
class GS_Menu : public ZV_GameState {
public:
    static constexpr float kSplashTime = 5.0f;

    GS_Menu(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
            SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
            KeyBindings* keyBindings, MyGUI::Gui* gui, FadeOverlay* fadeOverlay, GameSession* session,
            GlobalSounds* globalSounds, Ogre::Viewport* viewport, SceneCreator* sceneCreator);
    ~GS_Menu() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    void onModeClick(MyGUI::Widget* sender);
    void onChallengeClick(MyGUI::Widget* sender);
    void onOptionsClick(MyGUI::Widget* sender);
    void onQuitClick(MyGUI::Widget* sender);
    void onQuitYesClick(MyGUI::Widget* sender);
    void onQuitNoClick(MyGUI::Widget* sender);
    void onProfileLoadClick(MyGUI::Widget* sender);

    Priget_Menu_MainMenu* mainMenu = nullptr;      // owned
    Priget_ProfileLoad* profilePanel = nullptr;    // owned
    MyGUI::ImageBox* splashImage1 = nullptr;
    MyGUI::ImageBox* splashImage2 = nullptr;
    MyGUI::Widget* splashBackdrop = nullptr;
    bool splashSkipping = false;
    float splashCountdown = kSplashTime;
    MyGUI::Widget* titlePrompt = nullptr;
    float titlePulsePhase = 0.0f;
    bool gamepadCheckPending = true;
    MyGUI::ImageBox* logo = nullptr;

private:
    void createSplash();
    void detectGamepad(OIS::JoyStick* joystick);
    void updateSplash(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void enterProfileScreen(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updateProfileScreen(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updateMainMenu(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updateQuitBox(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // Whether a confirm input is down; acts on it once per press.
    bool handleConfirm(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    bool confirmDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) const;
    bool backDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick) const;
    bool padButtonDown(OIS::JoyStick* joystick, int button) const;

    void startGameMode();
    void openChallenges();
    void openOptions();
    void openQuitOrProfile();
    void closeQuitBox();
    void loadSelectedProfile();
    void showPointer(bool visible);
    void switchPanel(uint32_t phase);

    MenuClick clicks_;
};
