#pragma once
// The unguided rocket and the guided missile. Both burn an engine reactor; after a hit, a fuse or
// burn-out they stay, mesh hidden, in the trail state until the impact sound ends, so the trail
// keeps burning where they stopped. The missile homes on a TargetRegistry slot through a seeker
// node, loses the target outside its field of view, and turns at a fixed rate.
#include "world/Adv_Projectile.h"

class BasicRocket : public Adv_Projectile {
public:
    BasicRocket(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds, DamageRegistry* damage,
                const Ogre::Vector3& position, float addedSpeed, const Ogre::Quaternion& orientation, uint32_t serial,
                float spread, uint32_t ownerId, projParams* definition, WarHeadParams* warhead, FxPool* fx,
                TargetRegistry* targets, int32_t team, uint32_t damageAmount);
    ~BasicRocket() override;

    bool update(float dt, bool& hitReport, int& projectileType) override;
    bool advance(const float& dt, bool& hitReport) override;
    bool updateTrail(const float& dt) override;

    float getTrailTime() const { return trailTime_; }

protected:
    struct MissileSetUp {};
    // The missile's construction: its own mesh and name, the seeker made by the missile.
    BasicRocket(MissileSetUp, GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
                float spread, uint32_t ownerId, projParams* definition, WarHeadParams* warhead, FxPool* fx,
                TargetRegistry* targets, int32_t team, uint32_t damageAmount);

    // A hit or a fuse: mesh hidden, trail state, live sound stopped, detonation.
    void endInHit(bool& hitReport);
    // Motion, life and acceleration; burnt out: mesh hidden, trail state, no blast.
    void fly(float dt);

    float trailTime_ = 0.0f;
};

class BasicMissile : public BasicRocket {
public:
    static constexpr const char* kMeshName = "stand_missil.mesh";

    BasicMissile(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                 DamageRegistry* damage, const Ogre::Vector3& position, float addedSpeed,
                 const Ogre::Quaternion& orientation, uint32_t serial, uint8_t tracking, uint32_t targetSlot,
                 float spread, uint32_t ownerId, MissParams* definition, WarHeadParams* warhead, FxPool* fx,
                 TargetRegistry* targets, int32_t team, uint32_t damageAmount);
    ~BasicMissile() override;

    void destroyAttachments() override {}
    bool update(float dt, bool& hitReport, int& projectileType) override;
    bool advance(const float& dt, bool& hitReport) override;
    virtual void acquireTarget(const float& dt);

    // 1.0 without a seeker kind; lower against a stealthy target.
    float getTrackingQuality() const;
    // Fires when the tracked target is within SroundFuse_TGTDist, damaging its own body.
    bool checkSurroundFuse();

    Ogre::SceneNode* getSeeker() const { return seeker_; }

private:
    // The target entry is in use.
    bool targetAlive() const;

    MissParams* missile_;
    Ogre::SceneNode* seeker_ = nullptr;
};
