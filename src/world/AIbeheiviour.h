#pragma once
// The behaviours of computer-driven objects. One behaviour object serves every object of its AI
// kind, so it keeps nothing per object: each tick it reads the object's AIdata record, searches
// the target registry, accumulates a lock and writes the object's request fields (target slot,
// has-target, fire request and, for a ground vehicle, its accelerate, reverse and turn inputs).
// The object's own update, later in the tick, fires and drives from them.
//
// A record holds a target registry slot, never a pointer: a slot is checked again on every tick,
// and since a freed slot goes to the next registration, an enemy slot now owned by the object's
// own team or a neutral counts as lost, as if the target had left the range.
#include <OgreVector.h>

#include <cstdint>
#include <string>

class AIdata;
class DamageRegistry;
class DificultyData;
class GameObject;
class RandomGenerator;
class TargetRegistry;

// The base behaviour (kinds 0 and 6 to 14): it does nothing on its own; the handlers of the
// subclasses and the further operations below are shared from here.
class AIbeheiviour {
public:
    AIbeheiviour(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);
    virtual ~AIbeheiviour() = default;
    AIbeheiviour(const AIbeheiviour&) = delete;
    AIbeheiviour& operator=(const AIbeheiviour&) = delete;

    virtual std::string getTypeName() const { return "NOT KNOWN"; }
    // One tick for one object: dispatches on rec->state.
    virtual void update(float, GameObject*, AIdata*) {}
    // The state handlers; empty here.
    virtual void think(float, GameObject*, AIdata*) {}
    virtual void attack(float, GameObject*, AIdata*) {}
    virtual void approach(float, GameObject*, AIdata*) {}
    virtual void approachAgain(float, GameObject*, AIdata*) {}
    virtual void lockOn(float, GameObject*, AIdata*) {}
    virtual void approachNeutral(float, GameObject*, AIdata*) {}
    virtual void wait(float, GameObject*, AIdata*) {}
    virtual void selectTarget(float, GameObject*, AIdata*) {}
    virtual void driveToGoal(float, GameObject*, AIdata*) {}
    virtual void resetState(float, GameObject*, AIdata*) {}

    // Further operations, shared by every class. Nothing in the per-tick update reaches them
    // except through scanForTargets (reactToHit), pickGoalPoint and rollEvade.
    // Takes the missile warning of the object's own target entry; a homing missile makes it evade.
    virtual void reactToHit(float dt, GameObject* obj, AIdata* rec);
    // New damage may excite the object (an evade) and, while healthy enough, start a pursuit.
    virtual void rollFear(float dt, GameObject* obj, AIdata* rec);
    // A new goal point around what lies ahead of the object (state 14), or high up when nothing
    // does (state 28).
    virtual void pickGoalPoint(float dt, GameObject* obj, AIdata* rec);
    // As pickGoalPoint along the given direction, then hold there for holdTime seconds (state 15).
    virtual void pickWaitPoint(float dt, GameObject* obj, AIdata* rec, const Ogre::Vector3& direction, float holdTime);
    // When the pursuit time is up: drops a lost slot, or rolls whether to pursue further.
    virtual void renewPursuit(float dt, GameObject* obj, AIdata* rec);
    // Rolls whether to pursue the held target (and plan a move around it) or to drop it.
    virtual void rollEngagement(float dt, GameObject* obj, AIdata* rec);
    // A destination around the target slot: state 9 (drive there), 27 (nothing to stand on) or 29
    // (too close: hold).
    virtual void planMove(GameObject* obj, AIdata* rec, int32_t slot, uint32_t squaredDistance);
    // State 16 and true while the record's retreat countdown runs.
    virtual bool tryRetreat(GameObject* obj, AIdata* rec);
    // Chase the given slot (state 26); obj and dt are not read.
    virtual void forceTarget(int& slot, GameObject* obj, float dt, AIdata* rec);
    // Sets the evade countdown from the aggression base, the factors and the mood.
    virtual void rollEvade(GameObject* obj, AIdata* rec, float& a, float& b, float& c);
    // Searches for an enemy (radar range while keepTarget is set, else weapon range) and takes it;
    // with mayPursue a roll may start a pursuit. Then reactToHit. True when a target was taken.
    virtual bool scanForTargets(float dt, GameObject* obj, AIdata* rec, bool mayPursue);

    uint32_t getKind() const { return kind_; }
    DificultyData* getDifficulty() const { return difficulty_; }
    TargetRegistry* getTargets() const { return targets_; }
    const Ogre::Vector2& getOwnPosition() const { return ownPosition_; }
    const Ogre::Vector2& getGoalPosition() const { return goalPosition_; }
    const Ogre::Vector2& getGoalOffset() const { return goalOffset_; }

protected:
    // What an approach searches for and how it judges the slot it holds.
    enum class Search { Enemy, Team, Neutral };

    // The handlers of ground objects and air objects, shared by both classes.
    void groundDispatch(float dt, GameObject* obj, AIdata* rec);
    void groundAttack(GameObject* obj, AIdata* rec);
    void groundApproach(float dt, GameObject* obj, AIdata* rec, Search search);

    // Weapon range: the main weapon's lock range times the object's LockRangeVar.
    static float weaponRange(const GameObject* obj);
    // The held slot is in use and in range; for an enemy search also still an enemy.
    bool holdsTarget(const GameObject* obj, const AIdata* rec, Search search) const;
    // Lock gained per second on the slot: slower the stealthier it is against the object's sensors.
    float lockRate(const GameObject* obj, uint32_t slot) const;
    // Whether rec->lockTime completes a lock on the slot (the air threshold for air targets).
    bool lockComplete(const GameObject* obj, const AIdata* rec) const;
    // The object stops firing at and tracking a target.
    static void dropTarget(GameObject* obj);
    // The slot is in use and its active flag is set.
    bool slotValid(int32_t slot) const;
    float drawUnit();

    DificultyData* difficulty_ = nullptr;
    DamageRegistry* damage_ = nullptr;
    TargetRegistry* targets_ = nullptr;
    RandomGenerator* rng_ = nullptr;
    uint32_t kind_ = 1;
    // Filled by the vehicle behaviour at the start of each update (x, z): valid for that call.
    Ogre::Vector2 ownPosition_ = Ogre::Vector2::ZERO;
    Ogre::Vector2 goalPosition_ = Ogre::Vector2::ZERO;
    Ogre::Vector2 goalOffset_ = Ogre::Vector2::ZERO;
};

// Ground objects (kind 2): think, search and lock, attack, reset.
class AIbeheiv_GrndObj : public AIbeheiviour {
public:
    AIbeheiv_GrndObj(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);

    void update(float dt, GameObject* obj, AIdata* rec) override { groundDispatch(dt, obj, rec); }
    void think(float dt, GameObject* obj, AIdata* rec) override;
    void attack(float dt, GameObject* obj, AIdata* rec) override;
    void approach(float dt, GameObject* obj, AIdata* rec) override;
    void approachAgain(float dt, GameObject* obj, AIdata* rec) override;
    void lockOn(float dt, GameObject* obj, AIdata* rec) override;
    void approachNeutral(float dt, GameObject* obj, AIdata* rec) override;
    void resetState(float dt, GameObject* obj, AIdata* rec) override;
};

// Ground objects and ground vehicles (kind 3): the ground handlers plus target choice, driving
// to a goal, driving ahead and the chase of a given target. An object that is not a ground
// vehicle has no drive inputs: nothing is written for them.
class AIbeheiv_GrndVeh : public AIbeheiv_GrndObj {
public:
    AIbeheiv_GrndVeh(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);

    void update(float dt, GameObject* obj, AIdata* rec) override;
    void selectTarget(float dt, GameObject* obj, AIdata* rec) override;
    void driveToGoal(float dt, GameObject* obj, AIdata* rec) override;
    // Drive ahead: a goal 10 units along the main node's z axis.
    void resetState(float dt, GameObject* obj, AIdata* rec) override;
    void chase(float dt, GameObject* obj, AIdata* rec);
};

// The plain object (kinds 1 and 4): exactly the ground object's handlers.
class AIbeheiv_AirObj : public AIbeheiviour {
public:
    AIbeheiv_AirObj(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);

    void update(float dt, GameObject* obj, AIdata* rec) override { groundDispatch(dt, obj, rec); }
    void think(float dt, GameObject* obj, AIdata* rec) override;
    void attack(float dt, GameObject* obj, AIdata* rec) override;
    void approach(float dt, GameObject* obj, AIdata* rec) override;
    void approachAgain(float dt, GameObject* obj, AIdata* rec) override;
    void lockOn(float dt, GameObject* obj, AIdata* rec) override;
    void approachNeutral(float dt, GameObject* obj, AIdata* rec) override;
    void resetState(float dt, GameObject* obj, AIdata* rec) override;
};
