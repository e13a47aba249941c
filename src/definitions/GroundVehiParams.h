#pragma once
// A ground vehicle (the player's and the enemies'): a ground object plus its drive model, dash,
// treads with wheels, turret, terrain tilt, body motion, animations, reactors and sounds.
#include "definitions/GroundObjParams.h"

class GroundVehiParams : public GroundObjParams {
public:
    static constexpr uint32_t kTypeCode = 3;
    static constexpr uint32_t kMaxTreads = 32;
    static constexpr uint32_t kMaxWheels = 64;  // per tread

    struct WheelRecord {
        Ogre::Vector2 Pos = Ogre::Vector2::ZERO;  // x along the tread, y the height
        float wRaio = 0.0f;                       // radius
    };
    struct TreadRecord {
        Ogre::Vector3 Pos = Ogre::Vector3::ZERO;
        std::vector<WheelRecord> Wheels;
        std::string Mesh;
        uint32_t getNumWheels() const { return static_cast<uint32_t>(Wheels.size()); }
    };

    // Defaults, then the cache "<name>.ZVO" (read once, by this class).
    explicit GroundVehiParams(const std::string& name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;
    // 1 22, 2 23, 3 25, 4 26, 5 27, 6 28, anything else 29.
    uint32_t mapCode(uint32_t code) const override;

    uint32_t getNumTreads() const { return static_cast<uint32_t>(Treads.size()); }
    // The mesh of tread i (from 0); "" for an index past the treads.
    std::string getTreadMesh(uint32_t i) const;
    std::string getTurretMesh() const { return TurretMesh; }
    std::string getTurTurnAnim() const { return Tur_TurnAmim; }
    std::string getTurFireAnim() const { return Tur_FireAnim; }
    std::string getBaseTurnAnim() const { return Base_TurnAnim; }
    std::string getBaseAccAnim() const { return Base_AccAmim; }
    std::string getMoveReactor() const { return Move_reactor; }
    std::string getDashReactor() const { return Dash_reactor; }
    std::string getDashJumpEffect() const { return DashJumpEff; }
    std::string getCrashSound() const { return CrashSound; }
    std::string getDashSound() const { return DashSound; }
    std::string getEngineSound() const { return EngineSound; }
    std::string getTreadMatName() const { return TreadMatName; }

    float AccelerationRate = 0.0f;
    float DeccelerationRate = 0.0f;
    float BrakeRate = 0.0f;
    float MaxVelocity = 0.0f;
    float TurnRate = 0.0f;
    float RevRate = 0.0f;
    float RevEnableSpeed = 0.0f;
    bool hasTurret = false;
    std::string TurretMesh;
    Ogre::Vector3 TurretPos = Ogre::Vector3::ZERO;
    float TurretSpeed = 0.0f;
    Ogre::Vector3 CannonPos = Ogre::Vector3::ZERO;
    Ogre::Vector3 HardPointPos = Ogre::Vector3::ZERO;
    float JumpDashRange = 0.0f;
    float JumpDashRefreshTime = 0.0f;
    float JumpDashJumpTime = 0.0f;
    float JumpDashVerticalJump = 0.0f;
    float JumpDashOverDPerc = 0.0f;
    float BaseRollPerc = 0.0f;
    float BasePitchPerc = 0.0f;
    float BaseRollSpd = 0.0f;
    float BasePitchSpd = 0.0f;
    float md_DashPitch = 0.0f;
    float md_PicthSpd = 0.0f;
    float md_TurnRoll = 0.0f;
    float md_RollSpd = 0.0f;
    std::vector<TreadRecord> Treads;  // "NumTreads" of them
    Ogre::Vector3 CollPointFLeft = Ogre::Vector3::ZERO;
    Ogre::Vector3 CollPointBRight = Ogre::Vector3::ZERO;
    std::string Tur_TurnAmim;
    float Tur_TurnAmim_spd = 0.0f;
    std::string Tur_FireAnim;
    std::string Base_TurnAnim;
    float Base_TurnAmim_spd = 0.0f;
    std::string Base_AccAmim;
    float Base_AccAmim_spd = 0.0f;
    std::string Move_reactor;
    Ogre::Vector3 Move_Re_Pos = Ogre::Vector3::ZERO;
    std::string Dash_reactor;
    Ogre::Vector3 Dash_Re_Pos = Ogre::Vector3::ZERO;
    std::string DashJumpEff;
    float MinPowerDash = 0.0f;
    std::string CrashSound;
    std::string DashSound;
    std::string EngineSound;
    std::string TreadMatName;
    float TreadMatMovVar = 0.0f;
    float TreadMatTurnVar = 0.0f;
};
