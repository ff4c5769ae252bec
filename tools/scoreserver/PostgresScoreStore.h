// Results and spent tokens in a PostgreSQL database, shared by every server
// process that names it, on any machine. Tokens are signed under one key kept
// in the database, so any of the servers takes a token issued by another;
// spending one inserts it into the spent list in the same transaction that
// stores the result, so it is good exactly once whichever server it comes back
// to. The connection is used by the store thread alone; each verifier worker
// has one of its own.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ScoreStore.h"
#include "TokenStore.h"

struct pg_conn;

namespace scoreserver {

struct PostgresFinisher {
    void operator()(pg_conn* connection) const;
};
using PostgresLink = std::unique_ptr<pg_conn, PostgresFinisher>;

class PostgresScoreStore : public ScoreStore {
  public:
    // Connects, creates the tables when missing and reads the token key (made
    // by the first server); throws DatabaseError when it cannot.
    explicit PostgresScoreStore(const StoreSettings& settings);
    ~PostgresScoreStore() override;

    std::string IssueToken() override;
    std::vector<bool> StoreResults(const std::vector<SubmittedResult>& results, int64_t submittedAt) override;
    std::vector<StoredResult> Best(std::size_t limit) override;
    std::chrono::seconds TokenLifetime() const override { return settings_.TokenLifetime; }
    UploadOutcome AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                               int64_t uploadedMs) override;
    std::optional<std::vector<uint8_t>> VerifiedReplay(int64_t resultId) override;
    std::unique_ptr<JobSource> OpenJobSource() override;

  private:
    pg_conn* Connection();
    TokenStore::Key SharedKey(pg_conn* connection);
    void PruneResults(pg_conn* connection, std::size_t added);
    void DropExpiredTokens(pg_conn* connection);

    const StoreSettings settings_;
    PostgresLink link_;
    std::optional<TokenStore> tokens_;
    std::chrono::steady_clock::time_point lastClean_{};
    std::chrono::steady_clock::time_point lastPrune_{};
    std::size_t addedSincePrune_ = 0; // results stored since the last prune
};

// The address with any password taken out, for messages.
std::string ShownAddress(const std::string& address);

} // namespace scoreserver
