#include "app/Merker.h"

#include <cstdint>

#include "db/DbMel.h"
#include "util/MsgLog.h"

void Get_MerkNZALoeschen(AppRecord app) {
    MrkRecord mrk{};
    mrk.MrkKng = "NZA";
    mrk.MrkApl = "0000000000";
    mrk.MrkApk = app.AppApk;
    mrk.MrkApp = app.AppApp;
    mrk.MrkPnr = "00000000";
    mrk.MrkBnr = 0;
    // No marker: nothing to delete and nothing to report.
    if (const std::int32_t gelesen = Mrk_PKeyReadk(&mrk); gelesen != 0) {
        Msg_Datenbankfehler("Get_MerkNZALoeschen", "Mrk_PKeyReadk", gelesen);
        return;
    }
    const std::int32_t rc = Mrk_PKeyDel(mrk);
    if (rc != 0) Msg_Fehler("Get_MerkNZALoeschen", "Mrk_PKeyDel", rc);
}
