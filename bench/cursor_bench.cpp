// A range cursor over many positions while every fetch is followed by a
// committed write of the same session, as a range run does: reports the time,
// the peak resident memory and (SQLite) the largest size of the WAL file.
//
// usage: cursor_bench [ROWS] [NET8 [LOGIN PASSWORD]]
//   ROWS defaults to 200000; NET8 defaults to a new SQLite file in /tmp.
//   The database's tables are dropped and created anew.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "db/runtime/Runtime.h"

namespace {

constexpr const char* Ins =
    "insert into Hlx504App (AppApk,AppApp,AppBz1,AppSts,AppBdi,AppEdi,AppSme,AppIme,AppApl,AppZf1) values "
    "(:b0,:b1,:b2,:b3,TO_DATE(:b4,'yyyymmddHH24MISS'),TO_DATE(:b5,'yyyymmddHH24MISS'),:b6,:b7,:b8,:b9)";
constexpr const char* Range =
    "select AppApk ,AppApp ,AppBz1 ,AppSts ,TO_CHAR(AppBdi,'yyyymmdd') ,TO_CHAR(AppBdi,'HH24MISS') ,"
    "TO_CHAR(AppEdi,'yyyymmdd') ,TO_CHAR(AppEdi,'HH24MISS') ,AppSme ,AppIme ,AppApl ,AppZf1  from Hlx504App where "
    "(((AppApk>:b0 or (AppApk=:b0 and AppApp>=:b2)) and (AppApk<:b3 or (AppApk=:b3 and AppApp<=:b5))) and "
    "AppSts<>:b6) order by AppApk,AppApp";
constexpr const char* Upd = "update HLX504App  set AppIta=:b0,AppDat=sysdate where (AppApk=:b1 and AppApp=:b2)";

long peakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long long fileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    long rows = argc > 1 ? std::atol(argv[1]) : 200000;
    std::string net8;
    if (argc > 2) {
        net8 = argv[2];
    } else {
        char dir[] = "/tmp/korvimand-bench-XXXXXX";
        if (!mkdtemp(dir)) return 1;
        net8 = std::string("sqlite:") + dir + "/bench.db";
    }
    const char* login = argc > 4 ? argv[3] : "";
    const char* password = argc > 4 ? argv[4] : "";
    std::string existing;
    if (std::int32_t rc = rt::createTables(login, password, net8.c_str(), true, existing)) {
        std::fprintf(stderr, "cursor_bench: cannot create the tables: %d\n", rc);
        return 1;
    }
    if (std::int32_t rc = rt::connect(login, password, net8.c_str())) {
        std::fprintf(stderr, "cursor_bench: connect: %d\n", rc);
        return 1;
    }
    std::string wal = rt::isSqlite() ? net8.substr(7) + "-wal" : "";

    auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < rows; ++i) {
        char apk[24], app[24];
        std::snprintf(apk, sizeof apk, "%012ld", i / 10);
        std::snprintf(app, sizeof app, "%05ld", (i % 10) * 10);
        std::int32_t sts = 0;
        double sme = 10, ime = 9.5;
        std::int32_t rc = rt::exec(Ins, {rt::txt(apk), rt::txt(app), rt::txt("Benchmark position with a text"),
                                         rt::i16(sts), rt::txt("20240304060000"), rt::txt("20240304140000"),
                                         rt::real(sme), rt::real(ime), rt::txt("APL0000001"), rt::txt("ZUSATZFELD 1")});
        if (rc != 0 || (i % 10000 == 9999 && rt::commit() != 0)) {
            std::fprintf(stderr, "cursor_bench: insert: %d\n", rc);
            return 1;
        }
    }
    rt::commit();
    std::printf("rows %ld, filled in %.1f s\n", rows, since(t0));
    long rssBefore = peakRssKb();

    t0 = std::chrono::steady_clock::now();
    rt::Cursor c;
    std::int32_t excluded = 10;
    if (std::int32_t rc =
            rt::open(c, Range,
                     {rt::txt("000000000000"), rt::txt("000000000000"), rt::txt("00000"), rt::txt("999999999999"),
                      rt::txt("999999999999"), rt::txt("99999"), rt::i16(excluded)})) {
        std::fprintf(stderr, "cursor_bench: open: %d\n", rc);
        return 1;
    }
    double openSeconds = since(t0);
    Text<12> apk;
    Text<5> app;
    Text<30> bz1, zf1;
    Text<8> bd, ed;
    Text<6> bt, et;
    Text<10> apl;
    std::int32_t sts = 0;
    double sme = 0, ime = 0;
    long fetched = 0, walMax = 0;
    std::int32_t rc;
    while ((rc = rt::fetch(c, {rt::txt(apk), rt::txt(app), rt::txt(bz1), rt::i16(sts), rt::txt(bd), rt::txt(bt),
                               rt::txt(ed), rt::txt(et), rt::real(sme), rt::real(ime), rt::txt(apl), rt::txt(zf1)})) ==
           0) {
        double ita = static_cast<double>(fetched % 1000) / 100;
        std::int32_t w = rt::write("App_PKeyUpd", Upd, {rt::real(ita), rt::txt(apk), rt::txt(app)});
        if (w != 0) {
            std::fprintf(stderr, "cursor_bench: write: %d\n", w);
            return 1;
        }
        if (++fetched % 1000 == 0 && !wal.empty()) walMax = std::max(walMax, static_cast<long>(fileSize(wal)));
    }
    double runSeconds = since(t0);
    rt::close(c);
    rt::disconnect();
    std::printf("cursor: open %.2f s, %ld rows fetched (end code %d), each followed by a committed update\n",
                openSeconds, fetched, rc);
    std::printf("run: %.1f s, %.0f fetch+commit per second\n", runSeconds, fetched / runSeconds);
    std::printf("peak RSS: %ld kB before the cursor, %ld kB at the end\n", rssBefore, peakRssKb());
    if (!wal.empty())
        std::printf("WAL: largest %ld bytes during the run, %lld bytes at the end\n", walMax, fileSize(wal));
    return fetched == rows ? 0 : 1;
}
