// The error protocol (Hlx554Err).
#include "db/Anweisungen.h"
#include "db/DbMel.h"
#include "db/Stempel.h"
#include "db/Voraus.h"
#include "db/runtime/Runtime.h"

namespace {

const char kErr_PKeyIns[] =
    "insert into Hlx554Err (ErrErf,ErrEdt,ErrBer,ErrPnr,ErrApl,ErrApk,ErrApp,ErrFnr,ErrBnr,ErrPgm"
    ",ErrFun,ErrDat,ErrObj) values (:b0,TO_DATE(:b1,'yyyymmddHH24MISS'),:b2,:b3,:b4,:b5,:b6,:b7,:"
    "b8,:b9,:b10,sysdate,:b11)";

// Also the statement of Err_LZADel.
const char kErr_NZADel[] =
    "delete  from Hlx554Err  where (((ErrBer=:b0 and ErrFun=:b1) and ErrApk=:b2) and ErrApp=:b3)";

// Also the statement of Err_PKeyDel.
const char kErr_NZMDel[] =
    "delete  from Hlx554Err  where (((ErrBer=:b0 and TO_CHAR(ErrEdt,'yyyymmdd')=:b1) and ErrFun=:"
    "b2) and ErrPnr=:b3)";

const char kErr_PRFDelM[] =
    "delete  from Hlx554Err  where ((((ErrBer=:b0 and ErrFun=:b1) and ErrApl=:b2) and ErrObj=:b3)"
    " and TO_CHAR(ErrEdt,'yyyymmddHH24MISS')>=:b4)";

const char kErr_PRFDelMA[] =
    "delete  from Hlx554Err  where ((((((ErrBer=:b0 and ErrFun=:b1) and ErrApl=:b2) and ErrApk=:b"
    "3) and ErrApp=:b4) and ErrObj=:b5) and TO_CHAR(ErrEdt,'yyyymmddHH24MISS')>=:b6)";

const char kErr_PRFDelMPA[] =
    "delete  from Hlx554Err  where (((((((ErrBer=:b0 and ErrFun=:b1) and ErrApl=:b2) and ErrApk=:"
    "b3) and ErrApp=:b4) and ErrPnr=:b5) and ErrObj=:b6) and TO_CHAR(ErrEdt,'yyyymmddHH24MISS')>="
    ":b7)";

const char kErr_Count[] = "select count(*)  into :b0  from Hlx554Err where ErrFun=:b1";

// The record has no ErrBnr; nothing in the suite numbers protocol entries.
const std::int32_t kErrBnr = 0;

std::int32_t nzaDel(db::Schreiben schreiben, const Text<12>& apk, const Text<5>& app) {
    return schreiben("Err_NZADel", kErr_NZADel, {rt::txt("BDE"), rt::txt("NZA"), rt::txt(apk), rt::txt(app)});
}

}  // namespace

std::int32_t Err_PKeyIns(const ErrRecord* r) {
    return rt::write("Err_PKeyIns", kErr_PKeyIns,
                     {rt::txt(r->ErrErf), rt::txt(r->ErrEdt), rt::txt(r->ErrBer), rt::txt(r->ErrPnr),
                      rt::txt(r->ErrApl), rt::txt(r->ErrApk), rt::txt(r->ErrApp), rt::i32(r->ErrFnr), rt::i32(kErrBnr),
                      rt::txt(r->ErrPgm), rt::txt(r->ErrFun), rt::txt(r->ErrObj)});
}

std::int32_t Err_NZADel(const Text<12>& apk, const Text<5>& app) { return nzaDel(rt::write, apk, app); }

void Err_NZADelVoraus(const Text<12>& apk, const Text<5>& app) { nzaDel(db::voraus, apk, app); }

std::int32_t Err_LZADel(const Text<12>& apk, const Text<5>& app) {
    return rt::write("Err_LZADel", kErr_NZADel, {rt::txt("BDE"), rt::txt("LZA"), rt::txt(apk), rt::txt(app)});
}

std::int32_t Err_NZMDel(const Text<8>& pnr, const Text<8>& datum) {
    return rt::write("Err_NZMDel", kErr_NZMDel, {rt::txt("BDE"), rt::txt(datum), rt::txt("NZM"), rt::txt(pnr)});
}

std::int32_t Err_PKeyDel(const Text<8>& pnr, const Text<8>& datum) {
    return rt::write("Err_PKeyDel", kErr_NZMDel, {rt::txt("BDE"), rt::txt(datum), rt::txt("NZM"), rt::txt(pnr)});
}

std::int32_t Err_PRFDelM(const Text<10>& apl, const Text<8>& datum, const Text<6>& zeit) {
    char ab[15];
    stempel::anhaengen(ab, datum, zeit);
    return rt::write("Err_PRFDelM", kErr_PRFDelM,
                     {rt::txt("BDE"), rt::txt("PRF"), rt::txt(apl), rt::txt("M__"), rt::txt(ab, 15)});
}

std::int32_t Err_PRFDelMA(const Text<10>& apl, const Text<12>& apk, const Text<5>& app, const Text<8>& datum,
                          const Text<6>& zeit) {
    char ab[15];
    stempel::anhaengen(ab, datum, zeit);
    return rt::write("Err_PRFDelMA", kErr_PRFDelMA,
                     {rt::txt("BDE"), rt::txt("PRF"), rt::txt(apl), rt::txt(apk), rt::txt(app), rt::txt("M_A"),
                      rt::txt(ab, 15)});
}

std::int32_t Err_PRFDelMPA(const Text<10>& apl, const Text<12>& apk, const Text<5>& app, const Text<8>& pnr,
                           const Text<8>& datum, const Text<6>& zeit) {
    char ab[15];
    stempel::anhaengen(ab, datum, zeit);
    return rt::write("Err_PRFDelMPA", kErr_PRFDelMPA,
                     {rt::txt("BDE"), rt::txt("PRF"), rt::txt(apl), rt::txt(apk), rt::txt(app), rt::txt(pnr),
                      rt::txt("MPA"), rt::txt(ab, 15)});
}

std::int32_t Err_Count(const Text<3>& fun, std::int32_t* anzahl) {
    std::int32_t n = 0;
    std::int32_t rc = rt::exec(kErr_Count, {rt::txt(fun)}, {rt::i32(n)});
    if (rc == 0) *anzahl = n;
    return rc;
}

std::span<const Anweisung> DbMel_ErrTexte() {
    static constexpr Anweisung texte[] = {
        {"Err_PKeyIns", kErr_PKeyIns}, {"Err_NZADel", kErr_NZADel},     {"Err_NZMDel", kErr_NZMDel},
        {"Err_PRFDelM", kErr_PRFDelM}, {"Err_PRFDelMA", kErr_PRFDelMA}, {"Err_PRFDelMPA", kErr_PRFDelMPA},
        {"Err_Count", kErr_Count},
    };
    return texte;
}
