// The definition classes of the effect and reactor folders.
#include "DefinitionSources.h"

#include "definitions/EffectsParams.h"
#include "definitions/VirtualReactorParams.h"

DATABUILDER_DEFINITION_CLASS("EffectsParams", definition_families::Effect, rebuildDefinition<EffectsParams>);
DATABUILDER_DEFINITION_CLASS("BaseEffectsParams", definition_families::Effect, rebuildDefinition<BaseEffectsParams>);
DATABUILDER_DEFINITION_CLASS("MultiEffectsParams", definition_families::Effect, rebuildDefinition<MultiEffectsParams>);
DATABUILDER_DEFINITION_CLASS("VirtualReactorParams", definition_families::Reactor,
                             rebuildDefinition<VirtualReactorParams>);
DATABUILDER_DEFINITION_CLASS("BasicReactorParams", definition_families::Reactor, rebuildDefinition<BasicReactorParams>);
DATABUILDER_DEFINITION_CLASS("VariableReactorParams", definition_families::Reactor,
                             rebuildDefinition<VariableReactorParams>);
DATABUILDER_DEFINITION_CLASS("MultiReactorParams", definition_families::Reactor, rebuildDefinition<MultiReactorParams>);
