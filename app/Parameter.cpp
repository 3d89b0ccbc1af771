#include "app/Parameter.h"

#include <cstdint>

#include "db/Dbstd.h"
#include "util/MsgLog.h"

void Nzm_Parameter(NzpRecord* nzp) {
    NzpRecord r{};
    r.NzpAkz = 2;
    const std::int32_t rc = Nzp_PKeyReadk(&r);
    if (rc != 0) Msg_Fehler("Nzm_Parameter", "Nzp_PKeyReadk", rc);
    *nzp = r;
}

void Nzm_ParameterUpd(NzpRecord nzp) {
    const std::int32_t rc = Nzp_PKeyUpd(&nzp);
    if (rc != 0) Msg_Fehler("Nzm_Parameter", "Nzp_PKeyUpd", rc);
}
