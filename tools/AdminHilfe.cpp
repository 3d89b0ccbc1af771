// korvimand-admin --help, help COMMAND and the usage line each command
// prints on a wrong argument: one text per command, kept here.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/Admin.h"

namespace {

struct Befehl {
    const char* name;
    const char* aufruf;  // after "korvimand-admin "
    const char* kurz;
    const char* lang;
};

constexpr Befehl kBefehle[] = {
    {"encode", "encode TEXT", "print TEXT enciphered as 5-digit groups",
     "Prints TEXT enciphered as the configuration file stores a value: groups of\n"
     "five decimal digits. TEXT \"-\" reads one line of standard input (a terminal\n"
     "does not echo it). A value holds at most 40 characters.\n"},
    {"decode", "decode DIGITS", "print the text of enciphered groups",
     "Prints the text that groups of five digits (as in the configuration file)\n"
     "encipher. DIGITS \"-\" reads one line of standard input.\n"},
    {"ini", "ini --login U (--password-env VAR | --password - | --password P) --net8 N [--file F]",
     "write a configuration file",
     "Writes the configuration file korvimand reads, with LOGIN, PASS and NET8\n"
     "enciphered: ../../../../files/helixonar.ini from the working directory, the\n"
     "file KORVIMAND_INI names, or F. --password-env takes the password from an\n"
     "environment variable and --password - from standard input, so that it\n"
     "never needs to stand on a command line. NET8 is sqlite:PATH (an SQLite file,\n"
     "relative to the working directory of the runs) or a PostgreSQL URI or libpq\n"
     "service name. Each value holds at most 40 characters.\n"},
    {"init-db", "init-db [--net8 N] [--force]", "create the tables in the configured database",
     "Creates the tables korvimand reads and writes in the configured database\n"
     "(or in NET8 N), with the run-parameter row a run reads and writes back\n"
     "(kind 2, valid from 01.01.1980 to 31.12.9999, counters 0). A database that\n"
     "holds them already is left as it is; --force drops them with all their\n"
     "rows and creates them anew (on a terminal it asks first).\n"},
    {"demo", "demo [--net8 N]", "load demonstration data into an empty database",
     "Loads a shop-floor day of demonstration data into an empty database, all or\n"
     "nothing, and prints a range run and a marker run to try on it.\n"},
    {"report", "report [--from APK APP --to APK APP] [--table T] [--csv] [--log F] [--html FILE] [--net8 N]",
     "show planned and actual times, evaluation records, uploads, deviations",
     "Shows what the evaluation left in the database, for the positions from\n"
     "order APK position APP to order APK position APP or for all: the order\n"
     "positions with planned and actual times and their upload numbers\n"
     "(positions), the evaluation records (records), the rows handed to the\n"
     "planning system (uploads), and the sums of the evaluated positions: a\n"
     "summary, planned (AppSza) against actual (AppIta) time per workstation\n"
     "(workstations) and the 20 positions most over and under plan\n"
     "(deviations); with --log F also the failures of that message log by\n"
     "function and message (failures). All as aligned tables, or the one of\n"
     "--table T. --csv writes one table as CSV and needs --table. Times in h.mm,\n"
     "unit times per piece (Ste, Ite) in minutes.\n"
     "--html FILE writes the sums as one page with charts instead (inline CSS\n"
     "and SVG, no script: it opens offline and prints).\n"},
    {"log", "log [--file F] [--all] [--since yyyymmdd[HHMMSS]] [--function NAME] [--failures] [--csv]",
     "show the message log",
     "Shows the entries of the message log ./Msg/Korvimand.Txt (or F), oldest\n"
     "first, as an aligned table (date, time, kind, function, message, code) or\n"
     "as CSV. --all reads the backup (Korvimand.old) first. --since keeps the\n"
     "entries written at or after that local time, --function those of one\n"
     "function. An entry cut off while it was written is shown as \"torn\", bytes\n"
     "that are no entry as \"foreign\", with where they lie in the file; nothing\n"
     "in the file is left out. Texts are shown in UTF-8. --failures keeps the\n"
     "failures (FMSG entries, torn and foreign bytes) and ends with status 1\n"
     "when it shows any: a check for a scheduler after the nightly run.\n"},
    {"code", "code [CODE]", "explain a result code of the database (all codes without CODE)",
     "Prints the name and meaning of a result code as the message log and the\n"
     "commands show it (0, 1403 or a negative number); without CODE, every code\n"
     "the program knows. Exit status 1 for a code it does not know.\n"},
    {"split", "split --parts N [--from APK APP --to APK APP] [--recorder ERF] [--net8 N]",
     "cut a range into N parts of about equal size for N processes",
     "Cuts the positions from order APK position APP to order APK position APP\n"
     "(or all) into N parts of about equal position counts, at order boundaries,\n"
     "leaving out status 10 as the range run does, and prints one line per part:\n"
     "the five arguments of korvimand separated by tabs, the fifth being ERF\n"
     "(default BATCH, at most 8 characters, no tab or line end). Consecutive\n"
     "parts meet without a gap and the first and last reach the given bounds\n"
     "(without them the keys 000000000000 00000 and 999999999999 99999), so\n"
     "that a position added later also lies in exactly one part. Standard error\n"
     "tells what each part holds and names the packages whose members lie in\n"
     "another part than their head.\n"},
    {"backup", "backup FILE [--net8 N]", "copy the SQLite database while runs go on",
     "Writes a consistent copy of the configured SQLite database (or NET8 N) to\n"
     "FILE, a new file, while runs may go on writing (SQLite's online backup);\n"
     "the copy is complete in itself. For PostgreSQL use pg_dump.\n"},
    {"help", "help [COMMAND]", "show the commands, or what one command does",
     "Without COMMAND lists the commands; with it shows what the command does.\n"},
};

const Befehl* finden(const char* name) {
    for (const Befehl& b : kBefehle)
        if (std::strcmp(b.name, name) == 0) return &b;
    return nullptr;
}

}  // namespace

std::string adminAufruf(const char* befehl) {
    const Befehl* b = finden(befehl);
    return std::string("usage: korvimand-admin ") + (b ? b->aufruf : befehl);
}

void adminUebersicht(std::FILE* out) {
    std::fputs("usage: korvimand-admin COMMAND [ARGS]\n"
               "       korvimand-admin --help | --version\n\n",
               out);
    for (const Befehl& b : kBefehle) std::fprintf(out, "  %s\n      %s\n", b.aufruf, b.kurz);
    std::fputs("\nkorvimand-admin help COMMAND shows what a command does; see also korvimand-admin(1).\n", out);
}

int adminHilfe(int argc, char** argv) {
    if (argc == 0) {
        adminUebersicht(stdout);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "korvimand-admin: %s\n", adminAufruf("help").c_str());
        return 2;
    }
    const Befehl* b = finden(argv[0]);
    if (!b) {
        std::fprintf(stderr, "korvimand-admin: help: no command %s\n", argv[0]);
        adminUebersicht(stderr);
        return 2;
    }
    std::printf("usage: korvimand-admin %s\n\n%s", b->aufruf, b->lang);
    return 0;
}
