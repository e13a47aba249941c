#include "screens/GS_Menu.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "screens/PlaceholderScreen.h"
#include "world/SceneCreator.h"

#include <OgreViewport.h>

namespace {
// The menu's entries and where each leads.
enum MenuItem { ItemPlay, ItemOptions, ItemChallenges, ItemCutscene, ItemCredits, ItemQuit };
}  // namespace

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
    startStep = 0;
    step = 0;
    stateId = 1;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    // Back at the title, the challenge campaign is put away; deleting it saves its progress.
    if (session && session->campaign) {
        delete session->campaign;
        session->campaign = nullptr;
    }
    // The map behind the menus shows through the menu camera.
    if (viewport && sceneCreator && sceneCreator->camera())
        viewport->setCamera(sceneCreator->camera());
    screen_ = std::make_unique<PlaceholderScreen>(gui, fadeOverlay, "Vantorel", MyGUI::Colour(0.10f, 0.16f, 0.24f),
        std::vector<std::string>{"Play", "Options", "Challenges", "Cutscene", "Credits", "Quit"}, globalSounds, true);
}

GS_Menu::~GS_Menu() = default;

bool GS_Menu::update(float, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    // The title's music (already playing when coming back from another screen).
    if (firstFrame && globalSounds)
        globalSounds->playMusic1();
    firstFrame = 0;
    handleMouse(mouse);
    switch (screen_->update(keyboard, joystick)) {
    case ItemPlay: nextStateId = GAMESTATE_PLAY; done = 1; break;
    case ItemOptions: nextStateId = GAMESTATE_OPTIONS; done = 1; break;
    case ItemChallenges: nextStateId = GAMESTATE_CHALLENGE_SELECT; done = 1; break;
    case ItemCutscene: nextStateId = GAMESTATE_CUTSCENE; done = 1; break;
    case ItemCredits: nextStateId = GAMESTATE_CREDITS; done = 1; break;
    case ItemQuit: quitRequested = 1; break;
    default: break;
    }
    return !done;
}
