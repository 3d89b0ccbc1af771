#include "nza/Auftragskopf.h"

#include <optional>

#include "db/Dbstd.h"

namespace {

struct Antwort {
    ApkRecord apk;
    std::int32_t rc = 0;
};

bool offen = false;
std::optional<Antwort> erste;

}  // namespace

AuftragskopfJePosition::AuftragskopfJePosition() {
    offen = true;
    erste.reset();
}

AuftragskopfJePosition::~AuftragskopfJePosition() {
    offen = false;
    erste.reset();
}

std::int32_t Auftragskopf_Lesen(ApkRecord* apk) {
    if (offen && erste && erste->apk.ApkApk == apk->ApkApk) {
        *apk = erste->apk;
        return erste->rc;
    }
    const std::int32_t rc = Apk_PKeyReadk(apk);
    if (offen) erste = Antwort{*apk, rc};
    return rc;
}
