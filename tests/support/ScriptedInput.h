#pragma once
// Input devices driven by a test script instead of the X server. Changes made between two
// frames take effect at the device's next capture(), as a real device's would.
#include <OIS/OIS.h>

#include <bitset>
#include <string>

namespace testsupport {

// Key presses and releases also reach the key listener (OIS::Keyboard::setEventCallback) at the
// capture that sees them, as a buffered device's events do; a press carries the character it typed.
class ScriptedKeyboard : public OIS::Keyboard {
public:
    ScriptedKeyboard();

    void press(OIS::KeyCode key, unsigned int text = 0)
    {
        pending_.set(key);
        pendingText_[key] = text;
    }
    void release(OIS::KeyCode key) { pending_.reset(key); }
    void releaseAll() { pending_.reset(); }
    // The key that types this character on a US layout (letters, digits, '_'); KC_UNASSIGNED otherwise.
    static OIS::KeyCode keyForChar(char c);

    bool isKeyDown(OIS::KeyCode key) const override { return down_.test(key); }
    const std::string& getAsString(OIS::KeyCode key) override;
    void copyKeyStates(char keys[256]) const override;
    void setBuffered(bool) override {}
    void capture() override;
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    std::bitset<256> pending_;
    std::bitset<256> down_;
    unsigned int pendingText_[256] = {};
    std::string keyName_;
};

class ScriptedMouse : public OIS::Mouse {
public:
    ScriptedMouse();

    // Absolute pointer position; the next capture reports the motion as relative too.
    void moveTo(int x, int y);
    void moveBy(int dx, int dy);
    void scroll(int dz) { pendingZ_ += dz; }
    void press(OIS::MouseButtonID button) { pendingButtons_ |= 1 << button; }
    void release(OIS::MouseButtonID button) { pendingButtons_ &= ~(1 << button); }
    void setArea(int width, int height);

    void setBuffered(bool) override {}
    void capture() override;
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    int targetX_ = 0, targetY_ = 0, pendingZ_ = 0, pendingButtons_ = 0;
};

class ScriptedJoyStick : public OIS::JoyStick {
public:
    explicit ScriptedJoyStick(const std::string& vendor = "Scripted Pad", int buttons = 10, int axes = 6, int povs = 1);

    void setButton(int index, bool down) { pending_.mButtons.at(index) = down; }
    void setAxis(int index, int value) { pending_.mAxes.at(index).abs = value; }
    // A combination of OIS::Pov directions, OIS::Pov::Centered for none.
    void setPov(int direction, int index = 0) { pending_.mPOV[index].direction = direction; }

    void setBuffered(bool) override {}
    void capture() override;
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    OIS::JoyStickState pending_;
};

}  // namespace testsupport
