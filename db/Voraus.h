#pragma once
// A write sent ahead as a writer of the shape of rt::write, for the
// operations whose callers do not look at the result: the result is 0.
#include <cstdint>

#include "db/runtime/Runtime.h"

namespace db {

using Schreiben = std::int32_t (*)(const char* op, const char* text, rt::Binds in);

inline std::int32_t voraus(const char* op, const char* text, rt::Binds in) {
    rt::writeAhead(op, text, in);
    return 0;
}

}  // namespace db
