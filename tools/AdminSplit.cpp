// korvimand-admin split: a range of order positions cut into parts of about
// equal position counts for as many korvimand processes. Each part is one
// line of korvimand's five arguments, separated by tabs (a key may hold
// blanks); what the parts hold and the packages that cross a cut go to
// stderr, so that the lines can be piped into a runner as they are.
//
// Cuts fall between orders only. A part begins at position 00000 of its
// first order (or lower, should that order hold a lower one) and the part
// before it ends at the key just below that, so that consecutive parts meet
// without a gap: every key of the range, also one added after the split,
// lies in exactly one part, and together the parts hold exactly the
// positions a range run over the whole range would evaluate (status 10 left
// out as the range cursor leaves it out). Orders are streamed in key order;
// memory does not grow with the range.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "tools/Admin.h"
#include "tools/AdminSitzung.h"
#include "util/Anzeige.h"
#include "util/Text.h"

namespace {

constexpr std::int32_t kAusgenommenSts = 10;
constexpr int kMaxTeile = 1000;

struct Schluessel {
    Text<12> apk;
    Text<5> app;
};

// Byte order, as the database compares the keys.
bool kleiner(const Schluessel& a, const Schluessel& b) {
    if (a.apk.view() != b.apk.view()) return a.apk.view() < b.apk.view();
    return a.app.view() < b.app.view();
}

// The greatest text of at most breite bytes below s in byte order, or ""
// when there is none: the last byte one less, then filled up with 0xFF.
std::string vorgaenger(std::string s, std::size_t breite) {
    if (s.empty()) return s;
    if (static_cast<unsigned char>(s.back()) <= 1) {
        s.pop_back();
        return s;
    }
    s.back() = static_cast<char>(s.back() - 1);
    return s + std::string(breite - s.size(), '\xFF');
}

// The key just below k (k's position number is never empty).
Schluessel vorgaenger(const Schluessel& k) {
    Schluessel v = k;
    const std::string app = vorgaenger(k.app.str(), 5);
    if (!app.empty()) v.app = app;
    else {
        v.apk = vorgaenger(k.apk.str(), 12);
        v.app = std::string(5, '\xFF');
    }
    return v;
}

const Schluessel kErsterSchluessel{Text<12>("000000000000"), Text<5>("00000")};
const Schluessel kLetzterSchluessel{Text<12>("999999999999"), Text<5>("99999")};

struct Teil {
    Schluessel von, bis;
    long positionen = 0, auftraege = 0;
};

struct Bereich {
    Schluessel von, bis;
};

std::string bedingung(const std::optional<Bereich>& b, int erster) {
    const auto n = [&](int i) { return ":b" + std::to_string(erster + i); };
    std::string w = " where ";
    if (b)
        w += "((AppApk>" + n(0) + " or (AppApk=" + n(0) + " and AppApp>=" + n(1) + ")) and (AppApk<" + n(2) +
             " or (AppApk=" + n(2) + " and AppApp<=" + n(3) + "))) and ";
    return w + "AppSts<>" + n(b ? 4 : 0);
}

// Calls f with the inputs of bedingung: each range key as often as it
// occurs, then the left-out status.
template <class F>
std::int32_t mitBindungen(const std::optional<Bereich>& b, F f) {
    const std::int32_t sts = kAusgenommenSts;
    if (!b) return f(rt::Binds{rt::i16(sts)});
    return f(rt::Binds{rt::txt(b->von.apk), rt::txt(b->von.apk), rt::txt(b->von.app), rt::txt(b->bis.apk),
                       rt::txt(b->bis.apk), rt::txt(b->bis.app), rt::i16(sts)});
}

// The parts, cut greedily as the orders arrive: a part ends before an order
// when it has reached its share of the positions, or when taking the order
// would overshoot the share by more than leaving it out falls short, or when
// each remaining part needs one of the remaining orders.
std::int32_t schneiden(const std::optional<Bereich>& b, int teile, std::vector<Teil>& out) {
    std::int32_t gesamt = 0, auftraege = 0;
    const std::string zaehlen =
        "select count(*) ,count(distinct AppApk)  into :b0,:b1  from Hlx504App" + bedingung(b, 2);
    std::int32_t rc = mitBindungen(b, [&](rt::Binds in) {
        return rt::exec(zaehlen.c_str(), in, {rt::i32(gesamt), rt::i32(auftraege)});
    });
    if (rc != 0 || auftraege == 0) return rc;
    if (teile > auftraege) teile = auftraege;

    rt::Cursor c;
    const std::string gruppen = "select AppApk ,min(AppApp) ,max(AppApp) ,count(*)  from Hlx504App" + bedingung(b, 0) +
                                " group by AppApk order by AppApk";
    rc = mitBindungen(b, [&](rt::Binds in) { return rt::open(c, gruppen.c_str(), in); });
    if (rc != 0) return rc;
    Schluessel erster, letzter;
    std::int32_t anzahl = 0;
    long vorher = 0, gesehen = 0;  // positions in earlier orders; orders seen
    while ((rc = rt::fetch(c, {rt::txt(erster.apk), rt::txt(erster.app), rt::txt(letzter.app), rt::i32(anzahl)})) ==
           0) {
        letzter.apk = erster.apk;
        if (!out.empty() && static_cast<int>(out.size()) < teile) {
            const double ziel = static_cast<double>(gesamt) * static_cast<double>(out.size()) / teile;
            const double davor = static_cast<double>(vorher), danach = davor + anzahl;
            const bool muss = auftraege - gesehen == teile - static_cast<long>(out.size());
            if (muss || davor >= ziel || (danach > ziel && ziel - davor < danach - ziel)) out.emplace_back();
        }
        if (out.empty()) out.emplace_back();
        Teil& t = out.back();
        if (t.auftraege == 0) {
            t.von = erster;
            if (kErsterSchluessel.app.view() < t.von.app.view()) t.von.app = kErsterSchluessel.app;
            if (out.size() > 1) out[out.size() - 2].bis = vorgaenger(t.von);
        }
        t.bis = letzter;
        t.positionen += anzahl;
        ++t.auftraege;
        vorher += anzahl;
        ++gesehen;
    }
    rt::close(c);
    if (rc != rt::err::NotFound) return rc;
    // The outer bounds are the range's own, so that the parts cover it whole;
    // without one, they reach at least the widest keys of digits.
    if (b) {
        out.front().von = b->von;
        out.back().bis = b->bis;
    } else {
        if (kleiner(kErsterSchluessel, out.front().von)) out.front().von = kErsterSchluessel;
        if (kleiner(out.back().bis, kLetzterSchluessel)) out.back().bis = kLetzterSchluessel;
    }
    return 0;
}

// The part whose bounds hold the key; -1 when none does.
int teilVon(const std::vector<Teil>& teile, const Schluessel& k) {
    for (std::size_t i = 0; i < teile.size(); ++i)
        if (!kleiner(k, teile[i].von) && !kleiner(teile[i].bis, k)) return static_cast<int>(i);
    return -1;
}

bool beginntMit(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// Package heads of the range whose members another part evaluates: such a
// member is written by its head's process and by its own.
std::int32_t paketeMelden(const std::optional<Bereich>& b, const std::vector<Teil>& teile) {
    const std::int32_t sts = kAusgenommenSts;
    rt::Cursor koepfe;
    const std::string text = "select AppApk ,AppApp ,AppZf2  from Hlx504App" + bedingung(b, 0) +
                             " and (AppZf2 like '*PKT_KOPF*%' or AppZf2 like '*PKT_PROG*%') order by AppApk,AppApp";
    std::int32_t rc = mitBindungen(b, [&](rt::Binds in) { return rt::open(koepfe, text.c_str(), in); });
    if (rc != 0) return rc;
    Schluessel kopf;
    Text<30> zf2;
    while ((rc = rt::fetch(koepfe, {rt::txt(kopf.apk), rt::txt(kopf.app), rt::txt(zf2)})) == 0) {
        if (!beginntMit(zf2.view(), "*PKT_KOPF*") && !beginntMit(zf2.view(), "*PKT_PROG*")) continue;
        const int kopfTeil = teilVon(teile, kopf);
        // The key the members carry: order right-aligned in 12, position in 5, 13 blanks.
        const std::string k = std::string(12 - kopf.apk.size(), ' ') + kopf.apk.str() +
                              std::string(5 - kopf.app.size(), ' ') + kopf.app.str() + std::string(13, ' ');
        const Text<30> schluessel(k);
        rt::Cursor glieder;
        rc = rt::open(glieder,
                      "select AppApk ,AppApp  from Hlx504App where AppZf2=:b0 and AppSts<>:b1 order by "
                      "AppApk,AppApp",
                      {rt::txt(schluessel), rt::i16(sts)});
        if (rc != 0) break;
        Schluessel g;
        std::string fremde;
        while ((rc = rt::fetch(glieder, {rt::txt(g.apk), rt::txt(g.app)})) == 0) {
            const int t = teilVon(teile, g);
            if (t >= 0 && t != kopfTeil)
                fremde += " " + Anzeige_Text(g.apk.view()) + " " + Anzeige_Text(g.app.view()) + " (part " +
                          std::to_string(t + 1) + ")";
        }
        rt::close(glieder);
        if (rc != rt::err::NotFound) break;
        if (!fremde.empty())
            std::cerr << "korvimand-admin: split: package " << Anzeige_Text(kopf.apk.view()) << " "
                      << Anzeige_Text(kopf.app.view()) << " (part " << kopfTeil + 1
                      << ") has members in another part, which its process writes:" << fremde << "\n";
    }
    rt::close(koepfe);
    return rc == rt::err::NotFound ? 0 : rc;
}

int usage(const std::string& warum) {
    std::cerr << "korvimand-admin: split: " << warum << "\n" << adminAufruf("split") << "\n";
    return 2;
}

bool tabFrei(const Schluessel& k) {
    return k.apk.view().find_first_of("\t\n") == std::string_view::npos &&
           k.app.view().find_first_of("\t\n") == std::string_view::npos;
}

}  // namespace

int adminSplit(int argc, char** argv) {
    std::optional<std::string> net8;
    std::optional<std::pair<std::string, std::string>> von, bis;
    Text<8> erfasser("BATCH");
    int teile = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if ((opt == "--from" || opt == "--to") && i + 2 < argc) {
            (opt == "--from" ? von : bis) = std::make_pair(std::string(argv[i + 1]), std::string(argv[i + 2]));
            i += 2;
        } else if (opt == "--parts" && i + 1 < argc) {
            const std::string n = argv[++i];
            if (n.empty() || n.size() > 4 || n.find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(n) < 1 || std::stoi(n) > kMaxTeile)
                return usage("--parts takes a number from 1 to " + std::to_string(kMaxTeile));
            teile = std::stoi(n);
        } else if (opt == "--recorder" && i + 1 < argc) {
            // The line is split at tabs and ends at its line end; korvimand
            // would cut a longer recorder.
            const std::string e = argv[++i];
            if (e.size() > 8 || e.find_first_of("\t\r\n") != std::string::npos)
                return usage("--recorder takes at most 8 characters, no tab or line end");
            erfasser = e;
        } else if (opt == "--net8" && i + 1 < argc) net8 = argv[++i];
        else return usage("unexpected " + opt);
    }
    if (teile == 0) return usage("--parts is missing");
    if (von.has_value() != bis.has_value()) return usage("--from and --to go together");
    std::optional<Bereich> b;
    if (von) {
        // Cut to the widths of the keys, as korvimand cuts its arguments.
        b.emplace();
        b->von.apk = von->first;
        b->von.app = von->second;
        b->bis.apk = bis->first;
        b->bis.app = bis->second;
    }

    Sitzung sitzung;
    if (int rc = sitzung.verbinden(net8)) return rc;
    std::vector<Teil> parts;
    std::int32_t rc = schneiden(b, teile, parts);
    if (rc == 0) rc = paketeMelden(b, parts);
    if (rc != 0) {
        std::cerr << "korvimand-admin: split: reading the positions failed with code " << rc << "\n";
        return 1;
    }
    if (parts.empty()) {
        std::cerr << "korvimand-admin: split: no position to evaluate in the range\n";
        return 0;
    }
    if (static_cast<int>(parts.size()) < teile)
        std::cerr << "korvimand-admin: split: the range holds " << parts.size() << " orders: " << parts.size()
                  << " parts\n";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Teil& t = parts[i];
        if (!tabFrei(t.von) || !tabFrei(t.bis)) {
            std::cerr << "korvimand-admin: split: a key of part " << i + 1 << " holds a tab or a line end\n";
            return 1;
        }
        std::cerr << "korvimand-admin: split: part " << i + 1 << ": " << t.positionen << " positions in " << t.auftraege
                  << (t.auftraege == 1 ? " order\n" : " orders\n");
    }
    for (const Teil& t : parts)
        std::cout << t.von.apk.view() << '\t' << t.von.app.view() << '\t' << t.bis.apk.view() << '\t'
                  << t.bis.app.view() << '\t' << erfasser.view() << '\n';
    return 0;
}
