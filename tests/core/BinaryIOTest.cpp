#include "core/BinaryIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {
std::vector<uint8_t> bytesOf(const std::string& s)
{
    BinaryWriter w;
    writeBinString(w, s);
    return w.bytes();
}
}  // namespace

TEST(BinString, ByteLayout)
{
    EXPECT_EQ(bytesOf("abc"), (std::vector<uint8_t>{3, 0, 0, 0, 0x61, 0, 0, 0, 0x62, 0, 0, 0, 0x63, 0, 0, 0}));
    EXPECT_EQ(bytesOf("\xE9"), (std::vector<uint8_t>{1, 0, 0, 0, 0xE9, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesOf(""), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(BinString, RoundTripsEveryByteAndKeepsOnlyTheLowByte)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    BinaryReader r(bytesOf(all));
    EXPECT_EQ(readBinString(r), all);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());

    // A word whose upper bytes are not the sign extension still reads as its low byte.
    BinaryReader odd(std::vector<uint8_t>{1, 0, 0, 0, 0x41, 0x12, 0x34, 0x56});
    EXPECT_EQ(readBinString(odd), "A");
}

TEST(BinString, BadCountsReadAsEmptyAndFailTheReader)
{
    const std::vector<std::vector<uint8_t>> bad = {
        {},                                  // no count at all
        {1, 0},                              // half a count
        {5, 0, 0, 0, 0x61, 0, 0, 0},         // ends inside the string
        {0xFF, 0xFF, 0xFF, 0xFF, 0x61, 0, 0, 0},  // a huge count, never allocated
    };
    for (const auto& bytes : bad) {
        BinaryReader r(bytes);
        EXPECT_EQ(readBinString(r), "");
        EXPECT_FALSE(r.ok());
        // The failure sticks: later reads fail and leave their outputs alone.
        uint32_t v = 77;
        EXPECT_FALSE(r.readU32(v));
        EXPECT_EQ(v, 77u);
    }
}

TEST(BinaryReader, ReadsLittleEndianValuesAndCapsCounts)
{
    BinaryWriter w;
    w.writeU32(0x01020304u);
    w.writeI32(-2);
    w.writeF32(1.5f);
    w.writeU8(7);
    w.writeU32(11);
    BinaryReader r(w.bytes());
    uint32_t u = 0;
    int32_t i = 0;
    float f = 0;
    uint8_t b = 0;
    uint32_t n = 0;
    EXPECT_TRUE(r.readU32(u) && r.readI32(i) && r.readF32(f) && r.readU8(b));
    EXPECT_EQ(u, 0x01020304u);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(b, 7);
    EXPECT_FALSE(r.readCount(n, 10));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(r.ok());
}

TEST(BinaryReader, OpensOnlyRegularFilesAndNeverWaitsOnAPipe)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vt_reader_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "file.bin").string();
    { std::ofstream(file, std::ios::binary) << "abcd"; }
    fs::create_symlink(file, dir / "link.bin");
    fs::create_directory(dir / "folder.bin");
    ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0600), 0);

    struct Case {
        const char* name;
        bool opens;
    };
    for (const Case c : {Case{"file.bin", true}, Case{"link.bin", true}, Case{"missing.bin", false},
                         Case{"folder.bin", false}, Case{"pipe.bin", false}}) {
        SCOPED_TRACE(c.name);
        BinaryReader r;
        EXPECT_EQ(r.open((dir / c.name).string()), c.opens);
        EXPECT_EQ(r.ok(), c.opens);
        uint32_t v = 0;
        EXPECT_EQ(r.readU32(v), c.opens);
        EXPECT_EQ(v, c.opens ? 0x64636261u : 0u);
    }
    fs::remove_all(dir);
}

TEST(AtomicWrite, ReplacesWholeFileOrLeavesTheOldOne)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vt_atomic_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "file.bin").string();

    ASSERT_TRUE(writeFileAtomically(path, std::string("first version")));
    ASSERT_TRUE(writeFileAtomically(path, std::string("second")));
    BinaryReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.size(), 6u);

    // A folder that cannot take the temporary file: the write fails and the old file stays.
    fs::create_directories(dir / "blocked.bin.tmp");
    const std::string blocked = (dir / "blocked.bin").string();
    { std::ofstream(blocked) << "keep me"; }
    EXPECT_FALSE(writeFileAtomically(blocked, std::string("lost?")));
    std::ifstream in(blocked);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
    fs::remove_all(dir);
}
