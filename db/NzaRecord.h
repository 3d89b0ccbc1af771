#pragma once
// One row of the NZA table Hlx590Nza. The begin (NzaDtm) and end (NzaEdt)
// timestamps are held as <Column>Dat (yyyymmdd) and <Column>Zeit (HH24MISS).
// NzaDat, the time of the last write, is set by the database and not held.
#include <cstdint>

#include "util/Text.h"

struct NzaRecord {
    std::int32_t NzaSa = 0;
    Text<10> NzaApl;
    Text<12> NzaApk;
    Text<5> NzaApp;
    Text<10> NzaPnr;
    Text<8> NzaDtmDat;
    Text<6> NzaDtmZeit;
    std::int32_t NzaBeg = 0;
    std::int32_t NzaBbn = 0;
    std::int32_t NzaBln = 0;
    Text<3> NzaBmk;
    Text<8> NzaEdtDat;
    Text<6> NzaEdtZeit;
    std::int32_t NzaEnd = 0;
    std::int32_t NzaEbn = 0;
    std::int32_t NzaEln = 0;
    Text<3> NzaEmk;
    Text<5> NzaUbg;
    std::int32_t NzaRau = 0;
    std::int32_t NzaVar = 0;
    std::int32_t Nza00A = 0;
    std::int32_t Nza00U = 0;
    std::int32_t Nza00S = 0;
    Text<10> NzaEmo;
    std::int32_t NzaWtg = 0;
    std::int32_t NzaJtg = 0;
    Text<3> NzaTtp;
    Text<4> NzaJwo;
    std::int32_t NzaWoc = 0;
    std::int32_t NzaPzm = 0;
    std::int32_t NzaMaz = 0;
    double NzaGum = 0;
    double NzaAum = 0;
    double NzaNzr = 0;
    double NzaBzr = 0;
    double NzaUzr = 0;
    double NzaPzr = 0;
    double NzaRbz = 0;
    double NzaNza = 0;
    double NzaBzA = 0;
    double NzaUza = 0;
    double NzaPza = 0;
    double NzaAbz = 0;
    double NzaBzu = 0;
    double NzaNzu = 0;
    double NzaPzu = 0;
    double NzaUbz = 0;
    double NzaSol = 0;
    double NzaIst = 0;
    double NzaPau = 0;
    double NzaRf1 = 0;
    double NzaRf2 = 0;
    double NzaRf3 = 0;
    std::int32_t NzaFnr = 0;
    Text<20> NzaTnr;
    Text<8> NzaErf;
};
