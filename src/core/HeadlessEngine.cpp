#include "core/HeadlessEngine.h"

#include "core/InterpolationAffector.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

HeadlessEngine::HeadlessEngine(const std::string& logName)
{
    logManager_ = new Ogre::LogManager();
    logManager_->createLog(logName, true, false, true);
    root_ = new Ogre::Root("", "", "");
    // Normally made when a render system starts; particle systems need it to attach to nodes.
    if (!Ogre::ControllerManager::getSingletonPtr())
        controllerManager_ = new Ogre::ControllerManager();
    bufferManager_ = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    Ogre::MeshManager::getSingleton()._initialise();
    // Registers the billboard renderer, so particle systems can be made without a window.
    Ogre::ParticleSystemManager::getSingleton()._initialise();
}

HeadlessEngine::~HeadlessEngine()
{
    delete root_;
    delete controllerManager_;
    delete bufferManager_;
    delete logManager_;
}

void loadHeadlessEffects(Ogre::Root* root, InterpolationAffectorFactory* factory, const std::string& gameTree,
                         const std::string& mediaDir, const std::string& group)
{
    Ogre::ConfigFile plugins;
    plugins.loadDirect(gameTree + "/Bin/Game/plugins.cfg");
    root->loadPlugin(plugins.getSetting("PluginFolder") + "/Plugin_ParticleFX");
    Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(factory);
    const fs::path data = fs::path(gameTree) / "Data";
    fs::create_directories(mediaDir);
    std::string materials;
    for (const auto& entry : fs::directory_iterator(data / "Particles")) {
        if (entry.path().extension() == ".particle")
            fs::copy_file(entry.path(), fs::path(mediaDir) / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        if (entry.path().extension() == ".material") {
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);)
                if (line.rfind("material ", 0) == 0)
                    materials += line + "\n{\n}\n";
        }
    }
    std::ofstream(fs::path(mediaDir) / "standin.material") << materials;
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(mediaDir, "FileSystem", group);
    groups.addResourceLocation((data / "Sounds").string(), "FileSystem", group);
    groups.initialiseResourceGroup(group);
}
