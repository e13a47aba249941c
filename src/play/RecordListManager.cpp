#include "play/RecordListManager.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"
#include "play/RecordTable.h"
#include "gui/PanelInput.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreStringConverter.h>

#include <cmath>

namespace {

const MyGUI::Colour kGrey(0.75f, 0.75f, 0.75f, 1.0f);
const MyGUI::Colour kHighlight(1.0f, 0.5f, 0.0f, 1.0f);
constexpr int kPanelWidth = 388;
constexpr int kPanelHeight = 430;
// With the top box shown the list keeps its first seven rows.
constexpr int kRowsUnderTopBox = 7;

MyGUI::TextBox* makeRowText(MyGUI::Widget* parent, int left, int top, int width, int height,
                            const std::string& name, const std::string& caption)
{
    auto* text =
        parent->createWidget<MyGUI::TextBox>("TextBox", left, top, width, height, MyGUI::Align::Default, name);
    text->setInheritsAlpha(false);
    text->setFontName("ArialBold.14");
    text->setCaption(caption);
    text->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
    return text;
}

void makeRows(MyGUI::Widget* parent, RecordRow* rows, int count)
{
    for (int k = 0; k < count; ++k) {
        const int y = 58 + 30 * k;
        const std::string index = std::to_string(k + 1);
        RecordRow& row = rows[k];
        row.background = parent->createWidget<MyGUI::Widget>("WhiteSkin", 0, y - 4, kPanelWidth, 26,
                                                             MyGUI::Align::Default);
        row.background->setInheritsAlpha(false);
        row.background->setColour(MyGUI::Colour::Black);
        row.background->setAlpha(k % 2 == 0 ? 0.25f : 0.5f);
        row.number = makeRowText(parent, 8, y, 130, 36, "ARM_topList_num" + index, index);
        row.name = makeRowText(parent, 40, y, 200, 36, "ARM_topList_name" + index, "name");
        row.value = makeRowText(parent, 240, y, 135, 40, "ARM_topList_name" + index, "00'00.000");
        row.value->setTextAlign(MyGUI::Align::Right | MyGUI::Align::Top);
        const MyGUI::Colour& colour = k % 2 == 0 ? MyGUI::Colour::White : kGrey;
        for (MyGUI::TextBox* t : {row.number, row.name, row.value})
            t->setTextColour(colour);
    }
}

void fillRow(RecordRow& row, uint32_t number, const std::string& name, const std::string& value)
{
    row.number->setCaption(std::to_string(number));
    row.name->setCaption(toUTFString(name));
    row.value->setCaption(toUTFString(value));
}

}  // namespace

RecordListManager::RecordListManager(MyGUI::Gui* gui_, RecordTable* table, GameSession* session_)
    : gui(gui_), session(session_), recordTable(table)
{
    buildLayout();
    panel->setVisible(false);
}

RecordListManager::~RecordListManager()
{
    if (connectingBox)
        gui->destroyWidget(connectingBox);
    if (panel)
        gui->destroyWidget(panel);
}

void RecordListManager::buildLayout()
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int left = view.width - 488;
    const int top = (view.height - kPanelHeight) / 3;

    panel = gui->createWidget<MyGUI::Widget>("WhiteSkin", left, top, kPanelWidth, kPanelHeight,
                                             MyGUI::Align::Default, "Main", "ARM_topList");
    panel->setColour(MyGUI::Colour::Black);
    panel->setAlpha(0.0f);
    topBox = panel->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, kPanelWidth, kPanelHeight, MyGUI::Align::Default);
    topBox->setAlpha(0.0f);
    listBox =
        panel->createWidget<MyGUI::Widget>("WhiteSkin", 0, 100, kPanelWidth, kPanelHeight, MyGUI::Align::Default);
    listBox->setAlpha(0.0f);

    localButton = panel->createWidget<MyGUI::Button>("Button", 0, 0, 60, 36, MyGUI::Align::Default);
    localButton->setInheritsAlpha(false);
    localButton->setCaption("Local");
    localButton->eventMouseButtonClick += MyGUI::newDelegate(this, &RecordListManager::onLocalClicked);
    localButton->setEnabled(false);
    worldButton = panel->createWidget<MyGUI::Button>("Button", 70, 0, 60, 36, MyGUI::Align::Default);
    worldButton->setInheritsAlpha(false);
    worldButton->setCaption("World");
    worldButton->eventMouseButtonClick += MyGUI::newDelegate(this, &RecordListManager::onWorldClicked);

    separator = panel->createWidget<MyGUI::Widget>("WhiteSkin", 0, 40, kPanelWidth, 6, MyGUI::Align::Default);
    separator->setColour(MyGUI::Colour::Black);
    separator->setAlpha(0.5f);
    separator->setInheritsAlpha(false);

    connectingBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", left + (kPanelWidth - 200) / 2, top + 300, 200,
                                                     30, MyGUI::Align::Default, "Main");
    connectingBox->setColour(MyGUI::Colour::Black);
    connectingBox->setAlpha(0.5f);
    connectingBox->setVisible(false);
    connectingCaption = "Connecting...";
    connectingText =
        connectingBox->createWidget<MyGUI::TextBox>("TextBox", 4, 4, 200, 30, MyGUI::Align::Default);
    connectingText->setCaption(connectingCaption);
    connectingShown = connectingText->getCaption();
    connectingText->setFontName("ArialBold.14");
    connectingText->setTextColour(MyGUI::Colour::White);
    connectingText->setInheritsAlpha(false);

    makeRows(topBox, topRows.data(), kTopRows);
    makeRows(listBox, listRows.data(), kListRows);
    refreshTexts();
}

void RecordListManager::refreshTexts()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    if (!profile || profile->getLanguageCount() == 0)
        return;
    GameSettings* settings = session->settings;
    if (settings && settings->Language >= profile->getLanguageCount())
        settings->Language = 0;
    const uint32_t language = settings ? settings->Language : 0;
    localButton->setCaption(toUTFString(profile->getText(language, UiTextId::RecordsLocal)));
    worldButton->setCaption(toUTFString(profile->getText(language, UiTextId::RecordsWorld)));
    connectingCaption = profile->getText(language, UiTextId::RecordsConnecting);
    unavailableCaption = profile->getText(language, UiTextId::RecordsUnavailable);
    connectingText->setCaption(toUTFString(connectingCaption + "....."));
    connectingShown = connectingText->getCaption();
}

std::string RecordListManager::formatRowTime(float seconds)
{
    // A damaged table may hold any value; the text has room for what a play can last.
    constexpr float kLongest = 3.6e7f;
    if (!(seconds > 0.0f))
        seconds = 0.0f;
    return formatRaceTime(seconds > kLongest ? kLongest : seconds);
}

std::string RecordListManager::valueText(float value) const
{
    return isTime ? formatRowTime(value) : Ogre::StringConverter::toString(value);
}

void RecordListManager::setRowColour(int row, bool highlighted)
{
    const MyGUI::Colour& colour = highlighted ? kHighlight : (row % 2 == 0 ? MyGUI::Colour::White : kGrey);
    for (MyGUI::TextBox* t : {listRows[row].number, listRows[row].name, listRows[row].value})
        t->setTextColour(colour);
}

void RecordListManager::showRow(RecordRow& row, bool on)
{
    for (MyGUI::Widget* w : {row.background, static_cast<MyGUI::Widget*>(row.number),
                             static_cast<MyGUI::Widget*>(row.name), static_cast<MyGUI::Widget*>(row.value)})
        w->setVisible(on);
}

void RecordListManager::clearRows()
{
    for (int k = 0; k < kListRows; ++k)
        fillRow(listRows[k], k + 1, "", "");
}

void RecordListManager::showLocal(uint32_t place1, uint8_t isTime_)
{
    panel->setVisible(true);
    isTime = isTime_;
    highlightRank = place1;
    connectingBox->setVisible(false);
    topBox->setVisible(true);
    listBox->setVisible(true);

    const bool withTop = place1 > 5;
    if (withTop) {
        topBox->setVisible(true);
        listBox->setPosition(0, 105);
        for (int k = 0; k < kTopRows; ++k) {
            const RecordEntry& e = recordTable->localEntry(k);
            fillRow(topRows[k], k + 1, e.name, valueText(e.value));
        }
    } else {
        topBox->setVisible(false);
        listBox->setPosition(0, 0);
    }
    for (int k = 0; k < kListRows; ++k)
        showRow(listRows[k], !withTop || k < kRowsUnderTopBox);

    uint32_t first = 0;
    if (place1 > 95)
        first = 89;
    else if (place1 > 10)
        first = place1 - 5;
    // Places 8 to 10 and 97 to 100 would fall on the rows the top box hides: the window moves
    // down just far enough for the player to see the row.
    if (withTop && place1 <= RecordTable::capacity && place1 > first + kRowsUnderTopBox)
        first = place1 - kRowsUnderTopBox;

    for (int r = 0; r < kListRows; ++r) {
        const uint32_t index = first + r;
        if (index < RecordTable::capacity) {
            const RecordEntry& e = recordTable->localEntry(index);
            fillRow(listRows[r], index + 1, e.name, valueText(e.value));
        } else {
            fillRow(listRows[r], index + 1, "", "");
        }
        setRowColour(r, static_cast<uint32_t>(r) + first + 1 == place1);
    }
}

void RecordListManager::showWorld(uint8_t isTime_)
{
    panel->setVisible(true);
    isTime = isTime_;
    topBox->setVisible(worldReceived != 0);
    listBox->setVisible(worldReceived != 0);
    connectingBox->setVisible(worldReceived == 0);
    if (!worldReceived)
        return;

    GameModeDef* mode = session && session->profile ? session->profile->getMode(session->selectedMode) : nullptr;
    const bool withTop = recordTable->hasWorldTop != 0;
    if (withTop) {
        topBox->setVisible(true);
        listBox->setPosition(0, 105);
        if (mode)
            mode->progress3 = recordTable->worldTopEntry(0).value;
        for (int k = 0; k < kTopRows; ++k) {
            const RecordEntry& e = recordTable->worldTopEntry(k);
            fillRow(topRows[k], e.rank, e.name, valueText(e.value));
        }
    } else {
        if (mode)
            mode->progress3 = recordTable->worldNearEntry(0).value;
        topBox->setVisible(false);
        listBox->setPosition(0, 0);
    }
    for (int k = 0; k < kListRows; ++k) {
        showRow(listRows[k], !withTop || k < kRowsUnderTopBox);
        const RecordEntry& e = recordTable->worldNearEntry(k);
        fillRow(listRows[k], e.rank, e.name, valueText(e.value));
        setRowColour(k, static_cast<uint32_t>(k) == recordTable->playerNearRow);
    }
}

void RecordListManager::selectLocal()
{
    clearRows();
    showLocal(highlightRank, isTime);
    localButton->setEnabled(false);
    localButton->setAlpha(1.0f);
    worldButton->setEnabled(true);
}

void RecordListManager::selectWorld()
{
    clearRows();
    showWorld(isTime);
    localButton->setEnabled(true);
    worldButton->setEnabled(false);
    worldButton->setAlpha(1.0f);
}

bool RecordListManager::localOnShow() const { return !localButton->getEnabled(); }

void RecordListManager::onLocalClicked(MyGUI::Widget*) { selectLocal(); }

void RecordListManager::onWorldClicked(MyGUI::Widget*) { selectWorld(); }

void RecordListManager::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick)
{
    if (!worldReceived && session->scoreReplyReady) {
        const std::string reply = session->scoreReply;
        recordTable->parseWorldReply(reply);
        session->scoreReplyReady = 0;
        worldReceived = 1;
        if (!worldButton->getEnabled()) {
            clearRows();
            showWorld(isTime);
        }
    }

    // Once the client has given up, the box stops promising a table that will not come.
    const uint8_t unavailable = !worldReceived && session->scoreUnavailable ? 1 : 0;
    if (unavailable != worldUnavailable) {
        worldUnavailable = unavailable;
        connectingText->setCaption(unavailable ? toUTFString(unavailableCaption) : connectingShown);
    }

    MyGUI::Button* blinking = nullptr;
    if (worldReceived && localOnShow())
        blinking = worldButton;
    else if (!localOnShow())
        blinking = localButton;
    if (blinking) {
        blinkPhase += dt * 20.0f;
        if (blinkPhase > 360.0f)
            blinkPhase -= 360.0f;
        blinking->setAlpha(remapLinear(-1.0f, 1.0f, std::cos(blinkPhase), 0.2f, 1.0f));
    }

    const bool pressed = !session->challengeMode &&
                         (panelinput::keyDown(keyboard, OIS::KC_TAB) ||
                          panelinput::padButtonDown(joystick, session->gamepadEnabled != 0, 3));
    if (!pressed) {
        keyLatch = 0;
        return;
    }
    if (keyLatch)
        return;
    if (localOnShow())
        selectWorld();
    else
        selectLocal();
    keyLatch = 1;
}
