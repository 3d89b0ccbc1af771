// Shift-model assignments (Hlx532Aem with their shift model and calendar
// days) and workstations (Hlx531Apl).
#include "db/Anweisungen.h"
#include "db/Dbstd.h"
#include "db/runtime/Runtime.h"

namespace {

const char kAem_TagOpen[] =
    "select AemApg ,AemEmo ,TO_CHAR(AemGvo,'yyyymmdd') ,AemBez ,AemTxt ,AemKal ,AemLkz ,AemVzt ,A"
    "emEzt ,AemPrz ,AemAfz ,AemApz ,AemPrp ,AemAfp ,AemApp ,KalBtp ,TO_CHAR(KalDtm,'yyyymmdd') ,B"
    "akJhr ,BakMon ,BakWch ,BakWtg ,BakJtg ,AemMaz  from Hlx532Aem ,HlSystem.Hlx133Kal ,HlSystem."
    "Hlx133Bak ,Hlx533Emo where ((((((((AemApg=:b0 and AemKng=:b1) and TO_CHAR(AemGvo,'yyyymmdd')"
    "<=:b2) and (TO_CHAR(AemGbi,'yyyymmdd')>=:b2 or AemGbi is null )) and AemKal=KalNum) and TO_C"
    "HAR(KalDtm,'yyyymmdd')=:b2) and TO_CHAR(BakDtm,'yyyymmdd')=:b2) and AemEmo=EmoEmo) and EmoTt"
    "p=KalBtp) order by EmoBeg            ";

const char kApl_PKeyReadk[] =
    "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,AplAaf ,AplUbg ,TO_CH"
    "AR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,AplRsp ,AplRsi ,AplAfp ,AplAfi ,AplPau ,AplUn"
    "t ,AplIak ,AplAvt ,AplKap ,AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,AplSf2 ,AplSf3 ,A"
    "plZf1 ,AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf into :b0:b1,:b2:b3,:b4:b5,:b6:b7,:b8:b"
    "9,:b10:b11,:b12:b13,:b14:b15,:b16:b17,:b18:b19,:b20:b21,:b22:b23,:b24:b25,:b26:b27,:b28:b29,"
    ":b30:b31,:b32:b33,:b34:b35,:b36:b37,:b38:b39,:b40:b41,:b42:b43,:b44:b45,:b46:b47,:b48:b49,:b"
    "50:b51,:b52:b53,:b54:b55,:b56:b57,:b58:b59,:b60:b61,:b62:b63,:b64:b65,:b66:b67,:b68:b69,:b70"
    ":b71,:b72:b73  from Hlx531Apl where AplApl=:b0";

rt::Cursor aemCursor;
// The open's values must outlive the open; the day takes four binds.
AemRecord aemSchluessel;
// A failed fetch leaves the caller's record alone, so rows land here first.
AemRecord aemPuffer;

// A December day in week 1 belongs to the next year's weeks, a January day in
// week 52 or 53 to the previous year's.
std::int32_t wochenJahr(const AemRecord& a) {
    if (a.BakMon == 12 && a.BakWch == 1) return a.BakJhr + 1;
    if (a.BakMon == 1 && a.BakWch > 51) return a.BakJhr - 1;
    return a.BakJhr;
}

}  // namespace

std::int32_t Aem_TagOpen(AemRecord key) {
    aemSchluessel.AemApg = key.AemApg;
    aemSchluessel.AemKng = key.AemKng;
    aemSchluessel.AemTag = key.AemTag;
    return rt::open(aemCursor, kAem_TagOpen,
                    {rt::txt(aemSchluessel.AemApg), rt::i32(aemSchluessel.AemKng), rt::txt(aemSchluessel.AemTag),
                     rt::txt(aemSchluessel.AemTag), rt::txt(aemSchluessel.AemTag), rt::txt(aemSchluessel.AemTag)});
}

std::int32_t Aem_TagFetch(AemRecord* r) {
    AemRecord& p = aemPuffer;
    std::int32_t rc = rt::fetch(aemCursor, {rt::txt(p.AemApg), rt::txt(p.AemEmo), rt::txt(p.AemGvo), rt::txt(p.AemBez),
                                            rt::txt(p.AemTxt), rt::txt(p.AemKal), rt::i32(p.AemLkz), rt::i32(p.AemVzt),
                                            rt::i32(p.AemEzt), rt::i32(p.AemPrz), rt::i32(p.AemAfz), rt::i32(p.AemApz),
                                            rt::i32(p.AemPrp), rt::i32(p.AemAfp), rt::i32(p.AemApp), rt::i32(p.KalBtp),
                                            rt::txt(p.KalDtm), rt::i32(p.BakJhr), rt::i32(p.BakMon), rt::i32(p.BakWch),
                                            rt::i32(p.BakWtg), rt::i32(p.BakJtg), rt::i32(p.AemMaz)});
    if (rc != 0) return rc;
    // The key fields that the select does not deliver stay the caller's.
    p.AemKng = r->AemKng;
    p.AemTag = r->AemTag;
    p.WochenJahr = wochenJahr(p);
    *r = p;
    return rc;
}

std::int32_t Aem_TagClose() { return rt::close(aemCursor); }

std::int32_t Apl_PKeyReadk(AplRecord* r) {
    const Text<10> apl = r->AplApl;
    return rt::exec(kApl_PKeyReadk, {rt::txt(apl)},
                    {rt::txt(r->AplApl),  rt::txt(r->AplBez),  rt::txt(r->AplTxt),  rt::txt(r->AplApg),
                     rt::txt(r->AplFbe),  rt::i32(r->AplSts),  rt::i32(r->AplSis),  rt::i32(r->AplApr),
                     rt::i32(r->AplAaf),  rt::txt(r->AplUbg),  rt::txt(r->AplUdt),  rt::i32(r->AplTag),
                     rt::i32(r->AplVrf),  rt::real(r->AplRsp), rt::real(r->AplRsi), rt::real(r->AplAfp),
                     rt::real(r->AplAfi), rt::real(r->AplPau), rt::i32(r->AplUnt),  rt::i32(r->AplIak),
                     rt::real(r->AplAvt), rt::real(r->AplKap), rt::real(r->AplAvr), rt::real(r->AplAvp),
                     rt::txt(r->AplSt1),  rt::txt(r->AplSt2),  rt::txt(r->AplSt3),  rt::txt(r->AplSf1),
                     rt::txt(r->AplSf2),  rt::txt(r->AplSf3),  rt::txt(r->AplZf1),  rt::txt(r->AplZf2),
                     rt::txt(r->AplZf3),  rt::txt(r->AplDna),  rt::txt(r->AplDwn),  rt::i32(r->AplSta),
                     rt::txt(r->AplErf)});
}

std::span<const Anweisung> Dbstd_AemTexte() {
    static constexpr Anweisung texte[] = {
        {"Aem_TagOpen", kAem_TagOpen},
        {"Apl_PKeyReadk", kApl_PKeyReadk},
    };
    return texte;
}
