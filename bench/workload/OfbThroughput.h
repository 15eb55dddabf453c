#pragma once

// The physical limit of the page format: AES-256 in output feedback mode through
// OpenSSL's EVP interface, a fresh IV for every 4 KiB block, as a page transform would.

#include <openssl/evp.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace OfbThroughput {

constexpr int kBlock = 4096;

// Bytes per second of the best of `rounds` runs over `bytes` bytes each.
inline double measure(const unsigned char key[32], long long bytes, int rounds)
{
    std::vector<unsigned char> in(64 * kBlock), out(kBlock);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<unsigned char>(i * 31 + 7);
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    unsigned char iv[16] = {};
    EVP_EncryptInit_ex(ctx, EVP_aes_256_ofb(), nullptr, key, iv);
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const long long blocks = bytes / kBlock;
        for (long long b = 0; b < blocks; ++b) {
            iv[0] = static_cast<unsigned char>(b);
            iv[1] = static_cast<unsigned char>(b >> 8);
            iv[4] = static_cast<unsigned char>(b >> 16);
            int written = 0;
            EVP_EncryptInit_ex(ctx, nullptr, nullptr, nullptr, iv);
            EVP_EncryptUpdate(ctx, out.data(), &written, in.data() + (b % 64) * kBlock, kBlock);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double rate = static_cast<double>(blocks * kBlock) / seconds;
        if (rate > best)
            best = rate;
    }
    EVP_CIPHER_CTX_free(ctx);
    return best;
}

} // namespace OfbThroughput
