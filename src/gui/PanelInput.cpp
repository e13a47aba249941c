#include "gui/PanelInput.h"

#include <OIS/OIS.h>

namespace panelinput {

bool keyDown(const OIS::Keyboard* keyboard, int key)
{
    return keyboard && keyboard->isKeyDown(static_cast<OIS::KeyCode>(key));
}

int wheel(const OIS::Mouse* mouse) { return mouse ? mouse->getMouseState().Z.rel : 0; }

bool rightButtonDown(const OIS::Mouse* mouse)
{
    return mouse && mouse->getMouseState().buttonDown(OIS::MB_Right);
}

int hat(const OIS::JoyStick* joystick, bool padEnabled)
{
    if (!joystick || !padEnabled)
        return OIS::Pov::Centered;
    return joystick->getJoyStickState().mPOV[0].direction;
}

bool padButtonDown(const OIS::JoyStick* joystick, bool padEnabled, int index)
{
    if (!joystick || !padEnabled)
        return false;
    const auto& buttons = joystick->getJoyStickState().mButtons;
    return index >= 0 && static_cast<size_t>(index) < buttons.size() && buttons[index];
}

int axis(const OIS::JoyStick* joystick, bool padEnabled, int index)
{
    if (!joystick || !padEnabled)
        return 0;
    const auto& axes = joystick->getJoyStickState().mAxes;
    return index >= 0 && static_cast<size_t>(index) < axes.size() ? axes[index].abs : 0;
}

}  // namespace panelinput
