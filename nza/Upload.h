#pragma once
// Upload of an evaluated position into the PPS interface table Hlx580Pps.
#include "db/AppRecord.h"
#include "db/NzaRecord.h"
#include "db/PpsRecord.h"

// Builds and inserts one upload row from the position's total record and the
// position, numbered by UploadNummer. Failures are logged, never returned.
void UplBdeToPps_NZA(NzaRecord nza, AppRecord app);

// Draws the next number of the range "PPSNR" into pps->PpsLfn; on failure
// logs and leaves PpsLfn as it was.
void UploadNummer(PpsRecord* pps);
