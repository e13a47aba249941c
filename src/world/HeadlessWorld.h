#pragma once
// A play's world on the headless engine, for the tests and the benchmarks: the game's effects,
// sounds and meshes from a laid-out game tree, a scene with a map built by the scene creator, and
// the play's world over it (registries, managers, weapon context, effect pool, random generator).
// The working directory must already be a game tree's Bin/Game (its caches and maps are read
// from there); each user keeps only what is its own (test meshes, a map file, play values, the
// rules or the objects it plays with).
#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/GameSettings.h"
#include "core/HeadlessEngine.h"
#include "core/InterpolationAffector.h"
#include "core/SceneContext.h"
#include "core/SharedBlock.h"
#include "world/PlayWorld.h"
#include "world/SceneCreator.h"

#include <OgreVector.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class HeadlessWorld {
public:
    struct Options {
        std::string gameTree;  // where the meshes, particle scripts and sounds come from
        std::string mediaDir;  // a scratch folder for the particle scripts' stand-ins
        std::string logName = "headless.log";
        std::string map = "Town";  // a map of Data/Scenes; "" builds none
        bool mapFromIni = false;   // read the map's map.ini rather than its cache
        // The scene creator takes the play data (the map then sets its spawn points and border).
        bool mapTakesPlayData = true;
        bool loadPlaySettings = true;  // the game's play settings before the map is built
        bool sceneContextHasSounds = true;
        Ogre::Vector4 playArea{-80.0f, -55.0f, 80.0f, 55.0f};  // what every play uses
        float playAreaScale = 1.0f;
        uint32_t seed = 1;
        // After the engine and its resources, before the map: test meshes, a map file of one's
        // own, play values the map or the world reads.
        std::function<void(HeadlessWorld&)> beforeMap;
    };

    explicit HeadlessWorld(const Options& options);
    // The world first, then the map, then the engine.
    ~HeadlessWorld();
    HeadlessWorld(const HeadlessWorld&) = delete;
    HeadlessWorld& operator=(const HeadlessWorld&) = delete;

    // Moves the scene graph on, as a rendered frame would (scene-query rays need it).
    void settle();

    InterpolationAffectorFactory affectors;  // outlives the engine's particle systems
    HeadlessEngine engine;
    audio::SoundManager sounds;
    GameSettings settings;
    GamePlayData playData;
    SceneContext context;
    SharedBlock sharedBlock;
    Ogre::SceneManager* scene = nullptr;
    std::unique_ptr<SceneCreator> creator;
    std::unique_ptr<PlayWorld> world;
};
