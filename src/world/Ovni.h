#pragma once
// The hovering enemy of the waves: an air object that floats at the play's hover height above
// the projectile floor, bobs and wobbles, flies along a heading node its AI turns (the "turret"
// operations steer that heading), keeps inside the arena border, turns its gun turret toward the
// aim node, plays idle, turn, fire and hit animations, carries looping reactors, reports hits to
// the mode's mechanics and, once destroyed, shakes on for a moment before it explodes.
//
// Node tree: main node (collision entity) -> body node (levitation) -> model node (wobble; body
// entity, reactors) -> turret node (at TurPos; turret entity) -> cannon node (at TurCannPos; the
// main weapon) and aim node. The heading node hangs on the main node.
#include "world/AirObject.h"

#include <vector>

namespace Ogre {
class AnimationState;
}
class OvniParams;

class Ovni : public AirObject {
public:
    // Placement attempts past the first that placeOnFloor makes before it gives up.
    static constexpr int kMaxPlacementRetries = 64;

    // As an air object named "Ovni_" + id, the weapon on the cannon node; ends placed on the floor.
    Ovni(const GameObjectHandles& handles, OvniParams* definition, uint32_t objectId, uint32_t team,
         const std::string& name3 = "", const std::string& name4 = "");
    // Reactors left burning where the Ovni was, the weapon, then its own nodes and entities.
    ~Ovni() override;

    bool update(float dt) override;
    // Restarts the fire animation when a shot can leave, then ticks the weapon (with the AI's
    // target when it has one).
    void updateMainWeapon(float dt, float addedSpeed) override;
    // The heading: looks at the world point.
    bool aimTurretAt(const Ogre::Vector3& worldPoint) override;
    Ogre::SceneNode* getTurretNode() const override { return headingNode_; }
    float getTurretYaw() const override;
    float getTurretWorldYaw() const override;
    // Both: the z axis of the heading's world orientation.
    Ogre::Vector3 getTurretFacing() const override;
    Ogre::Vector3 getTurretWorldFacing() const override;
    void buildScene() override;

    // Stands the Ovni at the hover height over the projectile floor below it. Where there is no
    // floor below, it tries random points of the border rectangle (at most kMaxPlacementRetries);
    // without any projectile floor it keeps its place.
    void placeOnFloor();

    // The steps of update, in their order.
    void updateLevitation(float dt);
    void updateAnimations(float dt);
    void aimTurret(float dt);
    void updateFlight(float dt);
    void clampToBorder();
    void updateHoverHeight(float dt);

    Ogre::SceneNode* getBodyNode() const { return bodyNode_; }
    Ogre::SceneNode* getModelNode() const { return modelNode_; }
    Ogre::SceneNode* getTurretGunNode() const { return turretNode_; }
    Ogre::SceneNode* getCannonNode() const { return cannonNode_; }
    Ogre::SceneNode* getHeadingNode() const { return headingNode_; }
    Ogre::Entity* getTurretEntity() const { return turretEntity_; }
    Ogre::AnimationState* getIdleAnimation() const { return idleAnim_; }
    Ogre::AnimationState* getTurnAnimation() const { return turnAnim_; }
    Ogre::AnimationState* getFireAnimation() const { return fireAnim_; }
    Ogre::AnimationState* getHitAnimation() const { return hitAnim_; }
    const std::vector<VirtualReactor*>& getReactors() const { return reactors_; }
    OvniParams* getOvniParams() const { return ovniParams_; }
    float getLevitationPhase() const { return levitationPhase_; }

    // Written and read by the AI: 0 stops the flight; turn rate in units of 180 degrees a second;
    // shake (1 when built, +0.5 a hit, -1 a second) holds the AI and delays the death.
    float speedFactor = 0.0f;
    float turnRate = 0.0f;
    float shake = 1.0f;

private:
    void setupAnimations(Ogre::Entity* body, Ogre::Entity* turret);
    // The hit reaction: mechanics events, shake and hit animation on new damage.
    void reactToHits();
    // Destroys the node's entities, its children and the node.
    void destroyNodeWithEntities(Ogre::SceneNode*& node);

    OvniParams* ovniParams_ = nullptr;
    float levitationPhase_ = 0.0f;
    float wobbleA_ = 0.0f;
    float wobbleB_ = 0.0f;
    Ogre::SceneNode* bodyNode_ = nullptr;
    Ogre::SceneNode* modelNode_ = nullptr;
    Ogre::SceneNode* turretNode_ = nullptr;
    Ogre::SceneNode* cannonNode_ = nullptr;
    Ogre::SceneNode* headingNode_ = nullptr;
    Ogre::Entity* turretEntity_ = nullptr;
    Ogre::AnimationState* idleAnim_ = nullptr;
    Ogre::AnimationState* turnAnim_ = nullptr;
    Ogre::AnimationState* fireAnim_ = nullptr;
    Ogre::AnimationState* hitAnim_ = nullptr;
    std::vector<VirtualReactor*> reactors_;  // the pool owns them; null where none came
};
