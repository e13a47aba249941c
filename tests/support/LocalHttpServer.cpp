#include "support/LocalHttpServer.h"

#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testsupport {

namespace {

void sendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;  // the client went away
        sent += static_cast<size_t>(n);
    }
}

std::string reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

std::string httpAnswer(const HttpReply& reply)
{
    return "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonFor(reply.status) +
           "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(reply.body.size()) +
           "\r\nConnection: close\r\n\r\n" + reply.body;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t");
    const size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

}  // namespace

LocalHttpServer::LocalHttpServer()
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0)
        return;
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread(&LocalHttpServer::run, this);
}

LocalHttpServer::~LocalHttpServer()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable())
        thread_.join();
    for (int fd : stalled_)
        ::close(fd);
    if (listenFd_ >= 0)
        ::close(listenFd_);
}

std::string LocalHttpServer::address() const { return "127.0.0.1:" + std::to_string(port_); }

void LocalHttpServer::setReply(HttpReply reply)
{
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = std::move(reply);
}

void LocalHttpServer::release(HttpReply reply)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int fd : stalled_) {
        if (reply.kind == HttpReply::Kind::Answer)
            sendAll(fd, httpAnswer(reply));
        else if (reply.kind == HttpReply::Kind::Raw)
            sendAll(fd, reply.body);
        ::close(fd);
    }
    stalled_.clear();
    reply_ = std::move(reply);
}

std::vector<HttpRequestRecord> LocalHttpServer::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

int LocalHttpServer::connections() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

bool LocalHttpServer::waitForRequests(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void LocalHttpServer::run()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_)
                return;
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++connections_;
        }
        serve(fd);
    }
}

void LocalHttpServer::serve(int fd)
{
    // Reads one request; gives up after two seconds of silence or when the server stops.
    std::string data;
    size_t headerEnd = std::string::npos;
    size_t wanted = 0;
    HttpRequestRecord request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + wanted)
            break;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ || std::chrono::steady_clock::now() > deadline) {
                ::close(fd);
                return;
            }
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ::close(fd);
            return;
        }
        data.append(buffer, static_cast<size_t>(n));
        if (headerEnd == std::string::npos && (headerEnd = data.find("\r\n\r\n")) != std::string::npos) {
            size_t lineStart = 0;
            size_t lineEnd = data.find("\r\n");
            const std::string first = data.substr(0, lineEnd);
            const size_t sp1 = first.find(' ');
            const size_t sp2 = first.find(' ', sp1 + 1);
            request.method = first.substr(0, sp1);
            request.path = sp1 == std::string::npos ? "" : first.substr(sp1 + 1, sp2 - sp1 - 1);
            while (lineEnd < headerEnd) {
                lineStart = lineEnd + 2;
                lineEnd = data.find("\r\n", lineStart);
                const std::string line = data.substr(lineStart, lineEnd - lineStart);
                const size_t colon = line.find(':');
                if (colon != std::string::npos)
                    request.headers[lower(trim(line.substr(0, colon)))] = trim(line.substr(colon + 1));
            }
            const auto length = request.headers.find("content-length");
            wanted = length == request.headers.end() ? 0 : std::stoul(length->second);
        }
    }
    request.body = data.substr(headerEnd + 4, wanted);

    HttpReply reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        reply = reply_;
        if (reply.kind == HttpReply::Kind::Stall)
            stalled_.push_back(fd);
    }
    changed_.notify_all();
    if (reply.kind == HttpReply::Kind::Stall)
        return;
    sendAll(fd, reply.kind == HttpReply::Kind::Answer ? httpAnswer(reply) : reply.body);
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

void setScoreServerInConfig(const std::string& workDir, const std::string& address)
{
    const std::string path = workDir + "/config.ini";
    const std::string key = "ScoreServer =";
    std::string config = readTextFile(path);
    const size_t at = config.find(key);
    if (at == std::string::npos) {
        config += "\n[Network]\nScoreServer = " + address + "\n";
    } else {
        const size_t lineEnd = config.find('\n', at);
        config.replace(at, (lineEnd == std::string::npos ? config.size() : lineEnd) - at, key + " " + address);
    }
    writeTextFile(path, config);
}

}  // namespace testsupport
