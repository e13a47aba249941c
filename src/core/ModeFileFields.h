#pragma once
// The three streams over a section of a mode's rules file: the .ini reader, the cache reader
// and the cache writer. Each section writes its fields ONCE, in cache order, as
//     template <class Self, class IO> static void fields(Self& s, IO& io)
// (Self is const when IO writes), so the three can never disagree on order or encoding:
//     io.section("WAVE");
//     io.flag("UseWaveSystem", s.UseWaveSystem);
//     io.real("NewWave_StartDelay", s.NewWave_StartDelay);
// The key names the .ini key; the cache streams ignore it. What only a reader does (sizing a
// list, linking a definition, a fix-up) sits in `if constexpr (IO::kReading)`; what only the
// .ini reader does in `if constexpr (IO::kFromIni)`.
#include "core/BinaryIO.h"
#include "definitions/DefinitionCache.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

namespace modefile {

inline std::string iniPath(const std::string& mode) { return "../../Data/GamePlay/" + mode + ".ini"; }

// Where the player stands, an area's place and size, the arena's scale: the cache refuses
// values past this (they would reach the scene graph); the .ini takes them as written.
inline constexpr float kMaxPlaceReal = 1.0e6f;

class IniFields {
public:
    static constexpr bool kReading = true;
    static constexpr bool kFromIni = true;

    explicit IniFields(IniSource& ini) : ini_(ini) {}

    void section(const char* name) { section_ = name; }
    void real(const std::string& key, float& v) { v = ini_.real(section_, key); }
    void place(const std::string& key, float& v) { v = ini_.real(section_, key); }
    void place(const std::string& key, Ogre::Vector3& v) { v = ini_.vec3(section_, key); }
    void uint(const std::string& key, uint32_t& v) { v = ini_.uint(section_, key); }
    void flag(const std::string& key, uint8_t& v) { v = ini_.flag(section_, key) ? 1 : 0; }
    void text(const std::string& key, std::string& v) { v = ini_.text(section_, key); }
    void colour(const std::string& key, Ogre::ColourValue& v) { v = ini_.colour(section_, key); }
    // A real the rules keep as a whole number; the cache stores it as a real.
    void wholeReal(const std::string& key, uint32_t& v) { v = hitPointsToWord(ini_.real(section_, key)); }
    // Seconds the rules keep as a real and the cache as whole seconds; the .ini writes them whole
    // (wholeSeconds) or as a real (realSeconds).
    void wholeSeconds(const std::string& key, float& v) { v = static_cast<float>(ini_.uint(section_, key)); }
    void realSeconds(const std::string& key, float& v) { v = ini_.real(section_, key); }
    // A list length; over maxCount the source is refused and the list is empty.
    void count(const std::string& key, uint32_t& n, uint32_t maxCount) { n = ini_.count(section_, key, maxCount); }
    bool ok() const { return true; }

private:
    IniSource& ini_;
    std::string section_;
};

class CacheFieldReader {
public:
    static constexpr bool kReading = true;
    static constexpr bool kFromIni = false;

    explicit CacheFieldReader(BinaryReader& in) : in_(in) {}

    void section(const char*) {}
    void real(const std::string&, float& v) { in_.readF32(v); }
    void place(const std::string&, float& v) { in_.readFiniteF32(v, kMaxPlaceReal); }
    void place(const std::string&, Ogre::Vector3& v)
    {
        in_.readFiniteF32(v.x, kMaxPlaceReal);
        in_.readFiniteF32(v.y, kMaxPlaceReal);
        in_.readFiniteF32(v.z, kMaxPlaceReal);
    }
    void uint(const std::string&, uint32_t& v) { in_.readU32(v); }
    void flag(const std::string&, uint8_t& v) { in_.readU8(v); }
    void text(const std::string&, std::string& v) { v = readBinString(in_); }
    void colour(const std::string&, Ogre::ColourValue& v)
    {
        in_.readF32(v.r);
        in_.readF32(v.g);
        in_.readF32(v.b);
        in_.readF32(v.a);
    }
    void wholeReal(const std::string&, uint32_t& v)
    {
        float real = 0.0f;
        in_.readF32(real);
        v = hitPointsToWord(real);
    }
    void wholeSeconds(const std::string&, float& v)
    {
        uint32_t seconds = 0;
        in_.readU32(seconds);
        v = static_cast<float>(seconds);
    }
    void realSeconds(const std::string& key, float& v) { wholeSeconds(key, v); }
    void count(const std::string&, uint32_t& n, uint32_t maxCount)
    {
        n = 0;
        in_.readCount(n, maxCount);
    }
    bool ok() const { return in_.ok(); }

private:
    BinaryReader& in_;
};

class CacheFieldWriter {
public:
    static constexpr bool kReading = false;
    static constexpr bool kFromIni = false;

    explicit CacheFieldWriter(BinaryWriter& out) : out_(out) {}

    void section(const char*) {}
    void real(const std::string&, const float& v) { out_.writeF32(v); }
    void place(const std::string&, const float& v) { out_.writeF32(v); }
    void place(const std::string&, const Ogre::Vector3& v)
    {
        out_.writeF32(v.x);
        out_.writeF32(v.y);
        out_.writeF32(v.z);
    }
    void uint(const std::string&, const uint32_t& v) { out_.writeU32(v); }
    void flag(const std::string&, const uint8_t& v) { out_.writeU8(v); }
    void text(const std::string&, const std::string& v) { writeBinString(out_, v); }
    void colour(const std::string&, const Ogre::ColourValue& v)
    {
        out_.writeF32(v.r);
        out_.writeF32(v.g);
        out_.writeF32(v.b);
        out_.writeF32(v.a);
    }
    void wholeReal(const std::string&, const uint32_t& v) { out_.writeF32(static_cast<float>(v)); }
    // Whole seconds, truncated and saturating.
    void wholeSeconds(const std::string&, const float& v) { out_.writeU32(hitPointsToWord(v)); }
    void realSeconds(const std::string& key, const float& v) { wholeSeconds(key, v); }
    void count(const std::string&, const uint32_t& n, uint32_t) { out_.writeU32(n); }
    bool ok() const { return true; }

private:
    BinaryWriter& out_;
};

// A counted list: its length under `countKey`, then each entry (numbered from 1, as the .ini
// keys are). A reader first makes the list that long; an entry returning false ends the read.
template <class IO, class Vec, class Entry>
void list(IO& io, const std::string& countKey, Vec& items, uint32_t maxCount, Entry&& entry)
{
    uint32_t n = static_cast<uint32_t>(items.size());
    io.count(countKey, n, maxCount);
    if constexpr (IO::kReading)
        items.assign(n, typename std::decay_t<Vec>::value_type{});
    for (uint32_t i = 1; i <= items.size(); ++i)
        if (!entry(items[i - 1], i))
            break;
}

}  // namespace modefile

// The four section operations a class declares (loadXIni by mode name and over an open source,
// readXCache, writeXCache), each one walk of the section's field list.
#define MODE_FILE_SECTION(Class, Section, fields)                                                                 \
    void Class::load##Section##Ini(const std::string& mode)                                                       \
    {                                                                                                             \
        IniSource ini;                                                                                            \
        ini.loadOrThrow(modefile::iniPath(mode));                                                                 \
        load##Section##Ini(ini);                                                                                  \
    }                                                                                                             \
    void Class::load##Section##Ini(IniSource& ini)                                                                \
    {                                                                                                             \
        modefile::IniFields io(ini);                                                                              \
        fields(*this, io);                                                                                        \
    }                                                                                                             \
    void Class::read##Section##Cache(BinaryReader& in)                                                            \
    {                                                                                                             \
        modefile::CacheFieldReader io(in);                                                                        \
        fields(*this, io);                                                                                        \
    }                                                                                                             \
    void Class::write##Section##Cache(BinaryWriter& out) const                                                    \
    {                                                                                                             \
        modefile::CacheFieldWriter io(out);                                                                       \
        fields(*this, io);                                                                                        \
    }
