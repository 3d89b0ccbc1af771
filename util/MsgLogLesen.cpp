#include "util/MsgLogLesen.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

#include "util/Datei.h"
#include "util/MsgLog.h"

namespace {

// Texts are put together by appending: g++ 12.2 at -O3 reports a false
// -Wrestrict on a literal + std::string.
std::string zeile(std::string_view label) {
    std::string z(kMsgZeilenende);
    z += label;
    return z;
}

// What every entry begins with; also where reading goes on after a torn one.
const std::string& anfang() {
    static const std::string a = std::string(1, kMsgStart).append(zeile(kMsgDatum));
    return a;
}

struct Leser {
    std::string_view s;
    std::size_t p = 0;

    bool wort(std::string_view w) {
        if (s.substr(p, w.size()) != w) return false;
        p += w.size();
        return true;
    }
    // "NN.NN.NN" or "NN:NN:NN".
    bool dreier(char trenner, std::string& out) {
        const std::string_view t = s.substr(p, 8);
        if (t.size() != 8) return false;
        for (std::size_t i = 0; i < 8; ++i) {
            const bool ok = i % 3 == 2 ? t[i] == trenner : t[i] >= '0' && t[i] <= '9';
            if (!ok) return false;
        }
        out = t;
        p += 8;
        return true;
    }
    // The text up to the next label; the label stays to be read.
    bool bis(const std::string& label, std::string& out) {
        const std::size_t e = s.find(label, p);
        if (e == std::string_view::npos) return false;
        out = s.substr(p, e - p);
        p = e;
        return true;
    }
    bool arten(std::int32_t& bits) {
        for (const MsgArtText& k : kMsgArtTexte)
            if (wort(k.text)) bits |= k.bit;
        return s.substr(p, kMsgZeilenende.size()) == kMsgZeilenende;
    }
    bool code(std::int32_t& out) {
        const char* anf = s.data() + p;
        const auto [ende, ec] = std::from_chars(anf, s.data() + s.size(), out);
        if (ec != std::errc() || ende == anf) return false;
        p += static_cast<std::size_t>(ende - anf);
        return true;
    }
};

// DD.MM.YY and HH:MM:SS as yyyymmddHHMMSS; two-digit years as POSIX reads
// them (69-99 in the 1900s).
std::string stempel(const std::string& datum, const std::string& zeit) {
    const int jj = (datum[6] - '0') * 10 + (datum[7] - '0');
    std::string s = jj >= 69 ? "19" : "20";
    for (const std::size_t i : {6, 3, 0}) s.append(datum, i, 2);
    for (const std::size_t i : {0, 3, 6}) s.append(zeit, i, 2);
    return s;
}

// One entry from its start mark to the next entry's start (or the end); a
// whole entry followed by bytes that are none also yields those.
void eintrag(std::string_view w, std::size_t offset, std::vector<MsgGelesen>& out) {
    MsgGelesen e;
    e.zustand = MsgZustand::Abgerissen;
    e.offset = offset;
    e.roh = w;
    Leser l{w};
    bool kopf = l.wort(anfang()) && l.dreier('.', e.datum) && l.wort(zeile(kMsgZeit)) && l.dreier(':', e.zeit);
    if (kopf) e.stempel = stempel(e.datum, e.zeit);
    const std::string funktion = zeile(kMsgFunktion), code = zeile(kMsgErrorCode);
    bool ganz = kopf && l.wort(zeile(kMsgArt)) && l.arten(e.msgArt) && l.wort(zeile(kMsgMessage)) &&
                l.bis(funktion, e.message) && l.wort(funktion) && l.bis(code, e.funktion) && l.wort(code);
    if (ganz) {
        e.hatCode = l.code(e.errorCode);
        ganz = e.hatCode && l.wort(kMsgZeilenende);
    }
    if (!ganz) {
        out.push_back(std::move(e));
        return;
    }
    const std::string_view rest = w.substr(l.p);
    const bool mitBlock = (e.msgArt & (DMSG | SMSG)) != 0;
    if (!rest.empty() && mitBlock) {
        const bool vollstaendig =
            rest.size() >= kMsgZeilenende.size() && rest.substr(rest.size() - kMsgZeilenende.size()) == kMsgZeilenende;
        if (!vollstaendig) {
            out.push_back(std::move(e));
            return;
        }
        e.zusatz = rest.substr(0, rest.size() - kMsgZeilenende.size());
    }
    e.zustand = MsgZustand::Ganz;
    e.roh = w.substr(0, mitBlock ? w.size() : l.p);
    out.push_back(std::move(e));
    if (!rest.empty() && !mitBlock) {
        MsgGelesen f;
        f.zustand = MsgZustand::Fremd;
        f.offset = offset + l.p;
        f.roh = rest;
        out.push_back(std::move(f));
    }
}

}  // namespace

std::vector<MsgGelesen> Msg_LogLesen(std::string_view bytes) {
    std::vector<MsgGelesen> out;
    std::size_t p = 0;
    while (p < bytes.size()) {
        // An entry reaches to the next entry start, bytes that are none to
        // the next start mark.
        const bool start = bytes[p] == kMsgStart;
        std::size_t e = start ? bytes.find(anfang(), p + 1) : bytes.find(kMsgStart, p);
        if (e == std::string_view::npos) e = bytes.size();
        if (start) {
            eintrag(bytes.substr(p, e - p), p, out);
        } else {
            MsgGelesen f;
            f.zustand = MsgZustand::Fremd;
            f.offset = p;
            f.roh = bytes.substr(p, e - p);
            out.push_back(std::move(f));
        }
        p = e;
    }
    return out;
}

int Msg_LogDateiLesen(const std::string& path, std::vector<MsgGelesen>& eintraege, std::size_t* ausgelassen) {
    const int fd = Datei_LesenOeffnen(path);
    if (fd < 0) return -fd;
    // A shared hold waits for an entry being written, so that none is read
    // half; writers wait no longer than this read takes. Where the file
    // system has no locks the file is read without.
    while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {}
    struct stat st;
    int e = ::fstat(fd, &st) == 0 ? 0 : errno;
    // Of a longer file only its newest entries are read: the memory to show
    // a log stays bounded, whatever the file holds.
    const std::size_t groesse = e == 0 ? static_cast<std::size_t>(st.st_size) : 0;
    std::size_t ab = groesse > kMsgLogLeseMax ? groesse - kMsgLogLeseMax : 0;
    if (ab > 0 && ::lseek(fd, static_cast<off_t>(ab), SEEK_SET) < 0) e = errno;
    std::string bytes;
    bytes.reserve(groesse - ab);
    char buf[65536];
    while (e == 0 && bytes.size() < kMsgLogLeseMax) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, kMsgLogLeseMax - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) e = errno;
        if (n <= 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (e != 0) return e;
    std::size_t erster = 0;
    if (ab > 0) {
        // What lies before the first whole entry's start belongs to an entry
        // that is not read.
        erster = bytes.find(anfang());
        if (erster == std::string::npos) erster = bytes.size();
    }
    eintraege = Msg_LogLesen(std::string_view(bytes).substr(erster));
    for (MsgGelesen& g : eintraege) g.offset += ab + erster;
    if (ausgelassen) *ausgelassen = ab + erster;
    return 0;
}
