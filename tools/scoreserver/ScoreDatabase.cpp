#include "ScoreDatabase.h"

#include <sqlite3.h>

namespace scoreserver {
namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw DatabaseError(std::string("cannot prepare a statement: ") + sqlite3_errmsg(db));
    }
    return Statement(statement);
}

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

constexpr const char* CreateSchema =
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

ScoreDatabase::ScoreDatabase(const std::string& path, std::size_t maxStored) : maxStored_(maxStored) {
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw); // a handle comes back even on failure and must be closed
    if (code != SQLITE_OK)
        throw DatabaseError("cannot open score database " + path + ": " +
                            (raw ? sqlite3_errmsg(raw) : "out of memory"));
    sqlite3_busy_timeout(db_.get(), 2000);
    try {
        Execute(CreateSchema);
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

void ScoreDatabase::Add(const StoredResult& result) {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    Statement insert =
        Prepare(db, "INSERT INTO results (name, score, country, submitted_at) VALUES (?1, ?2, ?3, ?4)");
    BindText(db, insert.get(), 1, result.Name);
    Check(db, sqlite3_bind_int(insert.get(), 2, result.Score), "cannot bind a value");
    BindText(db, insert.get(), 3, result.Country);
    Check(db, sqlite3_bind_int64(insert.get(), 4, result.SubmittedAt), "cannot bind a value");
    Check(db, sqlite3_step(insert.get()), "cannot store a result");

    // Keep the file bounded: drop everything below the best maxStored_.
    Statement prune = Prepare(db, "DELETE FROM results WHERE id IN"
                                  " (SELECT id FROM results ORDER BY score DESC, id ASC LIMIT -1 OFFSET ?1)");
    Check(db, sqlite3_bind_int64(prune.get(), 1, static_cast<sqlite3_int64>(maxStored_)),
          "cannot bind a value");
    Check(db, sqlite3_step(prune.get()), "cannot prune old results");
}

std::vector<StoredResult> ScoreDatabase::Best(std::size_t limit) const {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    Statement select = Prepare(
        db, "SELECT name, score, country, submitted_at FROM results ORDER BY score DESC, id ASC LIMIT ?1");
    Check(db, sqlite3_bind_int64(select.get(), 1, static_cast<sqlite3_int64>(limit)), "cannot bind a value");
    std::vector<StoredResult> rows;
    int code;
    while ((code = sqlite3_step(select.get())) == SQLITE_ROW) {
        rows.push_back(StoredResult{ColumnText(select.get(), 0), sqlite3_column_int(select.get(), 1),
                                    ColumnText(select.get(), 2), sqlite3_column_int64(select.get(), 3)});
    }
    Check(db, code, "cannot read results");
    return rows;
}

} // namespace scoreserver
