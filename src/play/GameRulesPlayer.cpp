// The player's side of the rules: the vehicle's set-up for the mode and the garage, the input
// turned into its control values, HP over time, respawns while lives remain, the arena weapon,
// motion fed to the mecha variables, and the pose for the end-of-play camera.
#include "play/GameRulesManager.h"

#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "play/PlayCamera.h"
#include "play/Priget_GameHUD.h"
#include "gui/PanelInput.h"
#include "world/GameObjectData.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/PickUpWeapon.h"

#include <OIS/OIS.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace {

constexpr int kDeadZone = 4000;
constexpr float kStoppedSpeed = 0.3f;

// Hat directions as the pad reports them.
constexpr int kPovNorth = 1, kPovSouth = 16, kPovEast = 256, kPovWest = 4096;
constexpr int kPovNorthEast = kPovNorth | kPovEast, kPovNorthWest = kPovNorth | kPovWest;
constexpr int kPovSouthEast = kPovSouth | kPovEast, kPovSouthWest = kPovSouth | kPovWest;

bool anyKey(const OIS::Keyboard* keyboard, std::initializer_list<OIS::KeyCode> keys)
{
    for (OIS::KeyCode key : keys)
        if (panelinput::keyDown(keyboard, key))
            return true;
    return false;
}

bool mouseButton(const OIS::Mouse* mouse, OIS::MouseButtonID button)
{
    return mouse && mouse->getMouseState().buttonDown(button);
}

}  // namespace

void GameRulesManager::placePlayerAtSpawn()
{
    Ogre::SceneNode* node = player->getMainNode();
    node->setPosition(gamePlayData->SpawnPos);
    node->translate(0.0f, 2.0f, 0.0f, Ogre::Node::TS_PARENT);
    node->yaw(Ogre::Degree(gamePlayData->SpawnYaw), Ogre::Node::TS_LOCAL);
}

void GameRulesManager::giveArenaWeaponWithFlag()
{
    player->giveWeapon(gamePlayData->WeapArena_Name);
    if (PickUpWeapon* weapon = player->getPickUpWeapon())
        weapon->setUnlimitedAmmo(gamePlayData->WeapArena_InfAmmo != 0);
}

void GameRulesManager::giveSelectedChallengeWeapon()
{
    if (!gameSession || !gameSession->challengeMode || gameSession->selectedWeapon == 0)
        return;
    const std::string name = gameSession->getSelectedWeaponName();
    if (name.empty())
        return;
    player->giveWeapon(name);
    if (PickUpWeapon* weapon = player->getPickUpWeapon())
        weapon->setAmmoFraction(2.0f);
}

void GameRulesManager::spawnPlayer()
{
    if (!gameObjectManager)
        return;
    adoptPlayer(dynamic_cast<GroundVehicle*>(gameObjectManager->spawnPlayer()));
}

void GameRulesManager::adoptPlayer(GroundVehicle* vehicle)
{
    player = vehicle;
    if (!player || !gamePlayData)
        return;
    const GamePlayData& d = *gamePlayData;
    if (sceneContext) {
        sceneContext->playerObjectId = player->getObjectId();
        sceneContext->playerTeam = player->getData() ? player->getData()->team : 0;
        sceneContext->playerNode = player->getMainNode();
    }
    // The vehicle's own HP multiplier applies here; the garage's comes with the upgrades below,
    // which rescale these hit points.
    player->setHP(d.MaxHP);
    player->addDamage(d.StartDamage * d.MaxHP);
    placePlayerAtSpawn();
    if (d.WeaponArena)
        giveArenaWeaponWithFlag();
    player->snapToGround();
    player->updateCachedTransform();
    if (playCamera)
        playCamera->target = player;

    if (gameSession && gameSession->challengeMode) {
        const CampaignData* campaign = gameSession->campaign;
        const auto factor = [campaign](uint32_t group, bool valueB) {
            return campaign ? campaign->getUpgradeFactor(group, valueB) : 1.0f;
        };
        player->setUpgradeMultipliers(factor(2, false), factor(2, true), factor(1, false), factor(1, true),
                                      factor(0, false), factor(0, true));
        giveSelectedChallengeWeapon();
    }

    player->MoveMultiplyer = d.MoveMultiplyer;
    player->TurrTurnDisable = d.TurrTurnDisable;
    player->MoveFireDisable = d.MoveFireDisable;
    player->StopFireDisable = d.StopFireDisable;
    player->MoveTTurnDisable = d.MoveTTurnDisable;
    player->StopTTurnDisable = d.StopTTurnDisable;
}

void GameRulesManager::handlePlayerInput(float dt, const OIS::Keyboard* keyboard, const OIS::Mouse* mouse,
                                         const OIS::JoyStick* joystick)
{
    if (!player || !gamePlayData)
        return;
    const GamePlayData& d = *gamePlayData;
    if (doubleTapTimer > 0.0f)
        doubleTapTimer = std::max(0.0f, doubleTapTimer - dt);
    else if (doubleTapTimer < 0.0f)
        doubleTapTimer = std::min(0.0f, doubleTapTimer + dt);
    player->dashInput = 0.0f;

    const bool pad = gameSession && gameSession->gamepadEnabled && joystick;
    const int pov = panelinput::hat(joystick, pad);
    const int drive = panelinput::axis(joystick, pad, 0);
    const int steer = panelinput::axis(joystick, pad, 1);
    const int triggers = panelinput::axis(joystick, pad, 4);
    const auto padButton = [&](int index) { return panelinput::padButtonDown(joystick, pad, index); };

    if (d.MoveDisable) {
        player->accelerateInput = 0.0f;
        player->reverseInput = 0.0f;
        player->steerInput = 0.0f;
        lastDriveDirection = 0.0f;
    } else {
        const bool forward = anyKey(keyboard, {OIS::KC_W, OIS::KC_I, OIS::KC_UP}) || pov == kPovNorth ||
                             pov == kPovNorthEast || pov == kPovNorthWest || drive < -kDeadZone;
        const bool back = anyKey(keyboard, {OIS::KC_S, OIS::KC_K, OIS::KC_DOWN}) || pov == kPovSouth ||
                          pov == kPovSouthEast || pov == kPovSouthWest || drive > kDeadZone;
        // A press, a release and a press again within the window: one dash that way.
        if (forward) {
            if (doubleTapTimer > 0.0f && lastDriveDirection == 0.0f && !d.DodgeDisable) {
                player->dashInput = 1.0f;
                player->accelerateInput = 0.0f;
                player->reverseInput = 0.0f;
            } else {
                if (lastDriveDirection != 1.0f)
                    doubleTapTimer = d.doubleTapWindow();
                player->accelerateInput =
                    drive < -kDeadZone ? remapLinear(-4000.0f, -30768.0f, static_cast<float>(drive), 0.0f, 1.0f)
                                       : 1.0f;
                player->reverseInput = 0.0f;
                lastDriveDirection = 1.0f;
            }
        } else if (back) {
            if (doubleTapTimer < 0.0f && lastDriveDirection == 0.0f && !d.DodgeDisable) {
                player->dashInput = -1.0f;
                player->accelerateInput = 0.0f;
                player->reverseInput = 0.0f;
            } else {
                if (lastDriveDirection != -1.0f)
                    doubleTapTimer = -d.doubleTapWindow();
                player->accelerateInput = 0.0f;
                player->reverseInput =
                    drive > kDeadZone ? remapLinear(4000.0f, 30767.0f, static_cast<float>(drive), 0.0f, 1.0f)
                                      : 1.0f;
                lastDriveDirection = -1.0f;
            }
        } else {
            player->accelerateInput = 0.0f;
            player->reverseInput = 0.0f;
            lastDriveDirection = 0.0f;
        }

        // The latch starts set, so a key held from the start dashes only once pressed again.
        if (anyKey(keyboard, {OIS::KC_LCONTROL, OIS::KC_RCONTROL}) || padButton(8)) {
            if (!dashLatch && !d.DodgeDisable)
                player->dashInput = player->getSpeed() < 0.0f ? -1.0f : 1.0f;
            dashLatch = 1;
        } else {
            dashLatch = 0;
        }

        if (anyKey(keyboard, {OIS::KC_A, OIS::KC_J, OIS::KC_LEFT}) || pov == kPovWest || pov == kPovNorthWest ||
            pov == kPovSouthWest || steer < -kDeadZone)
            player->steerInput =
                steer < -kDeadZone ? remapLinear(-4000.0f, -30768.0f, static_cast<float>(steer), 0.0f, 1.0f) : 1.0f;
        else if (anyKey(keyboard, {OIS::KC_D, OIS::KC_L, OIS::KC_RIGHT}) || pov == kPovEast ||
                 pov == kPovNorthEast || pov == kPovSouthEast || steer > kDeadZone)
            player->steerInput =
                steer > kDeadZone ? remapLinear(4000.0f, 30767.0f, static_cast<float>(steer), 0.0f, -1.0f) : -1.0f;
        else
            player->steerInput = 0.0f;
    }

    // The pad's trigger axis fires unless the session's second pad setting turns it off.
    const bool triggerAxis = pad && !gameSession->gamepadEnabled2;
    player->setTrigger(!d.MainFDisable && (mouseButton(mouse, OIS::MB_Left) || anyKey(keyboard, {OIS::KC_SPACE}) ||
                                           padButton(4) || (triggerAxis && triggers > kDeadZone)));
    player->secondaryFire = !d.SubFDisable && (mouseButton(mouse, OIS::MB_Right) ||
                                               anyKey(keyboard, {OIS::KC_LMENU}) || padButton(5) ||
                                               (triggerAxis && triggers < -kDeadZone))
                                ? 1
                                : 0;
}

void GameRulesManager::updatePlayerLife(float dt)
{
    if (!player || !gamePlayData)
        return;
    GamePlayData& d = *gamePlayData;
    if (player->getHP() > 0.0f) {
        // Damage falls as HP rises; it never goes below 0.
        player->addDamage(-d.HP_TimeAff * dt);
        player->addDamage(-d.hpAccumulator);
        d.hpAccumulator = 0.0f;
    }
    if (player->getHP() > 0.0f || d.NumLives == 0) {
        respawnTimer = 0.0f;
        return;
    }
    respawnTimer += dt;
    if (respawnTimer < d.RespawnDelay)
        return;
    // Restored first: placed first, the restore would undo the yaw and the start damage.
    player->respawn(1);
    player->addDamage(d.StartDamage * d.MaxHP);
    placePlayerAtSpawn();
    player->snapToGround();
    player->updateCachedTransform();
    if (d.WeaponArena)
        giveArenaWeaponWithFlag();
    --d.NumLives;
    if (hud)
        hud->setLives(d.NumLives, true);
    giveSelectedChallengeWeapon();
}

void GameRulesManager::giveArenaWeapon()
{
    if (!player || !gamePlayData)
        return;
    const GamePlayData& d = *gamePlayData;
    // A picked-up weapon that replaced the arena weapon stays.
    if (!d.WeaponArena || !d.WeapArena_InfAmmo || player->getPickUpWeapon() || !(player->getHP() > 0.0f))
        return;
    player->giveWeapon(d.WeapArena_Name);
    if (PickUpWeapon* weapon = player->getPickUpWeapon())
        weapon->setUnlimitedAmmo(true);
}

void GameRulesManager::applyPlayerMotionEffects(float dt)
{
    if (!player || !gamePlayData || !(player->getHP() > 0.0f))
        return;
    const float s = player->getSpeed();
    if (s >= -kStoppedSpeed && s <= kStoppedSpeed)
        gamePlayData->applyPlayerStop(dt);
    gamePlayData->applyPlayerMove(s, dt);
}

void GameRulesManager::posePlayerForEnd()
{
    if (!player || !gamePlayData)
        return;
    player->respawn(0);
    player->addDamage(gamePlayData->StartDamage * gamePlayData->MaxHP);
    Ogre::SceneNode* node = player->getMainNode();
    node->setPosition(Ogre::Vector3::ZERO);
    node->translate(0.0f, 2.0f, 0.0f, Ogre::Node::TS_PARENT);
    node->resetOrientation();
    node->yaw(Ogre::Degree(180.0f));
    player->snapToGround();
    player->updateCachedTransform();
}
