// korvimand-admin report --html against the text report of the same range,
// on both backends, after the demo's runs; and for an empty range.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "nza/Zeit.h"
#include "tests/support/Csv.h"
#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace {

using testcsv::csv;
using testcsv::Zeile;

std::string ohneEntities(std::string v) {
    static const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"},
                                                                   {"&gt;", ">"},
                                                                   {"&quot;", "\""},
                                                                   {"&#39;", "'"},
                                                                   {"&amp;", "&"}};
    for (const auto& [e, c] : entities)
        for (std::size_t p; (p = v.find(e)) != std::string::npos;) v.replace(p, std::string(e).size(), c);
    return v;
}

// The body rows of the page's table with this id; the summary's figures
// as rows of label and value.
std::vector<Zeile> zeilen(const std::string& html, const std::string& tabelle) {
    std::vector<Zeile> out;
    if (tabelle == "summary") {
        static const std::regex paar("<dt>(.*?)</dt><dd[^>]*>(.*?)</dd>");
        for (std::sregex_iterator i(html.begin(), html.end(), paar), e; i != e; ++i)
            out.push_back({ohneEntities((*i)[1]), ohneEntities((*i)[2])});
        return out;
    }
    const auto a = html.find("<table id=\"" + tabelle + "-table\">");
    if (a == std::string::npos) return out;
    const std::string t = html.substr(a, html.find("</table>", a) - a);
    static const std::regex zeile("<tr>((?:<td.*?</td>)+)</tr>"), zelle("<td[^>]*>(.*?)</td>");
    for (std::sregex_iterator i(t.begin(), t.end(), zeile), e; i != e; ++i) {
        const std::string z = (*i)[1];
        out.emplace_back();
        for (std::sregex_iterator k(z.begin(), z.end(), zelle); k != e; ++k)
            out.back().push_back(ohneEntities((*k)[1]));
    }
    return out;
}

class ReportHtml : public e2e::TreeTest {
protected:
    std::vector<Zeile> text(const std::vector<std::string>& bereich, const char* tabelle) {
        std::vector<std::string> args = {"report", "--log", tree.logPath, "--table", tabelle, "--csv"};
        args.insert(args.end(), bereich.begin(), bereich.end());
        const e2e::Result r = admin(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<Zeile> z = csv(r.out);
        if (!z.empty()) z.erase(z.begin());  // the header
        return z;
    }
};

TEST_P(ReportHtml, ThePageShowsTheFiguresOfTheTextReport) {
    ASSERT_EQ(admin({"demo"}).status, 0);
    ASSERT_EQ(e2e::run(tree, {"000000100001", "00000", "000000100004", "99999", "DEMO"}).status, 0);
    ASSERT_EQ(e2e::run(tree, {"000000000000", "00000", "000000000000", "00000", "DEMO"}).status, 0);
    const std::vector<std::string> alle, leer = {"--from", "000000900000", "00000", "--to", "000000900001", "99999"};
    std::map<std::string, std::vector<Zeile>> tabellen;  // of all positions
    for (const auto* bereich : {&alle, &leer}) {
        std::vector<std::string> args = {"report", "--log", tree.logPath, "--html", tree.root + "/r.html"};
        args.insert(args.end(), bereich->begin(), bereich->end());
        const e2e::Result r = admin(args);
        ASSERT_EQ(r.status, 0) << r.err;
        std::ifstream f(tree.root + "/r.html");
        std::stringstream ss;
        ss << f.rdbuf();
        const std::string html = ss.str();
        // An empty range has no rows per workstation or position: nor may the page.
        for (const std::string tabelle : {"summary", "workstations", "deviations", "failures"}) {
            const bool keine = bereich == &leer && (tabelle == "workstations" || tabelle == "deviations");
            const std::vector<Zeile> t = keine ? std::vector<Zeile>() : text(*bereich, tabelle.c_str());
            EXPECT_EQ(zeilen(html, tabelle), t) << tabelle << " " << bereich->size();
            if (bereich == &alle) tabellen[tabelle] = t;
        }
        const bool ohne = bereich == &leer;
        EXPECT_EQ(html.find("<svg") == std::string::npos, ohne);
        EXPECT_EQ(html.find("No evaluated positions in this range.") != std::string::npos, ohne);
        EXPECT_TRUE(html.find("<script") == std::string::npos && html.find("src=") == std::string::npos);
        if (ohne) {
            EXPECT_EQ(zeilen(html, "summary").at(0), (Zeile{"positions evaluated", "0"}));
        }
    }

    // The sums themselves, from the positions table: those with a total record,
    // planned AppSza and actual AppIta in minutes per workstation.
    std::set<std::pair<std::string, std::string>> ausgewertet;
    for (const Zeile& z : text(alle, "records"))
        if (z[2] == "11") ausgewertet.insert({z[0], z[1]});
    std::map<std::string, std::pair<double, double>> summe;
    double groessteUeber = 0;
    for (const Zeile& z : text(alle, "positions")) {
        if (!ausgewertet.count({z[0], z[1]})) continue;
        const double plan = m(std::stod(z[9])), ist = m(std::stod(z[11]));
        summe[z[3]].first += plan;
        summe[z[3]].second += ist;
        groessteUeber = std::max(groessteUeber, ist - plan);
    }
    const std::vector<Zeile>& plaetze = tabellen["workstations"];
    ASSERT_EQ(plaetze.size(), summe.size());
    for (const Zeile& p : plaetze) {
        EXPECT_EQ(std::stod(p[2]), hm(ganz(summe.at(p[0]).first))) << p[0];
        EXPECT_EQ(std::stod(p[3]), hm(ganz(summe.at(p[0]).second))) << p[0];
    }
    const std::vector<Zeile>& abweichungen = tabellen["deviations"];
    ASSERT_FALSE(abweichungen.empty());
    EXPECT_EQ(abweichungen[0][0], "over");
    EXPECT_EQ(std::stod(abweichungen[0][6]), hm(ganz(groessteUeber)));
    EXPECT_EQ(tabellen["summary"].at(0), (Zeile{"positions evaluated", std::to_string(ausgewertet.size())}));
}

TEST_P(ReportHtml, AFailedWriteAndWrongCombinationsAreRefused) {
    const e2e::Result r = admin({"report", "--html", tree.root + "/missing/r.html"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(admin({"report", "--html", tree.root + "/r.html", "--table", "summary"}).status, 2);
    EXPECT_EQ(admin({"report", "--table", "failures"}).status, 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReportHtml, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
