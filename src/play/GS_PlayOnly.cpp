#include "play/GS_PlayOnly.h"

#include "core/GameSession.h"
#include "screens/PlaceholderScreen.h"

namespace {
enum PlayItem { ItemEndPlay, ItemEndWithStory, ItemChallengeList };
}  // namespace

GS_PlayOnly::GS_PlayOnly(GamePlayData* playData_, Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                         audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager* configManager_,
                         Ogre::Root* root_, GameSettings* settings_, KeyBindings* keyBindings_, MyGUI::Gui* gui_,
                         FadeOverlay* fadeOverlay_, GameSession* session_, GlobalSounds* globalSounds_,
                         Ogre::Viewport* viewport_, SceneCreator* sceneCreator_, SceneContext* sceneContext_)
    : playData(playData_), configManager(configManager_), root(root_), settings(settings_),
      keyBindings(keyBindings_), sceneContext(sceneContext_)
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
    startStep = 0;
    step = 0;
    stateId = 2;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Play", MyGUI::Colour(0.30f, 0.08f, 0.08f),
        std::vector<std::string>{"End play", "End play with story", "Challenge list"});
}

GS_PlayOnly::~GS_PlayOnly() = default;

bool GS_PlayOnly::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    firstFrame = 0;
    handleMouse(mouse);
    switch (screen_->update(keyboard, joystick)) {
    case ItemEndPlay: nextStateId = 1; done = 1; break;
    case ItemEndWithStory:
        // As a finished challenge does: the story scene plays before the menu.
        if (session)
            session->cutsceneRequested = 1;
        nextStateId = 1;
        done = 1;
        break;
    case ItemChallengeList: nextStateId = GAMESTATE_CHALLENGE_LIST; done = 1; break;
    default: break;
    }
    return !done;
}
