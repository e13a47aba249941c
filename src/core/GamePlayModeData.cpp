// The mode data of GamePlayData: the settings, player and mechanics sections, the event rows
// and the record table of a mode's rules file (.ini and cache blocks), the spawn tables, and
// the mecha events that change the variables.
#include "core/GamePlayData.h"

#include "core/BinaryIO.h"
#include "definitions/DefinitionCache.h"

namespace {

const char* const kSettings = "SETINGS";
const char* const kPlayer = "PLAYER";
const char* const kMechanics = "MECHANICS";
const char* const kOvni = "OVNI";
const char* const kIntervalPickups = "INTERVAL_PICKUPS";
const char* const kTimePickups = "TIME_PICKUPS";
const char* const kRecordTable = "RECORD_TABLE";
const char* const kTrigArea = "TrigArea";

std::string modeIniPath(const std::string& mode) { return "../../Data/GamePlay/" + mode + ".ini"; }

void openModeIni(IniSource& ini, const std::string& mode) { ini.loadOrThrow(modeIniPath(mode)); }

// When an event marks a variable as changed.
enum class FlagTest { Never, NonZero, Positive };

bool passes(FlagTest test, float v)
{
    switch (test) {
    case FlagTest::NonZero:
        return v != 0.0f;
    case FlagTest::Positive:
        return v > 0.0f;
    default:
        return false;
    }
}

std::string mechaKey(uint32_t n, const char* suffix) { return indexedKey("MechaVar_", n, suffix); }

// "<prefix><t>_Mecha_<m>_<field>" and the like.
std::string rowKey(const char* prefix, uint32_t t, const char* middle, uint32_t m, const char* field)
{
    return indexedKey(prefix, t, middle) + std::to_string(m) + field;
}

template <class Row>
void readPickupRowsIni(IniSource& ini, const char* section, std::vector<PickupSpawnType>& types, uint32_t rows)
{
    for (uint32_t t = 0; t < types.size(); ++t) {
        types[t].rows.assign(rows, Row{});
        for (uint32_t m = 0; m < rows; ++m) {
            Row& r = types[t].rows[m];
            r.Spawn = ini.real(section, rowKey("Pick_", t + 1, "_Mecha_", m + 1, "_Spawn"));
            r.Live = ini.real(section, rowKey("Pick_", t + 1, "_Mecha_", m + 1, "_Live"));
            r.Pick = ini.real(section, rowKey("Pick_", t + 1, "_Mecha_", m + 1, "_Pick"));
            r.Leave = ini.real(section, rowKey("Pick_", t + 1, "_Mecha_", m + 1, "_Leave"));
        }
    }
}

void readPickupRowsCache(BinaryReader& in, std::vector<PickupSpawnType>& types, uint32_t rows)
{
    for (PickupSpawnType& type : types) {
        type.rows.assign(rows, PickupMechaEffects{});
        for (PickupMechaEffects& r : type.rows) {
            in.readF32(r.Spawn);
            in.readF32(r.Live);
            in.readF32(r.Pick);
            in.readF32(r.Leave);
        }
    }
}

void writePickupRowsCache(BinaryWriter& out, const std::vector<PickupSpawnType>& types)
{
    for (const PickupSpawnType& type : types)
        for (const PickupMechaEffects& r : type.rows) {
            out.writeF32(r.Spawn);
            out.writeF32(r.Live);
            out.writeF32(r.Pick);
            out.writeF32(r.Leave);
        }
}

template <class Type>
void recomputeWeights(std::vector<Type>& types)
{
    float total = 0.0f;
    for (const Type& t : types)
        if (t.spawnedCount < t.MaxSpawn)
            total += t.weight;
    for (Type& t : types) {
        // A zero total would give NaN weights; then nothing is weighted.
        if (t.spawnedCount < t.MaxSpawn && total != 0.0f)
            t.weight = t.weight * (1.0f / total);
        else
            t.weight = 0.0f;
    }
}

// One event of a type (or area): each variable gets its row's field times the factors, the HP
// accumulator the HP row's field times the same factors.
template <class Row>
void applyRowEvent(GamePlayData& d, const std::vector<Row>& rows, float Row::*field, float factors,
                   FlagTest test, float testFactor, bool multiplied)
{
    const uint32_t vars = d.numMechaVars();
    for (uint32_t i = 0; i < vars && i < rows.size(); ++i) {
        MechaVariable& v = d.mechaVars[i];
        float delta = rows[i].*field;
        if (multiplied && v.Multiply)
            delta *= d.killMultiplier;
        v.value += delta * factors;
        if (passes(test, rows[i].*field * testFactor))
            v.changed = 1;
    }
    if (rows.size() > vars)
        d.hpAccumulator += rows[vars].*field * factors;
}

// One event without a type: each variable's own field.
void applyVariableEvent(GamePlayData& d, float MechaVariable::*field, float factors, FlagTest test)
{
    for (MechaVariable& v : d.mechaVars) {
        v.value += v.*field * factors;
        if (passes(test, v.*field * factors))
            v.changed = 1;
    }
}

template <class Row>
const std::vector<Row>* rowsOf(const std::vector<std::vector<Row>>& all, uint32_t i)
{
    return i < all.size() ? &all[i] : nullptr;
}

}  // namespace

// ---- settings, player and mechanics ----

void GamePlayData::loadSettingsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadSettingsIni(ini);
}

void GamePlayData::loadSettingsIni(IniSource& ini)
{
    NumLives = ini.uint(kSettings, "NumLives");
    RespawnDelay = static_cast<float>(ini.uint(kSettings, "RespawnDelay"));
    BorderScale = ini.real(kSettings, "BorderScale");
    if (BorderScale == 0.0f)
        BorderScale = 1.0f;

    MaxHP = ini.real(kPlayer, "MaxHP");
    StartDamage = ini.real(kPlayer, "StartDamage");
    MoveDisable = ini.flag(kPlayer, "MoveDisable");
    DodgeDisable = ini.flag(kPlayer, "DodgeDisable");
    MainFDisable = ini.flag(kPlayer, "MainFDisable");
    SubFDisable = ini.flag(kPlayer, "SubFDisable");
    TurrTurnDisable = ini.flag(kPlayer, "TurrTurnDisable");
    MoveFireDisable = ini.flag(kPlayer, "MoveFireDisable");
    StopFireDisable = ini.flag(kPlayer, "StopFireDisable");
    MoveTTurnDisable = ini.flag(kPlayer, "MoveTTurnDisable");
    StopTTurnDisable = ini.flag(kPlayer, "StopTTurnDisable");
    MoveMultiplyer = ini.real(kPlayer, "MoveMultiplyer");
    if (MoveMultiplyer == 0.0f)
        MoveMultiplyer = 1.0f;
    SpawnPos = ini.vec3(kPlayer, "SpawnPos");
    SpawnYaw = ini.real(kPlayer, "SpawnYaw");
    WeaponArena = ini.flag(kPlayer, "WeaponArena");
    WeapArena_Name = ini.text(kPlayer, "WeapArena_Name");
    WeapArena_InfAmmo = ini.flag(kPlayer, "WeapArena_InfAmmo");

    const uint32_t n = ini.count(kMechanics, "NumMechaVars", kMaxModeList);
    mechaVars.assign(n, MechaVariable{});
    for (uint32_t k = 1; k <= n; ++k) {
        MechaVariable& v = mechaVars[k - 1];
        v.Start = ini.real(kMechanics, mechaKey(k, "_Start"));
        v.value = v.Start;
        v.DefA = ini.real(kMechanics, mechaKey(k, "_DefA"));
        v.DefB = ini.real(kMechanics, mechaKey(k, "_DefB"));
        v.Multiply = ini.flag(kMechanics, mechaKey(k, "_Multiply"));
        v.TimeAff = ini.real(kMechanics, mechaKey(k, "_TimeAff"));
        v.ClearWave = ini.real(kMechanics, mechaKey(k, "_ClearWave"));
        v.PlayerHit = ini.real(kMechanics, mechaKey(k, "_PlayerHit"));
        v.PlayerDamage = ini.real(kMechanics, mechaKey(k, "_PlayerDamage"));
        v.PlayerShot = ini.real(kMechanics, mechaKey(k, "_PlayerShot"));
        v.PlayerMoveM = ini.real(kMechanics, mechaKey(k, "_PlayerMoveM"));
        v.PlayerStopT = ini.real(kMechanics, mechaKey(k, "_PlayerStopT"));
        v.DefLimiter = ini.flag(kMechanics, mechaKey(k, "_DefLimiter"));
        v.changed = 0;
    }
    HP_TimeAff = ini.real(kMechanics, "HP_TimeAff");
    HP_ClearWave = ini.real(kMechanics, "HP_ClearWave");
    HP_PlayerShot = ini.real(kMechanics, "HP_PlayerShot");
    HP_PlayerMoveM = ini.real(kMechanics, "HP_PlayerMoveM");
    HP_PlayerStopT = ini.real(kMechanics, "HP_PlayerStopT");
}

namespace {
constexpr float kMaxPlaceReal = 1.0e6f;
}

void GamePlayData::readSettingsCache(BinaryReader& in)
{
    uint32_t delay = 0;
    in.readU32(NumLives);
    in.readU32(delay);
    RespawnDelay = static_cast<float>(delay);
    // Where the player stands and how big the arena is: NaN, an infinity or a huge value would
    // reach the scene graph's bounds as damage, so such a cache is refused.
    in.readFiniteF32(BorderScale, kMaxPlaceReal);
    if (BorderScale == 0.0f)
        BorderScale = 1.0f;
    in.readF32(MaxHP);
    in.readF32(StartDamage);
    for (uint8_t* flag : {&MoveDisable, &DodgeDisable, &MainFDisable, &SubFDisable, &TurrTurnDisable,
                          &MoveFireDisable, &StopFireDisable, &MoveTTurnDisable, &StopTTurnDisable})
        in.readU8(*flag);
    in.readFiniteF32(MoveMultiplyer, kMaxPlaceReal);
    in.readFiniteF32(SpawnPos.x, kMaxPlaceReal);
    in.readFiniteF32(SpawnPos.y, kMaxPlaceReal);
    in.readFiniteF32(SpawnPos.z, kMaxPlaceReal);
    in.readFiniteF32(SpawnYaw, kMaxPlaceReal);
    in.readU8(WeaponArena);
    WeapArena_Name = readBinString(in);
    in.readU8(WeapArena_InfAmmo);

    uint32_t n = 0;
    in.readCount(n, kMaxModeList);
    mechaVars.assign(n, MechaVariable{});
    for (MechaVariable& v : mechaVars) {
        in.readF32(v.Start);
        v.value = v.Start;
        in.readF32(v.DefA);
        in.readF32(v.DefB);
        in.readU8(v.Multiply);
        in.readF32(v.TimeAff);
        in.readF32(v.ClearWave);
        in.readF32(v.PlayerHit);
        in.readF32(v.PlayerDamage);
        in.readF32(v.PlayerShot);
        in.readF32(v.PlayerMoveM);
        in.readF32(v.PlayerStopT);
        in.readU8(v.DefLimiter);
        v.changed = 0;
    }
    in.readF32(HP_TimeAff);
    in.readF32(HP_ClearWave);
    in.readF32(HP_PlayerShot);
    in.readF32(HP_PlayerMoveM);
    in.readF32(HP_PlayerStopT);
}

void GamePlayData::writeSettingsCache(BinaryWriter& out) const
{
    out.writeU32(NumLives);
    out.writeU32(hitPointsToWord(RespawnDelay));  // whole seconds, saturating
    out.writeF32(BorderScale);
    out.writeF32(MaxHP);
    out.writeF32(StartDamage);
    for (uint8_t flag : {MoveDisable, DodgeDisable, MainFDisable, SubFDisable, TurrTurnDisable, MoveFireDisable,
                         StopFireDisable, MoveTTurnDisable, StopTTurnDisable})
        out.writeU8(flag);
    out.writeF32(MoveMultiplyer);
    out.writeF32(SpawnPos.x);
    out.writeF32(SpawnPos.y);
    out.writeF32(SpawnPos.z);
    out.writeF32(SpawnYaw);
    out.writeU8(WeaponArena);
    writeBinString(out, WeapArena_Name);
    out.writeU8(WeapArena_InfAmmo);
    out.writeU32(numMechaVars());
    for (const MechaVariable& v : mechaVars) {
        out.writeF32(v.Start);
        out.writeF32(v.DefA);
        out.writeF32(v.DefB);
        out.writeU8(v.Multiply);
        out.writeF32(v.TimeAff);
        out.writeF32(v.ClearWave);
        out.writeF32(v.PlayerHit);
        out.writeF32(v.PlayerDamage);
        out.writeF32(v.PlayerShot);
        out.writeF32(v.PlayerMoveM);
        out.writeF32(v.PlayerStopT);
        out.writeU8(v.DefLimiter);
    }
    out.writeF32(HP_TimeAff);
    out.writeF32(HP_ClearWave);
    out.writeF32(HP_PlayerShot);
    out.writeF32(HP_PlayerMoveM);
    out.writeF32(HP_PlayerStopT);
}

// ---- event rows ----

void GamePlayData::loadOvniEventsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadOvniEventsIni(ini);
}

void GamePlayData::loadOvniEventsIni(IniSource& ini)
{
    const uint32_t rows = numMechaVars() + 1;
    for (uint32_t t = 0; t < ovniTypes.size(); ++t) {
        ovniTypes[t].rows.assign(rows, OvniMechaEffects{});
        for (uint32_t m = 0; m < rows; ++m) {
            OvniMechaEffects& r = ovniTypes[t].rows[m];
            r.Spawn = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_Spawn"));
            r.Live = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_Live"));
            r.pKill = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_pKill"));
            r.eKill = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_eKill"));
            r.Leave = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_Leave"));
            r.Hit = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_Hit"));
            r.Damage = ini.real(kOvni, rowKey("Ovni_", t + 1, "_Mecha_", m + 1, "_Damage"));
        }
    }
}

void GamePlayData::readOvniEventsCache(BinaryReader& in)
{
    const uint32_t rows = numMechaVars() + 1;
    for (OvniSpawnType& type : ovniTypes) {
        type.rows.assign(rows, OvniMechaEffects{});
        for (OvniMechaEffects& r : type.rows)
            for (float* f : {&r.Spawn, &r.Live, &r.pKill, &r.eKill, &r.Leave, &r.Hit, &r.Damage})
                in.readF32(*f);
    }
}

void GamePlayData::writeOvniEventsCache(BinaryWriter& out) const
{
    for (const OvniSpawnType& type : ovniTypes)
        for (const OvniMechaEffects& r : type.rows)
            for (float f : {r.Spawn, r.Live, r.pKill, r.eKill, r.Leave, r.Hit, r.Damage})
                out.writeF32(f);
}

void GamePlayData::loadIntervalPickupEventsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadIntervalPickupEventsIni(ini);
}

void GamePlayData::loadIntervalPickupEventsIni(IniSource& ini)
{
    readPickupRowsIni<PickupMechaEffects>(ini, kIntervalPickups, intervalPickupTypes, numMechaVars() + 1);
}

void GamePlayData::readIntervalPickupEventsCache(BinaryReader& in)
{
    readPickupRowsCache(in, intervalPickupTypes, numMechaVars() + 1);
}

void GamePlayData::writeIntervalPickupEventsCache(BinaryWriter& out) const
{
    writePickupRowsCache(out, intervalPickupTypes);
}

void GamePlayData::loadTimePickupEventsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadTimePickupEventsIni(ini);
}

void GamePlayData::loadTimePickupEventsIni(IniSource& ini)
{
    readPickupRowsIni<PickupMechaEffects>(ini, kTimePickups, timePickupTypes, numMechaVars() + 1);
}

void GamePlayData::readTimePickupEventsCache(BinaryReader& in)
{
    readPickupRowsCache(in, timePickupTypes, numMechaVars() + 1);
}

void GamePlayData::writeTimePickupEventsCache(BinaryWriter& out) const
{
    writePickupRowsCache(out, timePickupTypes);
}

void GamePlayData::loadAreaEventsIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadAreaEventsIni(ini);
}

void GamePlayData::loadAreaEventsIni(IniSource& ini)
{
    const uint32_t areas = ini.count(kTrigArea, "NumAreas", kMaxModeList);
    if (areas == 0)
        return;
    const uint32_t rows = numMechaVars() + 1;
    areaRows.assign(areas, std::vector<AreaMechaEffects>(rows));
    for (uint32_t a = 0; a < areas; ++a)
        for (uint32_t m = 0; m < rows; ++m) {
            AreaMechaEffects& r = areaRows[a][m];
            r.Enter = ini.real(kTrigArea, rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Enter"));
            r.Leave = ini.real(kTrigArea, rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Leave"));
            r.Inside = ini.real(kTrigArea, rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Inside"));
        }
}

void GamePlayData::readAreaEventsCache(BinaryReader& in)
{
    uint32_t areas = 0;
    in.readCount(areas, kMaxModeList);
    if (areas == 0)
        return;
    areaRows.assign(areas, std::vector<AreaMechaEffects>(numMechaVars() + 1));
    for (auto& rows : areaRows)
        for (AreaMechaEffects& r : rows) {
            in.readF32(r.Enter);
            in.readF32(r.Leave);
            in.readF32(r.Inside);
        }
}

void GamePlayData::writeAreaEventsCache(BinaryWriter& out) const
{
    out.writeU32(numAreas());
    for (const auto& rows : areaRows)
        for (const AreaMechaEffects& r : rows) {
            out.writeF32(r.Enter);
            out.writeF32(r.Leave);
            out.writeF32(r.Inside);
        }
}

// ---- record table ----

void GamePlayData::loadRecordTableIni(const std::string& mode)
{
    IniSource ini;
    openModeIni(ini, mode);
    loadRecordTableIni(ini);
}

void GamePlayData::loadRecordTableIni(IniSource& ini)
{
    tableIdx = ini.uint(kRecordTable, "TableIdx");
    MechIndx = ini.uint(kRecordTable, "MechIndx");
    tableOrder = ini.uint(kRecordTable, "Table_Order");
    tableDefVal = ini.real(kRecordTable, "Table_DefVal");
    valueIsTime = ini.flag(kRecordTable, "Table_ValIsTime");
    if (MechIndx > numMechaVars())
        MechIndx = 0;
    openRecordFile();
}

void GamePlayData::readRecordTableCache(BinaryReader& in)
{
    in.readU32(tableIdx);
    in.readU32(MechIndx);
    in.readU32(tableOrder);
    in.readF32(tableDefVal);
    in.readU8(valueIsTime);
    if (MechIndx > numMechaVars())
        MechIndx = 0;
    openRecordFile();
}

void GamePlayData::writeRecordTableCache(BinaryWriter& out) const
{
    out.writeU32(tableIdx);
    out.writeU32(MechIndx);
    out.writeU32(tableOrder);
    out.writeF32(tableDefVal);
    out.writeU8(valueIsTime);
}

void GamePlayData::openRecordFile()
{
    if (MechIndx == 0 || tableIdx == 0)
        return;
    BinaryReader in;
    bestRecordValue = 0.0f;
    if (!in.open("Data" + std::to_string(tableIdx) + ".dat"))
        return;
    readBinString(in);
    float best = 0.0f;
    // A file cut short keeps 0.0 rather than a half-read value.
    if (in.readF32(best))
        bestRecordValue = best;
}

// ---- spawn tables ----

void GamePlayData::resizeOvniTypes(uint32_t n) { ovniTypes.assign(n, OvniSpawnType{}); }
void GamePlayData::resizeIntervalPickupTypes(uint32_t n) { intervalPickupTypes.assign(n, PickupSpawnType{}); }
void GamePlayData::resizeTimePickupTypes(uint32_t n) { timePickupTypes.assign(n, PickupSpawnType{}); }
void GamePlayData::recomputeOvniWeights() { recomputeWeights(ovniTypes); }
void GamePlayData::recomputeIntervalPickupWeights() { recomputeWeights(intervalPickupTypes); }
void GamePlayData::recomputeTimePickupWeights() { recomputeWeights(timePickupTypes); }

// ---- mecha events ----

namespace {
const std::vector<OvniMechaEffects>* ovniRows(const GamePlayData& d, uint32_t type)
{
    return type < d.ovniTypes.size() ? &d.ovniTypes[type].rows : nullptr;
}
const std::vector<PickupMechaEffects>* pickupRows(const std::vector<PickupSpawnType>& list, uint32_t type)
{
    return type < list.size() ? &list[type].rows : nullptr;
}
}  // namespace

void GamePlayData::applyTimeEffects(float dt) { applyVariableEvent(*this, &MechaVariable::TimeAff, dt, FlagTest::Never); }

void GamePlayData::onOvniSpawn(uint32_t type)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::Spawn, 1.0f, FlagTest::NonZero, 1.0f, true);
}

void GamePlayData::onOvniLive(uint32_t type, float dt)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::Live, dt, FlagTest::Never, 1.0f, true);
}

void GamePlayData::onOvniPlayerKill(uint32_t type)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::pKill, 1.0f, FlagTest::NonZero, 1.0f, true);
}

void GamePlayData::onOvniEnemyKill(uint32_t type)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::eKill, 1.0f, FlagTest::NonZero, 1.0f, true);
}

void GamePlayData::onOvniLeave(uint32_t type)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::Leave, 1.0f, FlagTest::NonZero, 1.0f, true);
}

void GamePlayData::onOvniHit(uint32_t type)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::Hit, 1.0f, FlagTest::NonZero, 1.0f, true);
}

void GamePlayData::onOvniDamage(uint32_t type, float amount)
{
    if (auto rows = ovniRows(*this, type))
        applyRowEvent(*this, *rows, &OvniMechaEffects::Damage, amount, FlagTest::NonZero, amount, true);
}

void GamePlayData::clearChangedFlags()
{
    for (MechaVariable& v : mechaVars)
        v.changed = 0;
}

void GamePlayData::applyClearWave()
{
    applyVariableEvent(*this, &MechaVariable::ClearWave, 1.0f, FlagTest::NonZero);
    hpAccumulator += HP_ClearWave;
}

void GamePlayData::applyPlayerMove(float speed, float dt)
{
    applyVariableEvent(*this, &MechaVariable::PlayerMoveM, speed * dt, FlagTest::Never);
    hpAccumulator += HP_PlayerMoveM * speed * dt;
}

void GamePlayData::applyPlayerStop(float dt)
{
    applyVariableEvent(*this, &MechaVariable::PlayerStopT, dt, FlagTest::Never);
    hpAccumulator += HP_PlayerStopT * dt;
}

void GamePlayData::onPlayerHit() { applyVariableEvent(*this, &MechaVariable::PlayerHit, 1.0f, FlagTest::NonZero); }

void GamePlayData::onPlayerDamage(float amount)
{
    applyVariableEvent(*this, &MechaVariable::PlayerDamage, amount, FlagTest::NonZero);
}

void GamePlayData::onPlayerShot()
{
    applyVariableEvent(*this, &MechaVariable::PlayerShot, 1.0f, FlagTest::NonZero);
    hpAccumulator += HP_PlayerShot;
}

void GamePlayData::onIntervalPickupSpawn(uint32_t type)
{
    if (auto rows = pickupRows(intervalPickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Spawn, 1.0f, FlagTest::NonZero, 1.0f, false);
}

void GamePlayData::onIntervalPickupLive(uint32_t type, float dt)
{
    if (auto rows = pickupRows(intervalPickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Live, dt, FlagTest::Never, 1.0f, false);
}

void GamePlayData::onIntervalPickupPick(uint32_t type)
{
    if (auto rows = pickupRows(intervalPickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Pick, 1.0f, FlagTest::Positive, 1.0f, false);
}

void GamePlayData::onIntervalPickupLeave(uint32_t type)
{
    if (auto rows = pickupRows(intervalPickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Leave, 1.0f, FlagTest::Positive, 1.0f, false);
}

void GamePlayData::onTimePickupSpawn(uint32_t type)
{
    if (auto rows = pickupRows(timePickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Spawn, 1.0f, FlagTest::Positive, 1.0f, false);
}

void GamePlayData::onTimePickupLive(uint32_t type, float dt)
{
    if (auto rows = pickupRows(timePickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Live, dt, FlagTest::Never, 1.0f, false);
}

void GamePlayData::onTimePickupPick(uint32_t type)
{
    if (auto rows = pickupRows(timePickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Pick, 1.0f, FlagTest::Positive, 1.0f, false);
}

void GamePlayData::onTimePickupLeave(uint32_t type)
{
    if (auto rows = pickupRows(timePickupTypes, type))
        applyRowEvent(*this, *rows, &PickupMechaEffects::Leave, 1.0f, FlagTest::Positive, 1.0f, false);
}

void GamePlayData::onAreaEnter(uint32_t area, uint32_t count)
{
    if (auto rows = rowsOf(areaRows, area))
        applyRowEvent(*this, *rows, &AreaMechaEffects::Enter, static_cast<float>(count), FlagTest::Positive,
                      1.0f, false);
}

void GamePlayData::onAreaLeave(uint32_t area, uint32_t count)
{
    if (auto rows = rowsOf(areaRows, area))
        applyRowEvent(*this, *rows, &AreaMechaEffects::Leave, static_cast<float>(count), FlagTest::Positive,
                      1.0f, false);
}

void GamePlayData::onAreaInside(uint32_t area, uint32_t count, float dt)
{
    if (auto rows = rowsOf(areaRows, area))
        applyRowEvent(*this, *rows, &AreaMechaEffects::Inside, static_cast<float>(count) * dt, FlagTest::Never,
                      1.0f, false);
}

void GamePlayData::scaleMechaVariable(uint32_t index, float factor)
{
    if (index >= mechaVars.size())
        return;
    MechaVariable& v = mechaVars[index];
    v.Start *= factor;
    v.value = v.Start;
    v.DefA *= factor;
    v.DefB *= factor;
}

float GamePlayData::getMechaValue(uint32_t index) const
{
    return index < mechaVars.size() ? mechaVars[index].value : 0.0f;
}
