#include "app/Arbeitsfolge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/Paket.h"
#include "nza/SteKorrektur.h"
#include "nza/Upload.h"
#include "nza/Variante.h"
#include "nza/Zeit.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"

namespace {

constexpr const char* kPaketKopf = "*PKT_KOPF*";
constexpr const char* kPaketProg = "*PKT_PROG*";

bool beginntMit(const Text<30>& text, const char* marke) { return text.view().substr(0, 10) == marke; }

}  // namespace

void Nza_ArbeitsfolgeVonBis(AppRecord app) {
    NzaRecord nza{};
    nza.NzaSa = 11;
    nza.NzaApl = "          ";
    nza.NzaApk = app.AppApk;
    nza.NzaApp = app.AppApp;
    nza.NzaPnr = "        ";
    nza.NzaDtmDat = app.AppBdiDat;
    nza.NzaDtmZeit = app.AppBdiZeit;
    nza.NzaEdtDat = app.AppEdiDat;
    nza.NzaEdtZeit = app.AppEdiZeit;
    nza.NzaBmk = "BG";
    nza.NzaEmk = "EG";
    nza.NzaErf = runContext.Erfasser;

    MelRecord mel{};
    mel.KeyApk = app.AppApk;
    mel.KeyApp = app.AppApp;
    mel.KeyDat = app.AppBdiDat;

    Err_NZADelVoraus(app.AppApk, app.AppApp);
    Nza_SA11_DelVoraus(mel);

    // Anything but 1: no planned-time correction unless a workstation's
    // assignment asks for it.
    std::int32_t LeistungsKz = 0;

    std::int32_t rc = Mel_AppAplOpen(app.AppApk, app.AppApp, runContext.MelAbDatum);
    if (rc != 0) {
        Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppAplOpen", rc);
        return;
    }
    // The order's part number, read for the first workstation: the others
    // of the position have the same order, and a server is not asked again.
    std::optional<Text<20>> teilenummer;
    while ((rc = Mel_AppAplFetch(&mel.KeyApl)) == 0) {
        if (!teilenummer) {
            ApkRecord apk{};
            apk.ApkApk = mel.KeyApk;
            const std::int32_t gelesen = Apk_PKeyReadk(&apk);
            Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Apk_PKeyReadk", gelesen);
            teilenummer = gelesen == 0 ? apk.ApkTnr : Text<20>("                    ");
        }
        nza.NzaTnr = *teilenummer;
        mel.MelErf = runContext.Erfasser;
        Nza_VarianteAuswerten(mel, &nza, app, &LeistungsKz);
    }
    Mel_AppAplClose();
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppAplFetch", rc);

    Mel_AppSum(&nza);
    rc = Nza_PKeyIns(&nza);
    if (rc != 0) {
        Msg_Fehler("Nza_ArbeitsfolgeVonBis", "Nza_PKeyIns", rc);
        return;
    }

    if (LeistungsKz == 1) {
        App_SteKorrigieren(&app, nza);
        const std::int64_t x = ganz(m(app.AppSte) * app.AppSme);
        app.AppSza = hm(ganz(m(app.AppStr) + static_cast<double>(x)));
    }
    app.AppItr = nza.NzaNzr;
    app.AppIta = nza.NzaNza;
    app.AppIte = app.AppIme > 0 ? hm(ganz(m(nza.NzaNza) / app.AppIme)) : app.AppSte;

    rc = App_PKeyUpd(&app);
    if (rc != 0) Msg_Fehler("Nza_ArbeitsfolgeVonBis", "App_PKeyUpd", rc);

    if (beginntMit(app.AppZf2, kPaketKopf)) Nza_PaketProgrammieren(PaketForm::Kopf, app, nza, LeistungsKz);
    if (beginntMit(app.AppZf2, kPaketProg)) Nza_PaketProgrammieren(PaketForm::Prog, app, nza, LeistungsKz);
    // A package head itself goes to PPS only through its members; a key that
    // goes on after the marker is packaged and uploaded.
    if (app.AppZf2 == kPaketKopf || app.AppZf2 == kPaketProg) return;
    UplBdeToPps_NZA(nza, app);
}
