#pragma once
// Base of every live battle object of a play (the plain kind-1 object, ground objects, ground
// vehicles, air objects and Ovni). It keeps the play's handles, the definition, the main node
// and aim node with their entities, the object's GameObjectData, its parts (GO_subObj) and its
// damage and target registry slots. Hit points are the data's HP minus the damage taken that
// the damage registry keeps in the object's entry.
//
// Subclasses build through the protected constructor, which stores the handles and builds
// nothing; each class then makes its data, scene and parts once. The protected helpers below
// (effects, spawn/death/hit-marker steps, the aim-node operations, weapon readers) are the
// shared bodies every subclass calls, so each behaviour is written once.
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
class GO_subObj;
class GameObjectData;
class GamePlayData;
class ProjectileManager;
class RandomGenerator;
class SceneContext;
class TargetRegistry;
class VirtualReactor;
class Weapon;
class goParams;
struct WeaponContext;

// The play handles every game object receives when it is made and keeps for its life; none of
// them is owned by the object.
struct GameObjectHandles {
    GamePlayData* playData = nullptr;
    RandomGenerator* random = nullptr;
    DamageRegistry* damage = nullptr;
    TargetRegistry* targets = nullptr;
    audio::SoundManager* sounds = nullptr;
    ProjectileManager* projectiles = nullptr;
    FxPool* fx = nullptr;
    WeaponContext* weaponContext = nullptr;
    DificultyData* difficulty = nullptr;
    SceneContext* sceneContext = nullptr;
    Ogre::SceneManager* scene = nullptr;
};

class GameObject {
public:
    // One entry per part definition; free means no object (the part was lost).
    struct SubObjectSlot {
        GO_subObj* object = nullptr;
        bool free = true;
    };

    // The plain kind-1 object: no definition, so no effects, no parts, no weapon; named "go_" + id,
    // with the given HP; both entities from meshName (the collision one hidden).
    GameObject(const GameObjectHandles& handles, const std::string& meshName, const std::string& name,
               uint32_t objectId, uint32_t team, const std::string& name3, const std::string& name4,
               uint32_t hitPoints);
    // Releases the critical reactor, the parts, both registry slots, the data, then the entities on
    // the main node, the aim node and the main node.
    virtual ~GameObject();
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Builds one part per part definition (subObj_Type 1 free-aiming, 2 cone, else passive);
    // armed parts get their weapon from context (none when it is null).
    virtual void createSubObjects(WeaponContext* context);
    // One play tick; false when the object is to be removed (dead or gone).
    virtual bool update(float dt);
    virtual void hook3(uint32_t, uint32_t, uint32_t, uint32_t) {}
    // The player's object gets this instead of being removed when it dies.
    virtual void onDestroyed() {}
    virtual void hook5() {}
    // HP = value truncated toward zero; the second word is not read.
    virtual void setHP(float value, uint32_t unused = 0);
    // HP - damage as a percentage of HP, unclamped (above 100 while over-healed); 0 for HP 0.
    virtual float getHealthPercent() const;
    // The definition's sensor values; 0 without a definition.
    virtual float getRadarRange() const;
    virtual float getLockRangeVar() const;
    virtual float getGroundLockVar() const;
    virtual float getAirLockVar() const;
    virtual float getLockAngleVar() const;
    // The per-tick main-weapon step of air objects and Ovni; nothing here.
    virtual void updateMainWeapon(float dt, float addedSpeed);
    // Main-weapon readers: 0 / false without a weapon.
    virtual int getMainWeaponAmmo() const { return 0; }
    virtual bool isMainWeaponReady() const { return false; }
    virtual float getMainWeaponLockRange() const { return 0.0f; }
    virtual float getMainWeaponLockSpeed() const { return 0.0f; }
    virtual float getMainWeaponLockArea() const { return 0.0f; }
    // Turns the main weapon toward a world point; false when the class cannot aim.
    virtual bool aimMainWeaponAt(const Ogre::Vector3&) { return false; }
    virtual bool aimTurretAt(const Ogre::Vector3&) { return false; }
    virtual float getAimYaw() const { return 0.0f; }
    virtual Ogre::SceneNode* getTurretNode() const { return nullptr; }
    virtual float getAimWorldYaw() const { return 0.0f; }
    virtual Ogre::Vector3 getAimFacing() const { return Ogre::Vector3::ZERO; }
    virtual Ogre::Vector3 getAimWorldFacing() const { return Ogre::Vector3::ZERO; }
    virtual float getTurretYaw() const { return 0.0f; }
    virtual float getTurretWorldYaw() const { return 0.0f; }
    virtual Ogre::Vector3 getTurretFacing() const { return Ogre::Vector3::ZERO; }
    virtual Ogre::Vector3 getTurretWorldFacing() const { return getTurretFacing(); }
    // Yaw of the main node, degrees.
    virtual float getYaw() const;
    virtual float getSpeed() const { return 0.0f; }
    // Called once for every object on the first frame of a play.
    virtual void hook32() {}
    virtual void hook33() {}
    virtual void pauseSounds() {}
    virtual void resumeSounds() {}
    virtual void giveWeapon(const std::string&) {}

    // Places the main node and refreshes the position cache.
    void setPosition(const Ogre::Vector3& position);
    Ogre::Vector3 getWorldPosition() const;
    // HP minus damage taken.
    float getHP() const;
    // Damage taken += amount, never ending below 0.
    void addDamage(float amount);
    // With allowOverHeal a negative value leaves damage max(value, -OverHPBonus); otherwise
    // damage becomes 0.
    void heal(float value, bool allowOverHeal);
    // Runs the retreat timer; true in the tick it passes RetreatTime (the retreat effect plays).
    bool updateRetreat(float dt);
    // Alive and able to retreat: an object whose update returned false has left, not died.
    bool isRetreating() const;
    // On ticks with a hit marker and below 30 % health, one draw may switch the critical reactor on.
    void rollCriticalDamage();
    // The definition's death explosion: area damage around the object, its own team included.
    void explodeOnDeath();
    // Deletes part i and hurts the object: its whole HP for a critical part, else KillDmgParent.
    // Nothing for an index past the parts or a part already gone.
    void destroySubObject(uint32_t index);
    void destroySubObjects();
    // (b - 90)^2 + (a - 90)^2 for the aim node's z axis: a = acos(z.x), b = acos(z.y) in degrees.
    float getTiltAngles() const;

    // Fire control, written by the AI or the player's input before the object's update.
    void setTrigger(bool on) { trigger_ = on ? 1 : 0; }
    bool getTrigger() const { return trigger_ != 0; }
    void setTarget(bool hasTarget, uint32_t targetSlot)
    {
        hasTarget_ = hasTarget ? 1 : 0;
        targetSlot_ = targetSlot;
    }
    bool hasTarget() const { return hasTarget_ != 0; }
    uint32_t getTargetSlot() const { return targetSlot_; }

    GameObjectData* getData() const { return data_.get(); }
    goParams* getParams() const { return definition_; }
    uint32_t getObjectId() const { return objectId_; }
    uint32_t getDamageSlot() const { return damageSlot_; }
    uint32_t getTargetRegistrySlot() const { return ownTargetSlot_; }
    Ogre::SceneNode* getMainNode() const { return mainNode_; }
    Ogre::SceneNode* getAimNode() const { return aimNode_; }
    Ogre::Entity* getEntity() const { return entity_; }
    Ogre::Entity* getCollisionEntity() const { return collisionEntity_; }
    const Ogre::Vector3& getPositionCache() const { return positionCache_; }
    uint32_t getMoneyGain() const { return moneyGain_; }
    uint32_t getExperienceGain() const { return experienceGain_; }
    uint32_t getHitMarker() const { return hitMarker_; }
    bool isSpawnEffectPending() const { return spawnEffectPending_ != 0; }
    VirtualReactor* getCriticalReactor() const { return criticalReactor_; }
    const EffectsParams* getDeathEffect() const { return deathEffect_; }
    const EffectsParams* getExplodeEffect() const { return explodeEffect_; }
    const EffectsParams* getSpawnEffect() const { return spawnEffect_; }
    const EffectsParams* getRetreatEffect() const { return retreatEffect_; }
    float getSettleSpeed() const { return settleSpeed_; }
    void setSettleSpeed(float v) { settleSpeed_ = v; }
    float getTurboTime() const { return turboTime_; }
    void setTurboTime(float t) { turboTime_ = t; }
    float getNoDamageTime() const { return noDamageTime_; }
    void setNoDamageTime(float t) { noDamageTime_ = t; }
    float getRetreatTimer() const { return retreatTimer_; }
    // The parts; empty until createSubObjects runs.
    const std::vector<SubObjectSlot>& getSubObjects() const { return subObjects_; }
    uint32_t getSubObjectCount() const { return static_cast<uint32_t>(subObjects_.size()); }
    GO_subObj* getSubObject(uint32_t index) const;

protected:
    // For subclasses: stores the handles and the definition; builds nothing.
    GameObject(const GameObjectHandles& handles, goParams* definition, uint32_t objectId);

    // The kind-1 scene: both entities, main and aim node, registry slots, effects.
    void setupScene(const std::string& meshName, DamageRegistry* damage);
    // The definition's effects: death, explode (only with Explode), spawn, retreat.
    void loadEffects();
    // An effect definition from the play's library; null for "" or " " or without a library.
    const EffectsParams* effectParams(const std::string& name) const;
    // The critical-damage reactor under the main node when its name is longer than one character.
    void spawnCriticalReactor();
    // Registers the collision entity (body kind) and the main node; copies both slots into the data.
    void registerBodies(uint32_t bodyKind);

    // The shared steps of every update. The spawn effect once, at the main node facing its z axis.
    void playSpawnEffectOnce();
    // True when HP <= damage taken: the death effect plays and the object explodes.
    bool checkDeath();
    // Marker = damage - marker while positive, else 0 (alternates while damage stays constant).
    void updateHitMarker();

    // The aim-node operations every subclass shares: local -Z toward a world point, and the yaw
    // (degrees) and z axis of the aim node's own and world orientations.
    bool aimNodeAt(const Ogre::Vector3& worldPoint);
    float aimNodeYaw() const;
    float aimNodeWorldYaw() const;
    Ogre::Vector3 aimNodeFacing() const;
    Ogre::Vector3 aimNodeWorldFacing() const;
    // Main-weapon readers for a weapon that may be absent.
    static int weaponAmmo(const Weapon* weapon);
    static bool weaponReady(const Weapon* weapon);
    static float weaponLockRange(const Weapon* weapon);
    static float weaponLockSpeed(const Weapon* weapon);
    static float weaponLockArea(const Weapon* weapon);

    // Damage taken in the object's own entry (0 when it has none).
    float damageTaken() const;
    uint32_t hitPoints() const;

    std::vector<SubObjectSlot> subObjects_;
    GamePlayData* playData_ = nullptr;
    Ogre::SceneManager* scene_ = nullptr;
    DamageRegistry* damage_ = nullptr;
    TargetRegistry* targets_ = nullptr;
    FxPool* fx_ = nullptr;
    goParams* definition_ = nullptr;  // null for the kind-1 object
    audio::SoundManager* sounds_ = nullptr;
    ProjectileManager* projectiles_ = nullptr;
    SceneContext* sceneContext_ = nullptr;
    DificultyData* difficulty_ = nullptr;
    RandomGenerator* random_ = nullptr;
    WeaponContext* weaponContext_ = nullptr;
    const EffectsParams* deathEffect_ = nullptr;
    const EffectsParams* explodeEffect_ = nullptr;
    VirtualReactor* criticalReactor_ = nullptr;  // the pool owns it
    Ogre::SceneNode* aimNode_ = nullptr;
    uint32_t objectId_ = 0;
    uint32_t damageSlot_ = 0;
    uint32_t ownTargetSlot_ = 0;
    Ogre::SceneNode* mainNode_ = nullptr;
    Ogre::Entity* entity_ = nullptr;
    Ogre::Entity* collisionEntity_ = nullptr;
    std::unique_ptr<GameObjectData> data_;
    uint32_t moneyGain_ = 0;
    uint32_t experienceGain_ = 0;
    uint32_t hitMarker_ = 0;
    Ogre::Vector3 positionCache_ = Ogre::Vector3::ZERO;
    uint32_t targetSlot_ = 0;
    uint8_t hasTarget_ = 0;
    float settleSpeed_ = 0.0f;
    float turboTime_ = 0.0f;
    float noDamageTime_ = 0.0f;
    float retreatTimer_ = 0.0f;
    uint8_t spawnEffectPending_ = 1;
    const EffectsParams* spawnEffect_ = nullptr;
    const EffectsParams* retreatEffect_ = nullptr;
    uint8_t trigger_ = 0;
};
