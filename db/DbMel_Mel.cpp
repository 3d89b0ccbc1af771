// Booking-message queries (Hlx560Mel): the workstations booked on a position
// and the quantity sums of its "A07"/"A06" messages.
#include "db/Anweisungen.h"
#include "db/DbMel.h"
#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"

namespace {

const char kMel_AppAplOpen[] =
    "select KeyApl  from Hlx560Mel where (((ObjTyp=:b0 and KeyApk=:b1) and KeyApp=:b2) and TO_CHA"
    "R(KeyDat,'yyyymmdd')>=:b3) group by KeyApl           ";

const char kMel_AppSum[] =
    "select sum(MelGum) ,sum(MelFam) ,sum(MelNam) ,count(*)  into :b0,:b1,:b2,:b3  from Hlx560Mel"
    " where ((KeyApk=:b4 and KeyApp=:b5) and (MelFcd=:b6 or MelFcd=:b7))";

const char kMel_AplAppSum[] =
    "select sum(MelGum) ,sum(MelFam) into :b0,:b1  from Hlx560Mel where (((KeyApl=:b2 and KeyApk="
    ":b3) and KeyApp=:b4) and (MelFcd=:b5 or MelFcd=:b6))";

const char kMel_AppNamOpen[] =
    "select MelNam  from Hlx560Mel where ((KeyApk=:b0 and KeyApp=:b1) and (MelFcd=:b2 or MelFcd=:b3)) order by K"
    "eyBnr,KeyLfn";

rt::Cursor aplCursor;
rt::Cursor namCursor;
// The open's values must outlive the open.
struct {
    Text<12> apk;
    Text<5> app;
    Text<8> datum;
} aplOffen;
// A failed fetch leaves the caller's buffer alone, so rows land here first.
Text<10> aplPuffer;

}  // namespace

std::int32_t Mel_AppAplOpen(const Text<12>& apk, const Text<5>& app, const Text<8>& datum) {
    aplOffen.apk = apk;
    aplOffen.app = app;
    aplOffen.datum = datum;
    return rt::open(aplCursor, kMel_AppAplOpen,
                    {rt::txt("M_A"), rt::txt(aplOffen.apk), rt::txt(aplOffen.app), rt::txt(aplOffen.datum)});
}

std::int32_t Mel_AppAplFetch(Text<10>* apl) {
    std::int32_t rc = rt::fetch(aplCursor, {rt::txt(aplPuffer)});
    if (rc == 0) *apl = aplPuffer;
    return rc;
}

std::int32_t Mel_AppAplClose() { return rt::close(aplCursor); }

std::int32_t Mel_AppSum(NzaRecord* r) {
    double gum = 0, fam = 0, nam = 0;
    std::int32_t anzahl = 0;
    std::int32_t rc = rt::exec(kMel_AppSum, {rt::txt(r->NzaApk), rt::txt(r->NzaApp), rt::txt("A07"), rt::txt("A06")},
                               {rt::real(gum), rt::real(fam), rt::real(nam), rt::i32(anzahl)});
    if (rc == 0) {
        // No matching message gives NULL sums, read as 0, and a count of 0.
        r->NzaGum = gum;
        r->NzaAum = fam;
        r->NzaRf1 = nam;
        r->NzaMaz = anzahl;
    } else {
        r->NzaGum = 0;
        r->NzaAum = 0;
        r->NzaRf1 = 0;
        r->NzaMaz = 1;
    }
    return rc;
}

std::int32_t Mel_AplAppSum(NzaRecord* r) {
    double gum = 0, fam = 0;
    std::int32_t rc =
        rt::exec(kMel_AplAppSum,
                 {rt::txt(r->NzaApl), rt::txt(r->NzaApk), rt::txt(r->NzaApp), rt::txt("A07"), rt::txt("A06")},
                 {rt::real(gum), rt::real(fam)});
    r->NzaGum = rc == 0 ? gum : 0;
    r->NzaAum = rc == 0 ? fam : 0;
    return rc;
}

std::int32_t Mel_AppNamLesen(const Text<12>& apk, const Text<5>& app, std::vector<double>* werte) {
    werte->clear();
    // The open's values must outlive the open.
    static Text<12> offenApk;
    static Text<5> offenApp;
    offenApk = apk;
    offenApp = app;
    std::int32_t rc =
        rt::open(namCursor, kMel_AppNamOpen, {rt::txt(offenApk), rt::txt(offenApp), rt::txt("A07"), rt::txt("A06")});
    if (rc != 0) return rc;
    double nam = 0;
    while ((rc = rt::fetch(namCursor, {rt::real(nam)})) == 0) werte->push_back(nam);
    rt::close(namCursor);
    return rc == rt::err::NotFound ? 0 : rc;
}

std::span<const Anweisung> DbMel_MelTexte() {
    static constexpr Anweisung texte[] = {
        {"Mel_AppAplOpen", kMel_AppAplOpen},
        {"Mel_AppSum", kMel_AppSum},
        {"Mel_AplAppSum", kMel_AplAppSum},
        {"Mel_AppNamOpen", kMel_AppNamOpen},
    };
    return texte;
}
