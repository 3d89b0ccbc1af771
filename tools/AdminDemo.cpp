// korvimand-admin demo: loads a small, realistic shop-floor day into an empty
// database, so that a first run of korvimand has something to evaluate and
// every kind of case shows up once: the evaluation variants 2, 3, 4 and 5, a
// workstation evaluated through its group, the performance correction, both
// package forms, markers of both kinds and one workstation without any
// shift-model assignment, whose failure the run logs.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "db/Ladezeilen.h"
#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "nza/Paket.h"
#include "nza/Zeit.h"
#include "tools/Admin.h"
#include "tools/AdminSitzung.h"

namespace {

// The day the demo's shop floor worked: yesterday, so that the rows look
// like the previous shift's bookings whatever day the demo runs.
struct Tage {
    std::string gestern;      // yyyymmdd
    std::string vorMonat;     // validity start of the run parameters
    std::string inEinemJahr;  // validity end of the run parameters
};

// The day a number of days away, at noon so that no daylight-saving change
// moves it to another day.
std::tm verschoben(std::tm t, int tage) {
    t.tm_mday += tage;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);
    return t;
}

std::string datum(const std::tm& t) {
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &t);
    return buf;
}

Tage tage() {
    const std::time_t jetzt = std::time(nullptr);
    std::tm heute{};
    localtime_r(&jetzt, &heute);
    const std::tm g = verschoben(heute, -1);
    Tage d;
    d.gestern = datum(g);
    d.vorMonat = datum(verschoben(heute, -30));
    d.inEinemJahr = datum(verschoben(heute, 365));
    return d;
}

// Binds of std::string values; an empty text goes to the database as NULL.
rt::Bind s(std::string& v) { return rt::txt(v.data(), static_cast<std::int32_t>(v.size() + 1)); }

// Every insert of the load; the first failure is kept and ends the load.
class Laden {
public:
    explicit Laden(std::string tag) : tag_(std::move(tag)) {}

    std::int32_t fehler() const { return rc_; }
    int zeilen() const { return zeilen_; }

    void auftrag(std::string apk, std::string bz1, std::string tnr) {
        zeile([&] { return Laden_Auftrag({apk, bz1, tnr}); });
    }

    struct Position {
        std::string apk, app, bz1, apl;
        std::string von = "060000", bis = "143000";  // actual begin and end on the demo day
        double sme = 0, ime = 0;                     // planned and actual quantity
        double str = 0, ste = 0;                     // set-up time and unit time, h.mm
        std::int32_t sts = 20;
        std::string zf2;  // package marker or package key
        std::string zf3 = "Vorgabe aus Arbeitsplan";
    };
    static Position pos(std::string apk, std::string app, std::string bz1, std::string apl, std::string von,
                        std::string bis, double sme, double ime, double str, double ste) {
        Position p;
        p.apk = std::move(apk);
        p.app = std::move(app);
        p.bz1 = std::move(bz1);
        p.apl = std::move(apl);
        p.von = std::move(von);
        p.bis = std::move(bis);
        p.sme = sme;
        p.ime = ime;
        p.str = str;
        p.ste = ste;
        return p;
    }
    void position(Position p) {
        // The planned total the planning system would have stored: set-up
        // time plus unit time times planned quantity.
        const double sza = hm(ganz(m(p.str) + static_cast<double>(ganz(m(p.ste) * p.sme))));
        zeile([&] {
            return Laden_Position({p.apk, p.app, p.bz1, p.apl, p.sts, tag_ + p.von, tag_ + p.bis, p.sme, p.ime, sza,
                                   p.str, p.ste, p.zf2, p.zf3});
        });
    }

    // One booking message of the shop floor: "M_A" messages name the
    // workstations that worked on a position; "A07" (quantity report) and
    // "A06" (finish) carry good and scrap quantities and the performance
    // percentage that the planned-time correction averages.
    struct Meldung {
        std::string apk, app, apl, uhr, fcd;
        double gum = 0, fam = 0, nam = 0;
        std::string pnr = "00001001";
        std::string objTyp = "M_A";
    };
    void meldung(Meldung m) {
        const std::int32_t bnr = ++buchungsnummer_;
        zeile([&] {
            return Laden_Meldung({bnr, m.objTyp, m.pnr, m.apl, m.apk, m.app, tag_, m.uhr, m.fcd, m.gum, m.fam, m.nam});
        });
    }

    void arbeitsplatz(std::string apl, std::string bez, std::string gruppe) {
        zeile([&] { return Laden_Arbeitsplatz(apl, bez, gruppe); });
    }

    // A shift model with its day type and its begin in h.mm.
    void schichtmodell(std::string emo, std::string bez, std::int32_t ttp, double beg) {
        zeile([&] { return Laden_Schichtmodell(emo, bez, ttp, beg); });
    }

    void kalendertag(std::string kal, std::int32_t btp) {
        zeile([&] { return Laden_Kalendertag(kal, tag_, btp); });
    }

    void allgKalendertag() {
        zeile([&] { return Laden_AllgKalendertag(*AllgKalendertag(tag_)); });
    }

    // A shift-model assignment of a workstation (kind 2) or a group (kind 1):
    // afz is the evaluation variant, lkz 1 asks for the performance correction.
    void zuordnung(std::int32_t kng, std::string apg, std::string emo, std::string gvo, std::int32_t afz,
                   std::int32_t lkz) {
        zeile([&] { return Laden_Zuordnung({kng, apg, gvo, emo, "Zuordnung Demo", "K1", afz, lkz}); });
    }

    // A source row of kind 5 (variant 3) or 6 (variant 4), as the suite's
    // time-recording programs write them per person and stretch of work.
    struct Quelle {
        std::int32_t sa = 5;
        std::string apl, apk, app, pnr, von, bis;
        double nza = 0, nzr = 0, rbz = 0;
    };
    void quelle(Quelle q) {
        zeile([&] {
            return Laden_Quelle({q.sa, q.apl, q.apk, q.app, q.pnr, tag_ + q.von, tag_ + q.bis, q.nza, q.nzr, q.rbz});
        });
    }

    // An "NZA" marker; the zero key (workstation ten zeros, personnel number
    // eight zeros, booking number 0) is the one a run deletes.
    void merker(std::string apk, std::string app, std::string apl = "0000000000", std::string pnr = "00000000",
                std::int32_t bnr = 0) {
        zeile([&] { return Laden_Merker({apl, apk, app, pnr, bnr, tag_ + "150000"}); });
    }

    // In place of the row init-db creates.
    void laufparameter(std::string gvn, std::string gbi) {
        if (rc_ == 0) rc_ = Laden_LaufparameterLoeschen();
        zeile([&] {
            return rt::exec(
                "insert into Hlx591Nzp (NzpAkz,NzpGvn,NzpGbi,NzpAak,NzpAwt,NzpKjh,NzpKmn,NzpKwo,NzpKtg,NzpAan,NzpVfh,"
                "NzpNfh,NzpMrk,NzpAus) values (:b0,TO_DATE(:b1,'yyyymmdd'),TO_DATE(:b2,'yyyymmdd'),:b3,:b4,:b5,:b6,"
                ":b7,:b8,:b9,:b10,:b11,:b12,:b13)",
                {rt::i32(kZwei), s(gvn), s(gbi), rt::i32(kEins), rt::i32(kEins), rt::i32(kNullI), rt::i32(kNullI),
                 rt::i32(kNullI), rt::i32(kNullI), rt::i32(kVorlauf), rt::i32(kVorlauf), rt::i32(kVorlauf),
                 rt::i32(kNullI), rt::txt("NACHT")});
        });
    }

    void nummernkreis(std::int32_t letzte) {
        zeile([&] { return Laden_Nummernkreis(letzte, "PPS"); });
    }

private:
    // One insert, unless an earlier one failed.
    template <class Einfuegen>
    void zeile(Einfuegen einfuegen) {
        if (rc_ != 0) return;
        rc_ = einfuegen();
        if (rc_ == 0) ++zeilen_;
    }

    static constexpr std::int32_t kEins = 1;
    static constexpr std::int32_t kZwei = 2;
    static constexpr std::int32_t kNullI = 0;
    static constexpr std::int32_t kVorlauf = 3;  // counters a previous run left

    std::string tag_;
    std::int32_t rc_ = 0;
    int zeilen_ = 0;
    std::int32_t buchungsnummer_ = 0;
};

// The three "M_A" bookings of one stretch of work: start, quantity report,
// finish. The last two count into the position's quantity sums.
void arbeitsgang(Laden& l, const std::string& apk, const std::string& app, const std::string& apl,
                 const std::string& von, const std::string& bis, double gut, double ausschuss, double leistung,
                 const std::string& pnr = "00001001") {
    l.meldung({apk, app, apl, von, "A01", 0, 0, 0, pnr, "M_A"});
    l.meldung({apk, app, apl, bis, "A07", gut, ausschuss, leistung, pnr, "M_A"});
    l.meldung({apk, app, apl, bis, "A06", 0, 0, leistung, pnr, "M_A"});
}

void stammdaten(Laden& l, const Tage& d) {
    l.schichtmodell("FRUEH", "Fruehschicht 06-14", 1, 6.00);
    l.schichtmodell("SPAET", "Spaetschicht 14-22", 1, 14.00);
    l.kalendertag("K1", 1);
    l.allgKalendertag();
    const std::string gvo = d.vorMonat;
    // Own assignments: variant 2 (planned values), 3 (kind-5 rows, with the
    // performance correction), 4 (kind-6 rows), 5 (not evaluated).
    l.arbeitsplatz("FRAES01", "Fraeszentrum 1", "FRAESEN");
    l.zuordnung(2, "FRAES01", "FRUEH", gvo, 2, 0);
    l.arbeitsplatz("DREH01", "CNC-Drehmaschine 1", "DREHEN");
    l.zuordnung(2, "DREH01", "FRUEH", gvo, 3, 1);
    l.zuordnung(2, "DREH01", "SPAET", gvo, 4, 0);  // begins later: the early shift's variant counts
    l.arbeitsplatz("SCHLEIF01", "Rundschleifen 1", "SCHLEIFEN");
    l.zuordnung(2, "SCHLEIF01", "FRUEH", gvo, 4, 0);
    l.arbeitsplatz("MONT01", "Handmontage 1", "MONTAGE");
    l.zuordnung(2, "MONT01", "FRUEH", gvo, 5, 0);
    // Only the group has an assignment.
    l.arbeitsplatz("LACK01", "Lackierkabine 1", "LACKIER");
    l.zuordnung(1, "LACKIER", "FRUEH", gvo, 2, 0);
    // Neither the workstation nor its group has one: the run logs it.
    l.arbeitsplatz("PRUEF01", "Messraum 1", "PRUEFEN");
    l.laufparameter(d.vorMonat, d.inEinemJahr);
    l.nummernkreis(5000);
}

void auftraege(Laden& l) {
    using P = Laden::Position;
    using Q = Laden::Quelle;

    // Variant 2, 3 with performance correction, 4.
    l.auftrag("000000100001", "Welle D40", "WEL-D40-0815");
    l.position(Laden::pos("000000100001", "00010", "Fraesen", "FRAES01", "060000", "143000", 120, 118, 0.30, 0.04));
    arbeitsgang(l, "000000100001", "00010", "FRAES01", "060500", "142500", 118, 2, 100);
    l.position(Laden::pos("000000100001", "00020", "Drehen", "DREH01", "060000", "141500", 100, 100, 0.20, 0.05));
    arbeitsgang(l, "000000100001", "00020", "DREH01", "060000", "100000", 48, 0, 110, "00001001");
    arbeitsgang(l, "000000100001", "00020", "DREH01", "100000", "141500", 52, 1, 120, "00001002");
    l.quelle(Q{5, "DREH01", "000000100001", "00020", "00001001", "060000", "100000", 3.45, 0.15, 0.10});
    l.quelle(Q{5, "DREH01", "000000100001", "00020", "00001002", "100000", "141500", 4.05, 0, 0.20});
    l.position(Laden::pos("000000100001", "00030", "Schleifen", "SCHLEIF01", "070000", "113000", 100, 99, 0.15, 0.02));
    arbeitsgang(l, "000000100001", "00030", "SCHLEIF01", "070000", "113000", 99, 1, 95);
    l.quelle(Q{6, "SCHLEIF01", "000000100001", "00030", "00001003", "070000", "113000", 4.10, 0.15, 0.05});

    // Two workstations on one position, one of them through its group;
    // variant 5; a finished position (status 10) that a range run skips.
    l.auftrag("000000100002", "Flansch DN50", "FLA-DN50-17");
    l.position(Laden::pos("000000100002", "00010", "Fraesen und Lackieren", "FRAES01", "060000", "133000", 40, 40, 0.45,
                          0.09));
    arbeitsgang(l, "000000100002", "00010", "FRAES01", "060000", "113000", 40, 0, 100);
    arbeitsgang(l, "000000100002", "00010", "LACK01", "113000", "133000", 40, 0, 100, "00001004");
    l.position(Laden::pos("000000100002", "00020", "Montage", "MONT01", "133000", "150000", 40, 40, 0.10, 0.02));
    arbeitsgang(l, "000000100002", "00020", "MONT01", "133000", "150000", 40, 0, 100, "00001004");
    P fertig = Laden::pos("000000100002", "00030", "Verpacken", "FRAES01", "150000", "153000", 40, 40, 0, 0.01);
    fertig.sts = 10;
    l.position(fertig);
    arbeitsgang(l, "000000100002", "00030", "FRAES01", "150000", "153000", 40, 0, 100);

    // Package in head form: the head's evaluated times are divided over
    // positions of three other orders in proportion to their planned times.
    l.auftrag("000000100003", "Gehaeuse Sammelauftrag", "GEH-SAMMEL-3");
    P kopf = Laden::pos("000000100003", "00010", "Drehen Paket", "DREH01", "060000", "140000", 60, 60, 0.30, 0.07);
    kopf.zf2 = "*PKT_KOPF*";
    l.position(kopf);
    arbeitsgang(l, "000000100003", "00010", "DREH01", "060000", "140000", 60, 0, 100, "00001002");
    l.quelle(Q{5, "DREH01", "000000100003", "00010", "00001002", "060000", "140000", 7.30, 0.25, 0});
    const std::string kopfSchluessel = std::string(Paketschluessel("000000100003", "00010").c_str());
    const struct {
        const char* apk;
        const char* bz1;
        double sme, str, ste;
    } glieder[] = {{"000000100011", "Gehaeuse klein", 10, 0.10, 0.05},
                   {"000000100012", "Gehaeuse mittel", 20, 0.10, 0.07},
                   {"000000100013", "Gehaeuse gross", 30, 0.10, 0.08}};
    for (const auto& g : glieder) {
        l.auftrag(g.apk, g.bz1, std::string("GEH-") + (g.apk + 9));
        P p = Laden::pos(g.apk, "00010", "Drehen im Paket", "DREH01", "060000", "140000", g.sme, g.sme, g.str, g.ste);
        p.zf2 = kopfSchluessel;
        l.position(p);
    }

    // Package in program form: equal shares for each member.
    l.auftrag("000000100004", "Deckel Programm", "DEC-PROG-4");
    P prog = Laden::pos("000000100004", "00010", "Fraesprogramm", "FRAES01", "060000", "120000", 50, 50, 0.20, 0.06);
    prog.zf2 = "*PKT_PROG*";
    l.position(prog);
    arbeitsgang(l, "000000100004", "00010", "FRAES01", "060000", "120000", 50, 0, 100);
    const std::string progSchluessel = std::string(Paketschluessel("000000100004", "00010").c_str());
    for (const char* apk : {"000000100021", "000000100022"}) {
        l.auftrag(apk, "Deckel Variante", std::string("DEC-") + (apk + 9));
        P p = Laden::pos(apk, "00010", "Fraesen im Programm", "FRAES01", "060000", "120000", 25, 25, 0.10, 0.06);
        p.zf2 = progSchluessel;
        l.position(p);
    }

    // Positions due through markers only: a workstation whose assignment is
    // missing, a variant-3 position, a variant-2 position with a second
    // marker of another key (evaluated twice, never deleted by a run), and a
    // marker whose position does not exist.
    l.auftrag("000000100005", "Lagerbock", "LAG-BOCK-5");
    l.position(Laden::pos("000000100005", "00010", "Messen", "PRUEF01", "080000", "090000", 10, 10, 0.05, 0.03));
    arbeitsgang(l, "000000100005", "00010", "PRUEF01", "080000", "090000", 10, 0, 100, "00001005");
    l.position(Laden::pos("000000100005", "00020", "Drehen", "DREH01", "090000", "120000", 10, 10, 0.20, 0.15));
    arbeitsgang(l, "000000100005", "00020", "DREH01", "090000", "120000", 10, 0, 90);
    l.quelle(Q{5, "DREH01", "000000100005", "00020", "00001001", "090000", "120000", 2.50, 0.20, 0.05});
    l.auftrag("000000100006", "Welle D60", "WEL-D60-0816");
    l.position(Laden::pos("000000100006", "00010", "Fraesen", "FRAES01", "060000", "100000", 30, 30, 0.25, 0.06));
    arbeitsgang(l, "000000100006", "00010", "FRAES01", "060000", "100000", 30, 0, 100);
    // A personnel booking that is no workstation message: not evaluated.
    l.meldung({"000000100006", "00010", "FRAES01", "061000", "P01", 0, 0, 0, "00001001", "M__"});

    l.merker("000000100001", "00010");  // deleted by the range run
    l.merker("000000100005", "00010");
    l.merker("000000100005", "00020");
    l.merker("000000100006", "00010");
    l.merker("000000100006", "00010", "FRAES01", "00001001", 7);
    l.merker("000000100009", "00010");
}

}  // namespace

int adminDemo(int argc, char** argv) {
    std::optional<std::string> net8;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--net8" && i + 1 < argc) net8 = argv[++i];
        else {
            std::cerr << "korvimand-admin: " << adminAufruf("demo") << "\n";
            return 2;
        }
    }
    Sitzung sitzung;
    if (int rc = sitzung.verbinden(net8)) return rc;

    // Demo rows go into an empty database only: mixed into real orders they
    // would be evaluated and uploaded to the planning system with them.
    std::int32_t positionen = 0;
    std::int32_t rc = rt::exec("select count(*)  into :b0  from Hlx504App", {}, {rt::i32(positionen)});
    if (rc != 0) {
        std::cerr << "korvimand-admin: cannot read the order positions (code " << rt::err::explain(rc)
                  << "); create the tables with korvimand-admin init-db\n";
        return 1;
    }
    if (positionen > 0) {
        std::cerr << "korvimand-admin: the database already holds " << positionen
                  << " order positions; demo data is loaded into an empty database only\n";
        return 1;
    }

    const Tage d = tage();
    Laden l(d.gestern);
    stammdaten(l, d);
    auftraege(l);
    // One transaction: the demo is there whole or not at all.
    if (l.fehler() != 0) {
        rt::rollback();
        std::cerr << "korvimand-admin: loading the demo data failed with code " << rt::err::explain(l.fehler())
                  << "; nothing was loaded\n";
        return 1;
    }
    if ((rc = rt::commit()) != 0) {
        std::cerr << "korvimand-admin: committing the demo data failed with code " << rt::err::explain(rc) << "\n";
        return 1;
    }
    std::cout << "korvimand-admin: loaded " << l.zeilen() << " demo rows for " << d.gestern.substr(6, 2) << "."
              << d.gestern.substr(4, 2) << "." << d.gestern.substr(0, 4) << " into " << sitzung.anzeige() << "\n"
              << "  range run:  korvimand 000000100001 00000 000000100004 99999 DEMO\n"
              << "  marker run: korvimand 000000000000 00000 000000000000 00000 DEMO\n";
    return 0;
}
