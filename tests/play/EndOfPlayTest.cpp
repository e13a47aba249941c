// The end of a play in the running game (under Xvfb, through the scripted-input harness): the
// result recorded once, the banner and end-view clocks, the end camera, the score requests of free
// play, the end panel with the record list, and the ways out with their cutscene requests.
#include "core/CampaignData.h"
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/SceneContext.h"
#include "cutscenes/GS_Cutscene.h"
#include "play/GS_PlayOnly.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/RecordListManager.h"
#include "play/RecordTable.h"
#include "play/ScoreTableClient.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "support/LocalHttpServer.h"
#include "support/PlayTestSupport.h"
#include "world/GroundVehicle.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::HttpReply;
using testsupport::LocalHttpServer;
using testsupport::playUntilPlaying;
using testsupport::startFreePlay;

namespace {

std::string viewportCamera(GameHarness& game) { return game.window()->getViewport(0)->getCamera()->getName(); }

// Leaves whatever state runs for the state `next`, as a choice of that state would (a play
// still in its start sequence leaves once the sequence is over).
void leaveStateFor(GameHarness& game, uint32_t next)
{
    ZV_GameState* old = game.state();
    old->nextStateId = next;
    old->done = 1;
    game.runUntil([&] { return game.state() != old; }, 10);
}

// Challenge c of tier t (0-based) of the game's campaign, started without its cutscene.
GS_PlayOnly* startChallenge(GameHarness& game, uint32_t tier, uint32_t challenge)
{
    GameSession* session = game.session();
    if (!session->campaign)
        session->loadCampaign("TcData");
    session->selectChallenge(tier, challenge, 0, 0);
    session->setCutsceneRequest(false, "", "");
    leaveStateFor(game, GAMESTATE_PLAY);
    return playUntilPlaying(game);
}

// The play's end as the rules leave it.
void endPlay(GS_PlayOnly* play, uint32_t phase, float value, const char* caption)
{
    GamePlayData* d = play->playData;
    d->playPhase = phase;
    d->resultValue = value;
    d->resultCaption = caption;
}

// Every challenge of the campaign open.
void openEverything(CampaignData* c)
{
    c->pointsEarned = 1000;
    c->stepReached = 99;
    for (uint32_t t = 0; t < c->getTierCount(); ++t)
        for (uint32_t i = 0; i < c->getChallengeCount(t); ++i)
            c->getChallenge(t, i)->requiredPoints = 0;
}

// Runs frames until the end of play reaches `stage`; the number of frames.
int framesUntilStage(GameHarness& game, GS_PlayOnly* play, uint32_t stage)
{
    int frames = 0;
    while (play->endStage < stage && frames < 2000) {
        game.frame();
        ++frames;
    }
    return frames;
}

}  // namespace

// One frame at a time by hand: the banner's widgets by the stage clock, the cut to the end camera
// with the upload queued, the end view's clock with the camera swing, then the panel.
TEST(EndOfPlay, BannerAndEndViewFollowTheirClocks)
{
    GameHarness game;
    GS_PlayOnly* play = startFreePlay(game);
    ASSERT_NE(play, nullptr);
    GameSession* session = game.session();
    SceneContext* context = game.core()->sceneContext();
    const int W = MyGUI::RenderManager::getInstance().getViewSize().width;
    endPlay(play, PLAYPHASE_CLEARED, 120.0f, "Well Done");
    play->playData->recordResult = 0;

    play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->endStage, 1u);
    EXPECT_FLOAT_EQ(play->endTimer, 4.0f);
    EXPECT_EQ(play->endCaption->getCaption().asUTF8(), "Well Done");
    for (MyGUI::Widget* w : {play->endBand, play->endVeil, play->endBonus,
                             static_cast<MyGUI::Widget*>(play->endCaption)})
        EXPECT_TRUE(w->getVisible());
    EXPECT_EQ(play->endBand->getLeft(), W);
    EXPECT_FLOAT_EQ(play->endVeil->getAlpha(), 0.0f);
    EXPECT_FLOAT_EQ(play->endBand->getAlpha(), 0.5f);

    struct BannerRow {
        float t;
        int bandLeft;
        float veil, bonus, caption;
    };
    const BannerRow banner[] = {
        {3.5f, W, 0.0f, 0.0f, 0.0f},      {3.0f, W, 0.0f, 0.0f, 0.0f},  {2.75f, W / 2, 0.0f, 0.0f, 0.0f},
        {2.5f, 0, 0.0f, 0.0f, 0.0f},      {1.75f, 0, 0.5f, 0.0f, 0.0f}, {1.0f, 0, 1.0f, 0.0f, 0.0f},
        {0.5f, 0, 1.0f, 0.1f, 0.0f},      {0.0f, 0, 1.0f, 0.5f, 1.0f},
    };
    for (const BannerRow& r : banner) {
        SCOPED_TRACE(r.t);
        play->endTimer = r.t + 0.01f;
        play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
        ASSERT_EQ(play->endStage, 1u);
        EXPECT_NEAR(play->endBand->getLeft(), r.bandLeft, 1);
        EXPECT_NEAR(play->endVeil->getAlpha(), r.veil, 1e-3f);
        EXPECT_NEAR(play->endBonus->getAlpha(), r.bonus, 1e-3f);
        EXPECT_NEAR(play->endCaption->getAlpha(), r.caption, 1e-3f);
    }
    EXPECT_EQ(viewportCamera(game), "ZV_cPCMCam");
    EXPECT_EQ(session->queuedRequest, 0u);

    // The banner ends: the end camera behind the vehicle's place, the upload queued.
    play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->endStage, 2u);
    EXPECT_FLOAT_EQ(play->endTimer, 5.0f);
    EXPECT_EQ(session->queuedRequest, static_cast<uint32_t>(OnlineRequestUpload));
    EXPECT_EQ(viewportCamera(game), "ZV_EndCam");
    EXPECT_FALSE(play->endBand->getVisible());
    EXPECT_FLOAT_EQ(play->endVeil->getAlpha(), 1.0f);
    EXPECT_FALSE(context->borderEntity->getVisible());
    EXPECT_EQ(play->globalSounds->currentMusicId(), 3u);
    const Ogre::Vector3 vehicleAt =
        play->playerVehicle() ? play->playerVehicle()->getWorldPosition() : Ogre::Vector3::ZERO;
    EXPECT_TRUE(play->endCamBase->getPosition().positionEquals(vehicleAt + Ogre::Vector3(-7, 3, 8), 1e-3f))
        << play->endCamBase->getPosition();

    struct ViewRow {
        float t;
        float veil, bonus, caption, yawDegrees;
    };
    const ViewRow view[] = {
        {4.0f, 1.0f, 0.5f, 1.0f, 0.0f},        {2.9f, 1.0f, 0.475f, 1.0f, -0.5f},
        {2.2f, 0.5f, 0.3f, 1.0f, -4.0f},       {1.9f, 0.285714f, 0.225f, 0.5f, -5.5f},
        {1.5f, 0.0f, 0.125f, 0.0f, -7.5f},     {0.0f, 0.0f, 0.0f, 0.0f, -15.0f},
    };
    for (const ViewRow& r : view) {
        SCOPED_TRACE(r.t);
        play->endTimer = r.t + 0.01f;
        play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
        ASSERT_EQ(play->endStage, 2u);
        EXPECT_NEAR(play->endVeil->getAlpha(), r.veil, 1e-3f);
        EXPECT_NEAR(play->endBonus->getAlpha(), r.bonus, 1e-3f);
        EXPECT_NEAR(play->endCaption->getAlpha(), r.caption, 1e-3f);
        const Ogre::Radian yaw = play->endCamNode->getOrientation().getYaw();
        EXPECT_NEAR(Ogre::Degree(yaw).valueDegrees(), r.yawDegrees, 1e-2f);
    }
    EXPECT_FALSE(play->endMenu->background->getVisible());

    // The end view ends: the query queued, the panel shown; free play offers no Continue.
    play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->endStage, 3u);
    EXPECT_FLOAT_EQ(play->endTimer, 0.0f);
    EXPECT_EQ(session->queuedRequest, static_cast<uint32_t>(OnlineRequestQuery));
    EXPECT_TRUE(play->endMenu->background->getVisible());
    EXPECT_FALSE(play->endMenu->continueButton()->getEnabled());
    // No record table in this play: no local list.
    EXPECT_FALSE(play->recordList->panel->getVisible());
}

// Free play on real frames with the record table of the mode: the result goes into the table
// and the mode's progress in the first frame, the stages last 4 and 5 seconds, each request is
// queued as its stage ends (and dropped by the client without a server), the local list shows
// the player's row; Retry plays again and Quit returns to the title.
TEST(EndOfPlay, FreePlayRecordsItsResultAndQueuesBothRequests)
{
    HarnessOptions options;
    options.frameTime = 0.1f;
    GameHarness game(options);
    GS_PlayOnly* play = startFreePlay(game);
    ASSERT_NE(play, nullptr);
    GameSession* session = game.session();
    ASSERT_NE(session->profile, nullptr);
    const uint32_t playsBefore = session->profile->getMode(session->selectedMode)->playCount;
    GamePlayData* d = play->playData;
    endPlay(play, PLAYPHASE_CLEARED, 75.5f, "Clear");
    d->recordResult = 1;
    d->tableIdx = 7;
    d->tableOrder = 1;  // lower is better
    d->valueIsTime = 1;
    d->tableDefVal = 9999.9f;

    game.frame();
    EXPECT_EQ(play->endStage, 1u);
    EXPECT_EQ(play->resultRank, 0u);
    EXPECT_EQ(session->profile->getMode(session->selectedMode)->playCount, playsBefore + 1);
    EXPECT_TRUE(std::filesystem::exists(game.workDir() + "/Data7.dat"));
    const std::string results = testsupport::readTextFile(game.workDir() + "/../../Resultados/Results7.ini");
    EXPECT_NE(results.find("01'15.500"), std::string::npos) << results;
    // The rest of the table holds the whole part of the mode's default value.
    EXPECT_EQ(play->recordTable->localEntry(0).name, session->profileName);
    EXPECT_FLOAT_EQ(play->recordTable->localEntry(1).value, 9999.0f);

    // 4 s of banner at 0.1 s a frame: the stage ends in the frame that takes the clock below 0.
    const int bannerFrames = framesUntilStage(game, play, 2);
    EXPECT_NEAR(bannerFrames, 41, 1);
    EXPECT_EQ(session->queuedRequest, static_cast<uint32_t>(OnlineRequestUpload));
    const int viewFrames = framesUntilStage(game, play, 3);
    EXPECT_NEAR(viewFrames, 51, 1);
    EXPECT_EQ(session->queuedRequest, static_cast<uint32_t>(OnlineRequestQuery));
    // The client has no server: the request is dropped within two frames and nothing waits.
    game.runFrames(3);
    EXPECT_EQ(session->queuedRequest, 0u);
    EXPECT_EQ(session->onlineRequest, 0u);

    ASSERT_TRUE(play->recordList->panel->getVisible());
    EXPECT_TRUE(play->recordList->localOnShow());
    EXPECT_EQ(play->recordList->highlightRank, 1u);
    EXPECT_EQ(play->recordList->listRows[0].name->getCaption().asUTF8(), session->profileName);
    EXPECT_EQ(play->recordList->listRows[0].value->getTextColour(), MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(play->recordList->listRows[0].value->getCaption().asUTF8(), "01'15.500");
    EXPECT_TRUE(MyGUI::PointerManager::getInstance().isVisible());

    // Retry (the highlight starts on it): the same mode again, the old result kept.
    game.runFrames(12);  // the panel fades in
    game.tapKey(OIS::KC_RETURN);
    GS_PlayOnly* second = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, play);
    EXPECT_EQ(session->challengeMode, 0);
    second = playUntilPlaying(game);
    ASSERT_NE(second, nullptr);
    // A worse time enters at place 2, and its row is the one highlighted.
    endPlay(second, PLAYPHASE_LOST, 80.0f, "Destroyed");
    second->playData->recordResult = 1;
    second->playData->tableIdx = 7;
    second->playData->tableOrder = 1;
    second->playData->valueIsTime = 1;
    second->playData->tableDefVal = 9999.9f;
    framesUntilStage(game, second, 3);
    EXPECT_EQ(second->resultRank, 1u);
    EXPECT_EQ(second->recordList->listRows[1].number->getTextColour(), MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(session->profile->getMode(session->selectedMode)->playCount, playsBefore + 2);

    // Down to Quit, Return: the title.
    game.runFrames(12);
    game.tapKey(OIS::KC_DOWN);
    EXPECT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_NE(game.stateAs<GS_Menu>(), nullptr);
}

// The score server takes the upload and holds it unanswered, then answers everything with bytes
// that are not HTTP: the world table, opened with Tab, waits while the client waits and says
// that the table is unavailable once the client has given up on the query.
TEST(EndOfPlay, TheWorldTableSaysItIsUnavailableOnceTheScoreServerFailed)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.ok());
    server.setReply(HttpReply::stall());
    HarnessOptions options;
    options.frameTime = 0.1f;
    options.prepareTree = [&](const std::string& workDir) {
        testsupport::setScoreServerInConfig(workDir, server.address());
    };
    GameHarness game(options);
    GS_PlayOnly* play = startFreePlay(game);
    ASSERT_NE(play, nullptr);
    GamePlayData* d = play->playData;
    endPlay(play, PLAYPHASE_CLEARED, 75.5f, "Clear");
    d->recordResult = 1;
    d->tableIdx = 7;
    d->tableOrder = 1;
    d->valueIsTime = 1;
    d->tableDefVal = 9999.9f;
    framesUntilStage(game, play, 3);
    game.runFrames(12);  // the panel fades in
    ASSERT_TRUE(server.waitForRequests(1, std::chrono::seconds(5)));

    RecordListManager* list = play->recordList;
    game.tapKey(OIS::KC_TAB);
    ASSERT_FALSE(list->localOnShow());
    EXPECT_TRUE(list->connectingBox->getVisible());
    const std::string connecting = list->connectingText->getCaption().asUTF8();
    EXPECT_NE(connecting.find("Connecting"), std::string::npos) << connecting;
    game.runFrames(20);
    EXPECT_EQ(list->connectingText->getCaption().asUTF8(), connecting);

    server.release(HttpReply::raw("SSH-2.0-nothing\r\n"));
    ASSERT_TRUE(game.runUntil(
        [&] { return list->connectingText->getCaption().asUTF8() == "World table unavailable"; }, 600));
    EXPECT_TRUE(list->connectingBox->getVisible());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, ScoreTableClient::kUploadPath);
    EXPECT_EQ(requests[1].path, ScoreTableClient::kQueryPath);
    const std::string look = testsupport::gameTreeDir() + "/../look";
    std::filesystem::create_directories(look);
    game.screenshot().savePng(look + "/end_world_unavailable.png");
}

// A lost challenge records nothing, shows no result, and Quit leads to the challenge list without
// the outro. Overlong frames end each stage at once, skipping its animation.
TEST(EndOfPlay, LostChallengeRecordsNothingAndQuitsToTheList)
{
    GameHarness game;
    ASSERT_TRUE(game.enterMainMenu());
    GS_PlayOnly* play = startChallenge(game, 0, 2);
    ASSERT_NE(play, nullptr);
    GameSession* session = game.session();
    CampaignData* campaign = session->campaign;
    const std::string progress = CampaignData::progressPath(session->profileName);
    std::filesystem::remove(progress);
    const ChallengeDef before = *campaign->getChallenge(0, 2);
    endPlay(play, PLAYPHASE_LOST, 9000.0f, "Destroyed");
    const int W = MyGUI::RenderManager::getInstance().getViewSize().width;

    play->updateEndOfPlay(0.01f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->medalWon, 0);
    EXPECT_EQ(campaign->getChallenge(0, 2)->timesFinished, before.timesFinished);
    EXPECT_FLOAT_EQ(campaign->getChallenge(0, 2)->best, before.best);
    EXPECT_FALSE(std::filesystem::exists(progress));

    play->updateEndOfPlay(4.5f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->endStage, 2u);
    EXPECT_EQ(play->endBand->getLeft(), W);  // never slid in
    EXPECT_EQ(session->queuedRequest, 0u);    // no requests in challenge play
    EXPECT_EQ(play->globalSounds->currentMusicId(), GlobalSounds::kMusicLast);
    play->updateEndOfPlay(6.0f, nullptr, nullptr, nullptr);
    EXPECT_EQ(play->endStage, 3u);
    EXPECT_FLOAT_EQ(play->endVeil->getAlpha(), 1.0f);
    EXPECT_EQ(play->endCamNode->getOrientation(), Ogre::Quaternion::IDENTITY);
    EXPECT_EQ(session->queuedRequest, 0u);
    EXPECT_TRUE(play->endMenu->background->getVisible());
    EXPECT_FALSE(play->endMenu->resultBox->getVisible());
    EXPECT_FALSE(play->endMenu->bestBox->getVisible());
    EXPECT_FALSE(play->recordList->panel->getVisible());

    game.runFrames(70);
    game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);
    EXPECT_NE(game.stateAs<GS_ListChall>(), nullptr);
    EXPECT_EQ(session->cutsceneRequested, 0);
}

// A medal: a first clear shows no best, Retry requests no outro and counts no start; the second
// clear shows the best of the first, and Quit requests the outro before the challenge list.
TEST(EndOfPlay, MedalRequestsTheOutroOnQuitButNotOnRetry)
{
    HarnessOptions options;
    options.frameTime = 0.25f;
    GameHarness game(options);
    ASSERT_TRUE(game.enterMainMenu());
    GS_PlayOnly* play = startChallenge(game, 0, 2);  // has an outro; 2000 or more wins a medal
    ASSERT_NE(play, nullptr);
    GameSession* session = game.session();
    ChallengeDef* def = session->campaign->getChallenge(0, 2);
    ASSERT_TRUE(def->hasOutroCutscene);
    def->timesFinished = 0;
    const uint32_t started = def->timesStarted;

    endPlay(play, PLAYPHASE_CLEARED, 5200.0f, "Cleared");
    framesUntilStage(game, play, 3);
    EXPECT_EQ(play->medalWon, 1);
    EXPECT_EQ(def->timesFinished, 1u);
    EXPECT_TRUE(play->endMenu->resultBox->getVisible());
    EXPECT_EQ(play->endMenu->resultValue->getCaption().asUTF8(), "5200");
    EXPECT_FALSE(play->endMenu->bestBox->getVisible());
    EXPECT_TRUE(std::filesystem::exists(CampaignData::progressPath(session->profileName)));

    game.runFrames(5);
    ASSERT_EQ(session->selectedIndex, 0u);
    game.tapKey(OIS::KC_RETURN);  // Retry
    GS_PlayOnly* second = game.stateAs<GS_PlayOnly>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(session->cutsceneRequested, 0);
    EXPECT_EQ(session->selectedTier, 0u);
    EXPECT_EQ(session->selectedChallenge, 2u);
    EXPECT_EQ(def->timesStarted, started);
    second = playUntilPlaying(game);
    ASSERT_NE(second, nullptr);

    endPlay(second, PLAYPHASE_CLEARED, 2100.0f, "Cleared");
    framesUntilStage(game, second, 3);
    EXPECT_TRUE(second->endMenu->bestBox->getVisible());
    EXPECT_EQ(second->endMenu->bestValue->getCaption().asUTF8(), "5200");
    game.runFrames(5);
    game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);  // Quit
    auto* outro = game.stateAs<GS_Cutscene>();
    ASSERT_NE(outro, nullptr);
    EXPECT_EQ(outro->nextStateId, static_cast<uint32_t>(GAMESTATE_CHALLENGE_LIST));
}

// Continue after a medal from the last challenge of a tier requests the outro and opens
// challenge 0 of the next tier with its mission info (counted as started); a confirm or a click on
// a disabled Continue does nothing; after the last challenge of the last tier Continue leads back
// to the challenge list.
TEST(EndOfPlay, ContinueMovesToTheNextChallenge)
{
    HarnessOptions options;
    options.frameTime = 0.25f;
    GameHarness game(options);
    ASSERT_TRUE(game.enterMainMenu());
    GameSession* session = game.session();
    session->loadCampaign("TcData");
    CampaignData* campaign = session->campaign;
    ASSERT_EQ(campaign->getTierCount(), 3u);
    ASSERT_EQ(campaign->getChallengeCount(0), 3u);

    GS_PlayOnly* play = startChallenge(game, 0, 2);
    ASSERT_NE(play, nullptr);
    endPlay(play, PLAYPHASE_CLEARED, 5200.0f, "Cleared");
    framesUntilStage(game, play, 3);
    ASSERT_EQ(play->medalWon, 1);

    // The next challenge locked: Continue is offered but disabled; the highlight left on it.
    campaign->pointsEarned = 0;
    campaign->stepReached = 0;
    play->endMenu->setupContinue();
    ASSERT_FALSE(play->endMenu->continueButton()->getEnabled());
    game.runFrames(5);  // the confirm latch clears
    session->selectedIndex = 2;
    game.tapKey(OIS::KC_RETURN);
    EXPECT_EQ(game.stateAs<GS_PlayOnly>(), play);
    EXPECT_EQ(play->done, 0);
    game.clickWidget(play->endMenu->continueButton());
    EXPECT_EQ(game.stateAs<GS_PlayOnly>(), play);
    EXPECT_EQ(session->cutsceneRequested, 0);

    // Open: Continue to challenge 0 of tier 1, behind the outro of this one.
    openEverything(campaign);
    play->endMenu->setupContinue();
    ASSERT_TRUE(play->endMenu->continueButton()->getEnabled());
    const uint32_t started = campaign->getChallenge(1, 0)->timesStarted;
    ASSERT_EQ(session->selectedIndex, 2u);  // the pointer rests on Continue
    game.press(OIS::KC_RETURN);
    game.frame();
    EXPECT_EQ(session->selectedTier, 1u);
    EXPECT_EQ(session->selectedChallenge, 0u);
    EXPECT_EQ(session->showMissionInfo, 1);
    EXPECT_EQ(campaign->getChallenge(1, 0)->timesStarted, started + 1);
    auto* outro = game.stateAs<GS_Cutscene>();
    ASSERT_NE(outro, nullptr);
    EXPECT_EQ(outro->nextStateId, static_cast<uint32_t>(GAMESTATE_PLAY));
    game.release(OIS::KC_RETURN);

    // The last challenge of the last tier: Continue as Quit.
    play = startChallenge(game, 2, 2);
    ASSERT_NE(play, nullptr);
    endPlay(play, PLAYPHASE_LOST, 0.0f, "Lost");
    framesUntilStage(game, play, 3);
    play->endMenu->continueButton()->setEnabled(true);
    game.runFrames(5);
    game.clickWidget(play->endMenu->continueButton());
    EXPECT_NE(game.stateAs<GS_ListChall>(), nullptr);
}
