#include "play/RecordTable.h"

#include "core/BinaryIO.h"
#include "platform/Platform.h"

#include <OgreStringConverter.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

void resetRows(RecordEntry* rows, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        rows[i] = RecordEntry{i + 1, 0.0f, "", ""};
}

// Two digits below 100, the number itself from there on.
std::string twoDigits(int64_t n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

RecordTable::RecordTable(GameSession* session_, std::string path_) : session(session_), path(std::move(path_))
{
    resetRows(localEntries.data(), capacity);
    resetRows(worldNear.data(), worldNearCount);
    resetRows(worldTop.data(), worldTopCount);
}

uint32_t RecordTable::insertResult(uint32_t tableIndex_, uint8_t isTime_, float value, const std::string& name,
                                   const std::string& date, uint32_t order_, uint32_t defaultValue_)
{
    tableIndex = tableIndex_;
    order = order_;
    isTime = isTime_;
    defaultValue = static_cast<float>(defaultValue_);
    getFilePath();

    uint32_t place = capacity;
    for (uint32_t i = 0; i < capacity; ++i) {
        const float stored = localEntries[i].value;
        if (order == 0 ? stored < value : stored > value) {
            place = i;
            break;
        }
    }
    if (place == capacity)
        return capacity;

    for (uint32_t i = capacity - 1; i > place; --i) {
        localEntries[i] = localEntries[i - 1];
        localEntries[i].rank = i + 1;
    }
    localEntries[place] = RecordEntry{place + 1, value, name, date};
    save();
    exportResults();
    return place;
}

void RecordTable::getFilePath()
{
    path = "Data" + std::to_string(tableIndex) + ".dat";
    load();
    if (setAsidePath.empty())
        return;
    // The export still lists the table as it was before the damage, the one readable copy of the
    // rows lost with it: kept too, before the next export replaces it.
    const std::string results = setFileAside(resultsPath());
    if (!results.empty())
        platform::showWarning("Its results text is kept as " + results);
}

bool RecordTable::load()
{
    writeBlocked = false;
    setAsidePath.clear();
    std::error_code ec;
    const auto type = std::filesystem::symlink_status(path, ec).type();
    const bool missing = type == std::filesystem::file_type::not_found;
    BinaryReader in;
    const bool opened = !missing && in.open(path);

    // Only rows read whole are kept; the rest are those of a new table.
    uint32_t read = 0;
    for (; opened && read < capacity; ++read) {
        RecordEntry e{read + 1, 0.0f, "", ""};
        if (!in.readString(e.name) || !in.readF32(e.value) || !in.readString(e.date))
            break;
        localEntries[read] = std::move(e);
    }
    for (uint32_t i = read; i < capacity; ++i)
        localEntries[i] = RecordEntry{i + 1, defaultValue, "---", ""};
    // Bytes past the hundredth row are not ours to drop: such a file is kept aside as well.
    if (read == capacity && in.atEnd())
        return true;

    if (!missing) {
        // Kept for the player before anything is written over it; when it cannot be moved,
        // nothing is written over it at all.
        const std::string aside = setFileAside(path);
        if (aside.empty()) {
            platform::showWarning("Record table " + path + " cannot be read and is left as it is; results are not saved");
            writeBlocked = true;
            return false;
        }
        platform::showWarning("Record table " + path + " is damaged: kept as " + aside + ", " + std::to_string(read) +
                              " rows recovered");
        setAsidePath = aside;
    }
    save();
    return false;
}

bool RecordTable::save()
{
    if (writeBlocked)
        return false;
    BinaryWriter out;
    for (const RecordEntry& e : localEntries) {
        writeBinString(out, e.name);
        out.writeF32(e.value);
        writeBinString(out, e.date);
    }
    return out.commit(path);
}

std::string RecordTable::resultsPath() const
{
    return "../../Resultados/Results" + std::to_string(tableIndex) + ".ini";
}

void RecordTable::exportResults()
{
    // The table on disk was left alone, and so is the text that mirrors it.
    if (writeBlocked)
        return;
    std::string text;
    for (uint32_t i = 0; i < capacity; ++i) {
        const RecordEntry& e = localEntries[i];
        text += "Rank : " + std::to_string(i + 1) + "\n";
        text += "Tempo : " + formatTime(e.value) + "\n";
        text += "Equipa = " + e.name + "\n";
        text += "Data = " + e.date + "\n";
        text += "\n";
    }
    writeFileAtomically(resultsPath(), text);
}

std::string RecordTable::formatTime(float seconds)
{
    // Held within what the digits can show: a damaged file may hold any value, NaN included.
    constexpr float kLongest = 3.6e9f;
    if (!(seconds > 0.0f))
        seconds = 0.0f;
    if (seconds > kLongest)
        seconds = kLongest;
    // Float products as the times have always been computed; the bounds above keep the
    // conversions defined.
    const int64_t m = static_cast<int64_t>(seconds * (1.0f / 60.0f));
    const int64_t s = static_cast<int64_t>(seconds - 60.0f * static_cast<float>(m));
    const int64_t whole = static_cast<int64_t>(seconds * 1000.0f) - (60 * m + s) * 1000;
    const uint64_t ms = whole > 0 ? static_cast<uint64_t>(whole) : 0;
    std::string text = twoDigits(m) + "'" + twoDigits(s) + ".";
    if (ms < 100)
        text += "0";
    if (ms < 10)
        text += "0";
    return text + std::to_string(ms);
}

std::string RecordTable::nextWorldToken(const std::string& text, uint32_t& position)
{
    if (position >= text.size()) {
        position = static_cast<uint32_t>(text.size());
        return "";
    }
    const size_t dash = text.find('-', position);
    if (dash == std::string::npos) {
        std::string token = text.substr(position);
        position = static_cast<uint32_t>(text.size());
        return token;
    }
    std::string token = text.substr(position, dash - position);
    position = static_cast<uint32_t>(dash + 1);
    return token;
}

void RecordTable::parseWorldReply(const std::string& reply)
{
    using SC = Ogre::StringConverter;
    resetRows(worldTop.data(), worldTopCount);
    resetRows(worldNear.data(), worldNearCount);

    uint32_t pos = 0;
    auto inside = [&] { return pos < reply.size(); };
    auto readRow = [&](RecordEntry& row) {
        row.rank = SC::parseUnsignedInt(nextWorldToken(reply, pos));
        row.name = nextWorldToken(reply, pos);
        row.value = SC::parseReal(nextWorldToken(reply, pos));
    };

    hasWorldTop = 0;
    if (!reply.empty() && SC::parseUnsignedInt(nextWorldToken(reply, pos)) == 1) {
        hasWorldTop = 1;
        for (uint32_t row = 0; row < worldTopCount; ++row) {
            if (inside())
                readRow(worldTop[row]);
            else if (row != 0)
                worldTop[row].rank = worldTop[row - 1].rank + 1;
        }
    }

    playerNearRow = kNoNearRow;
    for (uint32_t row = 0; row < worldNearCount; ++row) {
        if (inside()) {
            if (SC::parseUnsignedInt(nextWorldToken(reply, pos)) == 1)
                playerNearRow = row;
            readRow(worldNear[row]);
        } else if (row != 0) {
            worldNear[row].rank = worldNear[row - 1].rank + 1;
        }
    }
}

std::string RecordTable::getLocalName(uint32_t i) const
{
    return i < capacity ? localEntries[i].name : std::string();
}

std::string RecordTable::getWorldNearName(uint32_t i) const
{
    return i < worldNearCount ? worldNear[i].name : std::string();
}

std::string RecordTable::getWorldTopName(uint32_t i) const
{
    return i < worldTopCount ? worldTop[i].name : std::string();
}
