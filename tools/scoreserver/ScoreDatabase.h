// The stored online results, kept in one SQLite file in WAL mode, with their
// uploaded replays and the replays' checks waiting. All access goes through
// prepared statements with bound parameters; one connection, one lock. A group
// of results is written in one transaction, so many results cost one wait for
// the disk. One process owns the file, so the jobs it has handed to its
// verifier workers are noted in its memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "VerifyQueue.h"

struct sqlite3;
struct sqlite3_stmt;

namespace scoreserver {

struct StoredResult {
    std::string Name;
    int32_t Score = 0;
    std::string Country;
    int64_t SubmittedAt = 0; // seconds since 1970, UTC
    std::string Token;       // the one-time token it was sent with (its replay comes with it too)
    int64_t Id = 0;          // set when read back
    Verdict State = Verdict::Unverified;
};

// How long after its token was issued a replay may still be uploaded: the
// token's lifetime, and this much more for the result and upload to travel.
inline constexpr int64_t UploadSlackMs = 60000;

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ScoreDatabase {
  public:
    // Opens or creates the file; throws DatabaseError naming the file when it cannot.
    // At most maxStored results are kept: beyond that the refused ones go
    // first, then those without a replay, then the lowest. waitForDisk: each
    // commit waits until the disk holds it (survives a power cut); without it a
    // commit is in the system's hands when it returns, which survives the
    // server being killed but not the machine losing power. requireVerified:
    // Best reads verified results only.
    ScoreDatabase(const std::string& path, std::size_t maxStored, bool waitForDisk = true,
                  bool requireVerified = false);

    void Add(const StoredResult& result) { AddAll({result}); }

    // All of them in one transaction: when this returns they are on the disk.
    void AddAll(const std::vector<StoredResult>& results);

    // Best first; equal scores in the order they arrived; never a refused one.
    std::vector<StoredResult> Best(std::size_t limit) const;

    // Stores a replay for the result its token was spent on and queues its check.
    // (Whether it came in time is the caller's to check, by the token's issue time.)
    UploadOutcome AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                               int64_t uploadedMs, std::size_t maxQueued);
    std::optional<std::vector<uint8_t>> VerifiedReplay(int64_t resultId) const;

    // The verifier workers' side: the oldest job no worker holds, now held.
    std::optional<VerifyJob> ClaimJob();
    bool FinishJob(const VerifyJob& job, const JobOutcome& outcome);
    void ReleaseJob(int64_t resultId);

  private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;
    void Execute(const char* sql) const;
    Statement Prepare(const char* sql) const;
    void AddMissingColumns();
    template <typename Work> void InTransaction(Work work);

    std::unique_ptr<sqlite3, Closer> db_;
    Statement insert_;
    Statement prune_;
    Statement best_;
    Statement findByToken_;
    Statement countJobs_;
    Statement addReplay_;
    Statement addJob_;
    Statement markPending_;
    Statement waitingJobs_;
    Statement loadJob_;
    Statement sameGame_;
    Statement finish_;
    Statement dropJob_;
    Statement verifiedReplay_;
    const std::size_t maxStored_;
    mutable std::mutex mutex_;
    std::set<int64_t> claimed_; // jobs held by a worker of this process
};

} // namespace scoreserver
