#pragma once
// The armoured tracked vehicle of a play: the player's tank and every enemy tank. A ground object
// with a drive model (accelerate, reverse, brake, coast, turn), a jump-dash, a turret that turns
// toward its aim point, treads whose wheels follow the ground and whose textures scroll with the
// motion, a body that tilts with the terrain and leans with the driving, six probes that stop it
// at walls and the border, and a pick-up weapon beside its main gun. The player's input or the AI
// drives it only through its request fields; the update acts on them once per tick.
//
// Node tree: main (collision hull; under the scene root) > terrain pitch > terrain roll (the six
// probes) > dynamics pitch > dynamics roll (sounds, move and dash reactors) and body (hull) >
// turret > cannon, hard point, aim node. The treads hang below main > tread pitch > tread roll,
// each wheel below its tread. The turret aim node sits at the main node's origin.
#include "world/GroundObject.h"

#include <OgreController.h>
#include <OgreMaterial.h>

#include <array>
#include <memory>
#include <vector>

namespace Ogre {
class AnimationState;
}
namespace audio {
class Sound;
}
class GroundVehiParams;
class PickUpWeapon;
class TreadScrollFunction;

struct VehicleWheel {
    uint8_t grounded = 0;
    Ogre::Vector3 hitPoint = Ogre::Vector3::ZERO;  // the last ground hit
    std::array<Ogre::Vector3, 3> triangle{Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
    uint32_t floorKind = 0;                     // 1..4: which movement floor the triangle belongs to
    std::array<VirtualReactor*, 4> reactors{};  // one per floor kind; the pool owns them
    Ogre::SceneNode* node = nullptr;
};

struct VehicleTread {
    Ogre::SceneNode* node = nullptr;
    std::vector<VehicleWheel> wheels;
    Ogre::Entity* entity = nullptr;
    Ogre::MaterialPtr material;  // the tread's own copy of the tread material
    Ogre::Controller<Ogre::Real>* scrollController = nullptr;
    std::shared_ptr<TreadScrollFunction> scrollFunction;
};

class GroundVehicle : public GroundObject {
public:
    enum Probe { FrontLeft, FrontCentre, FrontRight, BackLeft, BackCentre, BackRight, ProbeCount };

    // Builds the scene, the main weapon, the parts and the tread materials; snaps to the ground
    // below the origin without counting as grounded (the manager places the vehicle afterwards).
    GroundVehicle(const GameObjectHandles& handles, GroundVehiParams* definition, uint32_t objectId, uint32_t team,
                  const std::string& name3 = "", const std::string& name4 = "");
    ~GroundVehicle() override;

    // One tick: timers, spawn effect, death and retreat tests, dash or driving, ground following,
    // tilt, caches, animations, reactors, tread scroll and the damage report. False when dead or
    // gone.
    bool update(float dt) override;
    // Parks the player's vehicle after its death: effect, target off, pick-up weapon dropped,
    // 1000 below, hidden, silent. Nothing when already parked.
    void onDestroyed() override;
    // HP = value x HP multiplier, truncated.
    void setHP(float value, uint32_t unused = 0) override;
    bool aimTurretAt(const Ogre::Vector3& worldPoint) override;
    Ogre::SceneNode* getTurretNode() const override { return turretAimNode_; }
    float getTurretYaw() const override;
    float getTurretWorldYaw() const override;
    Ogre::Vector3 getTurretFacing() const override;
    Ogre::Vector3 getTurretWorldFacing() const override { return getTurretFacing(); }
    float getSpeed() const override { return speed_; }
    // The engine sound only.
    void pauseSounds() override;
    void resumeSounds() override;
    // Replaces the pick-up weapon and tells the HUD.
    void giveWeapon(const std::string& weaponName) override;
    void buildScene() override;
    // A ray down from the main node (cached triangle first): on a hit the node stands at the hit
    // + groundOffset and the vehicle is grounded.
    void snapToGround() override;
    // For a vehicle without treads: rises while the settle speed is positive, falls by it while
    // negative and lands on the ground (the caller lowers the settle speed).
    void settleToGround(float dt) override;

    // The drive operations: each clamps the input it is given and writes the clamped (for
    // accelerate, reverse and turn also slope-scaled) value back.
    virtual void accelerate(float& input, float dt);
    virtual void reverse(float& input, float dt);
    virtual void brake(float& input, float dt);
    virtual void turn(float& input, float dt);
    virtual void coast(float dt);
    // Back to life where the rules have placed it.
    virtual void respawn(uint8_t playSpawnEffect);

    // The pose of the destroyed player vehicle at the end of a play.
    void setWreckPose();
    void updateCachedTransform();
    void restoreCachedTransform();
    // Speed, acceleration, HP and dash multipliers (0 read as 1); the HP is rescaled at once; the
    // weapon values go to the main weapon when there is one.
    void setUpgradeMultipliers(float speed, float acceleration, float hp, float dash, float weaponA, float weaponB);

    // Per-tick steps (the update calls them; public so each can be driven on its own).
    void updateDashMotion(float dt);
    void updateTurret(float dt);
    void updateAnimations(float dt);
    void updateReactors();
    void updateTreadScroll(float dt);
    void updateEngineSound();
    void updateWeapons(float dt);
    void applySlopeRoll(float dt);
    void checkProbeCollisions(float dt);
    void probeSegment(const Ogre::Vector3& origin, const Ogre::Vector3& direction, float length, float dt);
    void onCrash(float dt);
    void followGround(float dt);
    void updateTerrainTilt(float dt);
    void updateBaseTilt(float dt);
    void updateMoveTilt(float dt);
    void stopWheelReactors(uint32_t tread, uint32_t wheel);
    void stopAllWheelReactors();

    // Request fields, written by the player's input or the AI before the update.
    float accelerateInput = 0.0f;  // 0..1
    float reverseInput = 0.0f;     // 0..1
    float steerInput = 0.0f;       // -1..1, +1 turns left
    float dashInput = 0.0f;        // non-zero starts a jump-dash; its sign gives the direction
    uint8_t secondaryFire = 0;     // the pick-up weapon's trigger (the main one is the GameObject's)
    Ogre::Vector3 aimPoint = Ogre::Vector3::ZERO;
    uint8_t mouseAim = 1;  // 1: aimPoint is a world point; 0: an offset from the vehicle
    // The player's restrictions of the play mode; every other vehicle keeps 0 and 1.
    uint8_t TurrTurnDisable = 0;
    uint8_t MoveFireDisable = 0;
    uint8_t StopFireDisable = 0;
    uint8_t MoveTTurnDisable = 0;
    uint8_t StopTTurnDisable = 0;
    float MoveMultiplyer = 1.0f;
    audio::Sound* engineSound = nullptr;  // owned through the sound manager; null without one

    GroundVehiParams* getVehicleParams() const { return vehicleParams_; }
    float getTurnStep() const { return turnStep_; }
    void setSpeed(float speed) { speed_ = speed; }
    bool isDashActive() const { return dashActive_ != 0; }
    float getDashPhase() const { return dashPhase_; }
    void setDashPhase(float phase) { dashPhase_ = phase; }
    float getDashRecharge() const { return dashRecharge_; }
    void setDashRecharge(float seconds) { dashRecharge_ = seconds; }
    bool isAlive() const { return alive_ != 0; }
    void setGrounded(bool on) { grounded_ = on ? 1 : 0; }
    float getTerrainRoll() const { return terrainRoll_; }
    float getTerrainPitch() const { return terrainPitch_; }
    void setTerrainAngles(float roll, float pitch)
    {
        terrainRoll_ = roll;
        terrainPitch_ = pitch;
    }
    float getDynamicsRoll() const { return dynamicsRoll_; }
    float getDynamicsPitch() const { return dynamicsPitch_; }
    float getSpeedMultiplier() const { return speedMultiplier_; }
    float getAccelerationMultiplier() const { return accelerationMultiplier_; }
    float getDashMultiplier() const { return dashMultiplier_; }
    float getHPMultiplier() const { return hpMultiplier_; }
    PickUpWeapon* getPickUpWeapon() const { return pickUpWeapon_.get(); }
    const std::vector<VehicleTread>& getTreads() const { return treads_; }
    std::vector<VehicleTread>& treads() { return treads_; }
    Ogre::SceneNode* getProbeNode(int probe) const { return probes_[probe]; }
    const Ogre::Vector3& getCachedProbe(int probe) const { return cachedProbes_[probe]; }
    const Ogre::Vector3& getCachedPosition() const { return cachedPosition_; }
    float getCachedYaw() const { return cachedYaw_; }
    Ogre::SceneNode* getTurretVisualNode() const { return turretNode_; }
    Ogre::SceneNode* getCannonNode() const { return cannonNode_; }
    Ogre::SceneNode* getHardPointNode() const { return hardPointNode_; }
    Ogre::SceneNode* getBodyNode() const { return bodyNode_; }
    Ogre::SceneNode* getTreadPitchNode() const { return treadPitchNode_; }
    Ogre::SceneNode* getTreadRollNode() const { return treadRollNode_; }
    Ogre::SceneNode* getTerrainPitchNode() const { return terrainPitchNode_; }
    Ogre::SceneNode* getTerrainRollNode() const { return terrainRollNode_; }
    Ogre::SceneNode* getDynamicsPitchNode() const { return dynamicsPitchNode_; }
    Ogre::SceneNode* getDynamicsRollNode() const { return dynamicsRollNode_; }
    Ogre::Entity* getTurretEntity() const { return turretEntity_; }
    Ogre::AnimationState* getTurretTurnAnim() const { return turretTurnAnim_; }
    Ogre::AnimationState* getTurretFireAnim() const { return turretFireAnim_; }
    Ogre::AnimationState* getBaseAccelAnim() const { return baseAccelAnim_; }
    Ogre::AnimationState* getBaseTurnAnim() const { return baseTurnAnim_; }
    VirtualReactor* getMoveReactor() const { return moveReactor_; }
    VirtualReactor* getDashReactor() const { return dashReactor_; }
    const EffectsParams* getDashJumpEffect() const { return dashJumpEffect_; }
    audio::Sound* getCrashSound() const { return crashSound_; }
    audio::Sound* getDashSound() const { return dashSound_; }

private:
    void loadDashEffect();
    void createSounds();
    void createReactors();
    void setupAnimations();
    void buildTreads();
    void setupTreadMaterials();
    void destroyTreads();
    // The ray straight down from the main node with the cached triangle.
    bool groundBelow(Ogre::Vector3& point, float& distance);
    // Every tick's share of the death and respawn: show or hide the hull and the treads.
    void setBodyVisible(bool visible);
    void dropPickUpWeapon();
    // The own target entry, when its slot is taken.
    void setTargetActive(bool active);

    GroundVehiParams* vehicleParams_ = nullptr;
    std::array<Ogre::Vector3, 3> groundTriangle_{Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
    float speed_ = 0.0f;
    float turnStep_ = 0.0f;
    Ogre::SceneNode* turretAimNode_ = nullptr;
    Ogre::SceneNode* turretNode_ = nullptr;
    Ogre::SceneNode* cannonNode_ = nullptr;
    Ogre::SceneNode* hardPointNode_ = nullptr;
    uint8_t dashActive_ = 0;
    float dashPhase_ = 0.0f;
    float dashRecharge_ = 0.0f;
    Ogre::Entity* turretEntity_ = nullptr;
    uint8_t alive_ = 1;
    Ogre::SceneNode* treadPitchNode_ = nullptr;
    Ogre::SceneNode* treadRollNode_ = nullptr;
    Ogre::SceneNode* terrainPitchNode_ = nullptr;
    Ogre::SceneNode* terrainRollNode_ = nullptr;
    Ogre::SceneNode* dynamicsPitchNode_ = nullptr;
    Ogre::SceneNode* dynamicsRollNode_ = nullptr;
    Ogre::SceneNode* bodyNode_ = nullptr;
    std::vector<VehicleTread> treads_;
    Ogre::AnimationState* turretTurnAnim_ = nullptr;
    Ogre::AnimationState* turretFireAnim_ = nullptr;
    Ogre::AnimationState* baseAccelAnim_ = nullptr;
    Ogre::AnimationState* baseTurnAnim_ = nullptr;
    float terrainRoll_ = 0.0f;
    float terrainPitch_ = 0.0f;
    float dynamicsRoll_ = 0.0f;
    float dynamicsPitch_ = 0.0f;
    VirtualReactor* moveReactor_ = nullptr;
    VirtualReactor* dashReactor_ = nullptr;
    const EffectsParams* dashJumpEffect_ = nullptr;
    audio::Sound* crashSound_ = nullptr;
    audio::Sound* dashSound_ = nullptr;
    std::array<Ogre::SceneNode*, ProbeCount> probes_{};
    Ogre::Vector3 cachedPosition_ = Ogre::Vector3::ZERO;
    float cachedYaw_ = 0.0f;
    std::array<Ogre::Vector3, ProbeCount> cachedProbes_{};
    std::unique_ptr<PickUpWeapon> pickUpWeapon_;
    float speedMultiplier_ = 1.0f;
    float accelerationMultiplier_ = 1.0f;
    float dashMultiplier_ = 1.0f;
    float hpMultiplier_ = 1.0f;
};
