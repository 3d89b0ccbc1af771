#pragma once
// Choice of a workstation's evaluation variant and the dispatch to it.
#include <cstdint>

#include "db/AppRecord.h"
#include "db/MelRecord.h"
#include "db/NzaRecord.h"

// Deletes the workstation's old kind-10 rows, determines its variant and runs
// that evaluation on the position's total record. *LeistungsKz gets the
// assignment's performance flag; it is left alone when no assignment is found.
void Nza_VarianteAuswerten(MelRecord mel, NzaRecord* nza, AppRecord app, std::int32_t* LeistungsKz);

// The variant (AemAfz) of the first shift-model assignment, by shift-model
// begin, valid on mel.KeyDat for the workstation, else for its group; 0 when
// there is none. Sets *LeistungsKz only when an assignment is found.
std::int32_t Nza_VarianteFeststellen(MelRecord mel, std::int32_t* LeistungsKz);
