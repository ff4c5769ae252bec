#include "online/WebScores.h"

#include "persistence/Options.h"
#include "platform/HttpClient.h"

#include <cctype>

TScoreServer ScoreServer;

const std::string& ScoreServerHomePage() {
    static std::string page; // keeps its buffer: the about page reads it every frame
    page.assign(ScoreServer.BaseAddress);
    page += '/';
    return page;
}

namespace {

constexpr const char* VersionRequest = "/cgi/version.pl?version&prg=Vantorix";
constexpr const char* ResultRequest = "/cgi/version.pl?hs&prg=Vantorix&inf=";
constexpr const char* ReplayUpload = "/cgi/version.pl?replay&prg=Vantorix&p=";

// The token as one query value: any byte but a letter or digit is escaped (a server may send anything).
std::string QueryValue(std::string_view text) {
    constexpr std::string_view Hex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte)) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += Hex[byte >> 4];
            escaped += Hex[byte & 15];
        }
    }
    return escaped;
}

// One client for the whole run, so cookies the server sets stay for the next submission.
HttpClient& ScoreClient() {
    static HttpClient client;
    return client;
}

} // namespace

bool SubmitScore(const std::string& name, int32_t score) {
    return SendScore(ScoreServer, Options.Country, name, score, nullptr);
}

bool SendScore(const TScoreServer& server, const std::string& country, const std::string& name, int32_t score,
               const std::atomic<bool>* stop, std::string* token) {
    HttpClient& client = ScoreClient();
    client.SetTimeouts(server.ConnectTimeoutMs, server.RequestTimeoutMs);
    client.SetStopFlag(stop);
    const HttpReply version = client.Get(server.BaseAddress + VersionRequest);
    if (!version.Ok) return false;
    const std::string p = FifthField(version.Body);
    if (token) *token = p;
    const std::string text = BuildResultText(name, score, p, country);
    return client.Get(server.BaseAddress + ResultRequest + EncodeResult(text)).Ok;
}

std::string ReplayUploadAddress(const TScoreServer& server, std::string_view token) {
    return server.BaseAddress + ReplayUpload + QueryValue(token);
}

bool SendReplay(const TScoreServer& server, const std::string& token, std::span<const uint8_t> replay,
                const std::atomic<bool>* stop) {
    if (token.empty() || replay.empty() || replay.size() > MaxReplayUploadBytes) return false;
    HttpClient& client = ScoreClient();
    client.SetTimeouts(server.ConnectTimeoutMs, server.RequestTimeoutMs);
    client.SetStopFlag(stop);
    return client.Post(ReplayUploadAddress(server, token), replay, "application/octet-stream").Ok;
}
