#pragma once
// The error-protocol writers: entries of this program in the error protocol,
// with the recorder of the run.
#include <cstdint>

#include "db/ErrRecord.h"
#include "db/MelRecord.h"

// Inserts e as an entry of this program ("Korvim", "BDE", "NZA") and always logs the insert's code.
void Write_Protokoll(ErrRecord e);
// Inserts error 7012 for the message's workstation, position, date and time; returns the insert's code.
std::int32_t Write_ProtokollMel(MelRecord m);
