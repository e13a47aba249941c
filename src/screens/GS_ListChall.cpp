#include "screens/GS_ListChall.h"

#include "screens/PlaceholderScreen.h"

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
    startStep = 0;
    step = 0;
    stateId = 4;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Challenges", MyGUI::Colour(0.28f, 0.18f, 0.08f),
                                                  std::vector<std::string>{"Start challenge", "Back"});
}

GS_ListChall::~GS_ListChall() = default;

bool GS_ListChall::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    handleMouse(mouse);
    switch (screen_->update(keyboard, joystick)) {
    case 0: nextStateId = GAMESTATE_PLAY; done = 1; break;
    case 1: nextStateId = 1; done = 1; break;
    default: break;
    }
    return !done;
}
