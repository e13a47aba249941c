#pragma once
// Input devices driven by a test script instead of the X server. Changes made between two
// frames take effect at the device's next capture(), as a real device's would.
#include <OIS/OIS.h>

#include <bitset>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Key presses and releases reach the key listener (OIS::Keyboard::setEventCallback) at the next
// capture in the order they were made, as a buffered device's events do, so a press and its
// release between two frames still arrive; a press carries the character it typed.
class ScriptedKeyboard : public OIS::Keyboard {
public:
    ScriptedKeyboard();

    void press(OIS::KeyCode key, unsigned int text = 0) { events_.push_back(Event{key, true, text}); }
    void release(OIS::KeyCode key) { events_.push_back(Event{key, false, 0}); }
    void releaseAll();
    // Down and up again before the next capture: shorter than any frame.
    void tap(OIS::KeyCode key, unsigned int text = 0)
    {
        press(key, text);
        release(key);
    }
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
    struct Event {
        OIS::KeyCode key;
        bool down;
        unsigned int text;
    };
    std::vector<Event> events_;
    std::bitset<256> down_;
    std::string keyName_;
};

// Moves and button changes reach the mouse listener at the next capture, in order.
class ScriptedMouse : public OIS::Mouse {
public:
    ScriptedMouse();

    // Absolute pointer position; the next capture reports the motion as relative too.
    void moveTo(int x, int y);
    void moveBy(int dx, int dy);
    void scroll(int dz) { pendingZ_ += dz; }
    void press(OIS::MouseButtonID button) { buttonEvents_.emplace_back(button, true); }
    void release(OIS::MouseButtonID button) { buttonEvents_.emplace_back(button, false); }
    // Pressed and released before the next capture: a click shorter than any frame.
    void tap(OIS::MouseButtonID button)
    {
        press(button);
        release(button);
    }
    void setArea(int width, int height);

    void setBuffered(bool) override {}
    void capture() override;
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}

private:
    int targetX_ = 0, targetY_ = 0, pendingZ_ = 0;
    std::vector<std::pair<OIS::MouseButtonID, bool>> buttonEvents_;
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
