#pragma once
// Finds pickup definitions by name and loads them, choosing each one's class by the type code of
// its cache. Owns every definition it loaded; the play's pickups borrow them.
#include <string>

#include "definitions/DefinitionSlots.h"
#include "definitions/PickupParams.h"

class PickupParamsLibrary {
public:
    PickupParamsLibrary() = default;
    ~PickupParamsLibrary() { slots_.clear(); }
    PickupParamsLibrary(const PickupParamsLibrary&) = delete;
    PickupParamsLibrary& operator=(const PickupParamsLibrary&) = delete;

    // The definition of that name, loaded on first request; with forceNew a new one every time.
    // Never null: a name without a cache gets a plain pickup with the defaults.
    PickupParams* getParams(const std::string& name, bool forceNew);
    bool contains(const std::string& name) const { return slots_.contains(name); }
    // The definition of that name in the lowest slot, or null.
    PickupParams* find(const std::string& name) const { return slots_.find(name); }
    // Loads a new definition into a new slot.
    PickupParams* create(const std::string& name);

    size_t slotCount() const { return slots_.slotCount(); }

private:
    DefinitionSlots<PickupParams> slots_;
};
