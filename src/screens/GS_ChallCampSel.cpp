#include "screens/GS_ChallCampSel.h"

#include "core/FadeOverlay.h"
#include "core/GameSession.h"

GS_ChallCampSel::GS_ChallCampSel(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                                 audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager*,
                                 MyGUI::Gui* gui_, GameSession* session_, GlobalSounds* globalSounds_,
                                 Ogre::Viewport* viewport_, FadeOverlay* fadeOverlay_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = block;
    gui = gui_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    fadeOverlay = fadeOverlay_;
    stateId = 8;
    // Black at once: the screen stays dark while the campaign loads.
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
    if (session)
        session->loadCampaign("TcData");
    nextStateId = GAMESTATE_CHALLENGE_LIST;
    done = 1;
    quitRequested = 0;
}

GS_ChallCampSel::~GS_ChallCampSel() = default;

bool GS_ChallCampSel::update(float, OIS::Keyboard*, OIS::JoyStick*, OIS::Mouse*)
{
    return !done;
}
