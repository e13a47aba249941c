// The score client as the game core runs it: the server named in config.ini, the pump in every
// frame and the core's worker thread (run under Xvfb).
#include "core/GameCore.h"
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "play/ScoreTableClient.h"
#include "support/GameHarness.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::HttpReply;
using testsupport::LocalHttpServer;

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST(ScoreClientInCore, AsksTheConfiguredServerAndAStalledOneHoldsNoFrameNorTheExit)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.ok());
    server.setReply(HttpReply::answer("ok;0-1-1-Pilot-42-"));

    HarnessOptions options;
    options.prepareTree = [&](const std::string& workDir) {
        testsupport::setScoreServerInConfig(workDir, server.address());
    };
    auto game = std::make_unique<GameHarness>(options);
    GameSession* session = game->session();
    session->profile = new PlayerProfile(session->profileName, game->core()->randomGenerator());

    // The end of play's query, sent by the core's own pump and worker.
    session->queuedRequest = OnlineRequestQuery;
    ASSERT_TRUE(game->runUntil([&] { return session->scoreReplyReady != 0; }, 600));
    EXPECT_EQ(session->scoreReply, "0-1-1-Pilot-42-");
    EXPECT_EQ(server.requests().at(0).path, "/VNT/SelectTopDados.php");

    // Now the server takes requests and never answers.
    server.setReply(HttpReply::stall());
    session->queuedRequest = OnlineRequestQuery;
    ASSERT_TRUE(game->runUntil([&] { return server.requests().size() == 2; }, 600));
    ScoreTableClient* client = game->core()->scoreClient();
    double slowestMs = 0;
    for (int i = 0; i < 300; ++i) {
        const auto start = std::chrono::steady_clock::now();
        client->pump();
        slowestMs = std::max(slowestMs, millisecondsSince(start));
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_LT(slowestMs, 5.0);

    const auto workerAlive = game->core()->scoreWorkerAlive();
    const auto start = std::chrono::steady_clock::now();
    game.reset();
    EXPECT_LT(millisecondsSince(start), 2000.0);
    EXPECT_FALSE(*workerAlive);
}

}  // namespace
