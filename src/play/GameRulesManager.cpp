#include "play/GameRulesManager.h"

#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "definitions/DefinitionCache.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/OvniParams.h"
#include "definitions/PickupParamsLibrary.h"
#include "play/AreaTrigger.h"
#include "play/PlayCamera.h"
#include "play/Priget_GameHUD.h"
#include "world/GroundVehicle.h"
#include "world/PickUpWeapon.h"
#include "world/PickupManager.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreLogManager.h>
#include <OgreSceneNode.h>

namespace {

constexpr uint32_t kMaxList = GamePlayData::kMaxModeList;

// Reals the rules keep as whole numbers: truncated, negative and NaN 0, too large the top.
uint32_t wholeFromReal(float v) { return hitPointsToWord(v); }

void logLine(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}

void writeColour(BinaryWriter& out, const Ogre::ColourValue& c)
{
    out.writeF32(c.r);
    out.writeF32(c.g);
    out.writeF32(c.b);
    out.writeF32(c.a);
}

void readColour(BinaryReader& in, Ogre::ColourValue& c)
{
    in.readF32(c.r);
    in.readF32(c.g);
    in.readF32(c.b);
    in.readF32(c.a);
}

void openModeIni(IniSource& ini, const std::string& mode) { ini.loadOrThrow(GameRulesManager::iniPath(mode)); }

template <class Entry>
void writePickupEntries(BinaryWriter& out, const std::vector<Entry>& list)
{
    out.writeU32(static_cast<uint32_t>(list.size()));
    for (const Entry& e : list) {
        writeBinString(out, e.definition ? e.definition->getName() : e.name);
        out.writeF32(e.weight);
        out.writeU32(e.SimCap);
        out.writeU32(e.MaxSpawn);
    }
}

}  // namespace

GameRulesManager::GameRulesManager(
    GamePlayData* gamePlayData_, Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
    audio::SoundManager* soundManager_, SharedBlock* sharedBlock_, ConfigManager* configManager_, Ogre::Root* root_,
    GameSettings* gameSettings_, KeyBindings* keyBindings_, MyGUI::Gui* gui_, GameSession* gameSession_,
    GlobalSounds* globalSounds_, Ogre::Viewport* viewport_, SceneCreator* sceneCreator_,
    SceneContext* sceneContext_, DificultyData* dificultyData_, RandomGenerator* random_,
    FxParamsLibrary* fxLibrary_, GOParamsLibrary* goLibrary_, ProjectileDefRegistry* projectileRegistry_,
    WarheadDefRegistry* warheadRegistry_, DamageRegistry* damageRegistry_, FxPool* fxPool_,
    TargetRegistry* targetRegistry_, ProjectileManager* projectileManager_, WorldHandles* worldHandles_,
    AIManager* aiManager_, GameObjectManager* gameObjectManager_, PickupManager* pickupManager_,
    PlayCamera* playCamera_)
    : gamePlayData(gamePlayData_), window(window_), sceneManager(sceneManager_), soundManager(soundManager_),
      sharedBlock(sharedBlock_), configManager(configManager_), root(root_), gameSettings(gameSettings_),
      keyBindings(keyBindings_), gui(gui_), gameSession(gameSession_), globalSounds(globalSounds_),
      viewport(viewport_), sceneCreator(sceneCreator_), sceneContext(sceneContext_), dificultyData(dificultyData_),
      random(random_), fxLibrary(fxLibrary_), goLibrary(goLibrary_), projectileRegistry(projectileRegistry_),
      warheadRegistry(warheadRegistry_), damageRegistry(damageRegistry_), fxPool(fxPool_),
      targetRegistry(targetRegistry_), projectileManager(projectileManager_), worldHandles(worldHandles_),
      aiManager(aiManager_), gameObjectManager(gameObjectManager_), pickupManager(pickupManager_),
      playCamera(playCamera_)
{
    if (gamePlayData) {
        GamePlayData& d = *gamePlayData;
        d.rechargeFraction = 0.0f;
        d.hpAccumulator = 0.0f;
        d.healed = d.playerHit = d.killReported = d.ammoChanged = d.weaponChanged = 0;
        d.turboStartRequest = d.turboEndRequest = d.holdReleased = 0;
        d.clearChangedFlags();
    }
    createPointerWidgets();
    // The mode file links its pickup tables to the library of the pickups being made.
    if (pickupManager && pickupManager->getLibrary())
        pickupLibrary = pickupManager->getLibrary();
    if (gameSession && gamePlayData)
        readCache(gameSession->getLevelName());
    if (sceneContext && gamePlayData) {
        const float scale = gamePlayData->BorderScale;
        sceneContext->playAreaScale = scale;
        if (sceneContext->borderNode)
            sceneContext->borderNode->setScale(scale, scale, scale);
    }
    spawnPlayer();
    createHud();
    refreshHud();
    if (gamePlayData && gamePlayData->TurrTurnDisable)
        setPointerVisible(false);
    if (gamePlayData)
        gamePlayData->playTime = 0.0f;
}

GameRulesManager::~GameRulesManager()
{
    for (MyGUI::Widget** w : {&aimPointer, &weaponArrow}) {
        if (*w && gui)
            gui->destroyWidget(*w);
        *w = nullptr;
    }
    multiplierSteps.clear();
    colourBalls.clear();
    colourStates.clear();
    areas.clear();
    spawnRateKeys.clear();
    hud.reset();
    if (gamePlayData)
        gamePlayData->clearArrays();
}

void GameRulesManager::createPointerWidgets()
{
    pointerAlpha = 1.0f;
    if (!gui)
        return;
    for (MyGUI::Widget** w : {&aimPointer, &weaponArrow}) {
        *w = gui->createWidget<MyGUI::Widget>("ZVplayArrow", MyGUI::IntCoord(0, 0, 64, 64), MyGUI::Align::Default,
                                              "Pointer");
        (*w)->setAlpha(0.0f);
    }
}

void GameRulesManager::createHud()
{
    if (!gui || !gamePlayData)
        return;
    const GamePlayData& d = *gamePlayData;
    hud = std::make_unique<Priget_GameHUD>(gui, gameSession, globalSounds);

    const bool challenge = gameSession && gameSession->challengeMode;
    CampaignData* campaign = gameSession ? gameSession->campaign : nullptr;
    const GameModeDef* mode =
        !challenge && gameSession && gameSession->profile ? gameSession->profile->getMode(gameSession->selectedMode)
                                                          : nullptr;

    hud->setLives(d.NumLives, false);
    float maxHP = d.MaxHP;
    if (challenge && campaign)
        maxHP *= campaign->getUpgradeFactor(1, false);
    hud->setMaxHP(maxHP);
    if (player)
        hud->setHPBar(playerHP(), false);
    hud->setWave(1, false);
    if (player) {
        const PickUpWeapon* weapon = player->getPickUpWeapon();
        hud->setAmmo(weapon ? weapon->getAmmo() : 0, weapon && weapon->getUnlimitedAmmo(), false);
    }
    const bool secondBest = mode && mode->progress3 > 0.0f;
    hud->arrangeRows(secondBest, ScoreHud, WaveBarHud, LivesBarHud, TimeHud, ChronoHud, BestSHud, HPHud, KillHud);

    if (challenge) {
        const uint32_t tier = gameSession->selectedTier;
        const uint32_t index = gameSession->selectedChallenge;
        const ChallengeDef* c = campaign ? campaign->getChallenge(tier, index) : nullptr;
        const bool asTime = c && c->resultIsTime;
        std::string targets[3];
        for (uint32_t medal = 1; medal <= 3; ++medal) {
            const uint32_t v = campaign ? campaign->getMedalThreshold(tier, index, medal) : 0;
            targets[medal - 1] = asTime ? formatRaceTime(static_cast<float>(v)) : std::to_string(v);
        }
        hud->setMedalTargets(true, targets[0], targets[1], targets[2]);
    } else {
        if (mode && BestSHud)
            hud->setBestValue(mode->best, d.valueIsTime);
        if (secondBest)
            hud->setWorldValue(mode->progress3, d.valueIsTime);
        hud->setMedalTargets(false, "", "", "");
    }

    if (UseColourSystem)
        hud->createComboWidgets(static_cast<uint32_t>(colourBalls.size()), ComboRedLineUnits);
}

// ---- the per-frame rules ----

void GameRulesManager::update(float dt, const OIS::Mouse* mouse)
{
    if (!gamePlayData)
        return;
    GamePlayData& d = *gamePlayData;

    if (gameSession && gameSession->profile) {
        PlayerProfile& profile = *gameSession->profile;
        (gameSession->challengeMode ? profile.challengePlayTime : profile.freePlayTime) += dt;
    }
    d.playTime += dt;

    if (d.killReported) {
        if (UseComboSys) {
            if (d.killColour != 0)
                addKillColour(d.killColour);
        } else if (globalSounds) {
            GlobalSounds::restart(globalSounds->killStinger());
        }
        if (hud)
            hud->setKillsText(d.totalKills());
    }

    if (aimPointer)
        updatePointer(mouse);
    updateComboTimers(dt);
    updateAreaTriggers(dt);
    updateKillStreak();
    if (player)
        giveArenaWeapon();
    applyPlayerMotionEffects(dt);
    updatePlayerLife(dt);
    updateOvniSpawns(dt);
    updatePickupSpawns(dt);
    d.applyTimeEffects(dt);

    if (UseWaveSystem && waveDelayCountdown != 0.0f) {
        waveDelayCountdown -= dt;
        if (waveDelayCountdown < 0.0f)
            waveDelayCountdown = 0.0f;
    }
    updateWaves(dt);
    testClearLose(dt);
    refreshHud();

    // The player's values; a hit also breaks the colour chain.
    const float hp = playerHP();
    if (player && hp > 0.0f) {
        if (hud) {
            hud->setHPBar(hp, d.playerHit || d.healed);
            if (d.playerHit)
                hud->shakeTimer = 1.0f;
            const PickUpWeapon* weapon = player->getPickUpWeapon();
            hud->setAmmo(weapon ? weapon->getAmmo() : 0, weapon && weapon->getUnlimitedAmmo(), d.ammoChanged);
        }
    } else if (hud) {
        if (d.playerHit)
            hud->shakeTimer = 1.0f;
        hud->setHPBar(0.0f, false);
    }
    if (d.playerHit && UseComboSys)
        endComboChain();

    if (hud) {
        if (d.holdReleased)
            hud->flashHit();
        if (d.turboEndRequest) {
            hud->flashTimer = 2.0f;
            hud->flashHold = 0;
        }
        hud->setRechargeBar(d.rechargeFraction);
        if (d.weaponChanged)
            hud->setWeaponIcon(d.getWeaponIconName());
    }
    if (d.weaponChanged && weaponArrow)
        weaponArrow->_setWidgetState(d.getArrowStateName());
    if (hud)
        hud->update(dt);

    d.killReported = d.playerHit = d.healed = d.ammoChanged = d.weaponChanged = d.holdReleased = 0;
    d.killColour = 0;
    d.rechargeFraction = 1.0f;
    d.clearChangedFlags();

    if (player && sceneCreator && sceneCreator->anchorNode())
        sceneCreator->anchorNode()->setPosition(player->getMainNode()->_getDerivedPosition());
}

void GameRulesManager::refreshHud()
{
    if (!hud || !gamePlayData)
        return;
    const GamePlayData& d = *gamePlayData;
    static const MechaVariable none;
    const auto var = [&](uint32_t index) -> const MechaVariable& {
        return index != 0 && index <= d.mechaVars.size() ? d.mechaVars[index - 1] : none;
    };
    if (ScoreHud)
        hud->setScore(var(ScoreMechIndx).value, var(ScoreMechIndx).changed);
    if (ChronoHud)
        hud->setChrono(var(ChronoMechIndx).value);
    if (TimeHud)
        hud->setTime(var(TimeMechIndx).value, var(TimeMechIndx).changed);
    if (WaveBarHud) {
        const MechaVariable& v = var(WaveBarMechIndx);
        hud->setWaveBar(v.value, v.DefA, v.DefB, v.changed);
    }
    if (d.killReported && killStreak > 1)
        hud->setKillStreak(static_cast<float>(killStreak));
}

// ---- pointer, HUD and areas, for the play state ----

namespace {
struct PointerButtons {
    bool left = false;
    bool right = false;
};
PointerButtons buttonsOf(const OIS::Mouse* mouse)
{
    if (!mouse)
        return {};
    const OIS::MouseState& m = mouse->getMouseState();
    return {m.buttonDown(OIS::MB_Left), m.buttonDown(OIS::MB_Right)};
}
}  // namespace

float GameRulesManager::playerHP() const { return player ? player->getHP() : 0.0f; }

bool GameRulesManager::playerHasSecondaryAmmo() const
{
    const PickUpWeapon* weapon = player ? player->getPickUpWeapon() : nullptr;
    return weapon && weapon->getAmmo() > 0;
}

void GameRulesManager::setPointerVisible(bool visible)
{
    const bool shown = visible && !(gamePlayData && gamePlayData->TurrTurnDisable);
    for (MyGUI::Widget* w : {aimPointer, weaponArrow})
        if (w)
            w->setVisible(shown);
}

// The pointer at alpha a (less while the left button is up), the arrow at b (less while the
// right button is up, none without secondary ammunition), both centred on the mouse.
namespace {
void placePointer(MyGUI::Widget* aim, MyGUI::Widget* arrow, const OIS::Mouse* mouse, float a, float b,
                  bool secondaryAmmo)
{
    const PointerButtons buttons = buttonsOf(mouse);
    if (aim)
        aim->setAlpha(buttons.left ? a : a * 0.75f);
    if (arrow)
        arrow->setAlpha(!secondaryAmmo ? 0.0f : buttons.right ? b : b * 0.45f);
    if (!mouse)
        return;
    const OIS::MouseState& m = mouse->getMouseState();
    for (MyGUI::Widget* w : {aim, arrow})
        if (w)
            w->setPosition(m.X.abs - 32, m.Y.abs - 32);
}
}  // namespace

void GameRulesManager::updatePointer(const OIS::Mouse* mouse)
{
    placePointer(aimPointer, weaponArrow, mouse, 1.0f, 1.0f, playerHasSecondaryAmmo());
}

void GameRulesManager::fadePointerIn(float alpha, const OIS::Mouse* mouse)
{
    placePointer(aimPointer, weaponArrow, mouse, alpha, pointerAlpha, playerHasSecondaryAmmo());
}

void GameRulesManager::fadePointerOut(float dt, const OIS::Mouse* mouse)
{
    if (pointerAlpha > 0.0f)
        pointerAlpha = std::max(0.0f, pointerAlpha - dt);
    if (aimPointer)
        placePointer(aimPointer, weaponArrow, mouse, pointerAlpha, pointerAlpha, playerHasSecondaryAmmo());
}

void GameRulesManager::fadeHudIn(float dt)
{
    if (hud)
        hud->fadeIn(dt);
}

void GameRulesManager::fadeHudOut(float dt, const OIS::Mouse* mouse)
{
    fadePointerOut(dt, mouse);
    if (hud)
        hud->fadeOut(dt);
}

void GameRulesManager::updateAreaTriggers(float dt)
{
    for (const auto& area : areas)
        area->update(dt);
}

void GameRulesManager::hideAreaTriggers()
{
    for (const auto& area : areas)
        if (area->getNode())
            area->getNode()->setVisible(false, true);
}

// ---- the whole file ----

void GameRulesManager::loadIni(std::string name) { loadIniFile(name); }
void GameRulesManager::readCache(std::string name) { readCacheFile(name); }
void GameRulesManager::writeCache(std::string name) { writeCacheFile(name); }

bool GameRulesManager::loadIniFile(const std::string& name)
{
    problem_.clear();
    if (!gamePlayData) {
        problem_ = "no play data to read into";
        return false;
    }
    IniSource ini;
    ini.loadOrThrow(iniPath(name));
    Scene = ini.text("SETINGS", "Scene");

    GamePlayData& d = *gamePlayData;
    // Later blocks size their rows by the lists before them: stop at the first over-cap list.
    const auto step = [&](const char* what, auto&& read) {
        if (!problem_.empty())
            return;
        read();
        if (!ini.ok())
            problem_ = iniPath(name) + ": a list length in " + what + " is more than " + std::to_string(kMaxList);
    };
    step("SETINGS/PLAYER/MECHANICS", [&] { d.loadSettingsIni(ini); });
    step("the main rules", [&] { loadRulesIni(ini); });
    step("OVNI", [&] { loadOvniListIni(ini); });
    step("OVNI", [&] { d.loadOvniEventsIni(ini); });
    step("INTERVAL_PICKUPS", [&] { loadIntervalPickupsIni(ini); });
    step("TIME_PICKUPS", [&] { loadTimePickupsIni(ini); });
    step("INTERVAL_PICKUPS", [&] { d.loadIntervalPickupEventsIni(ini); });
    step("TIME_PICKUPS", [&] { d.loadTimePickupEventsIni(ini); });
    step("RECORD_TABLE", [&] { d.loadRecordTableIni(ini); });
    step("TrigArea", [&] { d.loadAreaEventsIni(ini); });
    step("CAMERA", [&] { loadCameraIni(ini); });
    if (!problem_.empty())
        logLine("Mode rules: " + problem_);
    return problem_.empty();
}

bool GameRulesManager::readCacheFile(const std::string& name)
{
    problem_.clear();
    BinaryReader file;
    if (!file.open(cachePath(name))) {
        problem_ = cachePath(name) + " cannot be opened";
        return false;  // a missing cache is quiet: the rules keep their constructor values
    }
    std::vector<uint8_t> bytes(file.size());
    file.readBytes(bytes.data(), bytes.size());
    if (!readCacheBytes(std::move(bytes))) {
        problem_ = cachePath(name) + " is damaged";
        logLine("Mode rules: " + problem_ + "; the mode is played without its rules");
        return false;
    }
    return true;
}

bool GameRulesManager::readCacheBytes(std::vector<uint8_t> bytes)
{
    if (!gamePlayData)
        return false;
    {
        // A trial read on scratch objects, so a damaged cache changes nothing here.
        GamePlayData scratchData;
        GameRulesManager scratch(&scratchData, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr);
        BinaryReader trial(bytes);
        if (!scratch.readAllBlocks(trial)) {
            gamePlayData->clearArrays();
            return false;
        }
    }
    BinaryReader in(std::move(bytes));
    return readAllBlocks(in);
}

bool GameRulesManager::readAllBlocks(BinaryReader& in)
{
    GamePlayData& d = *gamePlayData;
    uint32_t magic = 0, version = 0, typeCode = 0;
    in.readU32(magic);  // the header words are not checked
    in.readU32(version);
    in.readU32(typeCode);
    readBinString(in);
    std::string scene = readBinString(in);
    if (!in.ok())
        return false;
    Scene = scene;
    d.readSettingsCache(in);
    readRulesCache(in);
    readOvniListCache(in);
    d.readOvniEventsCache(in);
    readIntervalPickupsCache(in);
    readTimePickupsCache(in);
    d.readIntervalPickupEventsCache(in);
    d.readTimePickupEventsCache(in);
    d.readRecordTableCache(in);
    d.readAreaEventsCache(in);
    readCameraCache(in);
    return in.ok();
}

std::vector<uint8_t> GameRulesManager::cacheBytes(const std::string& name) const
{
    BinaryWriter out;
    out.writeU32(kCacheMagic);
    out.writeU32(kCacheVersion);
    out.writeU32(kCacheTypeCode);
    writeBinString(out, name);
    writeBinString(out, Scene);
    if (gamePlayData) {
        const GamePlayData& d = *gamePlayData;
        d.writeSettingsCache(out);
        writeRulesCache(out);
        writeOvniListCache(out);
        d.writeOvniEventsCache(out);
        writeIntervalPickupsCache(out);
        writeTimePickupsCache(out);
        d.writeIntervalPickupEventsCache(out);
        d.writeTimePickupEventsCache(out);
        d.writeRecordTableCache(out);
        d.writeAreaEventsCache(out);
        writeCameraCache(out);
    }
    return out.bytes();
}

bool GameRulesManager::writeCacheFile(const std::string& name) const
{
    if (!gamePlayData)
        return false;
    const std::vector<uint8_t> bytes = cacheBytes(name);
    return writeFileAtomically(cachePath(name), bytes.data(), bytes.size());
}

// ---- main rules ----

void GameRulesManager::loadRulesIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadRulesIni(ini);
}

void GameRulesManager::loadRulesIni(IniSource& ini)
{
    const char* s = "OVNI_SPAWN";
    SpawnTime = ini.real(s, "SpawnTime");
    SGlobalCap = ini.uint(s, "SGlobalCap");
    LimitSpawnMech = ini.flag(s, "LimitSpawnMech");
    LSM_MechIdx = ini.uint(s, "LSM_MechIdx");
    LSM_Condition = ini.uint(s, "LSM_Condition");
    LSM_Val = wholeFromReal(ini.real(s, "LSM_Val"));
    StartSpawn = ini.count(s, "StartSpawn", kMaxList);
    spawnTimer = SpawnTime;
    VariableSpawnRate = ini.flag(s, "VariableSpawnRate");
    spawnRateKeys.clear();
    if (VariableSpawnRate) {
        spawnRateKeys.resize(ini.count(s, "VSR_NumKeys", kMaxList));
        for (uint32_t n = 1; n <= spawnRateKeys.size(); ++n) {
            spawnRateKeys[n - 1].Time = ini.real(s, indexedKey("VSR_Key_", n, "_Time"));
            spawnRateKeys[n - 1].Rate = ini.real(s, indexedKey("VSR_Key_", n, "_Rate"));
        }
        if (!spawnRateKeys.empty())
            spawnTimer = spawnRateKeys[0].Rate;
    }

    s = "CLEAR_CONDITION";
    CC_PrintName = ini.text(s, "CC_PrintName");
    CC_HasRecordTable = ini.flag(s, "CC_HasRecordTable");
    CC_RT_Challange = ini.flag(s, "CC_RT_Challange");
    CC_ColourCombo = ini.flag(s, "CC_ColourCombo");
    CC_MechCond = ini.flag(s, "CC_MechCond");
    CC_MechIndx = ini.uint(s, "CC_MechIndx");
    CC_Condition = wholeFromReal(ini.real(s, "CC_Condition"));
    CC_Val = ini.real(s, "CC_Val");
    CC_AreaClear = ini.flag(s, "CC_AreaClear");
    CC_WaveClear = ini.flag(s, "CC_WaveClear");
    CC_PDestroyed = ini.flag(s, "CC_PDestroyed");

    s = "LOSE_CONDITION";
    LC_PrintName = ini.text(s, "LC_PrintName");
    HasLoseCondition = ini.flag(s, "HasLoseCondition");
    LC_HasRecordTable = ini.flag(s, "LC_HasRecordTable");
    LC_RT_Challange = ini.flag(s, "LC_RT_Challange");
    NeedOnlyOne = ini.flag(s, "NeedOnlyOne");
    LC_MechCond = ini.flag(s, "LC_MechCond");
    LC_MechIndx = ini.uint(s, "LC_MechIndx");
    LC_Condition = wholeFromReal(ini.real(s, "LC_Condition"));
    LC_Val = ini.real(s, "LC_Val");
    LC_AreaClear = ini.flag(s, "LC_AreaClear");
    LC_PDestroyed = ini.flag(s, "LC_PDestroyed");

    s = "MULTIPLIER";
    multiplierSteps.assign(ini.count(s, "NumMulti", kMaxList), MultiplierStep{});
    for (uint32_t n = 1; n <= multiplierSteps.size(); ++n) {
        multiplierSteps[n - 1].Kills = ini.uint(s, indexedKey("Multi_", n, "_Kills"));
        multiplierSteps[n - 1].mVar = ini.real(s, indexedKey("Multi_", n, "_mVar"));
    }

    s = "HUD";
    ScoreHud = ini.flag(s, "ScoreHud");
    ScoreMechIndx = ini.uint(s, "ScoreMechIndx");
    TimeHud = ini.flag(s, "TimeHud");
    TimeMechIndx = ini.uint(s, "TimeMechIndx");
    WaveBarHud = ini.flag(s, "WaveBarHud");
    WaveBarMechIndx = ini.uint(s, "WaveBarMechIndx");
    ChronoHud = ini.flag(s, "ChronoHud");
    ChronoMechIndx = ini.uint(s, "ChronoMechIndx");
    LivesBarHud = ini.flag(s, "LivesBarHud");
    BestSHud = ini.flag(s, "BestSHud");
    HPHud = ini.flag(s, "HPHud");
    KillHud = ini.flag(s, "KillHud");

    s = "WAVE";
    UseWaveSystem = ini.flag(s, "UseWaveSystem");
    NumWaves = ini.uint(s, "NumWaves");
    NewWave_StartDelay = ini.real(s, "NewWave_StartDelay");
    NewWave_MechSize = ini.real(s, "NewWave_MechSize");
    NewWave_SpawnRate = ini.real(s, "NewWave_SpawnRate");
    NewWave_OvniCap = ini.real(s, "NewWave_OvniCap");
    WaveClear_AreaClear = ini.flag(s, "WaveClear_AreaClear");
    WaveClear_MechIdx = ini.uint(s, "WaveClear_MechIdx");
    WaveClear_Condition = ini.uint(s, "WaveClear_Condition");
    WaveClear_Val = wholeFromReal(ini.real(s, "WaveClear_Val"));

    s = "Colour";
    UseColourSystem = ini.flag(s, "UseColourSystem");
    if (UseColourSystem) {
        colourBalls.assign(ini.count(s, "NumColourBalls", kMaxList), 0u);
        colourStates.assign(ini.count(s, "NumColourStates", kMaxList), ColourState{});
        for (uint32_t n = 1; n <= colourStates.size(); ++n) {
            colourStates[n - 1].name = ini.text(s, indexedKey("CState_", n, "_Name"));
            colourStates[n - 1].colour = ini.colour(s, indexedKey("CState_", n, "_Colour"));
        }
        CState_Lock_Name = ini.text(s, "CState_Lock_Name");
        UseComboSys = ini.flag(s, "UseComboSys");
        if (UseComboSys) {
            ComboRedLineUnits = ini.uint(s, "ComboRedLineUnits");
            ComboMinCombo = ini.uint(s, "ComboMinCombo");
            ComboMinPoint = ini.real(s, "ComboMinPoint");
            ComboPointMulti = ini.real(s, "ComboPointMulti");
            ComboMechaScoreIndx = ini.uint(s, "ComboMechaScoreIndx");
            ComboTimeToCombo = ini.real(s, "ComboTimeToCombo");
        }
    }

    s = "TrigArea";
    createAreas(ini.count(s, "NumAreas", kMaxList));
    for (uint32_t n = 1; n <= areas.size(); ++n) {
        AreaTrigger& area = *areas[n - 1];
        const uint32_t type = ini.uint(s, indexedKey("TArea_", n, "_Type"));
        const Ogre::Vector3 pos = ini.vec3(s, indexedKey("TArea_", n, "_Pos"));
        const float scale = ini.real(s, indexedKey("TArea_", n, "_Scale"));
        area.applyScale(scale);
        area.placeAt(pos);
        area.setType(type);
    }
    applyLoadFixUps();
}

void GameRulesManager::readRulesCache(BinaryReader& in)
{
    in.readF32(SpawnTime);
    in.readU32(SGlobalCap);
    in.readU8(LimitSpawnMech);
    in.readU32(LSM_MechIdx);
    in.readU32(LSM_Condition);
    float real = 0.0f;
    in.readF32(real);
    LSM_Val = wholeFromReal(real);
    in.readCount(StartSpawn, kMaxList);
    in.readU8(VariableSpawnRate);
    spawnRateKeys.clear();
    if (VariableSpawnRate) {
        uint32_t n = 0;
        in.readCount(n, kMaxList);
        spawnRateKeys.resize(n);
        for (SpawnRateKey& k : spawnRateKeys) {
            in.readF32(k.Time);
            in.readF32(k.Rate);
        }
        if (!spawnRateKeys.empty())
            spawnTimer = spawnRateKeys[0].Rate;
    }

    CC_PrintName = readBinString(in);
    for (uint8_t* f : {&CC_HasRecordTable, &CC_RT_Challange, &CC_ColourCombo, &CC_MechCond})
        in.readU8(*f);
    in.readU32(CC_MechIndx);
    real = 0.0f;
    in.readF32(real);
    CC_Condition = wholeFromReal(real);
    in.readF32(CC_Val);
    for (uint8_t* f : {&CC_AreaClear, &CC_WaveClear, &CC_PDestroyed})
        in.readU8(*f);

    LC_PrintName = readBinString(in);
    for (uint8_t* f : {&HasLoseCondition, &LC_HasRecordTable, &LC_RT_Challange, &NeedOnlyOne, &LC_MechCond})
        in.readU8(*f);
    in.readU32(LC_MechIndx);
    real = 0.0f;
    in.readF32(real);
    LC_Condition = wholeFromReal(real);
    in.readF32(LC_Val);
    in.readU8(LC_AreaClear);
    in.readU8(LC_PDestroyed);

    uint32_t n = 0;
    in.readCount(n, kMaxList);
    multiplierSteps.assign(n, MultiplierStep{});
    for (MultiplierStep& step : multiplierSteps) {
        in.readU32(step.Kills);
        in.readF32(step.mVar);
    }

    in.readU8(ScoreHud);
    in.readU32(ScoreMechIndx);
    in.readU8(TimeHud);
    in.readU32(TimeMechIndx);
    in.readU8(WaveBarHud);
    in.readU32(WaveBarMechIndx);
    in.readU8(ChronoHud);
    in.readU32(ChronoMechIndx);
    for (uint8_t* f : {&LivesBarHud, &BestSHud, &HPHud, &KillHud})
        in.readU8(*f);

    in.readU8(UseWaveSystem);
    in.readU32(NumWaves);
    in.readF32(NewWave_StartDelay);
    in.readF32(NewWave_MechSize);
    in.readF32(NewWave_SpawnRate);
    in.readF32(NewWave_OvniCap);
    in.readU8(WaveClear_AreaClear);
    in.readU32(WaveClear_MechIdx);
    in.readU32(WaveClear_Condition);
    real = 0.0f;
    in.readF32(real);
    WaveClear_Val = wholeFromReal(real);

    in.readU8(UseColourSystem);
    if (UseColourSystem) {
        n = 0;
        in.readCount(n, kMaxList);
        colourBalls.assign(n, 0u);
        n = 0;
        in.readCount(n, kMaxList);
        colourStates.assign(n, ColourState{});
        for (ColourState& state : colourStates) {
            state.name = readBinString(in);
            readColour(in, state.colour);
        }
        CState_Lock_Name = readBinString(in);
        in.readU8(UseComboSys);
        if (UseComboSys) {
            in.readU32(ComboRedLineUnits);
            in.readU32(ComboMinCombo);
            in.readF32(ComboMinPoint);
            in.readF32(ComboPointMulti);
            in.readU32(ComboMechaScoreIndx);
            in.readF32(ComboTimeToCombo);
        }
    }

    n = 0;
    in.readCount(n, kMaxList);
    createAreas(n);
    for (auto& area : areas) {
        uint32_t type = 0;
        Ogre::Vector3 pos = Ogre::Vector3::ZERO;
        float scale = 0.0f;
        in.readU32(type);
        // An area's place and size reach the scene graph: only finite, sane values.
        in.readFiniteF32(pos.x, 1.0e6f);
        in.readFiniteF32(pos.y, 1.0e6f);
        in.readFiniteF32(pos.z, 1.0e6f);
        in.readFiniteF32(scale, 1.0e6f);
        area->applyScale(scale);
        area->placeAt(pos);
        area->setType(type);
    }
    applyLoadFixUps();
}

void GameRulesManager::writeRulesCache(BinaryWriter& out) const
{
    out.writeF32(SpawnTime);
    out.writeU32(SGlobalCap);
    out.writeU8(LimitSpawnMech);
    out.writeU32(LSM_MechIdx);
    out.writeU32(LSM_Condition);
    out.writeF32(static_cast<float>(LSM_Val));
    out.writeU32(StartSpawn);
    out.writeU8(VariableSpawnRate);
    if (VariableSpawnRate) {
        out.writeU32(static_cast<uint32_t>(spawnRateKeys.size()));
        for (const SpawnRateKey& k : spawnRateKeys) {
            out.writeF32(k.Time);
            out.writeF32(k.Rate);
        }
    }

    writeBinString(out, CC_PrintName);
    for (uint8_t f : {CC_HasRecordTable, CC_RT_Challange, CC_ColourCombo, CC_MechCond})
        out.writeU8(f);
    out.writeU32(CC_MechIndx);
    out.writeF32(static_cast<float>(CC_Condition));
    out.writeF32(CC_Val);
    for (uint8_t f : {CC_AreaClear, CC_WaveClear, CC_PDestroyed})
        out.writeU8(f);

    writeBinString(out, LC_PrintName);
    for (uint8_t f : {HasLoseCondition, LC_HasRecordTable, LC_RT_Challange, NeedOnlyOne, LC_MechCond})
        out.writeU8(f);
    out.writeU32(LC_MechIndx);
    out.writeF32(static_cast<float>(LC_Condition));
    out.writeF32(LC_Val);
    out.writeU8(LC_AreaClear);
    out.writeU8(LC_PDestroyed);

    out.writeU32(static_cast<uint32_t>(multiplierSteps.size()));
    for (const MultiplierStep& step : multiplierSteps) {
        out.writeU32(step.Kills);
        out.writeF32(step.mVar);
    }

    out.writeU8(ScoreHud);
    out.writeU32(ScoreMechIndx);
    out.writeU8(TimeHud);
    out.writeU32(TimeMechIndx);
    out.writeU8(WaveBarHud);
    out.writeU32(WaveBarMechIndx);
    out.writeU8(ChronoHud);
    out.writeU32(ChronoMechIndx);
    for (uint8_t f : {LivesBarHud, BestSHud, HPHud, KillHud})
        out.writeU8(f);

    out.writeU8(UseWaveSystem);
    out.writeU32(NumWaves);
    out.writeF32(NewWave_StartDelay);
    out.writeF32(NewWave_MechSize);
    out.writeF32(NewWave_SpawnRate);
    out.writeF32(NewWave_OvniCap);
    out.writeU8(WaveClear_AreaClear);
    out.writeU32(WaveClear_MechIdx);
    out.writeU32(WaveClear_Condition);
    out.writeF32(static_cast<float>(WaveClear_Val));

    out.writeU8(UseColourSystem);
    if (UseColourSystem) {
        out.writeU32(static_cast<uint32_t>(colourBalls.size()));
        out.writeU32(static_cast<uint32_t>(colourStates.size()));
        for (const ColourState& state : colourStates) {
            writeBinString(out, state.name);
            writeColour(out, state.colour);
        }
        writeBinString(out, CState_Lock_Name);
        out.writeU8(UseComboSys);
        if (UseComboSys) {
            out.writeU32(ComboRedLineUnits);
            out.writeU32(ComboMinCombo);
            out.writeF32(ComboMinPoint);
            out.writeF32(ComboPointMulti);
            out.writeU32(ComboMechaScoreIndx);
            out.writeF32(ComboTimeToCombo);
        }
    }

    out.writeU32(static_cast<uint32_t>(areas.size()));
    for (const auto& area : areas) {
        out.writeU32(area->getType());
        const Ogre::Vector3 pos = area->getPosition();
        out.writeF32(pos.x);
        out.writeF32(pos.y);
        out.writeF32(pos.z);
        out.writeF32(area->getScale());
    }
}

void GameRulesManager::createAreas(uint32_t count)
{
    areas.clear();
    areas.reserve(count);
    for (uint32_t n = 0; n < count; ++n)
        areas.push_back(std::make_unique<AreaTrigger>(gamePlayData, sceneManager, random, damageRegistry,
                                                      targetRegistry, soundManager, fxPool, sceneContext, n));
}

void GameRulesManager::applyLoadFixUps()
{
    if (NewWave_SpawnRate == 0.0f)
        NewWave_SpawnRate = 1.0f;
    if (NewWave_OvniCap == 0.0f)
        NewWave_OvniCap = 1.0f;

    droppedIndexes_.clear();
    const uint32_t vars = gamePlayData ? gamePlayData->numMechaVars() : 0;
    const std::pair<const char*, uint32_t*> indexes[] = {
        {"LSM_MechIdx", &LSM_MechIdx},         {"CC_MechIndx", &CC_MechIndx},
        {"LC_MechIndx", &LC_MechIndx},         {"ScoreMechIndx", &ScoreMechIndx},
        {"TimeMechIndx", &TimeMechIndx},       {"WaveBarMechIndx", &WaveBarMechIndx},
        {"ChronoMechIndx", &ChronoMechIndx},   {"WaveClear_MechIdx", &WaveClear_MechIdx},
        {"ComboMechaScoreIndx", &ComboMechaScoreIndx},
    };
    for (const auto& [key, index] : indexes) {
        if (*index > vars) {
            droppedIndexes_.push_back(std::string(key) + " " + std::to_string(*index));
            *index = 0;
        }
    }

    for (auto [flag, index] : {std::pair{&ScoreHud, ScoreMechIndx}, std::pair{&ChronoHud, ChronoMechIndx},
                               std::pair{&TimeHud, TimeMechIndx}, std::pair{&WaveBarHud, WaveBarMechIndx}})
        if (*flag && index == 0)
            *flag = 0;
}

// ---- spawn lists ----

void GameRulesManager::loadOvniListIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadOvniListIni(ini);
}

namespace {
// The Ovni definition of a name, with its back-link to its place in the list; none without a
// library or a cache, and then the entry keeps only its name (it never spawns).
OvniParams* linkOvni(GOParamsLibrary* library, const std::string& name, uint32_t n)
{
    if (!library)
        return nullptr;
    auto* def = dynamic_cast<OvniParams*>(library->getParams(name, GameObjectKind::Ovni));
    if (def) {
        def->ovniType = n;
        def->mechanicsRow = n;
    }
    return def;
}

PickupParams* linkPickup(PickupParamsLibrary* library, const std::string& name, bool forceNew, uint32_t kind,
                         uint32_t n)
{
    if (!library)
        return nullptr;
    PickupParams* def = library->getParams(name, forceNew);
    if (def) {
        def->spawnListKind = kind;
        def->spawnListPosition = n;
    }
    return def;
}
}  // namespace

void GameRulesManager::loadOvniListIni(IniSource& ini)
{
    const char* s = "OVNI";
    GamePlayData& d = *gamePlayData;
    d.resizeOvniTypes(ini.count(s, "NumOvniTypes", kMaxList));
    for (uint32_t n = 1; n <= d.ovniTypes.size(); ++n) {
        OvniSpawnType& e = d.ovniTypes[n - 1];
        e.name = ini.text(s, indexedKey("Ovni_", n, "_Name"));
        e.definition = linkOvni(goLibrary, e.name, n);
        e.weight = ini.real(s, indexedKey("Ovni_", n, "_Rate"));
        e.SimCap = ini.uint(s, indexedKey("Ovni_", n, "_SimCap"));
        e.MaxSpawn = ini.uint(s, indexedKey("Ovni_", n, "_MaxSpawn"));
        e.colourIndex = ini.uint(s, indexedKey("Ovni_", n, "_ColourIdx"));
    }
    d.recomputeOvniWeights();
}

void GameRulesManager::readOvniListCache(BinaryReader& in)
{
    GamePlayData& d = *gamePlayData;
    uint32_t count = 0;
    in.readCount(count, kMaxList);
    d.resizeOvniTypes(count);
    for (uint32_t n = 1; n <= count; ++n) {
        OvniSpawnType& e = d.ovniTypes[n - 1];
        e.name = readBinString(in);
        if (!in.ok())
            break;  // a trial read never reaches the library with a broken name
        e.definition = linkOvni(goLibrary, e.name, n);
        in.readF32(e.weight);
        in.readU32(e.SimCap);
        in.readU32(e.MaxSpawn);
        in.readU32(e.colourIndex);
    }
    d.recomputeOvniWeights();
}

void GameRulesManager::writeOvniListCache(BinaryWriter& out) const
{
    const GamePlayData& d = *gamePlayData;
    out.writeU32(d.numOvniTypes());
    for (const OvniSpawnType& e : d.ovniTypes) {
        writeBinString(out, e.definition ? e.definition->getName() : e.name);
        out.writeF32(e.weight);
        out.writeU32(e.SimCap);
        out.writeU32(e.MaxSpawn);
        out.writeU32(e.colourIndex);
    }
}

void GameRulesManager::loadIntervalPickupsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadIntervalPickupsIni(ini);
}

void GameRulesManager::loadIntervalPickupsIni(IniSource& ini)
{
    const char* s = "INTERVAL_PICKUPS";
    GamePlayData& d = *gamePlayData;
    KillsInterval = nextKillThreshold = ini.uint(s, "KillsInterval");
    killChangeVar = ini.real(s, "ChangeVar");
    d.resizeIntervalPickupTypes(ini.count(s, "NumPickupTypes", kMaxList));
    for (uint32_t n = 1; n <= d.intervalPickupTypes.size(); ++n) {
        PickupSpawnType& e = d.intervalPickupTypes[n - 1];
        e.name = ini.text(s, indexedKey("Pick_", n, "_Name"));
        e.definition = linkPickup(pickupLibrary, e.name, false, 1, n);
        e.weight = ini.real(s, indexedKey("Pick_", n, "_Rate"));
        e.SimCap = ini.uint(s, indexedKey("Pick_", n, "_SimCap"));
        e.MaxSpawn = ini.uint(s, indexedKey("Pick_", n, "_MaxSpawn"));
    }
    d.recomputeIntervalPickupWeights();
}

void GameRulesManager::readIntervalPickupsCache(BinaryReader& in)
{
    GamePlayData& d = *gamePlayData;
    uint32_t interval = 0;
    in.readU32(interval);
    KillsInterval = nextKillThreshold = interval;
    in.readF32(killChangeVar);
    uint32_t count = 0;
    in.readCount(count, kMaxList);
    d.resizeIntervalPickupTypes(count);
    for (uint32_t n = 1; n <= count; ++n) {
        PickupSpawnType& e = d.intervalPickupTypes[n - 1];
        e.name = readBinString(in);
        if (!in.ok())
            break;
        e.definition = linkPickup(pickupLibrary, e.name, false, 1, n);
        in.readF32(e.weight);
        in.readU32(e.SimCap);
        in.readU32(e.MaxSpawn);
    }
    d.recomputeIntervalPickupWeights();
}

void GameRulesManager::writeIntervalPickupsCache(BinaryWriter& out) const
{
    out.writeU32(nextKillThreshold);
    out.writeF32(killChangeVar);
    writePickupEntries(out, gamePlayData->intervalPickupTypes);
}

void GameRulesManager::loadTimePickupsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadTimePickupsIni(ini);
}

void GameRulesManager::loadTimePickupsIni(IniSource& ini)
{
    const char* s = "TIME_PICKUPS";
    GamePlayData& d = *gamePlayData;
    TimeInterval = nextTimeThreshold = ini.real(s, "TimeInterval");
    timeChangeVar = ini.real(s, "ChangeVar");
    d.resizeTimePickupTypes(ini.count(s, "NumPickupTypes", kMaxList));
    for (uint32_t n = 1; n <= d.timePickupTypes.size(); ++n) {
        PickupSpawnType& e = d.timePickupTypes[n - 1];
        e.name = ini.text(s, indexedKey("Pick_", n, "_Name"));
        e.definition = linkPickup(pickupLibrary, e.name, true, 2, n);
        e.weight = ini.real(s, indexedKey("Pick_", n, "_Rate"));
        e.SimCap = ini.uint(s, indexedKey("Pick_", n, "_SimCap"));
        e.MaxSpawn = ini.uint(s, indexedKey("Pick_", n, "_MaxSpawn"));
    }
    d.recomputeTimePickupWeights();
}

void GameRulesManager::readTimePickupsCache(BinaryReader& in)
{
    GamePlayData& d = *gamePlayData;
    uint32_t seconds = 0;
    in.readU32(seconds);
    TimeInterval = nextTimeThreshold = static_cast<float>(seconds);
    in.readF32(timeChangeVar);
    uint32_t count = 0;
    in.readCount(count, kMaxList);
    d.resizeTimePickupTypes(count);
    for (uint32_t n = 1; n <= count; ++n) {
        PickupSpawnType& e = d.timePickupTypes[n - 1];
        e.name = readBinString(in);
        if (!in.ok())
            break;
        e.definition = linkPickup(pickupLibrary, e.name, false, 2, n);
        in.readF32(e.weight);
        in.readU32(e.SimCap);
        in.readU32(e.MaxSpawn);
    }
    d.recomputeTimePickupWeights();
}

void GameRulesManager::writeTimePickupsCache(BinaryWriter& out) const
{
    out.writeU32(wholeFromReal(nextTimeThreshold));
    out.writeF32(timeChangeVar);
    writePickupEntries(out, gamePlayData->timePickupTypes);
}

// ---- camera ----

void GameRulesManager::loadCameraIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadCameraIni(ini);
}

void GameRulesManager::loadCameraIni(IniSource& ini)
{
    applyCamera(ini.uint("CAMERA", "camStyle"), ini.real("CAMERA", "camZoom"));
}

void GameRulesManager::readCameraCache(BinaryReader& in)
{
    uint32_t style = 0;
    float zoom = 0.0f;
    in.readU32(style);
    in.readF32(zoom);
    applyCamera(style, zoom);
}

void GameRulesManager::writeCameraCache(BinaryWriter& out) const
{
    out.writeU32(cameraStyle());
    out.writeF32(cameraZoom());
}

void GameRulesManager::applyCamera(uint32_t style, float zoom)
{
    camStyle = style;
    camZoom = zoom == 0.0f ? 1.0f : zoom;
    if (playCamera) {
        playCamera->setStyle(style);
        playCamera->setZoom(camZoom);
    }
}

uint32_t GameRulesManager::cameraStyle() const { return playCamera ? playCamera->style : camStyle; }

float GameRulesManager::cameraZoom() const { return playCamera ? playCamera->zoom : camZoom; }
