#pragma once
// Progress of a run for an operator watching it: on a terminal, a line that
// shows positions done, positions per second and failures logged so far,
// and a summary at the end. When the output is no terminal (a scheduler, a
// pipe, a file) nothing is written: the message log stays the only record;
// KORVIMAND_SUMMARY=1 asks for the summary there too (benchmarks read it).
#include <chrono>

// Starts the clock of the run; fd is where progress goes (standard error).
void Fortschritt_Start(int fd = 2);
// One position handed to the driver; redraws the line a few times a second.
void Fortschritt_Position();
// Replaces the progress line by the summary of the run.
void Fortschritt_Ende();

// The clock behind the line and the rate: the steady clock unless a test
// installs another. Returns the clock it replaces; nullptr restores the
// steady clock.
using FortschrittUhr = std::chrono::steady_clock::time_point (*)();
FortschrittUhr Fortschritt_SetUhr(FortschrittUhr uhr);
