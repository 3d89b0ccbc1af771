#pragma once
// The session module: connect, commit, rollback.
#include <cstdint>

// Reads LOGIN, PASS and NET8 from the configuration file and connects.
std::int32_t dbConnect();
std::int32_t dbCommit();
std::int32_t dbRollback();
