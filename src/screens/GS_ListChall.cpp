#include "screens/GS_ListChall.h"

#include "core/CampaignData.h"
#include "core/ControllerSmoothCaption.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "gui/PanelInput.h"
#include "screens/Priget_LCH_Garage.h"
#include "screens/Priget_LCH_SelTier.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <Ogre.h>

GS_ListChall::GS_ListChall(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                           audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager*,
                           MyGUI::Gui* gui_, FadeOverlay* fadeOverlay_, GameSession* session_,
                           GlobalSounds* globalSounds_, Ogre::Viewport* viewport_)
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
    sceneCreator = nullptr;
    mouseWasDown = 1;
    firstFrame = 0;
    step = 0;
    stateId = 4;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    name = "";

    session->menuPhase = 0;
    session->selectedIndex = 0;
    session->inputLatch = 1;

    MyGUI::PointerManager::getInstance().setVisible(true);

    // The 3D view looks at nothing behind the GUI.
    if (sceneManager) {
        camera = sceneManager->createCamera("gsLisCCam");
        Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode();
        node->attachObject(camera);
        node->setPosition(0, -10000, 0);
        node->lookAt(Ogre::Vector3(0, -20000, 0), Ogre::Node::TS_WORLD);
        if (viewport)
            viewport->setCamera(camera);
    }

    const int H = MyGUI::RenderManager::getInstance().getViewSize().height;
    captionWidget = gui->createWidget<MyGUI::TextBox>("TextBox", 10, H - 40, 740, 30, MyGUI::Align::Default, "Main");
    captionWidget->setCaption("Text Text Text Text Text Text Text Text Text Text Text ");
    captionWidget->setTextColour(MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    captionWidget->setVisible(false);
    MyGUI::ControllerItem* item =
        MyGUI::ControllerManager::getInstance().createItem(ControllerSmoothCaption::getClassTypeName());
    captionController = item ? item->castType<ControllerSmoothCaption>(false) : nullptr;
    if (item && !captionController)
        delete item;

    if (fadeOverlay)
        fadeOverlay->startFadeIn(1.0);

    tierPanel = new Priget_LCH_SelTier(session, gui, globalSounds);
    tierPanel->setShown(true);
    // The state's own actions in place of the panel's on "Challenges" and "Garage", and "Quit".
    for (MyGUI::Widget* b : {tierPanel->challengesButton, tierPanel->garageButton})
        b->eventMouseButtonPressed -= MyGUI::newDelegate(tierPanel, &Priget_LCH_SelTier::onPressed);
    for (MyGUI::Widget* b : {tierPanel->challengesButton, tierPanel->garageButton, tierPanel->quitButton})
        b->eventMouseButtonPressed += MyGUI::newDelegate(this, &GS_ListChall::onMenuButtonPressed);

    garagePanel = new Priget_LCH_Garage(session, gui, globalSounds);
    garagePanel->show(false);

    if (globalSounds)
        globalSounds->playMusic2();
}

GS_ListChall::~GS_ListChall()
{
    delete captionController;
    captionController = nullptr;
    if (captionWidget)
        gui->destroyWidget(captionWidget);
    captionWidget = nullptr;
    delete tierPanel;
    tierPanel = nullptr;
    delete garagePanel;
    garagePanel = nullptr;
    if (camera && sceneManager) {
        Ogre::SceneNode* node = camera->getParentSceneNode();
        sceneManager->destroyCamera(camera);
        if (node)
            sceneManager->destroySceneNode(node);
    }
    camera = nullptr;
}

bool GS_ListChall::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (captionController)
        captionController->addTime(captionWidget, 2.0f * dt);

    if (session->menuPhase == 1) {
        if (garagePanel && garagePanel->created)
            garagePanel->update(dt);
        // In the garage the heading counts what is left to spend, also right after a purchase.
        if (session->campaign)
            tierPanel->showKudos(session->campaign->getAvailablePoints());
    } else {
        tierPanel->update(dt, keyboard, joystick, mouse);
    }

    auto key = [&](OIS::KeyCode k) { return panelinput::keyDown(keyboard, k); };
    const bool back = key(OIS::KC_ESCAPE) || panelinput::rightButtonDown(mouse) ||
                      (session->gamepadEnabled && joystick && joystick->getJoyStickState().mButtons.size() > 1 &&
                       joystick->getJoyStickState().mButtons[1]);
    const bool ctrl = key(OIS::KC_LCONTROL);
    const bool resetChord = ctrl && key(OIS::KC_F4) && key(OIS::KC_Q);
    const bool kudosChord = ctrl && key(OIS::KC_F11) && key(OIS::KC_W);
    if (back) {
        if (!session->inputLatch) {
            if (globalSounds)
                globalSounds->playBack();
            name = "";
            nextStateId = 1;
            done = 1;
            session->inputLatch = 1;
        }
    } else if (resetChord) {
        if (!session->inputLatch) {
            if (globalSounds)
                globalSounds->playBack();
            if (CampaignData* c = session->campaign) {
                c->resetProgress();
                c->saveProgress();
            }
            tierPanel->rebuildRows();
            session->inputLatch = 1;
        }
    } else if (kudosChord) {
        if (!session->inputLatch) {
            if (globalSounds)
                globalSounds->playAccept();
            if (CampaignData* c = session->campaign)
                c->pointsEarned += 1000;
            // The tier list is rebuilt when it shows again; the garage keeps the screen.
            if (session->menuPhase == 0)
                tierPanel->rebuildRows();
            session->inputLatch = 1;
        }
    } else {
        session->inputLatch = 0;
    }

    handleMouse(mouse);

    // A start wins over back in the same frame.
    if (tierPanel->startRequested) {
        name = "";
        nextStateId = GAMESTATE_PLAY;
        done = 1;
    }
    return !done;
}

void GS_ListChall::switchPanel()
{
    if (session->menuPhase != 0) {
        session->menuPhase = 0;
        // Rows, locks and the kudos earned as they stand after the garage.
        tierPanel->rebuildRows();
        tierPanel->show();
        garagePanel->show(false);
    } else {
        session->menuPhase = 1;
        tierPanel->hide();
        garagePanel->show(true);
        if (session->campaign)
            tierPanel->showKudos(session->campaign->getAvailablePoints());
    }
}

void GS_ListChall::onQuitClick(MyGUI::Widget*)
{
    if (globalSounds)
        globalSounds->playBack();
    name = "";
    nextStateId = 1;
    done = 1;
}

void GS_ListChall::onSwitchPanelClick(MyGUI::Widget*) { switchPanel(); }

void GS_ListChall::onMenuButtonPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    if (sender == tierPanel->quitButton)
        onQuitClick(sender);
    else
        onSwitchPanelClick(sender);
}
