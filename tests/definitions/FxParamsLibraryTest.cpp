#include "DefinitionTestTree.h"

#include "definitions/FxParamsLibrary.h"

#include <gtest/gtest.h>

namespace {
// A cache with the family's header and no fields (a definition of a class with fields then
// reads it as damaged).
void writeHeaderOnly(const DefinitionFamily& family, const std::string& name, uint32_t type)
{
    CacheWriter out(family, name, type);
    ASSERT_TRUE(out.commit(family, name));
}

void writeEffect(const std::string& name, float timeToLive = 1.0f)
{
    EffectsParams d(name);
    d.TimeToLive = timeToLive;
    ASSERT_TRUE(d.writeCache());
}
}  // namespace

TEST(FxParamsLibrary, ClassFollowsTheCacheTypeCode)
{
    DefinitionTestTree t;
    EffectsParams plain("plain");
    plain.TimeToLive = 2.0f;
    ASSERT_TRUE(plain.writeCache());
    BaseEffectsParams base("base");
    base.ParticleName = "Fx/B";
    ASSERT_TRUE(base.writeCache());
    MultiEffectsParams multi("multi");
    multi.particles = {{"Fx/M", 1.0f}};
    ASSERT_TRUE(multi.writeCache());
    writeHeaderOnly(definition_families::Effect, "odd", 7);

    VirtualReactorParams sound("sound");
    sound.StartState = 0;
    ASSERT_TRUE(sound.writeCache());
    ASSERT_TRUE(BasicReactorParams("basic").writeCache());
    ASSERT_TRUE(VariableReactorParams("variable").writeCache());
    ASSERT_TRUE(MultiReactorParams("multiR").writeCache());
    writeHeaderOnly(definition_families::Reactor, "oddR", 9);

    FxParamsLibrary lib;
    const struct {
        const char* name;
        uint32_t type;
    } effects[] = {{"plain", 0}, {"base", 1}, {"multi", 2}, {"odd", 0}};
    for (const auto& c : effects) {
        const EffectsParams* d = lib.getEffectParams(c.name);
        ASSERT_NE(d, nullptr) << c.name;
        EXPECT_EQ(d->getTypeCode(), c.type) << c.name;
        EXPECT_EQ(d->getName(), c.name);
    }
    EXPECT_EQ(lib.getEffectParams("plain")->TimeToLive, 2.0f);
    EXPECT_EQ(dynamic_cast<const BaseEffectsParams&>(*lib.getEffectParams("base")).ParticleName, "Fx/B");
    EXPECT_EQ(dynamic_cast<const MultiEffectsParams&>(*lib.getEffectParams("multi")).getNumParticles(), 1u);
    // An unknown type code gives the base class, which cannot take that layout: defaults.
    EXPECT_FALSE(lib.getEffectParams("odd")->cacheLoaded());

    const struct {
        const char* name;
        uint32_t type;
    } reactors[] = {{"sound", 0}, {"basic", 1}, {"variable", 2}, {"multiR", 3}, {"oddR", 0}};
    for (const auto& c : reactors) {
        const VirtualReactorParams* d = lib.getReactorParams(c.name);
        ASSERT_NE(d, nullptr) << c.name;
        EXPECT_EQ(d->getTypeCode(), c.type) << c.name;
    }
    EXPECT_EQ(lib.getReactorParams("sound")->StartState, 0u);
    EXPECT_TRUE(dynamic_cast<const VariableReactorParams*>(lib.getReactorParams("variable")));
    EXPECT_TRUE(dynamic_cast<const MultiReactorParams*>(lib.getReactorParams("multiR")));
    // Effects and reactors live apart: a reactor name is no effect.
    EXPECT_FALSE(lib.hasEffectParams("basic"));
}

TEST(FxParamsLibrary, LoadsEachNameOnceAndGrowsByOneSlot)
{
    DefinitionTestTree t;
    for (const char* name : {"a", "b", "c", "d", "e", "f", "A"})
        writeEffect(name);
    ASSERT_TRUE(VirtualReactorParams("r").writeCache());

    FxParamsLibrary lib;
    EXPECT_EQ(lib.effectSlotCount(), 5u);
    EXPECT_EQ(lib.reactorSlotCount(), 5u);
    EffectsParams* a = lib.getEffectParams("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(lib.getEffectParams("a"), a);
    EXPECT_TRUE(lib.hasEffectParams("a"));
    EXPECT_EQ(lib.findEffectParams("a"), a);

    // Names differ by case.
    EffectsParams* upper = lib.getEffectParams("A");
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(upper, a);
    for (const char* name : {"b", "c", "d"})
        ASSERT_NE(lib.getEffectParams(name), nullptr);
    EXPECT_EQ(lib.effectSlotCount(), 5u);
    ASSERT_NE(lib.getEffectParams("e"), nullptr);
    EXPECT_EQ(lib.effectSlotCount(), 6u);
    EXPECT_EQ(lib.reactorSlotCount(), 5u);

    // Loading always makes a new definition; lookups keep finding the first.
    EffectsParams* second = lib.loadEffectParams("a");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, a);
    EXPECT_EQ(lib.effectSlotCount(), 7u);
    EXPECT_EQ(lib.getEffectParams("a"), a);

    VirtualReactorParams* r = lib.getReactorParams("r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(lib.getReactorParams("r"), r);
    EXPECT_NE(lib.loadReactorParams("r"), r);
    EXPECT_EQ(lib.findReactorParams("r"), r);
}

TEST(FxParamsLibrary, BlankMissingAndForeignNamesGiveNull)
{
    DefinitionTestTree t;
    writeEffect(" x");
    // A reactor cache under an effect's name and extension is not an effect.
    ASSERT_TRUE(VirtualReactorParams("foreign").writeCache());
    std::rename(t.cachePath("foreign", "ZVR").c_str(), t.cachePath("foreign", "ZVE").c_str());
    // Shorter than the header.
    t.writeBytes(t.cachePath("short", "ZVE"), {0x5B, 0x54, 0x40, 0x03, 1, 0});

    FxParamsLibrary lib;
    for (const char* name : {"", " ", "missing", "foreign", "short"}) {
        EXPECT_EQ(lib.getEffectParams(name), nullptr) << '"' << name << '"';
        EXPECT_EQ(lib.loadEffectParams(name), nullptr) << '"' << name << '"';
        EXPECT_FALSE(lib.hasEffectParams(name));
        EXPECT_EQ(lib.getReactorParams(name), nullptr) << '"' << name << '"';
        EXPECT_EQ(lib.loadReactorParams(name), nullptr) << '"' << name << '"';
    }
    // Only a blank name is blank.
    EXPECT_NE(lib.getEffectParams(" x"), nullptr);
    // None of them took a slot: five more names fit before the array grows.
    for (const char* name : {"a", "b", "c", "d"})
        writeEffect(name);
    for (const char* name : {"a", "b", "c", "d"})
        ASSERT_NE(lib.getEffectParams(name), nullptr);
    EXPECT_EQ(lib.effectSlotCount(), 5u);

    // A name found missing stays missing for this library; a new library looks again.
    writeEffect("missing");
    EXPECT_EQ(lib.getEffectParams("missing"), nullptr);
    FxParamsLibrary fresh;
    EXPECT_NE(fresh.getEffectParams("missing"), nullptr);
}

TEST(FxParamsLibrary, DamagedCacheGivesADefinitionWithDefaults)
{
    DefinitionTestTree t;
    MultiEffectsParams multi("broken");
    multi.TimeToLive = 5.0f;
    multi.particles = {{"Fx/1", 1.0f}};
    ASSERT_TRUE(multi.writeCache());
    std::vector<uint8_t> bytes = t.readBytes(t.cachePath("broken", "ZVE"));
    bytes.resize(bytes.size() - 3);
    t.writeBytes(t.cachePath("broken", "ZVE"), bytes);

    FxParamsLibrary lib;
    const EffectsParams* d = lib.getEffectParams("broken");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->getTypeCode(), 2u);
    EXPECT_FALSE(d->cacheLoaded());
    EXPECT_EQ(d->TimeToLive, 0.0f);
    EXPECT_EQ(dynamic_cast<const MultiEffectsParams&>(*d).getNumParticles(), 0u);
    EXPECT_EQ(lib.getEffectParams("broken"), d);
}
