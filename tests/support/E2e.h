#pragma once
// End-to-end runs of the built binaries in a temporary directory tree:
// ROOT/files/helixonar.ini and the working directory ROOT/a/b/c/d, so that the
// program finds its configuration at ../../../../files/helixonar.ini and
// writes its log to ROOT/a/b/c/d/Msg/Korvimand.Txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestDb.h"

namespace e2e {

struct Tree {
    std::string root;
    std::string workDir;  // ROOT/a/b/c/d
    std::string iniPath;  // ROOT/files/helixonar.ini
    std::string logPath;  // workDir + "/Msg/Korvimand.Txt"
    // "NAME=value" entries every run in this tree adds to its environment
    // (e.g. where a PostgreSQL service name is defined).
    std::vector<std::string> env;
};

// Writes the configuration file with LOGIN, PASS and NET8 enciphered. A
// value longer than a configuration value holds (40 characters) throws.
Tree makeTree(const std::string& login, const std::string& password, const std::string& net8);
// The same for a test database. An SQLite path is written absolute, or, when
// that is too long, relative through a link in ROOT/files; a PostgreSQL
// connection too long for NET8 becomes a service name defined in
// ROOT/files/pg_service.conf (the tree's env names it).
Tree makeTree(const testdb::Db& db);
// A tree without a configuration file.
Tree makeEmptyTree();

struct Result {
    int status = -1;  // exit status, or -1 when killed by a signal
    std::string out;
    std::string err;
};
// Runs KORVIMAND_BIN with these arguments in the tree's working directory;
// env entries "NAME=value" are added to the environment.
Result run(const Tree& t, const std::vector<std::string>& args, const std::vector<std::string>& env = {});
// Runs any program (e.g. KORVIMAND_ADMIN_BIN) the same way.
Result runProgram(const Tree& t, const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& env = {});

// Every run: the child gets the test's environment without KORVIMAND_INI,
// then the tree's env, then these additions ("NAME=value"; a later entry
// overrides an earlier one of the same name; "NAME" alone removes it).
// stdin is the input text (or empty). A run longer than the timeout is
// killed and throws std::runtime_error, as does a program that cannot start.
struct RunOptions {
    std::vector<std::string> env;
    std::string input;
    int timeoutSeconds = 300;
};
Result runWith(const Tree& t, const std::string& program, const std::vector<std::string>& args,
               const RunOptions& options);

// The log file's bytes ("" when there is none).
std::string readLog(const Tree& t);

struct LogEntry {
    std::string date;  // DD.MM.YY
    std::string time;  // HH:MM:SS
    std::string art;   // "FMSG " ...
    std::string message;
    std::string funktion;
    long code = 0;
    std::string extra;  // data or supplement block of a DMSG / SMSG entry, without its CR LF
};
// Parses the entries of a log file; entries that are not well formed make it throw.
std::vector<LogEntry> parseLog(const std::string& bytes);

void removeTree(const Tree& t);

// A test per backend with its own database and a tree configured for it.
class TreeTest : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        db = testdb::create(GetParam());
        tree = makeTree(db);
    }
    void TearDown() override {
        removeTree(tree);
        testdb::destroy(db);
    }
    Result admin(const std::vector<std::string>& args) { return runProgram(tree, KORVIMAND_ADMIN_BIN, args); }

    testdb::Db db;
    Tree tree;
};

}  // namespace e2e
