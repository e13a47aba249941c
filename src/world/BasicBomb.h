#pragma once
// The steered, accelerating shots: the bomb (a mesh, its target point from a tracked
// TargetRegistry slot) and the dispenser (no mesh, a fixed target point given at launch). Both
// turn their facing toward the target point through a child aim node and end on the ground, a
// blocker or a body in an area blast that never hurts the shooter's team, or in their warhead's
// napalm or cluster stage.
#include "world/Adv_Projectile.h"

class BasicBomb : public Adv_Projectile {
public:
    BasicBomb(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds, DamageRegistry* damage,
              const Ogre::Vector3& position, float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial,
              uint8_t tracking, uint32_t targetSlot, float spread, FxPool* fx, uint32_t ownerId,
              projParams* definition, WarHeadParams* warhead, TargetRegistry* targets, int32_t team,
              uint32_t damageAmount);
    ~BasicBomb() override;

    bool update(float dt, bool& hitReport, int& projectileType) override;
    bool advance(const float& dt, bool& hitReport) override;
    bool updateTrail(const float& dt) override;
    void steerTowardTarget(float dt);

    const Ogre::Vector3& getTargetPoint() const { return targetPoint_; }
    bool hasTargetPoint() const { return hasTargetPoint_; }
    const Ogre::Vector3& getLaunchFacing() const { return launchFacing_; }
    Ogre::SceneNode* getAimNode() const { return aimNode_; }

protected:
    struct DispenserSetUp {};
    // The dispenser's construction: no mesh, the target point known from the start.
    BasicBomb(DispenserSetUp, GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
              DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
              const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
              float spread, FxPool* fx, uint32_t ownerId, projParams* definition, WarHeadParams* warhead,
              TargetRegistry* targets, int32_t team, uint32_t damageAmount, const Ogre::Vector3& targetPoint);

    // The flight shared by both; the bomb stops its live sound on a ground hit.
    bool flyAndHit(float dt, bool& hitReport, bool stopLiveSoundOnGround);
    // A plain blast: area damage without friendly fire, then the detonation; with an impact sound
    // the projectile waits, hidden, for it to end.
    bool plainBlast();

    Ogre::Vector3 launchFacing_ = Ogre::Vector3::ZERO;
    Ogre::Vector3 targetPoint_ = Ogre::Vector3::ZERO;
    bool hasTargetPoint_ = false;
    Ogre::SceneNode* aimNode_ = nullptr;
    float hitDistance_ = 0.0f;

private:
    void setUp(const std::string& entityName, const std::string& meshName, const Ogre::Vector3& position,
               float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking,
               uint32_t targetSlot, float spread, uint32_t ownerId, int32_t team, uint32_t damageAmount);
};

class Dispenser : public BasicBomb {
public:
    // A null target point counts as the origin.
    Dispenser(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds, DamageRegistry* damage,
              const Ogre::Vector3& position, float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial,
              uint8_t tracking, uint32_t targetSlot, float spread, FxPool* fx, uint32_t ownerId,
              projParams* definition, WarHeadParams* warhead, TargetRegistry* targets, int32_t team,
              uint32_t damageAmount, const Ogre::Vector3* targetPoint);
    ~Dispenser() override;

    bool advance(const float& dt, bool& hitReport) override;
};
