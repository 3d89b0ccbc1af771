#pragma once
// Opens the PostgreSQL backend (db/runtime/postgres/).
#include <cstdint>
#include <memory>

#include "db/runtime/Backend.h"

namespace rt::detail {

// target: a URI ("postgresql://host:port/db") or a service name.
std::int32_t connectPostgres(const char* login, const char* password, const char* target, int busyMs,
                             std::unique_ptr<Backend>& backend);

}  // namespace rt::detail
