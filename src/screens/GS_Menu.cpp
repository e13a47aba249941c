#include "screens/GS_Menu.h"

#include "audio/Sound.h"
#include "core/CampaignData.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/Utilities.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <cmath>

GS_Menu::GS_Menu(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_, audio::SoundManager* soundManager_,
                 SharedBlock* block, ConfigManager*, Ogre::Root*, GameSettings*, KeyBindings*, MyGUI::Gui* gui_,
                 FadeOverlay* fadeOverlay_, GameSession* session_, GlobalSounds* globalSounds_,
                 Ogre::Viewport* viewport_, SceneCreator* sceneCreator_)
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
    firstFrame = 1;
    step = 0;
    stateId = 1;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;

    // Back at the title the challenge campaign is put away; deleting it saves its progress.
    if (session->campaign) {
        delete session->campaign;
        session->campaign = nullptr;
    }
    showPointer(true);
    session->selectedIndex = 0;

    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;
    titlePrompt = gui->createWidget<MyGUI::Widget>("PressEnter", (W - 190) / 2, (H - 24) / 2, 190, 24,
                                                   MyGUI::Align::Default, "OverPause");
    titlePrompt->setNeedMouseFocus(false);

    mainMenu = new Priget_Menu_MainMenu(session, gui, globalSounds);
    for (int i = 0; i < Priget_Menu_MainMenu::kModeCount; ++i)
        clicks_.bind(mainMenu->item(i), [this](MyGUI::Widget* w) { onModeClick(w); });
    clicks_.bind(mainMenu->item(6), [this](MyGUI::Widget* w) { onChallengeClick(w); });
    clicks_.bind(mainMenu->getOptionsButton(), [this](MyGUI::Widget* w) { onOptionsClick(w); });
    clicks_.bind(mainMenu->getQuitButton(), [this](MyGUI::Widget* w) { onQuitClick(w); });
    clicks_.bind(mainMenu->quitYes(), [this](MyGUI::Widget* w) { onQuitYesClick(w); });
    clicks_.bind(mainMenu->quitNo(), [this](MyGUI::Widget* w) { onQuitNoClick(w); });

    logo = gui->createWidget<MyGUI::ImageBox>("ImageBox", W - 315, H - 152, 265, 102, MyGUI::Align::Default,
                                              "Main", "gsMenu_logoTitle");
    logo->setImageTexture("Mtitle.png");
    logo->setNeedMouseFocus(false);

    if (viewport && sceneCreator && sceneCreator->camera())
        viewport->setCamera(sceneCreator->camera());

    profilePanel = new Priget_ProfileLoad(session, gui, globalSounds);
    profilePanel->setListVisible(false);
    clicks_.bind(profilePanel->loadButton, [this](MyGUI::Widget* w) { onProfileLoadClick(w); });
    clicks_.bind(profilePanel->entryCreateButton, [this](MyGUI::Widget* w) { onProfileLoadClick(w); });
    clicks_.bind(profilePanel->quitButton, [this](MyGUI::Widget* w) { onQuitClick(w); });

    if (sceneCreator && sceneCreator->borderNode())
        sceneCreator->borderNode()->setVisible(false, true);

    if (session->profileLoaded) {
        showPointer(true);
        titlePrompt->setVisible(false);
        switchPanel(MENU_MAIN);
        if (globalSounds)
            globalSounds->playMusic1();
    } else {
        showPointer(false);
        createSplash();
        mainMenu->show(false);
        profilePanel->show(false);
        session->menuPhase = MENU_SPLASH;
        // Stopped at once: the end of the splash starts it from the beginning.
        if (globalSounds) {
            globalSounds->playMusic1();
            if (audio::Sound* music = globalSounds->musicVoice())
                music->stop();
        }
    }
}

GS_Menu::~GS_Menu()
{
    delete mainMenu;
    mainMenu = nullptr;
    delete profilePanel;
    profilePanel = nullptr;
    for (MyGUI::Widget** w : {&titlePrompt, reinterpret_cast<MyGUI::Widget**>(&splashImage1),
                              reinterpret_cast<MyGUI::Widget**>(&splashImage2), &splashBackdrop,
                              reinterpret_cast<MyGUI::Widget**>(&logo)}) {
        if (*w)
            gui->destroyWidget(*w);
        *w = nullptr;
    }
}

void GS_Menu::switchPanel(uint32_t phase)
{
    session->menuPhase = phase;
    // The pointer rested on an item of the panel just left; over the new one the focus and hit
    // tests set the flag again, and a stale one would refuse every key.
    session->mouseOverButton = 0;
}

void GS_Menu::showPointer(bool visible)
{
    if (auto* pointers = MyGUI::PointerManager::getInstancePtr())
        pointers->setVisible(visible);
}

void GS_Menu::createSplash()
{
    titlePrompt->setVisible(false);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;
    splashBackdrop = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, W, H, MyGUI::Align::Default, "Splash");
    splashBackdrop->setColour(MyGUI::Colour::Black);
    const int left = static_cast<int>((static_cast<float>(W) - 480.0f) * 0.5f);
    const int top = static_cast<int>((static_cast<float>(H) - 153.6f) * 0.5f);
    splashImage2 = gui->createWidget<MyGUI::ImageBox>("ImageBox", left, top, 480, 153, MyGUI::Align::Default,
                                                      "Splash");
    splashImage2->setImageTexture("OrvelSplash2.png");
    splashImage1 = gui->createWidget<MyGUI::ImageBox>("ImageBox", left, top, 480, 153, MyGUI::Align::Default,
                                                      "Splash");
    splashImage1->setImageTexture("OrvelSplash1.png");
    session->menuPhase = MENU_SPLASH;
    splashCountdown = kSplashTime;
}

void GS_Menu::detectGamepad(OIS::JoyStick* joystick)
{
    gamepadCheckPending = false;
    // Whatever pad the input library found is the player's, whoever made it.
    if (joystick)
        session->gamepadEnabled = 1;
}

bool GS_Menu::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (firstFrame) {
        if (gamepadCheckPending)
            detectGamepad(joystick);
        firstFrame = 0;
        if (fadeOverlay && fadeOverlay->getAlpha() > 0.0)
            fadeOverlay->startFadeIn(1.0);
        return true;
    }

    if (titlePrompt->getVisible()) {
        titlePulsePhase += 4.0f * dt;
        if (titlePulsePhase > 360.0f)
            titlePulsePhase -= 360.0f;
        titlePrompt->setAlpha(0.6f + 0.4f * std::cos(titlePulsePhase));
    }

    switch (session->menuPhase) {
    case MENU_MAIN: updateMainMenu(dt, keyboard, joystick, mouse); break;
    case MENU_QUIT_BOX: updateQuitBox(dt, keyboard, joystick, mouse); break;
    case MENU_TITLE_PROMPT: enterProfileScreen(dt, keyboard, joystick, mouse); break;
    case MENU_PROFILES: updateProfileScreen(dt, keyboard, joystick, mouse); break;
    case MENU_SPLASH: updateSplash(dt, keyboard, joystick, mouse); break;
    default: break;
    }
    return !done;
}

bool GS_Menu::padButtonDown(OIS::JoyStick* joystick, int button) const
{
    if (!joystick || !session->gamepadEnabled)
        return false;
    const std::vector<bool>& buttons = joystick->getJoyStickState().mButtons;
    return static_cast<size_t>(button) < buttons.size() && buttons[static_cast<size_t>(button)];
}

bool GS_Menu::confirmDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) const
{
    return (keyboard && keyboard->isKeyDown(OIS::KC_RETURN)) ||
           (mouse && mouse->getMouseState().buttonDown(OIS::MB_Middle)) || padButtonDown(joystick, 0);
}

bool GS_Menu::backDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick) const
{
    return (keyboard && keyboard->isKeyDown(OIS::KC_ESCAPE)) || padButtonDown(joystick, 1);
}

void GS_Menu::updateSplash(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    handleMouse(mouse);
    splashCountdown -= splashSkipping ? 3.0f * dt : dt;
    if (confirmDown(keyboard, joystick, mouse)) {
        if (!session->inputLatch)
            splashSkipping = true;
        session->inputLatch = 1;
    } else {
        session->inputLatch = 0;
    }

    const float c = splashCountdown;
    if (c <= 0.0f) {
        session->menuPhase = MENU_TITLE_PROMPT;
        splashImage1->setVisible(false);
        splashImage2->setVisible(false);
        splashBackdrop->setVisible(false);
        titlePrompt->setVisible(true);
        if (globalSounds)
            globalSounds->playMusic1();
    }

    splashBackdrop->setAlpha(remapClamped(0.1f, 1.5f, c, 0.0f, 1.0f));
    auto rampUpHoldDown = [c](float in0, float in1, float out0, float out1) {
        if (c < in0)
            return 0.0f;
        if (c <= in1)
            return remapLinear(in0, in1, c, 0.0f, 1.0f);
        if (c <= out0)
            return 1.0f;
        return remapClamped(out0, out1, c, 1.0f, 0.0f);
    };
    splashImage2->setAlpha(rampUpHoldDown(1.8f, 2.5f, 3.5f, 5.0f));
    splashImage1->setAlpha(rampUpHoldDown(0.35f, 1.6f, 4.0f, 5.0f));
}

void GS_Menu::enterProfileScreen(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (mainMenu->created)
        mainMenu->animateIn(dt);
    handleMouse(mouse);
    if (confirmDown(keyboard, joystick, mouse)) {
        if (!session->inputLatch) {
            showPointer(true);
            titlePrompt->setVisible(false);
            profilePanel->show(true);
            switchPanel(MENU_PROFILES);
            if (globalSounds)
                globalSounds->playAccept();
        }
        session->inputLatch = 1;
    } else {
        session->inputLatch = 0;
    }
}

void GS_Menu::updateProfileScreen(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (mainMenu->created)
        mainMenu->animateIn(dt);
    profilePanel->update(dt, keyboard, joystick, mouse);
    handleMouse(mouse);
    // Back from the name dialog to the list, as its "Back" button does.
    if (profilePanel->entryMode && backDown(keyboard, joystick)) {
        if (!session->inputLatch)
            profilePanel->onBackClick(nullptr);
        session->inputLatch = 1;
    } else if (!handleConfirm(keyboard, joystick, mouse)) {
        session->inputLatch = 0;
    }
}

void GS_Menu::updateMainMenu(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    const bool chord = keyboard && keyboard->isKeyDown(OIS::KC_LCONTROL) && keyboard->isKeyDown(OIS::KC_F4) &&
                       keyboard->isKeyDown(OIS::KC_Q);
    if (backDown(keyboard, joystick)) {
        if (!session->inputLatch) {
            if (globalSounds)
                globalSounds->playBack();
            session->selectedIndex = Priget_Menu_MainMenu::kQuitItem;
            mainMenu->setButtonStates(true);
            openQuitOrProfile();
        }
        session->inputLatch = 1;
    } else if (chord) {
        if (!session->inputLatch && session->profile)
            session->profile->resetProgress();
        session->inputLatch = 1;
    } else if (!handleConfirm(keyboard, joystick, mouse)) {
        session->inputLatch = 0;
    }
    mainMenu->update(dt, keyboard, joystick, mouse);
    handleMouse(mouse);
}

void GS_Menu::updateQuitBox(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    const bool chord = keyboard && keyboard->isKeyDown(OIS::KC_LCONTROL) && keyboard->isKeyDown(OIS::KC_F4) &&
                       keyboard->isKeyDown(OIS::KC_Q);
    if (backDown(keyboard, joystick)) {
        if (!session->inputLatch) {
            if (globalSounds)
                globalSounds->playAccept();
            closeQuitBox();
        }
        session->inputLatch = 1;
    } else if (chord) {
        if (!session->inputLatch && session->profile)
            session->profile->resetProgress();
        session->inputLatch = 1;
    } else if (!handleConfirm(keyboard, joystick, mouse)) {
        session->inputLatch = 0;
    }
    mainMenu->update(dt, keyboard, joystick, mouse);
    handleMouse(mouse);
}

bool GS_Menu::handleConfirm(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!confirmDown(keyboard, joystick, mouse))
        return false;
    if (session->inputLatch)
        return true;
    const uint32_t index = session->selectedIndex;
    switch (session->menuPhase) {
    case MENU_MAIN:
        if (index <= 5)
            startGameMode();
        else if (index == 6)
            openChallenges();
        else if (index == 7)
            openOptions();
        else if (index == 8)
            openQuitOrProfile();
        break;
    case MENU_QUIT_BOX:
        if (index == 1)
            closeQuitBox();
        else
            quitRequested = 1;
        break;
    case MENU_PROFILES:
        if (profilePanel->entryMode) {
            // The name dialog: confirm creates the typed profile, as its "Create" does.
            if (profilePanel->entryCreateButton->getEnabled())
                loadSelectedProfile();
            else if (globalSounds)
                globalSounds->playWarning();
        } else if (index == 2) {
            openQuitOrProfile();
        } else if (index == 1) {
            profilePanel->onCreateClick(nullptr);
        } else {
            loadSelectedProfile();
        }
        break;
    default:
        break;
    }
    session->inputLatch = 1;
    return true;
}

void GS_Menu::startGameMode()
{
    const uint32_t mode = session->selectedIndex;
    GameModeDef* def = session->profile ? session->profile->getMode(mode) : nullptr;
    // A locked mode (or one the profile lacks) refuses silently.
    if (!def || def->locked)
        return;
    session->selectGameMode(mode);
    session->challengeMode = 0;
    session->selectedTier = 0;
    session->selectedChallenge = 0;
    session->selectedWeapon = 0;
    if (globalSounds)
        globalSounds->playAccept();
    nextStateId = GAMESTATE_PLAY;
    done = 1;
    def->progress0 += 1;
}

void GS_Menu::openChallenges()
{
    if (session->profile)
        session->profile->profileCounter += 1;
    if (globalSounds)
        globalSounds->playAccept();
    done = 1;
    nextStateId = GAMESTATE_CHALLENGE_SELECT;
}

void GS_Menu::openOptions()
{
    if (globalSounds)
        globalSounds->playAccept();
    done = 1;
    nextStateId = GAMESTATE_OPTIONS;
}

void GS_Menu::openQuitOrProfile()
{
    if (globalSounds)
        globalSounds->playBack();
    if (session->menuPhase == MENU_MAIN) {
        mainMenu->hide();
        titlePrompt->setVisible(false);
        profilePanel->show(true);
        switchPanel(MENU_PROFILES);
    } else {
        session->selectedIndex = 1;
        mainMenu->show(false);
        mainMenu->helpLine()->setVisible(true);
        mainMenu->helpStrip()->setVisible(true);
        mainMenu->quitBox()->setVisible(true);
        mainMenu->setQuitButtonStates(true);
        profilePanel->setListVisible(false);
        switchPanel(MENU_QUIT_BOX);
    }
}

void GS_Menu::closeQuitBox()
{
    if (session->profileLoaded) {
        mainMenu->show(true);
        mainMenu->helpLine()->setVisible(true);
        mainMenu->helpStrip()->setVisible(true);
        mainMenu->quitBox()->setVisible(false);
        switchPanel(MENU_MAIN);
        session->selectedIndex = Priget_Menu_MainMenu::kQuitItem;
        mainMenu->setButtonStates(true);
    } else {
        mainMenu->helpLine()->setVisible(true);
        mainMenu->helpStrip()->setVisible(true);
        mainMenu->quitBox()->setVisible(false);
        mainMenu->hide();
        profilePanel->show(true);
        switchPanel(MENU_PROFILES);
    }
}

void GS_Menu::loadSelectedProfile()
{
    const std::string name = profilePanel->getSelectedProfile();
    // A name that cannot name a profile file would give a profile that never saves.
    if (!PlayerProfile::isValidName(name)) {
        if (globalSounds)
            globalSounds->playWarning();
        return;
    }
    session->setProfileName(name);
    session->recreateProfile();
    // The menu starts on its first item: the index the profile screen leaves may name an item
    // this profile does not show.
    session->selectedIndex = 0;
    mainMenu->reset();
    switchPanel(MENU_MAIN);
    profilePanel->setListVisible(false);
    if (profilePanel->entryPanel)
        profilePanel->entryPanel->setVisible(false);
    MyGUI::InputManager::getInstance().resetKeyFocusWidget();
    if (globalSounds)
        globalSounds->playAccept();
}

void GS_Menu::onModeClick(MyGUI::Widget*) { startGameMode(); }
void GS_Menu::onChallengeClick(MyGUI::Widget*) { openChallenges(); }
void GS_Menu::onOptionsClick(MyGUI::Widget*) { openOptions(); }
void GS_Menu::onQuitClick(MyGUI::Widget*) { openQuitOrProfile(); }
void GS_Menu::onQuitYesClick(MyGUI::Widget*) { quitRequested = 1; }
void GS_Menu::onQuitNoClick(MyGUI::Widget*) { closeQuitBox(); }
void GS_Menu::onProfileLoadClick(MyGUI::Widget*) { loadSelectedProfile(); }
