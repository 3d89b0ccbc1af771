#pragma once
// One upload row of the PPS interface table Hlx580Pps, and one number range
// of Hlx552Bnr.
#include <cstdint>

#include "util/Text.h"

struct PpsRecord {
    Text<14> PpsDat;
    std::int32_t PpsLfn = 0;
    Text<3> PpsVkz;
    Text<3> PpsFcd;
    Text<8> PpsPnr;
    Text<10> PpsApl;
    Text<12> PpsApk;
    Text<5> PpsApp;
    Text<8> PpsAwn;
    Text<8> PpsMdt;
    Text<6> PpsMzt;
    Text<5> PpsUbg;
    Text<4> PpsAug;
    std::int32_t PpsSts = 0;
    Text<1> PpsSto;
    double PpsGum = 0;
    double PpsFam = 0;
    double PpsMam = 0;
    double PpsNam = 0;
    Text<3> PpsMee;
    double PpsZt1 = 0;
    double PpsZt2 = 0;
    double PpsZt3 = 0;
    Text<10> PpsZf1;
    Text<20> PpsZf2;
    Text<30> PpsZf3;
};

struct BnrRecord {
    Text<7> BnrKey;
    std::int32_t BnrBnr = 0;
    Text<14> BnrEdt;
    Text<8> BnrEsb;
};
