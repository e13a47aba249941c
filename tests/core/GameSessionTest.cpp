#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using testsupport::ScopedWorkDir;
using testsupport::TempGameTree;

namespace {
struct Challenge {
    const char* name;
    bool intro;
    bool outro;
};

// A one-tier catalogue for a profile with the given number of languages.
void writeCatalogue(const std::string& path, const std::vector<Challenge>& challenges, uint32_t languages)
{
    auto texts = [&](BinaryWriter& w, uint32_t pairs) {
        for (uint32_t l = 0; l < pairs; ++l) {
            writeBinString(w, "title");
            writeBinString(w, "text");
        }
    };
    BinaryWriter w;
    w.writeU32(CampaignData::kCatalogueMagic);
    w.writeU32(1);
    for (int i = 0; i < 5; ++i)
        w.writeF32(10.0f);
    for (int i = 0; i < 5; ++i)
        writeBinString(w, "gun" + std::to_string(i + 1));
    for (int i = 0; i < 5; ++i)
        texts(w, languages);
    w.writeU32(1);
    w.writeU32(static_cast<uint32_t>(challenges.size()));
    for (const Challenge& c : challenges) {
        writeBinString(w, c.name);
        w.writeBool(c.intro);
        writeBinString(w, std::string(c.name) + "In");
        w.writeBool(c.outro);
        writeBinString(w, std::string(c.name) + "Out");
        w.writeU32(0);  // required points
        texts(w, std::max<uint32_t>(languages, 1));
        for (int i = 0; i < 3; ++i)
            w.writeU32(0);  // required step, granted step, compare type
        w.writeBool(false);
        for (int medal = 0; medal < 3; ++medal) {
            w.writeF32(1.0f);
            w.writeU32(10);
        }
    }
    for (int level = 0; level < 9; ++level) {
        w.writeU32(10);
        w.writeF32(1.0f);
        w.writeF32(1.0f);
        texts(w, languages);
    }
    w.writeU32(0);  // no story steps
    ASSERT_TRUE(w.commit(path));
}

struct SessionFixture : ::testing::Test {
    TempGameTree tree{{"Data/System/GMode.Dat"}};
    ScopedWorkDir cwd{tree.workDir()};
    RandomGenerator random;
    GameSettings settings;
    GameSession session{&random, &settings};

    // Tier 0 holds "Alpha" (intro and outro) and "Beta" (neither).
    void writeCatalogue(uint32_t languages)
    {
        ::writeCatalogue(tree.path("Data/System/GCampA.TCD"), {{"Alpha", true, true}, {"Beta", false, false}},
                         languages);
    }
    void startCampaign(const char* profile = "Tester")
    {
        session.setProfileName(profile);
        session.recreateProfile();
        writeCatalogue(session.profile->getLanguageCount());
        session.loadCampaign("TcData");
        ASSERT_NE(session.campaign, nullptr);
        ASSERT_TRUE(session.campaign->catalogueLoaded());
    }
};
}  // namespace

TEST_F(SessionFixture, FreshSessionAndChallengeWithoutACampaign)
{
    EXPECT_EQ(session.profileName, "Pimo");
    EXPECT_EQ(session.getCutsceneName(), "temp");
    EXPECT_EQ(session.secondCutsceneName, "baa");
    EXPECT_EQ(session.campaign, nullptr);
    EXPECT_EQ(session.profile, nullptr);

    session.showMissionInfo = 1;
    session.selectChallenge(2, 3, 4, 0);
    EXPECT_EQ(session.getLevelName(), "NOCAMPLOAD");
    EXPECT_EQ(session.challengeMode, 1);
    EXPECT_EQ(session.selectedTier, 2u);
    EXPECT_EQ(session.selectedChallenge, 3u);
    EXPECT_EQ(session.selectedWeapon, 4u);
    EXPECT_EQ(session.showMissionInfo, 1);  // only a loaded campaign takes the flag
    EXPECT_EQ(session.cutsceneRequested, 0);
    EXPECT_EQ(session.getSelectedWeaponName(), "");
    session.requestOutroCutscene();
    EXPECT_EQ(session.cutsceneRequested, 0);
}

TEST_F(SessionFixture, ChallengeSelectionRequestsOrQueuesTheIntro)
{
    startCampaign();
    session.selectChallenge(0, 0, 2, 0);
    EXPECT_EQ(session.getLevelName(), "Alpha");
    EXPECT_EQ(session.getSelectedWeaponName(), "gun2");
    EXPECT_EQ(session.cutsceneRequested, 1);
    EXPECT_EQ(session.getCutsceneName(), "AlphaIn");

    // Continuing while a cutscene is requested: that one plays first, the intro follows.
    session.setCutsceneRequest(true, "Ending", "x");
    session.selectChallenge(0, 0, 0, 1);
    EXPECT_EQ(session.showMissionInfo, 1);
    EXPECT_EQ(session.getCutsceneName(), "Ending");
    EXPECT_EQ(session.getNextCutsceneName(), "AlphaIn");

    // Without a request the flag makes no difference: the intro is requested.
    session.setCutsceneRequest(false, "", "");
    session.setNextCutsceneName("");
    session.selectChallenge(0, 0, 0, 1);
    EXPECT_EQ(session.cutsceneRequested, 1);
    EXPECT_EQ(session.getCutsceneName(), "AlphaIn");
    EXPECT_EQ(session.getNextCutsceneName(), "");

    // A challenge without an intro requests nothing.
    session.setCutsceneRequest(false, "", "");
    session.selectChallenge(0, 1, 0, 0);
    EXPECT_EQ(session.getLevelName(), "Beta");
    EXPECT_EQ(session.showMissionInfo, 0);
    EXPECT_EQ(session.cutsceneRequested, 0);
}

TEST_F(SessionFixture, OutroIsRequestedOnlyWhenTheChallengeHasOneAndTheStoryIsNotSkipped)
{
    startCampaign();
    struct Case {
        uint32_t challenge;
        bool skipSeen;
        uint32_t finished;
        bool requested;
    };
    const Case cases[] = {
        {0, false, 5, true},
        {0, true, 1, true},
        {0, true, 2, false},
        {1, false, 0, false},  // no outro
        {7, false, 0, false},  // no such challenge
    };
    for (const Case& c : cases) {
        session.setCutsceneRequest(false, "", "");
        session.selectedTier = 0;
        session.selectedChallenge = c.challenge;
        session.campaign->skipSeenStory = c.skipSeen;
        if (ChallengeDef* def = session.campaign->getChallenge(0, c.challenge))
            def->timesFinished = c.finished;
        session.requestOutroCutscene();
        EXPECT_EQ(session.cutsceneRequested, c.requested ? 1 : 0) << c.challenge << " " << c.finished;
        if (c.requested) {
            EXPECT_EQ(session.getCutsceneName(), "AlphaOut");
        }
    }
}

TEST_F(SessionFixture, RecreatingTheProfileSavesTheOutgoingOneUnderItsOwnName)
{
    session.setProfileName("Alpha");
    EXPECT_EQ(session.profileLoaded, 1);
    session.recreateProfile();
    ASSERT_NE(session.profile, nullptr);
    session.profile->profileCounter = 7;

    session.setProfileName("Beta");
    session.recreateProfile();
    ASSERT_NE(session.profile, nullptr);
    EXPECT_EQ(session.profile->getName(), "Beta");
    EXPECT_EQ(session.profile->profileCounter, 0u);

    PlayerProfile alpha("Alpha", &random);
    EXPECT_EQ(alpha.profileCounter, 7u);
    PlayerProfile beta("Beta", &random);
    EXPECT_EQ(beta.profileCounter, 0u);
}

TEST_F(SessionFixture, GameModeSelectionUsesTheProfileAndNeedsOne)
{
    session.levelName = "stale";
    session.showMissionInfo = 1;
    session.selectGameMode(0);  // no profile yet: no crash and no stale level
    EXPECT_EQ(session.selectedMode, 0u);
    EXPECT_EQ(session.getLevelName(), "");
    EXPECT_EQ(session.showMissionInfo, 0);

    session.setProfileName("Player");
    session.recreateProfile();
    ASSERT_GT(session.profile->getModeCount(), 1u);
    session.challengeMode = 1;
    session.selectGameMode(1);
    EXPECT_EQ(session.selectedMode, 1u);
    EXPECT_EQ(session.getLevelName(), session.profile->getModeName(1));
    EXPECT_EQ(session.modeName2, session.profile->getModeString2(1));
    EXPECT_EQ(session.challengeMode, 1);  // left to the menu
}

TEST_F(SessionFixture, LoadingACampaignAgainSavesTheOneStillLoaded)
{
    // Without a profile the campaign still loads, for the session's profile name.
    writeCatalogue(PlayerProfile::readLanguageCount());
    session.loadCampaign("TcData");
    ASSERT_NE(session.campaign, nullptr);
    EXPECT_TRUE(session.campaign->catalogueLoaded());

    startCampaign("Keeper");
    session.campaign->pointsEarned = 42;
    session.loadCampaign("TcData");
    EXPECT_EQ(session.campaign->pointsEarned, 42u);
}

TEST(GameSession, WithoutAProfileTheBuiltCatalogueLoadsWithTheModeTableLanguages)
{
    TempGameTree tree{{"Data/System/GMode.Dat", "Data/System/GCampA.TCD"}};
    ScopedWorkDir cwd(tree.workDir());
    ASSERT_GT(PlayerProfile::readLanguageCount(), 1u);
    RandomGenerator random;
    GameSettings settings;
    GameSession session(&random, &settings);
    session.loadCampaign("TcData");
    ASSERT_NE(session.campaign, nullptr);
    EXPECT_TRUE(session.campaign->catalogueLoaded());
    session.selectChallenge(0, 0, 0, 0);
    EXPECT_NE(session.getLevelName(), "");

    // Without the mode table the count is 0, as for a profile without one.
    std::filesystem::remove(tree.path("Data/System/GMode.Dat"));
    EXPECT_EQ(PlayerProfile::readLanguageCount(), 0u);
}

TEST(GameSession, DestructionSavesTheCampaignAndTheProfile)
{
    TempGameTree tree{{"Data/System/GMode.Dat"}};
    ScopedWorkDir cwd(tree.workDir());
    RandomGenerator random;
    GameSettings settings;
    uint32_t languages = 0;
    {
        GameSession session(&random, &settings);
        session.setProfileName("Leaver");
        session.recreateProfile();
        languages = session.profile->getLanguageCount();
        writeCatalogue(tree.path("Data/System/GCampA.TCD"), {{"Alpha", true, true}}, languages);
        session.loadCampaign("TcData");
        ASSERT_TRUE(session.campaign->catalogueLoaded());
        session.campaign->pointsEarned = 9;
        session.profile->profileCounter = 3;
    }
    CampaignData campaign("TcData", "Leaver", languages);
    campaign.loadProgress();
    EXPECT_EQ(campaign.pointsEarned, 9u);
    PlayerProfile profile("Leaver", &random);
    EXPECT_EQ(profile.profileCounter, 3u);
}
