// korvimand: evaluates the booking messages of order positions into NZA
// records, by key range or by pending "NZA" markers.
//   korvimand VONAPK VONAPP BISAPK BISAPP ERFASSER
// Arguments 1 and 3 both "000000000000" select the marker mode.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/Fortschritt.h"
#include "app/RunModes.h"
#include "db/DbDb.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"
#include "util/Version.h"

namespace {

// A failed connect, or a run that had to stop half-way, ends with this
// status, so that a caller's script sees that the range was not evaluated.
constexpr int kConnectFailed = 1;
constexpr int kAborted = 1;

constexpr const char* kHilfe = "usage: korvimand VONAPK VONAPP BISAPK BISAPP ERFASSER\n"
                               "       korvimand --help | --version\n"
                               "\n"
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
                               "Exit status 0 after a run and after a wrong argument count, 1 when the\n"
                               "database cannot be reached or the run had to stop. See korvimand(1).\n";

int run(int argc, char** argv) {
    // Asked for by hand, these answer without a database and without a
    // log entry; every other command line starts up as always.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHilfe, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("korvimand %s\n", kKorvimandVersion);
        return 0;
    }

    Msg_Open(FMSG | SMSG | DMSG, "./Msg/Korvimand.Txt");

    // No argument is looked at before the connect.
    const std::int32_t connected = dbConnect();
    if (connected != 0) {
        Msg_Fehler("dbConnect", "Fehlerhafter Connect mit der DB ", connected);
        return kConnectFailed;
    }

    if (argc != 6) {
        Msg_Fehler("NZA_Ermitteln", "Anzahl Parameter <> 6", argc);
        return 0;
    }
    runContext.VonApk = argv[1];
    runContext.VonApp = argv[2];
    runContext.BisApk = argv[3];
    runContext.BisApp = argv[4];
    runContext.Erfasser = argv[5];
    runContext.MelAbDatum = "19800101";

    Fortschritt_Start();
    // Compared after cutting: thirteen zeros select the marker mode too.
    if (runContext.VonApk == "000000000000" && runContext.BisApk == "000000000000") Verarbeitung_MRK();
    else Verarbeitung_VonBis();
    Fortschritt_Ende();
    // Every writing operation has committed or rolled back its own work.
    return 0;
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
