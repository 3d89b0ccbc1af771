#include "app/Arbeitsfolge.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/Auftragskopf.h"
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

// A package member without messages of its own has nothing to evaluate: its
// times are its head's, written when the head is evaluated, whether the head
// comes before or after it. Whether the head exists is read; when that read
// fails, the member is left as it is too. Returns 1 for such a member, 0 for
// any other position, or the head's read code for an untranslatable text.
std::int32_t NurUeberKopf(const AppRecord& app) {
    const std::optional<PaketKopf> schluessel = Paketkopf(app.AppZf2);
    if (!schluessel) return 0;
    AppRecord kopf{};
    kopf.AppApk = schluessel->apk;
    kopf.AppApp = schluessel->app;
    const std::int32_t rc = App_PKeyReadk(&kopf);
    if (rc == kDbTextNichtDarstellbar) return rc;
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "App_PKeyReadk", rc);
    if (rc != 0) return rc < 0 ? 1 : 0;
    return beginntMit(kopf.AppZf2, kPaketKopf) || beginntMit(kopf.AppZf2, kPaketProg) ? 1 : 0;
}

// A text the database client cannot represent, met anywhere in what the
// evaluation reads, leaves the whole position as it was: named once.
std::int32_t textNichtDarstellbar(const AppRecord& app) {
    Msg_Fehler("Nza_ArbeitsfolgeVonBis", App_Schluessel(app).c_str(), kDbTextNichtDarstellbar);
    return kDbTextNichtDarstellbar;
}

}  // namespace

std::int32_t Nza_ArbeitsfolgeVonBis(AppRecord app) {
    const AuftragskopfJePosition kopf;
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

    // Everything the evaluation reads, but the planned times' messages, is
    // read before anything of the position is deleted: a package member
    // without messages is left to its head, and a text that cannot be read
    // leaves the position as it was.
    NzaRecord summen = nza;
    const std::int32_t summenRc = Mel_AppSum(&summen);
    std::int32_t rc = Mel_AppAplOpen(app.AppApk, app.AppApp, runContext.MelAbDatum);
    if (rc != 0) {
        Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppAplOpen", rc);
        Err_NZADelVoraus(app.AppApk, app.AppApp);
        Nza_SA11_DelVoraus(mel);
        return 0;
    }
    std::vector<Text<10>> stationen;
    while ((rc = Mel_AppAplFetch(&mel.KeyApl)) == 0) stationen.push_back(mel.KeyApl);
    Mel_AppAplClose();
    if (rc == kDbTextNichtDarstellbar) return textNichtDarstellbar(app);
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppAplFetch", rc);
    const bool stationenGelesen = rc >= 0;
    if (stationen.empty() && !(summenRc == 0 && summen.NzaMaz > 0)) {
        const std::int32_t mitglied = NurUeberKopf(app);
        if (mitglied == kDbTextNichtDarstellbar) return textNichtDarstellbar(app);
        if (mitglied == 1) return 0;
    }

    // The order's part number, read once: every workstation of the
    // position has the same order.
    Text<20> teilenummer("                    ");
    if (!stationen.empty()) {
        ApkRecord apk{};
        apk.ApkApk = mel.KeyApk;
        const std::int32_t gelesen = Auftragskopf_Lesen(&apk);
        if (gelesen == kDbTextNichtDarstellbar) return textNichtDarstellbar(app);
        Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Apk_PKeyReadk", gelesen);
        if (gelesen == 0) teilenummer = apk.ApkTnr;
    }

    // Every workstation's variant is determined before any is evaluated: the
    // last one decides whether the planned time is corrected, and a position
    // corrected again is evaluated on the planning system's unit time, as the
    // first evaluation was. Anything but 1: no correction.
    std::int32_t LeistungsKz = 0;
    std::vector<std::int32_t> varianten;
    std::vector<QuellZeilen> quellen(stationen.size());
    for (std::size_t i = 0; i < stationen.size(); ++i) {
        mel.KeyApl = stationen[i];
        varianten.push_back(Nza_VarianteFeststellen(mel, &LeistungsKz));
        if (varianten[i] == kDbTextNichtDarstellbar ||
            Nzm_QuellZeilenLesen(varianten[i], mel, &quellen[i]) == kDbTextNichtDarstellbar)
            return textNichtDarstellbar(app);
    }

    Err_NZADelVoraus(app.AppApk, app.AppApp);
    Nza_SA11_DelVoraus(mel);

    // Without all workstations or the sums (count 1, sum 0 after a failure)
    // a correction would erase the planned times of the position and its
    // package's members.
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppSum", summenRc);
    if (summenRc < 0 || !stationenGelesen) LeistungsKz = 0;
    if (LeistungsKz == 1) {
        if (const std::int32_t gelesen = App_SteZuruecknehmen(&app); gelesen != 0) {
            Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppNamOpen", gelesen);
            LeistungsKz = 0;
        }
    }

    if (!stationen.empty()) nza.NzaTnr = teilenummer;
    for (std::size_t i = 0; i < stationen.size(); ++i) {
        mel.KeyApl = stationen[i];
        mel.MelErf = runContext.Erfasser;
        Nza_VarianteAuswerten(varianten[i], mel, &nza, app, quellen[i]);
    }

    nza.NzaGum = summen.NzaGum;
    nza.NzaAum = summen.NzaAum;
    nza.NzaRf1 = summen.NzaRf1;
    nza.NzaMaz = summen.NzaMaz;
    rc = Nza_PKeyIns(&nza);
    if (rc != 0) {
        Msg_Fehler("Nza_ArbeitsfolgeVonBis", "Nza_PKeyIns", rc);
        return 0;
    }

    if (LeistungsKz == 1) {
        App_SteKorrigieren(&app, nza);
        app.AppSza = App_PlanGesamtzeit(app);
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
    if (app.AppZf2 == kPaketKopf || app.AppZf2 == kPaketProg) return 0;
    UplBdeToPps_NZA(nza, app);
    return 0;
}
