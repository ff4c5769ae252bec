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
constexpr const char* CreateSchema =
    "BEGIN;"
    "SELECT pg_advisory_xact_lock(7403917);"
    "CREATE TABLE IF NOT EXISTS results ("
    " id BIGSERIAL PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " country TEXT NOT NULL,"
    " submitted_at BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_rank ON results (score DESC, id ASC);"
    "CREATE TABLE IF NOT EXISTS spent_tokens ("
    " token TEXT PRIMARY KEY,"
    " expires_at TIMESTAMPTZ NOT NULL);"
    "CREATE INDEX IF NOT EXISTS spent_tokens_by_expiry ON spent_tokens (expires_at);"
    "CREATE TABLE IF NOT EXISTS token_key ("
    " id INTEGER PRIMARY KEY CHECK (id = 1),"
    " key TEXT NOT NULL);"
    "COMMIT;";

struct Statement {
    const char* Name;
    const char* Sql;
};
// Times come from the database's clock, the same for every server. A spent
// token is remembered a whole lifetime from its spending, past its expiry.
constexpr std::array<Statement, 6> Statements = {{
    {"offer_key", "INSERT INTO token_key (id, key) VALUES (1, $1) ON CONFLICT (id) DO NOTHING"},
    {"key", "SELECT key FROM token_key WHERE id = 1"},
    {"spend_and_store", "WITH spent AS (INSERT INTO spent_tokens (token, expires_at)"
                        " VALUES ($1, now() + make_interval(secs => $2)) ON CONFLICT (token) DO NOTHING"
                        " RETURNING 1)"
                        " INSERT INTO results (name, score, country, submitted_at)"
                        " SELECT $3, $4, $5, $6 FROM spent"},
    {"drop_expired", "DELETE FROM spent_tokens WHERE expires_at <= now()"},
    {"prune", "DELETE FROM results WHERE id IN"
              " (SELECT id FROM results ORDER BY score DESC, id ASC OFFSET $1)"},
    {"best", "SELECT name, score, country, submitted_at FROM results ORDER BY score DESC, id ASC LIMIT $1"},
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

Result RunPrepared(pg_conn* connection, const char* name, const std::vector<std::string>& values,
                   const char* what) {
    std::vector<const char*> pointers;
    for (const std::string& value : values)
        pointers.push_back(value.c_str());
    return Check(connection,
                 PQexecPrepared(connection, name, static_cast<int>(pointers.size()), pointers.data(), nullptr,
                                nullptr, 0),
                 what);
}

// Leaves a failed transaction so the connection can be used again.
struct RollbackUnlessDone {
    pg_conn* Connection;
    bool Done = false;
    ~RollbackUnlessDone() {
        if (!Done) PQclear(PQexec(Connection, "ROLLBACK"));
    }
};

} // namespace

std::string ShownAddress(const std::string& address) {
    const std::size_t scheme = address.find("://");
    const std::size_t at = address.find('@');
    if (scheme == std::string::npos || at == std::string::npos) return address;
    const std::size_t colon = address.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return address;
    return address.substr(0, colon) + ":***" + address.substr(at);
}

void PostgresScoreStore::Finisher::operator()(pg_conn* connection) const {
    PQfinish(connection);
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
    if (link_ && PQstatus(link_.get()) == CONNECTION_OK) return link_.get();
    // The address comes last so anything it says wins over these defaults.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "vantorix-scoreserver", settings_.Address.c_str(), nullptr};
    link_.reset(PQconnectdbParams(keywords, values, 1));
    if (!link_ || PQstatus(link_.get()) != CONNECTION_OK) {
        const std::string message = link_ ? PQerrorMessage(link_.get()) : "out of memory";
        link_.reset();
        throw DatabaseError("cannot connect: " + message);
    }
    pg_conn* connection = link_.get();
    // A stuck statement must not hold a stopping server for long; notices
    // ("table exists") are not worth a line of the log.
    Run(connection,
        "SET statement_timeout = 5000; SET lock_timeout = 3000; SET client_min_messages = warning",
        "cannot set time limits");
    Run(connection, CreateSchema, "cannot create the tables");
    Prepare(connection);
    return connection;
}

void PostgresScoreStore::Prepare(pg_conn* connection) {
    for (const Statement& statement : Statements)
        Check(connection, PQprepare(connection, statement.Name, statement.Sql, 0, nullptr),
              "cannot prepare a statement");
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
    const Result rows = RunPrepared(connection, "best", {std::to_string(limit)}, "cannot read results");
    std::vector<StoredResult> best;
    for (int row = 0; row < PQntuples(rows.get()); ++row) {
        auto text = [&](int column) {
            return std::string(PQgetvalue(rows.get(), row, column),
                               static_cast<std::size_t>(PQgetlength(rows.get(), row, column)));
        };
        best.push_back(StoredResult{text(0), static_cast<int32_t>(std::stol(text(1))), text(2),
                                    static_cast<int64_t>(std::stoll(text(3)))});
    }
    return best;
}

} // namespace scoreserver
