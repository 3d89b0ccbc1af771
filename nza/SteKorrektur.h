#pragma once
// The planned-time correction of a position whose workstation works to a
// performance figure: the planned unit time AppSte follows the mean
// performance of the position's messages. The planning system's own value
// is kept in AppZf3 from its 23rd character ("%-4.2f", at most 8
// characters), and every evaluation scales that value, never an earlier
// result: evaluating again over the same messages changes nothing.
#include "db/AppRecord.h"
#include "db/NzaRecord.h"

// The planned total time that follows from the planned unit time: set-up
// time plus unit time times planned quantity, cut to whole minutes, in h.mm.
double App_PlanGesamtzeit(const AppRecord& app);

// Takes an earlier correction back before the position is evaluated again.
// When AppSte is the value kept in AppZf3 scaled by the mean performance of
// vorher (the total record of the evaluation that made the correction; none:
// nullptr) or of jetzt (the sums of the messages as they are now), AppSte
// becomes the kept value again and AppSza the total time that follows from
// it. Any other AppSte is a new plan of the planning system and stays; so
// does everything when AppZf3 keeps no number.
void App_SteZuruecknehmen(AppRecord* app, const NzaRecord* vorher, const NzaRecord& jetzt);

// Keeps AppSte in AppZf3 (an AppZf3 of fewer than 22 characters has no room
// and stays as it is) and scales it by the mean performance of nza
// (NzaRf1 / NzaMaz read as a percentage; no change when NzaMaz is 0). The
// value scaled is the value kept, to the hundredth, so that the next
// evaluation recognises the result.
void App_SteKorrigieren(AppRecord* app, const NzaRecord& nza);
