#pragma once
// The evaluations of one workstation of an order position: each writes the
// workstation's kind-10 NZA row and hands its durations to the position's
// total record.
#include "db/AppRecord.h"
#include "db/MelRecord.h"
#include "db/NzaRecord.h"

// Variant 2: durations from the planned values of the position (AppStr, and
// AppSte times AppIme); replaces the total record's durations.
void Nzm_TagesWertePA(MelRecord mel, NzaRecord* nza, AppRecord app);

// Variant 3: sums the kind-5 rows of the workstation and adds them to the
// total record, whose durations are normalised to whole minutes in any case.
void Nzm_TagesWerteVariante3(MelRecord mel, NzaRecord* nza);

// Variant 4: as variant 3 over the kind-6 rows; without such rows nothing
// changes, and the order header is not read.
void Nzm_TagesWerteVariante4(MelRecord mel, NzaRecord* nza);
