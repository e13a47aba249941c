#pragma once
// An HTTP server on 127.0.0.1 (an ephemeral port) for the score client's tests. It records each
// request (method, path, headers, body) and answers by the reply set at that moment: a body with
// a status, a stall (the connection is held open, unanswered, until released or the server
// stops), or raw bytes that are not HTTP. Stopped by its destructor.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpRequestRecord {
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
};

struct HttpReply {
    enum class Kind { Answer, Stall, Raw };
    Kind kind = Kind::Answer;
    int status = 200;
    std::string body;  // Answer: the body; Raw: the bytes sent as they are, then the connection closes

    static HttpReply answer(std::string body, int status = 200) { return {Kind::Answer, status, std::move(body)}; }
    static HttpReply stall() { return {Kind::Stall, 0, ""}; }
    static HttpReply raw(std::string bytes) { return {Kind::Raw, 0, std::move(bytes)}; }
};

// Names `address` as the score server in the config.ini of a game tree's working folder (a tree
// the game ran in keeps the player's config.ini, which may predate the key).
void setScoreServerInConfig(const std::string& workDir, const std::string& address);

class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool ok() const { return port_ != 0; }
    uint16_t port() const { return port_; }
    // "127.0.0.1:<port>", as config.ini names a server.
    std::string address() const;

    // The reply to the requests that arrive from now on.
    void setReply(HttpReply reply);
    // Answers the stalled connections with `reply` and makes it the reply from now on.
    void release(HttpReply reply);

    std::vector<HttpRequestRecord> requests() const;
    // Connections accepted so far (a request may never have been completed on one).
    int connections() const;
    // Waits until `count` requests have arrived; false when the time ran out first.
    bool waitForRequests(size_t count, std::chrono::milliseconds timeout) const;

private:
    void run();
    void serve(int fd);

    int listenFd_ = -1;
    uint16_t port_ = 0;
    bool stopping_ = false;  // guarded
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    HttpReply reply_;                       // guarded
    std::vector<HttpRequestRecord> requests_;  // guarded
    std::vector<int> stalled_;              // guarded: open connections held unanswered
    int connections_ = 0;                   // guarded
    std::thread thread_;
};

}  // namespace testsupport
