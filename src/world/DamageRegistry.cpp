#include "world/DamageRegistry.h"

#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "world/GameObjectData.h"
#include "world/MeshRayCache.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

DamageRegistry::DamageRegistry(GamePlayData* playData, Ogre::SceneManager* sceneManager, RandomGenerator* random,
                               DificultyData* difficulty, SceneContext* sceneContext, SceneCreator* sceneCreator)
    : mPlayData(playData),
      mSceneCreator(sceneCreator),
      mSceneManager(sceneManager),
      mSceneContext(sceneContext),
      mRandom(random),
      mDifficulty(difficulty),
      mMeshCache(std::make_unique<MeshRayCache>())
{
    if (mSceneManager) {
        mRayQuery = mSceneManager->createRayQuery(Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_Z), 0xFFFFFFFF);
        mRayQuery->setSortByDistance(true, 0);
    }
}

DamageRegistry::~DamageRegistry()
{
    if (mRayQuery)
        mSceneManager->destroyQuery(mRayQuery);
}

uint32_t DamageRegistry::findFreeSlot()
{
    for (uint32_t i = 0; i < mEntries.size(); ++i)
        if (mEntries[i].free == 1)
            return i;
    return grow();
}

uint32_t DamageRegistry::grow()
{
    const uint32_t n = getNumEntries();
    mEntries.resize(n + n / 2 + 1);
    return n;
}

uint32_t DamageRegistry::add(Ogre::Entity* entity, GameObjectData* ownerData, uint32_t bodyKind, uint8_t actorColide,
                             uint32_t team, uint32_t ownerId, uint8_t subObjectFlag, uint32_t subObjectNumber)
{
    const uint32_t slot = findFreeSlot();
    DamageEntry& e = mEntries[slot];
    if (entity)
        entity->setQueryFlags(1);  // the damage-body ray runs its query with mask 1
    e.entity = entity;
    e.bodyKind = bodyKind;
    const uint8_t flags[6] = {0, 0, 1, 1, actorColide, 0};
    std::copy(flags, flags + 6, e.flags);
    e.collidable = 1;
    e.team = team;
    e.ownerId = ownerId;
    e.active = 1;
    e.free = 0;
    e.damageTaken = 0.0f;
    e.subObjectFlag = subObjectFlag;
    e.subObjectNumber = subObjectNumber;
    e.ownerData = ownerData;
    return slot;
}

void DamageRegistry::remove(uint32_t slot)
{
    if (slot >= mEntries.size())
        return;
    const float damage = mEntries[slot].damageTaken;
    mEntries[slot] = DamageEntry();
    mEntries[slot].damageTaken = damage;
}

GameObjectData* DamageRegistry::getOwnerData(uint32_t slot) const
{
    if (slot >= mEntries.size() || mEntries[slot].free)
        return nullptr;
    return mEntries[slot].ownerData;
}

void DamageRegistry::addDamage(uint32_t slot, float amount, uint32_t hitType, int32_t attackerId)
{
    GameObjectData* owner = getOwnerData(slot);
    if (!owner || owner->noDamage)
        return;
    DamageEntry& e = mEntries[slot];
    const bool isPlayer = mSceneContext && owner->objectId == mSceneContext->playerObjectId;
    if (isPlayer && static_cast<int64_t>(owner->objectId) == attackerId)
        e.damageTaken += amount * 0.5f;
    else
        e.damageTaken += amount;
    e.lastHitType = hitType;
    e.lastAttackerId = attackerId;
    if (isPlayer && mPlayData)
        mPlayData->playerHit = 1;
}

void DamageRegistry::applyAreaDamage(const Ogre::Vector3& centre, float radius, float damage, uint32_t hitType,
                                     const int32_t* attackerTeam, bool fade, bool friendlyFire, int32_t attackerId)
{
    const float r2 = static_cast<float>(saturatingU32(Ogre::Math::Pow(radius, 2.0f)));
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        const DamageEntry& e = mEntries[i];
        if (e.free || !e.active || !e.ownerData || !e.entity || !e.entity->getParentSceneNode())
            continue;
        if (attackerTeam && static_cast<int32_t>(e.ownerData->team) == *attackerTeam && !friendlyFire)
            continue;
        // World position: a part's node hangs below its object's node.
        const float d2 = centre.squaredDistance(e.entity->getParentSceneNode()->_getDerivedPosition());
        if (!(d2 < r2))
            continue;
        const float amount = fade ? remapLinear(0.0f, r2, d2, damage, 0.0f) : damage;
        addDamage(i, amount, hitType, attackerId);
    }
}

bool DamageRegistry::findByEntity(Ogre::Entity* entity, uint32_t excludedSlot, uint32_t& slot) const
{
    slot = 0;
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        const DamageEntry& e = mEntries[i];
        if (!e.free && e.active && e.entity == entity && e.collidable == 1 && i != excludedSlot) {
            slot = i;
            return true;
        }
    }
    return false;
}
