#include "screens/Priget_Menu_MainMenu.h"

#include "core/ControllerSmoothCaption.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <MyGUI_RotatingSkin.h>
#include <OIS/OIS.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

const char* const kItemNames[Priget_Menu_MainMenu::kItemCount] = {
    "mm_CampBtn", "mm_FreeBtn", "mm_SkirmBtn", "mm_ProfBtn", "mm_ExtraBtn",
    "mm_ExtraBtn", "mm_ExtraBtn", "mm_OptnBtn", "mm_QuitBtn"};
const char* const kItemCaptions[Priget_Menu_MainMenu::kItemCount] = {
    "Arcade Mode", "Time Attack Mode", "Survival Mode", "Vampire Mode", "Colour Combo Mode",
    "Close Combat Mode", "Challenge Mode", "Options", "Quit Game"};
const char* const kChallengeHint = "Up to the challenge? Fight in a story-based campaign";
const char* const kOptionsHint = "Configure the game";
const char* const kQuitHint = "Exit game";
const float kVersion = 1.004f;
const float kPi = 3.14159265f;

// "<word> 1.004": the version line in the player's language.
MyGUI::UString versionCaption(const std::string& word)
{
    std::ostringstream version;
    version.precision(6);
    version << word << " " << kVersion;
    return toUTFString(version.str());
}

bool povIs(int direction, int a, int b, int c) { return direction == a || direction == b || direction == c; }

bool contains(const MyGUI::Widget* w, int x, int y)
{
    const MyGUI::IntCoord c = w->getAbsoluteCoord();
    return x >= c.left && x <= c.left + c.width && y >= c.top && y <= c.top + c.height;
}

template <class T>
void destroyWidget(MyGUI::Gui* gui, T*& widget)
{
    if (widget && gui)
        gui->destroyWidget(widget);
    widget = nullptr;
}

}  // namespace

Priget_Menu_MainMenu::Priget_Menu_MainMenu(GameSession* session_, MyGUI::Gui* gui_, GlobalSounds* sounds)
    : Priget(gui_), globalSounds(sounds), session(session_)
{
    if (session)
        session->selectedIndex = 0;
    introTimer = 1.0f;
    shownHeight = 0.0f;
    navLatch = 1;
    create(true);
}

Priget_Menu_MainMenu::~Priget_Menu_MainMenu()
{
    destroyWidgets();
}

void Priget_Menu_MainMenu::destroyWidgets()
{
    delete caption_;
    caption_ = nullptr;
    destroyWidget(gui, helpLine_);
    destroyWidget(gui, helpStrip_);
    destroyWidget(gui, versionText_);
    destroyWidget(gui, background_);
    // The items and markers go with the main frame, the yes and no buttons with the quit box.
    for (MyGUI::Widget*& frame : frames_)
        destroyWidget(gui, frame);
    items_.fill(nullptr);
    markers_.fill(nullptr);
    destroyWidget(gui, quitBox_);
    quitYes_ = nullptr;
    quitNo_ = nullptr;
    for (MyGUI::ImageBox*& cog : cogs_)
        destroyWidget(gui, cog);
    cogSkins_.fill(nullptr);
    destroyWidget(gui, logo_);
}

void Priget_Menu_MainMenu::destroy()
{
    delete caption_;
    caption_ = nullptr;
    destroyWidget(gui, helpLine_);
    destroyWidget(gui, background_);
    destroyWidget(gui, frames_[2]);
    items_.fill(nullptr);
    markers_.fill(nullptr);
    created = 0;
}

void Priget_Menu_MainMenu::create(bool showNow)
{
    if (created)
        return;
    created = 1;
    visible = showNow ? 1 : 0;
    if (session)
        session->inputLatch = 1;

    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;

    versionText_ = gui->createWidget<MyGUI::TextBox>("TextBox", W - 416, H - 52, 400, 40, MyGUI::Align::Default,
                                                     "OverPause");
    versionText_->setTextColour(MyGUI::Colour::White);
    versionText_->setTextAlign(MyGUI::Align::Right | MyGUI::Align::Bottom);
    versionText_->setCaption(versionCaption("Version"));

    const int logoLeft = (W - 512) / 2 + 16;
    const int logoTop = static_cast<int>(0.11f * static_cast<float>(H) - 100.0f);
    logo_ = gui->createWidget<MyGUI::ImageBox>("ImageBox", logoLeft, logoTop, 512, 256, MyGUI::Align::Default,
                                               "OverPause");
    logo_->setImageTexture("VNT_LogoB.png");
    // The logo's picture reaches over the first items: it must not take the pointer from them.
    logo_->setNeedMouseFocus(false);
    versionText_->setNeedMouseFocus(false);

    // Quit box: the question and two buttons on a half-dark panel; the texts stay opaque.
    quitBox_ = gui->createWidget<MyGUI::Widget>("WhiteSkin", (W - 290) / 2, (H - 130) / 2, 290, 100,
                                                MyGUI::Align::Default, "Main");
    quitBox_->setColour(MyGUI::Colour::Black);
    quitBox_->setAlpha(0.5f);
    quitBox_->setVisible(false);
    quitQuestion_ = quitBox_->createWidget<MyGUI::TextBox>("TextBox", 0, 20, 290, 25, MyGUI::Align::Default);
    quitQuestion_->setTextColour(MyGUI::Colour::White);
    quitQuestion_->setTextAlign(MyGUI::Align::Center);
    quitQuestion_->setCaption("Do you really want to quit?");
    quitQuestion_->setInheritsAlpha(false);
    quitYes_ = quitBox_->createWidget<MyGUI::Button>("SelectedButton", 35, 58, 100, 32, MyGUI::Align::Default);
    quitYes_->setCaption("Yes");
    quitNo_ = quitBox_->createWidget<MyGUI::Button>("SelectedButton", 155, 58, 100, 32, MyGUI::Align::Default);
    quitNo_->setCaption("No");
    for (MyGUI::Button* b : {quitYes_, quitNo_}) {
        b->setInheritsAlpha(false);
        b->eventRootMouseChangeFocus += MyGUI::newDelegate(this, &Priget_Menu_MainMenu::onQuitItemFocus);
    }

    struct CogSpec {
        const char* texture;
        const char* layer;
        int left, top, size;
    };
    const CogSpec cogSpecs[kCogCount] = {
        {"hudCogW1.png", "OverPause", -104, H - 148, 256},
        {"hudCogW2.png", "OverPause", 124, H - 42, 64},
        {"hudCogW2.png", "Backgound2", 124, H - 42, 64},
        {"hudCogW1.png", "Backgound2", logoLeft + 341, logoTop + 56, 128},
        {"hudCogW2.png", "Backgound2", logoLeft + 300, logoTop + 133, 64},
    };
    for (int i = 0; i < kCogCount; ++i) {
        const CogSpec& s = cogSpecs[i];
        MyGUI::ImageBox* cog = gui->createWidget<MyGUI::ImageBox>("RotatingSkin", s.left, s.top, s.size, s.size,
                                                                  MyGUI::Align::Default, s.layer);
        cog->setImageTexture(s.texture);
        cog->setColour(MyGUI::Colour::Black);
        cog->setAlpha(0.5f);
        cog->setNeedMouseFocus(false);
        cogs_[static_cast<size_t>(i)] = cog;
        MyGUI::RotatingSkin* skin =
            cog->getSubWidgetMain() ? cog->getSubWidgetMain()->castType<MyGUI::RotatingSkin>(false) : nullptr;
        if (skin)
            skin->setCenter(MyGUI::IntPoint(s.size / 2, s.size / 2));
        cogSkins_[static_cast<size_t>(i)] = skin;
    }

    background_ = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, W, H, MyGUI::Align::Default, "Backgound",
                                                     "mm_bg");

    const int frameTop = logoTop + 190;
    const int frameLeft = (W - 180) / 2;
    const int frameX[3] = {frameLeft - 20, frameLeft + 190, frameLeft};
    const int frameW[3] = {10, 10, 180};
    for (int i = 0; i < 3; ++i) {
        MyGUI::Widget* frame = gui->createWidget<MyGUI::Widget>("WhiteSkin", frameX[i], frameTop, frameW[i], 368,
                                                                MyGUI::Align::Default, "Main", "mm_menu");
        frame->setColour(MyGUI::Colour::Black);
        frame->setAlpha(0.5f);
        frames_[static_cast<size_t>(i)] = frame;
    }

    MyGUI::Widget* main = frames_[2];
    for (int i = 0; i < kItemCount; ++i) {
        MyGUI::Button* b = main->createWidget<MyGUI::Button>("SelectedButton", 8, 8 + 40 * i, 164, 32,
                                                             MyGUI::Align::Default, kItemNames[i]);
        b->setCaption(kItemCaptions[i]);
        b->setInheritsAlpha(false);
        b->eventRootMouseChangeFocus += MyGUI::newDelegate(this, &Priget_Menu_MainMenu::onItemFocus);
        items_[static_cast<size_t>(i)] = b;
        if (i < kMarkerCount) {
            MyGUI::Widget* m = main->createWidget<MyGUI::Widget>("NewY", 8 - 6, 8 + 40 * i - 4, 46, 16,
                                                                 MyGUI::Align::Default);
            m->setVisible(false);
            m->setNeedMouseFocus(false);
            m->setInheritsAlpha(false);
            markers_[static_cast<size_t>(i)] = m;
        }
    }

    helpStrip_ = gui->createWidget<MyGUI::Widget>("WhiteSkin", 20, H - 45, W - 40, 30, MyGUI::Align::Default,
                                                  "OverPause");
    helpStrip_->setColour(MyGUI::Colour::Black);
    helpStrip_->setAlpha(0.5f);
    helpStrip_->setNeedMouseFocus(false);

    helpLine_ = gui->createWidget<MyGUI::TextBox>("TextBox", 30, H - 40, 740, 30, MyGUI::Align::Default, "Main");
    helpLine_->setCaption("Text Text Text Text Text Text Text Text Text Text Text ");
    helpLine_->setNeedMouseFocus(false);
    MyGUI::ControllerItem* item =
        MyGUI::ControllerManager::getInstance().createItem(ControllerSmoothCaption::getClassTypeName());
    caption_ = item ? item->castType<ControllerSmoothCaption>(false) : nullptr;
    if (!caption_)
        delete item;
    if (caption_)
        caption_->prepareItem(helpLine_);

    if (session && session->profile)
        reset();
}

uint32_t Priget_Menu_MainMenu::language() const
{
    return session && session->settings ? session->settings->Language : 0;
}

void Priget_Menu_MainMenu::setCaptions()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    if (!profile || profile->getLanguageCount() == 0 || !items_[0])
        return;
    if (session->settings && session->settings->Language >= profile->getLanguageCount())
        session->settings->Language = 0;
    const uint32_t lang = language();
    for (int i = 0; i < kModeCount; ++i)
        items_[static_cast<size_t>(i)]->setCaption(toUTFString(profile->getModeTitle(lang, static_cast<uint32_t>(i))));
    items_[6]->setCaption(toUTFString(profile->getText(lang, UiTextId::ChallengeMode)));
    items_[7]->setCaption(toUTFString(profile->getText(lang, UiTextId::Options)));
    items_[8]->setCaption(toUTFString(profile->getText(lang, UiTextId::QuitGame)));
    if (quitQuestion_) {
        quitQuestion_->setCaption(toUTFString(profile->getText(lang, UiTextId::QuitQuestion)));
        quitYes_->setCaption(toUTFString(profile->getText(lang, UiTextId::Yes)));
        quitNo_->setCaption(toUTFString(profile->getText(lang, UiTextId::No)));
    }
    if (versionText_)
        versionText_->setCaption(versionCaption(profile->getText(lang, UiTextId::Version)));
}

void Priget_Menu_MainMenu::layoutByLocks()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    if (!profile || !items_[0])
        return;
    auto unlocked = [&](int mode) {
        const GameModeDef* def = profile->getMode(static_cast<uint32_t>(mode));
        return def && !def->locked;
    };
    for (int i = kModeCount - 1; i >= 0; --i)
        if (unlocked(i)) {
            shownModeCount = static_cast<uint32_t>(std::min(i, 4));
            break;
        }

    for (int i = 1; i <= 5; ++i) {
        items_[static_cast<size_t>(i)]->setEnabled(false);
        items_[static_cast<size_t>(i)]->setAlpha(0.5f);
        if (i >= 2)
            items_[static_cast<size_t>(i)]->setVisible(false);
    }
    items_[0]->setAlpha(0.5f);
    for (MyGUI::Widget* m : markers_)
        m->setAlpha(0.0f);

    for (int i = 0; i < kModeCount; ++i) {
        if (!unlocked(i))
            continue;
        items_[static_cast<size_t>(i)]->setAlpha(1.0f);
        if (profile->getMode(static_cast<uint32_t>(i))->progress0 == 0)
            markers_[static_cast<size_t>(i)]->setAlpha(1.0f);
    }
    if (profile->profileCounter == 0)
        markers_[6]->setAlpha(1.0f);

    items_[1]->setEnabled(true);
    for (int i = 2; i <= 5; ++i)
        if (shownModeCount >= static_cast<uint32_t>(i - 1)) {
            items_[static_cast<size_t>(i)]->setEnabled(true);
            items_[static_cast<size_t>(i)]->setVisible(true);
        }

    const int k = static_cast<int>(shownModeCount);
    menuHeight = static_cast<uint32_t>(208 + 40 * k);
    shownHeight = static_cast<float>(menuHeight);
    items_[6]->setPosition(8, 88 + 40 * k);
    items_[7]->setPosition(8, 128 + 40 * k);
    items_[8]->setPosition(8, 168 + 40 * k);
    frames_[2]->setSize(180, static_cast<int>(menuHeight));
    frames_[0]->setSize(10, static_cast<int>(menuHeight));
    frames_[1]->setSize(10, static_cast<int>(menuHeight));
    markers_[6]->setPosition(8 - 6, 88 + 40 * k - 4);
    setButtonStates(true);
}

void Priget_Menu_MainMenu::reset()
{
    setCaptions();
    setButtonStates(true);
    layoutByLocks();
    show(true);
}

void Priget_Menu_MainMenu::show(bool v)
{
    if (!helpLine_)
        return;
    helpLine_->setVisible(v);
    helpStrip_->setVisible(v);
    helpStrip_->setSize(0, 30);
    if (v) {
        shownHeight = 0.0f;
        for (MyGUI::Widget* frame : frames_) {
            frame->setAlpha(0.0f);
            frame->setVisible(true);
        }
        introTimer = 1.0f;
        cogs_[2]->setVisible(true);
        cogs_[2]->setAlpha(0.0f);
        for (MyGUI::Button* b : items_)
            b->setVisible(false);
        for (MyGUI::Widget* m : markers_)
            m->setVisible(false);
    } else {
        for (MyGUI::Widget* frame : frames_)
            frame->setVisible(false);
        cogs_[2]->setVisible(false);
    }
}

void Priget_Menu_MainMenu::hide()
{
    if (!helpLine_)
        return;
    frames_[2]->setVisible(false);
    frames_[0]->setVisible(false);
    cogs_[2]->setVisible(false);
    frames_[1]->setVisible(false);
    helpLine_->setVisible(false);
    helpStrip_->setVisible(false);
}

void Priget_Menu_MainMenu::turnCog(int index, float by)
{
    float& angle = cogAngles_[static_cast<size_t>(index)];
    angle = std::fmod(angle + by, 2.0f * kPi);
    if (MyGUI::RotatingSkin* skin = cogSkins_[static_cast<size_t>(index)])
        skin->setAngle(angle);
}

float Priget_Menu_MainMenu::cogAngle(int index) const { return cogAngles_[static_cast<size_t>(index)]; }

void Priget_Menu_MainMenu::turnCogs(float dt, float factor)
{
    turnCog(0, -3.5f * dt * factor);
    turnCog(1, 10.5f * dt * factor);
    turnCog(3, 1.5f * dt * factor);
    turnCog(4, -1.5f * dt * factor);
}

void Priget_Menu_MainMenu::runIntro(float dt)
{
    if (introTimer == 0.0f || !items_[0])
        return;
    float t = introTimer - dt;
    if (t < 0.0f)
        t = 0.0f;
    introTimer = t;

    frames_[2]->setAlpha(remapClamped(0.75f, 0.95f, t, 0.5f, 0.0f));
    frames_[0]->setAlpha(remapClamped(0.7f, 0.9f, t, 0.5f, 0.0f));
    frames_[1]->setAlpha(remapClamped(0.7f, 0.9f, t, 0.5f, 0.0f));
    cogs_[2]->setAlpha(remapClamped(0.6f, 0.8f, t, 0.5f, 0.0f));
    if (cogs_[3]->getAlpha() != 0.5f)
        cogs_[3]->setAlpha(remapClamped(0.0f, 0.4f, t, 0.5f, 0.0f));
    if (cogs_[4]->getAlpha() != 0.5f)
        cogs_[4]->setAlpha(remapClamped(0.0f, 0.2f, t, 0.5f, 0.0f));

    shownHeight = remapClamped(0.5f, 1.0f, t, static_cast<float>(menuHeight), 0.0f);
    const int height = static_cast<int>(shownHeight);
    frames_[2]->setSize(180, height);
    frames_[0]->setSize(10, height);
    frames_[1]->setSize(10, height);
    const MyGUI::IntCoord main = frames_[2]->getCoord();
    cogs_[2]->setPosition(main.left - 32, static_cast<int>(static_cast<float>(main.top) + shownHeight - 32.0f));

    auto reveal = [&](int i, float below) {
        if (t < below) {
            items_[static_cast<size_t>(i)]->setVisible(true);
            if (i < kMarkerCount)
                markers_[static_cast<size_t>(i)]->setVisible(true);
        }
    };
    reveal(0, 0.7f);
    reveal(1, 0.65f);
    if (shownModeCount > 0)
        reveal(2, 0.6f);
    if (shownModeCount > 1)
        reveal(3, 0.55f);
    if (shownModeCount > 2)
        reveal(4, 0.5f);
    if (shownModeCount > 3)
        reveal(5, 0.45f);
    const float s = static_cast<float>(5 - static_cast<int>(shownModeCount)) * 0.05f;
    reveal(6, 0.4f + s);
    reveal(7, 0.35f + s);
    reveal(8, 0.3f + s);
}

void Priget_Menu_MainMenu::animateIn(float dt)
{
    runIntro(dt);
    turnCogs(dt, 1.0f);
}

void Priget_Menu_MainMenu::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!created || !items_[0])
        return;
    const float rest = 1.0f - introTimer;
    if (session->menuPhase == 0)
        turnCogs(dt, rest);

    // Cog 3 turns to the current item's angle and stops on it.
    const float target = 2.0f * static_cast<float>(session->selectedIndex);
    float& angle = cogAngles_[2];
    const float step = 5.5f * rest * dt;
    if (std::fabs(target - angle) <= step)
        angle = target;
    else
        angle += target > angle ? step : -step;
    if (cogSkins_[2])
        cogSkins_[2]->setAngle(angle);

    if (mouse) {
        const OIS::MouseState& ms = mouse->getMouseState();
        if (session->menuPhase == 0)
            hitTestButtons(ms.X.abs, ms.Y.abs);
        else if (session->menuPhase == 1)
            hitTestQuitButtons(ms.X.abs, ms.Y.abs);
    }

    runIntro(dt);

    if (caption_)
        caption_->addTime(helpLine_, 2.0f * dt);
    helpStrip_->setSize(helpLine_->getTextSize().width + 20, 30);

    navigate(keyboard, joystick, mouse);
}

void Priget_Menu_MainMenu::navigate(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    const bool quitBox = session->menuPhase == 1;
    int pov = OIS::Pov::Centered;
    int axis0 = 0, axis1 = 0;
    if (joystick && session->gamepadEnabled) {
        const OIS::JoyStickState& js = joystick->getJoyStickState();
        pov = js.mPOV[0].direction;
        // A pad without those axes counts as centred.
        axis0 = js.mAxes.size() > 0 ? js.mAxes[0].abs : 0;
        axis1 = js.mAxes.size() > 1 ? js.mAxes[1].abs : 0;
    }
    auto key = [&](OIS::KeyCode k) { return keyboard && keyboard->isKeyDown(k); };
    const int wheel = mouse ? mouse->getMouseState().Z.rel : 0;
    const bool right = mouse && mouse->getMouseState().buttonDown(OIS::MB_Right);
    const bool up = key(OIS::KC_UP) || key(OIS::KC_W) || wheel > 0 ||
                    povIs(pov, OIS::Pov::North, OIS::Pov::NorthEast, OIS::Pov::NorthWest) || axis0 < -16384;
    const bool down = key(OIS::KC_DOWN) || key(OIS::KC_S) || wheel < 0 ||
                      povIs(pov, OIS::Pov::South, OIS::Pov::SouthEast, OIS::Pov::SouthWest) || axis0 > 16383;
    const bool toRight = quitBox && (key(OIS::KC_RIGHT) || key(OIS::KC_D) ||
                                     povIs(pov, OIS::Pov::East, OIS::Pov::NorthEast, OIS::Pov::SouthEast) ||
                                     axis1 > 16383);
    const bool toLeft = quitBox && (key(OIS::KC_LEFT) || key(OIS::KC_A) ||
                                    povIs(pov, OIS::Pov::West, OIS::Pov::NorthWest, OIS::Pov::SouthWest) ||
                                    axis1 < -16384);
    if (!(right || up || down || toRight || toLeft)) {
        navLatch = 0;
        return;
    }
    if (navLatch)
        return;
    navLatch = 1;
    if (session->mouseOverButton) {
        if (globalSounds)
            globalSounds->playWarning();
        return;
    }
    if (right) {
        if (quitBox) {
            session->selectedIndex = 0;
            setQuitButtonStates(true);
        } else {
            session->selectedIndex = kQuitItem;
            setButtonStates(true);
        }
    } else if (up || down) {
        if (quitBox)
            toggleQuitItem();
        else
            moveSelection(up ? -1 : 1);
    } else {
        toggleQuitItem();
    }
}

void Priget_Menu_MainMenu::moveSelection(int step)
{
    if (globalSounds)
        globalSounds->playMove();
    int index = static_cast<int>(std::min<uint32_t>(session->selectedIndex, kItemCount - 1));
    for (int tries = 0; tries < kItemCount; ++tries) {
        index = (index + step + kItemCount) % kItemCount;
        if (items_[static_cast<size_t>(index)]->getEnabled())
            break;
    }
    session->selectedIndex = static_cast<uint32_t>(index);
    setButtonStates(true);
}

void Priget_Menu_MainMenu::toggleQuitItem()
{
    if (globalSounds)
        globalSounds->playMove();
    const uint32_t other = session->selectedIndex == 1 ? 0 : 1;
    MyGUI::Button* button = other == 0 ? quitYes_ : quitNo_;
    if (button->getEnabled())
        session->selectedIndex = other;
    setQuitButtonStates(true);
}

void Priget_Menu_MainMenu::hitTestButtons(int x, int y)
{
    for (int i = 0; i < kItemCount; ++i) {
        MyGUI::Button* b = items_[static_cast<size_t>(i)];
        if (i >= 2 && i <= 5 && !b->getVisible())
            continue;
        if (contains(b, x, y)) {
            session->selectedIndex = static_cast<uint32_t>(i);
            setButtonStates(false);
            return;
        }
    }
}

void Priget_Menu_MainMenu::hitTestQuitButtons(int x, int y)
{
    const MyGUI::Button* buttons[2] = {quitYes_, quitNo_};
    for (uint32_t i = 0; i < 2; ++i)
        if (contains(buttons[i], x, y)) {
            session->selectedIndex = i;
            setQuitButtonStates(false);
            return;
        }
}

void Priget_Menu_MainMenu::pushHelp(const std::string& text)
{
    // The caption property ("Widget_Caption" in the GUI's old naming): the controller takes the
    // new text and types it out anew.
    if (helpLine_)
        helpLine_->setProperty("Caption", text);
}

void Priget_Menu_MainMenu::setButtonStates(bool withHelp)
{
    if (!items_[0])
        return;
    if (withHelp)
        pushHelp(itemHelpText());
    for (uint32_t i = 0; i < kItemCount; ++i)
        items_[i]->_setWidgetState(i == session->selectedIndex ? "normal" : "normal_NotSel");
}

void Priget_Menu_MainMenu::setQuitButtonStates(bool withHelp)
{
    if (!quitYes_)
        return;
    if (withHelp)
        pushHelp(quitHelpText());
    quitYes_->_setWidgetState(session->selectedIndex == 0 ? "normal" : "normal_NotSel");
    quitNo_->_setWidgetState(session->selectedIndex == 1 ? "normal" : "normal_NotSel");
}

std::string Priget_Menu_MainMenu::itemHelpText() const
{
    const PlayerProfile* profile = session ? session->profile : nullptr;
    const uint32_t index = session ? session->selectedIndex : 0;
    const bool texts = profile && profile->getLanguageCount() > 0;
    switch (index) {
    case 0: case 1: case 2: case 3: case 4: case 5:
        return profile ? profile->getModeDescription(language(), index) : std::string();
    case 6:
        return texts ? profile->getText(language(), UiTextId::ChallengeModeHint) : kChallengeHint;
    case 7:
        return texts ? profile->getText(language(), UiTextId::OptionsHint) : kOptionsHint;
    case 8:
        return texts ? profile->getText(language(), UiTextId::QuitGameHint) : kQuitHint;
    default:
        return std::string();
    }
}

std::string Priget_Menu_MainMenu::quitHelpText() const
{
    const bool back = session && session->selectedIndex == 1;
    const PlayerProfile* profile = session ? session->profile : nullptr;
    if (profile && profile->getLanguageCount() > 0)
        return profile->getText(language(), back ? UiTextId::OptBack : UiTextId::QuitGameHint);
    return back ? "Back to main menu" : "Quit game";
}

MyGUI::Widget* Priget_Menu_MainMenu::getFreeButton() const { return gui->findWidgetT("mm_FreeBtn", false); }
MyGUI::Widget* Priget_Menu_MainMenu::getSkirmButton() const { return gui->findWidgetT("mm_SkirmBtn", false); }
MyGUI::Widget* Priget_Menu_MainMenu::getProfButton() const { return gui->findWidgetT("mm_ProfBtn", false); }
MyGUI::Widget* Priget_Menu_MainMenu::getOptionsButton() const { return gui->findWidgetT("mm_OptnBtn", false); }
MyGUI::Widget* Priget_Menu_MainMenu::getQuitButton() const { return gui->findWidgetT("mm_QuitBtn", false); }

void Priget_Menu_MainMenu::onItemFocus(MyGUI::Widget*, bool gained)
{
    session->mouseOverButton = gained ? 1 : 0;
    if (!gained)
        return;
    if (globalSounds)
        globalSounds->playMove();
    pushHelp(itemHelpText());
}

void Priget_Menu_MainMenu::onQuitItemFocus(MyGUI::Widget* sender, bool gained)
{
    session->mouseOverButton = gained ? 1 : 0;
    if (!gained)
        return;
    if (globalSounds)
        globalSounds->playMove();
    // The hovered button is the chosen one, and the hint speaks of it.
    if (sender == quitYes_ || sender == quitNo_)
        session->selectedIndex = sender == quitYes_ ? 0 : 1;
    setQuitButtonStates(true);
}
