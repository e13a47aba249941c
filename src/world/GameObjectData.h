#pragma once
// The record every live game object keeps: its names and id, registry slots, team, hit points,
// behaviour kind and power-up flags. The registries point at it; the object owns it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "definitions/GameObjectKind.h"

class goParams;

class GameObjectData {
public:
    // A named record of plain words; nothing adds one yet.
    struct NamedRecord {
        std::string name;
        std::vector<uint32_t> values;
    };

    GameObjectData(std::string name, std::string name2, std::string name3, std::string name4, uint32_t category,
                   uint32_t behaviourKind, uint32_t team, uint32_t hitPoints, bool absorbSplash);

    // The record of an object of that kind built from a definition: name = class prefix + id,
    // name 2 = the definition's gameName, category and behaviour kind by kind, hit points the
    // definition's truncated, absorb-splash from the definition; the object id stored.
    static std::unique_ptr<GameObjectData> forDefinition(GameObjectKind kind, uint32_t objectId, const goParams& def,
                                                         std::string name3, std::string name4, uint32_t team);

    // "go_", "GrndO_", "AirO_" or "Ovni_" followed by the id in decimal.
    static std::string objectName(GameObjectKind kind, uint32_t objectId);
    // 3 for plain objects, air objects and Ovni, 1 for ground objects and ground vehicles.
    static uint32_t categoryOf(GameObjectKind kind);
    // 1 for plain objects, 3 for ground objects and vehicles, 5 for air objects and Ovni.
    static uint32_t behaviourKindOf(GameObjectKind kind);
    // Hit points from a float, truncated toward zero; a negative value wraps as an unsigned
    // number would (-1 gives 4294967295), NaN gives 0, and values beyond the range are clamped.
    static uint32_t hitPointsFromFloat(float hp);

    void setHitPoints(float hp) { hitPoints = hitPointsFromFloat(hp); }
    uint32_t getRecordCount() const { return static_cast<uint32_t>(records.size()); }

    std::vector<NamedRecord> records;
    std::string name;
    std::string name2;
    std::string name3;
    std::string name4;
    uint32_t objectId = 0;
    uint32_t targetSlot = 0;
    uint32_t damageSlot = 0;
    uint32_t category = 0;
    uint32_t behaviourKind = 0;
    uint32_t team = 0;
    uint32_t hitPoints = 0;
    bool absorbSplash = false;
    bool turbo = false;
    bool noDamage = false;
};
