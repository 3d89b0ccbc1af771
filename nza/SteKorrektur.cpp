#include "nza/SteKorrektur.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "nza/Zeit.h"

namespace {

// The planned value stands behind the first 22 characters of AppZf3; 8 fit.
constexpr std::size_t kStelle = 22;
constexpr std::size_t kBreite = 8;

double skaliert(double ste, const NzaRecord& n) { return n.NzaMaz > 0 ? ste * ((n.NzaRf1 / n.NzaMaz) / 100) : ste; }

// The value kept behind the 22nd character, when the rest of AppZf3 is one
// number ("%-4.2f" pads with blanks on the right).
std::optional<double> gehalten(const Text<30>& zf3) {
    std::string_view v = zf3.view();
    if (v.size() <= kStelle) return std::nullopt;
    v.remove_prefix(kStelle);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    double d = 0;
    const auto [ende, fehler] = std::from_chars(v.data(), v.data() + v.size(), d);
    if (fehler != std::errc{} || ende != v.data() + v.size() || !std::isfinite(d)) return std::nullopt;
    return d;
}

}  // namespace

double App_PlanGesamtzeit(const AppRecord& app) {
    const std::int64_t x = ganz(m(app.AppSte) * app.AppSme);
    return hm(ganz(m(app.AppStr) + static_cast<double>(x)));
}

void App_SteZuruecknehmen(AppRecord* app, const NzaRecord* vorher, const NzaRecord& jetzt) {
    const std::optional<double> plan = gehalten(app->AppZf3);
    if (!plan || app->AppSte == *plan) return;
    if (app->AppSte != skaliert(*plan, jetzt) && !(vorher && app->AppSte == skaliert(*plan, *vorher))) return;
    app->AppSte = *plan;
    app->AppSza = App_PlanGesamtzeit(*app);
}

void App_SteKorrigieren(AppRecord* app, const NzaRecord& nza) {
    double plan = app->AppSte;
    if (app->AppZf3.size() >= kStelle) {
        char wert[512];
        const int n = std::snprintf(wert, sizeof wert, "%-4.2f", app->AppSte);
        const std::size_t laenge = n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), kBreite);
        std::string neu(app->AppZf3.view().substr(0, kStelle));
        neu.append(wert, laenge);
        app->AppZf3 = neu;
        // A value cut to 8 characters is not the plan and is not read back.
        if (n >= 0 && static_cast<std::size_t>(n) <= kBreite)
            if (const std::optional<double> gelesen = gehalten(app->AppZf3)) plan = *gelesen;
    }
    app->AppSte = skaliert(plan, nza);
}
