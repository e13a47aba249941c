#pragma once
#include "gui/MenuClick.h"
#include "gui/ThreeButtonPanel.h"

#include <bitset>
#include <cstdint>
#include <string>

namespace MyGUI {
class Widget;
class Button;
class ListBox;
class EditBox;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}

// The character the last press of an OIS key typed (the keyboard layout's and the X server's
// work, dead keys included), 0 for none.
uint32_t translateWin32Text(int keyCode);
// Everything after the first '.' of a file name ("" without one).
std::string getFileExtension(const std::string& name);

// The profile screen: a list of the profiles saved under "../../Saves/" with "Load", "Create"
// and "Quit", and a name entry ("Set Profile Name") with "Create" and "Back". It only lists,
// highlights and takes typed text; the title state loads the name it reports.
class Priget_ProfileLoad : public ThreeButtonPanel {
public:
    static constexpr const char* kSavesFolder = "../../Saves/";

    Priget_ProfileLoad(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_ProfileLoad() override;

    void create(bool show) override;
    void show(bool visible);
    void setListVisible(bool visible);
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // The highlighted row's name in list mode, the typed name in entry mode, as Windows-1252
    // text; "" when no row is selected.
    std::string getSelectedProfile() const;

    void onCreateClick(MyGUI::Widget* sender);
    void onBackClick(MyGUI::Widget* sender);

    void fillProfileList();
    void addProfileFile(const std::string& fileName);
    // The stored name of a profile file, when its header holds and the file's name sorts after it.
    static bool readProfileName(const std::string& path, const std::string& fileName, std::string& name);
    // While the name dialog is open, every key pressed goes to the name field, in order: a
    // character a profile name may hold is typed, any other is refused with the warning click.
    void typeProfileName(OIS::Keyboard* keyboard);
    // The previous enabled list button, with the move click.
    void playMoveSound();

    uint8_t navLatch = 1;
    uint32_t entryMode = 0;
    MyGUI::Widget* listPanel = nullptr;
    MyGUI::Button* loadButton = nullptr;
    MyGUI::Button* createButton = nullptr;
    MyGUI::Button* quitButton = nullptr;
    MyGUI::ListBox* profileList = nullptr;
    MyGUI::Widget* entryPanel = nullptr;
    MyGUI::EditBox* nameEdit = nullptr;
    MyGUI::Button* entryCreateButton = nullptr;
    MyGUI::Button* entryBackButton = nullptr;
    uint8_t typingLatch = 1;
    float slideTimer = 0.0f;

private:
    void navigate(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void disableLoadWhenEmpty();
    void typeKey(int key, uint32_t text);
    // Left and right step through the list's rows.
    void moveRow(int step);

    std::bitset<256> keysDown_;

    MenuClick clicks_;
};
