#include "play/Priget_PlayPause.h"

#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "gui/PanelInput.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <MyGUI_RotatingSkin.h>
#include <OIS/OIS.h>

Priget_PlayPause::Priget_PlayPause(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
    : ThreeButtonPanel(session, gui, sounds)
{
    session_->selectedIndex = 0;
    session_->inputLatch = 1;
    navLatch = 1;
    create(true);
}

Priget_PlayPause::~Priget_PlayPause()
{
    created = 0;
    for (MyGUI::Widget* w : {background, menuPanel, static_cast<MyGUI::Widget*>(spinCogImage),
                             static_cast<MyGUI::Widget*>(selectCogImage)})
        if (w)
            gui->destroyWidget(w);
}

void Priget_PlayPause::create(bool show)
{
    if (created)
        return;
    Priget::create(show);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();

    background = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, view.width, view.height,
                                                  MyGUI::Align::Default, "OverPause");
    background->setAlpha(0.25f);
    background->setColour(MyGUI::Colour::Black);
    background->setVisible(false);
    // The dimmer lies over the column's layer: it must leave the mouse to the buttons.
    background->setNeedMouseFocus(false);

    spinCogImage = makeCog("OverPause", 10, 18, 128, "hudCogW1.png", 0.5f, spinCog);
    selectCogImage = makeCog("OverPause", 24, -6, 64, "hudCogW2.png", 0.5f, selectCog);

    menuPanel = gui->createWidget<MyGUI::Widget>("WhiteSkin", 48, 48, 168, 128, MyGUI::Align::Default, "Main",
                                                 "pM_mMenu");
    menuPanel->setAlpha(0.5f);
    menuPanel->setColour(MyGUI::Colour::Black);

    const char* const names[3] = {"pm_bRes", "pm_bRet", "pm_bQui"};
    const char* const captions[3] = {"Resume", "Retry", "Quit"};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = menuPanel->createWidget<MyGUI::Button>("SelectedButton", 8, 8 + 40 * i, 152, 32,
                                                            MyGUI::Align::Default, names[i]);
        buttons[i]->setCaption(captions[i]);
        buttons[i]->setInheritsAlpha(false);
        buttons[i]->setAlpha(1.0f);
        bindMoveSound(buttons[i]);
    }
    setLabelTexts();
    setButtonStates();
}

// The buttons in the player's language; without text tables the English captions stay.
void Priget_PlayPause::setLabelTexts()
{
    uint32_t language = 0;
    const PlayerProfile* profile = textTables(language);
    if (!profile)
        return;
    const UiTextId texts[3] = {UiTextId::PauseResume, UiTextId::EndRetry, UiTextId::EndQuit};
    for (int i = 0; i < 3; ++i)
        buttons[i]->setCaption(toUTFString(profile->getText(language, texts[i])));
}

void Priget_PlayPause::reset(bool on)
{
    fadeTime = 0.0f;
    closeTime = 0.0f;
    spinCogImage->setAlpha(0.5f);
    selectCogImage->setAlpha(0.5f);
    for (MyGUI::Widget* w : {static_cast<MyGUI::Widget*>(spinCogImage), static_cast<MyGUI::Widget*>(selectCogImage),
                             menuPanel, static_cast<MyGUI::Widget*>(buttons[0]),
                             static_cast<MyGUI::Widget*>(buttons[1]), static_cast<MyGUI::Widget*>(buttons[2])})
        w->setVisible(on);
}

void Priget_PlayPause::show(bool on)
{
    visible = on ? 1 : 0;
    session_->selectedIndex = 0;
    background->setVisible(on);
    if (on) {
        setButtonStates();
        spinCogImage->setAlpha(0.0f);
        selectCogImage->setAlpha(0.0f);
        menuPanel->setAlpha(0.5f);
        menuPanel->setVisible(true);
        for (MyGUI::Button* b : buttons)
            b->setVisible(true);
        background->setVisible(true);
        spinCogImage->setVisible(true);
        selectCogImage->setVisible(true);
        closeTime = 0.0f;
        fadeTime = 1.0f;
        menuPanel->setPosition(menuPanel->getLeft(), 20);
        background->setAlpha(0.0f);
    } else {
        closeTime = 1.0f;
        fadeTime = 0.0f;
    }
}

void Priget_PlayPause::handleInput(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!created)
        return;
    if (fadeTime != 0.0f) {
        fadeTime -= dt;
        if (fadeTime <= 0.0f)
            fadeTime = 0.0f;
        menuPanel->setPosition(menuPanel->getLeft(), static_cast<int>(remapClamped(0.75f, 1.0f, fadeTime, 48, 20)));
        background->setAlpha(remapClamped(0.0f, 0.75f, fadeTime, 0.25f, 0.0f));
        spinCogImage->setAlpha(remapClamped(0.6f, 1.0f, fadeTime, 0.5f, 0.0f));
        selectCogImage->setAlpha(remapClamped(0.5f, 0.75f, fadeTime, 0.5f, 0.0f));
    }
    if (!visible)
        return;

    const float k = (1.0f - fadeTime) * dt;
    if (spinCog)
        spinCog->setAngle(spinCog->getAngle() - k * 3.5f);
    turnSelectCog(selectCog, k * 5.5f);

    hitTestButtons(mouse);

    const bool pad = session_->gamepadEnabled != 0;
    const int hat = panelinput::hat(joystick, pad);
    const int stick = panelinput::axis(joystick, pad, 0);
    const int wheel = panelinput::wheel(mouse);

    if (panelinput::rightButtonDown(mouse)) {
        if (!navLatch) {
            if (session_->mouseOverButton) {
                playWarningClick();
            } else {
                session_->selectedIndex = 2;
                setButtonStates();
            }
        }
        navLatch = 1;
        return;
    }
    const bool previous = panelinput::keyDown(keyboard, OIS::KC_UP) || panelinput::keyDown(keyboard, OIS::KC_W) ||
                          wheel > 0 || hat == OIS::Pov::North || hat == OIS::Pov::NorthEast ||
                          hat == OIS::Pov::NorthWest || stick < panelinput::kAxisLow;
    if (previous) {
        if (!navLatch) {
            selectPreviousButton();
            setButtonStates();
        }
        navLatch = 1;
        return;
    }
    const bool next = panelinput::keyDown(keyboard, OIS::KC_DOWN) || panelinput::keyDown(keyboard, OIS::KC_S) ||
                      wheel < 0 || hat == OIS::Pov::South || hat == OIS::Pov::SouthEast ||
                      hat == OIS::Pov::SouthWest || stick > panelinput::kAxisHigh;
    if (next) {
        if (!navLatch) {
            if (session_->mouseOverButton) {
                playWarningClick();
            } else {
                playMenuSelectSound();
                setButtonStates();
            }
        }
        navLatch = 1;
        return;
    }
    navLatch = 0;
}

void Priget_PlayPause::animate(float dt)
{
    if (closeTime == 0.0f)
        return;
    closeTime -= dt;
    if (closeTime <= 0.0f) {
        closeTime = 0.0f;
        background->setVisible(false);
        spinCogImage->setVisible(false);
        selectCogImage->setVisible(false);
    }
    spinCogImage->setAlpha(remapClamped(0.0f, 0.5f, closeTime, 0.0f, 0.5f));
    selectCogImage->setAlpha(remapClamped(0.5f, 1.0f, closeTime, 0.0f, 0.5f));
    menuPanel->setAlpha(remapClamped(0.3f, 0.7f, closeTime, 0.0f, 0.5f));
    if (closeTime < 0.8f)
        buttons[0]->setVisible(false);
    if (closeTime < 0.7f)
        buttons[1]->setVisible(false);
    if (closeTime < 0.6f)
        buttons[2]->setVisible(false);
    if (closeTime < 0.2f)
        menuPanel->setVisible(false);
    if (spinCog)
        spinCog->setAngle(spinCog->getAngle() - dt * closeTime * 3.5f);
}
