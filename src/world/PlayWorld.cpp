#include "world/PlayWorld.h"

#include "core/RandomGenerator.h"
#include "definitions/DificultyData.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "world/AIManager.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObjectManager.h"
#include "world/PickupManager.h"
#include "world/ProjectileManager.h"
#include "world/TargetRegistry.h"

PlayWorld::PlayWorld(const Borrowed& b, uint32_t seed) : borrowed_(b)
{
    difficulty_ = std::make_unique<DificultyData>();
    difficulty_->readCache();
    random_ = std::make_unique<RandomGenerator>();
    random_->seed(seed);
    fxLibrary_ = std::make_unique<FxParamsLibrary>();
    goLibrary_ = std::make_unique<GOParamsLibrary>(b.root);
    projectileDefs_ = std::make_unique<ProjectileDefRegistry>(nullptr, fxLibrary_.get());
    warheadDefs_ = std::make_unique<WarheadDefRegistry>(fxLibrary_.get());
    damage_ = std::make_unique<DamageRegistry>(b.playData, b.scene, random_.get(), difficulty_.get(), b.sceneContext,
                                               b.sceneCreator);
    fx_ = std::make_unique<FxPool>(b.scene, fxLibrary_.get(), b.sounds, random_.get(), "GPO");
    targets_ = std::make_unique<TargetRegistry>();
    projectiles_ = std::make_unique<ProjectileManager>(b.playData, b.scene, b.sounds, damage_.get(), fx_.get(),
                                                       b.sharedBlock, projectileDefs_.get(), targets_.get());
    weaponContext_.playData = b.playData;
    weaponContext_.projectileDefs = projectileDefs_.get();
    weaponContext_.warheadDefs = warheadDefs_.get();
    weaponContext_.targets = targets_.get();
    weaponContext_.scene = b.scene;
    weaponContext_.damage = damage_.get();
    weaponContext_.fx = fx_.get();
    weaponContext_.sounds = b.sounds;
    weaponContext_.projectiles = projectiles_.get();
    ai_ = std::make_unique<AIManager>(damage_.get(), targets_.get(), random_.get(), difficulty_.get(), nullptr);
    objects_ = std::make_unique<GameObjectManager>(b.playData, b.scene, b.sounds, random_.get(), damage_.get(),
                                                   projectiles_.get(), fx_.get(), targets_.get(), b.sharedBlock,
                                                   goLibrary_.get(), &weaponContext_, ai_.get(), difficulty_.get(),
                                                   b.sceneContext);
    // Pickups find their collectors among the object manager's slots; getObject is null for a
    // free slot or one past the end.
    GameObjectManager* objects = objects_.get();
    pickups_ = std::make_unique<PickupManager>(
        b.scene, b.playData, damage_.get(), targets_.get(),
        [objects](uint32_t id) { return objects->getObject(id); }, b.globalSounds);
}

PlayWorld::~PlayWorld()
{
    pickups_.reset();
    objects_->destroyAll();
    objects_.reset();
    ai_.reset();
    projectiles_.reset();
    targets_.reset();
    fx_.reset();
    damage_.reset();
    warheadDefs_.reset();
    projectileDefs_.reset();
    fxLibrary_.reset();
    goLibrary_.reset();
    difficulty_.reset();
    random_.reset();
}

void PlayWorld::tick(float dt, bool playing)
{
    if (playing)
        ai_->updateAll(dt);
    objects_->updateAll(dt);
    {
        // The objects have moved for this tick; the shots find them through the still bodies' tree.
        DamageRegistry::StillBodies still(*damage_);
        projectiles_->update(dt);
    }
    pickups_->update(dt);
    fx_->update(dt);
}

const GameObjectHandles& PlayWorld::objectHandles() const { return objects_->handles(); }
