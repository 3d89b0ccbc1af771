#pragma once
// One marker of Hlx563Mrk. The key is MrkKng, MrkApl, MrkApk, MrkApp,
// MrkPnr, MrkBnr.
#include <cstdint>

#include "util/Text.h"

struct MrkRecord {
    Text<3> MrkKng;
    Text<10> MrkApl;
    Text<12> MrkApk;
    Text<5> MrkApp;
    Text<8> MrkPnr;
    std::int32_t MrkBnr = 0;
    Text<3> MrkObj;
    Text<14> MrkMdt;
    Text<8> MrkEsb;
};
