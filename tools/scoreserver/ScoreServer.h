// The score server: the one script address the game knows, "/cgi/version.pl",
// answering the version request, the result request, the replay upload and the
// online table page, a home page at "/" and the verified replays under
// "/replays/". HTTP comes from HttpServer, storage from a ScoreStore served by
// one StoreWorker thread, the replays' checks from VerifyWorkers.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "HttpServer.h"
#include "ScoreStore.h"
#include "ScriptQuery.h"
#include "ServerLog.h"
#include "StoreWorker.h"
#include "VerifyWorkers.h"

namespace scoreserver {

struct ServerSettings {
    std::string Database = "scores.db";  // an SQLite file, or "postgresql://..."
    std::size_t TokenCapacity = 1 << 20; // spent tokens kept in memory (SQLite; PostgreSQL keeps them all)
    std::chrono::seconds TokenLifetime{600};
    std::size_t TableRows = 100;
    std::size_t HomeRows = 10;
    std::size_t MaxStoredResults = 10000;
    bool WaitForDisk = true;          // see StoreSettings
    bool RequireVerified = false;     // the pages show verified results only
    std::size_t MaxQueuedJobs = 1000; // replays waiting for their check at most
    VerifySettings Verify;            // Workers 0: this server checks no replay itself
    ServerLimits Limits;
    ServerLog::Sink LogSink; // empty: stderr
};

class ScoreServer {
  public:
    // Opens the store; throws DatabaseError when it cannot.
    explicit ScoreServer(const ServerSettings& settings);
    ~ScoreServer();
    ScoreServer(const ScoreServer&) = delete;
    ScoreServer& operator=(const ScoreServer&) = delete;

    // Binds the listening socket; port 0 picks a free one. Returns the bound port.
    std::optional<int> Bind(const std::string& address, int port);

    // Serves until Stop; false if the server could not run.
    bool Run();

    // Ends Run from any thread, also before it has started.
    void Stop();

    // After Run: lets the store finish what is queued; false if it did not within timeout.
    bool FinishStore(std::chrono::milliseconds timeout);

    ServerLog& Log() { return log_; }

  private:
    std::optional<HttpResponse> Handle(const HttpRequest& request, HttpServer::ConnectionId connection);
    std::optional<HttpResponse> HandleScript(const HttpRequest& request, HttpServer::ConnectionId connection);
    std::optional<HttpResponse> AnswerResult(const std::string& encoded, HttpServer::ConnectionId connection);
    std::optional<HttpResponse> AnswerUpload(const HttpRequest& request, const std::string& token,
                                             HttpServer::ConnectionId connection);
    std::optional<HttpResponse> AnswerReplay(std::string_view path, HttpServer::ConnectionId connection);
    std::optional<HttpResponse> AnswerPage(bool home, HttpServer::ConnectionId connection);
    std::optional<HttpResponse> CachedPage(bool home);
    void ForgetPages();
    HttpResponse VersionLine(const std::string& token) const;
    std::optional<HttpResponse> Refuse(int status, std::string_view reason);

    ServerLog log_;
    std::unique_ptr<ScoreStore> store_;
    const std::size_t tableRows_;
    const std::size_t homeRows_;
    HttpServer http_;
    // The two pages as last rendered: kept until this server stores a result,
    // and a second at most, for servers that share a PostgreSQL table.
    struct CachedPages {
        std::optional<HttpResponse> Home, Table;
        std::chrono::steady_clock::time_point RenderedAt;
        uint64_t Generation = 0; // counts the changes to the table
    };
    std::mutex pagesMutex_;
    CachedPages pages_;
    StoreWorker worker_; // it ends before the store and the server, while http_ can still take its answers
    std::unique_ptr<VerifyWorkers> verifiers_; // last: they end first
};

} // namespace scoreserver
