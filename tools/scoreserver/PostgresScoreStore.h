// Results and tokens in a PostgreSQL database, shared by every server process
// that names it, on any machine. A token is one row: issuing inserts it,
// spending deletes it in the same transaction that stores the result, so it
// is good exactly once whichever server it comes back to. Tokens and results
// have a connection each, so issuing a token never waits behind the disk
// flush of a result commit; each connection is used by one thread at a time.
#pragma once

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ScoreStore.h"

struct pg_conn;

namespace scoreserver {

class PostgresScoreStore : public ScoreStore {
  public:
    // Connects and creates the tables when missing; throws DatabaseError when it cannot.
    explicit PostgresScoreStore(const StoreSettings& settings);
    ~PostgresScoreStore() override;

    std::vector<std::string> IssueTokens(std::size_t count) override;
    std::vector<bool> StoreResults(const std::vector<SubmittedResult>& results, int64_t submittedAt) override;
    std::vector<StoredResult> Best(std::size_t limit) override;
    std::chrono::seconds TokenLifetime() const override { return settings_.TokenLifetime; }

  private:
    struct Finisher {
        void operator()(pg_conn* connection) const;
    };
    using Link = std::unique_ptr<pg_conn, Finisher>;
    pg_conn* Connection(Link& link, bool forTokens);
    void Prepare(pg_conn* connection);
    void TrimTokens(pg_conn* connection);
    void PruneResults(pg_conn* connection);

    const StoreSettings settings_;
    Link tokenLink_;
    Link resultLink_;
    std::random_device random_;
    std::chrono::steady_clock::time_point lastTrim_{};
    std::chrono::steady_clock::time_point lastPrune_{};
};

// The address with any password taken out, for messages.
std::string ShownAddress(const std::string& address);

} // namespace scoreserver
