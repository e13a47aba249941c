#include "core/PlayerProfile.h"

#include "core/BinaryIO.h"
#include "core/RandomGenerator.h"
#include "platform/Platform.h"

#include <OgreLogManager.h>

#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

const char* const kSavesDir = "../../Saves";

void logMessage(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}

// Results are stored as whole numbers; out-of-range values would make the conversion undefined.
uint32_t toStoredWhole(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 4294967296.0f)
        return UINT32_MAX;
    return static_cast<uint32_t>(v);
}

bool isNameChar(unsigned char c)
{
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
        return true;
    switch (c) {
    case 0x8A: case 0x8C: case 0x8E:  // S, OE, Z with marks (Windows-1252)
    case 0x9A: case 0x9C: case 0x9E: case 0x9F:
        return true;
    default:
        // Latin-1 letters, without the multiplication and division signs.
        return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    }
}

uint32_t signedByte(char c) { return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))); }

struct StoredModeProgress {
    uint32_t progress0 = 0, playCount = 0, best = 0, progress3 = 0;
};

}  // namespace

bool isResultBetter(uint32_t code, float a, float b)
{
    switch (code) {
    case ResultLess: return a < b;
    case ResultGreater: return a > b;
    case ResultLessOrEqual: return a <= b;
    case ResultGreaterOrEqual: return a >= b;
    default: return a == b;
    }
}

bool PlayerProfile::isValidName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    for (const char c : name)
        if (!isNameChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string PlayerProfile::profilePath(const std::string& name)
{
    return std::string(kSavesDir) + "/" + platform::cp1252ToUtf8(name) + "_Game." + "ZVP";
}

PlayerProfile::PlayerProfile(const std::string& name, RandomGenerator* random)
    : name_(name), random_(random), nameValid_(isValidName(name))
{
    if (!nameValid_)
        logMessage("Profile name refused: " + platform::cp1252ToUtf8(name));
    loadModes();
    load();
    updateModeLocks();
}

PlayerProfile::~PlayerProfile() { save(); }

uint32_t PlayerProfile::readLanguageCount()
{
    BinaryReader in;
    uint32_t magic = 0;
    uint32_t languages = 0;
    if (!in.open(modeTablePath()) || !in.readU32(magic) || magic != kModeTableMagic ||
        !in.readCount(languages, kMaxLanguages))
        return 0;
    return languages;
}

bool PlayerProfile::loadModes()
{
    BinaryReader in;
    if (!in.open(modeTablePath())) {
        logMessage(std::string("Game mode table missing: ") + modeTablePath());
        return false;
    }
    uint32_t magic = 0;
    if (!in.readU32(magic) || magic != kModeTableMagic) {
        logMessage(std::string("Game mode table has a wrong magic: ") + modeTablePath());
        return false;
    }
    uint32_t languages = 0;
    in.readCount(languages, kMaxLanguages);
    std::vector<UiTextTable> tables(in.ok() ? languages : 0);
    for (UiTextTable& table : tables)
        for (uint32_t i = 0; i < UiTextTable::kTextCount; ++i)
            table.set(i, readBinString(in));

    uint32_t count = 0;
    in.readCount(count, kMaxModes);
    std::vector<GameModeDef> modes(in.ok() ? count : 0);
    for (GameModeDef& m : modes) {
        m.name = readBinString(in);
        in.readBool(m.locked);
        m.secondName = readBinString(in);
        in.readU32(m.compareType);
        m.texts.resize(languages);
        for (GameModeTexts& t : m.texts) {
            t.title = readBinString(in);
            t.description = readBinString(in);
            t.howToUnlock = readBinString(in);
        }
        in.readBool(m.unlockByResult);
        in.readU32(m.refMode);
        in.readU32(m.unlockCompare);
        in.readF32(m.threshold);
        in.readBool(m.unlockByPlays);
        in.readU32(m.refMode2);
        in.readU32(m.requiredPlays);
        in.readBool(m.unlockByLevel);
        in.readU32(m.requiredLevel);
        if (!in.ok())
            break;
    }
    if (!in.ok()) {
        logMessage(std::string("Game mode table is damaged: ") + modeTablePath());
        return false;
    }
    textTables_ = std::move(tables);
    modes_ = std::move(modes);
    tablesLoaded_ = true;
    return true;
}

bool PlayerProfile::load()
{
    // Without the tables there is nothing to match the file against, and nothing may replace it.
    if (!tablesLoaded_ || !nameValid_)
        return false;
    const std::string path = profilePath(name_);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        // Numbers first, so that the file the reset writes already holds them.
        makeProfileNumbers();
        resetProgress();
        return false;
    }

    BinaryReader in;
    bool ok = in.open(path);
    uint32_t magic = 0, format = 0, nameNumber = 0, randomNumber = 0, counter = 0, count = 0;
    float time = 0.0f, time1 = 0.0f, time2 = 0.0f;
    std::string marker, storedName;
    ok = ok && in.readU32(magic) && magic == kProfileMagic;
    ok = ok && in.readString(marker) && marker == kProfileMarker;
    ok = ok && in.readString(storedName) && storedName == name_;
    ok = ok && in.readU32(format) && format == kProfileFormat;
    ok = ok && in.readU32(nameNumber) && in.readU32(randomNumber) && in.readU32(counter);
    ok = ok && in.readF32(time) && in.readF32(time1) && in.readF32(time2);
    ok = ok && in.readU32(count) && count == modes_.size();
    std::vector<StoredModeProgress> stored(ok ? count : 0);
    for (StoredModeProgress& p : stored) {
        in.readU32(p.progress0);
        in.readU32(p.playCount);
        in.readU32(p.best);
        in.readU32(p.progress3);
    }
    ok = ok && in.ok();

    if (!ok) {
        // Keep what was there, beside any copy set aside before: the player may want it back.
        const std::string backup = setFileAside(path);
        if (backup.empty()) {
            logMessage("Profile file unusable and not movable, left alone: " + path);
            saveBlocked_ = true;  // never overwrite it from this object
        } else {
            logMessage("Profile file unusable, kept as " + backup);
        }
        resetProgress();
        return false;
    }

    nameNumber_ = nameNumber;
    randomNumber_ = randomNumber;
    profileCounter = counter;
    playTime = time;
    freePlayTime = time1;
    challengePlayTime = time2;
    for (size_t i = 0; i < stored.size(); ++i) {
        modes_[i].progress0 = stored[i].progress0;
        modes_[i].playCount = stored[i].playCount;
        modes_[i].best = static_cast<float>(stored[i].best);
        modes_[i].progress3 = static_cast<float>(stored[i].progress3);
    }
    return true;
}

bool PlayerProfile::save()
{
    if (!tablesLoaded_ || !nameValid_ || saveBlocked_)
        return false;
    BinaryWriter out;
    out.writeU32(kProfileMagic);
    writeBinString(out, kProfileMarker);
    writeBinString(out, name_);
    out.writeU32(kProfileFormat);
    out.writeU32(nameNumber_);
    out.writeU32(randomNumber_);
    out.writeU32(profileCounter);
    out.writeF32(playTime);
    out.writeF32(freePlayTime);
    out.writeF32(challengePlayTime);
    out.writeU32(getModeCount());
    for (const GameModeDef& m : modes_) {
        out.writeU32(m.progress0);
        out.writeU32(m.playCount);
        out.writeU32(toStoredWhole(m.best));
        out.writeU32(toStoredWhole(m.progress3));
    }
    out.writeU32(kProfileMagic);

    std::error_code ec;
    std::filesystem::create_directories(kSavesDir, ec);
    if (!out.commit(profilePath(name_))) {
        logMessage("Profile could not be saved: " + profilePath(name_));
        return false;
    }
    return true;
}

void PlayerProfile::resetProgress()
{
    profileCounter = 0;
    for (GameModeDef& m : modes_) {
        m.progress0 = 0;
        m.playCount = 0;
        m.best = 0.0f;
    }
    save();
}

void PlayerProfile::updateModeLocks()
{
    for (GameModeDef& m : modes_) {
        if (!m.locked)
            continue;
        const GameModeDef* byResult = getMode(m.refMode);
        const GameModeDef* byPlays = getMode(m.refMode2);
        if (m.unlockByResult && byResult && isResultBetter(m.unlockCompare, m.threshold, byResult->best))
            m.locked = false;
        if (m.unlockByPlays && byPlays && byPlays->playCount >= m.requiredPlays)
            m.locked = false;
        if (m.unlockByLevel && m.requiredLevel <= level)
            m.locked = false;
    }
}

void PlayerProfile::makeProfileNumbers()
{
    if (!name_.empty()) {
        const size_t n = name_.size();
        uint32_t sum = 0;
        for (const char c : name_)
            sum += signedByte(c);
        nameNumber_ = static_cast<uint32_t>(n) * 10000000u + sum * 1000u + signedByte(name_.front()) * 100u +
                      signedByte(name_[n / 2]) * 10u + signedByte(name_.back());
    }
    if (random_)
        randomNumber_ = static_cast<uint32_t>(random_->nextInt());
}

void PlayerProfile::recordModeResult(uint32_t mode, float result)
{
    GameModeDef* m = getMode(mode);
    if (!m)
        return;
    m->playCount += 1;
    if (isResultBetter(m->compareType, m->best, result))
        m->best = result;
    updateModeLocks();
    save();
}

GameModeDef* PlayerProfile::getMode(uint32_t mode) { return mode < modes_.size() ? &modes_[mode] : nullptr; }

const GameModeDef* PlayerProfile::getMode(uint32_t mode) const
{
    return mode < modes_.size() ? &modes_[mode] : nullptr;
}

std::string PlayerProfile::getModeName(uint32_t mode) const
{
    const GameModeDef* m = getMode(mode);
    return m ? m->name : std::string();
}

std::string PlayerProfile::getModeString2(uint32_t mode) const
{
    const GameModeDef* m = getMode(mode);
    return m ? m->secondName : std::string();
}

std::string PlayerProfile::getModeTitle(uint32_t language, uint32_t mode) const
{
    const GameModeDef* m = getMode(mode);
    return m && language < m->texts.size() ? m->texts[language].title : std::string();
}

std::string PlayerProfile::getModeDescription(uint32_t language, uint32_t mode) const
{
    const GameModeDef* m = getMode(mode);
    if (!m || language >= m->texts.size())
        return std::string();
    return m->locked ? m->texts[language].howToUnlock : m->texts[language].description;
}

std::string PlayerProfile::getText(uint32_t language, UiTextId id) const
{
    return language < textTables_.size() ? textTables_[language].get(id) : std::string();
}
