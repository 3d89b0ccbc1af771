// korvimand: evaluates the booking messages of order positions into NZA
// records, by key range or by pending "NZA" markers.
//   korvimand VONAPK VONAPP BISAPK BISAPP ERFASSER
// Arguments 1 and 3 both "000000000000" select the marker mode.
#include <cstdio>
#include <cstring>
#include <exception>

#include <unistd.h>

#include <string>

#include "app/Anhalten.h"
#include "app/Fortschritt.h"
#include "app/RunModes.h"
#include "db/DbDb.h"
#include "util/ConfigMangel.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"
#include "util/Version.h"

namespace {

// A failed connect, or a run that had to stop half-way, ends with this
// status, so that a caller's script sees that the range was not evaluated.
constexpr int kConnectFailed = 1;
constexpr int kAborted = 1;

constexpr const char* kAufruf = "usage: korvimand VONAPK VONAPP BISAPK BISAPP ERFASSER\n"
                                "       korvimand --help | --version\n";
constexpr const char* kBeschreibung = "\n"
                                      "Evaluates the booking messages of order positions into NZA records, writes\n"
                                      "the actual times back and uploads the positions to the planning system.\n"
                                      "  range mode:  every position from order VONAPK position VONAPP to order\n"
                                      "               BISAPK position BISAPP (compared as texts), except status 10\n"
                                      "  marker mode: VONAPK and BISAPK both 000000000000: every position with a\n"
                                      "               pending \"NZA\" marker\n"
                                      "  ERFASSER:    the recorder identification of the run (at most 8 characters)\n"
                                      "\n"
                                      "The database login is read from ../../../../files/helixonar.ini (from the\n"
                                      "working directory; KORVIMAND_INI may name another file). Every failure is\n"
                                      "written to the message log ./Msg/Korvimand.Txt: korvimand-admin log.\n"
                                      "Exit status 0 after a run that went through (single positions may have\n"
                                      "failed: korvimand-admin log --failures) and after a wrong argument count;\n"
                                      "1 when the database cannot be reached, lacks the tables or cannot be\n"
                                      "written, or the run had to stop (a database error, SIGINT or SIGTERM:\n"
                                      "the log names where to go on). See korvimand(1).\n";

// A start-up failure: its one log entry, and one line on standard error that
// says what to look at (also for a scheduler, which shows it with the status).
bool scheitern(const char* text, std::int32_t code, const std::string& zeile) {
    Msg_Fehler("dbConnect", text, code);
    std::fprintf(stderr, "korvimand: %s\n", zeile.c_str());
    dbEnde();
    return false;
}

// Connects and checks what the run cannot work without. An SQLite file the
// process may not write is refused by the connect itself.
bool gestartet() {
    std::int32_t rc = dbConnect();
    if (rc != 0 && rc != rt::err::ReadOnly) {
        std::string zeile = Cfg_Mangel();
        if (zeile.empty())
            zeile = "cannot connect to the database NET8 in " + Cfg_Anzeigename() + " names: " + rt::err::explain(rc);
        return scheitern("Fehlerhafter Connect mit der DB ", rc, zeile);
    }
    std::string fehlend;
    if (rc == 0) rc = dbBereit(fehlend);
    if (rc == rt::err::NoSuchTable)
        return scheitern(("Tabellen fehlen: " + fehlend).c_str(), rc,
                         "the database lacks the tables " + fehlend + " (korvimand-admin init-db creates them)");
    if (rc != 0)
        return scheitern("Datenbank nicht beschreibbar ", rc,
                         "the database cannot be written: " + rt::err::explain(rc));
    return true;
}

int run(int argc, char** argv) {
    // Asked for by hand, these answer without a database and without a
    // log entry; every other command line starts up as always.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kAufruf, stdout);
        std::fputs(kBeschreibung, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("korvimand %s\n", kKorvimandVersion);
        return 0;
    }

    Msg_Open(FMSG | SMSG | DMSG, "./Msg/Korvimand.Txt");

    // No argument is looked at before the connect.
    if (!gestartet()) return kConnectFailed;

    if (argc != 6) {
        Msg_Fehler("NZA_Ermitteln", "Anzahl Parameter <> 6", argc);
        // Only a person at a terminal is told; a scheduler finds the entry.
        if (isatty(STDERR_FILENO)) std::fputs(kAufruf, stderr);
        dbEnde();
        return 0;
    }
    runContext.VonApk = argv[1];
    runContext.VonApp = argv[2];
    runContext.BisApk = argv[3];
    runContext.BisApp = argv[4];
    runContext.Erfasser = argv[5];
    runContext.MelAbDatum = "19800101";

    Anhalten_Einrichten();
    Fortschritt_Start();
    // Compared after cutting: thirteen zeros select the marker mode too.
    const bool ganz = runContext.VonApk == "000000000000" && runContext.BisApk == "000000000000"
                          ? Verarbeitung_MRK()
                          : Verarbeitung_VonBis();
    Fortschritt_Ende();
    // Every writing operation has committed or rolled back its own work.
    dbEnde();
    return ganz ? 0 : kAborted;
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing is meant to throw out of a run; should something (memory) do
    // so, it is logged instead of ending the process without a trace.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        Msg_Fehler("main", e.what(), -1);
    } catch (...) {
        Msg_Fehler("main", "unbekannte Ausnahme", -1);
    }
    // Also on standard error, whether the log took the entry or not (the
    // log may not even be named yet): a line made at compile time, through
    // the unbuffered stderr, as it may be memory that ran out.
    static constexpr char kAbbruch[] = "korvimand: the run stopped on an unexpected failure (exit status 1)\n";
    std::fputs(kAbbruch, stderr);
    return kAborted;
}
