#include "core/GameCore.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/FadeOverlay.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/KeyBindings.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "core/ZV_GameState.h"
#include "cutscenes/GS_Cutscene.h"
#include "world/SceneCreator.h"
#include "definitions/FxParamsLibrary.h"
#include "play/GS_PlayOnly.h"
#include "play/ScoreTableClient.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Credits.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "world/FxPool.h"

#include <Ogre.h>

#include <chrono>

TextureFilteringChoice textureFilteringFor(int textureQuality)
{
    switch (textureQuality) {
    case 1: return {Ogre::TFO_ANISOTROPIC, 4};
    case 2: return {Ogre::TFO_ANISOTROPIC, 1};
    case 3: return {Ogre::TFO_TRILINEAR, 1};
    case 4: return {Ogre::TFO_BILINEAR, 1};
    default: return {Ogre::TFO_ANISOTROPIC, 8};
    }
}

GameCore::GameCore(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                   SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
                   MyGUI::Gui* gui, Ogre::Viewport* viewport)
{
    window_ = window;
    sceneManager_ = sceneManager;
    soundManager_ = soundManager;
    sharedBlock_ = block;
    configManager_ = configManager;
    root_ = root;
    settings_ = settings;
    viewport_ = viewport;

    scoreWorkerQuit_ = false;

    randomGenerator_ = new RandomGenerator();
    randomGenerator_->seed(makeTimeSeed());
    session_ = new GameSession(randomGenerator_, settings_);

    scoreClient_ = new ScoreTableClient(session_, settings_ ? settings_->ScoreServer : std::string());

    keyBindings_ = new KeyBindings();
    KeyBindings::load(configManager_, keyBindings_);

    gui_ = gui;
    createResourceGroups();
    applyTextureFiltering();

    fadeOverlay_ = new FadeOverlay();
    globalSounds_ = new GlobalSounds(soundManager_);

    root_->setFrameSmoothingPeriod(0.0f);
    if (soundManager_)
        soundManager_->setDopplerFactor(3.0f);

    playData_ = new GamePlayData();
    sceneContext_ = new SceneContext(soundManager_);
    fxParamsLibrary_ = new FxParamsLibrary();
    fxPool_ = new FxPool(sceneManager_, fxParamsLibrary_, soundManager_, randomGenerator_, "GMS");
    sceneCreator_ = new SceneCreator(playData_, sceneManager_, window_, viewport_, settings_, "Town", sceneContext_,
                                     fxPool_);
    if (soundManager_ && soundManager_->getListener())
        sceneCreator_->anchorNode()->attachObject(soundManager_->getListener());

    currentState_ = new GS_Menu(window_, sceneManager_, soundManager_, sharedBlock_, configManager_, root_,
                                settings_, keyBindings_, gui_, fadeOverlay_, session_, globalSounds_, viewport_,
                                sceneCreator_);

    scoreWorkerAlive_->store(true);
    scoreWorker_ = std::thread(&GameCore::scoreWorkerMain, this);
}

GameCore::~GameCore()
{
    // The worker is stopped and waited for first: nothing it uses may go before it.
    stopScoreWorker();

    delete currentState_;
    currentState_ = nullptr;
    delete sceneCreator_;
    sceneCreator_ = nullptr;
    // The pool's live effects and reactors borrow the library's definitions.
    delete fxPool_;
    fxPool_ = nullptr;
    delete fxParamsLibrary_;
    fxParamsLibrary_ = nullptr;
    delete sceneContext_;
    sceneContext_ = nullptr;
    delete playData_;
    playData_ = nullptr;
    delete randomGenerator_;
    randomGenerator_ = nullptr;
    delete globalSounds_;
    globalSounds_ = nullptr;
    delete fadeOverlay_;
    fadeOverlay_ = nullptr;
    delete keyBindings_;
    keyBindings_ = nullptr;
    delete scoreClient_;
    scoreClient_ = nullptr;
    delete session_;
    session_ = nullptr;
}

void GameCore::createResourceGroups()
{
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    // A second core in the same engine (tests) finds them already there.
    for (const char* group : {"BrefPlaneRG", "LevelRG"})
        if (!groups.resourceGroupExists(group))
            groups.createResourceGroup(group);
}

void GameCore::applyTextureFiltering()
{
    applyTextureFilteringFor(settings_ ? settings_->TextureQuality : 0);
}

void applyTextureFilteringFor(int textureQuality)
{
    const TextureFilteringChoice choice = textureFilteringFor(textureQuality);
    auto& materials = Ogre::MaterialManager::getSingleton();
    materials.setDefaultTextureFiltering(choice.filtering);
    materials.setDefaultAnisotropy(choice.anisotropy);
}

void GameCore::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    scoreClient_->pump();
    fadeOverlay_->update(dt);
    globalSounds_->update(dt);
    sceneCreator_->updateAnimations(dt);
    fxPool_->update(dt);
    if (session_->profile)
        session_->profile->playTime += dt;

    if (currentState_->update(dt, keyboard, joystick, mouse))
        return;

    // The camera goes back first: the leaving state may own the camera the viewport shows.
    auto resetCamera = [this] {
        if (viewport_ && sceneManager_ && sceneManager_->hasCamera("MenuCam"))
            viewport_->setCamera(sceneManager_->getCamera("MenuCam"));
    };

    if (session_->creditsRequested) {
        resetCamera();
        delete currentState_;
        currentState_ = nullptr;
        currentState_ = new GS_Credits(window_, sceneManager_, soundManager_, gui_, fadeOverlay_, "", session_,
                                       viewport_, sceneCreator_, globalSounds_);
        session_->creditsRequested = 0;
    } else if (session_->cutsceneRequested) {
        const uint32_t next = currentState_->nextStateId;
        resetCamera();
        delete currentState_;
        currentState_ = nullptr;
        currentState_ = new GS_Cutscene(window_, sceneManager_, soundManager_, gui_, fadeOverlay_, "", session_,
                                        viewport_, sceneCreator_, globalSounds_);
        currentState_->nextStateId = next;
        session_->setCutsceneRequest(false, "", "");
    } else {
        const uint32_t next = currentState_->nextStateId;
        resetCamera();
        delete currentState_;
        currentState_ = nullptr;
        currentState_ = createStateFor(next);
    }
}

ZV_GameState* GameCore::createStateFor(uint32_t nextStateId)
{
    switch (nextStateId) {
    case GAMESTATE_PLAY:
        return new GS_PlayOnly(playData_, window_, sceneManager_, soundManager_, sharedBlock_, configManager_, root_,
                               settings_, keyBindings_, gui_, fadeOverlay_, session_, globalSounds_, viewport_,
                               sceneCreator_, sceneContext_);
    case GAMESTATE_OPTIONS:
        return new GS_Options(window_, sceneManager_, soundManager_, sharedBlock_, configManager_, root_, settings_,
                              keyBindings_, gui_, fadeOverlay_, session_, globalSounds_, viewport_, sceneCreator_);
    case GAMESTATE_CHALLENGE_LIST:
        return new GS_ListChall(window_, sceneManager_, soundManager_, sharedBlock_, configManager_, gui_,
                                fadeOverlay_, session_, globalSounds_, viewport_);
    case GAMESTATE_CHALLENGE_SELECT:
        return new GS_ChallCampSel(window_, sceneManager_, soundManager_, sharedBlock_, configManager_, gui_,
                                   session_, globalSounds_, viewport_, fadeOverlay_);
    case GAMESTATE_CUTSCENE:
        return new GS_Cutscene(window_, sceneManager_, soundManager_, gui_, fadeOverlay_, "", session_, viewport_,
                               sceneCreator_, globalSounds_);
    case GAMESTATE_CREDITS:
        return new GS_Credits(window_, sceneManager_, soundManager_, gui_, fadeOverlay_, "", session_, viewport_,
                              sceneCreator_, globalSounds_);
    default:
        return new GS_Menu(window_, sceneManager_, soundManager_, sharedBlock_, configManager_, root_, settings_,
                           keyBindings_, gui_, fadeOverlay_, session_, globalSounds_, viewport_, sceneCreator_);
    }
}

void GameCore::scoreWorkerMain()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(scoreWorkerMutex_);
            if (scoreWorkerWake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return scoreWorkerQuit_.load(); }))
                break;
        }
        scoreClient_->workerStep();
    }
    scoreWorkerAlive_->store(false);
}

void GameCore::stopScoreWorker()
{
    {
        std::lock_guard<std::mutex> lock(scoreWorkerMutex_);
        scoreWorkerQuit_ = true;
    }
    scoreWorkerWake_.notify_all();
    if (scoreWorker_.joinable())
        scoreWorker_.join();
}
