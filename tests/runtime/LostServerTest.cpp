// A PostgreSQL server that stops in the middle of a run: a private throwaway
// server of this test, on its own socket folder and port.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "db/runtime/Runtime.h"
#include "tests/support/TestDb.h"

namespace {

std::string serverBin() {
    std::string best;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        std::string bin = e.path().string() + "/bin";
        if (std::filesystem::exists(bin + "/initdb") && bin > best) best = bin;
    }
    return best;
}

class LostServer : public ::testing::Test {
protected:
    void SetUp() override {
        bin = serverBin();
        if (testdb::sqliteOnly()) GTEST_SKIP() << "SQLite only (KORVIMAND_TEST_SQLITE_ONLY=1)";
        ASSERT_FALSE(bin.empty()) << "no PostgreSQL server binaries in /usr/lib/postgresql (scripts/setup)";
        char tmpl[] = "/tmp/korvimand-lost-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        port = std::to_string(40000 + getpid() % 20000);
        root = getuid() == 0;
        if (root) {
            ASSERT_EQ(std::system(("chown postgres: " + dir).c_str()), 0);
        }
        ASSERT_EQ(sh(bin + "/initdb --no-sync -D " + dir + "/data -U postgres --auth-local=trust >" + dir +
                     "/initdb.log 2>&1"),
                  0);
        ASSERT_EQ(start(), 0);
    }
    void TearDown() override {
        rt::disconnect();
        if (!dir.empty()) {
            sh(bin + "/pg_ctl -D " + dir + "/data -m immediate stop >/dev/null 2>&1");
            std::filesystem::remove_all(dir);
        }
    }
    int sh(const std::string& cmd) {
        std::string full = root ? "runuser -u postgres -- sh -c '" + cmd + "'" : cmd;
        return std::system(full.c_str());
    }
    int start() {
        return sh(bin + "/pg_ctl -D " + dir + "/data -l " + dir + "/server.log -w -t 60 -o \"-k " + dir + " -p " +
                  port + " -c listen_addresses=\" start >/dev/null");
    }
    std::string uri() const { return "postgresql://postgres@/postgres?host=" + dir + "&port=" + port; }
    std::string bin, dir, port;
    bool root = false;
};

TEST_F(LostServer, EveryOperationGivesNotConnectedNeverZero) {
    std::string existing;
    ASSERT_EQ(rt::createTables("", "", uri().c_str(), false, existing), 0);
    ASSERT_EQ(rt::connect("", "", uri().c_str()), 0);
    const char* ins = "insert into Hlx552Bnr (BnrKey,BnrBnr,BnrEdt,BnrEsb) values (:b0,:b1,sysdate,:b2)";
    const char* read = "select BnrBnr into :b0:b1  from Hlx552Bnr where BnrKey=:b2";
    std::int32_t nr = 1;
    ASSERT_EQ(rt::write("Bnr_PKeyIns", ins, {rt::txt("PPSNR"), rt::i32(nr), rt::txt("E")}), 0);
    rt::Cursor small;
    ASSERT_EQ(rt::open(small, "select BnrKey  from Hlx552Bnr where BnrBnr=:b0", {rt::i32(nr)}), 0);

    ASSERT_EQ(sh(bin + "/pg_ctl -D " + dir + "/data -m fast stop >/dev/null"), 0);

    EXPECT_EQ(rt::write("Bnr_PKeyIns", ins, {rt::txt("OTHER"), rt::i32(nr), rt::txt("E")}), -3114);
    EXPECT_EQ(rt::exec(read, {rt::txt("PPSNR")}, {rt::i32(nr)}), -3114);
    EXPECT_EQ(rt::atomicBegin("PPSNR"), -3114);
    rt::Cursor c;
    EXPECT_EQ(rt::open(c, "select BnrKey  from Hlx552Bnr where BnrBnr=:b0", {rt::i32(nr)}), -3114);
    // The rows a cursor already holds are still its rows as at open.
    Text<7> key;
    EXPECT_EQ(rt::fetch(small, {rt::txt(key)}), 0);
    EXPECT_EQ(key, "PPSNR");
    EXPECT_EQ(rt::fetch(small, {rt::txt(key)}), 1403);
    EXPECT_EQ(rt::close(small), 0);
    EXPECT_NE(rt::commit(), 0);
    EXPECT_EQ(rt::connect("", "", uri().c_str()), -12541);

    // Back up: a new session works again.
    ASSERT_EQ(start(), 0);
    ASSERT_EQ(rt::connect("", "", uri().c_str()), 0);
    EXPECT_EQ(rt::exec(read, {rt::txt("PPSNR")}, {rt::i32(nr)}), 0);
}

}  // namespace
