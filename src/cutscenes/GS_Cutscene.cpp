#include "cutscenes/GS_Cutscene.h"

#include "core/GameSession.h"
#include "screens/PlaceholderScreen.h"

GS_Cutscene::GS_Cutscene(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_, audio::SoundManager* soundManager_,
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
    const std::string sequence = session ? session->getCutsceneName() : std::string();
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Cutscene: " + sequence, MyGUI::Colour(0.20f, 0.10f, 0.26f),
                                                  std::vector<std::string>{"Continue", "Roll credits"});
}

GS_Cutscene::~GS_Cutscene() = default;

bool GS_Cutscene::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    firstFrame = 0;
    handleMouse(mouse);
    switch (screen_->update(keyboard, joystick)) {
    case 0: done = 1; break;
    case 1:
        // As a sequence flagged to end the story does.
        if (session)
            session->creditsRequested = 1;
        done = 1;
        break;
    default: break;
    }
    return !done;
}
