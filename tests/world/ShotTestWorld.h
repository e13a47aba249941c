#pragma once
// A headless play world for projectile tests: Town from the game tree (floor at 0, house blockers,
// border radius 150), the damage and target registries, a play effect pool and a sound manager.
// Bodies are 2 x 2 x 2 boxes of a given team and owner; shot and warhead definitions are made in
// the test with the values it needs.
#include "FxTestEngine.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/GameSettings.h"
#include "core/SceneContext.h"
#include "definitions/WarHeadParams.h"
#include "definitions/goParams.h"
#include "definitions/projParams.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObjectData.h"
#include "world/Projectile.h"
#include "world/SceneCreator.h"
#include "world/TargetRegistry.h"

#include <Ogre.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

namespace shottest {

// Ogre's random values from a fixed list (repeating the last), so spreads are known.
struct FixedRandom : Ogre::Math::RandomValueProvider {
    std::vector<float> values{0.5f};
    size_t next = 0;
    Ogre::Real getRandomUnit() override
    {
        const float v = values[std::min(next, values.size() - 1)];
        ++next;
        return v;
    }
};

struct Body {
    std::unique_ptr<GameObjectData> data;
    Ogre::SceneNode* node = nullptr;
    Ogre::Entity* entity = nullptr;
    uint32_t damageSlot = 0;
    float damageTaken(const DamageRegistry& registry) const { return registry.getEntry(damageSlot)->damageTaken; }
};

// OpenAL's null output unless the process set another (the wave writer of the sound tests).
inline bool useNullSoundOutput()
{
    if (!std::getenv("ALSOFT_CONF"))
        ::setenv("ALSOFT_DRIVERS", "null", 0);
    return true;
}

class World {
public:
    World()
    {
        fxtest::loadFxResources(engine.root(), &factory, media.path("Particles"), true);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(testsupport::gameTreeDir() + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
        groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
        scene = engine.root()->createSceneManager();
        random.seed(77);
        pool = std::make_unique<FxPool>(scene, &library, &sounds, &random, "GPO");
        creator = std::make_unique<SceneCreator>(nullptr, scene, nullptr, nullptr, &settings, "Town", &context,
                                                 nullptr);
        damage = std::make_unique<DamageRegistry>(&playData, scene, &random, nullptr, &context, creator.get());
        // No levelling or float unless a test asks for it.
        playData.playSettings[GamePlayData::ProjFloatPitchRate] = 0.0f;
        playData.playSettings[GamePlayData::VerticalFloatSpeed] = 0.0f;
        playData.playSettings[GamePlayData::ProjFloatHeight] = 0.0f;
        Ogre::Math::SetRandomValueProvider(&fixedRandom);

        Ogre::ManualObject box("shotTestBox");
        box.begin("BaseWhite");
        const Ogre::Vector3 c[8] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                    {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
        for (const auto& v : c)
            box.position(v);
        // Outward-facing (counter-clockwise seen from outside).
        const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 4, 7, 3}, {1, 2, 6, 5}, {3, 7, 6, 2}, {0, 1, 5, 4}};
        for (const auto& f : faces)
            box.quad(f[0], f[1], f[2], f[3]);
        box.end();
        box.convertToMesh("shot_test_box.mesh");
    }
    ~World()
    {
        Ogre::Math::SetRandomValueProvider(nullptr);
        // Shots and bodies first, then the registries, the map, the pool.
        damage.reset();
        creator.reset();
        pool.reset();
    }

    // A box body registered with the damage registry (and, when asked, as a target).
    Body& addBody(const Ogre::Vector3& position, uint32_t team, uint32_t objectId, bool absorbSplash = false,
                  bool asTarget = false, goParams* definition = nullptr)
    {
        bodies.emplace_back();
        Body& b = bodies.back();
        const std::string name = "shotBody" + std::to_string(bodies.size());
        b.data = std::make_unique<GameObjectData>(name, "", "", "", 1, 3, team, 1000, absorbSplash);
        b.data->objectId = objectId;
        b.node = scene->getRootSceneNode()->createChildSceneNode(position);
        b.entity = scene->createEntity(name, "shot_test_box.mesh");
        b.node->attachObject(b.entity);
        b.damageSlot = damage->add(b.entity, b.data.get(), 4, 1, team, objectId, 0, 0);
        if (asTarget)
            b.data->targetSlot = targets.add(b.node, b.entity, b.data.get(), definition, 0, 0);
        return b;
    }

    // A definition of that kind with the values every test starts from.
    static std::unique_ptr<projParams> shot(uint32_t type, float speed, float life)
    {
        std::unique_ptr<projParams> p = type == ProjectileKind_Missile
                                            ? std::unique_ptr<projParams>(new MissParams("test_missile_def"))
                                            : std::make_unique<projParams>("test_shot_def");
        p->ProjectileType = type;
        p->Speed = speed;
        p->MaxSpeed = 0.0f;
        p->timeToLive = life;
        p->Damage = 10;
        p->meshName = type == ProjectileKind_Bomb ? "proj_bomb.mesh" : "proj_bullet.mesh";
        p->ReactorName = " ";
        return p;
    }
    // A plain warhead: direct hits only, the small explosion as its effect, no sound.
    std::unique_ptr<WarHeadParams> warhead(float range = 0.0f, const char* impactSound = nullptr)
    {
        auto w = std::make_unique<WarHeadParams>("test_warhead_def", nullptr);
        setUpWarhead(*w, range, impactSound);
        return w;
    }
    void setUpWarhead(WarHeadParams& w, float range, const char* impactSound)
    {
        w.DamageRange = range;
        w.effects = {library.getEffectParams("exp_small")};
        w.hasImpactSound = impactSound != nullptr;
        w.ImpactSound = impactSound ? impactSound : "";
    }

    // Ticks until the shot says it is done; the number of ticks run (max + 1 when it lived on).
    template <class Shot>
    int runUntilDone(Shot& shot, float dt, int max, bool* hitReport = nullptr)
    {
        for (int i = 1; i <= max; ++i) {
            bool hit = false;
            int type = 0;
            const bool alive = shot.update(dt, hit, type);
            if (hit && hitReport)
                *hitReport = true;
            if (!alive)
                return i;
        }
        return max + 1;
    }

    // Effects spawned so far (the pool is not advanced, so none has finished).
    size_t effects() const { return pool->liveEffectCount(); }

    const bool nullOutput = useNullSoundOutput();
    InterpolationAffectorFactory factory;
    testsupport::ScopedWorkDir cwd{testsupport::gameTreeDir() + "/Bin/Game"};
    testsupport::TempGameTree media{"Bin/Game/plugins.cfg"};
    testsupport::HeadlessOgre engine;
    audio::SoundManager sounds;
    FxParamsLibrary library;
    RandomGenerator random;
    FixedRandom fixedRandom;
    GameSettings settings;
    GamePlayData playData;
    SceneContext context{nullptr};
    Ogre::SceneManager* scene = nullptr;
    std::unique_ptr<FxPool> pool;
    std::unique_ptr<SceneCreator> creator;
    std::unique_ptr<DamageRegistry> damage;
    TargetRegistry targets;
    std::deque<Body> bodies;
};

}  // namespace shottest
