#pragma once
// Base of the game-object definitions (ground objects, ground vehicles, air objects, Ovni) and the
// definition of their parts. Every game-object cache shares one layout: the object fields
// (objectFields), each class's own fields, then the part block (subObjFields).
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/DefinitionCache.h"

// One part of a game object (turret, armour piece, radar dish), read from "SubObjData_" n.
class subObjParams {
public:
    uint32_t KillMoney = 0;
    uint32_t KillExp = 0;
    float HP = 0.0f;
    std::string MeshName;
    std::string CollName;
    std::string GameName;
    bool ColideActor = false;
    Ogre::Vector3 ObjPos = Ogre::Vector3::ZERO;
    Ogre::Vector3 OriByVect = Ogre::Vector3::ZERO;  // zero: the three angles below apply
    float OriByYaw = 0.0f;                           // the angles are not stored in the cache
    float OriByPitch = 0.0f;
    float OriRoll = 0.0f;
    std::string Death_Effect;
    uint32_t subObj_Type = 0;  // 1 free-aiming armed, 2 armed within a cone, other values passive
    bool Critical = false;
    uint32_t KillDmgParent = 0;
    bool isColObj = false;
    bool isRdrObj = false;
    bool Active = false;
    float FireDelay = 0.0f;
    float RadarRange = 0.0f;
    float lockRange = 0.0f;
    float lockTime = 0.0f;
    float lockAng = 0.0f;
    float ContFireTime = 0.0f;
    std::string MainWeapName;
};

class goParams {
public:
    static constexpr uint32_t kTypeCode = 1;
    static constexpr uint32_t kMaxSubObjects = 256;

    explicit goParams(std::string name);
    goParams(const goParams&) = default;
    goParams& operator=(const goParams&) = default;
    goParams(goParams&&) = default;
    goParams& operator=(goParams&&) = default;

    // Each returns whether the whole file was read or written; on failure nothing changes.
    virtual bool readIni();  // the base has no source of its own
    virtual bool readCache();
    virtual bool writeCache() const;
    // The class's role code for a "RoleCore" number.
    virtual uint32_t mapCode(uint32_t code) const;
    virtual ~goParams() = default;

    const std::string& getName() const { return name_; }
    // Whether the constructor found a sound cache (a definition without one keeps its defaults).
    bool cacheLoaded() const { return cacheLoaded_; }
    uint32_t getNumSubObjs() const { return static_cast<uint32_t>(subObjs.size()); }

    std::vector<subObjParams> subObjs;  // the parts, in list order ("numGoSubObjs" of them)
    uint32_t MoneyGain = 0;
    uint32_t ExperienceGain = 0;
    float HP = 0.0f;
    float OverHPBonus = 0.0f;
    std::string meshName;
    std::string collisionMeshName;
    std::string gameName;
    uint32_t roleCode = 0;  // mapCode of "RoleCore"
    std::string Spawn_Effect;
    std::string Retreat_Effect;
    std::string Death_Effect;
    bool ItemPicker = false;
    float RetreatTime = 0.0f;
    bool reservedFlag1 = false;  // no key; the source readers set it true
    bool castShadow = false;
    bool imortal = false;
    bool reservedFlag2 = false;  // no key; the source readers set it false
    bool ActorColide = false;
    bool AbsorbSplash = false;
    float RadarRange = 0.0f;
    float LockRangeVar = 0.0f;
    float LockAngleVar = 0.0f;
    float TermoStealth = 0.0f;
    float RadarStealth = 0.0f;
    float TgtStealthRes = 0.0f;
    float JammingResistance = 0.0f;
    float GroundLockVar = 0.0f;
    float AirLockVar = 0.0f;
    bool HasMainWeapon = false;
    std::string MainWeapon;
    bool Explode = false;
    std::string ExplodeEffect;
    uint32_t ExplodeDammage = 0;
    float ExplodeDamRange = 0.0f;
    bool ExplodeDamFallOut = false;
    std::string CriticalDam_Reactor;
    float CriticalDam_Prob = 0.0f;

    // Run-time only (not in the source or the cache): the 1-based row of the mode's mechanics
    // table this object type is booked under, 0 for none. Set by the rules.
    uint32_t mechanicsRow = 0;

protected:
    // Tag for subclass constructors that read their own cache instead of the base's.
    struct DefaultsOnly {};

    static const DefinitionFamily& family() { return definition_families::GameObject; }

    // The part block that ends every game-object cache.
    template <class Self, class IO>
    static void subObjFields(Self& d, IO& io)
    {
        io.list(d.subObjs, kMaxSubObjects, [](auto& s, auto& io) {
            io.value(s.subObj_Type);
            io.value(s.isColObj);
            io.value(s.isRdrObj);
            io.value(s.Active);
            io.value(s.ObjPos);
            io.value(s.OriByVect);
            io.value(s.GameName);
            io.value(s.MeshName);
            io.value(s.CollName);
            io.value(s.ColideActor);
            io.value(s.KillMoney);
            io.value(s.KillExp);
            io.hitPoints(s.HP);
            io.value(s.Critical);
            io.value(s.KillDmgParent);
            io.value(s.Death_Effect);
            io.value(s.FireDelay);
            io.value(s.RadarRange);
            io.value(s.lockRange);
            io.value(s.lockTime);
            io.value(s.lockAng);
            io.value(s.MainWeapName);
            io.value(s.ContFireTime);
        });
    }

    // The object fields every game-object cache starts with; Self also has groundOffset and
    // MainWeapPos (ground and air objects and their subclasses).
    template <class Self, class IO>
    static void objectFields(Self& d, IO& io)
    {
        io.value(d.meshName);
        io.value(d.collisionMeshName);
        io.value(d.gameName);
        io.value(d.castShadow);
        io.value(d.imortal);
        io.value(d.reservedFlag2);
        io.value(d.reservedFlag1);
        io.value(d.ActorColide);
        io.hitPoints(d.HP);
        io.value(d.ExperienceGain);
        io.value(d.MoneyGain);
        io.value(d.roleCode);  // kept as stored: it is already mapped
        io.value(d.AbsorbSplash);
        io.value(d.Death_Effect);
        io.value(d.Spawn_Effect);
        io.value(d.Retreat_Effect);
        io.value(d.RetreatTime);
        io.value(d.RadarRange);
        io.value(d.LockRangeVar);
        io.value(d.LockAngleVar);
        io.value(d.JammingResistance);
        io.value(d.TermoStealth);
        io.value(d.RadarStealth);
        io.value(d.TgtStealthRes);
        io.value(d.GroundLockVar);
        io.value(d.AirLockVar);
        io.value(d.Explode);
        io.value(d.ExplodeEffect);
        io.value(d.ExplodeDammage);
        io.value(d.ExplodeDamRange);
        io.value(d.ExplodeDamFallOut);
        io.value(d.CriticalDam_Reactor);
        io.value(d.CriticalDam_Prob);
        io.value(d.ItemPicker);
        io.value(d.OverHPBonus);
        io.value(d.HasMainWeapon);
        if (d.HasMainWeapon)
            io.value(d.MainWeapon);
        io.value(d.groundOffset);
        io.value(d.MainWeapPos);
    }

    // The source keys every game-object class shares, with their corrections; radarDefault
    // replaces a RadarRange of 0. Self also has groundOffset and MainWeapPos.
    template <class Self>
    static void readObjectIni(Self& d, IniSource& ini, float radarDefault)
    {
        d.meshName = ini.text("Data", "meshName");
        d.collisionMeshName = ini.text("Data", "collisionMeshName");
        d.gameName = ini.text("Data", "gameName");
        d.castShadow = ini.flag("Data", "castShadow");
        d.imortal = ini.flag("Data", "imortal");
        d.reservedFlag1 = true;
        d.reservedFlag2 = false;
        d.ActorColide = ini.flag("Data", "ActorColide");
        d.groundOffset = ini.vec3("Data", "groundOffset");
        d.HP = static_cast<float>(ini.uint("Data", "HP"));
        d.ExperienceGain = ini.uint("Data", "ExperienceGain");
        d.MoneyGain = ini.uint("Data", "MoneyGain");
        d.roleCode = d.mapCode(ini.uint("Data", "RoleCore"));
        d.AbsorbSplash = ini.flag("Data", "AbsorbSplash");
        d.Death_Effect = ini.text("Effects", "Death_Effect");
        d.Spawn_Effect = ini.text("Effects", "Spawn_Effect");
        d.Retreat_Effect = ini.text("Effects", "Retreat_Effect");
        d.RetreatTime = ini.real("Data", "RetreatTime");
        readSpecsIni(d, ini, radarDefault);
        d.Explode = ini.flag("Death", "Explode");
        d.ExplodeEffect = ini.text("Death", "ExplodeEffect");
        d.ExplodeDammage = ini.uint("Death", "ExplodeDammage");
        d.ExplodeDamRange = ini.real("Death", "ExplodeDamRange");
        d.ExplodeDamFallOut = ini.flag("Death", "ExplodeDamFallOut");
        d.CriticalDam_Reactor = ini.text("Reactors", "CriticalDam_Reactor");
        d.CriticalDam_Prob = ini.real("Reactors", "CriticalDam_Prob");
        if (d.CriticalDam_Prob == 0.0f)
            d.CriticalDam_Prob = 100.0f;
        d.ItemPicker = ini.flag("Data", "ItemPicker");
        d.OverHPBonus = ini.real("Data", "OverHPBonus");
        d.HasMainWeapon = ini.flag("Weapons", "HasMainWeapon");
        if (d.HasMainWeapon) {
            d.MainWeapon = ini.text("Weapons", "MainWeapon");
            d.MainWeapPos = ini.vec3("Weapons", "MainWeapPos");
        } else {
            d.MainWeapon.clear();
            d.MainWeapPos = Ogre::Vector3::ZERO;
        }
    }

    // The sensor keys of section "Specs" and their corrections.
    static void readSpecsIni(goParams& d, IniSource& ini, float radarDefault);
    // The "SubObjData" sections, read last by every class.
    static void readSubObjIni(goParams& d, IniSource& ini);

    std::string name_;
    bool cacheLoaded_ = false;
};
