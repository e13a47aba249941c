#pragma once
#include <array>
#include <cstdint>
#include <string>

class GameSession;

// One row of a record table.
struct RecordEntry {
    uint32_t rank = 0;  // 1-based place shown for the row
    float value = 0.0f;
    std::string name;
    std::string date;  // exported as "Data"; the game itself leaves it empty
};

// The high-score table of one game mode: 100 local results kept in "Data<N>.dat" (working
// directory) with a text export "../../Resultados/Results<N>.ini", and the two world tables the
// score server's reply fills.
class RecordTable {
public:
    static constexpr uint32_t capacity = 100;
    static constexpr uint32_t worldNearCount = 10;
    static constexpr uint32_t worldTopCount = 3;
    // playerNearRow when the reply marks no row as the player's.
    static constexpr uint32_t kNoNearRow = 11;

    RecordTable(GameSession* session, std::string path);

    // Inserts one result into table tableIndex (loaded first, made with defaults when missing)
    // and returns its 0-based place, or 100 when it beats no entry (then no file is written).
    // order 0: higher is better; otherwise lower is better. Ties keep the older result higher.
    uint32_t insertResult(uint32_t tableIndex, uint8_t isTime, float value, const std::string& name,
                          const std::string& date, uint32_t order, uint32_t defaultValue);
    // path := "Data<tableIndex>.dat", then load. When the load sets a damaged file aside, the
    // results text of that table is set aside as well (never over an earlier copy).
    void getFilePath();
    // True when the file was read whole. A missing file gives 100 default entries ("---",
    // defaultValue), written at once; false. A file that cannot be read whole (or holds more
    // than the 100 rows) is set aside
    // ("Data<N>.dat.bak", never over an earlier one) and replaced at once by the rows read
    // before the damage followed by default entries; false. When it cannot be set aside, it is
    // left alone and save() refuses to write over it.
    bool load();
    // False when the file could not (or must not) be written; the old file then stays as it was.
    bool save();
    // Writes the Results text; a missing folder is skipped silently, and nothing is written
    // while the table's own file is left alone (writeBlocked).
    void exportResults();

    // Fills the world rows from the score server's reply: "status-", with status 1 three top rows
    // "rank-name-value-", then up to ten near rows "flag-rank-name-value-" (flag 1: the player).
    void parseWorldReply(const std::string& reply);
    // The text from position up to the next "-" (excluded); position moves past it, or to the
    // end of the text when no "-" follows.
    static std::string nextWorldToken(const std::string& text, uint32_t& position);

    // Seconds as mm'ss.mmm (three or more minute digits from 100 minutes on).
    static std::string formatTime(float seconds);

    // Copies of a row's name; "" for a row that does not exist.
    std::string getLocalName(uint32_t i) const;
    std::string getWorldNearName(uint32_t i) const;
    std::string getWorldTopName(uint32_t i) const;

    const RecordEntry& localEntry(uint32_t i) const { return localEntries.at(i); }
    const RecordEntry& worldNearEntry(uint32_t i) const { return worldNear.at(i); }
    const RecordEntry& worldTopEntry(uint32_t i) const { return worldTop.at(i); }
    std::string resultsPath() const;

    GameSession* session = nullptr;
    std::array<RecordEntry, capacity> localEntries;
    std::string path;
    uint32_t tableIndex = 0;
    uint32_t order = 0;
    float defaultValue = 0.0f;
    uint8_t isTime = 0;
    std::array<RecordEntry, worldNearCount> worldNear;
    std::array<RecordEntry, worldTopCount> worldTop;
    uint8_t hasWorldTop = 0;
    uint32_t playerNearRow = 0;
    // The file at path could be neither read nor set aside: it is not written over.
    bool writeBlocked = false;
    // Where the last load put a file it could not read whole; "" when it set none aside.
    std::string setAsidePath;
};
