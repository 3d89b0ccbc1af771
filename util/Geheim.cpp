#include "util/Geheim.h"

#include <sys/prctl.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kMaske = "***";

bool istPasswortSchluessel(std::string_view k) { return k == "password" || k == "sslpassword"; }

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// "scheme://[user[:password]@]host...[?key=value&...]".
std::string uri(std::string_view s, std::size_t nachSchema) {
    std::string out;
    const std::size_t frage = s.find('?', nachSchema);
    const std::string_view vorne = s.substr(0, frage);
    // The password reaches to the last "@" before the query: an "@" in it,
    // not percent-encoded, still hides all of it.
    const std::size_t at = vorne.rfind('@');
    const std::size_t doppelpunkt = at == std::string_view::npos ? at : vorne.find(':', nachSchema);
    if (doppelpunkt != std::string_view::npos && doppelpunkt < at) {
        out.append(vorne.substr(0, doppelpunkt + 1)).append(kMaske).append(vorne.substr(at));
    } else {
        out.append(vorne);
    }
    if (frage == std::string_view::npos) return out;
    std::size_t p = frage;
    while (p < s.size()) {
        out.push_back(s[p]);  // '?' or '&'
        const std::size_t ende = std::min(s.find('&', p + 1), s.size());
        const std::string_view paar = s.substr(p + 1, ende - p - 1);
        const std::size_t gleich = paar.find('=');
        if (gleich != std::string_view::npos && istPasswortSchluessel(paar.substr(0, gleich)))
            out.append(paar.substr(0, gleich + 1)).append(kMaske);
        else out.append(paar);
        p = ende;
    }
    return out;
}

// "key = value key='quoted \' value' ...".
std::string schluesselWerte(std::string_view s) {
    std::string out;
    std::size_t p = 0;
    while (p < s.size()) {
        if (blank(s[p])) {
            out.push_back(s[p++]);
            continue;
        }
        std::size_t q = p;
        while (q < s.size() && !blank(s[q]) && s[q] != '=') ++q;
        const std::string_view schluessel = s.substr(p, q - p);
        while (q < s.size() && blank(s[q])) ++q;
        if (q >= s.size() || s[q] != '=') {
            out.append(s.substr(p, q - p));
            p = q;
            continue;
        }
        ++q;
        while (q < s.size() && blank(s[q])) ++q;
        std::size_t w = q;
        if (w < s.size() && s[w] == '\'') {
            for (++w; w < s.size() && s[w] != '\''; ++w)
                if (s[w] == '\\') ++w;
            w = std::min(w + 1, s.size());
        } else {
            for (; w < s.size() && !blank(s[w]); ++w)
                if (s[w] == '\\') ++w;
            w = std::min(w, s.size());
        }
        out.append(s.substr(p, q - p));
        out.append(istPasswortSchluessel(schluessel) ? kMaske : s.substr(q, w - q));
        p = w;
    }
    return out;
}

}  // namespace

std::string Geheim_Net8Anzeige(std::string_view net8) {
    if (net8.substr(0, 7) == "sqlite:") return std::string(net8);
    for (std::string_view schema : {"postgresql://", "postgres://"})
        if (net8.substr(0, schema.size()) == schema) return uri(net8, schema.size());
    // Without "=" the client takes it as a service name (or this program as
    // an SQLite path): nothing to hide.
    if (net8.find('=') == std::string_view::npos) return std::string(net8);
    return schluesselWerte(net8);
}

void Geheim_NichtAbbildbar() noexcept { ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0); }

void Geheim_Loeschen(void* s, std::size_t n) noexcept { ::explicit_bzero(s, n); }

void Geheim_Loeschen(std::string& s) noexcept { ::explicit_bzero(s.data(), s.size()); }
