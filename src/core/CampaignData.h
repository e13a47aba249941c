#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Where a challenge stands for the player.
enum class ChallengeStatus : uint32_t {
    PointsLocked = 0,
    Open = 1,
    Bronze = 2,
    Silver = 3,
    Gold = 4,
    StoryLocked = 21,
};

struct LocalizedPair {
    std::string title;
    std::string text;
};

// One challenge of the campaign: its rules from the catalogue, the player's progress in it.
struct ChallengeDef {
    std::string name;  // the level the play loads (its rules file)
    bool hasIntroCutscene = false;
    std::string introCutscene;
    bool hasOutroCutscene = false;
    std::string outroCutscene;
    uint32_t requiredStep = 0;  // story step needed to play, 0 none
    uint32_t grantedStep = 0;   // story step reached by finishing it
    uint32_t compareType = 0;   // a result r wins a medal when isResultBetter(compareType, r, threshold)
    bool resultIsTime = false;
    float goldThreshold = 0.0f;
    uint32_t goldPoints = 0;
    float silverThreshold = 0.0f;
    uint32_t silverPoints = 0;
    float bronzeThreshold = 0.0f;
    uint32_t bronzePoints = 0;
    uint32_t requiredPoints = 0;
    std::vector<LocalizedPair> texts;  // title and description per language (at least one)

    uint32_t timesStarted = 0;
    uint32_t timesFinished = 0;
    uint32_t gold = 0;  // medals won, each kind counted
    uint32_t silver = 0;
    uint32_t bronze = 0;
    float best = 0.0f;
};

// One level of a garage upgrade group.
struct UpgradeLevel {
    uint32_t price = 0;
    float valueA = 0.0f;  // factors applied to the player's vehicle
    float valueB = 0.0f;
    std::vector<LocalizedPair> texts;  // one per language
    bool bought = false;
};

// A step of the campaign's story.
struct ProgressStep {
    std::vector<std::string> names;  // one per language (at least one)
    uint8_t kept = 0;
    bool shopLocked = false;  // no weapon can be bought while this is the step reached
};

// The challenge campaign: the catalogue (GCampA.TCD) and one player's progress in it (the
// "_Chall.DAT" file of the profile).
class CampaignData {
public:
    static constexpr uint32_t kCatalogueMagic = 55644;
    static constexpr uint32_t kProgressMagic = 456;
    static constexpr uint32_t kProgressFormat = 1;
    static constexpr uint32_t kWeaponCount = 5;
    static constexpr uint32_t kUpgradeGroups = 3;  // turret, core, track
    static constexpr uint32_t kUpgradeLevels = 3;
    static constexpr uint32_t kMaxTiers = 64;
    static constexpr uint32_t kMaxChallenges = 64;
    static constexpr uint32_t kMaxSteps = 256;
    static constexpr float kUnsetLowBest = 1.0e12f;

    static const char* cataloguePath() { return "../../Data/System/GCampA.TCD"; }
    // "../../Saves/" + profile name + "_Chall.DAT"; the name is Windows-1252 text, the path UTF-8.
    static std::string progressPath(const std::string& profileName);

    // Reads the catalogue; the caller then loads the progress. `languages` is the profile's
    // language count.
    CampaignData(const std::string& campaignName, const std::string& profileName, uint32_t languages);
    // Saves the progress (unless the catalogue failed to load).
    ~CampaignData();
    CampaignData(const CampaignData&) = delete;
    CampaignData& operator=(const CampaignData&) = delete;

    bool load();
    bool loadProgress();
    // Refused (false) when the catalogue did not load, the profile name is not valid or an
    // unusable progress file could not be set aside: such progress never replaces a stored one.
    bool saveProgress();
    // Clears the kudos earned and every challenge's counters; spent kudos, purchases, the story
    // step and best results stay.
    void resetProgress();

    // Challenge queries; a challenge that does not exist answers "", 0, false or PointsLocked.
    std::string getChallengeName(uint32_t tier, uint32_t challenge) const;
    std::string getIntroCutscene(uint32_t tier, uint32_t challenge) const;
    std::string getOutroCutscene(uint32_t tier, uint32_t challenge) const;
    bool wantsIntroCutscene(uint32_t tier, uint32_t challenge) const;
    ChallengeStatus getChallengeStatus(uint32_t tier, uint32_t challenge) const;
    // Medal 1 gold, 2 silver, 3 bronze: the threshold as a whole number (0 when negative).
    uint32_t getMedalThreshold(uint32_t tier, uint32_t challenge, uint32_t medal) const;
    std::string getChallengeTitle(uint32_t tier, uint32_t challenge, uint32_t language) const;
    std::string getChallengeDescription(uint32_t tier, uint32_t challenge, uint32_t language) const;
    std::string getStepName(uint32_t tier, uint32_t challenge, uint32_t language) const;

    // The challenge after (tier, challenge): the next one of the tier, else the first of the next
    // tier (which may not exist). False only after the last challenge of the last tier.
    bool nextChallenge(uint32_t tier, uint32_t challenge, uint32_t& nextTier, uint32_t& next) const;

    uint32_t countOpenChallenges(uint32_t tier) const;
    uint32_t getTierPointsEarned(uint32_t tier) const;

    // Counts the finish, keeps the best, awards medals and kudos, saves; true when a medal was won.
    bool recordChallengeResult(uint32_t tier, uint32_t challenge, float result);

    // Slot 1 to 5; "" otherwise.
    std::string getWeaponName(uint32_t slot) const;
    // Slot 0 to 4. Refused while the shop is locked, when owned or unaffordable; saved at once.
    bool buyWeapon(uint32_t slot);
    // Group 0 to 2, level 0 to 2. Refused when bought or unaffordable; saved at once.
    bool buyUpgrade(uint32_t group, uint32_t level);
    bool canBuyAtCurrentStep() const;
    // Kind 1 to 3: upgrade group 0 to 2, kind 4: weapon; "title : text", or "".
    std::string getShopItemText(uint32_t kind, uint32_t index, uint32_t language) const;
    // Value A (valueB false) or B of the group's highest bought level; 1.0 when none is bought.
    float getUpgradeFactor(uint32_t group, bool valueB) const;
    // Kudos earned minus kudos spent; negative after a reset that kept the spending.
    int64_t getAvailablePoints() const;

    uint32_t getTierCount() const { return static_cast<uint32_t>(tiers_.size()); }
    uint32_t getChallengeCount(uint32_t tier) const;
    // Null for a challenge or level that does not exist.
    ChallengeDef* getChallenge(uint32_t tier, uint32_t challenge);
    const ChallengeDef* getChallenge(uint32_t tier, uint32_t challenge) const;
    const UpgradeLevel* getUpgrade(uint32_t group, uint32_t level) const;
    float getWeaponPrice(uint32_t slot) const { return slot < kWeaponCount ? weaponPrice_[slot] : 0.0f; }
    uint32_t getStepCount() const { return static_cast<uint32_t>(steps_.size()); }
    bool catalogueLoaded() const { return catalogueLoaded_; }
    const std::string& getCampaignName() const { return campaignName_; }

    uint32_t stepReached = 0;
    bool skipSeenStory = false;  // the "skip story already seen" choice
    uint32_t pointsEarned = 0;
    uint32_t pointsSpent = 0;
    std::array<bool, kWeaponCount> weaponUnlocked{};

private:
    using UpgradeGroup = std::array<UpgradeLevel, kUpgradeLevels>;

    std::string profileName_;
    std::vector<std::vector<ChallengeDef>> tiers_;
    std::array<UpgradeGroup, kUpgradeGroups> upgrades_{};
    std::vector<ProgressStep> steps_;
    std::string campaignName_;
    std::array<float, kWeaponCount> weaponPrice_{};
    std::array<std::string, kWeaponCount> weaponName_;
    std::array<std::vector<LocalizedPair>, kWeaponCount> weaponTexts_;
    uint32_t languages_ = 0;
    bool catalogueLoaded_ = false;
    bool nameValid_ = false;
    bool saveBlocked_ = false;  // an unusable progress file could not be set aside
};
