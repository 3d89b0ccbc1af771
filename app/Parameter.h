#pragma once
// The run parameters of kind 2: read at the start of a run, written back at its end.
#include "db/NzpRecord.h"

// Fills *nzp with the kind-2 row valid today (validity strictly around today).
// Without exactly one such row the failure is logged and *nzp holds only the kind.
void Nzm_Parameter(NzpRecord* nzp);

// Writes the counters and NzpAus of nzp back; a failure is logged.
void Nzm_ParameterUpd(NzpRecord nzp);
