#pragma once
// The slot array every definition library keeps: 5 free slots at first, growing by one when all
// are used. The library owns the definitions in its used slots. Def needs
// `const std::string& getName() const`.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

template <class Def>
class DefinitionSlots {
public:
    struct Slot {
        bool free = true;
        std::unique_ptr<Def> def;
        // What the definition was made for (a library's kind or class code), for libraries that
        // must not hand one kind out as another.
        uint32_t kind = 0;
    };

    static constexpr size_t kInitialSlots = 5;

    DefinitionSlots() : slots_(kInitialSlots) {}

    // The first free slot; when none is free the array grows by exactly one slot.
    size_t findFreeSlot()
    {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].free)
                return i;
        slots_.emplace_back();
        return slots_.size() - 1;
    }

    // Stores a definition in the first free slot and returns it.
    Def* add(std::unique_ptr<Def> def, uint32_t kind = 0)
    {
        Slot& slot = slots_[findFreeSlot()];
        slot.def = std::move(def);
        slot.kind = kind;
        slot.free = false;
        return slot.def.get();
    }

    // The used slot holding a definition of exactly that name (case-sensitive), the lowest first.
    const Slot* findSlot(const std::string& name) const
    {
        for (const Slot& slot : slots_)
            if (!slot.free && slot.def && slot.def->getName() == name)
                return &slot;
        return nullptr;
    }
    Def* find(const std::string& name) const
    {
        const Slot* slot = findSlot(name);
        return slot ? slot->def.get() : nullptr;
    }
    bool contains(const std::string& name) const { return findSlot(name) != nullptr; }

    // Deletes every definition and frees every slot; the slot count stays.
    void clear()
    {
        for (Slot& slot : slots_) {
            slot.def.reset();
            slot.free = true;
            slot.kind = 0;
        }
    }

    size_t slotCount() const { return slots_.size(); }
    const Slot& slot(size_t i) const { return slots_[i]; }

private:
    std::vector<Slot> slots_;
};
