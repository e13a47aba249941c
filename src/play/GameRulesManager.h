#pragma once
// The rules engine of one play. It holds the handles of the play, keeps the rules of the current
// game mode and reads them from the mode's rules file: "../../Data/GamePlay/<name>.ini" (the
// authored form) or "../../Data/System/<name>.ZVG" (the cache the game reads), both walked in one
// fixed order of blocks.
#include <OgreColourValue.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class RenderWindow;
class Root;
class SceneManager;
class Viewport;
}
namespace OIS {
class JoyStick;
class Keyboard;
class Mouse;
}
namespace MyGUI {
class Gui;
class Widget;
}
namespace audio {
class SoundManager;
}
class AIManager;
class AreaTrigger;
class BinaryReader;
class BinaryWriter;
class ConfigManager;
class DamageRegistry;
class DificultyData;
class FxParamsLibrary;
class FxPool;
class GameObjectManager;
class GamePlayData;
class GameSession;
class GlobalSounds;
class GOParamsLibrary;
class GroundVehicle;
class IniSource;
class KeyBindings;
class OvniParams;
class PickupParams;
class PickupManager;
class PickupParamsLibrary;
class PlayCamera;
class Priget_GameHUD;
class ProjectileDefRegistry;
class ProjectileManager;
class RandomGenerator;
class SceneContext;
class SceneCreator;
class TargetRegistry;
class WarheadDefRegistry;
struct GameSettings;
struct SharedBlock;
struct WeaponContext;
// The play's handles for objects and weapons made during the play.
using WorldHandles = WeaponContext;

struct SpawnRateKey {
    float Time = 0.0f;  // play time in seconds
    float Rate = 0.0f;  // spawn interval in seconds
};

struct MultiplierStep {
    uint32_t Kills = 0;
    float mVar = 0.0f;
};

struct ColourState {
    std::string name;
    Ogre::ColourValue colour = Ogre::ColourValue::White;
};

class GameRulesManager {
public:
    static constexpr uint32_t kCacheMagic = 24654;
    static constexpr uint32_t kCacheVersion = 1;
    static constexpr uint32_t kCacheTypeCode = 0;

    // Any handle may be null: without a GameSession nothing is read, without a scene manager
    // the areas have no discs, without a library the lists' names find no definitions.
    GameRulesManager(GamePlayData* gamePlayData, Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager,
                     audio::SoundManager* soundManager, SharedBlock* sharedBlock, ConfigManager* configManager,
                     Ogre::Root* root, GameSettings* gameSettings, KeyBindings* keyBindings, MyGUI::Gui* gui,
                     GameSession* gameSession, GlobalSounds* globalSounds, Ogre::Viewport* viewport,
                     SceneCreator* sceneCreator, SceneContext* sceneContext, DificultyData* dificultyData,
                     RandomGenerator* random, FxParamsLibrary* fxLibrary, GOParamsLibrary* goLibrary,
                     ProjectileDefRegistry* projectileRegistry, WarheadDefRegistry* warheadRegistry,
                     DamageRegistry* damageRegistry, FxPool* fxPool, TargetRegistry* targetRegistry,
                     ProjectileManager* projectileManager, WorldHandles* worldHandles, AIManager* aiManager,
                     GameObjectManager* gameObjectManager, PickupManager* pickupManager, PlayCamera* playCamera);
    virtual ~GameRulesManager();
    GameRulesManager(const GameRulesManager&) = delete;
    GameRulesManager& operator=(const GameRulesManager&) = delete;

    // The whole rules file. A missing .ini raises the engine's exception; an .ini whose list is
    // over its cap is read no further than that (problem() says which). A cache that cannot be
    // read whole is refused: no tables, every rule at its constructor value, a line in the log.
    virtual void loadIni(std::string name);
    virtual void readCache(std::string name);
    virtual void writeCache(std::string name);

    // The same, telling the caller how it went.
    bool loadIniFile(const std::string& name);
    bool readCacheFile(const std::string& name);
    bool writeCacheFile(const std::string& name) const;
    // The cache's bytes, as writeCache puts them in the file.
    std::vector<uint8_t> cacheBytes(const std::string& name) const;
    // Reads a cache held in memory; false (and nothing kept) when it cannot be read whole.
    bool readCacheBytes(std::vector<uint8_t> bytes);
    const std::string& problem() const { return problem_; }
    // Index fields of the last .ini read that named a mecha variable past the list (and were
    // switched off by the load fix-ups).
    const std::vector<std::string>& droppedIndexes() const { return droppedIndexes_; }

    static std::string iniPath(const std::string& name);
    static std::string cachePath(const std::string& name) { return "../../Data/System/" + name + ".ZVG"; }

    // Section operations, in block order.
    void loadRulesIni(const std::string& mode);
    void loadRulesIni(IniSource& ini);
    void readRulesCache(BinaryReader& in);
    void writeRulesCache(BinaryWriter& out) const;
    void loadOvniListIni(const std::string& mode);
    void loadOvniListIni(IniSource& ini);
    void readOvniListCache(BinaryReader& in);
    void writeOvniListCache(BinaryWriter& out) const;
    void loadIntervalPickupsIni(const std::string& mode);
    void loadIntervalPickupsIni(IniSource& ini);
    void readIntervalPickupsCache(BinaryReader& in);
    void writeIntervalPickupsCache(BinaryWriter& out) const;
    void loadTimePickupsIni(const std::string& mode);
    void loadTimePickupsIni(IniSource& ini);
    void readTimePickupsCache(BinaryReader& in);
    void writeTimePickupsCache(BinaryWriter& out) const;
    void loadCameraIni(const std::string& mode);
    void loadCameraIni(IniSource& ini);
    void readCameraCache(BinaryReader& in);
    void writeCameraCache(BinaryWriter& out) const;

    // The camera's style and zoom (the play camera's when there is one).
    uint32_t cameraStyle() const;
    float cameraZoom() const;

    // ---- the play ----
    // Without a GUI no pointer widgets and no HUD are made, and every pointer and HUD step is
    // skipped; a null mouse skips the pointer. Without a game-object manager nothing spawns.

    // The rules of one tick of the Playing phase, in their fixed order.
    void update(float dt, const OIS::Mouse* mouse);
    // The HUD's mecha-variable values.
    void refreshHud();
    // Hidden whatever the argument while the mode disables the turret's turn.
    void setPointerVisible(bool visible);
    void updatePointer(const OIS::Mouse* mouse);
    void fadePointerIn(float alpha, const OIS::Mouse* mouse);
    void fadePointerOut(float dt, const OIS::Mouse* mouse);
    void fadeHudIn(float dt);
    void fadeHudOut(float dt, const OIS::Mouse* mouse);
    void hideAreaTriggers();
    void updateAreaTriggers(float dt);

    // Spawning (GameRulesSpawning.cpp). The play set-up calls spawnInitialOvnis once, right
    // after construction.
    void spawnInitialOvnis();
    void updateOvniSpawns(float dt);
    void updatePickupSpawns(float dt);
    // The mecha lock of the Ovni spawner.
    bool isSpawnLimited() const;
    // Seconds until the next Ovni attempt.
    float currentSpawnRate() const;

    // Waves and the end of play (GameRulesSpawning.cpp). The index is 0-based; code 1 <, 2 >,
    // 3 <=, 4 >=, any other ==; a variable past the list reads 0.0.
    bool testMechaCondition(uint32_t index, uint32_t code, float target) const;
    void updateWaves(float dt);
    void testClearLose(float dt);

    // Kill streak, multiplier and the colour bar (GameRulesCombos.cpp). Ball values: 0 empty,
    // a colour index (lit) or kGreyBall.
    static constexpr uint32_t kGreyBall = 999;
    void updateKillStreak();
    void updateMultiplier();
    // Whether the colour was placed; a colour past the colour states counts as none.
    bool addKillColour(uint32_t colour);
    // Closes the lit run (scored or greyed); the slot where a new colour would go.
    uint32_t endComboChain();
    void showComboChain();
    uint32_t countCompletedCombos() const;
    void updateComboTimers(float dt);

    // The player's vehicle (GameRulesPlayer.cpp). Every step does nothing without one.
    // Makes the player's vehicle through the object manager (constructor step); nothing without
    // a game-object manager (the cache's trial read makes an engine without one).
    void spawnPlayer();
    // Takes the vehicle the object manager made as the player's and sets it up for the mode.
    void adoptPlayer(GroundVehicle* vehicle);
    // Any device may be null; the pad counts only when the session enables it.
    void handlePlayerInput(float dt, const OIS::Keyboard* keyboard, const OIS::Mouse* mouse,
                           const OIS::JoyStick* joystick);
    void updatePlayerLife(float dt);
    void giveArenaWeapon();
    void applyPlayerMotionEffects(float dt);
    void posePlayerForEnd();

    // Handles (borrowed).
    GamePlayData* gamePlayData = nullptr;
    Ogre::RenderWindow* window = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    audio::SoundManager* soundManager = nullptr;
    SharedBlock* sharedBlock = nullptr;
    ConfigManager* configManager = nullptr;
    Ogre::Root* root = nullptr;
    GameSettings* gameSettings = nullptr;
    KeyBindings* keyBindings = nullptr;
    MyGUI::Gui* gui = nullptr;
    GameSession* gameSession = nullptr;
    GlobalSounds* globalSounds = nullptr;
    Ogre::Viewport* viewport = nullptr;
    SceneCreator* sceneCreator = nullptr;
    SceneContext* sceneContext = nullptr;
    DificultyData* dificultyData = nullptr;
    RandomGenerator* random = nullptr;
    FxParamsLibrary* fxLibrary = nullptr;
    GOParamsLibrary* goLibrary = nullptr;
    ProjectileDefRegistry* projectileRegistry = nullptr;
    WarheadDefRegistry* warheadRegistry = nullptr;
    DamageRegistry* damageRegistry = nullptr;
    FxPool* fxPool = nullptr;
    TargetRegistry* targetRegistry = nullptr;
    ProjectileManager* projectileManager = nullptr;
    WorldHandles* worldHandles = nullptr;
    AIManager* aiManager = nullptr;
    GameObjectManager* gameObjectManager = nullptr;
    PickupManager* pickupManager = nullptr;
    PlayCamera* playCamera = nullptr;
    // The pickup definitions (the pickup manager's library once that exists).
    PickupParamsLibrary* pickupLibrary = nullptr;

    MyGUI::Widget* aimPointer = nullptr;
    MyGUI::Widget* weaponArrow = nullptr;
    float pointerAlpha = 1.0f;
    GroundVehicle* player = nullptr;
    float doubleTapTimer = 0.0f;
    float lastDriveDirection = 0.0f;
    std::string Scene;
    uint32_t killStreak = 0;
    float respawnTimer = 0.0f;
    float spawnTimer = 0.0f;
    float SpawnTime = 0.0f;
    uint32_t SGlobalCap = 0;
    uint32_t KillsInterval = 0;
    uint32_t nextKillThreshold = 0;
    float killChangeVar = 1.0f;
    float pickupClock = 0.0f;
    float TimeInterval = 0.0f;
    float nextTimeThreshold = 0.0f;
    float timeChangeVar = 1.0f;
    uint32_t StartSpawn = 0;
    uint8_t dashLatch = 1;
    uint8_t ScoreHud = 0;
    uint32_t ScoreMechIndx = 0;
    uint8_t TimeHud = 0;
    uint32_t TimeMechIndx = 0;
    uint8_t WaveBarHud = 0;
    uint32_t WaveBarMechIndx = 0;
    uint8_t ChronoHud = 0;
    uint32_t ChronoMechIndx = 0;
    uint8_t LivesBarHud = 0;
    uint8_t BestSHud = 0;
    uint8_t HPHud = 0;
    uint8_t KillHud = 0;
    float clearLoseTimer = 1.0f;
    std::string CC_PrintName;
    uint8_t CC_HasRecordTable = 0;
    uint8_t CC_RT_Challange = 0;
    uint8_t CC_ColourCombo = 0;
    uint8_t CC_MechCond = 0;
    uint32_t CC_MechIndx = 0;
    uint32_t CC_Condition = 0;
    float CC_Val = 0.0f;
    uint8_t CC_AreaClear = 0;
    uint8_t CC_WaveClear = 0;
    uint8_t CC_PDestroyed = 0;
    uint8_t HasLoseCondition = 0;
    std::string LC_PrintName;
    uint8_t LC_HasRecordTable = 0;
    uint8_t LC_RT_Challange = 0;
    uint8_t NeedOnlyOne = 0;
    uint8_t LC_MechCond = 0;
    uint32_t LC_MechIndx = 0;
    uint32_t LC_Condition = 0;
    float LC_Val = 0.0f;
    uint8_t LC_AreaClear = 0;
    uint8_t LC_PDestroyed = 0;
    std::vector<MultiplierStep> multiplierSteps;  // NumMulti of them
    std::vector<SpawnRateKey> spawnRateKeys;      // VSR_NumKeys of them
    uint8_t VariableSpawnRate = 0;
    uint8_t LimitSpawnMech = 0;
    uint32_t LSM_MechIdx = 0;
    uint32_t LSM_Condition = 0;
    uint32_t LSM_Val = 0;
    std::unique_ptr<Priget_GameHUD> hud;  // owned; made only with a GUI
    float waveCheckTimer = 0.0f;
    uint8_t UseWaveSystem = 0;
    uint32_t currentWave = 1;
    uint32_t NumWaves = 0;
    float NewWave_StartDelay = 0.0f;
    float waveDelayCountdown = 0.0f;
    float NewWave_MechSize = 0.0f;
    float NewWave_SpawnRate = 0.0f;
    float NewWave_OvniCap = 0.0f;
    uint8_t WaveClear_AreaClear = 0;
    uint32_t WaveClear_MechIdx = 0;
    uint32_t WaveClear_Condition = 0;
    uint32_t WaveClear_Val = 0;
    uint8_t UseColourSystem = 0;
    std::vector<uint32_t> colourBalls;  // NumColourBalls slots, 0 empty
    std::vector<ColourState> colourStates;  // NumColourStates of them
    std::string CState_Lock_Name;
    uint8_t UseComboSys = 0;
    uint32_t ComboRedLineUnits = 0;
    uint32_t ComboMinCombo = 0;
    float ComboMinPoint = 0.0f;
    float ComboPointMulti = 0.0f;
    uint32_t ComboMechaScoreIndx = 0;
    float ComboTimeToCombo = 0.0f;
    float comboTimer = 0.0f;
    std::vector<std::unique_ptr<AreaTrigger>> areas;  // NumAreas of them

    // Kept for the cache writer when there is no play camera.
    uint32_t camStyle = 0;
    float camZoom = 1.0f;

private:
    // One field list per section of the rules file, walked by the .ini reader, the cache reader
    // and the cache writer (see core/ModeFileFields.h).
    template <class Self, class IO>
    static void rulesFields(Self& m, IO& io);
    template <class Self, class IO>
    static void ovniListFields(Self& m, IO& io);
    template <class Self, class IO>
    static void intervalPickupFields(Self& m, IO& io);
    template <class Self, class IO>
    static void timePickupFields(Self& m, IO& io);
    template <class Self, class IO>
    static void cameraFields(Self& m, IO& io);

    void lightColourBall(uint32_t slot);
    // The mode's spawn place: SpawnPos, 2 higher, turned by SpawnYaw.
    void placePlayerAtSpawn();
    void giveArenaWeaponWithFlag();
    void giveSelectedChallengeWeapon();
    // Construction steps: the pointer widgets, the HUD filled with its first values.
    void createPointerWidgets();
    void createHud();
    // The player's remaining hit points; 0.0 without a vehicle.
    float playerHP() const;
    bool playerHasSecondaryAmmo() const;
    // Spawn helpers (the world's managers do the work).
    uint32_t liveOvniCount() const;
    uint32_t liveOvniCountOfType(uint32_t typeNumber) const;
    bool spawnOvni(OvniParams* definition);
    bool placePickup(PickupParams* definition);
    Ogre::Vector3 randomArenaPoint(float margin, float height);
    // Both tables share the kill and time pickup steps; true when a pickup was placed.
    bool spawnPickupOfType(bool intervalTable);
    // The end of play: stinger, music fade, phase, record and caption.
    void endPlay(uint32_t phase, uint8_t hasRecordTable, const std::string& caption);

    void createAreas(uint32_t count);
    void applyLoadFixUps();
    void applyCamera(uint32_t style, float zoom);
    bool readAllBlocks(BinaryReader& in);

    std::string problem_;
    std::vector<std::string> droppedIndexes_;
};
