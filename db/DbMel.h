#pragma once
// Statement module for booking messages, NZA records, markers, the error
// protocol, the PPS upload table and number ranges. Every operation returns
// the database result code (0, 1403 no row / no further row, negative error)
// and logs nothing. Operations share module buffers and cursors: not reentrant.
#include <cstdint>
#include <vector>

#include "db/ErrRecord.h"
#include "db/MelRecord.h"
#include "db/MrkRecord.h"
#include "db/NzaRecord.h"
#include "db/PpsRecord.h"
#include "util/Text.h"

// Opens the cursor over the workstations with "M_A" messages on the position dated on or after datum.
std::int32_t Mel_AppAplOpen(const Text<12>& apk, const Text<5>& app, const Text<8>& datum);
// Next workstation into *apl; on non-zero *apl is left alone.
std::int32_t Mel_AppAplFetch(Text<10>* apl);
// Closes the workstation cursor.
std::int32_t Mel_AppAplClose();
// Sums of the position's "A07"/"A06" messages into NzaGum, NzaAum, NzaRf1 and their count into NzaMaz;
// a failed query gives 0, 0, 0 and 1. Returns the query's code.
std::int32_t Mel_AppSum(NzaRecord* r);
// Sums of the "A07"/"A06" messages of workstation, order and position into
// NzaGum and NzaAum; a failed query gives 0 and 0. Returns the query's code.
std::int32_t Mel_AplAppSum(NzaRecord* r);

// MelNam of each of the position's "A07"/"A06" messages (NULL read as 0), in
// the order the messages were booked (booking number, then running number).
std::int32_t Mel_AppNamLesen(const Text<12>& apk, const Text<5>& app, std::vector<double>* werte);

// Inserts the record; NzaDat becomes the database time.
std::int32_t Nza_PKeyIns(const NzaRecord* r);
// Reads the row with the record's full key; on non-zero keeps the key, Nza00S
// and the other texts and zeroes the other numbers.
std::int32_t Nza_PKeyReadk(NzaRecord* r);
// Rewrites every column of the row with the record's full key; NzaDat becomes the database time.
std::int32_t Nza_PKeyUpd(const NzaRecord* r);
// Opens the cursor over the rows of r's NzaSa, NzaApl, NzaApk, NzaApp.
std::int32_t Nza_PosOpen(NzaRecord r);
// Next row of that cursor; on non-zero as Nza_PKeyReadk, with the key of the last row or of the open.
std::int32_t Nza_PosFetch(NzaRecord* r);
// Closes that cursor.
std::int32_t Nza_PosClose();
// Deletes the rows of r's NzaSa, NzaApk, NzaApp, NzaApl.
std::int32_t Nza_SA_Del(NzaRecord r);
// Deletes the kind-10 rows of the message's workstation, order and position.
std::int32_t Nza_SA10_Del(MelRecord m);
// Deletes the kind-11 rows (blank workstation) of the message's order and position.
std::int32_t Nza_SA11_Del(MelRecord m);
// Both for a caller that does not look at the result: sent ahead of what
// follows, without waiting for the database's answer.
void Nza_SA10_DelVoraus(MelRecord m);
void Nza_SA11_DelVoraus(MelRecord m);

// Reads the marker with the record's six key fields; on non-zero the record is left alone.
std::int32_t Mrk_PKeyReadk(MrkRecord* r);
// Opens the marker cursor over kind kng, ordered by workstation, order, position, marker time.
std::int32_t Mrk_KngOpen(const Text<3>& kng);
// Next marker; on non-zero the record is left alone.
std::int32_t Mrk_KngFetch(MrkRecord* r);
// Closes the marker cursor.
std::int32_t Mrk_KngClose();
// Deletes the marker with the record's six key fields.
std::int32_t Mrk_PKeyDel(MrkRecord r);

// Inserts an error-protocol entry; ErrBnr is written as 0, ErrDat as the database time.
std::int32_t Err_PKeyIns(const ErrRecord* r);
// Deletes the "BDE"/"NZA" entries of the position.
std::int32_t Err_NZADel(const Text<12>& apk, const Text<5>& app);
// The same for a caller that does not look at the result: sent ahead of
// what follows, without waiting for the database's answer.
void Err_NZADelVoraus(const Text<12>& apk, const Text<5>& app);
// Deletes the "BDE"/"LZA" entries of the position.
std::int32_t Err_LZADel(const Text<12>& apk, const Text<5>& app);
// Deletes the "BDE"/"NZM" entries of the person on the day (yyyymmdd).
std::int32_t Err_NZMDel(const Text<8>& pnr, const Text<8>& datum);
// Same rows as Err_NZMDel.
std::int32_t Err_PKeyDel(const Text<8>& pnr, const Text<8>& datum);
// Deletes the "BDE"/"PRF" entries of object "M__" of the workstation at and after datum+zeit.
std::int32_t Err_PRFDelM(const Text<10>& apl, const Text<8>& datum, const Text<6>& zeit);
// Deletes the "BDE"/"PRF" entries of object "M_A" of workstation and position at and after datum+zeit.
std::int32_t Err_PRFDelMA(const Text<10>& apl, const Text<12>& apk, const Text<5>& app, const Text<8>& datum,
                          const Text<6>& zeit);
// Deletes the "BDE"/"PRF" entries of object "MPA" of workstation, position and person at and after datum+zeit.
std::int32_t Err_PRFDelMPA(const Text<10>& apl, const Text<12>& apk, const Text<5>& app, const Text<8>& pnr,
                           const Text<8>& datum, const Text<6>& zeit);
// Counts the entries of function group fun; *anzahl is set only on result 0.
std::int32_t Err_Count(const Text<3>& fun, std::int32_t* anzahl);

// Reads the number range r->BnrKey; on non-zero BnrKey becomes "XXXXX", BnrBnr 0, BnrEdt and BnrEsb empty.
std::int32_t Bnr_PKeyReadk(BnrRecord* r);
// Inserts the number range; BnrEdt becomes the database time.
std::int32_t Bnr_PKeyIns(const BnrRecord* r);
// Writes BnrBnr and BnrEsb of the number range BnrKey; BnrEdt becomes the database time.
std::int32_t Bnr_PKeyUpd(const BnrRecord* r);

// Inserts one upload row.
std::int32_t Pps_PKeyIns(const PpsRecord* r);
