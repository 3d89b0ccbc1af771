// Package programming through the binary: package heads booked on a
// workstation of variant 3, whose kind-5 source rows give the head's total
// record chosen durations, evaluated in range mode; then the members' rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/PaketLauf.h"

namespace {

using fixtures::NzaZeile;
using fixtures::Position;
using Paket = paketlauf::Lauf;

// The package key of head 4711/10: order right-aligned in 12, position in 5, 13 blanks.
const std::string kSchluessel10 = "        4711   10             ";
const std::string kSchluessel20 = "        4711   20             ";

TEST_P(Paket, KopfformTeiltNachPlanzeiten) {
    // head: planned 2.00 with set-up 0.50, net 70 minutes
    NzaZeile q;
    q.nzr = 0.45, q.bzr = 1.00, q.pzr = 0.30, q.uzr = 0.10, q.rbz = 2.00;
    q.nza = 4.00, q.bza = 2.45, q.pza = 1.00, q.uza = 0.20, q.abz = 0.40;
    q.nzu = 3.00, q.bzu = 0.50, q.pzu = 1.10;
    kopf("10", "*PKT_KOPF*", 2.00, 0.50, q);
    fixtures::auftrag(db, "4712", "TEIL-4712");
    // member of planned 1.00, set-up 0.25: f1 = 60/120, f2 = 35/70
    mitglied("4712", kSchluessel10, 1.00, 0.25, 8);
    // no order header, no actual quantity
    mitglied("4713", kSchluessel10, 1.00, 0.25, 0);
    // one blank fewer before the position: not a member
    mitglied("4714", "        4711  10             ", 1.00, 0.25, 8);
    lauf();

    EXPECT_TRUE(log().empty());
    // group R by f1, group A and U by f2, each cut to whole minutes
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNzr"), 0.22);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaBzr"), 0.30);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaPzr"), 0.15);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaUzr"), 0.05);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaRbz"), 1.00);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNza"), 2.00);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaBzA"), 1.22);  // 165 minutes x 0.5 = 82.5
    EXPECT_DOUBLE_EQ(nza("4712", "NzaPza"), 0.30);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaUza"), 0.10);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaAbz"), 0.20);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNzu"), 1.30);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaBzu"), 0.25);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaPzu"), 0.35);
    EXPECT_DOUBLE_EQ(app("4712", "AppItr"), 0.22);
    EXPECT_DOUBLE_EQ(app("4712", "AppIte"), 0.15);
    EXPECT_DOUBLE_EQ(app("4712", "AppIta"), 2.22);
    EXPECT_DOUBLE_EQ(app("4712", "AppSza"), 1.00);  // no correction without the performance flag
    EXPECT_DOUBLE_EQ(app("4713", "AppIte"), 0.0);

    // the new rows are the head's total under the member's key
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaSa=11 and NzaApk='4712'"), "TEIL-4712");
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaSa=11 and NzaApk='4713'"), std::string(19, ' '));
    EXPECT_EQ(wert("select NzaApl from Hlx590Nza where NzaSa=11 and NzaApk='4712'"), std::string(10, ' '));
    EXPECT_EQ(wert("select NzaErf from Hlx590Nza where NzaSa=11 and NzaApk='4712'"), "ERF00001");
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaApk='4714'"), "0");
    EXPECT_DOUBLE_EQ(app("4714", "AppItr"), 0.0);

    // only the members go to PPS, numbered from a range created by the first upload
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "2");
    EXPECT_EQ(wert("select count(*) from Hlx580Pps where PpsApk='4711'"), "0");
    EXPECT_EQ(wert("select min(PpsLfn) || '-' || max(PpsLfn) from Hlx580Pps"), "1-2");
    EXPECT_EQ(wert("select BnrBnr from Hlx552Bnr where BnrKey='PPSNR'"), "2");
    EXPECT_EQ(wert("select PpsApl from Hlx580Pps where PpsApk='4712'"), "APL09");
    EXPECT_DOUBLE_EQ(zahl("select PpsZt1 from Hlx580Pps where PpsApk='4712'"), 0.22);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt2 from Hlx580Pps where PpsApk='4712'"), 2.00);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt3 from Hlx580Pps where PpsApk='4712'"), 0.15);
}

TEST_P(Paket, KopfformVorhandenesMitgliedBehaeltSeineFelder) {
    NzaZeile q;
    q.nza = 2.45;
    q.nzr = 1.00;
    kopf("10", "*PKT_KOPF*", 2.00, 0.50, q);
    mitglied("4712", kSchluessel10, 1.00, 0.25, 8);
    NzaZeile alt;
    alt.tnr = "ALT-TEIL";
    alt.erf = "ALTERF";
    alt.gum = 7;
    alt.aum = 3;
    alt.rf1 = 5;
    alt.maz = 3;
    alt.nza = 9.99;
    alteZeile("4712", alt);
    lauf();

    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaApk='4712'"), "1");
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNza"), 1.22);  // 165 minutes x 0.5 = 82.5, cut to 82
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNzr"), 0.30);
    // what the distribution does not set stays as stored, the sums start anew
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaApk='4712'"), "ALT-TEIL");
    EXPECT_EQ(wert("select NzaErf from Hlx590Nza where NzaApk='4712'"), "ALTERF");
    EXPECT_DOUBLE_EQ(nza("4712", "NzaGum"), 7);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaAum"), 3);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaRf1"), 0);
    EXPECT_DOUBLE_EQ(nza("4712", "NzaMaz"), 0);
    EXPECT_DOUBLE_EQ(zahl("select PpsGum from Hlx580Pps where PpsApk='4712'"), 7);
}

TEST_P(Paket, KopfformOhnePlanzeitenDesKopfes) {
    NzaZeile q;
    q.nzr = 0.45, q.nza = 1.30, q.bza = 0.75, q.nzu = 2.10;
    // head 10 without planned time: f1 = 0, net 0, so f2 = 1
    kopf("10", "*PKT_KOPF*", 0, 0, q);
    // head 20 whose planned time does not exceed its set-up: net 0, f2 = 1, f1 = 60/30
    kopf("20", "*PKT_KOPF*", 0.30, 0.50, q);
    mitglied("4712", kSchluessel10, 1.00, 0.25, 0);
    mitglied("4713", kSchluessel20, 1.00, 0.25, 0);
    lauf("10", "20");

    EXPECT_TRUE(log().empty());
    EXPECT_DOUBLE_EQ(nza("4712", "NzaNzr"), 0.0);
    EXPECT_DOUBLE_EQ(app("4712", "AppItr"), 0.0);
    EXPECT_DOUBLE_EQ(nza("4713", "NzaNzr"), 1.30);
    for (const char* apk : {"4712", "4713"}) {
        // group A and U unscaled, each through whole minutes
        EXPECT_DOUBLE_EQ(nza(apk, "NzaNza"), 1.30) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaBzA"), 1.15) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaNzu"), 2.10) << apk;
    }
    EXPECT_DOUBLE_EQ(app("4712", "AppIta"), 1.30);
    EXPECT_DOUBLE_EQ(app("4713", "AppIta"), 3.00);  // actual 90 + planned 90 minutes
}

TEST_P(Paket, KopfformMitLeistungsbezugKorrigiertDieMitglieder) {
    // head total: two "A07" messages of 120 % each, so the unit time scales by 1.2
    Position k;
    k.app = "10";
    k.zf2 = "*PKT_KOPF*";
    k.sza = 2.00;
    k.str = 0.50;
    k.ste = 0.15;
    k.sme = 10;
    NzaZeile q;
    q.nza = 1.00;
    kopf(k, q, 1, {120, 120});
    Position p;
    p.apk = "4712";
    p.app = "10";
    p.zf2 = kSchluessel10;
    p.sza = 1.00;
    p.str = 0.25;
    p.ste = 0.5;
    p.sme = 10;
    p.zf3 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    mitglied(p);
    // the program form does not correct
    k.app = "20";
    k.zf2 = "*PKT_PROG*";
    kopf(k, q);
    p.apk = "4713";
    p.zf2 = kSchluessel20;
    mitglied(p);
    lauf("10", "20");

    EXPECT_TRUE(log().empty());
    EXPECT_DOUBLE_EQ(app("4712", "AppSte"), 0.6);
    EXPECT_DOUBLE_EQ(app("4712", "AppSza"), 10.25);  // 25 + 60 x 10 minutes
    EXPECT_EQ(wert("select AppZf3 from Hlx504App where AppApk='4712'"), "ABCDEFGHIJKLMNOPQRSTUV0.50");
    // the member's own sums are zeroed, the correction uses the head's
    EXPECT_DOUBLE_EQ(nza("4712", "NzaMaz"), 0);
    EXPECT_DOUBLE_EQ(app("4713", "AppSte"), 0.5);
    EXPECT_DOUBLE_EQ(app("4713", "AppSza"), 1.00);
    EXPECT_EQ(wert("select AppZf3 from Hlx504App where AppApk='4713'"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
}

TEST_P(Paket, ProgrammformTeiltZuGleichenTeilen) {
    NzaZeile q;
    q.nza = 1.00, q.bza = 0.31, q.pza = 0.07, q.uza = 0.02, q.abz = 0.45;
    q.nzu = 0.30, q.bzu = 0.06, q.pzu = 0.09, q.nzr = 5.00;
    Position k;
    k.app = "10";
    k.zf2 = "*PKT_PROG*";
    kopf(k, q, 0, {100});
    // the remainder of a division is dropped: 61 minutes in three parts are 20 each
    q.nza = 1.01;
    k.app = "20";
    kopf(k, q);
    for (const char* apk : {"4712", "4713", "4714"}) mitglied(apk, kSchluessel10, 1.00, 0.25, 8);
    for (const char* apk : {"4715", "4716", "4717"}) mitglied(apk, kSchluessel20, 1.00, 0.25, 8);
    lauf("10", "20");

    EXPECT_TRUE(log().empty());
    for (const char* apk : {"4712", "4713", "4714"}) {
        // group R from group A in thirds; the last share is of NzaBzA, not NzaAbz
        EXPECT_DOUBLE_EQ(nza(apk, "NzaNzr"), 0.20) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaBzr"), 0.10) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaPzr"), 0.02) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaUzr"), 0.00) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaRbz"), 0.10) << apk;
        for (const char* a : {"NzaNza", "NzaBzA", "NzaPza", "NzaUza", "NzaAbz"})
            EXPECT_DOUBLE_EQ(nza(apk, a), 0.0) << apk << " " << a;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaNzu"), 0.10) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaBzu"), 0.02) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaPzu"), 0.03) << apk;
        // the head's message sums stay in the program form
        EXPECT_DOUBLE_EQ(nza(apk, "NzaMaz"), 1) << apk;
        EXPECT_DOUBLE_EQ(nza(apk, "NzaRf1"), 100) << apk;
        EXPECT_DOUBLE_EQ(app(apk, "AppItr"), 0.20) << apk;
        EXPECT_DOUBLE_EQ(app(apk, "AppIta"), 0.20) << apk;
        EXPECT_DOUBLE_EQ(app(apk, "AppIte"), 0.0) << apk;
    }
    for (const char* apk : {"4715", "4716", "4717"}) EXPECT_DOUBLE_EQ(nza(apk, "NzaNzr"), 0.20) << apk;
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "6");
    EXPECT_EQ(wert("select count(distinct PpsLfn) from Hlx580Pps where PpsLfn between 1 and 6"), "6");
}

TEST_P(Paket, KopfOhneMitglieder) {
    NzaZeile q;
    q.nza = 1.00;
    kopf("10", "*PKT_KOPF*", 2.00, 0.50, q);
    kopf("20", "*PKT_PROG*", 2.00, 0.50, q);
    // a position of another package is left alone
    mitglied("4712", "        4711   30             ", 1.00, 0.25, 8);
    lauf("10", "20");

    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=11"), "2");
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "0");
    EXPECT_EQ(wert("select count(*) from Hlx552Bnr"), "0");
    EXPECT_DOUBLE_EQ(app("4712", "AppItr"), 0.0);
}

}  // namespace

PAKETLAUF_BACKENDS(Paket);
