// The definition classes of the gameplay folder: difficulty and game objects.
#include "DefinitionSources.h"

#include "definitions/AirObjParams.h"
#include "definitions/DificultyData.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"

namespace {
// There is one difficulty definition; its source file name is fixed.
bool rebuildDifficulty(const std::string& name)
{
    if (name != DificultyData::kName)
        return false;
    DificultyData difficulty;
    return difficulty.readIni() && difficulty.writeCache();
}
}  // namespace

DATABUILDER_DEFINITION_CLASS("DificultyData", definition_families::Difficulty, rebuildDifficulty);
DATABUILDER_DEFINITION_CLASS("GroundObjParams", definition_families::GameObject, rebuildDefinition<GroundObjParams>);
DATABUILDER_DEFINITION_CLASS("AirObjParams", definition_families::GameObject, rebuildDefinition<AirObjParams>);
DATABUILDER_DEFINITION_CLASS("GroundVehiParams", definition_families::GameObject, rebuildDefinition<GroundVehiParams>);
DATABUILDER_DEFINITION_CLASS("OvniParams", definition_families::GameObject, rebuildDefinition<OvniParams>);
