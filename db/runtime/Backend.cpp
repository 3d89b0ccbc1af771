// How NET8 picks the backend: the one place that names both.
#include "db/runtime/Backend.h"

#include <cstring>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/postgres/PostgresConnect.h"
#include "db/runtime/sqlite/SqliteConnect.h"

namespace rt::detail {

std::int32_t connectBackend(const char* login, const char* password, const char* net8, int busyMs, bool create,
                            std::unique_ptr<Backend>& backend) {
    backend.reset();
    if (!net8 || !*net8 || std::strcmp(net8, "sqlite:") == 0) return err::UnknownService;
    if (std::strncmp(net8, "sqlite:", 7) == 0) return connectSqlite(net8 + 7, busyMs, create, backend);
    return connectPostgres(login, password, net8, busyMs, backend);
}

}  // namespace rt::detail
