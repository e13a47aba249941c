#pragma once
// The play's table of things that can be targeted, searched by team, range and radar detection.
// Slots are the handles AI records and guided projectiles keep for their target.
#include <OgreVector.h>

#include <cstdint>
#include <vector>

namespace Ogre {
class Entity;
class SceneNode;
}
class GameObjectData;
class goParams;

// One slot; a fresh one is free with every other field 0 or null.
struct TargetEntry {
    uint8_t free = 1;
    Ogre::SceneNode* node = nullptr;  // its world position is the target position
    uint8_t active = 0;
    goParams* definition = nullptr;  // RadarRange, RadarStealth, TgtStealthRes
    GameObjectData* ownerData = nullptr;
    Ogre::Entity* entity = nullptr;  // the visible entity
    uint8_t spare = 0;
    uint8_t targeted = 0;        // a weapon locked on; cleared by the target's AI
    uint8_t missileWarning = 0;  // a guided missile homes on it; cleared by the target's AI
    uint8_t subObjectFlag = 0;
    uint32_t subObjectNumber = 0;
};

class TargetRegistry {
public:
    static constexpr uint32_t kInitialSlots = 50;

    TargetRegistry();

    uint32_t findFreeSlot();
    // Grows to n + n/2 + 1 slots, keeping the old ones in order; returns the old length n.
    uint32_t grow();
    uint32_t add(Ogre::SceneNode* node, Ogre::Entity* entity, GameObjectData* owner, goParams* definition,
                 uint32_t subObjectNumber, uint8_t subObjectFlag);
    void remove(uint32_t slot);

    // A slot in use is not free and active. Unknown slots are never in use.
    bool inUse(uint32_t slot) const;
    goParams* getParams(uint32_t slot) const;
    // World position of the slot's node; the origin for a slot not in use.
    Ogre::Vector3 getPosition(uint32_t slot) const;
    // Where a gun aims: the centre of the slot's visible body, which for a vehicle on the ground
    // lies above its node; the node's position when the slot has no body in the scene.
    Ogre::Vector3 getAimPoint(uint32_t slot) const;
    void setTargeted(uint32_t slot);
    // The slot is in use and its owner is an enemy of ownTeam (neither that team nor neutral).
    bool isEnemyOf(uint32_t slot, int32_t ownTeam) const { return inUse(slot) && isEnemy(mEntries[slot], ownTeam); }

    // In range means a squared distance strictly below range squared.
    bool isInRange(uint32_t slot, const Ogre::Vector3& centre, float range) const;
    // First enemy (neither ownTeam nor neutral) in range that the searcher detects.
    bool findEnemyInRange(uint32_t& slot, const uint32_t* searcherSlot, int32_t ownTeam,
                          const Ogre::Vector3& centre, float range, bool useExclusion, uint32_t excludedSlot) const;
    bool findTeamInRange(uint32_t& slot, int32_t team, const Ogre::Vector3& centre, float range) const;
    bool findNeutralInRange(uint32_t& slot, const Ogre::Vector3& centre, float range) const;
    // Radar detection of the candidate by the searcher; false unless both slots are in use.
    bool canDetect(const uint32_t* searcherSlot, uint32_t candidateSlot) const;
    // The nearest detectable enemy at any range; the squared distance is stored truncated and a
    // candidate must be nearer than that to replace the one taken (ties keep the lower slot).
    bool findBest(uint32_t& slot, const uint32_t* searcherSlot, int32_t ownTeam, const Ogre::Vector3& centre,
                  uint32_t& bestSquaredDistance) const;

    uint32_t getNumEntries() const { return static_cast<uint32_t>(mEntries.size()); }
    // The AI reads and clears the targeted and missile-warning bytes by index.
    std::vector<TargetEntry>& entries() { return mEntries; }
    const std::vector<TargetEntry>& entries() const { return mEntries; }

private:
    bool isEnemy(const TargetEntry& e, int32_t ownTeam) const;

    std::vector<TargetEntry> mEntries;
};
