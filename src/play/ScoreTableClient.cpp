#include "play/ScoreTableClient.h"

#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "platform/HttpPost.h"
#include "platform/Platform.h"

#include <OgreStringConverter.h>

#include <cmath>

namespace {

bool isHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// Form encoding of one value: letters, digits and "-._~" as they are, every other byte as %XX.
std::string encodeFormValue(const std::string& value)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The engine's float text with its defaults: six significant digits.
std::string floatText(float v) { return encodeFormValue(Ogre::StringConverter::toString(v)); }

std::string unsignedText(uint32_t v) { return std::to_string(v); }

}  // namespace

bool parseScoreServerAddress(const std::string& text, ScoreServerAddress& out)
{
    const size_t colon = text.find(':');
    const std::string host = text.substr(0, colon);
    if (host.empty() || host.size() > 253)
        return false;
    for (const char c : host)
        if (!isHostCharacter(c))
            return false;
    uint32_t port = 80;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5)
            return false;
        port = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
            port = port * 10 + static_cast<uint32_t>(c - '0');
        }
        if (port == 0 || port > 65535)
            return false;
    }
    out.host = host;
    out.port = static_cast<uint16_t>(port);
    return true;
}

ScoreTableClient::ScoreTableClient(GameSession* session, const std::string& server,
                                   const platform::HttpPost::Limits& limits)
    : session_(session)
{
    if (server.empty())
        return;
    ScoreServerAddress address;
    if (!parseScoreServerAddress(server, address)) {
        platform::showWarning("ScoreServer \"" + server + "\" is not host[:port]; scores stay offline");
        return;
    }
    enabled_ = true;
    baseUrl_ = "http://" + address.host + ":" + std::to_string(address.port);
    platform::HttpPost::globalInit();
    http_ = std::make_unique<platform::HttpPost>(limits);
}

ScoreTableClient::~ScoreTableClient() = default;

void ScoreTableClient::pump()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (replyArrived_) {
            session_->scoreReplyReady = 1;
            session_->setScoreReply(replyText_);
            replyArrived_ = false;
            replyText_.clear();
        }
        if (queryFailed_) {
            session_->scoreUnavailable = 1;
            queryFailed_ = false;
        }
    }
    switch (session_->onlineRequest) {
    case OnlineRequestUpload: postScore(); break;
    case OnlineRequestQuery: queryTop(); break;
    case OnlineRequestUploading:
    case OnlineRequestQuerying: break;
    default:
        session_->onlineRequest = session_->queuedRequest;
        session_->queuedRequest = OnlineRequestNone;
        break;
    }
}

std::string ScoreTableClient::scoreBody() const
{
    const PlayerProfile* profile = session_->profile;
    if (!profile)
        return "";
    const uint32_t mode = session_->selectedMode;
    const GameModeDef* def = profile->getMode(mode);
    const float best = def ? def->best : 0.0f;
    const uint32_t modePlays = def ? def->progress0 : 0;
    uint32_t allPlays = 0;
    for (uint32_t i = 0; i < profile->getModeCount(); ++i)
        allPlays += profile->getMode(i)->progress0;
    const uint32_t nameNumber = profile->getNameNumber();
    const uint32_t randomNumber = profile->getRandomNumber();
    const uint32_t counter = profile->profileCounter;

    float check = static_cast<float>(nameNumber / 1000) + static_cast<float>(randomNumber / 3000);
    check += std::trunc(best);
    check = check - 1.0f + 20.0f;
    check -= 2.0f * static_cast<float>(modePlays);
    check -= static_cast<float>(allPlays);
    check += static_cast<float>(counter);

    return "Player_ID_A=" + unsignedText(nameNumber) + "&Player_ID_B=" + unsignedText(randomNumber) +
           "&Player_Name=" + encodeFormValue(session_->profileName) + "&Player_Score=" + floatText(best) +
           "&Player_GPCount=" + floatText(static_cast<float>(counter)) +
           "&Player_MPCount=" + floatText(static_cast<float>(allPlays)) +
           "&Player_OPCount=" + floatText(static_cast<float>(modePlays)) + "&Player_GVersion=" + floatText(1.004f) +
           "&Player_GBuild=" + floatText(10.0f) + "&Player_GMode=" + unsignedText(mode) +
           "&Player_Status=" + floatText(check);
}

std::string ScoreTableClient::queryBody() const
{
    const PlayerProfile* profile = session_->profile;
    if (!profile)
        return "";
    const GameModeDef* def = profile->getMode(session_->selectedMode);
    return "ViewMode=" + std::to_string(10) + "&PlayMode=" + unsignedText(session_->selectedMode) +
           "&Player_ID_A=" + unsignedText(profile->getNameNumber()) +
           "&Player_ID_B=" + unsignedText(profile->getRandomNumber()) +
           "&Player_Score=" + floatText(def ? def->best : 0.0f);
}

bool ScoreTableClient::handOver(Request request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (queued_.code != OnlineRequestNone)
        return false;
    queued_ = std::move(request);
    return true;
}

void ScoreTableClient::postScore()
{
    // Off, or no profile to speak for: the request is dropped.
    if (!enabled_ || !session_->profile) {
        session_->onlineRequest = OnlineRequestNone;
        return;
    }
    if (handOver({OnlineRequestUploading, kUploadPath, scoreBody()}))
        session_->onlineRequest = OnlineRequestNone;
}

void ScoreTableClient::queryTop()
{
    if (!enabled_ || !session_->profile) {
        session_->onlineRequest = OnlineRequestNone;
        session_->scoreUnavailable = 1;
        return;
    }
    if (handOver({OnlineRequestQuerying, kQueryPath, queryBody()})) {
        session_->onlineRequest = OnlineRequestNone;
        session_->scoreUnavailable = 0;
    }
}

void ScoreTableClient::failQuery()
{
    std::lock_guard<std::mutex> lock(mutex_);
    queryFailed_ = true;
}

void ScoreTableClient::workerStep()
{
    if (!enabled_)
        return;
    if (workerRequest_ == OnlineRequestNone) {
        Request request;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            std::swap(request, queued_);
        }
        if (request.code == OnlineRequestNone)
            return;
        if (!http_->start(baseUrl_ + request.path, request.body, kContentType)) {
            if (request.code == OnlineRequestQuerying)
                failQuery();
            return;
        }
        workerRequest_ = request.code;
    }
    if (workerRequest_ == OnlineRequestUploading)
        pollUpload();
    else if (workerRequest_ == OnlineRequestQuerying)
        pollQuery();
}

void ScoreTableClient::pollUpload()
{
    if (!http_->step())
        return;
    // The upload's answer is never used.
    http_->takeReply();
    workerRequest_ = OnlineRequestNone;
}

void ScoreTableClient::pollQuery()
{
    if (!http_->step())
        return;
    const std::optional<std::string> reply = http_->takeReply();
    workerRequest_ = OnlineRequestNone;
    if (reply)
        parseReply(*reply);
    else
        failQuery();
}

void ScoreTableClient::parseReply(const std::string& text)
{
    const size_t first = text.find(';');
    if (first == std::string::npos) {
        failQuery();
        return;
    }
    std::string result;
    for (size_t i = first + 1; i < text.size(); ++i)
        if (text[i] != ';')
            result += text[i];
    std::lock_guard<std::mutex> lock(mutex_);
    replyText_ = std::move(result);
    replyArrived_ = true;
}
