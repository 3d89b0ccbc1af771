#pragma once
// The message log file: one entry per failure, appended under an exclusive
// file lock by every process that shares the file.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

enum MsgArtBits : std::int32_t { DMSG = 1, SMSG = 2, FMSG = 4, WMSG = 8, CMSG = 16 };

// The layout of an entry on disk, for the writer and the reader alike: the
// start mark, then each labelled line ended by CR LF.
inline constexpr char kMsgStart = '\xFE';
inline constexpr std::string_view kMsgZeilenende = "\r\n";
inline constexpr std::string_view kMsgDatum = "System-Date: ";
inline constexpr std::string_view kMsgZeit = "System-Time: ";
inline constexpr std::string_view kMsgArt = "MsgArt_____: ";
inline constexpr std::string_view kMsgMessage = "Message____: ";
inline constexpr std::string_view kMsgFunktion = "Funktion___: ";
inline constexpr std::string_view kMsgErrorCode = "ErrorCode__: ";
// The kind texts in the order of the kind line.
struct MsgArtText {
    std::int32_t bit;
    std::string_view text;
};
inline constexpr MsgArtText kMsgArtTexte[] = {{DMSG, "DMSG "},
                                              {SMSG, "SMSG "},
                                              {FMSG, "FMSG "},
                                              {WMSG, "WMSG "},
                                              {CMSG, "CMSG "}};

struct MsgEntry {
    std::string Funktion;     // name of the calling function
    std::string Message;      // failed operation's name or a sentence
    std::int32_t MsgArt = 0;  // bit set of MsgArtBits
    std::int32_t ErrorCode = 0;
    std::string Data;  // written with a DMSG entry (DataLength bytes of it)
    std::int32_t DataLength = 0;
    std::string Supplement;  // written with an SMSG entry
};

// Sets the kind mask and the log file name (nullptr or "": "msg.dat") and
// derives the backup name; the entry count for the rotation starts at 0.
// Opens no file. Until it is called nothing is written (the mask is 0).
void Msg_Open(std::int32_t mask, const char* fileName);
// Writes one entry when its kinds are enabled; the caller learns nothing.
// A missing folder of the log file is created. An entry the log cannot take
// (nor the memory to build it) is written to standard error as one line.
// Neither throws.
void Msg_Write(const MsgEntry& entry);
void Msg_Send(const char* funktion, const char* message, std::int32_t msgArt, std::int32_t errorCode);
// Appends data and CR LF to a file under the log's locking rules; 0 or errno.
std::int32_t Msg_AppendToFile(const char* fileName, const char* data, std::int32_t length);

// The one form every caller of this program uses: an FMSG entry with the
// caller's name, the failed operation (or a sentence) and the code.
void Msg_Fehler(const char* funktion, const char* message, std::int32_t code);

// Logs a database error (a negative result) of an operation whose other
// failures, "no row" and "end of data", the caller passes over in silence:
// what it then leaves out must not look like a complete evaluation.
void Msg_Datenbankfehler(const char* funktion, const char* operation, std::int32_t rc);

// How many entries this process has written to the log (rotations included).
std::int32_t Msg_FehlerAnzahl();

// The backup name of a log file name: the extension of its file name (the
// part after the last "/") replaced by ".old", or ".old" appended.
std::string Msg_BackupName(const std::string& fileName);
// The bytes of one entry as Msg_Write writes them at time t; enabled is the
// entry's kinds AND the mask (it decides whether the data and supplement
// blocks follow), the kind line shows every kind of the entry.
std::string Msg_Eintrag(const MsgEntry& entry, std::int32_t enabled, const std::tm& t);
