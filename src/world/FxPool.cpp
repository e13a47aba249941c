#include "world/FxPool.h"

#include "definitions/FxParamsLibrary.h"
#include "world/BaseFx.h"
#include "world/BasicReactor.h"
#include "world/MultiFX.h"
#include "world/MultiReactor.h"
#include "world/ParticleStock.h"
#include "world/VariableReactor.h"
#include "world/VirtualFX.h"
#include "world/VirtualReactor.h"

#include <OgreLogManager.h>

#include <algorithm>
#include <cmath>

namespace {

template <class T>
size_t countLive(const std::vector<std::unique_ptr<T>>& slots)
{
    size_t n = 0;
    for (const auto& item : slots)
        n += item ? 1 : 0;
    return n;
}

}  // namespace

// The lowest free slot, growing the slots to n + n/2 + 1 when every one is in use. The free
// slots are kept in a heap: a crowded play holds thousands and spawns many items a tick.
template <class T>
size_t FxPool::freeSlot(std::vector<std::unique_ptr<T>>& slots, FreeSlots& free)
{
    if (free.empty()) {
        const size_t n = slots.size();
        slots.resize(n + n / 2 + 1);
        for (size_t i = n + 1; i < slots.size(); ++i)
            free.push(i);
        return n;
    }
    const size_t slot = free.top();
    free.pop();
    return slot;
}

FxPool::FxPool(Ogre::SceneManager* scene, FxParamsLibrary* library, audio::SoundManager* sounds,
               RandomGenerator* random, const std::string& name)
    : scene_(scene), library_(library), sounds_(sounds), random_(random), name_(name),
      stock_(std::make_unique<fx::ParticleStock>(scene)), effects_(kInitialSlots),
      reactors_(kInitialSlots)
{
    for (size_t i = 0; i < kInitialSlots; ++i) {
        freeEffects_.push(i);
        freeReactors_.push(i);
    }
}

FxPool::~FxPool()
{
    for (auto& effect : effects_)
        effect.reset();
    effects_.clear();
    for (auto& reactor : reactors_)
        reactor.reset();
    reactors_.clear();
    stock_.reset();
}

void FxPool::spawnEffect(const EffectsParams* params, const Ogre::Vector3& position, const Ogre::Vector3& direction)
{
    if (!params)
        return;
    const size_t slot = freeSlot(effects_, freeEffects_);
    const int index = static_cast<int>(slot);
    // A slot whose item could not be made stays free.
    try {
        switch (params->getTypeCode()) {
        case BaseEffectsParams::kTypeCode:
            effects_[slot] =
                std::make_unique<BaseFx>(scene_, params, sounds_, random_, position, index, direction, name_,
                                         stock_.get());
            break;
        case MultiEffectsParams::kTypeCode:
            effects_[slot] =
                std::make_unique<MultiFX>(scene_, params, sounds_, random_, position, index, direction, name_,
                                          stock_.get());
            break;
        default:
            effects_[slot] =
                std::make_unique<VirtualFX>(scene_, params, sounds_, random_, position, index, direction, name_);
            break;
        }
    } catch (...) {
        freeEffects_.push(slot);
        throw;
    }
    effectSchedule_.add(slot);
}

VirtualReactor* FxPool::spawnReactor(Ogre::SceneNode* parent, const std::string& reactorDefinitionName)
{
    const VirtualReactorParams* params = library_ ? library_->getReactorParams(reactorDefinitionName) : nullptr;
    return createReactor(params, parent);
}

VirtualReactor* FxPool::createReactor(const VirtualReactorParams* params, Ogre::SceneNode* parent)
{
    if (!params)
        return nullptr;
    if (!parent) {
        Ogre::LogManager::getSingleton().logMessage("Reactor " + params->getName() + ": no node to attach to");
        return nullptr;
    }
    const uint32_t type = params->getTypeCode();
    if (type > MultiReactorParams::kTypeCode)
        return nullptr;
    const size_t slot = freeSlot(reactors_, freeReactors_);
    const int index = static_cast<int>(slot);
    std::unique_ptr<VirtualReactor> reactor;
    try {
        switch (type) {
        case VirtualReactorParams::kTypeCode:
            reactor = std::make_unique<VirtualReactor>(parent, params, scene_, sounds_, random_, index, name_);
            break;
        case BasicReactorParams::kTypeCode:
            reactor = std::make_unique<BasicReactor>(parent, params, scene_, sounds_, random_, index, name_,
                                                      stock_.get());
            break;
        case VariableReactorParams::kTypeCode:
            reactor = std::make_unique<VariableReactor>(parent, params, scene_, sounds_, random_, index, name_,
                                                         stock_.get());
            break;
        default:
            reactor = std::make_unique<MultiReactor>(parent, params, scene_, sounds_, random_, index, name_,
                                                      stock_.get());
            break;
        }
    } catch (...) {
        freeReactors_.push(slot);
        throw;
    }
    reactors_[slot] = std::move(reactor);
    reactorSchedule_.add(slot);
    return reactors_[slot].get();
}

void FxPool::Schedule::add(size_t slot)
{
    if (asleepSince.size() <= slot)
        asleepSince.resize(slot + 1, -1.0);
    asleepSince[slot] = -1.0;
    awake.push_back(slot);
}

template <class T>
void FxPool::advance(std::vector<std::unique_ptr<T>>& slots, Schedule& schedule, FreeSlots& free, float dt)
{
    // A sleeper wakes a hair early rather than late: the clock's sum of ticks may round either
    // way, and an early update only counts down.
    constexpr double kEarly = 1e-6;
    std::vector<size_t>& due = schedule.due;
    due.swap(schedule.awake);
    schedule.awake.clear();
    while (!schedule.asleep.empty() && schedule.asleep.top().at <= clock_) {
        due.push_back(schedule.asleep.top().slot);
        schedule.asleep.pop();
    }
    std::sort(due.begin(), due.end());
    for (size_t slot : due) {
        T* item = slots[slot].get();
        if (!item)
            continue;
        const double since = schedule.asleepSince[slot];
        const float step = since < 0.0 ? dt : static_cast<float>(clock_ - since);
        if (!item->update(step)) {
            slots[slot].reset();
            free.push(slot);
            continue;
        }
        const float quiet = item->quietTime();
        if (quiet > 0.0f) {
            schedule.asleepSince[slot] = clock_;
            schedule.asleep.push({clock_ + quiet - kEarly, slot});
        } else {
            schedule.asleepSince[slot] = -1.0;
            schedule.awake.push_back(slot);
        }
    }
    due.clear();
}

void FxPool::update(float dt)
{
    // A tick of no time, or a broken one, moves no sleeper on.
    if (std::isfinite(dt) && dt > 0.0f)
        clock_ += dt;
    advance(reactors_, reactorSchedule_, freeReactors_, dt);
    advance(effects_, effectSchedule_, freeEffects_, dt);
}

void FxPool::pauseAll()
{
    for (auto& effect : effects_)
        if (effect)
            effect->pause();
    for (auto& reactor : reactors_)
        if (reactor)
            reactor->pause();
}

void FxPool::resumeAll()
{
    for (auto& effect : effects_)
        if (effect)
            effect->resume();
    for (auto& reactor : reactors_)
        if (reactor)
            reactor->resume();
}

VirtualFX* FxPool::effectInSlot(size_t slot) const { return slot < effects_.size() ? effects_[slot].get() : nullptr; }

VirtualReactor* FxPool::reactorInSlot(size_t slot) const
{
    return slot < reactors_.size() ? reactors_[slot].get() : nullptr;
}

size_t FxPool::liveEffectCount() const { return countLive(effects_); }

size_t FxPool::liveReactorCount() const { return countLive(reactors_); }
