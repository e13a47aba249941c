#pragma once
#include <MyGUI_ControllerItem.h>

#include <cstdint>
#include <memory>
#include <string>

// The typing logic of the smooth caption, apart from the GUI: one more character each time
// more than 0.04 s has gathered, with " _" behind the text until it is complete.
class SmoothCaptionTyper {
public:
    static constexpr float kStep = 0.04f;

    // Back to the first character, time included.
    void restart();
    // A new text to type; the time gathered so far carries over.
    void setTarget(std::string text);
    // Adds the frame time; true when a character was revealed, with the caption to show.
    bool addTime(float dt, std::string& caption);
    // Reveals the next character; false when the text is complete already.
    bool showNext(std::string& caption);

    const std::string& target() const { return target_; }
    uint32_t shownLength() const { return shown_; }

private:
    float elapsed_ = 0.0f;
    std::string target_;
    uint32_t shown_ = 0;
};

// GUI controller that types a widget's caption out behind a " _" cursor. Setting the widget's
// caption property ("Widget_Caption", or "Caption" as the GUI now names it) restarts the typing
// with the new text.
class ControllerSmoothCaption : public MyGUI::ControllerItem {
    MYGUI_RTTI_DERIVED(ControllerSmoothCaption)

public:
    ControllerSmoothCaption();
    ~ControllerSmoothCaption() override;

    void prepareItem(MyGUI::Widget* widget) override;
    // Always true: the GUI never drops the controller on its own.
    bool addTime(MyGUI::Widget* widget, float time) override;

    void notifyChangeProperty(MyGUI::Widget* widget, const std::string& key, const std::string& value);
    void showNextCharacter(MyGUI::Widget* widget);

    const SmoothCaptionTyper& typer() const { return typer_; }

private:
    SmoothCaptionTyper typer_;
    // The widget may outlive this controller (the GUI deletes removed controllers later), so its
    // property delegate checks this token before calling back.
    std::shared_ptr<char> alive_;
};
