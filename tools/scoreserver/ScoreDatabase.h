// The stored online results, kept in one SQLite file in WAL mode. All access
// goes through prepared statements with bound parameters; one connection, one
// lock. A group of results is written in one transaction, so many results cost
// one wait for the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace scoreserver {

struct StoredResult {
    std::string Name;
    int32_t Score = 0;
    std::string Country;
    int64_t SubmittedAt = 0; // seconds since 1970, UTC
};

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ScoreDatabase {
  public:
    // Opens or creates the file; throws DatabaseError naming the file when it cannot.
    // At most maxStored results are kept: the lowest ones beyond that are dropped.
    // waitForDisk: each commit waits until the disk holds it (survives a power
    // cut); without it a commit is in the system's hands when it returns, which
    // survives the server being killed but not the machine losing power.
    ScoreDatabase(const std::string& path, std::size_t maxStored, bool waitForDisk = true);

    void Add(const StoredResult& result) { AddAll({result}); }

    // All of them in one transaction: when this returns they are on the disk.
    void AddAll(const std::vector<StoredResult>& results);

    // Best first; equal scores in the order they arrived.
    std::vector<StoredResult> Best(std::size_t limit) const;

  private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;
    void Execute(const char* sql) const;
    Statement Prepare(const char* sql) const;

    std::unique_ptr<sqlite3, Closer> db_;
    Statement insert_;
    Statement prune_;
    Statement best_;
    const std::size_t maxStored_;
    mutable std::mutex mutex_;
};

} // namespace scoreserver
