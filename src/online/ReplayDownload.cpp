#include "online/ReplayDownload.h"

#include "online/WebScores.h"
#include "platform/HttpClient.h"

ReplayDownload DownloadReplay(const std::string& url) {
    HttpClient client;
    client.SetTimeouts(ScoreServer.ConnectTimeoutMs, ScoreServer.RequestTimeoutMs);
    const HttpReply reply = client.Get(url, MaxReplayDownloadBytes);
    ReplayDownload download;
    if (reply.Ok)
        download.Bytes.assign(reply.Body.begin(), reply.Body.end());
    else
        download.Error = reply.Error;
    return download;
}
