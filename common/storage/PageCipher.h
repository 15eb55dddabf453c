#pragma once

#include "storage/PageCodec.h"

#include <cstdint>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

// The page transform of one key: AES-128/256 in output feedback mode or the RC4
// variant, with the IV block made of the little-endian page number and the page's
// nonce. Pages are P bytes; the last R bytes hold the nonce and stay plain, and on
// page 1 the header bytes 16 to 23 stay plain so that the page size and reserved
// count can be read before any page is decrypted.
class PageCipher {
public:
    explicit PageCipher(const PageCodec::KeyContext &key);
    ~PageCipher();
    PageCipher(const PageCipher &) = delete;
    PageCipher &operator=(const PageCipher &) = delete;

    // False when the key is empty or the cipher could not be set up.
    bool isActive() const { return m_active; }
    const PageCodec::KeyContext &key() const { return m_key; }

    // Encrypts `page` into `out` (both pageSize bytes, not overlapping) with a fresh
    // nonce from sqlite3_randomness, stored plain in the last `reserved` bytes of `out`.
    bool encryptPage(const unsigned char *page, unsigned char *out, int pageSize, int reserved, uint32_t pageNumber);
    // Decrypts a page in place, taking the nonce from its last `reserved` bytes.
    bool decryptPage(unsigned char *page, int pageSize, int reserved, uint32_t pageNumber);

private:
    bool apply(const unsigned char *in, unsigned char *out, int usable, uint32_t pageNumber, const unsigned char *nonce,
        int reserved);
    void applyRc4(const unsigned char *in, unsigned char *out, int usable, const unsigned char *ivBlock, int ivLength);

    PageCodec::KeyContext m_key;
    EVP_CIPHER_CTX *m_ctx = nullptr;
    bool m_active = false;
};
