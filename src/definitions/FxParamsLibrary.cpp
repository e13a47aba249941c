#include "definitions/FxParamsLibrary.h"

#include <memory>

namespace {
std::unique_ptr<EffectsParams> createEffect(const std::string& name)
{
    uint32_t type = 0;
    if (!findDefinitionTypeCode(definition_families::Effect, name, type))
        return nullptr;
    switch (type) {
    case BaseEffectsParams::kTypeCode:
        return std::make_unique<BaseEffectsParams>(name);
    case MultiEffectsParams::kTypeCode:
        return std::make_unique<MultiEffectsParams>(name);
    default:
        return std::make_unique<EffectsParams>(name);
    }
}

std::unique_ptr<VirtualReactorParams> createReactor(const std::string& name)
{
    uint32_t type = 0;
    if (!findDefinitionTypeCode(definition_families::Reactor, name, type))
        return nullptr;
    switch (type) {
    case BasicReactorParams::kTypeCode:
        return std::make_unique<BasicReactorParams>(name);
    case VariableReactorParams::kTypeCode:
        return std::make_unique<VariableReactorParams>(name);
    case MultiReactorParams::kTypeCode:
        return std::make_unique<MultiReactorParams>(name);
    default:
        return std::make_unique<VirtualReactorParams>(name);
    }
}

template <class Def, class Create>
Def* loadInto(DefinitionSlots<Def>& slots, std::set<std::string>& missing, const std::string& name, Create create)
{
    if (isAbsentName(name))
        return nullptr;
    std::unique_ptr<Def> def = create(name);
    if (!def) {
        missing.insert(name);
        return nullptr;
    }
    return slots.add(std::move(def));
}

template <class Def, class Create>
Def* getOrLoad(DefinitionSlots<Def>& slots, std::set<std::string>& missing, const std::string& name, Create create)
{
    if (isAbsentName(name) || missing.count(name))
        return nullptr;
    if (Def* held = slots.find(name))
        return held;
    return loadInto(slots, missing, name, create);
}
}  // namespace

FxParamsLibrary::~FxParamsLibrary()
{
    effects_.clear();
    reactors_.clear();
}

EffectsParams* FxParamsLibrary::getEffectParams(const std::string& name)
{
    return getOrLoad(effects_, missingEffects_, name, createEffect);
}

EffectsParams* FxParamsLibrary::loadEffectParams(const std::string& name)
{
    return loadInto(effects_, missingEffects_, name, createEffect);
}

VirtualReactorParams* FxParamsLibrary::getReactorParams(const std::string& name)
{
    return getOrLoad(reactors_, missingReactors_, name, createReactor);
}

VirtualReactorParams* FxParamsLibrary::loadReactorParams(const std::string& name)
{
    return loadInto(reactors_, missingReactors_, name, createReactor);
}
