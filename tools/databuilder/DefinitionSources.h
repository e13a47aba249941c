#pragma once
// Definition classes the data builder can rebuild. Every .ini source in a definition folder names
// its class in a section the game never reads:
//     [Build]
//     Class = GroundObjParams
// and the builder runs that class's readIni and writeCache for it. A family joins with one line
// in its own builder file:
//     DATABUILDER_DEFINITION_CLASS("GroundObjParams", definition_families::GameObject,
//                                  rebuildDefinition<GroundObjParams>);
#include <string>

#include "definitions/DefinitionCache.h"

// Rebuilds the cache of the definition of that name from its source; false when it failed.
using DefinitionRebuildFn = bool (*)(const std::string& name);

struct DefinitionClassRegistrar {
    DefinitionClassRegistrar(const char* className, const DefinitionFamily& family, DefinitionRebuildFn fn);
};

// A class whose sources share a definition folder but are built by a later step of their own;
// the definition step passes over them.
struct DefinitionClassBuiltElsewhere {
    explicit DefinitionClassBuiltElsewhere(const char* className);
};

// For classes built by name that read their source with readIni() and write with writeCache().
template <class Def>
bool rebuildDefinition(const std::string& name)
{
    Def def(name);
    return def.readIni() && def.writeCache();
}

#define DATABUILDER_DEFINITION_CAT2(a, b) a##b
#define DATABUILDER_DEFINITION_CAT(a, b) DATABUILDER_DEFINITION_CAT2(a, b)
#define DATABUILDER_DEFINITION_CLASS(className, family, fn)                                          \
    static DefinitionClassRegistrar DATABUILDER_DEFINITION_CAT(definitionClass_, __LINE__)(className, \
                                                                                           family, fn)
