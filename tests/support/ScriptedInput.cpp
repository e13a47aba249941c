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

OIS::KeyCode ScriptedKeyboard::keyForChar(char c)
{
    static const OIS::KeyCode letters[26] = {
        OIS::KC_A, OIS::KC_B, OIS::KC_C, OIS::KC_D, OIS::KC_E, OIS::KC_F, OIS::KC_G, OIS::KC_H, OIS::KC_I,
        OIS::KC_J, OIS::KC_K, OIS::KC_L, OIS::KC_M, OIS::KC_N, OIS::KC_O, OIS::KC_P, OIS::KC_Q, OIS::KC_R,
        OIS::KC_S, OIS::KC_T, OIS::KC_U, OIS::KC_V, OIS::KC_W, OIS::KC_X, OIS::KC_Y, OIS::KC_Z};
    if (c >= 'a' && c <= 'z')
        return letters[c - 'a'];
    if (c >= 'A' && c <= 'Z')
        return letters[c - 'A'];
    if (c == '0')
        return OIS::KC_0;
    if (c >= '1' && c <= '9')
        return static_cast<OIS::KeyCode>(OIS::KC_1 + (c - '1'));
    if (c == '_')
        return OIS::KC_UNDERLINE;
    return OIS::KC_UNASSIGNED;
}

void ScriptedKeyboard::releaseAll()
{
    for (int i = 0; i < 256; ++i)
        release(static_cast<OIS::KeyCode>(i));
}

void ScriptedKeyboard::capture()
{
    std::vector<Event> events;
    events.swap(events_);
    for (const Event& e : events) {
        const size_t k = static_cast<size_t>(e.key) & 0xFF;
        if (down_.test(k) == e.down)
            continue;
        down_.set(k, e.down);
        if (mListener && e.down)
            mListener->keyPressed(OIS::KeyEvent(this, e.key, e.text));
        else if (mListener)
            mListener->keyReleased(OIS::KeyEvent(this, e.key, 0));
    }
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
    targetX_ = x;
    targetY_ = y;
    if (mListener && (mState.X.rel || mState.Y.rel || mState.Z.rel))
        mListener->mouseMoved(OIS::MouseEvent(this, mState));
    pendingZ_ = 0;
    std::vector<std::pair<OIS::MouseButtonID, bool>> events;
    events.swap(buttonEvents_);
    for (const auto& [button, down] : events) {
        const int bit = 1 << button;
        if (((mState.buttons & bit) != 0) == down)
            continue;
        if (down)
            mState.buttons |= bit;
        else
            mState.buttons &= ~bit;
        if (mListener && down)
            mListener->mousePressed(OIS::MouseEvent(this, mState), button);
        else if (mListener)
            mListener->mouseReleased(OIS::MouseEvent(this, mState), button);
    }
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
