// Run parameters (Hlx591Nzp).
#include "db/Anweisungen.h"
#include "db/Dbstd.h"
#include "db/runtime/Runtime.h"

namespace {

const char kNzp_PKeyReadk[] =
    "select NzpAkz ,TO_CHAR(NzpGvn,'yyyymmdd') ,TO_CHAR(NzpGbi,'yyyymmdd') ,NzpAak ,NzpAwt ,NzpKj"
    "h ,NzpKmn ,NzpKwo ,NzpKtg ,NzpAan ,NzpVfh ,NzpNfh ,NzpAus ,NzpMrk into :b0:b1,:b2:b3,:b4:b5,"
    ":b6:b7,:b8:b9,:b10:b11,:b12:b13,:b14:b15,:b16:b17,:b18:b19,:b20:b21,:b22:b23,:b24:b25,:b26:b"
    "27  from Hlx591Nzp where ((NzpAkz=:b0 and NzpGvn<trunc(sysdate)) and NzpGbi>trunc(sysdate))";

const char kNzp_PKeyUpd[] =
    "update HLX591Nzp  set NzpAdt=sysdate,NzpAan=:b0,NzpVfh=:b1,NzpNfh=:b2,NzpAus=:b3 where ((Nzp"
    "Akz=:b4 and NzpGvn=TO_DATE(:b5,'yyyymmdd')) and NzpGbi=TO_DATE(:b6,'yyyymmdd'))";

}  // namespace

std::int32_t Nzp_PKeyReadk(NzpRecord* r) {
    const std::int32_t akz = r->NzpAkz;
    return rt::exec(kNzp_PKeyReadk, {rt::i32(akz)},
                    {rt::i32(r->NzpAkz), rt::txt(r->NzpGvn), rt::txt(r->NzpGbi), rt::i32(r->NzpAak), rt::i32(r->NzpAwt),
                     rt::i32(r->NzpKjh), rt::i32(r->NzpKmn), rt::i32(r->NzpKwo), rt::i32(r->NzpKtg), rt::i32(r->NzpAan),
                     rt::i32(r->NzpVfh), rt::i32(r->NzpNfh), rt::txt(r->NzpAus), rt::i32(r->NzpMrk)});
}

// The end of a run: what it wrote is on the disk once this has committed.
std::int32_t Nzp_PKeyUpd(const NzpRecord* r) {
    return rt::writeDurable("Nzp_PKeyUpd", kNzp_PKeyUpd,
                            {rt::i32(r->NzpAan), rt::i32(r->NzpVfh), rt::i32(r->NzpNfh), rt::txt(r->NzpAus),
                             rt::i32(r->NzpAkz), rt::txt(r->NzpGvn), rt::txt(r->NzpGbi)});
}

std::span<const Anweisung> Dbstd_NzpTexte() {
    static constexpr Anweisung texte[] = {
        {"Nzp_PKeyReadk", kNzp_PKeyReadk},
        {"Nzp_PKeyUpd", kNzp_PKeyUpd},
    };
    return texte;
}
