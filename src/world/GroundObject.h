#pragma once
// A game object standing on the terrain (an emplacement, a building) with at most one main
// GroundWeapon on its aim node. Ground vehicles derive from it. Its main-weapon readers and
// aim-node operations are the GameObject shared bodies, which air objects use as well.
#include "world/GameObject.h"

#include <memory>

class GroundObjParams;
class GroundWeapon;

class GroundObject : public GameObject {
public:
    // Builds the scene, the main weapon (when HasMainWeapon) and the parts. The object is not
    // grounded yet: the manager places it after construction, and its first update snaps it to
    // the ground below that place.
    GroundObject(const GameObjectHandles& handles, GroundObjParams* definition, uint32_t objectId, uint32_t team,
                 const std::string& name3 = "", const std::string& name4 = "");
    // The main weapon first, then the GameObject teardown.
    ~GroundObject() override;

    // Spawn effect, death, retreat, ground snap until grounded, main weapon, critical roll, hit
    // marker.
    bool update(float dt) override;
    // Visual and hidden collision entity, main and aim node, registry slots, effects and the
    // critical-damage reactor.
    virtual void buildScene();
    // A ray down from the main node: on a hit the node stands at the hit + groundOffset and the
    // object is grounded; without one nothing changes (the next update tries again).
    virtual void snapToGround();
    // Moves by the settle speed v (after v -= dt) until the next step would pass the ground, then
    // lands: node at hit + groundOffset, v = 0, grounded.
    virtual void settleToGround(float dt);
    // Ticks the main weapon with the fire-control fields.
    void updateMainWeapon(float dt);
    using GameObject::updateMainWeapon;

    int getMainWeaponAmmo() const override;
    bool isMainWeaponReady() const override;
    float getMainWeaponLockRange() const override;
    float getMainWeaponLockSpeed() const override;
    float getMainWeaponLockArea() const override;
    bool aimMainWeaponAt(const Ogre::Vector3& worldPoint) override;
    float getAimYaw() const override;
    float getAimWorldYaw() const override;
    Ogre::Vector3 getAimFacing() const override;
    Ogre::Vector3 getAimWorldFacing() const override;

    bool isGrounded() const { return grounded_ != 0; }
    GroundWeapon* getMainWeapon() const { return mainWeapon_.get(); }
    GroundObjParams* getGroundParams() const { return groundParams_; }

protected:
    // For subclasses (ground vehicles): stores the handles; builds nothing.
    GroundObject(const GameObjectHandles& handles, GroundObjParams* definition, uint32_t objectId);

    // The ray down from the main node; on a hit the node moves to hit + groundOffset. Whether it hit.
    bool placeOnGroundBelow();

    GroundObjParams* groundParams_ = nullptr;
    uint8_t grounded_ = 0;
    std::unique_ptr<GroundWeapon> mainWeapon_;
};
