#include "world/SlowTime.h"

#include "core/GamePlayData.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

float slowTimeFactor(const GamePlayData* playData, int32_t key, const Ogre::Vector3& worldPosition)
{
    if (!playData)
        return 1.0f;
    const SlowTimeBubble& bubble = playData->bubble;
    if (!bubble.active || key == bubble.ownerKey)
        return 1.0f;
    const Ogre::SceneNode* centre = bubble.ownerNode ? bubble.ownerNode : bubble.node;
    if (!centre)
        return 1.0f;
    const float d2 = centre->_getDerivedPosition().squaredDistance(worldPosition);
    return d2 <= Ogre::Math::Pow(bubble.effectiveRadius(), 2.0f) ? bubble.timeFactor : 1.0f;
}
