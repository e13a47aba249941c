#include "core/FrameInput.h"

#include "platform/Platform.h"

#include <algorithm>

FrameKeyboard::FrameKeyboard() : OIS::Keyboard("Frame", true, 0, nullptr) {}

const std::string& FrameKeyboard::getAsString(OIS::KeyCode key)
{
    name_ = "Key" + std::to_string(static_cast<int>(key));
    return name_;
}

void FrameKeyboard::copyKeyStates(char keys[256]) const
{
    for (size_t i = 0; i < 256; ++i)
        keys[i] = down_.test(i) ? 1 : 0;
}

void FrameKeyboard::setStep(const std::bitset<256>& down, std::vector<KeyPress> presses)
{
    down_ = down;
    presses_ = std::move(presses);
    mModifiers = 0;
    if (down_.test(OIS::KC_LSHIFT) || down_.test(OIS::KC_RSHIFT))
        mModifiers |= Shift;
    if (down_.test(OIS::KC_LCONTROL) || down_.test(OIS::KC_RCONTROL))
        mModifiers |= Ctrl;
    if (down_.test(OIS::KC_LMENU) || down_.test(OIS::KC_RMENU))
        mModifiers |= Alt;
}

FrameMouse::FrameMouse() : OIS::Mouse("Frame", true, 0, nullptr) {}

void FrameMouse::setState(const OIS::MouseState& state)
{
    // The area is the window's, kept by the listener on the window's device and copied here.
    mState = state;
}

FrameJoyStick::FrameJoyStick(const std::string& vendor, int povs) : OIS::JoyStick(vendor, true, 0, nullptr)
{
    mPOVs = povs;
}

FrameInput::FrameInput(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joystick)
    : keyboard_(keyboard), mouse_(mouse), joystick_(joystick)
{
    if (keyboard_)
        keyboard_->setEventCallback(this);
    if (mouse_) {
        mouse_->setEventCallback(this);
        frameMouse_.setState(mouse_->getMouseState());
    }
    if (joystick_) {
        joystick_->setEventCallback(this);
        frameJoy_ = std::make_unique<FrameJoyStick>(joystick_->vendor(),
                                                    joystick_->getNumberOfComponents(OIS::OIS_POV));
        frameJoy_->setState(joystick_->getJoyStickState());
    }
    keySteps_.resize(1);
    mouseSteps_.resize(1);
    mouseSteps_[0].state = frameMouse_.getMouseState();
    joySteps_.resize(1);
    if (frameJoy_)
        joySteps_[0].state = frameJoy_->getJoyStickState();
}

FrameInput::~FrameInput() = default;

void FrameInput::capture()
{
    // Each device's steps start from where its last frame ended.
    KeyStep key;
    key.down = keySteps_.back().down;
    keySteps_.assign(1, key);
    MouseStep mouse;
    mouse.state = mouseSteps_.back().state;
    mouse.state.X.rel = mouse.state.Y.rel = mouse.state.Z.rel = 0;
    mouseSteps_.assign(1, mouse);
    JoyStep joy;
    joy.state = joySteps_.back().state;
    joySteps_.assign(1, joy);
    mouseMovedThisFrame_ = false;

    if (keyboard_)
        keyboard_->capture();
    if (mouse_)
        mouse_->capture();
    if (joystick_)
        joystick_->capture();
    reconcile();
    stepCount_ = std::max({keySteps_.size(), mouseSteps_.size(), joySteps_.size()});
}

// A device whose events were missed (focus lost, a device without events) ends the frame in the
// state it reports all the same.
void FrameInput::reconcile()
{
    if (keyboard_) {
        for (int k = 1; k < 256; ++k) {
            const auto code = static_cast<OIS::KeyCode>(k);
            changeKey(code, keyboard_->isKeyDown(code), 0);
        }
    }
    if (mouse_) {
        const OIS::MouseState& src = mouse_->getMouseState();
        for (int b = 0; b < 8; ++b) {
            const auto id = static_cast<OIS::MouseButtonID>(b);
            changeMouseButton(src, id, src.buttonDown(id));
        }
        OIS::MouseState& last = mouseSteps_.back().state;
        if (!mouseMovedThisFrame_) {
            last.X.rel = src.X.rel;
            last.Y.rel = src.Y.rel;
            last.Z.rel = src.Z.rel;
        }
        last.X.abs = src.X.abs;
        last.Y.abs = src.Y.abs;
        last.Z.abs = src.Z.abs;
        last.width = src.width;
        last.height = src.height;
    }
    if (joystick_) {
        const OIS::JoyStickState& src = joystick_->getJoyStickState();
        const OIS::JoyStickEvent event(joystick_, src);
        for (size_t b = 0; b < src.mButtons.size(); ++b)
            changeJoyButton(static_cast<int>(b), src.mButtons[b]);
        for (int p = 0; p < 4; ++p)
            if (src.mPOV[p].direction != joySteps_.back().state.mPOV[p].direction)
                povMoved(event, p);
        joySteps_.back().state.mAxes = src.mAxes;
    }
}

// A key, button or hat that already changed in the current step starts a new one, so that the
// game sees each of its states.
void FrameInput::changeKey(OIS::KeyCode key, bool down, uint32_t text)
{
    const size_t k = static_cast<size_t>(key) & 0xFF;
    if (keySteps_.back().down.test(k) == down)
        return;  // held (or up) already: no new press
    if (keySteps_.back().changed.test(k)) {
        KeyStep next;
        next.down = keySteps_.back().down;
        keySteps_.push_back(next);
    }
    KeyStep& step = keySteps_.back();
    step.down.set(k, down);
    step.changed.set(k);
    if (down)
        step.presses.push_back(KeyPress{key, text});
}

bool FrameInput::keyPressed(const OIS::KeyEvent& arg)
{
    changeKey(arg.key, true, arg.text);
    return true;
}

bool FrameInput::keyReleased(const OIS::KeyEvent& arg)
{
    changeKey(arg.key, false, 0);
    return true;
}

void FrameInput::newMouseStep()
{
    MouseStep next;
    next.state = mouseSteps_.back().state;
    next.state.X.rel = next.state.Y.rel = next.state.Z.rel = 0;
    mouseSteps_.push_back(next);
}

bool FrameInput::mouseMoved(const OIS::MouseEvent& arg)
{
    // A move after a button changed starts a new step, so the button acts where it was pressed.
    if (mouseSteps_.back().buttonChangedLast)
        newMouseStep();
    mouseMovedThisFrame_ = true;
    OIS::MouseState& s = mouseSteps_.back().state;
    s.X.abs = arg.state.X.abs;
    s.Y.abs = arg.state.Y.abs;
    s.Z.abs = arg.state.Z.abs;
    s.X.rel += arg.state.X.rel;
    s.Y.rel += arg.state.Y.rel;
    s.Z.rel += arg.state.Z.rel;
    s.width = arg.state.width;
    s.height = arg.state.height;
    return true;
}

void FrameInput::changeMouseButton(const OIS::MouseState& at, OIS::MouseButtonID id, bool down)
{
    const int bit = 1 << static_cast<int>(id);
    if (((mouseSteps_.back().state.buttons & bit) != 0) == down)
        return;
    if (mouseSteps_.back().buttonsChanged & bit)
        newMouseStep();
    MouseStep& step = mouseSteps_.back();
    step.state.X.abs = at.X.abs;
    step.state.Y.abs = at.Y.abs;
    if (down)
        step.state.buttons |= bit;
    else
        step.state.buttons &= ~bit;
    step.buttonsChanged |= bit;
    step.buttonChangedLast = true;
}

bool FrameInput::mousePressed(const OIS::MouseEvent& arg, OIS::MouseButtonID id)
{
    changeMouseButton(arg.state, id, true);
    return true;
}

bool FrameInput::mouseReleased(const OIS::MouseEvent& arg, OIS::MouseButtonID id)
{
    changeMouseButton(arg.state, id, false);
    return true;
}

void FrameInput::changeJoyButton(int button, bool down)
{
    if (button < 0)
        return;
    const auto b = static_cast<size_t>(button);
    JoyStep* step = &joySteps_.back();
    if (step->state.mButtons.size() <= b)
        step->state.mButtons.resize(b + 1, false);
    if (step->state.mButtons[b] == down)
        return;
    if (step->buttonsChanged.size() > b && step->buttonsChanged[b]) {
        JoyStep next;
        next.state = step->state;
        joySteps_.push_back(next);
        step = &joySteps_.back();
    }
    step->state.mButtons[b] = down;
    if (step->buttonsChanged.size() <= b)
        step->buttonsChanged.resize(b + 1, false);
    step->buttonsChanged[b] = true;
}

bool FrameInput::buttonPressed(const OIS::JoyStickEvent&, int button)
{
    changeJoyButton(button, true);
    return true;
}

bool FrameInput::buttonReleased(const OIS::JoyStickEvent&, int button)
{
    changeJoyButton(button, false);
    return true;
}

bool FrameInput::axisMoved(const OIS::JoyStickEvent& arg, int axis)
{
    // Axes are read as positions: the latest value counts.
    JoyStep& step = joySteps_.back();
    if (axis >= 0 && static_cast<size_t>(axis) < arg.state.mAxes.size()) {
        if (step.state.mAxes.size() <= static_cast<size_t>(axis))
            step.state.mAxes.resize(static_cast<size_t>(axis) + 1);
        step.state.mAxes[static_cast<size_t>(axis)] = arg.state.mAxes[static_cast<size_t>(axis)];
    }
    return true;
}

bool FrameInput::povMoved(const OIS::JoyStickEvent& arg, int index)
{
    if (index < 0 || index > 3)
        return true;
    const int bit = 1 << index;
    if (joySteps_.back().povsChanged & bit) {
        JoyStep next;
        next.state = joySteps_.back().state;
        joySteps_.push_back(next);
    }
    JoyStep& step = joySteps_.back();
    step.state.mPOV[index].direction = arg.state.mPOV[index].direction;
    step.povsChanged |= bit;
    return true;
}

bool FrameInput::pressedInFrame(OIS::KeyCode key) const
{
    for (const KeyStep& step : keySteps_)
        for (const KeyPress& p : step.presses)
            if (p.key == key)
                return true;
    return false;
}

void FrameInput::applyStep(size_t index)
{
    if (keyboard_) {
        const size_t k = std::min(index, keySteps_.size() - 1);
        std::vector<KeyPress> presses;
        if (index < keySteps_.size())
            presses = keySteps_[k].presses;
        for (const KeyPress& p : presses)
            platform::setKeyText(static_cast<int>(p.key), p.text);
        frameKeyboard_.setStep(keySteps_[k].down, std::move(presses));
    }
    if (mouse_) {
        OIS::MouseState state = mouseSteps_[std::min(index, mouseSteps_.size() - 1)].state;
        if (index >= mouseSteps_.size())
            state.X.rel = state.Y.rel = state.Z.rel = 0;
        frameMouse_.setState(state);
    }
    if (frameJoy_) {
        OIS::JoyStickState state = joySteps_[std::min(index, joySteps_.size() - 1)].state;
        for (OIS::Axis& a : state.mAxes)
            a.rel = 0;
        frameJoy_->setState(state);
    }
}
