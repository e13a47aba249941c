#pragma once
// Finds effect and reactor definitions by name and loads them on first use, choosing each one's
// class by the type code of its cache. Owns every definition it loaded; users borrow them.
#include <set>
#include <string>

#include "definitions/DefinitionSlots.h"
#include "definitions/EffectsParams.h"
#include "definitions/VirtualReactorParams.h"

class FxParamsLibrary {
public:
    FxParamsLibrary() = default;
    // Deletes the effects, then the reactors.
    ~FxParamsLibrary();
    FxParamsLibrary(const FxParamsLibrary&) = delete;
    FxParamsLibrary& operator=(const FxParamsLibrary&) = delete;

    // A used slot holds a definition of exactly that name.
    bool hasEffectParams(const std::string& name) const { return effects_.contains(name); }
    // The definition of that name in the lowest slot, or null.
    EffectsParams* findEffectParams(const std::string& name) const { return effects_.find(name); }
    // The definition of that name, loaded on first request. Null for a blank name ("" or " ") and
    // for a name without a cache of the family (missing or foreign file), which is not retried.
    EffectsParams* getEffectParams(const std::string& name);
    // Always loads a new definition into a new slot, even when one of that name is held; null as
    // getEffectParams.
    EffectsParams* loadEffectParams(const std::string& name);

    bool hasReactorParams(const std::string& name) const { return reactors_.contains(name); }
    VirtualReactorParams* findReactorParams(const std::string& name) const { return reactors_.find(name); }
    VirtualReactorParams* getReactorParams(const std::string& name);
    VirtualReactorParams* loadReactorParams(const std::string& name);

    size_t effectSlotCount() const { return effects_.slotCount(); }
    size_t reactorSlotCount() const { return reactors_.slotCount(); }

private:
    DefinitionSlots<VirtualReactorParams> reactors_;
    DefinitionSlots<EffectsParams> effects_;
    // Names asked for that have no cache, so a missing definition costs one file lookup.
    std::set<std::string> missingEffects_;
    std::set<std::string> missingReactors_;
};
