#pragma once
// Timestamp texts (yyyymmddHH24MISS) built from a record's date and time
// fields into fixed buffers, so that no statement allocates.
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "util/Text.h"

namespace stempel {

// Date, then time, appended as they stand; two empty fields give the empty
// text, which the database stores as NULL.
inline void anhaengen(char (&s)[15], const Text<8>& datum, const Text<6>& zeit) {
    std::size_t nd = datum.size();
    std::size_t nz = zeit.size();
    std::memcpy(s, datum.s, nd);
    std::memcpy(s + nd, zeit.s, nz);
    s[nd + nz] = '\0';
}

// "%8s%6s": a short field is filled up with blanks on its left. Trailing
// blanks are dropped so that two empty fields give the empty text (NULL)
// instead of 14 blanks that no database converts into a date.
inline void nza(char (&s)[15], const Text<8>& datum, const Text<6>& zeit) {
    std::snprintf(s, sizeof s, "%8s%6s", datum.s, zeit.s);
    std::size_t n = std::strlen(s);
    while (n > 0 && s[n - 1] == ' ') --n;
    s[n] = '\0';
}

}  // namespace stempel
