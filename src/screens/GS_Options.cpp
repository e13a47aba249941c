#include "screens/GS_Options.h"

#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "gui/PanelInput.h"
#include "screens/Priget_OptionsControl.h"
#include "screens/Priget_OptionsDisplay.h"
#include "screens/Priget_OptionsMenu.h"
#include "screens/Priget_OptionsSound.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreViewport.h>

GS_Options::GS_Options(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                       audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager* configManager_,
                       Ogre::Root* root_, GameSettings* settings_, KeyBindings* keyBindings_, MyGUI::Gui* gui_,
                       FadeOverlay* fadeOverlay_, GameSession* session_, GlobalSounds* globalSounds_,
                       Ogre::Viewport* viewport_, SceneCreator* sceneCreator_)
    : root(root_), configManager(configManager_), settings(settings_), keyBindings(keyBindings_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = block;
    gui = gui_;
    fadeOverlay = fadeOverlay_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    sceneCreator = sceneCreator_;
    mouseWasDown = 1;
    firstFrame = 0;
    startStep = 0;
    step = 0;
    stateId = 3;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;

    if (session) {
        session->selectedIndex = 0;
        session->menuPhase = 0;
    }
    optionsMenu = new Priget_OptionsMenu(session, gui, globalSounds, "", true, true);
    // Presses, not clicks: the shared mouse handling releases the button every frame it is up.
    for (MyGUI::Button* b : {optionsMenu->backButton, optionsMenu->displayButton, optionsMenu->audioButton,
                             optionsMenu->controlButton})
        b->eventMouseButtonPressed += MyGUI::newDelegate(this, &GS_Options::onMenuButtonPressed);

    displayPage = new Priget_OptionsDisplay(gui, session, root, configManager, settings, "", true, true);
    soundPage = new Priget_OptionsSound(gui, root, configManager, settings, "", true, true);
    controlPage = new Priget_OptionsControl(gui, root, configManager, settings, keyBindings, session, "", true, true);
    showSoundPage(false);
    showControlPage(false);
    optionsMenu->displayButton->setStateSelected(true);

    // The map behind the menus shows through the menu camera.
    if (viewport && sceneCreator && sceneCreator->camera())
        viewport->setCamera(sceneCreator->camera());
}

GS_Options::~GS_Options()
{
    delete optionsMenu;
    delete displayPage;
    delete soundPage;
    delete controlPage;
}

void GS_Options::showSoundPage(bool shown)
{
    soundPage->visible = shown ? 1 : 0;
    if (soundPage->panel)
        soundPage->panel->setVisible(shown);
}

void GS_Options::showControlPage(bool shown)
{
    controlPage->visible = shown ? 1 : 0;
    if (controlPage->panel)
        controlPage->panel->setVisible(shown);
}

void GS_Options::leave()
{
    if (globalSounds)
        globalSounds->playBack();
    nextStateId = 1;
    done = 1;
}

bool GS_Options::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    // Tested first: it leaves also while a key capture runs.
    const bool padEnabled = session->gamepadEnabled;
    const bool back = panelinput::keyDown(keyboard, OIS::KC_ESCAPE) || panelinput::padButtonDown(joystick, padEnabled, 1);
    if (back) {
        if (session->inputLatch != 1)
            leave();
        session->inputLatch = 1;
    } else if (!handleConfirm(keyboard, joystick, mouse)) {
        session->inputLatch = 0;
    }
    if (optionsMenu->created)
        optionsMenu->update(keyboard, mouse);
    controlPage->updateKeyCapture(keyboard);
    handleMouse(mouse);
    // The audio page keeps its volumes in its sliders until its destroy stores them.
    if (done && soundPage->created)
        soundPage->destroy();
    return !done;
}

bool GS_Options::handleConfirm(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    const bool confirm = panelinput::keyDown(keyboard, OIS::KC_RETURN) ||
                         (mouse && mouse->getMouseState().buttonDown(OIS::MB_Middle)) ||
                         panelinput::padButtonDown(joystick, session->gamepadEnabled, 0);
    if (!confirm)
        return false;
    if (session->inputLatch == 0 && session->selectedIndex == Priget_OptionsMenu::Back)
        leave();
    session->inputLatch = 1;
    return true;
}

void GS_Options::onMenuButtonPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    if (sender == optionsMenu->backButton)
        onBackClick(sender);
    else if (sender == optionsMenu->displayButton)
        onDisplayClick(sender);
    else if (sender == optionsMenu->audioButton)
        onAudioClick(sender);
    else if (sender == optionsMenu->controlButton)
        onControlClick(sender);
}

void GS_Options::onBackClick(MyGUI::Widget*)
{
    leave();
}

void GS_Options::onDisplayClick(MyGUI::Widget*)
{
    if (globalSounds)
        globalSounds->playAccept();
    optionsMenu->audioButton->setStateSelected(false);
    showSoundPage(false);
    showControlPage(false);
    optionsMenu->displayButton->setStateSelected(!optionsMenu->displayButton->getStateSelected());
    displayPage->show(!(displayPage->mainPanel && displayPage->mainPanel->getVisible()));
}

void GS_Options::onAudioClick(MyGUI::Widget*)
{
    if (globalSounds)
        globalSounds->playAccept();
    optionsMenu->displayButton->setStateSelected(false);
    displayPage->show(false);
    showControlPage(false);
    optionsMenu->audioButton->setStateSelected(!optionsMenu->audioButton->getStateSelected());
    showSoundPage(!(soundPage->panel && soundPage->panel->getVisible()));
}

void GS_Options::onControlClick(MyGUI::Widget*)
{
    if (globalSounds)
        globalSounds->playAccept();
    optionsMenu->displayButton->setStateSelected(false);
    displayPage->show(false);
    optionsMenu->audioButton->setStateSelected(false);
    showSoundPage(false);
    showControlPage(true);
}
