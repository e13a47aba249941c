#pragma once
// A small headless play for AI tests: a scene, both registries, the play's generator and
// difficulty, and a stub object: a kind-1 game object whose weapon values (lock range, lock
// speed, readiness, aim result) the test sets, with an optional definition of its own for its
// sensors, and that counts its aim calls.
#include "RayFixtures.h"

#include "core/GamePlayData.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "definitions/DificultyData.h"
#include "definitions/goParams.h"
#include "support/TestSupport.h"
#include "world/AIdata.h"
#include "world/DamageRegistry.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/TargetRegistry.h"

#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <memory>
#include <string>

namespace aitest {

class StubObject : public GameObject {
public:
    // category 3 counts as an air target, 1 as a ground one.
    StubObject(const GameObjectHandles& handles, goParams* definition, uint32_t id, uint32_t team, uint32_t aiKind = 1,
               uint32_t category = 3)
        : GameObject(handles, definition, id)
    {
        data_ = std::make_unique<GameObjectData>("stub_" + std::to_string(id), "", "", "", category, aiKind, team,
                                                 100u, false);
        data_->objectId = id;
        setupScene("ai_stub.mesh", handles.damage);
    }

    float getLockRangeVar() const override { return 1.0f; }
    float getGroundLockVar() const override { return groundLockVar; }
    float getAirLockVar() const override { return airLockVar; }
    bool isMainWeaponReady() const override { return ready; }
    float getMainWeaponLockRange() const override { return lockRange; }
    float getMainWeaponLockSpeed() const override { return lockSpeed; }
    bool aimMainWeaponAt(const Ogre::Vector3& point) override
    {
        ++aimCalls;
        lastAim = point;
        return aimResult;
    }

    float lockRange = 50.0f;
    float lockSpeed = 1.0f;
    float groundLockVar = 1.0f;
    float airLockVar = 1.0f;
    bool ready = true;
    bool aimResult = true;
    int aimCalls = 0;
    Ogre::Vector3 lastAim = Ogre::Vector3::ZERO;
};

class World {
public:
    World()
    {
        rayfixture::makeFloor("ai_stub.mesh", 1.0f);
        scene = engine.root()->createSceneManager();
        random.seed(5);
        damage = std::make_unique<DamageRegistry>(&playData, scene, &random, &difficulty, &context, nullptr);
        handles.playData = &playData;
        handles.random = &random;
        handles.damage = damage.get();
        handles.targets = &targets;
        handles.difficulty = &difficulty;
        handles.sceneContext = &context;
        handles.scene = scene;
    }
    ~World()
    {
        objects.clear();
        damage.reset();
    }

    // A sensor definition: seen by every radar (stealth 0) with the given resolution and range.
    goParams* sensors(float tgtStealthRes = 0.0f, float radarStealth = 0.0f, float radarRange = 1000.0f)
    {
        definitions.push_back(std::make_unique<goParams>("ai_sensors_" + std::to_string(definitions.size())));
        goParams* d = definitions.back().get();
        d->TgtStealthRes = tgtStealthRes;
        d->RadarStealth = radarStealth;
        d->RadarRange = radarRange;
        return d;
    }
    StubObject& stub(uint32_t id, uint32_t team, const Ogre::Vector3& at, goParams* def = nullptr, uint32_t aiKind = 1,
                     uint32_t category = 3)
    {
        objects.push_back(std::make_unique<StubObject>(handles, def ? def : sensors(), id, team, aiKind, category));
        objects.back()->setPosition(at);
        scene->getRootSceneNode()->_update(true, false);
        return *objects.back();
    }
    void destroy(const GameObject& o)
    {
        for (auto it = objects.begin(); it != objects.end(); ++it)
            if (it->get() == &o) {
                objects.erase(it);
                return;
            }
    }
    AIdata record(uint32_t aiKind = 1) { return AIdata(&difficulty, nullptr, &random, aiKind); }

    testsupport::HeadlessOgre engine;
    Ogre::SceneManager* scene = nullptr;
    GamePlayData playData;
    SceneContext context{nullptr};
    RandomGenerator random;
    DificultyData difficulty;
    TargetRegistry targets;
    std::unique_ptr<DamageRegistry> damage;
    GameObjectHandles handles;
    std::vector<std::unique_ptr<goParams>> definitions;
    std::vector<std::unique_ptr<StubObject>> objects;
};

}  // namespace aitest
