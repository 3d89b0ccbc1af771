// The commit bound of a database: how many write cycles (savepoint, one row,
// commit) per second the program's own table operations achieve on it.
// korvimand cannot evaluate positions faster than this rate divided by its
// commits per position.
//
//   --write nza       (default) Nza_PKeyIns of a full evaluation record, the
//                     write most of a position's commits make;
//   --write protocol  Err_PKeyIns of an error-protocol row: a narrow row in a
//                     small table, close to the bare cost of a commit.
// The rows (NZA kind 99, which no program reads; protocol rows of program
// "BENCH") are deleted again at the end.
//
// usage: bench_commits [--seconds S] [--write nza|protocol] [--net8 NET8]
//   Without --net8 the database of the configuration file korvimand reads.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "db/DbMel.h"
#include "db/runtime/Runtime.h"
#include "util/Config.h"

namespace {

constexpr std::int32_t kBenchSatzart = 99;

NzaRecord nzaZeile() {
    NzaRecord r{};
    r.NzaSa = kBenchSatzart;
    r.NzaApl = "AP00001";
    r.NzaApk = "100000000000";
    r.NzaApp = "00010";
    r.NzaDtmDat = "20240304";
    r.NzaDtmZeit = "060000";
    r.NzaEdtDat = "20240304";
    r.NzaEdtZeit = "143000";
    r.NzaBmk = "BG";
    r.NzaEmk = "EG";
    r.NzaMaz = 8;
    r.NzaGum = 118;
    r.NzaAum = 2;
    r.NzaNzr = r.NzaBzr = 0.30;
    r.NzaNza = r.NzaBzA = 7.52;
    r.NzaRbz = 0.05;
    r.NzaRf1 = 800;
    r.NzaTnr = "TNR-00000000";
    r.NzaErf = "BENCH";
    return r;
}

ErrRecord protokollZeile() {
    ErrRecord r{};
    r.ErrBer = "BDE";
    r.ErrFun = "NZA";
    r.ErrEdt = "20240304060000";
    r.ErrPnr = "00001000";
    r.ErrApk = "100000000000";
    r.ErrApp = "00010";
    r.ErrApl = "AP00001";
    r.ErrFnr = 7012;
    r.ErrPgm = "BENCH";
    r.ErrObj = "M_A";
    r.ErrErf = "BENCH";
    return r;
}

constexpr const char* kProtokollWeg = "delete  from Hlx554Err  where ErrPgm=:b0";

int usage() {
    std::cerr << "usage: bench_commits [--seconds S] [--write nza|protocol] [--net8 NET8]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double dauer = 5;
    bool nza = true;
    std::optional<std::string> net8;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) return usage();
        const std::string wert = argv[++i];
        if (opt == "--seconds") dauer = std::atof(wert.c_str());
        else if (opt == "--net8") net8 = wert;
        else if (opt == "--write" && (wert == "nza" || wert == "protocol")) nza = wert == "nza";
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

    NzaRecord zeile = nzaZeile();
    const ErrRecord protokoll = protokollZeile();
    const auto beginn = std::chrono::steady_clock::now();
    const auto ende = beginn + std::chrono::duration<double>(dauer);
    long zyklen = 0;
    while (std::chrono::steady_clock::now() < ende) {
        // Each NZA row needs a key of its own: the personnel number counts.
        char pnr[24];
        std::snprintf(pnr, sizeof pnr, "%010ld", zyklen);
        zeile.NzaPnr = pnr;
        const std::int32_t rc = nza ? Nza_PKeyIns(&zeile) : Err_PKeyIns(&protokoll);
        if (rc != 0) {
            std::cerr << "bench_commits: write failed with code " << rc << "\n";
            return 1;
        }
        ++zyklen;
    }
    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
    const std::int32_t rc =
        nza ? Nza_SA_Del(zeile) : rt::write("Err_NZADel", kProtokollWeg, {rt::txt(protokoll.ErrPgm)});
    rt::disconnect();
    if (rc != 0) {
        std::cerr << "bench_commits: removing the rows failed with code " << rc << "\n";
        return 1;
    }
    std::printf("bench_commits: %ld cycles (%s) in %.2f s: %.1f commits/s\n", zyklen, nza ? "nza" : "protocol",
                sekunden, static_cast<double>(zyklen) / sekunden);
    return 0;
}
