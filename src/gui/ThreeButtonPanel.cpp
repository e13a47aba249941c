#include "gui/ThreeButtonPanel.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

#include <algorithm>

ThreeButtonPanel::ThreeButtonPanel(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
    : Priget(gui), sounds_(sounds), session_(session)
{
}

void ThreeButtonPanel::setButtonStates()
{
    const uint32_t index = session_->selectedIndex;
    const int selected = (index == 1 || index == 2) ? static_cast<int>(index) : 0;
    for (int i = 0; i < 3; ++i)
        if (buttons[i])
            buttons[i]->_setWidgetState(i == selected ? "normal" : "normal_NotSel");
}

void ThreeButtonPanel::hitTestButtons(int x, int y)
{
    for (int i = 0; i < 3; ++i) {
        MyGUI::Button* b = buttons[i];
        if (!b)
            continue;
        const MyGUI::IntCoord c = b->getAbsoluteCoord();
        if (c.left <= x && c.left + c.width >= x && c.top <= y && c.top + c.height >= y) {
            session_->mouseOverButton = 1;
            session_->selectedIndex = static_cast<uint32_t>(i);
            setButtonStates();
            return;
        }
    }
    session_->mouseOverButton = 0;
}

void ThreeButtonPanel::hitTestButtons(const OIS::Mouse* mouse)
{
    if (!mouse)
        return;
    const OIS::MouseState& state = mouse->getMouseState();
    hitTestButtons(state.X.abs, state.Y.abs);
}

void ThreeButtonPanel::playMenuMoveSound(MyGUI::Widget*, bool focus)
{
    session_->mouseOverButton = focus ? 1 : 0;
    if (focus)
        playMoveClick();
}

bool ThreeButtonPanel::isSelectable(uint32_t index) const
{
    return index < 3 && buttons[index] && buttons[index]->getEnabled();
}

uint32_t ThreeButtonPanel::firstEnabled(uint32_t first, uint32_t second, uint32_t current) const
{
    if (isSelectable(first))
        return first;
    if (isSelectable(second))
        return second;
    return current;
}

void ThreeButtonPanel::playMenuSelectSound()
{
    playMoveClick();
    uint32_t& index = session_->selectedIndex;
    if (index == 1)
        index = firstEnabled(2, 0, 1);
    else if (index == 2)
        index = firstEnabled(0, 1, 2);
    else
        index = firstEnabled(1, 2, 0);
}

void ThreeButtonPanel::selectPreviousButton()
{
    playMoveClick();
    uint32_t& index = session_->selectedIndex;
    if (index == 1)
        index = firstEnabled(0, 2, 1);
    else if (index == 2)
        index = firstEnabled(1, 0, 2);
    else
        index = firstEnabled(2, 1, 0);
}

void ThreeButtonPanel::bindMoveSound(MyGUI::Button* button)
{
    if (button)
        button->eventRootMouseChangeFocus += MyGUI::newDelegate(this, &ThreeButtonPanel::playMenuMoveSound);
}

void ThreeButtonPanel::playMoveClick()
{
    if (sounds_)
        sounds_->playMove();
}

void ThreeButtonPanel::playWarningClick()
{
    if (sounds_)
        sounds_->playWarning();
}

MyGUI::ImageBox* ThreeButtonPanel::makeCog(const std::string& layer, int left, int top, int size,
                                           const std::string& texture, float alpha, MyGUI::RotatingSkin*& skin)
{
    auto* image = gui->createWidget<MyGUI::ImageBox>("RotatingSkin", left, top, size, size, MyGUI::Align::Default,
                                                     layer);
    image->setInheritsAlpha(false);
    image->setAlpha(alpha);
    image->setColour(MyGUI::Colour::Black);
    image->setImageTexture(texture);
    image->setVisible(false);
    // Decoration only: it must not take the mouse from the buttons under it.
    image->setNeedMouseFocus(false);
    skin = image->getSubWidgetMain() ? image->getSubWidgetMain()->castType<MyGUI::RotatingSkin>(false) : nullptr;
    if (skin)
        skin->setCenter(MyGUI::IntPoint(size / 2, size / 2));
    return image;
}

void ThreeButtonPanel::turnSelectCog(MyGUI::RotatingSkin* cog, float step) const
{
    if (!cog)
        return;
    const float target = 6.0f * static_cast<float>(session_->selectedIndex);
    float angle = cog->getAngle();
    if (angle < target)
        angle = std::min(angle + step, target);
    else if (angle > target)
        angle = std::max(angle - step, target);
    cog->setAngle(angle);
}

const PlayerProfile* ThreeButtonPanel::textTables(uint32_t& language) const
{
    const PlayerProfile* profile = session_ ? session_->profile : nullptr;
    GameSettings* settings = session_ ? session_->settings : nullptr;
    if (!profile || !settings || profile->getLanguageCount() == 0)
        return nullptr;
    if (settings->Language >= profile->getLanguageCount())
        settings->Language = 0;
    language = settings->Language;
    return profile;
}
