#pragma once
// Shift-model assignment (Hlx532Aem joined with its shift model, calendar day
// and general calendar day): the key of the assignment cursor and one row of it.
#include <cstdint>

#include "util/Text.h"

struct AemRecord {
    // Key: kind (2 workstation, 1 workstation group), workstation or group,
    // and the day (yyyymmdd) the assignment must be valid on.
    std::int32_t AemKng = 0;
    Text<10> AemApg;
    Text<8> AemTag;
    // Row
    Text<10> AemEmo;
    Text<8> AemGvo;
    Text<30> AemBez;
    Text<10> AemTxt;
    Text<5> AemKal;
    std::int32_t AemLkz = 0;
    std::int32_t AemVzt = 0;
    std::int32_t AemEzt = 0;
    std::int32_t AemPrz = 0;
    std::int32_t AemAfz = 0;
    std::int32_t AemApz = 0;
    std::int32_t AemPrp = 0;
    std::int32_t AemAfp = 0;
    std::int32_t AemApp = 0;
    std::int32_t KalBtp = 0;
    Text<8> KalDtm;
    std::int32_t BakJhr = 0;
    std::int32_t BakMon = 0;
    std::int32_t BakWch = 0;
    std::int32_t BakWtg = 0;
    std::int32_t BakJtg = 0;
    std::int32_t AemMaz = 0;
    // Year the calendar week BakWch belongs to (differs from BakJhr at year ends).
    std::int32_t WochenJahr = 0;
};
