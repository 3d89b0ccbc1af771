#pragma once
// Stopping a run from outside (Ctrl-C, systemctl stop): SIGINT or SIGTERM
// lets the position under way finish; the walk then ends before the next
// one. A second signal ends the process at once.
#include <string>

void Anhalten_Einrichten();

// Whether a stop was asked; if so, logs the one entry that says so and names
// the key the run would have gone on with (code: the signal's number).
bool Anhalten_Pruefen(const char* funktion, const std::string& weiter);
