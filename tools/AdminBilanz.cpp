#include "tools/AdminBilanz.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <tuple>
#include <utility>

#include "db/runtime/ResultCodes.h"
#include "nza/Zeit.h"
#include "tools/AdminLog.h"
#include "util/MsgLog.h"
#include "util/MsgLogLesen.h"

std::string bereichBedingung(const char* apk, const char* app) {
    const std::string k = apk, p = app;
    return " where ((" + k + ">:b0 or (" + k + "=:b0 and " + p + ">=:b2)) and (" + k + "<:b3 or (" + k + "=:b3 and " +
           p + "<=:b5)))";
}

std::int32_t bereichOeffnen(rt::Cursor& c, const std::string& text, const std::optional<Bereich>& b) {
    if (!b) return rt::open(c, text.c_str(), {});
    return rt::open(c, text.c_str(),
                    {rt::txt(b->vonApk), rt::txt(b->vonApk), rt::txt(b->vonApp), rt::txt(b->bisApk), rt::txt(b->bisApk),
                     rt::txt(b->bisApp)});
}

std::string zeitText(double hmm) {
    char b[48];
    std::snprintf(b, sizeof b, "%.4f", hmm);
    std::string t = b;
    while (t.size() > 3 && t.back() == '0' && t[t.size() - 3] != '.') t.pop_back();
    return t;
}

namespace {
std::int64_t ersetzt = 0;
}

std::int32_t ersatzLesen(std::int32_t rc) {
    if (rc != rt::err::Untranslatable) return rc;
    ++ersetzt;
    return 0;
}

std::int64_t ersetzteZeilen() { return ersetzt; }

std::string ersatzHinweis() {
    if (ersetzt == 0) return {};
    return std::to_string(ersetzt) + (ersetzt == 1 ? " row holds" : " rows hold") +
           " a character that Windows-1252 lacks: shown with ? in its place";
}

std::string minutenText(double minuten) { return zeitText(hm(ganz(minuten))); }

std::string zeitpunktText(std::string_view t) {
    if (t.size() != 14) return std::string(t);
    return std::string(t.substr(0, 4)) + "-" + std::string(t.substr(4, 2)) + "-" + std::string(t.substr(6, 2)) + " " +
           std::string(t.substr(8, 2)) + ":" + std::string(t.substr(10, 2));
}

std::string verhaeltnisText(double istMin, double planMin) {
    if (ganz(planMin) <= 0) return "-";
    char b[48];
    std::snprintf(b, sizeof b, "%.2f", istMin / planMin);
    return b;
}

std::string ohneBlanks(std::string_view v) {
    const auto e = v.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(v.substr(0, e + 1));
}

std::vector<std::pair<std::string, std::string>> bilanzKennzahlen(const Bilanz& z) {
    std::vector<std::pair<std::string, std::string>> k =
        {{"positions evaluated", std::to_string(z.positionen)},
         {"planned time", minutenText(z.planMin)},
         {"actual time", minutenText(z.istMin)},
         {"actual / planned", verhaeltnisText(z.istMin, z.planMin)},
         {"uploads", std::to_string(z.uploads)},
         {"first booking message", z.meldungenVon.empty() ? "-" : zeitpunktText(z.meldungenVon)},
         {"last booking message", z.meldungenBis.empty() ? "-" : zeitpunktText(z.meldungenBis)}};
    if (z.logDatei) k.emplace_back("failures in the message log", std::to_string(z.logFehler));
    return k;
}

namespace {

// The larger deviation first; equal ones in key order, so that the same
// database always gives the same list.
bool mehrVor(const BilanzPosition& a, const BilanzPosition& b) {
    if (a.abweichungMin != b.abweichungMin) return a.abweichungMin > b.abweichungMin;
    return std::tie(a.apk, a.app) < std::tie(b.apk, b.app);
}
bool wenigerVor(const BilanzPosition& a, const BilanzPosition& b) {
    if (a.abweichungMin != b.abweichungMin) return a.abweichungMin < b.abweichungMin;
    return std::tie(a.apk, a.app) < std::tie(b.apk, b.app);
}

// Keeps the kBilanzTop positions that come first.
void behalten(std::vector<BilanzPosition>& top, const BilanzPosition& p,
              bool (*vor)(const BilanzPosition&, const BilanzPosition&)) {
    if (top.size() == kBilanzTop && !vor(p, top.back())) return;
    top.insert(std::upper_bound(top.begin(), top.end(), p, vor), p);
    if (top.size() > kBilanzTop) top.pop_back();
}

std::int32_t zeileLesen(const std::string& text, const std::optional<Bereich>& b, rt::Binds out) {
    if (!b) return rt::exec(text.c_str(), {}, out);
    return rt::exec(text.c_str(),
                    {rt::txt(b->vonApk), rt::txt(b->vonApk), rt::txt(b->vonApp), rt::txt(b->bisApk), rt::txt(b->bisApk),
                     rt::txt(b->bisApp)},
                    out);
}

}  // namespace

std::int32_t bilanzLesen(const std::optional<Bereich>& b, Bilanz& out) {
    // Evaluated: with the total record the evaluation writes under a blank
    // workstation, one per position (a lookup on the leading key columns of
    // the NZA table). A join, not "exists": on SQLite a correlated subquery
    // of a cursor that spills its rows into a temporary table is aborted.
    const std::string text =
        "select AppApk ,AppApp ,AppApl ,AppSza ,AppIta  from Hlx504App ,Hlx590Nza" +
        (b ? bereichBedingung("AppApk", "AppApp") + " and" : std::string(" where")) +
        " NzaSa=11 and NzaApl='          ' and NzaApk=AppApk and NzaApp=AppApp order by AppApk,AppApp";
    rt::Cursor c;
    if (std::int32_t rc = bereichOeffnen(c, text, b)) return rc;
    std::map<std::string, BilanzPlatz> plaetze;
    Text<12> apk;
    Text<5> app;
    Text<10> apl;
    double sza = 0, ita = 0;
    std::int32_t rc;
    while ((rc = ersatzLesen(rt::fetch(c, {rt::txt(apk), rt::txt(app), rt::txt(apl), rt::real(sza), rt::real(ita)}))) ==
           0) {
        BilanzPosition p{apk.str(), app.str(), ohneBlanks(apl.view()), sza, ita, m(ita) - m(sza)};
        BilanzPlatz& platz = plaetze[p.apl];
        ++platz.positionen;
        platz.planMin += m(sza);
        platz.istMin += m(ita);
        ++out.positionen;
        out.planMin += m(sza);
        out.istMin += m(ita);
        // Whole minutes decide: a remainder of the h.mm arithmetic is no deviation.
        if (ganz(p.abweichungMin) > 0) behalten(out.mehr, p, mehrVor);
        if (ganz(p.abweichungMin) < 0) behalten(out.weniger, p, wenigerVor);
    }
    rt::close(c);
    if (rc != rt::err::NotFound) return rc;
    for (auto& [name, platz] : plaetze) {
        platz.apl = name;
        out.plaetze.push_back(platz);
    }
    std::stable_sort(out.plaetze.begin(), out.plaetze.end(),
                     [](const BilanzPlatz& a, const BilanzPlatz& x) { return a.planMin > x.planMin; });

    std::int32_t uploads = 0;
    rc = zeileLesen("select count(*) into :b0 from Hlx580Pps" +
                        (b ? bereichBedingung("PpsApk", "PpsApp") : std::string()),
                    b, {rt::i32(uploads)});
    if (rc != 0) return rc;
    out.uploads = uploads;
    Text<14> von, bis;
    rc = zeileLesen("select TO_CHAR(min(KeyDat),'yyyymmddHH24MISS') ,TO_CHAR(max(KeyDat),'yyyymmddHH24MISS') "
                    "into :b0,:b1 from Hlx560Mel" +
                        (b ? bereichBedingung("KeyApk", "KeyApp") : std::string()),
                    b, {rt::txt(von), rt::txt(bis)});
    if (rc != 0) return rc;
    out.meldungenVon = von.str();
    out.meldungenBis = bis.str();
    return 0;
}

int bilanzLog(const std::string& datei, Bilanz& out) {
    std::vector<MsgGelesen> eintraege;
    std::size_t ausgelassen = 0;
    if (const int e = Msg_LogDateiLesen(datei, eintraege, &ausgelassen)) return e;
    if (ausgelassen) std::cerr << "korvimand-admin: report: " << logGekuerzt(datei, ausgelassen) << "\n";
    std::map<std::pair<std::string, std::string>, std::int64_t> gruppen;
    for (const MsgGelesen& e : eintraege) {
        if (e.zustand == MsgZustand::Ganz && !(e.msgArt & FMSG)) continue;
        if (e.zustand == MsgZustand::Ganz) ++gruppen[{e.funktion, e.message}];
        else ++gruppen[{"(unreadable)", e.zustand == MsgZustand::Abgerissen ? "torn entry" : "bytes of no entry"}];
        ++out.logFehler;
    }
    out.logDatei = datei;
    for (const auto& [schluessel, anzahl] : gruppen)
        out.fehler.push_back({schluessel.first, schluessel.second, anzahl});
    std::stable_sort(out.fehler.begin(), out.fehler.end(),
                     [](const BilanzFehler& a, const BilanzFehler& x) { return a.anzahl > x.anzahl; });
    return 0;
}
