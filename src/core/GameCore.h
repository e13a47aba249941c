#pragma once
#include <OgreTextureUnitState.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Root;
class Viewport;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
namespace MyGUI {
class Gui;
}
namespace audio {
class SoundManager;
}
struct SharedBlock;
struct GameSettings;
class ConfigManager;
class GameSession;
class RandomGenerator;
class ZV_GameState;
class GamePlayData;
class KeyBindings;
class FadeOverlay;
class GlobalSounds;
class SceneCreator;
class SceneContext;
class FxParamsLibrary;
class FxPool;
class ScoreTableClient;

// The texture filtering a TextureQuality setting asks for.
struct TextureFilteringChoice {
    Ogre::TextureFilterOptions filtering;
    unsigned anisotropy;
};
TextureFilteringChoice textureFilteringFor(int textureQuality);
// Makes that choice the material manager's default.
void applyTextureFilteringFor(int textureQuality);

// Owns the game's long-lived objects and the current game state, runs the per-frame services in
// a fixed order and replaces the state when it leaves.
class GameCore {
public:
    GameCore(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
             SharedBlock* block, ConfigManager* configManager, Ogre::Root* root, GameSettings* settings,
             MyGUI::Gui* gui, Ogre::Viewport* viewport);
    ~GameCore();
    GameCore(const GameCore&) = delete;
    GameCore& operator=(const GameCore&) = delete;

    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);

    ZV_GameState* currentState() const { return currentState_; }
    GameSession* session() const { return session_; }
    RandomGenerator* randomGenerator() const { return randomGenerator_; }
    GamePlayData* playData() const { return playData_; }
    SceneContext* sceneContext() const { return sceneContext_; }
    FxParamsLibrary* fxParamsLibrary() const { return fxParamsLibrary_; }
    ScoreTableClient* scoreClient() const { return scoreClient_; }

    // True from the score worker's start until it has returned; shared so it can be read after
    // the core is gone.
    std::shared_ptr<const std::atomic<bool>> scoreWorkerAlive() const { return scoreWorkerAlive_; }

private:
    void createResourceGroups();
    void applyTextureFiltering();
    // Builds the state for a next-state id (the title menu for any id without a state).
    ZV_GameState* createStateFor(uint32_t nextStateId);
    void scoreWorkerMain();
    void stopScoreWorker();

    std::thread scoreWorker_;
    GamePlayData* playData_ = nullptr;
    ZV_GameState* currentState_ = nullptr;
    GameSession* session_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    Ogre::SceneManager* sceneManager_ = nullptr;
    audio::SoundManager* soundManager_ = nullptr;
    SharedBlock* sharedBlock_ = nullptr;
    ConfigManager* configManager_ = nullptr;
    Ogre::Root* root_ = nullptr;
    GameSettings* settings_ = nullptr;
    KeyBindings* keyBindings_ = nullptr;
    MyGUI::Gui* gui_ = nullptr;
    FadeOverlay* fadeOverlay_ = nullptr;
    GlobalSounds* globalSounds_ = nullptr;
    Ogre::Viewport* viewport_ = nullptr;
    SceneCreator* sceneCreator_ = nullptr;
    SceneContext* sceneContext_ = nullptr;
    FxParamsLibrary* fxParamsLibrary_ = nullptr;
    FxPool* fxPool_ = nullptr;
    RandomGenerator* randomGenerator_ = nullptr;
    ScoreTableClient* scoreClient_ = nullptr;

    // The score worker's stop signal; the condition wakes it at once instead of after its sleep.
    std::atomic<bool> scoreWorkerQuit_{false};
    std::mutex scoreWorkerMutex_;
    std::condition_variable scoreWorkerWake_;
    std::shared_ptr<std::atomic<bool>> scoreWorkerAlive_ = std::make_shared<std::atomic<bool>>(false);
};
