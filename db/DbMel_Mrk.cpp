// Markers (Hlx563Mrk).
#include "db/Anweisungen.h"
#include "db/DbMel.h"
#include "db/runtime/Runtime.h"

namespace {

const char kMrk_PKeyReadk[] =
    "select MrkKng ,MrkApl ,MrkApk ,MrkApp ,MrkPnr ,TO_CHAR(MrkMdt,'yyyymmddHH24MISS') ,MrkObj ,M"
    "rkBnr into :b0:b1,:b2:b3,:b4:b5,:b6:b7,:b8:b9,:b10:b11,:b12:b13,:b14:b15  from Hlx563Mrk whe"
    "re (((((MrkKng=:b0 and MrkApl=:b2) and MrkApk=:b4) and MrkApp=:b6) and MrkPnr=:b8) and MrkBn"
    "r=:b14)";

const char kMrk_KngOpen[] =
    "select MrkKng ,MrkApl ,MrkApk ,MrkApp ,MrkPnr ,MrkBnr ,TO_CHAR(MrkMdt,'yyyymmddHH24MISS') ,M"
    "rkObj ,MrkEsb  from Hlx563Mrk where MrkKng=:b0 order by MrkApl,MrkApk,MrkApp,MrkMdt         "
    "   ";

const char kMrk_PKeyDel[] =
    "delete  from Hlx563Mrk  where (((((MrkKng=:b0 and MrkApl=:b1) and MrkApk=:b2) and MrkApp=:b3"
    ") and MrkPnr=:b4) and MrkBnr=:b5)";

rt::Cursor kngCursor;
// The open's value must outlive the open.
Text<3> kngOffen;
// A failed fetch leaves the caller's record alone, so rows land here first.
MrkRecord kngPuffer;

}  // namespace

std::int32_t Mrk_PKeyReadk(MrkRecord* r) {
    const MrkRecord k = *r;
    return rt::exec(kMrk_PKeyReadk,
                    {rt::txt(k.MrkKng), rt::txt(k.MrkApl), rt::txt(k.MrkApk), rt::txt(k.MrkApp), rt::txt(k.MrkPnr),
                     rt::i32(k.MrkBnr)},
                    {rt::txt(r->MrkKng), rt::txt(r->MrkApl), rt::txt(r->MrkApk), rt::txt(r->MrkApp), rt::txt(r->MrkPnr),
                     rt::txt(r->MrkMdt), rt::txt(r->MrkObj), rt::i32(r->MrkBnr)});
}

std::int32_t Mrk_KngOpen(const Text<3>& kng) {
    kngOffen = kng;
    return rt::open(kngCursor, kMrk_KngOpen, {rt::txt(kngOffen)});
}

std::int32_t Mrk_KngFetch(MrkRecord* r) {
    MrkRecord& p = kngPuffer;
    std::int32_t rc = rt::fetch(kngCursor, {rt::txt(p.MrkKng), rt::txt(p.MrkApl), rt::txt(p.MrkApk), rt::txt(p.MrkApp),
                                            rt::txt(p.MrkPnr), rt::i32(p.MrkBnr), rt::txt(p.MrkMdt), rt::txt(p.MrkObj),
                                            rt::txt(p.MrkEsb)});
    if (rc == 0) *r = p;
    return rc;
}

std::int32_t Mrk_KngClose() { return rt::close(kngCursor); }

std::int32_t Mrk_PKeyDel(MrkRecord r) {
    return rt::write("Mrk_PKeyDel", kMrk_PKeyDel,
                     {rt::txt(r.MrkKng), rt::txt(r.MrkApl), rt::txt(r.MrkApk), rt::txt(r.MrkApp), rt::txt(r.MrkPnr),
                      rt::i32(r.MrkBnr)});
}

std::span<const Anweisung> DbMel_MrkTexte() {
    static constexpr Anweisung texte[] = {
        {"Mrk_PKeyReadk", kMrk_PKeyReadk},
        {"Mrk_KngOpen", kMrk_KngOpen},
        {"Mrk_PKeyDel", kMrk_PKeyDel},
    };
    return texte;
}
