#pragma once
// The planned-time correction of a position whose workstation works to a
// performance figure: the planned unit time AppSte follows the mean
// performance of the position's messages. The planning system's own value
// is kept in AppZf3 from its 23rd character ("%-4.2f", at most 8
// characters), and every evaluation scales that value, never an earlier
// result: evaluating again over the same messages changes nothing.
#include <cstdint>

#include "db/AppRecord.h"
#include "db/NzaRecord.h"

// The planned total time that follows from the planned unit time: set-up
// time plus unit time times planned quantity, cut to whole minutes, in h.mm.
double App_PlanGesamtzeit(const AppRecord& app);

// Takes an earlier correction back before the position is corrected again:
// when AppSte is the value kept in AppZf3 scaled by the mean performance of
// the first n "A07"/"A06" messages, in booking order, of the position or of
// its package head (for some n), AppSte becomes the kept value and AppSza
// the total time that follows from it. The messages only ever grow, so the
// correction of any earlier evaluation is recognised from the position's
// row and its messages alone; any other AppSte is a new plan of the
// planning system and stays, as does everything when AppZf3 keeps no
// number. Returns 0, or the code of a failed read of the messages (then
// nothing is changed, and the caller must not correct).
std::int32_t App_SteZuruecknehmen(AppRecord* app);

// Keeps AppSte in AppZf3 (an AppZf3 of fewer than 22 characters has no room
// and stays as it is) and scales it by the mean performance of nza
// (NzaRf1 / NzaMaz read as a percentage; no change when NzaMaz is 0). The
// value scaled is the value kept, to the hundredth, so that the next
// evaluation recognises the result.
void App_SteKorrigieren(AppRecord* app, const NzaRecord& nza);
