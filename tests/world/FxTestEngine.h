#pragma once
// The engine pieces the effect pool needs in a test: the particle plug-in and our affector, the
// game's particle scripts, materials and sounds, the definition library reading the game tree's
// caches, a sound manager (silent or null output), a random generator and a scene.
#include "audio/SoundManager.h"
#include "core/InterpolationAffector.h"
#include "core/RandomGenerator.h"
#include "definitions/FxParamsLibrary.h"
#include "support/TestSupport.h"

#include <Ogre.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace fxtest {

// The plug-in folder named by the game tree's plugins.cfg.
inline std::string pluginFolder()
{
    Ogre::ConfigFile cfg;
    cfg.loadDirect(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg");
    return cfg.getSetting("PluginFolder");
}

// Call after the engine root exists and before any particle system is made. Without a render
// system no texture can be made, so a headless engine gets the game's particle scripts with
// untextured stand-ins of their materials.
inline void loadFxResources(Ogre::Root* root, InterpolationAffectorFactory* factory, const std::string& mediaDir,
                            bool headless)
{
    namespace fs = std::filesystem;
    if (headless)  // a windowed engine loads its plug-ins from plugins.cfg
        root->loadPlugin(pluginFolder() + "/Plugin_ParticleFX");
    Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(factory);
    const fs::path data = fs::path(testsupport::gameTreeDir()) / "Data";
    std::string particles = (data / "Particles").string();
    if (headless) {
        fs::create_directories(mediaDir);
        std::string materials;
        for (const auto& entry : fs::directory_iterator(data / "Particles")) {
            if (entry.path().extension() == ".particle")
                fs::copy_file(entry.path(), fs::path(mediaDir) / entry.path().filename());
            if (entry.path().extension() == ".material") {
                std::istringstream in(testsupport::readTextFile(entry.path().string()));
                for (std::string line; std::getline(in, line);)
                    if (line.rfind("material ", 0) == 0)
                        materials += line + "\n{\n}\n";
            }
        }
        testsupport::writeTextFile(mediaDir + "/standin.material", materials);
        particles = mediaDir;
    }
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(particles, "FileSystem", "FxTest");
    groups.addResourceLocation((data / "Sounds").string(), "FileSystem", "FxTest");
    groups.initialiseResourceGroup("FxTest");
}

// A log listener that keeps the lines, to check what was reported.
struct LogLines : Ogre::LogListener {
    std::vector<std::string> lines;
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
    }
    size_t countContaining(const std::string& text) const
    {
        size_t n = 0;
        for (const std::string& l : lines)
            n += l.find(text) != std::string::npos ? 1 : 0;
        return n;
    }
};

}  // namespace fxtest
