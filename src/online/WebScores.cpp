#include "online/WebScores.h"

#include "persistence/Options.h"
#include "platform/HttpClient.h"

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
               const std::atomic<bool>* stop) {
    HttpClient& client = ScoreClient();
    client.SetTimeouts(server.ConnectTimeoutMs, server.RequestTimeoutMs);
    client.SetStopFlag(stop);
    const HttpReply version = client.Get(server.BaseAddress + VersionRequest);
    if (!version.Ok) return false;
    const std::string text = BuildResultText(name, score, FifthField(version.Body), country);
    return client.Get(server.BaseAddress + ResultRequest + EncodeResult(text)).Ok;
}
