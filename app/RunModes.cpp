#include "app/RunModes.h"

#include <cstdint>

#include "app/Anhalten.h"
#include "app/Arbeitsfolge.h"
#include "app/Fortschritt.h"
#include "app/Merker.h"
#include "app/Parameter.h"
#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"

namespace {

// Positions of this status are never evaluated by the range run.
constexpr std::int32_t kAusgenommenerStatus = 10;

// Every run ends by recording itself in the run parameters, also when it
// processed nothing.
void laufEintragen(NzpRecord nzp) {
    nzp.NzpAus = runContext.Erfasser;
    nzp.NzpAan = 0;
    nzp.NzpVfh = 0;
    nzp.NzpNfh = 0;
    Nzm_ParameterUpd(nzp);
}

}  // namespace

bool Verarbeitung_VonBis() {
    NzpRecord nzp{};
    Nzm_Parameter(&nzp);
    std::int32_t rc = App_VonBisOpen(runContext.VonApk, runContext.VonApp, runContext.BisApk, runContext.BisApp,
                                     kAusgenommenerStatus);
    // A walk that ends on a database error, not at the end of its rows,
    // leaves positions unevaluated: it is logged.
    if (rc != 0) {
        Msg_Datenbankfehler("Verarbeitung_VonBis", "App_VonBisOpen", rc);
    } else {
        AppRecord app{};
        while ((rc = App_VonBisFetch(&app)) == 0 || rc == kDbTextNichtDarstellbar) {
            // Stopped: nothing more is written, not even the run parameters.
            if (Anhalten_Pruefen("Verarbeitung_VonBis", App_Schluessel(app))) {
                App_VonBisClose();
                return false;
            }
            if (rc != 0) {
                // One odd character must not stop the run: the position stays
                // as it is and is named in the log.
                Msg_Fehler("Verarbeitung_VonBis", App_Schluessel(app).c_str(), rc);
                continue;
            }
            // a position left as it was for an odd character keeps its marker
            if (Nza_ArbeitsfolgeVonBis(app) != kDbTextNichtDarstellbar) Get_MerkNZALoeschen(app);
            Fortschritt_Position();
        }
        App_VonBisClose();
        Msg_Datenbankfehler("Verarbeitung_VonBis", "App_VonBisFetch", rc);
    }
    laufEintragen(nzp);
    return rc >= 0;
}

bool Verarbeitung_MRK() {
    NzpRecord nzp{};
    Nzm_Parameter(&nzp);
    MrkRecord mrk{};
    mrk.MrkKng = "NZA";
    std::int32_t rc = Mrk_KngOpen(mrk.MrkKng);
    if (rc != 0) {
        Msg_Datenbankfehler("Verarbeitung_MRK", "Mrk_KngOpen", rc);
    } else {
        // The cursor keeps delivering markers that the loop itself has
        // deleted meanwhile: two markers of one position are two evaluations.
        while ((rc = Mrk_KngFetch(&mrk)) == 0) {
            if (Anhalten_Pruefen("Verarbeitung_MRK", mrk.MrkApk.str() + " " + mrk.MrkApp.str())) {
                Mrk_KngClose();
                return false;
            }
            AppRecord app{};
            app.AppApk = mrk.MrkApk;
            app.AppApp = mrk.MrkApp;
            std::int32_t lesen = App_PKeyReadk(&app);
            if (lesen == kDbTextNichtDarstellbar) Msg_Fehler("Verarbeitung_MRK", App_Schluessel(app).c_str(), lesen);
            else if (lesen != 0) Msg_Fehler("Verarbeitung_MRK", "App_PKeyReadk", lesen);
            else lesen = Nza_ArbeitsfolgeVonBis(app);
            // The key is set even when the read failed: the marker goes anyway,
            // except for a position skipped for an odd character, which is to
            // be tried again once its text is mended.
            if (lesen != kDbTextNichtDarstellbar) Get_MerkNZALoeschen(app);
            Fortschritt_Position();
        }
        Mrk_KngClose();
        Msg_Datenbankfehler("Verarbeitung_MRK", "Mrk_KngFetch", rc);
    }
    laufEintragen(nzp);
    return rc >= 0;
}
