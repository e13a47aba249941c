// The spawn tables in play: the weighted choice of a type, the caps the spawners test and the
// counts they keep.
#include "core/GamePlayData.h"

namespace {

template <class Type>
uint32_t pickType(const std::vector<Type>& types, double r)
{
    // The running sum is kept in the weights' own precision, so a draw at or above a sum that
    // rounding left short of 1 falls back to type 0.
    float sum = 0.0f;
    for (uint32_t i = 0; i < types.size(); ++i) {
        sum += types[i].weight;
        if (r < static_cast<double>(sum))
            return i;
    }
    return 0;
}

template <class Type>
const Type* typeAt(const std::vector<Type>& types, uint32_t type)
{
    return type < types.size() ? &types[type] : nullptr;
}

template <class Type>
bool canSpawn(const std::vector<Type>& types, uint32_t type)
{
    const Type* t = typeAt(types, type);
    return t && (t->spawnedCount < t->MaxSpawn || t->MaxSpawn == 0);
}

// True when the count has just reached the type's MaxSpawn.
template <class Type>
bool countSpawned(std::vector<Type>& types, uint32_t type)
{
    if (type >= types.size())
        return false;
    Type& t = types[type];
    ++t.spawnedCount;
    return t.spawnedCount >= t.MaxSpawn;
}

}  // namespace

uint32_t GamePlayData::pickOvniType(double r) const { return pickType(ovniTypes, r); }
uint32_t GamePlayData::pickIntervalPickupType(double r) const { return pickType(intervalPickupTypes, r); }
uint32_t GamePlayData::pickTimePickupType(double r) const { return pickType(timePickupTypes, r); }

OvniParams* GamePlayData::getOvniTypeParams(uint32_t type) const
{
    const OvniSpawnType* t = typeAt(ovniTypes, type);
    return t ? t->definition : nullptr;
}

uint32_t GamePlayData::getOvniTypeSimCap(uint32_t type) const
{
    const OvniSpawnType* t = typeAt(ovniTypes, type);
    return t ? t->SimCap : 0;
}

PickupParams* GamePlayData::getIntervalPickupParams(uint32_t type) const
{
    const PickupSpawnType* t = typeAt(intervalPickupTypes, type);
    return t ? t->definition : nullptr;
}

PickupParams* GamePlayData::getTimePickupParams(uint32_t type) const
{
    const PickupSpawnType* t = typeAt(timePickupTypes, type);
    return t ? t->definition : nullptr;
}

bool GamePlayData::canSpawnOvniType(uint32_t type) const { return canSpawn(ovniTypes, type); }
bool GamePlayData::canSpawnIntervalPickupType(uint32_t type) const { return canSpawn(intervalPickupTypes, type); }
bool GamePlayData::canSpawnTimePickupType(uint32_t type) const { return canSpawn(timePickupTypes, type); }

void GamePlayData::countOvniSpawned(uint32_t type)
{
    if (countSpawned(ovniTypes, type))
        recomputeOvniWeights();
}

void GamePlayData::countIntervalPickupSpawned(uint32_t type)
{
    if (countSpawned(intervalPickupTypes, type))
        recomputeIntervalPickupWeights();
}

void GamePlayData::countTimePickupSpawned(uint32_t type)
{
    if (countSpawned(timePickupTypes, type))
        recomputeTimePickupWeights();
}

uint32_t GamePlayData::totalKills() const
{
    uint32_t kills = 0;
    for (const OvniSpawnType& t : ovniTypes)
        kills += t.playerKills + t.otherKills;
    return kills;
}
