#pragma once
// Every result code the statement runtime returns, named once and explained
// in one line: the negated Oracle error numbers that the table operations
// return and the message log shows, 1403 for "no row", 0 for success.
// Backends map their own errors onto these names (sqlite/SqliteErrors.cpp,
// postgres/PostgresErrors.cpp); korvimand-admin code explains a code from
// this table. A message that starts with "ORA-nnnnn" (a trigger's RAISE)
// gives -nnnnn, which need not be listed here.
#include <cstdint>
#include <span>
#include <string>

// X(name, code, what it means)
#define RT_RESULT_CODES(X)                                                                  \
    X(Ok, 0, "success")                                                                     \
    X(TablesExist, 1, "some of the program's tables exist already; nothing was changed")    \
    X(NotFound, 1403, "no row, no further row, or an update or delete that matched no row") \
    X(Duplicate, -1, "a row with this key exists already")                                  \
    X(Busy, -54, "the database is busy: another session held its lock too long")            \
    X(Deadlock, -60, "deadlock with another session")                                       \
    X(Other, -600, "a database error of a kind not listed here")                            \
    X(BadStatement, -900, "statement text not understood")                                  \
    X(NoSuchColumn, -904, "a column the statement names does not exist")                    \
    X(NoSuchTable, -942, "a table the statement names does not exist")                      \
    X(CursorNotOpen, -1001, "fetch or close on a cursor that is not open")                  \
    X(ExtraBind, -1006, "more values bound than the statement has placeholders")            \
    X(OutputCount, -1007, "the output buffers do not match the statement's select list")    \
    X(MissingBind, -1008, "fewer values bound than the statement has placeholders")         \
    X(Cancelled, -1013, "the statement was cancelled")                                      \
    X(LoginRefused, -1017, "login refused: wrong user or password")                         \
    X(NoPrivilege, -1031, "insufficient privileges")                                        \
    X(NoSavepoint, -1086, "rollback to a savepoint that was never established")             \
    X(IoError, -1114, "the database cannot read or write its files")                        \
    X(NotNull, -1400, "a column that needs a value was given none (or an empty text)")      \
    X(TooManyRows, -1422, "a single-row select found more than one row")                    \
    X(NumberTooLarge, -1438, "a number is too large for its column")                        \
    X(ValueTooLarge, -1455, "a value is too large for the program's field")                 \
    X(Corrupt, -1578, "the database file is damaged or no database")                        \
    X(Full, -1653, "the disk or the database is full")                                      \
    X(InvalidNumber, -1722, "a text where a number belongs")                                \
    X(UnknownDateFormat, -1821, "a date format the runtime does not know")                  \
    X(DateRange, -1847, "a date or time field out of range")                                \
    X(DateFormat, -1861, "a text that does not match the date format")                      \
    X(CommitFailed, -2091, "the transaction had failed; the commit rolled it back")         \
    X(CheckViolated, -2290, "a check rule of the table was violated")                       \
    X(ForeignKey, -2291, "a row refers to a key that does not exist")                       \
    X(NotConnected, -3114, "not connected to the database, or the connection was lost")     \
    X(OutOfMemory, -4030, "out of memory")                                                  \
    X(Serialization, -8177, "the transaction collided with another one")                    \
    X(UnknownService, -12154, "NET8 names no known database")                               \
    X(NoSuchDatabase, -12514, "the database does not exist")                                \
    X(NoListener, -12541, "the database server cannot be reached")                          \
    X(Untranslatable, -12713, "a text holds a character that Windows-1252 lacks")           \
    X(TooLong, -12899, "a text is longer than its column")                                  \
    X(ReadOnly, -16000, "the database is read-only")                                        \
    X(Trigger, -20000, "a trigger refused the change")                                      \
    X(SqliteFileMissing, -27041, "the SQLite file cannot be opened or created")

namespace rt::err {

#define RT_RESULT_CODE_NAME(name, code, text) inline constexpr std::int32_t name = code;
RT_RESULT_CODES(RT_RESULT_CODE_NAME)
#undef RT_RESULT_CODE_NAME

struct Code {
    std::int32_t code;
    const char* name;
    const char* text;
};

// The whole table, in the order above.
std::span<const Code> codes();
// The entry of code; nullptr for a code not in the table.
const Code* find(std::int32_t code);
// One line for people: "-1422 TooManyRows: a single-row select found more
// than one row"; a code not in the table says so.
std::string explain(std::int32_t code);

// "... ORA-01234 ..." anywhere in a backend's message: the number a trigger
// raised, negated; 0 when there is none.
std::int32_t raisedNumber(const char* msg);
// msg (may be null) contains part.
bool mentions(const char* msg, const char* part);

}  // namespace rt::err
