// The end of a free play as a player has it, in the running game with scripted input and a score
// server of the test's own: the last life lost, the banner, the end camera on the wreck, the end
// panel with the local record list, the world table once the server answers, and Quit.
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "play/GS_PlayOnly.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/RecordListManager.h"
#include "play/RecordTable.h"
#include "play/ScoreTableClient.h"
#include "screens/GS_Menu.h"
#include "support/GameHarness.h"
#include "support/LocalHttpServer.h"
#include "support/PlayTestSupport.h"
#include "world/GroundVehicle.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::HttpReply;
using testsupport::LocalHttpServer;
using testsupport::Rgb;
using testsupport::Screenshot;

namespace {

const Rgb kOrange{255, 128, 0};

std::string viewportCamera(GameHarness& game) { return game.window()->getViewport(0)->getCamera()->getName(); }

int orangeIn(const Screenshot& shot, const MyGUI::Widget* widget)
{
    const MyGUI::IntCoord c = widget->getAbsoluteCoord();
    return shot.countNear(kOrange, c.left, c.top, c.width, c.height, 40);
}

// Runs frames until the end of play's clock of `stage` falls to `t` or below.
bool runUntilStageTime(GameHarness& game, GS_PlayOnly* play, uint32_t stage, float t)
{
    return game.runUntil([&] { return play->endStage > stage || (play->endStage == stage && play->endTimer <= t); },
                         600);
}

}  // namespace

TEST(EndOfPlayWholeGame, RecordsAndWorldTable)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    LocalHttpServer server;
    ASSERT_TRUE(server.ok());
    // The server takes the requests and holds its answer until the test releases it.
    server.setReply(HttpReply::stall());
    HarnessOptions options;
    options.frameTime = 1.0f / 30.0f;
    options.prepareTree = [&](const std::string& workDir) {
        testsupport::setScoreServerInConfig(workDir, server.address());
    };
    GameHarness game(options);
    GS_PlayOnly* play = testsupport::startFreePlay(game, "Pilot");
    ASSERT_NE(play, nullptr);
    GameSession* session = game.session();
    ASSERT_EQ(session->challengeMode, 0);
    game.runFrames(30);

    // The mode keeps a record table of its score; the player has scored and loses the last life.
    GamePlayData* d = play->playData;
    ASSERT_GT(d->numMechaVars(), 0u);
    GroundVehicle* player = play->playerVehicle();
    ASSERT_NE(player, nullptr);
    d->mechaVars[0].value = 1250.0f;
    d->NumLives = 0;
    player->addDamage(1.0e6f);
    ASSERT_TRUE(game.runUntil([&] { return d->playPhase == PLAYPHASE_CLEARED; }, 120));
    game.frame();
    EXPECT_EQ(play->endStage, 1u);
    EXPECT_EQ(d->recordResult, 1);
    EXPECT_FLOAT_EQ(d->resultValue, 1250.0f);
    EXPECT_EQ(play->resultRank, 0u);

    // The band across the middle of the still running world, before the screen goes black.
    ASSERT_TRUE(runUntilStageTime(game, play, 1, 2.2f));
    const Screenshot band = game.screenshot();
    testsupport::keepShot(band, "end_band");
    EXPECT_FALSE(band.at(400, 40).near(Rgb{0, 0, 0}, 12)) << band.at(400, 40);
    const MyGUI::IntCoord bandAt = play->endBand->getAbsoluteCoord();
    EXPECT_EQ(bandAt.left, 0);

    // The banner: the caption over the black screen as the stage ends.
    ASSERT_TRUE(runUntilStageTime(game, play, 1, 0.05f));
    ASSERT_EQ(play->endStage, 1u);
    const Screenshot banner = game.screenshot();
    testsupport::keepShot(banner, "end_banner");
    const MyGUI::IntCoord caption = play->endCaption->getAbsoluteCoord();
    EXPECT_GT(banner.countNear(Rgb{255, 255, 255}, caption.left, caption.top, caption.width, caption.height, 80),
              50);
    EXPECT_TRUE(banner.at(5, 5).near(Rgb{0, 0, 0}, 6)) << banner.at(5, 5);

    // The end camera on the wreck, once the black has cleared; the upload has gone out.
    ASSERT_TRUE(runUntilStageTime(game, play, 2, 1.0f));
    ASSERT_EQ(play->endStage, 2u);
    EXPECT_EQ(viewportCamera(game), "ZV_EndCam");
    const Screenshot endView = game.screenshot();
    testsupport::keepShot(endView, "end_camera");
    EXPECT_FALSE(endView.at(400, 300).near(Rgb{0, 0, 0}, 12)) << endView.at(400, 300);
    ASSERT_TRUE(server.waitForRequests(1, std::chrono::seconds(5)));
    EXPECT_EQ(server.requests().at(0).path, ScoreTableClient::kUploadPath);

    // The end panel and the local list with the player's row in orange.
    ASSERT_TRUE(game.runUntil([&] { return play->endStage == 3; }, 300));
    game.runFrames(40);  // the panel fades in
    RecordListManager* list = play->recordList;
    ASSERT_TRUE(list->panel->getVisible());
    EXPECT_TRUE(list->localOnShow());
    EXPECT_EQ(list->listRows[0].name->getCaption().asUTF8(), "Pilot");
    const Screenshot endMenu = game.screenshot();
    testsupport::keepShot(endMenu, "end_menu_local_list");
    EXPECT_GT(orangeIn(endMenu, list->listRows[0].name), 20);
    EXPECT_NE(list->listRows[1].name->getTextColour(), MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    const MyGUI::IntCoord retry = play->endMenu->retryButton()->getAbsoluteCoord();
    EXPECT_GT(endMenu.countChanged(banner, retry.left + retry.width / 2, retry.top + retry.height / 2, 12), 50);

    // Tab: the world table, still connecting while the server holds its answer.
    game.tapKey(OIS::KC_TAB);
    EXPECT_FALSE(list->localOnShow());
    EXPECT_TRUE(list->connectingBox->getVisible());
    game.runFrames(5);
    const Screenshot connecting = game.screenshot();
    testsupport::keepShot(connecting, "end_menu_connecting");
    const MyGUI::IntCoord box = list->connectingText->getAbsoluteCoord();
    EXPECT_GT(connecting.countChanged(endMenu, box.left + box.width / 2, box.top + box.height / 2, 10), 20);

    // The server answers: the top three and the rows around the player, whose row is orange.
    server.release(HttpReply::answer("ok;1-1-Ana-5000-2-Bo-4000-3-Cy-3000-0-40-Dee-1300-1-41-Pilot-1250-0-42-Flo-80-"));
    ASSERT_TRUE(game.runUntil([&] { return list->worldReceived != 0; }, 300));
    game.runFrames(3);
    EXPECT_FALSE(list->connectingBox->getVisible());
    EXPECT_EQ(list->topRows[0].name->getCaption().asUTF8(), "Ana");
    EXPECT_EQ(list->listRows[1].name->getCaption().asUTF8(), "Pilot");
    const Screenshot world = game.screenshot();
    testsupport::keepShot(world, "end_menu_world_list");
    EXPECT_GT(orangeIn(world, list->listRows[1].name), 20);
    EXPECT_NE(list->listRows[0].name->getTextColour(), MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    bool queried = false;
    for (const auto& request : server.requests())
        queried = queried || request.path == ScoreTableClient::kQueryPath;
    EXPECT_TRUE(queried);

    // Quit: the title; the record files are in the test's tree.
    game.tapKey(OIS::KC_DOWN);
    ASSERT_EQ(session->selectedIndex, 1u);
    game.tapKey(OIS::KC_RETURN);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(game.workDir() + "/Data1.dat"));
    EXPECT_TRUE(std::filesystem::exists(game.workDir() + "/../../Resultados/Results1.ini"));
}
