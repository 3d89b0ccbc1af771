// Fuzzes the reading of a configuration file: the record scanner over any
// bytes, the same bytes read as a file, and the decryption of what it finds.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/Config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first bytes choose the lookup: a number, and the lengths of a name
    // and a key taken from the front of the rest; all of it is the file.
    if (size < 6) return 0;
    std::int32_t number =
        static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);
    const std::string_view file(reinterpret_cast<const char*>(data + 6), size - 6);
    const std::string_view name = file.substr(0, data[4] % 8);
    const std::string_view key = file.substr(0, data[5] % 8);

    CfgRecord r;
    const bool found = Cfg_FindRecord(file, name, key, number, r);
    check(r.name.size() <= CfgFieldMax && r.key.size() <= CfgFieldMax && r.value.size() <= CfgValueMax);
    if (found) check(r.name == name || r.key == key || r.number == number);
    else check(r.name.empty() && r.key.empty() && r.value.empty() && r.number == 0);

    const std::string text = found ? Cfg_DecodeValue(r.value, CfgKeyText, 0) : std::string();
    check(text.size() <= CfgTextMax && text.find('\0') == std::string::npos);

    // The file reader must find exactly what the scanner found.
    int fd = ::memfd_create("cfg", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (::write(fd, file.data(), file.size()) == static_cast<ssize_t>(file.size()))
        check(Cfg_ReadValue(name, key, number, "/proc/self/fd/" + std::to_string(fd)) == text);
    ::close(fd);

    // Mode 1 and the encoder take any text too.
    check(Cfg_DecodeValue(file.substr(0, 400), CfgKeyText, 1).size() <= 400);
    const std::string_view plain = file.substr(0, CfgTextMax);
    if (plain.find('\0') == std::string_view::npos)
        check(Cfg_DecodeValue(Cfg_EncodeValue(plain, CfgKeyText), CfgKeyText, 0) == plain);
    return 0;
}
