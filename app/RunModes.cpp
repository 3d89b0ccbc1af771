#include "app/RunModes.h"

#include <cstdint>

#include "app/Arbeitsfolge.h"
#include "app/Merker.h"
#include "app/Parameter.h"
#include "app/RunContext.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "util/MsgLog.h"

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

void Verarbeitung_VonBis() {
    NzpRecord nzp{};
    Nzm_Parameter(&nzp);
    if (App_VonBisOpen(runContext.VonApk, runContext.VonApp, runContext.BisApk, runContext.BisApp,
                       kAusgenommenerStatus) == 0) {
        AppRecord app{};
        while (App_VonBisFetch(&app) == 0) {
            Nza_ArbeitsfolgeVonBis(app);
            Get_MerkNZALoeschen(app);
        }
        App_VonBisClose();
    }
    laufEintragen(nzp);
}

void Verarbeitung_MRK() {
    NzpRecord nzp{};
    Nzm_Parameter(&nzp);
    MrkRecord mrk{};
    mrk.MrkKng = "NZA";
    if (Mrk_KngOpen(mrk.MrkKng) == 0) {
        // The cursor keeps delivering markers that the loop itself has
        // deleted meanwhile: two markers of one position are two evaluations.
        while (Mrk_KngFetch(&mrk) == 0) {
            AppRecord app{};
            app.AppApk = mrk.MrkApk;
            app.AppApp = mrk.MrkApp;
            const std::int32_t rc = App_PKeyReadk(&app);
            if (rc != 0)
                Msg_Fehler("Verarbeitung_MRK", "App_PKeyReadk", rc);
            else
                Nza_ArbeitsfolgeVonBis(app);
            // The key is set even when the read failed: the marker goes anyway.
            Get_MerkNZALoeschen(app);
        }
        Mrk_KngClose();
    }
    laufEintragen(nzp);
}
