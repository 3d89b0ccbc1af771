#include "db/Ladezeilen.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"

namespace {

rt::Bind s(const std::string& v) { return rt::txt(v.c_str()); }

}  // namespace

std::int32_t Laden_Auftrag(const LadeAuftrag& a) {
    const std::int32_t offen = 20;
    return rt::exec("insert into Hlx501Apk (ApkApk,ApkBz1,ApkTnr,ApkMee,ApkSts) values (:b0,:b1,:b2,:b3,:b4)",
                    {s(a.apk), s(a.bz1), s(a.tnr), rt::txt("STK"), rt::i16(offen)});
}

std::int32_t Laden_Position(const LadePosition& p) {
    const double null = 0;
    return rt::exec("insert into Hlx504App (AppApk,AppApp,AppBz1,AppSts,AppBdi,AppEdi,AppSme,AppIme,AppMee,AppSza,"
                    "AppStr,AppSte,AppIta,AppItr,AppIte,AppApl,AppZf2,AppZf3) values (:b0,:b1,:b2,:b3,"
                    "TO_DATE(:b4,'yyyymmddHH24MISS'),TO_DATE(:b5,'yyyymmddHH24MISS'),:b6,:b7,:b8,:b9,:b10,:b11,:b12,"
                    ":b13,:b14,:b15,:b16,:b17)",
                    {s(p.apk), s(p.app), s(p.bz1), rt::i16(p.sts), s(p.bdi), s(p.edi), rt::real(p.sme), rt::real(p.ime),
                     rt::txt("STK"), rt::real(p.sza), rt::real(p.str), rt::real(p.ste), rt::real(null), rt::real(null),
                     rt::real(null), s(p.apl), s(p.zf2), s(p.zf3)});
}

std::int32_t Laden_Meldung(const LadeMeldung& m) {
    const std::int32_t lfn = 1;
    const std::string dat = m.tag + m.uhr;
    return rt::exec("insert into Hlx560Mel (KeyBnr,KeyLfn,ObjTyp,KeyPnr,KeyApl,KeyApk,KeyApp,KeyDat,KeyUhr,MelFcd,"
                    "MelGum,MelFam,MelNam,MelMee,MelErf) values (:b0,:b1,:b2,:b3,:b4,:b5,:b6,"
                    "TO_DATE(:b7,'yyyymmddHH24MISS'),:b8,:b9,:b10,:b11,:b12,:b13,:b14)",
                    {rt::i32(m.bnr), rt::i32(lfn), s(m.objTyp), s(m.pnr), s(m.apl), s(m.apk), s(m.app), s(dat),
                     s(m.uhr), s(m.fcd), rt::real(m.gum), rt::real(m.fam), rt::real(m.nam), rt::txt("STK"),
                     rt::txt("TERM01")});
}

std::int32_t Laden_Arbeitsplatz(const std::string& apl, const std::string& bez, const std::string& gruppe,
                                std::optional<std::int32_t> sts) {
    if (!sts)
        return rt::exec("insert into Hlx531Apl (AplApl,AplBez,AplApg) values (:b0,:b1,:b2)",
                        {s(apl), s(bez), s(gruppe)});
    return rt::exec("insert into Hlx531Apl (AplApl,AplBez,AplApg,AplSts) values (:b0,:b1,:b2,:b3)",
                    {s(apl), s(bez), s(gruppe), rt::i16(*sts)});
}

std::int32_t Laden_Schichtmodell(const std::string& emo, const std::string& bez, std::int32_t ttp, double beg) {
    return rt::exec("insert into Hlx533Emo (EmoEmo,EmoBez,EmoTtp,EmoBeg) values (:b0,:b1,:b2,:b3)",
                    {s(emo), s(bez), rt::i32(ttp), rt::real(beg)});
}

std::int32_t Laden_Kalendertag(const std::string& kal, const std::string& tag, std::int32_t btp) {
    return rt::exec("insert into HlSystem.Hlx133Kal (KalNum,KalDtm,KalBtp) values (:b0,TO_DATE(:b1,'yyyymmdd'),:b2)",
                    {s(kal), s(tag), rt::i32(btp)});
}

std::optional<LadeAllgKalendertag> AllgKalendertag(const std::string& tag) {
    std::tm t{};
    if (tag.size() != 8 || std::sscanf(tag.c_str(), "%4d%2d%2d", &t.tm_year, &t.tm_mon, &t.tm_mday) != 3)
        return std::nullopt;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    // noon: no daylight-saving change moves it to another day
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);  // fills weekday and day of the year
    char woche[4];
    std::strftime(woche, sizeof woche, "%V", &t);
    LadeAllgKalendertag k;
    k.tag = tag;
    k.jahr = t.tm_year + 1900;
    k.monat = t.tm_mon + 1;
    k.woche = std::atoi(woche);
    k.wochentag = t.tm_wday == 0 ? 7 : t.tm_wday;
    k.jahrestag = t.tm_yday + 1;
    return k;
}

std::int32_t Laden_AllgKalendertag(const LadeAllgKalendertag& k) {
    return rt::exec("insert into HlSystem.Hlx133Bak (BakDtm,BakJhr,BakMon,BakWch,BakWtg,BakJtg) values "
                    "(TO_DATE(:b0,'yyyymmdd'),:b1,:b2,:b3,:b4,:b5)",
                    {s(k.tag), rt::i32(k.jahr), rt::i32(k.monat), rt::i32(k.woche), rt::i32(k.wochentag),
                     rt::i32(k.jahrestag)});
}

std::int32_t Laden_Zuordnung(const LadeZuordnung& z) {
    return rt::exec("insert into Hlx532Aem (AemKng,AemApg,AemGvo,AemEmo,AemBez,AemKal,AemAfz,AemLkz) values "
                    "(:b0,:b1,TO_DATE(:b2,'yyyymmdd'),:b3,:b4,:b5,:b6,:b7)",
                    {rt::i32(z.kng), s(z.apg), s(z.gvo), s(z.emo), s(z.bez), s(z.kal), rt::i32(z.afz), rt::i32(z.lkz)});
}

std::int32_t Laden_Quelle(const LadeQuelle& q) {
    return rt::exec("insert into Hlx590Nza (NzaSa,NzaApl,NzaApk,NzaApp,NzaPnr,NzaDtm,NzaEdt,NzaBmk,NzaEmk,NzaNza,"
                    "NzaBzA,NzaNzr,NzaBzr,NzaRbz,NzaErf) values (:b0,:b1,:b2,:b3,:b4,TO_DATE(:b5,'yyyymmddHH24MISS'),"
                    "TO_DATE(:b6,'yyyymmddHH24MISS'),:b7,:b8,:b9,:b10,:b11,:b12,:b13,:b14)",
                    {rt::i16(q.sa), s(q.apl), s(q.apk), s(q.app), s(q.pnr), s(q.dtm), s(q.edt), rt::txt("BG"),
                     rt::txt("EG"), rt::real(q.nza), rt::real(q.nza), rt::real(q.nzr), rt::real(q.nzr), rt::real(q.rbz),
                     rt::txt("ZEITERF")});
}

std::int32_t Laden_Merker(const LadeMerker& m) {
    return rt::exec("insert into Hlx563Mrk (MrkKng,MrkApl,MrkApk,MrkApp,MrkPnr,MrkBnr,MrkObj,MrkMdt,MrkEsb) values "
                    "(:b0,:b1,:b2,:b3,:b4,:b5,:b6,TO_DATE(:b7,'yyyymmddHH24MISS'),:b8)",
                    {rt::txt("NZA"), s(m.apl), s(m.apk), s(m.app), s(m.pnr), rt::i32(m.bnr), rt::txt("M_A"), s(m.mdt),
                     rt::txt("TERM01")});
}

std::int32_t Laden_Nummernkreis(std::int32_t letzte, const std::string& esb) {
    return rt::exec("insert into Hlx552Bnr (BnrKey,BnrBnr,BnrEsb) values (:b0,:b1,:b2)",
                    {rt::txt("PPSNR"), rt::i32(letzte), s(esb)});
}

std::int32_t Laden_LaufparameterLoeschen() {
    static constexpr std::int32_t kArt = 2;
    const std::int32_t rc = rt::exec("delete from Hlx591Nzp  where NzpAkz=:b0", {rt::i32(kArt)});
    return rc == rt::err::NotFound ? 0 : rc;
}
