#include "platform/HttpPost.h"

#include <curl/curl.h>

#include <mutex>

namespace platform {

void HttpPost::globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpPost::HttpPost(Limits limits) : limits_(limits) {}

HttpPost::~HttpPost() { release(); }

void HttpPost::release()
{
    if (easy_) {
        if (multi_)
            curl_multi_remove_handle(static_cast<CURLM*>(multi_), static_cast<CURL*>(easy_));
        curl_easy_cleanup(static_cast<CURL*>(easy_));
        easy_ = nullptr;
    }
    if (multi_) {
        curl_multi_cleanup(static_cast<CURLM*>(multi_));
        multi_ = nullptr;
    }
    if (headers_) {
        curl_slist_free_all(static_cast<curl_slist*>(headers_));
        headers_ = nullptr;
    }
    running_ = false;
}

void HttpPost::cancel()
{
    release();
    result_.reset();
}

size_t HttpPost::onData(char* data, size_t size, size_t count, void* self)
{
    auto* post = static_cast<HttpPost*>(self);
    const size_t n = size * count;
    if (post->received_.size() + n > post->limits_.maxReplyBytes) {
        post->overflow_ = true;
        return 0;  // ends the transfer with a write error
    }
    post->received_.append(data, n);
    return n;
}

bool HttpPost::start(const std::string& url, const std::string& body, const std::string& contentType)
{
    cancel();
    HttpPost::globalInit();
    CURLM* multi = curl_multi_init();
    CURL* easy = curl_easy_init();
    multi_ = multi;
    easy_ = easy;
    if (!multi || !easy) {
        release();
        return false;
    }
    body_ = body;
    received_.clear();
    overflow_ = false;

    curl_slist* headers = curl_slist_append(nullptr, ("Content-Type: " + contentType).c_str());
    if (headers) {
        // No "100-continue" round trip: the bodies are small.
        curl_slist* more = curl_slist_append(headers, "Expect:");
        if (more)
            headers = more;
    }
    headers_ = headers;

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, limits_.totalTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body_.c_str());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(body_.size()));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpPost::onData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        release();
        return false;
    }
    running_ = true;
    return true;
}

bool HttpPost::step()
{
    if (!running_)
        return true;
    CURLM* multi = static_cast<CURLM*>(multi_);
    int stillRunning = 0;
    if (curl_multi_perform(multi, &stillRunning) != CURLM_OK) {
        release();
        return true;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
        if (msg->msg != CURLMSG_DONE || msg->easy_handle != easy_)
            continue;
        long status = 0;
        curl_easy_getinfo(static_cast<CURL*>(easy_), CURLINFO_RESPONSE_CODE, &status);
        if (msg->data.result == CURLE_OK && !overflow_ && status >= 200 && status < 300)
            result_ = std::move(received_);
        received_.clear();
        release();
        return true;
    }
    return false;
}

std::optional<std::string> HttpPost::takeReply()
{
    std::optional<std::string> reply = std::move(result_);
    result_.reset();
    return reply;
}

}  // namespace platform
