#pragma once
// One booking message of Hlx560Mel. This program only uses it to carry the
// keys of a workstation evaluation (order, position, day, workstation, recorder).
#include <cstdint>

#include "util/Text.h"

struct MelRecord {
    std::int32_t KeyBnr = 0;
    std::int32_t KeyLfn = 0;
    Text<3> ObjTyp;
    Text<8> KeyPnr;
    Text<10> KeyApl;
    Text<12> KeyApk;
    Text<5> KeyApp;
    Text<1> Sts00E;
    Text<1> Sts00R;
    Text<1> Sts00A;
    Text<1> Sts00U;
    Text<1> Sts00S;
    Text<1> Sts006;
    Text<1> Sts007;
    Text<1> Sts008;
    Text<1> Sts009;
    Text<1> Sts010;
    Text<1> Sts011;
    Text<1> Sts012;
    Text<1> Sts013;
    Text<1> Sts014;
    Text<1> Sts015;
    Text<1> Sts016;
    Text<8> KeyDat;
    Text<6> KeyUhr;
    Text<2> KeySek;
    Text<5> KeyUbg;
    Text<4> KeyAug;
    Text<3> MelMsk;
    Text<3> MelFcd;
    Text<8> MelAwn;
    Text<2> MelTrm;
    Text<1> MelOff;
    std::int32_t MelFnr = 0;
    double MelGum = 0;
    double MelFam = 0;
    double MelMam = 0;
    double MelNam = 0;
    Text<3> MelMee;
    double MelZt1 = 0;
    double MelZt2 = 0;
    double MelZt3 = 0;
    Text<1> MelAec;
    Text<1> MelTrc;
    Text<8> MelKsb;
    Text<14> MelKdt;
    Text<3> MelKfc;
    double MelKgm = 0;
    double MelKfm = 0;
    double MelKmm = 0;
    double MelKnm = 0;
    Text<20> KeyTnr;
    Text<14> MelDat;
    Text<8> MelErf;
};
