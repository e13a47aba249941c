#include "support/PlayTestSupport.h"

#include "definitions/GameObjectKind.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarHeadParams.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/goParams.h"
#include "definitions/projParams.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "play/GS_PlayOnly.h"
#include "support/GameHarness.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/Projectile.h"
#include "world/ProjectileManager.h"

#include <Ogre.h>

#include <set>

namespace testsupport {

bool ovniFlash(const Rgb& c) { return c.b > 200 && c.g > 100 && c.r > 120; }

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

GS_PlayOnly* startFirstChallenge(GameHarness& game)
{
    if (!game.enterMainMenu("Pilot"))
        return nullptr;
    game.runFrames(20);
    // The challenges are the sixth item of the title menu.
    for (int i = 0; i < 9 && game.session()->selectedIndex != 6; ++i)
        game.tapKey(OIS::KC_DOWN);
    if (game.session()->selectedIndex != 6)
        return nullptr;
    game.tapKey(OIS::KC_RETURN);
    game.runFrames(20);
    game.moveMouseTo(5, 5);
    game.tapKey(OIS::KC_RETURN);
    const bool playing = game.runUntil(
        [&] {
            if (game.stateAs<GS_PlayOnly>())
                return true;
            game.tapKey(OIS::KC_RETURN);
            return false;
        },
        300);
    return playing ? playUntilPlaying(game) : nullptr;
}

bool playerRoundInView(GameHarness& game, GS_PlayOnly* play)
{
    const GroundVehicle* player = play->playerVehicle();
    if (!player)
        return false;
    Ogre::Camera* camera = game.window()->getViewport(0)->getCamera();
    for (uint32_t i = 0; i < play->projectiles->slotCount(); ++i) {
        const Projectile* p = play->projectiles->projectileInSlot(i);
        if (p && p->getRecord()->ownerId == player->getObjectId() && p->getRecord()->state == ProjectileState_Flying &&
            p->isVisible() && camera->isVisible(p->getNode()->_getDerivedPosition()))
            return true;
    }
    return false;
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
