#include "screens/GS_Credits.h"

#include "screens/PlaceholderScreen.h"

GS_Credits::GS_Credits(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_, audio::SoundManager* soundManager_,
             MyGUI::Gui* gui_, FadeOverlay* fadeOverlay_, const std::string& name_, GameSession* session_,
             Ogre::Viewport* viewport_, SceneCreator* sceneCreator_, GlobalSounds* globalSounds_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = nullptr;
    gui = gui_;
    fadeOverlay = fadeOverlay_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    sceneCreator = sceneCreator_;
    mouseWasDown = 1;
    firstFrame = 1;
    startStep = 0;
    step = 0;
    stateId = 15;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    name = name_;
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Credits", MyGUI::Colour(0.06f, 0.20f, 0.26f),
                                                  std::vector<std::string>{"Back"});
}

GS_Credits::~GS_Credits() = default;

bool GS_Credits::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    firstFrame = 0;
    handleMouse(mouse);
    if (screen_->update(keyboard, joystick) == 0)
        done = 1;
    return !done;
}
