#pragma once
// One HTTP form post at a time over libcurl, advanced in small non-blocking steps by the one
// thread that owns the object. Nothing here waits on the network.
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

class HttpPost {
public:
    struct Limits {
        long connectTimeoutMs = 5000;
        long totalTimeoutMs = 15000;
        size_t maxReplyBytes = 64 * 1024;  // a longer reply is dropped whole
    };

    // Call once on the main thread before any HttpPost is used (libcurl's global set-up).
    static void globalInit();

    explicit HttpPost(Limits limits);
    HttpPost() : HttpPost(Limits{}) {}
    ~HttpPost();
    HttpPost(const HttpPost&) = delete;
    HttpPost& operator=(const HttpPost&) = delete;

    // Starts posting body to url (plain http only, no proxy, no redirects); a transfer still
    // under way is abandoned. False when it could not be started.
    bool start(const std::string& url, const std::string& body, const std::string& contentType);
    // Advances the transfer without blocking; true once it has ended (then see takeReply).
    bool step();
    bool busy() const { return running_; }
    // The reply's body when the server answered with a 2xx status within the limits; nothing
    // for a failed, refused, timed-out, oversized or error-status transfer. Clears the result.
    std::optional<std::string> takeReply();
    // Drops the transfer under way, if any.
    void cancel();

private:
    static size_t onData(char* data, size_t size, size_t count, void* self);
    void release();

    Limits limits_;
    void* multi_ = nullptr;    // CURLM*
    void* easy_ = nullptr;     // CURL*
    void* headers_ = nullptr;  // curl_slist*
    std::string body_;         // kept alive for the transfer
    std::string received_;
    bool overflow_ = false;
    bool running_ = false;
    std::optional<std::string> result_;
};

}  // namespace platform
