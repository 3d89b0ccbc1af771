#include "util/MsgLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <string_view>
#include <thread>

#include "util/Anzeige.h"
#include "util/Datei.h"
#include "util/DatumZeit.h"

namespace {

constexpr std::int32_t kRotationThreshold = 3000;
constexpr auto kRetryPause = std::chrono::milliseconds(333);

struct Settings {
    std::int32_t mask = 0;
    std::string fileName = "msg.dat";
    std::string backupName = "msg.old";
    std::int32_t sinceRotation = 0;
    std::int32_t written = 0;
};

Settings settings;
std::mutex settingsMutex;

// A text ends at its first zero byte, as the suite's other writers see it.
std::string_view text(const std::string& s) {
    std::string_view v(s);
    return v.substr(0, v.find('\0'));
}

// Opens a file for appending (never through a planted link, never a pipe
// or a device), creating it (and, once, its folder) when asked to, and
// takes an exclusive lock, retrying every 333 ms while another process
// holds it. Returns the descriptor or -errno.
int openLocked(const std::string& path, bool create) {
    bool folderTried = false;
    for (;;) {
        int fd = Datei_AnhaengenOeffnen(path, create);
        if (fd < 0) {
            const int e = -fd;
            std::filesystem::path folder = std::filesystem::path(path).parent_path();
            if (e == ENOENT && create && !folderTried && !folder.empty()) {
                folderTried = true;
                std::error_code ec;
                std::filesystem::create_directories(folder, ec);
                continue;
            }
            return -e;
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int e = errno;
            if (e == EWOULDBLOCK || e == EINTR) {
                std::this_thread::sleep_for(kRetryPause);
                continue;
            }
            ::close(fd);
            return -e;
        }
        // While we waited another process may have moved the file aside to
        // its backup name: write only into the file that bears the name.
        struct stat held, named;
        if (::fstat(fd, &held) != 0) {
            int e = errno;
            ::close(fd);
            return -e;
        }
        const int namedRc = ::stat(path.c_str(), &named);
        const int e = namedRc == 0 ? 0 : errno;
        if (namedRc == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino) return fd;
        ::close(fd);
        if (!create && e == ENOENT) return -ENOENT;
    }
}

// Writes all bytes to a locked descriptor and makes them durable. On a
// failure the file is cut back to where it stood, so that no half entry
// stays behind. Returns 0 or errno.
int appendDurably(int fd, std::string_view bytes) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return errno;
    const off_t start = st.st_size;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : EIO;
            while (::ftruncate(fd, start) != 0 && errno == EINTR) {}
            return e;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

// open, lock, write, sync, close; 0 or errno.
int appendLocked(const std::string& path, std::string_view bytes) {
    int fd = openLocked(path, true);
    if (fd < 0) return -fd;
    int e = appendDurably(fd, bytes);
    if (::close(fd) != 0 && e == 0) e = errno;
    return e;
}

// Moves the log to its backup name (replacing the earlier backup) under the
// log's lock. A log that is not there has nothing to move, and the backup
// stays. False when the log cannot be moved.
bool rotate(const Settings& s) {
    int fd = openLocked(s.fileName, false);
    if (fd == -ENOENT) return true;
    if (fd < 0) return false;
    bool moved = std::rename(s.fileName.c_str(), s.backupName.c_str()) == 0;
    ::close(fd);
    return moved;
}

// A line of standard error put together in a buffer on the stack and
// written in pieces, so that it needs no memory.
class Zeile {
public:
    ~Zeile() { schreiben(); }
    void roh(std::string_view t) noexcept {
        for (char c : t) {
            if (n_ == sizeof buf_) schreiben();
            buf_[n_++] = c;
        }
    }
    // A text of the log as a terminal may show it.
    void text(std::string_view t) noexcept {
        char b[kAnzeigeByteMax];
        for (char c : t) roh(std::string_view(b, Anzeige_Byte(static_cast<unsigned char>(c), false, b)));
    }
    void zahl(std::int32_t v) noexcept {
        char b[16];
        const auto [ende, ec] = std::to_chars(b, b + sizeof b, v);
        roh(std::string_view(b, static_cast<std::size_t>(ende - b)));
    }

private:
    // Through stdio, whose unbuffered stderr needs no memory either.
    void schreiben() noexcept {
        std::fwrite(buf_, 1, n_, stderr);
        n_ = 0;
    }
    char buf_[512];
    std::size_t n_ = 0;
};

// An entry the log cannot take goes to standard error, so that no failure
// goes unreported, even when memory has run out.
void aufStandardfehler(std::string_view funktion, std::string_view message, std::int32_t code, int fehler) noexcept {
    Zeile z;
    z.roh("korvimand: message log not written (");
    z.roh(Datei_Grund(fehler));
    z.roh("): ");
    z.text(funktion);
    z.roh(" / ");
    z.text(message);
    z.roh(" / ");
    z.zahl(code);
    z.roh("\n");
}

void put2(std::string& out, int v, char sep) {
    v = ((v % 100) + 100) % 100;
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
    if (sep) out.push_back(sep);
}

}  // namespace

std::string Msg_BackupName(const std::string& fileName) {
    std::size_t slash = fileName.rfind('/');
    std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < fileStart) return fileName + ".old";
    return fileName.substr(0, dot) + ".old";
}

std::string Msg_Eintrag(const MsgEntry& e, std::int32_t enabled, const std::tm& t) {
    std::string out(1, kMsgStart);
    const auto zeile = [&out](std::string_view label) {
        out += kMsgZeilenende;
        out += label;
    };
    zeile(kMsgDatum);
    put2(out, t.tm_mday, '.');
    put2(out, t.tm_mon + 1, '.');
    put2(out, t.tm_year, 0);
    zeile(kMsgZeit);
    put2(out, t.tm_hour, ':');
    put2(out, t.tm_min, ':');
    put2(out, t.tm_sec, 0);
    zeile(kMsgArt);
    for (const MsgArtText& k : kMsgArtTexte)
        if (e.MsgArt & k.bit) out += k.text;
    zeile(kMsgMessage);
    out += text(e.Message);
    zeile(kMsgFunktion);
    out += text(e.Funktion);
    zeile(kMsgErrorCode);
    out += std::to_string(e.ErrorCode);
    out += kMsgZeilenende;
    if (enabled & DMSG) {
        std::size_t n = e.DataLength > 0 ? static_cast<std::size_t>(e.DataLength) : 0;
        out.append(e.Data, 0, n);
        out += kMsgZeilenende;
    }
    if (enabled & SMSG) {
        out += text(e.Supplement);
        out += kMsgZeilenende;
    }
    return out;
}

void Msg_Open(std::int32_t mask, const char* fileName) {
    // Names first: should memory run out, the mask stays 0 and no entry
    // goes to another file than the one named.
    std::string name = fileName && *fileName ? fileName : "msg.dat";
    std::string backup = Msg_BackupName(name);
    std::lock_guard<std::mutex> lock(settingsMutex);
    settings.mask = mask;
    settings.fileName = std::move(name);
    settings.backupName = std::move(backup);
    // Called once at start: the rotation count starts there.
    settings.sinceRotation = 0;
}

void Msg_Write(const MsgEntry& entry) {
    std::lock_guard<std::mutex> lock(settingsMutex);
    const std::int32_t enabled = entry.MsgArt & settings.mask;
    if (enabled <= 0) return;
    int fehler = 0;
    try {
        const std::string bytes = Msg_Eintrag(entry, enabled, DatumZeit_Jetzt());
        // A log that cannot be moved aside takes the entry all the same; the
        // next entry tries the move again.
        if (settings.sinceRotation > kRotationThreshold && rotate(settings)) settings.sinceRotation = 0;
        fehler = appendLocked(settings.fileName, bytes);
    } catch (const std::bad_alloc&) {
        fehler = ENOMEM;
    }
    if (fehler != 0) {
        aufStandardfehler(text(entry.Funktion), text(entry.Message), entry.ErrorCode, fehler);
        return;
    }
    ++settings.sinceRotation;
    ++settings.written;
}

void Msg_Send(const char* funktion, const char* message, std::int32_t msgArt, std::int32_t errorCode) {
    funktion = funktion ? funktion : "";
    message = message ? message : "";
    try {
        MsgEntry e;
        e.Funktion = funktion;
        e.Message = message;
        e.MsgArt = msgArt;
        e.ErrorCode = errorCode;
        Msg_Write(e);
    } catch (const std::bad_alloc&) {
        std::lock_guard<std::mutex> lock(settingsMutex);
        if (msgArt & settings.mask) aufStandardfehler(funktion, message, errorCode, ENOMEM);
    }
}

void Msg_Fehler(const char* funktion, const char* message, std::int32_t code) {
    Msg_Send(funktion, message, FMSG, code);
}

void Msg_Datenbankfehler(const char* funktion, const char* operation, std::int32_t rc) {
    if (rc < 0) Msg_Fehler(funktion, operation, rc);
}

std::int32_t Msg_AppendToFile(const char* fileName, const char* data, std::int32_t length) {
    if (!fileName || !*fileName || length < 0 || (!data && length > 0)) return EINVAL;
    std::string bytes(data ? data : "", static_cast<std::size_t>(length));
    bytes += "\r\n";
    return appendLocked(fileName, bytes);
}

std::int32_t Msg_FehlerAnzahl() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    return settings.written;
}
