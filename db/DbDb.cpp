// The session module: connect with the configured login, commit, rollback.
#include "db/DbDb.h"

#include "db/runtime/Runtime.h"
#include "util/Config.h"
#include "util/Geheim.h"

std::int32_t dbConnect() {
    char login[CfgLoginBytes] = {};
    char password[CfgLoginBytes] = {};
    char net8[CfgLoginBytes] = {};
    Cfg_GetDbLogin(login, password, net8);
    const std::int32_t rc = rt::connect(login, password, net8);
    Geheim_Loeschen(password, sizeof password);
    return rc;
}

std::int32_t dbBereit(std::string& fehlend) { return rt::checkReady(fehlend); }

void dbEnde() {
    rt::checkpoint();
    rt::disconnect();
}

std::int32_t dbCommit() { return rt::commit(); }

std::int32_t dbRollback() { return rt::rollback(); }

std::int32_t dbExklusivBeginn(const char* name) { return rt::atomicBegin(name); }

void dbExklusivEnde() { rt::atomicEnd(); }

std::uint64_t dbAnfragen() { return rt::requests(); }
