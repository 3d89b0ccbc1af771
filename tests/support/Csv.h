#pragma once
// CSV as korvimand-admin writes it, read back for the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testcsv {

using Zeile = std::vector<std::string>;

// RFC 4180 rows: quoted fields may hold commas, quotes and line ends.
inline std::vector<Zeile> csv(const std::string& text) {
    std::vector<Zeile> zeilen;
    Zeile z;
    std::string feld;
    bool inQuotes = false, begonnen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                feld += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                feld += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            begonnen = true;
        } else if (c == ',') {
            z.push_back(feld);
            feld.clear();
            begonnen = true;
        } else if (c == '\n') {
            if (begonnen || !feld.empty()) z.push_back(feld);
            zeilen.push_back(z);
            z.clear();
            feld.clear();
            begonnen = false;
        } else {
            feld += c;
            begonnen = true;
        }
    }
    EXPECT_FALSE(inQuotes) << "unterminated quote";
    if (begonnen || !feld.empty()) {
        z.push_back(feld);
        zeilen.push_back(z);
    }
    return zeilen;
}

}  // namespace testcsv
