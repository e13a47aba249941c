#pragma once
// An Ovni, the hovering enemy of the waves: an air object plus a turret, animations, levitation,
// wandering and the reactors on its body.
#include "definitions/AirObjParams.h"

class OvniParams : public AirObjParams {
public:
    // Air objects and Ovni share the type code; the kind asked for chooses the class.
    static constexpr uint32_t kTypeCode = 4;
    static constexpr uint32_t kMaxReactors = 64;

    struct ReactorRecord {
        Ogre::Vector3 Pos = Ogre::Vector3::ZERO;
        std::string Name;
    };

    // Defaults, then the cache "<name>.ZVO" (read once, by this class).
    explicit OvniParams(const std::string& name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;

    uint32_t getNumReactors() const { return static_cast<uint32_t>(Reactors.size()); }
    std::string getIdleAnim() const { return IdleAnim; }
    std::string getTurAnim() const { return TurAnim; }
    std::string getHitAnim() const { return HitAnim; }
    std::string getTurnAnim() const { return TurnAnim; }
    // The reactor name of record i (from 0); "" for an index past the records.
    std::string getReactorName(uint32_t i) const;

    std::string TurMesh;
    Ogre::Vector3 TurPos = Ogre::Vector3::ZERO;
    Ogre::Vector3 TurCannPos = Ogre::Vector3::ZERO;
    bool HasTurret = false;
    float TurTurnSpeed = 0.0f;
    std::string IdleAnim;
    std::string HitAnim;
    std::string TurnAnim;
    float TurnAnim_Mspd = 0.0f;
    float TurnAnim_Tspd = 0.0f;
    std::string TurAnim;
    float IdleAnimSpd = 0.0f;
    float Lev_Amplitude = 0.0f;
    float Lev_Range = 0.0f;
    float Lev_Offset = 0.0f;
    uint32_t MoveType = 0;  // 1 wanders in intervals; other values do not wander
    float MoveSpeed = 0.0f;
    float MoveInterval = 0.0f;
    float MoveDuration = 0.0f;
    std::vector<ReactorRecord> Reactors;  // "Num_Reactors" of them

    // Run-time only: the 1-based place of this type in the mode's Ovni list, 0 until the rules set it.
    uint32_t ovniType = 0;
};
