#pragma once
// The two run modes; both read the run context.
void Verarbeitung_VonBis();
void Verarbeitung_MRK();
