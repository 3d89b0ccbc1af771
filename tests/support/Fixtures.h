#pragma once
// Realistic rows for tests, written with plain SQL on a test database of
// either backend. Dates are given as "YYYY-MM-DD HH:MM:SS" (or "YYYY-MM-DD"
// where only the day matters); an empty text is stored as NULL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/MelRecord.h"
#include "db/NzaRecord.h"
#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace fixtures {

// An order header (Hlx501Apk).
void auftrag(const testdb::Db& db, const std::string& apk, const std::string& tnr = "TEIL-4711");

// An order position (Hlx504App) with its times and quantities.
struct Position {
    std::string apk = "000000004711";
    std::string app = "00010";
    int sts = 0;
    std::string bdi = "2024-03-04 06:00:00";  // actual begin; its day picks the shift-model assignment
    std::string edi = "2024-03-04 14:30:00";
    double sme = 0;  // planned quantity
    double ime = 0;  // actual quantity
    double sza = 0;  // planned total time, h.mm
    double str = 0;  // set-up time, h.mm
    double ste = 0;  // unit time, h.mm
    double ita = 0, itr = 0, ite = 0;
    std::string apl = "APL01";
    std::string mee = "STK";
    std::string zf2;  // package marker or package key
    std::string zf3;
};
void position(const testdb::Db& db, const Position& p);

// A booking message (Hlx560Mel).
struct Meldung {
    std::string apl = "APL01";
    std::string apk = "000000004711";
    std::string app = "00010";
    std::string objTyp = "M_A";
    std::string datum = "2024-03-04 07:00:00";  // KeyDat
    std::string fcd;                            // function code, "A07" / "A06" count into the sums
    double gum = 0, fam = 0, nam = 0;
    std::string pnr = "00001234";
    int bnr = 1;  // booking number; distinguishes otherwise equal messages
};
void meldung(const testdb::Db& db, const Meldung& m);

// A position and one booking message for it, on workstation apl.
void positionMitMeldung(const testdb::Db& db, const Position& p, const std::string& apl = "APL01");

// A workstation (Hlx531Apl) with its workstation group.
void arbeitsplatz(const testdb::Db& db, const std::string& apl, const std::string& gruppe);

// A shift model (Hlx533Emo) of day type ttp. Its begin EmoBeg is stored in
// hours.minutes: beg is either that number ("6.00") or a date and time
// whose time of day gives it ("1980-01-01 06:00:00" is 6.00).
void schichtmodell(const testdb::Db& db, const std::string& emo, int ttp, const std::string& beg);
// A day of the calendar kal (Hlx133Kal) with day type btp.
void kalendertag(const testdb::Db& db, const std::string& kal, const std::string& tag, int btp);
// A day of the general calendar (Hlx133Bak); year, month, week and days are
// derived from the date.
void allgKalendertag(const testdb::Db& db, const std::string& tag);

// A shift-model assignment (Hlx532Aem) of a workstation (kng 2) or group (kng 1).
struct Zuordnung {
    int kng = 2;
    std::string apg = "APL01";
    std::string emo = "FRUEH";
    std::string gvo = "2024-01-01";  // valid from
    std::string gbi;                 // valid to; empty: open
    std::string kal = "K1";
    int afz = 2;  // evaluation variant
    int lkz = 0;  // performance flag
};
void zuordnung(const testdb::Db& db, const Zuordnung& z);

// Everything a workstation needs to be evaluated with variant afz on day tag:
// the workstation with its group, a shift model, a calendar day of the shift
// model's day type, the general-calendar day and the assignment. Calls for
// further workstations on the same day may share the shift model and days.
void variante(const testdb::Db& db, const std::string& apl, int afz, int lkz, const std::string& tag = "2024-03-04",
              const std::string& gruppe = "GRP01");

// An NZA row (Hlx590Nza) of any kind: source rows of kinds 5 and 6, or an old
// evaluation / total row. The 13 duration fields default to 0.
struct NzaZeile {
    int sa = 5;
    std::string apl = "APL01";
    std::string apk = "000000004711";
    std::string app = "00010";
    std::string pnr = "00001234";
    std::string dtm = "2024-03-04 06:00:00";
    std::string edt = "2024-03-04 08:00:00";
    double nza = 0, abz = 0, pza = 0, nzr = 0, bzr = 0, rbz = 0, pzr = 0;
    double uza = 0, uzr = 0, nzu = 0, bzu = 0, pzu = 0, bza = 0;
    double gum = 0, aum = 0, rf1 = 0;
    int maz = 0;
    std::string tnr;
    std::string erf;
};
void nza(const testdb::Db& db, const NzaZeile& z);

// A marker (Hlx563Mrk); the defaults are the zero-key "NZA" marker.
struct Merker {
    std::string kng = "NZA";
    std::string apl = "0000000000";
    std::string apk = "000000004711";
    std::string app = "00010";
    std::string pnr = "00000000";
    int bnr = 0;
    std::string mdt = "2024-03-04 15:00:00";
};
void merker(const testdb::Db& db, const Merker& m);

// A run-parameter row (Hlx591Nzp) of kind akz valid from vonTagen days
// before today to bisTagen days after it, with nonzero counters. The default
// stays valid for a test that crosses midnight.
void laufparameter(const testdb::Db& db, int akz = 2, int vonTagen = -7, int bisTagen = 7);

// The key record the driver hands to a workstation evaluation of the
// default position (order 000000004711, position 00010, day 20240304).
MelRecord schluessel(const std::string& apl = "APL01");
// The default position's total record (kind 11) as the driver starts it.
NzaRecord gesamtZeile();

// A trigger that runs an action (its PostgreSQL and its SQLite form) at
// zeitpunkt ("after insert", ...) on each row of tabelle that meets
// bedingung ("" for every row).
void ausloeser(const testdb::Db& db, const std::string& name, const std::string& zeitpunkt, const std::string& tabelle,
               const std::string& bedingung, const std::string& pgAktion, const std::string& sqliteAktion);

// A trigger that makes every insert, update or delete ("insert", "update",
// "delete") on tabelle fail when the row meets bedingung, an SQL condition
// over NEW.<column> (OLD.<column> for a delete); "" for every row.
void schreibenVerhindern(const testdb::Db& db, const std::string& tabelle, const std::string& operation,
                         const std::string& bedingung = "");

// Today plus a number of days, "YYYY-MM-DD", in local time as the program's
// database sessions see it.
std::string tag(int tage);
// Whether a stamp ("YYYY-MM-DD..." or "YYYYMMDD...") falls on today as it was
// before the stamping call (vorher, read with tag(0)) or as it is now: the
// call may have crossed midnight.
::testing::AssertionResult amTag(const std::string& vorher, const std::string& stempel);

// Text literal for SQL: 'a''b', or NULL for an empty text.
std::string q(const std::string& s);
// A real as SQL literal, exact to the last digit.
std::string r(double v);

// A test on a fresh connected database of each backend, with the message
// log in the database's folder and a run context of recorder "ERF00001".
class DbTest : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override;
    void TearDown() override;
    // The entries written to the message log so far.
    std::vector<e2e::LogEntry> log() const;
    // One value of a query on the test database ("" for NULL or no row).
    std::string wert(const std::string& query) const { return testdb::value(db, query); }
    double zahl(const std::string& query) const;
    testdb::Db db;
    std::string logPfad;
};

// Instantiates a DbTest suite for every available backend.
#define FIXTURES_BACKENDS(suite)                                                 \
    INSTANTIATE_TEST_SUITE_P(Db, suite, ::testing::ValuesIn(testdb::backends()), \
                             [](const auto& info) { return std::string(testdb::name(info.param)); })

}  // namespace fixtures
