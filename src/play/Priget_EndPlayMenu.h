#pragma once
#include "gui/ThreeButtonPanel.h"

#include <string>

namespace MyGUI {
class Widget;
class TextBox;
class ImageBox;
class RotatingSkin;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}

// The panel at the end of a play: a dimmed screen, two cogs, a strip "Retry", "Quit",
// "Continue" (buttons 0, 1, 2), the result box and the best box. It moves the highlight, clicks
// and shows values; the play state acts on the choice.
class Priget_EndPlayMenu : public ThreeButtonPanel {
public:
    Priget_EndPlayMenu(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_EndPlayMenu() override;

    void create(bool show) override;
    void setVisible(bool on);
    void show(bool on);
    // One frame of fade-in, cogs, mouse and navigation. The joystick may be absent.
    void handleInput(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void setResultText(std::string text);
    void setBestValue(float value, bool asTime);
    // Offers Continue in challenge play, enabled when the next challenge can be played, and
    // sizes the strip to the buttons it holds.
    void setupContinue();
    void setLabelTexts();
    // A disabled Continue keeps whatever look it has.
    void setButtonStates() override;

    MyGUI::Button* retryButton() const { return buttons[0]; }
    MyGUI::Button* quitButton() const { return buttons[1]; }
    MyGUI::Button* continueButton() const { return buttons[2]; }

    uint8_t navLatch = 1;
    MyGUI::Widget* background = nullptr;
    MyGUI::Widget* menuPanel = nullptr;
    MyGUI::ImageBox* spinCogImage = nullptr;
    MyGUI::RotatingSkin* spinCog = nullptr;
    MyGUI::ImageBox* selectCogImage = nullptr;
    MyGUI::RotatingSkin* selectCog = nullptr;
    MyGUI::Widget* resultBox = nullptr;
    MyGUI::TextBox* resultLabel = nullptr;
    MyGUI::TextBox* resultValue = nullptr;
    MyGUI::Widget* bestBox = nullptr;
    MyGUI::TextBox* bestLabel = nullptr;
    MyGUI::TextBox* bestValue = nullptr;
    float fadeTime = 0.0f;
    uint8_t hasBest = 0;
    uint8_t continueAvailable = 0;
};
