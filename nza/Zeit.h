#pragma once
// Durations in hours.minutes notation (h.mm): the integer part counts hours,
// the first two decimals minutes (1.30 is 90 minutes). Every conversion of the
// program goes through these three functions.
#include <cstdint>

// Truncation toward zero. A value within 1e-6 of a whole number is taken as
// that number first: h.mm decimals have no exact binary form, and 100 x 0.29
// lands just below 29, which a plain truncation would turn into 28.
// Values beyond the 64-bit range are held at its ends, NaN gives 0.
std::int64_t ganz(double x);

// h.mm to minutes: 60 x trunc(t) + (100 x t - 100 x trunc(t)). Keeps any
// fraction of a minute; minute parts of 60 or more are not normalised
// (0.75 gives 75).
double m(double t);

// Whole minutes to h.mm: quotient by 60 plus the remainder as hundredths, both
// truncated toward zero, so a negative count gives a negative value.
double hm(std::int64_t n);
