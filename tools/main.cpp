// korvimand-admin: the operator's companion to korvimand.
#include <cstdio>
#include <cstring>

#include "tools/Admin.h"
#include "util/Version.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        adminUebersicht(stderr);
        return 2;
    }
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "--help") == 0 && argc == 2) return adminHilfe(0, nullptr);
    if (std::strcmp(cmd, "--version") == 0 && argc == 2) {
        std::printf("korvimand-admin %s\n", kKorvimandVersion);
        return 0;
    }
    // COMMAND --help: what help COMMAND shows.
    if (argc == 3 && std::strcmp(argv[2], "--help") == 0) return adminHilfe(1, argv + 1);
    if (std::strcmp(cmd, "help") == 0) return adminHilfe(argc - 2, argv + 2);
    if (std::strcmp(cmd, "encode") == 0) return adminEncode(argc - 2, argv + 2);
    if (std::strcmp(cmd, "decode") == 0) return adminDecode(argc - 2, argv + 2);
    if (std::strcmp(cmd, "ini") == 0) return adminIni(argc - 2, argv + 2);
    if (std::strcmp(cmd, "init-db") == 0) return adminInitDb(argc - 2, argv + 2);
    if (std::strcmp(cmd, "demo") == 0) return adminDemo(argc - 2, argv + 2);
    if (std::strcmp(cmd, "report") == 0) return adminReport(argc - 2, argv + 2);
    if (std::strcmp(cmd, "log") == 0) return adminLog(argc - 2, argv + 2);
    if (std::strcmp(cmd, "code") == 0) return adminCode(argc - 2, argv + 2);
    if (std::strcmp(cmd, "split") == 0) return adminSplit(argc - 2, argv + 2);
    if (std::strcmp(cmd, "backup") == 0) return adminBackup(argc - 2, argv + 2);
    std::fprintf(stderr, "korvimand-admin: unknown command %s\n", cmd);
    adminUebersicht(stderr);
    return 2;
}
