#include "util/ConfigMangel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "util/Config.h"

std::string Cfg_Anzeigename() {
    std::error_code fehler;
    const std::filesystem::path p = std::filesystem::absolute(Cfg_FileName(), fehler);
    return fehler ? Cfg_FileName() : p.lexically_normal().string();
}

std::string Cfg_Mangel() {
    const std::string name = Cfg_Anzeigename();
    // Non-blocking: a FIFO in its place must not stop the start-up here.
    const int fd = ::open(Cfg_FileName().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int grund = fd < 0 ? errno : 0;
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) grund = EISDIR;
    if (fd >= 0) ::close(fd);
    if (grund == ENOENT || grund == ENOTDIR) return "configuration not found at " + name;
    if (grund != 0) {
        std::string warum = std::strerror(grund);
        if (!warum.empty()) warum[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(warum[0])));
        return "configuration " + name + " not readable: " + warum;
    }
    if (Cfg_ReadValue("", "NET8", 0, Cfg_FileName()).empty()) return "no NET8 in " + name;
    return "";
}
