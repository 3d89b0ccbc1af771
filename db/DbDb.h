#pragma once
// The session module: connect, commit, rollback.
#include <cstdint>
#include <string>

#include "db/runtime/ResultCodes.h"

// What a read or fetch returns for a row with a character that the code page
// of the program's texts (Windows-1252) cannot hold: the row is not to be
// used; a fetch leaves its key in the record, and nothing else.
inline constexpr std::int32_t kDbTextNichtDarstellbar = rt::err::Untranslatable;

// Reads LOGIN, PASS and NET8 from the configuration file and connects.
std::int32_t dbConnect();
// What a run needs beside the connect: the program's tables (the missing
// ones are named in fehlend) and a database that takes writes.
std::int32_t dbBereit(std::string& fehlend);
// The end of a run: an SQLite file gets what its WAL holds, and the session
// closes (every write has committed or rolled back on its own).
void dbEnde();
std::int32_t dbCommit();
std::int32_t dbRollback();
// A section no other process can interleave with (the draw from a number
// range): begins by waiting for every other writer; the section's first
// commit ends it, dbExklusivEnde releases whatever is left.
std::int32_t dbExklusivBeginn(const char* name);
void dbExklusivEnde();
// Requests the session has waited for the database server to answer (0 for
// a database in the process).
std::uint64_t dbAnfragen();
