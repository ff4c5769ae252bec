#include "PostgresScoreStore.h"

#include <libpq-fe.h>

#include <array>

namespace scoreserver {
namespace {

using Clock = std::chrono::steady_clock;

// Expired and surplus tokens, and results below the kept ones, are cleared at
// most this often: cheap enough at any rate, and nothing shows the surplus.
constexpr auto CleanInterval = std::chrono::seconds(1);

// Any fixed number: servers starting together create the tables one at a time.
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
    "CREATE TABLE IF NOT EXISTS tokens ("
    " token TEXT PRIMARY KEY,"
    " issued_at TIMESTAMPTZ NOT NULL DEFAULT now());"
    "CREATE INDEX IF NOT EXISTS tokens_by_age ON tokens (issued_at);"
    "COMMIT;";

struct Statement {
    const char* Name;
    const char* Sql;
};
// Times come from the database's clock, the same for every server.
constexpr std::array<Statement, 6> Statements = {{
    {"issue", "INSERT INTO tokens (token) SELECT unnest($1::text[])"},
    {"spend_and_store", "WITH spent AS (DELETE FROM tokens WHERE token = $1"
                        " AND issued_at > now() - make_interval(secs => $2) RETURNING 1)"
                        " INSERT INTO results (name, score, country, submitted_at)"
                        " SELECT $3, $4, $5, $6 FROM spent"},
    {"drop_expired", "DELETE FROM tokens WHERE issued_at <= now() - make_interval(secs => $1)"},
    {"drop_surplus", "DELETE FROM tokens WHERE token IN"
                     " (SELECT token FROM tokens ORDER BY issued_at DESC OFFSET $1)"},
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

// "{a,b,c}": the tokens are hexadecimal digits, so they need no quoting.
std::string TextArray(const std::vector<std::string>& items) {
    std::string array = "{";
    for (const std::string& item : items)
        array += (array.size() > 1 ? "," : "") + item;
    return array + "}";
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
        Connection(resultLink_, false);
        Connection(tokenLink_, true);
    } catch (const DatabaseError& error) {
        throw DatabaseError("cannot use score database " + ShownAddress(settings.Address) + ": " +
                            error.what());
    }
}

PostgresScoreStore::~PostgresScoreStore() = default;

// The live connection, made or made again when needed: a database restart
// costs the requests of that moment, not the server.
pg_conn* PostgresScoreStore::Connection(Link& link, bool forTokens) {
    if (link && PQstatus(link.get()) == CONNECTION_OK) return link.get();
    // The address comes last so anything it says wins over these defaults.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "vantorix-scoreserver", settings_.Address.c_str(), nullptr};
    link.reset(PQconnectdbParams(keywords, values, 1));
    if (!link || PQstatus(link.get()) != CONNECTION_OK) {
        const std::string message = link ? PQerrorMessage(link.get()) : "out of memory";
        link.reset();
        throw DatabaseError("cannot connect: " + message);
    }
    pg_conn* connection = link.get();
    // A stuck statement must not hold a stopping server for long; notices
    // ("table exists") are not worth a line of the log.
    Run(connection,
        "SET statement_timeout = 5000; SET lock_timeout = 3000; SET client_min_messages = warning",
        "cannot set time limits");
    // A token lost to a crash costs the player one retry, so its commit need
    // not wait for the disk; a result's does.
    if (forTokens) Run(connection, "SET synchronous_commit = off", "cannot set the commit mode");
    Run(connection, CreateSchema, "cannot create the tables");
    Prepare(connection);
    return connection;
}

void PostgresScoreStore::Prepare(pg_conn* connection) {
    for (const Statement& statement : Statements)
        Check(connection, PQprepare(connection, statement.Name, statement.Sql, 0, nullptr),
              "cannot prepare a statement");
}

std::vector<std::string> PostgresScoreStore::IssueTokens(std::size_t count) {
    constexpr std::string_view hex = "0123456789abcdef";
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < count; ++i) {
        std::string token;
        for (int word = 0; word < 4; ++word)
            for (uint32_t bits = random_(), digit = 0; digit < 8; ++digit, bits >>= 4)
                token.push_back(hex[bits & 15]);
        tokens.push_back(std::move(token));
    }
    pg_conn* connection = Connection(tokenLink_, true);
    TrimTokens(connection);
    RunPrepared(connection, "issue", {TextArray(tokens)}, "cannot issue tokens");
    return tokens;
}

void PostgresScoreStore::TrimTokens(pg_conn* connection) {
    const auto now = Clock::now();
    if (now - lastTrim_ < CleanInterval) return;
    lastTrim_ = now;
    RunPrepared(connection, "drop_expired", {std::to_string(settings_.TokenLifetime.count())},
                "cannot drop expired tokens");
    RunPrepared(connection, "drop_surplus", {std::to_string(settings_.TokenCapacity)},
                "cannot drop surplus tokens");
}

std::vector<bool> PostgresScoreStore::StoreResults(const std::vector<SubmittedResult>& results,
                                                   int64_t submittedAt) {
    pg_conn* connection = Connection(resultLink_, false);
    Run(connection, "BEGIN", "cannot begin");
    RollbackUnlessDone guard{connection};
    std::vector<bool> stored;
    const std::string lifetime = std::to_string(settings_.TokenLifetime.count());
    for (const SubmittedResult& result : results) {
        const Result inserted =
            RunPrepared(connection, "spend_and_store",
                        {result.Token, lifetime, result.Name, std::to_string(result.Score), result.Country,
                         std::to_string(submittedAt)},
                        "cannot store a result");
        stored.push_back(std::string_view(PQcmdTuples(inserted.get())) == "1");
    }
    PruneResults(connection);
    Run(connection, "COMMIT", "cannot store results");
    guard.Done = true;
    return stored;
}

void PostgresScoreStore::PruneResults(pg_conn* connection) {
    const auto now = Clock::now();
    if (now - lastPrune_ < CleanInterval) return;
    lastPrune_ = now;
    RunPrepared(connection, "prune", {std::to_string(settings_.MaxStoredResults)},
                "cannot prune old results");
}

std::vector<StoredResult> PostgresScoreStore::Best(std::size_t limit) {
    pg_conn* connection = Connection(resultLink_, false);
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
