#pragma once
#include <MyGUI_UString.h>

#include <array>
#include <cstdint>
#include <string>

namespace MyGUI {
class Gui;
class Widget;
class TextBox;
class Button;
}
namespace OIS {
class Keyboard;
class JoyStick;
}
class GameSession;
class RecordTable;

// The widgets of one row of the record list.
struct RecordRow {
    MyGUI::Widget* background = nullptr;
    MyGUI::TextBox* number = nullptr;
    MyGUI::TextBox* name = nullptr;
    MyGUI::TextBox* value = nullptr;
};

// The high-score panel at the end of a free play: the mode's local table around the player's new
// place, or the world tables of the score server, with Local and World buttons (Tab or pad
// button 3 switches). Which table is on show is which button is disabled.
class RecordListManager {
public:
    static constexpr int kListRows = 10;
    static constexpr int kTopRows = 3;
    // In the connecting box once the score client has given up on the world table.
    static constexpr const char* kWorldUnavailableCaption = "World table unavailable";

    RecordListManager(MyGUI::Gui* gui, RecordTable* table, GameSession* session);
    ~RecordListManager();
    RecordListManager(const RecordListManager&) = delete;
    RecordListManager& operator=(const RecordListManager&) = delete;

    // place1: the 1-based place of this play's result (101 when it did not enter).
    void showLocal(uint32_t place1, uint8_t isTime);
    // The world tables, or the connecting box while no reply has arrived; writes the shown world
    // best into the selected mode's progress.
    void showWorld(uint8_t isTime);
    void selectLocal();
    void selectWorld();
    // One frame of the end menu: takes the score server's reply (once), blinks, switches tables.
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick);
    void clearRows();
    void refreshTexts();
    static std::string formatRowTime(float seconds);

    bool localOnShow() const;

    MyGUI::Gui* gui = nullptr;
    GameSession* session = nullptr;
    RecordTable* recordTable = nullptr;  // borrowed
    MyGUI::Widget* connectingBox = nullptr;
    MyGUI::TextBox* connectingText = nullptr;
    std::string connectingCaption = "Connecting...";
    MyGUI::Widget* panel = nullptr;
    MyGUI::Widget* topBox = nullptr;
    MyGUI::Widget* listBox = nullptr;
    MyGUI::Widget* separator = nullptr;
    MyGUI::Button* localButton = nullptr;
    MyGUI::Button* worldButton = nullptr;
    uint8_t isTime = 0;
    uint32_t highlightRank = 0;
    uint8_t keyLatch = 1;
    uint8_t worldReceived = 0;
    uint8_t worldUnavailable = 0;  // the connecting box says the world table will not come
    std::array<RecordRow, kListRows> listRows;
    std::array<RecordRow, kTopRows> topRows;
    float blinkPhase = 0.0f;

private:
    void buildLayout();
    MyGUI::UString connectingShown;  // the connecting text as refreshTexts left it
    std::string unavailableCaption = kWorldUnavailableCaption;  // game text, in the player's language
    void onLocalClicked(MyGUI::Widget* sender);
    void onWorldClicked(MyGUI::Widget* sender);
    std::string valueText(float value) const;
    void setRowColour(int row, bool highlighted);
    void showRow(RecordRow& row, bool on);
};
