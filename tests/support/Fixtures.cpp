#include "tests/support/Fixtures.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/Ladezeilen.h"
#include "db/runtime/Runtime.h"
#include "util/MsgLog.h"
#include "util/RunContext.h"

namespace fixtures {

namespace {

bool pg(const testdb::Db& db) { return db.backend == testdb::Backend::Postgres; }

// The calendar tables live in the system schema on PostgreSQL.
std::string systemTabelle(const testdb::Db& db, const char* tabelle) {
    return (pg(db) ? std::string("hlsystem.") : std::string()) + tabelle;
}

std::string n(long v) { return std::to_string(v); }

// Inserts the row unless a row with the same key condition exists: shared
// master data (shift models, calendar days) may be asked for more than once.
void einmal(const testdb::Db& db, const std::string& tabelle, const std::string& spalten, const std::string& werte,
            const std::string& bedingung) {
    testdb::sql(db, "insert into " + tabelle + " (" + spalten + ") select " + werte +
                        " where not exists (select 1 from " + tabelle + " where " + bedingung + ")");
}

}  // namespace

std::string q(const std::string& s) {
    if (s.empty()) return "NULL";
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::string r(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string tag(int tage) {
    std::time_t jetzt = std::time(nullptr);
    std::tm t{};
    localtime_r(&jetzt, &t);
    t.tm_mday += tage;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &t);
    return buf;
}

::testing::AssertionResult amTag(const std::string& vorher, const std::string& stempel) {
    auto ziffern = [](const std::string& s) {
        std::string d;
        for (char c : s)
            if (c != '-') d += c;
        return d.substr(0, 8);
    };
    const std::string jetzt = tag(0);
    const std::string t = ziffern(stempel);
    if (t == ziffern(vorher) || t == ziffern(jetzt)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "stamp \"" << stempel << "\" is of neither " << vorher << " nor " << jetzt;
}

void auftrag(const testdb::Db& db, const std::string& apk, const std::string& tnr) {
    testdb::sql(db, "insert into Hlx501Apk (ApkApk, ApkTnr, ApkBz1) values (" + q(apk) + "," + q(tnr) + ",'Auftrag " +
                        apk + "')");
}

void position(const testdb::Db& db, const Position& p) {
    testdb::sql(db, "insert into Hlx504App (AppApk, AppApp, AppSts, AppBdi, AppEdi, AppSme, AppIme, AppSza, AppStr, "
                    "AppSte, AppIta, AppItr, AppIte, AppApl, AppMee, AppZf2, AppZf3, AppBz1) values (" +
                        q(p.apk) + "," + q(p.app) + "," + n(p.sts) + "," + q(p.bdi) + "," + q(p.edi) + "," + r(p.sme) +
                        "," + r(p.ime) + "," + r(p.sza) + "," + r(p.str) + "," + r(p.ste) + "," + r(p.ita) + "," +
                        r(p.itr) + "," + r(p.ite) + "," + q(p.apl) + "," + q(p.mee) + "," + q(p.zf2) + "," + q(p.zf3) +
                        ",'Fraesen')");
}

void meldung(const testdb::Db& db, const Meldung& m) {
    testdb::sql(db, "insert into Hlx560Mel (KeyBnr, KeyLfn, ObjTyp, KeyPnr, KeyApl, KeyApk, KeyApp, KeyDat, MelFcd, "
                    "MelGum, MelFam, MelNam) values (" +
                        n(m.bnr) + ",1," + q(m.objTyp) + "," + q(m.pnr) + "," + q(m.apl) + "," + q(m.apk) + "," +
                        q(m.app) + "," + q(m.datum) + "," + q(m.fcd) + "," + r(m.gum) + "," + r(m.fam) + "," +
                        r(m.nam) + ")");
}

void positionMitMeldung(const testdb::Db& db, const Position& p, const std::string& apl) {
    position(db, p);
    Meldung m;
    m.apk = p.apk;
    m.app = p.app;
    m.apl = apl;
    meldung(db, m);
}

void arbeitsplatz(const testdb::Db& db, const std::string& apl, const std::string& gruppe) {
    einmal(db, "Hlx531Apl", "AplApl, AplApg, AplBez", q(apl) + "," + q(gruppe) + ",'Arbeitsplatz " + apl + "'",
           "AplApl=" + q(apl));
}

void schichtmodell(const testdb::Db& db, const std::string& emo, int ttp, const std::string& beg) {
    std::string beginn = beg;
    int stunde = 0, minute = 0;
    if (const auto blank = beg.find(' ');
        blank != std::string::npos && std::sscanf(beg.c_str() + blank + 1, "%d:%d", &stunde, &minute) == 2) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d.%02d", stunde, minute);
        beginn = buf;
    }
    einmal(db, "Hlx533Emo", "EmoEmo, EmoTtp, EmoBeg", q(emo) + "," + n(ttp) + "," + beginn, "EmoEmo=" + q(emo));
}

void kalendertag(const testdb::Db& db, const std::string& kal, const std::string& tag, int btp) {
    const std::string tabelle = systemTabelle(db, "Hlx133Kal");
    const std::string stunde = tag.substr(0, 10) + " 00:00:00";
    einmal(db, tabelle, "KalNum, KalDtm, KalBtp", q(kal) + "," + q(stunde) + "," + n(btp),
           "KalNum=" + q(kal) + " and KalDtm=" + q(stunde));
}

void allgKalendertag(const testdb::Db& db, const std::string& tag) {
    const std::string tabelle = systemTabelle(db, "Hlx133Bak");
    const std::string stunde = tag.substr(0, 10) + " 00:00:00";
    const auto k = AllgKalendertag(tag.substr(0, 4) + tag.substr(5, 2) + tag.substr(8, 2));
    if (!k || tag[4] != '-' || tag[7] != '-') throw std::invalid_argument("not a date: " + tag);
    einmal(db, tabelle, "BakDtm, BakJhr, BakMon, BakWch, BakWtg, BakJtg",
           q(stunde) + "," + n(k->jahr) + "," + n(k->monat) + "," + n(k->woche) + "," + n(k->wochentag) + "," +
               n(k->jahrestag),
           "BakDtm=" + q(stunde));
}

void zuordnung(const testdb::Db& db, const Zuordnung& z) {
    testdb::sql(db, "insert into Hlx532Aem (AemKng, AemApg, AemEmo, AemGvo, AemGbi, AemKal, AemAfz, AemLkz, AemBez) "
                    "values (" +
                        n(z.kng) + "," + q(z.apg) + "," + q(z.emo) + "," +
                        q(z.gvo.empty() ? "" : z.gvo.substr(0, 10) + " 00:00:00") + "," +
                        q(z.gbi.empty() ? "" : z.gbi.substr(0, 10) + " 00:00:00") + "," + q(z.kal) + "," + n(z.afz) +
                        "," + n(z.lkz) + ",'Zuordnung')");
}

void variante(const testdb::Db& db, const std::string& apl, int afz, int lkz, const std::string& tag,
              const std::string& gruppe) {
    arbeitsplatz(db, apl, gruppe);
    schichtmodell(db, "FRUEH", 1, "1980-01-01 06:00:00");
    kalendertag(db, "K1", tag, 1);
    allgKalendertag(db, tag);
    Zuordnung z;
    z.apg = apl;
    z.afz = afz;
    z.lkz = lkz;
    zuordnung(db, z);
}

void nza(const testdb::Db& db, const NzaZeile& z) {
    testdb::sql(db, "insert into Hlx590Nza (NzaSa, NzaApl, NzaApk, NzaApp, NzaPnr, NzaDtm, NzaEdt, NzaBmk, NzaEmk, "
                    "NzaNza, NzaAbz, NzaPza, NzaNzr, NzaBzr, NzaRbz, NzaPzr, NzaUza, NzaUzr, NzaNzu, NzaBzu, NzaPzu, "
                    "NzaBzA, NzaGum, NzaAum, NzaRf1, NzaMaz, NzaTnr, NzaErf) values (" +
                        n(z.sa) + "," + q(z.apl) + "," + q(z.apk) + "," + q(z.app) + "," + q(z.pnr) + "," + q(z.dtm) +
                        "," + q(z.edt) + ",'BG','EG'," + r(z.nza) + "," + r(z.abz) + "," + r(z.pza) + "," + r(z.nzr) +
                        "," + r(z.bzr) + "," + r(z.rbz) + "," + r(z.pzr) + "," + r(z.uza) + "," + r(z.uzr) + "," +
                        r(z.nzu) + "," + r(z.bzu) + "," + r(z.pzu) + "," + r(z.bza) + "," + r(z.gum) + "," + r(z.aum) +
                        "," + r(z.rf1) + "," + n(z.maz) + "," + q(z.tnr) + "," + q(z.erf) + ")");
}

void merker(const testdb::Db& db, const Merker& m) {
    testdb::sql(db, "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt, MrkObj, MrkEsb) "
                    "values (" +
                        q(m.kng) + "," + q(m.apl) + "," + q(m.apk) + "," + q(m.app) + "," + q(m.pnr) + "," + n(m.bnr) +
                        "," + q(m.mdt) + ",'M_A','TERM01')");
}

void laufparameter(const testdb::Db& db, int akz, int vonTagen, int bisTagen) {
    testdb::sql(db, "insert into Hlx591Nzp (NzpAkz, NzpGvn, NzpGbi, NzpAak, NzpAwt, NzpKjh, NzpKmn, NzpKwo, NzpKtg, "
                    "NzpAan, NzpVfh, NzpNfh, NzpMrk, NzpAus) values (" +
                        n(akz) + "," + q(tag(vonTagen) + " 00:00:00") + "," + q(tag(bisTagen) + " 00:00:00") +
                        ",1,2,2024,3,10,4,17,5,6,0,'ALT')");
}

MelRecord schluessel(const std::string& apl) {
    MelRecord m{};
    m.KeyApl = apl;
    m.KeyApk = "000000004711";
    m.KeyApp = "00010";
    m.KeyDat = "20240304";
    m.MelErf = "ERF00001";
    return m;
}

NzaRecord gesamtZeile() {
    NzaRecord n{};
    n.NzaSa = 11;
    n.NzaApl = "          ";
    n.NzaApk = "000000004711";
    n.NzaApp = "00010";
    n.NzaPnr = "        ";
    n.NzaDtmDat = "20240304";
    n.NzaDtmZeit = "060000";
    n.NzaEdtDat = "20240304";
    n.NzaEdtZeit = "143000";
    n.NzaBmk = "BG";
    n.NzaEmk = "EG";
    n.NzaErf = "ERF00001";
    return n;
}

void ausloeser(const testdb::Db& db, const std::string& name, const std::string& zeitpunkt, const std::string& tabelle,
               const std::string& bedingung, const std::string& pgAktion, const std::string& sqliteAktion) {
    if (pg(db)) {
        testdb::sql(db, "create function " + name + "() returns trigger language plpgsql as $$ begin " + pgAktion +
                            "; return NEW; end $$");
        testdb::sql(db, "create trigger " + name + " " + zeitpunkt + " on " + tabelle + " for each row " +
                            (bedingung.empty() ? "" : "when (" + bedingung + ") ") + "execute function " + name + "()");
    } else {
        testdb::sql(db, "create trigger " + name + " " + zeitpunkt + " on " + tabelle + " " +
                            (bedingung.empty() ? "" : "when " + bedingung + " ") + "begin " + sqliteAktion + "; end");
    }
}

void schreibenVerhindern(const testdb::Db& db, const std::string& tabelle, const std::string& operation,
                         const std::string& bedingung) {
    ausloeser(db, "verhindern_" + tabelle + "_" + operation, "before " + operation, tabelle, bedingung,
              "raise exception 'verhindert'", "select raise(abort, 'verhindert')");
}

void DbTest::SetUp() {
    db = testdb::createConnected(GetParam());
    logPfad = db.dir + "/Korvimand.Txt";
    Msg_Open(7, logPfad.c_str());
    runContext = RunContext{};
    runContext.Erfasser = "ERF00001";
    runContext.MelAbDatum = "19800101";
}

void DbTest::TearDown() {
    rt::disconnect();
    testdb::destroy(db);
}

std::vector<e2e::LogEntry> DbTest::log() const {
    std::ifstream in(logPfad, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return e2e::parseLog(bytes.str());
}

double DbTest::zahl(const std::string& query) const {
    const std::string v = wert(query);
    if (v.empty()) throw std::runtime_error("no value: " + query);
    return std::stod(v);
}

}  // namespace fixtures
