// The mode rules caches: Data/System/<Name>.ZVG for every game mode of data/tables/GMode.ini and
// every challenge of data/tables/GCampA.ini, read from Data/GamePlay/<Name>.ini by the game's own
// reader. A level without its .ini, a list over its cap, a definition without a cache, or a
// colour or mecha index past its list gets no cache and fails the step. Also the disc mesh of
// the trigger areas.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"
#include "TableSource.h"

#include "core/GamePlayData.h"
#include "definitions/DefinitionCache.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/PickupParamsLibrary.h"
#include "play/AreaTrigger.h"
#include "play/GameRulesManager.h"

#include <OgreException.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The levels of the game: the free modes, then the challenges tier by tier.
bool levelNames(BuildContext& ctx, std::vector<std::string>& names)
{
    TableSource modes;
    modes.setLog(&ctx.log);
    if (!modes.open(ctx.dataDir + "/tables/GMode.ini"))
        return false;
    for (uint32_t m = 0; modes.hasSection("Mode_" + std::to_string(m)); ++m)
        names.push_back(modes.text("Mode_" + std::to_string(m), "Name"));

    TableSource campaign;
    campaign.setLog(&ctx.log);
    if (!campaign.open(ctx.dataDir + "/tables/GCampA.ini"))
        return false;
    for (uint32_t t = 1; campaign.hasSection("Challenge_" + std::to_string(t) + "_1"); ++t)
        for (uint32_t c = 1; campaign.hasSection("Challenge_" + std::to_string(t) + "_" + std::to_string(c)); ++c)
            names.push_back(campaign.text("Challenge_" + std::to_string(t) + "_" + std::to_string(c), "Name"));
    return modes.ok() && campaign.ok();
}

// What the game would silently drop or play without: each a line naming the level's file.
std::vector<std::string> faults(const GameRulesManager& rules, const GamePlayData& data, const std::string& name)
{
    std::vector<std::string> found;
    const std::string file = GameRulesManager::iniPath(name);
    for (uint32_t n = 0; n < data.ovniTypes.size(); ++n) {
        const OvniSpawnType& type = data.ovniTypes[n];
        if (!type.definition)
            found.push_back(file + ": Ovni_" + std::to_string(n + 1) + "_Name '" + type.name +
                            "' has no Ovni definition cache");
        if (type.colourIndex > rules.colourStates.size())
            found.push_back(file + ": Ovni_" + std::to_string(n + 1) + "_ColourIdx " +
                            std::to_string(type.colourIndex) + " is past the " +
                            std::to_string(rules.colourStates.size()) + " colour states");
    }
    const auto checkPickups = [&](const std::vector<PickupSpawnType>& list, const char* section) {
        for (uint32_t n = 0; n < list.size(); ++n) {
            uint32_t code = 0;
            if (!findDefinitionTypeCode(definition_families::Pickup, list[n].name, code))
                found.push_back(file + ": " + section + " Pick_" + std::to_string(n + 1) + "_Name '" +
                                list[n].name + "' has no pickup definition cache");
        }
    };
    checkPickups(data.intervalPickupTypes, "INTERVAL_PICKUPS");
    checkPickups(data.timePickupTypes, "TIME_PICKUPS");
    for (const std::string& index : rules.droppedIndexes())
        found.push_back(file + ": " + index + " is past the " + std::to_string(data.numMechaVars()) +
                        " mecha variables");
    // The record-table reader drops a recorded variable past the list; look at the source.
    IniSource ini;
    if (ini.load(file) && ini.uint("RECORD_TABLE", "MechIndx") > data.numMechaVars())
        found.push_back(file + ": MechIndx " + std::to_string(ini.uint("RECORD_TABLE", "MechIndx")) +
                        " is past the " + std::to_string(data.numMechaVars()) + " mecha variables");
    return found;
}

bool buildModeRules(BuildContext& ctx)
{
    std::vector<std::string> names;
    if (!levelNames(ctx, names))
        return false;
    std::error_code ec;
    std::filesystem::create_directories("../../Data/System", ec);

    GOParamsLibrary goLibrary(nullptr);
    PickupParamsLibrary pickupLibrary;
    bool ok = true;
    size_t written = 0;
    for (const std::string& name : names) {
        if (!ctx.onlyName.empty() && name != ctx.onlyName)
            continue;
        GamePlayData data;
        GameRulesManager rules(&data, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &goLibrary, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
        rules.pickupLibrary = &pickupLibrary;
        bool loaded = false;
        try {
            loaded = rules.loadIniFile(name);
        } catch (const Ogre::Exception&) {
            ctx.log << "mode rules: " << GameRulesManager::iniPath(name) << " cannot be read\n";
            ok = false;
            continue;
        }
        if (!loaded) {
            ctx.log << "mode rules: " << rules.problem() << "\n";
            ok = false;
            continue;
        }
        const std::vector<std::string> found = faults(rules, data, name);
        for (const std::string& fault : found)
            ctx.log << "mode rules: " << fault << "\n";
        if (!found.empty()) {
            ok = false;
            continue;
        }
        if (!rules.writeCacheFile(name)) {
            ctx.log << "mode rules: cannot write " << GameRulesManager::cachePath(name) << "\n";
            ok = false;
            continue;
        }
        ++written;
    }
    ctx.log << "mode rules: " << written << " of " << names.size() << " caches written\n";
    return ok;
}

bool buildTriggerAreaMesh(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    MeshBuilder m;
    m.addDisc("ZV_TriggerAreaM", {0, 0.05f, 0}, AreaTrigger::kBaseRadius, 48, 4.0f);
    if (!m.save("ZV_TriggerArea.mesh", dir + "ZV_TriggerArea.mesh")) {
        ctx.log << "meshes: cannot write ZV_TriggerArea.mesh\n";
        return false;
    }
    return true;
}

}  // namespace

DATABUILDER_STEP("trigger area mesh", 12, buildTriggerAreaMesh);
DATABUILDER_STEP("mode rules", 30, buildModeRules);
