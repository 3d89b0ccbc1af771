// The marker run and the deletion of "NZA" markers in both run modes.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/AuswertungsLauf.h"

namespace {

using fixtures::Position;
using Merker = auswertung::Lauf;

fixtures::Merker merker(const std::string& app, const std::string& apl = "0000000000",
                        const std::string& mdt = "2024-03-04 15:00:00") {
    fixtures::Merker m;
    m.app = app;
    m.apl = apl;
    m.mdt = mdt;
    return m;
}

TEST_P(Merker, MarkerRunEvaluatesTheMarkedPositions) {
    for (const char* app : {"00010", "00020", "00030", "00040"}) {
        Position p;
        p.app = app;
        fixtures::position(db, p);
    }
    fixtures::merker(db, merker("00010"));           // zero key: evaluated and deleted
    fixtures::merker(db, merker("00020", "APL01"));  // another workstation: evaluated, kept
    fixtures::merker(db, merker("00030"));           // two markers of one position
    // the person's marker comes first and its evaluation deletes the zero-key
    // marker, which the open cursor still delivers
    fixtures::Merker person = merker("00030", "0000000000", "2024-03-04 14:00:00");
    person.pnr = "00001234";
    fixtures::merker(db, person);
    fixtures::Merker andereArt = merker("00040");
    andereArt.kng = "LZA";
    fixtures::merker(db, andereArt);  // not this program's kind

    merkerLauf();

    EXPECT_TRUE(log().empty());
    EXPECT_EQ(anzahl("Hlx590Nza where NzaSa=11"), "3");
    EXPECT_EQ(anzahl("Hlx590Nza where NzaApp='00040'"), "0");
    EXPECT_EQ(wert("select NzaErf from Hlx590Nza where NzaApp='00010'"), "ERF00002");
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00010'"), "1");
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00020'"), "1");
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00030'"), "2");
    EXPECT_EQ(testdb::column(db,
                             "select MrkApp || '/' || MrkApl || '/' || MrkPnr from Hlx563Mrk order by MrkApp, MrkKng"),
              (std::vector<std::string>{"00020/APL01/00000000", "00030/0000000000/00001234",
                                        "00040/0000000000/00000000"}));

    // the markers left are evaluated again by the next run
    merkerLauf();
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00010'"), "1");
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00020'"), "2");
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApp='00030'"), "3");
    EXPECT_EQ(anzahl("Hlx563Mrk"), "3");
}

TEST_P(Merker, MarkersComeInWorkstationOrderNotOrderNumberOrder) {
    for (const char* apk : {"000000004711", "000000004712", "000000004713"}) {
        Position p;
        p.apk = apk;
        fixtures::position(db, p);
    }
    fixtures::Merker m = merker("00010", "APL02");
    m.apk = "000000004711";
    fixtures::merker(db, m);
    m = merker("00010", "APL01", "2024-03-04 16:00:00");
    m.apk = "000000004712";
    fixtures::merker(db, m);
    m = merker("00010", "APL01", "2024-03-04 09:00:00");
    m.apk = "000000004713";
    fixtures::merker(db, m);
    merkerLauf();
    EXPECT_EQ(testdb::column(db, "select PpsApk from Hlx580Pps order by PpsLfn"),
              (std::vector<std::string>{"000000004712", "000000004713", "000000004711"}));
}

TEST_P(Merker, RangeRunDeletesTheZeroKeyMarkersOfItsPositions) {
    for (const char* app : {"00010", "00020"}) {
        Position p;
        p.app = app;
        fixtures::position(db, p);
    }
    fixtures::merker(db, merker("00010"));
    fixtures::merker(db, merker("00010", "APL01"));
    fixtures::merker(db, merker("00030"));  // outside the range
    bereich("000000004711", "00000", "000000004711", "00020");
    EXPECT_EQ(testdb::column(db, "select MrkApp || '/' || MrkApl from Hlx563Mrk order by MrkApp, MrkApl"),
              (std::vector<std::string>{"00010/APL01", "00030/0000000000"}));
    EXPECT_TRUE(log().empty());
}

}  // namespace

AUSWERTUNG_BACKENDS(Merker);
