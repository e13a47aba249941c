#pragma once
#include "core/ExampleApplication.h"

namespace audio {
class SoundManager;
}
struct GameSettings;
class ConfigManager;
class InterpolationAffectorFactory;

// The game's application: settings from config.ini, the window, the archives, the sound
// manager and the frame listener that runs the game.
class MainApplication : public ExampleApplication {
public:
    MainApplication();
    ~MainApplication() override;

    virtual void destroyAffectorFactory();

protected:
    bool configure() override;
    void chooseSceneManager() override;
    void createFrameListener() override;
    void createScene() override;
    void loadResources() override;

private:
    audio::SoundManager* mSoundManager = nullptr;
    GameSettings* mSettings = nullptr;
    ConfigManager* mConfigManager = nullptr;
    InterpolationAffectorFactory* mAffectorFactory = nullptr;
};

// The whole program: start-up, the loop and shut-down; returns the process exit code.
int runGame();

// The resource archives of the game and the engine's own run-time media, in the default group;
// called before the groups are initialised.
void addGameArchives();
