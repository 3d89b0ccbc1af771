#pragma once
// Real databases for tests: a fresh SQLite file, or a fresh PostgreSQL
// database on the throwaway server named by KORVIMAND_TEST_PG, each with the
// program's schema loaded and the runtime connected to it.
#include <string>
#include <vector>

namespace testdb {

enum class Backend { Sqlite, Postgres };

// Both backends, unless KORVIMAND_TEST_SQLITE_ONLY=1 says that SQLite only is
// wanted. Without that, a PostgreSQL test without a server fails and says how
// to start one: a missing server never hides the PostgreSQL tests.
std::vector<Backend> backends();
bool sqliteOnly();
const char* name(Backend b);

struct Db {
    Backend backend;
    std::string net8;      // what NET8 of a configuration file would hold
    std::string login;     // PostgreSQL user ("" for SQLite)
    std::string password;  // PostgreSQL password ("" for SQLite)
    std::string dir;       // temporary folder owned by this database (SQLite file lives here)
};

// Creates a fresh database with the schema loaded. Does not connect.
Db create(Backend b);
// Creates, then connects the runtime (rt::connect) to it.
Db createConnected(Backend b);
// Runs plain SQL in the backend's own dialect on a separate connection
// (fixtures: inserts, triggers, drops). Throws std::runtime_error on failure.
void sql(const Db& db, const std::string& statements);
// First column of each row of a query, as text ("" for NULL), on a separate connection.
std::vector<std::string> column(const Db& db, const std::string& query);
// One value (first row, first column); "" when NULL or no row.
std::string value(const Db& db, const std::string& query);
// Drops the database / removes the folder.
void destroy(const Db& db);

}  // namespace testdb
