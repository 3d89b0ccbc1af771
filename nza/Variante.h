#pragma once
// Choice of a workstation's evaluation variant and the dispatch to it.
#include <cstdint>

#include "db/AppRecord.h"
#include "db/MelRecord.h"
#include "db/NzaRecord.h"
#include "nza/TagesWerte.h"

// What *LeistungsKz holds after a lookup that failed with a database error:
// whether the workstation asks for the correction is not known, so the
// position is not corrected.
inline constexpr std::int32_t kLeistungsKzUnbekannt = -1;

// Deletes the workstation's old kind-10 rows and runs the evaluation of the
// variant (as Nza_VarianteFeststellen determined it, with the source rows
// Nzm_QuellZeilenLesen read for it) on the position's total record.
void Nza_VarianteAuswerten(std::int32_t variante, MelRecord mel, NzaRecord* nza, AppRecord app,
                           const QuellZeilen& quelle);

// The variant (AemAfz) of the first shift-model assignment, by shift-model
// begin, valid on mel.KeyDat for the workstation, else for its group; 0 when
// there is none. Sets *LeistungsKz to the assignment's performance flag when
// one is found, to kLeistungsKzUnbekannt when a read failed, and leaves it
// alone when there is none. Returns kDbTextNichtDarstellbar, unlogged, when
// a row it reads holds a text the database client cannot represent.
std::int32_t Nza_VarianteFeststellen(MelRecord mel, std::int32_t* LeistungsKz);
