#pragma once
// A flying target: body and hidden collision entity on the main node, an aim node its AI turns
// toward the target, and at most one main GroundWeapon on that aim node. It never moves by
// itself: it stays where the manager placed it. Ovni derive from it.
#include "world/GameObject.h"

#include <OgreVector.h>

#include <memory>

class AirObjParams;
class GroundWeapon;

class AirObject : public GameObject {
public:
    // Builds the data ("AirO_" + id), the scene, the main weapon (when HasMainWeapon) and the parts.
    AirObject(const GameObjectHandles& handles, AirObjParams* definition, uint32_t objectId, uint32_t team,
              const std::string& name3 = "", const std::string& name4 = "");
    // The main weapon first, then the GameObject teardown.
    ~AirObject() override;

    // Spawn effect once, death, retreat, main weapon, critical roll, hit marker.
    bool update(float dt) override;
    // Ticks the main weapon with the fire request; an air object never hands it a target.
    void updateMainWeapon(float dt, float addedSpeed) override;

    int getMainWeaponAmmo() const override;
    bool isMainWeaponReady() const override;
    // 0 without a weapon.
    float getMainWeaponLockRange() const override;
    float getMainWeaponLockSpeed() const override;
    float getMainWeaponLockArea() const override;
    bool aimMainWeaponAt(const Ogre::Vector3& worldPoint) override;
    float getAimYaw() const override;
    float getAimWorldYaw() const override;
    Ogre::Vector3 getAimFacing() const override;
    Ogre::Vector3 getAimWorldFacing() const override;

    // Body entity (name + id), hidden collision entity (+ "col"), main and aim node, registry
    // slots, effects and the critical-damage reactor.
    virtual void buildScene();
    // Refreshes the cached floor triangle below the object; the object itself stays put.
    virtual void snapToGround();

    GroundWeapon* getMainWeapon() const { return mainWeapon_.get(); }
    // Corner i (0 to 2) of the cached floor triangle.
    const Ogre::Vector3& getCachedTriangle(int i) const { return triangle_[i]; }

protected:
    struct Unbuilt {};
    // For Ovni: stores the handles; builds nothing.
    AirObject(Unbuilt, const GameObjectHandles& handles, AirObjParams* definition, uint32_t objectId);

    // The main weapon from the definition, on the given node; none without HasMainWeapon.
    void makeMainWeapon(Ogre::SceneNode* parent);
    // The five effects of the definition: death, explode, spawn, retreat, critical reactor.
    void loadAirEffects();
    // The death test: HP (unsigned) at or below the damage taken.
    bool isDestroyed() const;

    AirObjParams* airParams_ = nullptr;
    Ogre::Vector3 triangle_[3] = {Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
    std::unique_ptr<GroundWeapon> mainWeapon_;
};
