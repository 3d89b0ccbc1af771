#pragma once
// Rows of the shop floor's tables as a load writes them through the statement
// runtime: the demonstration data of korvimand-admin and the benchmark's
// generated database. Days are texts "yyyymmdd", times of day "HH24MISS";
// an empty text is stored as NULL. Each function inserts one row and returns
// the database result code; nothing is committed, nothing is logged.
#include <cstdint>
#include <optional>
#include <string>

// An order header (Hlx501Apk), open (status 20), in pieces.
struct LadeAuftrag {
    std::string apk, bz1, tnr;
};
std::int32_t Laden_Auftrag(const LadeAuftrag& a);

// An order position (Hlx504App) in pieces, its actual times (Ita, Itr, Ite) 0.
struct LadePosition {
    std::string apk, app, bz1, apl;
    std::int32_t sts = 20;
    std::string bdi, edi;              // actual begin and end, "yyyymmddHH24MISS"
    double sme = 0, ime = 0;           // planned and actual quantity
    double sza = 0, str = 0, ste = 0;  // planned total, set-up and unit time, h.mm
    std::string zf2;                   // package marker or package key
    std::string zf3;
};
std::int32_t Laden_Position(const LadePosition& p);

// A booking message (Hlx560Mel) of terminal TERM01, in pieces.
struct LadeMeldung {
    std::int32_t bnr = 0;  // booking number
    std::string objTyp = "M_A";
    std::string pnr, apl, apk, app;
    std::string tag, uhr;  // KeyDat is day and time together
    std::string fcd;       // function code
    double gum = 0, fam = 0, nam = 0;
};
std::int32_t Laden_Meldung(const LadeMeldung& m);

// A workstation (Hlx531Apl) of a group; its status only when given.
std::int32_t Laden_Arbeitsplatz(const std::string& apl, const std::string& bez, const std::string& gruppe,
                                std::optional<std::int32_t> sts = std::nullopt);
// A shift model (Hlx533Emo) of day type ttp beginning at beg, h.mm.
std::int32_t Laden_Schichtmodell(const std::string& emo, const std::string& bez, std::int32_t ttp, double beg);
// A day of the calendar kal (Hlx133Kal) with day type btp.
std::int32_t Laden_Kalendertag(const std::string& kal, const std::string& tag, std::int32_t btp);

// A day of the general calendar (Hlx133Bak).
struct LadeAllgKalendertag {
    std::string tag;
    std::int32_t jahr = 0, monat = 0, woche = 0, wochentag = 0, jahrestag = 0;
};
// The day with its year, month, week of the year, weekday (1 Monday) and day
// of the year as the calendar has them; a text that is no day gives none.
std::optional<LadeAllgKalendertag> AllgKalendertag(const std::string& tag);
std::int32_t Laden_AllgKalendertag(const LadeAllgKalendertag& k);

// A shift-model assignment (Hlx532Aem) of a workstation (kng 2) or group
// (kng 1) valid from gvo: afz is the evaluation variant, lkz 1 asks for the
// performance correction.
struct LadeZuordnung {
    std::int32_t kng = 2;
    std::string apg, gvo, emo, bez, kal;
    std::int32_t afz = 2, lkz = 0;
};
std::int32_t Laden_Zuordnung(const LadeZuordnung& z);

// A source row (Hlx590Nza) of kind 5 or 6 as the time recording writes it
// per person and stretch of work: net and set-up time each go to both of
// their columns.
struct LadeQuelle {
    std::int32_t sa = 5;
    std::string apl, apk, app, pnr;
    std::string dtm, edt;  // "yyyymmddHH24MISS"
    double nza = 0, nzr = 0, rbz = 0;
};
std::int32_t Laden_Quelle(const LadeQuelle& q);

// An "NZA" marker (Hlx563Mrk) of terminal TERM01 set at mdt, "yyyymmddHH24MISS".
struct LadeMerker {
    std::string apl = "0000000000", apk, app, pnr = "00000000";
    std::int32_t bnr = 0;
    std::string mdt;
};
std::int32_t Laden_Merker(const LadeMerker& m);

// The upload number range (Hlx552Bnr "PPSNR") with its last number.
std::int32_t Laden_Nummernkreis(std::int32_t letzte, const std::string& esb);

// Deletes the run-parameter rows of kind 2 (the one init-db creates), so
// that a load can write its own in their place: two valid rows would stop
// every run's read. 0 also when there was none.
std::int32_t Laden_LaufparameterLoeschen();
