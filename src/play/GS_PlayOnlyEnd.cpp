// The end of a play: the result recorded once, the banner over the still running world, the end
// camera on the player's wreck, the score requests of free play, then the end panel and the
// record list with retry, quit and continue.
#include "play/GS_PlayOnly.h"

#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "play/GameRulesManager.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/Priget_GameHUD.h"
#include "play/RecordListManager.h"
#include "play/RecordTable.h"
#include "play/ScoreTableClient.h"
#include "platform/TextConversion.h"
#include "world/FxPool.h"
#include "world/GroundVehicle.h"
#include "world/PickupManager.h"
#include "world/ProjectileManager.h"
#include "world/VirtualReactor.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreViewport.h>

namespace {

constexpr float kBannerTime = 4.0f;
constexpr float kEndViewTime = 5.0f;

void setAlpha(MyGUI::Widget* widget, float alpha)
{
    if (widget)
        widget->setAlpha(alpha);
}

void setShown(MyGUI::Widget* widget, bool on)
{
    if (widget)
        widget->setVisible(on);
}

}  // namespace

void GS_PlayOnly::updateEndOfPlay(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    GamePlayData& d = *playData;
    const bool challenge = session && session->challengeMode;
    switch (endStage) {
    case 0: {
        endTimer = kBannerTime;
        if (challenge) {
            CampaignData* campaign = session->campaign;
            const ChallengeDef* def =
                campaign ? campaign->getChallenge(session->selectedTier, session->selectedChallenge) : nullptr;
            // A lost challenge records nothing.
            if (d.playPhase == PLAYPHASE_CLEARED && def) {
                if (def->timesFinished != 0 && endMenu)
                    endMenu->setBestValue(def->best, def->resultIsTime);
                medalWon = campaign->recordChallengeResult(session->selectedTier, session->selectedChallenge,
                                                           d.resultValue)
                               ? 1
                               : 0;
            }
        } else {
            if (session && session->profile)
                session->profile->recordModeResult(session->selectedMode, d.resultValue);
            if (d.recordResult && d.tableIdx > 0 && recordTable) {
                // The default value's whole part; a negative, huge or NaN one does not wrap.
                resultRank = recordTable->insertResult(d.tableIdx, d.valueIsTime, d.resultValue,
                                                       session ? session->profileName : std::string(), "",
                                                       d.tableOrder, saturatingU32(d.tableDefVal));
            }
        }
        endStage = 1;
        setShown(endVeil, true);
        setAlpha(endVeil, 0.0f);
        setShown(endBand, true);
        setShown(endBonus, true);
        setShown(endCaption, true);
        if (endCaption)
            endCaption->setCaption(toUTFString(d.resultCaption));
        playTick(dt, keyboard, joystick, mouse);
        if (rules) {
            rules->fadePointerOut(dt, mouse);
            if (rules->hud)
                rules->hud->fadeOut(dt);
        }
        break;
    }
    case 1: {
        if (rules && rules->hud)
            rules->hud->showResult(dt);
        const float t = endTimer - dt;
        endTimer = t;
        if (t >= 0.0f) {
            setAlpha(endBonus, evalCurve3Clamped(t, {0.0f, 0.5f}, {0.5f, 0.1f}, {1.0f, 0.0f}));
            setAlpha(endCaption, evalCurve3Clamped(t, {0.0f, 1.0f}, {0.5f, 0.0f}, {1.0f, 0.0f}));
            if (endBand) {
                const int width = MyGUI::RenderManager::getInstance().getViewSize().width;
                endBand->setPosition(static_cast<int>(remapClamped(2.5f, 3.0f, t, 0.0f, static_cast<float>(width))),
                                     endBand->getTop());
            }
            setAlpha(endVeil, remapClamped(1.5f, 2.0f, t, 1.0f, 0.0f));
            playTick(dt, keyboard, joystick, mouse);
            if (rules)
                rules->fadeHudOut(dt, mouse);
            break;
        }
        if (!challenge && session)
            session->queuedRequest = OnlineRequestUpload;
        endTimer = kEndViewTime;
        setAlpha(endBonus, 0.5f);
        setAlpha(endCaption, 1.0f);
        setAlpha(endVeil, 1.0f);
        setShown(endBand, false);
        endStage = 2;
        startEndCamera();
        if (rules)
            rules->hideAreaTriggers();
        if (pickups)
            pickups->hideAll();
        if (sceneContext && sceneContext->borderEntity)
            sceneContext->borderEntity->setVisible(false);
        if (globalSounds) {
            if (challenge && d.playPhase == PLAYPHASE_LOST)
                globalSounds->playMusicLast();
            else
                globalSounds->playMusic3();
        }
        break;
    }
    case 2: {
        const float t = endTimer - dt;
        endTimer = t;
        if (t >= 0.0f) {
            setAlpha(endVeil, remapClamped(1.5f, 2.9f, t, 0.0f, 1.0f));
            setAlpha(endBonus, remapClamped(1.0f, 3.0f, t, 0.0f, 0.5f));
            setAlpha(endCaption, remapClamped(1.8f, 2.0f, t, 0.0f, 1.0f));
            if (endCamNode) {
                endCamNode->resetOrientation();
                endCamNode->yaw(Ogre::Degree(remapClamped(0.0f, 3.0f, t, -15.0f, 0.0f)), Ogre::Node::TS_LOCAL);
            }
            if (t > 3.0f)
                setAlpha(endVeil, 1.0f);
            if (fxPool)
                fxPool->update(dt);
            break;
        }
        endTimer = 0.0f;
        endStage = 3;
        if (!challenge) {
            if (session) {
                session->queuedRequest = OnlineRequestQuery;
                session->scoreUnavailable = 0;  // this play's own query is yet to be answered
            }
            if (d.recordResult && d.tableIdx > 0 && recordList)
                recordList->showLocal(resultRank + 1, d.valueIsTime);
        } else if (d.playPhase == PLAYPHASE_CLEARED && endMenu) {
            endMenu->setResultText(d.valueIsTime ? formatRaceTime(d.resultValue)
                                                 : Ogre::StringConverter::toString(d.resultValue));
        }
        if (endMenu) {
            endMenu->setupContinue();
            endMenu->show(true);
        }
        break;
    }
    default:
        if (recordList)
            recordList->update(dt, keyboard, joystick);
        setPointerShown(true);
        handleEndMenu(dt, keyboard, joystick, mouse);
        break;
    }
}

void GS_PlayOnly::startEndCamera()
{
    if (viewport && endCam)
        viewport->setCamera(endCam);
    if (rules)
        rules->posePlayerForEnd();
    GroundVehicle* vehicle = playerVehicle();
    const Ogre::Vector3 p = vehicle ? vehicle->getWorldPosition() : Ogre::Vector3::ZERO;
    if (endCamBase) {
        endCamBase->setPosition(p.x - 7.0f, p.y + 3.0f, p.z + 8.0f);
        endCamBase->resetOrientation();
        if (vehicle)
            endCamBase->lookAt(p, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
    }
    if (vehicle)
        vehicle->setWreckPose();
    SlowTimeBubble& bubble = playData->bubble;
    if (bubble.entity && bubble.entity->getVisible()) {
        bubble.entity->setVisible(false);
        if (bubbleReactor)
            bubbleReactor->setState(1);
    }
    // No projectile survives into the end view.
    if (projectiles)
        projectiles->destroyAll();
}

void GS_PlayOnly::handleEndMenu(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (endMenu)
        endMenu->handleInput(dt, keyboard, joystick, mouse);
    handleMouse(mouse);
    if (!handleEndMenuChoice(keyboard, joystick, mouse) && session)
        session->inputLatch = 0;
}

bool GS_PlayOnly::handleEndMenuChoice(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!confirmDown(keyboard, joystick, mouse))
        return false;
    if (!session)
        return true;
    // A click in this frame may already have chosen.
    if (session->inputLatch || done)
        return true;
    switch (session->selectedIndex) {
    case 1:
        quit();
        break;
    case 2:
        // The mouse can leave the highlight on a disabled Continue: a confirm there does nothing.
        if (endMenu && endMenu->continueButton()->getEnabled())
            continueCampaign();
        break;
    default:
        retry();
        break;
    }
    session->inputLatch = 1;
    return true;
}

void GS_PlayOnly::continueCampaign()
{
    if (!session || !session->challengeMode) {
        leaveTo(1);
        return;
    }
    CampaignData* campaign = session->campaign;
    uint32_t tier = 0;
    uint32_t challenge = 0;
    ChallengeDef* next = nullptr;
    if (campaign && campaign->nextChallenge(session->selectedTier, session->selectedChallenge, tier, challenge))
        next = campaign->getChallenge(tier, challenge);
    // After the last challenge there is nothing to continue to: back to the challenge list.
    if (!next) {
        quit();
        return;
    }
    if (medalWon)
        session->requestOutroCutscene();
    next->timesStarted += 1;
    session->selectChallenge(tier, challenge, session->selectedWeapon, 1);
    leaveTo(GAMESTATE_PLAY);
}

void GS_PlayOnly::onContinueClicked(MyGUI::Widget* sender)
{
    if (!done && sender && sender->getEnabled())
        continueCampaign();
}
