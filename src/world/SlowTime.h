#pragma once
// The slow-time bubble's factor as every manager applies it: the bubble's time factor for
// something inside its radius (measured in the world, since the bubble sits on its carrier's
// muzzle), 1 outside, while the bubble is off, or for the shooter key that opened it.
#include <OgreVector.h>

#include <cstdint>

class GamePlayData;

float slowTimeFactor(const GamePlayData* playData, int32_t key, const Ogre::Vector3& worldPosition);
