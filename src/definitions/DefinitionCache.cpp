#include "definitions/DefinitionCache.h"

#include "core/ConfigManager.h"
#include "core/Utilities.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <cmath>
#include <memory>

std::string definitionIniPath(const DefinitionFamily& family, const std::string& name)
{
    return std::string(family.sourceDir) + name + ".ini";
}

std::string definitionCachePath(const DefinitionFamily& family, const std::string& name)
{
    return std::string(kDefinitionCacheDir) + name + "." + family.extension;
}

bool isAbsentName(const std::string& name) { return name.empty() || name == " "; }

uint32_t hitPointsToWord(float hp)
{
    if (!(hp > 0.0f))  // negative, zero and NaN
        return 0;
    if (hp >= 4294967296.0f)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(hp);
}

void logDefinitionProblem(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}

uint32_t readDefinitionTypeCode(const DefinitionFamily& family, const std::string& name)
{
    CacheReader in;
    return in.open(family, name, kAnyTypeCode) ? in.typeCode() : 0;
}

bool findDefinitionTypeCode(const DefinitionFamily& family, const std::string& name, uint32_t& typeCode)
{
    CacheReader in;
    if (!in.open(family, name, kAnyTypeCode))
        return false;
    typeCode = in.typeCode();
    return true;
}

// ---- CacheReader ----

CacheReader::CacheReader(std::vector<uint8_t> bytes) : in_(std::move(bytes)) {}

bool CacheReader::open(const DefinitionFamily& family, const std::string& name, uint32_t typeCode)
{
    if (!in_.open(definitionCachePath(family, name)))
        return false;
    if (!checkHeader(family.magic, typeCode)) {
        logDefinitionProblem("Definition cache '" + definitionCachePath(family, name) +
                             "' is not a " + family.label + " cache of this kind; its defaults are kept");
        return false;
    }
    return true;
}

bool CacheReader::checkHeader(uint32_t magic, uint32_t typeCode)
{
    uint32_t storedMagic = 0, version = 0, type = 0;
    std::string name;
    in_.readU32(storedMagic);
    in_.readU32(version);
    in_.readU32(type);
    in_.readString(name);
    if (!in_.ok() || storedMagic != magic || version != kDefinitionCacheVersion ||
        (typeCode != kAnyTypeCode && type != typeCode)) {
        in_.fail();
        return false;
    }
    typeCode_ = type;
    storedName_ = std::move(name);
    return true;
}

void CacheReader::value(bool& v) { in_.readBool(v); }
void CacheReader::value(uint32_t& v) { in_.readU32(v); }
void CacheReader::value(int32_t& v) { in_.readI32(v); }
void CacheReader::value(float& v) { in_.readFiniteF32(v, kMaxDefinitionReal); }
void CacheReader::value(std::string& v) { in_.readString(v, BinaryReader::kMaxNameLength); }

void CacheReader::value(Ogre::Vector3& v)
{
    float x = 0, y = 0, z = 0;
    if (in_.readFiniteF32(x, kMaxDefinitionReal) && in_.readFiniteF32(y, kMaxDefinitionReal) &&
        in_.readFiniteF32(z, kMaxDefinitionReal))
        v = Ogre::Vector3(x, y, z);
}

void CacheReader::value(Ogre::Vector2& v)
{
    float x = 0, y = 0;
    if (in_.readFiniteF32(x, kMaxDefinitionReal) && in_.readFiniteF32(y, kMaxDefinitionReal))
        v = Ogre::Vector2(x, y);
}

void CacheReader::hitPoints(float& hp)
{
    uint32_t word = 0;
    if (in_.readU32(word))
        hp = static_cast<float>(word);
}

void CacheReader::optionalName(bool& flag, std::string& name)
{
    bool present = false;
    if (!in_.readBool(present))
        return;
    if (!present) {
        flag = false;
        return;
    }
    std::string s;
    if (in_.readString(s, BinaryReader::kMaxNameLength)) {
        name = std::move(s);
        flag = !isAbsentName(name);
    }
}

// ---- CacheWriter ----

CacheWriter::CacheWriter(const DefinitionFamily& family, const std::string& name, uint32_t typeCode)
{
    out_.writeU32(family.magic);
    out_.writeU32(kDefinitionCacheVersion);
    out_.writeU32(typeCode);
    value(name);
}

void CacheWriter::value(bool v) { out_.writeBool(v); }
void CacheWriter::value(uint32_t v) { out_.writeU32(v); }
void CacheWriter::value(int32_t v) { out_.writeI32(v); }

void CacheWriter::value(const std::string& v)
{
    if (v.size() > BinaryReader::kMaxNameLength)
        ok_ = false;
    out_.writeString(v);
}

void CacheWriter::value(float v)
{
    // A value the reader would refuse is not written either.
    if (!std::isfinite(v) || std::fabs(v) > kMaxDefinitionReal)
        ok_ = false;
    out_.writeF32(v);
}

void CacheWriter::value(const Ogre::Vector3& v)
{
    value(v.x);
    value(v.y);
    value(v.z);
}

void CacheWriter::value(const Ogre::Vector2& v)
{
    value(v.x);
    value(v.y);
}


void CacheWriter::hitPoints(float hp) { out_.writeU32(hitPointsToWord(hp)); }

void CacheWriter::optionalName(bool flag, const std::string& name)
{
    out_.writeBool(flag);
    if (flag)
        value(name);
}

bool CacheWriter::commit(const DefinitionFamily& family, const std::string& name) const
{
    return ok_ && out_.commit(definitionCachePath(family, name));
}

// ---- IniSource ----

namespace {
// Far above any source of ours; a larger file is not one.
constexpr size_t kMaxSourceBytes = 16u * 1024u * 1024u;
}  // namespace

IniSource::IniSource() = default;
IniSource::~IniSource() { delete file_; }

bool IniSource::load(const std::string& path)
{
    if (open(path))
        return true;
    logDefinitionProblem("Definition source '" + path + "' cannot be read");
    return false;
}

void IniSource::loadOrThrow(const std::string& path)
{
    if (!open(path))
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "'" + path + "' is not a readable file",
                    "IniSource::loadOrThrow");
}

bool IniSource::open(const std::string& path)
{
    path_ = path;
    ok_ = false;
    auto file = std::make_unique<Ogre::ConfigFile>();
    // Regular files only: the engine's reader loops for ever on a folder and waits on a pipe.
    if (!loadRegularIniFile(*file, path, kMaxSourceBytes))
        return false;
    delete file_;
    file_ = file.release();
    ok_ = true;
    return true;
}

std::string IniSource::text(const std::string& section, const std::string& key) const
{
    if (!file_)
        return "";
    return stripQuotes(file_->getSetting(key, section, Ogre::BLANKSTRING));
}

float IniSource::real(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseReal(text(section, key));
}

uint32_t IniSource::uint(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseUnsignedInt(text(section, key));
}

int32_t IniSource::integer(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseInt(text(section, key));
}

bool IniSource::flag(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseBool(text(section, key));
}

Ogre::Vector3 IniSource::vec3(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseVector3(text(section, key));
}

Ogre::Vector2 IniSource::vec2(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseVector2(text(section, key));
}

Ogre::ColourValue IniSource::colour(const std::string& section, const std::string& key) const
{
    return Ogre::StringConverter::parseColourValue(text(section, key));
}

uint32_t IniSource::count(const std::string& section, const std::string& key, uint32_t maxCount)
{
    const uint32_t n = uint(section, key);
    if (n <= maxCount)
        return n;
    ok_ = false;
    logDefinitionProblem("Definition source '" + path_ + "': " + key + " " + std::to_string(n) +
                         " is more than " + std::to_string(maxCount));
    return 0;
}

std::string indexedKey(const std::string& prefix, uint32_t n, const std::string& suffix)
{
    return prefix + std::to_string(n) + suffix;
}
