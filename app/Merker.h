#pragma once
// The "NZA" deletion markers that announce a due evaluation.
#include "db/AppRecord.h"

// Deletes the position's "NZA" marker with the zero workstation, personnel
// and booking numbers, if there is one. Markers with other values stay.
void Get_MerkNZALoeschen(AppRecord app);
