#pragma once
#include "core/ZV_GameState.h"

#include <cstdint>
#include <string>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Viewport;
}
namespace MyGUI {
class Gui;
class Widget;
}
namespace audio {
class SoundManager;
}
class GameSession;
class GlobalSounds;
class FadeOverlay;
class SceneCreator;

// The credits: a tall page scrolling up over black, faded in and out; the title menu follows.
class GS_Credits : public ZV_GameState {
public:
    static constexpr float kFullSpeedUntil = 2000.0f;
    static constexpr float kSlowFrom = 2300.0f;
    static constexpr float kStopAt = 2400.0f;
    static constexpr float kPixelsPerSecond = 60.0f;
    static constexpr float kFastPixelsPerSecond = 300.0f;
    static constexpr float kFadeTime = 1.0f;

    // The name argument is not used.
    GS_Credits(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
               MyGUI::Gui* gui, FadeOverlay* fadeOverlay, const std::string& unused, GameSession* session,
               Ogre::Viewport* viewport, SceneCreator* sceneCreator, GlobalSounds* globalSounds);
    ~GS_Credits() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;
    void createPage();

    // Starts set, so a confirm held from the previous screen counts as held.
    uint8_t fastScroll = 1;
    MyGUI::Widget* backdrop = nullptr;
    MyGUI::Widget* page = nullptr;
    float scrollPos = 0.0f;
    float speed = 0.0f;
    float fadeTimer = 0.0f;
    uint8_t leaving = 0;
};
