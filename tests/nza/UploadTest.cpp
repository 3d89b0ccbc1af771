// The upload number drawn by several processes at once, and a draw whose
// number range table is gone.
#include "nza/Upload.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "db/DbDb.h"
#include "db/runtime/Runtime.h"
#include "tests/support/Fixtures.h"
#include "util/RunContext.h"

namespace {

class Upload : public fixtures::DbTest {};

// A child process with its own session that uploads anzahl rows of order apk
// once the parent closes the start pipe. Exits 0 when all went through.
pid_t uploader(const testdb::Db& db, const char* apk, int anzahl, const int start[2]) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    close(start[1]);
    char c;
    if (read(start[0], &c, 1) < 0) _exit(4);
    if (rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()) != 0) _exit(3);
    runContext.Erfasser = apk;
    NzaRecord nza;
    AppRecord app;
    app.AppApk = apk;
    app.AppApp = "10";
    unsigned saat = static_cast<unsigned>(getpid());
    for (int i = 0; i < anzahl; ++i) {
        UplBdeToPps_NZA(nza, app);
        // A run evaluates between two uploads. Pauses of varying length let
        // the other process in, now within a draw and now between two.
        usleep(static_cast<useconds_t>(rand_r(&saat) % 1000));
    }
    rt::disconnect();
    _exit(0);
}

TEST_P(Upload, ZweiProzesseZiehenLueckenloseNummern) {
    constexpr int kJe = 1000;
    // The children open their own sessions; none may inherit the parent's.
    rt::disconnect();
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    const auto beginn = std::chrono::steady_clock::now();
    const pid_t a = uploader(db, "PROZ-A", kJe, start);
    const pid_t b = uploader(db, "PROZ-B", kJe, start);
    close(start[0]);
    close(start[1]);
    int statusA = -1, statusB = -1;
    waitpid(a, &statusA, 0);
    waitpid(b, &statusB, 0);
    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
    ASSERT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()), 0);

    EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0) << statusA;
    EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0) << statusB;
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "2000");
    EXPECT_EQ(wert("select count(distinct PpsLfn) from Hlx580Pps"), "2000");
    EXPECT_EQ(wert("select min(PpsLfn) from Hlx580Pps"), "1");
    EXPECT_EQ(wert("select max(PpsLfn) from Hlx580Pps"), "2000");
    EXPECT_EQ(wert("select BnrBnr from Hlx552Bnr where BnrKey='PPSNR'"), "2000");

    // How often the draws of the two processes alternated: 1 would mean one
    // ran after the other and the race was never tried.
    const std::string wechsel =
        wert("select count(*) from Hlx580Pps x join Hlx580Pps y on y.PpsLfn = x.PpsLfn + 1 where x.PpsApk <> y.PpsApk");
    EXPECT_GE(std::stoi(wechsel), 20) << "the processes hardly overlapped";
    std::cout << "[ figures  ] " << testdb::name(GetParam()) << ": 2 x " << kJe << " uploads in " << sekunden
              << " s, numbers " << wert("select min(PpsLfn) from Hlx580Pps") << ".."
              << wert("select max(PpsLfn) from Hlx580Pps") << ", " << wechsel << " changes of process\n";
    RecordProperty("seconds", std::to_string(sekunden));
    RecordProperty("alternations", wechsel);
}

TEST_P(Upload, EinWartenderZugStempeltNachDerFreigabe) {
    // A second process holds the draw's section for two seconds.
    rt::disconnect();
    int gesperrt[2];
    ASSERT_EQ(pipe(gesperrt), 0);
    if (fork() == 0) {
        if (rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()) != 0 ||
            dbExklusivBeginn("PPSNR") != 0 || write(gesperrt[1], "x", 1) != 1)
            _exit(3);
        sleep(2);
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(gesperrt[0], &c, 1), 1);
    const std::time_t frueheste = std::time(nullptr) + 1;
    ASSERT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()), 0);
    PpsRecord pps{};
    UploadNummer(&pps);
    wait(nullptr);
    char text[20];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&frueheste));
    EXPECT_GE(wert("select BnrEdt from Hlx552Bnr"), text);
    EXPECT_EQ(pps.PpsLfn, 1);
}

TEST_P(Upload, OhneNummernkreistabelleGehtDieZeileMitNull) {
    testdb::sql(db, "drop table Hlx552Bnr");
    NzaRecord nza;
    AppRecord app;
    app.AppApk = "4711";
    app.AppApp = "10";
    UplBdeToPps_NZA(nza, app);

    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "UploadNummer");
    EXPECT_EQ(eintraege[0].message, "Get,Ins,Upd");
    EXPECT_EQ(eintraege[0].code, -942);
    EXPECT_EQ(wert("select PpsLfn from Hlx580Pps"), "0");
}

}  // namespace

FIXTURES_BACKENDS(Upload);
