#pragma once
// A headless play for pickup tests: the game-object world over Town with a pickup manager, item
// pickers (bastions of 200 HP without parts or weapon, OverHPBonus 100) found by id the way the
// game object manager finds them, and one mecha variable with one type in each pickup list.
#include "GameObjectTestWorld.h"

#include "definitions/PickupParams.h"
#include "world/Pickup.h"
#include "world/PickupManager.h"

#include <map>
#include <memory>

namespace pickuptest {

class PickupWorld : public gotest::ObjectWorld {
public:
    explicit PickupWorld(GlobalSounds* globalSounds = nullptr)
    {
        pickerDef.subObjs.clear();
        pickerDef.HP = 200.0f;
        pickerDef.OverHPBonus = 100.0f;
        pickerDef.ItemPicker = true;
        pickerDef.HasMainWeapon = false;
        pickerDef.Death_Effect = pickerDef.ExplodeEffect = pickerDef.Spawn_Effect = pickerDef.Retreat_Effect = " ";
        pickerDef.Explode = false;
        pickerDef.CriticalDam_Reactor = " ";
        otherDef = pickerDef;
        otherDef.ItemPicker = false;

        playData.mechaVars.resize(1);
        playData.resizeIntervalPickupTypes(1);
        playData.intervalPickupTypes[0].rows.resize(2);
        playData.resizeTimePickupTypes(1);
        playData.timePickupTypes[0].rows.resize(2);

        remakeManager(globalSounds);
    }
    ~PickupWorld()
    {
        manager.reset();
        objects.clear();
    }

    // A fresh manager (the old one goes with its pickups) and no objects.
    void restart(GlobalSounds* globalSounds = nullptr)
    {
        remakeManager(globalSounds);
        objects.clear();
    }
    void remakeManager(GlobalSounds* globalSounds)
    {
        manager.reset();
        manager = std::make_unique<PickupManager>(
            scene, &playData, damage.get(), &targets,
            [this](uint32_t id) -> GameObject* {
                auto it = objects.find(id);
                return it == objects.end() ? nullptr : it->second.get();
            },
            globalSounds);
    }

    // An object of that definition standing at the point, under that id.
    GameObject& object(uint32_t id, const Ogre::Vector3& at, GroundObjParams* def = nullptr)
    {
        auto o = std::make_unique<GroundObject>(handles, def ? def : &pickerDef, id, 1);
        o->setPosition(at);
        GameObject& ref = *o;
        objects[id] = std::move(o);
        refresh();
        return ref;
    }
    float taken(const GameObject& o) const { return damage->getEntry(o.getDamageSlot())->damageTaken; }
    void setTaken(const GameObject& o, float amount) { damage->getEntry(o.getDamageSlot())->damageTaken = amount; }

    // A definition of the class with a mesh that is always there, no animation and no lifetime.
    template <class Def = PickupParams>
    static std::unique_ptr<Def> definition(float colectRange = 6.25f, float timeLive = 0.0f)
    {
        auto d = std::make_unique<Def>("pickuptest_def");
        d->meshName = "shot_test_box.mesh";
        d->ColectRange = colectRange;
        d->TimeLive = timeLive;
        d->Rotate = d->Levitate = false;
        return d;
    }

    GroundObjParams pickerDef = bastion;
    GroundObjParams otherDef = bastion;
    GroundObjParams fortDef = bastion;  // the game's bastion, parts and all
    std::map<uint32_t, std::unique_ptr<GameObject>> objects;
    std::unique_ptr<PickupManager> manager;
};

// An open street corner of Town, on its floor (height 0).
const Ogre::Vector3 kOpenGround(0.0f, 0.0f, 0.0f);

}  // namespace pickuptest
