#include <gtest/gtest.h>

#include <random>

#include "util/Idea.h"

namespace {

IdeaUserKey key(const char* hex32) {
    IdeaUserKey k{};
    for (int i = 0; i < 8; ++i)
        k[i] = static_cast<std::uint16_t>(std::stoul(std::string(hex32 + 4 * i, 4), nullptr, 16));
    return k;
}

IdeaBlock block(const char* hex16) {
    IdeaBlock b{};
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<std::uint16_t>(std::stoul(std::string(hex16 + 4 * i, 4), nullptr, 16));
    return b;
}

// Published vectors: the algorithm's reference example and vectors of the
// public evaluation of the cipher (edge keys and blocks of all zeros and all
// ones, where the multiplication's "0 stands for 2^16" matters most).
TEST(Idea, PublishedTestVectors) {
    const struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } vectors[] = {
        {"00010002000300040005000600070008", "0000000100020003", "11fbed2b01986de5"},
        {"00000000000000000000000000000000", "0000000000000000", "0001000100000000"},
        {"80000000000000000000000000000000", "0000000000000000", "b1f5f7f87901370f"},
        {"00000000000000000000000000000001", "0000000000000000", "c57adbde27bc26cf"},
        {"00000000000000000000000000000000", "0000000000000001", "0013fff500120009"},
        {"ffffffffffffffffffffffffffffffff", "ffffffffffffffff", "cd1ab2c1211041fb"},
        {"000027ed8f5c3e8baf16560d14c90b43", "0000abbf94ff8b5f", "cbbb2e6c05ee8c89"},
        {"729a27ed8f5c3e8baf16560d14c90b43", "df8c6fc637e3dad1", "29358cc6c83828ae"},
    };
    for (const auto& v : vectors) {
        SCOPED_TRACE(v.key);
        const IdeaSubkeys ek = Idea_EncryptionKeys(key(v.key));
        EXPECT_EQ(Idea_Crypt(ek, block(v.plain)), block(v.cipher));
        EXPECT_EQ(Idea_Crypt(Idea_DecryptionKeys(ek), block(v.cipher)), block(v.plain));
    }
}

TEST(Idea, DecryptionUndoesEncryptionForAnyKeyAndBlock) {
    std::mt19937 rng(20041122);
    std::uniform_int_distribution<int> word(0, 65535);
    for (int i = 0; i < 200; ++i) {
        IdeaUserKey k{};
        for (auto& w : k) w = static_cast<std::uint16_t>(i % 7 == 0 ? 0 : word(rng));
        IdeaBlock b{};
        for (auto& w : b) w = static_cast<std::uint16_t>(i % 5 == 0 ? (i % 2 ? 0 : 65535) : word(rng));
        const IdeaSubkeys ek = Idea_EncryptionKeys(k);
        EXPECT_EQ(Idea_Crypt(Idea_DecryptionKeys(ek), Idea_Crypt(ek, b)), b);
    }
}

}  // namespace
