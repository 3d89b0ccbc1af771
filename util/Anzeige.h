#pragma once
// How a text of the suite is shown on a terminal, in a text table or a
// line of standard error: the texts (the message log's, the database's)
// are single-byte Windows-1252 and come from the shop floor and from other
// programs, so each is shown in UTF-8 with control bytes escaped: an escape
// sequence in a workstation name can neither retitle nor clear a terminal,
// and one entry stays one row.
#include <cstddef>
#include <string>
#include <string_view>

// Room Anzeige_Byte needs at most.
inline constexpr std::size_t kAnzeigeByteMax = 4;

// One byte as shown: its UTF-8, or \r, \n, \\ or \xNN (a control byte, a
// byte the code page leaves undefined, and with roh the message log's
// start mark). Writes into out (kAnzeigeByteMax bytes), returns the length;
// allocates nothing, for the paths that run out of memory.
std::size_t Anzeige_Byte(unsigned char b, bool roh, char* out) noexcept;
// The whole text so.
std::string Anzeige_Text(std::string_view v, bool roh = false);
// The number of characters of a UTF-8 text, for aligning columns.
std::size_t Anzeige_Zeichen(std::string_view utf8);
