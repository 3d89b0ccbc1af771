#pragma once
// CSV for a spreadsheet (RFC 4180): a field with a comma, quote or line end
// is quoted, its quotes doubled. A text that a spreadsheet would take for a
// formula (it begins with =, +, -, @, a tab or CR and is no number) gets a
// leading apostrophe inside quotes, so that it shows as the text it is.
#include <string>
#include <string_view>

// A number as this program writes one ("%g", h.mm): a sign, digits, a
// fraction, an exponent.
inline bool csvZahl(std::string_view v) {
    std::size_t i = 0;
    const auto ziffern = [&] {
        const std::size_t anfang = i;
        while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
        return i > anfang;
    };
    const auto zeichen = [&](std::string_view z) { return i < v.size() && z.find(v[i]) != z.npos && ++i; };
    zeichen("+-");
    if (!ziffern()) return false;
    if (zeichen(".") && !ziffern()) return false;
    if (zeichen("eE")) {
        zeichen("+-");
        if (!ziffern()) return false;
    }
    return i == v.size();
}

inline std::string csvFeld(std::string_view v) {
    // A lone "-" (no value) is no formula either.
    const bool formel =
        !v.empty() && std::string_view("=+-@\t\r").find(v.front()) != std::string_view::npos && !csvZahl(v) && v != "-";
    if (!formel && v.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(v);
    std::string q = formel ? "\"'" : "\"";
    for (char c : v) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}
