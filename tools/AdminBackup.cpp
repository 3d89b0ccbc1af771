// korvimand-admin backup: a consistent copy of the SQLite database, taken
// while runs go on.
#include <iostream>
#include <optional>
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "tools/Admin.h"
#include "tools/AdminSitzung.h"

int adminBackup(int argc, char** argv) {
    std::optional<std::string> net8, datei;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--net8" && i + 1 < argc) net8 = argv[++i];
        else if (!datei && !opt.empty() && opt[0] != '-') datei = opt;
        else {
            std::cerr << "korvimand-admin: " << adminAufruf("backup") << "\n";
            return 2;
        }
    }
    if (!datei) {
        std::cerr << "korvimand-admin: " << adminAufruf("backup") << "\n";
        return 2;
    }
    Sitzung sitzung;
    if (int rc = sitzung.verbinden(net8)) return rc;
    if (!rt::isSqlite()) {
        std::cerr << "korvimand-admin: backup: " << sitzung.anzeige()
                  << " is a PostgreSQL database: back it up with pg_dump (see the README)\n";
        return 1;
    }
    const std::int32_t rc = rt::backup(datei->c_str());
    if (rc == rt::err::Duplicate) {
        std::cerr << "korvimand-admin: backup: " << *datei << " exists already; nothing written\n";
        return 1;
    }
    if (rc != 0) {
        std::cerr << "korvimand-admin: backup: writing " << *datei << " failed with code " << rt::err::explain(rc)
                  << "\n";
        return 1;
    }
    std::cout << "korvimand-admin: backup: wrote " << *datei << " from " << sitzung.anzeige() << "\n";
    return 0;
}
