#include "util/Config.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "util/Datei.h"
#include "util/Geheim.h"
#include "util/Idea.h"

namespace {

constexpr const char* kDefaultFile = "../../../../files/helixonar.ini";

// Splits the bytes of a configuration file into two-line records as they
// arrive, keeping every field to its limit, so that neither a long line nor
// a large file costs more than a record's worth of memory. A long line is
// taken whole as one line (its excess is dropped, not read as the next line,
// which would put every later record out of step).
class RecordScanner {
public:
    RecordScanner(std::string_view name, std::string_view key, std::int32_t number)
        : name_(name), key_(key), number_(number) {}

    // Feeds bytes; returns true once a record matched (further bytes are ignored).
    bool feed(std::string_view bytes) {
        for (char c : bytes) {
            if (matched_) return true;
            if (pendingCr_) {
                pendingCr_ = false;
                if (c == '\n') {
                    endLine();
                    continue;
                }
                take('\r');
            }
            if (c == '\n') endLine();
            else if (c == '\r') pendingCr_ = true;
            else take(c);
        }
        return matched_;
    }

    // End of the bytes: a second line without a line end still counts; a
    // first line without its second line is no record.
    bool finish() {
        if (matched_) return true;
        // A CR at the very end is the start of a line end that never came.
        if (pendingCr_) lineHasBytes_ = true;
        pendingCr_ = false;
        if (secondLine_ && lineHasBytes_) endLine();
        return matched_;
    }

    const CfgRecord& record() const { return rec_; }

private:
    static void append(std::string& s, char c, std::size_t max) {
        if (s.size() < max) s.push_back(c);
    }

    void take(char c) {
        lineHasBytes_ = true;
        // After the key, a ';' belongs to the value.
        if (c == ';' && !(secondLine_ && semicolons_ >= 2)) {
            ++semicolons_;
            if (secondLine_ && semicolons_ == 2) keyFound();
            return;
        }
        if (!secondLine_) {
            if (semicolons_ == 1) append(rec_.name, c, CfgFieldMax);
            return;
        }
        switch (semicolons_) {
            case 0:
                append(numberText_, c, CfgNumberMax);
                break;
            case 1:
                append(middle_, c, CfgFieldMax);
                break;
            default:
                append(rec_.value, c, CfgValueMax);
                break;
        }
    }

    // A second ';' on the second line: what stood between the two is the key.
    void keyFound() { rec_.key.swap(middle_); }

    void endLine() {
        if (!secondLine_) {
            // A first line with fewer than two ';' names no record.
            if (semicolons_ < 2) rec_.name.clear();
            secondLine_ = true;
        } else {
            // A second line with exactly one ';' has an empty key and takes
            // everything after it as the value.
            if (semicolons_ == 1) rec_.value.swap(middle_);
            rec_.number = readNumber(numberText_);
            if (rec_.name == name_ || rec_.key == key_ || rec_.number == number_) {
                matched_ = true;
                return;
            }
            rec_ = CfgRecord{};
            numberText_.clear();
            middle_.clear();
            secondLine_ = false;
        }
        semicolons_ = 0;
        lineHasBytes_ = false;
    }

    // Decimal with leading blanks and a sign; stops at the first non-digit;
    // no digits give 0; a value beyond the 32-bit range is held at its bound.
    static std::int32_t readNumber(const std::string& s) {
        std::size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        std::int64_t v = 0;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            v = v * 10 + (s[i] - '0');
            if (v > std::int64_t{1} << 32) break;
        }
        if (negative) v = -v;
        if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
        if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(v);
    }

    std::string_view name_;
    std::string_view key_;
    std::int32_t number_;

    CfgRecord rec_;
    std::string numberText_;
    std::string middle_;
    bool secondLine_ = false;
    bool lineHasBytes_ = false;
    bool pendingCr_ = false;
    bool matched_ = false;
    int semicolons_ = 0;
};

IdeaUserKey userKey(std::string_view keyText) {
    // The i-th key word is the code of the i-th byte of the key text; the
    // text's terminating zero (and anything missing) gives 0.
    IdeaUserKey k{};
    for (std::size_t i = 0; i < k.size() && i < keyText.size(); ++i) k[i] = static_cast<unsigned char>(keyText[i]);
    return k;
}

// Mode 1 spells each pair of digits as a letter at that distance from 'A'.
std::string lettersToDigits(std::string_view letters) {
    std::string digits;
    for (char c : letters) {
        int d = static_cast<unsigned char>(c) - 'A';
        if (d < 0 || d > 99) break;
        digits.push_back(static_cast<char>('0' + d / 10));
        digits.push_back(static_cast<char>('0' + d % 10));
    }
    return digits;
}

// A group's leading digits as a decimal number; the 16-bit word keeps its
// low bits, as nothing checks that a value is valid ciphertext.
std::uint16_t groupWord(std::string_view group) {
    std::uint32_t v = 0;
    for (char c : group) {
        if (c < '0' || c > '9') break;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::uint16_t>(v);
}

void copyOut(char* out, const std::string& value) {
    std::size_t n = value.size() < CfgLoginBytes - 1 ? value.size() : CfgLoginBytes - 1;
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
}

}  // namespace

std::string Cfg_FileName() {
    const char* env = std::getenv("KORVIMAND_INI");
    return env && *env ? std::string(env) : std::string(kDefaultFile);
}

bool Cfg_FindRecord(std::string_view fileBytes, std::string_view name, std::string_view key, std::int32_t number,
                    CfgRecord& record) {
    RecordScanner scanner(name, key, number);
    bool found = scanner.feed(fileBytes) || scanner.finish();
    record = found ? scanner.record() : CfgRecord{};
    return found;
}

std::string Cfg_ReadValue(std::string_view name, std::string_view key, std::int32_t number,
                          const std::string& fileName) {
    // Not a regular file (a pipe, a device) is as good as no file.
    const int fd = Datei_LesenOeffnen(fileName);
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (!f) {
        if (fd >= 0) ::close(fd);
        return {};
    }
    RecordScanner scanner(name, key, number);
    char buf[65536];
    bool found = false;
    for (std::size_t total = 0; total < CfgFileMax;) {
        std::size_t n = std::fread(buf, 1, sizeof buf, f);
        total += n;
        if (n && scanner.feed(std::string_view(buf, n))) {
            found = true;
            break;
        }
        if (n < sizeof buf) break;
    }
    // A read error ends the file where it stands, as the end of the file would.
    if (!found) found = scanner.finish();
    std::fclose(f);
    return found ? Cfg_DecodeValue(scanner.record().value, CfgKeyText, 0) : std::string();
}

std::string Cfg_DecodeValue(std::string_view value, std::string_view keyText, std::int32_t mode) {
    std::string digits;
    if (mode == 1) {
        digits = lettersToDigits(value);
        value = digits;
    } else if (mode != 0) {
        return {};
    }
    const std::size_t n = value.size() / 5;
    const IdeaSubkeys dk = Idea_DecryptionKeys(Idea_EncryptionKeys(userKey(keyText)));
    std::string text;
    text.reserve(n);
    for (std::size_t b = 0; b < n; b += 4) {
        IdeaBlock block{};
        for (std::size_t j = 0; j < 4 && b + j < n; ++j) block[j] = groupWord(value.substr(5 * (b + j), 5));
        IdeaBlock plain = Idea_Crypt(dk, block);
        for (std::size_t j = 0; j < 4 && b + j < n; ++j) text.push_back(static_cast<char>(plain[j] & 0xFF));
    }
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

std::string Cfg_EncodeValue(std::string_view text, std::string_view keyText) {
    const IdeaSubkeys ek = Idea_EncryptionKeys(userKey(keyText));
    std::string out;
    out.reserve((text.size() + 3) / 4 * 20);
    for (std::size_t b = 0; b < text.size(); b += 4) {
        IdeaBlock block{};
        for (std::size_t j = 0; j < 4 && b + j < text.size(); ++j) block[j] = static_cast<unsigned char>(text[b + j]);
        for (std::uint16_t w : Idea_Crypt(ek, block)) {
            char group[8];
            std::snprintf(group, sizeof group, "%05u", static_cast<unsigned>(w));
            out += group;
        }
    }
    return out;
}

void Cfg_GetDbLogin(char* login, char* password, char* net8) {
    Geheim_NichtAbbildbar();
    const std::string file = Cfg_FileName();
    copyOut(login, Cfg_ReadValue("", "LOGIN", 0, file));
    std::string klartext = Cfg_ReadValue("", "PASS", 0, file);
    copyOut(password, klartext);
    Geheim_Loeschen(klartext);
    copyOut(net8, Cfg_ReadValue("", "NET8", 0, file));
}

std::string Cfg_DbLoginFile(std::string_view login, std::string_view password, std::string_view net8) {
    // Each record needs a name and a number of its own: the program looks up
    // with an empty name and number 0, which an empty name or a 0 would match.
    std::string out;
    const struct {
        const char* name;
        const char* key;
        std::string_view text;
    } records[] = {{"DbLogin", "LOGIN", login}, {"DbPassword", "PASS", password}, {"DbService", "NET8", net8}};
    int number = 1;
    for (const auto& r : records) {
        out += "DB;";
        out += r.name;
        out += ";\r\n";
        out += std::to_string(number++);
        out += ';';
        out += r.key;
        out += ';';
        out += Cfg_EncodeValue(r.text, CfgKeyText);
        out += "\r\n";
    }
    return out;
}
