#include "core/ZV_GameState.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

ZV_GameState::~ZV_GameState() = default;

bool ZV_GameState::update(float, OIS::Keyboard*, OIS::JoyStick*, OIS::Mouse*)
{
    return true;
}

void ZV_GameState::handleMouse(OIS::Mouse* mouse)
{
    if (!mouse)
        return;
    MyGUI::InputManager* input = MyGUI::InputManager::getInstancePtr();
    const OIS::MouseState& ms = mouse->getMouseState();
    if (input)
        input->injectMouseMove(ms.X.abs, ms.Y.abs, ms.Z.abs);

    if (ms.buttonDown(OIS::MB_Left)) {
        if (!mouseWasDown && input)
            input->injectMousePress(ms.X.abs, ms.Y.abs, MyGUI::MouseButton::Left);
        mouseWasDown = 1;
    } else {
        mouseWasDown = 0;
        if (input)
            input->injectMouseRelease(ms.X.abs, ms.Y.abs, MyGUI::MouseButton::Left);
    }
}
