#include "screens/PlaceholderScreen.h"

#include "core/FadeOverlay.h"
#include "core/GlobalSounds.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

namespace {
const int kButtonWidth = 260;
const int kButtonHeight = 36;
const int kButtonGap = 10;
}  // namespace

PlaceholderScreen::PlaceholderScreen(MyGUI::Gui* gui, FadeOverlay* fadeOverlay, const std::string& title, const MyGUI::Colour& backdrop,
                                     const std::vector<std::string>& buttons, GlobalSounds* sounds, bool overWorld)
    : gui_(gui), sounds_(sounds), overWorld_(overWorld), backdropColour_(backdrop)
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    if (overWorld_) {
        const int width = kButtonWidth + 80;
        const int top = view.height / 6 - 16;
        const int height = 90 + int(buttons.size()) * (kButtonHeight + kButtonGap) + 32;
        backdrop_ = gui_->createWidget<MyGUI::ImageBox>("WhiteSkin", (view.width - width) / 2, top, width, height,
                                                        MyGUI::Align::Center, "Backgound");
        backdrop_->setAlpha(0.8f);
    } else {
        backdrop_ = gui_->createWidget<MyGUI::ImageBox>("WhiteSkin", 0, 0, view.width, view.height,
                                                        MyGUI::Align::Stretch, "Backgound");
    }
    backdrop_->setColour(backdrop);

    title_ = gui_->createWidget<MyGUI::TextBox>("TextBox", 0, view.height / 6, view.width, 48,
                                                MyGUI::Align::HStretch | MyGUI::Align::Top, "Main");
    title_->setFontName("ArialBold.24");
    title_->setTextAlign(MyGUI::Align::Center);
    title_->setTextColour(MyGUI::Colour(1.0f, 0.85f, 0.3f));
    title_->setCaption(title);

    const int left = (view.width - kButtonWidth) / 2;
    int top = view.height / 6 + 90;
    for (const std::string& caption : buttons) {
        MyGUI::Button* b = gui_->createWidget<MyGUI::Button>("SelectedButton", left, top, kButtonWidth,
                                                             kButtonHeight, MyGUI::Align::Default, "Main");
        b->setCaption(caption);
        // The press, not the click: the shared mouse handling injects a release in every frame
        // the button is up, which the GUI would take for a click on whatever lies under the pointer.
        b->eventMouseButtonPressed += MyGUI::newDelegate(this, &PlaceholderScreen::onButtonPressed);
        buttons_.push_back(b);
        top += kButtonHeight + kButtonGap;
    }
    showSelection();
    if (fadeOverlay)
        fadeOverlay->startFadeIn(kFadeInTime);
}

PlaceholderScreen::~PlaceholderScreen()
{
    for (MyGUI::Button* b : buttons_)
        gui_->destroyWidget(b);
    gui_->destroyWidget(title_);
    gui_->destroyWidget(backdrop_);
}

void PlaceholderScreen::onButtonPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i] == sender) {
            selected_ = i;
            clicked_ = static_cast<int>(i);
        }
}

void PlaceholderScreen::showSelection()
{
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->_setWidgetState(i == selected_ ? "normal" : "normal_NotSel");
}

int PlaceholderScreen::update(OIS::Keyboard* keyboard, OIS::JoyStick* joystick)
{
    uint32_t down = 0;
    if (keyboard) {
        if (keyboard->isKeyDown(OIS::KC_UP))
            down |= Up;
        if (keyboard->isKeyDown(OIS::KC_DOWN))
            down |= Down;
        if (keyboard->isKeyDown(OIS::KC_RETURN) || keyboard->isKeyDown(OIS::KC_NUMPADENTER))
            down |= Confirm;
    }
    if (joystick) {
        const OIS::JoyStickState& js = joystick->getJoyStickState();
        if (js.mPOV[0].direction & OIS::Pov::North)
            down |= Up;
        if (js.mPOV[0].direction & OIS::Pov::South)
            down |= Down;
        if (!js.mButtons.empty() && js.mButtons[0])
            down |= Confirm;
    }
    const uint32_t pressed = down & ~held_;
    held_ = down;

    int picked = clicked_;
    clicked_ = -1;
    if (!buttons_.empty()) {
        if (pressed & Up)
            selected_ = (selected_ + buttons_.size() - 1) % buttons_.size();
        if (pressed & Down)
            selected_ = (selected_ + 1) % buttons_.size();
        if (picked < 0 && (pressed & Confirm))
            picked = static_cast<int>(selected_);
        if (sounds_ && (pressed & (Up | Down)))
            sounds_->playMove();
        if (sounds_ && picked >= 0)
            sounds_->playAccept();
    }
    showSelection();
    return picked;
}
