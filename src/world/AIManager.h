#pragma once
// The AI of one play: an AIdata record for every computer-driven object and one shared
// behaviour per AI kind (0 to 14). The play tick calls updateAll before the objects' own
// updates; the behaviours only write the objects' request fields, which those updates act on.
#include <cstdint>
#include <memory>
#include <vector>

class AIbeheiviour;
class AIdata;
class DamageRegistry;
class DificultyData;
class GS_PlayOnly;
class GameObject;
class RandomGenerator;
class TargetRegistry;

// One controlled object. A free entry has every other field cleared.
struct AIEntry {
    uint8_t free = 1;
    uint32_t active = 0;  // set and cleared with the entry; nothing reads it
    std::unique_ptr<AIdata> data;
    GameObject* object = nullptr;           // not owned
    AIbeheiviour* behaviour = nullptr;      // borrowed from the pool
};

// The behaviours, one per AI kind: slot i serves kind i.
class BehaviourPool {
public:
    struct Slot {
        uint8_t free = 1;
        AIbeheiviour* behaviour = nullptr;
        std::unique_ptr<AIbeheiviour> owned;  // null where the slot borrows another slot's behaviour
    };
    static constexpr uint32_t kKinds = 15;

    BehaviourPool(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);
    ~BehaviourPool();
    BehaviourPool(const BehaviourPool&) = delete;
    BehaviourPool& operator=(const BehaviourPool&) = delete;

    // First free slot in index order; the array grows by one when none is free.
    uint32_t findFreeSlot();
    uint32_t growSlots();
    // The behaviour for an AI kind; null outside 0 to 14.
    AIbeheiviour* getBehaviour(uint32_t kind) const;
    uint32_t getSlotCount() const { return static_cast<uint32_t>(slots_.size()); }
    Slot& slot(uint32_t i) { return slots_[i]; }

    DificultyData* difficulty = nullptr;
    DamageRegistry* damage = nullptr;
    TargetRegistry* targets = nullptr;
    RandomGenerator* rng = nullptr;

private:
    std::vector<Slot> slots_;
};

class AIManager {
public:
    AIManager(DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng, DificultyData* difficulty,
              GS_PlayOnly* playContext);
    // Records first, then the entry array, then the pool with its behaviours.
    ~AIManager();
    AIManager(const AIManager&) = delete;
    AIManager& operator=(const AIManager&) = delete;

    // Fills the pool's first free slot with the behaviour of that kind; kind 4 shares kind 1's.
    void makeBehaviour(int kind);
    // First free entry in index order; the array grows by one when none is free.
    uint32_t findFreeEntry();
    uint32_t growEntries();
    // Gives the object an AI of its AI kind with a fresh record in state 0. An object whose AI kind
    // has no behaviour (outside 0 to 14), or no object, is refused: false, no entry taken.
    bool addObject(GameObject* obj);
    // Releases every entry whose object carries that object id.
    void removeObject(int objectId);
    // One tick for every used entry, in index order.
    void updateAll(const float& dt);

    uint32_t getEntryCount() const { return static_cast<uint32_t>(entries_.size()); }
    const AIEntry& getEntry(uint32_t i) const { return entries_[i]; }
    // The record of the object's entry; null when it has none.
    AIdata* findData(const GameObject* obj) const;
    BehaviourPool* getPool() const { return pool_.get(); }

private:
    static void clearEntry(AIEntry& entry);

    DamageRegistry* damage_ = nullptr;
    TargetRegistry* targets_ = nullptr;
    RandomGenerator* rng_ = nullptr;
    DificultyData* difficulty_ = nullptr;
    GS_PlayOnly* playContext_ = nullptr;
    std::unique_ptr<BehaviourPool> pool_;
    std::vector<AIEntry> entries_;
};
