// Writes Data/System/GSData.Dat from the readable table data/tables/GSData.txt.
#include "BuildStep.h"

#include "core/BinaryIO.h"
#include "core/GlobalSounds.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace {

const char* const kStingerNames[GlobalSounds::kStingerCount] = {"kill",    "combo", "wave", "pickup",
                                                                "mission", "red",   "green"};

// Splits a line into words; a word in double quotes may hold blanks (or be empty). "#" starts a comment.
bool splitWords(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                return false;
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' && line[end] != '#')
                ++end;
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

bool parseNumber(const std::string& text, float& value)
{
    std::istringstream in(text);
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof();
}

bool buildGlobalSounds(BuildContext& ctx)
{
    const std::string source = ctx.dataDir + "/tables/GSData.txt";
    std::ifstream in(source);
    if (!in) {
        ctx.log << "GSData: cannot read " << source << "\n";
        return false;
    }
    GlobalSoundEntry entries[GlobalSounds::kEntryCount];
    bool haveEntry[GlobalSounds::kEntryCount] = {};
    std::string stingers[GlobalSounds::kStingerCount];
    bool haveStinger[GlobalSounds::kStingerCount] = {};
    std::vector<GlobalSoundEntry> randomMusic;

    std::string line;
    std::vector<std::string> w;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        ctx.log << source << ":" << lineNo << ": " << why << "\n";
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!splitWords(line, w))
            return fail("unclosed quote");
        if (w.empty())
            continue;
        if (w[0] == "entry" && w.size() == 4) {
            float index = -1, gain = 0;
            if (!parseNumber(w[1], index) || !parseNumber(w[3], gain) || index < 0 ||
                index >= GlobalSounds::kEntryCount || index != static_cast<int>(index))
                return fail("expected: entry <0..15> \"<file>\" <gain>");
            const int i = static_cast<int>(index);
            if (haveEntry[i])
                return fail("entry " + w[1] + " given twice");
            entries[i] = {w[2], gain};
            haveEntry[i] = true;
        } else if (w[0] == "stinger" && w.size() == 3) {
            int i = 0;
            while (i < GlobalSounds::kStingerCount && w[1] != kStingerNames[i])
                ++i;
            if (i == GlobalSounds::kStingerCount)
                return fail("unknown stinger '" + w[1] + "'");
            if (haveStinger[i])
                return fail("stinger " + w[1] + " given twice");
            stingers[i] = w[2];
            haveStinger[i] = true;
        } else if (w[0] == "random" && w.size() == 3) {
            float gain = 0;
            if (!parseNumber(w[2], gain))
                return fail("expected: random \"<file>\" <gain>");
            randomMusic.push_back({w[1], gain});
        } else {
            return fail("cannot read this line");
        }
    }
    for (int i = 0; i < GlobalSounds::kEntryCount; ++i)
        if (!haveEntry[i])
            return fail("entry " + std::to_string(i) + " is missing");
    for (int i = 0; i < GlobalSounds::kStingerCount; ++i)
        if (!haveStinger[i])
            return fail(std::string("stinger ") + kStingerNames[i] + " is missing");
    if (randomMusic.size() > GlobalSounds::kMaxRandomMusic)
        return fail("too many random-music entries");

    BinaryWriter out;
    out.writeU32(GlobalSounds::kMagic);
    for (const GlobalSoundEntry& e : entries) {
        writeBinString(out, e.fileName);
        out.writeF32(e.gain);
    }
    for (const std::string& s : stingers)
        writeBinString(out, s);
    out.writeU32(static_cast<uint32_t>(randomMusic.size()));
    for (const GlobalSoundEntry& e : randomMusic) {
        writeBinString(out, e.fileName);
        out.writeF32(e.gain);
    }
    if (!out.commit(GlobalSounds::kDataFile)) {
        ctx.log << "GSData: cannot write " << GlobalSounds::kDataFile << "\n";
        return false;
    }
    return true;
}

}  // namespace

DATABUILDER_STEP("global sounds table", 50, buildGlobalSounds);
