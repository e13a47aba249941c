#include "world/AIbeheiv_Ovni.h"

#include "core/Utilities.h"
#include "definitions/DificultyData.h"
#include "definitions/OvniParams.h"
#include "world/AIdata.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/Ovni.h"
#include "world/TargetRegistry.h"

#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace {

uint32_t slotOf(int32_t slot) { return static_cast<uint32_t>(slot); }

// The gun points straight ahead of the turret: the aim node's own z axis (it looks along -Z)
// has next to no sideways part. An air object's gun sits on the aim node itself.
bool gunOnTarget(const GameObject* obj)
{
    if (!dynamic_cast<const Ovni*>(obj))
        return true;
    const Ogre::Vector3 z = obj->getAimNode()->getOrientation().zAxis();
    return std::fabs(z.x) < 0.02f && z.z > 0.0f;
}

}  // namespace

AIbeheiv_Ovni::AIbeheiv_Ovni(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets,
                             RandomGenerator* rng)
    : AIbeheiv_AirObj(difficulty, damage, targets, rng)
{
    kind_ = 5;
}

void AIbeheiv_Ovni::update(float dt, GameObject* obj, AIdata* rec)
{
    Ovni* ovni = dynamic_cast<Ovni*>(obj);
    const OvniParams* params = ovni ? ovni->getOvniParams() : nullptr;
    // Shaken (just hit, or just arrived): hold still and give up the move under way.
    if (ovni && ovni->shake > 0.0f) {
        ovni->speedFactor = 0.0f;
        rec->moveTimer = 0.0f;
        rec->legStarted = 0;
        return;
    }
    updateRecordTimers(dt, rec);
    if (ovni) {
        ovni->speedFactor = 0.0f;
        ovni->turnRate = 0.0f;
        if (params && params->MoveType == 1) {
            rec->moveTimer += dt;
            if (rec->legStarted) {
                if (rec->moveTimer > params->MoveDuration) {
                    rec->legStarted = 0;
                    rec->moveTimer = 0.0f;
                }
                ovni->speedFactor = 1.0f;
            } else if (rec->moveTimer > params->MoveInterval) {
                ovni->getTurretNode()->yaw(Ogre::Degree(drawUnit() * 1000.0f));
                rec->moveTimer = 0.0f;
                rec->legStarted = 1;
            }
        }
        if (!params || !params->HasTurret)
            return;  // an Ovni without a turret never fights
    }
    switch (rec->state) {
    case 1:
    case 22:
        attack(dt, obj, rec);
        break;
    case 2:
        approach(dt, obj, rec);
        break;
    case 15:
        obj->setTrigger(false);
        if (rec->restTime <= 0.0f)
            rec->state = 0;
        break;
    default:
        think(dt, obj, rec);
        break;
    }
}

void AIbeheiv_Ovni::updateRecordTimers(float dt, AIdata* rec)
{
    rec->age += dt;
    rec->restTime = std::max(rec->restTime - dt, 0.0f);
    rec->retreatTime = std::max(rec->retreatTime - dt, 0.0f);
    rec->evadeTime = std::max(rec->evadeTime - dt, 0.0f);

    // Mood: the level runs down per tick (faster while excited); the end of an excitement starts
    // a calming whose level depends on how often the record has been excited.
    float level = rec->personality(10);
    if (rec->calming) {
        level += dt;
        if (level > 0.0f) {
            level = 0.0f;
            rec->calming = 0;
        }
    } else {
        level -= rec->excited ? 0.1f : 0.01f;
        if (level < 0.0f) {
            level = 0.0f;
            if (rec->excited) {
                rec->excited = 0;
                rec->calming = 1;
                level = rec->exciteCount <= 10 ? remapLinear(0.0f, 10.0f, static_cast<float>(rec->exciteCount), 8.0f, 2.0f)
                                               : 2.0f;
                level += 2.0f * rec->draw() - 1.0f;
            }
        }
    }
    rec->setPersonality(10, level);

    if (rec->warned) {
        rec->setPersonality(3, std::max(rec->personality(3) - dt * 0.02f, -1.0f));
        rec->warnedTime += dt;
    } else {
        rec->warnedTime = 0.0f;
    }

    if (rec->pursuing) {
        rec->pursueTime += dt;
        rec->pursueLeft = std::max(rec->pursueLeft - dt, 0.0f);
    } else {
        rec->pursueLeft = 0.0f;
    }
}

float AIbeheiv_Ovni::restTime(const AIdata* rec)
{
    const float mood = rec->excited ? 1.25f : rec->calming ? 0.8f : 1.0f;
    const float a = 30.0f * rec->personality(20) * rec->personality(9) + rec->personality(5) * mood;
    const DificultyData none;
    const DificultyData& d = difficulty_ ? *difficulty_ : none;
    const float x = a * (d.aiOvRestScale + 0.1f);
    const float high = d.aiOvRestFireHadd + d.aiOvRestFireH * drawUnit();
    const float low = d.aiOvRestFireLadd + d.aiOvRestFireL * drawUnit();
    return remapLinear(0.0f, 255.0f, x, low, high);
}

void AIbeheiv_Ovni::attack(float, GameObject* obj, AIdata* rec)
{
    if (!holdsTarget(obj, rec, Search::Enemy)) {
        dropTarget(obj);
        rec->state = 0;
        return;
    }
    const uint32_t slot = slotOf(rec->targetSlot);
    targets_->setTargeted(slot);
    obj->aimMainWeaponAt(targets_->getAimPoint(slot));
    if (obj->isMainWeaponReady()) {
        obj->setTrigger(true);
        rec->restTime = restTime(rec);
        rec->state = 15;
    } else {
        obj->setTrigger(false);
    }
}

void AIbeheiv_Ovni::approach(float dt, GameObject* obj, AIdata* rec)
{
    if (!rec->hasTarget) {
        uint32_t slot = 0;
        const uint32_t self = obj->getData()->targetSlot;
        if (!targets_->findEnemyInRange(slot, &self, static_cast<int32_t>(obj->getData()->team),
                                        obj->getWorldPosition(), weaponRange(obj), rec->excludeSlot != 0,
                                        slotOf(rec->excludedSlot)))
            return;
        rec->restTime = restTime(rec) * 0.1f;
        rec->state = 15;
        rec->hasTarget = 1;
        rec->targetSlot = static_cast<int32_t>(slot);
        rec->lockTime = 0.0f;
        return;
    }
    if (!holdsTarget(obj, rec, Search::Enemy)) {
        rec->restTime = restTime(rec) * 0.2f;
        rec->state = 15;
        obj->setTrigger(false);
        rec->hasTarget = 0;
        return;
    }
    const uint32_t slot = slotOf(rec->targetSlot);
    obj->aimMainWeaponAt(targets_->getAimPoint(slot));
    rec->lockTime += lockRate(obj, slot) * dt;
    targets_->setTargeted(slot);
    if (lockComplete(obj, rec) && gunOnTarget(obj)) {
        obj->setTarget(true, slot);
        rec->state = 1;
    }
}
