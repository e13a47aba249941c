#pragma once
// Spare particle systems of one effect pool, kept by template. Copying a template into a new
// system goes through the engine's text parameters and costs far more than the effect's whole
// life, so a finished effect or reactor hands its systems back here, cleared and detached, and the
// next effect of that template takes one and has it set back to what a new copy starts with: the
// emitters' rates, places, directions, lives, colours and their running counters (the part of a
// particle carried over between frames included), the system's bounds, speed and emitting switch.
//
// Templates whose emitters draw random durations or repeat delays, or that emit emitters, are
// always copied anew: a new copy draws from the engine's random numbers while it is made, and
// the spare would not.
//
// It keeps the pool's emptied root nodes too: an item placed in the world hangs from the scene's
// root, and the engine finds a child to remove by walking every child of its parent, so with
// thousands of items in the world each one that went cost thousands of steps.
//
// Names: a new system takes the name it is asked for (the item's slot name) when no live system
// holds it; a spare handed to it may carry the name of an earlier slot. Names never repeat within
// the scene.
#include <OgreAxisAlignedBox.h>
#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Ogre {
class ParticleEmitter;
class ParticleSystem;
class SceneManager;
class SceneNode;
}

namespace fx {

class ParticleStock {
public:
    // The most spares kept of one template; more are destroyed when handed back. A system is made
    // only when no spare is left, so the spares never outnumber the most systems of a template
    // that were out at once: this bound only limits what an extreme burst leaves behind. A low one
    // cost a crowded play thousands of new copies of its blast templates.
    static constexpr size_t kSparesPerTemplate = 16384;

    explicit ParticleStock(Ogre::SceneManager* scene);
    // Destroys the spares; systems still out belong to their items, which hand them back first.
    ~ParticleStock();
    ParticleStock(const ParticleStock&) = delete;
    ParticleStock& operator=(const ParticleStock&) = delete;

    // A system of the template as a new copy starts, not attached; null (with one log line) when
    // the template is unknown or the engine refuses it.
    Ogre::ParticleSystem* take(const std::string& name, const std::string& templateName);
    // Clears and detaches the system and keeps it for the next effect of its template. A system
    // this stock did not make, or one more than it keeps, is destroyed. Null is ignored.
    void giveBack(Ogre::ParticleSystem* system);

    size_t spareCount() const;
    size_t spareCount(const std::string& templateName) const;

    // A child of the scene's root: a spare one set back to the origin, unturned and unscaled, else
    // a new one.
    Ogre::SceneNode* takeRootNode();
    // Keeps an empty child of the root (no objects, no children) for the next item; any other
    // node is destroyed with its children. Null is ignored.
    void giveBackRootNode(Ogre::SceneNode* node);
    size_t spareRootNodeCount() const { return spareNodes_.size(); }

    // What a system starts with that its use changes; for the tests that compare a reused system
    // with a new copy.
    struct EmitterStart {
        Ogre::Vector3 position, direction, up, directionReference;
        bool useDirectionReference = false;
        float angle = 0, rate = 0, minSpeed = 0, maxSpeed = 0, minLife = 0, maxLife = 0;
        Ogre::ColourValue colourStart, colourEnd;
        bool enabled = true;
        float startTime = 0, minDuration = 0, maxDuration = 0, durationLeft = 0;
        float minRepeatDelay = 0, maxRepeatDelay = 0, repeatDelayLeft = 0, remainder = 0;
        bool operator==(const EmitterStart& o) const;
    };
    struct SystemStart {
        Ogre::AxisAlignedBox bounds;
        float boundingRadius = 0;
        bool boundsAutoUpdate = true;
        float boundsUpdateTime = 0, speedFactor = 1;
        bool emitting = true;
        std::vector<EmitterStart> emitters;
        bool operator==(const SystemStart& o) const;
    };
    static SystemStart startOf(const Ogre::ParticleSystem* system);

private:
    struct Shelf {
        SystemStart start;     // taken from the first copy, before it ran
        bool reusable = true;  // false: every take copies the template anew
        std::vector<Ogre::ParticleSystem*> spares;
    };
    Ogre::ParticleSystem* make(const std::string& name, const std::string& templateName);
    static void restore(Ogre::ParticleSystem* system, const SystemStart& start);
    void destroy(Ogre::ParticleSystem* system);

    Ogre::SceneManager* scene_;
    std::unordered_map<std::string, Shelf> shelves_;
    // The template of every system made here and not destroyed (out or spare).
    std::unordered_map<const Ogre::ParticleSystem*, Shelf*> madeFrom_;
    // Spares by their names, so a new system can free a name that a spare holds.
    std::unordered_map<std::string, Ogre::ParticleSystem*> spareNames_;
    unsigned long serial_ = 0;
    std::vector<Ogre::SceneNode*> spareNodes_;
};

// From the stock when there is one, else a new copy of the template; null as createParticleSystem.
Ogre::ParticleSystem* takeParticleSystem(ParticleStock* stock, Ogre::SceneManager* scene, const std::string& name,
                                         const std::string& templateName);
// Back to the stock when there is one, else destroyed; null is ignored.
void returnParticleSystem(ParticleStock* stock, Ogre::SceneManager* scene, Ogre::ParticleSystem* system);
// The same for the items' root nodes.
Ogre::SceneNode* takeRootNode(ParticleStock* stock, Ogre::SceneManager* scene);
void returnRootNode(ParticleStock* stock, Ogre::SceneManager* scene, Ogre::SceneNode* node);

}  // namespace fx
