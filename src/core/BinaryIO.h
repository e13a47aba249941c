#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Bounded reader for every binary file of the game. The whole file is read into memory;
// each read is checked, and the first failure sticks: later reads fail too and leave their
// outputs untouched, so a caller that reads into temporaries keeps its defaults.
class BinaryReader {
public:
    BinaryReader() = default;
    explicit BinaryReader(std::vector<uint8_t> bytes);

    // False when the file is missing or unreadable.
    bool open(const std::string& path);

    bool readU8(uint8_t& v);
    bool readBool(bool& v);
    bool readU32(uint32_t& v);
    bool readI32(int32_t& v);
    bool readF32(float& v);
    // A float that must be finite and at most `limit` in magnitude; any other value fails the
    // reader (NaN, an infinity or an absurd size is damage, never tuning).
    bool readFiniteF32(float& v, float limit = kMaxRealMagnitude);
    bool readBytes(void* dst, size_t n);
    // A 32-bit count that must not exceed maxCount; a larger count fails the reader.
    bool readCount(uint32_t& n, uint32_t maxCount);
    // A string in the game's encoding (see readBinString), at most maxLength characters.
    bool readString(std::string& s, uint32_t maxLength = kMaxStringLength);

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    size_t position() const { return pos_; }
    size_t size() const { return data_.size(); }
    void fail() { ok_ = false; }

    static constexpr uint32_t kMaxStringLength = 4096;
    // Names of things (meshes, sounds, effects, definitions) are file names at heart.
    static constexpr uint32_t kMaxNameLength = 255;
    static constexpr float kMaxRealMagnitude = 3.0e38f;

private:
    bool take(size_t n, const uint8_t*& p);

    std::vector<uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = false;
};

// Writer for binary files: collects the bytes in memory, then commits them to disk through a
// temporary file renamed over the old one, so a failed write never damages what was there.
class BinaryWriter {
public:
    void writeU8(uint8_t v);
    void writeBool(bool v) { writeU8(v ? 1 : 0); }
    void writeU32(uint32_t v);
    void writeI32(int32_t v) { writeU32(static_cast<uint32_t>(v)); }
    void writeF32(float v);
    void writeBytes(const void* src, size_t n);
    void writeString(const std::string& s);

    const std::vector<uint8_t>& bytes() const { return data_; }
    bool commit(const std::string& path) const;

private:
    std::vector<uint8_t> data_;
};

// The string encoding of every binary file: a 32-bit count, then one 32-bit word per character,
// written sign-extended and read back as its low byte. A string longer than the reader's cap, or
// one cut short by the end of the file, reads as "" and fails the reader.
std::string readBinString(BinaryReader& in);
void writeBinString(BinaryWriter& out, const std::string& s);
std::vector<uint8_t> stringToBytes(const std::string& s);

// Writes a whole file through a temporary file beside it and a rename; false (old file intact)
// when any step fails. The temporary file gets a new name ("<file>.tmp.<unique>") and is created
// where nothing of that name exists, following no link; temporaries left by an earlier run are
// removed first. A folder standing under such a name (or under the file's own) is reported and
// nothing is written.
bool writeFileAtomically(const std::string& path, const void* data, size_t size);
bool writeFileAtomically(const std::string& path, const std::string& text);

// Moves a file the game cannot use out of its way, to "<file>.bak", or to "<file>.bak2",
// "<file>.bak3"... when earlier ones are there: a file set aside is never replaced. The new
// name, or "" when the file could not be moved or is a folder (it is then left as it is).
std::string setFileAside(const std::string& path);
