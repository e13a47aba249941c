#include "core/BinaryIO.h"

#include "platform/Platform.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace {
// No game file comes close to this; anything larger is not one of ours.
constexpr std::uintmax_t kMaxFileSize = 256u * 1024u * 1024u;
}

BinaryReader::BinaryReader(std::vector<uint8_t> bytes) : data_(std::move(bytes)), ok_(true) {}

bool BinaryReader::open(const std::string& path)
{
    data_.clear();
    pos_ = 0;
    ok_ = false;
    // Through a checked regular file: a pipe in the file's place cannot hold the game.
    std::string bytes;
    if (platform::readRegularFile(path, kMaxFileSize, bytes) != platform::RegularFile::Ok)
        return false;
    data_.assign(bytes.begin(), bytes.end());
    ok_ = true;
    return true;
}

bool BinaryReader::take(size_t n, const uint8_t*& p)
{
    if (!ok_ || n > data_.size() - pos_) {
        ok_ = false;
        return false;
    }
    p = data_.data() + pos_;
    pos_ += n;
    return true;
}

bool BinaryReader::readU8(uint8_t& v)
{
    const uint8_t* p = nullptr;
    if (!take(1, p))
        return false;
    v = *p;
    return true;
}

bool BinaryReader::readBool(bool& v)
{
    uint8_t b = 0;
    if (!readU8(b))
        return false;
    v = b != 0;
    return true;
}

bool BinaryReader::readU32(uint32_t& v)
{
    const uint8_t* p = nullptr;
    if (!take(4, p))
        return false;
    v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
        (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return true;
}

bool BinaryReader::readI32(int32_t& v)
{
    uint32_t u = 0;
    if (!readU32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool BinaryReader::readF32(float& v)
{
    uint32_t u = 0;
    if (!readU32(u))
        return false;
    std::memcpy(&v, &u, sizeof v);
    return true;
}

bool BinaryReader::readFiniteF32(float& v, float limit)
{
    float f = 0.0f;
    if (!readF32(f))
        return false;
    if (!std::isfinite(f) || std::fabs(f) > limit) {
        ok_ = false;
        return false;
    }
    v = f;
    return true;
}

bool BinaryReader::readBytes(void* dst, size_t n)
{
    const uint8_t* p = nullptr;
    if (!take(n, p))
        return false;
    if (n > 0)
        std::memcpy(dst, p, n);
    return true;
}

bool BinaryReader::readCount(uint32_t& n, uint32_t maxCount)
{
    uint32_t v = 0;
    if (!readU32(v))
        return false;
    if (v > maxCount) {
        ok_ = false;
        return false;
    }
    n = v;
    return true;
}

bool BinaryReader::readString(std::string& s, uint32_t maxLength)
{
    uint32_t count = 0;
    if (!readCount(count, maxLength))
        return false;
    // Each character takes one word: a count beyond the remaining bytes cannot be a string.
    if (static_cast<uint64_t>(count) * 4u > data_.size() - pos_) {
        ok_ = false;
        return false;
    }
    std::string out;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t word = 0;
        readU32(word);
        out.push_back(static_cast<char>(word & 0xFFu));
    }
    s = std::move(out);
    return true;
}

void BinaryWriter::writeU8(uint8_t v) { data_.push_back(v); }

void BinaryWriter::writeU32(uint32_t v)
{
    data_.push_back(static_cast<uint8_t>(v));
    data_.push_back(static_cast<uint8_t>(v >> 8));
    data_.push_back(static_cast<uint8_t>(v >> 16));
    data_.push_back(static_cast<uint8_t>(v >> 24));
}

void BinaryWriter::writeF32(float v)
{
    uint32_t u = 0;
    std::memcpy(&u, &v, sizeof u);
    writeU32(u);
}

void BinaryWriter::writeBytes(const void* src, size_t n)
{
    const auto* p = static_cast<const uint8_t*>(src);
    data_.insert(data_.end(), p, p + n);
}

void BinaryWriter::writeString(const std::string& s)
{
    writeU32(static_cast<uint32_t>(s.size()));
    for (const char c : s)
        writeI32(static_cast<int32_t>(static_cast<signed char>(c)));
}

bool BinaryWriter::commit(const std::string& path) const
{
    return writeFileAtomically(path, data_.data(), data_.size());
}

std::string readBinString(BinaryReader& in)
{
    std::string s;
    in.readString(s);
    return s;
}

void writeBinString(BinaryWriter& out, const std::string& s) { out.writeString(s); }

std::vector<uint8_t> stringToBytes(const std::string& s) { return {s.begin(), s.end()}; }

namespace {

// Removes "<name>.tmp" and "<name>.tmp.*" beside the file: what an interrupted write left, or
// something planted under the name a write would use. False when a folder stands there.
bool removeStaleTemporaries(const std::filesystem::path& file)
{
    namespace fs = std::filesystem;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string stem = file.filename().string() + ".tmp";
    std::error_code ec;
    bool clear = true;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name != stem && name.compare(0, stem.size() + 1, stem + ".") != 0)
            continue;
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == fs::file_type::directory) {
            platform::showWarning("A folder is in the way of saving " + file.string() + ": " + it->path().string());
            clear = false;
            continue;
        }
        fs::remove(it->path(), typeError);  // a link itself, never what it points at
    }
    return clear;
}

std::string uniqueSuffix()
{
    static std::atomic<uint32_t> counter{0};
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t n = now ^ (static_cast<uint64_t>(::getpid()) << 32) ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    static const char* const digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (int i = 0; i < 8; ++i, n /= 36)
        text += digits[n % 36];
    return text;
}

bool writeAll(int fd, const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Makes a rename lasting. Best effort: the file itself is already whole on the disk.
void syncFolderOf(const std::filesystem::path& file)
{
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : std::string(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::string& path, const void* data, size_t size)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() == fs::file_type::directory) {
        platform::showWarning("A folder is in the way of saving " + path);
        return false;
    }
    if (!removeStaleTemporaries(path))
        return false;

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = path + ".tmp." + uniqueSuffix();
        fd = platform::createNewFile(temp);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // On the disk before the rename: a power cut never leaves the new name on a file whose
    // bytes never arrived.
    bool ok = (size == 0 || writeAll(fd, data, size)) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        fs::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        return false;
    }
    syncFolderOf(path);
    return true;
}

std::string setFileAside(const std::string& path)
{
    // A folder is the player's own business, not a damaged file of ours.
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::directory)
        return "";
    for (int n = 1; n < 1000; ++n) {
        const std::string aside = path + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        switch (platform::renameNoReplace(path, aside)) {
        case platform::RenameResult::Done: return aside;
        case platform::RenameResult::TargetExists: continue;
        case platform::RenameResult::Failed: return "";
        }
    }
    return "";
}

bool writeFileAtomically(const std::string& path, const std::string& text)
{
    return writeFileAtomically(path, text.data(), text.size());
}
