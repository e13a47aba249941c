// The definition classes of projectiles, warheads and pickups.
#include "DefinitionSources.h"

#include "definitions/FxParamsLibrary.h"
#include "definitions/PickupParams.h"
#include "definitions/WarHeadParams.h"
#include "definitions/projParams.h"

namespace {
// A warhead's readers load its effects into a library; the cache keeps only their names.
template <class Def>
bool rebuildWarhead(const std::string& name)
{
    FxParamsLibrary fx;
    Def def(name, &fx);
    return def.readIni(&fx) && def.writeCache();
}
}  // namespace

DATABUILDER_DEFINITION_CLASS("projParams", definition_families::Projectile, rebuildDefinition<projParams>);
DATABUILDER_DEFINITION_CLASS("MissParams", definition_families::Projectile, rebuildDefinition<MissParams>);
DATABUILDER_DEFINITION_CLASS("WarHeadParams", definition_families::Warhead, rebuildWarhead<WarHeadParams>);
DATABUILDER_DEFINITION_CLASS("NapalmWHParams", definition_families::WarheadObject, rebuildWarhead<NapalmWHParams>);
DATABUILDER_DEFINITION_CLASS("SClusterWHParams", definition_families::WarheadObject, rebuildWarhead<SClusterWHParams>);
DATABUILDER_DEFINITION_CLASS("PickupParams", definition_families::Pickup, rebuildDefinition<PickupParams>);
DATABUILDER_DEFINITION_CLASS("PickInstantParams", definition_families::Pickup, rebuildDefinition<PickInstantParams>);
DATABUILDER_DEFINITION_CLASS("PickWeapParams", definition_families::Pickup, rebuildDefinition<PickWeapParams>);
DATABUILDER_DEFINITION_CLASS("HealthPickupParams", definition_families::Pickup, rebuildDefinition<HealthPickupParams>);
DATABUILDER_DEFINITION_CLASS("GoEffPickupParams", definition_families::Pickup, rebuildDefinition<GoEffPickupParams>);
