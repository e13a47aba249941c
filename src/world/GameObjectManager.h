#pragma once
// Owns every live game object of a play in slots; an object's id is its slot index, so ids are
// reused after removal. Makes objects by kind or definition name, remembers the player's slot,
// updates everything once per tick with the slow-time factor, updates and removes parts, books
// kills, departures and lost parts into the play data and the shot statistics, and deletes the
// dead. Every shooter key of the world is its carrier's object id, so the attacker a damage
// entry records is read here as a slot.
#include "core/SharedBlock.h"
#include "definitions/GameObjectKind.h"
#include "world/GameObject.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

class AIManager;
class GOParamsLibrary;

class GameObjectManager {
public:
    static constexpr uint32_t kInitialSlots = 50;
    // The player's vehicle: its definition, where and for whom it appears.
    static constexpr const char* kPlayerVehicle = "abrams";
    static constexpr uint32_t kPlayerTeam = 1;

    struct Slot {
        uint8_t free = 1;
        GameObject* object = nullptr;  // owned while the slot is in use
        uint8_t hasAI = 0;             // the object has an entry in the AI manager
    };

    GameObjectManager(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                      RandomGenerator* random, DamageRegistry* damage, ProjectileManager* projectiles, FxPool* fx,
                      TargetRegistry* targets, ShotStatistics* statistics, GOParamsLibrary* library,
                      WeaponContext* weaponContext, AIManager* ai, DificultyData* difficulty,
                      SceneContext* sceneContext);
    // Deletes every object still held.
    ~GameObjectManager();
    GameObjectManager(const GameObjectManager&) = delete;
    GameObjectManager& operator=(const GameObjectManager&) = delete;

    // First free slot; grows to n + n/2 + 1 slots when none is free and returns the old n.
    uint32_t findFreeSlot();
    // An object of that kind from the definition, placed at position, with the slot as its id.
    // Null for a null definition, a definition of another kind's class or a kind outside 1 to 5
    // (the slot stays free). Only a made object books the spawn of its mechanics row.
    GameObject* spawn(goParams* definition, GameObjectKind kind, const Ogre::Vector3& position, uint32_t team);
    // The definition of that name and kind, then spawn; null for "" and " " or an unknown name.
    GameObject* spawnByName(const std::string& name, const Ogre::Vector3& position, uint32_t team,
                            GameObjectKind kind);
    // The player's "abrams" at (0, 2, 0) for team 1; its slot becomes the player slot. Null, with
    // no slot taken and the player slot unchanged, when the definition cannot be had.
    GameObject* spawnPlayer();

    // One tick of every object (and its parts, with the unscaled dt), booking and removing the
    // dead and departed; the player's object is told instead of removed.
    void updateAll(float dt);
    void onObjectDestroyed(uint32_t slot);
    void onSubObjectDestroyed(uint32_t slot, uint32_t partIndex);
    // Deletes a used slot's object (and its AI entry).
    void remove(uint32_t slot);

    // Gives the object an AI entry, replacing the one it had; nothing for an object not held here.
    void attachAI(GameObject* object);
    // Objects driven by the air behaviour (air objects and Ovni).
    int countOvnis() const;
    // Objects whose definition has that mechanics row number.
    int countInSpawnGroup(uint32_t row) const;

    void pauseAllSounds();
    void resumeAllSounds();
    // The first-frame hook of every object.
    void callAllSlot32();
    // Deletes every object and releases the slots (end of play).
    void destroyAll();

    // What the pickups and the play read directly.
    const std::vector<Slot>& slots() const { return slots_; }
    uint32_t getSlotCount() const { return static_cast<uint32_t>(slots_.size()); }
    // The object in a used slot; null otherwise.
    GameObject* getObject(uint32_t slot) const;
    uint32_t getPlayerSlot() const { return playerSlot_; }
    GameObject* getPlayer() const { return playerSpawned_ ? getObject(playerSlot_) : nullptr; }
    uint32_t getSpawnCount() const { return spawnCount_; }
    uint32_t liveCount() const;
    // The slow-time factor of the object being updated (1 between updates).
    float getTimeFactor() const { return timeFactor_; }
    const GameObjectHandles& handles() const { return handles_; }

private:
    GameObject* make(goParams* definition, GameObjectKind kind, uint32_t slot, uint32_t team);
    // The mechanics row of the object's definition; 0 without one.
    static uint32_t mechanicsRowOf(const GameObject& object);
    bool isPlayerSlot(uint32_t slot) const { return playerSpawned_ && slot == playerSlot_; }
    // Bullet or missile kill by the hit type, air or ground kill by the victim's category.
    void countKill(uint32_t hitType, uint32_t victimCategory);

    GamePlayData* playData_;
    ShotStatistics* statistics_;
    GOParamsLibrary* library_;
    WeaponContext* weaponContext_;
    FxPool* fx_;
    uint32_t playerSlot_ = 0;
    bool playerSpawned_ = false;
    AIManager* ai_;
    SceneContext* sceneContext_;
    DificultyData* difficulty_;
    RandomGenerator* random_;
    float timeFactor_ = 1.0f;
    std::vector<Slot> slots_;
    uint32_t spawnCount_ = 0;
    Ogre::SceneManager* scene_;
    DamageRegistry* damage_;
    audio::SoundManager* sounds_;
    ProjectileManager* projectiles_;
    TargetRegistry* targets_;
    GameObjectHandles handles_;
};
