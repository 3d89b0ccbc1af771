#pragma once
// The statement runtime: the only code that knows which database runs.
//
// Table operations hand it their statement texts exactly as the suite's
// embedded-SQL modules had them (Oracle SQL with ":bN" placeholders and
// "into" lists). The runtime translates each text once per backend, prepares
// it once and reuses it. Binding is by position: the n-th input bind goes to
// the n-th placeholder occurrence after the "into" list (a ":b0" that occurs
// twice takes two binds); the n-th output bind receives the n-th select column.
//
// Result codes: 0, 1403 (no row / no further row / update or delete matched
// nothing), or a negated Oracle error number; ResultCodes.h names and
// explains every one of them.
//
// Oracle semantics kept on every backend: an empty input text is bound as
// NULL; a NULL output gives an empty text or 0; text compares in byte order.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "util/Text.h"

namespace rt {

enum class Kind : std::uint8_t { Text, Int16, Int32, Real };

// One host variable: its address and, for a text, its buffer length including
// the terminator (a longer value read from the database is cut to len-1).
struct Bind {
    Kind kind;
    void* addr;
    std::int32_t len;
};

template <std::size_t N>
inline Bind txt(Text<N>& t) {
    return {Kind::Text, t.s, static_cast<std::int32_t>(N + 1)};
}
template <std::size_t N>
inline Bind txt(const Text<N>& t) {
    return {Kind::Text, const_cast<char*>(t.s), static_cast<std::int32_t>(N + 1)};
}
// Input-only constant text ("A07", "NZA").
inline Bind txt(const char* s) {
    return {Kind::Text, const_cast<char*>(s), static_cast<std::int32_t>(std::strlen(s) + 1)};
}
// A plain char buffer of len bytes (terminator included), input or output.
inline Bind txt(char* buf, std::int32_t len) { return {Kind::Text, buf, len}; }
// A record's 32-bit field exchanged with the database as a 16-bit integer.
inline Bind i16(std::int32_t& v) { return {Kind::Int16, &v, 2}; }
inline Bind i16(const std::int32_t& v) { return {Kind::Int16, const_cast<std::int32_t*>(&v), 2}; }
inline Bind i32(std::int32_t& v) { return {Kind::Int32, &v, 4}; }
inline Bind i32(const std::int32_t& v) { return {Kind::Int32, const_cast<std::int32_t*>(&v), 4}; }
inline Bind real(double& v) { return {Kind::Real, &v, 8}; }
inline Bind real(const double& v) { return {Kind::Real, const_cast<double*>(&v), 8}; }

using Binds = std::initializer_list<Bind>;

// Opens the process's one session. net8 "sqlite:PATH" is an SQLite file
// (never created here); anything else is a PostgreSQL URI or service name,
// with login and password as user and password. Returns the result code.
std::int32_t connect(const char* login, const char* password, const char* net8);
// Closes the session. The program closes it at the end of a run, after
// checkpoint(), so that an SQLite file is complete in itself.
void disconnect();
// What a run cannot work without, checked once after the connect: every
// table of the program's schema, and a database that takes writes. Returns
// 0, err::NoSuchTable with the missing tables in missing, or err::ReadOnly.
std::int32_t checkReady(std::string& missing);
// Moves what committed writes left beside an SQLite file (its WAL) into the
// file, as far as other sessions allow; nothing on PostgreSQL.
void checkpoint();
// Writes a consistent copy of the open SQLite database to file, a new file
// (err::Duplicate when it exists), while other sessions go on writing; on
// PostgreSQL err::BadStatement.
std::int32_t backup(const char* file);
bool connected();
bool isSqlite();
// Creates the program's tables in the database net8 names; for "sqlite:PATH"
// this is the one place that creates the file. When any of the tables exists
// it changes nothing and returns 1 with their names in existing, unless
// replace, which drops them (rows included) and creates them anew. Returns 0,
// 1 or a negative code.
std::int32_t createTables(const char* login, const char* password, const char* net8, bool replace,
                          std::string& existing);
// How long a statement waits for another session's lock before it gives -54
// (default 30 s); applies to the open session and to later ones.
void setBusyTimeout(int ms);

// Runs one statement: a single-row "select ... into", an insert, update or
// delete, "savepoint X", "rollback  to X" or "commit". A single-row select
// fills out only on result 0; it gives 1403 for no row and -1422 for two.
std::int32_t exec(const char* text, Binds in = {}, Binds out = {});

// The write convention of every insert, update and delete: "savepoint <op>_Sp",
// the statement, "commit" on 0, otherwise "rollback  to <op>_Sp"; returns the
// statement's own code. op is the table operation's name ("Nza_PKeyIns").
std::int32_t write(const char* op, const char* text, Binds in);

// The write convention, and its commit waits until it is on the disk: the
// commits that hand something to another system (the upload row, the run
// parameters at the end of a run). A database writes its log in order, so
// that flush makes every earlier commit durable with it; the other commits
// do not wait for the disk, unless KORVIMAND_SYNC=commit asks that every
// commit wait (read at connect).
std::int32_t writeDurable(const char* op, const char* text, Binds in);

// The write convention for a write whose result nothing looks at (old rows
// deleted if there are any): a server may get it ahead of the next
// statement, as a transaction of its own, and the program goes on without
// waiting for the answer.
void writeAhead(const char* op, const char* text, Binds in);

std::int32_t commit();
std::int32_t rollback();

// Requests the session has waited for the database to answer (0 on SQLite,
// which answers in the process).
std::uint64_t requests();

// A section that others cannot interleave with (the read-increment-write of a
// number range): waits for every other writer, holds them off until the
// section's writes commit. atomicEnd commits or releases whatever is left.
// Another section that holds this one off longer than the busy timeout gives
// -54: on SQLite at atomicBegin, on PostgreSQL (which asks for the lock with
// the section's first statement) at that statement and every later one of
// the section.
std::int32_t atomicBegin(const char* name);
void atomicEnd();

// A cursor instance: each module-level cursor is one of these. It delivers
// the rows as they stood at open, whatever the session writes and commits
// between fetches; memory stays bounded however many rows it has. It closes
// itself when it goes out of scope.
struct CursorState;
struct Cursor {
    Cursor() = default;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    Cursor(Cursor&& o) noexcept : st(o.st) { o.st = nullptr; }
    Cursor& operator=(Cursor&& o) noexcept;
    ~Cursor();

    CursorState* st = nullptr;
};
std::int32_t open(Cursor& c, const char* text, Binds in);
// 0 and the row in out, 1403 after the last row, negative on error. A row
// with a text that the program's code page (Windows-1252) cannot hold gives
// err::Untranslatable and is delivered with "?" in place of each such character, so that
// its key can be named; its texts are not to be used.
std::int32_t fetch(Cursor& c, Binds out);
std::int32_t close(Cursor& c);

}  // namespace rt
