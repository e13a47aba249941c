// The mode data of GamePlayData: the settings, player and mechanics sections, the event rows
// and the record table of a mode's rules file (.ini and cache blocks), the spawn tables, and
// the mecha events that change the variables.
#include "core/GamePlayData.h"

#include "core/BinaryIO.h"
#include "core/ModeFileFields.h"
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

template <class Self, class IO>
void GamePlayData::settingsFields(Self& d, IO& io)
{
    io.section(kSettings);
    io.uint("NumLives", d.NumLives);
    io.wholeSeconds("RespawnDelay", d.RespawnDelay);
    // Where the player stands and how big the arena is: the cache refuses NaN, an infinity or a
    // huge value, which would reach the scene graph's bounds as damage.
    io.place("BorderScale", d.BorderScale);
    if constexpr (IO::kReading)
        if (d.BorderScale == 0.0f)
            d.BorderScale = 1.0f;

    io.section(kPlayer);
    io.real("MaxHP", d.MaxHP);
    io.real("StartDamage", d.StartDamage);
    io.flag("MoveDisable", d.MoveDisable);
    io.flag("DodgeDisable", d.DodgeDisable);
    io.flag("MainFDisable", d.MainFDisable);
    io.flag("SubFDisable", d.SubFDisable);
    io.flag("TurrTurnDisable", d.TurrTurnDisable);
    io.flag("MoveFireDisable", d.MoveFireDisable);
    io.flag("StopFireDisable", d.StopFireDisable);
    io.flag("MoveTTurnDisable", d.MoveTTurnDisable);
    io.flag("StopTTurnDisable", d.StopTTurnDisable);
    io.place("MoveMultiplyer", d.MoveMultiplyer);
    if constexpr (IO::kFromIni)
        if (d.MoveMultiplyer == 0.0f)
            d.MoveMultiplyer = 1.0f;
    io.place("SpawnPos", d.SpawnPos);
    io.place("SpawnYaw", d.SpawnYaw);
    io.flag("WeaponArena", d.WeaponArena);
    io.text("WeapArena_Name", d.WeapArena_Name);
    io.flag("WeapArena_InfAmmo", d.WeapArena_InfAmmo);

    io.section(kMechanics);
    modefile::list(io, "NumMechaVars", d.mechaVars, kMaxModeList, [&io](auto& v, uint32_t k) {
        io.real(mechaKey(k, "_Start"), v.Start);
        io.real(mechaKey(k, "_DefA"), v.DefA);
        io.real(mechaKey(k, "_DefB"), v.DefB);
        io.flag(mechaKey(k, "_Multiply"), v.Multiply);
        io.real(mechaKey(k, "_TimeAff"), v.TimeAff);
        io.real(mechaKey(k, "_ClearWave"), v.ClearWave);
        io.real(mechaKey(k, "_PlayerHit"), v.PlayerHit);
        io.real(mechaKey(k, "_PlayerDamage"), v.PlayerDamage);
        io.real(mechaKey(k, "_PlayerShot"), v.PlayerShot);
        io.real(mechaKey(k, "_PlayerMoveM"), v.PlayerMoveM);
        io.real(mechaKey(k, "_PlayerStopT"), v.PlayerStopT);
        io.flag(mechaKey(k, "_DefLimiter"), v.DefLimiter);
        if constexpr (IO::kReading) {
            v.value = v.Start;
            v.changed = 0;
        }
        return true;
    });
    io.real("HP_TimeAff", d.HP_TimeAff);
    io.real("HP_ClearWave", d.HP_ClearWave);
    io.real("HP_PlayerShot", d.HP_PlayerShot);
    io.real("HP_PlayerMoveM", d.HP_PlayerMoveM);
    io.real("HP_PlayerStopT", d.HP_PlayerStopT);
}

// ---- event rows ----

namespace {
// Each type's rows: one per mecha variable and one for the hit points. Readers size them by the
// variables read before; the writer keeps what is there.
template <class IO, class Types, class Fields>
void typeRows(IO&, Types& types, uint32_t rows, Fields&& fields)
{
    for (uint32_t t = 0; t < types.size(); ++t) {
        auto& type = types[t];
        if constexpr (IO::kReading)
            type.rows.assign(rows, typename std::decay_t<decltype(type.rows)>::value_type{});
        for (uint32_t m = 0; m < type.rows.size(); ++m)
            fields(type.rows[m], t + 1, m + 1);
    }
}

template <class IO, class Types>
void pickupRows(IO& io, const char* section, Types& types, uint32_t rows)
{
    io.section(section);
    typeRows(io, types, rows, [&io](auto& r, uint32_t t, uint32_t m) {
        io.real(rowKey("Pick_", t, "_Mecha_", m, "_Spawn"), r.Spawn);
        io.real(rowKey("Pick_", t, "_Mecha_", m, "_Live"), r.Live);
        io.real(rowKey("Pick_", t, "_Mecha_", m, "_Pick"), r.Pick);
        io.real(rowKey("Pick_", t, "_Mecha_", m, "_Leave"), r.Leave);
    });
}
}  // namespace

template <class Self, class IO>
void GamePlayData::ovniEventFields(Self& d, IO& io)
{
    io.section(kOvni);
    typeRows(io, d.ovniTypes, d.numMechaVars() + 1, [&io](auto& r, uint32_t t, uint32_t m) {
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_Spawn"), r.Spawn);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_Live"), r.Live);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_pKill"), r.pKill);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_eKill"), r.eKill);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_Leave"), r.Leave);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_Hit"), r.Hit);
        io.real(rowKey("Ovni_", t, "_Mecha_", m, "_Damage"), r.Damage);
    });
}

template <class Self, class IO>
void GamePlayData::intervalPickupEventFields(Self& d, IO& io)
{
    pickupRows(io, kIntervalPickups, d.intervalPickupTypes, d.numMechaVars() + 1);
}

template <class Self, class IO>
void GamePlayData::timePickupEventFields(Self& d, IO& io)
{
    pickupRows(io, kTimePickups, d.timePickupTypes, d.numMechaVars() + 1);
}

template <class Self, class IO>
void GamePlayData::areaEventFields(Self& d, IO& io)
{
    io.section(kTrigArea);
    uint32_t areas = d.numAreas();
    io.count("NumAreas", areas, kMaxModeList);
    if constexpr (IO::kReading) {
        // No areas leaves the rows of an earlier read as they were.
        if (areas == 0)
            return;
        d.areaRows.assign(areas, std::vector<AreaMechaEffects>(d.numMechaVars() + 1));
    }
    for (uint32_t a = 0; a < d.areaRows.size(); ++a)
        for (uint32_t m = 0; m < d.areaRows[a].size(); ++m) {
            auto& r = d.areaRows[a][m];
            io.real(rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Enter"), r.Enter);
            io.real(rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Leave"), r.Leave);
            io.real(rowKey("TArea_", a + 1, "_MechaVar_", m + 1, "_Inside"), r.Inside);
        }
}

// ---- record table ----

template <class Self, class IO>
void GamePlayData::recordTableFields(Self& d, IO& io)
{
    io.section(kRecordTable);
    io.uint("TableIdx", d.tableIdx);
    io.uint("MechIndx", d.MechIndx);
    io.uint("Table_Order", d.tableOrder);
    io.real("Table_DefVal", d.tableDefVal);
    io.flag("Table_ValIsTime", d.valueIsTime);
    if constexpr (IO::kReading) {
        if (d.MechIndx > d.numMechaVars())
            d.MechIndx = 0;
        d.openRecordFile();
    }
}

// ---- the three streams over each section ----

MODE_FILE_SECTION(GamePlayData, Settings, settingsFields)
MODE_FILE_SECTION(GamePlayData, OvniEvents, ovniEventFields)
MODE_FILE_SECTION(GamePlayData, IntervalPickupEvents, intervalPickupEventFields)
MODE_FILE_SECTION(GamePlayData, TimePickupEvents, timePickupEventFields)
MODE_FILE_SECTION(GamePlayData, AreaEvents, areaEventFields)
MODE_FILE_SECTION(GamePlayData, RecordTable, recordTableFields)

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
