// PostgreSQL cursors: the first rows of the result, or a held cursor read
// in FETCH batches.
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/postgres/Postgres.h"

namespace rt::pg {

void Cursor::holdAll(PGresult* r) {
    batch_ = r;
    rows_ = static_cast<std::size_t>(PQntuples(r));
    pos_ = 0;
    done_ = true;
}

std::int32_t Cursor::fetch(Binds out) {
    if (pos_ == rows_) {
        if (done_) return err::NotFound;
        if (!conn_.alive()) return err::NotConnected;
        PQclear(batch_);
        std::string sql = "FETCH " + std::to_string(detail::CursorBatch) + " FROM " + name_;
        batch_ = conn_.query(sql.c_str());
        rows_ = pos_ = 0;
        if (!ok(batch_)) {
            std::int32_t rc = conn_.resultError(batch_);
            PQclear(batch_);
            batch_ = nullptr;
            done_ = true;
            return rc;
        }
        rows_ = static_cast<std::size_t>(PQntuples(batch_));
        if (rows_ < static_cast<std::size_t>(detail::CursorBatch)) done_ = true;
        if (rows_ == 0) return err::NotFound;
    }
    return conn_.deliverRow(batch_, static_cast<int>(pos_++), out, true);
}

void Cursor::close() {
    PQclear(batch_);
    batch_ = nullptr;
    if (!name_.empty() && conn_.alive()) conn_.command(("CLOSE " + name_).c_str());
    name_.clear();
    rows_ = pos_ = 0;
}

}  // namespace rt::pg
