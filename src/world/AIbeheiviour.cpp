#include "world/AIbeheiviour.h"

#include "core/RandomGenerator.h"
#include "core/Utilities.h"
#include "definitions/goParams.h"
#include "world/AIdata.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/GroundVehicle.h"
#include "world/TargetRegistry.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

#include <cmath>

namespace {

uint32_t slotOf(int32_t slot) { return static_cast<uint32_t>(slot); }

int32_t ownTeam(const GameObject* obj) { return static_cast<int32_t>(obj->getData()->team); }

uint32_t ownSlot(const GameObject* obj) { return obj->getData()->targetSlot; }

// The object's heading: its main node's forward (-Z) axis in the world.
Ogre::Vector3 facing(const GameObject* obj)
{
    return obj->getMainNode()->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
}

}  // namespace

AIbeheiviour::AIbeheiviour(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets,
                           RandomGenerator* rng)
    : difficulty_(difficulty), damage_(damage), targets_(targets), rng_(rng)
{
}

float AIbeheiviour::drawUnit() { return rng_ ? static_cast<float>(rng_->nextUnit()) : 0.0f; }

float AIbeheiviour::weaponRange(const GameObject* obj)
{
    return obj->getMainWeaponLockRange() * obj->getLockRangeVar();
}

bool AIbeheiviour::slotValid(int32_t slot) const { return slot >= 0 && targets_->inUse(slotOf(slot)); }

bool AIbeheiviour::holdsTarget(const GameObject* obj, const AIdata* rec, Search search) const
{
    const uint32_t slot = slotOf(rec->targetSlot);
    if (!targets_->isInRange(slot, obj->getWorldPosition(), weaponRange(obj)))
        return false;
    // A freed slot goes to the next registration: an enemy slot that now belongs to a team-mate or
    // a neutral is another object, not the target.
    return search != Search::Enemy || targets_->isEnemyOf(slot, ownTeam(obj));
}

float AIbeheiviour::lockRate(const GameObject* obj, uint32_t slot) const
{
    const goParams* own = obj->getParams();
    const goParams* target = targets_->getParams(slot);
    const float resolution = own ? own->TgtStealthRes : 0.0f;
    const float stealth = target ? target->RadarStealth : 0.0f;
    return remapPercent(0.3f, 0.9f, resolution, stealth);
}

bool AIbeheiviour::lockComplete(const GameObject* obj, const AIdata* rec) const
{
    const float speed = obj->getMainWeaponLockSpeed();
    const TargetEntry& e = targets_->entries()[slotOf(rec->targetSlot)];
    const bool air = e.ownerData && (e.ownerData->category & 0xFFFFu) == 3u;
    if (air && rec->lockTime >= speed * obj->getAirLockVar())
        return true;
    return rec->lockTime >= speed * obj->getGroundLockVar();
}

void AIbeheiviour::dropTarget(GameObject* obj)
{
    obj->setTarget(false, 0);
    obj->setTrigger(false);
}

// ---- ground handlers -------------------------------------------------------------------------

void AIbeheiviour::groundDispatch(float dt, GameObject* obj, AIdata* rec)
{
    switch (rec->state) {
    case 0:
        think(dt, obj, rec);
        break;
    case 1:
    case 22:
        attack(dt, obj, rec);
        break;
    case 2:
        approach(dt, obj, rec);
        break;
    case 4:
        approachAgain(dt, obj, rec);
        break;
    case 5:
        lockOn(dt, obj, rec);
        break;
    case 7:
        approachNeutral(dt, obj, rec);
        break;
    case 8:
        wait(dt, obj, rec);
        break;
    case 14:
    case 24:
        resetState(dt, obj, rec);
        break;
    default:
        break;
    }
}

void AIbeheiviour::groundApproach(float dt, GameObject* obj, AIdata* rec, Search search)
{
    const Ogre::Vector3 position = obj->getWorldPosition();
    const float range = weaponRange(obj);
    if (!rec->hasTarget) {
        uint32_t slot = 0;
        const uint32_t self = ownSlot(obj);
        bool found = false;
        switch (search) {
        case Search::Enemy:
            found = targets_->findEnemyInRange(slot, &self, ownTeam(obj), position, range, rec->excludeSlot != 0,
                                               slotOf(rec->excludedSlot));
            break;
        case Search::Team:
            found = targets_->findTeamInRange(slot, ownTeam(obj), position, range);
            break;
        case Search::Neutral:
            found = targets_->findNeutralInRange(slot, position, range);
            break;
        }
        if (found) {
            rec->lockTime = 0.0f;
            rec->hasTarget = 1;
            rec->targetSlot = static_cast<int32_t>(slot);
        }
        return;
    }
    if (!holdsTarget(obj, rec, search)) {
        obj->setTrigger(false);
        rec->hasTarget = 0;
        return;
    }
    const uint32_t slot = slotOf(rec->targetSlot);
    rec->lockTime += lockRate(obj, slot) * dt;
    targets_->setTargeted(slot);
    if (lockComplete(obj, rec)) {
        obj->setTarget(true, slot);
        rec->state = search == Search::Team ? 0 : 1;
    }
}

void AIbeheiviour::groundAttack(GameObject* obj, AIdata* rec)
{
    if (!holdsTarget(obj, rec, Search::Enemy)) {
        dropTarget(obj);
        rec->state = 0;
        return;
    }
    const uint32_t slot = slotOf(rec->targetSlot);
    targets_->setTargeted(slot);
    const Ogre::Vector3 target = targets_->getPosition(slot);
    // A vehicle's turret follows its aim point every tick; left alone it would turn toward the
    // point the last steering wrote (the origin for a vehicle nobody steers).
    if (auto* vehicle = dynamic_cast<GroundVehicle*>(obj)) {
        vehicle->aimPoint = target;
        vehicle->mouseAim = 1;
    }
    if (!obj->isMainWeaponReady()) {
        obj->setTrigger(false);
        return;
    }
    if (obj->aimMainWeaponAt(target))
        obj->setTrigger(true);
}

AIbeheiv_GrndObj::AIbeheiv_GrndObj(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets,
                                   RandomGenerator* rng)
    : AIbeheiviour(difficulty, damage, targets, rng)
{
    kind_ = 2;
}

void AIbeheiv_GrndObj::think(float, GameObject*, AIdata* rec) { rec->state = 2; }
void AIbeheiv_GrndObj::attack(float, GameObject* obj, AIdata* rec) { groundAttack(obj, rec); }
void AIbeheiv_GrndObj::approach(float dt, GameObject* obj, AIdata* rec) { groundApproach(dt, obj, rec, Search::Enemy); }
void AIbeheiv_GrndObj::approachAgain(float dt, GameObject* obj, AIdata* rec) { approach(dt, obj, rec); }
void AIbeheiv_GrndObj::lockOn(float dt, GameObject* obj, AIdata* rec) { groundApproach(dt, obj, rec, Search::Team); }
void AIbeheiv_GrndObj::approachNeutral(float dt, GameObject* obj, AIdata* rec)
{
    groundApproach(dt, obj, rec, Search::Neutral);
}
void AIbeheiv_GrndObj::resetState(float, GameObject*, AIdata* rec) { rec->state = 0; }

AIbeheiv_AirObj::AIbeheiv_AirObj(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets,
                                 RandomGenerator* rng)
    : AIbeheiviour(difficulty, damage, targets, rng)
{
    kind_ = 4;
}

void AIbeheiv_AirObj::think(float, GameObject*, AIdata* rec) { rec->state = 2; }
void AIbeheiv_AirObj::attack(float, GameObject* obj, AIdata* rec) { groundAttack(obj, rec); }
void AIbeheiv_AirObj::approach(float dt, GameObject* obj, AIdata* rec) { groundApproach(dt, obj, rec, Search::Enemy); }
void AIbeheiv_AirObj::approachAgain(float dt, GameObject* obj, AIdata* rec) { approach(dt, obj, rec); }
void AIbeheiv_AirObj::lockOn(float dt, GameObject* obj, AIdata* rec) { groundApproach(dt, obj, rec, Search::Team); }
void AIbeheiv_AirObj::approachNeutral(float dt, GameObject* obj, AIdata* rec)
{
    groundApproach(dt, obj, rec, Search::Neutral);
}
void AIbeheiv_AirObj::resetState(float, GameObject*, AIdata* rec) { rec->state = 0; }

// ---- vehicles --------------------------------------------------------------------------------

AIbeheiv_GrndVeh::AIbeheiv_GrndVeh(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets,
                                   RandomGenerator* rng)
    : AIbeheiv_GrndObj(difficulty, damage, targets, rng)
{
    kind_ = 3;
}

void AIbeheiv_GrndVeh::update(float dt, GameObject* obj, AIdata* rec)
{
    const Ogre::Vector3 own = obj->getWorldPosition();
    ownPosition_ = Ogre::Vector2(own.x, own.z);
    goalPosition_ = Ogre::Vector2(rec->goalPoint.x, rec->goalPoint.z);
    goalOffset_ = goalPosition_ - ownPosition_;
    switch (rec->state) {
    case 1:
        attack(dt, obj, rec);
        break;
    case 2:
        approach(dt, obj, rec);
        break;
    case 3:
        selectTarget(dt, obj, rec);
        break;
    case 4:
        approachAgain(dt, obj, rec);
        break;
    case 5:
        lockOn(dt, obj, rec);
        break;
    case 7:
        approachNeutral(dt, obj, rec);
        break;
    case 8:
        wait(dt, obj, rec);
        approach(dt, obj, rec);
        break;
    case 9:
        driveToGoal(dt, obj, rec);
        break;
    case 10:
        driveToGoal(dt, obj, rec);
        approach(dt, obj, rec);
        break;
    case 12:
        driveToGoal(dt, obj, rec);
        lockOn(dt, obj, rec);
        break;
    case 14:
        resetState(dt, obj, rec);
        break;
    case 26:
        chase(dt, obj, rec);
        break;
    default:
        think(dt, obj, rec);
        break;
    }
}

void AIbeheiv_GrndVeh::selectTarget(float, GameObject* obj, AIdata* rec)
{
    uint32_t slot = 0;
    uint32_t squaredDistance = 0;
    const uint32_t self = ownSlot(obj);
    if (!targets_->findBest(slot, &self, ownTeam(obj), obj->getWorldPosition(), squaredDistance))
        return;
    const float range = weaponRange(obj);
    rec->targetSlot = static_cast<int32_t>(slot);
    rec->hasTarget = 1;
    if (static_cast<float>(squaredDistance) < range * range) {
        rec->lockTime = 0.0f;
        rec->state = 2;
        return;
    }
    rec->goalPoint = targets_->getPosition(slot);
    const TargetEntry& e = targets_->entries()[slot];
    const uint32_t kind = (targets_->inUse(slot) && e.ownerData) ? (e.ownerData->behaviourKind & 0xFFFFu) : 0u;
    rec->state = (kind <= 3 || kind == 5) ? 10 : 26;
}

void AIbeheiv_GrndVeh::driveToGoal(float, GameObject* obj, AIdata* rec)
{
    if (!rec->legStarted) {
        obj->aimTurretAt(rec->goalPoint);
        rec->goalYaw = obj->getTurretWorldYaw();
        rec->legStarted = 1;
    }
    const float d2 = goalOffset_.squaredLength();
    const float arrival2 = rec->arrivalRadius * rec->arrivalRadius;
    if (obj->getSpeed() == 0.0f && d2 < arrival2)
        rec->state = 0;
    auto* vehicle = dynamic_cast<GroundVehicle*>(obj);
    if (!vehicle)
        return;  // a ground object has no drive inputs
    if (arrival2 <= d2)
        vehicle->accelerateInput = 1.0f;
    else
        vehicle->reverseInput = 1.0f;
    vehicle->steerInput = rec->goalYaw < obj->getYaw() ? -1.0f : 1.0f;
}

void AIbeheiv_GrndVeh::resetState(float dt, GameObject* obj, AIdata* rec)
{
    if (!rec->legStarted) {
        Ogre::SceneNode* main = obj->getMainNode();
        rec->goalPoint = main->getPosition() + 10.0f * main->getOrientation().zAxis();
        obj->aimTurretAt(rec->goalPoint);
        rec->goalYaw = obj->getTurretWorldYaw();
        rec->legStarted = 1;
    }
    driveToGoal(dt, obj, rec);
}

void AIbeheiv_GrndVeh::chase(float dt, GameObject* obj, AIdata* rec)
{
    rec->legStarted = 0;
    const uint32_t slot = slotOf(rec->targetSlot);
    // The slot may have gone to a team-mate or a neutral since the chase began: then it is lost.
    if (!targets_->isEnemyOf(slot, ownTeam(obj))) {
        rec->state = 0;
        return;
    }
    rec->goalPoint = targets_->getPosition(slot);
    driveToGoal(dt, obj, rec);
    approach(dt, obj, rec);
}

// ---- further operations ----------------------------------------------------------------------

void AIbeheiviour::reactToHit(float, GameObject* obj, AIdata* rec)
{
    if (rec->state == 28)
        return;
    const uint32_t self = ownSlot(obj);
    if (self < targets_->getNumEntries()) {
        TargetEntry& e = targets_->entries()[self];
        if (e.missileWarning) {
            e.missileWarning = 0;
            rec->warned = 1;
        } else {
            e.targeted = 0;
            rec->warned = 0;
        }
    }
    if (!rec->holdGoal && rec->state != 14 && rec->warned) {
        float a = 0.3f, b = 0.8f, c = 0.43f;
        rollEvade(obj, rec, a, b, c);
        pickGoalPoint(0.0f, obj, rec);
    }
}

void AIbeheiviour::rollFear(float, GameObject* obj, AIdata* rec)
{
    const DamageEntry* entry = damage_ ? damage_->getEntry(obj->getDamageSlot()) : nullptr;
    if (!entry || entry->damageTaken <= rec->lastDamage)
        return;
    const float hp = static_cast<float>(obj->getData()->hitPoints);
    const float percent = hp > 0.0f ? (entry->damageTaken - rec->lastDamage) / hp * 100.0f : 100.0f;
    rec->lastDamage = std::trunc(entry->damageTaken);
    if (100.0f * drawUnit() < percent) {
        if (!rec->excited)
            ++rec->exciteCount;
        rec->excited = 1;
        rec->calming = 0;
        rec->setPersonality(10, remapClamped(0.0f, 100.0f, percent, 2.0f, 10.0f));
        float a = remapClamped(0.0f, 100.0f, percent, 0.3f, 1.1f);
        float b = remapClamped(0.0f, 100.0f, percent, 0.8f, 3.1f);
        float c = remapClamped(0.0f, 100.0f, percent, 0.13f, 0.6f);
        rollEvade(obj, rec, a, b, c);
    }
    if (100.0f * drawUnit() < obj->getHealthPercent() &&
        100.0f * drawUnit() < remapLinear(0.0f, 255.0f, rec->personality(5), 10.0f, 60.0f)) {
        rec->pursuing = 1;
        rec->pursuedSlot = 0;
        rec->state = 2;
    }
}

void AIbeheiviour::pickGoalPoint(float dt, GameObject* obj, AIdata* rec)
{
    pickWaitPoint(dt, obj, rec, facing(obj), -1.0f);
}

void AIbeheiviour::pickWaitPoint(float, GameObject* obj, AIdata* rec, const Ogre::Vector3& direction, float holdTime)
{
    // holdTime < 0: a goal to drive to (pickGoalPoint); otherwise a point to hold at.
    const bool hold = holdTime >= 0.0f;
    obj->setTrigger(false);
    const Ogre::Vector3 origin = obj->getWorldPosition();
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    Ogre::Entity* entity = nullptr;
    float distance = -1.0f;
    const bool hit = damage_ && raycastForAI(damage_, origin, direction, point, entity, distance);
    const float near = !hit ? 300.0f : distance < 800.0f ? 300.0f : distance < 1500.0f ? 600.0f : 800.0f;
    const float spread = remapLinear(0.0f, 255.0f, rec->personality(5), near, 200.0f);
    const Ogre::Vector3 centre = hit ? point : origin + Ogre::Vector3(0.0f, 1400.0f, 0.0f);
    const float dx = (2.0f * drawUnit() - 1.0f) * spread;
    const float dz = (2.0f * drawUnit() - 1.0f) * spread;
    rec->goalPoint = centre + Ogre::Vector3(dx, 0.0f, dz);
    rec->arrivalRadius = 25.0f + 55.0f * drawUnit();
    rec->legStarted = 0;
    if (hold) {
        rec->restTime = holdTime;
        rec->state = 15;
    } else if (hit) {
        rec->state = 14;
    } else {
        rec->warned = 0;
        rec->holdGoal = 1;
        rec->state = 28;
    }
}

void AIbeheiviour::renewPursuit(float, GameObject*, AIdata* rec)
{
    if (!rec->pursuing || rec->pursueLeft > 0.0f)
        return;
    if (!slotValid(rec->pursuedSlot)) {
        rec->state = 0;
        rec->pursuing = 0;
        float a = 0.1f, b = 1.1f, c = 0.2f;
        rollEvade(nullptr, rec, a, b, c);
        return;
    }
    // Keener personalities pursue longer; any pursuit tires over six minutes.
    const float keen = remapLinear(0.0f, 255.0f, rec->personality(1), 40.0f, 90.0f);
    const float chance = remapClamped(0.0f, 355.0f, rec->pursueTime, keen, 5.0f);
    if (100.0f * drawUnit() < chance) {
        rec->pursueLeft = 2.0f + 2.0f * drawUnit();
    } else {
        rec->pursuing = 0;
        rec->pursueTime = 0.0f;
    }
}

void AIbeheiviour::rollEngagement(float, GameObject* obj, AIdata* rec)
{
    const float chance = remapLinear(0.0f, 255.0f, rec->personality(2), 0.0f, 100.0f);
    if (rec->hasTarget && slotValid(rec->targetSlot) && 100.0f * drawUnit() < chance) {
        if (rec->pursuedSlot != rec->targetSlot)
            rec->pursueTime = 0.0f;
        rec->pursuing = 1;
        rec->pursuedSlot = rec->targetSlot;
        rec->pursueLeft = 2.0f + 2.0f * drawUnit();
        const float d2 = targets_->getPosition(slotOf(rec->targetSlot)).squaredDistance(obj->getWorldPosition());
        planMove(obj, rec, rec->targetSlot, saturatingU32(d2));
        return;
    }
    rec->moveTimer = 0.0f;
    rec->pursuing = 0;
    dropTarget(obj);
    rec->state = 0;
    float a = 0.6f, b = 1.1f, c = 0.3f;
    rollEvade(obj, rec, a, b, c);
}

void AIbeheiviour::planMove(GameObject* obj, AIdata* rec, int32_t slot, uint32_t squaredDistance)
{
    const Ogre::Vector3 own = obj->getWorldPosition();
    const Ogre::Vector3 target = targets_->getPosition(slotOf(slot));
    // Close enough already: hold where it stands.
    const float ring = remapLinear(0.0f, 255.0f, rec->personality(7), 40.0f, 15.0f);
    if (static_cast<float>(squaredDistance) < ring * ring) {
        rec->state = 29;
        return;
    }
    // A point on a ring around the target, on the object's side; the steeper the object stands,
    // the wider the angle it may take (it seeks other ground).
    const float tilt = std::min(obj->getTiltAngles(), 900.0f);
    const float spread = 45.0f + tilt / 30.0f;
    Ogre::Vector3 away = own - target;
    away.y = 0.0f;
    if (away.isZeroLength())
        away = Ogre::Vector3::UNIT_Z;
    away.normalise();
    const Ogre::Quaternion turn(Ogre::Degree((2.0f * drawUnit() - 1.0f) * spread), Ogre::Vector3::UNIT_Y);
    const Ogre::Vector3 above = target + turn * away * ring + Ogre::Vector3(0.0f, 500.0f, 0.0f);
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    Ogre::Entity* entity = nullptr;
    float distance = -1.0f;
    if (!damage_ || !raycastForAI(damage_, above, Ogre::Vector3::NEGATIVE_UNIT_Y, point, entity, distance)) {
        rec->state = 27;
        return;
    }
    rec->goalPoint = point;
    rec->arrivalRadius = 0.5f * ring;
    rec->legStarted = 0;
    rec->state = 9;
}

bool AIbeheiviour::tryRetreat(GameObject*, AIdata* rec)
{
    if (rec->retreatTime > 0.0f) {
        rec->state = 16;
        return true;
    }
    return false;
}

void AIbeheiviour::forceTarget(int& slot, GameObject*, float, AIdata* rec)
{
    rec->hasTarget = 1;
    rec->targetSlot = slot;
    rec->state = 26;
}

void AIbeheiviour::rollEvade(GameObject*, AIdata* rec, float& a, float& b, float& c)
{
    const float p5 = rec->personality(5);
    const float t = remapLinear(0.0f, 255.0f, p5, 35.0f, 5.0f);
    if (t <= 100.0f * rec->draw())
        rec->evadeTime = remapLinear(0.0f, 255.0f, p5, b, a) + c * rec->draw() - c / 2.0f;
    else
        rec->evadeTime = remapLinear(0.0f, 255.0f, p5, 4.0f * b, 3.0f * a) + 2.0f * c * rec->draw() - c;
    if (rec->excited)
        rec->evadeTime *= rec->personality(15);
    else if (rec->calming)
        rec->evadeTime *= 2.0f - rec->personality(15);
}

bool AIbeheiviour::scanForTargets(float dt, GameObject* obj, AIdata* rec, bool mayPursue)
{
    const float range = rec->keepTarget ? obj->getRadarRange() : weaponRange(obj);
    uint32_t slot = 0;
    const uint32_t self = ownSlot(obj);
    const bool found = targets_->findEnemyInRange(slot, &self, ownTeam(obj), obj->getWorldPosition(), range,
                                                  rec->excludeSlot != 0, slotOf(rec->excludedSlot));
    if (found) {
        rec->hasTarget = 1;
        rec->targetSlot = static_cast<int32_t>(slot);
        if (mayPursue && 100.0f * drawUnit() < remapLinear(0.0f, 255.0f, rec->personality(5), 0.0f, 100.0f)) {
            if (rec->pursuedSlot != rec->targetSlot)
                rec->pursueTime = 0.0f;
            rec->pursuing = 1;
            rec->pursuedSlot = rec->targetSlot;
            rec->pursueLeft = 2.0f + 2.0f * drawUnit();
        }
        rec->lockTime = 0.0f;
    }
    reactToHit(dt, obj, rec);
    return found;
}
