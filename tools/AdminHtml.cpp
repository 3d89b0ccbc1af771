// The page of korvimand-admin report --html: one file with its CSS and its
// charts (SVG) inline and no script, so that it opens offline, in any
// browser, and prints. It shows the figures of the text report's summary
// tables, formatted by the same functions.
#include "tools/AdminHtml.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "util/Anzeige.h"
#include "util/Datei.h"

namespace {

constexpr int kBreite = 880;          // of every chart, in CSS pixels
constexpr std::size_t kPlaetze = 25;  // workstations in a chart; the table has all

std::string esc(std::string_view v) {
    std::string o;
    for (char c : v) {
        switch (c) {
            case '&':
                o += "&amp;";
                break;
            case '<':
                o += "&lt;";
                break;
            case '>':
                o += "&gt;";
                break;
            case '"':
                o += "&quot;";
                break;
            case '\'':
                o += "&#39;";
                break;
            default:
                o += c;
        }
    }
    return o;
}

// A text of the database for the page.
std::string db(std::string_view v) { return esc(Anzeige_Text(v, false)); }

std::string zahl(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

std::string platzName(const BilanzPlatz& p) { return p.apl.empty() ? "(none)" : db(p.apl); }

void svgAnfang(std::string& o, const char* id, int hoehe, const std::string& was) {
    o += "<svg id=\"" + std::string(id) + "\" width=\"" + std::to_string(kBreite) + "\" height=\"" +
         std::to_string(hoehe) + "\" viewBox=\"0 0 " + std::to_string(kBreite) + " " + std::to_string(hoehe) +
         "\" role=\"img\" aria-label=\"" + esc(was) + "\">\n";
}

void balken(std::string& o, const char* klasse, double x, double y, double b, double h, const std::string& titel) {
    o += "<rect class=\"" + std::string(klasse) + "\" x=\"" + zahl(x) + "\" y=\"" + zahl(y) + "\" width=\"" + zahl(b) +
         "\" height=\"" + zahl(h) + "\"><title>" + titel + "</title></rect>\n";
}

void text(std::string& o, double x, double y, const char* anker, const std::string& t, const char* klasse = "") {
    o += "<text x=\"" + zahl(x) + "\" y=\"" + zahl(y) + "\" text-anchor=\"" + anker + "\"" +
         (*klasse ? " class=\"" + std::string(klasse) + "\"" : std::string()) + ">" + t + "</text>\n";
}

// Planned and actual time of each workstation as a pair of bars.
void plaetzeDiagramm(std::string& o, const std::vector<BilanzPlatz>& plaetze) {
    const std::size_t n = std::min(plaetze.size(), kPlaetze);
    const double links = 130, rechts = kBreite - 80, zeile = 36, oben = 30;
    double groesste = 1;
    for (std::size_t i = 0; i < n; ++i) groesste = std::max({groesste, plaetze[i].planMin, plaetze[i].istMin});
    const double mass = (rechts - links) / groesste;
    svgAnfang(o, "chart-workstations", static_cast<int>(oben + zeile * static_cast<double>(n) + 6),
              "planned and actual time per workstation");
    balken(o, "plan", links, 6, 12, 12, "planned");
    text(o, links + 18, 16, "start", "planned (AppSza)");
    balken(o, "ist", links + 150, 6, 12, 12, "actual");
    text(o, links + 168, 16, "start", "actual (AppIta)");
    for (std::size_t i = 0; i < n; ++i) {
        const BilanzPlatz& p = plaetze[i];
        const double y = oben + zeile * static_cast<double>(i);
        const std::string titel = platzName(p) + ": planned " + minutenText(p.planMin) + ", actual " +
                                  minutenText(p.istMin) + ", " + std::to_string(p.positionen) + " positions";
        text(o, links - 8, y + 21, "end", platzName(p));
        balken(o, "plan", links, y + 4, std::max(0.0, p.planMin) * mass, 13, titel);
        text(o, links + std::max(0.0, p.planMin) * mass + 5, y + 15, "start", minutenText(p.planMin), "wert");
        balken(o, "ist", links, y + 18, std::max(0.0, p.istMin) * mass, 13, titel);
        text(o, links + std::max(0.0, p.istMin) * mass + 5, y + 29, "start", minutenText(p.istMin), "wert");
    }
    o += "</svg>\n";
}

// actual / planned per workstation against the line of the plan (1.00);
// the scale ends at 3, a larger ratio is drawn to the end and labelled.
void verhaeltnisDiagramm(std::string& o, const std::vector<BilanzPlatz>& plaetze) {
    std::vector<const BilanzPlatz*> mitPlan;
    for (const BilanzPlatz& p : plaetze)
        if (verhaeltnisText(p.istMin, p.planMin) != "-" && mitPlan.size() < kPlaetze) mitPlan.push_back(&p);
    if (mitPlan.empty()) return;
    const double links = 130, rechts = kBreite - 60, zeile = 22, oben = 8;
    double groesste = 1;
    for (const BilanzPlatz* p : mitPlan) groesste = std::max(groesste, p->istMin / p->planMin);
    groesste = std::min(3.0, groesste * 1.1);
    const double mass = (rechts - links) / groesste;
    const double hoehe = oben + zeile * static_cast<double>(mitPlan.size()) + 20;
    svgAnfang(o, "chart-ratio", static_cast<int>(hoehe), "actual / planned per workstation");
    // The line of the plan first, so that bars and labels stand in front of it.
    const double x1 = links + mass;
    o += "<line class=\"soll\" x1=\"" + zahl(x1) + "\" y1=\"2\" x2=\"" + zahl(x1) + "\" y2=\"" + zahl(hoehe - 16) +
         "\"/>\n";
    text(o, x1, hoehe - 4, "middle", "plan 1.00");
    for (std::size_t i = 0; i < mitPlan.size(); ++i) {
        const BilanzPlatz& p = *mitPlan[i];
        const double y = oben + zeile * static_cast<double>(i);
        const double r = p.istMin / p.planMin;
        const std::string wert = verhaeltnisText(p.istMin, p.planMin);
        text(o, links - 8, y + 14, "end", platzName(p));
        balken(o, r > 1 ? "mehr" : "weniger", links, y + 3, std::min(r, groesste) * mass, 14,
               platzName(p) + ": actual / planned " + wert);
        text(o, links + std::min(r, groesste) * mass + 5, y + 14, "start", wert, "wert");
    }
    o += "</svg>\n";
}

// The positions over plan to the right of the middle, those under it to
// the left, each group with its heading.
void abweichungenDiagramm(std::string& o, const Bilanz& z) {
    const double links = 230, rechts = kBreite - 10, zeile = 20, kopf = 24;
    const double mitte = (links + rechts) / 2, halb = (rechts - links) / 2 - 60;
    double groesste = 1;
    for (const auto* seite : {&z.mehr, &z.weniger})
        for (const BilanzPosition& p : *seite) groesste = std::max(groesste, std::abs(p.abweichungMin));
    const double mass = halb / groesste;
    int gruppen = (z.mehr.empty() ? 0 : 1) + (z.weniger.empty() ? 0 : 1);
    const double hoehe = kopf * gruppen + zeile * static_cast<double>(z.mehr.size() + z.weniger.size()) + 6;
    svgAnfang(o, "chart-deviations", static_cast<int>(hoehe), "positions with the largest deviations");
    double y = 0;
    for (const auto* seite : {&z.mehr, &z.weniger}) {
        if (seite->empty()) continue;
        const bool mehr = seite == &z.mehr;
        text(o, mehr ? mitte + 4 : mitte - 4, y + 17, mehr ? "start" : "end",
             mehr ? "over plan: actual longer than planned" : "under plan: actual shorter than planned", "kopf");
        y += kopf;
        for (const BilanzPosition& p : *seite) {
            const double b = std::abs(p.abweichungMin) * mass;
            const std::string name = db(p.apk) + "/" + db(p.app);
            text(o, links - 8, y + 14, "end", name + "  " + (p.apl.empty() ? "(none)" : db(p.apl)));
            balken(o, mehr ? "mehr" : "weniger", mehr ? mitte : mitte - b, y + 3, b, 14,
                   name + ": planned " + zeitText(p.plan) + ", actual " + zeitText(p.ist));
            text(o, mehr ? mitte + b + 5 : mitte - b - 5, y + 14, mehr ? "start" : "end",
                 (mehr ? "+" : "") + minutenText(p.abweichungMin), "wert");
            y += zeile;
        }
    }
    o += "<line class=\"achse\" x1=\"" + zahl(mitte) + "\" y1=\"0\" x2=\"" + zahl(mitte) + "\" y2=\"" + zahl(hoehe) +
         "\"/>\n</svg>\n";
}

struct Spalte {
    const char* kopf;
    bool zahl;
};

void tabelle(std::string& o, const char* id, const std::vector<Spalte>& spalten,
             const std::vector<std::vector<std::string>>& zeilen) {
    o += "<table id=\"" + std::string(id) + "\">\n<thead><tr>";
    for (const Spalte& s : spalten) o += std::string(s.zahl ? "<th class=\"n\">" : "<th>") + s.kopf + "</th>";
    o += "</tr></thead>\n<tbody>\n";
    for (const auto& z : zeilen) {
        o += "<tr>";
        for (std::size_t i = 0; i < z.size(); ++i)
            o += (spalten[i].zahl ? "<td class=\"n\">" : "<td>") + z[i] + "</td>";
        o += "</tr>\n";
    }
    o += "</tbody>\n</table>\n";
}

constexpr const char* kStil = R"(
:root { color-scheme: light; }
body { font: 14px/1.45 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #1d2733; background: #fff;
       max-width: 920px; margin: 0 auto; padding: 24px; }
h1 { font-size: 24px; margin: 0 0 4px; }
h2 { font-size: 18px; margin: 28px 0 10px; padding-bottom: 4px; border-bottom: 2px solid #1d2733; }
h3 { font-size: 14px; margin: 18px 0 6px; }
p.unter { color: #5a6775; margin: 0; }
p.leer { color: #5a6775; font-style: italic; }
dl.kacheln { display: grid; grid-template-columns: repeat(4, 1fr); gap: 10px; margin: 0; }
dl.kacheln div { border: 1px solid #d4dbe3; border-radius: 6px; padding: 8px 12px; background: #f6f8fa; }
dt { color: #5a6775; font-size: 12px; }
dd { margin: 2px 0 0; font-size: 20px; font-weight: bold; font-variant-numeric: tabular-nums; }
dd.lang { font-size: 16px; padding-top: 3px; }
table { border-collapse: collapse; width: 100%; margin-top: 10px; font-variant-numeric: tabular-nums; }
th, td { padding: 3px 8px; border-bottom: 1px solid #e1e6ec; text-align: left; }
th { background: #eef1f4; font-weight: 600; }
.n { text-align: right; }
svg { display: block; max-width: 100%; height: auto; margin-top: 8px; }
svg text { font-size: 12px; fill: #1d2733; }
svg text.wert { fill: #44505c; paint-order: stroke; stroke: #fff; stroke-width: 3px; }
svg text.kopf { font-weight: bold; }
.plan { fill: #7f9cba; }
.ist { fill: #e07b39; }
.mehr { fill: #c4473a; }
.weniger { fill: #3b8f5e; }
.soll, .achse { stroke: #1d2733; stroke-width: 1; stroke-dasharray: 4 3; }
section { break-inside: avoid-page; }
@media print { body { max-width: none; padding: 0; } h2 { break-after: avoid; } }
@page { size: A4; margin: 14mm; }
)";

std::string seite(const Bilanz& z, const std::string& bereich) {
    char erstellt[32] = "";
    const std::time_t jetzt = std::time(nullptr);
    std::tm t{};
    if (localtime_r(&jetzt, &t)) std::strftime(erstellt, sizeof erstellt, "%Y-%m-%d %H:%M", &t);
    std::string o = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                    "<title>Korvimand report: planned against actual</title>\n<style>";
    o += kStil;
    o += "</style>\n</head>\n<body>\n<header>\n<h1>Planned against actual</h1>\n<p class=\"unter\">" + db(bereich) +
         " &middot; evaluated positions only &middot; times in h.mm (hours.minutes) &middot; made " + erstellt +
         "</p>\n";
    if (const std::string ersatz = ersatzHinweis(); !ersatz.empty())
        o += "<p class=\"unter\">" + esc(ersatz) + ".</p>\n";
    o += "</header>\n";

    o += "<section id=\"summary\">\n<h2>Summary</h2>\n<dl class=\"kacheln\">\n";
    for (const auto& [name, wert] : bilanzKennzahlen(z))
        o += "<div><dt>" + esc(name) + "</dt><dd" + (wert.size() > 10 ? " class=\"lang\"" : "") + ">" + esc(wert) +
             "</dd></div>\n";
    o += "</dl>\n</section>\n";

    o += "<section id=\"workstations\">\n<h2>Planned against actual per workstation</h2>\n";
    if (z.plaetze.empty()) o += "<p class=\"leer\">No evaluated positions in this range.</p>\n";
    else {
        if (z.plaetze.size() > kPlaetze)
            o += "<p class=\"unter\">The charts show the " + std::to_string(kPlaetze) +
                 " workstations with the most planned time; the table has all " + std::to_string(z.plaetze.size()) +
                 ".</p>\n";
        plaetzeDiagramm(o, z.plaetze);
        o += "<h3>Actual / planned</h3>\n";
        verhaeltnisDiagramm(o, z.plaetze);
        std::vector<std::vector<std::string>> zeilen;
        for (const BilanzPlatz& p : z.plaetze)
            zeilen.push_back({db(p.apl), std::to_string(p.positionen), minutenText(p.planMin), minutenText(p.istMin),
                              verhaeltnisText(p.istMin, p.planMin)});
        tabelle(o, "workstations-table",
                {{"workstation", false}, {"positions", true}, {"planned", true}, {"actual", true}, {"act/plan", true}},
                zeilen);
    }
    o += "</section>\n";

    o += "<section id=\"deviations\">\n<h2>Largest deviations</h2>\n<p class=\"unter\">At most " +
         std::to_string(kBilanzTop) + " positions each way; deviation = actual - planned.</p>\n";
    if (z.mehr.empty() && z.weniger.empty()) o += "<p class=\"leer\">No position deviates from its plan.</p>\n";
    else {
        abweichungenDiagramm(o, z);
        std::vector<std::vector<std::string>> zeilen;
        for (const auto* s : {&z.mehr, &z.weniger})
            for (const BilanzPosition& p : *s)
                zeilen.push_back({s == &z.mehr ? "over" : "under", db(p.apk), db(p.app), db(p.apl), zeitText(p.plan),
                                  zeitText(p.ist), minutenText(p.abweichungMin)});
        tabelle(o, "deviations-table",
                {{"side", false},
                 {"order", false},
                 {"pos", false},
                 {"workstation", false},
                 {"planned", true},
                 {"actual", true},
                 {"deviation", true}},
                zeilen);
    }
    o += "</section>\n";

    o += "<section id=\"failures\">\n<h2>Failures in the message log</h2>\n";
    if (!z.logDatei) o += "<p class=\"leer\">No message log read (give --log FILE).</p>\n";
    else if (z.fehler.empty()) o += "<p class=\"leer\">No failures in " + esc(*z.logDatei) + ".</p>\n";
    else {
        o += "<p class=\"unter\">" + esc(*z.logDatei) + ", by function and message.</p>\n";
        std::vector<std::vector<std::string>> zeilen;
        for (const BilanzFehler& f : z.fehler)
            zeilen.push_back({std::to_string(f.anzahl), db(f.funktion), db(f.message)});
        tabelle(o, "failures-table", {{"count", true}, {"function", false}, {"message", false}}, zeilen);
    }
    o += "</section>\n</body>\n</html>\n";
    return o;
}

}  // namespace

int berichtHtmlSchreiben(const std::string& datei, const Bilanz& z, const std::string& bereich) {
    // Readable as a file the user creates would be.
    const mode_t maske = ::umask(0);
    ::umask(maske);
    return Datei_Ersetzen(datei, seite(z, bereich), 0666 & ~maske);
}
