#include "app/Arbeitsfolge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "util/RunContext.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/Paket.h"
#include "nza/Upload.h"
#include "nza/Variante.h"
#include "nza/Zeit.h"
#include "util/MsgLog.h"

namespace {

constexpr const char* kPaketKopf = "*PKT_KOPF*";
constexpr const char* kPaketProg = "*PKT_PROG*";

bool beginntMit(const Text<30>& text, const char* marke) { return text.view().substr(0, 10) == marke; }

}  // namespace

void App_SteKorrigieren(AppRecord* app, NzaRecord nza) {
    // The former unit time is kept as text behind the first 22 characters of
    // AppZf3. Only 8 characters fit there; a longer value is cut. A shorter
    // AppZf3 has nothing at that place and stays as it is.
    if (app->AppZf3.size() >= 22) {
        char wert[512];
        const int n = std::snprintf(wert, sizeof wert, "%-4.2f", app->AppSte);
        const std::size_t laenge = n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), 8);
        std::string neu(app->AppZf3.view().substr(0, 22));
        neu.append(wert, laenge);
        app->AppZf3 = neu;
    }
    // NzaRf1 is the sum of the messages' performance percentages, NzaMaz
    // their count: the unit time is scaled by their mean.
    if (nza.NzaMaz > 0) app->AppSte = app->AppSte * ((nza.NzaRf1 / nza.NzaMaz) / 100);
}

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
