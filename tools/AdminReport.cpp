// korvimand-admin report: what the evaluation left in the database, for a
// range of order positions or all of them, as aligned tables for a terminal
// or as CSV for a spreadsheet, and its sums (AdminBilanz) also as a page
// with charts (AdminHtml). Rows are streamed from the cursors, so the report
// of a large database needs no more memory than that of a small one.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "nza/Zeit.h"
#include "tools/Admin.h"
#include "tools/AdminBilanz.h"
#include "tools/AdminCsv.h"
#include "tools/AdminHtml.h"
#include "tools/AdminSitzung.h"
#include "util/Anzeige.h"
#include "util/Datei.h"
#include "util/Text.h"

namespace {

std::string menge(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// A unit time per piece holds fractions of a minute (a corrected 0.0575 is
// 5.75 minutes), which h.mm cannot show: it is shown in minutes, as stored.
std::string einheitText(double hmm) { return menge(m(hmm)); }

// A package marker as it stands; a member's package key as the head it
// belongs to.
std::string paket(std::string_view zf2) {
    if (zf2.size() == 30 && zf2.substr(17) == std::string(13, ' ')) {
        const std::string apk = ohneBlanks(std::string_view(zf2.substr(0, 12)));
        const std::string app = ohneBlanks(zf2.substr(12, 5));
        const auto a = apk.find_first_not_of(' '), p = app.find_first_not_of(' ');
        if (a != std::string::npos && p != std::string::npos) return "of " + apk.substr(a) + "/" + app.substr(p);
    }
    return ohneBlanks(zf2);
}

struct Spalte {
    const char* kopf;
    int breite;
    bool rechts;  // numbers
};

// One table, printed as its rows arrive.
class Ausgabe {
public:
    Ausgabe(bool csv, const char* titel, std::vector<Spalte> spalten) : csv_(csv), spalten_(std::move(spalten)) {
        // Tables are separated by one blank line.
        static bool erste = true;
        if (!erste) std::cout << "\n";
        erste = false;
        if (!csv_) std::cout << titel << "\n";
        std::vector<std::string> kopf;
        for (const Spalte& s : spalten_) kopf.push_back(s.kopf);
        zeile(kopf);
        if (!csv_) {
            std::vector<std::string> strich;
            for (const Spalte& s : spalten_) strich.emplace_back(static_cast<std::size_t>(breite(s)), '-');
            zeile(strich);
        }
    }

    // The database's texts, in UTF-8 with control bytes escaped: a
    // workstation's name can neither command a terminal nor break a row.
    void zeile(const std::vector<std::string>& werte) {
        std::string out;
        for (std::size_t i = 0; i < werte.size(); ++i) {
            const std::string wert = Anzeige_Text(werte[i]);
            if (csv_) {
                if (i) out += ',';
                out += csvFeld(wert);
                continue;
            }
            if (i) out += "  ";
            const int fehlt = breite(spalten_[i]) - static_cast<int>(Anzeige_Zeichen(wert));
            const std::string fuellung(fehlt > 0 ? static_cast<std::size_t>(fehlt) : 0, ' ');
            out += spalten_[i].rechts ? fuellung + wert : wert + fuellung;
        }
        if (!csv_) out = ohneBlanks(out);
        std::cout << out << "\n";
        ++zeilen_;
    }

    void ende() {
        if (!csv_ && zeilen_ == 2) std::cout << "(none)\n";
    }

private:
    static int breite(const Spalte& s) {
        const int k = static_cast<int>(std::string_view(s.kopf).size());
        return s.breite > k ? s.breite : k;
    }
    bool csv_;
    std::vector<Spalte> spalten_;
    int zeilen_ = 0;
};

// Order positions with their planned and actual times and the numbers of
// their uploads, joined on the key as both cursors deliver it in key order.
std::int32_t positionen(bool csv, const std::optional<Bereich>& b) {
    const std::string text =
        "select AppApk ,AppApp ,AppSts ,AppApl ,AppZf2 ,AppSme ,AppIme ,AppStr ,AppSte ,AppSza ,AppItr ,AppIta "
        ",AppIte  from Hlx504App" +
        (b ? bereichBedingung("AppApk", "AppApp") : std::string()) + " order by AppApk,AppApp";
    const std::string ppsText = "select PpsApk ,PpsApp ,PpsLfn  from Hlx580Pps" +
                                (b ? bereichBedingung("PpsApk", "PpsApp") : std::string()) +
                                " order by PpsApk,PpsApp,PpsLfn";
    rt::Cursor app, pps;
    if (std::int32_t rc = bereichOeffnen(app, text, b)) return rc;
    if (std::int32_t rc = bereichOeffnen(pps, ppsText, b)) {
        rt::close(app);
        return rc;
    }
    Ausgabe aus(csv, "Order positions: planned (plan) and actual (act) times in h.mm, unit times in minutes",
                {{"order", 12, false},
                 {"pos", 5, false},
                 {"sts", 3, true},
                 {"workstation", 10, false},
                 {"package", 21, false},
                 {"qty plan", 6, true},
                 {"qty act", 6, true},
                 {"plan Str", 6, true},
                 {"plan Ste min", 6, true},
                 {"plan Sza", 7, true},
                 {"act Itr", 6, true},
                 {"act Ita", 7, true},
                 {"act Ite min", 6, true},
                 {"uploads", 0, false}});

    Text<12> apk, ppsApk;
    Text<5> pos, ppsPos;
    Text<10> apl;
    Text<30> zf2;
    std::int32_t sts = 0, lfn = 0;
    double sme, ime, str, ste, sza, itr, ita, ite;
    auto ppsNaechste = [&] { return ersatzLesen(rt::fetch(pps, {rt::txt(ppsApk), rt::txt(ppsPos), rt::i32(lfn)})); };
    std::int32_t ppsRc = ppsNaechste();
    std::int32_t rc;
    while ((rc = ersatzLesen(rt::fetch(app, {rt::txt(apk), rt::txt(pos), rt::i16(sts), rt::txt(apl), rt::txt(zf2),
                                             rt::real(sme), rt::real(ime), rt::real(str), rt::real(ste), rt::real(sza),
                                             rt::real(itr), rt::real(ita), rt::real(ite)}))) == 0) {
        const std::string schluessel = apk.str() + '\x01' + pos.str();
        std::string uploads;
        for (; ppsRc == 0; ppsRc = ppsNaechste()) {
            const std::string k = ppsApk.str() + '\x01' + ppsPos.str();
            if (k > schluessel) break;
            if (k < schluessel) continue;
            if (!uploads.empty()) uploads += ' ';
            uploads += std::to_string(lfn);
        }
        aus.zeile({apk.str(), pos.str(), std::to_string(sts), apl.str(), paket(zf2.view()), menge(sme), menge(ime),
                   zeitText(str), einheitText(ste), zeitText(sza), zeitText(itr), zeitText(ita), einheitText(ite),
                   uploads});
    }
    aus.ende();
    rt::close(pps);
    rt::close(app);
    return rc == rt::err::NotFound ? 0 : rc;
}

// The evaluation records: each position's total record (kind 11) and its
// workstations' records (kind 10).
std::int32_t auswertungen(bool csv, const std::optional<Bereich>& b) {
    const std::string text =
        "select NzaApk ,NzaApp ,NzaSa ,NzaApl ,TO_CHAR(NzaDtm,'yyyymmddHH24MISS') ,TO_CHAR(NzaEdt,"
        "'yyyymmddHH24MISS') ,NzaNzr ,NzaNza ,NzaRbz ,NzaGum ,NzaAum ,NzaRf1 ,NzaMaz ,NzaTnr ,NzaErf  from "
        "Hlx590Nza" +
        (b ? bereichBedingung("NzaApk", "NzaApp") + " and NzaSa>=10" : std::string(" where NzaSa>=10")) +
        " order by NzaApk,NzaApp,NzaSa desc,NzaApl,NzaPnr,NzaDtm";
    rt::Cursor c;
    if (std::int32_t rc = bereichOeffnen(c, text, b)) return rc;
    Ausgabe aus(csv, "Evaluation records: kind 11 per position, kind 10 per workstation (times in h.mm)",
                {{"order", 12, false},
                 {"pos", 5, false},
                 {"kind", 4, true},
                 {"workstation", 10, false},
                 {"begin", 16, false},
                 {"end", 16, false},
                 {"Nzr", 6, true},
                 {"Nza", 7, true},
                 {"Rbz", 5, true},
                 {"Gum", 6, true},
                 {"Aum", 5, true},
                 {"Rf1", 5, true},
                 {"Maz", 3, true},
                 {"part no", 12, false},
                 {"recorder", 0, false}});
    Text<12> apk;
    Text<5> pos;
    Text<10> apl;
    Text<14> dtm, edt;
    Text<20> tnr;
    Text<8> erf;
    std::int32_t sa = 0, maz = 0;
    double nzr, nza, rbz, gum, aum, rf1;
    std::int32_t rc;
    while ((rc = ersatzLesen(rt::fetch(c, {rt::txt(apk), rt::txt(pos), rt::i16(sa), rt::txt(apl), rt::txt(dtm),
                                           rt::txt(edt), rt::real(nzr), rt::real(nza), rt::real(rbz), rt::real(gum),
                                           rt::real(aum), rt::real(rf1), rt::i32(maz), rt::txt(tnr), rt::txt(erf)}))) ==
           0)
        aus.zeile({apk.str(), pos.str(), std::to_string(sa), ohneBlanks(apl.view()), zeitpunktText(dtm.view()),
                   zeitpunktText(edt.view()), zeitText(nzr), zeitText(nza), zeitText(rbz), menge(gum), menge(aum),
                   menge(rf1), std::to_string(maz), ohneBlanks(tnr.view()), erf.str()});
    aus.ende();
    rt::close(c);
    return rc == rt::err::NotFound ? 0 : rc;
}

// The rows handed to the planning system, in the order of their numbers.
std::int32_t uploads(bool csv, const std::optional<Bereich>& b) {
    const std::string text =
        "select PpsLfn ,PpsApk ,PpsApp ,PpsApl ,PpsZt1 ,PpsZt2 ,PpsZt3 ,PpsGum ,PpsFam ,PpsMee ,PpsDat  from "
        "Hlx580Pps" +
        (b ? bereichBedingung("PpsApk", "PpsApp") : std::string()) + " order by PpsLfn,PpsApk,PpsApp";
    rt::Cursor c;
    if (std::int32_t rc = bereichOeffnen(c, text, b)) return rc;
    Ausgabe aus(csv, "Uploads to the planning system (Zt1 = Nzr, Zt2 = Nza, Zt3 = unit time Ite)",
                {{"number", 6, true},
                 {"order", 12, false},
                 {"pos", 5, false},
                 {"workstation", 10, false},
                 {"Zt1", 6, true},
                 {"Zt2", 7, true},
                 {"Zt3", 6, true},
                 {"Gum", 6, true},
                 {"Fam", 5, true},
                 {"unit", 4, false},
                 {"uploaded", 0, false}});
    Text<12> apk;
    Text<5> pos;
    Text<10> apl;
    Text<3> mee;
    Text<14> dat;
    std::int32_t lfn = 0;
    double zt1, zt2, zt3, gum, fam;
    std::int32_t rc;
    while ((rc = ersatzLesen(
                rt::fetch(c, {rt::i32(lfn), rt::txt(apk), rt::txt(pos), rt::txt(apl), rt::real(zt1), rt::real(zt2),
                              rt::real(zt3), rt::real(gum), rt::real(fam), rt::txt(mee), rt::txt(dat)}))) == 0)
        aus.zeile({std::to_string(lfn), apk.str(), pos.str(), apl.str(), zeitText(zt1), zeitText(zt2), zeitText(zt3),
                   menge(gum), menge(fam), mee.str(), zeitpunktText(dat.view())});
    aus.ende();
    rt::close(c);
    return rc == rt::err::NotFound ? 0 : rc;
}

// The sums of the range, the same figures as the HTML page.
void bilanzTabellen(bool csv, const Bilanz& z, const std::optional<std::string>& tabelle) {
    const auto zeigen = [&](const char* name) { return !tabelle || *tabelle == name; };
    if (zeigen("summary")) {
        Ausgabe aus(csv, "Summary: evaluated positions, planned (AppSza) against actual (AppIta) times in h.mm",
                    {{"item", 27, false}, {"value", 0, false}});
        for (const auto& [name, wert] : bilanzKennzahlen(z)) aus.zeile({name, wert});
    }
    if (zeigen("workstations")) {
        Ausgabe aus(csv, "Planned against actual per workstation (h.mm), most planned time first",
                    {{"workstation", 10, false},
                     {"positions", 9, true},
                     {"planned", 9, true},
                     {"actual", 9, true},
                     {"act/plan", 0, true}});
        for (const BilanzPlatz& p : z.plaetze)
            aus.zeile({p.apl, std::to_string(p.positionen), minutenText(p.planMin), minutenText(p.istMin),
                       verhaeltnisText(p.istMin, p.planMin)});
        aus.ende();
    }
    if (zeigen("deviations")) {
        Ausgabe aus(csv, "Largest deviations: at most 20 positions over and 20 under plan (h.mm)",
                    {{"side", 5, false},
                     {"order", 12, false},
                     {"pos", 5, false},
                     {"workstation", 11, false},
                     {"planned", 7, true},
                     {"actual", 7, true},
                     {"deviation", 0, true}});
        for (const auto* seite : {&z.mehr, &z.weniger})
            for (const BilanzPosition& p : *seite)
                aus.zeile({seite == &z.mehr ? "over" : "under", p.apk, p.app, p.apl, zeitText(p.plan), zeitText(p.ist),
                           minutenText(p.abweichungMin)});
        aus.ende();
    }
    if (z.logDatei && zeigen("failures")) {
        Ausgabe aus(csv, ("Failures in " + *z.logDatei + " by function and message").c_str(),
                    {{"count", 5, true}, {"function", 24, false}, {"message", 0, false}});
        for (const BilanzFehler& f : z.fehler) aus.zeile({std::to_string(f.anzahl), f.funktion, f.message});
        aus.ende();
    }
}

int usage(const std::string& warum) {
    std::cerr << "korvimand-admin: report: " << warum << "\n" << adminAufruf("report") << "\n";
    return 2;
}

constexpr const char* kTabellen[] = {"positions",    "records",    "uploads", "summary",
                                     "workstations", "deviations", "failures"};

bool tabelleBekannt(const std::string& t) {
    for (const char* n : kTabellen)
        if (t == n) return true;
    return false;
}

std::string tabellenNamen() {
    std::string s;
    for (const char* n : kTabellen) s += (s.empty() ? "" : ", ") + std::string(n);
    return s;
}

}  // namespace

int adminReport(int argc, char** argv) {
    std::optional<std::string> net8, tabelle, html, log;
    std::optional<std::pair<std::string, std::string>> von, bis;
    bool csv = false;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--csv") csv = true;
        else if ((opt == "--from" || opt == "--to") && i + 2 < argc) {
            (opt == "--from" ? von : bis) = std::make_pair(std::string(argv[i + 1]), std::string(argv[i + 2]));
            i += 2;
        } else if (opt == "--table" && i + 1 < argc) tabelle = argv[++i];
        else if (opt == "--html" && i + 1 < argc) html = argv[++i];
        else if (opt == "--log" && i + 1 < argc) log = argv[++i];
        else if (opt == "--net8" && i + 1 < argc) net8 = argv[++i];
        else return usage("unexpected " + opt);
    }
    if (von.has_value() != bis.has_value()) return usage("--from and --to go together");
    if (tabelle && !tabelleBekannt(*tabelle))
        return usage("unknown table " + *tabelle + "; the tables are " + tabellenNamen());
    if (tabelle && *tabelle == "failures" && !log) return usage("the failures table needs --log FILE");
    // A spreadsheet reads one table from one file.
    if (csv && !tabelle) return usage("--csv writes one table: give --table with the table's name");
    if (html && (csv || tabelle)) return usage("--html writes the whole page: no --table or --csv with it");
    std::optional<Bereich> b;
    std::string bereichText = "all order positions";
    if (von) {
        // Cut to the widths of the keys, as korvimand cuts its arguments.
        b.emplace();
        b->vonApk = von->first;
        b->vonApp = von->second;
        b->bisApk = bis->first;
        b->bisApp = bis->second;
        bereichText = "order positions " + b->vonApk.str() + "/" + b->vonApp.str() + " to " + b->bisApk.str() + "/" +
                      b->bisApp.str();
    }

    Bilanz z;
    if (log) {
        if (const int e = bilanzLog(*log, z); e == ENOENT) {
            // Korvimand creates its log with its first entry, in the working
            // directory: a missing file is more likely a wrong name or place.
            std::cerr << "korvimand-admin: report: there is no " << *log << "\n";
            return 1;
        } else if (e != 0) {
            std::cerr << "korvimand-admin: report: cannot read " << *log << ": " << Datei_Grund(e) << "\n";
            return 1;
        }
    }
    Sitzung sitzung;
    if (int rc = sitzung.verbinden(net8)) return rc;
    const auto zeigen = [&](const char* name) { return !tabelle || *tabelle == name; };
    std::int32_t rc = 0;
    if (!html && zeigen("positions")) rc = positionen(csv, b);
    if (!html && rc == 0 && zeigen("records")) rc = auswertungen(csv, b);
    if (!html && rc == 0 && zeigen("uploads")) rc = uploads(csv, b);
    const bool bilanz = html || !tabelle || *tabelle == "summary" || *tabelle == "workstations" ||
                        *tabelle == "deviations" || *tabelle == "failures";
    if (rc == 0 && bilanz) rc = bilanzLesen(b, z);
    if (rc != 0) {
        std::cerr << "korvimand-admin: reading the report failed with code " << rt::err::explain(rc) << "\n";
        return 1;
    }
    const std::string ersatz = ersatzHinweis();
    if (!ersatz.empty()) std::cerr << "korvimand-admin: report: " << ersatz << "\n";
    if (!html) {
        if (bilanz) bilanzTabellen(csv, z, tabelle);
        return 0;
    }
    if (const int e = berichtHtmlSchreiben(*html, z, bereichText)) {
        std::cerr << "korvimand-admin: report: cannot write " << *html << ": " << Datei_Grund(e) << "\n";
        return 1;
    }
    std::cout << "korvimand-admin: report: wrote " << *html << "\n";
    return 0;
}
