#pragma once
// What korvimand-admin report sums up over a range of order positions:
// planned against actual per workstation, the positions that deviate most,
// the span of the booking messages and the failures of a message log. The
// text tables and the HTML page both show this one computation, in the same
// formatting, so that their numbers cannot differ.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/runtime/Runtime.h"
#include "util/Text.h"

struct Bereich {
    Text<12> vonApk, bisApk;
    Text<5> vonApp, bisApp;
};

// The condition of korvimand's range cursor over an order and a position
// column (binds :b0 to :b5): the same positions a range run would select,
// whatever their status. And a cursor opened with it when there is a range.
std::string bereichBedingung(const char* apk, const char* app);
std::int32_t bereichOeffnen(rt::Cursor& c, const std::string& text, const std::optional<Bereich>& b);

// A fetch's result where a row with a text that Windows-1252 lacks a
// character of counts as read: the row comes with "?" in the character's
// place, so that one such row does not fail the report. How many rows so:
// ersetzteZeilen().
std::int32_t ersatzLesen(std::int32_t rc);
std::int64_t ersetzteZeilen();
// The note on such rows, "" without any.
std::string ersatzHinweis();

// h.mm with its two decimals; a value a correction has scaled keeps up to
// two more, so that a table never shows a rounded time as the stored one.
std::string zeitText(double hmm);
// Whole minutes (a fraction is cut) as h.mm.
std::string minutenText(double minuten);
std::string ohneBlanks(std::string_view v);
// yyyymmddHHMMSS as "YYYY-MM-DD HH:MM"; anything else as it stands.
std::string zeitpunktText(std::string_view stempel);
// actual / planned with two decimals; "-" without a planned time.
std::string verhaeltnisText(double istMin, double planMin);

// An evaluated position: one with its total record (kind 11). Planned is the
// planned total AppSza, actual the actual total AppIta that the evaluation
// wrote back, both in h.mm as stored.
struct BilanzPosition {
    std::string apk, app, apl;
    double plan = 0, ist = 0;
    double abweichungMin = 0;  // minutes of actual minus planned
};

struct BilanzPlatz {
    std::string apl;  // empty: positions without a workstation
    std::int64_t positionen = 0;
    double planMin = 0, istMin = 0;
};

struct BilanzFehler {
    std::string funktion, message;  // as they stand in the log (Windows-1252)
    std::int64_t anzahl = 0;
};

inline constexpr std::size_t kBilanzTop = 20;

struct Bilanz {
    std::int64_t positionen = 0;  // evaluated
    std::int64_t uploads = 0;
    double planMin = 0, istMin = 0;
    std::string meldungenVon, meldungenBis;  // yyyymmddHHMMSS; empty without messages
    std::vector<BilanzPlatz> plaetze;        // most planned time first
    std::vector<BilanzPosition> mehr;        // most over plan first, at most kBilanzTop
    std::vector<BilanzPosition> weniger;     // most under plan first, at most kBilanzTop
    // Of the message log, when one was read.
    std::optional<std::string> logDatei;
    std::int64_t logFehler = 0;
    std::vector<BilanzFehler> fehler;  // most frequent first
};

// Reads the database part in one pass over the positions; memory grows with
// the number of workstations, not of positions. The database result code.
std::int32_t bilanzLesen(const std::optional<Bereich>& b, Bilanz& out);
// Groups the failures (FMSG entries) of a message log by function and
// message; an entry that cannot be read counts as a failure of its own
// kind. 0 or the errno of reading the file.
int bilanzLog(const std::string& datei, Bilanz& out);

// The summary's figures as label and value, in the order shown.
std::vector<std::pair<std::string, std::string>> bilanzKennzahlen(const Bilanz& z);
