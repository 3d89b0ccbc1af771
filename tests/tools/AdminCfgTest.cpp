// korvimand-admin encode, decode and ini, run as the operator runs them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

namespace fs = std::filesystem;

struct AdminCfg : ::testing::Test {
    void SetUp() override { tree = e2e::makeEmptyTree(); }
    void TearDown() override { e2e::removeTree(tree); }
    e2e::Result admin(const std::vector<std::string>& args, const std::string& input = "",
                      const std::vector<std::string>& env = {}) {
        e2e::RunOptions o;
        o.input = input;
        o.env = env;
        return e2e::runWith(tree, KORVIMAND_ADMIN_BIN, args, o);
    }
    e2e::Tree tree;
};

TEST_F(AdminCfg, EncodeAndDecode) {
    auto r = admin({"encode", "scott"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.size(), 41u);  // two blocks of four 5-digit groups and a line end
    const std::string digits = r.out.substr(0, 40);
    EXPECT_EQ(Cfg_DecodeValue(digits, CfgKeyText, 0), "scott");
    r = admin({"decode", digits});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "scott\n");
    r = admin({"encode", "-"}, "from stdin\n");
    EXPECT_EQ(Cfg_DecodeValue(r.out.substr(0, r.out.size() - 1), CfgKeyText, 0), "from stdin");

    for (const char* bad : {"1234", "12345 12345", "1234a", "99999"}) {
        r = admin({"decode", bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "");
    }
    r = admin({"encode", std::string(41, 'x')});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("at most 40"), std::string::npos);
}

TEST_F(AdminCfg, IniWritesTheFileTheProgramReads) {
    testdb::Db db = testdb::create(testdb::Backend::Sqlite);
    // A NET8 relative to the working directory, as an installation has it.
    const fs::path file = db.net8.substr(7);
    fs::create_directory_symlink(file.parent_path(), tree.root + "/db");
    const std::string net8 = "sqlite:../../../../db/" + file.filename().string();
    ASSERT_LE(net8.size(), CfgTextMax);
    const std::string password = "Pa55;wort mit Blank";

    // The default file: where the program looks, its folder created.
    fs::remove_all(tree.root + "/files");
    auto r = admin({"ini", "--login", "ops", "--password", "-", "--net8", net8}, password + "\r\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find(password), std::string::npos);
    EXPECT_EQ(r.err.find(password), std::string::npos);
    EXPECT_EQ(Cfg_ReadValue("", "LOGIN", 0, tree.iniPath), "ops");
    EXPECT_EQ(Cfg_ReadValue("", "PASS", 0, tree.iniPath), password);
    EXPECT_EQ(Cfg_ReadValue("", "NET8", 0, tree.iniPath), net8);
    struct stat st {};
    ASSERT_EQ(::stat(tree.iniPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The program connects with it: the next thing it checks is the argument count.
    r = e2e::run(tree, {"only-one"});
    EXPECT_EQ(r.status, 0);
    auto entries = e2e::parseLog(e2e::readLog(tree));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].funktion, "NZA_Ermitteln");
    EXPECT_EQ(entries[0].code, 2);
    testdb::destroy(db);
}

TEST_F(AdminCfg, IniTakesThePasswordFromTheEnvironmentAndTheFileFromKorvimandIni) {
    const std::string other = tree.root + "/elsewhere/h.ini";
    const std::string geheim = "Env-Geheim-4711;x";
    auto r = admin({"ini", "--login", "u", "--password-env", "KORVI_PW", "--net8", "svc"}, "",
                   {"KORVI_PW=" + geheim, "KORVIMAND_INI=" + other});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(tree.iniPath));
    EXPECT_EQ(Cfg_ReadValue("", "PASS", 0, other), geheim);
    // never shown, stored enciphered
    EXPECT_EQ((r.out + r.err).find(geheim), std::string::npos);
    std::ifstream datei(other, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(datei), {}).find(geheim), std::string::npos);
    // --file wins; an existing file is replaced whole.
    r = admin({"ini", "--login", "v", "--password", "p", "--net8", "svc2", "--file", other});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cfg_ReadValue("", "LOGIN", 0, other), "v");
    EXPECT_EQ(Cfg_ReadValue("", "NET8", 0, other), "svc2");
}

TEST_F(AdminCfg, IniRefusesWhatCannotBeStored) {
    const std::string longPassword(41, 's');
    auto r = admin({"ini", "--login", "u", "--password", longPassword, "--net8", "n"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("password has 41 characters"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(longPassword), std::string::npos);
    r = admin({"ini", "--login", "u", "--password", "p", "--net8", "sqlite:" + std::string(40, 'n')});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("net8 has 47 characters"), std::string::npos) << r.err;
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"ini", "--login", "u", "--net8", "n"},
                                               {"ini", "--login", "u", "--password", "p", "--net8"},
                                               {"ini", "--login", "u", "--password", "p", "--net8", ""},
                                               {"ini", "--login", "u", "--password", "p", "--net8", "n", "--bogus",
                                                "x"},
                                               {"ini", "--login", "u", "--password-env", "KORVI_UNSET_VARIABLE",
                                                "--net8", "n"}}) {
        r = admin(args);
        EXPECT_EQ(r.status, 2) << args.back();
    }
    EXPECT_FALSE(fs::exists(tree.iniPath));
}

}  // namespace
