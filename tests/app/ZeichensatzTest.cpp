// Texts in the suite's code page pass through unchanged; on PostgreSQL a text
// that the code page cannot hold skips its own position only.
#include <gtest/gtest.h>

#include "app/RunModes.h"
#include "db/Dbstd.h"
#include "db/runtime/Runtime.h"
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

}  // namespace

FIXTURES_BACKENDS(Zeichensatz);
