#include "support/ScriptedInput.h"

#include <algorithm>

namespace testsupport {

ScriptedKeyboard::ScriptedKeyboard() : OIS::Keyboard("Scripted", false, 0, nullptr) {}

const std::string& ScriptedKeyboard::getAsString(OIS::KeyCode key)
{
    keyName_ = "Key" + std::to_string(static_cast<int>(key));
    return keyName_;
}

void ScriptedKeyboard::copyKeyStates(char keys[256]) const
{
    for (int i = 0; i < 256; ++i)
        keys[i] = down_.test(i) ? 1 : 0;
}

void ScriptedKeyboard::capture()
{
    down_ = pending_;
    mModifiers = 0;
    if (down_.test(OIS::KC_LSHIFT) || down_.test(OIS::KC_RSHIFT))
        mModifiers |= Shift;
    if (down_.test(OIS::KC_LCONTROL) || down_.test(OIS::KC_RCONTROL))
        mModifiers |= Ctrl;
    if (down_.test(OIS::KC_LMENU) || down_.test(OIS::KC_RMENU))
        mModifiers |= Alt;
}

ScriptedMouse::ScriptedMouse() : OIS::Mouse("Scripted", false, 0, nullptr) {}

void ScriptedMouse::moveTo(int x, int y)
{
    targetX_ = x;
    targetY_ = y;
}

void ScriptedMouse::moveBy(int dx, int dy)
{
    targetX_ += dx;
    targetY_ += dy;
}

void ScriptedMouse::setArea(int width, int height)
{
    mState.width = width;
    mState.height = height;
}

void ScriptedMouse::capture()
{
    // Like the X11 device: the pointer stays inside the window's area.
    const int x = std::clamp(targetX_, 0, std::max(mState.width, 0));
    const int y = std::clamp(targetY_, 0, std::max(mState.height, 0));
    mState.X.rel = x - mState.X.abs;
    mState.Y.rel = y - mState.Y.abs;
    mState.Z.rel = pendingZ_;
    mState.X.abs = x;
    mState.Y.abs = y;
    mState.Z.abs += pendingZ_;
    mState.buttons = pendingButtons_;
    targetX_ = x;
    targetY_ = y;
    pendingZ_ = 0;
}

ScriptedJoyStick::ScriptedJoyStick(const std::string& vendor, int buttons, int axes, int povs)
    : OIS::JoyStick(vendor, false, 0, nullptr)
{
    mPOVs = std::clamp(povs, 0, 4);
    mState.mButtons.assign(buttons, false);
    mState.mAxes.assign(axes, OIS::Axis());
    pending_ = mState;
}

void ScriptedJoyStick::capture()
{
    for (size_t i = 0; i < mState.mAxes.size(); ++i) {
        mState.mAxes[i].rel = pending_.mAxes[i].abs - mState.mAxes[i].abs;
        mState.mAxes[i].abs = pending_.mAxes[i].abs;
    }
    mState.mButtons = pending_.mButtons;
    for (int i = 0; i < 4; ++i)
        mState.mPOV[i].direction = pending_.mPOV[i].direction;
}

}  // namespace testsupport
