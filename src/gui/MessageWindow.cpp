#include "gui/MessageWindow.h"

#include <MyGUI.h>

namespace {
const int kMargin = 12;
const int kButtonWidth = 96;
const int kButtonHeight = 28;
}  // namespace

MessageWindow::MessageWindow(MyGUI::Gui* gui, const std::string& skin, const MyGUI::IntCoord& coord,
                             MyGUI::Align align, const std::string& layer, const std::string& name,
                             const MyGUI::UString& text)
    : gui_(gui)
{
    window_ = gui_->createWidget<MyGUI::Window>(skin, coord, align, layer, name);
    const MyGUI::IntSize size = window_->getClientCoord().size();
    text_ = window_->createWidget<MyGUI::TextBox>("TextBox", kMargin, kMargin, size.width - 2 * kMargin,
                                                  size.height - 3 * kMargin - kButtonHeight, MyGUI::Align::Stretch);
    text_->setTextAlign(MyGUI::Align::Center);
    // A long message breaks into lines rather than running past the window.
    if (MyGUI::ISubWidgetText* lines = text_->getSubWidgetText())
        lines->setWordWrap(true);
    text_->setCaption(text);
    ok_ = window_->createWidget<MyGUI::Button>("Button", (size.width - kButtonWidth) / 2,
                                               size.height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight,
                                               MyGUI::Align::Bottom | MyGUI::Align::HCenter);
    ok_->setCaption("Ok");
    // The press: the game's mouse handling releases the button every frame it is up.
    ok_->eventMouseButtonPressed += MyGUI::newDelegate(this, &MessageWindow::onOkPressed);
    window_->setVisible(false);
}

MessageWindow::~MessageWindow()
{
    if (window_)
        MyGUI::ControllerManager::getInstance().removeItem(window_);
    if (window_)
        gui_->destroyWidget(window_);
}

void MessageWindow::setTextColour(const MyGUI::Colour& colour)
{
    text_->setTextColour(colour);
}

void MessageWindow::show()
{
    window_->setVisibleSmooth(true);
}

void MessageWindow::onOkPressed(MyGUI::Widget*, int, int, MyGUI::MouseButton button)
{
    if (button == MyGUI::MouseButton::Left)
        answer(Ok);
}

void MessageWindow::answer(Result result)
{
    if (answered_)
        return;
    answered_ = true;
    // A fade-in still running would show it again.
    MyGUI::ControllerManager::getInstance().removeItem(window_);
    window_->setVisible(false);
    if (eventMessageBoxResult)
        eventMessageBoxResult(this, result);
}
