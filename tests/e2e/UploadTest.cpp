// The PPS upload through the binary: plain positions (no package key) of
// order 4711, evaluated in range mode, each leave one upload row.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "tests/e2e/PaketLauf.h"

namespace {

using fixtures::NzaZeile;
using fixtures::Position;
using Upload = paketlauf::Lauf;

std::string jetzt() {
    const std::time_t t = std::time(nullptr);
    std::tm lt{};
    localtime_r(&t, &lt);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &lt);
    return buf;
}

// A trigger that refuses the statement on table for rows matching bedingung
// (a condition on NEW).
void verweigern(const testdb::Db& db, const std::string& name, const std::string& zeitpunkt, const std::string& tabelle,
                const std::string& bedingung) {
    if (db.backend == testdb::Backend::Postgres) {
        testdb::sql(db, "create function " + name +
                            "() returns trigger language plpgsql as $$ begin raise exception 'abgelehnt'; end $$");
        testdb::sql(db, "create trigger " + name + " " + zeitpunkt + " on " + tabelle + " for each row when (" +
                            bedingung + ") execute function " + name + "()");
    } else {
        testdb::sql(db, "create trigger " + name + " " + zeitpunkt + " on " + tabelle + " when " + bedingung +
                            " begin select raise(abort, 'abgelehnt'); end");
    }
}

void nummernkreis(const testdb::Db& db, long bnr) {
    testdb::sql(db, "insert into Hlx552Bnr (BnrKey, BnrBnr, BnrEdt, BnrEsb) values ('PPSNR', " + std::to_string(bnr) +
                        ", '2020-01-01 00:00:00', 'ALT')");
}

TEST_P(Upload, ZeileMitFestwertenUndNaechsterNummer) {
    nummernkreis(db, 41);
    Position p;
    p.app = "10";
    p.apl = "";
    p.str = 0.45;
    p.ime = 4;
    NzaZeile q;
    q.nzr = 1.10;
    q.nza = 2.00;
    kopf(p, q, 0, {90});
    const std::string heute = fixtures::tag(0);
    const std::string vorher = jetzt();
    lauf();
    const std::string nachher = jetzt();

    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "1");
    EXPECT_EQ(wert("select PpsLfn from Hlx580Pps"), "42");
    EXPECT_EQ(wert("select BnrBnr from Hlx552Bnr where BnrKey='PPSNR'"), "42");
    EXPECT_EQ(wert("select BnrEsb from Hlx552Bnr where BnrKey='PPSNR'"), "ERF00001");
    EXPECT_TRUE(fixtures::amTag(heute, wert("select BnrEdt from Hlx552Bnr where BnrKey='PPSNR'")));

    EXPECT_EQ(wert("select PpsVkz from Hlx580Pps"), "*NO");
    EXPECT_EQ(wert("select PpsFcd from Hlx580Pps"), "AZ");
    EXPECT_EQ(wert("select PpsPnr from Hlx580Pps"), "99999999");
    EXPECT_EQ(wert("select PpsAwn from Hlx580Pps"), "99999999");
    EXPECT_EQ(wert("select PpsUbg from Hlx580Pps"), "0000");
    EXPECT_EQ(wert("select PpsAug from Hlx580Pps"), "0000");
    EXPECT_EQ(wert("select PpsSto from Hlx580Pps"), "+");
    EXPECT_EQ(wert("select PpsSts from Hlx580Pps"), "0");
    EXPECT_DOUBLE_EQ(zahl("select PpsMam from Hlx580Pps"), 0);
    EXPECT_DOUBLE_EQ(zahl("select PpsNam from Hlx580Pps"), 0);
    EXPECT_EQ(wert("select count(*) from Hlx580Pps where PpsApl is null and PpsZf1 is null and PpsZf2 is null "
                   "and PpsZf3 is null"),
              "1");

    // from the position and its total record
    EXPECT_EQ(wert("select PpsApk || '/' || PpsApp || '/' || PpsMee from Hlx580Pps"), "4711/10/STK");
    EXPECT_DOUBLE_EQ(zahl("select PpsGum from Hlx580Pps"), 5);
    EXPECT_DOUBLE_EQ(zahl("select PpsFam from Hlx580Pps"), 2);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt1 from Hlx580Pps"), 1.10);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt2 from Hlx580Pps"), 2.00);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt3 from Hlx580Pps"), 0.30);  // 120 minutes for 4 pieces

    // the local clock, read during the run
    const std::string dat = wert("select PpsDat from Hlx580Pps");
    const std::string mdtMzt = wert("select PpsMdt || PpsMzt from Hlx580Pps");
    EXPECT_EQ(dat.size(), 14u);
    EXPECT_EQ(mdtMzt.size(), 14u);
    EXPECT_GE(dat, vorher);
    EXPECT_LE(dat, nachher);
    EXPECT_GE(mdtMzt, vorher);
    EXPECT_LE(mdtMzt, dat);
}

TEST_P(Upload, MisslungeneNummerGibtNull) {
    nummernkreis(db, 41);
    verweigern(db, "bnr_nein", "before update", "Hlx552Bnr", "new.BnrBnr > 0");
    kopf("10", "", 0, 0, NzaZeile{});
    lauf();

    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "UploadNummer");
    EXPECT_EQ(eintraege[0].message, "Get,Ins,Upd");
    EXPECT_EQ(eintraege[0].code, -20000);  // the error a trigger raises
    EXPECT_EQ(wert("select PpsLfn from Hlx580Pps"), "0");
    EXPECT_EQ(wert("select BnrBnr from Hlx552Bnr where BnrKey='PPSNR'"), "41");
}

TEST_P(Upload, ErschoepfterNummernkreisLaeuftNichtUeber) {
    nummernkreis(db, 2147483647);
    kopf("10", "", 0, 0, NzaZeile{});
    lauf();

    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "UploadNummer");
    EXPECT_EQ(eintraege[0].message, "Get,Ins,Upd");
    EXPECT_EQ(eintraege[0].code, -1438);
    EXPECT_EQ(wert("select PpsLfn from Hlx580Pps"), "0");
    EXPECT_EQ(wert("select BnrBnr from Hlx552Bnr where BnrKey='PPSNR'"), "2147483647");
}

}  // namespace

PAKETLAUF_BACKENDS(Upload);
