#include "world/TargetRegistry.h"

#include "core/Utilities.h"
#include "definitions/goParams.h"
#include "world/GameObjectData.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneNode.h>

namespace {

float squared(float v)
{
    return Ogre::Math::Pow(v, 2.0f);
}

}  // namespace

TargetRegistry::TargetRegistry() : mEntries(kInitialSlots) {}

uint32_t TargetRegistry::findFreeSlot()
{
    for (uint32_t i = 0; i < mEntries.size(); ++i)
        if (mEntries[i].free == 1)
            return i;
    return grow();
}

uint32_t TargetRegistry::grow()
{
    const uint32_t n = getNumEntries();
    mEntries.resize(n + n / 2 + 1);
    return n;
}

uint32_t TargetRegistry::add(Ogre::SceneNode* node, Ogre::Entity* entity, GameObjectData* owner, goParams* definition,
                             uint32_t subObjectNumber, uint8_t subObjectFlag)
{
    const uint32_t slot = findFreeSlot();
    TargetEntry& e = mEntries[slot];
    e.free = 0;
    e.node = node;
    e.active = 1;
    e.definition = definition;
    e.ownerData = owner;
    e.entity = entity;
    e.spare = 0;
    e.targeted = 0;
    e.missileWarning = 0;
    e.subObjectFlag = subObjectFlag;
    e.subObjectNumber = subObjectNumber;
    return slot;
}

void TargetRegistry::remove(uint32_t slot)
{
    if (slot < mEntries.size())
        mEntries[slot] = TargetEntry();
}

bool TargetRegistry::inUse(uint32_t slot) const
{
    return slot < mEntries.size() && mEntries[slot].free == 0 && mEntries[slot].active == 1;
}

goParams* TargetRegistry::getParams(uint32_t slot) const
{
    return inUse(slot) ? mEntries[slot].definition : nullptr;
}

Ogre::Vector3 TargetRegistry::getPosition(uint32_t slot) const
{
    if (!inUse(slot) || !mEntries[slot].node)
        return Ogre::Vector3::ZERO;
    return mEntries[slot].node->_getDerivedPosition();
}

Ogre::Vector3 TargetRegistry::getAimPoint(uint32_t slot) const
{
    if (!inUse(slot) || !mEntries[slot].node)
        return Ogre::Vector3::ZERO;
    const Ogre::Entity* body = mEntries[slot].entity;
    if (!body || !body->isInScene())
        return getPosition(slot);
    const Ogre::AxisAlignedBox box = body->getWorldBoundingBox(true);
    return box.isFinite() ? box.getCenter() : getPosition(slot);
}

void TargetRegistry::setTargeted(uint32_t slot)
{
    if (inUse(slot))
        mEntries[slot].targeted = 1;
}

bool TargetRegistry::isInRange(uint32_t slot, const Ogre::Vector3& centre, float range) const
{
    return inUse(slot) && getPosition(slot).squaredDistance(centre) < squared(range);
}

bool TargetRegistry::isEnemy(const TargetEntry& e, int32_t ownTeam) const
{
    if (!e.ownerData)
        return false;
    const int32_t team = static_cast<int32_t>(e.ownerData->team);
    return team != ownTeam && team != 0;
}

bool TargetRegistry::findEnemyInRange(uint32_t& slot, const uint32_t* searcherSlot, int32_t ownTeam,
                                      const Ogre::Vector3& centre, float range, bool useExclusion,
                                      uint32_t excludedSlot) const
{
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        if (!inUse(i) || (useExclusion && i == excludedSlot) || !isEnemy(mEntries[i], ownTeam))
            continue;
        if (isInRange(i, centre, range) && canDetect(searcherSlot, i)) {
            slot = i;
            return true;
        }
    }
    return false;
}

bool TargetRegistry::findTeamInRange(uint32_t& slot, int32_t team, const Ogre::Vector3& centre, float range) const
{
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        const TargetEntry& e = mEntries[i];
        if (inUse(i) && e.ownerData && static_cast<int32_t>(e.ownerData->team) == team && isInRange(i, centre, range)) {
            slot = i;
            return true;
        }
    }
    return false;
}

bool TargetRegistry::findNeutralInRange(uint32_t& slot, const Ogre::Vector3& centre, float range) const
{
    return findTeamInRange(slot, 0, centre, range);
}

bool TargetRegistry::canDetect(const uint32_t* searcherSlot, uint32_t candidateSlot) const
{
    if (!searcherSlot)
        return false;
    const goParams* searcher = getParams(*searcherSlot);
    const goParams* candidate = getParams(candidateSlot);
    if (!searcher || !candidate)
        return false;
    if (candidate->RadarStealth < searcher->TgtStealthRes)
        return true;
    const float range = remapLinear(100.0f, 0.0f, candidate->RadarStealth - searcher->TgtStealthRes,
                                    0.5f * searcher->RadarRange, 3.0f * searcher->RadarRange);
    // Far beyond the resolution the line runs below zero; squaring would make it grow again.
    if (range < 0.0f)
        return false;
    return getPosition(*searcherSlot).squaredDistance(getPosition(candidateSlot)) <= squared(range);
}

bool TargetRegistry::findBest(uint32_t& slot, const uint32_t* searcherSlot, int32_t ownTeam,
                              const Ogre::Vector3& centre, uint32_t& bestSquaredDistance) const
{
    bestSquaredDistance = 0;
    bool taken = false;  // a stored distance of 0 is a real candidate within 1 unit
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        if (!inUse(i) || !isEnemy(mEntries[i], ownTeam) || !canDetect(searcherSlot, i))
            continue;
        const float d2 = getPosition(i).squaredDistance(centre);
        if (!taken || static_cast<float>(bestSquaredDistance) > d2) {
            slot = i;
            bestSquaredDistance = saturatingU32(d2);
            taken = true;
        }
    }
    return taken;
}
