#pragma once
// The shared machinery of every definition family: where sources and caches live, the cache
// header, the value encodings, and the .ini reading conventions.
//
// How a family uses it:
//   1. Name its DefinitionFamily (table below) and the type code each class writes.
//   2. Write ONE field list in cache order, as a template over the stream, so the reader and the
//      writer can never drift apart:
//          template <class Self, class IO> static void cacheFields(Self& d, IO& io)
//          {
//              io.value(d.meshName);          // BinString
//              io.value(d.Speed);             // f32 (u32, i32, bool as 1 byte, Vector3, Vector2)
//              io.hitPoints(d.HP);            // float stored as a clamped u32
//              io.list(d.entries, kMaxEntries, [](auto& e, auto& io) { io.value(e.name); });
//          }
//      Self is `const T` when writing, `T` when reading; IO is CacheWriter or CacheReader.
//   3. readCache:  return loadDefinitionCache(*this, family, name, typeCode,
//                        [](Foo& d, CacheReader& in) { cacheFields(d, in); });
//      writeCache: return saveDefinitionCache(*this, family, name, typeCode,
//                        [](const Foo& d, CacheWriter& out) { cacheFields(d, out); });
//      readIni:    return loadDefinitionIni(*this, definitionIniPath(family, name),
//                        [](Foo& d, IniSource& ini) { d.Speed = ini.real("Data", "Speed"); ... });
//   The load helpers work on a copy and assign it only when everything was read: a missing,
//   foreign, damaged or over-long file leaves the object exactly as it was.
//   4. Let the data builder rebuild it: one DATABUILDER_DEFINITION_CLASS line in a file of
//      tools/databuilder/ (see DefinitionSources.h), and a [Build] Class line in each source.
// Fields a reader must handle specially (read a flag, then a string only when it is set, ...)
// are written as plain code inside the field list: both streams see the same branches.
#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/BinaryIO.h"

namespace Ogre {
class ConfigFile;
}

// Where one family's sources and caches live and how its caches are marked.
struct DefinitionFamily {
    const char* label;      // for messages
    const char* sourceDir;  // folder of the .ini sources
    const char* extension;  // cache extension, without the dot
    uint32_t magic;         // first word of every cache of the family
};

namespace definition_families {
inline constexpr DefinitionFamily Difficulty{"difficulty", "../../Data/GamePlay/", "ZVD", 24654};
inline constexpr DefinitionFamily GameObject{"game object", "../../Data/GamePlay/", "ZVO", 54323};
inline constexpr DefinitionFamily Effect{"effect", "../../Data/Effects/", "ZVE", 54547547};
inline constexpr DefinitionFamily Reactor{"reactor", "../../Data/Reactor/", "ZVR", 63643};
inline constexpr DefinitionFamily Pickup{"pickup", "../../Data/GamePlay/", "ZVP", 547573};
inline constexpr DefinitionFamily Projectile{"projectile", "../../Data/GamePlay/", "ZVJ", 678954};
// Plain warheads have their sources with the other gameplay sources; the napalm and cluster
// warheads under Objects/Warheads. Both share one cache format.
inline constexpr DefinitionFamily Warhead{"warhead", "../../Data/GamePlay/", "ZVH", 36254};
inline constexpr DefinitionFamily WarheadObject{"warhead", "../../Objects/Warheads/", "ZVH", 36254};
inline constexpr DefinitionFamily MountedWeapon{"weapon", "../../Data/GamePlay/", "ZVW", 3475763};
inline constexpr DefinitionFamily GameMode{"game mode", "../../Data/GamePlay/", "ZVG", 24654};
}  // namespace definition_families

inline constexpr uint32_t kDefinitionCacheVersion = 1;
// No tuning value comes near this size; a cache holding a larger one (or NaN, or an infinity) is
// damaged and refused whole.
inline constexpr float kMaxDefinitionReal = 1.0e6f;
inline constexpr const char* kDefinitionCacheDir = "../../Data/System/";
// Accepts whatever type code the cache carries (families whose code is a field of the definition).
inline constexpr uint32_t kAnyTypeCode = 0xFFFFFFFFu;

std::string definitionIniPath(const DefinitionFamily& family, const std::string& name);
std::string definitionCachePath(const DefinitionFamily& family, const std::string& name);

// A name of an optional thing (sound, effect, reactor, weapon) is absent when "" or " ".
bool isAbsentName(const std::string& name);

// Hit points are stored as whole unsigned numbers: truncated toward zero, with negative and NaN
// values stored as 0 and values beyond the range as its top.
uint32_t hitPointsToWord(float hp);

// The type code of a family's cache, for libraries that choose the class by it; 0 when the file
// is missing or is not a cache of that family.
uint32_t readDefinitionTypeCode(const DefinitionFamily& family, const std::string& name);
// The same, telling a missing or foreign file (false) apart from a cache whose code is 0.
bool findDefinitionTypeCode(const DefinitionFamily& family, const std::string& name, uint32_t& typeCode);

// Reads a definition cache: the header is checked on open, every value read is bounded (reals
// finite and within kMaxDefinitionReal, texts and names at most kMaxNameLength characters), and
// the first failure sticks (later reads leave their outputs alone).
class CacheReader {
public:
    CacheReader() = default;
    // Over bytes already in memory (tests, other containers).
    explicit CacheReader(std::vector<uint8_t> bytes);

    // Opens the family's cache of that name and checks magic, version and type code (kAnyTypeCode
    // takes any). False when the file is missing or the header does not match.
    bool open(const DefinitionFamily& family, const std::string& name, uint32_t typeCode);
    // The same check on a reader made from bytes.
    bool checkHeader(uint32_t magic, uint32_t typeCode);

    void value(bool& v);
    void value(uint32_t& v);
    void value(int32_t& v);
    void value(float& v);
    void value(std::string& v);
    void value(Ogre::Vector3& v);
    void value(Ogre::Vector2& v);
    void hitPoints(float& hp);
    // A 1-byte flag, then the string only when the flag is set; the flag then says whether the
    // string names something. A clear flag leaves the string as it was.
    void optionalName(bool& flag, std::string& name);
    // A u32 count of at most maxCount, then the entries; the list is replaced only when every
    // entry was read.
    template <class T, class Fn>
    void list(std::vector<T>& items, uint32_t maxCount, Fn&& entry)
    {
        uint32_t count = 0;
        if (!in_.readCount(count, maxCount))
            return;
        std::vector<T> read(count);
        for (T& item : read)
            entry(item, *this);
        if (in_.ok())
            items = std::move(read);
    }
    // For layouts that end in data the reader does not use.
    void ignoreRest() { ignoreRest_ = true; }

    // Every value was read, and the file held nothing beyond them.
    bool finish() const { return in_.ok() && (ignoreRest_ || in_.atEnd()); }
    bool ok() const { return in_.ok(); }
    uint32_t typeCode() const { return typeCode_; }
    const std::string& storedName() const { return storedName_; }

private:
    BinaryReader in_;
    uint32_t typeCode_ = 0;
    std::string storedName_;
    bool ignoreRest_ = false;
};

// Writes a definition cache: header first, then the values; commit() writes the file through a
// temporary and a rename. A value the reader could not take back (a list or string over its cap)
// fails the writer, and a failed writer commits nothing.
class CacheWriter {
public:
    CacheWriter(const DefinitionFamily& family, const std::string& name, uint32_t typeCode);

    void value(bool v);
    void value(uint32_t v);
    void value(int32_t v);
    void value(float v);
    void value(const std::string& v);
    void value(const Ogre::Vector3& v);
    void value(const Ogre::Vector2& v);
    void hitPoints(float hp);
    void optionalName(bool flag, const std::string& name);
    template <class T, class Fn>
    void list(const std::vector<T>& items, uint32_t maxCount, Fn&& entry)
    {
        if (items.size() > maxCount) {
            ok_ = false;
            return;
        }
        out_.writeU32(static_cast<uint32_t>(items.size()));
        for (const T& item : items)
            entry(item, *this);
    }
    void ignoreRest() {}

    bool ok() const { return ok_; }
    const std::vector<uint8_t>& bytes() const { return out_.bytes(); }
    // Writes the family's cache of that name; false (old file intact) on any failure.
    bool commit(const DefinitionFamily& family, const std::string& name) const;

private:
    BinaryWriter out_;
    bool ok_ = true;
};

// An .ini source read with the engine's configuration-file reader (separators "\t:=", values
// trimmed); string values lose their double quotes. A missing key reads as 0, false, "" or the
// zero vector.
class IniSource {
public:
    IniSource();
    ~IniSource();
    IniSource(const IniSource&) = delete;
    IniSource& operator=(const IniSource&) = delete;

    // False (and a line in the log) when the file is missing or unreadable, or is no regular
    // file (a folder or a pipe is never waited on).
    bool load(const std::string& path);
    // The same, but a missing or unreadable file raises the engine's exception (nothing logged).
    void loadOrThrow(const std::string& path);

    std::string text(const std::string& section, const std::string& key) const;
    float real(const std::string& section, const std::string& key) const;
    uint32_t uint(const std::string& section, const std::string& key) const;
    int32_t integer(const std::string& section, const std::string& key) const;
    bool flag(const std::string& section, const std::string& key) const;
    Ogre::Vector3 vec3(const std::string& section, const std::string& key) const;
    Ogre::Vector2 vec2(const std::string& section, const std::string& key) const;
    // A missing key reads as opaque black.
    Ogre::ColourValue colour(const std::string& section, const std::string& key) const;
    // A list length: above maxCount the source is refused (ok() turns false) and 0 is returned.
    uint32_t count(const std::string& section, const std::string& key, uint32_t maxCount);

    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    bool open(const std::string& path);

    Ogre::ConfigFile* file_ = nullptr;
    std::string path_;
    bool ok_ = false;
};

// prefix + n in decimal + suffix, e.g. indexedKey("Tread_", 2, "_Mesh") is "Tread_2_Mesh".
std::string indexedKey(const std::string& prefix, uint32_t n, const std::string& suffix = "");

// A short line in the engine's log about a definition file that was refused.
void logDefinitionProblem(const std::string& text);

// Reads a cache into a copy of `def` and assigns it back only when the header matched and every
// field was read; true on success. A missing file is silent, a damaged one is logged.
template <class Def, class Fn>
bool loadDefinitionCache(Def& def, const DefinitionFamily& family, const std::string& name,
                         uint32_t typeCode, Fn&& fields)
{
    CacheReader in;
    if (!in.open(family, name, typeCode))
        return false;
    Def read = def;
    fields(read, in);
    if (!in.finish()) {
        logDefinitionProblem("Definition cache '" + definitionCachePath(family, name) +
                             "' is damaged; its defaults are kept");
        return false;
    }
    def = std::move(read);
    return true;
}

template <class Def, class Fn>
bool saveDefinitionCache(const Def& def, const DefinitionFamily& family, const std::string& name,
                         uint32_t typeCode, Fn&& fields)
{
    CacheWriter out(family, name, typeCode);
    fields(def, out);
    if (!out.ok()) {
        logDefinitionProblem("Definition '" + name + "' holds a list, text or value its cache cannot keep");
        return false;
    }
    return out.commit(family, name);
}

// Reads an .ini source into a copy of `def`, assigned back only when the file was read and every
// list fitted its cap.
template <class Def, class Fn>
bool loadDefinitionIni(Def& def, const std::string& path, Fn&& fields)
{
    IniSource ini;
    if (!ini.load(path))
        return false;
    Def read = def;
    fields(read, ini);
    if (!ini.ok())
        return false;
    def = std::move(read);
    return true;
}
