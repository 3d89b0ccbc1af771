#pragma once
// The current local date and time as text in the forms the statements use.
#include <cstdint>

// kind 1: date "ddmm20yy", time "HHMMSS"; 2: date "ddmm20yyHHMMSS";
// 3: date "20yymmdd", time "HHMMSS"; 4: date "20yymmddHHMMSS"; any other: both
// empty. datum holds at least 15 bytes, zeit at least 7. Always returns 0.
std::int32_t Get_SystemDatumZeit(char* datum, char* zeit, std::int32_t art);
