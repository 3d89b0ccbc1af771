#include "app/Fortschritt.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "db/DbDb.h"
#include "util/MsgLog.h"

namespace {

using Uhr = std::chrono::steady_clock;

// Often enough to look alive, rarely enough to cost nothing next to the
// database work of a position.
constexpr auto kTakt = std::chrono::milliseconds(250);

struct Zustand {
    int fd = -1;               // -1: no terminal, nothing is shown
    int zusammenfassung = -1;  // where the summary goes
    Uhr::time_point beginn;
    Uhr::time_point gezeigt;
    std::int64_t positionen = 0;
    std::int32_t fehlerVorher = 0;
};

Zustand z;
FortschrittUhr uhr = Uhr::now;

// The terminal is the operator's; a failed write is no failure of the run.
void schreiben(int fd, const std::string& text) {
    std::size_t fertig = 0;
    while (fertig < text.size()) {
        const ssize_t n = ::write(fd, text.data() + fertig, text.size() - fertig);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        fertig += static_cast<std::size_t>(n);
    }
}

std::string anzahl(std::int64_t n, const char* einzahl, const char* mehrzahl) {
    return std::to_string(n) + " " + (n == 1 ? einzahl : mehrzahl);
}

std::string stand(Uhr::time_point jetzt, bool ende) {
    const double sekunden = std::chrono::duration<double>(jetzt - z.beginn).count();
    const std::int64_t fehler = Msg_FehlerAnzahl() - z.fehlerVorher;
    char rate[64] = "";
    if (sekunden > 0) std::snprintf(rate, sizeof rate, "%.0f/s", static_cast<double>(z.positionen) / sekunden);
    char dauer[32];
    std::snprintf(dauer, sizeof dauer, "%.1f s", sekunden);
    std::string t = "\rkorvimand: " + anzahl(z.positionen, "position", "positions");
    if (ende) t += std::string(" in ") + dauer;
    if (*rate) t += std::string(ende ? " (" : ", ") + rate + (ende ? ")" : "");
    t += ", " + (fehler == 0 ? std::string("no failures") : anzahl(fehler, "failure", "failures") + " logged");
    if (const std::uint64_t anfragen = dbAnfragen(); ende && anfragen > 0 && z.positionen > 0) {
        char jePosition[64];
        std::snprintf(jePosition, sizeof jePosition, ", %llu requests (%.1f per position)",
                      static_cast<unsigned long long>(anfragen),
                      static_cast<double>(anfragen) / static_cast<double>(z.positionen));
        t += jePosition;
    }
    // Erase what a longer earlier line left behind.
    return t + "\x1b[K" + (ende ? "\n" : "");
}

}  // namespace

void Fortschritt_Start(int fd) {
    z = Zustand{};
    z.fd = ::isatty(fd) ? fd : -1;
    const char* gewuenscht = std::getenv("KORVIMAND_SUMMARY");
    z.zusammenfassung = z.fd >= 0 || (gewuenscht && std::string(gewuenscht) == "1") ? fd : -1;
    z.beginn = z.gezeigt = uhr();
    z.fehlerVorher = Msg_FehlerAnzahl();
}

void Fortschritt_Position() {
    ++z.positionen;
    if (z.fd < 0) return;
    const auto jetzt = uhr();
    if (jetzt - z.gezeigt < kTakt) return;
    z.gezeigt = jetzt;
    schreiben(z.fd, stand(jetzt, false));
}

void Fortschritt_Ende() {
    if (z.zusammenfassung < 0) return;
    std::string t = stand(uhr(), true);
    // Off a terminal, one plain line.
    if (z.fd < 0) t = t.substr(1, t.find('\x1b') - 1) + "\n";
    schreiben(z.zusammenfassung, t);
}

FortschrittUhr Fortschritt_SetUhr(FortschrittUhr neu) {
    const FortschrittUhr alt = uhr;
    uhr = neu ? neu : Uhr::now;
    return alt;
}
