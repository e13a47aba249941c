#pragma once
// Owns every live run-time effect and reactor of one part of the game (the game core's pool "GMS",
// each play's "GPO"), makes them from their definitions, advances them and deletes those that have
// finished. Items live in slots whose index is part of their scene names; a freed slot is reused
// by the next spawn, and the slots grow (n + n/2 + 1) when all are in use.
//
// Most items spend their life counting down (an effect's emission and linger, a released
// reactor's linger). Such an item is not visited each tick: it sleeps until the pool's clock
// reaches the time at which it has something to do, then is updated once with all the time
// that passed. A crowded play holds thousands of them.
#include <OgreVector.h>

#include <functional>
#include <memory>
#include <queue>
#include <string>
#include <vector>

namespace Ogre {
class SceneManager;
class SceneNode;
}
namespace audio {
class SoundManager;
}
class EffectsParams;
class FxParamsLibrary;
class RandomGenerator;
class VirtualFX;
class VirtualReactor;
class VirtualReactorParams;
namespace fx {
class ParticleStock;
}

class FxPool {
public:
    static constexpr size_t kInitialSlots = 50;

    FxPool(Ogre::SceneManager* scene, FxParamsLibrary* library, audio::SoundManager* sounds,
           RandomGenerator* random, const std::string& name);
    // Deletes the live effects, then the live reactors, released or not.
    ~FxPool();
    FxPool(const FxPool&) = delete;
    FxPool& operator=(const FxPool&) = delete;

    // Places a fire-and-forget effect; a null definition does nothing. A zero direction leaves the
    // effect unturned.
    void spawnEffect(const EffectsParams* params, const Ogre::Vector3& position, const Ogre::Vector3& direction);
    // A reactor under the parent node from the library's definition of that name; null for a blank
    // or unknown name. The pointer is a handle: release it with VirtualReactor::detachToWorld.
    VirtualReactor* spawnReactor(Ogre::SceneNode* parent, const std::string& reactorDefinitionName);
    VirtualReactor* createReactor(const VirtualReactorParams* params, Ogre::SceneNode* parent);

    // Reactors, then effects, in slot order (those awake and those whose sleep ends); deletes each
    // one that reports it has finished.
    void update(float dt);
    void pauseAll();
    void resumeAll();

    const std::string& getName() const { return name_; }
    // The definition library the pool makes its items from (world objects load effects from it).
    FxParamsLibrary* getLibrary() const { return library_; }
    size_t effectSlotCount() const { return effects_.size(); }
    size_t reactorSlotCount() const { return reactors_.size(); }
    // The item in a slot; null for a free slot or an index past the end.
    VirtualFX* effectInSlot(size_t slot) const;
    VirtualReactor* reactorInSlot(size_t slot) const;
    size_t liveEffectCount() const;
    size_t liveReactorCount() const;
    // The spare particle systems that finished items handed back for the next of their template.
    fx::ParticleStock& particleStock() const { return *stock_; }

private:
    using FreeSlots = std::priority_queue<size_t, std::vector<size_t>, std::greater<size_t>>;
    struct Wake {
        double at;
        size_t slot;
        bool operator>(const Wake& o) const { return at != o.at ? at > o.at : slot > o.slot; }
    };
    // The items of one kind that are updated each tick and those asleep.
    struct Schedule {
        std::vector<size_t> awake;
        std::priority_queue<Wake, std::vector<Wake>, std::greater<Wake>> asleep;
        std::vector<double> asleepSince;  // by slot; below zero when awake
        std::vector<size_t> due;          // this tick's, reused
        void add(size_t slot);
    };
    template <class T>
    void advance(std::vector<std::unique_ptr<T>>& slots, Schedule& schedule, FreeSlots& free, float dt);

    template <class T>
    static size_t freeSlot(std::vector<std::unique_ptr<T>>& slots, FreeSlots& free);

    Ogre::SceneManager* scene_;
    FxParamsLibrary* library_;
    audio::SoundManager* sounds_;
    RandomGenerator* random_;
    std::string name_;
    // Declared before the items: they hand their systems back to it when they go.
    std::unique_ptr<fx::ParticleStock> stock_;
    // A null pointer is a free slot.
    std::vector<std::unique_ptr<VirtualFX>> effects_;
    std::vector<std::unique_ptr<VirtualReactor>> reactors_;
    FreeSlots freeEffects_;
    FreeSlots freeReactors_;
    double clock_ = 0.0;
    Schedule effectSchedule_;
    Schedule reactorSchedule_;
};
