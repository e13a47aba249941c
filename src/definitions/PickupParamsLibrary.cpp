#include "definitions/PickupParamsLibrary.h"

#include <memory>

PickupParams* PickupParamsLibrary::getParams(const std::string& name, bool forceNew)
{
    if (!forceNew) {
        if (PickupParams* held = slots_.find(name))
            return held;
    }
    return create(name);
}

PickupParams* PickupParamsLibrary::create(const std::string& name)
{
    std::unique_ptr<PickupParams> def;
    switch (readDefinitionTypeCode(definition_families::Pickup, name)) {
    case PickWeapParams::kTypeCode:
        def = std::make_unique<PickWeapParams>(name);
        break;
    case PickupParams::kInstantTypeCode:
        def = std::make_unique<PickInstantParams>(name);
        break;
    case HealthPickupParams::kTypeCode:
        def = std::make_unique<HealthPickupParams>(name);
        break;
    case GoEffPickupParams::kTypeCode:
        def = std::make_unique<GoEffPickupParams>(name);
        break;
    default:
        def = std::make_unique<PickupParams>(name);
        break;
    }
    return slots_.add(std::move(def));
}
