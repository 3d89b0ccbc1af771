// An evaluation run again over unchanged data leaves everything as the first
// run left it: the planned-time correction of positions and package members
// scales the planner's value, not its own result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"

namespace {

const std::vector<std::string> kBereich = {"000000000000", "00000", "999999999999", "99999", "ERF00001"};
const std::vector<std::string> kMerker = {"000000000000", "00000", "000000000000", "00000", "ERF00001"};

class Wiederholung : public ::testing::TestWithParam<testdb::Backend> {};

TEST_P(Wiederholung, RunsAgainOverTheSameDataChangeNothing) {
    zuverlaessig::SchnellerOrdner schnell;
    const testdb::Db db = testdb::create(GetParam());
    const e2e::Tree tree = e2e::makeTree(db);
    zuverlaessig::stammdaten(db);
    zuverlaessig::massendaten(db, 0, 30);
    // APL01 corrects planned times; the first position heads a package.
    testdb::sql(db, "update Hlx532Aem set AemLkz = 1 where AemApg = 'APL01'");
    // Planned total times as the planning system derives them from the unit time.
    testdb::sql(db, "update Hlx504App set AppZf3 = 'Vorgabe aus dem Arbeitsplan', AppSza = case when AppSte < 0.3 "
                    "then 4.25 when AppSte < 0.4 then 6.05 when AppSte < 0.5 then 7.45 else 9.25 end");
    testdb::sql(db, "update Hlx504App set AppZf2 = '*PKT_KOPF*' where AppApk = '000000500000' and AppApp = '00010'");
    testdb::sql(db, "update Hlx504App set AppZf2 = '00000050000000010             ' where AppApk = '000000500000' "
                    "and AppApp in ('00020', '00030', '00060')");
    auto stand = [&] { return zuverlaessig::textVon(zuverlaessig::stand(db, "000000500000", "000000500002")); };

    auto merker = [&](int bnr) {
        fixtures::Merker m;
        m.apk = "000000500000";
        m.bnr = bnr;
        fixtures::merker(db, m);
    };

    ASSERT_EQ(e2e::run(tree, kBereich).status, 0);
    const std::string erster = stand();
    ASSERT_EQ(e2e::run(tree, kBereich).status, 0);
    EXPECT_EQ(stand(), erster);
    // The head alone, twice in one run and again in a second: its members
    // are corrected by it and keep what the first correction gave them.
    merker(0);
    merker(1);
    ASSERT_EQ(e2e::run(tree, kMerker).status, 0);
    const std::string ersterMerkerlauf = stand();
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx504App where AppZf3 like 'Vorgabe aus dem Arbeit0.__'"), "13");
    merker(0);
    ASSERT_EQ(e2e::run(tree, kMerker).status, 0);
    EXPECT_EQ(stand(), ersterMerkerlauf);
    EXPECT_EQ(e2e::readLog(tree), "");
    e2e::removeTree(tree);
    testdb::destroy(db);
}

INSTANTIATE_TEST_SUITE_P(E2e, Wiederholung, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
