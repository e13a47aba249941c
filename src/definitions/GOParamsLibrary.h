#pragma once
// Finds the game-object definitions of one play by name, loading each from its cache on first
// request. The library owns them; objects of the world keep plain pointers.
#include <string>

#include "definitions/DefinitionSlots.h"
#include "definitions/GameObjectKind.h"
#include "definitions/goParams.h"

namespace Ogre {
class Root;
}

class GOParamsLibrary {
public:
    // The library's own kind numbers: 1 ground object, 2 ground vehicle, 3 air object, 4 Ovni.
    static constexpr int kNoLibraryKind = 0;

    explicit GOParamsLibrary(Ogre::Root* root);

    // The definition of that name for that object kind (GameObjectKind numbers), loading it when
    // it is not held yet. Null for "" and " ", a name without a sound cache, a kind that has no
    // definition class, and a name held for another kind.
    goParams* getParams(const std::string& name, int objectKind);
    goParams* getParams(const std::string& name, GameObjectKind kind)
    {
        return getParams(name, static_cast<int>(kind));
    }

    bool contains(const std::string& name) const { return slots_.contains(name); }
    goParams* find(const std::string& name) const { return slots_.find(name); }
    // Loads a definition of the library kind into a new slot; null when its cache is missing or
    // unreadable (nothing is kept, so a later request tries again).
    goParams* create(const std::string& name, int libraryKind);
    static bool cacheExists(const std::string& name, int libraryKind);
    static int libraryKindOf(int objectKind);

    size_t findFreeSlot() { return slots_.findFreeSlot(); }
    size_t slotCount() const { return slots_.slotCount(); }
    Ogre::Root* getRoot() const { return root_; }

private:
    Ogre::Root* root_ = nullptr;
    DefinitionSlots<goParams> slots_;
};
