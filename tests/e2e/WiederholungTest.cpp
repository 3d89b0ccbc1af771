// Runs again over unchanged data leave everything as the first run left it:
// the planned-time correction of positions and package members scales the
// planning system's value, not its own result.
#include <gtest/gtest.h>

#include "tests/e2e/ConcurrencySupport.h"

namespace {

class Wiederholung : public ::testing::TestWithParam<testdb::Backend> {};

TEST_P(Wiederholung, RunsAgainOverTheSameDataChangeNothing) {
    zuverlaessig::SchnellerOrdner schnell;
    const testdb::Db db = testdb::create(GetParam());
    const e2e::Tree tree = e2e::makeTree(db);
    zuverlaessig::stammdaten(db);
    zuverlaessig::massendaten(db, 0, 30);
    // APL01 corrects planned times; the first position heads a package. The
    // planned total times follow from the unit times, as the planner sets them.
    testdb::sql(db, "update Hlx532Aem set AemLkz = 1 where AemApg = 'APL01'");
    testdb::sql(db, "update Hlx504App set AppZf3 = 'Vorgabe aus dem Arbeitsplan', AppSza = case when AppSte < 0.3 "
                    "then 4.25 when AppSte < 0.4 then 6.05 when AppSte < 0.5 then 7.45 else 9.25 end");
    testdb::sql(db, "update Hlx504App set AppZf2 = case AppApp when '00010' then '*PKT_KOPF*' else "
                    "'00000050000000010             ' end where AppApk = '000000500000' and AppApp in ('00010', "
                    "'00020', '00030', '00060')");
    auto stand = [&] { return zuverlaessig::textVon(zuverlaessig::stand(db, "000000500000", "000000500002")); };
    const std::string merker = "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr) values "
                               "('NZA', '0000000000', '000000500000', '00010', '00000000', ";
    const std::vector<std::string> bereich = {"000000000000", "00000", "999999999999", "99999", "ERF00001"};
    const std::vector<std::string> merkerLauf = {"000000000000", "00000", "000000000000", "00000", "ERF00001"};

    ASSERT_EQ(e2e::run(tree, bereich).status, 0);
    const std::string erster = stand();
    ASSERT_EQ(e2e::run(tree, bereich).status, 0);
    EXPECT_EQ(stand(), erster);
    // The head alone, twice in one run, then again: its members keep what
    // its first correction gave them.
    testdb::sql(db, merker + "0); " + merker + "1)");
    ASSERT_EQ(e2e::run(tree, merkerLauf).status, 0);
    const std::string merkerStand = stand();
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx504App where AppZf3 like 'Vorgabe aus dem Arbeit0.__'"), "13");
    testdb::sql(db, merker + "0)");
    ASSERT_EQ(e2e::run(tree, merkerLauf).status, 0);
    EXPECT_EQ(stand(), merkerStand);
    EXPECT_EQ(e2e::readLog(tree), "");
    e2e::removeTree(tree);
    testdb::destroy(db);
}

INSTANTIATE_TEST_SUITE_P(E2e, Wiederholung, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
