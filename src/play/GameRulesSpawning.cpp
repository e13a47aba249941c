// The rules that fill the arena and end the play: the Ovni and pickup spawners over the mode's
// spawn tables, the waves, and the once-a-second clear and lose tests.
#include "play/GameRulesManager.h"

#include "audio/Sound.h"
#include "core/GamePlayData.h"
#include "core/GlobalSounds.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "definitions/OvniParams.h"
#include "play/Priget_GameHUD.h"
#include "definitions/PickupParams.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/PickupManager.h"

#include <OgreSceneNode.h>

#include <algorithm>

// ---- Ovni ----

uint32_t GameRulesManager::liveOvniCount() const
{
    return gameObjectManager ? static_cast<uint32_t>(std::max(gameObjectManager->countOvnis(), 0)) : 0;
}

uint32_t GameRulesManager::liveOvniCountOfType(uint32_t typeNumber) const
{
    return gameObjectManager ? static_cast<uint32_t>(std::max(gameObjectManager->countInSpawnGroup(typeNumber), 0))
                             : 0;
}

// A point inside the scaled border less `margin` on every side, x drawn first.
Ogre::Vector3 GameRulesManager::randomArenaPoint(float margin, float height)
{
    const Ogre::Vector4 b = sceneContext ? sceneContext->getScaledBorder() : Ogre::Vector4::ZERO;
    const float x = b.x + margin + static_cast<float>(random->nextUnit()) * (b.z - b.x - 2.0f * margin);
    const float z = b.y + margin + static_cast<float>(random->nextUnit()) * (b.w - b.y - 2.0f * margin);
    return {x, height, z};
}

bool GameRulesManager::spawnOvni(OvniParams* definition)
{
    if (!gameObjectManager || !random || !definition)
        return false;
    const Ogre::Vector3 at = randomArenaPoint(10.0f, 35.0f);
    GameObject* object = gameObjectManager->spawn(definition, GameObjectKind::Ovni, at, 2);
    if (!object)
        return false;
    gameObjectManager->attachAI(object);
    if (Ogre::SceneNode* node = object->getMainNode())
        node->yaw(Ogre::Degree(static_cast<float>(random->nextUnit()) * 360.0f), Ogre::Node::TS_LOCAL);
    if (auto* ovni = dynamic_cast<Ovni*>(object))
        ovni->placeOnFloor();
    return true;
}

bool GameRulesManager::placePickup(PickupParams* definition)
{
    if (!pickupManager || !random || !definition)
        return false;
    return pickupManager->spawn(definition, randomArenaPoint(6.0f, 5.2f)) != nullptr;
}

void GameRulesManager::spawnInitialOvnis()
{
    if (!gamePlayData || !random)
        return;
    GamePlayData& d = *gamePlayData;
    for (uint32_t attempt = 0; attempt < StartSpawn; ++attempt) {
        if (SGlobalCap != 0 && liveOvniCount() >= SGlobalCap)
            continue;
        const uint32_t type = d.pickOvniType(random->nextUnit());
        OvniParams* def = d.getOvniTypeParams(type);
        if (!def || !d.canSpawnOvniType(type))
            continue;
        const uint32_t cap = d.getOvniTypeSimCap(type);
        if (cap != 0 && liveOvniCountOfType(def->ovniType) >= cap)
            continue;
        spawnOvni(def);  // the start population is not counted against MaxSpawn
    }
}

void GameRulesManager::updateOvniSpawns(float dt)
{
    if (!gamePlayData || waveDelayCountdown > 0.0f)
        return;
    spawnTimer -= dt;
    if (spawnTimer > 0.0f)
        return;
    GamePlayData& d = *gamePlayData;
    if (d.numOvniTypes() == 0)
        return;
    if (isSpawnLimited()) {
        spawnTimer = 1.0f;
        return;
    }
    if (random && !(SGlobalCap != 0 && liveOvniCount() >= SGlobalCap)) {
        const uint32_t type = d.pickOvniType(random->nextUnit());
        OvniParams* def = d.getOvniTypeParams(type);
        // A type without a definition waits as a type at its cap does.
        if (def && d.canSpawnOvniType(type)) {
            const uint32_t cap = d.getOvniTypeSimCap(type);
            if ((cap == 0 || liveOvniCountOfType(def->ovniType) < cap) && spawnOvni(def))
                d.countOvniSpawned(type);
        }
    }
    spawnTimer = currentSpawnRate();
}

bool GameRulesManager::isSpawnLimited() const
{
    if (!LimitSpawnMech || LSM_MechIdx == 0)
        return false;
    return testMechaCondition(LSM_MechIdx - 1, LSM_Condition, static_cast<float>(LSM_Val));
}

float GameRulesManager::currentSpawnRate() const
{
    if (!VariableSpawnRate || spawnRateKeys.empty())
        return SpawnTime;
    const float t = gamePlayData ? gamePlayData->playTime : 0.0f;
    for (size_t i = 0; i < spawnRateKeys.size(); ++i) {
        const SpawnRateKey& key = spawnRateKeys[i];
        if (key.Time > t) {
            if (i == 0)
                return key.Rate;
            const SpawnRateKey& before = spawnRateKeys[i - 1];
            return remapLinear(before.Time, key.Time, t, before.Rate, key.Rate);
        }
    }
    return spawnRateKeys.back().Rate;
}

// ---- pickups ----

bool GameRulesManager::spawnPickupOfType(bool intervalTable)
{
    GamePlayData& d = *gamePlayData;
    const double r = random->nextUnit();
    const uint32_t type = intervalTable ? d.pickIntervalPickupType(r) : d.pickTimePickupType(r);
    const bool can = intervalTable ? d.canSpawnIntervalPickupType(type) : d.canSpawnTimePickupType(type);
    if (!can)
        return false;
    PickupParams* def = intervalTable ? d.getIntervalPickupParams(type) : d.getTimePickupParams(type);
    if (!placePickup(def))
        return false;
    // Counted, so that a type's MaxSpawn limits it as it limits an Ovni type.
    if (intervalTable)
        d.countIntervalPickupSpawned(type);
    else
        d.countTimePickupSpawned(type);
    return true;
}

void GameRulesManager::updatePickupSpawns(float dt)
{
    if (!gamePlayData || !random)
        return;
    GamePlayData& d = *gamePlayData;
    if (d.killReported && d.numIntervalPickupTypes() != 0 && d.totalKills() >= nextKillThreshold) {
        spawnPickupOfType(true);
        nextKillThreshold = saturatingU32(static_cast<float>(nextKillThreshold) * (killChangeVar + 1.0f) +
                                          static_cast<float>(KillsInterval));
    }
    pickupClock += dt;
    if (pickupClock >= nextTimeThreshold) {
        if (d.numTimePickupTypes() == 0) {
            pickupClock = -10000.0f;  // no time pickups in this mode
            return;
        }
        spawnPickupOfType(false);
        nextTimeThreshold = (timeChangeVar + 1.0f) * nextTimeThreshold + TimeInterval;
    }
}

// ---- waves and the end of play ----

bool GameRulesManager::testMechaCondition(uint32_t index, uint32_t code, float target) const
{
    const float v = gamePlayData ? gamePlayData->getMechaValue(index) : 0.0f;
    switch (code) {
    case 1: return v < target;
    case 2: return v > target;
    case 3: return v <= target;
    case 4: return v >= target;
    default: return v == target;
    }
}

void GameRulesManager::updateWaves(float dt)
{
    if (!gamePlayData || !UseWaveSystem || waveDelayCountdown > 0.0f || currentWave > NumWaves)
        return;
    waveCheckTimer -= dt;
    if (waveCheckTimer > 0.0f)
        return;
    GamePlayData& d = *gamePlayData;
    bool cleared = true;
    if (WaveClear_MechIdx != 0)
        cleared = testMechaCondition(WaveClear_MechIdx - 1, WaveClear_Condition, static_cast<float>(WaveClear_Val));
    if (WaveClear_AreaClear && liveOvniCount() > 0)
        cleared = false;
    if (cleared) {
        ++currentWave;
        if (currentWave <= NumWaves) {
            if (globalSounds)
                GlobalSounds::restart(globalSounds->waveStinger());
            if (hud)
                hud->setWave(currentWave, true);
            d.playTime = 0.0f;  // the spawn-rate curve starts again
            for (SpawnRateKey& key : spawnRateKeys)
                key.Rate *= NewWave_SpawnRate;
            SpawnTime *= NewWave_SpawnRate;
            SGlobalCap = saturatingU32(static_cast<float>(SGlobalCap) * NewWave_OvniCap);
            waveDelayCountdown = NewWave_StartDelay;
            if (WaveClear_MechIdx != 0)
                d.scaleMechaVariable(WaveClear_MechIdx - 1, NewWave_MechSize);
        }
        d.applyClearWave();
    }
    waveCheckTimer = 1.0f;
}

void GameRulesManager::testClearLose(float dt)
{
    if (!gamePlayData)
        return;
    clearLoseTimer -= dt;
    if (clearLoseTimer > 0.0f)
        return;
    const GamePlayData& d = *gamePlayData;
    const bool playerDestroyed = player && playerHP() <= 0.0f && d.NumLives == 0;

    bool clear = true;
    if (CC_ColourCombo && countCompletedCombos() < ComboRedLineUnits)
        clear = false;
    if (CC_MechCond && CC_MechIndx != 0 && !testMechaCondition(CC_MechIndx - 1, CC_Condition, CC_Val))
        clear = false;
    if (CC_AreaClear && liveOvniCount() > 0)
        clear = false;
    if (CC_WaveClear && currentWave <= NumWaves)
        clear = false;
    if (CC_PDestroyed && player && !playerDestroyed)
        clear = false;
    if (clear)
        endPlay(2, CC_HasRecordTable, CC_PrintName);

    if (HasLoseCondition) {
        // All enabled tests must hold, or with NeedOnlyOne any one of them.
        const bool any = NeedOnlyOne;
        bool lost = !any;
        const auto test = [&](bool holds) {
            if (any && holds)
                lost = true;
            if (!any && !holds)
                lost = false;
        };
        if (LC_MechCond && LC_MechIndx != 0)
            test(testMechaCondition(LC_MechIndx - 1, LC_Condition, LC_Val));
        if (LC_AreaClear)
            test(liveOvniCount() == 0);
        if (LC_PDestroyed)
            test(!player || (playerHP() <= 0.0f && d.NumLives == 0));
        if (lost)
            endPlay(3, LC_HasRecordTable, LC_PrintName);
    }
    clearLoseTimer = 1.0f;
}

void GameRulesManager::endPlay(uint32_t phase, uint8_t hasRecordTable, const std::string& caption)
{
    GamePlayData& d = *gamePlayData;
    if (globalSounds) {
        GlobalSounds::restart(globalSounds->missionStinger());
        globalSounds->fadeOutMusic();
    }
    d.playPhase = phase;
    if (d.MechIndx != 0) {
        d.resultValue = d.getMechaValue(d.MechIndx - 1);
        d.recordResult = hasRecordTable;
    } else {
        d.resultValue = 0.0f;
        d.recordResult = 0;
    }
    d.setResultCaption(caption);
}
