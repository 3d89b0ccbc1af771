// SQLite cursors: the rows as they stood at open, in memory up to a batch,
// beyond that in a temporary table that is read back in batches.
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/sqlite/Sqlite.h"

namespace rt::sqlite {

std::int32_t Cursor::open(sqlite3_stmt* sel) {
    columns_ = sqlite3_column_count(sel);
    rows_ = pos_ = 0;
    int r;
    while ((r = sqlite3_step(sel)) == SQLITE_ROW) {
        if (rows_ == static_cast<std::size_t>(detail::CursorBatch)) return spill(sel);
        copyRow(sel, 0, columns_, cells_, rows_++, conv_);
    }
    std::int32_t rc = r == SQLITE_DONE ? 0 : conn_.lastError();
    sqlite3_reset(sel);
    return rc;
}

// Moves the rows of an open select past the first batch into a temporary
// table; the select's read snapshot ends with this call.
std::int32_t Cursor::spill(sqlite3_stmt* sel) {
    spillTable_ = conn_.nextSpillTable();
    std::string create = "CREATE TEMP TABLE " + spillTable_ + "(";
    std::string insert = "INSERT INTO temp." + spillTable_ + " VALUES(";
    for (int k = 0; k < columns_; ++k) {
        create += (k ? ",c" : "c") + std::to_string(k);
        insert += k ? ",?" : "?";
    }
    create += ")";
    insert += ")";
    if (std::int32_t rc = conn_.exec(create)) return rc;
    sqlite3_stmt* ins = nullptr;
    if (std::int32_t rc = conn_.prepare(insert, &ins)) return rc;
    std::int32_t rc = conn_.exec("SAVEPOINT k_spill");
    auto put = [&](auto valueAt) {
        for (int k = 0; k < columns_; ++k) valueAt(k);
        return conn_.step(ins);
    };
    for (std::size_t r = 0; rc == 0 && r < rows_; ++r)
        rc = put([&](int k) {
            const StoredCell& s = cells_[r * columns_ + k];
            switch (s.type) {
                case val::Cell::Type::Null:
                    sqlite3_bind_null(ins, k + 1);
                    break;
                case val::Cell::Type::Int:
                    sqlite3_bind_int64(ins, k + 1, s.i);
                    break;
                case val::Cell::Type::Real:
                    sqlite3_bind_double(ins, k + 1, s.d);
                    break;
                case val::Cell::Type::Text:
                    sqlite3_bind_text(ins, k + 1, s.s.data(), static_cast<int>(s.s.size()), SQLITE_STATIC);
                    break;
            }
        });
    // sel stands on the first row past the batch. The table holds the rows as
    // they are delivered, dates already cut.
    StoredCell cut;
    while (rc == 0) {
        rc = put([&](int k) {
            const dialect::OutConv conv = conversion(conv_, k);
            if (conv == dialect::OutConv::None) {
                sqlite3_bind_value(ins, k + 1, sqlite3_column_value(sel, k));
                return;
            }
            copyCell(sel, k, conv, cut);
            if (cut.type == val::Cell::Type::Null) sqlite3_bind_null(ins, k + 1);
            else sqlite3_bind_text(ins, k + 1, cut.s.data(), static_cast<int>(cut.s.size()), SQLITE_TRANSIENT);
        });
        if (rc != 0) break;
        int s = sqlite3_step(sel);
        if (s == SQLITE_DONE) break;
        if (s != SQLITE_ROW) rc = conn_.lastError();
    }
    sqlite3_finalize(ins);
    sqlite3_reset(sel);
    if (rc == 0) {
        rc = conn_.exec("RELEASE k_spill");
    } else {
        conn_.exec("ROLLBACK TO k_spill");
        conn_.exec("RELEASE k_spill");
    }
    if (rc == 0)
        rc = conn_.prepare("SELECT rowid,* FROM temp." + spillTable_ + " WHERE rowid>?1 ORDER BY rowid LIMIT " +
                               std::to_string(detail::CursorBatch),
                           &spillRead_);
    rows_ = pos_ = 0;
    lastRowid_ = 0;
    return rc;
}

// Reads the next batch of a spilled cursor into memory.
std::int32_t Cursor::refill() {
    sqlite3_bind_int64(spillRead_, 1, lastRowid_);
    rows_ = pos_ = 0;
    int s;
    while ((s = sqlite3_step(spillRead_)) == SQLITE_ROW) {
        lastRowid_ = sqlite3_column_int64(spillRead_, 0);
        copyRow(spillRead_, 1, columns_, cells_, rows_++, {});
    }
    std::int32_t rc = s == SQLITE_DONE ? 0 : conn_.lastError();
    sqlite3_reset(spillRead_);
    return rc;
}

std::int32_t Cursor::fetch(Binds out) {
    if (pos_ == rows_ && spillRead_) {
        if (std::int32_t rc = refill()) return rc;
    }
    if (pos_ == rows_) return err::NotFound;
    return deliverRow(cells_, columns_, pos_++, out);
}

void Cursor::close() {
    sqlite3_finalize(spillRead_);
    spillRead_ = nullptr;
    if (!spillTable_.empty()) conn_.exec("DROP TABLE temp." + spillTable_);
    spillTable_.clear();
    cells_.clear();
    rows_ = pos_ = 0;
}

}  // namespace rt::sqlite
