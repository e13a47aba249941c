#include "screens/GS_ChallCampSel.h"

#include "core/GameSession.h"
#include "screens/PlaceholderScreen.h"

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
    nextStateId = GAMESTATE_CHALLENGE_LIST;
    if (session)
        session->loadCampaign("TcData");
    done = 1;
    quitRequested = 0;
    // Shown for the one frame before the challenge list replaces it.
    screen_ = std::make_unique<PlaceholderScreen>(gui, nullptr, "Loading challenges", MyGUI::Colour(0.28f, 0.18f, 0.08f),
                                                  std::vector<std::string>{});
}

GS_ChallCampSel::~GS_ChallCampSel() = default;

bool GS_ChallCampSel::update(float, OIS::Keyboard*, OIS::JoyStick*, OIS::Mouse*)
{
    return !done;
}
