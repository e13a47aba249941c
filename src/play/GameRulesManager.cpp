#include "play/GameRulesManager.h"

#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/ModeFileFields.h"
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

#include <type_traits>

namespace {

constexpr uint32_t kMaxList = GamePlayData::kMaxModeList;


void logLine(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
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

std::string GameRulesManager::iniPath(const std::string& name) { return modefile::iniPath(name); }

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

namespace {
// Whatever a section's field list walks: the object itself when reading, const when writing.
template <class Self, class T>
using Like = std::conditional_t<std::is_const_v<Self>, const T, T>;

// The area triggers as the file holds them (the objects keep them in their scene nodes).
struct AreaPlace {
    uint32_t type = 0;
    Ogre::Vector3 pos = Ogre::Vector3::ZERO;
    float scale = 0.0f;
};
}  // namespace

template <class Self, class IO>
void GameRulesManager::rulesFields(Self& m, IO& io)
{
    io.section("OVNI_SPAWN");
    io.real("SpawnTime", m.SpawnTime);
    io.uint("SGlobalCap", m.SGlobalCap);
    io.flag("LimitSpawnMech", m.LimitSpawnMech);
    io.uint("LSM_MechIdx", m.LSM_MechIdx);
    io.uint("LSM_Condition", m.LSM_Condition);
    io.wholeReal("LSM_Val", m.LSM_Val);
    io.count("StartSpawn", m.StartSpawn, kMaxList);
    // The cache leaves the countdown as it is: 0 on a new manager, so the first spawn comes at once.
    if constexpr (IO::kFromIni)
        m.spawnTimer = m.SpawnTime;
    io.flag("VariableSpawnRate", m.VariableSpawnRate);
    if constexpr (IO::kReading)
        m.spawnRateKeys.clear();
    if (m.VariableSpawnRate) {
        modefile::list(io, "VSR_NumKeys", m.spawnRateKeys, kMaxList, [&io](auto& key, uint32_t n) {
            io.real(indexedKey("VSR_Key_", n, "_Time"), key.Time);
            io.real(indexedKey("VSR_Key_", n, "_Rate"), key.Rate);
            return true;
        });
        if constexpr (IO::kReading)
            if (!m.spawnRateKeys.empty())
                m.spawnTimer = m.spawnRateKeys[0].Rate;
    }

    io.section("CLEAR_CONDITION");
    io.text("CC_PrintName", m.CC_PrintName);
    io.flag("CC_HasRecordTable", m.CC_HasRecordTable);
    io.flag("CC_RT_Challange", m.CC_RT_Challange);
    io.flag("CC_ColourCombo", m.CC_ColourCombo);
    io.flag("CC_MechCond", m.CC_MechCond);
    io.uint("CC_MechIndx", m.CC_MechIndx);
    io.wholeReal("CC_Condition", m.CC_Condition);
    io.real("CC_Val", m.CC_Val);
    io.flag("CC_AreaClear", m.CC_AreaClear);
    io.flag("CC_WaveClear", m.CC_WaveClear);
    io.flag("CC_PDestroyed", m.CC_PDestroyed);

    io.section("LOSE_CONDITION");
    io.text("LC_PrintName", m.LC_PrintName);
    io.flag("HasLoseCondition", m.HasLoseCondition);
    io.flag("LC_HasRecordTable", m.LC_HasRecordTable);
    io.flag("LC_RT_Challange", m.LC_RT_Challange);
    io.flag("NeedOnlyOne", m.NeedOnlyOne);
    io.flag("LC_MechCond", m.LC_MechCond);
    io.uint("LC_MechIndx", m.LC_MechIndx);
    io.wholeReal("LC_Condition", m.LC_Condition);
    io.real("LC_Val", m.LC_Val);
    io.flag("LC_AreaClear", m.LC_AreaClear);
    io.flag("LC_PDestroyed", m.LC_PDestroyed);

    io.section("MULTIPLIER");
    modefile::list(io, "NumMulti", m.multiplierSteps, kMaxList, [&io](auto& step, uint32_t n) {
        io.uint(indexedKey("Multi_", n, "_Kills"), step.Kills);
        io.real(indexedKey("Multi_", n, "_mVar"), step.mVar);
        return true;
    });

    io.section("HUD");
    io.flag("ScoreHud", m.ScoreHud);
    io.uint("ScoreMechIndx", m.ScoreMechIndx);
    io.flag("TimeHud", m.TimeHud);
    io.uint("TimeMechIndx", m.TimeMechIndx);
    io.flag("WaveBarHud", m.WaveBarHud);
    io.uint("WaveBarMechIndx", m.WaveBarMechIndx);
    io.flag("ChronoHud", m.ChronoHud);
    io.uint("ChronoMechIndx", m.ChronoMechIndx);
    io.flag("LivesBarHud", m.LivesBarHud);
    io.flag("BestSHud", m.BestSHud);
    io.flag("HPHud", m.HPHud);
    io.flag("KillHud", m.KillHud);

    io.section("WAVE");
    io.flag("UseWaveSystem", m.UseWaveSystem);
    io.uint("NumWaves", m.NumWaves);
    io.real("NewWave_StartDelay", m.NewWave_StartDelay);
    io.real("NewWave_MechSize", m.NewWave_MechSize);
    io.real("NewWave_SpawnRate", m.NewWave_SpawnRate);
    io.real("NewWave_OvniCap", m.NewWave_OvniCap);
    io.flag("WaveClear_AreaClear", m.WaveClear_AreaClear);
    io.uint("WaveClear_MechIdx", m.WaveClear_MechIdx);
    io.uint("WaveClear_Condition", m.WaveClear_Condition);
    io.wholeReal("WaveClear_Val", m.WaveClear_Val);

    io.section("Colour");
    io.flag("UseColourSystem", m.UseColourSystem);
    if (m.UseColourSystem) {
        uint32_t balls = static_cast<uint32_t>(m.colourBalls.size());
        io.count("NumColourBalls", balls, kMaxList);
        if constexpr (IO::kReading)
            m.colourBalls.assign(balls, 0u);
        modefile::list(io, "NumColourStates", m.colourStates, kMaxList, [&io](auto& state, uint32_t n) {
            io.text(indexedKey("CState_", n, "_Name"), state.name);
            io.colour(indexedKey("CState_", n, "_Colour"), state.colour);
            return true;
        });
        io.text("CState_Lock_Name", m.CState_Lock_Name);
        io.flag("UseComboSys", m.UseComboSys);
        if (m.UseComboSys) {
            io.uint("ComboRedLineUnits", m.ComboRedLineUnits);
            io.uint("ComboMinCombo", m.ComboMinCombo);
            io.real("ComboMinPoint", m.ComboMinPoint);
            io.real("ComboPointMulti", m.ComboPointMulti);
            io.uint("ComboMechaScoreIndx", m.ComboMechaScoreIndx);
            io.real("ComboTimeToCombo", m.ComboTimeToCombo);
        }
    }

    io.section("TrigArea");
    std::vector<AreaPlace> places;
    if constexpr (!IO::kReading)
        for (const auto& area : m.areas)
            places.push_back({area->getType(), area->getPosition(), area->getScale()});
    modefile::list(io, "NumAreas", places, kMaxList, [&io](AreaPlace& place, uint32_t n) {
        io.uint(indexedKey("TArea_", n, "_Type"), place.type);
        io.place(indexedKey("TArea_", n, "_Pos"), place.pos);
        io.place(indexedKey("TArea_", n, "_Scale"), place.scale);
        return true;
    });
    if constexpr (IO::kReading) {
        m.createAreas(static_cast<uint32_t>(places.size()));
        for (size_t i = 0; i < places.size(); ++i) {
            m.areas[i]->applyScale(places[i].scale);
            m.areas[i]->placeAt(places[i].pos);
            m.areas[i]->setType(places[i].type);
        }
        m.applyLoadFixUps();
    }
}

MODE_FILE_SECTION(GameRulesManager, Rules, rulesFields)

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

namespace {
// A spawn list entry's name: a reader links it to its definition, the writer stores the
// definition's own name where there is one.
template <class IO, class Entry, class Link>
bool entryName(IO& io, const std::string& key, Entry& e, Link&& link)
{
    if constexpr (IO::kReading) {
        io.text(key, e.name);
        if (!io.ok())
            return false;  // a trial read never reaches the library with a broken name
        e.definition = link(e.name);
    } else {
        io.text(key, e.definition ? e.definition->getName() : e.name);
    }
    return true;
}

template <class IO, class Vec>
void pickupEntries(IO& io, Vec& list, PickupParamsLibrary* library, bool forceNew, uint32_t kind)
{
    modefile::list(io, "NumPickupTypes", list, kMaxList, [&](auto& e, uint32_t n) {
        if (!entryName(io, indexedKey("Pick_", n, "_Name"), e,
                       [&](const std::string& name) { return linkPickup(library, name, forceNew, kind, n); }))
            return false;
        io.real(indexedKey("Pick_", n, "_Rate"), e.weight);
        io.uint(indexedKey("Pick_", n, "_SimCap"), e.SimCap);
        io.uint(indexedKey("Pick_", n, "_MaxSpawn"), e.MaxSpawn);
        return true;
    });
}
}  // namespace

template <class Self, class IO>
void GameRulesManager::ovniListFields(Self& m, IO& io)
{
    Like<Self, GamePlayData>& d = *m.gamePlayData;
    io.section("OVNI");
    modefile::list(io, "NumOvniTypes", d.ovniTypes, kMaxList, [&](auto& e, uint32_t n) {
        if (!entryName(io, indexedKey("Ovni_", n, "_Name"), e,
                       [&](const std::string& name) { return linkOvni(m.goLibrary, name, n); }))
            return false;
        io.real(indexedKey("Ovni_", n, "_Rate"), e.weight);
        io.uint(indexedKey("Ovni_", n, "_SimCap"), e.SimCap);
        io.uint(indexedKey("Ovni_", n, "_MaxSpawn"), e.MaxSpawn);
        io.uint(indexedKey("Ovni_", n, "_ColourIdx"), e.colourIndex);
        return true;
    });
    if constexpr (IO::kReading)
        d.recomputeOvniWeights();
}

template <class Self, class IO>
void GameRulesManager::intervalPickupFields(Self& m, IO& io)
{
    Like<Self, GamePlayData>& d = *m.gamePlayData;
    io.section("INTERVAL_PICKUPS");
    // The writer keeps the next threshold, which is the interval until a play moves it.
    uint32_t interval = m.nextKillThreshold;
    io.uint("KillsInterval", interval);
    if constexpr (IO::kReading)
        m.KillsInterval = m.nextKillThreshold = interval;
    io.real("ChangeVar", m.killChangeVar);
    pickupEntries(io, d.intervalPickupTypes, m.pickupLibrary, false, 1);
    if constexpr (IO::kReading)
        d.recomputeIntervalPickupWeights();
}

template <class Self, class IO>
void GameRulesManager::timePickupFields(Self& m, IO& io)
{
    Like<Self, GamePlayData>& d = *m.gamePlayData;
    io.section("TIME_PICKUPS");
    float interval = m.nextTimeThreshold;
    io.realSeconds("TimeInterval", interval);
    if constexpr (IO::kReading)
        m.TimeInterval = m.nextTimeThreshold = interval;
    io.real("ChangeVar", m.timeChangeVar);
    // From the .ini the time list gets definitions of its own; the cache shares the library's.
    pickupEntries(io, d.timePickupTypes, m.pickupLibrary, IO::kFromIni, 2);
    if constexpr (IO::kReading)
        d.recomputeTimePickupWeights();
}

MODE_FILE_SECTION(GameRulesManager, OvniList, ovniListFields)

MODE_FILE_SECTION(GameRulesManager, IntervalPickups, intervalPickupFields)

MODE_FILE_SECTION(GameRulesManager, TimePickups, timePickupFields)

// ---- camera ----

template <class Self, class IO>
void GameRulesManager::cameraFields(Self& m, IO& io)
{
    uint32_t style = m.cameraStyle();
    float zoom = m.cameraZoom();
    io.section("CAMERA");
    io.uint("camStyle", style);
    io.real("camZoom", zoom);
    if constexpr (IO::kReading)
        m.applyCamera(style, zoom);
}

MODE_FILE_SECTION(GameRulesManager, Camera, cameraFields)

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
