// Results and spent tokens in a PostgreSQL database, shared by every server
// process that names it, on any machine. Tokens are signed under one key kept
// in the database, so any of the servers takes a token issued by another;
// spending one inserts it into the spent list in the same transaction that
// stores the result, so it is good exactly once whichever server it comes back
// to. The connection is used by the store thread alone.
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

  private:
    struct Finisher {
        void operator()(pg_conn* connection) const;
    };
    using Link = std::unique_ptr<pg_conn, Finisher>;
    pg_conn* Connection();
    void Prepare(pg_conn* connection);
    TokenStore::Key SharedKey(pg_conn* connection);
    void PruneResults(pg_conn* connection, std::size_t added);
    void DropExpiredTokens(pg_conn* connection);

    const StoreSettings settings_;
    Link link_;
    std::optional<TokenStore> tokens_;
    std::chrono::steady_clock::time_point lastClean_{};
    std::chrono::steady_clock::time_point lastPrune_{};
    std::size_t addedSincePrune_ = 0; // results stored since the last prune
};

// The address with any password taken out, for messages.
std::string ShownAddress(const std::string& address);

} // namespace scoreserver
