#include "nza/SteKorrektur.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/DbMel.h"
#include "nza/Paket.h"
#include "nza/Zeit.h"

namespace {

// The planned value stands behind the first 22 characters of AppZf3; 8 fit.
constexpr std::size_t kStelle = 22;
constexpr std::size_t kBreite = 8;

double skaliert(double ste, double summe, std::int32_t anzahl) {
    return anzahl > 0 ? ste * ((summe / anzahl) / 100) : ste;
}
double skaliert(double ste, const NzaRecord& n) { return skaliert(ste, n.NzaRf1, n.NzaMaz); }

// The sums the database made may add in another order than this loop: a
// correction is recognised to a billionth of its value, far below a minute.
bool gleich(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a)); }

// Whether ste is plan scaled by the mean of the first n messages of the
// position apk/app, for some n.
std::int32_t KorrekturVonMeldungen(const Text<12>& apk, const Text<5>& app, double plan, double ste, bool* ist) {
    std::vector<double> werte;
    const std::int32_t rc = Mel_AppNamLesen(apk, app, &werte);
    if (rc != 0) return rc;
    double summe = 0;
    std::int32_t anzahl = 0;
    for (const double nam : werte) {
        summe += nam;
        ++anzahl;
        if (gleich(ste, skaliert(plan, summe, anzahl))) *ist = true;
    }
    return 0;
}

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

std::int32_t App_SteZuruecknehmen(AppRecord* app) {
    const std::optional<double> plan = gehalten(app->AppZf3);
    if (!plan || app->AppSte == *plan) return 0;
    bool korrigiert = false;
    std::int32_t rc = KorrekturVonMeldungen(app->AppApk, app->AppApp, *plan, app->AppSte, &korrigiert);
    // A package member may have been corrected by its head's messages.
    if (const std::optional<PaketKopf> kopf = Paketkopf(app->AppZf2); rc == 0 && !korrigiert && kopf)
        rc = KorrekturVonMeldungen(kopf->apk, kopf->app, *plan, app->AppSte, &korrigiert);
    if (rc != 0 || !korrigiert) return rc;
    app->AppSte = *plan;
    app->AppSza = App_PlanGesamtzeit(*app);
    return 0;
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
