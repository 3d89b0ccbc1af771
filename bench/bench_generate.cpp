// Fills an empty database with N order positions of a realistic shape for
// the benchmark: every position booked on 3 workstations, 10 booking messages
// per workstation, the workstations' evaluation variants 2 / 3 / 4 in the
// ratio 50 / 25 / 25 %, kind-5 and kind-6 source rows for variants 3 and 4,
// 2 % of the positions package heads (head and program form alternating)
// with 5 members each, a pending "NZA" marker for 10 % of the positions, a
// valid run-parameter row and the upload number range. The positions begin
// on the last 30 days of the calendar; by default the calendar holds just
// these days in one plant calendar, which a plant with years of calendar
// for several plants does not (--calendar-days, --plant-calendars: the
// workstations take turns among the plant calendars).
//
// usage: bench_generate --positions N [--net8 NET8] [--seed S] [--calendar-days D] [--plant-calendars K]
//   Without --net8 the database of the configuration file korvimand reads.
// Loads in one transaction with prepared inserts through the statement
// runtime, so both backends load alike.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "db/Ladezeilen.h"
#include "db/runtime/Runtime.h"
#include "nza/Paket.h"
#include "nza/Zeit.h"
#include "util/Config.h"

namespace {

constexpr int kArbeitsplaetze = 120;
constexpr int kTage = 30;  // the positions' days, the last of the calendar
constexpr int kPositionenJeAuftrag = 10;
constexpr int kMeldungenJeArbeitsplatz = 10;
constexpr int kPaketAbstand = 50;  // every 50th position heads a package: 2 %
constexpr int kPaketGlieder = 5;
constexpr int kMerkerAbstand = 10;  // 10 % of the positions have a marker

rt::Bind s(std::string& v) { return rt::txt(v.data(), static_cast<std::int32_t>(v.size() + 1)); }

std::string tag(int abstand) {
    const std::time_t jetzt = std::time(nullptr);
    std::tm t{};
    localtime_r(&jetzt, &t);
    t.tm_mday += abstand;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &t);
    return buf;
}

std::string format(const char* f, long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

// Variant of workstation w: 2 for half of them, 3 and 4 for a quarter each;
// every tenth asks for the performance correction.
std::int32_t variante(int w) { return w % 4 < 2 ? 2 : (w % 4 == 2 ? 3 : 4); }
std::int32_t leistung(int w) { return w % 10 == 0 ? 1 : 0; }
std::string platz(int w) { return format("AP%05ld", w); }

class Generator {
public:
    Generator(long positionen, unsigned seed, int kalenderTage, int kalender)
        : n_(positionen), kalenderTage_(kalenderTage), kalender_(kalender), zufall_(seed) {}

    std::int32_t laden() {
        stammdaten();
        for (long i = 0; i < n_ && rc_ == 0; ++i) position(i);
        return rc_;
    }
    long zeilen() const { return zeilen_; }

private:
    // One insert into tabelle, unless an earlier one failed.
    template <class Einfuegen>
    void zeile(const char* tabelle, Einfuegen einfuegen) {
        if (rc_ != 0) return;
        rc_ = einfuegen();
        if (rc_ != 0) std::cerr << "bench_generate: code " << rc_ << " from an insert into " << tabelle << "\n";
        ++zeilen_;
    }

    double zwischen(double a, double b) { return std::uniform_real_distribution<double>(a, b)(zufall_); }
    int ganzZwischen(int a, int b) { return std::uniform_int_distribution<int>(a, b)(zufall_); }
    // A duration in h.mm with a valid minute part.
    double dauer(int vonMinuten, int bisMinuten) { return hm(ganzZwischen(vonMinuten, bisMinuten)); }

    void stammdaten() {
        const std::string emo = "FRUEH";
        const std::int32_t ttp = 1;
        zeile("Hlx533Emo", [&] { return Laden_Schichtmodell(emo, "Fruehschicht", ttp, 6.0); });
        for (int d = 0; d < kalenderTage_; ++d) {
            const std::string dtm = tag(d - kalenderTage_ - 10);
            for (int k = 0; k < kalender_; ++k)
                zeile("Hlx133Kal", [&] { return Laden_Kalendertag(kalenderVon(k), dtm, ttp); });
            // Week and weekday merely count the days: the evaluation reads neither.
            const LadeAllgKalendertag bak{dtm,
                                          std::stoi(dtm.substr(0, 4)),
                                          std::stoi(dtm.substr(4, 2)),
                                          1 + d / 7 % 52,
                                          1 + d % 7,
                                          1 + d % 365};
            zeile("Hlx133Bak", [&] { return Laden_AllgKalendertag(bak); });
        }
        const std::string gvo = tag(-60);
        for (int w = 0; w < kArbeitsplaetze; ++w) {
            const std::string apl = platz(w);
            zeile("Hlx531Apl",
                  [&] { return Laden_Arbeitsplatz(apl, "Arbeitsplatz " + apl, format("GR%03ld", w / 10), kEins); });
            zeile("Hlx532Aem", [&] {
                return Laden_Zuordnung(
                    {2, apl, gvo, emo, "Zuordnung", kalenderVon(w % kalender_), variante(w), leistung(w)});
            });
        }
        std::string gvn = tag(-30), gbi = tag(365);
        const std::int32_t akz = 2, null = 0;
        // In place of the row init-db creates.
        zeile("Hlx591Nzp", [] { return Laden_LaufparameterLoeschen(); });
        zeile("Hlx591Nzp", [&] {
            return rt::exec("insert into Hlx591Nzp (NzpAkz,NzpGvn,NzpGbi,NzpAan,NzpVfh,NzpNfh,NzpMrk,NzpAus) values "
                            "(:b0,TO_DATE(:b1,'yyyymmdd'),TO_DATE(:b2,'yyyymmdd'),:b3,:b4,:b5,:b6,:b7)",
                            {rt::i32(akz), s(gvn), s(gbi), rt::i32(null), rt::i32(null), rt::i32(null), rt::i32(null),
                             rt::txt("BENCH")});
        });
        zeile("Hlx552Bnr", [&] { return Laden_Nummernkreis(null, "BENCH"); });
    }

    void position(long i) {
        std::string apk = format("%012ld", 100000000000L + i / kPositionenJeAuftrag);
        std::string app = format("%05ld", (i % kPositionenJeAuftrag + 1) * 10);
        const std::string tagText = tag(static_cast<int>((i / kPositionenJeAuftrag) % kTage) - 40);
        if (i % kPositionenJeAuftrag == 0)
            zeile("Hlx501Apk", [&] {
                return Laden_Auftrag({apk, "Auftrag " + apk, format("TNR-%08ld", i / kPositionenJeAuftrag)});
            });

        int ws[3];
        for (int k = 0; k < 3; ++k) {
            bool neu;
            do {
                ws[k] = ganzZwischen(0, kArbeitsplaetze - 1);
                neu = true;
                for (int j = 0; j < k; ++j) neu = neu && ws[j] != ws[k];
            } while (!neu);
        }

        const double sme = ganzZwischen(10, 200);
        const double ime = sme - ganzZwischen(0, 3);
        const double str = dauer(5, 59), ste = dauer(1, 15);
        const double sza = hm(ganz(m(str) + static_cast<double>(ganz(m(ste) * sme))));
        std::string zf2;
        const long kopf = i - i % kPaketAbstand;
        if (i % kPaketAbstand == 0) zf2 = (i / kPaketAbstand) % 2 == 0 ? "*PKT_KOPF*" : "*PKT_PROG*";
        else if (i % kPaketAbstand <= kPaketGlieder) {
            zf2 = Paketschluessel(format("%012ld", 100000000000L + kopf / kPositionenJeAuftrag).c_str(),
                                  format("%05ld", (kopf % kPositionenJeAuftrag + 1) * 10).c_str())
                      .c_str();
        }
        zeile("Hlx504App", [&] {
            return Laden_Position({apk, app, "Arbeitsgang " + app, platz(ws[0]), kOffen, tagText + "060000",
                                   tagText + "143000", sme, ime, sza, str, ste, zf2, "Vorgabe aus dem Arbeitsplan"});
        });

        for (int k = 0; k < 3; ++k) {
            std::string apl = platz(ws[k]);
            for (int j = 0; j < kMeldungenJeArbeitsplatz; ++j) {
                // Start, eight quantity reports, finish.
                const std::string fcd = j == 0 ? "A01" : (j == kMeldungenJeArbeitsplatz - 1 ? "A06" : "A07");
                const std::string uhr = format("%02ld0000", 6 + j * 8 / kMeldungenJeArbeitsplatz);
                const std::string pnr = format("%08ld", 1000 + (ws[k] + j) % 40);
                const double gum = fcd == "A07" ? ganzZwischen(1, 25) : 0, fam = fcd == "A07" ? ganzZwischen(0, 1) : 0;
                const double nam = fcd == "A01" ? 0 : ganzZwischen(80, 120);
                const std::int32_t bnr = ++buchung_;
                zeile("Hlx560Mel", [&] {
                    return Laden_Meldung({bnr, "M_A", pnr, apl, apk, app, tagText, uhr, fcd, gum, fam, nam});
                });
            }
            const std::int32_t v = variante(ws[k]);
            if (v == 3 || v == 4) {
                // Two stretches of work by two people.
                for (int j = 0; j < 2; ++j) {
                    const double nza = dauer(60, 240), nzr = dauer(0, 30), rbz = dauer(0, 15);
                    const LadeQuelle q{v == 3 ? 5 : 6,
                                       apl,
                                       apk,
                                       app,
                                       format("%08ld", 2000 + j),
                                       tagText + (j ? "100000" : "060000"),
                                       tagText + (j ? "143000" : "100000"),
                                       nza,
                                       nzr,
                                       rbz};
                    zeile("Hlx590Nza", [&] { return Laden_Quelle(q); });
                }
            }
        }

        if (i % kMerkerAbstand == 3)
            zeile("Hlx563Mrk", [&] {
                return Laden_Merker({"0000000000", apk, app, "00000000", 0, tagText + "150000"});
            });
    }

    static std::string kalenderVon(int k) { return "K" + std::to_string(k + 1); }

    static constexpr std::int32_t kEins = 1;
    static constexpr std::int32_t kOffen = 20;
    long n_;
    int kalenderTage_, kalender_;
    std::mt19937 zufall_;
    std::int32_t rc_ = 0;
    long zeilen_ = 0;
    std::int32_t buchung_ = 0;
};

int usage() {
    std::cerr << "usage: bench_generate --positions N [--net8 NET8] [--seed S] [--calendar-days D (>= 30)] "
                 "[--plant-calendars K]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long positionen = 0;
    unsigned seed = 4711;
    int kalenderTage = kTage, kalender = 1;
    std::optional<std::string> net8;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) return usage();
        if (opt == "--positions") positionen = std::atol(argv[++i]);
        else if (opt == "--net8") net8 = argv[++i];
        else if (opt == "--seed") seed = static_cast<unsigned>(std::atol(argv[++i]));
        else if (opt == "--calendar-days") kalenderTage = std::atoi(argv[++i]);
        else if (opt == "--plant-calendars") kalender = std::atoi(argv[++i]);
        else return usage();
    }
    if (positionen <= 0 || kalenderTage < kTage || kalenderTage > 100000 || kalender < 1 || kalender > 99)
        return usage();

    char login[CfgLoginBytes] = {}, password[CfgLoginBytes] = {}, konfiguriert[CfgLoginBytes] = {};
    Cfg_GetDbLogin(login, password, konfiguriert);
    const std::string ziel = net8 ? *net8 : konfiguriert;
    if (const std::int32_t rc = rt::connect(login, password, ziel.c_str()); rc != 0) {
        std::cerr << "bench_generate: cannot connect to " << ziel << " (code " << rc << ")\n";
        return 1;
    }
    std::int32_t vorhanden = 0;
    if (rt::exec("select count(*)  into :b0  from Hlx504App", {}, {rt::i32(vorhanden)}) != 0 || vorhanden != 0) {
        std::cerr << "bench_generate: the database must hold the tables and no order position\n";
        return 1;
    }

    const auto beginn = std::chrono::steady_clock::now();
    Generator g(positionen, seed, kalenderTage, kalender);
    std::int32_t rc = g.laden();
    if (rc == 0) rc = rt::commit();
    else rt::rollback();
    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
    if (rc != 0) {
        std::cerr << "bench_generate: loading failed with code " << rc << "; nothing was loaded\n";
        return 1;
    }
    std::printf("bench_generate: %ld positions, %ld rows in %.1f s (%.0f rows/s)\n", positionen, g.zeilen(), sekunden,
                static_cast<double>(g.zeilen()) / sekunden);
    rt::disconnect();
    return 0;
}
