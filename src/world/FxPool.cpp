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

namespace {

// The lowest free slot, growing the slots to n + n/2 + 1 when every one is in use.
template <class T>
size_t freeSlot(std::vector<std::unique_ptr<T>>& slots)
{
    for (size_t i = 0; i < slots.size(); ++i)
        if (!slots[i])
            return i;
    const size_t n = slots.size();
    slots.resize(n + n / 2 + 1);
    return n;
}

template <class T>
size_t countLive(const std::vector<std::unique_ptr<T>>& slots)
{
    size_t n = 0;
    for (const auto& item : slots)
        n += item ? 1 : 0;
    return n;
}

}  // namespace

FxPool::FxPool(Ogre::SceneManager* scene, FxParamsLibrary* library, audio::SoundManager* sounds,
               RandomGenerator* random, const std::string& name)
    : scene_(scene), library_(library), sounds_(sounds), random_(random), name_(name),
      stock_(std::make_unique<fx::ParticleStock>(scene)), effects_(kInitialSlots),
      reactors_(kInitialSlots)
{
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
    const size_t slot = freeSlot(effects_);
    const int index = static_cast<int>(slot);
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
    const size_t slot = freeSlot(reactors_);
    const int index = static_cast<int>(slot);
    std::unique_ptr<VirtualReactor> reactor;
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
    reactors_[slot] = std::move(reactor);
    return reactors_[slot].get();
}

void FxPool::update(float dt)
{
    for (auto& reactor : reactors_)
        if (reactor && !reactor->update(dt))
            reactor.reset();
    for (auto& effect : effects_)
        if (effect && !effect->update(dt))
            effect.reset();
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
