#include "definitions/ProjectileDefRegistry.h"

#include <memory>

projParams* ProjectileDefRegistry::getParams(const std::string& name, uint32_t projectileType)
{
    if (isAbsentName(name))
        return nullptr;
    if (const auto* held = slots_.findSlot(name))
        return held->kind == projectileType ? held->def.get() : nullptr;
    uint32_t stored = 0;
    if (!findDefinitionTypeCode(definition_families::Projectile, name, stored))
        return nullptr;
    std::unique_ptr<projParams> def;
    if (projectileType == ProjectileKind_Missile)
        def = std::make_unique<MissParams>(name);
    else
        def = std::make_unique<projParams>(name);
    return slots_.add(std::move(def), projectileType);
}
