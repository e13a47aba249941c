#pragma once
// Hands out warhead definitions by name during a play and owns them; their impact effects are
// loaded into the registry's FxParamsLibrary.
#include <cstdint>
#include <string>

#include "definitions/DefinitionSlots.h"
#include "definitions/WarHeadParams.h"

class FxParamsLibrary;

class WarheadDefRegistry {
public:
    explicit WarheadDefRegistry(FxParamsLibrary* fx) : fx_(fx) {}
    ~WarheadDefRegistry() { clear(); }
    WarheadDefRegistry(const WarheadDefRegistry&) = delete;
    WarheadDefRegistry& operator=(const WarheadDefRegistry&) = delete;

    // The definition of that name, made on first request with the class its cache names (napalm
    // 2, cluster 3, any other code a plain warhead). Null for a blank name and for a name without
    // a cache.
    WarHeadParams* getParams(const std::string& name);
    bool contains(const std::string& name) const { return slots_.contains(name); }
    WarHeadParams* find(const std::string& name) const { return slots_.find(name); }
    // The type code of the warhead's cache; 0 when there is none.
    static uint32_t readCacheType(const std::string& name);
    // Deletes every definition; the play does this just before deleting the registry.
    void clear() { slots_.clear(); }

    size_t slotCount() const { return slots_.slotCount(); }
    FxParamsLibrary* getFxLibrary() const { return fx_; }

private:
    FxParamsLibrary* fx_;
    DefinitionSlots<WarHeadParams> slots_;
};
