#include "nza/TagesWerte.h"

#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/Auftragskopf.h"
#include "nza/Zeit.h"
#include "util/MsgLog.h"

namespace {

// The durations that variants 3 and 4 sum, in the order the total record is updated.
constexpr std::array<double NzaRecord::*, 13> kDauern = {&NzaRecord::NzaNza, &NzaRecord::NzaAbz, &NzaRecord::NzaPza,
                                                         &NzaRecord::NzaNzr, &NzaRecord::NzaBzr, &NzaRecord::NzaRbz,
                                                         &NzaRecord::NzaPzr, &NzaRecord::NzaUza, &NzaRecord::NzaUzr,
                                                         &NzaRecord::NzaNzu, &NzaRecord::NzaBzu, &NzaRecord::NzaPzu,
                                                         &NzaRecord::NzaBzA};

using Minuten = std::array<double, kDauern.size()>;
static_assert(std::tuple_size_v<decltype(QuellZeilen::minuten)> == kDauern.size());

// The evaluation row of a workstation before its values are known.
NzaRecord auswertungsZeile(const MelRecord& mel, const NzaRecord& nza) {
    NzaRecord r{};
    r.NzaSa = 10;
    r.NzaApl = mel.KeyApl;
    r.NzaApk = mel.KeyApk;
    r.NzaApp = mel.KeyApp;
    r.NzaErf = mel.MelErf;
    r.NzaTnr = nza.NzaTnr;
    r.NzaBmk = "BG";
    r.NzaEmk = "EG";
    return r;
}

// Begin and end of the source rows on the workstation's evaluation row.
void grenzenEintragen(const QuellZeilen& quelle, NzaRecord* r) {
    if (!quelle.gefunden) return;
    r->NzaDtmDat = quelle.grenzen.NzaDtmDat;
    r->NzaDtmZeit = quelle.grenzen.NzaDtmZeit;
    r->NzaEdtDat = quelle.grenzen.NzaEdtDat;
    r->NzaEdtZeit = quelle.grenzen.NzaEdtZeit;
    r->NzaPnr = "        ";
}

// Adds the sums to the total record, each field cut to whole minutes.
void zurGesamtzeileAddieren(NzaRecord* nza, const Minuten& summe) {
    for (std::size_t i = 0; i < kDauern.size(); ++i) nza->*kDauern[i] = hm(ganz(m(nza->*kDauern[i]) + summe[i]));
}

void summenEintragen(NzaRecord* r, const Minuten& summe) {
    for (std::size_t i = 0; i < kDauern.size(); ++i) r->*kDauern[i] = hm(ganz(summe[i]));
}

// Quantities from the workstation's messages, then the insert. Quantities
// that could not be summed are written as 0, which the log must explain.
void auswertungSchreiben(const char* funktion, NzaRecord* r) {
    Msg_Datenbankfehler(funktion, "Mel_AplAppSum", Mel_AplAppSum(r));
    const std::int32_t rc = Nza_PKeyIns(r);
    if (rc != 0) Msg_Fehler("Nzm_TagesWertePA", "Nza_PKeyIns", rc);
}

}  // namespace

void Nzm_TagesWertePA(MelRecord mel, NzaRecord* nza, AppRecord app) {
    NzaRecord r{};
    r.NzaSa = 10;
    r.NzaApl = mel.KeyApl;
    r.NzaApk = mel.KeyApk;
    r.NzaApp = mel.KeyApp;
    r.NzaPnr = "        ";
    r.NzaDtmDat = nza->NzaDtmDat;
    r.NzaDtmZeit = nza->NzaDtmZeit;
    r.NzaEdtDat = nza->NzaEdtDat;
    r.NzaEdtZeit = nza->NzaEdtZeit;
    r.NzaErf = nza->NzaErf;
    r.NzaTnr = nza->NzaTnr;
    r.NzaBmk = "BG";
    r.NzaEmk = "EG";
    r.NzaNzr = app.AppStr;
    r.NzaBzr = app.AppStr;
    r.NzaNza = hm(ganz(m(app.AppSte) * app.AppIme));
    r.NzaBzA = r.NzaNza;
    r.NzaGum = app.AppIme;

    const std::int32_t rc = Nza_PKeyIns(&r);
    if (rc != 0) {
        Msg_Fehler("Nzm_TagesWertePA", "Nza_PKeyIns", rc);
        return;
    }
    // The planned values are the same for every workstation: they replace
    // what the total record held.
    nza->NzaNza = r.NzaNza;
    nza->NzaBzA = r.NzaBzA;
    nza->NzaNzr = r.NzaNzr;
    nza->NzaBzr = r.NzaBzr;
    nza->NzaGum = r.NzaGum;
    nza->NzaAbz = 0;
    nza->NzaPza = 0;
    nza->NzaRbz = 0;
    nza->NzaPzr = 0;
    nza->NzaUza = 0;
    nza->NzaUzr = 0;
    nza->NzaNzu = 0;
    nza->NzaBzu = 0;
    nza->NzaPzu = 0;
    nza->NzaAum = 0;
}

std::int32_t Nzm_QuellZeilenLesen(std::int32_t variante, const MelRecord& mel, QuellZeilen* quelle) {
    *quelle = QuellZeilen{};
    if (variante != 3 && variante != 4) return 0;
    const char* funktion = variante == 3 ? "Nzm_TagesWerteVariante3" : "Nzm_TagesWerteVariante4";
    NzaRecord s{};
    s.NzaSa = variante == 3 ? 5 : 6;
    s.NzaApl = mel.KeyApl;
    s.NzaApk = mel.KeyApk;
    s.NzaApp = mel.KeyApp;
    std::int32_t rc = Nza_PosOpen(s);
    if (rc != 0) {
        Msg_Datenbankfehler(funktion, "Nza_PosOpen", rc);
        return 0;
    }
    while ((rc = Nza_PosFetch(&s)) == 0) {
        if (!quelle->gefunden) {
            quelle->grenzen.NzaDtmDat = s.NzaDtmDat;
            quelle->grenzen.NzaDtmZeit = s.NzaDtmZeit;
            quelle->gefunden = true;
        }
        for (std::size_t i = 0; i < kDauern.size(); ++i) quelle->minuten[i] += m(s.*kDauern[i]);
        quelle->grenzen.NzaEdtDat = s.NzaEdtDat;
        quelle->grenzen.NzaEdtZeit = s.NzaEdtZeit;
    }
    Nza_PosClose();
    if (rc == kDbTextNichtDarstellbar) return rc;
    Msg_Datenbankfehler(funktion, "Nza_PosFetch", rc);
    return 0;
}

void Nzm_TagesWerteVariante3(MelRecord mel, NzaRecord* nza, const QuellZeilen& quelle) {
    ApkRecord apk{};
    apk.ApkApk = mel.KeyApk;
    const std::int32_t gelesen = Auftragskopf_Lesen(&apk);
    if (gelesen == 0) nza->NzaTnr = apk.ApkTnr;
    Msg_Datenbankfehler("Nzm_TagesWerteVariante3", "Apk_PKeyReadk", gelesen);

    NzaRecord r = auswertungsZeile(mel, *nza);
    grenzenEintragen(quelle, &r);
    zurGesamtzeileAddieren(nza, quelle.minuten);
    summenEintragen(&r, quelle.minuten);
    if (quelle.gefunden) auswertungSchreiben("Nzm_TagesWerteVariante3", &r);
}

void Nzm_TagesWerteVariante4(MelRecord mel, NzaRecord* nza, const QuellZeilen& quelle) {
    if (!quelle.gefunden) return;
    NzaRecord r = auswertungsZeile(mel, *nza);
    grenzenEintragen(quelle, &r);
    zurGesamtzeileAddieren(nza, quelle.minuten);
    summenEintragen(&r, quelle.minuten);
    auswertungSchreiben("Nzm_TagesWerteVariante4", &r);
}
