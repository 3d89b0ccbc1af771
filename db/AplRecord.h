#pragma once
// One workstation of Hlx531Apl. AplUdt is a Stamp (yyyymmddHH24MISS).
#include <cstdint>

#include "util/Text.h"

struct AplRecord {
    Text<10> AplApl;
    Text<30> AplBez;
    Text<10> AplTxt;
    Text<10> AplApg;
    Text<10> AplFbe;
    std::int32_t AplSts = 0;
    std::int32_t AplSis = 0;
    std::int32_t AplApr = 0;
    std::int32_t AplAaf = 0;
    Text<5> AplUbg;
    Text<14> AplUdt;
    std::int32_t AplTag = 0;
    std::int32_t AplVrf = 0;
    double AplRsp = 0;
    double AplRsi = 0;
    double AplAfp = 0;
    double AplAfi = 0;
    double AplPau = 0;
    std::int32_t AplUnt = 0;
    std::int32_t AplIak = 0;
    double AplAvt = 0;
    double AplKap = 0;
    double AplAvr = 0;
    double AplAvp = 0;
    Text<10> AplSt1;
    Text<10> AplSt2;
    Text<10> AplSt3;
    Text<1> AplSf1;
    Text<1> AplSf2;
    Text<1> AplSf3;
    Text<30> AplZf1;
    Text<30> AplZf2;
    Text<30> AplZf3;
    Text<3> AplDna;
    Text<8> AplDwn;
    std::int32_t AplSta = 0;
    Text<8> AplErf;
};
