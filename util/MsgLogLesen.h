#pragma once
// Reads message log files back into entries: korvimand-admin log and the
// reports that show what a run logged. Every byte read belongs to one read
// entry, so nothing read goes unseen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class MsgZustand {
    Ganz,        // a whole entry as the writer writes it
    Abgerissen,  // begins with the start mark but is cut off or malformed
    Fremd,       // bytes that are no entry (written by something else)
};

struct MsgGelesen {
    MsgZustand zustand = MsgZustand::Ganz;
    std::size_t offset = 0;  // of its first byte in the file
    std::string roh;         // all its bytes
    // What could be read; of a torn entry the fields up to where it breaks.
    std::string datum;        // DD.MM.YY
    std::string zeit;         // HH:MM:SS
    std::string stempel;      // yyyymmddHHMMSS when date and time were read (years 69-99: 19xx)
    std::int32_t msgArt = 0;  // bits of the kind line
    std::string message;
    std::string funktion;
    bool hatCode = false;
    std::int32_t errorCode = 0;
    std::string zusatz;  // the data or supplement block of a DMSG or SMSG entry, without its CR LF
};

// The entries of a log file's bytes, in file order (oldest first).
std::vector<MsgGelesen> Msg_LogLesen(std::string_view bytes);
// Of a log file at most this many of its last bytes are read.
inline constexpr std::size_t kMsgLogLeseMax = std::size_t{16} << 20;
// The entries of a log file, as Msg_LogLesen gives them: 0, or the errno of
// opening or reading it (ENOENT when there is no such file, kDateiKeineDatei
// when it is not a regular file). Of a file larger than kMsgLogLeseMax the
// entries that begin in its last kMsgLogLeseMax bytes; ausgelassen tells how
// many bytes before them were not read (0 when none).
int Msg_LogDateiLesen(const std::string& path, std::vector<MsgGelesen>& eintraege, std::size_t* ausgelassen = nullptr);
