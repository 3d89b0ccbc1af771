// Texts in the suite's code page pass through unchanged; on PostgreSQL a text
// that the code page cannot hold, anywhere the evaluation of a position
// reads, skips that position only and leaves it as it was.
#include <gtest/gtest.h>

#include "app/RunModes.h"
#include "db/Dbstd.h"
#include "db/runtime/Runtime.h"
#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/Fixtures.h"
#include "util/RunContext.h"

namespace {

class Zeichensatz : public fixtures::DbTest {};

TEST_P(Zeichensatz, EuroAndQuotesPassAndAForeignCharacterSkipsOnlyItsPosition) {
    const std::string text = "Preis 5 \x80 \x84neu\x93 \x96 ok ab 1.1.26";  // 30 characters, 4 not Latin-1
    const bool pg = GetParam() == testdb::Backend::Postgres;
    fixtures::laufparameter(db);
    for (const char* app : {"00010", "00020", "00030"}) {
        fixtures::Position p;
        p.app = app;
        if (app[3] == '1') p.zf3 = text;
        fixtures::position(db, p);
    }
    if (pg) testdb::sql(db, "update Hlx504App set AppZf3 = 'Zap' || chr(322) || 'ata' where AppApp = '00020'");
    runContext.VonApk = runContext.BisApk = "000000004711";
    runContext.VonApp = "00000";
    runContext.BisApp = "99999";
    Verarbeitung_VonBis();

    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa = 11"), pg ? "2" : "3");
    AppRecord r{};
    r.AppApk = "000000004711";
    r.AppApp = "00010";
    ASSERT_EQ(App_PKeyReadk(&r), 0);
    EXPECT_EQ(r.AppZf3.str(), text);
    if (!pg) return;
    EXPECT_EQ(wert("select count(*) from Hlx504App where AppZf3 = 'Preis 5 ' || chr(8364) || ' ' || chr(8222) || "
                   "'neu' || chr(8220) || ' ' || chr(8211) || ' ok ab 1.1.26' or AppZf3 = 'Zap' || chr(322) || 'ata'"),
              "2");
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].message + " " + std::to_string(log()[0].code), "000000004711 00020 -12713");
}

// In a source row, an assignment, the order header or a workstation key:
// the position stays as the last run left it, is named once and keeps its
// marker, so that it is evaluated once the text is mended.
TEST_P(Zeichensatz, AForeignCharacterAnywhereReadLeavesThePositionAsItWas) {
    if (GetParam() != testdb::Backend::Postgres) GTEST_SKIP() << "SQLite holds any text";
    struct Fall {
        const char* ort;
        std::string kaputt, heil;
    };
    const std::string fremd = "'Zap' || chr(322) || 'ata'";
    const Fall faelle[] = {
        {"kind-5 row", "update Hlx590Nza set NzaTnr = " + fremd + " where NzaSa = 5 and NzaApk = '000000004711'",
         "update Hlx590Nza set NzaTnr = 'T' where NzaSa = 5"},
        {"assignment", "update Hlx532Aem set AemBez = " + fremd + " where AemApg = 'APL01'",
         "update Hlx532Aem set AemBez = 'B'"},
        {"order header", "update Hlx501Apk set ApkBz1 = " + fremd + " where ApkApk = '000000004711'",
         "update Hlx501Apk set ApkBz1 = 'B'"},
        {"workstation key",
         "insert into Hlx560Mel (KeyBnr, KeyLfn, ObjTyp, KeyPnr, KeyApl, KeyApk, KeyApp, KeyDat) select KeyBnr, 9, "
         "ObjTyp, KeyPnr, 'AP' || chr(322), KeyApk, KeyApp, KeyDat from Hlx560Mel where KeyApk = '000000004711'",
         "delete from Hlx560Mel where KeyLfn = 9"},
    };
    fixtures::laufparameter(db);
    fixtures::variante(db, "APL01", 3, 0);
    fixtures::arbeitsplatz(db, "APL02", "GRP01");
    fixtures::Zuordnung z;
    z.apg = "APL02";
    z.afz = 3;
    fixtures::zuordnung(db, z);
    for (const char* apk : {"000000004711", "000000004712"}) {
        fixtures::auftrag(db, apk);
        fixtures::Position p;
        p.apk = apk;
        fixtures::positionMitMeldung(db, p, apk[11] == '1' ? "APL01" : "APL02");
    }
    auto lauf = [&](int stunden) {
        for (const char* apk : {"000000004711", "000000004712"}) {
            fixtures::NzaZeile q;
            q.apk = apk;
            q.apl = apk[11] == '1' ? "APL01" : "APL02";
            q.dtm = "2024-03-04 " + std::to_string(stunden) + ":00:00";
            q.nza = 0.30;
            fixtures::nza(db, q);
            fixtures::Merker mrk;
            mrk.apk = apk;
            if (wert("select count(*) from Hlx563Mrk where MrkApk = '" + mrk.apk + "'") == "0")
                fixtures::merker(db, mrk);
        }
        const std::size_t vorher = log().size();
        Verarbeitung_MRK();
        std::vector<std::string> neu;
        for (std::size_t i = vorher; i < log().size(); ++i)
            neu.push_back(log()[i].message + " " + std::to_string(log()[i].code));
        return neu;
    };
    ASSERT_TRUE(lauf(10).empty());
    int stunden = 11;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.ort);
        testdb::sql(db, f.kaputt);
        const auto stand = zuverlaessig::stand(db, "000000004711", "000000004711");
        const std::string uploads = wert("select count(*) from Hlx580Pps");
        const std::string andere = wert("select AppIta from Hlx504App where AppApk = '000000004712'");
        EXPECT_EQ(lauf(stunden++), std::vector<std::string>{"000000004711 00010 -12713"});
        // the marker set for this run stays as well
        const auto nachher = zuverlaessig::stand(db, "000000004711", "000000004711");
        EXPECT_EQ(std::vector<std::string>(nachher.begin(), nachher.end() - 1), stand);
        EXPECT_EQ(wert("select count(*) from Hlx580Pps"), std::to_string(std::stoi(uploads) + 1));
        EXPECT_NE(wert("select AppIta from Hlx504App where AppApk = '000000004712'"), andere);

        testdb::sql(db, f.heil);
        EXPECT_TRUE(lauf(stunden++).empty());
        EXPECT_EQ(wert("select count(*) from Hlx563Mrk"), "0");
    }
}

}  // namespace

FIXTURES_BACKENDS(Zeichensatz);
