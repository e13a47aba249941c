#include "DefinitionTestTree.h"
#include "ShotDefinitionCheck.h"

#include <gtest/gtest.h>

namespace {
// Every key with a value no default or correction gives; trackExtra adds sections.
std::string projectileSource(const std::string& type, const std::string& trackType, const std::string& extra = "")
{
    return "[Data]\nmeshName = \"shell.mesh\"\ntimeToLive = 2.5\nProjectileType = " + type +
           "\nSpeed = 4.5\nMaxSpeed = 9.5\nMinDistVisible = 1.5\nDamage = 40\nMomentumTransfer = -12\n"
           "DamageType = 3\nUseProximityFuse = true\nProxFuse_TGTDist = 2.5\nUseSurroundFuse = true\n"
           "SroundFuse_TGTDist = 3.5\nTgtStealthRes = 20\nJammingResistance = 30\nTrackType = " +
           trackType +
           "\n[Reactor]\nReactorName = trail\n[Sound]\nSpawnSound = \"launch.ogg\"\nLiveSound = fly.ogg\n" + extra;
}

void expectSourceValues(const projParams& d)
{
    EXPECT_EQ(d.meshName, "shell.mesh");
    EXPECT_EQ(d.Speed, 4.5f);
    EXPECT_EQ(d.MaxSpeed, 9.5f);
    EXPECT_EQ(d.MinDistVisible, 1.5f);
    EXPECT_EQ(d.Damage, 40u);
    EXPECT_EQ(d.MomentumTransfer, -12);
    EXPECT_EQ(d.DamageType, 3u);
    EXPECT_TRUE(d.UseProximityFuse);
    EXPECT_EQ(d.ProxFuse_TGTDist, 2.5f);
    EXPECT_TRUE(d.UseSurroundFuse);
    EXPECT_EQ(d.SroundFuse_TGTDist, 3.5f);
    EXPECT_EQ(d.TgtStealthRes, 20.0f);
    EXPECT_EQ(d.JammingResistance, 30.0f);
    EXPECT_EQ(d.getReactorName(), "trail");
    EXPECT_TRUE(d.hasSpawnSound);
    EXPECT_EQ(d.getSpawnSound(), "launch.ogg");
    EXPECT_TRUE(d.hasLiveSound);
    EXPECT_EQ(d.getLiveSound(), "fly.ogg");
}
}  // namespace

TEST(ProjectileParams, SourceAndCacheRoundTrip)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "rocket", projectileSource("2", "2"));
    projParams rocket("rocket");
    EXPECT_FALSE(rocket.cacheLoaded());
    ASSERT_TRUE(rocket.readIni());
    expectSourceValues(rocket);
    EXPECT_EQ(rocket.timeToLive, 2.5f);
    EXPECT_EQ(rocket.ProjectileType, 2u);
    EXPECT_EQ(rocket.TrackType, 2u);
    ASSERT_TRUE(rocket.writeCache());
    const projParams rocketBack("rocket");
    EXPECT_TRUE(rocketBack.cacheLoaded());
    expectSameProjectile(rocket, rocketBack);

    // The missile reads its life in whole seconds and adds the tracking section.
    t.writeSource("Data/GamePlay", "missile",
                  projectileSource("3", "1", "[Tracking]\ntrackSkill = 1.5\nmaxFOV = 35\ntrackaPass = true\n"));
    MissParams missile("missile");
    ASSERT_TRUE(missile.readIni());
    expectSourceValues(missile);
    EXPECT_EQ(missile.timeToLive, 2.0f);
    EXPECT_EQ(missile.TrackType, 1u);
    EXPECT_EQ(missile.trackSkill, 1.5f);
    EXPECT_EQ(missile.maxFOV, 35.0f);
    EXPECT_TRUE(missile.trackaPass);
    ASSERT_TRUE(missile.writeCache());
    const MissParams missileBack("missile");
    EXPECT_TRUE(missileBack.cacheLoaded());
    expectSameProjectile(missile, missileBack);

    // A plain reader of a missile's cache takes the shared fields and stops there.
    const projParams plainMissile("missile");
    EXPECT_TRUE(plainMissile.cacheLoaded());
    EXPECT_EQ(plainMissile.Damage, 40u);
    EXPECT_EQ(plainMissile.getLiveSound(), "fly.ogg");
}

TEST(ProjectileParams, TrackTypeKeepsOnlyOneAndTwo)
{
    DefinitionTestTree t;
    const struct {
        const char* source;  // nullptr: no key
        uint32_t type;
        uint32_t stored;
    } cases[] = {{"0", 0, 9}, {"1", 1, 1}, {"2", 2, 2}, {"3", 0, 9}, {"9", 0, 9}, {nullptr, 0, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source ? c.source : "missing");
        t.writeSource("Data/GamePlay", "trk", c.source ? std::string("[Data]\nTrackType = ") + c.source + "\n" : "");
        projParams d("trk");
        ASSERT_TRUE(d.readIni());
        EXPECT_EQ(d.TrackType, c.type);
        ASSERT_TRUE(d.writeCache());
        const std::vector<uint8_t> bytes = t.readBytes(t.cachePath("trk", "ZVJ"));
        // The tracking word precedes the reactor name and the two sound flags.
        ASSERT_GE(bytes.size(), 4u + 4 + 2);
        EXPECT_EQ(bytes[bytes.size() - 10], c.stored);
        EXPECT_EQ(projParams("trk").TrackType, c.type);
    }

    // Any stored word other than 1 and 2 reads as no tracking.
    projParams two("two");
    two.TrackType = 2;
    ASSERT_TRUE(two.writeCache());
    std::vector<uint8_t> bytes = t.readBytes(t.cachePath("two", "ZVJ"));
    bytes[bytes.size() - 10] = 7;
    t.writeBytes(t.cachePath("two", "ZVJ"), bytes);
    EXPECT_EQ(projParams("two").TrackType, 0u);
}

TEST(ProjectileParams, CacheLayout)
{
    DefinitionTestTree t;
    projParams d("p");
    d.meshName = "m";
    d.timeToLive = 1.5f;
    d.ProjectileType = 3;  // a plain definition may carry the missile's type: it is the header's code
    d.Speed = 2;
    d.MaxSpeed = 3;
    d.MinDistVisible = 4;
    d.Damage = 5;
    d.MomentumTransfer = -6;
    d.DamageType = 7;
    d.UseProximityFuse = true;
    d.ProxFuse_TGTDist = 8;
    d.SroundFuse_TGTDist = 9;
    d.TgtStealthRes = 10;
    d.JammingResistance = 11;
    d.ReactorName = "r";
    d.SpawnSound = " ";
    d.hasLiveSound = true;
    d.LiveSound = "l";
    ASSERT_TRUE(d.writeCache());

    BinaryWriter w;
    w.writeU32(678954);
    w.writeU32(1);
    w.writeU32(3);
    w.writeString("p");
    w.writeString("m");
    w.writeF32(1.5f);
    w.writeU32(3);
    w.writeF32(2);
    w.writeF32(3);
    w.writeF32(4);
    w.writeU32(5);
    w.writeI32(-6);
    w.writeU32(7);
    w.writeBool(true);
    w.writeF32(8);
    w.writeBool(false);
    w.writeF32(9);
    w.writeF32(10);
    w.writeF32(11);
    w.writeU32(9);
    w.writeString("r");
    w.writeBool(false);  // a blank spawn sound: no name follows
    w.writeBool(true);
    w.writeString("l");
    EXPECT_EQ(t.readBytes(t.cachePath("p", "ZVJ")), w.bytes());
}

TEST(ProjectileParams, BlankSoundsAreNoSounds)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "quiet", "[Sound]\nSpawnSound = \" \"\nLiveSound = \"\"\n");
    projParams d("quiet");
    ASSERT_TRUE(d.readIni());
    EXPECT_FALSE(d.hasSpawnSound);
    EXPECT_EQ(d.SpawnSound, " ");  // kept as written; the flag says it names nothing
    EXPECT_FALSE(d.hasLiveSound);
    ASSERT_TRUE(d.writeCache());
    const projParams back("quiet");
    EXPECT_FALSE(back.hasSpawnSound);
    EXPECT_EQ(back.SpawnSound, "");
}

TEST(ProjectileParams, DamagedCachesKeepTheDefaults)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "m", projectileSource("3", "1", "[Tracking]\ntrackSkill = 2\n"));
    MissParams source("m");
    ASSERT_TRUE(source.readIni());
    ASSERT_TRUE(source.writeCache());
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("m", "ZVJ"));

    for (size_t n : {size_t(3), size_t(20), good.size() / 2, good.size() - 1}) {
        t.writeBytes(t.cachePath("m", "ZVJ"), std::vector<uint8_t>(good.begin(), good.begin() + n));
        const MissParams d("m");
        EXPECT_FALSE(d.cacheLoaded()) << n;
        EXPECT_EQ(d.meshName, "") << n;
        EXPECT_EQ(d.trackSkill, 0.0f) << n;
    }
    // A plain projectile's cache lacks the missile's fields.
    projParams plain("plain");
    plain.ProjectileType = 2;
    plain.Damage = 9;
    ASSERT_TRUE(plain.writeCache());
    const MissParams asMissile("plain");
    EXPECT_FALSE(asMissile.cacheLoaded());
    EXPECT_EQ(asMissile.Damage, 0u);
    // Another family's cache.
    std::vector<uint8_t> foreign = good;
    foreign[0] ^= 0xFF;
    t.writeBytes(t.cachePath("m", "ZVJ"), foreign);
    EXPECT_FALSE(projParams("m").cacheLoaded());
}
