#pragma once
// End-to-end runs of order 4711 in range mode on a fresh database of each
// backend, with helpers for package heads, members and the rows they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace paketlauf {

class Lauf : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        db = testdb::create(GetParam());
        tree = e2e::makeTree(db);
        fixtures::laufparameter(db);
    }
    void TearDown() override {
        e2e::removeTree(tree);
        testdb::destroy(db);
    }

    // A position of order 4711 (positions numbered "10", "20" in the tests)
    // booked on APL01, which variant 3 evaluates from
    // the source row q: the position's total record gets q's durations.
    // Extra "A07" messages (given by their MelNam) feed the total's sums.
    void kopf(fixtures::Position p, fixtures::NzaZeile q, int lkz = 0, std::vector<double> a07 = {}) {
        if (!platz) fixtures::variante(db, "APL01", 3, lkz);
        platz = true;
        p.apk = "4711";
        fixtures::position(db, p);
        fixtures::Meldung mel;
        mel.apk = p.apk;
        mel.app = p.app;
        fixtures::meldung(db, mel);
        for (double nam : a07) {
            mel.fcd = "A07";
            mel.nam = nam;
            mel.gum = 5;
            mel.fam = 2;
            mel.bnr += 1;
            fixtures::meldung(db, mel);
        }
        q.sa = 5;
        q.apk = p.apk;
        q.app = p.app;
        fixtures::nza(db, q);
    }
    void kopf(const std::string& app, const std::string& zf2, double sza, double str, fixtures::NzaZeile q) {
        fixtures::Position p;
        p.app = app;
        p.zf2 = zf2;
        p.sza = sza;
        p.str = str;
        kopf(p, q);
    }

    // A member of another order on workstation APL09.
    void mitglied(fixtures::Position p) {
        p.apl = "APL09";
        fixtures::position(db, p);
    }
    void mitglied(const std::string& apk, const std::string& zf2, double sza, double str, double ime) {
        fixtures::Position p;
        p.apk = apk;
        p.app = "10";
        p.zf2 = zf2;
        p.sza = sza;
        p.str = str;
        p.ime = ime;
        mitglied(p);
    }

    // The kind-11 row a member had before the run, under the full key of the
    // head's total (blank workstation and person, the head's begin).
    void alteZeile(const std::string& apk, fixtures::NzaZeile z) {
        z.sa = 11;
        z.apl = "          ";
        z.apk = apk;
        z.app = "10";
        z.pnr = "        ";
        z.dtm = "2024-03-04 06:00:00";
        fixtures::nza(db, z);
    }

    // Evaluates the positions of order vonApk from position vonApp to bisApp.
    void lauf(const std::string& vonApp = "10", const std::string& bisApp = "10", const std::string& apk = "4711") {
        const e2e::Result r = e2e::run(tree, {apk, vonApp, apk, bisApp, "ERF00001"});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    std::vector<e2e::LogEntry> log() const { return e2e::parseLog(e2e::readLog(tree)); }
    std::string wert(const std::string& q) const { return testdb::value(db, q); }
    double zahl(const std::string& q) const {
        const std::string v = wert(q);
        if (v.empty()) ADD_FAILURE() << "no value: " << q;
        return v.empty() ? -999 : std::stod(v);
    }
    // A column of the kind-11 NZA row of order apk, and of its position.
    double nza(const std::string& apk, const std::string& spalte) const {
        return zahl("select " + spalte + " from Hlx590Nza where NzaSa=11 and NzaApk='" + apk + "'");
    }
    double app(const std::string& apk, const std::string& spalte) const {
        return zahl("select " + spalte + " from Hlx504App where AppApk='" + apk + "'");
    }
    bool pg() const { return db.backend == testdb::Backend::Postgres; }

    testdb::Db db;
    e2e::Tree tree;
    bool platz = false;
};

}  // namespace paketlauf

#define PAKETLAUF_BACKENDS(suite)                                                 \
    INSTANTIATE_TEST_SUITE_P(E2e, suite, ::testing::ValuesIn(testdb::backends()), \
                             [](const auto& info) { return std::string(testdb::name(info.param)); })
