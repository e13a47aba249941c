#pragma once
// An item lying in the arena: a mesh that turns and bobs until an item-picking object drives over
// it or its life runs out. The subclasses say what collecting it does: repair, turbo or
// no-damage time, or a weapon. The pickup manager owns them; the pickup id is its slot there.
#include <OgreVector.h>

#include <cstdint>
#include <functional>

namespace Ogre {
class Entity;
class SceneManager;
class SceneNode;
}
class DamageRegistry;
class GameObject;
class GamePlayData;
class PickupParams;
class TargetRegistry;

// The live game object with an id (the game object manager's slot of that index); null for a
// free slot or an id past the slots.
using GameObjectLookup = std::function<GameObject*(uint32_t objectId)>;

// The handles every pickup borrows from its manager.
struct PickupContext {
    GamePlayData* playData = nullptr;
    Ogre::SceneManager* scene = nullptr;
    DamageRegistry* damage = nullptr;
    GameObjectLookup objects;
    TargetRegistry* targets = nullptr;
};

class Pickup {
public:
    // Builds the root and model nodes and the entity "pickup<id>" at the position, then drops
    // onto the projectile floor below (staying put when the ray misses). A mesh that cannot be
    // loaded leaves the pickup invisible but collectable.
    Pickup(const PickupContext& context, PickupParams* definition, uint32_t pickupId, const Ogre::Vector3& position);
    virtual ~Pickup();
    Pickup(const Pickup&) = delete;
    Pickup& operator=(const Pickup&) = delete;

    // One tick with dt already slowed by the manager; false when the pickup is to go (expired, or
    // collected and applied).
    virtual bool update(float dt);
    // What collecting does to the picker; nothing for a plain pickup.
    virtual void apply() {}
    // True when an item-picking object's target entry lies within the collect range (the first in
    // registry order wins; it becomes the picker).
    virtual bool isCollected();

    void dropToFloor();
    void animateIdle(float dt);

    // Expired (a non-zero lifetime ran out) rather than collected.
    bool hasExpired() const;
    float getAge() const { return age_; }
    uint32_t getPickupId() const { return pickupId_; }
    uint32_t getPickerId() const { return pickerId_; }
    float getLevitationPhase() const { return levitationPhase_; }
    PickupParams* getParams() const { return definition_; }
    Ogre::SceneNode* getRootNode() const { return rootNode_; }
    Ogre::SceneNode* getModelNode() const { return modelNode_; }
    Ogre::Entity* getEntity() const { return entity_; }

protected:
    // The picker, when it still lives in the game object manager.
    GameObject* picker() const;

    PickupContext context_;
    Ogre::SceneNode* rootNode_ = nullptr;
    Ogre::SceneNode* modelNode_ = nullptr;
    Ogre::Entity* entity_ = nullptr;
    float age_ = 0.0f;
    PickupParams* definition_;
    uint32_t pickupId_;
    uint32_t pickerId_ = 0;
    float levitationPhase_ = 0.0f;
};

// Repairs the picker (definition HealthPickupParams) and reports the gain or loss to the rules.
class HeathPickup : public Pickup {
public:
    using Pickup::Pickup;
    void apply() override;
};

// Turbo and no-damage time (definition GoEffPickupParams).
class GoEffPickup : public Pickup {
public:
    using Pickup::Pickup;
    void apply() override;
};

// Gives the picker a weapon (definition PickWeapParams); only ground vehicles take it.
class WeaponPickup : public Pickup {
public:
    using Pickup::Pickup;
    void apply() override;
};
