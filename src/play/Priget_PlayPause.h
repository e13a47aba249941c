#pragma once
#include "gui/ThreeButtonPanel.h"

namespace MyGUI {
class Widget;
class ImageBox;
class RotatingSkin;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}

// The pause panel: a dimmed screen, two cogs and a column "Resume", "Retry", "Quit" (buttons 0,
// 1, 2). It only moves the highlight and clicks; the play state acts on the choice.
class Priget_PlayPause : public ThreeButtonPanel {
public:
    Priget_PlayPause(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_PlayPause() override;

    void create(bool show) override;
    void reset(bool on);
    void show(bool on);
    // One paused frame: fade-in, cogs, mouse and navigation. The joystick may be absent.
    void handleInput(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // One play tick of the fade-out after show(false).
    void animate(float dt);
    // The button captions from the profile's text tables in the settings' language.
    void setLabelTexts();

    MyGUI::Button* resumeButton() const { return buttons[0]; }
    MyGUI::Button* retryButton() const { return buttons[1]; }
    MyGUI::Button* quitButton() const { return buttons[2]; }

    uint8_t navLatch = 1;
    MyGUI::Widget* background = nullptr;
    MyGUI::Widget* menuPanel = nullptr;
    MyGUI::ImageBox* spinCogImage = nullptr;
    MyGUI::RotatingSkin* spinCog = nullptr;
    MyGUI::ImageBox* selectCogImage = nullptr;
    MyGUI::RotatingSkin* selectCog = nullptr;
    float fadeTime = 0.0f;
    float closeTime = 0.0f;
};
