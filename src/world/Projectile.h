#pragma once
// Live shots of a play. A projectile owns one scene node (a child of the scene root) with its
// mesh and up to three sounds; it flies along its node's facing (-z), tests its path against the
// projectile blocker, the battle border and the damage bodies, and on a hit deals damage, plays
// the warhead's impact sound and spawns the warhead's first effect. The ProjectileManager makes,
// ticks and deletes them; only the concrete classes are ever made.
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Ogre {
class Entity;
class SceneManager;
class SceneNode;
}
namespace audio {
class Sound;
class SoundManager;
}
namespace fx {
class ParticleStock;
}
class DamageRegistry;
class FxPool;
class GamePlayData;
class MissParams;
class TargetRegistry;
class WarHeadParams;
class projParams;

// ProjectileRecord::state
enum ProjectileState : int32_t {
    ProjectileState_Flying = 0,
    ProjectileState_Stage = 1,     // napalm or cluster stage running
    ProjectileState_Trail = 2,     // spent rocket or missile, hidden, living out its trail
    ProjectileState_Exploded = 3,  // hit made, waiting for the impact sound to end
};

// The flight and warhead record of one projectile.
struct ProjectileRecord {
    ProjectileRecord(projParams* definition, WarHeadParams* warhead, uint32_t serial, uint32_t ownerId, int32_t team,
                     int32_t targetSlot, uint32_t damage, float speed, float life, Ogre::SceneNode* node,
                     uint8_t tracking);

    projParams* definition;
    WarHeadParams* warhead;
    Ogre::SceneNode* node;
    uint32_t serial;  // ends every name the projectile makes
    int32_t state = ProjectileState_Flying;
    float life;
    float speed;
    float maxSpeed = 0.0f;
    uint32_t ownerId;  // shooter key: excluded from the body ray, the attacker of every hit
    int32_t team;
    uint8_t spareFlag = 0;
    uint8_t hit = 0;          // a body was hit (direct, proximity or surround fuse)
    uint8_t countedHit = 0;   // set with hit; the manager counts the hit from it
    int32_t targetSlot;       // the guided shot's TargetRegistry slot
    uint8_t spareByte = 0;
    int32_t spareWord = 0;
    uint8_t tracking;
    uint32_t damage;
    int32_t spareOne = 1;
    int32_t spareZero = 0;
};

class Projectile {
public:
    virtual ~Projectile();
    Projectile(const Projectile&) = delete;
    Projectile& operator=(const Projectile&) = delete;

    virtual void destroyAttachments();
    // One tick; false once the projectile is done. hitReport tells whether it hit this tick,
    // projectileType is the definition's type.
    virtual bool update(float dt, bool& hitReport, int& projectileType);
    // Stops the live sound, hides the mesh, plays the impact sound and spawns the first effect.
    virtual void detonate();
    virtual bool advance(const float& dt, bool& hitReport) = 0;
    // Blocker, border, then the damage bodies.
    virtual bool rayHitTest(float dt);
    virtual bool collideObjects(float dt);
    virtual bool groundTest(const float& dt, float& hitDistance);
    virtual void pauseSounds();
    virtual void resumeSounds();

    ProjectileRecord* getRecord() const { return record_.get(); }
    Ogre::SceneNode* getNode() const { return node_; }
    Ogre::Entity* getEntity() const { return entity_; }
    bool isVisible() const { return visible_ != 0; }
    float getLife() const { return life_; }
    float getSpeed() const { return speed_; }
    float getDistance() const { return distance_; }
    const Ogre::Vector3& getLastPosition() const { return lastPosition_; }
    audio::Sound* getImpactSound() const { return impactSound_; }
    audio::Sound* getLiveSound() const { return liveSound_; }
    audio::Sound* getSpawnSound() const { return spawnSound_; }

protected:
    Projectile(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
               DamageRegistry* damage, FxPool* fx, projParams* definition, WarHeadParams* warhead,
               TargetRegistry* targets);

    // The shared construction steps: node at the spawn pose with the named mesh (none for an
    // empty mesh name), speed, life, spread, record, sounds. Visibility is left to finishSetup.
    void setUpNode(const std::string& entityName, const std::string& meshName, const Ogre::Vector3& position,
                   const Ogre::Quaternion& orientation);
    // Where the shot's root node comes from and goes back to; null: made and destroyed.
    fx::ParticleStock* nodeStock() const;
    void applySpread(float spread);
    void makeRecord(uint32_t serial, uint32_t ownerId, int32_t team, int32_t targetSlot, uint32_t damage,
                    uint8_t tracking);
    void makeFlightSounds(uint32_t serial);
    void applyMinDistVisible();

    // Levels the nose and holds the float height over the projectile floor.
    void floatOverFloor(float dt);
    // Shows the node once the distance flown reaches the definition's MinDistVisible.
    void advanceDistance(float dt);
    void moveForward(float dt);
    void accelerate(float dt);
    void hideNode();
    void hideMesh();
    void stopLiveSound();
    // Area damage of the warhead at a point, with the warhead's friendly fire or without.
    void areaDamage(const Ogre::Vector3& centre, bool friendlyFire);
    // Direct damage on a body unless friendly fire is off and the body is on the shooter's team.
    void directDamage(uint32_t slot, float amount);
    // The nearest damage body along the facing that the shooter does not own.
    bool nearestForeignBody(uint32_t& slot, float& distance, float within);
    // The TargetRegistry slot is in use (not free, active).
    bool targetInUse(int32_t slot) const;
    // The impact sound exists and plays (a paused one counts: the play is only held).
    bool impactSoundRunning() const;
    Ogre::Vector3 facing() const;
    float window(float dt) const { return speed_ * dt * 60.0f; }
    // Ground ray against the movement floors through this projectile's cached triangle.
    bool floorRay(const Ogre::Vector3& origin, const Ogre::Vector3& direction, Ogre::Vector3& point,
                  float& distance);

    GamePlayData* playData_;
    Ogre::SceneManager* scene_;
    audio::SoundManager* sounds_;
    DamageRegistry* damage_;
    FxPool* fx_;
    projParams* definition_;
    WarHeadParams* warhead_;
    TargetRegistry* targets_;
    std::unique_ptr<ProjectileRecord> record_;
    Ogre::SceneNode* node_ = nullptr;
    Ogre::Entity* entity_ = nullptr;
    uint8_t visible_ = 0;
    float life_ = 0.0f;
    float speed_ = 0.0f;
    float distance_ = 0.0f;
    Ogre::Vector3 groundPoint_ = Ogre::Vector3::ZERO;
    Ogre::Vector3 stagePoint_ = Ogre::Vector3::ZERO;
    Ogre::Vector3 floatPoint_ = Ogre::Vector3::ZERO;
    audio::Sound* impactSound_ = nullptr;
    audio::Sound* liveSound_ = nullptr;
    audio::Sound* spawnSound_ = nullptr;
    Ogre::Vector3 lastPosition_ = Ogre::Vector3::ZERO;
    // The floor triangle of the last ground ray, tested first by the next one.
    Ogre::Vector3 floorCorner_[3] = {Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
    uint32_t floorNumber_ = 0;
};

// The plain bullet.
class P_bullet : public Projectile {
public:
    P_bullet(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds, DamageRegistry* damage,
             const Ogre::Vector3& position, float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial,
             float spread, uint32_t ownerId, projParams* definition, WarHeadParams* warhead, FxPool* fx,
             TargetRegistry* targets, int32_t team, uint32_t damageAmount);
    ~P_bullet() override;

    bool advance(const float& dt, bool& hitReport) override;

private:
    // Each tick's test looks one tick's travel ahead of the moved round; the first tick also
    // looks ahead of the muzzle, or a body within that travel would be passed through.
    uint8_t muzzleTested_ = 0;
    bool onHit(bool& hitReport);
};
