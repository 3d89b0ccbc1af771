#include "nza/Variante.h"

#include "db/DbDb.h"
#include "db/DbMel.h"
#include "db/Dbstd.h"
#include "nza/TagesWerte.h"
#include "util/MsgLog.h"

std::int32_t Nza_VarianteFeststellen(MelRecord mel, std::int32_t* LeistungsKz) {
    AemRecord schluessel{};
    schluessel.AemKng = 2;
    schluessel.AemApg = mel.KeyApl;
    schluessel.AemTag = mel.KeyDat;
    AemRecord zeile{};
    std::int32_t rc = Aem_TagOpen(schluessel);
    if (rc == 0) {
        rc = Aem_TagFetch(&zeile);
        Aem_TagClose();
        if (rc == kDbTextNichtDarstellbar) return rc;
        if (rc == 0) {
            *LeistungsKz = zeile.AemLkz;
            return zeile.AemAfz;
        }
        Msg_Datenbankfehler("Nza _VarianteFeststellen", "Aem_TagFetch", rc);
    } else {
        Msg_Datenbankfehler("Nza _VarianteFeststellen", "Aem_TagOpen", rc);
    }
    // A failed read must not pass for "no assignment": the group's flag is
    // not the workstation's.
    bool gestoert = rc < 0;

    // The workstation's own assignment always wins; only without one does
    // its group's count.
    AplRecord apl{};
    apl.AplApl = mel.KeyApl;
    rc = Apl_PKeyReadk(&apl);
    if (rc == kDbTextNichtDarstellbar) return rc;
    if (rc != 0) Msg_Fehler("Apl_PKeyReadk", mel.KeyApl.c_str(), rc);
    gestoert = gestoert || rc < 0;

    schluessel = AemRecord{};
    schluessel.AemKng = 1;
    schluessel.AemApg = apl.AplApg;
    schluessel.AemTag = mel.KeyDat;
    if ((rc = Aem_TagOpen(schluessel)) != 0) {
        Msg_Datenbankfehler("Nza _VarianteFeststellen", "Aem_TagOpen", rc);
        if (rc < 0) *LeistungsKz = kLeistungsKzUnbekannt;
        return 0;
    }
    std::int32_t variante = 0;
    rc = Aem_TagFetch(&zeile);
    if (rc == kDbTextNichtDarstellbar) {
        Aem_TagClose();
        return rc;
    }
    if (rc == 0) {
        variante = zeile.AemAfz;
        *LeistungsKz = zeile.AemLkz;
    } else {
        Msg_Fehler("Nza _VarianteFeststellen", apl.AplApl.c_str(), rc);
    }
    Aem_TagClose();
    if (gestoert || rc < 0) *LeistungsKz = kLeistungsKzUnbekannt;
    return variante;
}

void Nza_VarianteAuswerten(std::int32_t variante, MelRecord mel, NzaRecord* nza, AppRecord app,
                           const QuellZeilen& quelle) {
    Nza_SA10_DelVoraus(mel);
    switch (variante) {
        case 2:
            Nzm_TagesWertePA(mel, nza, app);
            break;
        case 3:
            Nzm_TagesWerteVariante3(mel, nza, quelle);
            break;
        case 4:
            Nzm_TagesWerteVariante4(mel, nza, quelle);
            break;
        default:
            break;  // variant 5 has no evaluation of its own, others none at all
    }
}
