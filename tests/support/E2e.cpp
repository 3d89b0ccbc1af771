#include "tests/support/E2e.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "util/Config.h"

extern char** environ;

namespace e2e {
namespace fs = std::filesystem;

namespace {

std::string errnoText(const std::string& what, int e) { return what + ": " + std::strerror(e); }

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
    f.close();
    if (!f) throw std::runtime_error("cannot write " + path);
}

Tree newTree() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvimand-e2e-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error(errnoText("mkdtemp " + pattern, errno));
    Tree t;
    t.root = pattern;
    t.workDir = t.root + "/a/b/c/d";
    t.iniPath = t.root + "/files/helixonar.ini";
    t.logPath = t.workDir + "/Msg/Korvimand.Txt";
    fs::create_directories(t.workDir);
    fs::create_directories(t.root + "/files");
    return t;
}

void checkLength(const char* what, const std::string& v) {
    if (v.size() > CfgTextMax)
        throw std::runtime_error(std::string("e2e::makeTree: ") + what + " longer than " + std::to_string(CfgTextMax) +
                                 " characters: " + (std::strcmp(what, "password") == 0 ? "(not shown)" : v));
}

void writeIni(const Tree& t, const std::string& login, const std::string& password, const std::string& net8) {
    checkLength("login", login);
    checkLength("password", password);
    checkLength("net8", net8);
    writeFile(t.iniPath, Cfg_DbLoginFile(login, password, net8));
}

// NET8 for an SQLite file: absolute, or relative to the working directory
// through a link ROOT/files/d to the file's folder when the absolute path
// does not fit into a configuration value.
std::string sqliteNet8(const Tree& t, const std::string& net8) {
    fs::path file = fs::absolute(net8.substr(std::strlen("sqlite:")));
    std::string absolute = "sqlite:" + file.string();
    if (absolute.size() <= CfgTextMax) return absolute;
    fs::create_directory_symlink(file.parent_path(), t.root + "/files/d");
    std::string relative = "sqlite:../../../../files/d/" + file.filename().string();
    if (relative.size() > CfgTextMax)
        throw std::runtime_error("e2e::makeTree: SQLite file name too long for NET8: " + file.string());
    return relative;
}

// NET8 for PostgreSQL: the connection itself when it fits, otherwise a
// service of that name defined in a service file of the tree (without the
// password, which travels in PASS).
std::string postgresNet8(Tree& t, const std::string& net8, bool haveLogin) {
    if (net8.size() <= CfgTextMax) return net8;
    char* err = nullptr;
    PQconninfoOption* opts = PQconninfoParse(net8.c_str(), &err);
    if (!opts) {
        std::string msg = err ? err : "unparsable";
        PQfreemem(err);
        throw std::runtime_error("e2e::makeTree: NET8 too long and not a connection string: " + msg);
    }
    std::string conf = "[korvimand_e2e]\n";
    for (PQconninfoOption* o = opts; o->keyword; ++o) {
        if (!o->val || !*o->val) continue;
        std::string key = o->keyword;
        if (key == "password" || (key == "user" && haveLogin)) continue;
        conf += key + "=" + o->val + "\n";
    }
    PQconninfoFree(opts);
    const std::string serviceFile = t.root + "/files/pg_service.conf";
    writeFile(serviceFile, conf);
    t.env.push_back("PGSERVICEFILE=" + serviceFile);
    return "korvimand_e2e";
}

std::string variableName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// The child's environment: ours without KORVIMAND_INI (a test must not
// reach a developer's real configuration), then the additions in order.
std::vector<std::string> childEnvironment(const std::vector<std::string>& treeEnv,
                                          const std::vector<std::string>& extra) {
    std::map<std::string, std::string> vars;
    auto set = [&](const std::string& entry) {
        const std::string name = variableName(entry);
        if (entry.find('=') == std::string::npos) vars.erase(name);
        else vars[name] = entry;
    };
    for (char** e = environ; *e; ++e) set(*e);
    vars.erase("KORVIMAND_INI");
    for (const auto& e : treeEnv) set(e);
    for (const auto& e : extra) set(e);
    std::vector<std::string> out;
    for (const auto& [name, entry] : vars) out.push_back(entry);
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fd, O_CLOEXEC) != 0) throw std::runtime_error(errnoText("pipe", errno));
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int i) {
        if (fd[i] >= 0) ::close(fd[i]);
        fd[i] = -1;
    }
};

[[noreturn]] void childFail(int reportFd, int e) {
    ssize_t ignored = ::write(reportFd, &e, sizeof e);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

Tree makeTree(const std::string& login, const std::string& password, const std::string& net8) {
    Tree t = newTree();
    try {
        writeIni(t, login, password, net8);
    } catch (...) {
        removeTree(t);
        throw;
    }
    return t;
}

Tree makeTree(const testdb::Db& db) {
    Tree t = newTree();
    try {
        std::string net8 =
            db.net8.rfind("sqlite:", 0) == 0 ? sqliteNet8(t, db.net8) : postgresNet8(t, db.net8, !db.login.empty());
        writeIni(t, db.login, db.password, net8);
    } catch (...) {
        removeTree(t);
        throw;
    }
    return t;
}

Tree makeEmptyTree() { return newTree(); }

Result run(const Tree& t, const std::vector<std::string>& args, const std::vector<std::string>& env) {
    return runProgram(t, KORVIMAND_BIN, args, env);
}

Result runProgram(const Tree& t, const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& env) {
    RunOptions o;
    o.env = env;
    return runWith(t, program, args, o);
}

Result runWith(const Tree& t, const std::string& program, const std::vector<std::string>& args,
               const RunOptions& options) {
    // Everything the child needs is prepared before the fork: between fork
    // and exec only async-signal-safe calls are allowed.
    // KORVIMAND_VALGRIND=1 (scripts/valgrind-e2e) runs every program under
    // memcheck; a finding ends the run with status 99.
    std::vector<std::string> argStrings;
    if (const char* vg = std::getenv("KORVIMAND_VALGRIND"); vg && std::strcmp(vg, "1") == 0)
        argStrings = {"/usr/bin/valgrind",          "--quiet",
                      "--error-exitcode=99",        "--leak-check=full",
                      "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite"};
    argStrings.push_back(program);
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = childEnvironment(t.env, options.env);
    std::vector<char*> argv = pointers(argStrings);
    std::vector<char*> envp = pointers(envStrings);
    const std::string workDir = t.workDir;

    // A child that ends without reading its input must not end us too.
    ::signal(SIGPIPE, SIG_IGN);
    Pipe in, out, err, report;
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error(errnoText("fork", errno));
    if (pid == 0) {
        if (::dup2(in.fd[0], 0) < 0 || ::dup2(out.fd[1], 1) < 0 || ::dup2(err.fd[1], 2) < 0)
            childFail(report.fd[1], errno);
        if (::chdir(workDir.c_str()) != 0) childFail(report.fd[1], errno);
        ::execve(argv[0], argv.data(), envp.data());
        childFail(report.fd[1], errno);
    }
    in.closeEnd(0);
    out.closeEnd(1);
    err.closeEnd(1);
    report.closeEnd(1);

    Result r;
    std::size_t inputDone = 0;
    if (options.input.empty()) in.closeEnd(1);
    else ::fcntl(in.fd[1], F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    bool timedOut = false;
    while (out.fd[0] >= 0 || err.fd[0] >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p[3] = {{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}, {in.fd[1], POLLOUT, 0}};
        int n = ::poll(p, 3, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (n < 0 && errno != EINTR) break;
        if (n <= 0) continue;
        std::string* sinks[2] = {&r.out, &r.err};
        Pipe* pipes[2] = {&out, &err};
        for (int i = 0; i < 2; ++i) {
            if (p[i].fd < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[8192];
            ssize_t got = ::read(p[i].fd, buf, sizeof buf);
            if (got > 0) sinks[i]->append(buf, static_cast<std::size_t>(got));
            else if (got == 0 || errno != EINTR) pipes[i]->closeEnd(0);
        }
        if (p[2].fd >= 0 && (p[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t put = ::write(in.fd[1], options.input.data() + inputDone, options.input.size() - inputDone);
            if (put > 0) inputDone += static_cast<std::size_t>(put);
            if ((put < 0 && errno != EAGAIN && errno != EINTR) || inputDone == options.input.size()) in.closeEnd(1);
        }
    }
    in.closeEnd(1);
    if (timedOut) ::kill(pid, SIGKILL);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    int execError = 0;
    if (::read(report.fd[0], &execError, sizeof execError) == static_cast<ssize_t>(sizeof execError))
        throw std::runtime_error(errnoText("cannot start " + program, execError));
    if (timedOut)
        throw std::runtime_error(program + " did not end within " + std::to_string(options.timeoutSeconds) + " s");
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readLog(const Tree& t) {
    std::ifstream f(t.logPath, std::ios::binary);
    if (!f) return "";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

namespace {

class LogReader {
public:
    explicit LogReader(const std::string& b) : b_(b) {}

    bool atEnd() const { return pos_ == b_.size(); }

    void expect(std::string_view literal) {
        if (b_.compare(pos_, literal.size(), literal) != 0) fail("expected \"" + printable(literal) + "\"");
        pos_ += literal.size();
    }

    // Two digits, the separator, two digits, the separator, two digits.
    std::string triple(char sep) {
        std::string v = b_.substr(pos_, 8);
        bool ok = v.size() == 8 && v[2] == sep && v[5] == sep;
        for (int i : {0, 1, 3, 4, 6, 7}) ok = ok && std::isdigit(static_cast<unsigned char>(v[i]));
        if (!ok) fail(std::string("expected NN") + sep + "NN" + sep + "NN");
        pos_ += 8;
        return v;
    }

    std::string kinds() {
        std::string v;
        for (const char* k : {"DMSG ", "SMSG ", "FMSG ", "WMSG ", "CMSG "})
            if (b_.compare(pos_, 5, k) == 0) {
                v += k;
                pos_ += 5;
            }
        return v;
    }

    std::string line() {
        std::size_t end = b_.find("\r\n", pos_);
        if (end == std::string::npos) fail("line without CR LF");
        std::string v = b_.substr(pos_, end - pos_);
        pos_ = end;
        return v;
    }

    long code() {
        std::string v = line();
        std::size_t digits = v.size() > 0 && v[0] == '-' ? 1 : 0;
        if (v.size() == digits || v.size() > digits + 10 ||
            v.find_first_not_of("0123456789", digits) != std::string::npos)
            fail("bad error code \"" + v + "\"");
        return std::stol(v);
    }

    // The data or supplement block: everything up to the next entry.
    std::string rest() {
        std::size_t next = b_.find("\xFE\r\nSystem-Date: ", pos_);
        if (next == std::string::npos) next = b_.size();
        std::string v = b_.substr(pos_, next - pos_);
        if (v.size() < 2 || v.compare(v.size() - 2, 2, "\r\n") != 0) fail("block without CR LF");
        pos_ = next;
        v.resize(v.size() - 2);
        return v;
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("malformed message log at byte " + std::to_string(pos_) + ": " + what);
    }

private:
    static std::string printable(std::string_view s) {
        std::string o;
        for (unsigned char c : s) {
            if (c == '\r') o += "\\r";
            else if (c == '\n') o += "\\n";
            else if (c < 32 || c > 126) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                o += hex;
            } else o += static_cast<char>(c);
        }
        return o;
    }

    const std::string& b_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<LogEntry> parseLog(const std::string& bytes) {
    std::vector<LogEntry> entries;
    LogReader r(bytes);
    while (!r.atEnd()) {
        LogEntry e;
        r.expect("\xFE\r\nSystem-Date: ");
        e.date = r.triple('.');
        r.expect("\r\nSystem-Time: ");
        e.time = r.triple(':');
        r.expect("\r\nMsgArt_____: ");
        e.art = r.kinds();
        r.expect("\r\nMessage____: ");
        e.message = r.line();
        r.expect("\r\nFunktion___: ");
        e.funktion = r.line();
        r.expect("\r\nErrorCode__: ");
        e.code = r.code();
        r.expect("\r\n");
        if (e.art.find("DMSG") != std::string::npos || e.art.find("SMSG") != std::string::npos) e.extra = r.rest();
        entries.push_back(std::move(e));
    }
    return entries;
}

void removeTree(const Tree& t) {
    std::error_code ec;
    if (!t.root.empty()) fs::remove_all(t.root, ec);
}

}  // namespace e2e
