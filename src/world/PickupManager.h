#pragma once
// Owns every live pickup of a play in slots (the slot index is the pickup's id and names its
// entity), makes them by definition class, ticks them with the slow-time factor, reports their
// spawn, life, pick and leave events to the mode's mechanics, plays the pick sound and deletes
// those that are taken or expire. It also owns the play's pickup definitions.
#include "world/Pickup.h"

#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Ogre {
class SceneManager;
}
class DamageRegistry;
class GamePlayData;
class GlobalSounds;
class PickupParams;
class PickupParamsLibrary;
class TargetRegistry;

struct PickupSlot {
    uint8_t free = 1;
    std::unique_ptr<Pickup> pickup;
};

class PickupManager {
public:
    static constexpr uint32_t kInitialSlots = 50;

    // objects finds a live game object by id (the game object manager's slots); sounds may be
    // null (silent).
    PickupManager(Ogre::SceneManager* scene, GamePlayData* playData, DamageRegistry* damage, TargetRegistry* targets,
                  GameObjectLookup objects, GlobalSounds* sounds);
    // Deletes every live pickup, then the definitions.
    ~PickupManager();
    PickupManager(const PickupManager&) = delete;
    PickupManager& operator=(const PickupManager&) = delete;

    // A pickup of the definition's class at the position (dropped onto the floor); never refused:
    // a full slot array grows. Null only for a null definition.
    Pickup* spawn(PickupParams* definition, const Ogre::Vector3& position);
    // Once per play tick, after the projectiles.
    void update(float dt);
    // At the end of play: every live pickup out of sight.
    void hideAll();

    uint32_t findFreeSlot();
    // The definitions of this play's pickups.
    PickupParamsLibrary* getLibrary() const { return library_.get(); }
    uint32_t slotCount() const { return static_cast<uint32_t>(slots_.size()); }
    // The pickup in a slot; null for a free slot or an index past the end.
    Pickup* pickupInSlot(uint32_t slot) const;
    uint32_t liveCount() const;
    uint32_t getSpawnedCount() const { return spawned_; }
    // The factor of the pickup updated last (1 outside the slow-time bubble).
    float getTimeFactor() const { return timeFactor_; }

private:
    void growSlots();
    float timeFactorFor(const Pickup& pickup) const;
    // The mechanics events of a definition on a spawn list (nothing for one on none).
    void reportSpawn(const PickupParams& def);
    void reportLive(const PickupParams& def, float dt);
    void reportEnd(const PickupParams& def, bool collected);
    void playPickSound();

    GlobalSounds* sounds_;
    std::unique_ptr<PickupParamsLibrary> library_;
    PickupContext context_;
    float timeFactor_ = 1.0f;
    std::vector<PickupSlot> slots_;
    uint32_t spawned_ = 0;
};
