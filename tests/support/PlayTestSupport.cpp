#include "support/PlayTestSupport.h"

#include "definitions/GameObjectKind.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarHeadParams.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/goParams.h"
#include "definitions/projParams.h"
#include "core/GamePlayData.h"
#include "play/GS_PlayOnly.h"
#include "support/GameHarness.h"
#include "world/GameObjectManager.h"
#include "world/Ovni.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"

#include <set>

namespace testsupport {

GS_PlayOnly* playUntilPlaying(GameHarness& game)
{
    auto* play = game.stateAs<GS_PlayOnly>();
    if (!play)
        return nullptr;
    game.moveMouseTo(5, 5);
    game.runFrames(6);
    if (play->playData->playPhase == PLAYPHASE_MISSION_INFO)
        game.tapKey(OIS::KC_RETURN);
    game.runUntil([&] { return play->playData->playPhase == PLAYPHASE_PLAYING; }, 400);
    return play->playData->playPhase == PLAYPHASE_PLAYING ? play : nullptr;
}

GS_PlayOnly* startFreePlay(GameHarness& game, const char* profile)
{
    if (!game.enterMainMenu(profile))
        return nullptr;
    game.runFrames(30);
    game.tapKey(OIS::KC_RETURN);
    return playUntilPlaying(game);
}

Projectile* launchRocket(GS_PlayOnly* play, const Ogre::Vector3& from)
{
    projParams* rocket = play->projectileDefs->getParams("proj_rocket", ProjectileKind_Rocket);
    WarHeadParams* explosive = play->warheadDefs->getParams("wh_explosive");
    if (!rocket || !explosive)
        return nullptr;
    std::set<Projectile*> flying;
    for (uint32_t slot = 0; slot < play->projectiles->slotCount(); ++slot)
        flying.insert(play->projectiles->projectileInSlot(slot));
    const uint8_t noTracking = 0;
    play->projectiles->spawn(2, ProjectileKind_Rocket, from,
                             Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(Ogre::Vector3::UNIT_X), 0, 0, 900,
                             rocket->Damage, rocket, explosive, &noTracking, 0, nullptr);
    for (uint32_t slot = 0; slot < play->projectiles->slotCount(); ++slot)
        if (Projectile* p = play->projectiles->projectileInSlot(slot); p && !flying.count(p))
            return p;
    return nullptr;
}

Ovni* firstWisp(GS_PlayOnly* play)
{
    for (const GameObjectManager::Slot& slot : play->objects->slots())
        if (auto* ovni = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object))
            if (ovni->getParams() && ovni->getParams()->getName() == "wisp")
                return ovni;
    return nullptr;
}

}  // namespace testsupport
