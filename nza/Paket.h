#pragma once
// Package programming: hands a package head's evaluated times down to the
// member positions of its package.
#include <cstdint>
#include <optional>

#include "db/AppRecord.h"
#include "db/NzaRecord.h"
#include "util/Text.h"

// The key a package's members carry in AppZf2: the head's order right-aligned
// in 12 characters, its position right-aligned in 5, then 13 blanks.
Text<30> Paketschluessel(const char* apk, const char* app);

// The head that a package key names; none when zf2 is no package key.
struct PaketKopf {
    Text<12> apk;
    Text<5> app;
};
std::optional<PaketKopf> Paketkopf(const Text<30>& zf2);

// Kopf divides in proportion to the planned times of head and member, Prog in
// equal parts by the number of members.
enum class PaketForm { Kopf, Prog };

// For every position whose AppZf2 is the head's package key: builds its NZA
// record from the head's total record, updates the position, uploads it and
// stores the NZA record. Failures are logged; nothing is returned.
void Nza_PaketProgrammieren(PaketForm form, AppRecord kopf, NzaRecord kopfNza, std::int32_t LeistungsKz);
