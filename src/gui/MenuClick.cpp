#include "gui/MenuClick.h"

#include <MyGUI.h>

void MenuClick::bind(MyGUI::Widget* widget, std::function<void(MyGUI::Widget*)> action)
{
    if (!widget)
        return;
    if (actions_.find(widget) == actions_.end()) {
        widget->eventMouseButtonPressed += MyGUI::newDelegate(this, &MenuClick::onPressed);
        widget->eventMouseButtonReleased += MyGUI::newDelegate(this, &MenuClick::onReleased);
    }
    actions_[widget] = std::move(action);
}

void MenuClick::onPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button == MyGUI::MouseButton::Left)
        pressed_ = sender;
}

void MenuClick::onReleased(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left || sender != pressed_)
        return;
    pressed_ = nullptr;
    if (!sender->getAbsoluteRect().inside(MyGUI::IntPoint(left, top)))
        return;
    auto it = actions_.find(sender);
    if (it != actions_.end() && it->second)
        it->second(sender);
}
