#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "util/Config.h"

namespace {

std::string enc(const std::string& text) { return Cfg_EncodeValue(text, CfgKeyText); }

class Config : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvimand-cfg-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/helixonar.ini";
    }
    void TearDown() override {
        ::unsetenv("KORVIMAND_INI");
        std::filesystem::remove_all(dir);
    }
    void write(const std::string& bytes) {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    std::string read(const std::string& key) { return Cfg_ReadValue("", key, 0, path); }

    std::string dir;
    std::string path;
};

TEST_F(Config, LoginFileReadsBackInAnyRecordOrder) {
    write(Cfg_DbLoginFile("scott", "tiger;with blanks", "sqlite:../../../../files/bde.db"));
    ::setenv("KORVIMAND_INI", path.c_str(), 1);
    char login[CfgLoginBytes], password[CfgLoginBytes], net8[CfgLoginBytes];
    Cfg_GetDbLogin(login, password, net8);
    EXPECT_STREQ(login, "scott");
    EXPECT_STREQ(password, "tiger;with blanks");
    EXPECT_STREQ(net8, "sqlite:../../../../files/bde.db");

    // Each lookup reads from the start: PASS before LOGIN, LF line ends.
    write("A;Pw;\n2;PASS;" + enc("pw") + "\nA;Lg;\n1;LOGIN;" + enc("user") + "\n");
    Cfg_GetDbLogin(login, password, net8);
    EXPECT_STREQ(login, "user");
    EXPECT_STREQ(password, "pw");
    EXPECT_STREQ(net8, "");
}

TEST_F(Config, MatchesByNameOrKeyOrNumber) {
    write("A;First;\r\n7;login;" + enc("lower") + "\r\nA;Second;x;y\r\n8;LOGIN;" + enc("upper") +
          "\r\nA;Third;\r\n9;NET8 ;" + enc("blank") + "\r\n");
    // Keys compare exactly: case and blanks count.
    EXPECT_EQ(read("LOGIN"), "upper");
    EXPECT_EQ(read("NET8"), "");
    EXPECT_EQ(Cfg_ReadValue("", "NET8 ", 0, path), "blank");
    EXPECT_EQ(Cfg_ReadValue("Second", "nothing", 0, path), "upper");
    EXPECT_EQ(Cfg_ReadValue("nothing", "nothing", 9, path), "blank");
    EXPECT_EQ(Cfg_ReadValue("First", "NET8 ", 9, path), "lower");

    // A record with an empty name (or number 0) matches the program's
    // lookups whatever its key.
    write("no semicolon here\r\n5;OTHER;" + enc("first") + "\r\nA;B;\r\n1;LOGIN;" + enc("x") + "\r\n");
    EXPECT_EQ(read("LOGIN"), "first");
    write("A;B;\r\nzero;OTHER;" + enc("zero") + "\r\nA;C;\r\n1;LOGIN;" + enc("x") + "\r\n");
    EXPECT_EQ(read("LOGIN"), "zero");
}

TEST_F(Config, SecondLineLayout) {
    CfgRecord r;
    // The record name stands between the first two ';' of the first line;
    // with fewer than two there is none.
    ASSERT_TRUE(Cfg_FindRecord("A;Name;rest;\n1;K;v\n", "Name", "", -1, r));
    EXPECT_FALSE(Cfg_FindRecord("A;Name\n1;K;v\n", "Name", "", -1, r));
    ASSERT_TRUE(Cfg_FindRecord("A;Name\n1;K;v\n", "", "", -1, r));
    EXPECT_EQ(r.name, "");
    // Exactly one ';': no key, everything after it is the value.
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n12;LOGIN\n", "N", "", -1, r));
    EXPECT_EQ(r.number, 12);
    EXPECT_EQ(r.key, "");
    EXPECT_EQ(r.value, "LOGIN");
    // After the key a ';' belongs to the value.
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n12;K;1;2;3\n", "", "K", -1, r));
    EXPECT_EQ(r.value, "1;2;3");
    // Number: blanks and a sign, up to the first non-digit; beyond 32 bits held at the bound.
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n  -42x;K;v\n", "", "K", -1, r));
    EXPECT_EQ(r.number, -42);
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n99999999999;K;v\n", "", "K", -1, r));
    EXPECT_EQ(r.number, 2147483647);
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n-99999999999;K;v\n", "", "K", -1, r));
    EXPECT_EQ(r.number, -2147483647 - 1);
    // A lone CR is part of the field; CR LF is a line end.
    ASSERT_TRUE(Cfg_FindRecord("A;N\r;\r\n1;K\r;v\r\n", "N\r", "", -1, r));
    EXPECT_EQ(r.key, "K\r");
    EXPECT_EQ(r.value, "v");
    // The second line may end the file without a line end (or with a lone CR).
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n1;K;123", "", "K", -1, r));
    EXPECT_EQ(r.value, "123");
    ASSERT_TRUE(Cfg_FindRecord("A;N;\n1;K;123\r", "", "K", -1, r));
    EXPECT_EQ(r.value, "123");
    // A NUL byte is a byte like any other: the key does not match.
    EXPECT_FALSE(Cfg_FindRecord(std::string("A;N;\n1;LO\0GIN;1\n", 16), "", "LOGIN", -1, r));
}

TEST_F(Config, NothingToFind) {
    EXPECT_EQ(read("LOGIN"), "");  // no file
    write("");
    EXPECT_EQ(read("LOGIN"), "");
    write("A;N;\r\n");  // odd last line
    EXPECT_EQ(read("LOGIN"), "");
    write("A;N;\r\n1;OTHER;" + enc("v") + "\r\nA;M;\r\n");
    EXPECT_EQ(read("LOGIN"), "");
    EXPECT_EQ(Cfg_ReadValue("", "LOGIN", 0, dir), "");  // a folder, not a file
    ::setenv("KORVIMAND_INI", (dir + "/missing.ini").c_str(), 1);
    char login[CfgLoginBytes], password[CfgLoginBytes], net8[CfgLoginBytes];
    std::memset(login, 'x', sizeof login);
    Cfg_GetDbLogin(login, password, net8);
    EXPECT_STREQ(login, "");
    EXPECT_STREQ(password, "");
    EXPECT_STREQ(net8, "");
}

TEST_F(Config, LongLinesStayOneLineAndValuesKeepTheirLimit) {
    // A 10 MB first line and a 10 MB key do not put the records out of step.
    const std::string huge(10 * 1024 * 1024, 'h');
    write("A;" + huge + ";\r\n1;" + huge + ";" + enc("skip") + "\r\nA;N;\r\n2;LOGIN;" + enc("found") + "\r\n");
    EXPECT_EQ(read("LOGIN"), "found");
    CfgRecord r;
    const std::string long1(100000, 'l');
    ASSERT_TRUE(Cfg_FindRecord("A;" + long1 + ";\n1;" + long1 + ";" + long1 + "\n", "", "", 1, r));
    EXPECT_EQ(r.name.size(), CfgFieldMax);
    EXPECT_EQ(r.key.size(), CfgFieldMax);
    EXPECT_EQ(r.value.size(), CfgValueMax);

    // A value holds 200 digits: 40 characters; the rest of a longer one is dropped.
    const std::string forty(40, 'F');
    write("A;N;\n1;LOGIN;" + enc(forty + "more") + "\n");
    EXPECT_EQ(read("LOGIN"), forty);
    EXPECT_EQ(enc(forty).size(), CfgValueMax);
}

TEST_F(Config, GroupsOfFiveDigits) {
    const std::string text = "Kennwort";
    const std::string digits = enc(text);
    ASSERT_EQ(digits.size(), 40u);
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(Cfg_DecodeValue(digits, CfgKeyText, 0), text);
    // Characters after the last complete group are ignored.
    EXPECT_EQ(Cfg_DecodeValue(digits + "12", CfgKeyText, 0), text);
    // Text of 5 characters: two blocks, the last three words zero before enciphering.
    EXPECT_EQ(enc("abcde").size(), 40u);
    EXPECT_EQ(Cfg_DecodeValue(enc("abcde"), CfgKeyText, 0), "abcde");
    EXPECT_EQ(Cfg_DecodeValue("", CfgKeyText, 0), "");
    EXPECT_EQ(enc(""), "");

    // Every character code but 0 survives the round trip.
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    EXPECT_EQ(Cfg_DecodeValue(enc(all), CfgKeyText, 0), all);

    // The key text's terminating zero is part of the key: a different key
    // text does not give the text back.
    EXPECT_NE(Cfg_DecodeValue(digits, "HELXSYS1", 0), text);
}

TEST_F(Config, IncompleteBlocksAndBadDigits) {
    // 17 digits are 3 groups; a last block of 3 words is completed with a
    // zero word and gives 3 characters.
    EXPECT_EQ(Cfg_DecodeValue("12345000016553500", CfgKeyText, 0), "\xdf\xe8\x81");

    // Not digits, or out of range: decrypts to something, never fails.
    EXPECT_EQ(Cfg_DecodeValue("abcdefghij99999", CfgKeyText, 0), "\x80\xbf\xe4");
    std::string neunen;
    for (int i = 0; i < 50; ++i) neunen += "\x4d\x94\xc7\xf5";
    EXPECT_EQ(Cfg_DecodeValue(std::string(1000, '9'), CfgKeyText, 0), neunen);
}

TEST_F(Config, LetterModeAndOtherModes) {
    // Mode 1: each letter stands for the two digits of its distance from 'A'.
    const std::string digits = enc("Net8");
    std::string letters;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        letters.push_back(static_cast<char>('A' + (digits[i] - '0') * 10 + (digits[i + 1] - '0')));
    EXPECT_EQ(Cfg_DecodeValue(letters, CfgKeyText, 1), "Net8");
    EXPECT_EQ(Cfg_DecodeValue(digits, CfgKeyText, 2), "");
    EXPECT_EQ(Cfg_DecodeValue(digits, CfgKeyText, -1), "");
}

}  // namespace
