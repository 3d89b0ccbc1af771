#pragma once
// The per-position driver: evaluates one order position from start to finish.
#include <cstdint>

#include "db/AppRecord.h"

// Evaluates every workstation booked on the position, writes the position's
// total NZA record and actual times, then packages and/or uploads it.
// Returns kDbTextNichtDarstellbar when a row the evaluation reads holds a
// text the database client cannot represent: the position is then left as
// it was (logged once), and its marker is to stay.
std::int32_t Nza_ArbeitsfolgeVonBis(AppRecord app);
