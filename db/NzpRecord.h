#pragma once
// One row of the run-parameter table Hlx591Nzp.
#include <cstdint>

#include "util/Text.h"

struct NzpRecord {
    std::int32_t NzpAkz = 0;
    Text<8> NzpGvn;
    Text<8> NzpGbi;
    std::int32_t NzpAak = 0;
    std::int32_t NzpAwt = 0;
    std::int32_t NzpKjh = 0;
    std::int32_t NzpKmn = 0;
    std::int32_t NzpKwo = 0;
    std::int32_t NzpKtg = 0;
    std::int32_t NzpAan = 0;
    std::int32_t NzpVfh = 0;
    std::int32_t NzpNfh = 0;
    std::int32_t NzpMrk = 0;
    Text<14> NzpAdt;
    Text<8> NzpAus;
};
