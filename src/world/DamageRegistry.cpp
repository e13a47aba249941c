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

#include <algorithm>
#include <cmath>

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
    mTreeBuilt = false;
    mPlacesBuilt = false;
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
    // Held still, only the bodies whose x lies within the radius can be in it; taken in slot
    // order, as the walk over every slot takes them.
    const std::vector<uint32_t>* near = nullptr;
    if (const BodyPlaces* places = bodyPlaces()) {
        // A little wider than the rounding of the root and of the bounds.
        const float reach = std::sqrt(r2) * 1.0001f + 1e-4f + std::abs(centre.x) * 1e-5f;
        auto first = std::lower_bound(places->byX.begin(), places->byX.end(), centre.x - reach,
                                      [](const BodyPlaces::Place& p, float x) { return p.x < x; });
        mNear.assign(places->loose.begin(), places->loose.end());
        for (auto p = first; p != places->byX.end() && p->x <= centre.x + reach; ++p)
            mNear.push_back(p->slot);
        std::sort(mNear.begin(), mNear.end());
        near = &mNear;
    }
    const uint32_t count = near ? static_cast<uint32_t>(near->size()) : static_cast<uint32_t>(mEntries.size());
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t i = near ? (*near)[k] : k;
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

void DamageRegistry::holdBodiesStill()
{
    mHeldStill = true;
    mTreeBuilt = false;
    mPlacesBuilt = false;
}

void DamageRegistry::releaseBodies()
{
    mHeldStill = false;
    mTreeBuilt = false;
    mPlacesBuilt = false;
}

const DamageRegistry::BodyPlaces* DamageRegistry::bodyPlaces()
{
    if (!mHeldStill)
        return nullptr;
    if (mPlacesBuilt)
        return &mPlaces;
    mPlaces.byX.clear();
    mPlaces.loose.clear();
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        const DamageEntry& e = mEntries[i];
        if (e.free || !e.active || !e.ownerData || !e.entity || !e.entity->getParentSceneNode())
            continue;
        const Ogre::Vector3& p = e.entity->getParentSceneNode()->_getDerivedPosition();
        if (std::isfinite(p.x))
            mPlaces.byX.push_back({p.x, i});
        else
            mPlaces.loose.push_back(i);
    }
    std::sort(mPlaces.byX.begin(), mPlaces.byX.end(),
              [](const BodyPlaces::Place& a, const BodyPlaces::Place& b) { return a.x < b.x; });
    mPlacesBuilt = true;
    return &mPlaces;
}

const DamageRegistry::BodyTree* DamageRegistry::bodyTree()
{
    if (!mHeldStill)
        return nullptr;
    if (mTreeBuilt)
        return &mTree;
    std::vector<BodyTree::Body>& placed = mTree.placed;
    std::vector<Ogre::Vector3>& boxMin = mTree.boxMin;
    std::vector<Ogre::Vector3>& boxMax = mTree.boxMax;
    placed.clear();
    boxMin.clear();
    boxMax.clear();
    mTree.loose.clear();
    float extent = 0.0f;
    for (uint32_t i = 0; i < mEntries.size(); ++i) {
        const DamageEntry& e = mEntries[i];
        BodyTree::Body body;
        body.slot = i;
        // A body without a node or triangles meets no ray.
        if (e.free || !e.active || !mMeshCache->place(e.entity, body.placement) ||
            body.placement.geometry->nodes.empty())
            continue;
        body.box = MeshRayCache::worldBox(body.placement);
        const Ogre::Vector3& lo = body.box.getMinimum();
        const Ogre::Vector3& hi = body.box.getMaximum();
        float far = 0.0f;
        bool finite = body.box.isFinite();
        for (int k = 0; k < 3 && finite; ++k) {
            finite = std::isfinite(lo[k]) && std::isfinite(hi[k]);
            far = std::max({far, std::abs(lo[k]), std::abs(hi[k])});
        }
        if (!finite) {
            mTree.loose.push_back(i);
            continue;
        }
        boxMin.push_back(lo);
        boxMax.push_back(hi);
        placed.push_back(body);
        extent = std::max(extent, far);
    }
    // Wider than the rounding of any entry parameter, so a node never starts after a body in it.
    const float pad = 1e-3f + 1e-5f * extent;
    buildBoxTree(boxMin, boxMax, pad, mTree.nodes, mTree.order, &mTree.centres);
    mTree.bodies.resize(mTree.order.size());
    for (size_t k = 0; k < mTree.order.size(); ++k)
        mTree.bodies[k] = placed[mTree.order[k]];
    mTreeBuilt = true;
    return &mTree;
}
