#include "world/ProjectileManager.h"

#include "core/GamePlayData.h"
#include "definitions/projParams.h"
#include "world/BasicBomb.h"
#include "world/BasicRocket.h"
#include "world/Projectile.h"
#include "world/SlowTime.h"

#include <OgreSceneNode.h>

ProjectileManager::ProjectileManager(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                                     DamageRegistry* damage, FxPool* fx, ShotStatistics* statistics,
                                     ProjectileDefRegistry*, TargetRegistry* targets)
    : playData_(playData), statistics_(statistics), targets_(targets), slots_(kInitialSlots), scene_(scene),
      damage_(damage), fx_(fx), sounds_(sounds)
{
}

ProjectileManager::~ProjectileManager()
{
    destroyAll();
    slots_.clear();
}

void ProjectileManager::grow()
{
    const size_t n = slots_.size();
    slots_.resize(n + n / 2 + 1);
}

uint32_t ProjectileManager::findFreeSlot()
{
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].free)
            return static_cast<uint32_t>(i);
    const auto first = static_cast<uint32_t>(slots_.size());
    grow();
    return first;
}

void ProjectileManager::spawn(int32_t team, int32_t projectileType, const Ogre::Vector3& position,
                              const Ogre::Quaternion& orientation, float addedSpeed, float spread, uint32_t ownerId,
                              uint32_t damage, projParams* definition, WarHeadParams* warhead,
                              const uint8_t* tracking, uint32_t targetSlot, const Ogre::Vector3* dispenserVector)
{
    const uint32_t n = findFreeSlot();
    ++shots_;
    if (!definition || !warhead)
        return;
    const uint8_t track = tracking ? *tracking : 0;
    std::unique_ptr<Projectile> made;
    switch (projectileType) {
    case ProjectileKind_Bullet:
        made = std::make_unique<P_bullet>(playData_, scene_, sounds_, damage_, position, addedSpeed, orientation, n,
                                          spread, ownerId, definition, warhead, fx_, targets_, team, damage);
        break;
    case ProjectileKind_Rocket:
        made = std::make_unique<BasicRocket>(playData_, scene_, sounds_, damage_, position, addedSpeed, orientation,
                                             n, spread, ownerId, definition, warhead, fx_, targets_, team, damage);
        break;
    case ProjectileKind_Missile: {
        auto* missile = dynamic_cast<MissParams*>(definition);
        if (!missile)
            return;
        made = std::make_unique<BasicMissile>(playData_, scene_, sounds_, damage_, position, addedSpeed, orientation,
                                              n, track, targetSlot, spread, ownerId, missile, warhead, fx_, targets_,
                                              team, damage);
        break;
    }
    case ProjectileKind_Bomb:
        made = std::make_unique<BasicBomb>(playData_, scene_, sounds_, damage_, position, addedSpeed, orientation, n,
                                           track, targetSlot, spread, fx_, ownerId, definition, warhead, targets_,
                                           team, damage);
        break;
    case ProjectileKind_Dispenser:
        made = std::make_unique<Dispenser>(playData_, scene_, sounds_, damage_, position, addedSpeed, orientation, n,
                                           track, targetSlot, spread, fx_, ownerId, definition, warhead, targets_,
                                           team, damage, dispenserVector);
        break;
    default:
        return;
    }
    slots_[n].projectile = std::move(made);
    slots_[n].free = 0;
    if (statistics_) {
        if (projectileType == ProjectileKind_Bullet)
            ++statistics_->bulletsFired;
        else
            ++statistics_->missilesFired;
    }
}

float ProjectileManager::timeFactorFor(const Projectile& projectile) const
{
    if (!projectile.getNode())
        return 1.0f;
    return slowTimeFactor(playData_, static_cast<int32_t>(projectile.getRecord()->ownerId),
                          projectile.getNode()->_getDerivedPosition());
}

void ProjectileManager::update(float dt)
{
    for (ProjectileSlot& slot : slots_) {
        if (slot.free)
            continue;
        Projectile& projectile = *slot.projectile;
        timeFactor_ = timeFactorFor(projectile);
        bool hitReport = false;
        int type = 0;
        const bool alive = projectile.update(dt * timeFactor_, hitReport, type);
        if (hitReport && projectile.getRecord()->countedHit) {
            ++hits_;
            if (statistics_) {
                if (type == ProjectileKind_Bullet)
                    ++statistics_->bulletHits;
                else if (type >= int(ProjectileKind_Rocket) && type <= int(ProjectileKind_Dispenser))
                    ++statistics_->missileHits;
            }
        }
        if (!alive) {
            slot.projectile.reset();
            slot.free = 1;
        }
    }
}

void ProjectileManager::pauseAll()
{
    for (ProjectileSlot& slot : slots_)
        if (!slot.free)
            slot.projectile->pauseSounds();
}

void ProjectileManager::resumeAll()
{
    for (ProjectileSlot& slot : slots_)
        if (!slot.free)
            slot.projectile->resumeSounds();
}

void ProjectileManager::destroyAll()
{
    for (ProjectileSlot& slot : slots_) {
        slot.projectile.reset();
        slot.free = 1;
    }
}

Projectile* ProjectileManager::projectileInSlot(uint32_t slot) const
{
    return slot < slots_.size() ? slots_[slot].projectile.get() : nullptr;
}

uint32_t ProjectileManager::liveCount() const
{
    uint32_t n = 0;
    for (const ProjectileSlot& slot : slots_)
        n += slot.free ? 0 : 1;
    return n;
}
