// Placeholder until the run modes land; replaced by the evaluation work.
#include "app/RunModes.h"

void Verarbeitung_VonBis() {}
void Verarbeitung_MRK() {}
