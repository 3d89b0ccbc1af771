// korvimand-admin init-db: creates the program's tables in the database that
// the configuration file (or --net8) names, with the run-parameter row a run
// reads and writes back.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "tools/Admin.h"
#include "util/Config.h"
#include "util/ConfigMangel.h"
#include "util/Geheim.h"

namespace {

// Kind 2, valid from 01.01.1980 to 31.12.9999 (a run reads the row valid
// strictly around today), counters 0; the other settings steer no run.
std::int32_t laufparameterAnlegen(const char* login, const char* password, const char* net8) {
    static constexpr std::int32_t kArt = 2, kNull = 0;
    std::int32_t rc = rt::connect(login, password, net8);
    if (rc == 0)
        rc = rt::write("Nzp_Anlegen",
                       "insert into Hlx591Nzp (NzpAkz,NzpGvn,NzpGbi,NzpAak,NzpAwt,NzpKjh,NzpKmn,NzpKwo,NzpKtg,NzpAan,"
                       "NzpVfh,NzpNfh,NzpMrk) values (:b0,TO_DATE(:b1,'yyyymmdd'),TO_DATE(:b2,'yyyymmdd'),:b3,:b3,:b3,"
                       ":b3,:b3,:b3,:b3,:b3,:b3,:b3)",
                       {rt::i32(kArt), rt::txt("19800101"), rt::txt("99991231"), rt::i32(kNull), rt::i32(kNull),
                        rt::i32(kNull), rt::i32(kNull), rt::i32(kNull), rt::i32(kNull), rt::i32(kNull), rt::i32(kNull),
                        rt::i32(kNull), rt::i32(kNull)});
    rt::disconnect();
    return rc;
}

// A person at a terminal confirms that the tables and their rows go.
bool bestaetigt(const std::string& ziel, const std::string& tabellen) {
    if (!isatty(STDIN_FILENO)) return true;
    std::cerr << "init-db: drop " << tabellen << " in " << ziel << " with all their rows? [y/N] " << std::flush;
    std::string antwort;
    return std::getline(std::cin, antwort) && (antwort == "y" || antwort == "Y" || antwort == "yes");
}

}  // namespace

int adminInitDb(int argc, char** argv) {
    bool force = false;
    const char* net8Arg = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0) {
            force = true;
        } else if (std::strcmp(argv[i], "--net8") == 0 && i + 1 < argc) {
            net8Arg = argv[++i];
        } else {
            std::fprintf(stderr, "korvimand-admin: %s\n", adminAufruf("init-db").c_str());
            return 2;
        }
    }
    char login[CfgLoginBytes] = {};
    char password[CfgLoginBytes] = {};
    char net8[CfgLoginBytes] = {};
    Cfg_GetDbLogin(login, password, net8);
    std::string target = net8Arg ? net8Arg : net8;
    if (target.empty()) {
        std::fprintf(stderr, "korvimand-admin: %s (or give --net8)\n", Cfg_Mangel().c_str());
        return 1;
    }
    const std::string gezeigt = Geheim_Net8Anzeige(target);
    std::string existing;
    std::int32_t rc = rt::createTables(login, password, target.c_str(), false, existing);
    if (rc == rt::err::TablesExist && force) {
        if (!bestaetigt(gezeigt, existing)) {
            Geheim_Loeschen(password, sizeof password);
            std::fprintf(stderr, "init-db: nothing changed.\n");
            return 1;
        }
        rc = rt::createTables(login, password, target.c_str(), true, existing);
    } else if (rc == rt::err::TablesExist) {
        Geheim_Loeschen(password, sizeof password);
        std::fprintf(stderr,
                     "init-db: %s already holds %s; nothing changed.\n"
                     "init-db: --force drops these tables with all their rows and creates them anew.\n",
                     gezeigt.c_str(), existing.c_str());
        return 1;
    }
    if (rc == 0) rc = laufparameterAnlegen(login, password, target.c_str());
    Geheim_Loeschen(password, sizeof password);
    if (rc != 0) {
        std::fprintf(stderr, "init-db: %s: %s\n", gezeigt.c_str(), rt::err::explain(rc).c_str());
        return 1;
    }
    std::printf("init-db: %s the tables in %s, with the run-parameter row (kind 2, valid 01.01.1980-31.12.9999)\n",
                existing.empty() ? "created" : "re-created", gezeigt.c_str());
    return 0;
}
