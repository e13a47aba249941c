#include "DefinitionTestTree.h"
#include "GameObjectDefinitionCheck.h"

#include "definitions/AirObjParams.h"
#include "definitions/GroundObjParams.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
template <class T>
T fromSource(const DefinitionTestTree& t, const std::string& name, const std::string& text)
{
    t.writeSource("Data/GamePlay", name, text);
    T d(name);
    EXPECT_TRUE(d.readIni()) << name;
    return d;
}

template <class T>
void expectRoundTrip(const T& source)
{
    ASSERT_TRUE(source.writeCache());
    const T loaded(source.getName());
    EXPECT_TRUE(loaded.cacheLoaded());
    expectSameObjectFields(source, loaded);
    EXPECT_EQ(loaded.groundOffset, source.groundOffset);
    EXPECT_EQ(loaded.MainWeapPos, source.MainWeapPos);
}
}  // namespace

TEST(GameObjectParams, SourceAndCacheRoundTripForGroundAndAirObjects)
{
    DefinitionTestTree t;
    const auto ground = fromSource<GroundObjParams>(t, "ground", fullObjectSource(""));
    expectFullSourceValues(ground, 32);
    EXPECT_EQ(ground.groundOffset, Ogre::Vector3(0.5f, -1.5f, 2.0f));
    EXPECT_EQ(ground.MainWeapPos, Ogre::Vector3(1, 2, 3));
    expectRoundTrip(ground);

    const auto air = fromSource<AirObjParams>(t, "air", fullObjectSource(""));
    expectFullSourceValues(air, 1);
    EXPECT_EQ(air.groundOffset, Ogre::Vector3(0.5f, -1.5f, 2.0f));
    expectRoundTrip(air);

    // The part angles come only from the source; fractions of hit points are lost in the cache.
    EXPECT_EQ(ground.subObjs[1].OriByYaw, 90.0f);
    EXPECT_EQ(ground.subObjs[0].OriByPitch, 10.0f);
    EXPECT_EQ(ground.subObjs[0].OriRoll, 30.0f);
    const GroundObjParams loaded("ground");
    EXPECT_EQ(loaded.subObjs[1].OriByYaw, 0.0f);
    EXPECT_EQ(loaded.subObjs[0].OriByPitch, 0.0f);
    EXPECT_EQ(loaded.subObjs[0].HP, 99.0f);
    // The stored role code is kept as it is, not mapped a second time.
    EXPECT_EQ(loaded.roleCode, 32u);
}

TEST(GameObjectParams, SourceCorrections)
{
    DefinitionTestTree t;
    const struct {
        const char* lock;  // LockRangeVar and LockAngleVar, nullptr for no key
        float expected;
    } locks[] = {{"0.1", 1.0f}, {"0.2", 0.2f}, {"5.0", 5.0f}, {"5.5", 1.0f}, {"-3", 1.0f}, {nullptr, 1.0f}};
    for (const auto& c : locks) {
        const std::string specs = c.lock ? std::string("[Specs]\nLockRangeVar = ") + c.lock +
                                               "\nLockAngleVar = " + c.lock + "\n"
                                         : "";
        const auto d = fromSource<GroundObjParams>(t, "lock", "[Data]\nHP = 5\n" + specs);
        EXPECT_EQ(d.LockRangeVar, c.expected) << (c.lock ? c.lock : "missing");
        EXPECT_EQ(d.LockAngleVar, c.expected) << (c.lock ? c.lock : "missing");
    }

    // A nearly empty source: the defaults of the readers.
    const std::string bare =
        "[Data]\nHP = 5\n[Weapons]\nHasMainWeapon = false\nMainWeapon = cannon\nMainWeapPos = 1 2 3\n";
    const auto ground = fromSource<GroundObjParams>(t, "bare", bare);
    EXPECT_EQ(ground.RadarRange, 5000.0f);
    EXPECT_EQ(ground.GroundLockVar, 1.0f);
    EXPECT_EQ(ground.AirLockVar, 1.0f);
    EXPECT_EQ(ground.CriticalDam_Prob, 100.0f);
    EXPECT_EQ(ground.MainWeapon, "");
    EXPECT_EQ(ground.MainWeapPos, Ogre::Vector3::ZERO);
    EXPECT_EQ(ground.getNumSubObjs(), 0u);
    EXPECT_EQ(ground.roleCode, 35u);
    const auto air = fromSource<AirObjParams>(t, "bareAir", bare);
    EXPECT_EQ(air.RadarRange, 20000.0f);

    // No weapon: the HasMainWeapon byte is followed directly by the two vectors.
    GroundObjParams withOffset = ground;
    withOffset.groundOffset = Ogre::Vector3(7, 8, 9);
    ASSERT_TRUE(withOffset.writeCache());
    const std::vector<uint8_t> bytes = t.readBytes(t.cachePath("bare", "ZVO"));
    const size_t tail = 1 + 24 + 4;  // weapon flag, two vectors, part count
    ASSERT_GT(bytes.size(), tail);
    EXPECT_EQ(bytes[bytes.size() - tail], 0);
    float x = 0;
    std::memcpy(&x, &bytes[bytes.size() - tail + 1], 4);
    EXPECT_EQ(x, 7.0f);
}

TEST(GameObjectParams, PartSectionsCountFromOne)
{
    DefinitionTestTree t;
    const auto d = fromSource<GroundObjParams>(t, "parts",
                                               "[SubObjData]\nnumGoSubObjs = 2\n"
                                               "[SubObjData_0]\nGameName = zero\n"
                                               "[SubObjData_1]\nGameName = one\n"
                                               "[SubObjData_2]\nGameName = two\n"
                                               "[SubObjData_3]\nGameName = three\n");
    ASSERT_EQ(d.getNumSubObjs(), 2u);
    EXPECT_EQ(d.subObjs[0].GameName, "one");
    EXPECT_EQ(d.subObjs[1].GameName, "two");

    // A part count beyond the cap refuses the source instead of allocating it.
    t.writeSource("Data/GamePlay", "many", "[SubObjData]\nnumGoSubObjs = 4000000000\n");
    GroundObjParams many("many");
    EXPECT_FALSE(many.readIni());
    EXPECT_EQ(many.getNumSubObjs(), 0u);
}

TEST(GameObjectParams, RoleCodes)
{
    DefinitionTestTree t;
    const GroundObjParams ground("none");
    const AirObjParams air("none");
    const uint32_t codes[] = {0, 1, 2, 3, 4, 5, 6, 9, 0xFFFFFFFFu};
    const uint32_t groundRoles[] = {35, 30, 31, 32, 33, 34, 35, 35, 35};
    for (size_t i = 0; i < std::size(codes); ++i) {
        EXPECT_EQ(ground.mapCode(codes[i]), groundRoles[i]) << codes[i];
        EXPECT_EQ(air.mapCode(codes[i]), 1u) << codes[i];
    }
}

TEST(GameObjectParams, CacheBytes)
{
    DefinitionTestTree t;
    GroundObjParams d("gate");
    d.meshName = "g";
    d.collisionMeshName = "";
    d.gameName = "";
    d.castShadow = true;
    d.reservedFlag1 = true;
    d.HP = 250.9f;
    d.ExperienceGain = 3;
    ASSERT_TRUE(d.writeCache());
    const std::vector<uint8_t> bytes = t.readBytes(t.cachePath("gate", "ZVO"));
    const std::vector<uint8_t> expected = {
        0x33, 0xD4, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0,        // magic, version, type code 2
        4, 0, 0, 0, 'g', 0, 0, 0, 'a', 0, 0, 0, 't', 0, 0, 0, 'e', 0, 0, 0,  // name
        1, 0, 0, 0, 'g', 0, 0, 0,                         // meshName
        0, 0, 0, 0, 0, 0, 0, 0,                           // collisionMeshName, gameName
        1, 0, 0, 1, 0,                                    // castShadow, imortal, reserved 2, reserved 1, ActorColide
        250, 0, 0, 0, 3, 0, 0, 0,                         // HP truncated, ExperienceGain
    };
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + expected.size()), expected);
}

TEST(GameObjectParams, DamagedOrForeignCachesKeepTheDefaults)
{
    DefinitionTestTree t;
    const auto source = fromSource<GroundObjParams>(t, "unit", fullObjectSource(""));
    ASSERT_TRUE(source.writeCache());

    // Written as a ground object: not an air object's cache.
    const AirObjParams asAir("unit");
    EXPECT_FALSE(asAir.cacheLoaded());
    EXPECT_EQ(asAir.meshName, "");

    const std::vector<uint8_t> good = t.readBytes(t.cachePath("unit", "ZVO"));
    for (size_t cut : {size_t(10), good.size() / 2, good.size() - 1}) {
        t.writeBytes(t.cachePath("unit", "ZVO"), std::vector<uint8_t>(good.begin(), good.begin() + cut));
        const GroundObjParams d("unit");
        EXPECT_FALSE(d.cacheLoaded()) << cut;
        EXPECT_EQ(d.meshName, "") << cut;
        EXPECT_EQ(d.getNumSubObjs(), 0u) << cut;
    }

    // Negative and huge hit points are stored clamped.
    GroundObjParams hp = source;
    hp.HP = -20.0f;
    hp.subObjs[0].HP = 1e12f;
    ASSERT_TRUE(hp.writeCache());
    const GroundObjParams back("unit");
    EXPECT_EQ(back.HP, 0.0f);
    EXPECT_EQ(back.subObjs[0].HP, 4294967295.0f);
}
