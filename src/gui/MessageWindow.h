#pragma once
#include <MyGUI_Align.h>
#include <MyGUI_Colour.h>
#include <MyGUI_MouseButton.h>
#include <MyGUI_Types.h>
#include <MyGUI_UString.h>

#include <functional>
#include <string>

namespace MyGUI {
class Gui;
class Widget;
class Window;
class TextBox;
class Button;
}

// A message with an Ok button (the GUI library has no message box of its own). Answering it
// hides it and reports the result once; its owner deletes it.
class MessageWindow {
public:
    enum Result { Ok = 1 };

    // Built hidden; show() fades it in.
    MessageWindow(MyGUI::Gui* gui, const std::string& skin, const MyGUI::IntCoord& coord, MyGUI::Align align,
                  const std::string& layer, const std::string& name, const MyGUI::UString& text);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    void setTextColour(const MyGUI::Colour& colour);
    void show();
    // What the Ok button does.
    void answer(Result result);

    MyGUI::Window* window() const { return window_; }
    MyGUI::TextBox* text() const { return text_; }
    MyGUI::Button* okButton() const { return ok_; }
    bool answered() const { return answered_; }

    std::function<void(MessageWindow*, Result)> eventMessageBoxResult;

private:
    void onOkPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);

    MyGUI::Gui* gui_ = nullptr;
    MyGUI::Window* window_ = nullptr;
    MyGUI::TextBox* text_ = nullptr;
    MyGUI::Button* ok_ = nullptr;
    bool answered_ = false;
};
