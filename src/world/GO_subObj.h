#pragma once
// A part of a game object built from one part definition of its goParams: its own scene node
// under the parent's main node, and, when it is a collision part, a damage body (and a target
// when it is a radar part). GO_subFreeDef adds a weapon node, a GroundWeapon and an aim machine
// (wait, search, lock delay, track); GO_subConeDef runs the same machine but accepts targets only
// within a cone ahead of the part. A part keeps its own damage and target slots; its parent's
// GameObjectData holds no records of them.
#include <OgreVector.h>

#include <cstdint>
#include <memory>

namespace Ogre {
class Entity;
class SceneManager;
class SceneNode;
}
namespace audio {
class SoundManager;
}
class DamageRegistry;
class DificultyData;
class EffectsParams;
class FxPool;
class GameObjectData;
class GroundWeapon;
class ProjectileManager;
class SceneContext;
class TargetRegistry;
class goParams;
class subObjParams;
struct WeaponContext;

class GO_subObj {
public:
    // Builds the part (index into the parent definition's part list) under the parent's main node.
    GO_subObj(Ogre::SceneManager* scene, DamageRegistry* damage, TargetRegistry* targets, goParams* parentParams,
              Ogre::SceneNode* parentNode, GameObjectData* parentData, audio::SoundManager* sounds,
              ProjectileManager* projectiles, FxPool* fx, WeaponContext* weaponContext, DificultyData* difficulty,
              SceneContext* sceneContext, uint32_t index);
    // Frees the registry slots, then the part node's entities, children and the node itself.
    virtual ~GO_subObj();
    GO_subObj(const GO_subObj&) = delete;
    GO_subObj& operator=(const GO_subObj&) = delete;

    // One tick; false when the part has died (its death effect then plays at its world position).
    // A part without a collision body never dies.
    virtual bool update(float dt);
    virtual void updateWeapon(float dt);
    virtual void updateAim(float dt);
    virtual int getWeaponAmmo() const { return 0; }
    virtual bool aimAt(const Ogre::Vector3&) { return true; }
    virtual bool isWeaponReady() const { return false; }
    virtual float getYaw() const { return 0.0f; }
    virtual float getWorldYaw() const { return 0.0f; }
    virtual Ogre::Vector3 getFacing() const { return Ogre::Vector3::ZERO; }
    virtual Ogre::Vector3 getWorldFacing() const { return Ogre::Vector3::ZERO; }

    const subObjParams& params() const;
    uint32_t getIndex() const { return index_; }
    uint32_t getHP() const { return hitPoints_; }
    // Valid only for a collision part (and, for the target slot, a radar part).
    uint32_t getDamageSlot() const { return damageSlot_; }
    uint32_t getTargetSlot() const { return targetSlot_; }
    bool hasDamageBody() const;
    bool isTarget() const;
    Ogre::SceneNode* getNode() const { return node_; }
    Ogre::Entity* getEntity() const { return entity_; }
    Ogre::Entity* getCollisionEntity() const { return collisionEntity_; }
    Ogre::Vector3 getWorldPosition() const;

protected:
    Ogre::SceneManager* scene_ = nullptr;
    DamageRegistry* damage_ = nullptr;
    TargetRegistry* targets_ = nullptr;
    FxPool* fx_ = nullptr;
    goParams* parentParams_ = nullptr;
    audio::SoundManager* sounds_ = nullptr;
    ProjectileManager* projectiles_ = nullptr;
    SceneContext* sceneContext_ = nullptr;
    DificultyData* difficulty_ = nullptr;
    WeaponContext* weaponContext_ = nullptr;
    const EffectsParams* deathEffect_ = nullptr;
    Ogre::SceneNode* node_ = nullptr;
    Ogre::SceneNode* parentNode_ = nullptr;
    uint32_t hitPoints_ = 0;
    uint32_t index_ = 0;
    uint32_t damageSlot_ = 0;
    uint32_t targetSlot_ = 0;
    GameObjectData* parentData_ = nullptr;
    Ogre::Entity* entity_ = nullptr;
    Ogre::Entity* collisionEntity_ = nullptr;

    // "<parent name><parent id>sub<index>": the prefix of every engine name of the part.
    std::string namePrefix() const;

private:
    void build();
};

// An armed part that aims anywhere.
class GO_subFreeDef : public GO_subObj {
public:
    // The aim states: 0 resting after a burst, 1 tracking and firing, 2 searching, 3 lock delay.
    enum AimState { Wait = 0, Track = 1, Search = 2, Lock = 3 };

    GO_subFreeDef(Ogre::SceneManager* scene, DamageRegistry* damage, TargetRegistry* targets, goParams* parentParams,
                  Ogre::SceneNode* parentNode, GameObjectData* parentData, audio::SoundManager* sounds,
                  ProjectileManager* projectiles, FxPool* fx, WeaponContext* weaponContext,
                  DificultyData* difficulty, SceneContext* sceneContext, uint32_t index);
    // The weapon and the weapon node go first.
    ~GO_subFreeDef() override;

    void updateWeapon(float dt) override;
    void updateAim(float dt) override;
    int getWeaponAmmo() const override;
    // The weapon node's local -Z turns toward the world point.
    bool aimAt(const Ogre::Vector3& worldPoint) override;
    bool isWeaponReady() const override;
    float getYaw() const override;
    float getWorldYaw() const override;
    Ogre::Vector3 getFacing() const override;
    Ogre::Vector3 getWorldFacing() const override;

    int getAimState() const { return aimState_; }
    uint32_t getTarget() const { return target_; }
    bool getTrigger() const { return trigger_ != 0; }
    bool hasTarget() const { return hasTarget_ != 0; }
    float getLockTimer() const { return lockTimer_; }
    float getWaitTimer() const { return waitTimer_; }
    float getContFireTimer() const { return contFireTimer_; }
    Ogre::SceneNode* getWeaponNode() const { return weaponNode_; }
    // Null when the part has no weapon context.
    GroundWeapon* getWeapon() const { return weapon_.get(); }

protected:
    // Whether the current target is in use and within lockRange of the part.
    bool targetValid() const;
    // State 3 and 1 for a valid target: whether it may be locked / fired at (the cone parts aim
    // first and test the cone).
    virtual bool acceptForLock() { return true; }
    virtual bool acceptForFire() { return true; }
    void search();
    // The firing rules while tracking a target that counts.
    void fireStep(float dt);

    Ogre::SceneNode* weaponNode_ = nullptr;
    std::unique_ptr<GroundWeapon> weapon_;
    int aimState_ = Search;
    uint32_t target_ = 0;
    float lockTimer_ = 0.0f;
    uint8_t trigger_ = 0;
    uint8_t hasTarget_ = 0;
    float waitTimer_ = 0.0f;
    float contFireTimer_ = 0.0f;
};

// An armed part that only takes targets inside a cone of lockAng ahead of it.
class GO_subConeDef : public GO_subFreeDef {
public:
    using GO_subFreeDef::GO_subFreeDef;

    // (acos(z.x) - 90)^2 + (acos(z.y) - 90)^2 in degrees, z the weapon node's own z axis.
    float coneMeasure() const;

protected:
    bool acceptForLock() override;
    bool acceptForFire() override;
    bool insideCone(float halfAngle);
};
