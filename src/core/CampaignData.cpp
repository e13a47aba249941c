#include "core/CampaignData.h"

#include "core/BinaryIO.h"
#include "core/PlayerProfile.h"
#include "platform/Platform.h"

#include <OgreLogManager.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

const char* const kSavesDir = "../../Saves";

void logMessage(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}

std::vector<LocalizedPair> readPairs(BinaryReader& in, uint32_t count)
{
    std::vector<LocalizedPair> pairs;
    for (uint32_t i = 0; i < count && in.ok(); ++i) {
        LocalizedPair p;
        p.title = readBinString(in);
        p.text = readBinString(in);
        pairs.push_back(std::move(p));
    }
    return pairs;
}

// Kudos only ever grow here; a sum past the top stays at the top instead of wrapping to little.
void addPoints(uint32_t& total, int64_t gain)
{
    if (gain > 0)
        total = static_cast<uint32_t>(std::min<int64_t>(int64_t{total} + gain, UINT32_MAX));
}

uint32_t bestMedalPoints(const ChallengeDef& c)
{
    if (c.gold > 0)
        return c.goldPoints;
    if (c.silver > 0)
        return c.silverPoints;
    if (c.bronze > 0)
        return c.bronzePoints;
    return 0;
}

const std::string& pairText(const std::vector<LocalizedPair>& pairs, uint32_t language, bool title)
{
    static const std::string none;
    if (language >= pairs.size())
        return none;
    return title ? pairs[language].title : pairs[language].text;
}

struct StoredChallenge {
    uint32_t started = 0, finished = 0;
    float best = 0.0f;
    uint32_t gold = 0, silver = 0, bronze = 0;
};

}  // namespace

std::string CampaignData::progressPath(const std::string& profileName)
{
    return std::string(kSavesDir) + "/" + platform::cp1252ToUtf8(profileName) + "_Chall.DAT";
}

CampaignData::CampaignData(const std::string& campaignName, const std::string& profileName, uint32_t languages)
    : profileName_(profileName),
      campaignName_(campaignName),
      languages_(languages),
      nameValid_(PlayerProfile::isValidName(profileName))
{
    load();
}

CampaignData::~CampaignData() { saveProgress(); }

bool CampaignData::load()
{
    BinaryReader in;
    if (!in.open(cataloguePath())) {
        logMessage(std::string("Campaign catalogue missing: ") + cataloguePath());
        return false;
    }
    uint32_t magic = 0, version = 0;
    if (!in.readU32(magic) || magic != kCatalogueMagic) {
        logMessage(std::string("Campaign catalogue has a wrong magic: ") + cataloguePath());
        return false;
    }
    in.readU32(version);
    const uint32_t perLanguage = std::max<uint32_t>(languages_, 1);

    std::array<float, kWeaponCount> prices{};
    std::array<std::string, kWeaponCount> names;
    std::array<std::vector<LocalizedPair>, kWeaponCount> weaponTexts;
    for (float& p : prices)
        in.readF32(p);
    for (std::string& n : names)
        n = readBinString(in);
    for (auto& texts : weaponTexts)
        texts = readPairs(in, languages_);

    uint32_t tierCount = 0;
    in.readCount(tierCount, kMaxTiers);
    std::vector<std::vector<ChallengeDef>> tiers;
    for (uint32_t t = 0; t < tierCount && in.ok(); ++t) {
        uint32_t count = 0;
        in.readCount(count, kMaxChallenges);
        std::vector<ChallengeDef> tier(in.ok() ? count : 0);
        for (ChallengeDef& c : tier) {
            c.name = readBinString(in);
            in.readBool(c.hasIntroCutscene);
            c.introCutscene = readBinString(in);
            in.readBool(c.hasOutroCutscene);
            c.outroCutscene = readBinString(in);
            in.readU32(c.requiredPoints);
            c.texts = readPairs(in, perLanguage);
            in.readU32(c.requiredStep);
            in.readU32(c.grantedStep);
            in.readU32(c.compareType);
            in.readBool(c.resultIsTime);
            in.readF32(c.goldThreshold);
            in.readU32(c.goldPoints);
            in.readF32(c.silverThreshold);
            in.readU32(c.silverPoints);
            in.readF32(c.bronzeThreshold);
            in.readU32(c.bronzePoints);
            // Lower-is-better results start far off, so that any first result beats them.
            if (c.compareType == ResultLess || c.compareType == ResultLessOrEqual)
                c.best = kUnsetLowBest;
            if (!in.ok())
                break;
        }
        tiers.push_back(std::move(tier));
    }

    std::array<UpgradeGroup, kUpgradeGroups> upgrades{};
    for (UpgradeGroup& group : upgrades) {
        for (UpgradeLevel& level : group) {
            in.readU32(level.price);
            in.readF32(level.valueA);
            in.readF32(level.valueB);
            level.texts = readPairs(in, languages_);
        }
    }

    uint32_t stepCount = 0;
    in.readCount(stepCount, kMaxSteps);
    std::vector<ProgressStep> steps(in.ok() ? stepCount : 0);
    for (ProgressStep& s : steps) {
        for (uint32_t l = 0; l < perLanguage && in.ok(); ++l)
            s.names.push_back(readBinString(in));
        in.readU8(s.kept);
        in.readBool(s.shopLocked);
        if (!in.ok())
            break;
    }

    if (!in.ok()) {
        logMessage(std::string("Campaign catalogue is damaged: ") + cataloguePath());
        return false;
    }
    weaponPrice_ = prices;
    weaponName_ = std::move(names);
    weaponTexts_ = std::move(weaponTexts);
    tiers_ = std::move(tiers);
    upgrades_ = std::move(upgrades);
    steps_ = std::move(steps);
    catalogueLoaded_ = true;
    return true;
}

bool CampaignData::loadProgress()
{
    // Without the catalogue nothing can be matched, and the stored progress must stay as it is.
    if (!catalogueLoaded_ || !nameValid_)
        return false;
    const std::string path = progressPath(profileName_);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        resetProgress();
        return false;
    }

    BinaryReader in;
    bool ok = in.open(path);
    uint32_t magic = 0, format = 0, earned = 0, spent = 0, step = 0, tierCount = 0;
    bool skip = false;
    std::array<bool, kWeaponCount> weapons{};
    std::string campaign, profile;
    ok = ok && in.readU32(magic) && magic == kProgressMagic;
    ok = ok && in.readString(campaign) && campaign == campaignName_;
    ok = ok && in.readString(profile) && profile == profileName_;
    ok = ok && in.readU32(format) && in.readU32(earned) && in.readU32(spent) && in.readU32(step);
    ok = ok && in.readBool(skip);
    for (bool& w : weapons)
        ok = ok && in.readBool(w);
    ok = ok && in.readU32(tierCount) && tierCount == tiers_.size();
    std::vector<std::vector<StoredChallenge>> stored;
    for (uint32_t t = 0; ok && t < tierCount; ++t) {
        uint32_t count = 0;
        ok = in.readU32(count) && count == tiers_[t].size();
        std::vector<StoredChallenge> tier(ok ? count : 0);
        for (StoredChallenge& c : tier) {
            in.readU32(c.started);
            in.readU32(c.finished);
            in.readF32(c.best);
            in.readU32(c.gold);
            in.readU32(c.silver);
            in.readU32(c.bronze);
        }
        stored.push_back(std::move(tier));
    }
    std::array<std::array<bool, kUpgradeLevels>, kUpgradeGroups> bought{};
    for (auto& group : bought)
        for (bool& b : group)
            in.readBool(b);
    ok = ok && in.ok();

    if (!ok) {
        // Keep what was there, beside any copy set aside before: the player may want it back.
        const std::string backup = setFileAside(path);
        if (backup.empty()) {
            logMessage("Campaign progress unusable and not movable, left alone: " + path);
            saveBlocked_ = true;
        } else {
            logMessage("Campaign progress unusable, kept as " + backup);
        }
        resetProgress();
        return false;
    }

    pointsEarned = earned;
    pointsSpent = spent;
    stepReached = step;
    skipSeenStory = skip;
    weaponUnlocked = weapons;
    for (size_t t = 0; t < tiers_.size(); ++t) {
        for (size_t i = 0; i < tiers_[t].size(); ++i) {
            ChallengeDef& c = tiers_[t][i];
            const StoredChallenge& s = stored[t][i];
            c.timesStarted = s.started;
            c.timesFinished = s.finished;
            c.best = s.best;
            c.gold = s.gold;
            c.silver = s.silver;
            c.bronze = s.bronze;
        }
    }
    for (uint32_t g = 0; g < kUpgradeGroups; ++g)
        for (uint32_t l = 0; l < kUpgradeLevels; ++l)
            upgrades_[g][l].bought = bought[g][l];
    return true;
}

bool CampaignData::saveProgress()
{
    if (!catalogueLoaded_ || !nameValid_ || saveBlocked_)
        return false;
    BinaryWriter out;
    out.writeU32(kProgressMagic);
    writeBinString(out, campaignName_);
    writeBinString(out, profileName_);
    out.writeU32(kProgressFormat);
    out.writeU32(pointsEarned);
    out.writeU32(pointsSpent);
    out.writeU32(stepReached);
    out.writeBool(skipSeenStory);
    for (const bool w : weaponUnlocked)
        out.writeBool(w);
    out.writeU32(getTierCount());
    for (const auto& tier : tiers_) {
        out.writeU32(static_cast<uint32_t>(tier.size()));
        for (const ChallengeDef& c : tier) {
            out.writeU32(c.timesStarted);
            out.writeU32(c.timesFinished);
            out.writeF32(c.best);
            out.writeU32(c.gold);
            out.writeU32(c.silver);
            out.writeU32(c.bronze);
        }
    }
    for (const UpgradeGroup& group : upgrades_)
        for (const UpgradeLevel& level : group)
            out.writeBool(level.bought);
    out.writeU32(kProgressMagic);

    std::error_code ec;
    std::filesystem::create_directories(kSavesDir, ec);
    if (!out.commit(progressPath(profileName_))) {
        logMessage("Campaign progress could not be saved: " + progressPath(profileName_));
        return false;
    }
    return true;
}

void CampaignData::resetProgress()
{
    pointsEarned = 0;
    for (auto& tier : tiers_) {
        for (ChallengeDef& c : tier) {
            c.timesStarted = 0;
            c.timesFinished = 0;
            c.gold = 0;
            c.silver = 0;
            c.bronze = 0;
        }
    }
}

bool CampaignData::nextChallenge(uint32_t tier, uint32_t challenge, uint32_t& nextTier, uint32_t& next) const
{
    const uint32_t tiers = getTierCount();
    const uint32_t count = getChallengeCount(tier);
    if (tiers > 0 && tier == tiers - 1 && challenge + 1 >= count)
        return false;
    nextTier = tier;
    next = challenge + 1;
    if (next >= count) {
        nextTier = tier + 1;
        next = 0;
    }
    return true;
}

uint32_t CampaignData::getChallengeCount(uint32_t tier) const
{
    return tier < tiers_.size() ? static_cast<uint32_t>(tiers_[tier].size()) : 0;
}

ChallengeDef* CampaignData::getChallenge(uint32_t tier, uint32_t challenge)
{
    return tier < tiers_.size() && challenge < tiers_[tier].size() ? &tiers_[tier][challenge] : nullptr;
}

const ChallengeDef* CampaignData::getChallenge(uint32_t tier, uint32_t challenge) const
{
    return tier < tiers_.size() && challenge < tiers_[tier].size() ? &tiers_[tier][challenge] : nullptr;
}

const UpgradeLevel* CampaignData::getUpgrade(uint32_t group, uint32_t level) const
{
    return group < kUpgradeGroups && level < kUpgradeLevels ? &upgrades_[group][level] : nullptr;
}

std::string CampaignData::getChallengeName(uint32_t tier, uint32_t challenge) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    return c ? c->name : std::string();
}

std::string CampaignData::getIntroCutscene(uint32_t tier, uint32_t challenge) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    return c ? c->introCutscene : std::string();
}

std::string CampaignData::getOutroCutscene(uint32_t tier, uint32_t challenge) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    return c ? c->outroCutscene : std::string();
}

bool CampaignData::wantsIntroCutscene(uint32_t tier, uint32_t challenge) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    if (!c || !c->hasIntroCutscene)
        return false;
    // The screens count the start before they ask, so the first start sees 1.
    return !skipSeenStory || c->timesStarted < 2;
}

ChallengeStatus CampaignData::getChallengeStatus(uint32_t tier, uint32_t challenge) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    if (!c || pointsEarned < c->requiredPoints)
        return ChallengeStatus::PointsLocked;
    if (stepReached < c->requiredStep)
        return ChallengeStatus::StoryLocked;
    if (c->gold > 0)
        return ChallengeStatus::Gold;
    if (c->silver > 0)
        return ChallengeStatus::Silver;
    if (c->bronze > 0)
        return ChallengeStatus::Bronze;
    return ChallengeStatus::Open;
}

uint32_t CampaignData::getMedalThreshold(uint32_t tier, uint32_t challenge, uint32_t medal) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    if (!c)
        return 0;
    float v = 0.0f;
    switch (medal) {
    case 1: v = c->goldThreshold; break;
    case 2: v = c->silverThreshold; break;
    case 3: v = c->bronzeThreshold; break;
    default: return 0;
    }
    if (!(v > 0.0f))
        return 0;
    return v >= 4294967296.0f ? UINT32_MAX : static_cast<uint32_t>(v);
}

std::string CampaignData::getChallengeTitle(uint32_t tier, uint32_t challenge, uint32_t language) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    return c ? pairText(c->texts, language, true) : std::string();
}

std::string CampaignData::getChallengeDescription(uint32_t tier, uint32_t challenge, uint32_t language) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    return c ? pairText(c->texts, language, false) : std::string();
}

std::string CampaignData::getStepName(uint32_t tier, uint32_t challenge, uint32_t language) const
{
    const ChallengeDef* c = getChallenge(tier, challenge);
    if (!c || c->requiredStep == 0)
        return std::string();
    // The next step to reach while the story goes on, else the step the challenge needs.
    const uint32_t index = stepReached < steps_.size() ? stepReached : c->requiredStep - 1;
    if (index >= steps_.size() || language >= steps_[index].names.size())
        return std::string();
    return steps_[index].names[language];
}

uint32_t CampaignData::countOpenChallenges(uint32_t tier) const
{
    uint32_t open = 0;
    for (uint32_t i = 0; i < getChallengeCount(tier); ++i) {
        const bool storyLocked = getChallengeStatus(tier, i) == ChallengeStatus::StoryLocked;
        if (pointsEarned >= tiers_[tier][i].requiredPoints && !storyLocked)
            ++open;
    }
    return open;
}

uint32_t CampaignData::getTierPointsEarned(uint32_t tier) const
{
    uint32_t sum = 0;
    for (uint32_t i = 0; i < getChallengeCount(tier); ++i) {
        const ChallengeDef& c = tiers_[tier][i];
        if (c.timesFinished > 0)
            addPoints(sum, bestMedalPoints(c));
    }
    return sum;
}

bool CampaignData::recordChallengeResult(uint32_t tier, uint32_t challenge, float result)
{
    ChallengeDef* c = getChallenge(tier, challenge);
    if (!c)
        return false;
    c->timesFinished += 1;
    stepReached = std::max(stepReached, c->grantedStep);
    if (isResultBetter(c->compareType, result, c->best))
        c->best = result;

    // A better medal adds the difference to the one already held; an equal or lesser adds nothing.
    const int64_t held = bestMedalPoints(*c);
    bool medal = true;
    if (isResultBetter(c->compareType, result, c->goldThreshold)) {
        addPoints(pointsEarned, int64_t{c->goldPoints} - held);
        c->gold += 1;
    } else if (isResultBetter(c->compareType, result, c->silverThreshold)) {
        addPoints(pointsEarned, int64_t{c->silverPoints} - held);
        c->silver += 1;
    } else if (isResultBetter(c->compareType, result, c->bronzeThreshold)) {
        addPoints(pointsEarned, int64_t{c->bronzePoints} - held);
        c->bronze += 1;
    } else {
        medal = false;
    }
    saveProgress();
    return medal;
}

std::string CampaignData::getWeaponName(uint32_t slot) const
{
    return slot >= 1 && slot <= kWeaponCount ? weaponName_[slot - 1] : std::string();
}

int64_t CampaignData::getAvailablePoints() const { return int64_t{pointsEarned} - int64_t{pointsSpent}; }

bool CampaignData::buyWeapon(uint32_t slot)
{
    if (slot >= kWeaponCount || weaponUnlocked[slot] || !canBuyAtCurrentStep())
        return false;
    const int64_t available = getAvailablePoints();
    const float price = weaponPrice_[slot];
    // Also refuses a NaN price and any purchase while the balance is negative.
    if (available < 0 || !(static_cast<float>(available) >= price))
        return false;
    weaponUnlocked[slot] = true;
    const float spent = static_cast<float>(pointsSpent) + price;
    pointsSpent = spent > 0.0f ? static_cast<uint32_t>(std::min(spent, static_cast<float>(pointsEarned))) : 0;
    saveProgress();
    return true;
}

bool CampaignData::buyUpgrade(uint32_t group, uint32_t level)
{
    if (group >= kUpgradeGroups || level >= kUpgradeLevels)
        return false;
    UpgradeLevel& u = upgrades_[group][level];
    if (u.bought || getAvailablePoints() < int64_t{u.price})
        return false;
    pointsSpent += u.price;
    u.bought = true;
    saveProgress();
    return true;
}

bool CampaignData::canBuyAtCurrentStep() const
{
    if (steps_.empty())
        return true;
    // A step past the story's last counts as the last.
    const size_t index = std::min<size_t>(stepReached == 0 ? 0 : stepReached - 1, steps_.size() - 1);
    return !steps_[index].shopLocked;
}

std::string CampaignData::getShopItemText(uint32_t kind, uint32_t index, uint32_t language) const
{
    const std::vector<LocalizedPair>* texts = nullptr;
    if (kind >= 1 && kind <= kUpgradeGroups && index < kUpgradeLevels)
        texts = &upgrades_[kind - 1][index].texts;
    else if (kind == 4 && index < kWeaponCount)
        texts = &weaponTexts_[index];
    if (!texts || language >= texts->size())
        return std::string();
    return (*texts)[language].title + " : " + (*texts)[language].text;
}

float CampaignData::getUpgradeFactor(uint32_t group, bool valueB) const
{
    if (group >= kUpgradeGroups)
        return 1.0f;
    for (uint32_t l = kUpgradeLevels; l-- > 0;) {
        const UpgradeLevel& u = upgrades_[group][l];
        if (u.bought)
            return valueB ? u.valueB : u.valueA;
    }
    return 1.0f;
}
