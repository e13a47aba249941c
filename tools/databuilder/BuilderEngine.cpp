#include "BuilderEngine.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <memory>

namespace {
struct Engine {
    Engine()
    {
        root = std::make_unique<Ogre::Root>("", "", "");
        buffers = std::make_unique<Ogre::DefaultHardwareBufferManager>();
        Ogre::MaterialManager::getSingleton().initialise();
        Ogre::MeshManager::getSingleton()._initialise();
        Ogre::ParticleSystemManager::getSingleton()._initialise();
        if (!Ogre::ControllerManager::getSingletonPtr())
            controllers = std::make_unique<Ogre::ControllerManager>();
    }
    ~Engine()
    {
        // The engine first: its scenes still use the buffer and controller managers.
        root.reset();
        controllers.reset();
        buffers.reset();
    }
    std::unique_ptr<Ogre::Root> root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> buffers;
    std::unique_ptr<Ogre::ControllerManager> controllers;
};
}  // namespace

Ogre::Root& builderEngine()
{
    // Steps run inside a program that has its engine already (the file fuzz program) use that one.
    if (Ogre::Root* running = Ogre::Root::getSingletonPtr())
        return *running;
    static Engine engine;
    return *engine.root;
}
