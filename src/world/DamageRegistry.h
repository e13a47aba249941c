#pragma once
// The play's table of every collision body that can take damage: who owns it, how much damage it
// has taken and who dealt the last hit. It also owns the sorted ray query and the mesh geometry
// cache that the ray casts share.
#include "world/BoxTree.h"
#include "world/MeshRayCache.h"

#include <OgreSphere.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Ogre {
class Entity;
class RaySceneQuery;
class SceneManager;
}
class DificultyData;
class GameObjectData;
class GamePlayData;
class MeshRayCache;
class RandomGenerator;
class SceneContext;
class SceneCreator;

// One registered body. A fresh slot is free with every number 0, no entity, no owner and no
// attacker (-1).
struct DamageEntry {
    Ogre::Entity* entity = nullptr;
    uint32_t bodyKind = 0;  // 3 plain object and ground vehicle, 4 ground object and part, 5 air object and Ovni
    uint8_t flags[6] = {};  // 0, 0, 1, 1, ActorColide, 0 on registration; not read here
    uint8_t collidable = 0;
    uint32_t team = 0;  // as registered; area damage reads the owner's team instead
    uint32_t ownerId = 0;
    uint8_t active = 0;
    uint8_t free = 1;
    float damageTaken = 0.0f;
    uint32_t lastHitType = 0;
    int32_t lastAttackerId = -1;
    uint8_t subObjectFlag = 0;
    uint32_t subObjectNumber = 0;
    GameObjectData* ownerData = nullptr;
};

class DamageRegistry {
public:
    // The random generator and the difficulty record are kept but not used by the registry.
    DamageRegistry(GamePlayData* playData, Ogre::SceneManager* sceneManager, RandomGenerator* random,
                   DificultyData* difficulty, SceneContext* sceneContext, SceneCreator* sceneCreator);
    // Destroys the ray query through the scene manager (which must still exist).
    ~DamageRegistry();
    DamageRegistry(const DamageRegistry&) = delete;
    DamageRegistry& operator=(const DamageRegistry&) = delete;

    // First free slot; grows when there is none and returns the first new index.
    uint32_t findFreeSlot();
    // Grows to n + n/2 + 1 slots, keeping the old ones in order; returns the old length n.
    uint32_t grow();

    // Registers a body and marks the entity with query flags 1. The last-hit fields and the damage
    // a previous holder left are reset only here.
    uint32_t add(Ogre::Entity* entity, GameObjectData* ownerData, uint32_t bodyKind, uint8_t actorColide,
                 uint32_t team, uint32_t ownerId, uint8_t subObjectFlag, uint32_t subObjectNumber);
    // Frees the slot; its damage taken stays readable until the slot is reused.
    void remove(uint32_t slot);

    // Null for a free or unknown slot.
    GameObjectData* getOwnerData(uint32_t slot) const;
    // Records a hit on a slot in use (half of it when the player hits itself); nothing for a free
    // or unknown slot or an owner that takes no damage.
    void addDamage(uint32_t slot, float amount, uint32_t hitType, int32_t attackerId);
    // Hits every body whose world position lies strictly within the radius; with fade the damage
    // falls linearly with the squared distance. A null attacker team spares nobody.
    void applyAreaDamage(const Ogre::Vector3& centre, float radius, float damage, uint32_t hitType,
                         const int32_t* attackerTeam, bool fade, bool friendlyFire, int32_t attackerId);
    // First active, collidable slot in use holding the entity, other than excludedSlot.
    bool findByEntity(Ogre::Entity* entity, uint32_t excludedSlot, uint32_t& slot) const;

    uint32_t getNumEntries() const { return static_cast<uint32_t>(mEntries.size()); }
    // The slot's entry; null for an index beyond the array.
    DamageEntry* getEntry(uint32_t slot) { return slot < mEntries.size() ? &mEntries[slot] : nullptr; }
    const DamageEntry* getEntry(uint32_t slot) const { return slot < mEntries.size() ? &mEntries[slot] : nullptr; }
    const std::vector<DamageEntry>& entries() const { return mEntries; }

    // What the ray casts share.
    GamePlayData* playData() const { return mPlayData; }
    SceneCreator* sceneCreator() const { return mSceneCreator; }
    SceneContext* sceneContext() const { return mSceneContext; }
    Ogre::RaySceneQuery* rayQuery() const { return mRayQuery; }
    Ogre::Sphere& scratchSphere() { return mScratchSphere; }
    MeshRayCache& meshCache() { return *mMeshCache; }
    // Reads every mesh out of its buffers on each ray instead of using the cache: the reference the
    // cache is checked against.
    void setPerRayExtraction(bool perRay) { mPerRayExtraction = perRay; }
    bool perRayExtraction() const { return mPerRayExtraction; }

    // From hold to release nothing moves a registered body (the play tick holds them while its
    // shots fly), so the damage-body rays may find their bodies through a tree over the bodies'
    // world boxes instead of trying each one. The tree is built at the first ray after the hold
    // and again after a body is added; a removed body stays in it and is skipped as free.
    void holdBodiesStill();
    void releaseBodies();
    // Holds the bodies still for its own life.
    class StillBodies {
    public:
        explicit StillBodies(DamageRegistry& registry) : mRegistry(registry) { mRegistry.holdBodiesStill(); }
        ~StillBodies() { mRegistry.releaseBodies(); }
        StillBodies(const StillBodies&) = delete;
        StillBodies& operator=(const StillBodies&) = delete;

    private:
        DamageRegistry& mRegistry;
    };
    // The bodies' tree while they are held still; null otherwise.
    struct BodyTree {
        struct Body {
            uint32_t slot = 0;
            MeshRayCache::Placement placement;  // where it stands
            Ogre::AxisAlignedBox box;           // its world box
        };
        std::vector<BoxTreeNode> nodes;  // over the world boxes of the bodies placed at the hold
        std::vector<Body> bodies;        // the leaves' bodies in leaf order
        std::vector<uint32_t> loose;     // slots whose world box is not finite: tried on every ray
        std::vector<Body> placed;        // kept for the next build, with the box corners and centres
        std::vector<Ogre::Vector3> boxMin, boxMax, centres;
        std::vector<uint32_t> order;
    };
    const BodyTree* bodyTree();
    // The bodies' world positions by x while they are held still, for area damage; null otherwise.
    struct BodyPlaces {
        struct Place {
            float x;
            uint32_t slot;
        };
        std::vector<Place> byX;
        std::vector<uint32_t> loose;  // positions that are not finite numbers
    };
    const BodyPlaces* bodyPlaces();

private:
    GamePlayData* mPlayData = nullptr;
    SceneCreator* mSceneCreator = nullptr;
    std::vector<DamageEntry> mEntries;
    Ogre::RaySceneQuery* mRayQuery = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    SceneContext* mSceneContext = nullptr;
    Ogre::Sphere mScratchSphere{Ogre::Vector3::ZERO, 0.0f};
    RandomGenerator* mRandom = nullptr;
    DificultyData* mDifficulty = nullptr;
    std::unique_ptr<MeshRayCache> mMeshCache;
    bool mPerRayExtraction = false;
    bool mHeldStill = false;
    bool mTreeBuilt = false;
    BodyTree mTree;
    bool mPlacesBuilt = false;
    BodyPlaces mPlaces;
    std::vector<uint32_t> mNear;
};
