#pragma once
// One entry of the error protocol table Hlx554Err. ErrEdt is a Stamp
// (yyyymmddHH24MISS).
#include <cstdint>

#include "util/Text.h"

struct ErrRecord {
    Text<3> ErrBer;
    Text<3> ErrFun;
    Text<14> ErrEdt;
    Text<8> ErrPnr;
    Text<12> ErrApk;
    Text<5> ErrApp;
    Text<10> ErrApl;
    std::int32_t ErrFnr = 0;
    Text<10> ErrPgm;
    Text<3> ErrObj;
    Text<8> ErrErf;
};
