// The game tree's effect and reactor caches, as the data builder made them from our sources.
#include "FxDefinitionCheck.h"

#include "definitions/AirObjParams.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {
template <class T, class Base>
std::unique_ptr<Base> make(const std::string& name)
{
    return std::make_unique<T>(name);
}

// The source files of a folder of the game tree, without ".ini", with their [Build] class.
std::map<std::string, std::string> sourcesIn(const std::string& folder)
{
    std::map<std::string, std::string> out;
    for (const std::string& file : platform::listDirectory(folder)) {
        if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".ini") != 0)
            continue;
        IniSource ini;
        EXPECT_TRUE(ini.load(folder + file)) << file;
        out[file.substr(0, file.size() - 4)] = ini.text("Build", "Class");
    }
    return out;
}
}  // namespace

TEST(FxData, EveryEffectAndReactorLoadsWithItsSourceValues)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    const std::map<std::string, std::function<std::unique_ptr<EffectsParams>(const std::string&)>> effectClasses = {
        {"EffectsParams", make<EffectsParams, EffectsParams>},
        {"BaseEffectsParams", make<BaseEffectsParams, EffectsParams>},
        {"MultiEffectsParams", make<MultiEffectsParams, EffectsParams>},
    };
    const std::map<std::string, std::function<std::unique_ptr<VirtualReactorParams>(const std::string&)>>
        reactorClasses = {
            {"VirtualReactorParams", make<VirtualReactorParams, VirtualReactorParams>},
            {"BasicReactorParams", make<BasicReactorParams, VirtualReactorParams>},
            {"VariableReactorParams", make<VariableReactorParams, VirtualReactorParams>},
            {"MultiReactorParams", make<MultiReactorParams, VirtualReactorParams>},
        };

    FxParamsLibrary lib;
    const auto effects = sourcesIn("../../Data/Effects/");
    EXPECT_FALSE(effects.empty());
    for (const auto& [name, className] : effects) {
        SCOPED_TRACE(name);
        const auto found = effectClasses.find(className);
        ASSERT_NE(found, effectClasses.end()) << className;
        const auto source = found->second(name);
        ASSERT_TRUE(source->readIni());
        const EffectsParams* loaded = lib.getEffectParams(name);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameEffect(*source, *loaded);
    }
    const auto reactors = sourcesIn("../../Data/Reactor/");
    EXPECT_FALSE(reactors.empty());
    for (const auto& [name, className] : reactors) {
        SCOPED_TRACE(name);
        const auto found = reactorClasses.find(className);
        ASSERT_NE(found, reactorClasses.end()) << className;
        const auto source = found->second(name);
        ASSERT_TRUE(source->readIni());
        const VirtualReactorParams* loaded = lib.getReactorParams(name);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameReactor(*source, *loaded);
    }
}

TEST(FxData, GameObjectsNameEffectsAndReactorsThatExist)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    FxParamsLibrary lib;
    const auto expectEffect = [&](const std::string& name) {
        if (!isAbsentName(name)) {
            EXPECT_NE(lib.getEffectParams(name), nullptr) << name;
        }
    };
    const auto expectReactor = [&](const std::string& name) {
        if (!isAbsentName(name)) {
            EXPECT_NE(lib.getReactorParams(name), nullptr) << name;
        }
    };
    const GroundObjParams bastion("bastion");
    const AirObjParams kestrel("kestrel");
    const GroundVehiParams abrams("abrams");
    const GroundVehiParams marauder("marauder");
    const OvniParams monolith("monolith");
    const OvniParams wisp("wisp");
    for (const goParams* d : std::initializer_list<const goParams*>{&bastion, &kestrel, &abrams, &marauder, &monolith, &wisp}) {
        SCOPED_TRACE(d->getName());
        ASSERT_TRUE(d->cacheLoaded());
        expectEffect(d->Death_Effect);
        expectEffect(d->Spawn_Effect);
        expectEffect(d->Retreat_Effect);
        expectEffect(d->ExplodeEffect);
        expectReactor(d->CriticalDam_Reactor);
        for (const subObjParams& part : d->subObjs)
            expectEffect(part.Death_Effect);
    }
    for (const GroundVehiParams* v : {&abrams, &marauder}) {
        expectReactor(v->getMoveReactor());
        expectReactor(v->getDashReactor());
        expectEffect(v->getDashJumpEffect());
    }
    for (const OvniParams* o : {&monolith, &wisp}) {
        EXPECT_GT(o->getNumReactors(), 0u);
        for (uint32_t i = 0; i < o->getNumReactors(); ++i)
            expectReactor(o->getReactorName(i));
    }
}
