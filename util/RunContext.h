#pragma once
// The run context: written once at start-up from the arguments, read-only after.
#include "util/Text.h"

struct RunContext {
    Text<12> VonApk;
    Text<5> VonApp;
    Text<12> BisApk;
    Text<5> BisApp;
    Text<8> Erfasser;
    Text<8> MelAbDatum;
};

extern RunContext runContext;
