#pragma once
// The order header as the evaluation of one position reads it: for its
// first workstation, and again in variant 3. Within a position the second
// read gets the answer of the first, read code included, so that a server
// is asked once and both see the same header.
#include <cstdint>

#include "db/AppRecord.h"

// While one lives, reads of the same order get the first answer; outside
// one every read goes to the database.
class AuftragskopfJePosition {
public:
    AuftragskopfJePosition();
    ~AuftragskopfJePosition();
    AuftragskopfJePosition(const AuftragskopfJePosition&) = delete;
    AuftragskopfJePosition& operator=(const AuftragskopfJePosition&) = delete;
};

// Apk_PKeyReadk, answered from the position's first read of the same order.
std::int32_t Auftragskopf_Lesen(ApkRecord* apk);
