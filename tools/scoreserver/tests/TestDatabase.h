// The database the server tests run against: a fresh SQLite file by default, or
// the PostgreSQL database named by SCORESERVER_TEST_DATABASE, emptied for each
// test, so the same tests check both stores.
#pragma once

#include <libpq-fe.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace scoreserver::testdb {

inline const char* PostgresUnderTest() {
    const char* address = std::getenv("SCORESERVER_TEST_DATABASE");
    return address && *address ? address : nullptr;
}

// Drops the tables so the server under test creates them anew; an error text, or empty.
inline std::string DropPostgresTables(const std::string& address) {
    PGconn* connection = PQconnectdb(address.c_str());
    std::string error;
    if (PQstatus(connection) != CONNECTION_OK) {
        error = PQerrorMessage(connection);
    } else {
        PGresult* result =
            PQexec(connection, "SET client_min_messages = warning; DROP TABLE IF EXISTS "
                               "results, tokens, spent_tokens, token_key, replays, verify_jobs");
        if (PQresultStatus(result) != PGRES_COMMAND_OK) error = PQerrorMessage(connection);
        PQclear(result);
    }
    PQfinish(connection);
    return error;
}

// A database address for one test; folder holds the SQLite file when that is the store.
inline std::string FreshDatabase(const std::filesystem::path& folder, const std::string& name = "scores.db") {
    if (const char* postgres = PostgresUnderTest()) {
        const std::string error = DropPostgresTables(postgres);
        if (!error.empty()) return "error: " + error;
        return postgres;
    }
    return (folder / name).string();
}

} // namespace scoreserver::testdb
