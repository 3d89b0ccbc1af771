// korvimand-admin init-db: creates the program's tables in the database that
// the configuration file (or --net8) names.
#include <cstdio>
#include <cstring>
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "tools/Admin.h"
#include "util/Config.h"
#include "util/Geheim.h"

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
        std::fprintf(stderr, "init-db: no NET8 in %s and no --net8 given\n", Cfg_FileName().c_str());
        return 1;
    }
    std::string existing;
    std::int32_t rc = rt::createTables(login, password, target.c_str(), force, existing);
    Geheim_Loeschen(password, sizeof password);
    const std::string gezeigt = Geheim_Net8Anzeige(target);
    if (rc == rt::err::TablesExist) {
        std::fprintf(stderr,
                     "init-db: %s already holds %s; nothing changed.\n"
                     "init-db: --force drops these tables with all their rows and creates them anew.\n",
                     gezeigt.c_str(), existing.c_str());
        return 1;
    }
    if (rc != 0) {
        std::fprintf(stderr, "init-db: %s: %s\n", gezeigt.c_str(), rt::err::explain(rc).c_str());
        return 1;
    }
    std::printf("init-db: %s the tables in %s\n", existing.empty() ? "created" : "re-created", gezeigt.c_str());
    return 0;
}
