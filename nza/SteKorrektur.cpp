#include "nza/SteKorrektur.h"

#include <algorithm>
#include <cstdio>
#include <string>

void App_SteKorrigieren(AppRecord* app, NzaRecord nza) {
    // The former unit time is kept as text behind the first 22 characters of
    // AppZf3. Only 8 characters fit there; a longer value is cut. A shorter
    // AppZf3 has nothing at that place and stays as it is.
    if (app->AppZf3.size() >= 22) {
        char wert[512];
        const int n = std::snprintf(wert, sizeof wert, "%-4.2f", app->AppSte);
        const std::size_t laenge = n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), 8);
        std::string neu(app->AppZf3.view().substr(0, 22));
        neu.append(wert, laenge);
        app->AppZf3 = neu;
    }
    // NzaRf1 is the sum of the messages' performance percentages, NzaMaz
    // their count: the unit time is scaled by their mean.
    if (nza.NzaMaz > 0) app->AppSte = app->AppSte * ((nza.NzaRf1 / nza.NzaMaz) / 100);
}
