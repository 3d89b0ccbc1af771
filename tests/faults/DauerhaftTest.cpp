// Which commits wait for the disk, under the unchanged binary: by default
// only the upload rows' and the run parameters' at the end; with
// KORVIMAND_SYNC=commit (or a value it does not know) every one. SQLite:
// the flushes counted through libfiu's preloaded wrappers; PostgreSQL, whose
// flushes the server makes: the synchronous_commit each write's transaction
// ran under, recorded by a trigger on every table the run writes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace {

using testdb::Backend;

struct Wert {
    const char* sync;
    bool jederCommit;
};
const Wert kWerte[] = {{"", false}, {"upload", false}, {"commit", true}, {"ja", true}};

constexpr int kPositionen = 30;

class Dauerhaft : public ::testing::TestWithParam<Backend> {};

TEST_P(Dauerhaft, OnlyTheUploadAndTheRunParametersWaitUnlessEveryCommitIsAskedFor) {
    const bool sqlite = GetParam() == Backend::Sqlite;
    if (sqlite && (zuverlaessig::langsam() || !*KORVIMAND_FIU_PRELOAD))
        GTEST_SKIP() << "flushes are counted through libfiu, preloaded into the plain build only";
    for (const Wert& w : kWerte) {
        SCOPED_TRACE(std::string("KORVIMAND_SYNC=") + w.sync);
        testdb::Db db = testdb::create(GetParam());
        zuverlaessig::stammdaten(db);
        zuverlaessig::massendaten(db, 0, kPositionen);
        if (sqlite) {
            testdb::value(db, "PRAGMA wal_checkpoint(TRUNCATE)");
        } else {
            testdb::sql(db, "alter database " + db.login + " set synchronous_commit = on");
            testdb::sql(db, "create table k_stufe (tabelle text, stufe text); "
                            "create function k_stufe() returns trigger language plpgsql as $$ begin "
                            "insert into k_stufe values (TG_TABLE_NAME, current_setting('synchronous_commit')); "
                            "return null; end $$");
            for (const char* t : {"hlx504app", "hlx552bnr", "hlx563mrk", "hlx580pps", "hlx590nza", "hlx591nzp"})
                testdb::sql(db, std::string("create trigger k_stufe after insert or update or delete on ") + t +
                                    " for each statement execute function k_stufe()");
        }
        e2e::Tree t = e2e::makeTree(db);
        e2e::RunOptions o;
        const std::string bericht = t.root + "/fiu.bericht";
        o.env = {std::string("KORVIMAND_SYNC=") + w.sync};
        if (sqlite)
            o.env.insert(o.env.end(), {"LD_PRELOAD=/usr/lib/fiu/fiu_posix_preload.so " KORVIMAND_FIU_PRELOAD,
                                       "KORVIMAND_FIU=posix/io/sync/fsync+posix/io/sync/fdatasync:zaehlen:0:5",
                                       "KORVIMAND_FIU_BERICHT=" + bericht});
        const e2e::Result r =
            e2e::runWith(t, KORVIMAND_BIN, {"000000000000", "00000", "999999999999", "99999", "ERF00001"}, o);
        EXPECT_EQ(r.status, 0) << r.err;
        const long uploads = std::stol(testdb::value(db, "select count(*) from Hlx580Pps"));
        EXPECT_GE(uploads, kPositionen);
        if (sqlite) {
            long flushes = -1;
            std::ifstream(bericht) >> flushes;
            // The WAL's header after its restart, and a checkpoint at the
            // end, may add a few flushes of their own.
            if (w.jederCommit) EXPECT_GE(flushes, 4 * kPositionen) << flushes << " flushes";
            else EXPECT_TRUE(flushes >= uploads + 1 && flushes <= uploads + 6) << flushes << " flushes";
        } else {
            const auto stufen = testdb::column(db, "select distinct tabelle || ' ' || stufe from k_stufe order by 1");
            EXPECT_EQ(stufen.size(), 6u);
            for (const std::string& z : stufen) {
                const bool wartet = w.jederCommit || z.starts_with("hlx580pps") || z.starts_with("hlx591nzp");
                EXPECT_TRUE(z.ends_with(wartet ? " on" : " off")) << z;
            }
            EXPECT_EQ(testdb::value(db, "select count(*) from k_stufe where tabelle = 'hlx591nzp'"), "1");
        }
        e2e::removeTree(t);
        testdb::destroy(db);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, Dauerhaft, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& i) { return std::string(testdb::name(i.param)); });

}  // namespace
