// korvimand-admin report: what the evaluation left in the database, for a
// range of order positions or all of them, as aligned tables for a terminal
// or as CSV for a spreadsheet. Rows are streamed from the cursors, so the
// report of a large database needs no more memory than that of a small one.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "tools/Admin.h"
#include "tools/AdminCsv.h"
#include "tools/AdminSitzung.h"
#include "util/Text.h"

namespace {

struct Bereich {
    Text<12> vonApk, bisApk;
    Text<5> vonApp, bisApp;
};

// The condition of the range cursor of korvimand over an order and a
// position column: the same positions a range run would select (whatever
// their status).
std::string bedingung(const char* apk, const char* app) {
    const std::string k = apk, p = app;
    return " where ((" + k + ">:b0 or (" + k + "=:b0 and " + p + ">=:b2)) and (" + k + "<:b3 or (" + k +
           "=:b3 and " + p + "<=:b5)))";
}

std::int32_t oeffnen(rt::Cursor& c, const std::string& text, const std::optional<Bereich>& b) {
    if (!b) return rt::open(c, text.c_str(), {});
    return rt::open(c, text.c_str(),
                    {rt::txt(b->vonApk), rt::txt(b->vonApk), rt::txt(b->vonApp), rt::txt(b->bisApk),
                     rt::txt(b->bisApk), rt::txt(b->bisApp)});
}

std::string ohneBlanks(std::string_view v) {
    const auto e = v.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(v.substr(0, e + 1));
}

// h.mm with its two decimals; a value a correction has scaled keeps up to
// two more, so that the table never shows a rounded time as the stored one.
std::string zeit(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.4f", v);
    std::string t = b;
    while (t.size() > 3 && t.back() == '0' && t[t.size() - 3] != '.') t.pop_back();
    return t;
}

std::string menge(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// yyyymmddHHMMSS as "YYYY-MM-DD HH:MM"; anything else as it stands.
std::string zeitpunkt(std::string_view t) {
    if (t.size() != 14) return std::string(t);
    return std::string(t.substr(0, 4)) + "-" + std::string(t.substr(4, 2)) + "-" + std::string(t.substr(6, 2)) +
           " " + std::string(t.substr(8, 2)) + ":" + std::string(t.substr(10, 2));
}

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
    Ausgabe(bool csv, const char* titel, std::vector<Spalte> spalten)
        : csv_(csv), spalten_(std::move(spalten)) {
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

    void zeile(const std::vector<std::string>& werte) {
        std::string out;
        for (std::size_t i = 0; i < werte.size(); ++i) {
            if (csv_) {
                if (i) out += ',';
                out += csvFeld(werte[i]);
                continue;
            }
            if (i) out += "  ";
            const int fehlt = breite(spalten_[i]) - static_cast<int>(werte[i].size());
            const std::string fuellung(fehlt > 0 ? static_cast<std::size_t>(fehlt) : 0, ' ');
            out += spalten_[i].rechts ? fuellung + werte[i] : werte[i] + fuellung;
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
        (b ? bedingung("AppApk", "AppApp") : std::string()) + " order by AppApk,AppApp";
    const std::string ppsText = "select PpsApk ,PpsApp ,PpsLfn  from Hlx580Pps" +
                                (b ? bedingung("PpsApk", "PpsApp") : std::string()) +
                                " order by PpsApk,PpsApp,PpsLfn";
    rt::Cursor app, pps;
    if (std::int32_t rc = oeffnen(app, text, b)) return rc;
    if (std::int32_t rc = oeffnen(pps, ppsText, b)) {
        rt::close(app);
        return rc;
    }
    Ausgabe aus(csv, "Order positions: planned (plan) and actual (act) times in h.mm",
                {{"order", 12, false},
                 {"pos", 5, false},
                 {"sts", 3, true},
                 {"workstation", 10, false},
                 {"package", 21, false},
                 {"qty plan", 6, true},
                 {"qty act", 6, true},
                 {"plan Str", 6, true},
                 {"plan Ste", 6, true},
                 {"plan Sza", 7, true},
                 {"act Itr", 6, true},
                 {"act Ita", 7, true},
                 {"act Ite", 6, true},
                 {"uploads", 0, false}});

    Text<12> apk, ppsApk;
    Text<5> pos, ppsPos;
    Text<10> apl;
    Text<30> zf2;
    std::int32_t sts = 0, lfn = 0;
    double sme, ime, str, ste, sza, itr, ita, ite;
    auto ppsNaechste = [&] { return rt::fetch(pps, {rt::txt(ppsApk), rt::txt(ppsPos), rt::i32(lfn)}); };
    std::int32_t ppsRc = ppsNaechste();
    std::int32_t rc;
    while ((rc = rt::fetch(app, {rt::txt(apk), rt::txt(pos), rt::i16(sts), rt::txt(apl), rt::txt(zf2),
                                 rt::real(sme), rt::real(ime), rt::real(str), rt::real(ste), rt::real(sza),
                                 rt::real(itr), rt::real(ita), rt::real(ite)})) == 0) {
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
                   zeit(str), zeit(ste), zeit(sza), zeit(itr), zeit(ita), zeit(ite), uploads});
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
        (b ? bedingung("NzaApk", "NzaApp") + " and NzaSa>=10" : std::string(" where NzaSa>=10")) +
        " order by NzaApk,NzaApp,NzaSa desc,NzaApl,NzaPnr,NzaDtm";
    rt::Cursor c;
    if (std::int32_t rc = oeffnen(c, text, b)) return rc;
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
    while ((rc = rt::fetch(c, {rt::txt(apk), rt::txt(pos), rt::i16(sa), rt::txt(apl), rt::txt(dtm), rt::txt(edt),
                               rt::real(nzr), rt::real(nza), rt::real(rbz), rt::real(gum), rt::real(aum),
                               rt::real(rf1), rt::i32(maz), rt::txt(tnr), rt::txt(erf)})) == 0)
        aus.zeile({apk.str(), pos.str(), std::to_string(sa), ohneBlanks(apl.view()), zeitpunkt(dtm.view()),
                   zeitpunkt(edt.view()), zeit(nzr), zeit(nza), zeit(rbz), menge(gum), menge(aum), menge(rf1),
                   std::to_string(maz), ohneBlanks(tnr.view()), erf.str()});
    aus.ende();
    rt::close(c);
    return rc == rt::err::NotFound ? 0 : rc;
}

// The rows handed to the planning system, in the order of their numbers.
std::int32_t uploads(bool csv, const std::optional<Bereich>& b) {
    const std::string text =
        "select PpsLfn ,PpsApk ,PpsApp ,PpsApl ,PpsZt1 ,PpsZt2 ,PpsZt3 ,PpsGum ,PpsFam ,PpsMee ,PpsDat  from "
        "Hlx580Pps" +
        (b ? bedingung("PpsApk", "PpsApp") : std::string()) + " order by PpsLfn,PpsApk,PpsApp";
    rt::Cursor c;
    if (std::int32_t rc = oeffnen(c, text, b)) return rc;
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
    while ((rc = rt::fetch(c, {rt::i32(lfn), rt::txt(apk), rt::txt(pos), rt::txt(apl), rt::real(zt1),
                               rt::real(zt2), rt::real(zt3), rt::real(gum), rt::real(fam), rt::txt(mee),
                               rt::txt(dat)})) == 0)
        aus.zeile({std::to_string(lfn), apk.str(), pos.str(), apl.str(), zeit(zt1), zeit(zt2), zeit(zt3),
                   menge(gum), menge(fam), mee.str(), zeitpunkt(dat.view())});
    aus.ende();
    rt::close(c);
    return rc == rt::err::NotFound ? 0 : rc;
}

int usage(const std::string& warum) {
    std::cerr << "korvimand-admin: report: " << warum << "\n" << adminAufruf("report") << "\n";
    return 2;
}

}  // namespace

int adminReport(int argc, char** argv) {
    std::optional<std::string> net8, tabelle;
    std::optional<std::pair<std::string, std::string>> von, bis;
    bool csv = false;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--csv") csv = true;
        else if ((opt == "--from" || opt == "--to") && i + 2 < argc) {
            (opt == "--from" ? von : bis) = std::make_pair(std::string(argv[i + 1]), std::string(argv[i + 2]));
            i += 2;
        } else if (opt == "--table" && i + 1 < argc) tabelle = argv[++i];
        else if (opt == "--net8" && i + 1 < argc) net8 = argv[++i];
        else return usage("unexpected " + opt);
    }
    if (von.has_value() != bis.has_value()) return usage("--from and --to go together");
    if (tabelle && *tabelle != "positions" && *tabelle != "records" && *tabelle != "uploads")
        return usage("unknown table " + *tabelle);
    // A spreadsheet reads one table from one file.
    if (csv && !tabelle) return usage("--csv writes one table: give --table positions, records or uploads");
    std::optional<Bereich> b;
    if (von) {
        // Cut to the widths of the keys, as korvimand cuts its arguments.
        b.emplace();
        b->vonApk = von->first;
        b->vonApp = von->second;
        b->bisApk = bis->first;
        b->bisApp = bis->second;
    }

    Sitzung sitzung;
    if (int rc = sitzung.verbinden(net8)) return rc;
    const auto zeigen = [&](const char* name) { return !tabelle || *tabelle == name; };
    std::int32_t rc = 0;
    if (zeigen("positions")) rc = positionen(csv, b);
    if (rc == 0 && zeigen("records")) rc = auswertungen(csv, b);
    if (rc == 0 && zeigen("uploads")) rc = uploads(csv, b);
    if (rc != 0) {
        std::cerr << "korvimand-admin: reading the report failed with code " << rt::err::explain(rc) << "\n";
        return 1;
    }
    return 0;
}
