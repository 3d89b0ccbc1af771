#pragma once
// The two run modes; both read the run context. Each returns whether its
// walk went through to the end: not when a cursor failed or the run was
// stopped (app/Anhalten.h).
bool Verarbeitung_VonBis();
bool Verarbeitung_MRK();
