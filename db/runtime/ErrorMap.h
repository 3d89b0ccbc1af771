#pragma once
// Backend errors as the negated Oracle error numbers that the table
// operations return and the message log shows.
//
//  code     meaning                          SQLite                        PostgreSQL
//  -1       unique key violated              CONSTRAINT_PRIMARYKEY/UNIQUE  23505
//  -54      busy / lock wait timed out       BUSY, LOCKED                  55P03
//  -60      deadlock                         -                             40P01
//  -600     any error not listed here        other                         other
//  -900     statement text not understood    syntax error                  42601
//  -904     column missing                   "no such column"              42703
//  -942     table missing                    "no such table"               42P01
//  -1001    fetch on a cursor not open       (runtime)                     (runtime)
//  -1006    more binds than placeholders     (runtime)                     (runtime)
//  -1007    outputs and select list differ   (runtime)                     (runtime)
//  -1008    fewer binds than placeholders    (runtime)                     (runtime)
//  -1013    statement cancelled              INTERRUPT                     57014
//  -1017    login refused                    -                             28P01, 28000
//  -1031    insufficient privileges          AUTH, PERM                    42501
//  -1086    savepoint never established      "no such savepoint"           3B001
//  -1114    I/O error                        IOERR                         58030
//  -1400    NOT NULL column given NULL/''    CONSTRAINT_NOTNULL            23502
//  -1422    single-row select found 2 rows   (runtime)                     (runtime)
//  -1438    number too large for column      -                             22003
//  -1455    value too large for the buffer   (runtime)                     (runtime)
//  -1578    database file corrupt            CORRUPT, NOTADB               XX001
//  -1653    disk or database full            FULL                          53100
//  -1722    invalid number                   CONSTRAINT_DATATYPE           22P02
//  -1821    date format not known            (runtime)                     (runtime)
//  -1847    date/time field out of range     (runtime)                     (runtime), 22008
//  -1861    text does not match date format  (runtime)                     (runtime), 22007
//  -2290    check constraint violated        CONSTRAINT_CHECK (not length) 23514
//  -2291    foreign key violated             CONSTRAINT_FOREIGNKEY         23503
//  -3114    not connected / connection lost  (no session)                  connection lost
//  -4030    out of memory                    NOMEM                         53200
//  -8177    serialization failure            -                             40001
//  -12154   NET8 names no known database     sqlite: path cannot be used   unknown service, bad URI, host
//  -12514   database does not exist          -                             3D000
//  -12541   server not reachable             -                             connection refused
//  -12713   character the code page lacks    -                             (runtime), 22P05
//  -12899   text longer than its column      CHECK on length(...)          22001
//  -16000   database is read-only            READONLY                      25006
//  -20000   raised by a trigger              CONSTRAINT_TRIGGER            P0001
//  -27041   SQLite file missing              CANTOPEN                      -
// A message that starts with "ORA-nnnnn" (a trigger's RAISE) gives -nnnnn.
#include <cstdint>

namespace rt::err {

inline constexpr std::int32_t Duplicate = -1;
inline constexpr std::int32_t Busy = -54;
inline constexpr std::int32_t Other = -600;
inline constexpr std::int32_t BadStatement = -900;
inline constexpr std::int32_t CursorNotOpen = -1001;
inline constexpr std::int32_t ExtraBind = -1006;
inline constexpr std::int32_t OutputCount = -1007;
inline constexpr std::int32_t MissingBind = -1008;
inline constexpr std::int32_t LoginRefused = -1017;
inline constexpr std::int32_t TooManyRows = -1422;
inline constexpr std::int32_t ValueTooLarge = -1455;
inline constexpr std::int32_t InvalidNumber = -1722;
inline constexpr std::int32_t DateRange = -1847;
inline constexpr std::int32_t DateFormat = -1861;
inline constexpr std::int32_t NotConnected = -3114;
inline constexpr std::int32_t OutOfMemory = -4030;
inline constexpr std::int32_t UnknownService = -12154;
inline constexpr std::int32_t NoSuchDatabase = -12514;
inline constexpr std::int32_t NoListener = -12541;
// A text holds a character that Windows-1252, the code page of the program's
// texts, cannot hold. A row read with one is delivered with "?" in its place.
inline constexpr std::int32_t Untranslatable = -12713;
inline constexpr std::int32_t SqliteFileMissing = -27041;

// extended: sqlite3_extended_errcode; msg: sqlite3_errmsg.
std::int32_t fromSqlite(int extended, const char* msg);
// sqlstate may be null (no server answer).
std::int32_t fromPostgres(const char* sqlstate, const char* msg);
// The message of a failed PostgreSQL connect.
std::int32_t fromPostgresConnect(const char* msg);

}  // namespace rt::err
