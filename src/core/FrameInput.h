#pragma once
// The input of one frame as the game reads it. The devices of the window report every press and
// release (buffered events); the game reads key and button states once per update. A press and
// its release that both fall within one frame would vanish between two readings, so the frame's
// events are cut into steps: a step ends where a key, button or hat changes a second time, and
// the game core runs once per step, each step seeing the states after its events. One press is
// then seen exactly once however short it was, and the characters typed arrive in their order.
#include <OIS/OIS.h>

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One key press of a step, with the character it typed (0 for none).
struct KeyPress {
    OIS::KeyCode key = OIS::KC_UNASSIGNED;
    uint32_t text = 0;
};

// The keyboard the game reads: the states of the current step and the presses that led to them.
class FrameKeyboard : public OIS::Keyboard {
public:
    FrameKeyboard();

    bool isKeyDown(OIS::KeyCode key) const override { return down_.test(static_cast<size_t>(key) & 0xFF); }
    const std::string& getAsString(OIS::KeyCode key) override;
    void copyKeyStates(char keys[256]) const override;
    void setBuffered(bool) override {}
    void capture() override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

    // The presses of this step, in the order they were made.
    const std::vector<KeyPress>& presses() const { return presses_; }
    void setStep(const std::bitset<256>& down, std::vector<KeyPress> presses);

private:
    std::bitset<256> down_;
    std::vector<KeyPress> presses_;
    std::string name_;
};

class FrameMouse : public OIS::Mouse {
public:
    FrameMouse();
    void setBuffered(bool) override {}
    void capture() override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}
    void setState(const OIS::MouseState& state);
};

class FrameJoyStick : public OIS::JoyStick {
public:
    FrameJoyStick(const std::string& vendor, int povs);
    void setBuffered(bool) override {}
    void capture() override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}
    void setState(const OIS::JoyStickState& state) { mState = state; }
};

// Listens to the window's devices (any of them may be null) and hands the game one set of
// devices whose states it sets step by step.
class FrameInput : public OIS::KeyListener, public OIS::MouseListener, public OIS::JoyStickListener {
public:
    FrameInput(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joystick);
    ~FrameInput() override;
    FrameInput(const FrameInput&) = delete;
    FrameInput& operator=(const FrameInput&) = delete;

    // Captures the devices and cuts the frame's events into steps (at least one).
    void capture();
    size_t stepCount() const { return stepCount_; }
    // Sets the devices the game reads to the states of step `index`; the typed characters of
    // its presses are handed to the platform layer.
    void applyStep(size_t index);

    // Whether the key went down at some time in this frame, held or not at its end.
    bool pressedInFrame(OIS::KeyCode key) const;

    FrameKeyboard* keyboard() { return keyboard_ ? &frameKeyboard_ : nullptr; }
    FrameMouse* mouse() { return mouse_ ? &frameMouse_ : nullptr; }
    FrameJoyStick* joystick() { return frameJoy_.get(); }

    bool keyPressed(const OIS::KeyEvent& arg) override;
    bool keyReleased(const OIS::KeyEvent& arg) override;
    bool mouseMoved(const OIS::MouseEvent& arg) override;
    bool mousePressed(const OIS::MouseEvent& arg, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& arg, OIS::MouseButtonID id) override;
    bool buttonPressed(const OIS::JoyStickEvent& arg, int button) override;
    bool buttonReleased(const OIS::JoyStickEvent& arg, int button) override;
    bool axisMoved(const OIS::JoyStickEvent& arg, int axis) override;
    bool povMoved(const OIS::JoyStickEvent& arg, int index) override;

private:
    struct KeyStep {
        std::bitset<256> down;
        std::vector<KeyPress> presses;
        std::bitset<256> changed;
    };
    struct MouseStep {
        OIS::MouseState state;
        int buttonsChanged = 0;
        bool buttonChangedLast = false;
    };
    struct JoyStep {
        OIS::JoyStickState state;
        std::vector<bool> buttonsChanged;
        int povsChanged = 0;
    };
    void reconcile();
    void changeKey(OIS::KeyCode key, bool down, uint32_t text);
    void newMouseStep();
    void changeMouseButton(const OIS::MouseState& at, OIS::MouseButtonID id, bool down);
    void changeJoyButton(int button, bool down);

    OIS::Keyboard* keyboard_ = nullptr;
    OIS::Mouse* mouse_ = nullptr;
    OIS::JoyStick* joystick_ = nullptr;
    FrameKeyboard frameKeyboard_;
    FrameMouse frameMouse_;
    std::unique_ptr<FrameJoyStick> frameJoy_;

    std::vector<KeyStep> keySteps_;
    std::vector<MouseStep> mouseSteps_;
    std::vector<JoyStep> joySteps_;
    size_t stepCount_ = 1;
    bool mouseMovedThisFrame_ = false;
};
