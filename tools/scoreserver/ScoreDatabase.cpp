#include "ScoreDatabase.h"

#include <sqlite3.h>

namespace scoreserver {
namespace {

void Check(sqlite3* db, int code, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(db));
}

void BindText(sqlite3* db, sqlite3_stmt* statement, int index, const std::string& text) {
    Check(db,
          sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT),
          "cannot bind a value");
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
}

// Resets a statement whatever happens, so the next use starts clean.
struct ResetOnExit {
    sqlite3_stmt* Statement;
    ~ResetOnExit() {
        sqlite3_reset(Statement);
        sqlite3_clear_bindings(Statement);
    }
};

// WAL lets the page be read while results are written, and makes a commit one
// append to the log.
constexpr const char* CreateSchema =
    "PRAGMA journal_mode = WAL;"
    "CREATE TABLE IF NOT EXISTS results ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " country TEXT NOT NULL,"
    " submitted_at INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_rank ON results (score DESC, id ASC);";

} // namespace

void ScoreDatabase::Closer::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

void ScoreDatabase::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

ScoreDatabase::ScoreDatabase(const std::string& path, std::size_t maxStored, bool waitForDisk)
    : maxStored_(maxStored) {
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw); // a handle comes back even on failure and must be closed
    if (code != SQLITE_OK)
        throw DatabaseError("cannot open score database " + path + ": " +
                            (raw ? sqlite3_errmsg(raw) : "out of memory"));
    sqlite3_busy_timeout(db_.get(), 2000);
    try {
        Execute(CreateSchema);
        Execute(waitForDisk ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL");
        insert_ = Prepare("INSERT INTO results (name, score, country, submitted_at) VALUES (?1, ?2, ?3, ?4)");
        // Keeps the file bounded: drops everything below the best maxStored_.
        prune_ = Prepare("DELETE FROM results WHERE id IN"
                         " (SELECT id FROM results ORDER BY score DESC, id ASC LIMIT -1 OFFSET ?1)");
        best_ = Prepare("SELECT name, score, country, submitted_at FROM results"
                        " ORDER BY score DESC, id ASC LIMIT ?1");
    } catch (const DatabaseError& error) {
        throw DatabaseError("cannot use score database " + path + ": " + error.what());
    }
}

void ScoreDatabase::Execute(const char* sql) const {
    char* message = nullptr;
    const int code = sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message);
    const std::string text = message ? message : sqlite3_errmsg(db_.get());
    sqlite3_free(message);
    if (code != SQLITE_OK) throw DatabaseError(text);
}

ScoreDatabase::Statement ScoreDatabase::Prepare(const char* sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw DatabaseError(std::string("cannot prepare a statement: ") + sqlite3_errmsg(db_.get()));
    }
    return Statement(statement);
}

void ScoreDatabase::AddAll(const std::vector<StoredResult>& results) {
    if (results.empty()) return;
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    Execute("BEGIN IMMEDIATE");
    try {
        for (const StoredResult& result : results) {
            ResetOnExit reset{insert_.get()};
            BindText(db, insert_.get(), 1, result.Name);
            Check(db, sqlite3_bind_int(insert_.get(), 2, result.Score), "cannot bind a value");
            BindText(db, insert_.get(), 3, result.Country);
            Check(db, sqlite3_bind_int64(insert_.get(), 4, result.SubmittedAt), "cannot bind a value");
            Check(db, sqlite3_step(insert_.get()), "cannot store a result");
        }
        ResetOnExit reset{prune_.get()};
        Check(db, sqlite3_bind_int64(prune_.get(), 1, static_cast<sqlite3_int64>(maxStored_)),
              "cannot bind a value");
        Check(db, sqlite3_step(prune_.get()), "cannot prune old results");
        Execute("COMMIT");
    } catch (const DatabaseError&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::vector<StoredResult> ScoreDatabase::Best(std::size_t limit) const {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    ResetOnExit reset{best_.get()};
    Check(db, sqlite3_bind_int64(best_.get(), 1, static_cast<sqlite3_int64>(limit)), "cannot bind a value");
    std::vector<StoredResult> rows;
    int code;
    while ((code = sqlite3_step(best_.get())) == SQLITE_ROW) {
        rows.push_back(StoredResult{ColumnText(best_.get(), 0), sqlite3_column_int(best_.get(), 1),
                                    ColumnText(best_.get(), 2), sqlite3_column_int64(best_.get(), 3)});
    }
    Check(db, code, "cannot read results");
    return rows;
}

} // namespace scoreserver
