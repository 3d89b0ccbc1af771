#pragma once
// The IDEA block cipher: 64-bit blocks of four 16-bit words, 128-bit key of
// eight 16-bit words, 8 rounds and the output transformation.
#include <array>
#include <cstdint>

using IdeaBlock = std::array<std::uint16_t, 4>;
using IdeaUserKey = std::array<std::uint16_t, 8>;
using IdeaSubkeys = std::array<std::uint16_t, 52>;

// The 52 encryption subkeys of a key.
IdeaSubkeys Idea_EncryptionKeys(const IdeaUserKey& key);
// The 52 decryption subkeys that undo the given encryption subkeys.
IdeaSubkeys Idea_DecryptionKeys(const IdeaSubkeys& encryption);
// One block through the cipher; with decryption subkeys it decrypts.
IdeaBlock Idea_Crypt(const IdeaSubkeys& subkeys, const IdeaBlock& in);
