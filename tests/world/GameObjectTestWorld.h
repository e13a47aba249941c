#pragma once
// A headless play for game-object tests: the weapon world (Town, registries, projectile manager,
// weapon context) with the handles every game object receives, the bastion definition from the
// game tree, and a small ground square far outside the map's own floor.
#include "RayFixtures.h"
#include "WeaponTestWorld.h"

#include "definitions/GroundObjParams.h"
#include "world/GO_subObj.h"
#include "world/GameObject.h"
#include "world/GroundObject.h"
#include "world/VirtualFX.h"
#include "world/VirtualReactor.h"

#include <memory>

namespace gotest {

// Where the test ground lies: far beyond Town's floor (which ends 400 units from the centre).
const Ogre::Vector3 kGroundCentre(600.0f, 5.0f, 0.0f);

class ObjectWorld : public weapontest::WeaponWorld {
public:
    using Body = shottest::Body;

    ObjectWorld()
    {
        handles.playData = &playData;
        handles.random = &random;
        handles.damage = damage.get();
        handles.targets = &targets;
        handles.sounds = &sounds;
        handles.projectiles = manager.get();
        handles.fx = pool.get();
        handles.weaponContext = &context;
        handles.sceneContext = &(this->shottest::World::context);
        handles.scene = scene;
        EXPECT_TRUE(bastion.cacheLoaded());
        rayfixture::makeFloor("gotest_ground.mesh", 10.0f);
        ground = scene->createEntity("gotestGround", "gotest_ground.mesh");
        scene->getRootSceneNode()->createChildSceneNode(kGroundCentre)->attachObject(ground);
        refresh();
    }

    // The scene queries see boxes where the last graph update put them.
    void refresh() { scene->getRootSceneNode()->_update(true, false); }

    std::unique_ptr<GroundObject> groundObject(GroundObjParams* def, uint32_t id = 3, uint32_t team = 2)
    {
        auto object = std::make_unique<GroundObject>(handles, def, id, team);
        refresh();
        return object;
    }

    // The manager's part step: every live part updates; a dead one is removed from its parent.
    static void tickParts(GameObject& object, float dt)
    {
        for (uint32_t i = 0; i < object.getSubObjectCount(); ++i) {
            GO_subObj* part = object.getSubObject(i);
            if (part && !part->update(dt))
                object.destroySubObject(i);
        }
    }

    // A definition every target body shares: seen by any radar.
    std::unique_ptr<goParams> targetDef = std::make_unique<goParams>("gotest_target");
    GroundObjParams bastion{"bastion"};
    GameObjectHandles handles;
    Ogre::Entity* ground = nullptr;
};

}  // namespace gotest
