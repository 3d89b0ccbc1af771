// The planned-time correction scales the planning system's value, never its own result.
#include "nza/SteKorrektur.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

NzaRecord mittel(double rf1, int maz) {
    NzaRecord n{};
    n.NzaRf1 = rf1;
    n.NzaMaz = maz;
    return n;
}

TEST(SteKorrektur, AnEvaluationScalesThePlanOnlyOnce) {
    const std::string v(22, '-');
    struct Fall {
        const char* was;
        double ste;
        std::string zf3;
        NzaRecord jetzt;
        std::optional<NzaRecord> vorher;  // the total record of the evaluation before
        double steNachher;
        std::string zf3Nachher;
    } faelle[] = {
        {"first evaluation", 0.5, v, mittel(240, 2), std::nullopt, 0.6, v + "0.50"},
        {"again, same messages", 0.6, v + "0.50", mittel(240, 2), mittel(240, 2), 0.6, v + "0.50"},
        {"again, no previous total record", 0.6, v + "0.50", mittel(240, 2), std::nullopt, 0.6, v + "0.50"},
        {"new messages", 0.6, v + "0.50", mittel(300, 2), mittel(240, 2), 0.75, v + "0.50"},
        {"messages gone", 0.6, v + "0.50", mittel(0, 0), mittel(240, 2), 0.5, v + "0.50"},
        {"new plan", 0.8, v + "0.50", mittel(240, 2), mittel(240, 2), 0.96, v + "0.80"},
        // no way to tell: the value is taken for a plan
        {"new messages, no previous total record", 0.6, v + "0.50", mittel(300, 2), std::nullopt, 0.9, v + "0.60"},
        {"no room to keep the plan", 0.6, std::string(21, '-'), mittel(240, 2), mittel(240, 2), 0.72,
         std::string(21, '-')},
        {"a text, not a number, kept", 0.6, v + "0.5x", mittel(240, 2), mittel(240, 2), 0.72, v + "0.60"},
    };
    for (const Fall& f : faelle) {
        AppRecord app{};
        app.AppSte = f.ste;
        app.AppZf3 = f.zf3;
        App_SteZuruecknehmen(&app, f.vorher ? &*f.vorher : nullptr, f.jetzt);
        App_SteKorrigieren(&app, f.jetzt);
        EXPECT_DOUBLE_EQ(app.AppSte, f.steNachher) << f.was;
        EXPECT_EQ(app.AppZf3.str(), f.zf3Nachher) << f.was;
    }
}

}  // namespace
