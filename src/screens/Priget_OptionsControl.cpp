#include "screens/Priget_OptionsControl.h"

#include "core/ConfigManager.h"
#include "core/GameSession.h"
#include "core/KeyBindings.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);

struct KeyName {
    int code;
    const char* name;
};

const KeyName kKeyNames[] = {
    {1, "ESC"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "4"}, {6, "5"}, {7, "6"}, {8, "7"}, {9, "8"}, {10, "9"},
    {11, "0"}, {12, "-"}, {13, "="}, {14, "BACKSPACE"}, {15, "TAB"}, {16, "Q"}, {17, "W"}, {18, "E"}, {19, "R"},
    {20, "T"}, {21, "Y"}, {22, "U"}, {23, "I"}, {24, "O"}, {25, "P"}, {26, "{"}, {27, "}"}, {28, "RETURN"},
    {29, "L CTRL"}, {30, "A"}, {31, "S"}, {32, "D"}, {33, "F"}, {34, "G"}, {35, "H"}, {36, "J"}, {37, "K"},
    {38, "L"}, {39, ";"}, {40, "'"}, {41, "`"}, {42, "L SHIFT"}, {43, "''"}, {44, "Z"}, {45, "X"}, {46, "C"},
    {47, "V"}, {48, "B"}, {49, "N"}, {50, "M"}, {51, ","}, {52, "."}, {53, "/"}, {54, "R SHIFT"}, {55, "*"},
    {56, "L ALT"}, {57, "SPACE"}, {58, "CAPS LOCK"}, {59, "F1"}, {60, "F2"}, {61, "F3"}, {62, "F4"}, {63, "F5"},
    {64, "F6"}, {65, "F7"}, {66, "F8"}, {67, "F9"}, {68, "F10"}, {69, "NUMLOCK"}, {70, "SCROLL"},
    {71, "NUMPAD 7"}, {72, "NUMPAD 8"}, {73, "NUMPAD 9"}, {74, "NUMPAD -"}, {75, "NUMPAD 4"}, {76, "NUMPAD 5"},
    {77, "NUMPAD 6"}, {78, "+"}, {79, "NUMPAD 1"}, {80, "NUMPAD 2"}, {81, "NUMPAD 3"}, {82, "NUMPAD 0"},
    {87, "F11"}, {88, "F12"}, {100, "F13"}, {101, "F14"}, {102, "F15"}, {112, "KANA"}, {123, "NOCONVERT"},
    {141, "NUMPAD ="}, {144, "PREV TRACK"}, {146, ":"}, {148, "KANJI"}, {149, "STOP"}, {153, "NEXTTRACK"},
    {156, "NUMPAD ENTER"}, {157, "R CTRL"}, {160, "MUTE"}, {162, "PLAY PAUSE"}, {164, "MEDIASTOP"},
    {174, "VOLUMEDOWN"}, {176, "VOLUMEUP"}, {179, "NUMPAD ."}, {181, "NUMPAD /"}, {183, "SYSRQ"}, {184, "R ALT"},
    {197, "PAUSE"}, {199, "HOME"}, {200, "UP"}, {201, "PG UP"}, {203, "LEFT"}, {205, "RIGHT"}, {207, "END"},
    {208, "DOWN"}, {209, "PG DOWN"}, {210, "INSERT"}, {211, "DELETE"}, {219, "L WIN"}, {220, "R WIN"},
    {222, "POWER"}, {223, "SLEEP"}, {227, "WAKE"}, {235, "MYCOMPUTER"}, {236, "MAIL"}, {237, "MEDIASELECT"},
};

const char* const kActionNames[Priget_OptionsControl::kRowCount] = {
    "Accel", "Brake", "Roll Right", "Roll Left", "Pitch Up", "Pitch Down", "Yaw Right", "yaw Left",
    "BoreSight", "Change TGT", "Map", "Fire Gun", "Fire Weapon", "Change Weapon"};

const char* captionFor(int code)
{
    return code == 0 ? "Not Used" : Priget_OptionsControl::keyCodeName(code);
}

}  // namespace

const char* Priget_OptionsControl::actionDisplayName(int row)
{
    return row >= 0 && row < kRowCount ? kActionNames[row] : "";
}

const char* Priget_OptionsControl::keyCodeName(int code)
{
    for (const KeyName& k : kKeyNames)
        if (k.code == code)
            return k.name;
    return "UNKNOWN";
}

Priget_OptionsControl::Priget_OptionsControl(MyGUI::Gui* gui_, Ogre::Root* root_, ConfigManager* config_,
                                             GameSettings* settings_, KeyBindings* bindings_, GameSession* session_,
                                             const std::string&, bool createNow, bool visible_)
    : Priget(gui_), settings(settings_), bindings(bindings_), root(root_), config(config_), session(session_)
{
    capturing = 0;
    captureRow = 0;
    captureMain = 0;
    visible = 0;
    created = 0;
    if (createNow)
        create(visible_);
}

Priget_OptionsControl::~Priget_OptionsControl()
{
    // A capture cut short by leaving the screen must not keep the next options menu hidden.
    if (capturing && session)
        session->keyCaptureActive = 0;
    destroyPanel();
}

void Priget_OptionsControl::destroyPanel()
{
    if (panel)
        gui->destroyWidget(panel);
    panel = nullptr;
    scrollView = nullptr;
    keyRows = {};
}

void Priget_OptionsControl::create(bool visible_)
{
    if (created)
        return;
    Priget::create(visible_);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    panel = gui->createWidget<MyGUI::Widget>("RimPanel", view.width - 394, 80, 346, 416, MyGUI::Align::Default, "Main",
                                             "p_Opt_OC");
    panel->setAlpha(0.5f);
    auto* title = panel->createWidget<MyGUI::TextBox>("TextBox", 8, 8, 280, 24, MyGUI::Align::Default,
                                                      "p_Opt_OC_stTitle");
    title->setTextAlign(MyGUI::Align::Center);
    title->setTextColour(MyGUI::Colour::White);
    title->setInheritsAlpha(false);
    title->setCaption("Control Options");
    scrollView = panel->createWidget<MyGUI::ScrollView>("ScrollView", 8, 38, 330, 368, MyGUI::Align::Default,
                                                        "dmi_p3_ItmHold");
    scrollView->setInheritsAlpha(false);
    scrollView->setCanvasSize(300, 358);
    scrollView->setCanvasAlign(MyGUI::Align::Left | MyGUI::Align::Top);
    scrollView->setColour(MyGUI::Colour::Black);
    for (int i = 0; i < kRowCount; ++i) {
        KeyRowWidgets& row = keyRows[i];
        const int top = 8 + 24 * i;
        row.label = scrollView->createWidget<MyGUI::TextBox>("TextBox", 8, top, 110, 24, MyGUI::Align::Default);
        row.label->setTextAlign(MyGUI::Align::Right | MyGUI::Align::VCenter);
        row.label->setTextColour(MyGUI::Colour::White);
        row.label->setInheritsAlpha(false);
        row.label->setCaption(actionDisplayName(i));
        row.mainKey = scrollView->createWidget<MyGUI::Button>("Button", 128, top, 80, 24, MyGUI::Align::Default);
        row.altKey = scrollView->createWidget<MyGUI::Button>("Button", 218, top, 80, 24, MyGUI::Align::Default);
        for (MyGUI::Button* b : {row.mainKey, row.altKey}) {
            b->setInheritsAlpha(false);
            b->setCaption("Not Used");
            // The press: the game's mouse handling releases the button every frame it is up.
            b->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_OptionsControl::onKeyButtonPressed);
        }
    }
    refreshKeyCaptions();
    panel->setVisible(visible_);
}

void Priget_OptionsControl::destroy()
{
    if (!created)
        return;
    if (config)
        config->writeConfigIni();
    destroyPanel();
    Priget::destroy();
}

void Priget_OptionsControl::refreshKeyCaptions()
{
    if (!bindings || !panel)
        return;
    for (int i = 0; i < kRowCount; ++i) {
        keyRows[i].mainKey->setCaption(captionFor(bindings->entry(i).mainCode));
        keyRows[i].altKey->setCaption(captionFor(bindings->entry(i).altCode));
    }
}

void Priget_OptionsControl::onKeyButtonPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button == MyGUI::MouseButton::Left)
        onKeyButtonClick(sender);
}

void Priget_OptionsControl::onKeyButtonClick(MyGUI::Widget* sender)
{
    if (!panel || capturing)
        return;
    int row = -1;
    for (int i = 0; i < kRowCount && row < 0; ++i) {
        if (keyRows[i].mainKey == sender) {
            row = i;
            captureMain = 1;
        } else if (keyRows[i].altKey == sender) {
            row = i;
            captureMain = 0;
        }
    }
    if (row < 0)
        return;
    if (session)
        session->keyCaptureActive = 1;
    capturing = 1;
    setKeyButtonsEnabled(false);
    captureRow = static_cast<uint32_t>(row);
    sender->setAlpha(0.5f);
    sender->setColour(kOrange);
    keyRows[row].label->setTextColour(kOrange);
}

MyGUI::Button* Priget_OptionsControl::capturedButton() const
{
    const KeyRowWidgets& row = keyRows[captureRow];
    return captureMain ? row.mainKey : row.altKey;
}

void Priget_OptionsControl::setKeyButtonsEnabled(bool enabled)
{
    for (KeyRowWidgets& row : keyRows) {
        if (row.mainKey)
            row.mainKey->setEnabled(enabled);
        if (row.altKey)
            row.altKey->setEnabled(enabled);
    }
}

int Priget_OptionsControl::pollKeyDown(OIS::Keyboard* keyboard) const
{
    if (!keyboard || keyboard->isKeyDown(OIS::KC_DELETE))
        return kNoKey;
    for (int code = 0; code <= kLastScannedCode; ++code)
        if (keyboard->isKeyDown(static_cast<OIS::KeyCode>(code)))
            return code;
    return kNoKey;
}

void Priget_OptionsControl::updateKeyCapture(OIS::Keyboard* keyboard)
{
    if (!created || !capturing || !keyboard)
        return;
    if (keyboard->isKeyDown(OIS::KC_ESCAPE)) {
        endCapture(kNoKey);
        return;
    }
    const int code = pollKeyDown(keyboard);
    if (code != kNoKey)
        endCapture(code);
}

void Priget_OptionsControl::endCapture(int code)
{
    MyGUI::Button* button = capturedButton();
    if (code != kNoKey && bindings) {
        KeyBindingEntry& entry = bindings->entry(static_cast<int>(captureRow));
        (captureMain ? entry.mainCode : entry.altCode) = code;
        button->setCaption(captionFor(code));
    }
    button->setAlpha(1.0f);
    button->setColour(MyGUI::Colour::White);
    keyRows[captureRow].label->setTextColour(MyGUI::Colour::White);
    if (code != kNoKey && bindings)
        KeyBindings::save(config, bindings);
    setKeyButtonsEnabled(true);
    capturing = 0;
    if (session)
        session->keyCaptureActive = 0;
}
