#include "fuzz/Mutator.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace fuzz {

uint64_t mixSeed(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t CaseRandom::next()
{
    state_ = mixSeed(state_);
    return state_;
}

namespace {

// An offset inside the file, half the time on a word boundary (most fields are 32-bit words).
size_t pickOffset(size_t size, CaseRandom& random)
{
    size_t at = random.below(size);
    if (random.chance(50))
        at &= ~static_cast<size_t>(3);
    return at;
}

void putWord(std::vector<uint8_t>& bytes, size_t at, uint32_t word)
{
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<uint8_t>(word >> (8 * i));
}

uint32_t floatWord(float f)
{
    uint32_t w = 0;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

void damageOnce(std::vector<uint8_t>& bytes, CaseRandom& random, std::string& what)
{
    if (bytes.empty()) {
        const size_t n = 1 + random.below(64);
        for (size_t i = 0; i < n; ++i)
            bytes.push_back(static_cast<uint8_t>(random.next()));
        what += "random file;";
        return;
    }
    const size_t size = bytes.size();
    switch (random.below(9)) {
    case 0: {
        const size_t flips = 1 + random.below(8);
        for (size_t i = 0; i < flips; ++i)
            bytes[random.below(size)] ^= static_cast<uint8_t>(1u << random.below(8));
        what += "bit flips;";
        break;
    }
    case 1:
        bytes.resize(random.below(size));
        what += "cut at " + std::to_string(bytes.size()) + ";";
        break;
    case 2: {
        static const uint32_t kHuge[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00010000u,
                                         0x01000000u, 1000000u,    100000u,     65536u};
        const size_t at = pickOffset(size, random);
        const uint32_t word = random.chance(80) ? kHuge[random.below(8)] : static_cast<uint32_t>(random.next());
        putWord(bytes, at, word);
        what += "huge word at " + std::to_string(at) + ";";
        break;
    }
    case 3: {
        const float kOdd[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::max(),
                              -std::numeric_limits<float>::max(),
                              1.0e20f,
                              -1.0e20f,
                              1.0e-40f,
                              -0.0f,
                              1.0e9f};
        const size_t at = pickOffset(size, random);
        putWord(bytes, at, floatWord(kOdd[random.below(10)]));
        what += "odd float at " + std::to_string(at) + ";";
        break;
    }
    case 4: {
        const size_t at = random.below(size);
        const size_t n = 1 + random.below(32);
        for (size_t i = at; i < size && i < at + n; ++i)
            bytes[i] = static_cast<uint8_t>(random.next());
        what += "random span at " + std::to_string(at) + ";";
        break;
    }
    case 5: {
        const size_t at = random.below(size);
        const size_t n = 1 + random.below(32);
        for (size_t i = at; i < size && i < at + n; ++i)
            bytes[i] = 0;
        what += "zero span at " + std::to_string(at) + ";";
        break;
    }
    case 6: {
        const size_t at = random.below(size);
        const size_t n = std::min(size - at, 1 + random.below(64));
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        what += "span cut out at " + std::to_string(at) + ";";
        break;
    }
    case 7: {
        const size_t at = random.below(size);
        const size_t n = std::min(size - at, 1 + random.below(64));
        std::vector<uint8_t> copy(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), copy.begin(), copy.end());
        what += "span repeated at " + std::to_string(at) + ";";
        break;
    }
    default: {
        // A count or index off by a little.
        const size_t at = pickOffset(size, random);
        uint32_t word = 0;
        for (int i = 0; i < 4 && at + i < size; ++i)
            word |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        const int32_t delta = static_cast<int32_t>(random.below(9)) - 4;
        putWord(bytes, at, word + static_cast<uint32_t>(delta ? delta : 1));
        what += "word nudged at " + std::to_string(at) + ";";
        break;
    }
    }
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size())
                lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

// Lines of the form key = value (the ones a reader takes values from).
std::vector<size_t> valueLines(const std::vector<std::string>& lines)
{
    std::vector<size_t> out;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find_first_of("=:\t") != std::string::npos && !lines[i].empty() && lines[i][0] != '[')
            out.push_back(i);
    return out;
}

void damageTextOnce(std::string& text, CaseRandom& random, std::string& what)
{
    std::vector<std::string> lines = splitLines(text);
    const std::vector<size_t> values = valueLines(lines);
    if (lines.empty() || values.empty()) {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        damageOnce(bytes, random, what);
        text.assign(bytes.begin(), bytes.end());
        return;
    }
    const size_t line = values[random.below(values.size())];
    std::string& l = lines[line];
    const size_t sep = l.find_first_of("=:\t");
    switch (random.below(6)) {
    case 0: {
        // A number of the line becomes an extreme.
        static const char* const kExtremes[] = {"1e30",  "-1e30", "4294967295", "2147483648", "-2147483648",
                                                "-1",    "nan",   "inf",        "-inf",       "0",
                                                "99999999", "1e-45", "3.5e38", "65536", "100000"};
        size_t at = std::string::npos;
        for (size_t i = sep + 1; i < l.size(); ++i)
            if (std::isdigit(static_cast<unsigned char>(l[i]))) {
                at = i;
                if (random.chance(50))
                    break;
            }
        const std::string extreme = kExtremes[random.below(sizeof kExtremes / sizeof kExtremes[0])];
        if (at == std::string::npos) {
            l = l.substr(0, sep + 1) + " " + extreme;
        } else {
            size_t begin = at, end = at;
            while (begin > sep + 1 && (std::isdigit(static_cast<unsigned char>(l[begin - 1])) || l[begin - 1] == '.' ||
                                       l[begin - 1] == '-'))
                --begin;
            while (end < l.size() && (std::isdigit(static_cast<unsigned char>(l[end])) || l[end] == '.' ||
                                      l[end] == 'e' || l[end] == 'E' || l[end] == '-' || l[end] == '+'))
                ++end;
            l = l.substr(0, begin) + extreme + l.substr(end);
        }
        what += "extreme number on line " + std::to_string(line + 1) + ";";
        break;
    }
    case 1:
        // A name that points nowhere.
        l = l.substr(0, sep + 1) + " \"nowhere_" + std::to_string(random.below(1000)) + "\"";
        what += "name pointing nowhere on line " + std::to_string(line + 1) + ";";
        break;
    case 2:
        l = l.substr(0, sep + 1) + " \"" + std::string(300 + random.below(6000), 'q') + "\"";
        what += "over-long value on line " + std::to_string(line + 1) + ";";
        break;
    case 3:
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
        what += "line " + std::to_string(line + 1) + " dropped;";
        break;
    case 4: {
        const std::string copy = l;
        const size_t n = 1 + random.below(random.chance(20) ? 2000 : 3);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line), n, copy);
        what += "line " + std::to_string(line + 1) + " repeated;";
        break;
    }
    default:
        l = l.substr(0, sep + 1);
        what += "value emptied on line " + std::to_string(line + 1) + ";";
        break;
    }
    text = joinLines(lines);
}

}  // namespace

std::vector<uint8_t> mutateBinary(const std::vector<uint8_t>& original, CaseRandom& random, std::string& what)
{
    std::vector<uint8_t> bytes = original;
    const size_t damages = 1 + random.below(3);
    for (size_t i = 0; i < damages; ++i)
        damageOnce(bytes, random, what);
    return bytes;
}

std::vector<uint8_t> mutateText(const std::vector<uint8_t>& original, CaseRandom& random, std::string& what)
{
    std::string text(original.begin(), original.end());
    const size_t damages = 1 + random.below(3);
    for (size_t i = 0; i < damages; ++i) {
        if (random.chance(20)) {
            std::vector<uint8_t> bytes(text.begin(), text.end());
            damageOnce(bytes, random, what);
            text.assign(bytes.begin(), bytes.end());
        } else {
            damageTextOnce(text, random, what);
        }
    }
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace fuzz
