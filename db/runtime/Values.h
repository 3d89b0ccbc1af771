#pragma once
// Host values on their way into and out of a statement, whatever the backend.
#include <cstdint>
#include <string>
#include <vector>

#include "db/runtime/Dialect.h"
#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"

namespace rt::val {

// One input value as the backend binds it.
struct In {
    enum class Type : std::uint8_t { Null, Int, Real, Text } type = Type::Null;
    std::int64_t i = 0;
    double d = 0;
    const char* s = nullptr;  // Text: points into the caller's buffer or date
    int n = 0;
    char date[20]{};  // a TO_DATE input as "YYYY-MM-DD HH:MM:SS"
};

// Reads the caller's input binds: an empty text becomes NULL, a TO_DATE input
// is checked and rewritten. Returns 0 or the code of the first bad value.
std::int32_t inputs(Binds binds, const std::vector<dialect::InConv>& conv, std::vector<In>& out);

// One column value of a result row, as the backend delivers it.
struct Cell {
    enum class Type : std::uint8_t { Null, Int, Real, Text } type = Type::Null;
    std::int64_t i = 0;
    double d = 0;
    const char* s = nullptr;
    int n = 0;
};

// A row converted for the caller's buffers but not yet stored, so that a
// failed conversion leaves every buffer as it was.
struct Out {
    std::int64_t i = 0;
    double d = 0;
    std::string s;
};

// Converts one cell for its bind into o. Returns 0 or -1455 / -1722.
std::int32_t convert(const Bind& b, const Cell& c, Out& o);
// Moves a converted value into the caller's buffer (a text is cut to len-1).
void store(const Bind& b, const Out& o);

// The converted row between convert and store, kept for the process so that
// rows of the same width reuse their strings. Not thread_local: glibc aborts a
// process whose first use of one cannot allocate its destructor's entry.
std::vector<Out>& rowBuffer();

// Delivers a result row of columns cells (cell(k) gives column k) to out: a
// row of another width gives -1007, and the buffers are stored only when
// every column converts, so that a failure leaves each of them as it was.
template <typename CellAt>
std::int32_t deliver(int columns, Binds out, CellAt cell) {
    if (static_cast<int>(out.size()) != columns) return err::OutputCount;
    std::vector<Out>& tmp = rowBuffer();
    tmp.resize(out.size());
    int k = 0;
    for (const Bind& b : out) {
        if (std::int32_t rc = convert(b, cell(k), tmp[k])) return rc;
        ++k;
    }
    k = 0;
    for (const Bind& b : out) store(b, tmp[k++]);
    return 0;
}

}  // namespace rt::val
