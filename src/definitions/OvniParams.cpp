#include "definitions/OvniParams.h"

namespace {
// The Ovni's own fields between the object fields and the part block.
template <class Self, class IO>
void ovniFields(Self& d, IO& io)
{
    io.value(d.TurMesh);
    io.value(d.TurPos);
    io.value(d.TurCannPos);
    io.value(d.HasTurret);
    io.value(d.TurTurnSpeed);
    io.value(d.IdleAnim);
    io.value(d.HitAnim);
    io.value(d.TurnAnim);
    io.value(d.TurnAnim_Mspd);
    io.value(d.TurnAnim_Tspd);
    io.value(d.TurAnim);
    io.value(d.IdleAnimSpd);
    io.value(d.Lev_Amplitude);
    io.value(d.Lev_Range);
    io.value(d.Lev_Offset);
    io.value(d.MoveType);
    io.value(d.MoveSpeed);
    io.value(d.MoveInterval);
    io.value(d.MoveDuration);
    io.list(d.Reactors, OvniParams::kMaxReactors, [](auto& r, auto& io) {
        io.value(r.Pos);
        io.value(r.Name);
    });
}
}  // namespace

OvniParams::OvniParams(const std::string& name) : AirObjParams(name, DefaultsOnly{}) { cacheLoaded_ = readCache(); }

bool OvniParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_), [](OvniParams& d, IniSource& ini) {
        readObjectIni(d, ini, 20000.0f);
        d.TurMesh = ini.text("Turret", "TurMesh");
        d.TurPos = ini.vec3("Turret", "TurPos");
        d.TurCannPos = ini.vec3("Turret", "TurCannPos");
        d.TurTurnSpeed = ini.real("Turret", "TurTurnSpeed");
        d.HasTurret = ini.flag("Turret", "HasTurret");
        d.IdleAnim = ini.text("Anim", "IdleAnim");
        d.TurAnim = ini.text("Turret", "TurAnim");  // the turret's animation sits with the turret
        d.HitAnim = ini.text("Anim", "HitAnim");
        d.IdleAnimSpd = ini.real("Anim", "IdleAnimSpd");
        d.TurnAnim = ini.text("Anim", "TurnAnim");
        d.TurnAnim_Mspd = ini.real("Anim", "TurnAnim_Mspd");
        d.TurnAnim_Tspd = ini.real("Anim", "TurnAnim_Tspd");
        d.Lev_Amplitude = ini.real("Levitation", "Lev_Amplitude");
        d.Lev_Range = ini.real("Levitation", "Lev_Range");
        d.Lev_Offset = ini.real("Levitation", "Lev_Offset");
        d.MoveType = ini.uint("Movement", "MoveType");
        d.MoveSpeed = ini.real("Movement", "MoveSpeed");
        d.MoveInterval = ini.real("Movement", "MoveInterval");
        d.MoveDuration = ini.real("Movement", "MoveDuration");
        std::vector<ReactorRecord> reactors(ini.count("Reactor", "Num_Reactors", kMaxReactors));
        for (uint32_t n = 1; n <= reactors.size(); ++n) {
            reactors[n - 1].Name = ini.text("Reactor", indexedKey("React_", n, "_Name"));
            reactors[n - 1].Pos = ini.vec3("Reactor", indexedKey("React_", n, "_Pos"));
        }
        d.Reactors = std::move(reactors);
        readSubObjIni(d, ini);
    });
}

bool OvniParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kTypeCode, [](OvniParams& d, CacheReader& in) {
        objectFields(d, in);
        ovniFields(d, in);
        subObjFields(d, in);
    });
}

bool OvniParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, kTypeCode, [](const OvniParams& d, CacheWriter& out) {
        objectFields(d, out);
        ovniFields(d, out);
        subObjFields(d, out);
    });
}

std::string OvniParams::getReactorName(uint32_t i) const { return i < Reactors.size() ? Reactors[i].Name : ""; }
