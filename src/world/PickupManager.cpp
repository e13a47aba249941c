#include "world/PickupManager.h"

#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "core/GlobalSounds.h"
#include "definitions/PickupParams.h"
#include "definitions/PickupParamsLibrary.h"

#include <OgreSceneNode.h>

namespace {
constexpr uint32_t kIntervalList = 1;
constexpr uint32_t kTimeList = 2;
}  // namespace

PickupManager::PickupManager(Ogre::SceneManager* scene, GamePlayData* playData, DamageRegistry* damage,
                             TargetRegistry* targets, GameObjectLookup objects, GlobalSounds* sounds)
    : sounds_(sounds), library_(std::make_unique<PickupParamsLibrary>()), slots_(kInitialSlots)
{
    context_.playData = playData;
    context_.scene = scene;
    context_.damage = damage;
    context_.objects = std::move(objects);
    context_.targets = targets;
}

PickupManager::~PickupManager()
{
    slots_.clear();
    library_.reset();
}

void PickupManager::growSlots()
{
    const size_t n = slots_.size();
    slots_.resize(n + n / 2 + 1);
}

uint32_t PickupManager::findFreeSlot()
{
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].free)
            return static_cast<uint32_t>(i);
    const auto first = static_cast<uint32_t>(slots_.size());
    growSlots();
    return first;
}

Pickup* PickupManager::spawn(PickupParams* definition, const Ogre::Vector3& position)
{
    if (!definition)
        return nullptr;
    reportSpawn(*definition);
    const uint32_t n = findFreeSlot();
    std::unique_ptr<Pickup> made;
    switch (definition->getTypeCode()) {
    case PickWeapParams::kTypeCode:
        made = std::make_unique<WeaponPickup>(context_, definition, n, position);
        break;
    case HealthPickupParams::kTypeCode:
        made = std::make_unique<HeathPickup>(context_, definition, n, position);
        break;
    case GoEffPickupParams::kTypeCode:
        made = std::make_unique<GoEffPickup>(context_, definition, n, position);
        break;
    default:
        made = std::make_unique<Pickup>(context_, definition, n, position);
        break;
    }
    slots_[n].pickup = std::move(made);
    slots_[n].free = 0;
    ++spawned_;
    return slots_[n].pickup.get();
}

float PickupManager::timeFactorFor(const Pickup& pickup) const
{
    if (!context_.playData)
        return 1.0f;
    const SlowTimeBubble& bubble = context_.playData->bubble;
    return bubble.covers(pickup.getRootNode()->_getDerivedPosition()) ? bubble.timeFactor : 1.0f;
}

void PickupManager::update(float dt)
{
    for (PickupSlot& slot : slots_) {
        if (slot.free)
            continue;
        Pickup& pickup = *slot.pickup;
        const PickupParams& def = *pickup.getParams();
        timeFactor_ = timeFactorFor(pickup);
        reportLive(def, dt * timeFactor_);
        if (pickup.update(dt * timeFactor_))
            continue;
        const bool collected = !pickup.hasExpired();
        if (collected)
            playPickSound();
        reportEnd(def, collected);
        slot.pickup.reset();
        slot.free = 1;
    }
}

void PickupManager::hideAll()
{
    for (PickupSlot& slot : slots_)
        if (!slot.free)
            slot.pickup->getRootNode()->setVisible(false, true);
}

Pickup* PickupManager::pickupInSlot(uint32_t slot) const
{
    return slot < slots_.size() ? slots_[slot].pickup.get() : nullptr;
}

uint32_t PickupManager::liveCount() const
{
    uint32_t n = 0;
    for (const PickupSlot& slot : slots_)
        n += slot.free ? 0 : 1;
    return n;
}

void PickupManager::reportSpawn(const PickupParams& def)
{
    GamePlayData* d = context_.playData;
    if (!d || def.spawnListPosition == 0)
        return;
    if (def.spawnListKind == kIntervalList)
        d->onIntervalPickupSpawn(def.spawnListPosition - 1);
    else if (def.spawnListKind == kTimeList)
        d->onTimePickupSpawn(def.spawnListPosition - 1);
}

void PickupManager::reportLive(const PickupParams& def, float dt)
{
    GamePlayData* d = context_.playData;
    if (!d || def.spawnListPosition == 0)
        return;
    if (def.spawnListKind == kIntervalList)
        d->onIntervalPickupLive(def.spawnListPosition - 1, dt);
    else if (def.spawnListKind == kTimeList)
        d->onTimePickupLive(def.spawnListPosition - 1, dt);
}

void PickupManager::reportEnd(const PickupParams& def, bool collected)
{
    GamePlayData* d = context_.playData;
    if (!d || def.spawnListPosition == 0)
        return;
    const uint32_t type = def.spawnListPosition - 1;
    if (def.spawnListKind == kIntervalList) {
        if (collected)
            d->onIntervalPickupPick(type);
        else
            d->onIntervalPickupLeave(type);
    } else if (def.spawnListKind == kTimeList) {
        if (collected)
            d->onTimePickupPick(type);
        else
            d->onTimePickupLeave(type);
    }
}

void PickupManager::playPickSound()
{
    audio::Sound* sound = sounds_ ? sounds_->pickStinger() : nullptr;
    if (!sound)
        return;
    sound->stop();
    sound->play();
}
