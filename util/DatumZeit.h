#pragma once
// The current local date and time as text in the forms the statements use.
#include <cstdint>
#include <ctime>

// kind 1: date "ddmm20yy", time "HHMMSS"; 2: date "ddmm20yyHHMMSS";
// 3: date "20yymmdd", time "HHMMSS"; 4: date "20yymmddHHMMSS"; any other: both
// empty. datum holds at least 15 bytes, zeit at least 7. Always returns 0.
std::int32_t Get_SystemDatumZeit(char* datum, char* zeit, std::int32_t art);

// One reading of the local clock; every date and time the program writes
// (message log included) comes from here.
std::tm DatumZeit_Jetzt();

// The clock behind DatumZeit_Jetzt: the system's local time unless a test
// installs another. Returns the clock it replaces; nullptr restores the
// system clock.
using DatumZeitUhr = std::tm (*)();
DatumZeitUhr DatumZeit_SetUhr(DatumZeitUhr uhr);
