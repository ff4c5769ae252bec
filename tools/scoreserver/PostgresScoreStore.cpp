#include "PostgresScoreStore.h"

#include <libpq-fe.h>

#include <algorithm>
#include <array>

namespace scoreserver {
namespace {

// Expired spent tokens are cleared at most this often: cheap enough at any
// rate, and nothing is taken twice meanwhile.
constexpr auto CleanInterval = std::chrono::seconds(1);
constexpr std::size_t PruneAfterRows = 64;

// Any fixed number: servers starting together create the tables one at a time.
// A table "tokens" of earlier versions, which kept issued tokens, is left alone.
// A results table of an earlier server gains its columns first, so the table is
// locked once, wholly, rather than shared and then wholly (two servers doing
// that at once would wait for each other for ever).
constexpr const char* CreateSchema =
    "BEGIN;"
    "SELECT pg_advisory_xact_lock(7403917);"
    "CREATE TABLE IF NOT EXISTS results ("
    " id BIGSERIAL PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " country TEXT NOT NULL,"
    " submitted_at BIGINT NOT NULL);"
    "ALTER TABLE results ADD COLUMN IF NOT EXISTS token TEXT,"
    " ADD COLUMN IF NOT EXISTS verdict INTEGER NOT NULL DEFAULT 2,"
    " ADD COLUMN IF NOT EXISTS reason TEXT NOT NULL DEFAULT '',"
    " ADD COLUMN IF NOT EXISTS final_hash TEXT;"
    "CREATE INDEX IF NOT EXISTS results_by_rank ON results (score DESC, id ASC);"
    "CREATE INDEX IF NOT EXISTS results_by_verdict ON results (verdict, score DESC, id ASC);"
    "CREATE INDEX IF NOT EXISTS results_by_token ON results (token);"
    // One game is verified for one result at most, whichever server checked it.
    "CREATE UNIQUE INDEX IF NOT EXISTS results_one_verified_game ON results (final_hash) WHERE verdict = 0;"
    "CREATE TABLE IF NOT EXISTS spent_tokens ("
    " token TEXT PRIMARY KEY,"
    " expires_at TIMESTAMPTZ NOT NULL);"
    "CREATE INDEX IF NOT EXISTS spent_tokens_by_expiry ON spent_tokens (expires_at);"
    "CREATE TABLE IF NOT EXISTS token_key ("
    " id INTEGER PRIMARY KEY CHECK (id = 1),"
    " key TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS replays ("
    " result_id BIGINT PRIMARY KEY REFERENCES results (id) ON DELETE CASCADE,"
    " bytes BYTEA NOT NULL,"
    " uploaded_ms BIGINT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS verify_jobs ("
    " result_id BIGINT PRIMARY KEY REFERENCES results (id) ON DELETE CASCADE);"
    "COMMIT;";

// Whether the tables are as CreateSchema leaves them: then a connection (a new
// server's, a worker's, one made again) changes nothing and locks nothing.
constexpr const char* SchemaIsCurrent =
    "SELECT to_regclass('verify_jobs') IS NOT NULL AND to_regclass('results_one_verified_game') IS NOT NULL"
    " AND to_regclass('spent_tokens_by_expiry') IS NOT NULL AND to_regclass('token_key') IS NOT NULL";

// A worker holds its job's row lock while the verifier runs, so a worker that
// dies lets go of it with its connection; one that hangs is cut off after this.
constexpr const char* HoldLimit = "SET idle_in_transaction_session_timeout = 600000";

struct Statement {
    const char* Name;
    const char* Sql;
};
// Times come from the database's clock, the same for every server. A spent
// token is remembered a whole lifetime from its spending, past its expiry.
constexpr std::array<Statement, 17> Statements = {{
    {"offer_key", "INSERT INTO token_key (id, key) VALUES (1, $1) ON CONFLICT (id) DO NOTHING"},
    {"key", "SELECT key FROM token_key WHERE id = 1"},
    {"spend_and_store", "WITH spent AS (INSERT INTO spent_tokens (token, expires_at)"
                        " VALUES ($1, now() + make_interval(secs => $2)) ON CONFLICT (token) DO NOTHING"
                        " RETURNING 1)"
                        " INSERT INTO results (name, score, country, submitted_at, token)"
                        " SELECT $3, $4, $5, $6, $1 FROM spent"},
    {"drop_expired", "DELETE FROM spent_tokens WHERE expires_at <= now()"},
    // Verified results are kept first, refused ones go first.
    {"prune", "DELETE FROM results WHERE id IN"
              " (SELECT id FROM results ORDER BY verdict, score DESC, id ASC OFFSET $1)"},
    {"best", "SELECT name, score, country, submitted_at, id, verdict FROM results WHERE verdict <> 3"
             " ORDER BY score DESC, id ASC LIMIT $1"},
    {"best_verified", "SELECT name, score, country, submitted_at, id, verdict FROM results WHERE verdict = 0"
                      " ORDER BY verdict, score DESC, id ASC LIMIT $1"},
    // Locked, so two servers taking two uploads for one result at once store one.
    {"find_by_token", "SELECT id, verdict FROM results WHERE token = $1 FOR UPDATE"},
    {"count_jobs", "SELECT count(*) FROM verify_jobs"},
    {"add_replay", "INSERT INTO replays (result_id, bytes, uploaded_ms) VALUES ($1, $2, $3)"},
    {"add_job", "INSERT INTO verify_jobs (result_id) VALUES ($1)"},
    {"mark_pending", "UPDATE results SET verdict = 1 WHERE id = $1"},
    // The oldest job that no other worker holds, anywhere.
    {"claim", "SELECT j.result_id, r.score, r.token, p.bytes, p.uploaded_ms, r.name FROM verify_jobs j"
              " JOIN results r ON r.id = j.result_id JOIN replays p ON p.result_id = j.result_id"
              " ORDER BY j.result_id LIMIT 1 FOR UPDATE OF j SKIP LOCKED"},
    {"same_game", "SELECT id FROM results WHERE final_hash = $1 AND verdict = 0 AND id <> $2"},
    {"finish", "UPDATE results SET verdict = $2, reason = $3, final_hash = $4 WHERE id = $1"},
    {"drop_job", "DELETE FROM verify_jobs WHERE result_id = $1"},
    {"verified_replay", "SELECT p.bytes FROM replays p JOIN results r ON r.id = p.result_id"
                        " WHERE p.result_id = $1 AND r.verdict = 0"},
}};

struct Clearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, Clearer>;

Result Check(pg_conn* connection, PGresult* raw, const char* what) {
    Result result(raw);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw DatabaseError(std::string(what) + ": " + PQerrorMessage(connection));
    return result;
}

void Run(pg_conn* connection, const char* sql, const char* what) {
    Check(connection, PQexec(connection, sql), what);
}

// Values are text, but for those marked binary (bytes such as a replay).
Result RunPrepared(pg_conn* connection, const char* name, const std::vector<std::string>& values,
                   const char* what, const std::vector<bool>& binary = {}) {
    std::vector<const char*> pointers;
    std::vector<int> lengths, formats;
    for (std::size_t i = 0; i < values.size(); ++i) {
        pointers.push_back(values[i].data());
        lengths.push_back(static_cast<int>(values[i].size()));
        formats.push_back(i < binary.size() && binary[i] ? 1 : 0);
    }
    return Check(connection,
                 PQexecPrepared(connection, name, static_cast<int>(pointers.size()), pointers.data(),
                                lengths.data(), formats.data(), 0),
                 what);
}

std::string Text(const PGresult* rows, int row, int column) {
    return std::string(PQgetvalue(rows, row, column),
                       static_cast<std::size_t>(PQgetlength(rows, row, column)));
}

// A bytea column as the text protocol sends it ("\\x" and hexadecimal digits).
std::vector<uint8_t> Bytes(const PGresult* rows, int row, int column) {
    std::size_t length = 0;
    unsigned char* raw =
        PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(rows, row, column)), &length);
    if (!raw) throw DatabaseError("cannot read a replay: out of memory");
    std::vector<uint8_t> bytes(raw, raw + length);
    PQfreemem(raw);
    return bytes;
}

void Prepare(pg_conn* connection) {
    for (const Statement& statement : Statements)
        Check(connection, PQprepare(connection, statement.Name, statement.Sql, 0, nullptr),
              "cannot prepare a statement");
}

// Leaves a failed transaction so the connection can be used again.
struct RollbackUnlessDone {
    pg_conn* Connection;
    bool Done = false;
    ~RollbackUnlessDone() {
        if (!Done) PQclear(PQexec(Connection, "ROLLBACK"));
    }
};

// A connection with its time limits, the tables made and the statements prepared; throws
// DatabaseError when it cannot.
PostgresLink Connect(const std::string& address) {
    // The address comes last so anything it says wins over these defaults.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "vantorix-scoreserver", address.c_str(), nullptr};
    PostgresLink link(PQconnectdbParams(keywords, values, 1));
    if (!link || PQstatus(link.get()) != CONNECTION_OK)
        throw DatabaseError("cannot connect: " +
                            std::string(link ? PQerrorMessage(link.get()) : "out of memory"));
    pg_conn* connection = link.get();
    // A stuck statement must not hold a stopping server for long; notices
    // ("table exists") are not worth a line of the log.
    Run(connection,
        "SET statement_timeout = 5000; SET lock_timeout = 3000; SET client_min_messages = warning",
        "cannot set time limits");
    const Result current(PQexec(connection, SchemaIsCurrent));
    if (PQresultStatus(current.get()) != PGRES_TUPLES_OK ||
        std::string_view(PQgetvalue(current.get(), 0, 0)) != "t")
        Run(connection, CreateSchema, "cannot create the tables");
    Prepare(connection);
    return link;
}

bool Live(const PostgresLink& link) {
    return link && PQstatus(link.get()) == CONNECTION_OK;
}

// One verifier worker's jobs, on its own connection: a job is claimed by locking
// its row, held while the verifier runs, and finished in the same transaction.
class PostgresJobSource : public JobSource {
  public:
    explicit PostgresJobSource(std::string address) : address_(std::move(address)) {}
    ~PostgresJobSource() override { Release(); }

    std::optional<VerifyJob> Claim() override {
        Release();
        if (!Live(link_)) {
            link_ = Connect(address_);
            Run(link_.get(), HoldLimit, "cannot set time limits");
        }
        pg_conn* connection = link_.get();
        Run(connection, "BEGIN", "cannot begin");
        holding_ = true;
        const Result rows = RunPrepared(connection, "claim", {}, "cannot claim a job");
        if (PQntuples(rows.get()) != 1) {
            Release();
            return std::nullopt;
        }
        return VerifyJob{std::stoll(Text(rows.get(), 0, 0)),
                         static_cast<int32_t>(std::stol(Text(rows.get(), 0, 1))),
                         Text(rows.get(), 0, 5),
                         Text(rows.get(), 0, 2),
                         std::stoll(Text(rows.get(), 0, 4)),
                         Bytes(rows.get(), 0, 3)};
    }

    bool Finish(const VerifyJob& job, const JobOutcome& outcome) override {
        if (!holding_) return false;
        pg_conn* connection = link_.get();
        RollbackUnlessDone guard{connection};
        holding_ = false;
        JobOutcome kept = outcome;
        const std::string id = std::to_string(job.ResultId);
        if (kept.Result == Verdict::Verified &&
            PQntuples(RunPrepared(connection, "same_game", {kept.FinalHash, id}, "cannot look for the game")
                          .get()) > 0)
            kept = {Verdict::Refused, "the same game was verified for another result", kept.FinalHash};
        const std::string verdict = std::to_string(static_cast<int>(kept.Result));
        const char* values[] = {id.c_str(), verdict.c_str(), kept.Reason.c_str(),
                                kept.FinalHash.empty() ? nullptr : kept.FinalHash.c_str()};
        Check(connection, PQexecPrepared(connection, "finish", 4, values, nullptr, nullptr, 0),
              "cannot record a check");
        RunPrepared(connection, "drop_job", {id}, "cannot drop a job");
        Run(connection, "COMMIT", "cannot record a check");
        guard.Done = true;
        return true;
    }

    void Release() override {
        if (holding_ && Live(link_)) PQclear(PQexec(link_.get(), "ROLLBACK"));
        holding_ = false;
    }

  private:
    const std::string address_;
    PostgresLink link_;
    bool holding_ = false;
};

} // namespace

void PostgresFinisher::operator()(pg_conn* connection) const {
    PQfinish(connection);
}

std::string ShownAddress(const std::string& address) {
    const std::size_t scheme = address.find("://");
    const std::size_t at = address.find('@');
    if (scheme == std::string::npos || at == std::string::npos) return address;
    const std::size_t colon = address.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return address;
    return address.substr(0, colon) + ":***" + address.substr(at);
}

PostgresScoreStore::PostgresScoreStore(const StoreSettings& settings) : settings_(settings) {
    try {
        // Only its signing and checking is used: the spent ones are listed in the database.
        tokens_.emplace(1, settings.TokenLifetime, SharedKey(Connection()));
    } catch (const DatabaseError& error) {
        throw DatabaseError("cannot use score database " + ShownAddress(settings.Address) + ": " +
                            error.what());
    }
}

PostgresScoreStore::~PostgresScoreStore() = default;

// The live connection, made or made again when needed: a database restart
// costs the requests of that moment, not the server.
pg_conn* PostgresScoreStore::Connection() {
    if (!Live(link_)) {
        link_.reset();
        link_ = Connect(settings_.Address);
    }
    return link_.get();
}

// The first server to start offers its random key; every server then uses
// the one that was kept.
TokenStore::Key PostgresScoreStore::SharedKey(pg_conn* connection) {
    RunPrepared(connection, "offer_key", {TokenStore::KeyText(TokenStore::RandomKey())},
                "cannot offer a token key");
    const Result kept = RunPrepared(connection, "key", {}, "cannot read the token key");
    const auto key =
        PQntuples(kept.get()) == 1 ? TokenStore::ReadKey(PQgetvalue(kept.get(), 0, 0)) : std::nullopt;
    if (!key) throw DatabaseError("the token key in table token_key is not 32 hexadecimal digits");
    return *key;
}

std::string PostgresScoreStore::IssueToken() {
    return tokens_->Issue(TokenStore::Clock::now());
}

std::vector<bool> PostgresScoreStore::StoreResults(const std::vector<SubmittedResult>& results,
                                                   int64_t submittedAt) {
    pg_conn* connection = Connection();
    Run(connection, "BEGIN", "cannot begin");
    RollbackUnlessDone guard{connection};
    std::vector<bool> stored;
    const std::string lifetime = std::to_string(settings_.TokenLifetime.count());
    for (const SubmittedResult& result : results) {
        // A token this key did not sign, or an expired one, costs no statement.
        if (!tokens_->Check(result.Token, TokenStore::Clock::now())) {
            stored.push_back(false);
            continue;
        }
        const Result inserted =
            RunPrepared(connection, "spend_and_store",
                        {result.Token, lifetime, result.Name, std::to_string(result.Score), result.Country,
                         std::to_string(submittedAt)},
                        "cannot store a result");
        stored.push_back(std::string_view(PQcmdTuples(inserted.get())) == "1");
    }
    PruneResults(connection, static_cast<std::size_t>(std::count(stored.begin(), stored.end(), true)));
    DropExpiredTokens(connection);
    Run(connection, "COMMIT", "cannot store results");
    guard.Done = true;
    return stored;
}

// Results below the kept ones are deleted once this server has added
// PruneAfterRows since the last time, or a second has passed: each time costs a
// walk over all the kept ones, and the table holds at most that many more.
void PostgresScoreStore::PruneResults(pg_conn* connection, std::size_t added) {
    addedSincePrune_ += added;
    const auto now = std::chrono::steady_clock::now();
    if (addedSincePrune_ == 0 || (addedSincePrune_ < PruneAfterRows && now - lastPrune_ < CleanInterval))
        return;
    RunPrepared(connection, "prune", {std::to_string(settings_.MaxStoredResults)},
                "cannot prune old results");
    addedSincePrune_ = 0;
    lastPrune_ = now;
}

void PostgresScoreStore::DropExpiredTokens(pg_conn* connection) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastClean_ < CleanInterval) return;
    lastClean_ = now;
    RunPrepared(connection, "drop_expired", {}, "cannot drop expired tokens");
}

std::vector<StoredResult> PostgresScoreStore::Best(std::size_t limit) {
    pg_conn* connection = Connection();
    const Result rows = RunPrepared(connection, settings_.RequireVerified ? "best_verified" : "best",
                                    {std::to_string(limit)}, "cannot read results");
    std::vector<StoredResult> best;
    for (int row = 0; row < PQntuples(rows.get()); ++row) {
        auto text = [&](int column) { return Text(rows.get(), row, column); };
        best.push_back(StoredResult{text(0), static_cast<int32_t>(std::stol(text(1))), text(2),
                                    static_cast<int64_t>(std::stoll(text(3))), "", std::stoll(text(4)),
                                    static_cast<Verdict>(std::stoi(text(5)))});
    }
    return best;
}

UploadOutcome PostgresScoreStore::AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                                               int64_t uploadedMs) {
    if (!UploadInTime(token, settings_.TokenLifetime, uploadedMs)) return UploadOutcome::TooLate;
    pg_conn* connection = Connection();
    Run(connection, "BEGIN", "cannot begin");
    RollbackUnlessDone guard{connection};
    const Result found = RunPrepared(connection, "find_by_token", {token}, "cannot find a result");
    if (PQntuples(found.get()) != 1) return UploadOutcome::UnknownToken;
    if (std::stoi(Text(found.get(), 0, 1)) != static_cast<int>(Verdict::Unverified))
        return UploadOutcome::AlreadyUploaded;
    const Result jobs = RunPrepared(connection, "count_jobs", {}, "cannot count the waiting replays");
    if (std::stoull(Text(jobs.get(), 0, 0)) >= settings_.MaxQueuedJobs) return UploadOutcome::QueueFull;
    const std::string id = Text(found.get(), 0, 0);
    RunPrepared(connection, "add_replay",
                {id, std::string(replay.begin(), replay.end()), std::to_string(uploadedMs)},
                "cannot store a replay", {false, true, false});
    RunPrepared(connection, "add_job", {id}, "cannot queue a replay");
    RunPrepared(connection, "mark_pending", {id}, "cannot mark a result");
    Run(connection, "COMMIT", "cannot store a replay");
    guard.Done = true;
    return UploadOutcome::Queued;
}

std::optional<std::vector<uint8_t>> PostgresScoreStore::VerifiedReplay(int64_t resultId) {
    const Result rows =
        RunPrepared(Connection(), "verified_replay", {std::to_string(resultId)}, "cannot read a replay");
    if (PQntuples(rows.get()) != 1) return std::nullopt;
    return Bytes(rows.get(), 0, 0);
}

std::unique_ptr<JobSource> PostgresScoreStore::OpenJobSource() {
    return std::make_unique<PostgresJobSource>(settings_.Address);
}

} // namespace scoreserver
