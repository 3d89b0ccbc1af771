// The error-protocol writers.
#include "nza/Protokoll.h"

#include "db/DbMel.h"
#include "db/Stempel.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"

void Write_Protokoll(ErrRecord e) {
    e.ErrPgm = "Korvim";
    e.ErrErf = "Korvim";
    e.ErrBer = "BDE";
    e.ErrFun = "NZA";
    // Logged whatever the result: the log shows every attempt to protocol.
    Msg_Fehler("Write_Protokoll", "Err_PKeyIns", Err_PKeyIns(&e));
}

std::int32_t Write_ProtokollMel(MelRecord m) {
    ErrRecord e;
    e.ErrErf = runContext.Erfasser;
    e.ErrBer = "BDE";
    e.ErrFun = "NZA";
    e.ErrApl = m.KeyApl;
    e.ErrApk = m.KeyApk;
    e.ErrApp = m.KeyApp;
    char edt[15];
    stempel::nza(edt, m.KeyDat, m.KeyUhr);
    e.ErrEdt = edt;
    e.ErrFnr = 7012;
    return Err_PKeyIns(&e);
}
