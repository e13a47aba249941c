#include "world/AIManager.h"

#include "world/AIbeheiv_Ovni.h"
#include "world/AIbeheiviour.h"
#include "world/AIdata.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"

BehaviourPool::BehaviourPool(DificultyData* difficulty_, DamageRegistry* damage_, TargetRegistry* targets_,
                             RandomGenerator* rng_)
    : difficulty(difficulty_), damage(damage_), targets(targets_), rng(rng_), slots_(kKinds)
{
}

BehaviourPool::~BehaviourPool()
{
    for (Slot& s : slots_) {
        s.behaviour = nullptr;
        s.owned.reset();
    }
    slots_.clear();
}

uint32_t BehaviourPool::findFreeSlot()
{
    for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].free)
            return i;
    return growSlots();
}

uint32_t BehaviourPool::growSlots()
{
    slots_.emplace_back();
    return static_cast<uint32_t>(slots_.size() - 1);
}

AIbeheiviour* BehaviourPool::getBehaviour(uint32_t kind) const
{
    return kind < kKinds && kind < slots_.size() ? slots_[kind].behaviour : nullptr;
}

AIManager::AIManager(DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng, DificultyData* difficulty,
                     GS_PlayOnly* playContext)
    : damage_(damage), targets_(targets), rng_(rng), difficulty_(difficulty), playContext_(playContext), entries_(1)
{
    pool_ = std::make_unique<BehaviourPool>(difficulty_, damage_, targets_, rng_);
    for (int kind = 0; kind < static_cast<int>(BehaviourPool::kKinds); ++kind)
        makeBehaviour(kind);
}

AIManager::~AIManager()
{
    for (AIEntry& e : entries_)
        if (!e.free)
            clearEntry(e);
    entries_.clear();
    pool_.reset();
}

void AIManager::makeBehaviour(int kind)
{
    BehaviourPool& pool = *pool_;
    BehaviourPool::Slot& slot = pool.slot(pool.findFreeSlot());
    DificultyData* d = pool.difficulty;
    DamageRegistry* dr = pool.damage;
    TargetRegistry* tr = pool.targets;
    RandomGenerator* r = pool.rng;
    std::unique_ptr<AIbeheiviour> made;
    switch (kind) {
    case 1:
        made = std::make_unique<AIbeheiv_AirObj>(d, dr, tr, r);
        break;
    case 4:
        // The plain object's behaviour serves kind 4 as well: one object for both kinds.
        slot.behaviour = dynamic_cast<AIbeheiv_AirObj*>(pool.getBehaviour(1));
        if (!slot.behaviour)
            made = std::make_unique<AIbeheiv_AirObj>(d, dr, tr, r);
        break;
    case 2:
        made = std::make_unique<AIbeheiv_GrndObj>(d, dr, tr, r);
        break;
    case 3:
        made = std::make_unique<AIbeheiv_GrndVeh>(d, dr, tr, r);
        break;
    case 5:
        made = std::make_unique<AIbeheiv_Ovni>(d, dr, tr, r);
        break;
    default:
        made = std::make_unique<AIbeheiviour>(d, dr, tr, r);
        break;
    }
    if (made) {
        slot.behaviour = made.get();
        slot.owned = std::move(made);
    }
    slot.free = 0;
}

uint32_t AIManager::findFreeEntry()
{
    for (uint32_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].free)
            return i;
    return growEntries();
}

uint32_t AIManager::growEntries()
{
    entries_.emplace_back();
    return static_cast<uint32_t>(entries_.size() - 1);
}

bool AIManager::addObject(GameObject* obj)
{
    if (!obj || !obj->getData())
        return false;
    const uint32_t kind = obj->getData()->behaviourKind;
    AIbeheiviour* behaviour = pool_->getBehaviour(kind);
    if (!behaviour)
        return false;
    AIEntry& e = entries_[findFreeEntry()];
    e.object = obj;
    e.active = 1;
    e.free = 0;
    e.behaviour = behaviour;
    e.data = std::make_unique<AIdata>(difficulty_, playContext_, rng_, kind);
    e.data->state = 0;
    return true;
}

void AIManager::removeObject(int objectId)
{
    for (AIEntry& e : entries_)
        if (!e.free && e.object && e.object->getData() &&
            e.object->getData()->objectId == static_cast<uint32_t>(objectId))
            clearEntry(e);
}

void AIManager::updateAll(const float& dt)
{
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        AIEntry& e = entries_[i];
        if (!e.free && e.behaviour)
            e.behaviour->update(dt, e.object, e.data.get());
    }
}

AIdata* AIManager::findData(const GameObject* obj) const
{
    for (const AIEntry& e : entries_)
        if (!e.free && e.object == obj)
            return e.data.get();
    return nullptr;
}

void AIManager::clearEntry(AIEntry& entry)
{
    entry.object = nullptr;
    entry.active = 0;
    entry.free = 1;
    entry.data.reset();
    entry.behaviour = nullptr;
}
