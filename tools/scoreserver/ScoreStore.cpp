#include "ScoreStore.h"

#include "PostgresScoreStore.h"
#include "TokenStore.h"

namespace scoreserver {
namespace {

// One server process: results in the SQLite file, tokens in memory.
class SqliteScoreStore : public ScoreStore {
  public:
    explicit SqliteScoreStore(const StoreSettings& settings)
        : database_(settings.Address, settings.MaxStoredResults, settings.WaitForDisk),
          tokens_(settings.TokenCapacity, settings.TokenLifetime), lifetime_(settings.TokenLifetime) {}

    std::string IssueToken() override { return tokens_.Issue(TokenStore::Clock::now()); }

    std::vector<bool> StoreResults(const std::vector<SubmittedResult>& results,
                                   int64_t submittedAt) override {
        std::vector<bool> stored;
        std::vector<StoredResult> rows;
        for (const SubmittedResult& result : results) {
            stored.push_back(tokens_.Consume(result.Token, TokenStore::Clock::now()));
            if (stored.back())
                rows.push_back(StoredResult{result.Name, result.Score, result.Country, submittedAt});
        }
        database_.AddAll(rows);
        return stored;
    }

    std::vector<StoredResult> Best(std::size_t limit) override { return database_.Best(limit); }
    std::chrono::seconds TokenLifetime() const override { return lifetime_; }

  private:
    ScoreDatabase database_;
    TokenStore tokens_;
    const std::chrono::seconds lifetime_;
};

} // namespace

bool IsPostgresAddress(const std::string& address) {
    return address.starts_with("postgresql://") || address.starts_with("postgres://");
}

std::unique_ptr<ScoreStore> OpenScoreStore(const StoreSettings& settings) {
    if (IsPostgresAddress(settings.Address)) return std::make_unique<PostgresScoreStore>(settings);
    return std::make_unique<SqliteScoreStore>(settings);
}

} // namespace scoreserver
