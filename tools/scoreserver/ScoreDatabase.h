// The stored online results, kept in one SQLite file. All access goes through
// prepared statements with bound parameters; one connection, one lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

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
    ScoreDatabase(const std::string& path, std::size_t maxStored);

    void Add(const StoredResult& result);

    // Best first; equal scores in the order they arrived.
    std::vector<StoredResult> Best(std::size_t limit) const;

  private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    void Execute(const char* sql) const;

    std::unique_ptr<sqlite3, Closer> db_;
    const std::size_t maxStored_;
    mutable std::mutex mutex_;
};

} // namespace scoreserver
