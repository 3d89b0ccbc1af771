#pragma once
// End-to-end runs of the evaluation: rows built with SQL on a fresh database
// of each backend, the korvimand binary run with real arguments, then the
// rows and the message log checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace auswertung {

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

    // Range run over order 000000004711 (all positions) unless told otherwise.
    void bereich(const std::string& vonApk = "000000004711", const std::string& vonApp = "00000",
                 const std::string& bisApk = "000000004711", const std::string& bisApp = "99999") {
        const e2e::Result r = e2e::run(tree, {vonApk, vonApp, bisApk, bisApp, "ERF00001"});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    void merkerLauf() {
        const e2e::Result r = e2e::run(tree, {"000000000000", "00000", "000000000000", "00000", "ERF00002"});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    std::vector<e2e::LogEntry> log() const { return e2e::parseLog(e2e::readLog(tree)); }
    std::string wert(const std::string& q) const { return testdb::value(db, q); }
    double zahl(const std::string& q) const {
        const std::string v = wert(q);
        if (v.empty()) ADD_FAILURE() << "no value: " << q;
        return v.empty() ? -999 : std::stod(v);
    }
    // A column of the position's total record (kind 11) and of the position.
    double gesamt(const std::string& spalte, const std::string& app = "00010") const {
        return zahl("select " + spalte + " from Hlx590Nza where NzaSa=11 and NzaApk='000000004711' and NzaApp='" + app +
                    "'");
    }
    double position(const std::string& spalte, const std::string& app = "00010") const {
        return zahl("select " + spalte + " from Hlx504App where AppApk='000000004711' and AppApp='" + app + "'");
    }
    std::string anzahl(const std::string& tabelleUndBedingung) const {
        return wert("select count(*) from " + tabelleUndBedingung);
    }

    testdb::Db db;
    e2e::Tree tree;
};

}  // namespace auswertung

#define AUSWERTUNG_BACKENDS(suite)                                                \
    INSTANTIATE_TEST_SUITE_P(E2e, suite, ::testing::ValuesIn(testdb::backends()), \
                             [](const auto& info) { return std::string(testdb::name(info.param)); })
