// korvimand-admin encode / decode / ini: the enciphered values of the
// configuration file.
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "tools/Admin.h"
#include "util/Config.h"
#include "util/Datei.h"

namespace {

constexpr int kUsage = 2;
constexpr int kFailed = 1;

int usageError(const std::string& message) {
    std::cerr << "korvimand-admin: " << message << "\n";
    return kUsage;
}

// A value that does not fit into a configuration value would be cut by
// every reader of the file; the message never shows the value (a password
// may stand in any of them).
std::optional<std::string> tooLong(const char* what, const std::string& value) {
    if (value.size() <= CfgTextMax) return std::nullopt;
    std::string m = std::string("the ") + what + " has " + std::to_string(value.size()) +
                    " characters; a configuration value holds at most " + std::to_string(CfgTextMax);
    if (std::string(what) == "net8")
        m += "\n(a PostgreSQL connection fits as a libpq service name: --net8 bde, with its host, port and database "
             "in a [bde] section of pg_service.conf)";
    return m;
}

// One line of stdin without its line end. A terminal does not echo it.
bool readSecretLine(std::string& out) {
    termios saved{};
    const bool tty = ::isatty(0) && ::tcgetattr(0, &saved) == 0;
    if (tty) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(0, TCSAFLUSH, &quiet);
        std::cerr << "Password: " << std::flush;
    }
    const bool ok = static_cast<bool>(std::getline(std::cin, out)) || !out.empty();
    if (tty) {
        ::tcsetattr(0, TCSAFLUSH, &saved);
        std::cerr << "\n";
    }
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return ok;
}

// Writes the file whole or not at all, readable by its owner only (the
// values are enciphered under a key every copy of the program knows).
int writeConfig(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    if (ec) {
        std::cerr << "korvimand-admin: cannot create the folder of " << path << ": " << ec.message() << "\n";
        return kFailed;
    }
    if (const int e = Datei_Ersetzen(path, bytes, 0600)) {
        std::cerr << "korvimand-admin: cannot write " << path << ": " << Datei_Grund(e) << "\n";
        return kFailed;
    }
    return 0;
}

}  // namespace

int adminEncode(int argc, char** argv) {
    if (argc != 1) return usageError(adminAufruf("encode"));
    std::string text = argv[0];
    if (text == "-" && !readSecretLine(text)) return usageError("encode: nothing on stdin");
    if (auto m = tooLong("text", text)) return usageError("encode: " + *m);
    std::cout << Cfg_EncodeValue(text, CfgKeyText) << "\n";
    return 0;
}

int adminDecode(int argc, char** argv) {
    if (argc != 1) return usageError(adminAufruf("decode"));
    std::string digits = argv[0];
    if (digits == "-" && !readSecretLine(digits)) return usageError("decode: nothing on stdin");
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() % 5 != 0)
        return usageError("decode: expected groups of 5 digits without separators");
    for (std::size_t i = 0; i < digits.size(); i += 5)
        if (std::stoul(digits.substr(i, 5)) > 65535)
            return usageError("decode: group " + digits.substr(i, 5) + " is above 65535");
    std::cout << Cfg_DecodeValue(digits, CfgKeyText, 0) << "\n";
    return 0;
}

int adminIni(int argc, char** argv) {
    const std::string usage = adminAufruf("ini");
    std::optional<std::string> login, password, net8, file;
    for (int i = 0; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) return usageError("ini: " + opt + " needs a value\n" + usage);
        const std::string value = argv[++i];
        if (opt == "--login") login = value;
        else if (opt == "--net8") net8 = value;
        else if (opt == "--file") file = value;
        else if (opt == "--password" && value == "-") {
            std::string line;
            if (!readSecretLine(line)) return usageError("ini: no password on stdin");
            password = line;
        } else if (opt == "--password") password = value;
        else if (opt == "--password-env") {
            const char* v = std::getenv(value.c_str());
            if (!v) return usageError("ini: the environment variable " + value + " is not set");
            password = v;
        } else return usageError("ini: unknown option " + opt + "\n" + usage);
    }
    if (!login || !password || !net8) return usageError("ini: --login, a password and --net8 are needed\n" + usage);
    if (net8->empty()) return usageError("ini: --net8 must name the database");
    for (auto m : {tooLong("login", *login), tooLong("password", *password), tooLong("net8", *net8)})
        if (m) return usageError("ini: " + *m);
    const std::string path = file ? *file : Cfg_FileName();
    const bool ersetzt = ::access(path.c_str(), F_OK) == 0;
    if (int rc = writeConfig(path, Cfg_DbLoginFile(*login, *password, *net8))) return rc;
    std::cout << "korvimand-admin: " << (ersetzt ? "replaced " : "wrote ") << path << "\n";
    return 0;
}
