// The score client against a local HTTP server on 127.0.0.1; the worker's loop runs on a thread of
// the test as the game core runs it.
#include "play/ScoreTableClient.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;
using testsupport::HttpReply;
using testsupport::LocalHttpServer;

namespace {

// The worker thread's loop: a step, then a short wait.
class WorkerLoop {
public:
    explicit WorkerLoop(ScoreTableClient& client)
        : thread_([this, &client] {
              while (!stop_) {
                  client.workerStep();
                  std::this_thread::sleep_for(10ms);
              }
          })
    {
    }
    ~WorkerLoop()
    {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A port on 127.0.0.1 that refuses every connection: bound, never listening, for as long as it
// lives (so no other program can take it meanwhile).
class RefusingPort {
public:
    RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size) == 0)
            port_ = ntohs(a.sin_port);
    }
    ~RefusingPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return port_ != 0; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};

// The upload of the fixture's profile: "Ana" gives the name number 30279697 (3 letters, their
// sum 272, 'A', 'n', 'a'); no random generator leaves the random number at 1. Check value:
// 30279 + 0 + 12 (12.9 counts whole) - 1 + 20 - 2 * 3 - 5 + 4 = 30303.
const char* const kUploadBody =
    "Player_ID_A=30279697&Player_ID_B=1&Player_Name=Ana&Player_Score=12.9&Player_GPCount=4"
    "&Player_MPCount=5&Player_OPCount=3&Player_GVersion=1.004&Player_GBuild=10&Player_GMode=0"
    "&Player_Status=30303";
const char* const kQueryBody = "ViewMode=10&PlayMode=0&Player_ID_A=30279697&Player_ID_B=1&Player_Score=12.9";

class ScoreClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok());
        session.setProfileName("Ana");
        session.recreateProfile();
        PlayerProfile* p = session.profile;
        ASSERT_GE(p->getModeCount(), 2u);
        for (uint32_t i = 0; i < p->getModeCount(); ++i)
            p->getMode(i)->progress0 = 0;
        p->getMode(0)->progress0 = 3;
        p->getMode(0)->best = 12.9f;
        p->getMode(1)->progress0 = 2;
        p->profileCounter = 4;
        ASSERT_EQ(p->getNameNumber(), 30279697u);
        ASSERT_EQ(p->getRandomNumber(), 1u);
    }

    // Pumps as the frames do until `done`; false when the time ran out.
    bool pumpUntil(ScoreTableClient& client, const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = 5000ms)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            client.pump();
            if (done())
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    // Queues a request as the end of play does and pumps until the client has handed it over.
    void queue(ScoreTableClient& client, uint32_t request)
    {
        session.queuedRequest = request;
        ASSERT_TRUE(pumpUntil(client, [&] { return session.queuedRequest == 0 && session.onlineRequest == 0; }));
    }

    testsupport::TempGameTree tree{{"Data/System/GMode.Dat"}};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
    GameSettings settings;
    GameSession session{nullptr, &settings};
    LocalHttpServer server;
};

TEST_F(ScoreClientTest, UploadPostsTheFormInOrderAndItsReplyIsNotHandedOver)
{
    server.setReply(HttpReply::answer("ok;1-1-x-1-"));
    ScoreTableClient client(&session, server.address());
    ASSERT_TRUE(client.enabled());
    WorkerLoop worker(client);

    queue(client, OnlineRequestUpload);
    ASSERT_TRUE(server.waitForRequests(1, 5s));
    const auto request = server.requests().at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/VNT/InsereDados.php");
    EXPECT_EQ(request.headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.body, kUploadBody);

    EXPECT_FALSE(pumpUntil(client, [&] { return session.scoreReplyReady != 0; }, 300ms));
}

TEST_F(ScoreClientTest, FormValuesArePercentEncoded)
{
    // A name with "&" and "=" stays one field; a million goes out as the engine writes it.
    session.profileName = "A&B=C d";
    session.profile->getMode(0)->best = 1000000.0f;
    ScoreTableClient client(&session, server.address());
    const std::string body = client.scoreBody();
    EXPECT_NE(body.find("&Player_Name=A%26B%3DC%20d&Player_Score=1e%2B06&"), std::string::npos) << body;
    session.profileName = "Ana";
    EXPECT_NE(client.scoreBody().find("&Player_Name=Ana&"), std::string::npos);
}

TEST_F(ScoreClientTest, QueryReplyReachesTheSessionAfterItsFirstSemicolon)
{
    server.setReply(HttpReply::answer("ok;1-1-Ana-5000-0-"));
    ScoreTableClient client(&session, server.address());
    WorkerLoop worker(client);

    session.queuedRequest = OnlineRequestQuery;
    ASSERT_TRUE(pumpUntil(client, [&] { return session.scoreReplyReady != 0; }));
    EXPECT_EQ(session.scoreReply, "1-1-Ana-5000-0-");
    const auto request = server.requests().at(0);
    EXPECT_EQ(request.path, "/VNT/SelectTopDados.php");
    EXPECT_EQ(request.headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.body, kQueryBody);
}

TEST_F(ScoreClientTest, ParseReplyHandsOverTheTextAfterTheFirstSemicolon)
{
    ScoreTableClient client(&session, "");
    struct Case {
        const char* text;
        bool handed;
        const char* reply;
    };
    const Case cases[] = {
        {"1-1-abc-5-", false, ""},
        {";;", true, ""},
        {"a;b;c", true, "bc"},
        {"ok;1-1-abc-5-;", true, "1-1-abc-5-"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        session.scoreReplyReady = 0;
        session.scoreReply = "before";
        client.parseReply(c.text);
        client.pump();
        EXPECT_EQ(session.scoreReplyReady, c.handed ? 1 : 0);
        EXPECT_EQ(session.scoreReply, c.handed ? c.reply : "before");
        // Handed over once only.
        session.scoreReplyReady = 0;
        client.pump();
        EXPECT_EQ(session.scoreReplyReady, 0);
    }
}

TEST_F(ScoreClientTest, AStallingServerNeverHoldsAPump)
{
    server.setReply(HttpReply::stall());
    ScoreTableClient client(&session, server.address());
    WorkerLoop worker(client);
    queue(client, OnlineRequestQuery);
    ASSERT_TRUE(server.waitForRequests(1, 5s));
    // A second request waits behind the stalled one.
    session.queuedRequest = OnlineRequestUpload;

    double slowestMs = 0;
    for (int i = 0; i < 300; ++i) {
        const auto start = std::chrono::steady_clock::now();
        client.pump();
        slowestMs = std::max(
            slowestMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_LT(slowestMs, 5.0);
    EXPECT_EQ(session.scoreReplyReady, 0);
    EXPECT_EQ(server.requests().size(), 1u);

    // Once the server answers, the waiting upload goes out: nothing was dropped.
    server.release(HttpReply::answer("ok;2-1-Bo-7-"));
    ASSERT_TRUE(pumpUntil(client, [&] { return session.scoreReplyReady != 0; }));
    EXPECT_EQ(session.scoreReply, "2-1-Bo-7-");
    ASSERT_TRUE(server.waitForRequests(2, 5s));
    EXPECT_EQ(server.requests().at(1).path, "/VNT/InsereDados.php");
}

TEST_F(ScoreClientTest, GarbageHandsNothingOverAndTheNextRequestWorks)
{
    struct Case {
        const char* what;
        HttpReply reply;
    };
    const Case cases[] = {
        {"no HTTP at all", HttpReply::raw("SSH-2.0-nothing;1-1-Bad-1-;\r\n\r\n")},
        {"a 1 MB body", HttpReply::answer("ok;" + std::string(1 << 20, '7'))},
        {"an error page", HttpReply::answer("<html>oops;1-1-Bad-1-;</html>", 500)},
        {"a closed connection", HttpReply::raw("")},
    };
    ScoreTableClient client(&session, server.address());
    WorkerLoop worker(client);
    size_t sent = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.setReply(c.reply);
        queue(client, OnlineRequestQuery);
        ASSERT_TRUE(server.waitForRequests(++sent, 5s));
        server.setReply(HttpReply::answer("ok;1-1-Good-1-"));
        queue(client, OnlineRequestQuery);
        ASSERT_TRUE(pumpUntil(client, [&] { return session.scoreReplyReady != 0; }));
        EXPECT_EQ(session.scoreReply, "1-1-Good-1-");
        EXPECT_EQ(server.requests().size(), ++sent);
        session.scoreReplyReady = 0;
        session.scoreReply.clear();
    }
}

TEST_F(ScoreClientTest, AQueryThatEndsWithoutAUsableReplyMarksTheWorldTableUnavailable)
{
    struct Case {
        const char* what;
        HttpReply reply;
        bool refused;  // nothing takes the connection
    };
    const Case cases[] = {
        {"a refused connection", HttpReply::answer("ok;1-1-Good-1-"), true},
        {"a server that never answers", HttpReply::stall(), false},
        {"no HTTP at all", HttpReply::raw("SSH-2.0-nothing;1-1-Bad-1-;\r\n\r\n"), false},
        {"an error page", HttpReply::answer("<html>oops;1-1-Bad-1-;</html>", 500), false},
        {"a closed connection", HttpReply::raw(""), false},
        {"a reply without a semicolon", HttpReply::answer("1-1-abc-5-"), false},
    };
    RefusingPort refusing;
    ASSERT_TRUE(refusing.ok());
    // Short limits, so that the silent server is given up on quickly.
    platform::HttpPost::Limits limits;
    limits.connectTimeoutMs = 300;
    limits.totalTimeoutMs = 600;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server.setReply(c.reply);
        ScoreTableClient client(&session, c.refused ? refusing.address() : server.address(), limits);
        WorkerLoop worker(client);
        session.scoreUnavailable = 0;
        session.queuedRequest = OnlineRequestQuery;
        ASSERT_TRUE(pumpUntil(client, [&] { return session.scoreUnavailable != 0; }));
        EXPECT_EQ(session.scoreReplyReady, 0);

        // The next query that is answered clears it.
        server.release(HttpReply::answer("ok;1-1-Good-1-"));
        ScoreTableClient next(&session, server.address(), limits);
        WorkerLoop nextWorker(next);
        session.queuedRequest = OnlineRequestQuery;
        ASSERT_TRUE(pumpUntil(next, [&] { return session.scoreReplyReady != 0; }));
        EXPECT_EQ(session.scoreUnavailable, 0);
        session.scoreReplyReady = 0;
    }
}

TEST_F(ScoreClientTest, NoServerSetContactsNothingAndDropsTheRequests)
{
    ScoreTableClient client(&session, "");
    EXPECT_FALSE(client.enabled());
    WorkerLoop worker(client);
    for (uint32_t request : {OnlineRequestUpload, OnlineRequestQuery}) {
        session.queuedRequest = request;
        for (int i = 0; i < 3; ++i)
            client.pump();
        EXPECT_EQ(session.onlineRequest, 0u);
        EXPECT_EQ(session.queuedRequest, 0u);
    }
    std::this_thread::sleep_for(300ms);
    client.pump();
    EXPECT_EQ(server.connections(), 0);
    EXPECT_EQ(session.scoreReplyReady, 0);
    // The dropped query leaves the world table unavailable rather than awaited for ever.
    EXPECT_EQ(session.scoreUnavailable, 1);
}

TEST(ScoreServerAddress, IsAHostWithAnOptionalPort)
{
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        uint16_t port;
    };
    const Case cases[] = {
        {"scores.example.org", true, "scores.example.org", 80},
        {"127.0.0.1:8080", true, "127.0.0.1", 8080},
        {"h:65535", true, "h", 65535},
        {"", false, "", 0},
        {"h:", false, "", 0},
        {":80", false, "", 0},
        {"h:0", false, "", 0},
        {"h:65536", false, "", 0},
        {"h:8x", false, "", 0},
        {"http://h/", false, "", 0},
        {"h/x", false, "", 0},
        {"a b", false, "", 0},
        {"user@h", false, "", 0},
        {"h:80:81", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScoreServerAddress address;
        EXPECT_EQ(parseScoreServerAddress(c.text, address), c.ok);
        if (c.ok) {
            EXPECT_EQ(address.host, c.host);
            EXPECT_EQ(address.port, c.port);
        }
    }
}

}  // namespace
