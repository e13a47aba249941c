#pragma once
// Everything of the world that lives for one play: the difficulty and random generator of the
// play, the definition libraries, the damage and target registries, the play's effect pool, the
// projectile, AI, game-object and pickup managers and the weapon handles. Made in the order in which each
// receives the ones before it, deleted in the play's teardown order. The play state owns one; the
// tests and benchmarks use the same.
#include "core/SharedBlock.h"
#include "world/WeaponContext.h"

#include <cstdint>
#include <memory>

namespace Ogre {
class Root;
class SceneManager;
}
namespace audio {
class SoundManager;
}
class AIManager;
class DamageRegistry;
class DificultyData;
class FxParamsLibrary;
class FxPool;
class GOParamsLibrary;
class GameObjectManager;
class PickupManager;
class GamePlayData;
class GlobalSounds;
class ProjectileDefRegistry;
class ProjectileManager;
class RandomGenerator;
class SceneContext;
class SceneCreator;
class TargetRegistry;
class WarheadDefRegistry;
struct GameObjectHandles;

class PlayWorld {
public:
    // What the game core owns and lends to every play; the map is already loaded.
    struct Borrowed {
        Ogre::Root* root = nullptr;
        Ogre::SceneManager* scene = nullptr;
        audio::SoundManager* sounds = nullptr;
        GamePlayData* playData = nullptr;
        SharedBlock* sharedBlock = nullptr;
        SceneContext* sceneContext = nullptr;
        SceneCreator* sceneCreator = nullptr;
        GlobalSounds* globalSounds = nullptr;  // may be null: pickups are then silent
    };

    // seed starts the play's random generator (the game passes a time seed). The difficulty is
    // read from its cache; a missing one leaves zeros.
    PlayWorld(const Borrowed& borrowed, uint32_t seed);
    // Pickups and objects first, then the managers and registries, the libraries, the difficulty, the
    // random generator.
    ~PlayWorld();
    PlayWorld(const PlayWorld&) = delete;
    PlayWorld& operator=(const PlayWorld&) = delete;

    // The world's share of one play tick, after the player's input: the AI (only while playing),
    // the objects, the projectiles, the pickups and the effects.
    void tick(float dt, bool playing);

    const Borrowed& borrowed() const { return borrowed_; }
    DificultyData& difficulty() const { return *difficulty_; }
    RandomGenerator& random() const { return *random_; }
    FxParamsLibrary& fxLibrary() const { return *fxLibrary_; }
    GOParamsLibrary& goLibrary() const { return *goLibrary_; }
    ProjectileDefRegistry& projectileDefs() const { return *projectileDefs_; }
    WarheadDefRegistry& warheadDefs() const { return *warheadDefs_; }
    DamageRegistry& damage() const { return *damage_; }
    FxPool& fx() const { return *fx_; }
    TargetRegistry& targets() const { return *targets_; }
    ProjectileManager& projectiles() const { return *projectiles_; }
    WeaponContext& weaponContext() { return weaponContext_; }
    AIManager& ai() const { return *ai_; }
    GameObjectManager& objects() const { return *objects_; }
    PickupManager& pickups() const { return *pickups_; }
    // The handles every game object receives (the object manager's own).
    const GameObjectHandles& objectHandles() const;

private:
    Borrowed borrowed_;
    std::unique_ptr<DificultyData> difficulty_;
    std::unique_ptr<RandomGenerator> random_;
    std::unique_ptr<FxParamsLibrary> fxLibrary_;
    std::unique_ptr<GOParamsLibrary> goLibrary_;
    std::unique_ptr<ProjectileDefRegistry> projectileDefs_;
    std::unique_ptr<WarheadDefRegistry> warheadDefs_;
    std::unique_ptr<DamageRegistry> damage_;
    std::unique_ptr<FxPool> fx_;
    std::unique_ptr<TargetRegistry> targets_;
    std::unique_ptr<ProjectileManager> projectiles_;
    WeaponContext weaponContext_;
    std::unique_ptr<AIManager> ai_;
    std::unique_ptr<GameObjectManager> objects_;
    std::unique_ptr<PickupManager> pickups_;
};
