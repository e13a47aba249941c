// The record table: insertion, its two files and the world reply.
#include "play/RecordTable.h"

#include "core/BinaryIO.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <vector>

using testsupport::readTextFile;
using testsupport::writeTextFile;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecordTableTest : public ::testing::Test {
protected:
    // A table file of 100 entries: name "P<i+1>", value value(i).
    template <class F>
    void writeTable(uint32_t index, F value)
    {
        BinaryWriter out;
        for (uint32_t i = 0; i < RecordTable::capacity; ++i) {
            writeBinString(out, "P" + std::to_string(i + 1));
            out.writeF32(value(i));
            writeBinString(out, "");
        }
        ASSERT_TRUE(out.commit("Data" + std::to_string(index) + ".dat"));
    }

    testsupport::TempGameTree tree{{"Bin/Game"}};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    RecordTable table{nullptr, "Data1.dat"};
};

TEST_F(RecordTableTest, ResultsEnterAtTheFirstPlaceTheyBeat)
{
    struct Case {
        const char* what;
        uint32_t order;
        float value;
        uint32_t place;
    };
    // order 0: 100, 99, ..., 1 (higher is better); order 1: 1, 2, ..., 100 (lower is better).
    const Case cases[] = {
        {"higher: new best", 0, 150.0f, 0},
        {"higher: a tie with the best goes below it", 0, 100.0f, 1},
        {"higher: between two", 0, 97.5f, 3},
        {"higher: beats only the last", 0, 1.5f, 99},
        {"higher: a tie with the last does not enter", 0, 1.0f, 100},
        {"higher: NaN never enters", 0, std::numeric_limits<float>::quiet_NaN(), 100},
        {"lower: new best", 1, 0.5f, 0},
        {"lower: a tie with the best goes below it", 1, 1.0f, 1},
        {"lower: beats only the last", 1, 99.5f, 99},
        {"lower: worse than all", 1, 250.0f, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeTable(4, [&](uint32_t i) { return c.order == 0 ? 100.0f - i : 1.0f + i; });
        fs::remove("../../Resultados/Results4.ini");
        const std::vector<uint8_t> before = fileBytes("Data4.dat");

        EXPECT_EQ(table.insertResult(4, 0, c.value, "New", "", c.order, 0), c.place);
        if (c.place == 100) {
            EXPECT_EQ(fileBytes("Data4.dat"), before);
            EXPECT_FALSE(fs::exists("../../Resultados/Results4.ini"));
            continue;
        }
        // What the file now holds: the old entries shifted down one from the place, the last gone.
        RecordTable reread(nullptr, "Data4.dat");
        reread.tableIndex = 4;
        reread.getFilePath();
        for (uint32_t i = 0; i < RecordTable::capacity; ++i) {
            const RecordEntry& e = reread.localEntry(i);
            EXPECT_EQ(e.rank, i + 1);
            if (i < c.place) {
                EXPECT_EQ(e.name, "P" + std::to_string(i + 1));
            } else if (i == c.place) {
                EXPECT_EQ(e.name, "New");
                EXPECT_EQ(e.value, c.value);
            } else {
                EXPECT_EQ(e.name, "P" + std::to_string(i)) << i;
            }
        }
        EXPECT_TRUE(fs::exists("../../Resultados/Results4.ini"));
    }
}

TEST_F(RecordTableTest, AMissingFileIsMadeWithDefaultsEvenWhenTheResultDoesNotEnter)
{
    // Table_DefVal 9999.9 reaches the table as its whole part.
    EXPECT_EQ(table.insertResult(2, 1, 10000.0f, "Slow", "", 1, 9999), 100u);
    ASSERT_TRUE(fs::exists("Data2.dat"));
    EXPECT_FALSE(fs::exists("../../Resultados/Results2.ini"));
    RecordTable reread(nullptr, "Data2.dat");
    EXPECT_TRUE(reread.load());
    for (uint32_t i = 0; i < RecordTable::capacity; ++i) {
        EXPECT_EQ(reread.localEntry(i).name, "---");
        EXPECT_EQ(reread.localEntry(i).value, 9999.0f);
        EXPECT_EQ(reread.localEntry(i).date, "");
    }

    // With order 0 and the default 0.0, 0.0 does not enter and anything above it does.
    EXPECT_EQ(table.insertResult(3, 0, 0.0f, "Zero", "", 0, 0), 100u);
    EXPECT_EQ(table.insertResult(3, 0, 0.25f, "Some", "", 0, 0), 0u);
}

TEST_F(RecordTableTest, FileBytesAndResultsTextOfAFirstEntry)
{
    EXPECT_EQ(table.insertResult(6, 1, 75.5f, "Ana", "", 0, 0), 0u);
    const std::vector<uint8_t> bytes = fileBytes("Data6.dat");
    // Entry 1: "Ana" (count 3, one 32-bit word per character), 75.5 little-endian, empty date.
    const std::vector<uint8_t> first = {3, 0, 0, 0, 'A', 0, 0, 0, 'n', 0, 0, 0, 'a', 0, 0, 0,
                                        0x00, 0x00, 0x97, 0x42, 0, 0, 0, 0};
    ASSERT_GE(bytes.size(), first.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + first.size()), first);
    // 100 records of 12 bytes plus 4 per character: "Ana" and 99 times "---".
    EXPECT_EQ(bytes.size(), 100u * 12 + 4u * 3 * 100);

    const std::string results = readTextFile("../../Resultados/Results6.ini");
    const std::string start = "Rank : 1\nTempo : 01'15.500\nEquipa = Ana\nData = \n\n"
                              "Rank : 2\nTempo : 00'00.000\nEquipa = ---\nData = \n\nRank : 3\n";
    EXPECT_EQ(results.substr(0, start.size()), start);
    EXPECT_NE(results.find("Rank : 100\nTempo : 00'00.000\nEquipa = ---\nData = \n\n"), std::string::npos);
    EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 500);

    // A second play works on the file as it now is.
    EXPECT_EQ(table.insertResult(6, 1, 70.0f, "Bo", "", 0, 0), 1u);
    RecordTable reread(nullptr, "Data6.dat");
    EXPECT_TRUE(reread.load());
    EXPECT_EQ(reread.getLocalName(0), "Ana");
    EXPECT_EQ(reread.getLocalName(1), "Bo");
    EXPECT_EQ(reread.getLocalName(100), "");
}

TEST_F(RecordTableTest, FormatTimeWritesMinutesSecondsAndMilliseconds)
{
    const std::pair<float, const char*> cases[] = {
        {0.0f, "00'00.000"},     {75.5f, "01'15.500"},    {3599.999f, "59'59.999"},
        {6000.0f, "100'00.000"}, {9.05f, "00'09.050"},    {-3.0f, "00'00.000"},
        {std::numeric_limits<float>::quiet_NaN(), "00'00.000"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(RecordTable::formatTime(seconds), text) << seconds;
    // A value no play can reach still gives a text.
    EXPECT_FALSE(RecordTable::formatTime(std::numeric_limits<float>::infinity()).empty());
}

TEST_F(RecordTableTest, ADamagedFileIsKeptAsideWithTheRowsThatCouldBeRead)
{
    // Three good rows, then the damage.
    auto goodRows = [] {
        BinaryWriter out;
        for (const char* name : {"Ana", "Bo", "Cy"}) {
            writeBinString(out, name);
            out.writeF32(name[0] == 'A' ? 90.0f : name[0] == 'B' ? 80.0f : 70.0f);
            writeBinString(out, "d");
        }
        return out;
    };
    struct Case {
        const char* what;
        std::function<std::vector<uint8_t>()> bytes;
        uint32_t rowsKept;
    };
    const Case cases[] = {
        {"a name length of 0x7FFFFFFF",
         [&] {
             BinaryWriter out = goodRows();
             out.writeU32(0x7FFFFFFFu);
             out.writeU32('D');
             return out.bytes();
         },
         3},
        {"cut in the middle of a row",
         [&] {
             BinaryWriter out = goodRows();
             writeBinString(out, "Dee");
             out.writeU32(0);  // two bytes of a value would follow
             std::vector<uint8_t> b = out.bytes();
             b.resize(b.size() - 2);
             return b;
         },
         3},
        {"empty", [] { return std::vector<uint8_t>{}; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"Data1.dat", "Data1.dat.bak", "Data1.dat.bak2", "../../Resultados/Results1.ini.bak",
                                 "../../Resultados/Results1.ini.bak2"})
            fs::remove(name);
        const std::vector<uint8_t> damaged = c.bytes();
        { std::ofstream("Data1.dat", std::ios::binary).write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size())); }
        // The export of the table before the damage: the one readable copy of its lost rows.
        writeTextFile("../../Resultados/Results1.ini", "the table before");

        // One free play: the new result takes its place among the rows kept.
        EXPECT_EQ(table.insertResult(1, 0, 85.0f, "New", "", 0, 5), c.rowsKept == 0 ? 0u : 1u);
        EXPECT_EQ(fileBytes("Data1.dat.bak"), damaged);
        EXPECT_FALSE(fs::exists("Data1.dat.bak2"));
        RecordTable reread(nullptr, "Data1.dat");
        ASSERT_TRUE(reread.load());
        std::vector<std::string> names;
        for (uint32_t i = 0; i < c.rowsKept + 2; ++i)
            names.push_back(reread.getLocalName(i));
        if (c.rowsKept == 3) {
            EXPECT_EQ(names, (std::vector<std::string>{"Ana", "New", "Bo", "Cy", "---"}));
            EXPECT_EQ(reread.localEntry(2).value, 80.0f);
            EXPECT_EQ(reread.localEntry(3).date, "d");
        } else {
            EXPECT_EQ(names, (std::vector<std::string>{"New", "---"}));
        }
        // Past the rows kept: the entries of a new table, not empty names with stale values.
        EXPECT_EQ(reread.localEntry(99).name, "---");
        EXPECT_EQ(reread.localEntry(99).value, 5.0f);
        EXPECT_NE(readTextFile("../../Resultados/Results1.ini").find("Equipa = New"), std::string::npos);
        EXPECT_EQ(readTextFile("../../Resultados/Results1.ini.bak"), "the table before");

        // The repaired file reads whole: nothing more is set aside.
        EXPECT_EQ(table.insertResult(1, 0, 6.0f, "Low", "", 0, 5), c.rowsKept + 1);
        EXPECT_FALSE(fs::exists("Data1.dat.bak2"));
        EXPECT_EQ(readTextFile("../../Resultados/Results1.ini.bak"), "the table before");
        EXPECT_FALSE(fs::exists("../../Resultados/Results1.ini.bak2"));
    }
}

TEST_F(RecordTableTest, BytesPastTheHundredthRowAreKeptAsideWithTheFile)
{
    writeTable(1, [](uint32_t i) { return 100.0f - i; });
    { std::ofstream("Data1.dat", std::ios::binary | std::ios::app) << "more"; }
    const std::vector<uint8_t> longer = fileBytes("Data1.dat");

    EXPECT_EQ(table.insertResult(1, 0, 500.0f, "New", "", 0, 0), 0u);
    EXPECT_EQ(fileBytes("Data1.dat.bak"), longer);
    // Rewritten as exactly the hundred rows: it reads whole, and nothing more goes aside.
    RecordTable reread(nullptr, "Data1.dat");
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.getLocalName(0), "New");
    EXPECT_EQ(reread.getLocalName(1), "P1");
    EXPECT_EQ(reread.getLocalName(99), "P99");
    EXPECT_FALSE(fs::exists("Data1.dat.bak2"));
}

TEST_F(RecordTableTest, AFileThatCannotBeMovedIsNeverWrittenOver)
{
    // A folder under the table's name is the player's: no result is saved over it.
    fs::create_directory("Data7.dat");
    writeTextFile("Data7.dat/inside", "keep");
    writeTextFile("../../Resultados/Results7.ini", "the player's export");
    EXPECT_EQ(table.insertResult(7, 0, 50.0f, "New", "", 0, 0), 0u);
    EXPECT_FALSE(table.save());
    EXPECT_EQ(readTextFile("Data7.dat/inside"), "keep");
    EXPECT_FALSE(fs::exists("Data7.dat.bak"));
    // Nor its export, which no saved table would match.
    EXPECT_EQ(readTextFile("../../Resultados/Results7.ini"), "the player's export");
    EXPECT_FALSE(fs::exists("../../Resultados/Results7.ini.bak"));
    // The table in memory still has the result.
    EXPECT_EQ(table.getLocalName(0), "New");

    // A pipe is set aside unopened (never waited on), and a new table written.
    ASSERT_EQ(::mkfifo("Data8.dat", 0600), 0);
    EXPECT_EQ(table.insertResult(8, 0, 50.0f, "New", "", 0, 0), 0u);
    EXPECT_EQ(fs::status("Data8.dat.bak").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_regular_file("Data8.dat"));
}

TEST_F(RecordTableTest, AFailedSaveKeepsTheOldFileByteForByte)
{
    writeTable(5, [](uint32_t i) { return 100.0f - i; });
    const std::vector<uint8_t> before = fileBytes("Data5.dat");
    fs::create_directory("Data5.dat.tmp");  // the temporary file cannot be made

    EXPECT_EQ(table.insertResult(5, 0, 500.0f, "New", "", 0, 0), 0u);
    EXPECT_EQ(fileBytes("Data5.dat"), before);
    // The table in memory still holds the result.
    EXPECT_EQ(table.getLocalName(0), "New");
    EXPECT_FALSE(table.save());
    EXPECT_EQ(fileBytes("Data5.dat"), before);

    // The results text goes the same way.
    fs::create_directory("../../Resultados/Results5.ini.tmp");
    writeTextFile("../../Resultados/Results5.ini", "old");
    table.exportResults();
    EXPECT_EQ(readTextFile("../../Resultados/Results5.ini"), "old");
}

TEST_F(RecordTableTest, NoResultsFolderIsSkippedSilently)
{
    fs::remove_all("../../Resultados");
    EXPECT_EQ(table.insertResult(8, 0, 3.0f, "Ana", "", 0, 0), 0u);
    EXPECT_TRUE(fs::exists("Data8.dat"));
    EXPECT_FALSE(fs::exists("../../Resultados"));
}

struct NearRow {
    uint32_t rank;
    const char* name;
    float value;
};

TEST_F(RecordTableTest, WorldReplyFillsTopAndNearRows)
{
    struct Case {
        const char* reply;
        uint8_t hasTop;
        std::vector<NearRow> top;   // expected top rows (checked when hasTop)
        std::vector<NearRow> near;  // expected near rows from row 0; later rows: continued ranks, empty
        uint32_t playerRow;
    };
    const Case cases[] = {
        {"1-1-Ana-5000-2-Bo-4000-3-Cy-3000-0-9-Dee-100-1-10-Ed-90-", 1,
         {{1, "Ana", 5000}, {2, "Bo", 4000}, {3, "Cy", 3000}}, {{9, "Dee", 100}, {10, "Ed", 90}}, 1},
        {"1-1-Ana-5000-", 1, {{1, "Ana", 5000}, {2, "", 0}, {3, "", 0}}, {{1, "", 0}}, 11},
        {"0-", 0, {}, {{1, "", 0}}, 11},
        {"0-1-4-Zed-12.5", 0, {}, {{4, "Zed", 12.5f}, {5, "", 0}}, 0},
        {"x-0-y-Al-z-", 0, {}, {{0, "Al", 0}, {1, "", 0}}, 11},
        {"", 0, {}, {{1, "", 0}}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        table.parseWorldReply(c.reply);
        EXPECT_EQ(table.hasWorldTop, c.hasTop);
        for (size_t i = 0; i < c.top.size(); ++i) {
            EXPECT_EQ(table.worldTopEntry(i).rank, c.top[i].rank);
            EXPECT_EQ(table.getWorldTopName(i), c.top[i].name);
            EXPECT_EQ(table.worldTopEntry(i).value, c.top[i].value);
        }
        uint32_t rank = 0;
        for (uint32_t i = 0; i < RecordTable::worldNearCount; ++i) {
            const RecordEntry& e = table.worldNearEntry(i);
            if (i < c.near.size()) {
                EXPECT_EQ(e.rank, c.near[i].rank) << i;
                EXPECT_EQ(e.name, c.near[i].name) << i;
                EXPECT_EQ(e.value, c.near[i].value) << i;
            } else {
                EXPECT_EQ(e.rank, rank + 1) << i;
                EXPECT_EQ(e.name, "") << i;
            }
            rank = e.rank;
        }
        EXPECT_EQ(table.playerNearRow, c.playerRow);
    }
}

TEST_F(RecordTableTest, NextWorldTokenStopsAtEachDashAndAtTheEnd)
{
    const std::string text = "ab-c--d";
    uint32_t pos = 0;
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "ab");
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "c");
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "");
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "d");
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "");
    pos = 100;  // past the end
    EXPECT_EQ(RecordTable::nextWorldToken(text, pos), "");
    EXPECT_EQ(pos, text.size());
}

}  // namespace
