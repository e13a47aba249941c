// The definition classes of the gameplay folder: difficulty and game objects.
#include "DefinitionSources.h"

#include "definitions/DificultyData.h"

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
