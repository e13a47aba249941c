#pragma once
#include <MyGUI_Colour.h>
#include <MyGUI_MouseButton.h>

#include <cstdint>
#include <string>
#include <vector>

namespace MyGUI {
class Gui;
class Widget;
class ImageBox;
class TextBox;
class Button;
}
class FadeOverlay;
class GlobalSounds;
namespace OIS {
class Keyboard;
class JoyStick;
}

// A stand-in screen for a state whose real screen is not built yet: a coloured backdrop, the
// state's title and a column of buttons. Up/Down or the pad's hat move the selection; Return,
// pad button 0 or pressing the mouse on a button picks it.
class PlaceholderScreen {
public:
    // Fades the picture in when given the fade overlay.
    // With `overWorld` the backdrop is a panel behind the title and buttons, and the map behind the
    // menus shows around it. With `sounds`, moving and picking click.
    PlaceholderScreen(MyGUI::Gui* gui, FadeOverlay* fadeOverlay, const std::string& title, const MyGUI::Colour& backdrop,
                      const std::vector<std::string>& buttons, GlobalSounds* sounds = nullptr,
                      bool overWorld = false);
    ~PlaceholderScreen();
    PlaceholderScreen(const PlaceholderScreen&) = delete;
    PlaceholderScreen& operator=(const PlaceholderScreen&) = delete;

    // The index of the button picked in this frame, or -1.
    int update(OIS::Keyboard* keyboard, OIS::JoyStick* joystick);

    static constexpr double kFadeInTime = 0.25;

    size_t selected() const { return selected_; }
    const MyGUI::Colour& backdropColour() const { return backdropColour_; }
    bool overWorld() const { return overWorld_; }
    MyGUI::ImageBox* backdrop() const { return backdrop_; }
    MyGUI::TextBox* titleBox() const { return title_; }
    MyGUI::Button* button(size_t index) const { return buttons_.at(index); }
    size_t buttonCount() const { return buttons_.size(); }

private:
    enum Control : uint32_t { Up = 1, Down = 2, Confirm = 4 };

    void onButtonPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    void showSelection();

    MyGUI::Gui* gui_ = nullptr;
    GlobalSounds* sounds_ = nullptr;
    bool overWorld_ = false;
    MyGUI::ImageBox* backdrop_ = nullptr;
    MyGUI::Colour backdropColour_;
    MyGUI::TextBox* title_ = nullptr;
    std::vector<MyGUI::Button*> buttons_;
    size_t selected_ = 0;
    int clicked_ = -1;
    // Starts with every control held, so a key still down from the previous screen does not act.
    uint32_t held_ = Up | Down | Confirm;
};
