// Where the results and the tokens live. Two kinds: an SQLite file with the
// tokens in this process's memory (one server), or a PostgreSQL database that
// holds both, so several servers share one table and each token is good once
// whichever server it comes back to.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ResultCodec.h"
#include "ScoreDatabase.h"
#include "VerifyQueue.h"

namespace scoreserver {

struct StoreSettings {
    std::string Address = "scores.db";   // an SQLite file, or "postgresql://..."
    std::size_t TokenCapacity = 1 << 20; // spent tokens kept in memory (SQLite; PostgreSQL keeps them all)
    std::chrono::seconds TokenLifetime{600};
    std::size_t MaxStoredResults = 10000;
    bool WaitForDisk = true;          // SQLite: see ScoreDatabase; PostgreSQL follows its own settings
    bool RequireVerified = false;     // Best reads verified results only
    std::size_t MaxQueuedJobs = 1000; // replays waiting for their check at most
};

class ScoreStore {
  public:
    virtual ~ScoreStore() = default;

    // A fresh token, good for one result within the token lifetime; at once,
    // from any thread (it is signed, not stored).
    virtual std::string IssueToken() = 0;

    // For each result in turn: spends its token and stores it, all in one
    // transaction that is durable when this returns. True where stored, false
    // where the token was unknown, expired or already spent.
    virtual std::vector<bool> StoreResults(const std::vector<SubmittedResult>& results,
                                           int64_t submittedAt) = 0;

    // Best first; equal scores in the order they arrived. Never a refused
    // result; only verified ones when the settings require it.
    virtual std::vector<StoredResult> Best(std::size_t limit) = 0;

    // Stores the replay uploaded for the result its token was spent on, within
    // the token's lifetime (and UploadSlackMs) from its issue, and queues its check.
    virtual UploadOutcome AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                                       int64_t uploadedMs) = 0;

    // The replay of a verified result, for anyone to download and watch.
    virtual std::optional<std::vector<uint8_t>> VerifiedReplay(int64_t resultId) = 0;

    // The jobs for one verifier worker, on a connection of its own.
    virtual std::unique_ptr<JobSource> OpenJobSource() = 0;

    virtual std::chrono::seconds TokenLifetime() const = 0;
};

// Whether a replay uploaded at uploadedMs (ms since 1970) came in time for the token it names.
bool UploadInTime(const std::string& token, std::chrono::seconds lifetime, int64_t uploadedMs);

// True for the addresses that name a PostgreSQL database.
bool IsPostgresAddress(const std::string& address);

// Opens the store the address names; throws DatabaseError naming it when it cannot.
std::unique_ptr<ScoreStore> OpenScoreStore(const StoreSettings& settings);

} // namespace scoreserver
