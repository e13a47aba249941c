#pragma once
#include "core/Priget.h"

#include <MyGUI_MouseButton.h>

#include <array>
#include <cstdint>
#include <string>

namespace Ogre {
class Root;
}
namespace MyGUI {
class Widget;
class Button;
class TextBox;
class ScrollView;
}
namespace OIS {
class Keyboard;
}
class ConfigManager;
class KeyBindings;
class GameSession;
struct GameSettings;

// One action's row: its name and its main and alternative key buttons.
struct KeyRowWidgets {
    MyGUI::TextBox* label = nullptr;
    MyGUI::Button* mainKey = nullptr;
    MyGUI::Button* altKey = nullptr;
};

// The key-binding page: a key button clicked takes the next key pressed, and ctrlConfig.ini is
// rewritten at once. Escape cancels a capture; Delete held takes no key.
class Priget_OptionsControl : public Priget {
public:
    static constexpr int kRowCount = 14;
    // The codes a capture scans; the lowest one down wins.
    static constexpr int kLastScannedCode = 232;
    static constexpr int kNoKey = -1;

    // The text argument is not used.
    Priget_OptionsControl(MyGUI::Gui* gui, Ogre::Root* root, ConfigManager* config, GameSettings* settings,
                          KeyBindings* bindings, GameSession* session, const std::string& unused, bool createNow,
                          bool visible);
    ~Priget_OptionsControl() override;

    void create(bool visible) override;
    // Rewrites config.ini and removes the page's widgets.
    void destroy() override;

    void refreshKeyCaptions();
    void onKeyButtonClick(MyGUI::Widget* sender);
    // Every frame; acts only while a capture runs.
    void updateKeyCapture(OIS::Keyboard* keyboard);
    void setKeyButtonsEnabled(bool enabled);
    // The lowest code down, or kNoKey (none down, or Delete held).
    int pollKeyDown(OIS::Keyboard* keyboard) const;

    static const char* actionDisplayName(int row);
    // "UNKNOWN" for a code without a name.
    static const char* keyCodeName(int code);

    GameSettings* settings = nullptr;
    KeyBindings* bindings = nullptr;
    Ogre::Root* root = nullptr;
    ConfigManager* config = nullptr;
    MyGUI::Widget* panel = nullptr;
    MyGUI::ScrollView* scrollView = nullptr;
    GameSession* session = nullptr;
    std::array<KeyRowWidgets, kRowCount> keyRows{};
    uint8_t capturing = 0;
    uint32_t captureRow = 0;
    uint8_t captureMain = 0;

private:
    void onKeyButtonPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    // Ends the capture; with a code >= 0 that code becomes the binding and is saved.
    void endCapture(int code);
    MyGUI::Button* capturedButton() const;
    void destroyPanel();
};
