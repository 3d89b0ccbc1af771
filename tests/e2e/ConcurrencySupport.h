#pragma once
// Helpers of the reliability tests: the program started in the background
// (to be killed, or to run beside another instance), many positions written
// in a few statements, and the evaluated state of a range of positions as
// comparable text.
#include <fcntl.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

extern char** environ;

namespace zuverlaessig {

// Sanitizers and valgrind make a run many times slower: the tests that walk
// thousands of positions scale down under them. KORVIMAND_TEST_SLOW=1 says
// so for builds this file cannot detect (e.g. a whole suite under valgrind).
inline bool langsam() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
    return true;
#endif
#endif
    const char* slow = std::getenv("KORVIMAND_TEST_SLOW");
    const char* vg = std::getenv("KORVIMAND_VALGRIND");
    return (slow && std::string(slow) == "1") || (vg && std::string(vg) == "1");
}

// A number of the environment (e.g. KORVIMAND_CRASH_POSITIONS), else the
// default for this build.
inline int anzahl(const char* variable, int schnell, int langsamWert) {
    if (const char* v = std::getenv(variable); v && *v) return std::max(1, std::atoi(v));
    return langsam() ? langsamWert : schnell;
}

inline std::string dateiLesen(const std::string& pfad) {
    std::string s;
    if (FILE* f = std::fopen(pfad.c_str(), "rb")) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

// Databases and trees of a test are made below TMPDIR; these tests put them
// on a memory file system while the object lives. A killed process loses
// nothing that it handed to the kernel, so what they test holds there too,
// and the durable commits of thousands of positions do not wait for a disk.
class SchnellerOrdner {
public:
    SchnellerOrdner() {
        const char* alt = std::getenv("TMPDIR");
        hatte_ = alt != nullptr;
        if (alt) alt_ = alt;
        struct stat st {};
        if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
            ::setenv("TMPDIR", "/dev/shm", 1);
    }
    ~SchnellerOrdner() {
        if (hatte_) ::setenv("TMPDIR", alt_.c_str(), 1);
        else ::unsetenv("TMPDIR");
    }
    SchnellerOrdner(const SchnellerOrdner&) = delete;
    SchnellerOrdner& operator=(const SchnellerOrdner&) = delete;

private:
    bool hatte_ = false;
    std::string alt_;
};

// A program (korvimand unless told) started in a tree's working directory,
// in the background. Its standard output and error go to files in the
// tree's root; its standard input is empty, or a pipe that eingabe() fills.
// dateiGrenze > 0 limits the size of every file it writes (RLIMIT_FSIZE):
// a write past it fails as on a full disk.
class Hintergrund {
public:
    Hintergrund(const e2e::Tree& t, const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                const std::string& name = "lauf", const std::string& programm = KORVIMAND_BIN, bool mitEingabe = false,
                long long dateiGrenze = 0) {
        outPath_ = t.root + "/" + name + ".out";
        errPath_ = t.root + "/" + name + ".err";
        std::vector<std::string> argv;
        if (const char* vg = std::getenv("KORVIMAND_VALGRIND"); vg && std::string(vg) == "1")
            argv = {"/usr/bin/valgrind",          "--quiet",
                    "--error-exitcode=99",        "--leak-check=full",
                    "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite"};
        argv.push_back(programm);
        argv.insert(argv.end(), args.begin(), args.end());
        std::map<std::string, std::string> vars;
        auto setze = [&](const std::string& e) {
            const std::string n = e.substr(0, e.find('='));
            if (e.find('=') == std::string::npos) vars.erase(n);
            else vars[n] = e;
        };
        for (char** e = environ; *e; ++e) setze(*e);
        vars.erase("KORVIMAND_INI");
        for (const auto& e : t.env) setze(e);
        for (const auto& e : env) setze(e);
        std::vector<std::string> envStrings;
        for (const auto& [n, e] : vars) envStrings.push_back(e);
        std::vector<char*> a, v;
        for (auto& s : argv) a.push_back(s.data());
        a.push_back(nullptr);
        for (auto& s : envStrings) v.push_back(s.data());
        v.push_back(nullptr);
        const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        int rohr[2] = {-1, -1};
        if (mitEingabe && ::pipe2(rohr, O_CLOEXEC) != 0) throw std::runtime_error("Hintergrund: pipe failed");
        const int in = mitEingabe ? rohr[0] : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        eingabe_ = rohr[1];
        if (out < 0 || err < 0 || in < 0) throw std::runtime_error("Hintergrund: cannot open output files");
        const std::string wd = t.workDir;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(wd.c_str()) != 0) ::_exit(126);
            if (dateiGrenze > 0) {
                // the write fails with EFBIG instead of the signal ending the process
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit r{static_cast<rlim_t>(dateiGrenze), static_cast<rlim_t>(dateiGrenze)};
                if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(125);
            }
            ::execve(a[0], a.data(), v.data());
            ::_exit(127);
        }
        ::close(out);
        ::close(err);
        ::close(in);
        if (pid_ < 0) throw std::runtime_error("Hintergrund: fork failed");
    }
    ~Hintergrund() {
        if (eingabe_ >= 0) ::close(eingabe_);
        if (pid_ > 0 && !fertig_) {
            ::kill(pid_, SIGKILL);
            int st;
            ::waitpid(pid_, &st, 0);
        }
    }
    Hintergrund(const Hintergrund&) = delete;
    Hintergrund& operator=(const Hintergrund&) = delete;

    pid_t pid() const { return pid_; }
    // Writes the text to the program's standard input and closes it.
    void eingabe(const std::string& text) {
        ::signal(SIGPIPE, SIG_IGN);  // a program that ended early must not end the test
        std::size_t done = 0;
        while (eingabe_ >= 0 && done < text.size()) {
            const ssize_t n = ::write(eingabe_, text.data() + done, text.size() - done);
            if (n <= 0 && errno != EINTR) break;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (eingabe_ >= 0) ::close(eingabe_);
        eingabe_ = -1;
    }
    // A file of the program's /proc entry ("cmdline", "environ"), NULs kept.
    std::string proc(const std::string& datei) const {
        return dateiLesen("/proc/" + std::to_string(pid_) + "/" + datei);
    }
    bool laeuft() {
        if (fertig_) return false;
        int st = 0;
        const pid_t r = ::waitpid(pid_, &st, WNOHANG);
        if (r == pid_) ende(st);
        return !fertig_;
    }
    // Kills the program (SIGKILL) and reaps it; false when it had already ended.
    bool toeten() {
        if (!laeuft()) return false;
        ::kill(pid_, SIGKILL);
        int st = 0;
        while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {}
        ende(st);
        return true;
    }
    // Waits for the end; the exit status, -SIGNAL when killed by a signal.
    // A run longer than the timeout is killed and throws.
    int warten(int sekunden) {
        const auto bis = std::chrono::steady_clock::now() + std::chrono::seconds(sekunden);
        while (laeuft()) {
            if (std::chrono::steady_clock::now() > bis) {
                toeten();
                throw std::runtime_error("korvimand did not end within " + std::to_string(sekunden) + " s");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return status_;
    }
    std::string ausgabe() const { return dateiLesen(outPath_); }
    std::string fehlerAusgabe() const { return dateiLesen(errPath_); }

private:
    void ende(int st) {
        fertig_ = true;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -WTERMSIG(st);
    }
    pid_t pid_ = -1;
    int eingabe_ = -1;
    bool fertig_ = false;
    int status_ = -1;
    std::string outPath_, errPath_;
};

inline bool pg(const testdb::Db& db) { return db.backend == testdb::Backend::Postgres; }

// Polls until the condition holds; false when it did not within the time.
template <class Bedingung>
bool warteBis(Bedingung bedingung, int sekunden) {
    const auto bis = std::chrono::steady_clock::now() + std::chrono::seconds(sekunden);
    while (!bedingung()) {
        if (std::chrono::steady_clock::now() > bis) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Whether the process has the file open: one of its descriptors names it.
inline bool hatOffen(pid_t pid, const std::string& pfad) {
    std::error_code ec;
    const std::filesystem::path datei = std::filesystem::weakly_canonical(pfad, ec);
    for (const auto& e : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::error_code ec2;
        if (std::filesystem::read_symlink(e.path(), ec2) == datei) return true;
    }
    return false;
}

// Whether a run has reached the database: on PostgreSQL its session waits
// for a lock, on SQLite it has the file open.
inline bool amDatenbank(pid_t pid, const testdb::Db& db) {
    if (!pg(db)) return hatOffen(pid, db.net8.substr(7));
    return testdb::value(db, "select count(*) from pg_stat_activity where application_name = 'korvimand' and "
                             "datname = '" +
                                 db.login + "' and wait_event_type = 'Lock'") != "0";
}

// Another session holds the database until freigeben() (or the end of the
// object): on SQLite an exclusive transaction, on PostgreSQL the tables every
// position run reads and writes, locked against everything.
class DatenbankSperre {
public:
    explicit DatenbankSperre(const testdb::Db& db) {
        if (!pg(db)) {
            if (sqlite3_open_v2(db.net8.substr(7).c_str(), &lite_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
                sqlite3_exec(lite_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
                throw std::runtime_error("DatenbankSperre: cannot lock the SQLite file");
            return;
        }
        const char* keys[] = {"dbname", "dbname", nullptr};
        const char* vals[] = {std::getenv("KORVIMAND_TEST_PG"), db.login.c_str(), nullptr};
        conn_ = PQconnectdbParams(keys, vals, 1);
        if (PQstatus(conn_) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(conn_));
        PQclear(PQexec(conn_, "BEGIN"));
        PGresult* r = PQexec(conn_, "LOCK TABLE Hlx590Nza, Hlx504App, Hlx580Pps IN ACCESS EXCLUSIVE MODE");
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok) throw std::runtime_error(std::string("DatenbankSperre: ") + PQerrorMessage(conn_));
    }
    ~DatenbankSperre() { freigeben(); }
    DatenbankSperre(const DatenbankSperre&) = delete;
    DatenbankSperre& operator=(const DatenbankSperre&) = delete;
    // One value read in the holding session, which the lock does not keep out.
    std::string wert(const std::string& abfrage) {
        std::string w;
        if (lite_) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(lite_, abfrage.c_str(), -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
                w = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            sqlite3_finalize(st);
        } else if (conn_) {
            PGresult* r = PQexec(conn_, abfrage.c_str());
            if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0) w = PQgetvalue(r, 0, 0);
            PQclear(r);
        }
        return w;
    }
    void freigeben() {
        if (lite_) {
            sqlite3_exec(lite_, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(lite_);
            lite_ = nullptr;
        }
        if (conn_) {
            PQclear(PQexec(conn_, "COMMIT"));
            PQfinish(conn_);
            conn_ = nullptr;
        }
    }

private:
    sqlite3* lite_ = nullptr;
    PGconn* conn_ = nullptr;
};

// PostgreSQL answers a commit of this database before its log reaches the
// disk. The tests never stop the server uncleanly, so nothing a run
// committed is lost, and thousands of commits do not wait for the disk.
inline void schnelleCommits(const testdb::Db& db) {
    if (pg(db)) testdb::sql(db, "alter database " + db.login + " set synchronous_commit = off");
}

// A date-and-time literal of the backend.
inline std::string zeitpunkt(const testdb::Db& db, const std::string& wert) {
    return (pg(db) ? "timestamp '" : "'") + wert + "'";
}

// The 12-character order number of order block k (ten positions each).
inline std::string auftragsNummer(long k) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%012ld", 500000 + k);
    return buf;
}

// n positions, ten per order, starting with order block erstesAuftrag:
// orders auftragsNummer(erstesAuftrag), ..., positions 00010 to 00100. Each
// third position is evaluated by variant 2 (APL01), 3 (APL02, from a kind-5
// row) or 4 (APL03, from a kind-6 row); every second has an "A07" message
// that feeds the total's sums; every fifth a pending "NZA" marker. The
// workstations, their assignments and a valid run-parameter row must exist
// (stammdaten).
inline void massendaten(const testdb::Db& db, long erstesAuftrag, int n) {
    const std::string reihe =
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < " + std::to_string(n - 1) + ") ";
    const std::string basis = std::to_string(500000 + erstesAuftrag);
    const std::string apk =
        pg(db) ? "lpad(cast(" + basis + " + i / 10 as varchar), 12, '0')" : "printf('%012d', " + basis + " + i / 10)";
    const std::string app =
        pg(db) ? "lpad(cast((i % 10 + 1) * 10 as varchar), 5, '0')" : "printf('%05d', (i % 10 + 1) * 10)";
    const std::string apl = "'APL0' || cast(1 + i % 3 as varchar)";
    const std::string tag = zeitpunkt(db, "2024-03-04 06:00:00");
    const std::string ende = zeitpunkt(db, "2024-03-04 14:30:00");
    const std::string meldeZeit = zeitpunkt(db, "2024-03-04 07:00:00");
    // Order headers, with a part number per order.
    testdb::sql(db, reihe + "insert into Hlx501Apk (ApkApk, ApkTnr) select " + apk + ", 'T' || " + apk +
                        " from n where i % 10 = 0");
    testdb::sql(db, reihe +
                        "insert into Hlx504App (AppApk, AppApp, AppSts, AppBdi, AppEdi, AppSme, AppIme, AppSza, "
                        "AppStr, AppSte, AppIta, AppItr, AppIte, AppApl, AppMee, AppBz1) select " +
                        apk + ", " + app + ", 0, " + tag + ", " + ende +
                        ", 10, i % 7, 2.30, 0.15, 0.25 + (i % 4) * 0.10, 7.77, 6.66, 5.55, " + apl +
                        ", 'STK', 'Masse' from n");
    testdb::sql(db, reihe +
                        "insert into Hlx560Mel (KeyBnr, KeyLfn, ObjTyp, KeyPnr, KeyApl, KeyApk, KeyApp, KeyDat, "
                        "MelFcd, MelGum, MelFam, MelNam) select i, 1, 'M_A', '00001234', " +
                        apl + ", " + apk + ", " + app + ", " + meldeZeit + ", NULL, 0, 0, 0 from n");
    testdb::sql(db, reihe +
                        "insert into Hlx560Mel (KeyBnr, KeyLfn, ObjTyp, KeyPnr, KeyApl, KeyApk, KeyApp, KeyDat, "
                        "MelFcd, MelGum, MelFam, MelNam) select i, 2, 'M__', '00001234', " +
                        apl + ", " + apk + ", " + app + ", " + meldeZeit +
                        ", 'A07', i % 9, 1, 90 + i % 20 from n where i % 2 = 0");
    testdb::sql(db, reihe +
                        "insert into Hlx590Nza (NzaSa, NzaApl, NzaApk, NzaApp, NzaPnr, NzaDtm, NzaEdt, NzaBmk, "
                        "NzaEmk, NzaNza, NzaNzr, NzaRbz, NzaBzA) select 4 + i % 3, " +
                        apl + ", " + apk + ", " + app + ", '00001234', " + tag + ", " +
                        zeitpunkt(db, "2024-03-04 08:00:00") +
                        ", 'BG', 'EG', (i % 4) + 0.30, 0.45, 0.05 * (i % 6), 1.10 from n where i % 3 <> 0");
    testdb::sql(db, reihe +
                        "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt, MrkObj, "
                        "MrkEsb) select 'NZA', '0000000000', " +
                        apk + ", " + app + ", '00000000', 0, " + ende + ", 'M_A', 'TERM01' from n where i % 5 = 0");
}

// The master data massendaten needs: three workstations with their
// variants on the positions' day, and a valid run-parameter row.
inline void stammdaten(const testdb::Db& db) {
    fixtures::variante(db, "APL01", 2, 0);
    fixtures::variante(db, "APL02", 3, 0);
    fixtures::variante(db, "APL03", 4, 0);
    fixtures::laufparameter(db);
}

// Columns joined into one text per row: NULL shows as "~".
inline std::string verkettet(const std::vector<std::string>& spalten) {
    std::string s;
    for (const auto& c : spalten) {
        if (!s.empty()) s += " || '|' || ";
        s += "coalesce(cast(" + c + " as varchar), '~')";
    }
    return s;
}

// What an evaluation leaves of the positions of orders vonApk to bisApk:
// their evaluation and total NZA rows (without the write time), their
// written-back times, whether they were uploaded and whether their marker
// is still pending. One text per row, in key order.
inline std::vector<std::string> stand(const testdb::Db& db, const std::string& vonApk, const std::string& bisApk) {
    const std::string bereich = " between '" + vonApk + "' and '" + bisApk + "'";
    std::vector<std::string> out;
    for (const std::string& q :
         {"select " + verkettet({"NzaApk", "NzaApp", "NzaSa",  "NzaApl", "NzaPnr", "NzaDtm", "NzaEdt",
                                 "NzaNza", "NzaNzr", "NzaBzA", "NzaBzr", "NzaAbz", "NzaPza", "NzaRbz",
                                 "NzaPzr", "NzaUza", "NzaUzr", "NzaNzu", "NzaBzu", "NzaPzu", "NzaGum",
                                 "NzaAum", "NzaRf1", "NzaMaz", "NzaTnr", "NzaErf", "NzaBmk", "NzaEmk"}) +
              " as z from Hlx590Nza where NzaSa in (10, 11) and NzaApk" + bereich + " order by z",
          "select 'App|' || " +
              verkettet({"AppApk", "AppApp", "AppIta", "AppItr", "AppIte", "AppSza", "AppSte", "AppZf3"}) +
              " as z from Hlx504App where AppApk" + bereich + " order by z",
          "select 'Pps|' || AppApk || '|' || AppApp as z from Hlx504App where AppApk" + bereich +
              " and exists (select 1 from Hlx580Pps where PpsApk = AppApk and PpsApp = AppApp) order by z",
          "select 'Mrk|' || " + verkettet({"MrkApk", "MrkApp", "MrkApl", "MrkPnr", "MrkBnr"}) +
              " as z from Hlx563Mrk where MrkKng = 'NZA' and MrkApk" + bereich + " order by z"}) {
        const auto rows = testdb::column(db, q);
        out.insert(out.end(), rows.begin(), rows.end());
    }
    return out;
}

// Upload numbers drawn twice (0, the number of a failed draw, excluded).
inline std::string doppelteNummern(const testdb::Db& db) {
    return testdb::value(db, "select count(*) from (select PpsLfn from Hlx580Pps where PpsLfn <> 0 group by PpsLfn "
                             "having count(*) > 1) d");
}

inline std::string textVon(const std::vector<std::string>& zeilen) {
    std::string s;
    for (const auto& z : zeilen) s += z + "\n";
    return s;
}

}  // namespace zuverlaessig
