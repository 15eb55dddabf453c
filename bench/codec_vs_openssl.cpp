// Page-transform throughput of the codec against AES-256-OFB through OpenSSL on
// 4 KiB blocks, measured in the same run (rounds interleaved, best of each).
//
// Prints codec_encrypt_MBps, codec_decrypt_MBps, openssl_ofb_MBps (best rounds)
// and codec_vs_openssl = the slower codec direction / OpenSSL (median of rounds).

#include "storage/PageCipher.h"
#include "storage/PageCodec.h"
#include "workload/OfbThroughput.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kPage = 4096;
constexpr int kReserved = 12;
constexpr long long kBytes = 16LL << 20;
constexpr int kRounds = 41;

double seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    const auto context
        = PageCodec::loadKeyAny(PageCodec::presetKey, static_cast<int>(std::strlen(PageCodec::presetKey)));
    PageCipher cipher(context);
    if (!cipher.isActive()) {
        std::fprintf(stderr, "codec_vs_openssl: no cipher\n");
        return 1;
    }
    std::vector<unsigned char> pages(64 * kPage), out(kPage);
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i] = static_cast<unsigned char>(i * 131 + 5);
    sqlite3_initialize();

    // Short rounds side by side, so that the load of a shared machine hits both
    // sides alike; the ratio is the median of the rounds' ratios.
    const long long count = kBytes / kPage;
    double encrypt = 0, decrypt = 0, openssl = 0;
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        const double ofb = OfbThroughput::measure(context.keyBytes(), kBytes, 1);

        auto start = std::chrono::steady_clock::now();
        for (long long p = 0; p < count; ++p)
            cipher.encryptPage(
                pages.data() + (p % 64) * kPage, out.data(), kPage, kReserved, static_cast<uint32_t>(p + 1));
        const double enc = static_cast<double>(count * kPage) / seconds(start);

        start = std::chrono::steady_clock::now();
        for (long long p = 0; p < count; ++p)
            cipher.decryptPage(pages.data() + (p % 64) * kPage, kPage, kReserved, static_cast<uint32_t>(p + 1));
        const double dec = static_cast<double>(count * kPage) / seconds(start);

        encrypt = std::max(encrypt, enc);
        decrypt = std::max(decrypt, dec);
        openssl = std::max(openssl, ofb);
        ratios.push_back(std::min(enc, dec) / ofb);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("codec_encrypt_MBps: %.1f\n", encrypt / 1e6);
    std::printf("codec_decrypt_MBps: %.1f\n", decrypt / 1e6);
    std::printf("openssl_ofb_MBps: %.1f\n", openssl / 1e6);
    std::printf("codec_vs_openssl: %.3f\n", ratios[ratios.size() / 2]);
    return 0;
}
