#include "ScoreDatabase.h"

#include <sqlite3.h>

#include <array>
#include <utility>

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

void BindBlob(sqlite3* db, sqlite3_stmt* statement, int index, const std::vector<uint8_t>& bytes) {
    Check(db,
          sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT),
          "cannot bind a value");
}

std::vector<uint8_t> ColumnBlob(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement, column));
    return bytes ? std::vector<uint8_t>(bytes, bytes + sqlite3_column_bytes(statement, column))
                 : std::vector<uint8_t>();
}

void BindInt(sqlite3* db, sqlite3_stmt* statement, int index, int64_t value) {
    Check(db, sqlite3_bind_int64(statement, index, value), "cannot bind a value");
}

// WAL lets the page be read while results are written, and makes a commit one
// append to the log. Replays and jobs go with the result they belong to.
constexpr const char* CreateResults =
    "PRAGMA journal_mode = WAL;"
    "PRAGMA foreign_keys = ON;"
    "CREATE TABLE IF NOT EXISTS results ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " country TEXT NOT NULL,"
    " submitted_at INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_rank ON results (score DESC, id ASC);";

// The columns a file of an earlier server lacks.
constexpr std::array<std::pair<const char*, const char*>, 4> VerifyColumns = {{
    {"token", "ALTER TABLE results ADD COLUMN token TEXT"},
    {"verdict", "ALTER TABLE results ADD COLUMN verdict INTEGER NOT NULL DEFAULT 2"},
    {"reason", "ALTER TABLE results ADD COLUMN reason TEXT NOT NULL DEFAULT ''"},
    {"final_hash", "ALTER TABLE results ADD COLUMN final_hash TEXT"},
}};

// One game is verified for one result at most: a replay taken from the table
// and sent again under another name is refused.
constexpr const char* CreateVerifying =
    "CREATE INDEX IF NOT EXISTS results_by_verdict ON results (verdict, score DESC, id ASC);"
    "CREATE INDEX IF NOT EXISTS results_by_token ON results (token);"
    "CREATE UNIQUE INDEX IF NOT EXISTS results_one_verified_game ON results (final_hash) WHERE verdict = 0;"
    "CREATE TABLE IF NOT EXISTS replays ("
    " result_id INTEGER PRIMARY KEY REFERENCES results (id) ON DELETE CASCADE,"
    " bytes BLOB NOT NULL,"
    " uploaded_ms INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS verify_jobs ("
    " result_id INTEGER PRIMARY KEY REFERENCES results (id) ON DELETE CASCADE);";

} // namespace

void ScoreDatabase::Closer::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

void ScoreDatabase::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

ScoreDatabase::ScoreDatabase(const std::string& path, std::size_t maxStored, bool waitForDisk,
                             bool requireVerified)
    : maxStored_(maxStored) {
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw); // a handle comes back even on failure and must be closed
    if (code != SQLITE_OK)
        throw DatabaseError("cannot open score database " + path + ": " +
                            (raw ? sqlite3_errmsg(raw) : "out of memory"));
    sqlite3_busy_timeout(db_.get(), 2000);
    try {
        Execute(CreateResults);
        AddMissingColumns();
        Execute(CreateVerifying);
        Execute(waitForDisk ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL");
        insert_ = Prepare("INSERT INTO results (name, score, country, submitted_at, token)"
                          " VALUES (?1, ?2, ?3, ?4, ?5)");
        // Keeps the file bounded: drops everything past the best maxStored_, verified ones kept first.
        prune_ = Prepare("DELETE FROM results WHERE id IN"
                         " (SELECT id FROM results ORDER BY verdict, score DESC, id ASC LIMIT -1 OFFSET ?1)");
        best_ =
            Prepare(requireVerified ? "SELECT name, score, country, submitted_at, id, verdict FROM results"
                                      " WHERE verdict = 0 ORDER BY verdict, score DESC, id ASC LIMIT ?1"
                                    : "SELECT name, score, country, submitted_at, id, verdict FROM results"
                                      " WHERE verdict <> 3 ORDER BY score DESC, id ASC LIMIT ?1");
        findByToken_ = Prepare("SELECT id, verdict FROM results WHERE token = ?1");
        countJobs_ = Prepare("SELECT count(*) FROM verify_jobs");
        addReplay_ = Prepare("INSERT INTO replays (result_id, bytes, uploaded_ms) VALUES (?1, ?2, ?3)");
        addJob_ = Prepare("INSERT INTO verify_jobs (result_id) VALUES (?1)");
        markPending_ = Prepare("UPDATE results SET verdict = 1 WHERE id = ?1");
        waitingJobs_ = Prepare("SELECT result_id FROM verify_jobs ORDER BY result_id");
        loadJob_ = Prepare("SELECT r.score, r.token, p.bytes, p.uploaded_ms, r.name FROM results r"
                           " JOIN replays p ON p.result_id = r.id WHERE r.id = ?1");
        sameGame_ = Prepare("SELECT id FROM results WHERE final_hash = ?1 AND verdict = 0 AND id <> ?2");
        finish_ = Prepare("UPDATE results SET verdict = ?2, reason = ?3, final_hash = ?4 WHERE id = ?1");
        dropJob_ = Prepare("DELETE FROM verify_jobs WHERE result_id = ?1");
        verifiedReplay_ = Prepare("SELECT p.bytes FROM replays p JOIN results r ON r.id = p.result_id"
                                  " WHERE p.result_id = ?1 AND r.verdict = 0");
    } catch (const DatabaseError& error) {
        throw DatabaseError("cannot use score database " + path + ": " + error.what());
    }
}

void ScoreDatabase::AddMissingColumns() {
    const Statement columns = Prepare("SELECT name FROM pragma_table_info('results')");
    std::set<std::string> present;
    while (sqlite3_step(columns.get()) == SQLITE_ROW)
        present.insert(ColumnText(columns.get(), 0));
    for (const auto& [column, sql] : VerifyColumns)
        if (!present.contains(column)) Execute(sql);
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

// Runs work in one write transaction, under the lock; a failure rolls it back and is thrown on.
template <typename Work> void ScoreDatabase::InTransaction(Work work) {
    Execute("BEGIN IMMEDIATE");
    try {
        work(db_.get());
        Execute("COMMIT");
    } catch (const DatabaseError&) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void ScoreDatabase::AddAll(const std::vector<StoredResult>& results) {
    if (results.empty()) return;
    std::lock_guard lock(mutex_);
    InTransaction([&](sqlite3* db) {
        for (const StoredResult& result : results) {
            ResetOnExit reset{insert_.get()};
            BindText(db, insert_.get(), 1, result.Name);
            BindInt(db, insert_.get(), 2, result.Score);
            BindText(db, insert_.get(), 3, result.Country);
            BindInt(db, insert_.get(), 4, result.SubmittedAt);
            if (!result.Token.empty()) BindText(db, insert_.get(), 5, result.Token);
            Check(db, sqlite3_step(insert_.get()), "cannot store a result");
        }
        ResetOnExit reset{prune_.get()};
        BindInt(db, prune_.get(), 1, static_cast<int64_t>(maxStored_));
        Check(db, sqlite3_step(prune_.get()), "cannot prune old results");
    });
}

UploadOutcome ScoreDatabase::AttachReplay(const std::string& token, const std::vector<uint8_t>& replay,
                                          int64_t uploadedMs, std::size_t maxQueued) {
    std::lock_guard lock(mutex_);
    UploadOutcome outcome = UploadOutcome::Queued;
    InTransaction([&](sqlite3* db) {
        ResetOnExit resetFind{findByToken_.get()};
        BindText(db, findByToken_.get(), 1, token);
        if (sqlite3_step(findByToken_.get()) != SQLITE_ROW) {
            outcome = UploadOutcome::UnknownToken;
            return;
        }
        const int64_t id = sqlite3_column_int64(findByToken_.get(), 0);
        if (sqlite3_column_int(findByToken_.get(), 1) != static_cast<int>(Verdict::Unverified)) {
            outcome = UploadOutcome::AlreadyUploaded;
            return;
        }
        ResetOnExit resetCount{countJobs_.get()};
        Check(db, sqlite3_step(countJobs_.get()), "cannot count the waiting replays");
        if (static_cast<std::size_t>(sqlite3_column_int64(countJobs_.get(), 0)) >= maxQueued) {
            outcome = UploadOutcome::QueueFull;
            return;
        }
        ResetOnExit resetReplay{addReplay_.get()}, resetJob{addJob_.get()}, resetMark{markPending_.get()};
        BindInt(db, addReplay_.get(), 1, id);
        BindBlob(db, addReplay_.get(), 2, replay);
        BindInt(db, addReplay_.get(), 3, uploadedMs);
        Check(db, sqlite3_step(addReplay_.get()), "cannot store a replay");
        BindInt(db, addJob_.get(), 1, id);
        Check(db, sqlite3_step(addJob_.get()), "cannot queue a replay");
        BindInt(db, markPending_.get(), 1, id);
        Check(db, sqlite3_step(markPending_.get()), "cannot mark a result");
    });
    return outcome;
}

std::optional<std::vector<uint8_t>> ScoreDatabase::VerifiedReplay(int64_t resultId) const {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    ResetOnExit reset{verifiedReplay_.get()};
    BindInt(db, verifiedReplay_.get(), 1, resultId);
    const int code = sqlite3_step(verifiedReplay_.get());
    Check(db, code, "cannot read a replay");
    if (code != SQLITE_ROW) return std::nullopt;
    return ColumnBlob(verifiedReplay_.get(), 0);
}

std::optional<VerifyJob> ScoreDatabase::ClaimJob() {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    std::optional<int64_t> free;
    {
        ResetOnExit reset{waitingJobs_.get()};
        int code;
        while (!free && (code = sqlite3_step(waitingJobs_.get())) == SQLITE_ROW) {
            const int64_t id = sqlite3_column_int64(waitingJobs_.get(), 0);
            if (!claimed_.contains(id)) free = id;
        }
    }
    if (!free) return std::nullopt;
    ResetOnExit reset{loadJob_.get()};
    BindInt(db, loadJob_.get(), 1, *free);
    const int code = sqlite3_step(loadJob_.get());
    Check(db, code, "cannot read a replay");
    if (code != SQLITE_ROW) return std::nullopt;
    VerifyJob job{*free,
                  sqlite3_column_int(loadJob_.get(), 0),
                  ColumnText(loadJob_.get(), 4),
                  ColumnText(loadJob_.get(), 1),
                  sqlite3_column_int64(loadJob_.get(), 3),
                  ColumnBlob(loadJob_.get(), 2)};
    claimed_.insert(*free);
    return job;
}

bool ScoreDatabase::FinishJob(const VerifyJob& job, const JobOutcome& outcome) {
    std::lock_guard lock(mutex_);
    JobOutcome kept = outcome;
    // Finished or failed, the job is no longer held: a failed one is claimed again.
    struct Unclaim {
        std::set<int64_t>& Claimed;
        int64_t Id;
        ~Unclaim() { Claimed.erase(Id); }
    } unclaim{claimed_, job.ResultId};
    {
        InTransaction([&](sqlite3* db) {
            if (kept.Result == Verdict::Verified) {
                ResetOnExit reset{sameGame_.get()};
                BindText(db, sameGame_.get(), 1, kept.FinalHash);
                BindInt(db, sameGame_.get(), 2, job.ResultId);
                if (sqlite3_step(sameGame_.get()) == SQLITE_ROW)
                    kept = {Verdict::Refused, "the same game was verified for another result",
                            kept.FinalHash};
            }
            ResetOnExit resetFinish{finish_.get()}, resetDrop{dropJob_.get()};
            BindInt(db, finish_.get(), 1, job.ResultId);
            BindInt(db, finish_.get(), 2, static_cast<int>(kept.Result));
            BindText(db, finish_.get(), 3, kept.Reason);
            if (!kept.FinalHash.empty()) BindText(db, finish_.get(), 4, kept.FinalHash);
            Check(db, sqlite3_step(finish_.get()), "cannot record a check");
            BindInt(db, dropJob_.get(), 1, job.ResultId);
            Check(db, sqlite3_step(dropJob_.get()), "cannot drop a job");
        });
    }
    return true;
}

void ScoreDatabase::ReleaseJob(int64_t resultId) {
    std::lock_guard lock(mutex_);
    claimed_.erase(resultId);
}

std::vector<StoredResult> ScoreDatabase::Best(std::size_t limit) const {
    sqlite3* db = db_.get();
    std::lock_guard lock(mutex_);
    ResetOnExit reset{best_.get()};
    BindInt(db, best_.get(), 1, static_cast<int64_t>(limit));
    std::vector<StoredResult> rows;
    int code;
    while ((code = sqlite3_step(best_.get())) == SQLITE_ROW) {
        rows.push_back(StoredResult{ColumnText(best_.get(), 0), sqlite3_column_int(best_.get(), 1),
                                    ColumnText(best_.get(), 2), sqlite3_column_int64(best_.get(), 3), "",
                                    sqlite3_column_int64(best_.get(), 4),
                                    static_cast<Verdict>(sqlite3_column_int(best_.get(), 5))});
    }
    Check(db, code, "cannot read results");
    return rows;
}

} // namespace scoreserver
