#pragma once
// Rules-engine tests: a private game tree whose mode files a test writes and rebuilds into their
// caches as the data builder does, and the engine made from whichever handles the test has.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "play/GameRulesManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace rulestest {

// Writes a mode's .ini under the working directory's game tree and builds its cache with an
// engine of its own (Ovni and pickups keep their names).
inline void writeMode(const std::string& name, const std::string& text)
{
    const std::string ini = GameRulesManager::iniPath(name);
    std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
    testsupport::writeTextFile(ini, text);
    GamePlayData data;
    GameRulesManager builder(&data, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(builder.loadIniFile(name)) << builder.problem();
    ASSERT_TRUE(builder.writeCacheFile(name));
}

// Working directory Bin/Game of a temporary tree.
struct ModeFiles {
    testsupport::TempGameTree tree{"Bin/Game/plugins.cfg"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};

    void write(const std::string& name, const std::string& text) const { writeMode(name, text); }
};

// The handles a test gives the engine; the rest stay null.
struct Handles {
    GamePlayData* data = nullptr;
    Ogre::SceneManager* scene = nullptr;
    audio::SoundManager* sounds = nullptr;
    MyGUI::Gui* gui = nullptr;
    GameSession* session = nullptr;
    GlobalSounds* globalSounds = nullptr;
    SceneCreator* creator = nullptr;
    SceneContext* context = nullptr;
    RandomGenerator* random = nullptr;
    GOParamsLibrary* goLibrary = nullptr;
    DamageRegistry* damage = nullptr;
    FxPool* fx = nullptr;
    TargetRegistry* targets = nullptr;
    ProjectileManager* projectiles = nullptr;
    AIManager* ai = nullptr;
    GameObjectManager* objects = nullptr;
    PickupManager* pickups = nullptr;
};

inline std::unique_ptr<GameRulesManager> makeRules(const Handles& h)
{
    return std::make_unique<GameRulesManager>(
        h.data, nullptr, h.scene, h.sounds, nullptr, nullptr, nullptr, nullptr, nullptr, h.gui, h.session,
        h.globalSounds, nullptr, h.creator, h.context, nullptr, h.random, nullptr, h.goLibrary, nullptr, nullptr,
        h.damage, h.fx, h.targets, h.projectiles, nullptr, h.ai, h.objects, h.pickups, nullptr);
}

}  // namespace rulestest
