#pragma once
// Owns every live projectile of a play in slots (the slot index is the projectile's serial), makes
// them by ProjectileType, ticks them with the slow-time factor, deletes those that report
// themselves done, and keeps the play's shot counters.
#include "core/SharedBlock.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Ogre {
class SceneManager;
}
namespace audio {
class SoundManager;
}
class DamageRegistry;
class FxPool;
class GamePlayData;
class Projectile;
class ProjectileDefRegistry;
class TargetRegistry;
class WarHeadParams;
class projParams;

struct ProjectileSlot {
    uint8_t free = 1;
    std::unique_ptr<Projectile> projectile;
};

class ProjectileManager {
public:
    static constexpr uint32_t kInitialSlots = 50;

    ProjectileManager(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                      DamageRegistry* damage, FxPool* fx, ShotStatistics* statistics,
                      ProjectileDefRegistry* definitions, TargetRegistry* targets);
    ~ProjectileManager();
    ProjectileManager(const ProjectileManager&) = delete;
    ProjectileManager& operator=(const ProjectileManager&) = delete;

    uint32_t findFreeSlot();
    // Every call counts as a shot. Nothing is made for a type outside 1 to 5, a null definition or
    // warhead, or a missile without a missile definition; the slot then stays free. tracking and
    // targetSlot serve types 3 to 5 (null tracking: none), dispenserVector type 5 (null: the origin).
    void spawn(int32_t team, int32_t projectileType, const Ogre::Vector3& position,
               const Ogre::Quaternion& orientation, float addedSpeed, float spread, uint32_t ownerId, uint32_t damage,
               projParams* definition, WarHeadParams* warhead, const uint8_t* tracking, uint32_t targetSlot,
               const Ogre::Vector3* dispenserVector);
    void update(float dt);
    void pauseAll();
    void resumeAll();
    void destroyAll();

    uint32_t getShots() const { return shots_; }
    uint32_t getHits() const { return hits_; }
    float getTimeFactor() const { return timeFactor_; }
    uint32_t slotCount() const { return static_cast<uint32_t>(slots_.size()); }
    // The projectile in a slot; null for a free slot or an index past the end.
    Projectile* projectileInSlot(uint32_t slot) const;
    uint32_t liveCount() const;

private:
    void grow();
    // The bubble's factor for a projectile inside it that its owner did not fire, else 1.
    float timeFactorFor(const Projectile& projectile) const;

    GamePlayData* playData_;
    ShotStatistics* statistics_;
    TargetRegistry* targets_;
    float timeFactor_ = 1.0f;
    std::vector<ProjectileSlot> slots_;
    uint32_t shots_ = 0;
    uint32_t hits_ = 0;
    Ogre::SceneManager* scene_;
    DamageRegistry* damage_;
    FxPool* fx_;
    audio::SoundManager* sounds_;
};
