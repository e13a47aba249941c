#include "core/ControllerSmoothCaption.h"

#include "platform/TextConversion.h"

#include <MyGUI_TextBox.h>
#include <MyGUI_Widget.h>

namespace {
const char* const kCursor = " _";

void setWidgetCaption(MyGUI::Widget* widget, const std::string& text)
{
    if (auto* box = widget ? widget->castType<MyGUI::TextBox>(false) : nullptr)
        box->setCaption(toUTFString(text));
}
}  // namespace

void SmoothCaptionTyper::restart()
{
    elapsed_ = 0.0f;
    shown_ = 0;
}

void SmoothCaptionTyper::setTarget(std::string text)
{
    target_ = std::move(text);
    shown_ = 0;
}

bool SmoothCaptionTyper::addTime(float dt, std::string& caption)
{
    elapsed_ += dt;
    if (!(elapsed_ > kStep))
        return false;
    // One character per call at most; the rest of the time carries over.
    elapsed_ -= kStep;
    return showNext(caption);
}

bool SmoothCaptionTyper::showNext(std::string& caption)
{
    if (shown_ >= target_.size())
        return false;
    ++shown_;
    caption = shown_ == target_.size() ? target_ : target_.substr(0, shown_) + kCursor;
    return true;
}

ControllerSmoothCaption::ControllerSmoothCaption() : alive_(std::make_shared<char>(0)) {}

ControllerSmoothCaption::~ControllerSmoothCaption() = default;

void ControllerSmoothCaption::prepareItem(MyGUI::Widget* widget)
{
    typer_.restart();
    if (!widget)
        return;
    std::weak_ptr<char> alive = alive_;
    widget->eventChangeProperty.clear();
    widget->eventChangeProperty += MyGUI::newDelegate(
        std::function<void(MyGUI::Widget*, const std::string&, const std::string&)>(
            [this, alive](MyGUI::Widget* w, const std::string& key, const std::string& value) {
                if (!alive.expired())
                    notifyChangeProperty(w, key, value);
            }),
        reinterpret_cast<int64_t>(this));
}

bool ControllerSmoothCaption::addTime(MyGUI::Widget* widget, float time)
{
    std::string caption;
    if (typer_.addTime(time, caption))
        setWidgetCaption(widget, caption);
    return true;
}

void ControllerSmoothCaption::notifyChangeProperty(MyGUI::Widget* widget, const std::string& key,
                                                   const std::string& value)
{
    if (key != "Widget_Caption" && key != "Caption")
        return;
    typer_.setTarget(value);
    setWidgetCaption(widget, "");
}

void ControllerSmoothCaption::showNextCharacter(MyGUI::Widget* widget)
{
    std::string caption;
    if (typer_.showNext(caption))
        setWidgetCaption(widget, caption);
}
