#pragma once
// Opens the SQLite backend (db/runtime/sqlite/).
#include <cstdint>
#include <memory>

#include "db/runtime/Backend.h"

namespace rt::detail {

// path: the file; create: make it when it is missing (only the schema set-up
// does; a run never creates the file, so a wrong path leaves no empty database).
std::int32_t connectSqlite(const char* path, int busyMs, bool create, std::unique_ptr<Backend>& backend);

}  // namespace rt::detail
