#pragma once
// The evaluations of one workstation of an order position: each writes the
// workstation's kind-10 NZA row and hands its durations to the position's
// total record.
#include <array>
#include <cstdint>

#include "db/AppRecord.h"
#include "db/MelRecord.h"
#include "db/NzaRecord.h"

// Variant 2: durations from the planned values of the position (AppStr, and
// AppSte times AppIme); replaces the total record's durations.
void Nzm_TagesWertePA(MelRecord mel, NzaRecord* nza, AppRecord app);

// The kind-5 (variant 3) or kind-6 (variant 4) rows of one workstation,
// read before anything of the position is deleted or written: the
// durations summed in minutes, not yet cut, and the begin of the first row
// and end of the last.
struct QuellZeilen {
    bool gefunden = false;
    NzaRecord grenzen{};
    std::array<double, 13> minuten{};
};

// Reads the source rows of the workstation's variant (none for others).
// Returns kDbTextNichtDarstellbar, unlogged, when a row holds a text the
// database client cannot represent; other failures are logged and the rows
// read so far count.
std::int32_t Nzm_QuellZeilenLesen(std::int32_t variante, const MelRecord& mel, QuellZeilen* quelle);

// Variant 3: adds the kind-5 rows' sums to the total record, whose durations
// are normalised to whole minutes in any case.
void Nzm_TagesWerteVariante3(MelRecord mel, NzaRecord* nza, const QuellZeilen& quelle);

// Variant 4: as variant 3 over the kind-6 rows; without such rows nothing
// changes, and the order header is not read.
void Nzm_TagesWerteVariante4(MelRecord mel, NzaRecord* nza, const QuellZeilen& quelle);
