#pragma once
#include "platform/HttpPost.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class GameSession;

// Request codes of the score client.
enum OnlineRequest : uint32_t {
    OnlineRequestNone = 0,
    OnlineRequestUpload = 1,     // upload the score
    OnlineRequestUploading = 2,  // upload under way
    OnlineRequestQuery = 3,      // query the world table
    OnlineRequestQuerying = 4,   // query under way
};

// The score server as set in config.ini: "host" or "host:port" (port 80 by default).
struct ScoreServerAddress {
    std::string host;
    uint16_t port = 80;
};
// Nothing for "" (the client is off) and for an address that is not a plain host name or IPv4
// address with an optional port 1 to 65535.
bool parseScoreServerAddress(const std::string& text, ScoreServerAddress& out);

// Posts the player's free-play result to the score server and fetches the world table around the
// player. The main thread pumps every frame: it hands the replies over to GameSession and posts
// the requests the end of play queues there. A worker thread of the game core runs the transfers
// in steps; the HTTP handle is the worker's alone, and the one request slot and the reply sit
// under one mutex. With no server set, requests are dropped and nothing is contacted. A query
// that ends without a usable reply (or is dropped) raises GameSession::scoreUnavailable.
class ScoreTableClient {
public:
    static constexpr const char* kUploadPath = "/VNT/InsereDados.php";
    static constexpr const char* kQueryPath = "/VNT/SelectTopDados.php";
    static constexpr const char* kContentType = "application/x-www-form-urlencoded";

    // `limits` bound each transfer; past them the client gives up on it.
    ScoreTableClient(GameSession* session, const std::string& server, const platform::HttpPost::Limits& limits = {});
    ~ScoreTableClient();
    ScoreTableClient(const ScoreTableClient&) = delete;
    ScoreTableClient& operator=(const ScoreTableClient&) = delete;

    bool enabled() const { return enabled_; }

    // Main thread, first thing of every frame.
    void pump();
    // Main thread: build one form each and hand it to the worker. A request that finds the slot
    // still taken stays in GameSession::onlineRequest and goes on a later frame.
    void postScore();
    void queryTop();
    // The form bodies as they are sent (values percent-encoded); "" without a profile.
    std::string scoreBody() const;
    std::string queryBody() const;

    // Worker thread: one turn of its loop (takes the queued request, advances the transfer).
    void workerStep();
    void pollUpload();
    void pollQuery();
    // Hands a query reply to the main thread: the text after its first ";" with every ";"
    // removed; a text without ";" hands nothing over and counts as a failed query.
    void parseReply(const std::string& text);

private:
    struct Request {
        uint32_t code = OnlineRequestNone;
        std::string path;
        std::string body;
    };
    bool handOver(Request request);
    void failQuery();

    GameSession* session_ = nullptr;
    bool enabled_ = false;
    std::string baseUrl_;

    std::mutex mutex_;
    Request queued_;           // guarded: the slot the main thread fills and the worker empties
    std::string replyText_;    // guarded
    bool replyArrived_ = false;  // guarded
    bool queryFailed_ = false;   // guarded: the query ended without a usable reply

    // Worker only.
    uint32_t workerRequest_ = OnlineRequestNone;
    std::unique_ptr<platform::HttpPost> http_;
};
