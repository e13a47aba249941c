#include "world/GameObjectData.h"

#include "definitions/goParams.h"

#include <cmath>

GameObjectData::GameObjectData(std::string name_, std::string name2_, std::string name3_, std::string name4_,
                               uint32_t category_, uint32_t behaviourKind_, uint32_t team_, uint32_t hitPoints_,
                               bool absorbSplash_)
    : name(std::move(name_)),
      name2(std::move(name2_)),
      name3(std::move(name3_)),
      name4(std::move(name4_)),
      category(category_),
      behaviourKind(behaviourKind_),
      team(team_),
      hitPoints(hitPoints_),
      absorbSplash(absorbSplash_)
{
}

std::unique_ptr<GameObjectData> GameObjectData::forDefinition(GameObjectKind kind, uint32_t objectId,
                                                              const goParams& def, std::string name3,
                                                              std::string name4, uint32_t team)
{
    auto data = std::make_unique<GameObjectData>(objectName(kind, objectId), def.gameName, std::move(name3),
                                                 std::move(name4), categoryOf(kind), behaviourKindOf(kind), team,
                                                 hitPointsFromFloat(def.HP), def.AbsorbSplash);
    data->objectId = objectId;
    return data;
}

std::string GameObjectData::objectName(GameObjectKind kind, uint32_t objectId)
{
    const char* prefix = "go_";
    switch (kind) {
    case GameObjectKind::GroundObject:
    case GameObjectKind::GroundVehicle: prefix = "GrndO_"; break;
    case GameObjectKind::AirObject: prefix = "AirO_"; break;
    case GameObjectKind::Ovni: prefix = "Ovni_"; break;
    default: break;
    }
    return prefix + std::to_string(objectId);
}

uint32_t GameObjectData::categoryOf(GameObjectKind kind)
{
    return (kind == GameObjectKind::GroundObject || kind == GameObjectKind::GroundVehicle) ? 1 : 3;
}

uint32_t GameObjectData::behaviourKindOf(GameObjectKind kind)
{
    switch (kind) {
    case GameObjectKind::GroundObject:
    case GameObjectKind::GroundVehicle: return 3;
    case GameObjectKind::AirObject:
    case GameObjectKind::Ovni: return 5;
    default: return 1;
    }
}

uint32_t GameObjectData::hitPointsFromFloat(float hp)
{
    if (std::isnan(hp))
        return 0;
    const double t = std::trunc(static_cast<double>(hp));
    if (t >= 4294967295.0)
        return 0xFFFFFFFFu;
    if (t <= -2147483648.0)
        return 0x80000000u;
    // Through a signed 64-bit value so the wrap of negative values is the defined modular one.
    return static_cast<uint32_t>(static_cast<int64_t>(t));
}
