// korvimand-admin log: the message log as a table for a terminal or as CSV,
// oldest entry first. The log's texts are single-byte Windows-1252; they
// are shown in UTF-8, with control bytes escaped so that one entry stays
// one row.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/Admin.h"
#include "tools/AdminCsv.h"
#include "tools/AdminLog.h"
#include "util/Anzeige.h"
#include "util/Datei.h"
#include "util/MsgLog.h"
#include "util/MsgLogLesen.h"

namespace {

// What a torn or foreign entry shows as its message: its size, where it
// lies (in which file, when there are two) and its bytes (in the table at
// most the first 40 characters).
std::string beschreibung(const MsgGelesen& e, const std::string& datei, bool csv) {
    std::string bytes = Anzeige_Text(e.roh, true);
    if (!csv && Anzeige_Zeichen(bytes) > 40) {
        std::size_t n = 0, i = 0;
        for (; i < bytes.size(); ++i)
            if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80 && ++n > 37) break;
        bytes = bytes.substr(0, i) + "...";
    }
    std::string wo = std::to_string(e.roh.size()) + " bytes at byte " + std::to_string(e.offset);
    if (!datei.empty()) wo += " of " + datei;
    return wo + ": " + bytes;
}

struct Filter {
    std::optional<std::string> seit;  // yyyymmddHHMMSS
    std::optional<std::string> funktion;
    bool fehler = false;
};

// A failure: an error message, or bytes that are no whole entry.
bool istFehler(const MsgGelesen& e) { return e.zustand != MsgZustand::Ganz || (e.msgArt & FMSG) != 0; }

// What could not be read of a torn entry does not exclude it.
bool zeigen(const MsgGelesen& e, const Filter& f) {
    if (f.seit && !e.stempel.empty() && e.stempel < *f.seit) return false;
    if (f.fehler && !istFehler(e)) return false;
    const bool funktionGelesen = e.zustand == MsgZustand::Ganz || !e.funktion.empty();
    return !f.funktion || !funktionGelesen || e.funktion == *f.funktion;
}

using Zeile = std::array<std::string, 6>;

Zeile zeile(const MsgGelesen& e, const std::string& datei, bool csv) {
    Zeile z;
    if (!e.stempel.empty()) z[0] = e.stempel.substr(0, 4) + "-" + e.stempel.substr(4, 2) + "-" + e.stempel.substr(6, 2);
    z[1] = e.zeit;
    if (e.zustand == MsgZustand::Ganz) {
        for (const MsgArtText& k : kMsgArtTexte)
            if (e.msgArt & k.bit) z[2].append(z[2].empty() ? "" : " ").append(k.text.substr(0, 4));
        z[4] = Anzeige_Text(e.message, false);
        z[5] = std::to_string(e.errorCode);
    } else {
        z[2] = e.zustand == MsgZustand::Abgerissen ? "torn" : "foreign";
        z[4] = beschreibung(e, datei, csv);
    }
    z[3] = Anzeige_Text(e.funktion, false);
    return z;
}

void tabelle(const std::vector<Zeile>& zeilen) {
    const Zeile kopf = {"date", "time", "kind", "function", "message", "code"};
    std::array<std::size_t, 6> breite{};
    for (std::size_t i = 0; i < 6; ++i) breite[i] = kopf[i].size();
    for (const Zeile& z : zeilen)
        for (std::size_t i = 0; i < 6; ++i) breite[i] = std::max(breite[i], Anzeige_Zeichen(z[i]));
    const auto drucken = [&](const Zeile& z) {
        std::string out;
        for (std::size_t i = 0; i < 6; ++i) {
            if (i) out += "  ";
            const std::string fuellung(breite[i] - Anzeige_Zeichen(z[i]), ' ');
            out += i == 5 ? fuellung + z[i] : z[i] + fuellung;  // the code is a number
        }
        std::cout << out << "\n";
    };
    drucken(kopf);
    Zeile strich;
    for (std::size_t i = 0; i < 6; ++i) strich[i].assign(breite[i], '-');
    drucken(strich);
    for (const Zeile& z : zeilen) drucken(z);
    if (zeilen.empty()) std::cout << "(none)\n";
}

int usage(const std::string& warum) {
    std::cerr << "korvimand-admin: log: " << warum << "\n" << adminAufruf("log") << "\n";
    return 2;
}

bool ziffern(const std::string& s) { return s.find_first_not_of("0123456789") == std::string::npos; }

}  // namespace

std::string logGekuerzt(const std::string& datei, std::size_t ausgelassen) {
    return datei + " holds more than " + std::to_string(kMsgLogLeseMax >> 20) + " MiB: its first " +
           std::to_string(ausgelassen) + " bytes are left out, only the entries after them are read";
}

int adminLog(int argc, char** argv) {
    std::string datei = "./Msg/Korvimand.Txt";
    bool alle = false, csv = false;
    Filter f;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--csv") csv = true;
        else if (opt == "--all") alle = true;
        else if (opt == "--failures") f.fehler = true;
        else if (opt == "--file" && i + 1 < argc) datei = argv[++i];
        else if (opt == "--function" && i + 1 < argc) f.funktion = argv[++i];
        else if (opt == "--since" && i + 1 < argc) {
            std::string s = argv[++i];
            if ((s.size() != 8 && s.size() != 14) || !ziffern(s))
                return usage("--since takes yyyymmdd or yyyymmddHHMMSS, not " + s);
            f.seit = s + std::string(14 - s.size(), '0');
        } else return usage("unexpected " + opt);
    }

    std::vector<std::string> dateien;
    if (alle) dateien.push_back(Msg_BackupName(datei));
    dateien.push_back(datei);
    std::vector<Zeile> zeilen;
    for (const std::string& d : dateien) {
        std::vector<MsgGelesen> eintraege;
        std::size_t ausgelassen = 0;
        if (const int e = Msg_LogDateiLesen(d, eintraege, &ausgelassen); e == ENOENT) {
            // No log: nothing has been logged there (yet). A missing backup
            // is the rule.
            if (d == datei) std::cerr << "korvimand-admin: log: there is no " << d << "\n";
            continue;
        } else if (e != 0) {
            std::cerr << "korvimand-admin: log: cannot read " << d << ": " << Datei_Grund(e) << "\n";
            return 1;
        }
        if (ausgelassen) std::cerr << "korvimand-admin: log: " << logGekuerzt(d, ausgelassen) << "\n";
        for (const MsgGelesen& e : eintraege)
            if (zeigen(e, f)) zeilen.push_back(zeile(e, alle ? d : std::string(), csv));
    }

    // With --failures the status tells a scheduler whether there were any.
    const int status = f.fehler && !zeilen.empty() ? 1 : 0;
    if (!csv) {
        tabelle(zeilen);
        return status;
    }
    std::cout << "date,time,kind,function,message,code\n";
    for (const Zeile& z : zeilen) {
        std::string out;
        for (std::size_t i = 0; i < z.size(); ++i) out.append(i ? "," : "").append(csvFeld(z[i]));
        std::cout << out << "\n";
    }
    return status;
}
