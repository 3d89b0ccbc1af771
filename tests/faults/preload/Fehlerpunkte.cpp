// Decides for libfiu's POSIX wrappers when a call fails, preloaded after
// /usr/lib/fiu/fiu_posix_preload.so into the unchanged binary. libfiu's own
// commands fail a point always or at random with a seed of the time; the
// tests need a counter (the n-th call of a family, to walk its call sites)
// and random failures that a seed repeats. Also adds the two lock calls that
// libfiu does not wrap: flock (the message log) and the lock commands of
// fcntl (SQLite).
//
// KORVIMAND_FIU: entries "POINT+POINT...:MODE:VALUE:ERRNO", separated by
// blanks. MODE zaehlen (count only), ab (fail from the VALUE-th call of the
// entry's points on), nur (fail only the VALUE-th call), zufall (fail each
// call with probability VALUE). KORVIMAND_FIU_SEED seeds zufall.
// KORVIMAND_FIU_BERICHT: file that gets, at exit, "CALLS FAILED" per entry.
#include <dlfcn.h>
#include <fcntl.h>
// Without it fiu.h turns every check into 0.
#define FIU_ENABLE 1
#include <fiu-control.h>
#include <fiu.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class Art { Zaehlen, Ab, Nur, Zufall };

struct Eintrag {
    Art art = Art::Zaehlen;
    double wert = 0;
    long fehlerNummer = EIO;
    unsigned long long zustand = 0;  // xorshift state of zufall
    long aufrufe = 0;
    long fehler = 0;
};

constexpr int kMax = 16;
Eintrag eintraege[kMax];
int anzahl = 0;
// Which entry each enabled point belongs to: the wrappers take the failure
// information as the errno to set, so it cannot carry the entry.
struct Punkt {
    const char* name;
    int eintrag;
};
Punkt punkte[4 * kMax];
int punktAnzahl = 0;
bool aus = true;  // before the set-up and while the report is written

bool faellt(Eintrag& e) {
    ++e.aufrufe;
    switch (e.art) {
        case Art::Zaehlen:
            return false;
        case Art::Ab:
            return e.aufrufe >= static_cast<long>(e.wert);
        case Art::Nur:
            return e.aufrufe == static_cast<long>(e.wert);
        case Art::Zufall:
            break;
    }
    e.zustand ^= e.zustand << 13;
    e.zustand ^= e.zustand >> 7;
    e.zustand ^= e.zustand << 17;
    return static_cast<double>(e.zustand >> 11) / 9007199254740992.0 < e.wert;
}

int entscheiden(const char* name, int*, void** failinfo, unsigned int*) {
    if (aus) return 0;
    for (int i = 0; i < punktAnzahl; ++i) {
        if (std::strcmp(punkte[i].name, name) != 0) continue;
        Eintrag& e = eintraege[punkte[i].eintrag];
        if (!faellt(e)) return 0;
        ++e.fehler;
        *failinfo = reinterpret_cast<void*>(e.fehlerNummer);
        return 1;
    }
    return 0;
}

Art art(const char* s) {
    if (std::strcmp(s, "ab") == 0) return Art::Ab;
    if (std::strcmp(s, "nur") == 0) return Art::Nur;
    if (std::strcmp(s, "zufall") == 0) return Art::Zufall;
    return Art::Zaehlen;
}

__attribute__((constructor)) void einrichten() {
    const char* regeln = std::getenv("KORVIMAND_FIU");
    if (!regeln || fiu_init(0) != 0) return;
    const char* s = std::getenv("KORVIMAND_FIU_SEED");
    const unsigned long long seed = s ? std::strtoull(s, nullptr, 10) : 1;
    static char text[4096];
    std::snprintf(text, sizeof text, "%s", regeln);
    char* rest = text;
    while (char* eintrag = strtok_r(rest, " ", &rest)) {
        if (anzahl == kMax) break;
        char* felder[4] = {};
        char* r2 = eintrag;
        for (char*& f : felder) f = strtok_r(r2, ":", &r2);
        if (!felder[3]) continue;
        Eintrag& e = eintraege[anzahl];
        e.art = art(felder[1]);
        e.wert = std::strtod(felder[2], nullptr);
        e.fehlerNummer = std::strtol(felder[3], nullptr, 10);
        e.zustand = (seed + 1) * 0x9E3779B97F4A7C15ULL ^ static_cast<unsigned long long>(anzahl + 1);
        char* r3 = felder[0];
        while (char* punkt = strtok_r(r3, "+", &r3)) {
            if (punktAnzahl == 4 * kMax) break;
            punkte[punktAnzahl++] = {punkt, anzahl};
            fiu_enable_external(punkt, 1, nullptr, 0, entscheiden);
        }
        ++anzahl;
    }
    aus = false;
}

__attribute__((destructor)) void berichten() {
    aus = true;
    const char* pfad = std::getenv("KORVIMAND_FIU_BERICHT");
    if (!pfad) return;
    if (FILE* f = std::fopen(pfad, "w")) {
        for (int i = 0; i < anzahl; ++i) std::fprintf(f, "%ld %ld\n", eintraege[i].aufrufe, eintraege[i].fehler);
        std::fclose(f);
    }
}

// errno of a failure decided here, or 0 to run the call.
int lockFehler(const char* punkt) {
    if (aus || !fiu_fail(punkt)) return 0;
    return static_cast<int>(reinterpret_cast<long>(fiu_failinfo()));
}

template <typename F>
F echt(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Only taking a lock fails: a release fails in no real system, and the
// callers (rightly) do not expect it to.
extern "C" int flock(int fd, int op) {
    static auto real = echt<int (*)(int, int)>("flock");
    if (int e = (op & LOCK_UN) ? 0 : lockFehler("posix/io/lock/flock")) {
        errno = e;
        return -1;
    }
    return real(fd, op);
}

extern "C" int fcntl64(int fd, int cmd, ...) {
    static auto real = echt<int (*)(int, int, ...)>("fcntl64");
    va_list ap;
    va_start(ap, cmd);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if ((cmd == F_SETLK || cmd == F_SETLKW || cmd == F_OFD_SETLK || cmd == F_OFD_SETLKW) &&
        static_cast<struct flock*>(arg)->l_type != F_UNLCK)
        if (int e = lockFehler("posix/io/lock/fcntl")) {
            errno = e;
            return -1;
        }
    return real(fd, cmd, arg);
}
