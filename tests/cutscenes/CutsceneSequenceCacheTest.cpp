#include "CutsceneTestSupport.h"

#include "core/BinaryIO.h"

#include <OgreException.h>

#include <cstring>
#include <filesystem>

using namespace cutscenetest;

namespace {

std::vector<uint8_t> fileBytes(const std::string& path)
{
    const std::string text = testsupport::readTextFile(path);
    return {text.begin(), text.end()};
}

void putWord(std::vector<uint8_t>& bytes, size_t at, uint32_t v)
{
    ASSERT_LE(at + 4, bytes.size());
    std::memcpy(bytes.data() + at, &v, 4);
}

}  // namespace

TEST(CutsceneSequenceCache, FixtureReadsWritesAndReadsBackInEveryLanguageCount)
{
    SequenceTree tree("Fixture", kFixtureIni);
    for (uint32_t languages : {0u, 2u}) {
        SCOPED_TRACE(languages);
        CutsceneSequence fromIni;
        ASSERT_TRUE(fromIni.loadSequenceIni("Fixture", languages, nullptr));
        ASSERT_EQ(fromIni.entryCount, 3u);
        EXPECT_EQ(fromIni.entries[0].type, 3u);
        EXPECT_EQ(fromIni.entries[1].type, 0u);
        EXPECT_EQ(fromIni.entries[2].type, 4u);
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_NE(fromIni.entries[i].dialog(), nullptr);
            EXPECT_EQ(fromIni.entries[i].dialog()->index, i);
            EXPECT_EQ(fromIni.entries[i].dialog()->languageCount, languages);
        }
        // An entry of another kind carries what its section's dialog keys give: here two empty images.
        const DialogCutSceneParams& third = *fromIni.entries[2].dialog();
        ASSERT_EQ(third.imageCount, 2u);
        EXPECT_EQ(third.images[1].ImgFile, "");
        EXPECT_EQ(third.images[1].ImgColour, Ogre::ColourValue(0, 0, 0, 1));
        EXPECT_EQ(fromIni.entries[1].dialog()->actionCount, 0u);

        ASSERT_TRUE(fromIni.writeSequenceCache("Fixture"));
        CutsceneSequence fromCache;
        ASSERT_TRUE(fromCache.readSequenceCache("Fixture", languages, nullptr));
        expectSameSequence(fromIni, fromCache);
    }
}

TEST(CutsceneSequenceCache, SequenceWithoutEntriesIsItsHeaderAndName)
{
    const struct {
        const char* source;
    } cases[] = {{"[Sequence]\nnum_Cutscenes = 0\n"}, {"; nothing at all\n"}};
    for (const auto& c : cases) {
        SequenceTree tree("Quiet", c.source);
        CutsceneSequence seq;
        ASSERT_TRUE(seq.loadSequenceIni("Quiet", 2, nullptr));
        EXPECT_EQ(seq.entryCount, 0u);
        ASSERT_TRUE(seq.writeSequenceCache("Quiet"));
        EXPECT_EQ(fileBytes(tree.cacheFile("Quiet")).size(), 20u + 4u * 5u);
        CutsceneSequence back;
        EXPECT_TRUE(back.readSequenceCache("Quiet", 2, nullptr));
        EXPECT_EQ(back.entryCount, 0u);
    }
}

TEST(CutsceneSequenceCache, StoredNameAndHeaderWordsAreNotChecked)
{
    SequenceTree tree("Fixture", kFixtureIni);
    CutsceneSequence seq;
    ASSERT_TRUE(seq.loadSequenceIni("Fixture", 2, nullptr));
    ASSERT_TRUE(seq.writeSequenceCache("Fixture"));
    std::vector<uint8_t> bytes = fileBytes(tree.cacheFile("Fixture"));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0x7B, 0x3C, 0x51, 0x00}));

    // A copy under another name, with another magic, version and type code, is that sequence.
    putWord(bytes, 0, 0xDEADBEEF);
    putWord(bytes, 4, 7);
    putWord(bytes, 8, 3);
    testsupport::writeTextFile(tree.cacheFile("Copy"), std::string(bytes.begin(), bytes.end()));
    CutsceneSequence copy;
    ASSERT_TRUE(copy.readSequenceCache("Copy", 2, nullptr));
    ASSERT_EQ(copy.entryCount, 3u);
    EXPECT_EQ(copy.entries[0].dialog()->sequenceName, "Copy");
    EXPECT_EQ(copy.entries[0].dialog()->actionCount, 9u);
}

TEST(CutsceneSequenceCache, CacheCutAtAnyLengthReadsEmptyOrWhole)
{
    SequenceTree tree("Fixture", kFixtureIni);
    CutsceneSequence seq;
    ASSERT_TRUE(seq.loadSequenceIni("Fixture", 2, nullptr));
    BinaryWriter out;
    ASSERT_TRUE(seq.writeSequenceCache(out, "Fixture"));
    const std::vector<uint8_t>& bytes = out.bytes();
    for (size_t n = 0; n <= bytes.size(); ++n) {
        BinaryReader in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        CutsceneSequence back;
        const bool ok = back.readSequenceCache(in, "Fixture", 2, nullptr);
        if (n == bytes.size()) {
            ASSERT_TRUE(ok);
            expectSameSequence(seq, back);
        } else {
            ASSERT_FALSE(ok) << "cut at " << n;
            ASSERT_EQ(back.entryCount, 0u);
            ASSERT_TRUE(back.entries.empty());
        }
    }
    // A missing cache is an empty sequence too.
    CutsceneSequence missing;
    EXPECT_FALSE(missing.readSequenceCache("Nowhere", 2, nullptr));
    EXPECT_EQ(missing.entryCount, 0u);
}

TEST(CutsceneSequenceCache, CountsOverTheirCapsAreRefusedInTheCache)
{
    // One entry with one character of one pose of one expression, one image and one action.
    SequenceTree tree("Small", "[Sequence]\nnum_Cutscenes=1\n[CutScene_1]\nCutScene_Type=3\n"
                               "Num_Characters=1\nChar_1_NumPoses=1\nChar_1_Pose_1_NumExps=1\n"
                               "Num_Images=1\nNum_Action=1\nAction_1_Type=4\n");
    CutsceneSequence seq;
    ASSERT_TRUE(seq.loadSequenceIni("Small", 2, nullptr));
    BinaryWriter out;
    ASSERT_TRUE(seq.writeSequenceCache(out, "Small"));
    const std::vector<uint8_t> good = out.bytes();

    // Offsets from the record's layout: header 12, name 4 + 4 x 5, entry count, type.
    const size_t entryCount = 12 + 24;
    const size_t characters = entryCount + 8;
    const size_t poses = characters + 4 + 4 + 16 + 1 + 16 + 4 + 4 + 4 + 8 + 4;
    const size_t exps = poses + 4 + 4 + 4 + 8 + 8 + 4;
    const size_t images = exps + 4 + 4 + 4 + 8 + 8 + 8;
    const size_t actions = good.size() - 4 - 12 - 4;
    const struct {
        const char* what;
        size_t at;
        uint32_t cap;
    } cases[] = {
        {"entries", entryCount, CutsceneSequence::kMaxEntries},
        {"characters", characters, DialogCutSceneParams::kMaxCharacters},
        {"poses", poses, DialogCutSceneParams::kMaxPoses},
        {"expressions", exps, DialogCutSceneParams::kMaxExpressions},
        {"images", images, DialogCutSceneParams::kMaxImages},
        {"actions", actions, DialogCutSceneParams::kMaxActions},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            std::vector<uint8_t> bytes = good;
            uint32_t stored = 0;
            std::memcpy(&stored, bytes.data() + c.at, 4);
            ASSERT_EQ(stored, 1u) << "the offset does not point at the count";
        }
        for (uint32_t bad : {c.cap + 1, 4000000000u}) {
            std::vector<uint8_t> bytes = good;
            putWord(bytes, c.at, bad);
            BinaryReader in(bytes);
            CutsceneSequence back;
            EXPECT_FALSE(back.readSequenceCache(in, "Small", 2, nullptr));
            EXPECT_TRUE(back.entries.empty());
        }
    }
}

TEST(CutsceneSequenceCache, CountsOverTheirCapsAreRefusedInTheSource)
{
    const std::string base = "[Sequence]\nnum_Cutscenes=1\n[CutScene_1]\nCutScene_Type=3\n"
                             "Num_Characters=1\nChar_1_NumPoses=1\n";
    const struct {
        const char* what;
        std::string extra;
        const char* key;
        bool accepted;
    } cases[] = {
        {"entries", "[Sequence]\nnum_Cutscenes=65\n", "num_Cutscenes", false},
        {"characters", "Num_Characters=4000000000\n", "Num_Characters", false},
        {"characters at the cap", "Num_Characters=32\n", "", true},
        {"poses", "Char_1_NumPoses=33\n", "Char_1_NumPoses", false},
        {"expressions", "Char_1_Pose_1_NumExps=33\n", "Char_1_Pose_1_NumExps", false},
        {"images", "Num_Images=65\n", "Num_Images", false},
        {"actions", "Num_Action=1025\n", "Num_Action", false},
        {"actions at the cap", "Num_Action=1024\n", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A key given twice reads as its first value: the case's line goes first in its section.
        std::string text = base;
        if (c.extra.rfind("[Sequence]", 0) == 0)
            text = c.extra + text.substr(text.find("[CutScene_1]"));
        else
            text.insert(text.find("CutScene_Type"), c.extra);
        SequenceTree tree("Capped", text.c_str());
        CutsceneSequence seq;
        std::string problem;
        EXPECT_EQ(seq.loadSequenceIni("Capped", 2, nullptr, &problem), c.accepted) << problem;
        if (c.accepted) {
            EXPECT_EQ(seq.entryCount, 1u);
            EXPECT_TRUE(seq.writeSequenceCache("Capped"));
        } else {
            EXPECT_NE(problem.find(c.key), std::string::npos) << problem;
            EXPECT_EQ(seq.entryCount, 0u);
            EXPECT_TRUE(seq.entries.empty());
        }
    }
}

TEST(CutsceneSequenceCache, MissingSourceRaisesTheEnginesFileNotFound)
{
    SequenceTree tree;
    CutsceneSequence seq;
    EXPECT_THROW(seq.loadSequenceIni("Nowhere", 2, nullptr), Ogre::FileNotFoundException);
    EXPECT_TRUE(seq.entries.empty());
}

TEST(CutsceneSequenceCache, WhatCouldNotBeReadBackIsNeverWritten)
{
    SequenceTree tree("Fixture", kFixtureIni);
    CutsceneSequence seq;
    ASSERT_TRUE(seq.loadSequenceIni("Fixture", 2, nullptr));
    ASSERT_TRUE(seq.writeSequenceCache("Fixture"));
    const std::vector<uint8_t> before = fileBytes(tree.cacheFile("Fixture"));

    // A text longer than any reader takes would make the whole cache unreadable.
    auto& phrase = static_cast<DialogAction_PhraseParam&>(*seq.entries[0].dialog()->actions[0]);
    phrase.texts[1] = std::string(BinaryReader::kMaxStringLength + 1, 'a');
    EXPECT_FALSE(seq.writeSequenceCache("Fixture"));
    EXPECT_EQ(fileBytes(tree.cacheFile("Fixture")), before);
    phrase.texts[1] = "fits";

    // Scenes of one sequence read back with one language count.
    CutsceneSequence mixed;
    ASSERT_TRUE(mixed.loadSequenceIni("Fixture", 2, nullptr));
    mixed.entries[1].dialog()->languageCount = 1;
    EXPECT_FALSE(mixed.writeSequenceCache("Fixture"));
    EXPECT_EQ(fileBytes(tree.cacheFile("Fixture")), before);
}
