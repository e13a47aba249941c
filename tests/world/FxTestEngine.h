#pragma once
// The engine pieces the effect pool needs in a test: the particle plug-in and our affector, the
// game's particle scripts, materials and sounds, the definition library reading the game tree's
// caches, a sound manager (silent or null output), a random generator and a scene.
#include "audio/SoundManager.h"
#include "core/HeadlessEngine.h"
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

// Call after the engine root exists and before any particle system is made. Without a render
// system no texture can be made, so a headless engine gets the game's particle scripts with
// untextured stand-ins of their materials.
inline void loadFxResources(Ogre::Root* root, InterpolationAffectorFactory* factory, const std::string& mediaDir,
                            bool headless)
{
    if (headless) {
        loadHeadlessEffects(root, factory, testsupport::gameTreeDir(), mediaDir, "FxTest");
        return;
    }
    // A windowed engine loads its plug-ins from plugins.cfg and textures its own materials.
    Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(factory);
    const std::filesystem::path data = std::filesystem::path(testsupport::gameTreeDir()) / "Data";
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation((data / "Particles").string(), "FileSystem", "FxTest");
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
