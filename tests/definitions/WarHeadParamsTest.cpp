#include "DefinitionTestTree.h"
#include "ShotDefinitionCheck.h"

#include "definitions/FxParamsLibrary.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
const char* const kBasic =
    "[Basic]\nDamageRange = 6.5\nDirectHitMultiplier = 2.5\nSplashAffectAir = true\nSplashFadeDamage = true\n"
    "blastInterval = 0.25\nFriendlyFire = true\n"
    "[EffectsList]\nNumEffects = 3\nEffect_1 = boom\nEffect_2 = \"smoke\"\nEffect_3 = boom\n"
    "[Sound]\nImpactSound = \"hit.ogg\"\n";

void writeEffects()
{
    ASSERT_TRUE(EffectsParams("boom").writeCache());
    ASSERT_TRUE(EffectsParams("smoke").writeCache());
}

template <class T>
std::unique_ptr<WarHeadParams> makeWarhead(const std::string& name, FxParamsLibrary* fx)
{
    return std::make_unique<T>(name, fx);
}
}  // namespace

TEST(WarHeadParams, SourceAndCacheRoundTripForEveryClass)
{
    DefinitionTestTree t;
    writeEffects();
    const struct {
        const char* name;
        const char* folder;
        std::string extra;
        std::function<std::unique_ptr<WarHeadParams>(const std::string&, FxParamsLibrary*)> make;
        uint32_t type;
    } cases[] = {
        {"plain", "Data/GamePlay", "", makeWarhead<WarHeadParams>, 1},
        {"napalm", "Objects/Warheads",
         "[InertiaSpread]\nhasInertiaSpread = true\nMaxDistanceSpread = 18\n[LineSpread]\nMaxHeightOffset = 0.5\n"
         "[DropHeightSpread]\nhasDropHeightInf = true\nDH_Spread_At_0m = 2\nDH_Spread_At_5000m = 30\n",
         makeWarhead<NapalmWHParams>, 2},
        {"cluster", "Objects/Warheads",
         "[CusterSpread]\nSpreadDistance = 12\nMinSpreadBlasts = 6\nMaxSpreadBlasts = 10\nLimitPlanarSpread = true\n"
         "AirExplosion = true\n",
         makeWarhead<SClusterWHParams>, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        t.writeSource(c.folder, c.name, std::string(kBasic) + c.extra);
        FxParamsLibrary fx;
        const auto source = c.make(c.name, &fx);
        EXPECT_FALSE(source->cacheLoaded());
        EXPECT_EQ(source->DirectHitMultiplier, 1.0f);
        ASSERT_TRUE(source->readIni(&fx));
        EXPECT_EQ(source->getWarheadType(), c.type);
        EXPECT_EQ(source->DamageRange, 6.5f);
        EXPECT_EQ(source->DirectHitMultiplier, 2.5f);
        EXPECT_TRUE(source->SplashAffectAir);
        EXPECT_TRUE(source->SplashFadeDamage);
        EXPECT_EQ(source->blastInterval, 0.25f);
        EXPECT_TRUE(source->FriendlyFire);
        EXPECT_TRUE(source->hasImpactSound);
        EXPECT_EQ(source->getImpactSound(), "hit.ogg");
        ASSERT_EQ(source->getNumEffects(), 3u);
        EXPECT_EQ(source->effectNames[1], "smoke");
        ASSERT_TRUE(source->writeCache());

        FxParamsLibrary fx2;
        const auto loaded = c.make(c.name, &fx2);
        EXPECT_TRUE(loaded->cacheLoaded());
        expectSameWarhead(*source, *loaded);
        // Each entry is loaded anew, a repeated name too.
        ASSERT_EQ(loaded->effects.size(), 3u);
        ASSERT_NE(loaded->effects[0], nullptr);
        EXPECT_EQ(loaded->effects[0]->getName(), "boom");
        EXPECT_EQ(loaded->effects[1]->getName(), "smoke");
        EXPECT_NE(loaded->effects[2], loaded->effects[0]);
        EXPECT_EQ(fx2.findEffectParams("boom"), loaded->effects[0]);
    }

    FxParamsLibrary fx;
    const NapalmWHParams napalm("napalm", &fx);
    EXPECT_TRUE(napalm.hasInertiaSpread);
    EXPECT_EQ(napalm.MaxDistanceSpread, 18.0f);
    EXPECT_EQ(napalm.MaxHeightOffset, 0.5f);
    EXPECT_TRUE(napalm.hasDropHeightInf);
    EXPECT_EQ(napalm.DH_Spread_At_5000m, 30.0f);
    const SClusterWHParams cluster("cluster", &fx);
    EXPECT_EQ(cluster.SpreadDistance, 12.0f);
    EXPECT_EQ(cluster.MinSpreadBlasts, 6u);
    EXPECT_EQ(cluster.MaxSpreadBlasts, 10u);
    EXPECT_TRUE(cluster.LimitPlanarSpread);
    EXPECT_TRUE(cluster.AirExplosion);
}

TEST(WarHeadParams, CacheLayout)
{
    DefinitionTestTree t;
    NapalmWHParams d("n", nullptr);
    d.DamageRange = 1;
    d.DirectHitMultiplier = 2;
    d.SplashFadeDamage = true;
    d.blastInterval = 3;
    d.effectNames = {"a", ""};
    d.ImpactSound = " ";
    d.hasInertiaSpread = true;
    d.MaxDistanceSpread = 4;
    d.MaxHeightOffset = 5;
    d.DH_Spread_At_0m = 6;
    d.DH_Spread_At_5000m = 7;
    ASSERT_TRUE(d.writeCache());

    BinaryWriter w;
    w.writeU32(36254);
    w.writeU32(1);
    w.writeU32(2);
    w.writeString("n");
    w.writeF32(1);
    w.writeF32(2);
    w.writeBool(false);
    w.writeBool(true);
    w.writeF32(3);
    w.writeBool(false);
    w.writeU32(2);
    w.writeString("a");
    w.writeString("");
    w.writeBool(false);  // no impact sound: no name follows
    w.writeBool(true);
    w.writeF32(4);
    w.writeF32(5);
    w.writeBool(false);
    w.writeF32(6);
    w.writeF32(7);
    EXPECT_EQ(t.readBytes(t.cachePath("n", "ZVH")), w.bytes());
}

TEST(WarHeadParams, EffectsWithoutDefinitionAreNullEntries)
{
    DefinitionTestTree t;
    ASSERT_TRUE(EffectsParams("boom").writeCache());
    t.writeSource("Data/GamePlay", "w",
                  "[EffectsList]\nNumEffects = 3\nEffect_1 = \" \"\nEffect_2 = nothing\nEffect_3 = boom\n"
                  "[Sound]\nImpactSound = \" \"\n");
    FxParamsLibrary fx;
    WarHeadParams d("w", &fx);
    ASSERT_TRUE(d.readIni(&fx));
    EXPECT_FALSE(d.hasImpactSound);
    ASSERT_EQ(d.effects.size(), 3u);
    EXPECT_EQ(d.effects[0], nullptr);
    EXPECT_EQ(d.effects[1], nullptr);
    ASSERT_NE(d.effects[2], nullptr);
    EXPECT_EQ(d.effects[2]->getName(), "boom");

    // No effects: an empty list, nothing loaded; without a library the names stay, unresolved.
    t.writeSource("Data/GamePlay", "none", "[EffectsList]\nNumEffects = 0\n");
    WarHeadParams none("none", &fx);
    ASSERT_TRUE(none.readIni(&fx));
    EXPECT_TRUE(none.effects.empty());
    ASSERT_TRUE(d.writeCache());
    const WarHeadParams noLibrary("w", nullptr);
    EXPECT_TRUE(noLibrary.cacheLoaded());
    EXPECT_EQ(noLibrary.effectNames, d.effectNames);
    EXPECT_EQ(noLibrary.effects, std::vector<EffectsParams*>(3, nullptr));

    // Too many effects refuse the source.
    t.writeSource("Data/GamePlay", "many", "[EffectsList]\nNumEffects = 1000000\n");
    WarHeadParams many("many", &fx);
    EXPECT_FALSE(many.readIni(&fx));
    EXPECT_EQ(many.getNumEffects(), 0u);
}

TEST(WarHeadParams, DamagedCachesKeepTheDefaultsAndLoadNoEffects)
{
    DefinitionTestTree t;
    writeEffects();
    t.writeSource("Objects/Warheads", "c", std::string(kBasic) + "[CusterSpread]\nMaxSpreadBlasts = 4\n");
    {
        FxParamsLibrary fx;
        SClusterWHParams source("c", &fx);
        ASSERT_TRUE(source.readIni(&fx));
        ASSERT_TRUE(source.writeCache());
    }
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("c", "ZVH"));
    for (size_t n : {size_t(8), size_t(40), good.size() - 1}) {
        t.writeBytes(t.cachePath("c", "ZVH"), std::vector<uint8_t>(good.begin(), good.begin() + n));
        FxParamsLibrary fx;
        const SClusterWHParams d("c", &fx);
        EXPECT_FALSE(d.cacheLoaded()) << n;
        EXPECT_EQ(d.DamageRange, 0.0f) << n;
        EXPECT_EQ(d.DirectHitMultiplier, 1.0f) << n;
        EXPECT_EQ(d.MaxSpreadBlasts, 0u) << n;
        EXPECT_TRUE(d.effects.empty()) << n;
        EXPECT_FALSE(fx.hasEffectParams("boom")) << n;
    }
    // A cluster cache is not a plain warhead's.
    t.writeBytes(t.cachePath("c", "ZVH"), good);
    FxParamsLibrary fx;
    const WarHeadParams plain("c", &fx);
    EXPECT_FALSE(plain.cacheLoaded());
    EXPECT_TRUE(plain.effects.empty());
}
