#include "storage/PageCipher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sqlite3.h>

#include <cstring>
#include <utility>

namespace {
// Bytes 16 to 23 of page 1: page size, file format versions, reserved count, payload fractions.
constexpr int kPlainHeaderBegin = 16;
constexpr int kPlainHeaderEnd = 24;
constexpr int kMaxReserved = 255;
} // namespace

PageCipher::PageCipher(const PageCodec::KeyContext &key)
    : m_key(key)
{
    if (m_key.noKey)
        return;
    if (m_key.algorithm == PageCodec::Rc4) {
        m_active = true;
        return;
    }
    const EVP_CIPHER *cipher = m_key.algorithm == PageCodec::Aes128 ? EVP_aes_128_ofb() : EVP_aes_256_ofb();
    m_ctx = EVP_CIPHER_CTX_new();
    if (!m_ctx)
        return;
    const unsigned char zeroIv[16] = {};
    m_active = EVP_EncryptInit_ex(m_ctx, cipher, nullptr, m_key.keyBytes(), zeroIv) == 1;
}

PageCipher::~PageCipher()
{
    EVP_CIPHER_CTX_free(m_ctx);
    OPENSSL_cleanse(&m_key, sizeof m_key);
}

bool PageCipher::encryptPage(
    const unsigned char *page, unsigned char *out, int pageSize, int reserved, uint32_t pageNumber)
{
    if (!m_active || reserved < 0 || reserved > kMaxReserved || pageSize - reserved < kPlainHeaderEnd)
        return false;
    const int usable = pageSize - reserved;
    if (reserved > 0)
        sqlite3_randomness(reserved, out + usable);
    if (!apply(page, out, usable, pageNumber, out + usable, reserved))
        return false;
    if (pageNumber == 1)
        std::memcpy(out + kPlainHeaderBegin, page + kPlainHeaderBegin, kPlainHeaderEnd - kPlainHeaderBegin);
    return true;
}

bool PageCipher::decryptPage(unsigned char *page, int pageSize, int reserved, uint32_t pageNumber)
{
    if (!m_active || reserved < 0 || reserved > kMaxReserved || pageSize - reserved < kPlainHeaderEnd)
        return false;
    const int usable = pageSize - reserved;
    unsigned char header[kPlainHeaderEnd - kPlainHeaderBegin];
    std::memcpy(header, page + kPlainHeaderBegin, sizeof header);
    if (!apply(page, page, usable, pageNumber, page + usable, reserved))
        return false;
    if (pageNumber == 1)
        std::memcpy(page + kPlainHeaderBegin, header, sizeof header);
    return true;
}

bool PageCipher::apply(const unsigned char *in, unsigned char *out, int usable, uint32_t pageNumber,
    const unsigned char *nonce, int reserved)
{
    // IV block: the page number little-endian on every host, then the nonce.
    unsigned char ivBlock[4 + kMaxReserved] = {};
    ivBlock[0] = static_cast<unsigned char>(pageNumber);
    ivBlock[1] = static_cast<unsigned char>(pageNumber >> 8);
    ivBlock[2] = static_cast<unsigned char>(pageNumber >> 16);
    ivBlock[3] = static_cast<unsigned char>(pageNumber >> 24);
    std::memcpy(ivBlock + 4, nonce, static_cast<size_t>(reserved));

    if (m_key.algorithm == PageCodec::Rc4) {
        applyRc4(in, out, usable, ivBlock, 4 + reserved);
        return true;
    }
    // AES uses the first 16 bytes of the block; a nonce shorter than 12 bytes
    // leaves the rest zero.
    int written = 0;
    return EVP_EncryptInit_ex(m_ctx, nullptr, nullptr, nullptr, ivBlock) == 1
        && EVP_EncryptUpdate(m_ctx, out, &written, in, usable) == 1 && written == usable;
}

void PageCipher::applyRc4(
    const unsigned char *in, unsigned char *out, int usable, const unsigned char *ivBlock, int ivLength)
{
    const unsigned char *k = m_key.keyBytes();
    unsigned char s[256];
    unsigned char t[256];
    for (int i = 0; i < 256; ++i) {
        t[i] = k[i] ^ ivBlock[i % ivLength];
        s[i] = static_cast<unsigned char>(i);
    }
    unsigned i = 0;
    unsigned j = 0;
    for (int n = 0; n < 512; ++n) {
        j = (j + s[i] + t[i]) & 0xff;
        std::swap(s[i], s[j]);
        i = (i + 1) & 0xff;
    }
    // The output continues with the i and j the key scheduling left.
    for (int n = 0; n < usable; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        out[n] = in[n] ^ s[(s[i] + s[j]) & 0xff];
    }
    OPENSSL_cleanse(s, sizeof s);
    OPENSSL_cleanse(t, sizeof t);
}
