#pragma once
// Hands out projectile definitions by name during a play and owns them. Each slot remembers the
// projectile type its definition was made for, so a name is never handed out as another type.
#include <cstdint>
#include <string>

#include "definitions/DefinitionSlots.h"
#include "definitions/projParams.h"

class FxParamsLibrary;
class GS_PlayOnly;

class ProjectileDefRegistry {
public:
    // Both pointers are kept for the play; the registry itself does not use them.
    ProjectileDefRegistry(GS_PlayOnly* play, FxParamsLibrary* fx) : play_(play), fx_(fx) {}
    ~ProjectileDefRegistry() { clear(); }
    ProjectileDefRegistry(const ProjectileDefRegistry&) = delete;
    ProjectileDefRegistry& operator=(const ProjectileDefRegistry&) = delete;

    // The definition of that name for that projectile type, made on first request: a MissParams
    // for a missile, a projParams for any other type. Null for a blank name, for a name without a
    // cache, and for a name already held for another type.
    projParams* getParams(const std::string& name, uint32_t projectileType);
    bool contains(const std::string& name) const { return slots_.contains(name); }
    projParams* find(const std::string& name) const { return slots_.find(name); }
    // Deletes every definition; the play does this just before deleting the registry.
    void clear() { slots_.clear(); }

    size_t slotCount() const { return slots_.slotCount(); }
    GS_PlayOnly* getPlay() const { return play_; }
    FxParamsLibrary* getFxLibrary() const { return fx_; }

private:
    GS_PlayOnly* play_;
    FxParamsLibrary* fx_;
    DefinitionSlots<projParams> slots_;
};
