#pragma once
// The session module: connect, commit, rollback.
#include <cstdint>

// Reads LOGIN, PASS and NET8 from the configuration file and connects.
std::int32_t dbConnect();
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
