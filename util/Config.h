#pragma once
// The suite's configuration file: records of two lines,
//   "<anything>;<record name>;..."          (first line)
//   "<record number>;<key>;<value>"         (second line)
// whose values are stored enciphered as groups of five decimal digits, each
// group one 16-bit word of IDEA ciphertext under a built-in key text.
// Line ends are LF or CR LF.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A value holds at most 200 digits; the suite's other programs read the same
// file with the same limit, so a plain text holds at most 40 characters.
inline constexpr std::size_t CfgValueMax = 200;
inline constexpr std::size_t CfgTextMax = CfgValueMax / 5;
// Record name and key are kept to this many characters, the record number
// text to 11.
inline constexpr std::size_t CfgFieldMax = 200;
inline constexpr std::size_t CfgNumberMax = 11;
// Reading stops after this many bytes: a "file" without an end (a device, a
// pipe whose writer stays) must not keep the start-up waiting for ever.
inline constexpr std::size_t CfgFileMax = std::size_t{64} << 20;
// Each output of Cfg_GetDbLogin holds at least this many bytes.
inline constexpr std::size_t CfgLoginBytes = 52;

// The built-in key text (its terminating zero is the eighth key byte).
inline constexpr const char* CfgKeyText = "HELXSYS";

// One record as it stands in the file (value still enciphered).
struct CfgRecord {
    std::int32_t number = 0;
    std::string name;
    std::string key;
    std::string value;
};

// The file the program reads: $KORVIMAND_INI when set and not empty,
// otherwise ../../../../files/helixonar.ini relative to the working directory.
std::string Cfg_FileName();

// Finds in the bytes of a configuration file the first record whose name
// equals name, or whose key equals key, or whose number equals number.
// Returns false when none matches (record left empty).
bool Cfg_FindRecord(std::string_view fileBytes, std::string_view name, std::string_view key, std::int32_t number,
                    CfgRecord& record);

// The decrypted value of the first matching record of the file, or "" when
// the file cannot be read or no record matches.
std::string Cfg_ReadValue(std::string_view name, std::string_view key, std::int32_t number,
                          const std::string& fileName);

// Decrypts an enciphered value. Mode 0: groups of 5 digits; mode 1: letters,
// each standing for the two digits of its distance from 'A', then as mode 0.
// Any other mode gives "". The text ends at its first zero character.
std::string Cfg_DecodeValue(std::string_view value, std::string_view keyText, std::int32_t mode);
// Enciphers a text: one 16-bit word per character, blocks of four words
// (the last filled with zero words), each ciphertext word as 5 digits.
std::string Cfg_EncodeValue(std::string_view text, std::string_view keyText);

// Reads LOGIN, PASS and NET8 (in this order, each lookup with an empty record
// name and record number 0) from Cfg_FileName(). Each output receives at most
// 51 characters and its terminator; a value not found gives "". Makes the
// process non-dumpable first; the caller wipes the password once connected.
void Cfg_GetDbLogin(char* login, char* password, char* net8);

// A complete configuration file holding LOGIN, PASS and NET8 enciphered,
// two-line records with CR LF, readable by Cfg_GetDbLogin. Each value must
// hold at most CfgTextMax characters (the caller checks).
std::string Cfg_DbLoginFile(std::string_view login, std::string_view password, std::string_view net8);
