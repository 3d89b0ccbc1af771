#include "nza/Zeit.h"

#include <cmath>
#include <limits>

std::int64_t ganz(double x) {
    if (std::isnan(x)) return 0;
    const double naechste = std::round(x);
    const double t = std::fabs(x - naechste) <= 1e-6 ? naechste : std::trunc(x);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double grenze = 9223372036854775808.0;
    if (t >= grenze) return std::numeric_limits<std::int64_t>::max();
    if (t < -grenze) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(t);
}

double m(double t) {
    const double stunden = static_cast<double>(ganz(t));
    return 60.0 * stunden + (100.0 * t - 100.0 * stunden);
}

double hm(std::int64_t n) {
    // Dividing by 100 rather than multiplying by 0.01 gives the double nearest
    // to the decimal hundredths, so 29 minutes are stored as the value 0.29.
    return static_cast<double>(n / 60) + static_cast<double>(n % 60) / 100.0;
}
