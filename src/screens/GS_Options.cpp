#include "screens/GS_Options.h"

#include "screens/PlaceholderScreen.h"
#include "world/SceneCreator.h"

#include <OgreViewport.h>

GS_Options::GS_Options(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                       audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager* configManager_,
                       Ogre::Root* root_, GameSettings* settings_, KeyBindings* keyBindings_, MyGUI::Gui* gui_,
                       FadeOverlay* fadeOverlay_, GameSession* session_, GlobalSounds* globalSounds_,
                       Ogre::Viewport* viewport_, SceneCreator* sceneCreator_)
    : configManager(configManager_), root(root_), settings(settings_), keyBindings(keyBindings_)
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
    // The map behind the menus shows through the menu camera.
    if (viewport && sceneCreator && sceneCreator->camera())
        viewport->setCamera(sceneCreator->camera());
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Options", MyGUI::Colour(0.12f, 0.24f, 0.14f),
                                                  std::vector<std::string>{"Back"}, globalSounds, true);
}

GS_Options::~GS_Options() = default;

bool GS_Options::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    handleMouse(mouse);
    if (screen_->update(keyboard, joystick) == 0) {
        nextStateId = 1;
        done = 1;
    }
    return !done;
}
