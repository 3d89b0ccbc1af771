#include "app/Arbeitsfolge.h"

#include <cstdint>
#include <optional>

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

// The total record that the position's last evaluation left, read before it
// is deleted: it names the mean performance that corrected the planned time.
std::optional<NzaRecord> VorigeGesamtzeile(const NzaRecord& gesamt) {
    std::optional<NzaRecord> vorige;
    if (Nza_PosOpen(gesamt) != 0) return vorige;
    NzaRecord zeile = gesamt;
    if (Nza_PosFetch(&zeile) == 0) vorige = zeile;
    Nza_PosClose();
    return vorige;
}

}  // namespace

void Nza_ArbeitsfolgeVonBis(AppRecord app) {
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

    // The workstations are evaluated on the planning system's unit time, as
    // the first evaluation was. The message sums that the total record gets
    // are read here already: they tell, with the previous total record,
    // whether AppSte is an earlier correction. Both are read before the old
    // rows are deleted.
    NzaRecord summen = nza;
    const std::int32_t summenRc = Mel_AppSum(&summen);
    const std::optional<NzaRecord> vorige = VorigeGesamtzeile(nza);
    const NzaRecord* vorher = vorige ? &*vorige : nullptr;
    App_SteZuruecknehmen(&app, vorher, summen);
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
    // of the position have the same order.
    std::optional<Text<20>> teilenummer;
    while ((rc = Mel_AppAplFetch(&mel.KeyApl)) == 0) {
        if (!teilenummer) {
            ApkRecord apk{};
            apk.ApkApk = mel.KeyApk;
            const std::int32_t gelesen = Auftragskopf_Lesen(&apk);
            Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Apk_PKeyReadk", gelesen);
            teilenummer = gelesen == 0 ? apk.ApkTnr : Text<20>("                    ");
        }
        nza.NzaTnr = *teilenummer;
        mel.MelErf = runContext.Erfasser;
        Nza_VarianteAuswerten(mel, &nza, app, &LeistungsKz);
    }
    Mel_AppAplClose();
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppAplFetch", rc);

    // Reported here, where the sums are used: a position whose workstations
    // cannot be read has been reported already.
    Msg_Datenbankfehler("Nza_ArbeitsfolgeVonBis", "Mel_AppSum", summenRc);
    nza.NzaGum = summen.NzaGum;
    nza.NzaAum = summen.NzaAum;
    nza.NzaRf1 = summen.NzaRf1;
    nza.NzaMaz = summen.NzaMaz;
    // A failed sums query leaves failure values (count 1, sum 0) in the
    // record; they must not erase the planned times of the position and of
    // its package's members.
    if (summenRc < 0) LeistungsKz = 0;
    rc = Nza_PKeyIns(&nza);
    if (rc != 0) {
        Msg_Fehler("Nza_ArbeitsfolgeVonBis", "Nza_PKeyIns", rc);
        return;
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

    if (beginntMit(app.AppZf2, kPaketKopf)) Nza_PaketProgrammieren(PaketForm::Kopf, app, nza, LeistungsKz, vorher);
    if (beginntMit(app.AppZf2, kPaketProg)) Nza_PaketProgrammieren(PaketForm::Prog, app, nza, LeistungsKz, vorher);
    // A package head itself goes to PPS only through its members; a key that
    // goes on after the marker is packaged and uploaded.
    if (app.AppZf2 == kPaketKopf || app.AppZf2 == kPaketProg) return;
    UplBdeToPps_NZA(nza, app);
}
