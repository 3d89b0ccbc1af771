#pragma once
// The per-position driver: evaluates one order position from start to finish.
#include "db/AppRecord.h"
#include "db/NzaRecord.h"

// Evaluates every workstation booked on the position, writes the position's
// total NZA record and actual times, then packages and/or uploads it.
void Nza_ArbeitsfolgeVonBis(AppRecord app);

// Keeps the planned unit time in AppZf3 (from its 23rd character) and scales
// AppSte by the mean performance of the position's messages.
void App_SteKorrigieren(AppRecord* app, NzaRecord nza);
