#include "DefinitionTestTree.h"

#include "definitions/DificultyData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
void appendU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void appendF32(std::vector<uint8_t>& out, float f)
{
    uint32_t v = 0;
    std::memcpy(&v, &f, 4);
    appendU32(out, v);
}
}  // namespace

TEST(DificultyData, RoundTripThroughSourceAndCache)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "Dificulty",
                  "[Data]\naiOvRestFireL = 5.5\naiOvRestFireLadd = 1.25\naiOvRestFireH = 0.75\n"
                  "aiOvRestFireHadd = -0.5\n");
    DificultyData source;
    ASSERT_TRUE(source.readIni());
    EXPECT_EQ(source.aiOvRestScale, 0.5f);
    ASSERT_TRUE(source.writeCache());

    DificultyData loaded;
    ASSERT_TRUE(loaded.readCache());
    EXPECT_EQ(loaded.aiOvRestScale, 0.5f);
    EXPECT_EQ(loaded.aiOvRestFireL, 5.5f);
    EXPECT_EQ(loaded.aiOvRestFireLadd, 1.25f);
    EXPECT_EQ(loaded.aiOvRestFireH, 0.75f);
    EXPECT_EQ(loaded.aiOvRestFireHadd, -0.5f);  // a negative value is kept
}

TEST(DificultyData, CacheBytes)
{
    DefinitionTestTree t;
    DificultyData d;
    d.aiOvRestFireL = 4.0f;
    d.aiOvRestFireLadd = 2.0f;
    d.aiOvRestFireH = 0.3f;
    d.aiOvRestFireHadd = -1.0f;
    ASSERT_TRUE(d.writeCache());

    std::vector<uint8_t> expected = {0x4E, 0x60, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0};
    for (char c : std::string("Dificulty"))
        appendU32(expected, static_cast<uint8_t>(c));
    appendF32(expected, 4.0f);
    appendF32(expected, 2.0f);
    appendF32(expected, 0.3f);
    appendF32(expected, -1.0f);
    EXPECT_EQ(t.readBytes(t.cachePath("Dificulty", "ZVD")), expected);
}

TEST(DificultyData, ZeroOrMissingSourceValuesTakeTheirDefaults)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "Dificulty", "[Data]\naiOvRestFireH = 0\n");
    DificultyData d;
    ASSERT_TRUE(d.readIni());
    EXPECT_EQ(d.aiOvRestFireL, 4.0f);
    EXPECT_EQ(d.aiOvRestFireLadd, 2.0f);
    EXPECT_EQ(d.aiOvRestFireH, 0.3f);
    EXPECT_EQ(d.aiOvRestFireHadd, 0.3f);

    // The cache path applies no defaults: a stored 0 stays 0.
    DificultyData zero;
    zero.aiOvRestFireL = 0.0f;
    zero.aiOvRestFireH = 1.0f;
    ASSERT_TRUE(zero.writeCache());
    DificultyData back;
    ASSERT_TRUE(back.readCache());
    EXPECT_EQ(back.aiOvRestFireL, 0.0f);
    EXPECT_EQ(back.aiOvRestFireH, 1.0f);
}

TEST(DificultyData, MissingOrDamagedCacheLeavesEveryValueAtZero)
{
    DefinitionTestTree t;
    DificultyData missing;
    EXPECT_FALSE(missing.readCache());
    EXPECT_EQ(missing.aiOvRestScale, 0.0f);
    EXPECT_EQ(missing.aiOvRestFireL, 0.0f);

    DificultyData full;
    full.aiOvRestFireL = 3.0f;
    ASSERT_TRUE(full.writeCache());
    std::vector<uint8_t> bytes = t.readBytes(t.cachePath("Dificulty", "ZVD"));
    bytes.resize(bytes.size() - 2);
    t.writeBytes(t.cachePath("Dificulty", "ZVD"), bytes);
    DificultyData cut;
    EXPECT_FALSE(cut.readCache());
    EXPECT_EQ(cut.aiOvRestFireL, 0.0f);
    EXPECT_EQ(cut.aiOvRestScale, 0.0f);

    DificultyData noSource;
    EXPECT_FALSE(noSource.readIni());
    EXPECT_EQ(noSource.aiOvRestScale, 0.0f);
}
