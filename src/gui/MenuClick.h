#pragma once
#include <functional>
#include <map>

namespace MyGUI {
class Widget;
struct MouseButton;
}

// Runs a button's action on a real click: the left button pressed on the widget and released
// over it. The states hand the GUI a release on every frame the button is up, which the GUI
// alone would take for a click on whatever the pointer rests on.
class MenuClick {
public:
    MenuClick() = default;
    MenuClick(const MenuClick&) = delete;
    MenuClick& operator=(const MenuClick&) = delete;

    void bind(MyGUI::Widget* widget, std::function<void(MyGUI::Widget*)> action);

private:
    void onPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    void onReleased(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);

    std::map<MyGUI::Widget*, std::function<void(MyGUI::Widget*)>> actions_;
    MyGUI::Widget* pressed_ = nullptr;
};
