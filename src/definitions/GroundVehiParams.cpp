#include "definitions/GroundVehiParams.h"

namespace {
// The vehicle's own fields between the object fields and the part block.
template <class Self, class IO>
void vehicleFields(Self& d, IO& io)
{
    io.value(d.AccelerationRate);
    io.value(d.DeccelerationRate);
    io.value(d.BrakeRate);
    io.value(d.MaxVelocity);
    io.value(d.TurnRate);
    io.value(d.RevRate);
    io.value(d.RevEnableSpeed);
    io.value(d.hasTurret);
    io.value(d.TurretMesh);
    io.value(d.TurretPos);
    io.value(d.TurretSpeed);
    io.value(d.CannonPos);
    io.value(d.HardPointPos);
    io.value(d.JumpDashRange);
    io.value(d.JumpDashRefreshTime);
    io.value(d.JumpDashJumpTime);
    io.value(d.JumpDashVerticalJump);
    io.value(d.JumpDashOverDPerc);
    io.value(d.BaseRollPerc);
    io.value(d.BasePitchPerc);
    io.value(d.BaseRollSpd);
    io.value(d.BasePitchSpd);
    io.value(d.md_DashPitch);
    io.value(d.md_PicthSpd);
    io.value(d.md_TurnRoll);
    io.value(d.md_RollSpd);
    io.list(d.Treads, GroundVehiParams::kMaxTreads, [](auto& tread, auto& io) {
        io.value(tread.Pos);
        io.value(tread.Mesh);
        // A wheel is stored radius first.
        io.list(tread.Wheels, GroundVehiParams::kMaxWheels, [](auto& wheel, auto& io) {
            io.value(wheel.wRaio);
            io.value(wheel.Pos);
        });
    });
    io.value(d.CollPointFLeft);
    io.value(d.CollPointBRight);
    io.value(d.Tur_TurnAmim);
    io.value(d.Tur_TurnAmim_spd);
    io.value(d.Tur_FireAnim);
    io.value(d.Base_TurnAnim);
    io.value(d.Base_TurnAmim_spd);
    io.value(d.Base_AccAmim);
    io.value(d.Base_AccAmim_spd);
    io.value(d.Move_reactor);
    io.value(d.Move_Re_Pos);
    io.value(d.Dash_reactor);
    io.value(d.Dash_Re_Pos);
    io.value(d.DashJumpEff);
    io.value(d.MinPowerDash);
    io.value(d.CrashSound);
    io.value(d.DashSound);
    io.value(d.EngineSound);
    io.value(d.TreadMatName);
    io.value(d.TreadMatMovVar);
    io.value(d.TreadMatTurnVar);
}

void readTreadsIni(GroundVehiParams& d, IniSource& ini)
{
    const uint32_t count = ini.count("Wheels", "NumTreads", GroundVehiParams::kMaxTreads);
    std::vector<GroundVehiParams::TreadRecord> treads(count);
    for (uint32_t n = 1; n <= count; ++n) {
        GroundVehiParams::TreadRecord& tread = treads[n - 1];
        const std::string prefix = indexedKey("Tread_", n);
        tread.Mesh = ini.text("Wheels", prefix + "_Mesh");
        tread.Pos = ini.vec3("Wheels", prefix + "_Pos");
        tread.Wheels.resize(ini.count("Wheels", prefix + "_NumWheels", GroundVehiParams::kMaxWheels));
        for (uint32_t m = 1; m <= tread.Wheels.size(); ++m) {
            const std::string wheel = prefix + indexedKey("_Wheel_", m);
            tread.Wheels[m - 1].Pos = ini.vec2("Wheels", wheel + "_Pos");
            tread.Wheels[m - 1].wRaio = ini.real("Wheels", wheel + "_wRaio");
        }
    }
    d.Treads = std::move(treads);
}
}  // namespace

GroundVehiParams::GroundVehiParams(const std::string& name) : GroundObjParams(name, DefaultsOnly{})
{
    cacheLoaded_ = readCache();
}

bool GroundVehiParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_), [](GroundVehiParams& d, IniSource& ini) {
        readObjectIni(d, ini, 5000.0f);
        d.AccelerationRate = ini.real("Specs", "AccelerationRate");
        d.DeccelerationRate = ini.real("Specs", "DeccelerationRate");
        d.BrakeRate = ini.real("Specs", "BrakeRate");
        d.MaxVelocity = ini.real("Specs", "MaxVelocity");
        d.TurnRate = ini.real("Specs", "TurnRate");
        d.TurretSpeed = ini.real("Specs", "TurretSpeed");
        d.RevRate = ini.real("Specs", "RevRate");
        d.JumpDashRange = ini.real("Specs", "JumpDashRange");
        d.JumpDashRefreshTime = ini.real("Specs", "JumpDashRefreshTime");
        d.JumpDashJumpTime = ini.real("Specs", "JumpDashJumpTime");
        d.JumpDashVerticalJump = ini.real("Specs", "JumpDashVerticalJump");
        d.JumpDashOverDPerc = ini.real("Specs", "JumpDashOverDPerc");
        d.RevEnableSpeed = ini.real("Specs", "RevEnableSpeed");
        readTreadsIni(d, ini);
        d.hasTurret = ini.flag("Turret", "hasTurret");
        d.TurretMesh = ini.text("Turret", "TurretMesh");
        d.TurretPos = ini.vec3("Turret", "TurretPos");
        d.CannonPos = ini.vec3("Turret", "CannonPos");
        d.HardPointPos = ini.vec3("Turret", "HardPointPos");
        d.BaseRollPerc = ini.real("Terrain", "BaseRollPerc");
        d.BasePitchPerc = ini.real("Terrain", "BasePitchPerc");
        d.BaseRollSpd = ini.real("Terrain", "BaseRollSpd");
        d.BasePitchSpd = ini.real("Terrain", "BasePitchSpd");
        d.CollPointFLeft = ini.vec3("Colision", "CollPointFLeft");
        d.CollPointBRight = ini.vec3("Colision", "CollPointBRight");
        d.md_DashPitch = ini.real("MoveDynamics", "md_DashPitch");
        d.md_PicthSpd = ini.real("MoveDynamics", "md_PicthSpd");
        d.md_TurnRoll = ini.real("MoveDynamics", "md_TurnRoll");
        d.md_RollSpd = ini.real("MoveDynamics", "md_RollSpd");
        d.TreadMatName = ini.text("TreadMat", "TreadMatName");
        d.TreadMatMovVar = ini.real("TreadMat", "TreadMatMovVar");
        d.TreadMatTurnVar = ini.real("TreadMat", "TreadMatTurnVar");
        d.Tur_TurnAmim = ini.text("Amim", "Tur_TurnAmim");
        d.Tur_TurnAmim_spd = ini.real("Amim", "Tur_TurnAmim_spd");
        d.Tur_FireAnim = ini.text("Amim", "Tur_FireAnim");
        d.Base_TurnAnim = ini.text("Amim", "Base_TurnAnim");
        d.Base_TurnAmim_spd = ini.real("Amim", "Base_TurnAmim_spd");
        d.Base_AccAmim = ini.text("Amim", "Base_AccAmim");
        d.Base_AccAmim_spd = ini.real("Amim", "Base_AccAmim_spd");
        d.Move_reactor = ini.text("Reactor", "Move_reactor");
        d.Move_Re_Pos = ini.vec3("Reactor", "Move_Re_Pos");
        d.Dash_reactor = ini.text("Reactor", "Dash_reactor");
        d.Dash_Re_Pos = ini.vec3("Reactor", "Dash_Re_Pos");
        d.DashJumpEff = ini.text("Effect", "DashJumpEff");
        d.MinPowerDash = ini.real("Effect", "MinPowerDash");
        d.CrashSound = ini.text("Sounds", "CrashSound");
        d.DashSound = ini.text("Sounds", "DashSound");
        d.EngineSound = ini.text("Sounds", "EngineSound");
        readSubObjIni(d, ini);
    });
}

bool GroundVehiParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kTypeCode, [](GroundVehiParams& d, CacheReader& in) {
        objectFields(d, in);
        vehicleFields(d, in);
        subObjFields(d, in);
    });
}

bool GroundVehiParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, kTypeCode, [](const GroundVehiParams& d, CacheWriter& out) {
        objectFields(d, out);
        vehicleFields(d, out);
        subObjFields(d, out);
    });
}

uint32_t GroundVehiParams::mapCode(uint32_t code) const
{
    switch (code) {
    case 1: return 22;
    case 2: return 23;
    case 3: return 25;
    case 4: return 26;
    case 5: return 27;
    case 6: return 28;
    default: return 29;
    }
}

std::string GroundVehiParams::getTreadMesh(uint32_t i) const { return i < Treads.size() ? Treads[i].Mesh : ""; }
