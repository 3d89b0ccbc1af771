#include "util/Idea.h"

namespace {

constexpr std::uint32_t kModulus = 65537;

// Multiplication modulo 2^16+1, where the word 0 stands for 2^16.
std::uint16_t mul(std::uint16_t a, std::uint16_t b) {
    std::uint64_t x = a ? a : 65536u;
    std::uint64_t y = b ? b : 65536u;
    std::uint64_t p = x * y % kModulus;
    return static_cast<std::uint16_t>(p == 65536u ? 0 : p);
}

// Multiplicative inverse modulo 2^16+1 (a prime): x^(p-2).
std::uint16_t inv(std::uint16_t a) {
    std::uint64_t base = a ? a : 65536u;
    std::uint64_t result = 1;
    for (std::uint32_t e = kModulus - 2; e; e >>= 1) {
        if (e & 1) result = result * base % kModulus;
        base = base * base % kModulus;
    }
    return static_cast<std::uint16_t>(result == 65536u ? 0 : result);
}

std::uint16_t neg(std::uint16_t a) { return static_cast<std::uint16_t>(0u - a); }

}  // namespace

IdeaSubkeys Idea_EncryptionKeys(const IdeaUserKey& key) {
    // The 128-bit key, first word most significant; each group of eight
    // subkeys is the key rotated left by a further 25 bits.
    unsigned __int128 k = 0;
    for (std::uint16_t w : key) k = (k << 16) | w;
    IdeaSubkeys z{};
    for (std::size_t i = 0; i < z.size(); ++i) {
        if (i && i % 8 == 0) k = (k << 25) | (k >> (128 - 25));
        z[i] = static_cast<std::uint16_t>(k >> (112 - 16 * (i % 8)));
    }
    return z;
}

IdeaSubkeys Idea_DecryptionKeys(const IdeaSubkeys& e) {
    IdeaSubkeys d{};
    for (std::size_t r = 0; r <= 8; ++r) {
        // Round r of decryption undoes round 8-r of encryption (round 8 being
        // the output transformation); the two additive keys swap places in
        // every round but the first and the last.
        const std::size_t src = 6 * (8 - r);
        const bool swap = r != 0 && r != 8;
        d[6 * r] = inv(e[src]);
        d[6 * r + 1] = neg(e[src + (swap ? 2 : 1)]);
        d[6 * r + 2] = neg(e[src + (swap ? 1 : 2)]);
        d[6 * r + 3] = inv(e[src + 3]);
        if (r < 8) {
            d[6 * r + 4] = e[src - 2];
            d[6 * r + 5] = e[src - 1];
        }
    }
    return d;
}

IdeaBlock Idea_Crypt(const IdeaSubkeys& z, const IdeaBlock& in) {
    std::uint16_t x1 = in[0], x2 = in[1], x3 = in[2], x4 = in[3];
    for (std::size_t r = 0; r < 8; ++r) {
        const std::uint16_t* k = &z[6 * r];
        x1 = mul(x1, k[0]);
        x2 = static_cast<std::uint16_t>(x2 + k[1]);
        x3 = static_cast<std::uint16_t>(x3 + k[2]);
        x4 = mul(x4, k[3]);
        std::uint16_t t0 = mul(k[4], x1 ^ x3);
        std::uint16_t t1 = mul(k[5], static_cast<std::uint16_t>(t0 + (x2 ^ x4)));
        t0 = static_cast<std::uint16_t>(t0 + t1);
        x1 ^= t1;
        x4 ^= t0;
        std::uint16_t t = x2 ^ t0;
        x2 = x3 ^ t1;
        x3 = t;
    }
    // The output transformation undoes the last round's swap of x2 and x3.
    return {mul(x1, z[48]), static_cast<std::uint16_t>(x3 + z[49]), static_cast<std::uint16_t>(x2 + z[50]),
            mul(x4, z[51])};
}
