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
class GamePlayData;
class SceneContext;
class PlaceholderScreen;

// One play of a game mode or a challenge, from set-up to the end-of-play panel.
class GS_PlayOnly : public ZV_GameState {
public:
    GS_PlayOnly(GamePlayData* playData, Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager,
                audio::SoundManager* soundManager, SharedBlock* block, ConfigManager* configManager,
                Ogre::Root* root, GameSettings* settings, KeyBindings* keyBindings, MyGUI::Gui* gui,
                FadeOverlay* fadeOverlay, GameSession* session, GlobalSounds* globalSounds,
                Ogre::Viewport* viewport, SceneCreator* sceneCreator, SceneContext* sceneContext);
    ~GS_PlayOnly() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    PlaceholderScreen* screen() const { return screen_.get(); }

    GamePlayData* playData = nullptr;
    ConfigManager* configManager = nullptr;
    Ogre::Root* root = nullptr;
    GameSettings* settings = nullptr;
    KeyBindings* keyBindings = nullptr;
    SceneContext* sceneContext = nullptr;

private:
    std::unique_ptr<PlaceholderScreen> screen_;
};
