#include "screens/Priget_OptionsMenu.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

Priget_OptionsMenu::Priget_OptionsMenu(GameSession* session_, MyGUI::Gui* gui_, GlobalSounds* sounds_,
                                       const std::string&, bool createNow, bool visible_)
    : Priget(gui_), sounds(sounds_), session(session_)
{
    hiddenForCapture = 0;
    if (session)
        session->selectedIndex = 0;
    visible = 0;
    created = 0;
    navLatch = 1;
    if (createNow)
        create(visible_);
    setButtonStates();
}

Priget_OptionsMenu::~Priget_OptionsMenu()
{
    destroyWidgets();
}

void Priget_OptionsMenu::destroyWidgets()
{
    // The buttons go with their panel.
    if (panel)
        gui->destroyWidget(panel);
    if (background)
        gui->destroyWidget(background);
    panel = nullptr;
    background = nullptr;
    displayButton = controlButton = audioButton = gameButton = backButton = nullptr;
}

void Priget_OptionsMenu::create(bool visible_)
{
    if (created)
        return;
    Priget::create(visible_);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    background = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, view.width, view.height,
                                                    MyGUI::Align::Default, "Backgound", "mm_bg");
    background->setImageTexture("");
    panel = gui->createWidget<MyGUI::Widget>("RimPanel", 48, 48, 168, 208, MyGUI::Align::Default, "Main", "p_Opt_MM");
    panel->setAlpha(0.5f);

    struct ButtonInfo {
        MyGUI::Button** field;
        const char* name;
        int top;
        const char* caption;
        bool enabled;
    };
    const ButtonInfo buttons[kButtonCount] = {
        {&displayButton, "p_Opt_MM_Disp", 8, "Display Options", true},
        {&controlButton, "p_Opt_MM_Ctrl", 48, "Control Options", false},
        {&audioButton, "p_Opt_MM_Audi", 88, "Audio Options", false},
        {&gameButton, "p_Opt_MM_Game", 128, "Game Options", false},
        {&backButton, "p_Opt_MM_Back", 168, "Back to Menu", true},
    };
    for (const ButtonInfo& s : buttons) {
        MyGUI::Button* b = panel->createWidget<MyGUI::Button>("SelectedButton", 8, s.top, 152, 32,
                                                              MyGUI::Align::Default, s.name);
        // The skin's own font is too wide for "Display Options" in 152 pixels.
        b->setFontName("ArialBold.14");
        b->setCaption(s.caption);
        b->setInheritsAlpha(false);
        b->setAlpha(s.enabled ? 1.0f : 0.5f);
        b->setEnabled(s.enabled);
        b->eventRootMouseChangeFocus += MyGUI::newDelegate(this, &Priget_OptionsMenu::onButtonFocus);
        *s.field = b;
    }
    controlButton->setVisible(false);
    audioButton->setVisible(false);
    gameButton->setVisible(false);
    backButton->setPosition(8, 48);
    panel->setSize(168, 88);
    panel->setVisible(visible_);
    background->setVisible(visible_);
    setHelpText();
}

void Priget_OptionsMenu::destroy()
{
    if (!created)
        return;
    destroyWidgets();
    Priget::destroy();
}

MyGUI::Button* Priget_OptionsMenu::button(uint32_t index) const
{
    switch (index) {
    case Display: return displayButton;
    case Control: return controlButton;
    case Audio: return audioButton;
    case Game: return gameButton;
    case Back: return backButton;
    default: return nullptr;
    }
}

void Priget_OptionsMenu::update(OIS::Keyboard* keyboard, OIS::Mouse* mouse)
{
    if (!session || !panel)
        return;
    if (session->keyCaptureActive) {
        if (!hiddenForCapture) {
            panel->setEnabled(false);
            panel->setVisible(false);
            hiddenForCapture = 1;
        }
        return;
    }
    if (hiddenForCapture) {
        panel->setEnabled(true);
        panel->setVisible(true);
        hiddenForCapture = 0;
        setButtonStates();
    }
    const int wheel = mouse ? mouse->getMouseState().Z.rel : 0;
    const bool up = (keyboard && (keyboard->isKeyDown(OIS::KC_UP) || keyboard->isKeyDown(OIS::KC_W))) || wheel > 0;
    const bool down =
        (keyboard && (keyboard->isKeyDown(OIS::KC_DOWN) || keyboard->isKeyDown(OIS::KC_S))) || wheel < 0;
    if (up) {
        if (navLatch != 1) {
            selectPrevious();
            setButtonStates();
        }
        navLatch = 1;
    } else if (down) {
        if (navLatch != 1) {
            selectNext();
            setButtonStates();
        }
        navLatch = 1;
    } else {
        navLatch = 0;
    }
}

void Priget_OptionsMenu::step(int direction)
{
    if (sounds)
        sounds->playMove();
    if (!session)
        return;
    const uint32_t current = session->selectedIndex <= Back ? session->selectedIndex : 0;
    for (uint32_t n = 1; n < kButtonCount; ++n) {
        const uint32_t candidate = (current + kButtonCount + direction * n) % kButtonCount;
        MyGUI::Button* b = button(candidate);
        if (b && b->getEnabled()) {
            session->selectedIndex = candidate;
            return;
        }
    }
    session->selectedIndex = current;
}

void Priget_OptionsMenu::selectPrevious()
{
    step(-1);
}

void Priget_OptionsMenu::selectNext()
{
    step(1);
}

void Priget_OptionsMenu::onButtonFocus(MyGUI::Widget* sender, bool)
{
    if (sounds)
        sounds->playMove();
    if (!session)
        return;
    session->selectedIndex = 0;
    for (uint32_t i = 0; i < kButtonCount; ++i)
        if (sender && button(i) == sender)
            session->selectedIndex = i;
    setButtonStates();
}

void Priget_OptionsMenu::setButtonStates()
{
    const uint32_t selected = session && session->selectedIndex <= Back ? session->selectedIndex : 0;
    for (uint32_t i = 0; i < kButtonCount; ++i)
        if (MyGUI::Button* b = button(i))
            b->_setWidgetState(i == selected ? "normal" : "normal_NotSel");
}

void Priget_OptionsMenu::setHelpText()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    if (!profile || profile->getLanguageCount() == 0 || !displayButton)
        return;
    GameSettings* settings = session->settings;
    uint32_t language = 0;
    if (settings) {
        if (settings->Language >= profile->getLanguageCount())
            settings->Language = 0;
        language = settings->Language;
    }
    const UiTextId ids[kButtonCount] = {UiTextId::OptDisplay, UiTextId::OptControl, UiTextId::OptAudio,
                                        UiTextId::OptGame, UiTextId::OptBack};
    for (uint32_t i = 0; i < kButtonCount; ++i)
        button(i)->setCaption(toUTFString(profile->getText(language, ids[i])));
}
