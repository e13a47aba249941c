#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/PlayerProfile.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <OgreConfigFile.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;
namespace fs = std::filesystem;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct FixtureChallenge {
    std::string name;
    uint32_t compareType;
    bool resultIsTime;
    float gold, silver, bronze;
    uint32_t requiredPoints = 0, requiredStep = 0, grantedStep = 0;
    bool intro = false;
};

// Tier 0: a score (higher wins, inclusive), a time (lower wins, inclusive) and a strict time.
// Tier 1: one needing 50 kudos and story step 2, one needing step 1.
std::vector<std::vector<FixtureChallenge>> fixtureTiers()
{
    return {
        {
            {"Score", ResultGreaterOrEqual, false, 300, 200, 100, 0, 0, 1, true},
            {"Time", ResultLessOrEqual, true, 60, 90, 120, 0, 0, 2, false},
            {"Strict", ResultLess, true, 60, 90, 120},
        },
        {
            {"Late", ResultGreaterOrEqual, false, 3, 2, 1, 50, 2, 0},
            {"Story", ResultGreaterOrEqual, false, 12.9f, 2, 1, 0, 1, 0},
        },
    };
}

struct FixtureCatalogue {
    std::vector<std::vector<FixtureChallenge>> tiers = fixtureTiers();
    std::vector<float> weaponPrices = {10, 20, 99.5f, 1000, kNaN};
    std::vector<bool> stepShopLocked = {true, false};
};

// A small catalogue in the layout the campaign reads; texts name what they belong to.
std::vector<uint8_t> catalogueBytes(const FixtureCatalogue& f, uint32_t languages)
{
    const uint32_t perLanguage = std::max<uint32_t>(languages, 1);
    BinaryWriter w;
    w.writeU32(CampaignData::kCatalogueMagic);
    w.writeU32(1);
    for (float p : f.weaponPrices)
        w.writeF32(p);
    for (int i = 0; i < 5; ++i)
        writeBinString(w, "weapon" + std::to_string(i));
    for (int i = 0; i < 5; ++i)
        for (uint32_t l = 0; l < languages; ++l) {
            writeBinString(w, "W" + std::to_string(i) + "/" + std::to_string(l));
            writeBinString(w, "weapon text");
        }
    w.writeU32(static_cast<uint32_t>(f.tiers.size()));
    for (const auto& tier : f.tiers) {
        w.writeU32(static_cast<uint32_t>(tier.size()));
        for (const FixtureChallenge& c : tier) {
            writeBinString(w, c.name);
            w.writeBool(c.intro);
            writeBinString(w, c.name + "In");
            w.writeBool(true);
            writeBinString(w, c.name + "Out");
            w.writeU32(c.requiredPoints);
            for (uint32_t l = 0; l < perLanguage; ++l) {
                writeBinString(w, c.name + " title " + std::to_string(l));
                writeBinString(w, c.name + " text " + std::to_string(l));
            }
            w.writeU32(c.requiredStep);
            w.writeU32(c.grantedStep);
            w.writeU32(c.compareType);
            w.writeBool(c.resultIsTime);
            w.writeF32(c.gold);
            w.writeU32(30);
            w.writeF32(c.silver);
            w.writeU32(20);
            w.writeF32(c.bronze);
            w.writeU32(10);
        }
    }
    for (uint32_t g = 0; g < 3; ++g)
        for (uint32_t l = 0; l < 3; ++l) {
            w.writeU32(10 * (l + 1));  // 10, 20, 30
            w.writeF32(1.0f + 0.1f * static_cast<float>(g * 3 + l + 1));
            w.writeF32(2.0f + 0.1f * static_cast<float>(g * 3 + l + 1));
            for (uint32_t lang = 0; lang < languages; ++lang) {
                writeBinString(w, "U" + std::to_string(g) + std::to_string(l));
                writeBinString(w, "upgrade text");
            }
        }
    w.writeU32(static_cast<uint32_t>(f.stepShopLocked.size()));
    for (size_t s = 0; s < f.stepShopLocked.size(); ++s) {
        for (uint32_t l = 0; l < perLanguage; ++l)
            writeBinString(w, "step" + std::to_string(s) + "/" + std::to_string(l));
        w.writeU8(7);
        w.writeBool(f.stepShopLocked[s]);
    }
    return w.bytes();
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(writeFileAtomically(path, bytes.data(), bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    const std::string s = testsupport::readTextFile(path);
    return {s.begin(), s.end()};
}

std::vector<uint8_t> withWord(std::vector<uint8_t> b, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
}

// A temporary game tree with the fixture catalogue, entered for the test's life.
struct CampaignTree {
    TempGameTree tree{{"Bin/Game/resources.cfg"}};
    ScopedWorkDir dir{tree.workDir()};

    explicit CampaignTree(const std::vector<uint8_t>& catalogue = catalogueBytes(FixtureCatalogue{}, 2))
    {
        writeBytes(CampaignData::cataloguePath(), catalogue);
    }
};

// A campaign as the session makes it: catalogue, then progress.
std::unique_ptr<CampaignData> openCampaign(const std::string& profile = "Pilot", uint32_t languages = 2)
{
    auto c = std::make_unique<CampaignData>("TcData", profile, languages);
    c->loadProgress();
    return c;
}

}  // namespace

// The catalogue the data builder wrote from data/tables/GCampA.ini reads back whole.
TEST(CampaignCatalogue, BuiltCatalogueMatchesItsSource)
{
    TempGameTree tree({"Data/System/GCampA.TCD"});
    ScopedWorkDir dir(tree.workDir());
    CampaignData c("TcData", "Reader", 2);
    ASSERT_TRUE(c.catalogueLoaded());

    Ogre::ConfigFile src;
    src.load(testsupport::repoDataDir() + "/tables/GCampA.ini", "=", true);
    const auto text = [&](const std::string& section, const std::string& key) {
        std::string v = src.getSetting(key, section);
        EXPECT_GE(v.size(), 2u) << section << " " << key;
        return v.size() < 2 ? v : platform::utf8ToCp1252(v.substr(1, v.size() - 2));
    };
    const auto whole = [&](const std::string& s, const std::string& k) { return std::stoul(src.getSetting(k, s)); };
    const auto real = [&](const std::string& s, const std::string& k) { return std::stof(src.getSetting(k, s)); };

    for (uint32_t w = 0; w < 5; ++w) {
        const std::string s = "Weapon_" + std::to_string(w + 1);
        EXPECT_EQ(c.getWeaponName(w + 1), text(s, "Name"));
        EXPECT_EQ(c.getWeaponPrice(w), real(s, "Price"));
        for (uint32_t l = 0; l < 2; ++l)
            EXPECT_EQ(c.getShopItemText(4, w, l),
                      text(s, "Title_" + std::to_string(l)) + " : " + text(s, "Text_" + std::to_string(l)));
    }
    ASSERT_GE(c.getTierCount(), 3u);
    for (uint32_t t = 0; t < c.getTierCount(); ++t) {
        EXPECT_GE(c.getChallengeCount(t), 3u);
        EXPECT_LE(c.getChallengeCount(t), 5u);
        for (uint32_t i = 0; i < c.getChallengeCount(t); ++i) {
            const std::string s = "Challenge_" + std::to_string(t + 1) + "_" + std::to_string(i + 1);
            const ChallengeDef& d = *c.getChallenge(t, i);
            EXPECT_EQ(d.name, text(s, "Name"));
            EXPECT_EQ(d.hasIntroCutscene, whole(s, "HasIntro") == 1);
            EXPECT_EQ(d.introCutscene, text(s, "IntroCutscene"));
            EXPECT_EQ(d.hasOutroCutscene, whole(s, "HasOutro") == 1);
            EXPECT_EQ(d.outroCutscene, text(s, "OutroCutscene"));
            EXPECT_EQ(d.requiredPoints, whole(s, "RequiredPoints"));
            EXPECT_EQ(d.requiredStep, whole(s, "RequiredStep"));
            EXPECT_EQ(d.grantedStep, whole(s, "GrantedStep"));
            EXPECT_EQ(d.compareType, whole(s, "Compare"));
            EXPECT_EQ(d.resultIsTime, whole(s, "ResultIsTime") == 1);
            EXPECT_EQ(d.goldThreshold, real(s, "GoldThreshold"));
            EXPECT_EQ(d.goldPoints, whole(s, "GoldPoints"));
            EXPECT_EQ(d.silverThreshold, real(s, "SilverThreshold"));
            EXPECT_EQ(d.silverPoints, whole(s, "SilverPoints"));
            EXPECT_EQ(d.bronzeThreshold, real(s, "BronzeThreshold"));
            EXPECT_EQ(d.bronzePoints, whole(s, "BronzePoints"));
            for (uint32_t l = 0; l < 2; ++l) {
                EXPECT_EQ(c.getChallengeTitle(t, i, l), text(s, "Title_" + std::to_string(l)));
                EXPECT_EQ(c.getChallengeDescription(t, i, l), text(s, "Description_" + std::to_string(l)));
            }
            // Medals come in order: gold is the hardest to reach.
            EXPECT_TRUE(isResultBetter(d.compareType, d.goldThreshold, d.silverThreshold)) << s;
            EXPECT_TRUE(isResultBetter(d.compareType, d.silverThreshold, d.bronzeThreshold)) << s;
        }
    }
    for (uint32_t g = 0; g < 3; ++g)
        for (uint32_t l = 0; l < 3; ++l) {
            const std::string s = "Upgrade_" + std::to_string(g + 1) + "_" + std::to_string(l + 1);
            const UpgradeLevel& u = *c.getUpgrade(g, l);
            EXPECT_EQ(u.price, whole(s, "Price"));
            EXPECT_EQ(u.valueA, real(s, "ValueA"));
            EXPECT_EQ(u.valueB, real(s, "ValueB"));
            EXPECT_EQ(c.getShopItemText(g + 1, l, 1), text(s, "Title_1") + " : " + text(s, "Text_1"));
        }
    ASSERT_GE(c.getStepCount(), 1u);
    // The step names come back through a challenge that waits for the story.
    uint32_t waitTier = 0, waitIndex = 0;
    bool found = false;
    for (uint32_t t = 0; t < c.getTierCount() && !found; ++t)
        for (uint32_t i = 0; i < c.getChallengeCount(t) && !found; ++i)
            if (c.getChallenge(t, i)->requiredStep > 0) {
                waitTier = t;
                waitIndex = i;
                found = true;
            }
    ASSERT_TRUE(found);
    for (uint32_t step = 0; step < c.getStepCount(); ++step) {
        c.stepReached = step;
        EXPECT_EQ(c.getStepName(waitTier, waitIndex, 1), text("Step_" + std::to_string(step + 1), "Name_1"));
    }
}

TEST(CampaignData, MedalsAndKudosFromResults)
{
    struct Step {
        uint32_t tier, challenge;
        float result;
        bool medal;
        uint32_t pointsEarned;
        ChallengeStatus status;
    };
    const Step steps[] = {
        // Higher wins, inclusive: below bronze, bronze, then gold adds the difference only.
        {0, 0, 99, false, 0, ChallengeStatus::Open},
        {0, 0, 100, true, 10, ChallengeStatus::Bronze},
        {0, 0, 350, true, 30, ChallengeStatus::Gold},
        {0, 0, 300, true, 30, ChallengeStatus::Gold},  // a second gold only counts
        {0, 0, 250, true, 30, ChallengeStatus::Gold},  // a lesser medal adds nothing
        // Lower wins, inclusive: a result equal to the gold threshold is gold.
        {0, 1, 90, true, 50, ChallengeStatus::Silver},
        {0, 1, 60, true, 60, ChallengeStatus::Gold},
        // Lower wins, strict: equal to the gold threshold is silver at best.
        {0, 2, 60, true, 80, ChallengeStatus::Silver},
        {0, 2, kNaN, false, 80, ChallengeStatus::Silver},
    };
    CampaignTree tree;
    auto c = openCampaign();
    for (const Step& s : steps) {
        EXPECT_EQ(c->recordChallengeResult(s.tier, s.challenge, s.result), s.medal) << s.result;
        EXPECT_EQ(c->pointsEarned, s.pointsEarned) << s.result;
        EXPECT_EQ(c->getChallengeStatus(s.tier, s.challenge), s.status) << s.result;
    }
    const ChallengeDef& score = *c->getChallenge(0, 0);
    EXPECT_EQ(score.timesFinished, 5u);
    EXPECT_EQ(score.bronze, 1u);
    EXPECT_EQ(score.gold, 2u);
    EXPECT_EQ(score.silver, 1u);
    EXPECT_EQ(score.best, 350.0f);
    EXPECT_EQ(c->getChallenge(0, 1)->best, 60.0f);
    EXPECT_EQ(c->getChallenge(0, 2)->best, 60.0f);
    // Finishing reaches the challenge's story step; a lower one never takes it back.
    EXPECT_EQ(c->stepReached, 2u);
    EXPECT_EQ(c->getTierPointsEarned(0), 30u + 30u + 20u);
    EXPECT_EQ(c->getTierPointsEarned(1), 0u);
    EXPECT_EQ(c->getTierPointsEarned(2), 0u);
    // Every result saved at once.
    auto again = openCampaign();
    EXPECT_EQ(again->pointsEarned, 80u);
    EXPECT_EQ(again->getChallenge(0, 0)->gold, 2u);
}

TEST(CampaignData, LowerIsBetterBestStartsFarOff)
{
    CampaignTree tree;
    auto c = openCampaign();
    EXPECT_EQ(c->getChallenge(0, 0)->best, 0.0f);
    EXPECT_EQ(c->getChallenge(0, 1)->best, 1.0e12f);
    EXPECT_EQ(c->getChallenge(0, 2)->best, 999999995904.0f);
    c->recordChallengeResult(0, 1, 500.0f);  // no medal, still the best so far
    EXPECT_EQ(c->getChallenge(0, 1)->best, 500.0f);
}

TEST(CampaignData, StatusesStepsAndQueries)
{
    CampaignTree tree;
    auto c = openCampaign();
    // Points are tested before the story: "Late" misses both.
    EXPECT_EQ(c->getChallengeStatus(1, 0), ChallengeStatus::PointsLocked);
    EXPECT_EQ(c->getChallengeStatus(1, 1), ChallengeStatus::StoryLocked);
    EXPECT_EQ(c->countOpenChallenges(0), 3u);
    EXPECT_EQ(c->countOpenChallenges(1), 0u);
    c->pointsEarned = 50;
    c->stepReached = 1;
    EXPECT_EQ(c->getChallengeStatus(1, 0), ChallengeStatus::StoryLocked);
    EXPECT_EQ(c->getChallengeStatus(1, 1), ChallengeStatus::Open);
    EXPECT_EQ(c->countOpenChallenges(1), 1u);

    // Step name: the next step to reach while the story goes on, else the required one.
    EXPECT_EQ(c->getStepName(0, 0, 0), "");  // needs no step
    c->stepReached = 0;
    EXPECT_EQ(c->getStepName(1, 0, 1), "step0/1");
    c->stepReached = 1;
    EXPECT_EQ(c->getStepName(1, 0, 0), "step1/0");
    c->stepReached = 5;
    EXPECT_EQ(c->getStepName(1, 0, 0), "step1/0");
    EXPECT_EQ(c->getStepName(1, 0, 2), "");

    EXPECT_EQ(c->getMedalThreshold(1, 1, 1), 12u);
    EXPECT_EQ(c->getMedalThreshold(0, 1, 3), 120u);
    EXPECT_EQ(c->getMedalThreshold(0, 1, 4), 0u);
    EXPECT_EQ(c->getChallengeName(0, 2), "Strict");
    EXPECT_EQ(c->getIntroCutscene(0, 0), "ScoreIn");
    EXPECT_EQ(c->getOutroCutscene(0, 1), "TimeOut");
    EXPECT_EQ(c->getChallengeTitle(0, 1, 1), "Time title 1");
    EXPECT_EQ(c->getChallengeDescription(0, 1, 0), "Time text 0");
    EXPECT_EQ(c->getWeaponName(0), "");
    EXPECT_EQ(c->getWeaponName(1), "weapon0");
    EXPECT_EQ(c->getWeaponName(5), "weapon4");
    EXPECT_EQ(c->getWeaponName(6), "");
    EXPECT_EQ(c->getShopItemText(0, 0, 0), "");
    EXPECT_EQ(c->getShopItemText(5, 0, 0), "");
    EXPECT_EQ(c->getShopItemText(2, 1, 0), "U11 : upgrade text");
    EXPECT_EQ(c->getShopItemText(4, 2, 1), "W2/1 : weapon text");

    // With the skip choice the intro plays on the first start only (the start is counted first).
    ChallengeDef& score = *c->getChallenge(0, 0);
    score.timesStarted = 1;
    EXPECT_TRUE(c->wantsIntroCutscene(0, 0));
    c->skipSeenStory = true;
    EXPECT_TRUE(c->wantsIntroCutscene(0, 0));
    score.timesStarted = 2;
    EXPECT_FALSE(c->wantsIntroCutscene(0, 0));
    c->skipSeenStory = false;
    EXPECT_TRUE(c->wantsIntroCutscene(0, 0));
    EXPECT_FALSE(c->wantsIntroCutscene(0, 1));  // has none

    // Indices outside the catalogue answer empty.
    EXPECT_EQ(c->getChallenge(2, 0), nullptr);
    EXPECT_EQ(c->getChallenge(0, 3), nullptr);
    EXPECT_EQ(c->getChallengeStatus(0, 3), ChallengeStatus::PointsLocked);
    EXPECT_EQ(c->getChallengeStatus(9, 0), ChallengeStatus::PointsLocked);
    EXPECT_EQ(c->getChallengeName(9, 9), "");
    EXPECT_EQ(c->getChallengeTitle(0, 0, 2), "");
    EXPECT_EQ(c->getStepName(9, 0, 0), "");
    EXPECT_EQ(c->getMedalThreshold(0, 9, 1), 0u);
    EXPECT_FALSE(c->wantsIntroCutscene(5, 5));
    EXPECT_FALSE(c->recordChallengeResult(0, 3, 1000.0f));
    EXPECT_EQ(c->countOpenChallenges(2), 0u);
    EXPECT_EQ(c->getShopItemText(1, 3, 0), "");
    EXPECT_EQ(c->getShopItemText(4, 5, 0), "");
    EXPECT_EQ(c->getUpgradeFactor(3, false), 1.0f);
    EXPECT_EQ(c->getUpgrade(0, 3), nullptr);
    EXPECT_FALSE(c->buyUpgrade(3, 0));
    EXPECT_FALSE(c->buyUpgrade(0, 3));
    EXPECT_FALSE(c->buyWeapon(5));
}

TEST(CampaignData, ShopBalanceNeverWraps)
{
    CampaignTree tree;
    auto c = openCampaign();
    c->pointsEarned = 30;
    c->stepReached = 2;  // past the step that locks the weapons

    EXPECT_EQ(c->getUpgradeFactor(0, false), 1.0f);
    EXPECT_TRUE(c->buyUpgrade(0, 1));  // lower levels are not needed
    EXPECT_TRUE(openCampaign()->getUpgrade(0, 1)->bought);  // saved at once
    EXPECT_FALSE(c->buyUpgrade(0, 1));  // owned
    EXPECT_FALSE(c->buyUpgrade(0, 2));  // 30 > 10 left
    EXPECT_EQ(c->pointsSpent, 20u);
    EXPECT_TRUE(c->buyUpgrade(0, 0));
    EXPECT_EQ(c->getAvailablePoints(), 0);
    // The highest level bought counts.
    EXPECT_FLOAT_EQ(c->getUpgradeFactor(0, false), 1.2f);
    EXPECT_FLOAT_EQ(c->getUpgradeFactor(0, true), 2.2f);
    EXPECT_EQ(c->getUpgradeFactor(1, true), 1.0f);

    // A reset clears the kudos earned and keeps the spending: the balance goes below zero.
    c->resetProgress();
    EXPECT_EQ(c->pointsEarned, 0u);
    EXPECT_EQ(c->pointsSpent, 30u);
    EXPECT_EQ(c->getAvailablePoints(), -30);
    EXPECT_FALSE(c->buyUpgrade(2, 0));
    EXPECT_FALSE(c->buyWeapon(0));
    EXPECT_TRUE(c->getUpgrade(0, 1)->bought);  // purchases stay
    c->pointsEarned = 40;
    EXPECT_TRUE(c->buyUpgrade(1, 0));
    EXPECT_EQ(c->getAvailablePoints(), 0);
}

TEST(CampaignData, WeaponPurchases)
{
    CampaignTree tree;
    auto c = openCampaign();
    c->pointsEarned = 1110;
    // The first story step locks the weapon shop, also before it is reached; upgrades stay open.
    for (uint32_t step : {0u, 1u}) {
        c->stepReached = step;
        EXPECT_FALSE(c->canBuyAtCurrentStep());
        EXPECT_FALSE(c->buyWeapon(0));
    }
    EXPECT_TRUE(c->buyUpgrade(2, 0));
    EXPECT_EQ(c->pointsSpent, 10u);
    c->stepReached = 40;  // past the last step: the last step's lock holds
    EXPECT_TRUE(c->canBuyAtCurrentStep());
    c->stepReached = 2;
    EXPECT_TRUE(c->canBuyAtCurrentStep());

    EXPECT_TRUE(c->buyWeapon(2));  // 10 + 99.5: the spent kudos take the whole part of the sum
    EXPECT_EQ(c->pointsSpent, 109u);
    EXPECT_FALSE(c->buyWeapon(2));  // owned
    EXPECT_TRUE(c->buyWeapon(3));
    EXPECT_EQ(c->pointsSpent, 1109u);
    EXPECT_FALSE(c->buyWeapon(0));  // 1 left, the price is 10
    c->pointsEarned = 100000;
    EXPECT_FALSE(c->buyWeapon(4));  // a price that is not a number is never affordable
    EXPECT_EQ(c->weaponUnlocked, (std::array<bool, 5>{false, false, true, true, false}));

    // Purchases are saved at once.
    auto again = openCampaign();
    EXPECT_EQ(again->pointsSpent, 1109u);
    EXPECT_TRUE(again->weaponUnlocked[3]);
    EXPECT_TRUE(again->getUpgrade(2, 0)->bought);
}

TEST(CampaignData, ProgressFileLayoutAndRoundTrip)
{
    CampaignTree tree;
    {
        auto c = openCampaign();
        c->getChallenge(0, 1)->timesStarted = 4;
        c->skipSeenStory = true;
        c->recordChallengeResult(0, 1, 75.5f);  // silver: 20 kudos, step 2
        c->pointsEarned = 100;
        c->buyUpgrade(1, 2);
        c->buyWeapon(1);
    }
    BinaryReader in;
    ASSERT_TRUE(in.open(CampaignData::progressPath("Pilot")));
    uint32_t u = 0;
    uint8_t b = 0;
    float f = 0;
    EXPECT_TRUE(in.readU32(u) && u == 456u);
    EXPECT_EQ(readBinString(in), "TcData");
    EXPECT_EQ(readBinString(in), "Pilot");
    EXPECT_TRUE(in.readU32(u) && u == 1u);
    EXPECT_TRUE(in.readU32(u) && u == 100u);    // earned
    EXPECT_TRUE(in.readU32(u) && u == 50u);     // spent: 30 + 20
    EXPECT_TRUE(in.readU32(u) && u == 2u);      // step reached
    EXPECT_TRUE(in.readU8(b) && b == 1);        // skip seen story
    for (uint8_t expected : {0, 1, 0, 0, 0})  // weapons
        EXPECT_TRUE(in.readU8(b) && b == expected);
    EXPECT_TRUE(in.readU32(u) && u == 2u);
    const uint32_t sizes[] = {3, 2};
    const float bestAtStart[2][3] = {{0.0f, 1.0e12f, 1.0e12f}, {0.0f, 0.0f, 0.0f}};
    for (uint32_t t = 0; t < 2; ++t) {
        EXPECT_TRUE(in.readU32(u) && u == sizes[t]);
        for (uint32_t i = 0; i < sizes[t]; ++i) {
            const bool played = t == 0 && i == 1;
            EXPECT_TRUE(in.readU32(u) && u == (played ? 4u : 0u));  // started
            EXPECT_TRUE(in.readU32(u) && u == (played ? 1u : 0u));  // finished
            EXPECT_TRUE(in.readF32(f));
            EXPECT_EQ(f, played ? 75.5f : bestAtStart[t][i]);
            EXPECT_TRUE(in.readU32(u) && u == 0u);                  // gold
            EXPECT_TRUE(in.readU32(u) && u == (played ? 1u : 0u));  // silver
            EXPECT_TRUE(in.readU32(u) && u == 0u);                  // bronze
        }
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(in.readU8(b) && b == (i == 5 ? 1 : 0)) << i;  // group 1 level 2
    EXPECT_TRUE(in.readU32(u) && u == 456u);
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.atEnd());

    auto c = openCampaign();
    EXPECT_EQ(c->pointsEarned, 100u);
    EXPECT_EQ(c->pointsSpent, 50u);
    EXPECT_EQ(c->stepReached, 2u);
    EXPECT_TRUE(c->skipSeenStory);
    EXPECT_TRUE(c->weaponUnlocked[1]);
    EXPECT_EQ(c->getChallenge(0, 1)->timesStarted, 4u);
    EXPECT_EQ(c->getChallenge(0, 1)->best, 75.5f);
    EXPECT_EQ(c->getChallengeStatus(0, 1), ChallengeStatus::Silver);
    EXPECT_FLOAT_EQ(c->getUpgradeFactor(1, false), 1.6f);
}

TEST(CampaignData, UnusableProgressFilesAreSetAsideAndReplaced)
{
    std::vector<uint8_t> good;
    {
        CampaignTree tree;
        {
            auto c = openCampaign("Damaged");
            c->recordChallengeResult(0, 0, 500.0f);
        }
        good = readBytes(CampaignData::progressPath("Damaged"));
    }
    const size_t profileNameAt = 4 + 4 + 6 * 4;
    const size_t tierCountAt = profileNameAt + 4 + 7 * 4 + 4 * 4 + 1 + 5;
    const size_t firstTierSizeAt = tierCountAt + 4;
    // The offsets point where the test means.
    ASSERT_EQ(withWord(good, profileNameAt + 4, 'D'), good);
    ASSERT_EQ(withWord(good, tierCountAt, 2), good);
    ASSERT_EQ(withWord(good, firstTierSizeAt, 3), good);

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"bad magic", withWord(good, 0, 457)},
        {"other campaign", withWord(good, 8, 'X')},
        {"other profile", withWord(good, profileNameAt + 4, 'X')},
        {"huge name", withWord(good, profileNameAt, 0xFFFFFFFFu)},
        {"other tier count", withWord(good, tierCountAt, 3)},
        {"huge tier count", withWord(good, tierCountAt, 0xFFFFFFFFu)},
        {"other challenge count", withWord(good, firstTierSizeAt, 4)},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 8)},
        {"empty", {}},
    };
    for (const auto& [what, bytes] : cases) {
        CampaignTree tree;
        writeBytes(CampaignData::progressPath("Damaged"), bytes);
        {
            auto c = openCampaign("Damaged");
            EXPECT_EQ(c->pointsEarned, 0u) << what;
            EXPECT_EQ(c->pointsSpent, 0u) << what;
            EXPECT_EQ(c->stepReached, 0u) << what;
            EXPECT_EQ(c->getChallenge(0, 0)->gold, 0u) << what;
            EXPECT_EQ(c->getChallenge(0, 0)->best, 0.0f) << what;
        }
        EXPECT_EQ(readBytes(CampaignData::progressPath("Damaged") + ".bak"), bytes) << what;
        // The replacement reads back cleanly: nothing is set aside a second time.
        auto again = openCampaign("Damaged");
        EXPECT_EQ(readBytes(CampaignData::progressPath("Damaged") + ".bak"), bytes) << what;
    }
}

TEST(CampaignData, UnusableCatalogueNeverTouchesTheStoredProgress)
{
    const std::vector<uint8_t> catalogue = catalogueBytes(FixtureCatalogue{}, 2);
    // Tier count: after magic, version, 5 prices, 5 names of 7 characters, 5 x 2 weapon texts.
    size_t tierCountAt = 8 + 5 * 4 + 5 * (4 + 7 * 4);
    for (int i = 0; i < 10; ++i)
        tierCountAt += 2 * 4 + 4 * 4 + 11 * 4;  // "W0/0" and "weapon text"
    ASSERT_EQ(withWord(catalogue, tierCountAt, 2), catalogue);

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"bad magic", withWord(catalogue, 0, 1)},
        {"huge tier count", withWord(catalogue, tierCountAt, 0xFFFFFFFFu)},
        {"huge challenge count", withWord(catalogue, tierCountAt + 4, 0x40000000u)},
        {"huge weapon name", withWord(catalogue, 8 + 5 * 4, 0x7FFFFFFFu)},
        {"truncated", std::vector<uint8_t>(catalogue.begin(), catalogue.end() - 1)},
        {"empty", {}},
        {"missing", {}},
    };
    for (const auto& [what, bytes] : cases) {
        CampaignTree tree(catalogue);
        {
            auto c = openCampaign("Keeper");
            c->recordChallengeResult(0, 0, 300.0f);
        }
        const std::vector<uint8_t> stored = readBytes(CampaignData::progressPath("Keeper"));
        if (std::string(what) == "missing")
            fs::remove(CampaignData::cataloguePath());
        else
            writeBytes(CampaignData::cataloguePath(), bytes);
        {
            auto c = openCampaign("Keeper");
            EXPECT_FALSE(c->catalogueLoaded()) << what;
            EXPECT_EQ(c->getTierCount(), 0u) << what;
            EXPECT_EQ(c->getStepCount(), 0u) << what;
            // A challenge selected from an empty catalogue answers empty.
            EXPECT_EQ(c->getChallengeStatus(0, 0), ChallengeStatus::PointsLocked) << what;
            EXPECT_EQ(c->getChallengeName(0, 0), "") << what;
            EXPECT_EQ(c->getShopItemText(4, 0, 0), "") << what;
            EXPECT_EQ(c->getWeaponName(1), "") << what;
            EXPECT_FALSE(c->recordChallengeResult(0, 0, 300.0f)) << what;
            c->resetProgress();
            c->pointsEarned = 1000;
            c->buyUpgrade(0, 0);
            EXPECT_FALSE(c->saveProgress()) << what;
        }
        EXPECT_EQ(readBytes(CampaignData::progressPath("Keeper")), stored) << what;
        EXPECT_FALSE(fs::exists(CampaignData::progressPath("Keeper") + ".bak")) << what;
    }
}

TEST(CampaignData, RefusedProfileNameTouchesNoFile)
{
    CampaignTree tree;
    for (const char* name : {"", "../Escape", "a/b"}) {
        auto c = openCampaign(name);
        EXPECT_TRUE(c->catalogueLoaded());
        c->recordChallengeResult(0, 0, 300.0f);
        EXPECT_FALSE(c->saveProgress());
    }
    EXPECT_TRUE(fs::is_empty("../../Saves"));
    EXPECT_FALSE(fs::exists("../../Escape_Chall.DAT"));
}

TEST(CampaignData, NoLanguagesStillReadsOneTextPerChallengeAndStep)
{
    CampaignTree tree(catalogueBytes(FixtureCatalogue{}, 0));
    auto c = openCampaign("Mono", 0);
    ASSERT_TRUE(c->catalogueLoaded());
    EXPECT_EQ(c->getChallengeTitle(0, 1, 0), "Time title 0");
    EXPECT_EQ(c->getStepName(1, 0, 0), "step0/0");
    EXPECT_EQ(c->getShopItemText(1, 0, 0), "");  // shop texts exist per language only
}

TEST(CampaignData, ACatalogueChangeAndItsRevertKeepEverySetAsideCopy)
{
    FixtureCatalogue oneFewer;
    oneFewer.tiers.back().pop_back();
    const std::vector<uint8_t> original = catalogueBytes(FixtureCatalogue{}, 2);
    CampaignTree tree(original);
    const std::string file = CampaignData::progressPath("Pilot");
    {
        auto c = openCampaign();
        c->recordChallengeResult(0, 0, 300.0f);
    }
    const std::vector<uint8_t> players = readBytes(file);

    writeBytes(CampaignData::cataloguePath(), catalogueBytes(oneFewer, 2));
    { auto c = openCampaign(); }
    const std::vector<uint8_t> fresh = readBytes(file);
    EXPECT_EQ(readBytes(file + ".bak"), players);
    writeBytes(CampaignData::cataloguePath(), original);
    {
        auto c = openCampaign();
        EXPECT_EQ(c->getChallenge(0, 0)->gold, 0u);
    }
    EXPECT_EQ(readBytes(file + ".bak"), players);
    EXPECT_EQ(readBytes(file + ".bak2"), fresh);
    EXPECT_FALSE(fs::exists(file + ".bak3"));

    fs::rename(file + ".bak", file);
    auto back = openCampaign();
    EXPECT_EQ(back->getChallenge(0, 0)->gold, 1u);
    EXPECT_EQ(back->pointsEarned, 30u);
}
