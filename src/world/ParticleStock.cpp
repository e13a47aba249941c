#include "world/ParticleStock.h"

#include "world/FxParticles.h"

#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace fx {

namespace {

// The engine keeps an emitter's running counters and a system's grown bounds in protected
// fields with no setter; these reach them through pointers to members, which a derived class
// may form.
struct EmitterFields : Ogre::ParticleEmitter {
    static ParticleStock::EmitterStart read(const Ogre::ParticleEmitter& e)
    {
        ParticleStock::EmitterStart s;
        s.position = e.mPosition;
        s.direction = e.*(&EmitterFields::mDirection);
        s.up = e.*(&EmitterFields::mUp);
        s.useDirectionReference = e.*(&EmitterFields::mUseDirPositionRef);
        s.directionReference = e.*(&EmitterFields::mDirPositionRef);
        s.angle = (e.*(&EmitterFields::mAngle)).valueRadians();
        s.rate = e.*(&EmitterFields::mEmissionRate);
        s.minSpeed = e.*(&EmitterFields::mMinSpeed);
        s.maxSpeed = e.*(&EmitterFields::mMaxSpeed);
        s.minLife = e.*(&EmitterFields::mMinTTL);
        s.maxLife = e.*(&EmitterFields::mMaxTTL);
        s.colourStart = e.*(&EmitterFields::mColourRangeStart);
        s.colourEnd = e.*(&EmitterFields::mColourRangeEnd);
        s.enabled = e.*(&EmitterFields::mEnabled);
        s.startTime = e.*(&EmitterFields::mStartTime);
        s.minDuration = e.*(&EmitterFields::mDurationMin);
        s.maxDuration = e.*(&EmitterFields::mDurationMax);
        s.durationLeft = e.*(&EmitterFields::mDurationRemain);
        s.minRepeatDelay = e.*(&EmitterFields::mRepeatDelayMin);
        s.maxRepeatDelay = e.*(&EmitterFields::mRepeatDelayMax);
        s.repeatDelayLeft = e.*(&EmitterFields::mRepeatDelayRemain);
        s.remainder = e.*(&EmitterFields::mRemainder);
        return s;
    }
    static void write(Ogre::ParticleEmitter& e, const ParticleStock::EmitterStart& s)
    {
        e.mPosition = s.position;
        e.*(&EmitterFields::mDirection) = s.direction;
        e.*(&EmitterFields::mUp) = s.up;
        e.*(&EmitterFields::mUseDirPositionRef) = s.useDirectionReference;
        e.*(&EmitterFields::mDirPositionRef) = s.directionReference;
        e.*(&EmitterFields::mAngle) = Ogre::Radian(s.angle);
        e.*(&EmitterFields::mEmissionRate) = s.rate;
        e.*(&EmitterFields::mMinSpeed) = s.minSpeed;
        e.*(&EmitterFields::mMaxSpeed) = s.maxSpeed;
        e.*(&EmitterFields::mMinTTL) = s.minLife;
        e.*(&EmitterFields::mMaxTTL) = s.maxLife;
        e.*(&EmitterFields::mColourRangeStart) = s.colourStart;
        e.*(&EmitterFields::mColourRangeEnd) = s.colourEnd;
        e.*(&EmitterFields::mEnabled) = s.enabled;
        e.*(&EmitterFields::mStartTime) = s.startTime;
        e.*(&EmitterFields::mDurationMin) = s.minDuration;
        e.*(&EmitterFields::mDurationMax) = s.maxDuration;
        e.*(&EmitterFields::mDurationRemain) = s.durationLeft;
        e.*(&EmitterFields::mRepeatDelayMin) = s.minRepeatDelay;
        e.*(&EmitterFields::mRepeatDelayMax) = s.maxRepeatDelay;
        e.*(&EmitterFields::mRepeatDelayRemain) = s.repeatDelayLeft;
        e.*(&EmitterFields::mRemainder) = s.remainder;
    }
};

struct SystemFields : Ogre::ParticleSystem {
    static void read(const Ogre::ParticleSystem& p, ParticleStock::SystemStart& s)
    {
        s.bounds = p.*(&SystemFields::mAABB);
        s.boundingRadius = p.*(&SystemFields::mBoundingRadius);
        s.boundsAutoUpdate = p.*(&SystemFields::mBoundsAutoUpdate);
        s.boundsUpdateTime = p.*(&SystemFields::mBoundsUpdateTime);
        s.speedFactor = p.*(&SystemFields::mSpeedFactor);
        s.emitting = p.*(&SystemFields::mIsEmitting);
    }
    static void write(Ogre::ParticleSystem& p, const ParticleStock::SystemStart& s)
    {
        p.*(&SystemFields::mAABB) = s.bounds;
        p.*(&SystemFields::mBoundingRadius) = s.boundingRadius;
        p.*(&SystemFields::mBoundsAutoUpdate) = s.boundsAutoUpdate;
        p.*(&SystemFields::mBoundsUpdateTime) = s.boundsUpdateTime;
        p.*(&SystemFields::mSpeedFactor) = s.speedFactor;
        p.*(&SystemFields::mIsEmitting) = s.emitting;
    }
};

// A copy whose making draws random numbers, or that makes emitters of its own, cannot be
// stood in for by a spare.
bool reusable(const Ogre::ParticleSystem& system)
{
    for (unsigned short i = 0; i < system.getNumEmitters(); ++i) {
        const Ogre::ParticleEmitter* e = system.getEmitter(i);
        if (e->getMinDuration() != e->getMaxDuration() || e->getMinRepeatDelay() != e->getMaxRepeatDelay() ||
            !e->getEmittedEmitter().empty() || e->isEmitted())
            return false;
    }
    return true;
}

}  // namespace

bool ParticleStock::EmitterStart::operator==(const EmitterStart& o) const
{
    return position == o.position && direction == o.direction && up == o.up &&
           directionReference == o.directionReference && useDirectionReference == o.useDirectionReference &&
           angle == o.angle && rate == o.rate && minSpeed == o.minSpeed && maxSpeed == o.maxSpeed &&
           minLife == o.minLife && maxLife == o.maxLife && colourStart == o.colourStart &&
           colourEnd == o.colourEnd && enabled == o.enabled && startTime == o.startTime &&
           minDuration == o.minDuration && maxDuration == o.maxDuration && durationLeft == o.durationLeft &&
           minRepeatDelay == o.minRepeatDelay && maxRepeatDelay == o.maxRepeatDelay &&
           repeatDelayLeft == o.repeatDelayLeft && remainder == o.remainder;
}

bool ParticleStock::SystemStart::operator==(const SystemStart& o) const
{
    return bounds == o.bounds && boundingRadius == o.boundingRadius && boundsAutoUpdate == o.boundsAutoUpdate &&
           boundsUpdateTime == o.boundsUpdateTime && speedFactor == o.speedFactor && emitting == o.emitting &&
           emitters == o.emitters;
}

ParticleStock::SystemStart ParticleStock::startOf(const Ogre::ParticleSystem* system)
{
    SystemStart s;
    SystemFields::read(*system, s);
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
        s.emitters.push_back(EmitterFields::read(*system->getEmitter(i)));
    return s;
}

void ParticleStock::restore(Ogre::ParticleSystem* system, const SystemStart& start)
{
    SystemFields::write(*system, start);
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
        EmitterFields::write(*system->getEmitter(i), start.emitters[i]);
}

ParticleStock::ParticleStock(Ogre::SceneManager* scene) : scene_(scene) {}

ParticleStock::~ParticleStock()
{
    for (auto& [name, shelf] : shelves_)
        for (Ogre::ParticleSystem* system : shelf.spares)
            destroyParticleSystem(scene_, system);
    for (Ogre::SceneNode* node : spareNodes_)
        scene_->destroySceneNode(node);
}

Ogre::SceneNode* ParticleStock::takeRootNode()
{
    if (spareNodes_.empty())
        return scene_->getRootSceneNode()->createChildSceneNode();
    Ogre::SceneNode* node = spareNodes_.back();
    spareNodes_.pop_back();
    node->setPosition(Ogre::Vector3::ZERO);
    node->setOrientation(Ogre::Quaternion::IDENTITY);
    node->setScale(Ogre::Vector3::UNIT_SCALE);
    return node;
}

void ParticleStock::giveBackRootNode(Ogre::SceneNode* node)
{
    if (!node)
        return;
    // Only nodes as a new child starts (the pool's items never change the rest).
    if (node->getParent() != scene_->getRootSceneNode() || node->numChildren() || node->numAttachedObjects() ||
        !node->getInheritOrientation() || !node->getInheritScale() || node->getListener() ||
        node->getAutoTrackTarget()) {
        node->removeAndDestroyAllChildren();
        scene_->destroySceneNode(node);
        return;
    }
    spareNodes_.push_back(node);
}

Ogre::ParticleSystem* ParticleStock::take(const std::string& name, const std::string& templateName)
{
    auto found = shelves_.find(templateName);
    if (found != shelves_.end() && found->second.reusable && !found->second.spares.empty()) {
        std::vector<Ogre::ParticleSystem*>& spares = found->second.spares;
        // The spare that already carries the asked-for name, else the one handed back last.
        auto it = std::find_if(spares.begin(), spares.end(),
                               [&](const Ogre::ParticleSystem* s) { return s->getName() == name; });
        if (it == spares.end())
            it = spares.end() - 1;
        Ogre::ParticleSystem* system = *it;
        spares.erase(it);
        spareNames_.erase(system->getName());
        restore(system, found->second.start);
        return system;
    }
    return make(name, templateName);
}

Ogre::ParticleSystem* ParticleStock::make(const std::string& name, const std::string& templateName)
{
    // A spare holding the name gives it up; a live system holding it keeps it.
    auto holder = spareNames_.find(name);
    if (holder != spareNames_.end()) {
        Ogre::ParticleSystem* spare = holder->second;
        Shelf* shelf = madeFrom_.at(spare);
        shelf->spares.erase(std::find(shelf->spares.begin(), shelf->spares.end(), spare));
        destroy(spare);
    }
    std::string unique = name;
    while (scene_->hasParticleSystem(unique))
        unique = name + "~" + std::to_string(++serial_);
    Ogre::ParticleSystem* system = createParticleSystem(scene_, unique, templateName);
    if (!system)
        return nullptr;
    auto [it, isNew] = shelves_.try_emplace(templateName);
    Shelf& shelf = it->second;
    if (isNew) {
        shelf.start = startOf(system);
        shelf.reusable = reusable(*system);
    }
    madeFrom_[system] = &shelf;
    return system;
}

void ParticleStock::giveBack(Ogre::ParticleSystem* system)
{
    if (!system)
        return;
    auto made = madeFrom_.find(system);
    if (made == madeFrom_.end()) {
        destroyParticleSystem(scene_, system);
        return;
    }
    Shelf& shelf = *made->second;
    if (!shelf.reusable || shelf.spares.size() >= kSparesPerTemplate) {
        destroy(system);
        return;
    }
    system->clear();
    system->detachFromParent();
    shelf.spares.push_back(system);
    spareNames_[system->getName()] = system;
}

void ParticleStock::destroy(Ogre::ParticleSystem* system)
{
    spareNames_.erase(system->getName());
    madeFrom_.erase(system);
    destroyParticleSystem(scene_, system);
}

size_t ParticleStock::spareCount() const
{
    size_t n = 0;
    for (const auto& [name, shelf] : shelves_)
        n += shelf.spares.size();
    return n;
}

size_t ParticleStock::spareCount(const std::string& templateName) const
{
    auto found = shelves_.find(templateName);
    return found == shelves_.end() ? 0 : found->second.spares.size();
}

Ogre::ParticleSystem* takeParticleSystem(ParticleStock* stock, Ogre::SceneManager* scene, const std::string& name,
                                         const std::string& templateName)
{
    return stock ? stock->take(name, templateName) : createParticleSystem(scene, name, templateName);
}

void returnParticleSystem(ParticleStock* stock, Ogre::SceneManager* scene, Ogre::ParticleSystem* system)
{
    if (stock)
        stock->giveBack(system);
    else
        destroyParticleSystem(scene, system);
}

Ogre::SceneNode* takeRootNode(ParticleStock* stock, Ogre::SceneManager* scene)
{
    return stock ? stock->takeRootNode() : scene->getRootSceneNode()->createChildSceneNode();
}

void returnRootNode(ParticleStock* stock, Ogre::SceneManager* scene, Ogre::SceneNode* node)
{
    if (stock) {
        stock->giveBackRootNode(node);
    } else if (node) {
        node->removeAndDestroyAllChildren();
        scene->destroySceneNode(node);
    }
}

}  // namespace fx
