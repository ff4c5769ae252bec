#include "ScoreStore.h"

#include "PostgresScoreStore.h"
#include "TokenStore.h"

namespace scoreserver {
namespace {

// One worker's view of the jobs of the SQLite file: the jobs it holds are noted
// in this process, the only one using the file.
class SqliteJobSource : public JobSource {
  public:
    explicit SqliteJobSource(ScoreDatabase& database) : database_(database) {}
    ~SqliteJobSource() override { Release(); }

    std::optional<VerifyJob> Claim() override {
        Release();
        auto job = database_.ClaimJob();
        if (job) held_ = job->ResultId;
        return job;
    }
    bool Finish(const VerifyJob& job, const JobOutcome& outcome) override {
        held_.reset();
        return database_.FinishJob(job, outcome);
    }
    void Release() override {
        if (held_) database_.ReleaseJob(*held_);
        held_.reset();
    }

  private:
    ScoreDatabase& database_;
    std::optional<int64_t> held_;
};

// One server process: results in the SQLite file, tokens in memory.
class SqliteScoreStore : public ScoreStore {
  public:
    explicit SqliteScoreStore(const StoreSettings& settings)
        : database_(settings.Address, settings.MaxStoredResults, settings.WaitForDisk,
                    settings.RequireVerified),
          tokens_(settings.TokenCapacity, settings.TokenLifetime), lifetime_(settings.TokenLifetime),
          maxQueued_(settings.MaxQueuedJobs) {}

    std::string IssueToken() override { return tokens_.Issue(TokenStore::Clock::now()); }

    std::vector<bool> StoreResults(const std::vector<SubmittedResult>& results,
                                   int64_t submittedAt) override {
        std::vector<bool> stored;
        std::vector<StoredResult> rows;
        for (const SubmittedResult& result : results) {
            stored.push_back(tokens_.Consume(result.Token, TokenStore::Clock::now()));
            if (stored.back())
                rows.push_back(
                    StoredResult{result.Name, result.Score, result.Country, submittedAt, result.Token});
        }
        database_.AddAll(rows);
        return stored;
    }

    std::vector<StoredResult> Best(std::size_t limit) override { return database_.Best(limit); }
    std::chrono::seconds TokenLifetime() const override { return lifetime_; }

    UploadOutcome AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                               int64_t uploadedMs) override {
        if (!UploadInTime(token, lifetime_, uploadedMs)) return UploadOutcome::TooLate;
        return database_.AttachReplay(token, replay, uploadedMs, maxQueued_);
    }
    std::optional<std::vector<uint8_t>> VerifiedReplay(int64_t resultId) override {
        return database_.VerifiedReplay(resultId);
    }
    std::unique_ptr<JobSource> OpenJobSource() override {
        return std::make_unique<SqliteJobSource>(database_);
    }

  private:
    ScoreDatabase database_;
    TokenStore tokens_;
    const std::chrono::seconds lifetime_;
    const std::size_t maxQueued_;
};

} // namespace

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::Verified:
        return "verified";
    case Verdict::Pending:
        return "pending";
    case Verdict::Unverified:
        return "unverified";
    case Verdict::Refused:
        return "refused";
    }
    return "unknown";
}

bool UploadInTime(const std::string& token, std::chrono::seconds lifetime, int64_t uploadedMs) {
    const auto issued = TokenStore::IssuedMs(token);
    const int64_t lifetimeMs = std::chrono::duration_cast<std::chrono::milliseconds>(lifetime).count();
    return issued && uploadedMs <= *issued + lifetimeMs + UploadSlackMs;
}

bool IsPostgresAddress(const std::string& address) {
    return address.starts_with("postgresql://") || address.starts_with("postgres://");
}

std::unique_ptr<ScoreStore> OpenScoreStore(const StoreSettings& settings) {
    if (IsPostgresAddress(settings.Address)) return std::make_unique<PostgresScoreStore>(settings);
    return std::make_unique<SqliteScoreStore>(settings);
}

} // namespace scoreserver
