#pragma once
// The play handles every weapon factory receives. Built once per play by the play set-up, which
// owns it; weapons keep the handles they need as plain pointers.
#include <cstdint>

namespace Ogre {
class SceneManager;
}
namespace audio {
class SoundManager;
}
class DamageRegistry;
class FxPool;
class GamePlayData;
class ProjectileDefRegistry;
class ProjectileManager;
class TargetRegistry;
class WarheadDefRegistry;

struct WeaponContext {
    GamePlayData* playData = nullptr;
    uint32_t playWord = 0;
    ProjectileDefRegistry* projectileDefs = nullptr;
    WarheadDefRegistry* warheadDefs = nullptr;
    TargetRegistry* targets = nullptr;
    uint32_t zeroWord = 0;
    uint32_t playWord2 = 0;
    Ogre::SceneManager* scene = nullptr;
    DamageRegistry* damage = nullptr;
    FxPool* fx = nullptr;
    audio::SoundManager* sounds = nullptr;
    ProjectileManager* projectiles = nullptr;
};
