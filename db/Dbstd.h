#pragma once
// Statement module for order headers and positions, workstations, shift-model
// assignments and run parameters. Every operation returns the database result
// code (0, 1403 no row / no further row, negative error) and logs nothing.
// Operations share module buffers and cursors: not reentrant.
#include <cstdint>

#include "db/AemRecord.h"
#include "db/AplRecord.h"
#include "db/AppRecord.h"
#include "db/NzpRecord.h"
#include "util/Text.h"

// Reads the header with r->ApkApk; on non-zero clears every field but ApkApk.
std::int32_t Apk_PKeyReadk(ApkRecord* r);

// Reads the position with r->AppApk, r->AppApp; on non-zero clears all but the key.
std::int32_t App_PKeyReadk(AppRecord* r);
// Opens the range cursor: positions from (vonApk, vonApp) to (bisApk, bisApp)
// in text order, leaving out status ausgenommenSts.
std::int32_t App_VonBisOpen(const Text<12>& vonApk, const Text<5>& vonApp, const Text<12>& bisApk,
                            const Text<5>& bisApp, std::int32_t ausgenommenSts);
// Next position of the range cursor; on non-zero clears all but AppApk and AppApp.
std::int32_t App_VonBisFetch(AppRecord* r);
// Closes the range cursor.
std::int32_t App_VonBisClose();
// Writes the whole position back by its key; AppDat becomes the database time.
std::int32_t App_PKeyUpd(const AppRecord* r);
// Counts the positions with AppZf2 = zf2; *anzahl is set only on result 0.
std::int32_t App_Zf2Count(const Text<30>& zf2, std::int32_t* anzahl);
// Opens the package cursor over the positions with AppZf2 = zf2.
std::int32_t App_Zf2Open(const Text<30>& zf2);
// Next position of the package cursor; on non-zero the record is left alone.
std::int32_t App_Zf2Fetch(AppRecord* r);
// Closes the package cursor.
std::int32_t App_Zf2Close();

// Reads the workstation r->AplApl; on non-zero the record is left alone.
std::int32_t Apl_PKeyReadk(AplRecord* r);

// Opens the assignment cursor for key.AemKng, key.AemApg valid on key.AemTag,
// ordered by the shift model's begin.
std::int32_t Aem_TagOpen(AemRecord key);
// Next assignment, with its WochenJahr derived; on non-zero the record is left alone.
std::int32_t Aem_TagFetch(AemRecord* r);
// Closes the assignment cursor.
std::int32_t Aem_TagClose();

// Reads the run parameters of kind r->NzpAkz valid today; on non-zero the record is left alone.
std::int32_t Nzp_PKeyReadk(NzpRecord* r);
// Writes counters and NzpAus back to the row of NzpAkz, NzpGvn, NzpGbi; NzpAdt becomes the database time.
std::int32_t Nzp_PKeyUpd(const NzpRecord* r);
