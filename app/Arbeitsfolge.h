#pragma once
// The per-position driver: evaluates one order position from start to finish.
#include "db/AppRecord.h"

// Evaluates every workstation booked on the position, writes the position's
// total NZA record and actual times, then packages and/or uploads it.
void Nza_ArbeitsfolgeVonBis(AppRecord app);
