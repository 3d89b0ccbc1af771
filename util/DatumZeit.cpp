#include "util/DatumZeit.h"

#include <cstdio>

namespace {

std::tm systemUhr() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

DatumZeitUhr uhr = systemUhr;

// Two digits of a field; a value outside 0..99 (a year far off) keeps its
// last two digits so that the texts keep their widths.
int two(int v) { return ((v % 100) + 100) % 100; }

}  // namespace

std::tm DatumZeit_Jetzt() { return uhr(); }

DatumZeitUhr DatumZeit_SetUhr(DatumZeitUhr neu) {
    DatumZeitUhr alt = uhr;
    uhr = neu ? neu : systemUhr;
    return alt;
}

std::int32_t Get_SystemDatumZeit(char* datum, char* zeit, std::int32_t art) {
    const std::tm t = uhr();
    datum[0] = '\0';
    zeit[0] = '\0';
    const int d = two(t.tm_mday), m = two(t.tm_mon + 1), y = two(t.tm_year), hh = two(t.tm_hour), mi = two(t.tm_min),
              ss = two(t.tm_sec);
    // The century is always written as "20".
    switch (art) {
        case 1:
            std::snprintf(datum, 15, "%02d%02d20%02d", d, m, y);
            std::snprintf(zeit, 7, "%02d%02d%02d", hh, mi, ss);
            break;
        case 2:
            std::snprintf(datum, 15, "%02d%02d20%02d%02d%02d%02d", d, m, y, hh, mi, ss);
            break;
        case 3:
            std::snprintf(datum, 15, "20%02d%02d%02d", y, m, d);
            std::snprintf(zeit, 7, "%02d%02d%02d", hh, mi, ss);
            break;
        case 4:
            std::snprintf(datum, 15, "20%02d%02d%02d%02d%02d%02d", y, m, d, hh, mi, ss);
            break;
        default:
            break;
    }
    return 0;
}
