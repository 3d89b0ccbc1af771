#pragma once
// The database session of the demo and report commands: the login of the
// configuration file korvimand reads, with an optional NET8 of the command
// line in place of the configured one.
#include <iostream>
#include <optional>
#include <string>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "util/Config.h"
#include "util/ConfigMangel.h"
#include "util/Geheim.h"

class Sitzung {
public:
    Sitzung() = default;
    Sitzung(const Sitzung&) = delete;
    Sitzung& operator=(const Sitzung&) = delete;
    ~Sitzung() { rt::disconnect(); }

    // 0 when connected; otherwise tells why on stderr and returns 1.
    int verbinden(const std::optional<std::string>& net8) {
        char login[CfgLoginBytes] = {};
        char password[CfgLoginBytes] = {};
        char konfiguriert[CfgLoginBytes] = {};
        Cfg_GetDbLogin(login, password, konfiguriert);
        net8_ = net8 ? *net8 : std::string(konfiguriert);
        if (net8_.empty()) {
            std::cerr << "korvimand-admin: " << Cfg_Mangel() << " (or give --net8)\n";
            return 1;
        }
        const std::int32_t rc = rt::connect(login, password, net8_.c_str());
        Geheim_Loeschen(password, sizeof password);
        if (rc != 0) {
            std::cerr << "korvimand-admin: cannot connect to " << anzeige() << " (code " << rt::err::explain(rc)
                      << ")\n";
            return 1;
        }
        return 0;
    }

    // NET8 as it may be shown.
    std::string anzeige() const { return Geheim_Net8Anzeige(net8_); }

private:
    std::string net8_;
};
