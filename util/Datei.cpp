#include "util/Datei.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int Datei_Regulaer(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return errno;
    return S_ISREG(st.st_mode) ? 0 : kDateiKeineDatei;
}

namespace {

// A descriptor opened with O_NONBLOCK when it is a regular file, whose reads
// and writes never wait anyway, without it; otherwise closed and -errno.
int regulaerBlockierend(int fd) {
    if (const int e = Datei_Regulaer(fd)) {
        ::close(fd);
        return -e;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

int Datei_LesenOeffnen(const std::string& path) {
    int fd;
    while ((fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) < 0 && errno == EINTR) {}
    return fd < 0 ? -errno : regulaerBlockierend(fd);
}

int Datei_AnhaengenOeffnen(const std::string& path, bool create) {
    const std::size_t slash = path.rfind('/');
    struct stat ordner;
    if (slash != std::string::npos && slash > 0 && ::lstat(path.substr(0, slash).c_str(), &ordner) == 0 &&
        S_ISLNK(ordner.st_mode) && ordner.st_uid != ::geteuid() && ordner.st_uid != 0)
        return -ELOOP;
    int fd;
    const int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (create ? O_CREAT : 0);
    while ((fd = ::open(path.c_str(), flags, 0666)) < 0 && errno == EINTR) {}
    // A pipe without a reader.
    if (fd < 0 && errno == ENXIO) return -kDateiKeineDatei;
    return fd < 0 ? -errno : regulaerBlockierend(fd);
}

int Datei_Ersetzen(const std::string& path, std::string_view bytes, mode_t mode) {
    // mkstemp creates its file with O_CREAT|O_EXCL: a link or a file planted
    // at its name makes it pick another name, never write through it.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int e = ::fchmod(fd, mode) == 0 ? 0 : errno;
    for (std::size_t done = 0; e == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) e = n < 0 ? errno : EIO;
        else done += static_cast<std::size_t>(n);
    }
    if (e == 0 && ::fsync(fd) != 0) e = errno;
    if (::close(fd) != 0 && e == 0) e = errno;
    // rename replaces a link at path itself, not the file it points to.
    if (e == 0 && std::rename(temp.c_str(), path.c_str()) != 0) e = errno;
    if (e != 0) ::unlink(temp.c_str());
    return e;
}

const char* Datei_Grund(int e) {
    if (e == kDateiKeineDatei) return "not a regular file";
    // What O_NOFOLLOW answers to a link.
    if (e == ELOOP) return "a link, which is not followed";
    return std::strerror(e);
}
