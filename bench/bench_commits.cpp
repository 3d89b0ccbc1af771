// The commit bound of a database: how many savepoint + write + commit cycles
// per second the statement runtime achieves on it, with the write convention
// every table operation of korvimand uses (one error-protocol row per cycle,
// as the suite's protocol writer inserts it). korvimand cannot evaluate
// positions faster than this rate divided by its commits per position.
// The rows are deleted again at the end.
//
// usage: bench_commits [--seconds S] [--net8 NET8]
//   Without --net8 the database of the configuration file korvimand reads.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "db/runtime/Runtime.h"
#include "util/Config.h"
#include "util/Text.h"

namespace {

constexpr const char* kIns =
    "insert into Hlx554Err (ErrErf,ErrEdt,ErrBer,ErrPnr,ErrApl,ErrApk,ErrApp,ErrFnr,ErrBnr,ErrPgm,ErrFun,ErrDat,"
    "ErrObj) values (:b0,TO_DATE(:b1,'yyyymmddHH24MISS'),:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,:b10,sysdate,:b11)";
constexpr const char* kDel = "delete  from Hlx554Err  where ErrPgm=:b0";

int usage() {
    std::cerr << "usage: bench_commits [--seconds S] [--net8 NET8]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double dauer = 5;
    std::optional<std::string> net8;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) return usage();
        if (opt == "--seconds") dauer = std::atof(argv[++i]);
        else if (opt == "--net8") net8 = argv[++i];
        else return usage();
    }
    if (dauer <= 0) return usage();

    char login[CfgLoginBytes] = {}, password[CfgLoginBytes] = {}, konfiguriert[CfgLoginBytes] = {};
    Cfg_GetDbLogin(login, password, konfiguriert);
    const std::string ziel = net8 ? *net8 : konfiguriert;
    if (const std::int32_t rc = rt::connect(login, password, ziel.c_str()); rc != 0) {
        std::cerr << "bench_commits: cannot connect to " << ziel << " (code " << rc << ")\n";
        return 1;
    }

    Text<8> erf = "BENCH", pnr = "00001000";
    Text<14> edt = "20240304060000";
    Text<10> apl = "AP00001", pgm = "BENCHCOMMT";
    Text<12> apk = "100000000000";
    Text<5> app = "00010";
    std::int32_t fnr = 7012;
    const auto beginn = std::chrono::steady_clock::now();
    const auto ende = beginn + std::chrono::duration<double>(dauer);
    long zyklen = 0;
    for (std::int32_t bnr = 0; std::chrono::steady_clock::now() < ende; ++bnr) {
        const std::int32_t rc =
            rt::write("Err_PKeyIns", kIns,
                      {rt::txt(erf), rt::txt(edt), rt::txt("BDE"), rt::txt(pnr), rt::txt(apl), rt::txt(apk),
                       rt::txt(app), rt::i32(fnr), rt::i32(bnr), rt::txt(pgm), rt::txt("NZA"), rt::txt("M_A")});
        if (rc != 0) {
            std::cerr << "bench_commits: write failed with code " << rc << "\n";
            return 1;
        }
        ++zyklen;
    }
    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
    const std::int32_t rc = rt::write("Err_NZADel", kDel, {rt::txt(pgm)});
    rt::disconnect();
    if (rc != 0) {
        std::cerr << "bench_commits: removing the rows failed with code " << rc << "\n";
        return 1;
    }
    std::printf("bench_commits: %ld cycles in %.2f s: %.1f commits/s\n", zyklen, sekunden,
                static_cast<double>(zyklen) / sekunden);
    return 0;
}
