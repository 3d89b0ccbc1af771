#include "nza/Upload.h"

#include <cstdint>
#include <limits>

#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/runtime/ResultCodes.h"
#include "util/DatumZeit.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"

void UploadNummer(PpsRecord* pps) {
    // Runs over disjoint ranges draw from the same number range; read, raise
    // and write back must not interleave, or two uploads share one number.
    std::int32_t rc = dbExklusivBeginn("PPSNR");
    if (rc != 0) {
        Msg_Fehler("UploadNummer", "Get,Ins,Upd", rc);
        return;
    }
    BnrRecord bnr;
    bnr.BnrKey = "PPSNR";
    if (Bnr_PKeyReadk(&bnr) == 0) {
        if (bnr.BnrBnr == std::numeric_limits<std::int32_t>::max()) {
            // Wrapping to a negative number would hand PPS a number it
            // already had: the range is exhausted.
            rc = rt::err::NumberTooLarge;
        } else {
            bnr.BnrBnr = bnr.BnrBnr + 1;
            bnr.BnrEsb = runContext.Erfasser;
            rc = Bnr_PKeyUpd(&bnr);
        }
    } else {
        // Also after a failed read: the range's key refuses a second row, so
        // an existing range is never reset to 1.
        bnr.BnrKey = "PPSNR";
        bnr.BnrEsb = runContext.Erfasser;
        bnr.BnrBnr = 1;
        rc = Bnr_PKeyIns(&bnr);
    }
    dbExklusivEnde();
    if (rc == 0) {
        pps->PpsLfn = bnr.BnrBnr;
    } else {
        Msg_Fehler("UploadNummer", "Get,Ins,Upd", rc);
    }
}

void UplBdeToPps_NZA(NzaRecord nza, AppRecord app) {
    PpsRecord pps{};

    // Date and time of the message come from one clock reading, the stamp
    // from a second one.
    char datum[15] = {};
    char zeit[7] = {};
    Get_SystemDatumZeit(datum, zeit, 3);
    pps.PpsMdt = datum;
    pps.PpsMzt = zeit;
    Get_SystemDatumZeit(datum, zeit, 4);
    pps.PpsDat = datum;

    pps.PpsVkz = "*NO";
    pps.PpsFcd = "AZ";
    pps.PpsPnr = "99999999";
    pps.PpsAwn = "99999999";
    pps.PpsUbg = "0000";
    pps.PpsAug = "0000";
    pps.PpsSto = "+";
    pps.PpsSts = 0;
    pps.PpsMam = 0.0;
    pps.PpsNam = 0.0;

    pps.PpsApl = app.AppApl;
    pps.PpsApk = app.AppApk;
    pps.PpsApp = app.AppApp;
    pps.PpsMee = app.AppMee;
    pps.PpsZt3 = app.AppIte;

    pps.PpsGum = nza.NzaGum;
    pps.PpsFam = nza.NzaAum;
    pps.PpsZt1 = nza.NzaNzr;
    pps.PpsZt2 = nza.NzaNza;

    // A failed draw leaves PpsLfn 0; the row goes to PPS all the same.
    UploadNummer(&pps);

    const std::int32_t rc = Pps_PKeyIns(&pps);
    if (rc != 0) Msg_Fehler("UplBdeToPps_NZA", "Pps_PKeyIns", rc);
}
