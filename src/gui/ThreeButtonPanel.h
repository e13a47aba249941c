#pragma once
#include "core/Priget.h"

#include <array>
#include <cstdint>

#include <string>

namespace MyGUI {
class Widget;
class Button;
class ImageBox;
class RotatingSkin;
}
namespace OIS {
class Mouse;
}
class GameSession;
class GlobalSounds;
class PlayerProfile;

// Base of the panels with three buttons (0, 1, 2) whose highlight lives in the session's
// selectedIndex: button looks, mouse hit-test, the focus click and the next and previous steps.
// The panel fills `buttons` in its create; a missing button is never hit nor chosen.
class ThreeButtonPanel : public Priget {
public:
    ThreeButtonPanel(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);

    // Clears `created` only: the widgets stay until the panel is deleted.
    void destroy() override { created = 0; }

    // "normal" on the selected button (index 1 and 2 as such, any other as 0), "normal_NotSel"
    // on the other two. Virtual so the hit-test uses a panel's own looks.
    virtual void setButtonStates();
    // Buttons 0, 1, 2 against the point, edges inside; enabled and visible flags are not looked at.
    // A hit selects that button; a miss only clears mouseOverButton.
    void hitTestButtons(int x, int y);
    void hitTestButtons(const OIS::Mouse* mouse);
    // Bound to each button's root focus change: remembers whether the mouse is over a button and
    // clicks on entering.
    void playMenuMoveSound(MyGUI::Widget* sender, bool focus);
    // The next enabled button (1 -> 2, 0; 2 -> 0, 1; else -> 1, 2), with the move click.
    void playMenuSelectSound();
    // The previous enabled button (1 -> 0, 2; 2 -> 1, 0; else -> 2, 1), with the move click.
    void selectPreviousButton();

    GameSession* session() const { return session_; }
    GlobalSounds* sounds() const { return sounds_; }
    MyGUI::Button* button(int index) const { return buttons[index]; }

protected:
    // Binds playMenuMoveSound to the button's root focus change.
    void bindMoveSound(MyGUI::Button* button);
    void playMoveClick();
    void playWarningClick();
    // The first of the two choices whose button is enabled, else the current index.
    uint32_t firstEnabled(uint32_t first, uint32_t second, uint32_t current) const;
    bool isSelectable(uint32_t index) const;
    // The profile whose text tables the captions come from, with the settings' language (set
    // back to the first when the profile has no such table); null without tables.
    const PlayerProfile* textTables(uint32_t& language) const;

    // A black, hidden cog image on a layer, turning about its centre; its rotating skin goes to `skin`.
    MyGUI::ImageBox* makeCog(const std::string& layer, int left, int top, int size, const std::string& texture,
                             float alpha, MyGUI::RotatingSkin*& skin);
    // Turns the cog by `step` toward the angle of the selected button, ending on it.
    void turnSelectCog(MyGUI::RotatingSkin* cog, float step) const;

    GlobalSounds* sounds_ = nullptr;
    GameSession* session_ = nullptr;
    std::array<MyGUI::Button*, 3> buttons{};
};
