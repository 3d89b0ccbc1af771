// Fuzzes the formatting of a message-log entry, its reading back and the
// backup name rule.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include "util/MsgLog.h"
#include "util/MsgLogLesen.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::int32_t i32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return static_cast<std::int32_t>(v);
}

std::string_view cut(std::string_view s) { return s.substr(0, s.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t head = 4 * 4 + 6 * 4;
    if (size < head) return 0;
    MsgEntry e;
    e.MsgArt = i32(data);
    e.ErrorCode = i32(data + 4);
    e.DataLength = i32(data + 8);
    const std::int32_t enabled = i32(data + 12);
    std::tm t{};
    t.tm_mday = i32(data + 16);
    t.tm_mon = i32(data + 20);
    t.tm_year = i32(data + 24);
    t.tm_hour = i32(data + 28);
    t.tm_min = i32(data + 32);
    t.tm_sec = i32(data + 36);

    // The rest, split at '|', gives message, function, data and supplement.
    std::string_view rest(reinterpret_cast<const char*>(data + head), size - head);
    std::string_view parts[4];
    for (auto& p : parts) {
        std::size_t bar = rest.find('|');
        p = rest.substr(0, bar);
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    e.Message = parts[0];
    e.Funktion = parts[1];
    e.Data = parts[2];
    e.Supplement = parts[3];

    const std::string out = Msg_Eintrag(e, enabled, t);
    std::string expect = "\xFE\r\nSystem-Date: ";
    check(out.compare(0, expect.size(), expect) == 0);
    const std::string_view date(out.data() + expect.size(), 8);
    check(date[2] == '.' && date[5] == '.');
    std::string tail = "\r\nMessage____: " + std::string(cut(e.Message)) +
                       "\r\nFunktion___: " + std::string(cut(e.Funktion)) +
                       "\r\nErrorCode__: " + std::to_string(e.ErrorCode) + "\r\n";
    if (enabled & DMSG) {
        tail.append(e.Data, 0, e.DataLength > 0 ? static_cast<std::size_t>(e.DataLength) : 0);
        tail += "\r\n";
    }
    if (enabled & SMSG) tail += std::string(cut(e.Supplement)) + "\r\n";
    const std::size_t kindEnd = out.find("\r\nMessage____: ");
    check(kindEnd != std::string::npos && out.compare(kindEnd, std::string::npos, tail) == 0);
    // The kind text: five characters for each kind bit, nothing else.
    const std::size_t kindStart = out.find("MsgArt_____: ") + 13;
    check(kindEnd - kindStart == 5u * static_cast<std::size_t>(__builtin_popcount(e.MsgArt & 31)));

    // Read back, and the raw input read as a log: every byte in one entry.
    const std::string_view eingabe(reinterpret_cast<const char*>(data), size);
    for (std::string_view bytes : {std::string_view(out), eingabe}) {
        std::string zusammen;
        for (const MsgGelesen& g : Msg_LogLesen(bytes)) zusammen += g.roh;
        check(zusammen == bytes);
    }
    // An entry whose texts hold no label reads back whole, with its values.
    const auto frei = [](std::string_view v) {
        return v.find("\r\n") == std::string_view::npos && v.find('\xFE') == std::string_view::npos;
    };
    if ((enabled & ~e.MsgArt & (DMSG | SMSG)) == 0 && frei(cut(e.Message)) && frei(cut(e.Funktion)) && frei(e.Data) &&
        frei(cut(e.Supplement))) {
        const auto g = Msg_LogLesen(out);
        check(g.size() == 1 && g[0].zustand == MsgZustand::Ganz && g[0].message == cut(e.Message) &&
              g[0].funktion == cut(e.Funktion) && g[0].errorCode == e.ErrorCode && g[0].msgArt == (e.MsgArt & 31));
    }

    const std::string name(parts[0]);
    const std::string backup = Msg_BackupName(name);
    check(backup.size() >= 4 && backup.compare(backup.size() - 4, 4, ".old") == 0);
    check(name.compare(0, backup.size() - 4, backup, 0, backup.size() - 4) == 0);
    // Only the file name's extension changes; the folder part stays.
    const std::size_t slash = name.rfind('/');
    const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    check(backup.size() - 4 >= fileStart);
    check(backup.find('/', fileStart) == std::string::npos);
    return 0;
}
