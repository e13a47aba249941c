#include "screens/Priget_ProfileLoad.h"

#include "core/BinaryIO.h"
#include "core/FrameInput.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/Utilities.h"
#include "platform/Platform.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

#include <OgreLogManager.h>

namespace {

// The keys that reach the name field, in the order they are looked at.
const OIS::KeyCode kTypingKeys[] = {
    OIS::KC_0, OIS::KC_1, OIS::KC_2, OIS::KC_3, OIS::KC_4, OIS::KC_5, OIS::KC_6, OIS::KC_7, OIS::KC_8,
    OIS::KC_9, OIS::KC_Q, OIS::KC_W, OIS::KC_E, OIS::KC_R, OIS::KC_T, OIS::KC_Y, OIS::KC_U, OIS::KC_I,
    OIS::KC_O, OIS::KC_P, OIS::KC_A, OIS::KC_S, OIS::KC_D, OIS::KC_F, OIS::KC_G, OIS::KC_H, OIS::KC_J,
    OIS::KC_K, OIS::KC_L, OIS::KC_Z, OIS::KC_X, OIS::KC_C, OIS::KC_V, OIS::KC_B, OIS::KC_N, OIS::KC_M,
    OIS::KC_DELETE, OIS::KC_BACK, OIS::KC_UNDERLINE, OIS::KC_LEFT, OIS::KC_RIGHT};

// Keys that edit the field rather than type into it.
bool isEditKey(int key)
{
    return key == OIS::KC_DELETE || key == OIS::KC_BACK || key == OIS::KC_LEFT || key == OIS::KC_RIGHT ||
           key == OIS::KC_HOME || key == OIS::KC_END;
}

const int kListWidth = 320;
const int kListHeight = 224;
const int kEntryWidth = 224;
const int kEntryHeight = 104;

MyGUI::IntSize viewSize() { return MyGUI::RenderManager::getInstance().getViewSize(); }

bool povIs(int direction, int a, int b, int c) { return direction == a || direction == b || direction == c; }

MyGUI::TextBox* makeTitle(MyGUI::Widget* parent, int left, int top, int width, int height, const char* caption)
{
    auto* t = parent->createWidget<MyGUI::TextBox>("TextBox", left, top, width, height, MyGUI::Align::Default);
    t->setCaption(caption);
    t->setTextAlign(MyGUI::Align::Center);
    t->setTextColour(MyGUI::Colour::White);
    t->setInheritsAlpha(false);
    t->setAlpha(1.0f);
    return t;
}

MyGUI::Button* makeButton(MyGUI::Widget* parent, int left, int top, int width, int height, const char* caption)
{
    auto* b = parent->createWidget<MyGUI::Button>("SelectedButton", left, top, width, height, MyGUI::Align::Default);
    b->setCaption(caption);
    b->setInheritsAlpha(false);
    b->setAlpha(1.0f);
    return b;
}

MyGUI::Widget* makePanel(MyGUI::Gui* gui, int width, int height, const char* name)
{
    const MyGUI::IntSize view = viewSize();
    auto* p = gui->createWidget<MyGUI::Widget>("WhiteSkin", (view.width - width) / 2, (view.height - height) / 2,
                                               width, height, MyGUI::Align::Default, "Main", name);
    p->setAlpha(0.5f);
    p->setColour(MyGUI::Colour::Black);
    return p;
}

}  // namespace

uint32_t translateWin32Text(int keyCode)
{
    return platform::keyText(keyCode);
}

std::string getFileExtension(const std::string& name)
{
    const size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

Priget_ProfileLoad::Priget_ProfileLoad(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
    : ThreeButtonPanel(session, gui, sounds)
{
    visible = 0;
    created = 0;
    slideTimer = 0.0f;
    entryMode = 0;
    navLatch = 1;
    typingLatch = 1;
    session_->selectedIndex = 0;
    session_->inputLatch = 1;
    create(true);
}

Priget_ProfileLoad::~Priget_ProfileLoad()
{
    if (listPanel)
        gui->destroyWidget(listPanel);
    if (entryPanel)
        gui->destroyWidget(entryPanel);
}

void Priget_ProfileLoad::create(bool showNow)
{
    if (created)
        return;
    visible = showNow ? 1 : 0;
    created = 1;

    listPanel = makePanel(gui, kListWidth, kListHeight, "pM_mMenu");
    profileList = listPanel->createWidget<MyGUI::ListBox>("ListBox", 112, 32, 200, 184, MyGUI::Align::Default);
    profileList->setInheritsAlpha(false);
    makeTitle(listPanel, 16, 8, 288, 24, "Select Profile");
    loadButton = makeButton(listPanel, 8, 32, 104, 32, "Load");
    createButton = makeButton(listPanel, 8, 72, 104, 32, "Create");
    quitButton = makeButton(listPanel, 8, 112, 104, 32, "Quit");
    buttons = {loadButton, createButton, quitButton};

    entryPanel = makePanel(gui, kEntryWidth, kEntryHeight, "");
    entryPanel->setVisible(false);
    makeTitle(entryPanel, 8, 8, 208, 24, "Set Profile Name");
    nameEdit = entryPanel->createWidget<MyGUI::EditBox>("EditBox", 8, 40, 208, 24, MyGUI::Align::Default);
    nameEdit->setInheritsAlpha(false);
    nameEdit->setAlpha(1.0f);
    // Longer names cannot name a profile file.
    nameEdit->setMaxTextLength(PlayerProfile::kMaxNameLength);
    // The state hands the GUI a release on every frame the button is up, which the GUI reads as
    // double clicks while the pointer rests on the field; selecting on those would make every
    // typed character replace the name.
    if (MyGUI::Widget* client = nameEdit->getClientWidget())
        client->eventMouseButtonDoubleClick.clear();
    nameEdit->eventMouseButtonDoubleClick.clear();
    entryCreateButton = makeButton(entryPanel, 8, 72, 96, 24, "Create");
    entryBackButton = makeButton(entryPanel, 112, 72, 96, 24, "Back");

    clicks_.bind(createButton, [this](MyGUI::Widget* w) { onCreateClick(w); });
    clicks_.bind(entryBackButton, [this](MyGUI::Widget* w) { onBackClick(w); });
    for (MyGUI::Button* b : buttons)
        bindMoveSound(b);

    setButtonStates();
    fillProfileList();
}

namespace {
// The terminal stays quiet; the listing goes to the game's log.
void logLine(const char* text)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}
}  // namespace

void Priget_ProfileLoad::fillProfileList()
{
    const std::string folder = kSavesFolder;
    if (!platform::isDirectory(folder)) {
        logLine("No files found.");
    } else {
        logLine("Files found.");
        for (const std::string& name : platform::listDirectory(folder))
            addProfileFile(name);
    }
    if (profileList->getItemCount() > 0)
        profileList->setIndexSelected(0);
    else
        disableLoadWhenEmpty();
}

void Priget_ProfileLoad::disableLoadWhenEmpty()
{
    loadButton->setEnabled(false);
    loadButton->setAlpha(0.5f);
    session_->selectedIndex = 1;
    setButtonStates();
}

void Priget_ProfileLoad::addProfileFile(const std::string& fileName)
{
    if (fileName == "." || fileName == "..")
        return;
    const std::string path = std::string(kSavesFolder) + fileName;
    if (platform::isDirectory(path))
        return;
    if (getFileExtension(fileName) != "ZVP")
        return;
    std::string name;
    if (!readProfileName(path, fileName, name))
        return;
    // Only names that can name a profile file: any other would load a profile that never saves.
    if (!PlayerProfile::isValidName(name))
        return;
    profileList->addItem(toUTFString(name), profileList->getItemCount());
}

bool Priget_ProfileLoad::readProfileName(const std::string& path, const std::string& fileName, std::string& name)
{
    BinaryReader in;
    if (!in.open(path))
        return false;
    uint32_t magic = 0;
    std::string marker, stored;
    if (!in.readU32(magic) || magic != PlayerProfile::kProfileMagic)
        return false;
    if (!in.readString(marker) || marker != PlayerProfile::kProfileMarker)
        return false;
    if (!in.readString(stored))
        return false;
    // File names are UTF-8 on disk, stored names Windows-1252: compare them in one encoding.
    if (!(platform::utf8ToCp1252(fileName) > stored))
        return false;
    name = stored;
    return true;
}

void Priget_ProfileLoad::show(bool visibleNow)
{
    visible = visibleNow ? 1 : 0;
    session_->selectedIndex = 0;
    if (!visibleNow) {
        slideTimer = 0.0f;
        return;
    }
    // Shown anew, the panel is in list mode: the name typed last time must not be what "Load"
    // hands on. The list shows the profiles made since it was filled.
    entryMode = 0;
    entryPanel->setVisible(false);
    profileList->removeAllItems();
    loadButton->setEnabled(true);
    loadButton->setAlpha(1.0f);
    fillProfileList();
    session_->selectedIndex = profileList->getItemCount() > 0 ? 0 : 1;
    setButtonStates();
    listPanel->setAlpha(0.5f);
    listPanel->setVisible(true);
    for (MyGUI::Button* b : buttons)
        b->setVisible(true);
    slideTimer = 1.0f;
    listPanel->setPosition(listPanel->getLeft(), (viewSize().height - kListHeight) / 2 - 20);
    if (profileList->getItemCount() > 0)
        profileList->setIndexSelected(0);
    else
        disableLoadWhenEmpty();
}

void Priget_ProfileLoad::setListVisible(bool visibleNow)
{
    listPanel->setVisible(visibleNow);
    for (MyGUI::Button* b : buttons)
        b->setVisible(visibleNow);
    slideTimer = 0.0f;
}

void Priget_ProfileLoad::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!created)
        return;
    if (slideTimer != 0.0f) {
        slideTimer -= dt;
        if (slideTimer <= 0.0f)
            slideTimer = 0.0f;
        const float y0 = static_cast<float>((viewSize().height - kListHeight) / 2);
        listPanel->setPosition(listPanel->getLeft(),
                               static_cast<int>(remapClamped(0.75f, 1.0f, slideTimer, y0, y0 - 20.0f)));
    }
    typeProfileName(keyboard);
    hitTestButtons(mouse);
    // At least four characters, and only such as can name a profile file.
    const std::string typed = platform::utf8ToCp1252(nameEdit->getOnlyText().asUTF8());
    entryCreateButton->setEnabled(typed.size() > 3 && PlayerProfile::isValidName(typed));
    // The keys belong to the name field while its dialog is open; the hidden list stays put.
    if (entryMode)
        navLatch = 1;
    else
        navigate(keyboard, joystick, mouse);
}

void Priget_ProfileLoad::moveRow(int step)
{
    const size_t count = profileList->getItemCount();
    if (count == 0)
        return;
    size_t row = profileList->getIndexSelected();
    if (row == MyGUI::ITEM_NONE)
        row = 0;
    else
        row = static_cast<size_t>((static_cast<long>(row) + step + static_cast<long>(count)) % static_cast<long>(count));
    profileList->setIndexSelected(row);
    profileList->beginToItemSelected();
    playMoveClick();
}

void Priget_ProfileLoad::navigate(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    auto key = [&](OIS::KeyCode k) { return keyboard && keyboard->isKeyDown(k); };
    int pov = OIS::Pov::Centered;
    int axis0 = 0;
    if (joystick && session_->gamepadEnabled) {
        const OIS::JoyStickState& js = joystick->getJoyStickState();
        pov = js.mPOV[0].direction;
        // A pad without an axis 0 counts as centred.
        axis0 = js.mAxes.empty() ? 0 : js.mAxes[0].abs;
    }
    const int wheel = mouse ? mouse->getMouseState().Z.rel : 0;
    const bool right = mouse && mouse->getMouseState().buttonDown(OIS::MB_Right);
    const bool up = key(OIS::KC_UP) || key(OIS::KC_W) || wheel > 0 ||
                    povIs(pov, OIS::Pov::North, OIS::Pov::NorthEast, OIS::Pov::NorthWest) || axis0 < -16384;
    const bool down = key(OIS::KC_DOWN) || key(OIS::KC_S) || wheel < 0 ||
                      povIs(pov, OIS::Pov::South, OIS::Pov::SouthEast, OIS::Pov::SouthWest) || axis0 > 16383;
    const bool previousRow = key(OIS::KC_LEFT);
    const bool nextRow = key(OIS::KC_RIGHT);
    if (!right && !up && !down && !previousRow && !nextRow) {
        navLatch = 0;
        return;
    }
    if (!navLatch) {
        if ((previousRow || nextRow) && !right && !up && !down) {
            moveRow(previousRow ? -1 : 1);
        } else if (session_->mouseOverButton) {
            playWarningClick();
        } else if (right) {
            session_->selectedIndex = 2;
            setButtonStates();
        } else if (up) {
            playMoveSound();
            setButtonStates();
        } else {
            playMenuSelectSound();
            setButtonStates();
        }
    }
    navLatch = 1;
}

void Priget_ProfileLoad::playMoveSound()
{
    selectPreviousButton();
}

void Priget_ProfileLoad::typeProfileName(OIS::Keyboard* keyboard)
{
    MyGUI::InputManager& input = MyGUI::InputManager::getInstance();
    // The GUI never sees a key held: it would repeat it.
    for (OIS::KeyCode k : kTypingKeys)
        input.injectKeyRelease(MyGUI::KeyCode::Enum(k));
    input.injectKeyRelease(MyGUI::KeyCode::Space);
    if (!keyboard)
        return;

    // The presses of this update in the order they were made; from a plain device, the keys
    // that went down since the last update.
    std::vector<KeyPress> presses;
    if (const auto* frame = dynamic_cast<const FrameKeyboard*>(keyboard)) {
        presses = frame->presses();
    } else {
        for (int k = 1; k < 256; ++k)
            if (keyboard->isKeyDown(static_cast<OIS::KeyCode>(k)) && !keysDown_.test(static_cast<size_t>(k)))
                presses.push_back(KeyPress{static_cast<OIS::KeyCode>(k), 0});
    }
    for (int k = 1; k < 256; ++k)
        keysDown_.set(static_cast<size_t>(k), keyboard->isKeyDown(static_cast<OIS::KeyCode>(k)));
    typingLatch = presses.empty() ? 0 : 1;

    if (!entryMode || keyboard->isKeyDown(OIS::KC_LCONTROL) || keyboard->isKeyDown(OIS::KC_RCONTROL))
        return;
    if (input.getKeyFocusWidget() != nameEdit)
        input.setKeyFocusWidget(nameEdit);
    for (const KeyPress& p : presses)
        typeKey(static_cast<int>(p.key), p.text ? p.text : translateWin32Text(static_cast<int>(p.key)));
}

void Priget_ProfileLoad::typeKey(int key, uint32_t text)
{
    MyGUI::InputManager& input = MyGUI::InputManager::getInstance();
    if (isEditKey(key)) {
        input.injectKeyPress(MyGUI::KeyCode::Enum(key), 0);
        return;
    }
    // Keys that type nothing (Shift, Return, the function keys) are not the field's.
    if (text < 0x20 || text == 0x7F)
        return;
    const unsigned char c = platform::codePointToCp1252(text);
    const bool fits = nameEdit->getTextLength() < PlayerProfile::kMaxNameLength;
    if (c != 0 && fits && PlayerProfile::isValidName(std::string(1, static_cast<char>(c))))
        input.injectKeyPress(MyGUI::KeyCode::Enum(key), text);
    else
        playWarningClick();
}

std::string Priget_ProfileLoad::getSelectedProfile() const
{
    if (entryMode)
        return platform::utf8ToCp1252(nameEdit->getOnlyText().asUTF8());
    const size_t row = profileList->getIndexSelected();
    if (row == MyGUI::ITEM_NONE)
        return std::string();
    return platform::utf8ToCp1252(profileList->getItemNameAt(row).asUTF8());
}

void Priget_ProfileLoad::onCreateClick(MyGUI::Widget*)
{
    setListVisible(false);
    entryMode = 1;
    entryPanel->setVisible(true);
    // Typing goes to the name at once, without a click into the field.
    MyGUI::InputManager::getInstance().setKeyFocusWidget(nameEdit);
    if (sounds_)
        sounds_->playAccept();
}

void Priget_ProfileLoad::onBackClick(MyGUI::Widget*)
{
    if (MyGUI::InputManager::getInstance().getKeyFocusWidget() == nameEdit)
        MyGUI::InputManager::getInstance().resetKeyFocusWidget();
    show(true);
    entryMode = 0;
    entryPanel->setVisible(false);
    if (sounds_)
        sounds_->playBack();
}
