#pragma once
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Ogre {
class SceneNode;
class Entity;
}
class OvniParams;
class PickupParams;
class BinaryReader;
class BinaryWriter;
class IniSource;

// The slow-time bubble a pick-up weapon opens: inside radius x scale, pickups and the
// projectiles of everyone but the excluded owner run with the time factor instead of 1.
struct SlowTimeBubble {
    uint8_t active = 0;
    Ogre::SceneNode* node = nullptr;       // visual centre (made by the scene creator)
    Ogre::Entity* entity = nullptr;        // visible sphere (made by the scene creator)
    Ogre::SceneNode* ownerNode = nullptr;  // node of the object carrying the bubble
    float radius = 1.0f;
    float scale = 1.0f;
    int32_t ownerKey = 0;                  // shooter key whose objects and shots are not slowed
    float timeFactor = 1.0f;

    float effectiveRadius() const { return radius * scale; }
    // On, and the world point lies within the effective radius of the carrier (or, without one,
    // of the visual centre). The bubble sits on its carrier, which may hang under a turret.
    bool covers(const Ogre::Vector3& worldPoint) const;
};

// An actor spawn a weapon asks for; the play state serves one per tick.
struct SpawnRequest {
    uint8_t pending = 0;
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Vector3 offset = Ogre::Vector3::ZERO;  // along the spawned node's own axes
    Ogre::Quaternion orientation{0.0f, 0.0f, 0.0f, 0.0f};  // all zero: keep the spawned orientation
    std::string actorName;
    uint32_t actorType = 0;  // GameObjectKind
    uint32_t actorTeam = 0;
    uint8_t withAI = 0;
};

// A numeric register of the mode's rules.
struct MechaVariable {
    float value = 0.0f;
    float DefA = 0.0f;
    float DefB = 0.0f;
    float Start = 0.0f;
    float TimeAff = 0.0f;
    float ClearWave = 0.0f;
    float PlayerHit = 0.0f;
    float PlayerDamage = 0.0f;
    float PlayerStopT = 0.0f;
    float PlayerShot = 0.0f;
    float PlayerMoveM = 0.0f;
    uint8_t changed = 0;
    uint8_t Multiply = 0;
    uint8_t DefLimiter = 0;
};

// Event rows: one per mecha variable, then one for hit points.
struct OvniMechaEffects {
    float Spawn = 0.0f, Live = 0.0f, pKill = 0.0f, eKill = 0.0f, Leave = 0.0f, Hit = 0.0f, Damage = 0.0f;
};
struct PickupMechaEffects {
    float Spawn = 0.0f, Live = 0.0f, Pick = 0.0f, Leave = 0.0f;
};
struct AreaMechaEffects {
    float Enter = 0.0f, Leave = 0.0f, Inside = 0.0f;
};

struct OvniSpawnType {
    std::string name;                  // as the mode file gives it, kept when no definition exists
    OvniParams* definition = nullptr;  // borrowed from the definition library
    float weight = 0.0f;
    uint32_t SimCap = 0;
    uint32_t MaxSpawn = 0;
    uint32_t colourIndex = 0;
    std::vector<OvniMechaEffects> rows;
    uint32_t spawnedCount = 0;
    uint32_t playerKills = 0;
    uint32_t otherKills = 0;
    uint32_t leaves = 0;
};

struct PickupSpawnType {
    std::string name;
    PickupParams* definition = nullptr;  // borrowed from the definition library
    float weight = 0.0f;
    uint32_t SimCap = 0;
    uint32_t MaxSpawn = 0;
    std::vector<PickupMechaEffects> rows;
    uint32_t spawnedCount = 0;
    uint32_t extraCount = 0;
};

// Play values shared by the game core, the play state, the rules and the world.
class GamePlayData {
public:
    static constexpr uint32_t kSettingsMagic = 7374;
    static const char* const kSettingsPath;  // "../../Data/System/GPset.Dat"

    // The six global play values of GPset.Dat, by position in the file.
    enum PlaySetting {
        DoubleTapWindow = 0,        // seconds between two taps that make a dash
        ProjFloatPitchRate = 1,     // degrees per second a floating projectile pitches
        ProjFloatHeight = 2,        // height a floating projectile keeps above the floor
        TurboTimeFactor = 3,        // time-step factor of a vehicle in turbo
        OvniHoverHeight = 4,        // Ovni hover height above the projectile floor
        VerticalFloatSpeed = 5,     // climb rate of floating projectiles and Ovni hover speed
        PlaySettingCount = 6,
    };

    GamePlayData();
    virtual ~GamePlayData();
    GamePlayData(const GamePlayData&) = delete;
    GamePlayData& operator=(const GamePlayData&) = delete;

    // Reads GPset.Dat. A missing, short or damaged file leaves every value as it was; false then.
    bool loadSettings(const std::string& path = kSettingsPath);

    // Frees the mode tables (spawn types with their rows, mecha variables, area rows).
    void clearArrays();

    // Every list length of a mode file (and its start population) is at most this.
    static constexpr uint32_t kMaxModeList = 256;

    // Mode file sections: "../../Data/GamePlay/<mode>.ini" readers (the name overloads open the
    // file and let a missing one raise the engine's exception; an over-cap count turns the
    // source's ok() false), and the cache blocks at the reader's or writer's position.
    void loadSettingsIni(const std::string& mode);
    void loadSettingsIni(IniSource& ini);
    void readSettingsCache(BinaryReader& in);
    void writeSettingsCache(BinaryWriter& out) const;
    void loadOvniEventsIni(const std::string& mode);
    void loadOvniEventsIni(IniSource& ini);
    void readOvniEventsCache(BinaryReader& in);
    void writeOvniEventsCache(BinaryWriter& out) const;
    void loadIntervalPickupEventsIni(const std::string& mode);
    void loadIntervalPickupEventsIni(IniSource& ini);
    void readIntervalPickupEventsCache(BinaryReader& in);
    void writeIntervalPickupEventsCache(BinaryWriter& out) const;
    void loadTimePickupEventsIni(const std::string& mode);
    void loadTimePickupEventsIni(IniSource& ini);
    void readTimePickupEventsCache(BinaryReader& in);
    void writeTimePickupEventsCache(BinaryWriter& out) const;
    void loadRecordTableIni(const std::string& mode);
    void loadRecordTableIni(IniSource& ini);
    void readRecordTableCache(BinaryReader& in);
    void writeRecordTableCache(BinaryWriter& out) const;
    void loadAreaEventsIni(const std::string& mode);
    void loadAreaEventsIni(IniSource& ini);
    void readAreaEventsCache(BinaryReader& in);
    void writeAreaEventsCache(BinaryWriter& out) const;
    // Each section's one field list, walked by all three (see core/ModeFileFields.h).
    template <class Self, class IO>
    static void settingsFields(Self& d, IO& io);
    template <class Self, class IO>
    static void ovniEventFields(Self& d, IO& io);
    template <class Self, class IO>
    static void intervalPickupEventFields(Self& d, IO& io);
    template <class Self, class IO>
    static void timePickupEventFields(Self& d, IO& io);
    template <class Self, class IO>
    static void areaEventFields(Self& d, IO& io);
    template <class Self, class IO>
    static void recordTableFields(Self& d, IO& io);
    // Reads the best value of the record table file "Data<TableIdx>.dat" (working directory).
    void openRecordFile();

    // Spawn tables: resizing zeroes every entry; the weights of the types that may still spawn
    // are normalised to sum 1, every other type weighs 0.
    void resizeOvniTypes(uint32_t n);
    void resizeIntervalPickupTypes(uint32_t n);
    void resizeTimePickupTypes(uint32_t n);
    void recomputeOvniWeights();
    void recomputeIntervalPickupWeights();
    void recomputeTimePickupWeights();
    // Spawn-table use (GamePlaySpawnTables.cpp). A pick walks the weights with a draw r in [0, 1)
    // and falls back to type 0; an index past its table reads as none (null, 0, false).
    uint32_t pickOvniType(double r) const;
    uint32_t pickIntervalPickupType(double r) const;
    uint32_t pickTimePickupType(double r) const;
    OvniParams* getOvniTypeParams(uint32_t type) const;
    uint32_t getOvniTypeSimCap(uint32_t type) const;
    PickupParams* getIntervalPickupParams(uint32_t type) const;
    PickupParams* getTimePickupParams(uint32_t type) const;
    // True while the type's spawned count is below its MaxSpawn, or MaxSpawn is 0.
    bool canSpawnOvniType(uint32_t type) const;
    bool canSpawnIntervalPickupType(uint32_t type) const;
    bool canSpawnTimePickupType(uint32_t type) const;
    // Spawned count + 1; reaching MaxSpawn takes the type out of the weights.
    void countOvniSpawned(uint32_t type);
    void countIntervalPickupSpawned(uint32_t type);
    void countTimePickupSpawned(uint32_t type);
    // Ovni killed by the player and by others, over every type.
    uint32_t totalKills() const;

    // Mecha events. Type and area indexes are 0-based; an index past its list does nothing.
    void applyTimeEffects(float dt);
    void onOvniSpawn(uint32_t type);
    void onOvniLive(uint32_t type, float dt);
    void onOvniPlayerKill(uint32_t type);
    void onOvniEnemyKill(uint32_t type);
    void onOvniLeave(uint32_t type);
    void onOvniHit(uint32_t type);
    void onOvniDamage(uint32_t type, float amount);
    void clearChangedFlags();
    void applyClearWave();
    void applyPlayerMove(float speed, float dt);
    void applyPlayerStop(float dt);
    void onPlayerHit();
    void onPlayerDamage(float amount);
    void onPlayerShot();
    void onIntervalPickupSpawn(uint32_t type);
    void onIntervalPickupLive(uint32_t type, float dt);
    void onIntervalPickupPick(uint32_t type);
    void onIntervalPickupLeave(uint32_t type);
    void onTimePickupSpawn(uint32_t type);
    void onTimePickupLive(uint32_t type, float dt);
    void onTimePickupPick(uint32_t type);
    void onTimePickupLeave(uint32_t type);
    void onAreaEnter(uint32_t area, uint32_t count);
    void onAreaLeave(uint32_t area, uint32_t count);
    void onAreaInside(uint32_t area, uint32_t count, float dt);
    // Scales a variable's start (which becomes its value) and both limits; nothing past the list.
    void scaleMechaVariable(uint32_t index, float factor);
    // 0.0 past the list.
    float getMechaValue(uint32_t index) const;

    float doubleTapWindow() const { return playSettings[DoubleTapWindow]; }
    float projFloatPitchRate() const { return playSettings[ProjFloatPitchRate]; }
    float projFloatClimbRate() const { return playSettings[VerticalFloatSpeed]; }
    float projFloatHeight() const { return playSettings[ProjFloatHeight]; }
    float turboTimeFactor() const { return playSettings[TurboTimeFactor]; }
    float ovniHoverHeight() const { return playSettings[OvniHoverHeight]; }
    float ovniHoverSpeed() const { return playSettings[VerticalFloatSpeed]; }

    // An empty name means the game has no bubble visual.
    const std::string& getBubbleMeshName() const { return bubbleMeshName; }
    std::string getPlayReactorName() const { return playReactorName; }
    std::string getSpawnRequestName() const { return spawnRequest.actorName; }
    void setSpawnRequestName(std::string name) { spawnRequest.actorName = std::move(name); }
    std::string getWeapArenaName() const { return WeapArena_Name; }
    std::string getWeaponIconName() const { return weaponIconName; }
    void setWeaponIconName(std::string name) { weaponIconName = std::move(name); }
    std::string getArrowStateName() const { return weaponArrowName; }
    void setWeaponArrowName(std::string name) { weaponArrowName = std::move(name); }
    void setResultCaption(std::string caption) { resultCaption = std::move(caption); }

    uint32_t numMechaVars() const { return static_cast<uint32_t>(mechaVars.size()); }
    uint32_t numOvniTypes() const { return static_cast<uint32_t>(ovniTypes.size()); }
    uint32_t numIntervalPickupTypes() const { return static_cast<uint32_t>(intervalPickupTypes.size()); }
    uint32_t numTimePickupTypes() const { return static_cast<uint32_t>(timePickupTypes.size()); }
    uint32_t numAreas() const { return static_cast<uint32_t>(areaRows.size()); }

    // Global play values of GPset.Dat. The turbo factor defaults to 1 so that a missing file
    // cannot freeze a vehicle in turbo; the others are 0 until read.
    std::array<float, PlaySettingCount> playSettings{0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

    // Mode settings, player and HP deltas (read per play by the rules).
    float killMultiplier = 1.0f;
    float BorderScale = 1.0f;
    uint32_t NumLives = 0;  // also the lives counter of the play
    float RespawnDelay = 0.0f;
    float MaxHP = 0.0f;
    float StartDamage = 0.0f;
    uint8_t MoveDisable = 0;
    uint8_t DodgeDisable = 0;
    uint8_t MainFDisable = 0;
    uint8_t SubFDisable = 0;
    uint8_t TurrTurnDisable = 0;
    uint8_t MoveFireDisable = 0;
    uint8_t StopFireDisable = 0;
    uint8_t MoveTTurnDisable = 0;
    uint8_t StopTTurnDisable = 0;
    float MoveMultiplyer = 1.0f;
    Ogre::Vector3 SpawnPos = Ogre::Vector3::ZERO;
    float SpawnYaw = 0.0f;
    uint8_t WeaponArena = 0;
    std::string WeapArena_Name;
    uint8_t WeapArena_InfAmmo = 0;
    float HP_TimeAff = 0.0f;
    float HP_ClearWave = 0.0f;
    float HP_PlayerShot = 0.0f;
    float HP_PlayerMoveM = 0.0f;
    float HP_PlayerStopT = 0.0f;

    std::string bubbleMeshName;
    SlowTimeBubble bubble;
    std::string playReactorName;
    SpawnRequest spawnRequest;

    // Mode tables; freed by clearArrays.
    std::vector<OvniSpawnType> ovniTypes;
    std::vector<PickupSpawnType> intervalPickupTypes;
    std::vector<PickupSpawnType> timePickupTypes;
    std::vector<std::vector<AreaMechaEffects>> areaRows;
    std::vector<MechaVariable> mechaVars;

    // Result and record table of the mode.
    uint8_t recordResult = 0;
    uint32_t tableIdx = 0;
    uint32_t MechIndx = 0;
    uint32_t tableOrder = 0;
    float tableDefVal = 0.0f;
    float bestRecordValue = 0.0f;
    uint8_t valueIsTime = 0;
    float resultValue = 0.0f;
    std::string weaponIconName;
    std::string weaponArrowName;
    std::string resultCaption = "Clear";

    // Per-play and per-frame values.
    float playTime = 0.0f;
    uint32_t playPhase = 0;  // PlayPhase: 4 mission info, 0 countdown, 1 playing, 2 cleared, 3 lost
    uint32_t killColour = 0;
    float rechargeFraction = 0.0f;  // reload fraction of the player's pick-up weapon, for the HUD
    float hpAccumulator = 0.0f;
    uint8_t turboStartRequest = 0;  // a turbo pickup was taken
    uint8_t turboHeld = 0;          // turbo active (set a second after the start request)
    uint8_t turboEndRequest = 0;    // the vehicle's turbo ran out
    uint8_t holdReleased = 0;
    uint8_t turboPickup = 0;
    uint8_t playerHit = 0;
    uint8_t healed = 0;
    uint8_t ammoChanged = 0;
    uint8_t weaponChanged = 0;
    uint8_t secondaryShot = 0;
    uint8_t killReported = 0;
};
