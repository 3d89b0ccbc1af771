#pragma once
// Translation of the table operations' statement texts into a backend's
// dialect. Done once per text; the result is what the backend prepares.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt::dialect {

enum class Backend : std::uint8_t { Sqlite, Postgres };

enum class Verb : std::uint8_t { Select, Insert, Update, Delete, Savepoint, RollbackTo, Commit, Rollback };

// What the runtime does to an input value before binding it: TO_DATE(:bN,fmt)
// is converted on the client, so both backends validate dates alike and an
// empty text becomes NULL.
// DayKey: the day that TO_CHAR(col,'yyyymmdd')=:bN compares with, which the
// PostgreSQL text turns into the range of the day; a text that is no day
// matches no day there either.
enum class InConv : std::uint8_t { None, Day, Stamp, DayKey };

// What the SQLite backend does to an output column: a select-list
// TO_CHAR(col,fmt) is delivered as the column itself and cut on the client,
// which costs a fraction of the SQL expression.
enum class OutConv : std::uint8_t { None, Day, Time, Stamp };

struct Translated {
    Verb verb = Verb::Select;
    std::string sql;               // backend text, placeholders numbered 1..n
    bool hasInto = false;          // a single-row select ("select ... into")
    int outputs = 0;               // entries of the into list
    std::vector<InConv> inputs;    // one per placeholder, in text order
    std::vector<OutConv> columns;  // SQLite: per result column, empty when none is cut
    std::string savepoint;         // name for Savepoint / RollbackTo
};

// Translates one text. Returns 0, or a negative code for a text the runtime
// cannot run (-900 not a statement it knows, -1821 a date format it does not
// know).
std::int32_t translate(std::string_view text, Backend backend, Translated& out);

}  // namespace rt::dialect
