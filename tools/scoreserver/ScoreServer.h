// The HTTP side of the score server: the one script address the game knows,
// "/cgi/version.pl", answering the version request, the result request and the
// online table page.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "ScoreDatabase.h"
#include "TokenStore.h"

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace scoreserver {

struct ServerSettings {
    std::string DatabasePath = "scores.db";
    std::size_t TokenCapacity = 4096;
    std::chrono::seconds TokenLifetime{600};
    std::size_t TableRows = 100;
    std::size_t MaxStoredResults = 10000;
};

// Longest request target ("/cgi/version.pl?..."), in bytes, that gets past the first check.
inline constexpr std::size_t MaxTargetLength = 1024;

class ScoreServer {
  public:
    // Opens the database; throws DatabaseError when it cannot.
    explicit ScoreServer(const ServerSettings& settings);
    ~ScoreServer();
    ScoreServer(const ScoreServer&) = delete;
    ScoreServer& operator=(const ScoreServer&) = delete;

    // Binds the listening socket; port 0 picks a free one. Returns the bound port.
    std::optional<int> Bind(const std::string& address, int port);

    // Serves until Stop; false if the server could not run.
    bool Run();

    // Ends Run from another thread; waits (bounded) for Run to have started.
    void Stop();

  private:
    void HandleScript(const httplib::Request& request, httplib::Response& response);
    void AnswerVersion(httplib::Response& response);
    void AnswerResult(const std::string& encoded, httplib::Response& response);
    void AnswerTable(httplib::Response& response);

    ScoreDatabase database_;
    TokenStore tokens_;
    const std::size_t tableRows_;
    std::unique_ptr<httplib::Server> http_;
    std::atomic<bool> finished_ = false;
};

} // namespace scoreserver
