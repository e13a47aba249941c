#include "definitions/GOParamsLibrary.h"

#include "definitions/AirObjParams.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"
#include "platform/Platform.h"

#include <memory>

GOParamsLibrary::GOParamsLibrary(Ogre::Root* root) : root_(root) {}

int GOParamsLibrary::libraryKindOf(int objectKind)
{
    switch (objectKind) {
    case static_cast<int>(GameObjectKind::GroundObject): return 1;
    case static_cast<int>(GameObjectKind::GroundVehicle): return 2;
    case static_cast<int>(GameObjectKind::AirObject): return 3;
    case static_cast<int>(GameObjectKind::Ovni): return 4;
    default: return kNoLibraryKind;
    }
}

goParams* GOParamsLibrary::getParams(const std::string& name, int objectKind)
{
    if (isAbsentName(name))
        return nullptr;
    const int libraryKind = libraryKindOf(objectKind);
    if (const auto* slot = slots_.findSlot(name)) {
        // A definition is never handed out as another class than the one it was made as.
        if (slot->kind == static_cast<uint32_t>(libraryKind))
            return slot->def.get();
        logDefinitionProblem("Game-object definition '" + name + "' is held as kind " + std::to_string(slot->kind) +
                             ", not kind " + std::to_string(libraryKind));
        return nullptr;
    }
    return create(name, libraryKind);
}

bool GOParamsLibrary::cacheExists(const std::string& name, int libraryKind)
{
    if (libraryKind < 1 || libraryKind > 4)
        return false;
    return platform::fileExists(definitionCachePath(definition_families::GameObject, name));
}

goParams* GOParamsLibrary::create(const std::string& name, int libraryKind)
{
    if (!cacheExists(name, libraryKind))
        return nullptr;
    std::unique_ptr<goParams> def;
    switch (libraryKind) {
    case 1: def = std::make_unique<GroundObjParams>(name); break;
    case 2: def = std::make_unique<GroundVehiParams>(name); break;
    case 3: def = std::make_unique<AirObjParams>(name); break;
    default: def = std::make_unique<OvniParams>(name); break;
    }
    // A cache that is not this class's (or is damaged) would give a definition of defaults.
    if (!def->cacheLoaded())
        return nullptr;
    return slots_.add(std::move(def), static_cast<uint32_t>(libraryKind));
}
