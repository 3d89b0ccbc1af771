// korvimand-admin: the operator's companion to korvimand.
#include <cstdio>
#include <cstring>

#include "tools/Admin.h"

namespace {

void usage() {
    std::fputs(
        "usage: korvimand-admin COMMAND [ARGS]\n"
        "  encode TEXT                         print TEXT enciphered as 5-digit groups\n"
        "  decode DIGITS                       print the text of enciphered groups\n"
        "  ini --login U (--password-env VAR | --password - | --password P) --net8 N [--file F]\n"
        "                                      write a configuration file (--password - reads stdin)\n"
        "  init-db [--net8 N] [--force]        create the tables in the configured database\n"
        "  demo [--net8 N]                     load demonstration data into an empty database\n"
        "  report [--from APK APP --to APK APP] [--table positions|records|uploads] [--csv] [--net8 N]\n"
        "                                      show planned and actual times, evaluation records, uploads\n"
        "  code [CODE]                         explain a result code of the database (all codes without CODE)\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "encode") == 0) return adminEncode(argc - 2, argv + 2);
    if (std::strcmp(cmd, "decode") == 0) return adminDecode(argc - 2, argv + 2);
    if (std::strcmp(cmd, "ini") == 0) return adminIni(argc - 2, argv + 2);
    if (std::strcmp(cmd, "init-db") == 0) return adminInitDb(argc - 2, argv + 2);
    if (std::strcmp(cmd, "demo") == 0) return adminDemo(argc - 2, argv + 2);
    if (std::strcmp(cmd, "report") == 0) return adminReport(argc - 2, argv + 2);
    if (std::strcmp(cmd, "code") == 0) return adminCode(argc - 2, argv + 2);
    usage();
    return 2;
}
