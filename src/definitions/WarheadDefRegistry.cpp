#include "definitions/WarheadDefRegistry.h"

#include <memory>

uint32_t WarheadDefRegistry::readCacheType(const std::string& name)
{
    return readDefinitionTypeCode(definition_families::Warhead, name);
}

WarHeadParams* WarheadDefRegistry::getParams(const std::string& name)
{
    if (isAbsentName(name))
        return nullptr;
    if (WarHeadParams* held = slots_.find(name))
        return held;
    uint32_t type = 0;
    if (!findDefinitionTypeCode(definition_families::Warhead, name, type))
        return nullptr;
    std::unique_ptr<WarHeadParams> def;
    switch (type) {
    case NapalmWHParams::kTypeCode:
        def = std::make_unique<NapalmWHParams>(name, fx_);
        break;
    case SClusterWHParams::kTypeCode:
        def = std::make_unique<SClusterWHParams>(name, fx_);
        break;
    default:
        def = std::make_unique<WarHeadParams>(name, fx_);
        break;
    }
    return slots_.add(std::move(def));
}
