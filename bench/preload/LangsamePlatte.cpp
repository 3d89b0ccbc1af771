// Stands in for a slow disk: preloaded into korvimand (SQLite) or into the
// benchmark's own PostgreSQL server, it makes every fsync and fdatasync take
// KORVIMAND_FLUSH_US microseconds longer than the real call (unset or 0: no
// delay). A disk without a write cache that survives a power loss, or a
// network volume, takes 1 to 8 ms a flush.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

long verzoegerung() {
    static const long us = [] {
        const char* v = std::getenv("KORVIMAND_FLUSH_US");
        return v ? std::strtol(v, nullptr, 10) : 0L;
    }();
    return us;
}

int nachher(int rc) {
    if (const long us = verzoegerung(); us > 0) {
        const int fehler = errno;
        timespec t{us / 1000000, (us % 1000000) * 1000};
        while (nanosleep(&t, &t) == -1 && errno == EINTR) {}
        errno = fehler;
    }
    return rc;
}

template <typename F>
F echt(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
    static auto real = echt<int (*)(int)>("fsync");
    return nachher(real(fd));
}

extern "C" int fdatasync(int fd) {
    static auto real = echt<int (*)(int)>("fdatasync");
    return nachher(real(fd));
}
