#pragma once
// The rendering engine without a window or a render system, for the tests and the benchmarks:
// scene nodes, entities, meshes, materials, ray queries and particle systems work; nothing is
// drawn.
#include <string>

namespace Ogre {
class ControllerManager;
class DefaultHardwareBufferManager;
class LogManager;
class Root;
}
class InterpolationAffectorFactory;

class HeadlessEngine {
public:
    // A quiet log of that name first, then the root without configuration files.
    explicit HeadlessEngine(const std::string& logName = "headless.log");
    ~HeadlessEngine();
    HeadlessEngine(const HeadlessEngine&) = delete;
    HeadlessEngine& operator=(const HeadlessEngine&) = delete;
    Ogre::Root* root() const { return root_; }

private:
    Ogre::LogManager* logManager_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::ControllerManager* controllerManager_ = nullptr;
    Ogre::DefaultHardwareBufferManager* bufferManager_ = nullptr;
};

// The game's effects on a headless engine, in resource group `group`: the particle plug-in from
// the folder the game tree's plugins.cfg names, our affector, the particle scripts copied to
// mediaDir with untextured stand-ins of their materials (no texture can be made without a render
// system), and the game's sounds.
void loadHeadlessEffects(Ogre::Root* root, InterpolationAffectorFactory* factory, const std::string& gameTree,
                         const std::string& mediaDir, const std::string& group);
