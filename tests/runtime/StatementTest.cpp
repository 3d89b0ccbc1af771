// Statements against real databases: binds, results, NULLs, the write
// convention, transactions and the error codes, on every backend.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "db/runtime/Runtime.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

using testdb::Backend;

constexpr const char* BnrRead =
    "select BnrKey ,BnrBnr ,BnrEsb into :b0:b1,:b2:b3,:b4:b5  from Hlx552Bnr where BnrKey=:b6";
constexpr const char* BnrIns = "insert into Hlx552Bnr (BnrKey,BnrBnr,BnrEdt,BnrEsb) values (:b0,:b1,sysdate,:b2)";
constexpr const char* BnrUpd = "update HLX552Bnr  set BnrKey=:b0,BnrBnr=:b1,BnrEdt=sysdate,BnrEsb=:b2 where BnrKey=:b0";
constexpr const char* MrkIns =
    "insert into Hlx563Mrk (MrkKng,MrkApl,MrkApk,MrkApp,MrkPnr,MrkBnr,MrkObj,MrkMdt,MrkEsb) values "
    "(:b0,:b1,:b2,:b3,:b4,:b5,:b6,TO_DATE(:b7,'yyyymmddHH24MISS'),:b8)";
constexpr const char* MrkMdtRead =
    "select TO_CHAR(MrkMdt,'yyyymmdd') ,TO_CHAR(MrkMdt,'HH24MISS') into :b0:b1,:b2:b3  from Hlx563Mrk where MrkApk=:b4";
constexpr const char* NzpRead =
    "select NzpAkz ,TO_CHAR(NzpGvn,'yyyymmdd') into :b0:b1,:b2:b3  from Hlx591Nzp where ((NzpAkz=:b0 and "
    "NzpGvn<trunc(sysdate)) and NzpGbi>trunc(sysdate))";

// A second session of the same database, outside the runtime: the other
// process of a real installation.
struct Other {
    sqlite3* sq = nullptr;
    PGconn* pg = nullptr;
    explicit Other(const testdb::Db& db) {
        if (db.backend == Backend::Sqlite) {
            sqlite3_open_v2(db.net8.substr(7).c_str(), &sq, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_busy_timeout(sq, 5000);
        } else {
            const char* keys[] = {"dbname", "user", "password", nullptr};
            const char* vals[] = {db.net8.c_str(), db.login.c_str(), db.password.c_str(), nullptr};
            pg = PQconnectdbParams(keys, vals, 1);
        }
    }
    ~Other() {
        sqlite3_close(sq);
        PQfinish(pg);
    }
    bool run(const char* sql) {
        if (sq) return sqlite3_exec(sq, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
        PGresult* r = PQexec(pg, sql);
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
        return ok;
    }
    // Takes the write lock on Hlx552Bnr until commit.
    bool lock() { return sq ? run("BEGIN IMMEDIATE") : run("BEGIN; LOCK TABLE Hlx552Bnr IN EXCLUSIVE MODE"); }
};

class Statement : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { db = testdb::createConnected(GetParam()); }
    void TearDown() override {
        rt::setBusyTimeout(30000);
        rt::disconnect();
        testdb::destroy(db);
    }
    std::string one(const std::string& q) { return testdb::value(db, q); }
    std::int32_t insBnr(const char* key, std::int32_t nr, const char* esb = "ERF") {
        return rt::write("Bnr_PKeyIns", BnrIns, {rt::txt(key), rt::i32(nr), rt::txt(esb)});
    }
    std::int32_t insMrk(const char* apk, const char* mdt) {
        std::int32_t bnr = 0;
        return rt::write("Mrk_PKeyIns", MrkIns,
                         {rt::txt("NZA"), rt::txt("0000000000"), rt::txt(apk), rt::txt("00010"), rt::txt("00000000"),
                          rt::i32(bnr), rt::txt("M_A"), rt::txt(mdt), rt::txt("ESB")});
    }
    bool pg() const { return GetParam() == Backend::Postgres; }
    testdb::Db db;
};

TEST_P(Statement, InsertReadUpdateAndNoRow) {
    Text<7> key = "PPSNR";
    ASSERT_EQ(insBnr("PPSNR", 41, "ERF1"), 0);

    Text<7> k2;
    std::int32_t n2 = 0;
    Text<8> e2;
    ASSERT_EQ(rt::exec(BnrRead, {rt::txt(key)}, {rt::txt(k2), rt::i32(n2), rt::txt(e2)}), 0);
    EXPECT_EQ(k2, "PPSNR");
    EXPECT_EQ(n2, 41);
    EXPECT_EQ(e2, "ERF1");

    // ":b0" twice takes two binds.
    std::int32_t n3 = 42;
    ASSERT_EQ(rt::write("Bnr_PKeyUpd", BnrUpd, {rt::txt(key), rt::i32(n3), rt::txt("ERF2"), rt::txt(key)}), 0);
    EXPECT_EQ(one("select BnrBnr from Hlx552Bnr"), "42");
    EXPECT_EQ(one("select BnrEsb from Hlx552Bnr"), "ERF2");
    EXPECT_FALSE(one("select BnrEdt from Hlx552Bnr").empty());

    // Missing key: 1403 and the outputs untouched; update of nothing: 1403.
    Text<7> other = "NONE";
    k2 = "KEEP";
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt(other)}, {rt::txt(k2), rt::i32(n2), rt::txt(e2)}), 1403);
    EXPECT_EQ(k2, "KEEP");
    EXPECT_EQ(rt::write("Bnr_PKeyUpd", BnrUpd, {rt::txt(other), rt::i32(n3), rt::txt("X"), rt::txt(other)}), 1403);
    EXPECT_EQ(rt::write("Bnr_PKeyDel", "delete  from Hlx552Bnr  where BnrKey=:b0", {rt::txt(other)}), 1403);
}

TEST_P(Statement, EmptyTextIsNullAndNullReadsAsEmptyOrZero) {
    ASSERT_EQ(insBnr("A", 1, ""), 0);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr where BnrEsb is null"), "1");
    testdb::sql(db, "insert into Hlx552Bnr (BnrKey) values ('B')");

    Text<7> k;
    std::int32_t n = 99;
    Text<8> e = "STALE";
    ASSERT_EQ(rt::exec(BnrRead, {rt::txt("B")}, {rt::txt(k), rt::i32(n), rt::txt(e)}), 0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(e, "");

    // An empty key is NULL and matches nothing, not even a NULL column.
    std::int32_t count = -1;
    ASSERT_EQ(rt::exec("select count(*)  into :b0  from Hlx552Bnr where BnrEsb=:b1", {rt::txt("")}, {rt::i32(count)}),
              0);
    EXPECT_EQ(count, 0);

    // Sums over no rows are NULL: 0 with result 0.
    double sum = 5;
    ASSERT_EQ(rt::exec("select sum(BnrBnr) into :b0  from Hlx552Bnr where BnrKey=:b1", {rt::txt("NONE")},
                       {rt::real(sum)}),
              0);
    EXPECT_EQ(sum, 0.0);
}

TEST_P(Statement, RealsComeBackBitForBitWhateverTheServersDefault) {
    rt::disconnect();
    setenv("PGOPTIONS", "-c extra_float_digits=0", 1);  // the server's 15 digits unless the session asks for all
    ASSERT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()), 0);
    unsetenv("PGOPTIONS");
    for (double v : {0.1 + 0.2, 1.0 / 3, 2e-300 / 3, -123456.789012345678, 1e300 / 7}) {
        double zurueck = 0;
        testdb::sql(db, "delete from Hlx504App");
        ASSERT_EQ(rt::write("App_PKeyIns", "insert into Hlx504App (AppApk,AppApp,AppSte) values ('A','1',:b0)",
                            {rt::real(v)}),
                  0);
        ASSERT_EQ(rt::exec("select AppSte into :b0:b1  from Hlx504App", {}, {rt::real(zurueck)}), 0);
        EXPECT_EQ(zurueck, v);
    }
}

TEST_P(Statement, DatesTravelAsTextAndBadDatesAreRefused) {
    ASSERT_EQ(insMrk("000000000001", "20240229235958"), 0);
    ASSERT_EQ(insMrk("000000000002", "20240301"), 0);  // a date alone is midnight
    ASSERT_EQ(insMrk("000000000003", ""), 0);          // no date is NULL
    Text<8> d;
    Text<6> t;
    ASSERT_EQ(rt::exec(MrkMdtRead, {rt::txt("000000000001")}, {rt::txt(d), rt::txt(t)}), 0);
    EXPECT_EQ(d.str() + t.str(), "20240229235958");
    ASSERT_EQ(rt::exec(MrkMdtRead, {rt::txt("000000000002")}, {rt::txt(d), rt::txt(t)}), 0);
    EXPECT_EQ(d.str() + t.str(), "20240301000000");
    ASSERT_EQ(rt::exec(MrkMdtRead, {rt::txt("000000000003")}, {rt::txt(d), rt::txt(t)}), 0);
    EXPECT_EQ(d.str() + t.str(), "");

    EXPECT_EQ(insMrk("000000000004", "20230229120000"), -1847);  // no 29 February in 2023
    EXPECT_EQ(insMrk("000000000005", "20241301120000"), -1847);
    EXPECT_EQ(insMrk("000000000006", "20240101240000"), -1847);
    EXPECT_EQ(insMrk("000000000007", "2024-01-01"), -1861);
    EXPECT_EQ(insMrk("000000000008", "202401011200"), -1861);
    EXPECT_EQ(one("select count(*) from Hlx563Mrk"), "3");

    // The database clock: sysdate is now, trunc(sysdate) today, both local.
    fixtures::laufparameter(db, 2, -1, 1);
    fixtures::laufparameter(db, 3, 0, 1);
    std::int32_t akz = 2, got = 0;
    Text<8> gvn;
    EXPECT_EQ(rt::exec(NzpRead, {rt::i32(akz)}, {rt::i32(got), rt::txt(gvn)}), 0);
    EXPECT_EQ(got, 2);
    akz = 3;  // valid from today: not strictly before today
    EXPECT_EQ(rt::exec(NzpRead, {rt::i32(akz)}, {rt::i32(got), rt::txt(gvn)}), 1403);
}

class StatementSqlite : public Statement {};

// SQLite cuts a select-list TO_CHAR on the client; a distinct select keeps the
// SQL expression. Both must read every stored value alike, in the rows a
// cursor keeps in memory, in those it spills and in a single-row select.
TEST_P(StatementSqlite, DatesCutOnTheClientReadAsTheExpression) {
    const char* values[] = {"'2024-02-29 23:59:58'",
                            "'2024-03-01'",
                            "''",
                            "NULL",
                            "'20\u00e4\u20ac-\U0001d11e-\u00fc\u00df 1:2'",
                            "'ab'||char(0)||'cdefghijklmnopqrstu'",
                            "'x'"};
    Other o(db);
    for (int k = 0; k < 300; ++k) {
        char apk[13];
        std::snprintf(apk, sizeof apk, "%012d", k);
        ASSERT_TRUE(o.run(("insert into Hlx563Mrk values ('NZA','A','" + std::string(apk) + "','00010','P',1,NULL," +
                           values[k % std::size(values)] + ",NULL)")
                              .c_str()));
    }
    auto rows = [&](const char* how) {
        rt::Cursor c;
        std::string all;
        EXPECT_EQ(rt::open(c,
                           (std::string("select ") + how +
                            " MrkApk ,TO_CHAR(MrkMdt,'yyyymmddHH24MISS') ,"
                            "TO_CHAR(MrkMdt,'yyyymmdd') ,TO_CHAR(MrkMdt,'HH24MISS')  from Hlx563Mrk order by MrkApk")
                               .c_str(),
                           {}),
                  0);
        Text<12> apk;
        Text<40> stamp, day, time;
        while (rt::fetch(c, {rt::txt(apk), rt::txt(stamp), rt::txt(day), rt::txt(time)}) == 0)
            all += apk.str() + "|" + stamp.str() + "|" + day.str() + "|" + time.str() + "\n";
        return all;
    };
    const std::string cut = rows("");
    EXPECT_EQ(cut, rows("distinct"));
    EXPECT_EQ(cut.substr(0, 43), "000000000000|20240229235958|20240229|235958") << cut;
    Text<40> one, expr;
    for (const char* apk : {"000000000000", "000000000004", "000000000005"}) {
        ASSERT_EQ(rt::exec("select TO_CHAR(MrkMdt,'yyyymmddHH24MISS') into :b0  from Hlx563Mrk where MrkApk=:b1",
                           {rt::txt(apk)}, {rt::txt(one)}),
                  0);
        ASSERT_EQ(
            rt::exec("select distinct TO_CHAR(MrkMdt,'yyyymmddHH24MISS') into :b0  from Hlx563Mrk where MrkApk=:b1",
                     {rt::txt(apk)}, {rt::txt(expr)}),
            0);
        EXPECT_EQ(one.str(), expr.str()) << apk;
    }
    // a distinct select whose cut date column is not the first: one row for
    // the day of two markers
    for (const char* bnr_mdt : {"1,NULL,'2024-02-29 08:00:00'", "2,NULL,'2024-02-29 09:30:00'"})
        ASSERT_TRUE(o.run(
            (std::string("insert into Hlx563Mrk values ('NZA','A','999999999999','00010','P',") + bnr_mdt + ",NULL)")
                .c_str()));
    rt::Cursor c;
    ASSERT_EQ(rt::open(c, "select distinct MrkApk ,TO_CHAR(MrkMdt,'yyyymmdd')  from Hlx563Mrk where MrkApk=:b0",
                       {rt::txt("999999999999")}),
              0);
    Text<12> apk;
    std::string tage;
    while (rt::fetch(c, {rt::txt(apk), rt::txt(one)}) == 0) tage += one.str() + " ";
    rt::close(c);
    EXPECT_EQ(tage, "20240229 ");
}

// sysdate is the local clock, in a zone far from UTC too.
TEST_P(StatementSqlite, SysdateIsTheLocalClock) {
    const char* tz = std::getenv("TZ");
    const std::string vorher = tz ? tz : "";
    ::setenv("TZ", "Etc/GMT-14", 1);  // 14 hours east of UTC
    ::tzset();
    const auto minute = [] {
        const std::time_t jetzt = std::time(nullptr);
        std::tm t{};
        ::localtime_r(&jetzt, &t);
        char s[20];
        std::strftime(s, sizeof s, "%Y-%m-%d %H:%M", &t);
        return std::string(s);
    };
    const std::string von = minute();
    const std::int32_t rc = insBnr("UHR", 1);
    const std::string bis = minute();
    if (tz) ::setenv("TZ", vorher.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
    ASSERT_EQ(rc, 0);
    const std::string edt = one("select substr(BnrEdt,1,16) from Hlx552Bnr");
    EXPECT_TRUE(edt == von || edt == bis) << edt << " is not the local time " << von;
}

// The day comparison selects, and its negation rejects, exactly the rows
// that the day's text would: for days and texts that are no day, with NULL
// on either side.
TEST_P(Statement, ADayComparedAsTextMatchesWhatItsTextMatches) {
    const std::vector<std::string> zeiten = {"20240304000000", "20240304235959", "20240305000000",
                                             "20240303235959", "20240229120000", ""};
    for (std::size_t k = 0; k < zeiten.size(); ++k)
        ASSERT_EQ(insMrk(("00000000000" + std::to_string(k)).c_str(), zeiten[k].c_str()), 0);
    for (const char* tag : {"20240304", "20240305", "20240229", "20240230", "2024030", "202403040", "abcdefgh",
                            "00000000", "99991231", ""}) {
        int ja = 0, nein = 0;
        for (const std::string& z : zeiten) {
            if (z.empty() || *tag == '\0') continue;  // NULL on either side: neither
            (z.substr(0, 8) == tag ? ja : nein)++;
        }
        std::int32_t n = -1;
        ASSERT_EQ(rt::exec("select count(*)  into :b0  from Hlx563Mrk where TO_CHAR(MrkMdt,'yyyymmdd')=:b1",
                           {rt::txt(tag)}, {rt::i32(n)}),
                  0);
        EXPECT_EQ(n, ja) << tag;
        ASSERT_EQ(rt::exec("select count(*)  into :b0  from Hlx563Mrk where not (TO_CHAR(MrkMdt,'yyyymmdd')=:b1)",
                           {rt::txt(tag)}, {rt::i32(n)}),
                  0);
        EXPECT_EQ(n, nein) << tag;
    }
}

TEST_P(Statement, TwoRowsForASingleRowSelect) {
    fixtures::laufparameter(db, 2, -2, 1);
    fixtures::laufparameter(db, 2, -1, 2);
    std::int32_t akz = 2, got = 77;
    Text<8> gvn = "KEEP";
    EXPECT_EQ(rt::exec(NzpRead, {rt::i32(akz)}, {rt::i32(got), rt::txt(gvn)}), -1422);
    EXPECT_EQ(got, 77);
    EXPECT_EQ(gvn, "KEEP");
}

TEST_P(Statement, FailedWritesReturnTheirCodeAndLeaveEarlierWrites) {
    ASSERT_EQ(insBnr("PPSNR", 1), 0);
    EXPECT_EQ(insBnr("PPSNR", 2), -1);                // duplicate key
    EXPECT_EQ(insBnr("", 3), -1400);                  // NOT NULL key given ''
    EXPECT_EQ(insBnr("TOOLONGKEY", 4), -12899);       // 10 characters into 7
    EXPECT_EQ(insBnr("OK", 5, "NINECHARS"), -12899);  // 9 into 8
    std::int32_t wide = 40000;
    EXPECT_EQ(rt::write("Nza_SA_Del", "delete  from Hlx590Nza  where NzaSa=:b0", {rt::i16(wide)}), -1455);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr"), "1");
    EXPECT_EQ(one("select BnrBnr from Hlx552Bnr"), "1");

    // A value too large for the caller's 16-bit field.
    testdb::sql(db, "insert into Hlx590Nza (NzaSa,NzaApl,NzaApk,NzaApp,NzaPnr,NzaDtm,NzaBeg) values "
                    "(10,'A','B','C','D','2024-01-01 00:00:00',70000)");
    std::int32_t sa = 10, beg = 0;
    EXPECT_EQ(rt::exec("select NzaBeg into :b0:b1  from Hlx590Nza where NzaSa=:b2", {rt::i16(sa)}, {rt::i16(beg)}),
              -1455);
    EXPECT_EQ(rt::exec("select NzaBeg into :b0:b1  from Hlx590Nza where NzaSa=:b2", {rt::i16(sa)}, {rt::i32(beg)}), 0);
    EXPECT_EQ(beg, 70000);

    // No lock is left behind: another session writes at once.
    Other o(db);
    EXPECT_TRUE(o.run("insert into Hlx552Bnr (BnrKey, BnrBnr) values ('OTHER', 1)"));
}

TEST_P(Statement, MissingTableAndTriggerErrors) {
    testdb::sql(db, "drop table Hlx552Bnr");
    EXPECT_EQ(insBnr("PPSNR", 1), -942);
    Text<7> k;
    std::int32_t n = 0;
    Text<8> e;
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt("PPSNR")}, {rt::txt(k), rt::i32(n), rt::txt(e)}), -942);
    rt::Cursor c;
    EXPECT_EQ(rt::open(c, "select BnrKey  from Hlx552Bnr where BnrKey=:b0", {rt::txt("X")}), -942);
    EXPECT_EQ(rt::fetch(c, {rt::txt(k)}), -1001);

    // A trigger that refuses the row; the session goes on afterwards.
    if (pg()) {
        testdb::sql(db, "create function refuse() returns trigger language plpgsql as $$ begin "
                        "if new.MrkApk = '000000000666' then raise exception 'ORA-20001 refused'; end if; "
                        "if new.MrkApk = '000000000667' then raise exception 'refused'; end if; return new; end $$; "
                        "create trigger refuse before insert on Hlx563Mrk for each row execute function refuse()");
    } else {
        testdb::sql(db, "create trigger refuse before insert on Hlx563Mrk when new.MrkApk = '000000000666' "
                        "begin select raise(abort, 'ORA-20001 refused'); end; "
                        "create trigger refuse2 before insert on Hlx563Mrk when new.MrkApk = '000000000667' "
                        "begin select raise(abort, 'refused'); end;");
    }
    EXPECT_EQ(insMrk("000000000666", "20240101000000"), -20001);
    EXPECT_EQ(insMrk("000000000667", "20240101000000"), -20000);
    EXPECT_EQ(insMrk("000000000001", "20240101000000"), 0);
    EXPECT_EQ(one("select count(*) from Hlx563Mrk"), "1");
}

TEST_P(Statement, BindCountsMustMatchTheText) {
    Text<7> k;
    std::int32_t n = 0;
    EXPECT_EQ(rt::exec(BnrRead, {}, {rt::txt(k), rt::i32(n), rt::txt(k)}), -1008);
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt("A"), rt::txt("B")}, {rt::txt(k), rt::i32(n), rt::txt(k)}), -1006);
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt("A")}, {rt::txt(k), rt::i32(n)}), -1007);
    EXPECT_EQ(rt::exec("merge into Hlx552Bnr"), -900);
}

TEST_P(Statement, TextComparesInByteOrder) {
    for (const char* apk : {"a", "B", "Z", "A", "b", "\xe4"})
        testdb::sql(db,
                    std::string("insert into Hlx504App (AppApk, AppApp, AppSts) values ('") + apk + "', '00010', 0)");
    rt::Cursor c;
    ASSERT_EQ(rt::open(c, "select AppApk  from Hlx504App where AppApk>:b0 order by AppApk,AppApp", {rt::txt("B")}), 0);
    Text<12> apk;
    std::string seen;
    while (rt::fetch(c, {rt::txt(apk)}) == 0) seen += apk.str() + " ";
    rt::close(c);
    EXPECT_EQ(seen, "Z a b \xe4 ");
}

TEST_P(Statement, ABusyDatabaseIsWaitedForThenReported) {
    Other o(db);
    ASSERT_TRUE(o.lock());
    rt::setBusyTimeout(200);
    EXPECT_EQ(insBnr("PPSNR", 1), -54);
    // The holder lets go while the writer waits: the write goes through.
    rt::setBusyTimeout(10000);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        o.run("COMMIT");
    });
    EXPECT_EQ(insBnr("PPSNR", 2), 0);
    release.join();
    EXPECT_EQ(one("select BnrBnr from Hlx552Bnr"), "2");
}

TEST_P(Statement, ExplicitTransactionsKeepOracleRules) {
    // A write outside the convention waits for commit or rollback.
    ASSERT_EQ(rt::exec(BnrIns, {rt::txt("A"), rt::i32(1), rt::txt("E")}), 0);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr"), "0");
    // A failing statement inside the transaction is undone alone.
    EXPECT_EQ(rt::exec(BnrIns, {rt::txt("A"), rt::i32(2), rt::txt("E")}), -1);
    ASSERT_EQ(rt::exec(BnrIns, {rt::txt("B"), rt::i32(3), rt::txt("E")}), 0);
    ASSERT_EQ(rt::commit(), 0);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr"), "2");
    ASSERT_EQ(rt::exec(BnrIns, {rt::txt("C"), rt::i32(1), rt::txt("E")}), 0);
    ASSERT_EQ(rt::rollback(), 0);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr"), "2");

    // The convention spelled out by hand: rolling back to the savepoint that
    // began the transaction ends it, so no lock stays behind.
    ASSERT_EQ(rt::exec("savepoint Bnr_PKeyIns_Sp"), 0);
    EXPECT_EQ(rt::exec(BnrIns, {rt::txt("A"), rt::i32(9), rt::txt("E")}), -1);
    ASSERT_EQ(rt::exec("rollback  to Bnr_PKeyIns_Sp"), 0);
    Other o(db);
    EXPECT_TRUE(o.run("insert into Hlx552Bnr (BnrKey, BnrBnr) values ('OTHER', 1)"));
    ASSERT_EQ(rt::exec("savepoint Bnr_PKeyIns_Sp"), 0);
    ASSERT_EQ(rt::exec(BnrIns, {rt::txt("D"), rt::i32(4), rt::txt("E")}), 0);
    ASSERT_EQ(rt::exec("commit"), 0);
    EXPECT_EQ(one("select count(*) from Hlx552Bnr"), "4");
    EXPECT_EQ(rt::exec("rollback  to Never_Sp"), -1086);
}

// The section of the same name in a second process, as a second run has it:
// held off (-54) while this one lasts, through once it has ended.
TEST_P(Statement, AnAtomicSectionHoldsOtherWritersOff) {
    rt::disconnect();  // the child must not share this session
    int hin[2], zurueck[2];
    ASSERT_EQ(::pipe(hin), 0);
    ASSERT_EQ(::pipe(zurueck), 0);
    const pid_t kind = ::fork();
    if (kind == 0) {
        char c;
        if (::read(hin[0], &c, 1) != 1 || rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()) != 0)
            ::_exit(2);
        rt::setBusyTimeout(200);
        Text<7> k;
        std::int32_t n = 0;
        Text<8> e;
        auto lesen = [&] { return rt::exec(BnrRead, {rt::txt("PPSNR")}, {rt::txt(k), rt::i32(n), rt::txt(e)}); };
        // SQLite refuses the section at its begin, PostgreSQL at its first statement and each after it.
        const std::int32_t beginn = rt::atomicBegin("PPSNR");
        const bool abgehalten = beginn == -54 || (beginn == 0 && lesen() == -54 && insBnr("PPSNR", 7) == -54);
        rt::atomicEnd();
        if (::write(zurueck[1], "x", 1) != 1 || ::read(hin[0], &c, 1) != 1) ::_exit(3);
        rt::setBusyTimeout(10000);
        const bool durch = rt::atomicBegin("PPSNR") == 0 && lesen() == 0;
        rt::atomicEnd();
        ::_exit(!abgehalten ? 4 : !durch ? 5 : 0);
    }
    ASSERT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str()), 0);
    ASSERT_EQ(rt::atomicBegin("PPSNR"), 0);
    Text<7> k;
    std::int32_t n = 0;
    Text<8> e;
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt("PPSNR")}, {rt::txt(k), rt::i32(n), rt::txt(e)}), 1403);
    char c;
    EXPECT_EQ(::write(hin[1], "x", 1), 1);
    EXPECT_EQ(::read(zurueck[0], &c, 1), 1);  // the child's try is over
    ASSERT_EQ(insBnr("PPSNR", 1), 0);         // its commit ends the section
    rt::atomicEnd();
    EXPECT_EQ(::write(hin[1], "x", 1), 1);
    int status = -1;
    ::waitpid(kind, &status, 0);
    for (int fd : {hin[0], hin[1], zurueck[0], zurueck[1]}) ::close(fd);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    EXPECT_EQ(one("select BnrBnr from Hlx552Bnr"), "1");
}

TEST_P(Statement, ALostSessionGivesNotConnected) {
    if (!pg()) {
        rt::disconnect();
    } else {
        std::int32_t pid = 0;
        ASSERT_EQ(rt::exec("select pg_backend_pid() into :b0", {}, {rt::i32(pid)}), 0);
        testdb::value(db, "select pg_terminate_backend(" + std::to_string(pid) + ")");
    }
    Text<7> k;
    std::int32_t n = 0;
    EXPECT_EQ(insBnr("PPSNR", 1), -3114);
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt("PPSNR")}, {rt::txt(k), rt::i32(n), rt::txt(k)}), -3114);
    rt::Cursor c;
    EXPECT_EQ(rt::open(c, "select BnrKey  from Hlx552Bnr where BnrKey=:b0", {rt::txt("X")}), -3114);
    EXPECT_EQ(rt::atomicBegin("PPSNR"), -3114);
    EXPECT_NE(rt::commit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, Statement, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });
INSTANTIATE_TEST_SUITE_P(Backends, StatementSqlite, ::testing::Values(Backend::Sqlite),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
