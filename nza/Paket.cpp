#include "nza/Paket.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/SteKorrektur.h"
#include "nza/Upload.h"
#include "nza/Zeit.h"
#include "util/MsgLog.h"

namespace {

constexpr const char* kFunktion = "Nza_PaketProgrammieren";

// Share of t by factor f and by divisor c, both cut to whole minutes.
double s(double t, double f) { return hm(ganz(m(t) * f)); }
double d(double t, std::int32_t c) { return hm(ganz(m(t) / c)); }

// Planned minutes beyond the set-up time; 0 when there are none.
std::int64_t Nettominuten(const AppRecord& a) {
    if (a.AppSza > 0 && a.AppSza > a.AppStr) return ganz(m(a.AppSza) - m(a.AppStr));
    return 0;
}

// Starts the member's NZA record: its stored row when there is one (true),
// otherwise the head's record with the member's key and part number (false).
bool MitgliedNza(const NzaRecord& kopfNza, const AppRecord& mitglied, NzaRecord* nza) {
    *nza = kopfNza;
    nza->NzaApk = mitglied.AppApk;
    nza->NzaApp = mitglied.AppApp;
    const std::int32_t gelesen = Nza_PKeyReadk(nza);
    if (gelesen == 0) return true;
    Msg_Datenbankfehler(kFunktion, "Nza_PKeyReadk", gelesen);

    // A failed read leaves zeroed numbers behind: start again from the head.
    *nza = kopfNza;
    nza->NzaApk = mitglied.AppApk;
    nza->NzaApp = mitglied.AppApp;
    ApkRecord apk;
    apk.ApkApk = mitglied.AppApk;
    if (const std::int32_t rc = Apk_PKeyReadk(&apk); rc == 0) {
        nza->NzaTnr = apk.ApkTnr;
    } else {
        Msg_Datenbankfehler(kFunktion, "Apk_PKeyReadk", rc);
        nza->NzaTnr = "                   ";
    }
    return false;
}

// Head form: shares in proportion to the planned times of member and head.
void KopfAnteile(const AppRecord& kopf, const NzaRecord& k, std::int32_t LeistungsKz, AppRecord* a, NzaRecord* n) {
    n->NzaRf1 = 0.0;
    n->NzaMaz = 0;

    const double f1 = (a->AppSza > 0 && kopf.AppSza > 0) ? m(a->AppSza) / m(kopf.AppSza) : 0.0;
    n->NzaNzr = s(k.NzaNzr, f1);
    n->NzaBzr = s(k.NzaBzr, f1);
    n->NzaPzr = s(k.NzaPzr, f1);
    n->NzaUzr = s(k.NzaUzr, f1);
    n->NzaRbz = s(k.NzaRbz, f1);
    a->AppItr = n->NzaNzr;

    const std::int64_t kopfNetto = Nettominuten(kopf);
    const double f2 = kopfNetto > 0 ? static_cast<double>(Nettominuten(*a)) / static_cast<double>(kopfNetto) : 1.0;
    const std::int64_t minuten = ganz(m(k.NzaNza) * f2);
    n->NzaNza = hm(minuten);
    a->AppIte = a->AppIme > 0 ? hm(ganz(static_cast<double>(minuten) / a->AppIme)) : 0.0;

    n->NzaBzA = s(k.NzaBzA, f2);
    n->NzaPza = s(k.NzaPza, f2);
    n->NzaUza = s(k.NzaUza, f2);
    n->NzaAbz = s(k.NzaAbz, f2);
    a->AppIta = n->NzaNza;
    n->NzaNzu = s(k.NzaNzu, f2);
    n->NzaBzu = s(k.NzaBzu, f2);
    n->NzaPzu = s(k.NzaPzu, f2);
    n->NzaUbz = s(k.NzaUbz, f2);

    if (LeistungsKz == 1) {
        App_SteKorrigieren(a, k);
        a->AppSza = App_PlanGesamtzeit(*a);
    }
    a->AppIta = hm(ganz(m(a->AppIta) + m(a->AppItr)));
}

// Program form: the head's actual times in equal parts as the member's
// planned times; the member has no actual times of its own.
void ProgAnteile(const NzaRecord& k, std::int32_t anzahl, AppRecord* a, NzaRecord* n) {
    n->NzaNzr = d(k.NzaNza, anzahl);
    n->NzaBzr = d(k.NzaBzA, anzahl);
    n->NzaPzr = d(k.NzaPza, anzahl);
    n->NzaUzr = d(k.NzaUza, anzahl);
    n->NzaRbz = d(k.NzaBzA, anzahl);
    a->AppItr = n->NzaNzr;

    n->NzaNza = 0.0;
    n->NzaBzA = 0.0;
    n->NzaPza = 0.0;
    n->NzaUza = 0.0;
    n->NzaAbz = 0.0;
    a->AppIta = 0.0;

    n->NzaNzu = d(k.NzaNzu, anzahl);
    n->NzaBzu = d(k.NzaBzu, anzahl);
    n->NzaPzu = d(k.NzaPzu, anzahl);
    n->NzaUbz = d(k.NzaUbz, anzahl);

    a->AppIta = a->AppIta + a->AppItr;
    a->AppIte = 0.0;
}

// A failed step is logged and the member's later steps still run: the upload
// and the NZA row do not depend on the position's write.
void SchreibenUndHochladen(const AppRecord& mitglied, const NzaRecord& nza, bool vorhanden) {
    std::int32_t rc = App_PKeyUpd(&mitglied);
    if (rc != 0) Msg_Fehler(kFunktion, "App_PKeyUpd", rc);

    UplBdeToPps_NZA(nza, mitglied);

    rc = vorhanden ? Nza_PKeyUpd(&nza) : Nza_PKeyIns(&nza);
    if (rc != 0) Msg_Fehler(kFunktion, "Nza_PKeyIns/Upd", rc);
}

}  // namespace

Text<30> Paketschluessel(const char* apk, const char* app) {
    char puffer[31] = {};
    std::snprintf(puffer, sizeof puffer, "%12s%5s%13s", apk, app, "");
    return Text<30>(puffer);
}

std::optional<PaketKopf> Paketkopf(const Text<30>& zf2) {
    const std::string_view v = zf2.view();
    if (v.size() != 30) return std::nullopt;
    const auto ohneBlanks = [](std::string_view t) { return t.substr(std::min(t.find_first_not_of(' '), t.size())); };
    const PaketKopf kopf{Text<12>(ohneBlanks(v.substr(0, 12))), Text<5>(ohneBlanks(v.substr(12, 5)))};
    if (kopf.apk.size() == 0 || kopf.app.size() == 0) return std::nullopt;
    if (Paketschluessel(kopf.apk.c_str(), kopf.app.c_str()).view() != v) return std::nullopt;
    return kopf;
}

void Nza_PaketProgrammieren(PaketForm form, AppRecord kopf, NzaRecord kopfNza, std::int32_t LeistungsKz) {
    const Text<30> schluessel = Paketschluessel(kopf.AppApk.c_str(), kopf.AppApp.c_str());

    std::int32_t anzahl = 0;
    if (form == PaketForm::Prog) {
        Msg_Datenbankfehler(kFunktion, "App_Zf2Count", App_Zf2Count(schluessel, &anzahl));
        if (anzahl <= 0) return;
    }

    std::int32_t rc = App_Zf2Open(schluessel);
    if (rc != 0) {
        Msg_Datenbankfehler(kFunktion, "App_Zf2Open", rc);
        return;
    }
    AppRecord mitglied;
    while ((rc = App_Zf2Fetch(&mitglied)) == 0 || rc == kDbTextNichtDarstellbar) {
        if (rc != 0) {
            // A member whose text the code page cannot hold stays as it is.
            Msg_Fehler(kFunktion, App_Schluessel(mitglied).c_str(), rc);
            continue;
        }
        NzaRecord nza;
        const bool vorhanden = MitgliedNza(kopfNza, mitglied, &nza);
        if (form == PaketForm::Kopf) {
            // A member corrected again is corrected from its planning
            // system's unit time; when its messages cannot be read, it is not
            // corrected at all.
            // The correction replaces the member's planned total time with
            // the one its unit time gives: its shares follow that one from
            // the first evaluation on, so that every later one gives the same.
            std::int32_t korrigieren = LeistungsKz;
            if (korrigieren == 1) {
                if (const std::int32_t gelesen = App_SteZuruecknehmen(&mitglied); gelesen != 0) {
                    Msg_Datenbankfehler(kFunktion, "Mel_AppNamOpen", gelesen);
                    korrigieren = 0;
                } else {
                    mitglied.AppSza = App_PlanGesamtzeit(mitglied);
                }
            }
            KopfAnteile(kopf, kopfNza, korrigieren, &mitglied, &nza);
        } else {
            ProgAnteile(kopfNza, anzahl, &mitglied, &nza);
        }
        SchreibenUndHochladen(mitglied, nza, vorhanden);
    }
    App_Zf2Close();
    Msg_Datenbankfehler(kFunktion, "App_Zf2Fetch", rc);
}
