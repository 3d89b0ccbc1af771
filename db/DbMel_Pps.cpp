// The PPS upload table (Hlx580Pps) and number ranges (Hlx552Bnr).
#include "db/Anweisungen.h"
#include "db/DbMel.h"
#include "db/runtime/Runtime.h"

namespace {

const char kBnr_PKeyReadk[] =
    "select BnrKey ,BnrBnr ,BnrEsb into :b0:b1,:b2:b3,:b4:b5  from Hlx552Bnr where BnrKey=:b6";

const char kBnr_PKeyIns[] = "insert into Hlx552Bnr (BnrKey,BnrBnr,BnrEdt,BnrEsb) values (:b0,:b1,sysdate,:b2)";

const char kBnr_PKeyUpd[] = "update HLX552Bnr  set BnrKey=:b0,BnrBnr=:b1,BnrEdt=sysdate,BnrEsb=:b2 where BnrKey=:b0";

const char kPps_PKeyIns[] =
    "insert into Hlx580Pps (PpsDat,PpsLfn,PpsVkz,PpsFcd,PpsPnr,PpsApl,PpsApk,PpsApp,PpsAwn,PpsMdt"
    ",PpsMzt,PpsUbg,PpsAug,PpsSts,PpsSto,PpsGum,PpsFam,PpsMam,PpsNam,PpsMee,PpsZt1,PpsZt2,PpsZt3,"
    "PpsZf1,PpsZf2,PpsZf3) values (:b0,:b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,:b10,:b11,:b12,:b13,:b"
    "14,:b15,:b16,:b17,:b18,:b19,:b20,:b21,:b22,:b23,:b24,:b25)";

}  // namespace

std::int32_t Bnr_PKeyReadk(BnrRecord* r) {
    const Text<7> key = r->BnrKey;
    std::int32_t rc =
        rt::exec(kBnr_PKeyReadk, {rt::txt(key)}, {rt::txt(r->BnrKey), rt::i32(r->BnrBnr), rt::txt(r->BnrEsb)});
    if (rc != 0) {
        r->BnrKey = "XXXXX";
        r->BnrBnr = 0;
        r->BnrEdt.clear();
        r->BnrEsb.clear();
    }
    return rc;
}

std::int32_t Bnr_PKeyIns(const BnrRecord* r) {
    return rt::write("Bnr_PKeyIns", kBnr_PKeyIns, {rt::txt(r->BnrKey), rt::i32(r->BnrBnr), rt::txt(r->BnrEsb)});
}

std::int32_t Bnr_PKeyUpd(const BnrRecord* r) {
    return rt::write("Bnr_PKeyUpd", kBnr_PKeyUpd,
                     {rt::txt(r->BnrKey), rt::i32(r->BnrBnr), rt::txt(r->BnrEsb), rt::txt(r->BnrKey)});
}

// The planning system acts on an upload row: it is never seen before it is
// on the disk.
std::int32_t Pps_PKeyIns(const PpsRecord* r) {
    return rt::writeDurable("Pps_PKeyIns", kPps_PKeyIns,
                            {rt::txt(r->PpsDat),  rt::i32(r->PpsLfn),  rt::txt(r->PpsVkz),  rt::txt(r->PpsFcd),
                             rt::txt(r->PpsPnr),  rt::txt(r->PpsApl),  rt::txt(r->PpsApk),  rt::txt(r->PpsApp),
                             rt::txt(r->PpsAwn),  rt::txt(r->PpsMdt),  rt::txt(r->PpsMzt),  rt::txt(r->PpsUbg),
                             rt::txt(r->PpsAug),  rt::i32(r->PpsSts),  rt::txt(r->PpsSto),  rt::real(r->PpsGum),
                             rt::real(r->PpsFam), rt::real(r->PpsMam), rt::real(r->PpsNam), rt::txt(r->PpsMee),
                             rt::real(r->PpsZt1), rt::real(r->PpsZt2), rt::real(r->PpsZt3), rt::txt(r->PpsZf1),
                             rt::txt(r->PpsZf2),  rt::txt(r->PpsZf3)});
}

std::span<const Anweisung> DbMel_PpsTexte() {
    static constexpr Anweisung texte[] = {
        {"Bnr_PKeyReadk", kBnr_PKeyReadk},
        {"Bnr_PKeyIns", kBnr_PKeyIns},
        {"Bnr_PKeyUpd", kBnr_PKeyUpd},
        {"Pps_PKeyIns", kPps_PKeyIns},
    };
    return texte;
}
