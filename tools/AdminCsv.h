#pragma once
// CSV for a spreadsheet (RFC 4180): a field with a comma, quote or line end
// is quoted, its quotes doubled.
#include <string>
#include <string_view>

inline std::string csvFeld(std::string_view v) {
    if (v.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(v);
    std::string q = "\"";
    for (char c : v) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}
