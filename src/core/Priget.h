#pragma once
#include <cstdint>

namespace MyGUI {
class Gui;
}

// Base of every GUI panel: a panel builds its widgets in create and removes them in destroy.
// Front-end panels take (GameSession, Gui, GlobalSounds), clear visible and created, set the
// session's selectedIndex to 0 and call create(true) from their own constructor (a base
// constructor cannot reach the subclass's create).
class Priget {
public:
    explicit Priget(MyGUI::Gui* gui) : gui(gui) {}
    virtual ~Priget() = default;
    Priget(const Priget&) = delete;
    Priget& operator=(const Priget&) = delete;

    virtual void create(bool show)
    {
        visible = show ? 1 : 0;
        created = 1;
    }
    virtual void destroy() { created = 0; }
    // Spare per-panel hook; the base does nothing.
    virtual void hook() {}

    MyGUI::Gui* gui = nullptr;
    uint8_t visible = 0;
    uint8_t created = 0;
};
