#include "app/Anhalten.h"

#include <csignal>

#include "util/MsgLog.h"

namespace {

volatile std::sig_atomic_t angehalten = 0;

void beimSignal(int signal) {
    angehalten = signal;
    // The next SIGINT or SIGTERM, whichever, ends the process.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigaction(SIGINT, &standard, nullptr);
    sigaction(SIGTERM, &standard, nullptr);
}

}  // namespace

void Anhalten_Einrichten() {
    struct sigaction a {};
    a.sa_handler = beimSignal;
    // Restarted calls: the database work of the position under way goes on
    // as if nothing had come.
    a.sa_flags = SA_RESTART;
    sigemptyset(&a.sa_mask);
    sigaction(SIGINT, &a, nullptr);
    sigaction(SIGTERM, &a, nullptr);
}

bool Anhalten_Pruefen(const char* funktion, const std::string& weiter) {
    if (angehalten == 0) return false;
    Msg_Fehler(funktion, ("Lauf angehalten, weiter ab " + weiter).c_str(), angehalten);
    return true;
}
