// NZA records: insert, read and update by full key, the position cursor, the
// deletes, and what a read or fetch without a row leaves in the record.
#include <cstdio>
#include <string>

#include "db/DbMel.h"
#include "tests/support/Fixtures.h"

namespace {

// Every field of a record as one text, so that a mismatch names its field.
std::string alles(const NzaRecord& r) {
    char buf[2048];
    std::snprintf(buf, sizeof buf,
                  "Sa=%d Apl=%s Apk=%s App=%s Pnr=%s Dtm=%s/%s Beg=%d Bbn=%d Bln=%d Bmk=%s Edt=%s/%s End=%d Ebn=%d "
                  "Eln=%d Emk=%s Ubg=%s Rau=%d Var=%d 00A=%d 00U=%d 00S=%d Emo=%s Wtg=%d Jtg=%d Ttp=%s Jwo=%s "
                  "Woc=%d Pzm=%d Maz=%d Gum=%g Aum=%g Nzr=%g Bzr=%g Uzr=%g Pzr=%g Rbz=%g Nza=%g BzA=%g Uza=%g "
                  "Pza=%g Abz=%g Bzu=%g Nzu=%g Pzu=%g Ubz=%g Sol=%g Ist=%g Pau=%g Rf1=%g Rf2=%g Rf3=%g Fnr=%d "
                  "Tnr=%s Erf=%s",
                  r.NzaSa, r.NzaApl.s, r.NzaApk.s, r.NzaApp.s, r.NzaPnr.s, r.NzaDtmDat.s, r.NzaDtmZeit.s, r.NzaBeg,
                  r.NzaBbn, r.NzaBln, r.NzaBmk.s, r.NzaEdtDat.s, r.NzaEdtZeit.s, r.NzaEnd, r.NzaEbn, r.NzaEln,
                  r.NzaEmk.s, r.NzaUbg.s, r.NzaRau, r.NzaVar, r.Nza00A, r.Nza00U, r.Nza00S, r.NzaEmo.s, r.NzaWtg,
                  r.NzaJtg, r.NzaTtp.s, r.NzaJwo.s, r.NzaWoc, r.NzaPzm, r.NzaMaz, r.NzaGum, r.NzaAum, r.NzaNzr,
                  r.NzaBzr, r.NzaUzr, r.NzaPzr, r.NzaRbz, r.NzaNza, r.NzaBzA, r.NzaUza, r.NzaPza, r.NzaAbz, r.NzaBzu,
                  r.NzaNzu, r.NzaPzu, r.NzaUbz, r.NzaSol, r.NzaIst, r.NzaPau, r.NzaRf1, r.NzaRf2, r.NzaRf3, r.NzaFnr,
                  r.NzaTnr.s, r.NzaErf.s);
    return buf;
}

// A record with a different value in every field.
NzaRecord voll(int sa = 10, const char* pnr = "        ", const char* zeit = "060000") {
    NzaRecord r;
    r.NzaSa = sa;
    r.NzaApl = "APL01";
    r.NzaApk = "000000004711";
    r.NzaApp = "00010";
    r.NzaPnr = pnr;
    r.NzaDtmDat = "20240304";
    r.NzaDtmZeit = zeit;
    r.NzaBmk = "BG";
    r.NzaEdtDat = "20240305";
    r.NzaEdtZeit = "143059";
    r.NzaEmk = "EG";
    r.NzaUbg = "UBG1";
    r.NzaEmo = "FRUEH";
    r.NzaTtp = "T1";
    r.NzaJwo = "2410";
    r.NzaTnr = "TEIL-4711";
    r.NzaErf = "ERF00001";
    std::int32_t* ganz[] = {&r.NzaBeg, &r.NzaBbn, &r.NzaBln, &r.NzaEnd, &r.NzaEbn, &r.NzaEln,
                            &r.NzaRau, &r.NzaVar, &r.Nza00A, &r.Nza00U, &r.Nza00S, &r.NzaWtg,
                            &r.NzaJtg, &r.NzaWoc, &r.NzaPzm, &r.NzaMaz, &r.NzaFnr};
    int i = 1;
    for (std::int32_t* f : ganz) *f = i++;
    double* dez[] = {&r.NzaGum, &r.NzaAum, &r.NzaNzr, &r.NzaBzr, &r.NzaUzr, &r.NzaPzr, &r.NzaRbz, &r.NzaNza,
                     &r.NzaBzA, &r.NzaUza, &r.NzaPza, &r.NzaAbz, &r.NzaBzu, &r.NzaNzu, &r.NzaPzu, &r.NzaUbz,
                     &r.NzaSol, &r.NzaIst, &r.NzaPau, &r.NzaRf1, &r.NzaRf2, &r.NzaRf3};
    for (double* f : dez) *f = 0.01 * i++;
    return r;
}

NzaRecord schluesselVon(const NzaRecord& v) {
    NzaRecord k;
    k.NzaSa = v.NzaSa;
    k.NzaApl = v.NzaApl;
    k.NzaApk = v.NzaApk;
    k.NzaApp = v.NzaApp;
    k.NzaPnr = v.NzaPnr;
    k.NzaDtmDat = v.NzaDtmDat;
    k.NzaDtmZeit = v.NzaDtmZeit;
    return k;
}

class DbMelNza : public fixtures::DbTest {};

TEST_P(DbMelNza, InsertedRecordReadsBackFieldForField) {
    const NzaRecord v = voll();
    const std::string heute = fixtures::tag(0);
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    NzaRecord r = schluesselVon(v);
    ASSERT_EQ(0, Nza_PKeyReadk(&r));
    EXPECT_EQ(alles(v), alles(r));
    // Columns that differ only in their order between record and table.
    EXPECT_DOUBLE_EQ(v.NzaBzu, zahl("select NzaBzu from Hlx590Nza"));
    EXPECT_DOUBLE_EQ(v.NzaNzu, zahl("select NzaNzu from Hlx590Nza"));
    EXPECT_EQ("2024-03-05 14:30:59", wert("select NzaEdt from Hlx590Nza"));
    EXPECT_TRUE(fixtures::amTag(heute, wert("select NzaDat from Hlx590Nza")));
}

TEST_P(DbMelNza, EmptyDateAndTimeAreStoredAsNull) {
    NzaRecord v = voll();
    v.NzaEdtDat.clear();
    v.NzaEdtZeit.clear();
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    EXPECT_EQ("", wert("select NzaEdt from Hlx590Nza"));
    NzaRecord r = schluesselVon(v);
    ASSERT_EQ(0, Nza_PKeyReadk(&r));
    EXPECT_TRUE(r.NzaEdtDat.empty());
    EXPECT_TRUE(r.NzaEdtZeit.empty());

    // A date without a time is the start of that day.
    v.NzaDtmZeit = "070000";
    v.NzaEdtDat = "20240305";
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    EXPECT_EQ("2024-03-05 00:00:00", wert("select NzaEdt from Hlx590Nza where NzaEdt is not null"));
}

TEST_P(DbMelNza, ADateWrittenWithoutTimeReadsAsMidnight) {
    fixtures::NzaZeile z;
    z.sa = 11;
    z.dtm = "2024-03-04";
    fixtures::nza(db, z);
    NzaRecord r = voll(11, "00001234", "000000");
    ASSERT_EQ(Nza_PKeyReadk(&r), 0);
    EXPECT_EQ(r.NzaDtmZeit, "000000");
}

TEST_P(DbMelNza, UpdateRewritesEveryColumnOfTheRowWithTheWholeKey) {
    NzaRecord v = voll();
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    NzaRecord andere = voll(10, "        ", "060001");
    ASSERT_EQ(0, Nza_PKeyIns(&andere));
    testdb::sql(db, "update Hlx590Nza set NzaDat = " + fixtures::q("2001-01-01 00:00:00"));

    NzaRecord neu = voll(10);
    neu.NzaGum = 99.5;
    neu.NzaWtg = 77;
    neu.NzaEmo = "SPAET";
    neu.NzaTtp = "T9";
    neu.Nza00S = 55;
    neu.NzaEdtDat = "20240306";
    const std::string heute = fixtures::tag(0);
    ASSERT_EQ(0, Nza_PKeyUpd(&neu));
    NzaRecord r = schluesselVon(neu);
    ASSERT_EQ(0, Nza_PKeyReadk(&r));
    EXPECT_EQ(alles(neu), alles(r));
    EXPECT_TRUE(fixtures::amTag(heute, wert("select NzaDat from Hlx590Nza where NzaGum = 99.5")));
    EXPECT_EQ("2001-01-01", wert("select NzaDat from Hlx590Nza where NzaGum <> 99.5").substr(0, 10));

    neu.NzaDtmZeit = "060002";
    EXPECT_EQ(1403, Nza_PKeyUpd(&neu));
}

TEST_P(DbMelNza, ReadWithoutRowKeepsKeyTextsAnd00SAndZeroesTheOtherNumbers) {
    const NzaRecord v = voll();
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    NzaRecord r = voll();
    r.NzaDtmZeit = "060001";  // same day, another second
    EXPECT_EQ(1403, Nza_PKeyReadk(&r));
    EXPECT_EQ(10, r.NzaSa);
    EXPECT_EQ(r.NzaPnr, "        ");
    EXPECT_EQ(r.NzaDtmDat, "20240304");
    EXPECT_EQ(r.NzaDtmZeit, "060001");
    EXPECT_EQ(r.NzaEdtZeit, "143059");
    EXPECT_EQ(r.NzaJwo, "2410");
    EXPECT_EQ(r.NzaTnr, "TEIL-4711");
    EXPECT_EQ(v.Nza00S, r.Nza00S);
    EXPECT_EQ(0, r.NzaBeg);
    EXPECT_EQ(0, r.NzaMaz);
    EXPECT_EQ(0, r.NzaFnr);
    EXPECT_EQ(0.0, r.NzaGum);
    EXPECT_EQ(0.0, r.NzaRf3);
}

TEST_P(DbMelNza, DuplicateKeyFailsAndKeepsWhatWasCommittedBefore) {
    const NzaRecord a = voll(10, "00000001");
    const NzaRecord b = voll(10, "00000002");
    ASSERT_EQ(0, Nza_PKeyIns(&a));
    ASSERT_EQ(0, Nza_PKeyIns(&b));
    NzaRecord nochmal = voll(10, "00000001");
    nochmal.NzaGum = 42;
    EXPECT_EQ(-1, Nza_PKeyIns(&nochmal));
    EXPECT_EQ("2", wert("select count(*) from Hlx590Nza"));
    EXPECT_EQ("0", wert("select count(*) from Hlx590Nza where NzaGum = 42"));

    fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert");
    const NzaRecord c = voll(10, "00000003");
    EXPECT_EQ(-20000, Nza_PKeyIns(&c));
    EXPECT_EQ("2", wert("select count(*) from Hlx590Nza"));
}

TEST_P(DbMelNza, PositionCursorDeliversItsRowsByPersonAndBegin) {
    for (const char* pnr : {"00000002", "00000001"})
        for (const char* zeit : {"100000", "080000"}) {
            const NzaRecord v = voll(5, pnr, zeit);
            ASSERT_EQ(0, Nza_PKeyIns(&v));
        }
    NzaRecord fremd = voll(6, "00000001");
    ASSERT_EQ(0, Nza_PKeyIns(&fremd));
    fremd = voll(5, "00000001");
    fremd.NzaApl = "APL02";
    ASSERT_EQ(0, Nza_PKeyIns(&fremd));

    NzaRecord s;
    s.NzaSa = 5;
    s.NzaApl = "APL01";
    s.NzaApk = "000000004711";
    s.NzaApp = "00010";
    ASSERT_EQ(0, Nza_PosOpen(s));
    NzaRecord r;
    std::string folge;
    while (Nza_PosFetch(&r) == 0) folge += r.NzaPnr.str() + "/" + r.NzaDtmZeit.str() + " ";
    EXPECT_EQ("00000001/080000 00000001/100000 00000002/080000 00000002/100000 ", folge);
    // The failed fetch keeps the last row's key, its texts and Nza00S, and zeroes the other numbers.
    EXPECT_EQ(r.NzaPnr, "00000002");
    EXPECT_EQ(r.NzaDtmZeit, "100000");
    EXPECT_EQ(r.NzaEmo, "FRUEH");
    EXPECT_EQ(11, r.Nza00S);
    EXPECT_EQ(0.0, r.NzaGum);
    EXPECT_EQ(0, r.NzaBeg);
    EXPECT_EQ(0, Nza_PosClose());

    // A cursor without rows hands back the key it was opened with.
    s.NzaApp = "00020";
    ASSERT_EQ(0, Nza_PosOpen(s));
    r = voll(10, "00000009");
    EXPECT_EQ(1403, Nza_PosFetch(&r));
    EXPECT_EQ(5, r.NzaSa);
    EXPECT_EQ(r.NzaApp, "00020");
    EXPECT_TRUE(r.NzaPnr.empty());
    EXPECT_EQ(r.NzaTnr, "TEIL-4711");
    Nza_PosClose();
}

TEST_P(DbMelNza, DeletesRemoveOnlyTheirKindWorkstationAndPosition) {
    NzaRecord v = voll(10, "00000001");
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    v.NzaPnr = "00000002";
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    v.NzaApl = "APL02";
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    v = voll(10);
    v.NzaApp = "00020";
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    v = voll(11);
    v.NzaApl = "          ";
    ASSERT_EQ(0, Nza_PKeyIns(&v));
    v = voll(5);
    ASSERT_EQ(0, Nza_PKeyIns(&v));

    MelRecord m = fixtures::schluessel("APL01");
    EXPECT_EQ(0, Nza_SA10_Del(m));
    EXPECT_EQ("0", wert("select count(*) from Hlx590Nza where NzaSa = 10 and NzaApl = 'APL01' and NzaApp = '00010'"));
    EXPECT_EQ("4", wert("select count(*) from Hlx590Nza"));
    EXPECT_EQ(1403, Nza_SA10_Del(m));
    EXPECT_EQ(0, Nza_SA11_Del(m));
    EXPECT_EQ("0", wert("select count(*) from Hlx590Nza where NzaSa = 11"));
    EXPECT_EQ("3", wert("select count(*) from Hlx590Nza"));

    NzaRecord k;
    k.NzaSa = 5;
    k.NzaApl = "APL01";
    k.NzaApk = "000000004711";
    k.NzaApp = "00010";
    EXPECT_EQ(0, Nza_SA_Del(k));
    EXPECT_EQ("2", wert("select count(*) from Hlx590Nza"));
}

FIXTURES_BACKENDS(DbMelNza);

}  // namespace
