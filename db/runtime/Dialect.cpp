#include "db/runtime/Dialect.h"

#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "db/runtime/ResultCodes.h"
#include "db/schema/SchemaText.h"

namespace rt::dialect {
namespace {

bool identStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool identChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; }
bool space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct Scanner {
    std::string_view t;
    std::size_t p = 0;

    bool end() const { return p >= t.size(); }
    void skipSpace() {
        while (p < t.size() && space(t[p])) ++p;
    }
    std::string_view word() {
        std::size_t b = p;
        if (p < t.size() && identStart(t[p]))
            while (p < t.size() && identChar(t[p])) ++p;
        return t.substr(b, p - b);
    }
    bool eat(char c) {
        skipSpace();
        if (p < t.size() && t[p] == c) {
            ++p;
            return true;
        }
        return false;
    }
    // ":b" followed by digits.
    bool placeholderAhead() const {
        return p + 2 < t.size() + 0 && t[p] == ':' && (t[p + 1] == 'b' || t[p + 1] == 'B') &&
               std::isdigit(static_cast<unsigned char>(t[p + 2]));
    }
    bool placeholder() {
        skipSpace();
        if (p + 2 >= t.size() || !placeholderAhead()) return false;
        p += 2;
        while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p]))) ++p;
        return true;
    }
    // A quoted literal; returns its content (no quote doubling in our texts).
    bool literal(std::string_view& content) {
        skipSpace();
        if (p >= t.size() || t[p] != '\'') return false;
        std::size_t b = ++p;
        while (p < t.size() && t[p] != '\'') ++p;
        if (p >= t.size()) return false;
        content = t.substr(b, p - b);
        ++p;
        return true;
    }
};

enum class Fmt { Bad, Day, Time, Stamp };

Fmt format(std::string_view f) {
    if (iequal(f, "yyyymmdd")) return Fmt::Day;
    if (iequal(f, "HH24MISS")) return Fmt::Time;
    if (iequal(f, "yyyymmddHH24MISS")) return Fmt::Stamp;
    return Fmt::Bad;
}

// SQLite keeps dates as "YYYY-MM-DD HH:MM:SS"; the digits are cut out with
// substr so that the expression stays plain SQL (the day form is used in
// indexes). A value that another program wrote without its time reads as
// midnight, as a date without a time does on Oracle.
void sqliteToChar(std::string& o, std::string_view col, Fmt f) {
    auto part = [&](int from, int n) {
        o += "substr(";
        o += col;
        if (from > 10) o += "||' 00:00:00'";
        o += ',';
        o += std::to_string(from);
        o += ',';
        o += std::to_string(n);
        o += ')';
    };
    o += '(';
    if (f == Fmt::Day || f == Fmt::Stamp) {
        part(1, 4);
        o += "||";
        part(6, 2);
        o += "||";
        part(9, 2);
    }
    if (f == Fmt::Stamp) o += "||";
    if (f == Fmt::Time || f == Fmt::Stamp) {
        part(12, 2);
        o += "||";
        part(15, 2);
        o += "||";
        part(18, 2);
    }
    o += ')';
}

// TO_CHAR(col,'yyyymmdd')=:bN as the range of that day, which an index on
// col serves; the text of a day cannot be indexed on PostgreSQL (to_char
// depends on settings). col is a timestamp(0): every value of the day lies
// in [day, day + 1 day), and a NULL col or day gives NULL as before.
void postgresDayKey(std::string& o, std::string_view col, std::size_t n) {
    const std::string day = "$" + std::to_string(n) + "::timestamp(0)";
    o += "(";
    o += col;
    o += ">=" + day + " and ";
    o += col;
    o += "<" + day + "+interval '1 day')";
}

void postgresToChar(std::string& o, std::string_view col, Fmt f) {
    o += "to_char(";
    o += col;
    o += f == Fmt::Day ? ",'YYYYMMDD')" : f == Fmt::Time ? ",'HH24MISS')" : ",'YYYYMMDDHH24MISS')";
}

void param(std::string& o, Backend b, std::size_t n, bool timestamp) {
    o += b == Backend::Sqlite ? '?' : '$';
    o += std::to_string(n);
    if (timestamp && b == Backend::Postgres) o += "::timestamp(0)";
}

std::int32_t control(Scanner& s, std::string_view verb, Translated& out) {
    if (iequal(verb, "commit")) {
        out.verb = Verb::Commit;
        s.skipSpace();
        if (iequal(s.word(), "work")) s.skipSpace();
        return s.end() ? 0 : err::BadStatement;
    }
    if (iequal(verb, "savepoint")) {
        out.verb = Verb::Savepoint;
        s.skipSpace();
        out.savepoint = std::string(s.word());
        s.skipSpace();
        return out.savepoint.empty() || !s.end() ? err::BadStatement : 0;
    }
    // rollback [work] [to [savepoint] name]
    s.skipSpace();
    std::string_view w = s.word();
    if (iequal(w, "work")) {
        s.skipSpace();
        w = s.word();
    }
    if (w.empty()) {
        out.verb = Verb::Rollback;
        return s.end() ? 0 : err::BadStatement;
    }
    if (!iequal(w, "to")) return err::BadStatement;
    s.skipSpace();
    w = s.word();
    if (iequal(w, "savepoint")) {
        s.skipSpace();
        w = s.word();
    }
    out.verb = Verb::RollbackTo;
    out.savepoint = std::string(w);
    s.skipSpace();
    return out.savepoint.empty() || !s.end() ? err::BadStatement : 0;
}

bool plainColumn(std::string_view col) {
    if (col.empty() || !identStart(col[0])) return false;
    for (char c : col)
        if (!identChar(c) && c != '.') return false;
    return true;
}

// Columns that the SQLite schema declares NOT NULL in every table that has
// them, in lower case.
const std::set<std::string, std::less<>>& notNullColumns() {
    static const std::set<std::string, std::less<>> names = [] {
        std::map<std::string, bool> notNull;
        std::istringstream in(schema::sqliteText);
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string name, type;
            if (!(words >> name >> type) || !identStart(name[0])) continue;
            if (type != "TEXT" && type != "INTEGER" && type != "REAL" && type != "BLOB") continue;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const bool declared = line.find("NOT NULL") != std::string::npos;
            auto [it, fresh] = notNull.emplace(name, declared);
            if (!fresh) it->second = it->second && declared;
        }
        std::set<std::string, std::less<>> out;
        for (const auto& [name, declared] : notNull)
            if (declared) out.insert(name);
        return out;
    }();
    return names;
}

// Whether an order key is a column that can hold no NULL.
bool neverNull(std::string_view key) {
    while (!key.empty() && (space(key.front()) || key.front() == ',')) key.remove_prefix(1);
    while (!key.empty() && space(key.back())) key.remove_suffix(1);
    for (std::string_view dir : {"asc", "desc"})
        if (key.size() > dir.size() && iequal(key.substr(key.size() - dir.size()), dir) &&
            space(key[key.size() - dir.size() - 1])) {
            key.remove_suffix(dir.size());
            while (!key.empty() && space(key.back())) key.remove_suffix(1);
        }
    if (std::size_t dot = key.rfind('.'); dot != std::string_view::npos) key.remove_prefix(dot + 1);
    if (!plainColumn(key)) return false;
    std::string lower(key);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return notNullColumns().count(lower) != 0;
}

// Oracle sorts NULL after every value ascending and before every value
// descending; SQLite does the opposite. Every key of an ORDER BY gets the
// order spelled out, so that both backends deliver rows alike. On SQLite a
// column that can hold no NULL keeps its plain key: a spelled-out NULL
// order there would sort the rows in a temporary B-tree instead of reading
// them in the order of an index.
struct OrderBy {
    bool active = false;
    bool sqlite = false;
    int depth = 0;          // parentheses opened since the ORDER BY
    bool desc = false;      // the current key sorts descending
    bool given = false;     // the current key names its NULL order itself
    std::size_t start = 0;  // where the current key begins in the output

    // Ends the current key: the NULL order goes before any trailing blanks.
    void key(std::string& o) {
        if (!active) return;
        if (!given && !(sqlite && neverNull(std::string_view(o).substr(start)))) {
            std::size_t end = o.size();
            while (end > 0 && space(o[end - 1])) --end;
            o.insert(end, desc ? " NULLS FIRST" : " NULLS LAST");
        }
        desc = given = false;
        start = o.size();
    }
};

// Groups come in the database's own order (PostgreSQL hashes them); a
// GROUP BY without ORDER BY is ordered by its keys, so that every backend
// delivers the groups alike, ascending with NULLs last.
void orderByGroup(std::string& o, std::size_t start, std::size_t end, OrderBy& order, Backend backend) {
    std::string keys = o.substr(start, end == std::string::npos ? std::string::npos : end - start);
    while (!o.empty() && space(o.back())) o.pop_back();
    order = OrderBy{};
    order.active = true;
    order.sqlite = backend == Backend::Sqlite;
    o += " order by";
    order.start = o.size();
    int depth = 0;
    for (char c : keys) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) order.key(o);
        o += c;
    }
    order.key(o);
}

// Whether the scanner stands at the end of a select-list column.
bool columnEnds(Scanner s) {
    s.skipSpace();
    if (s.end() || s.t[s.p] == ',') return true;
    std::string_view w = s.word();
    return iequal(w, "from") || iequal(w, "into");
}

// Whether an order by names a select-list column by its number.
bool orderByNumber(Scanner s) {
    s.skipSpace();
    return !s.end() && std::isdigit(static_cast<unsigned char>(s.t[s.p]));
}

// cut: a select-list TO_CHAR of a plain column may be cut on the client.
std::int32_t translate(std::string_view text, Backend backend, Translated& out, bool cut) {
    out = Translated{};
    Scanner s{text};
    s.skipSpace();
    std::string_view verb = s.word();
    if (iequal(verb, "select")) out.verb = Verb::Select;
    else if (iequal(verb, "insert")) out.verb = Verb::Insert;
    else if (iequal(verb, "update")) out.verb = Verb::Update;
    else if (iequal(verb, "delete")) out.verb = Verb::Delete;
    else if (iequal(verb, "commit") || iequal(verb, "savepoint") || iequal(verb, "rollback"))
        return control(s, verb, out);
    else return err::BadStatement;

    std::string& o = out.sql;
    o.reserve(text.size() + 64);
    o += verb;
    // Where the select list stands: its column, the parentheses open, and
    // whether nothing of the current column has been read yet.
    bool inList = out.verb == Verb::Select;
    int column = 0;
    int parens = 0;
    bool columnStart = true;
    bool grouping = false;
    OrderBy order;
    bool ordered = false;
    // Where the keys of a GROUP BY begin and end in the output (npos: none).
    std::size_t groupStart = std::string::npos, groupEnd = std::string::npos;
    while (!s.end()) {
        char c = text[s.p];
        const bool atColumnStart = columnStart;
        if (!space(c)) columnStart = false;
        if (c == '(') {
            ++parens;
        } else if (c == ')') {
            --parens;
        } else if (c == ',' && parens == 0 && inList) {
            ++column;
            columnStart = true;
        }
        if (c == '\'') {
            std::size_t b = s.p++;
            while (s.p < text.size() && text[s.p] != '\'') ++s.p;
            if (s.end()) return err::BadStatement;
            ++s.p;
            o += text.substr(b, s.p - b);
            continue;
        }
        if (s.placeholderAhead()) {
            s.placeholder();
            out.inputs.push_back(InConv::None);
            param(o, backend, out.inputs.size(), false);
            continue;
        }
        if (!identStart(c)) {
            if (order.active && c == '(') ++order.depth;
            if (order.active && c == ')' && --order.depth < 0) {
                order.key(o);
                order.active = false;
            }
            if (order.active && c == ',' && order.depth == 0) order.key(o);
            o += c;
            ++s.p;
            continue;
        }
        std::string_view w = s.word();
        if (parens == 0 && (iequal(w, "from") || iequal(w, "into"))) inList = false;
        if (iequal(w, "distinct") || iequal(w, "group") || iequal(w, "union")) grouping = true;
        if (groupStart != std::string::npos && groupEnd == std::string::npos &&
            (iequal(w, "having") || iequal(w, "order") || iequal(w, "limit")))
            groupEnd = o.size();
        if (out.verb == Verb::Select && parens == 0 && iequal(w, "group")) {
            std::size_t save = s.p;
            s.skipSpace();
            if (iequal(s.word(), "by")) {
                o += "group by";
                groupStart = o.size();
                continue;
            }
            s.p = save;
        }
        if (out.verb == Verb::Select && iequal(w, "order")) {
            std::size_t save = s.p;
            s.skipSpace();
            if (iequal(s.word(), "by")) {
                order.key(o);
                order = OrderBy{};
                order.active = true;
                order.sqlite = backend == Backend::Sqlite;
                if (orderByNumber(s)) grouping = true;
                ordered = true;
                o += "order by";
                order.start = o.size();
                continue;
            }
            s.p = save;
        }
        if (order.active && order.depth == 0) {
            if (iequal(w, "desc")) order.desc = true;
            if (iequal(w, "asc")) order.desc = false;
            if (iequal(w, "nulls")) order.given = true;
            if (iequal(w, "limit") || iequal(w, "offset") || iequal(w, "for")) {
                order.key(o);
                order.active = false;
            }
        }
        if (out.verb == Verb::Select && !out.hasInto && iequal(w, "into")) {
            // The into list names the outputs: ":b0:b1,:b2:b3" (value and
            // indicator) or ":b0,:b1". Only its length matters.
            do {
                if (!s.placeholder()) return err::BadStatement;
                s.placeholder();  // the indicator, when there is one
                ++out.outputs;
            } while (s.eat(','));
            out.hasInto = true;
            continue;
        }
        if (iequal(w, "to_char")) {
            if (!s.eat('(')) return err::BadStatement;
            s.skipSpace();
            std::size_t b = s.p;
            int depth = 0;
            while (!s.end() && !(depth == 0 && text[s.p] == ',')) {
                if (text[s.p] == '(') ++depth;
                if (text[s.p] == ')' && --depth < 0) return err::BadStatement;
                ++s.p;
            }
            std::string_view col = text.substr(b, s.p - b);
            while (!col.empty() && space(col.back())) col.remove_suffix(1);
            std::string_view fmt;
            if (!s.eat(',') || !s.literal(fmt) || !s.eat(')') || col.empty()) return err::BadStatement;
            Fmt f = format(fmt);
            if (f == Fmt::Bad) return err::UnknownDateFormat;
            if (backend == Backend::Postgres && f == Fmt::Day) {
                const std::size_t save = s.p;
                if (s.eat('=') && s.placeholder()) {
                    out.inputs.push_back(InConv::DayKey);
                    postgresDayKey(o, col, out.inputs.size());
                    continue;
                }
                s.p = save;
            }
            if (backend == Backend::Sqlite && cut && inList && parens == 0 && atColumnStart && plainColumn(col) &&
                columnEnds(s)) {
                o += col;
                out.columns.resize(static_cast<std::size_t>(column) + 1, OutConv::None);
                out.columns[static_cast<std::size_t>(column)] = f == Fmt::Day    ? OutConv::Day
                                                                : f == Fmt::Time ? OutConv::Time
                                                                                 : OutConv::Stamp;
            } else if (backend == Backend::Sqlite) sqliteToChar(o, col, f);
            else postgresToChar(o, col, f);
            continue;
        }
        if (iequal(w, "to_date")) {
            std::string_view fmt;
            if (!s.eat('(') || !s.placeholder() || !s.eat(',') || !s.literal(fmt) || !s.eat(')'))
                return err::BadStatement;
            Fmt f = format(fmt);
            if (f != Fmt::Day && f != Fmt::Stamp) return err::UnknownDateFormat;
            out.inputs.push_back(f == Fmt::Day ? InConv::Day : InConv::Stamp);
            param(o, backend, out.inputs.size(), true);
            continue;
        }
        if (iequal(w, "sysdate")) {
            // The local time of the statement, to the second, cut rather than
            // rounded. Not the transaction's start: a statement that waited for
            // a lock records when it ran.
            o += backend == Backend::Sqlite ? "datetime('now','localtime')"
                                            : "date_trunc('second',statement_timestamp()::timestamp)";
            continue;
        }
        if (iequal(w, "trunc")) {
            std::size_t save = s.p;
            if (s.eat('(')) {
                s.skipSpace();
                if (iequal(s.word(), "sysdate") && s.eat(')')) {
                    o += backend == Backend::Sqlite ? "(date('now','localtime')||' 00:00:00')"
                                                    : "statement_timestamp()::date";
                    continue;
                }
            }
            s.p = save;
            o += w;
            continue;
        }
        if (iequal(w, "hlsystem") && !s.end() && text[s.p] == '.') {
            // SQLite keeps the system tables in the same file.
            ++s.p;
            if (backend == Backend::Postgres) o += "hlsystem.";
            continue;
        }
        o += w;
    }
    order.key(o);
    if (groupStart != std::string::npos && !ordered) orderByGroup(o, groupStart, groupEnd, order, backend);
    if (out.verb == Verb::Select && out.hasInto && backend == Backend::Postgres) {
        // A single-row select only needs to know whether there is a second row.
        while (!o.empty() && space(o.back())) o.pop_back();
        o += " LIMIT 2";
    }
    // Grouped, distinct or by number ordered rows compare the expression itself.
    if (grouping && !out.columns.empty()) return translate(text, backend, out, false);
    return 0;
}

}  // namespace

std::int32_t translate(std::string_view text, Backend backend, Translated& out) {
    return translate(text, backend, out, true);
}

}  // namespace rt::dialect
