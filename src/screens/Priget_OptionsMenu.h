#pragma once
#include "core/Priget.h"

#include <cstdint>
#include <string>

namespace MyGUI {
class Widget;
class Button;
class ImageBox;
}
namespace OIS {
class Keyboard;
class Mouse;
}
class GameSession;
class GlobalSounds;

// The options screen's column of page buttons. Only "Display Options" and "Back to Menu" are
// shown; the other three are built disabled and hidden.
class Priget_OptionsMenu : public Priget {
public:
    static constexpr uint32_t kButtonCount = 5;
    enum ButtonIndex : uint32_t { Display = 0, Control = 1, Audio = 2, Game = 3, Back = 4 };

    // The text argument is not used.
    Priget_OptionsMenu(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds, const std::string& unused,
                       bool createNow, bool visible);
    ~Priget_OptionsMenu() override;

    void create(bool visible) override;
    void destroy() override;

    // Keyboard and wheel navigation; hides the column while a key capture runs.
    void update(OIS::Keyboard* keyboard, OIS::Mouse* mouse);
    void onButtonFocus(MyGUI::Widget* sender, bool gained);
    void selectPrevious();
    void selectNext();
    void setButtonStates();
    void setHelpText();

    MyGUI::Button* button(uint32_t index) const;

    GlobalSounds* sounds = nullptr;
    MyGUI::ImageBox* background = nullptr;
    MyGUI::Button* displayButton = nullptr;
    MyGUI::Button* controlButton = nullptr;
    MyGUI::Button* audioButton = nullptr;
    MyGUI::Button* gameButton = nullptr;
    MyGUI::Button* backButton = nullptr;
    MyGUI::Widget* panel = nullptr;
    GameSession* session = nullptr;
    uint8_t navLatch = 1;
    uint8_t hiddenForCapture = 0;

private:
    void step(int direction);
    void destroyWidgets();
};
