#include "world/SlowTime.h"

#include "core/GamePlayData.h"

float slowTimeFactor(const GamePlayData* playData, int32_t key, const Ogre::Vector3& worldPosition)
{
    if (!playData)
        return 1.0f;
    const SlowTimeBubble& bubble = playData->bubble;
    if (key == bubble.ownerKey || !bubble.covers(worldPosition))
        return 1.0f;
    return bubble.timeFactor;
}
