// korvimand-admin split over a few orders of uneven size, a left-out status,
// a package that crosses a cut, a range given in the middle of an order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

class AdminSplit : public ::testing::TestWithParam<testdb::Backend> {};

std::string auftrag(int k) { return "00000000000" + std::to_string(k); }

TEST_P(AdminSplit, CutsAtOrdersIntoEqualPartsAndNamesCrossingPackages) {
    const testdb::Db db = testdb::create(GetParam());
    // Orders 1, 2, 3 and 5 with three positions each that a run evaluates;
    // order 4 holds only a position of status 10, order 1 one more.
    for (const auto& [k, app, sts, zf2] :
         std::vector<std::tuple<int, std::string, int, std::string>>{{1, "00010", 0, ""},
                                                                     {1, "00020", 0, ""},
                                                                     {1, "00030", 0, ""},
                                                                     {1, "00040", 10, ""},
                                                                     {2, "00010", 0, "*PKT_KOPF*"},
                                                                     {2, "00020", 0, ""},
                                                                     {2, "00030", 0, ""},
                                                                     {3, "00010", 0, "00000000000200010             "},
                                                                     {3, "00020", 0, ""},
                                                                     {3, "00030", 0, ""},
                                                                     {4, "00010", 10, ""},
                                                                     {5, "00010", 0, ""},
                                                                     {5, "00020", 0, ""},
                                                                     {5, "00030", 0, ""}}) {
        fixtures::Position p;
        p.apk = auftrag(k);
        p.app = app;
        p.sts = sts;
        p.zf2 = zf2;
        fixtures::position(db, p);
    }
    const e2e::Tree tree = e2e::makeTree(db);
    const std::string kreuzt = "package 000000000002 00010 (part 1) has members in another part";
    const auto zeile = [](const std::string& von, const char* vonApp, const std::string& bis, const char* bisApp,
                          const char* erf = "BATCH") {
        return von + "\t" + vonApp + "\t" + bis + "\t" + bisApp + "\t" + erf + "\n";
    };
    const std::string a0 = "000000000000", a9 = "999999999999", a2 = auftrag(2), a3 = auftrag(3), a5 = auftrag(5);
    struct Fall {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::vector<std::string> err;  // texts the error output holds
        bool paket = false;            // it names the package that crosses a cut
    };
    // Consecutive parts meet: one ends just below position 00000 of the
    // next one's first order, so that an order or a position added later
    // (order 4, position 00005) lies in exactly one part.
    const std::vector<Fall> faelle = {
        {{"--parts", "1"}, 0, zeile(a0, "00000", a9, "99999"), {"part 1: 12 positions in 4 orders"}},
        {{"--parts", "2"},
         0,
         zeile(a0, "00000", a3, "0000/") + zeile(a3, "00000", a9, "99999"),
         {kreuzt + ", which its process writes: 000000000003 00010 (part 2)\n"},
         true},
        // the third part takes the last order when none other is left; the
        // package lies in one part
        {{"--parts", "3", "--recorder", "NACHT"},
         0,
         zeile(a0, "00000", a2, "0000/", "NACHT") + zeile(a2, "00000", a5, "0000/", "NACHT") +
             zeile(a5, "00000", a9, "99999", "NACHT"),
         {"part 1: 3 positions in 1 order\n", "part 2: 6 positions in 2 orders"}},
        {{"--parts", "9"},
         0,
         zeile(a0, "00000", a2, "0000/") + zeile(a2, "00000", a3, "0000/") + zeile(a3, "00000", a5, "0000/") +
             zeile(a5, "00000", a9, "99999"),
         {"the range holds 4 orders: 4 parts", "package 000000000002 00010 (part 2)", "00010 (part 3)"},
         true},
        // the range's own bounds; the head lies outside it
        {{"--parts", "2", "--from", a2, "00020", "--to", a5, "00010"},
         0,
         zeile(a2, "00020", a3, "0000/") + zeile(a3, "00000", a5, "00010"),
         {"part 2: 4 positions"}},
        {{"--parts", "2", "--recorder", "NACHTSCHICHT"}, 2, "", {"--recorder takes at most 8 characters"}},
        {{"--parts", "2", "--recorder", "A\tB"}, 2, "", {"no tab or line end"}},
        {{"--parts", "2", "--from", auftrag(4), "00000", "--to", auftrag(4), "99999"},
         0,
         "",
         {"no position to evaluate"}},
        {{"--parts", "0"}, 2, "", {"--parts takes a number from 1 to 1000"}},
        {{"--parts", "2x"}, 2, "", {"--parts takes a number"}},
        {{}, 2, "", {"--parts is missing"}},
        {{"--parts", "2", "--from", auftrag(1), "00010"}, 2, "", {"--from and --to go together"}},
    };
    const auto pruefen = [&](const std::vector<Fall>& fs) {
        for (const Fall& f : fs) {
            std::vector<std::string> args = {"split"};
            args.insert(args.end(), f.args.begin(), f.args.end());
            const e2e::Result r = e2e::runProgram(tree, KORVIMAND_ADMIN_BIN, args);
            const std::string fall = ::testing::PrintToString(f.args);
            EXPECT_EQ(r.status, f.status) << fall << r.err;
            EXPECT_EQ(r.out, f.out) << fall;
            for (const std::string& e : f.err) EXPECT_NE(r.err.find(e), std::string::npos) << fall << "\n" << r.err;
            EXPECT_EQ(r.err.find("package ") != std::string::npos, f.paket) << fall << "\n" << r.err;
        }
    };
    pruefen(faelle);

    // Orders 6 and 7 of one position each, then order 8 of ten: three parts
    // still make three, and the member of order 6's package that is the last
    // key of part 2 is named.
    for (int i = 0; i < 12; ++i) {
        char app[8];
        std::snprintf(app, sizeof app, "%05d", i < 2 ? 10 : (i - 1) * 10);
        fixtures::Position p;
        p.apk = auftrag(std::min(i + 6, 8));
        p.app = app;
        p.zf2 = i == 0 ? "*PKT_KOPF*" : i == 1 ? "00000000000600010             " : "";
        fixtures::position(db, p);
    }
    pruefen({{{"--parts", "3", "--from", auftrag(6), "00010", "--to", auftrag(8), "00100"},
              0,
              zeile(auftrag(6), "00010", auftrag(7), "0000/") + zeile(auftrag(7), "00000", auftrag(8), "0000/") +
                  zeile(auftrag(8), "00000", auftrag(8), "00100"),
              {"package 000000000006 00010 (part 1) has members in another part, which its process writes: "
               "000000000007 00010 (part 2)\n",
               "part 3: 10 positions in 1 order"},
              true}});
    e2e::removeTree(tree);
    testdb::destroy(db);
}

INSTANTIATE_TEST_SUITE_P(Admin, AdminSplit, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
